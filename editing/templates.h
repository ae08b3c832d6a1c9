// Templates ("Formatvorlagen") as commands: creating one from the format at the Cursor, applying
// one to the text, renaming and deleting them in the management dialog, and the template box of
// the format toolbar that lists them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "editing/commands.h"
#include "platform/template_dialogs.h"

namespace paginor {

class TMDIChild;

// The undo step of applying a template.
inline constexpr const char* kApplyTemplateStep = "Formatvorlage";

// The name proposed for a new template: "Formatvorlage " and the count + 1.
std::string ProposedTemplateName(const TMDIChild& w);
// The name dialog of "Neue &Absatzvorlage..." (kind 0) and "Neue &Zeichenvorlage" (kind 1).
TemplateNameDialog NewTemplateDialogFor(const TMDIChild& w, uint8_t kind);
// Whether the name dialog may close with OK: a name, written in characters the document can
// store (Windows-1252), so that no letter turns into "?" unseen.
bool TemplateNameAccepted(std::string_view utf8Name);
bool TemplateNameWritable(std::string_view utf8Name);

// Appends a template of `kind` named `utf8Name` from the Cursor line's paragraph format and the
// character format at the Cursor (at or after the line's last character: the CurrentFormat).
// False, changing nothing, when the Cursor stands nowhere or the name is empty.
bool AddTemplateAtCursor(TMDIChild& w, uint8_t kind, std::string_view utf8Name);
// The whole command: the name dialog with the proposal, then AddTemplateAtCursor.
void NeueVorlage(TMDIChild& w, uint8_t kind);

// Applies template `index`: a paragraph template's paragraph format to the paragraphs of the
// marking or the Cursor, and for both kinds its character format as the CurrentFormat and to the
// marking (or the word at the Cursor). One undo step.
void useVorlage(TMDIChild& w, int32_t index);

// Renames template `index` (cut to 255 characters); false for an empty name or a wrong index.
bool RenameVorlage(TMDIChild& w, int32_t index, std::string_view utf8Name);
// Removes template `index`; the later ones move up one place.
bool DeleteVorlage(TMDIChild& w, int32_t index);

// The management dialog's names and selection (the first entry) as it opens; VorlagenVerwalten
// adds the handlers that rename and delete.
TemplateManagerDialog TemplateManagerDialogFor(TMDIChild& w);
// "&Vorlagen verwalten...": the dialog; "&Anwenden" with a selected entry applies that
// template; the template box is refreshed in any case.
void VorlagenVerwalten(TMDIChild& w);

// Brings the template box of the format toolbar in line with the templates (first entry
// selected).
void ListAllVorlagen(TMDIChild& w);

// "Neue &Absatzvorlage...", "Neue &Zeichenvorlage", "&Vorlagen verwalten...", "&Spalten..." and
// "&Sonderzeichen..." on the window; false for any other command.
bool RunTemplateCommand(TMDIChild& w, CommandId id);

}  // namespace paginor
