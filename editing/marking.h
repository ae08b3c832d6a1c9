// The marking (the selection): the text between the Anchor and the Cursor of a window. A
// marking that reaches over table rows becomes a rectangle of whole cells (block marking).
//
// The text walk reads the document in reading order from the scan position MarkStart: inside a
// table row, cell by cell, each cell from its first to its last line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"
#include "window/marking.h"

namespace paginor {

class TMDIChild;

// --- The text walk (scan position: MarkStart). Each returns false at the end, leaving the
// scan position where it was.
// Whether the walk stops on lines without cells (at their position 0) or passes them by. The
// marked-line walks stop: an empty paragraph is one of the marking's lines too.
enum class EmptyLines : uint8_t { Skip, Stop };
bool getnextchar(TMDIChild& w, EmptyLines empty = EmptyLines::Skip);
// Steps to the next line, ignoring cells.
bool getnextcharTableBlind(TMDIChild& w, EmptyLines empty = EmptyLines::Skip);
bool getPrevsChar(TMDIChild& w, EmptyLines empty = EmptyLines::Skip);
bool getnextmarkedchar(TMDIChild& w, EmptyLines empty = EmptyLines::Skip);
bool getnextmarkedcharTableBlind(TMDIChild& w, EmptyLines empty = EmptyLines::Skip);
bool getnextmarkedline(TMDIChild& w);
bool getnextmarkedlineTableBlind(TMDIChild& w);
// Clears every field's visited mark before a walk with WalkAllFields.
void ClearVisitedMarks(Document& d);

// What becomes of the table cells a block marking empties: they stay in their rows (Delete,
// typing over the marking), or they leave them (Cut, and moving text by dragging it).
enum class EmptiedCells : uint8_t { Stay, LeaveRows };
// Deletes the marked text; Cursor and Anchor end at MarkStart. Nothing without a marking.
void DeleteMarking(TMDIChild& w, EmptiedCells emptiedCells = EmptiedCells::Stay);

// Select word (double click): the word at the Cursor with its trailing spaces.
void WortMarkieren(TMDIChild& w);
// Select paragraph: from the paragraph's first cell over its paragraph end.
void AbsatzMarkieren(TMDIChild& w);
// The word around the Cursor (Windows-1252). With `select`, Cursor and Anchor move to the
// word's first cell.
enum class SelectWord { No, Yes };
std::string GetActualWord(TMDIChild& w, SelectWord select);

// Document statistics as the dialog's grid shows them: the header row "Bezeichnung", "Wert",
// then "Seiten", "Wörter", "Zeichen (ohne Leerzeichen)", "Zeichen (mit Grafiken)", "Absätze",
// "Zeilen" with their counts. Texts are UTF-8.
using StatisticsRow = std::array<std::string, 2>;
std::vector<StatisticsRow> CountWords(TMDIChild& w);

}  // namespace paginor
