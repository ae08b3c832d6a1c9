// The dialog "Nummerierung und Aufzählungen" as data: filled from the Cursor's paragraph and its
// answer written to the paragraphs.
#pragma once

#include "platform/format_dialogs.h"

namespace paginor {

class TMDIChild;

// The dialog as it opens: the list kind, the distance to the text in cm and the bullet
// character in its font ("Wingdings" when the paragraph names none).
ListDialog ListDialogFor(const TMDIChild& w);

// "OK": list kind, indent × 10, the box's first character (159 when it is empty) and its font,
// stored empty when it is "Wingdings"; one undo step "Absatzformat".
void ApplyListDialog(TMDIChild& w, const ListDialog& d);

// Shows the dialog through the platform and applies it on "OK" (menu "&Nummerierung und
// Aufzählungen....").
void NummerierungundAufzaehlungen(TMDIChild& w);

}  // namespace paginor
