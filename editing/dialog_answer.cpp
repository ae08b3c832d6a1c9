#include "editing/dialog_answer.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "editing/character_dialog.h"
#include "editing/list_dialog.h"
#include "editing/paragraph_dialog.h"
#include "editing/tab_dialog.h"
#include "editing/template_answers.h"
#include "editing/typed_number.h"
#include "platform/cp1252.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {

namespace {

enum class ValueKind { Text, Flag, Colour, Number, Choice };

struct Control {
  const char* name;
  ValueKind kind;
  const char* const* choices = nullptr;  // for Choice: the entries, nullptr-terminated
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

// The entries of "Ausrichtung" and "Zeilenabstand", in the order of their values.
constexpr const char* kAlignments[] = {"Links", "Zentriert", "Rechts", "Blocksatz", nullptr};
constexpr const char* kSpacings[] = {"Einfach", "1,5 Zeilen", "Doppelt", "Mindestens",
                                     "Genau",   "Mehrfach",   nullptr};

constexpr std::array<Control, 8> kParagraphControls = {{
    {"alignment", ValueKind::Choice, kAlignments},
    {"spacing", ValueKind::Choice, kSpacings},
    {"measure", ValueKind::Number},
    {"above", ValueKind::Number},
    {"below", ValueKind::Number},
    {"left", ValueKind::Number},
    {"right", ValueKind::Number},
    {"firstline", ValueKind::Number},
}};

// "Tabstops": the controls act in the order written, as the user's clicks would; `set` types a
// position and presses "Setzen", `delete` chooses the stop at a position and presses "Löschen".
constexpr const char* kTabAlignments[] = {"Links", "Zentriert", "Rechts", "Dezimal", nullptr};
constexpr const char* kTabFills[] = {"1", "2", "3", "4", nullptr};  // "1) Ohne" ... "4) ____"

constexpr std::array<Control, 6> kTabControls = {{
    {"default", ValueKind::Number},
    {"alignment", ValueKind::Choice, kTabAlignments},
    {"fill", ValueKind::Choice, kTabFills},
    {"set", ValueKind::Text},
    {"delete", ValueKind::Number},
    {"clear", ValueKind::Flag},
}};

// "Nummerierung und Aufzählungen", named "Nummerierung" in a script (names hold no blanks).
constexpr const char* kListKinds[] = {"Keiner", "Aufzählung", "Nummerierung", nullptr};

constexpr std::array<Control, 4> kListControls = {{
    {"type", ValueKind::Choice, kListKinds},
    {"indent", ValueKind::Number},
    {"char", ValueKind::Text},
    {"font", ValueKind::Text},
}};

bool isTabDialog(std::string_view name) {
  return EqualsIgnoringAsciiCase(name, "Tabstops");
}
bool isListDialog(std::string_view name) {
  return EqualsIgnoringAsciiCase(name, "Nummerierung");
}

bool isCharacterDialog(std::string_view name) {
  return EqualsIgnoringAsciiCase(name, "Zeichen");
}
bool isParagraphDialog(std::string_view name) {
  return EqualsIgnoringAsciiCase(name, "Absatzformatierung");
}

template <size_t N>
const Control* find(const std::array<Control, N>& controls, std::string_view name) {
  for (const Control& c : controls)
    if (EqualsIgnoringAsciiCase(name, c.name)) return &c;
  return nullptr;
}

std::optional<Control> controlOf(std::string_view dialog, std::string_view name) {
  if (isCharacterDialog(dialog)) {
    for (const char* a : kAttributeNames)
      if (EqualsIgnoringAsciiCase(name, a)) return Control{a, ValueKind::Flag};
    if (const Control* c = find(kCharacterControls, name)) return *c;
  } else if (isTabDialog(dialog)) {
    if (const Control* c = find(kTabControls, name)) return *c;
  } else if (isListDialog(dialog)) {
    if (const Control* c = find(kListControls, name)) return *c;
  } else if (const Control* c = find(kParagraphControls, name)) {
    return *c;
  }
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
    const char c = LowerAscii(v[i]);
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    rgb = rgb * 16 + digit;
  }
  const int32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return b << 16 | g << 8 | r;
}

std::optional<int> choiceValue(const Control& c, std::string_view v) {
  for (int i = 0; c.choices[i] != nullptr; ++i)
    if (EqualsIgnoringAsciiCase(v, c.choices[i])) return i;
  return std::nullopt;
}

std::string choiceList(const Control& c) {
  std::string list;
  for (int i = 0; c.choices[i] != nullptr; ++i)
    list += std::string(i ? ", „" : "„") + c.choices[i] + "“";
  return list;
}

void answerCharacterDialog(TMDIChild& w, const DialogAnswer& answer) {
  CharacterDialog d = CharacterDialogFor(w);
  for (const auto& [name, value] : answer.values) {
    for (size_t bit = 0; bit < kAttributeNames.size(); ++bit)
      if (EqualsIgnoringAsciiCase(name, kAttributeNames[bit]))
        if (std::optional<bool> on = flagValue(value)) {
          if (*on)
            d.attributes |= static_cast<uint16_t>(1u << bit);
          else
            d.attributes &= static_cast<uint16_t>(~(1u << bit));
        }
    const std::optional<int32_t> colour = colourValue(value);
    if (EqualsIgnoringAsciiCase(name, "font")) {
      d.faceName = value;
      d.faceChanged = true;
    } else if (EqualsIgnoringAsciiCase(name, "size")) {
      d.sizeText = value;
      d.sizeChanged = true;
    } else if (EqualsIgnoringAsciiCase(name, "colour") && colour) {
      d.textColour = *colour;
      d.textColourChanged = true;
    } else if (EqualsIgnoringAsciiCase(name, "background") && colour) {
      d.backColour = *colour;
      d.backColourChanged = true;
    } else if (EqualsIgnoringAsciiCase(name, "outlinecolour") && colour) {
      d.outlineColour = *colour;
      d.outlineColourChanged = true;
    } else if (EqualsIgnoringAsciiCase(name, "shadowcolour") && colour) {
      d.shadowColour = *colour;
      d.shadowColourChanged = true;
    } else if (EqualsIgnoringAsciiCase(name, "transparent") && flagValue(value)) {
      d.transparent = *flagValue(value);
      d.transparentChanged = true;
    }
  }
  ApplyCharacterDialog(w, d);
}

// The controls are set in the order written, as a user would, so the rules between the line
// spacing list and "Maß" apply: "spacing=Mehrfach measure=1,2".
void answerParagraphDialog(TMDIChild& w, const DialogAnswer& answer) {
  ParagraphDialog d = ParagraphDialogFor(w);
  for (const auto& [name, value] : answer.values) {
    const std::optional<Control> c = controlOf(answer.dialog, name);
    if (!c) continue;
    if (c->kind == ValueKind::Choice) {
      const std::optional<int> i = choiceValue(*c, value);
      if (!i) continue;
      if (c->choices == kAlignments)
        d.alignment = *i;
      else
        ChooseSpacing(d, static_cast<ParagraphDialog::Spacing>(*i));
      continue;
    }
    const std::optional<double> v = TypedNumber(value);
    if (!v) continue;
    if (EqualsIgnoringAsciiCase(name, "measure")) TypeMeasure(d, *v);
    if (EqualsIgnoringAsciiCase(name, "above")) d.spaceAbove = *v;
    if (EqualsIgnoringAsciiCase(name, "below")) d.spaceBelow = *v;
    if (EqualsIgnoringAsciiCase(name, "left")) d.indentLeft = *v;
    if (EqualsIgnoringAsciiCase(name, "right")) d.indentRight = *v;
    if (EqualsIgnoringAsciiCase(name, "firstline")) d.indentFirstLine = *v;
  }
  ApplyParagraphDialog(w, d);
}

void answerTabDialog(TMDIChild& w, const DialogAnswer& answer) {
  TabDialog d = TabDialogFor(w);
  for (const auto& [name, value] : answer.values) {
    const std::optional<Control> c = controlOf(answer.dialog, name);
    if (!c) continue;
    if (c->kind == ValueKind::Choice) {
      const std::optional<int> i = choiceValue(*c, value);
      if (!i) continue;
      if (c->choices == kTabAlignments)
        ChooseTabAlignment(d, *i);
      else
        ChooseTabFill(d, *i);
    } else if (EqualsIgnoringAsciiCase(name, "default")) {
      if (const std::optional<double> v = TypedNumber(value)) d.defaultWidth = *v;
    } else if (EqualsIgnoringAsciiCase(name, "set")) {
      d.positionText = value;
      // The error box of "Setzen"; the dialog stays open and the script goes on.
      if (const std::string why = SetTabStop(d); !why.empty()) w.app.message(why, MsgIcon::Error);
    } else if (EqualsIgnoringAsciiCase(name, "delete")) {
      const std::optional<double> v = TypedNumber(value);
      for (size_t i = 0; v && i < d.stops.size(); ++i)
        if (std::abs(d.stops[i].position - *v) < 1e-9) {
          SelectTabStop(d, static_cast<int>(i));
          DeleteTabStop(d);
          break;
        }
    } else if (EqualsIgnoringAsciiCase(name, "clear") && flagValue(value).value_or(false)) {
      DeleteAllTabStops(d);
    }
  }
  ApplyTabDialog(w, d);
}

void answerListDialog(TMDIChild& w, const DialogAnswer& answer) {
  ListDialog d = ListDialogFor(w);
  for (const auto& [name, value] : answer.values) {
    const std::optional<Control> c = controlOf(answer.dialog, name);
    if (!c) continue;
    if (c->kind == ValueKind::Choice) {
      if (const std::optional<int> i = choiceValue(*c, value)) d.kind = *i;
    } else if (EqualsIgnoringAsciiCase(name, "indent")) {
      if (const std::optional<double> v = TypedNumber(value)) d.indent = *v;
    } else if (EqualsIgnoringAsciiCase(name, "char")) {
      d.bulletText = value;
    } else if (EqualsIgnoringAsciiCase(name, "font")) {
      d.bulletFont = value;
    }
  }
  ApplyListDialog(w, d);
}

}  // namespace

std::string CheckDialogAnswer(const DialogAnswer& answer) {
  if (IsTemplateDialogName(answer.dialog)) return CheckTemplateDialogAnswer(answer);
  if (!isCharacterDialog(answer.dialog) && !isParagraphDialog(answer.dialog) &&
      !isTabDialog(answer.dialog) && !isListDialog(answer.dialog))
    return "Den Dialog „" + answer.dialog + "“ kann die Tastenfolge nicht beantworten.";
  for (const auto& [name, value] : answer.values) {
    const std::optional<Control> c = controlOf(answer.dialog, name);
    if (!c) return "Der Dialog „" + answer.dialog + "“ hat kein Feld „" + name + "“.";
    switch (c->kind) {
      case ValueKind::Flag:
        if (!flagValue(value))
          return "Das Feld „" + name + "“ nimmt 0 oder 1, nicht „" + value + "“.";
        break;
      case ValueKind::Colour:
        if (!colourValue(value))
          return "Das Feld „" + name + "“ nimmt eine Farbe wie #FF0000, nicht „" + value + "“.";
        break;
      case ValueKind::Number:
        if (!TypedNumber(value))
          return "Das Feld „" + name + "“ nimmt eine Zahl, nicht „" + value + "“.";
        break;
      case ValueKind::Choice:
        if (!choiceValue(*c, value))
          return "Das Feld „" + name + "“ nimmt " + choiceList(*c) + ", nicht „" + value + "“.";
        break;
      case ValueKind::Text:
        if (EqualsIgnoringAsciiCase(name, "font") &&
            (value.empty() || utf8ToCp1252(value, '\0').find('\0') != std::string::npos))
          return "Die Schriftart „" + value +
                 "“ lässt sich nicht im Zeichensatz Windows-1252 schreiben.";
        break;
    }
  }
  return {};
}

void AnswerDialog(TMDIChild& w, const DialogAnswer& answer) {
  if (IsTemplateDialogName(answer.dialog)) return AnswerTemplateDialog(w, answer);
  if (isCharacterDialog(answer.dialog))
    answerCharacterDialog(w, answer);
  else if (isParagraphDialog(answer.dialog))
    answerParagraphDialog(w, answer);
  else if (isTabDialog(answer.dialog))
    answerTabDialog(w, answer);
  else if (isListDialog(answer.dialog))
    answerListDialog(w, answer);
}

}  // namespace paginor
