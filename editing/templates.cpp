#include "editing/templates.h"

#include <utility>

#include "editing/columns_dialog.h"
#include "editing/formatting.h"
#include "editing/special_character.h"
#include "editing/undo.h"
#include "model/position.h"
#include "model/queries.h"
#include "model/templates.h"
#include "platform/cp1252.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {

namespace {

bool validTemplate(const TMDIChild& w, int32_t index) {
  return index >= 0 && index < w.doc.templateCount();
}

// The character format a new template takes: the cell at the Cursor while one stands before the
// line's last character, otherwise the CurrentFormat (so a template made at a line's end has the
// format the next typed character would get).
CharRec sampleAtCursor(TMDIChild& w) {
  Document& d = w.doc;
  const LineRec& line = LineOf(d, d.Cursor);
  if (d.Cursor.chr >= 0 && d.Cursor.chr < line.charCount() - 1) return line.chars[d.Cursor.chr];
  FontRec font = FontOfCurrentFormat(d.CurrentFormat);
  font.reserved = 0;
  CharRec sample;
  sample.fontIndex = GetNewFontIndex(d, font);
  return sample;
}

std::vector<std::string> templateNames(const Document& d) {
  std::vector<std::string> names;
  for (const VorlageRec& v : d.templates) names.push_back(cp1252ToUtf8(v.name));
  return names;
}

}  // namespace

std::string ProposedTemplateName(const TMDIChild& w) {
  return "Formatvorlage " + std::to_string(w.doc.templateCount() + 1);
}

TemplateNameDialog NewTemplateDialogFor(const TMDIChild& w, uint8_t kind) {
  TemplateNameDialog d;
  d.caption = kind == kTemplateCharacter ? "Neue Zeichenvorlage" : "Neue Absatzvorlage";
  d.name = ProposedTemplateName(w);
  return d;
}

bool TemplateNameAccepted(std::string_view utf8Name) {
  return !utf8Name.empty() && TemplateNameWritable(utf8Name);
}

bool TemplateNameWritable(std::string_view utf8Name) {
  return utf8ToCp1252(utf8Name, '\0').find('\0') == std::string::npos;
}

bool AddTemplateAtCursor(TMDIChild& w, uint8_t kind, std::string_view utf8Name) {
  Document& d = w.doc;
  if (!TemplateNameAccepted(utf8Name) || !ValidLine(d, d.Cursor.field, d.Cursor.line)) return false;
  const ParagraphFormat para = LineOf(d, d.Cursor).para;
  const CharRec sample = sampleAtCursor(w);
  AddVorlage(d, utf8ToCp1252(utf8Name),
             kind == kTemplateCharacter ? kTemplateCharacter : kTemplateParagraph, para, sample);
  // Templates are saved with the document: closing it must ask about them.
  SetFileChanged(w, true);
  ListAllVorlagen(w);
  return true;
}

void NeueVorlage(TMDIChild& w, uint8_t kind) {
  if (!ValidLine(w.doc, w.doc.Cursor.field, w.doc.Cursor.line)) return;
  TemplateNameDialog dialog = NewTemplateDialogFor(w, kind);
  if (!w.app.dialogs().run(dialog)) return;
  AddTemplateAtCursor(w, kind, dialog.name);
}

void useVorlage(TMDIChild& w, int32_t index) {
  Document& d = w.doc;
  if (!validTemplate(w, index) || !ValidPosition(d, d.Cursor)) return;
  const VorlageRec v = d.templates[index];
  MakeCopyForUndo(w, kApplyTemplateStep);
  if (v.kind == kTemplateParagraph) {
    AbsatzFormat format = getabsatzformat(w);
    const int32_t number = format.para.listNumber;  // counted by the layout, not a format
    format.para = v.paragraph;
    format.para.listNumber = number;
    setabsatzformat(w, format, AbsatzSwitches{.undo = false});
  }
  // A template read from a damaged file may name no font; its paragraph format still applies.
  if (v.sample.fontIndex >= 0 && v.sample.fontIndex < d.fontCount()) {
    const FontRec font = d.fonts[v.sample.fontIndex];
    CurrentFormatRec& cf = d.CurrentFormat;
    TakeFont(cf, font);
    formatierenWithoutUndo(w, FormatComponents{.faceName = true,
                                               .size = true,
                                               .attributes = 0xFFFF,
                                               .charset = true,
                                               .outlineColour = true,
                                               .shadowColour = true,
                                               .background = true,
                                               .strikeOut = true,
                                               .underline = true,
                                               .italic = true,
                                               .bold = true,
                                               .textColour = true});
  }
  SetFileChanged(w, true);
  // The toolbar follows the template's format, which stays the one typing continues with: on an
  // empty line, or with the Cursor after a word, reloading it from the character before the
  // Cursor would undo the choice the user just made.
  SmallOvertakeFont(w);
}

bool RenameVorlage(TMDIChild& w, int32_t index, std::string_view utf8Name) {
  if (!validTemplate(w, index) || !TemplateNameAccepted(utf8Name)) return false;
  std::string name = utf8ToCp1252(utf8Name);
  name.resize(std::min(name.size(), kTemplateNameMax));
  w.doc.templates[index].name = std::move(name);
  SetFileChanged(w, true);
  return true;
}

bool DeleteVorlage(TMDIChild& w, int32_t index) {
  if (!validTemplate(w, index)) return false;
  auto& list = w.doc.templates;
  list.erase(list.begin() + index);
  if (list.empty()) FreeVorlagen(w.doc);
  SetFileChanged(w, true);
  return true;
}

TemplateManagerDialog TemplateManagerDialogFor(TMDIChild& w) {
  TemplateManagerDialog d;
  d.names = templateNames(w.doc);
  d.selected = d.names.empty() ? -1 : 0;
  return d;
}

void VorlagenVerwalten(TMDIChild& w) {
  TemplateManagerDialog d = TemplateManagerDialogFor(w);
  d.rename = [&w, &d](int i) {
    if (!validTemplate(w, i)) return false;
    TemplateNameDialog name;
    name.name = cp1252ToUtf8(w.doc.templates[i].name);
    if (!w.app.dialogs().run(name) || !RenameVorlage(w, i, name.name)) return false;
    d.names = templateNames(w.doc);
    return true;
  };
  d.remove = [&w, &d](int i) {
    if (!DeleteVorlage(w, i)) return;
    d.names = templateNames(w.doc);
    if (d.selected >= static_cast<int>(d.names.size()))
      d.selected = static_cast<int>(d.names.size()) - 1;
  };
  const bool apply = w.app.dialogs().run(d);
  if (apply && validTemplate(w, d.selected)) useVorlage(w, d.selected);
  ListAllVorlagen(w);
}

void ListAllVorlagen(TMDIChild& w) {
  // The toolbar state carries the names; the box refills only when they differ.
  SmallOvertakeFont(w);
}

bool RunTemplateCommand(TMDIChild& w, CommandId id) {
  switch (id) {
    case CommandId::FormatNewParagraphTemplate:
      NeueVorlage(w, kTemplateParagraph);
      return true;
    case CommandId::FormatNewCharacterTemplate:
      NeueVorlage(w, kTemplateCharacter);
      return true;
    case CommandId::FormatManageTemplates:
      VorlagenVerwalten(w);
      return true;
    case CommandId::FormatColumns:
      spaltenformat(w);
      return true;
    case CommandId::InsertSpecialChar:
      SonderzeichenEinfuegen(w);
      return true;
    default:
      return false;
  }
}

}  // namespace paginor
