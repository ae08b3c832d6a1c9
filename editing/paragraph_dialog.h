// The paragraph dialog "Absatzformatierung" as data: filled from the Cursor's paragraph, the
// rules that keep its line spacing list and "Maß" in step, and its answer written to the
// paragraphs.
#pragma once

#include "platform/dialogs.h"

namespace paginor {

class TMDIChild;

// The dialog as it opens on the Cursor's paragraph: mode 0 shows "Einfach", "1,5 Zeilen" or
// "Doppelt" for 1, 1.5 and 2 and "Mehrfach" for any other multiple.
ParagraphDialog ParagraphDialogFor(const TMDIChild& w);

// The label beside "Maß": "mm" for "Mindestens" and "Genau", "Zeilen" otherwise.
const char* SpacingUnitLabel(ParagraphDialog::Spacing spacing);
// Choosing an entry of "Zeilenabstand": the first three put their multiple into "Maß".
void ChooseSpacing(ParagraphDialog& d, ParagraphDialog::Spacing spacing);
// Typing into "Maß": a value that does not match the chosen entry of the first three switches
// the list to "Mehrfach"; under "Mehrfach" exactly 1, 1.5 or 2 switch to their entry.
void TypeMeasure(ParagraphDialog& d, double value);

// "OK": the marked paragraphs, or the Cursor's, take the whole format of the Cursor's
// paragraph with the dialog's values (one undo step "Absatzformat").
void ApplyParagraphDialog(TMDIChild& w, const ParagraphDialog& d);

// Shows the dialog through the platform and applies it on "OK" (menu "&Absatz...").
void absatzformatieren(TMDIChild& w);

}  // namespace paginor
