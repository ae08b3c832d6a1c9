#include "editing/template_answers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "editing/columns_dialog.h"
#include "editing/special_character.h"
#include "editing/templates.h"
#include "editing/typed_number.h"
#include "model/position.h"
#include "model/templates.h"
#include "platform/cp1252.h"
#include "window/document_window.h"

namespace paginor {

namespace {

enum class Kind { Text, Name, Flag, Number, Whole, Choice, TemplateRef };

struct Control {
  const char* name;
  Kind kind;
  double min = 0, max = 0;  // Number and Whole
};

struct DialogDef {
  const char* name;
  std::vector<Control> controls;
};

constexpr const char* kActions[] = {"Anwenden", "Umbenennen", "Löschen"};

const std::vector<DialogDef>& dialogs() {
  static const std::vector<DialogDef> all = {
      {"Absatzvorlage", {{"name", Kind::Name}}},
      {"Zeichenvorlage", {{"name", Kind::Name}}},
      {"Formatvorlagen",
       {{"template", Kind::TemplateRef}, {"action", Kind::Choice}, {"name", Kind::Name}}},
      {"Spalten",
       {{"count", Kind::Whole, 0, kMaxColumns},
        {"gap", Kind::Number, 0, kMaxColumnGapCm},
        {"lines", Kind::Flag}}},
      {"Sonderzeichen",
       {{"font", Kind::Text}, {"char", Kind::Whole, kFirstSpecialCode, kLastSpecialCode}}},
  };
  return all;
}

const DialogDef* dialogNamed(std::string_view name) {
  for (const DialogDef& d : dialogs())
    if (EqualsIgnoringAsciiCase(name, d.name)) return &d;
  return nullptr;
}

const Control* controlNamed(const DialogDef& d, std::string_view name) {
  for (const Control& c : d.controls)
    if (EqualsIgnoringAsciiCase(name, c.name)) return &c;
  return nullptr;
}

std::optional<int> action(std::string_view v) {
  for (int i = 0; i < 3; ++i)
    if (EqualsIgnoringAsciiCase(v, kActions[i])) return i;
  return std::nullopt;
}

bool writable(std::string_view utf8) {
  return utf8ToCp1252(utf8, '\0').find('\0') == std::string::npos;
}

std::string formatNumber(double v) {
  std::string s = std::to_string(static_cast<int>(v));
  if (v != std::floor(v)) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    s = buf;
    for (char& c : s)
      if (c == '.') c = ',';
  }
  return s;
}

std::string checkValue(const Control& c, const std::string& name, const std::string& value) {
  const std::string shown = "„" + value + "“";
  switch (c.kind) {
    case Kind::Text:
    case Kind::Name:
      if (value.empty() || !writable(value))
        return "Das Feld „" + name + "“ nimmt einen nicht leeren Text im Zeichensatz " +
               "Windows-1252, nicht " + shown + ".";
      break;
    case Kind::Flag:
      if (value != "0" && value != "1")
        return "Das Feld „" + name + "“ nimmt 0 oder 1, nicht " + shown + ".";
      break;
    case Kind::Number:
    case Kind::Whole: {
      const std::optional<double> v = TypedNumber(value);
      const bool whole = c.kind == Kind::Whole;
      if (!v || *v < c.min || *v > c.max || (whole && *v != std::floor(*v)))
        return "Das Feld „" + name + "“ nimmt " + (whole ? "eine ganze Zahl" : "eine Zahl") +
               " von " + formatNumber(c.min) + " bis " + formatNumber(c.max) + ", nicht " + shown +
               ".";
      break;
    }
    case Kind::Choice:
      if (!action(value))
        return "Das Feld „" + name + "“ nimmt „Anwenden“, „Umbenennen“ oder „Löschen“, nicht " +
               shown + ".";
      break;
    case Kind::TemplateRef:
      if (value.empty() || !writable(value))
        return "Das Feld „" + name + "“ nimmt die Nummer oder den Namen einer Formatvorlage, " +
               "nicht " + shown + ".";
      break;
  }
  return {};
}

// A template by its position from 1 or by its name; -1 when the document has none such.
int32_t templateIndex(const TMDIChild& w, const std::string& value) {
  const Document& d = w.doc;
  int32_t position = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), position);
  if (ec == std::errc() && end == value.data() + value.size())
    return position >= 1 && position <= d.templateCount() ? position - 1 : -1;
  const std::string name = utf8ToCp1252(value);
  for (int32_t i = 0; i < d.templateCount(); ++i)
    if (d.templates[i].name == name) return i;
  return -1;
}

std::string valueOf(const DialogAnswer& a, const char* control) {
  for (const auto& [name, value] : a.values)
    if (EqualsIgnoringAsciiCase(name, control)) return value;
  return {};
}
bool has(const DialogAnswer& a, const char* control) {
  for (const auto& [name, value] : a.values)
    if (EqualsIgnoringAsciiCase(name, control)) return true;
  return false;
}

}  // namespace

bool IsTemplateDialogName(std::string_view name) {
  return dialogNamed(name) != nullptr;
}

std::string CheckTemplateDialogAnswer(const DialogAnswer& answer) {
  const DialogDef* d = dialogNamed(answer.dialog);
  if (!d) return "Den Dialog „" + answer.dialog + "“ kann die Tastenfolge nicht beantworten.";
  for (const auto& [name, value] : answer.values) {
    const Control* c = controlNamed(*d, name);
    if (!c) return "Der Dialog „" + answer.dialog + "“ hat kein Feld „" + name + "“.";
    if (std::string why = checkValue(*c, name, value); !why.empty()) return why;
  }
  // The name dialog closes with OK only when it holds a name.
  const bool isNew = EqualsIgnoringAsciiCase(d->name, "Absatzvorlage") ||
                     EqualsIgnoringAsciiCase(d->name, "Zeichenvorlage");
  if (isNew && !has(answer, "name"))
    return "Der Dialog „" + answer.dialog + "“ braucht einen Namen (name=...).";
  if (EqualsIgnoringAsciiCase(d->name, "Formatvorlagen")) {
    if (!has(answer, "template"))
      return "Der Dialog „" + answer.dialog + "“ braucht eine Formatvorlage (template=...).";
    if (action(valueOf(answer, "action")) == 1 && !has(answer, "name"))
      return "„Umbenennen“ braucht einen neuen Namen (name=...).";
  }
  return {};
}

void AnswerTemplateDialog(TMDIChild& w, const DialogAnswer& answer) {
  const DialogDef* d = dialogNamed(answer.dialog);
  if (!d) return;
  const std::string dialog = d->name;
  if (dialog == "Absatzvorlage" || dialog == "Zeichenvorlage") {
    if (!ValidLine(w.doc, w.doc.Cursor.field, w.doc.Cursor.line)) return;
    AddTemplateAtCursor(w, dialog == "Absatzvorlage" ? kTemplateParagraph : kTemplateCharacter,
                        valueOf(answer, "name"));
  } else if (dialog == "Formatvorlagen") {
    const int32_t index = templateIndex(w, valueOf(answer, "template"));
    const int act = has(answer, "action") ? action(valueOf(answer, "action")).value_or(0) : 0;
    if (act == 0) useVorlage(w, index);
    if (act == 1) RenameVorlage(w, index, valueOf(answer, "name"));
    if (act == 2) DeleteVorlage(w, index);
    ListAllVorlagen(w);
  } else if (dialog == "Spalten") {
    ColumnsDialog c = ColumnsDialogFor(w);
    if (has(answer, "count"))
      c.count = static_cast<int>(TypedNumber(valueOf(answer, "count")).value_or(1));
    if (has(answer, "gap")) c.gapCm = TypedNumber(valueOf(answer, "gap")).value_or(c.gapCm);
    if (has(answer, "lines")) c.lines = valueOf(answer, "lines") == "1";
    ApplyColumnsDialog(w, c);
  } else if (dialog == "Sonderzeichen") {
    SpecialCharacterDialog s = SpecialCharacterDialogFor(w);
    if (has(answer, "font")) s.faceName = valueOf(answer, "font");
    if (has(answer, "char"))
      s.code = static_cast<int>(TypedNumber(valueOf(answer, "char")).value_or(s.code));
    ApplySpecialCharacterDialog(w, s);
  }
}

}  // namespace paginor
