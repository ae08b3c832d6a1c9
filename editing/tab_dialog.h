// The tab stop dialog "Tabstops" as data: filled from the Cursor's paragraph, its buttons, and
// its answer written to the paragraphs.
#pragma once

#include <string>

#include "platform/format_dialogs.h"

namespace paginor {

class TMDIChild;

// The dialog as it opens: the default tab width and the stops of the Cursor's paragraph in cm,
// the first stop chosen.
TabDialog TabDialogFor(const TMDIChild& w);

// The error texts of "Setzen".
inline constexpr const char* kTabNotANumber =
    "Ungültiger Wert für einen Tabstop. Sie müssen eine Zahl eingeben!";
inline constexpr const char* kTabOutOfRange =
    "Ungültiger Wert für einen Tabstop (Wertebereich: x>0; x<=100 cm).";

// "Setzen": the position typed into the list box. A stop already at that position only takes
// the shown "Ausrichtung" and "Füllzeichen"; otherwise a stop with them is inserted at its
// sorted place. Returns the message to show in an error box, or empty when the stop was set.
std::string SetTabStop(TabDialog& d);
// Choosing an entry of the list: its kinds are shown.
void SelectTabStop(TabDialog& d, int index);
// Changing "Ausrichtung" or "Füllzeichen" changes the chosen stop.
void ChooseTabAlignment(TabDialog& d, int alignment);
void ChooseTabFill(TabDialog& d, int fill);
// "Löschen" removes the chosen stop, "Alle löschen" every stop.
void DeleteTabStop(TabDialog& d);
void DeleteAllTabStops(TabDialog& d);

// "OK": the stops in list order with positions × 10 mm and the default width go to the marked
// paragraphs, or the Cursor's, as one undo step "Absatzformat".
void ApplyTabDialog(TMDIChild& w, const TabDialog& d);

// Shows the dialog through the platform and applies it on "OK" (menu "&Tabulator...").
void tabulator(TMDIChild& w);

}  // namespace paginor
