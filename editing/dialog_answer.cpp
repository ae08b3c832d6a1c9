#include "editing/dialog_answer.h"

#include <array>
#include <optional>

#include "editing/character_dialog.h"
#include "platform/cp1252.h"

namespace paginor {

namespace {

enum class ValueKind { Text, Flag, Colour };

struct Control {
  const char* name;
  ValueKind kind;
};

// The attribute entries of "Zeichen" in their order, bit 0 first.
constexpr std::array<const char*, 14> kAttributeNames = {
    "bold",      "italic",       "underline",   "strikeout", "wordunderline", "doubleunderline",
    "shadowed",  "outlined",     "superscript", "subscript", "smallcaps",     "uppercase",
    "lowercase", "nohyphenation"};

constexpr std::array<Control, 7> kCharacterControls = {{
    {"font", ValueKind::Text},
    {"size", ValueKind::Text},
    {"colour", ValueKind::Colour},
    {"background", ValueKind::Colour},
    {"transparent", ValueKind::Flag},
    {"outlinecolour", ValueKind::Colour},
    {"shadowcolour", ValueKind::Colour},
}};

char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

std::optional<ValueKind> characterControl(std::string_view name) {
  for (const char* a : kAttributeNames)
    if (sameName(name, a)) return ValueKind::Flag;
  for (const Control& c : kCharacterControls)
    if (sameName(name, c.name)) return c.kind;
  return std::nullopt;
}

std::optional<bool> flagValue(std::string_view v) {
  if (v == "1") return true;
  if (v == "0") return false;
  return std::nullopt;
}

// "#RRGGBB" as the document stores colours, 0x00BBGGRR.
std::optional<int32_t> colourValue(std::string_view v) {
  if (v.size() != 7 || v[0] != '#') return std::nullopt;
  int32_t rgb = 0;
  for (size_t i = 1; i < 7; ++i) {
    const char c = lowerAscii(v[i]);
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    rgb = rgb * 16 + digit;
  }
  const int32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return b << 16 | g << 8 | r;
}

void answerCharacterDialog(TMDIChild& w, const DialogAnswer& answer) {
  CharacterDialog d = CharacterDialogFor(w);
  for (const auto& [name, value] : answer.values) {
    for (size_t bit = 0; bit < kAttributeNames.size(); ++bit)
      if (sameName(name, kAttributeNames[bit]))
        if (std::optional<bool> on = flagValue(value)) {
          if (*on)
            d.attributes |= static_cast<uint16_t>(1u << bit);
          else
            d.attributes &= static_cast<uint16_t>(~(1u << bit));
        }
    const std::optional<int32_t> colour = colourValue(value);
    if (sameName(name, "font")) {
      d.faceName = value;
      d.faceChanged = true;
    } else if (sameName(name, "size")) {
      d.sizeText = value;
      d.sizeChanged = true;
    } else if (sameName(name, "colour") && colour) {
      d.textColour = *colour;
      d.textColourChanged = true;
    } else if (sameName(name, "background") && colour) {
      d.backColour = *colour;
      d.backColourChanged = true;
    } else if (sameName(name, "outlinecolour") && colour) {
      d.outlineColour = *colour;
      d.outlineColourChanged = true;
    } else if (sameName(name, "shadowcolour") && colour) {
      d.shadowColour = *colour;
      d.shadowColourChanged = true;
    } else if (sameName(name, "transparent") && flagValue(value)) {
      d.transparent = *flagValue(value);
      d.transparentChanged = true;
    }
  }
  ApplyCharacterDialog(w, d);
}

}  // namespace

std::string CheckDialogAnswer(const DialogAnswer& answer) {
  if (!sameName(answer.dialog, "Zeichen"))
    return "Den Dialog „" + answer.dialog + "“ kann die Tastenfolge nicht beantworten.";
  for (const auto& [name, value] : answer.values) {
    const std::optional<ValueKind> kind = characterControl(name);
    if (!kind) return "Der Dialog „Zeichen“ hat kein Feld „" + name + "“.";
    switch (*kind) {
      case ValueKind::Flag:
        if (!flagValue(value))
          return "Das Feld „" + name + "“ nimmt 0 oder 1, nicht „" + value + "“.";
        break;
      case ValueKind::Colour:
        if (!colourValue(value))
          return "Das Feld „" + name + "“ nimmt eine Farbe wie #FF0000, nicht „" + value + "“.";
        break;
      case ValueKind::Text:
        if (sameName(name, "font") &&
            (value.empty() || utf8ToCp1252(value, '\0').find('\0') != std::string::npos))
          return "Die Schriftart „" + value +
                 "“ lässt sich nicht im Zeichensatz Windows-1252 "
                 "schreiben.";
        break;
    }
  }
  return {};
}

void AnswerDialog(TMDIChild& w, const DialogAnswer& answer) {
  if (sameName(answer.dialog, "Zeichen")) answerCharacterDialog(w, answer);
}

}  // namespace paginor
