// A piece of text taken out of a document and put into one: the marked lines with their cells,
// the fonts and pictures those cells use (by value, so a fragment outlives the document's font
// table and picture list, or another document's), the paragraph formats and end kinds of the
// lines, and the footnotes whose references it holds. Copy, cut and paste and the text drag and
// drop of the mouse are built on it; the clipboard stores one.
//
// Table lines are taken as text lines: each copied cell line becomes a paragraph of its own
// (a cell's end counts as a paragraph end), and inserting never adds table rows or columns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"

namespace paginor {

class TMDIChild;

struct FragmentLine {
  // The copied line: paragraph format, end kind, table and column members as in the document;
  // its cells are the copied cells, whose fontIndex and pictureIndex name the fragment's own
  // fonts and pictures.
  LineRec line;
  // The line's end lay inside the marking: inserting splits the target line there with the
  // line's end kind (when it is not soft).
  bool endInside = false;
  // The line was a table cell's line: inserted into text it keeps the target's indents.
  bool fromTable = false;
};

// A footnote whose reference cell the fragment holds: its area's lines (cells indexed like the
// fragment's lines) and the area field itself.
struct FragmentNote {
  int32_t id = 0;  // the reference's footnoteId in the fragment
  FieldRec area;   // the footnote area, with its lines
};

struct Fragment {
  bool block = false;  // taken from a marking of whole table cells
  std::vector<FragmentLine> lines;
  std::vector<FontRec> fonts;
  std::vector<BildRec> pictures;
  std::vector<FragmentNote> notes;

  bool empty() const;
  // The plain text: plain cells with a non-zero character (Windows-1252), CR LF between a line
  // that ended with a paragraph end, line break or page break, or a table row's end, and the
  // next line.
  std::string plainText() const;
};

// Copies the marking. The document does not change; without a marking the fragment is empty.
Fragment CopyMarkingToFragment(TMDIChild& w);

// Copies the marking, then takes the undo snapshot "Ausschneiden", deletes the marking (table
// cells a block marking empties leave their rows) and lays out. Without a marking: empty, and
// nothing changes.
Fragment CutMarkingToFragment(TMDIChild& w);

// Inserts the fragment at the Cursor: cells in the target's format table (fonts re-interned,
// pictures appended to the picture list, plain cells measured again), lines split where the
// copied lines ended inside the marking (as Enter would, with the copied end kind), the copied
// paragraph format on the paragraphs the copied line ends close, footnotes with new numbers and
// copies of their areas. The Cursor stands after the insertion; the changed lines are dirty.
// The Anchor joins the Cursor. No undo snapshot; the layout runs only where a split inside a
// table needs it, so the caller lays out.
void InsertFragment(TMDIChild& w, const Fragment& f);

// Paste: ends the typing run, takes the undo snapshot "Einfügen", inserts the fragment at the
// Cursor and lays out. Nothing for an empty fragment.
void PasteFragment(TMDIChild& w, const Fragment& f);

}  // namespace paginor
