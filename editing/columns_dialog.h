// The column dialog "Spalten" as data: filled from the Cursor's paragraph, its answer written to
// the paragraphs at the Cursor or in the marking.
#pragma once

#include "platform/template_dialogs.h"

namespace paginor {

class TMDIChild;

inline constexpr int kMaxColumns = 10;
inline constexpr double kMaxColumnGapCm = 10.0;

// The dialog as it opens: the Cursor line's column count (at least 1), gap in cm and lines flag.
ColumnsDialog ColumnsDialogFor(const TMDIChild& w);

// "OK": with a count above 0 the paragraphs take the count (at most 10), the gap (0 to 10 cm in
// steps of 0.1, stored as millimetres) and the lines flag as one undo step "Absatzformat", and
// the document is laid out again. A count of 0 or less changes nothing.
void ApplyColumnsDialog(TMDIChild& w, const ColumnsDialog& d);

// "&Spalten...": shows the dialog through the platform and applies it on "OK".
void spaltenformat(TMDIChild& w);

}  // namespace paginor
