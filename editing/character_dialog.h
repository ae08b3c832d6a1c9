// The character dialog "Zeichen" as data: filled from the CurrentFormat, and its answer applied
// to the text component by component.
#pragma once

#include "platform/dialogs.h"

namespace paginor {

class TMDIChild;

// The dialog as it opens: the CurrentFormat, attributes 0 to 3 taken from the style bits.
CharacterDialog CharacterDialogFor(const TMDIChild& w);

// "OK": the whole CurrentFormat comes from the dialog (a size that is not a number from 1 to
// 999 keeps the old one), and only the changed controls move into the text (one undo step
// "Zeichenformat"). The toolbar follows.
void ApplyCharacterDialog(TMDIChild& w, const CharacterDialog& d);

// Shows the dialog through the platform and applies it on "OK" (menu "&Zeichen...").
void zeichenformatieren(TMDIChild& w);

}  // namespace paginor
