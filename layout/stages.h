// The stages of the layout pass, in the order MakeSoftEnters calls them. Private to layout/.
#pragma once

#include <cstdint>

#include "layout/field_lines.h"
#include "layout/layout_work.h"

namespace paginor {

// --- Page geometry (page_geometry.cpp)

// The quantised page size of the pass.
void InitPageSize(LayoutWork& work);
// Width of a field's text area (the page width quantised).
double TextWidth(const LayoutWork& work, const FieldRec& f);
// Height of a field from its top to its bottom edge (the page height quantised).
double FieldHeight(const LayoutWork& work, const FieldRec& f);

// --- Gathering (gather_chains.cpp)

// Moves the lines of every chain of linked fields into the chain's first field.
void GatherChains(LayoutWork& work);

// --- Joining (join_lines.cpp)

// Appends every dirty soft-ended line's successor to it, and the visual rows of every table row
// to the row's first visual row, except in clean rows that would break into the same lines again
// (listed in LayoutWork::keptRows). Takes the field's lines out of the field for the line loop.
FieldLines JoinLines(LayoutWork& work, int32_t field);

// --- Spelling marks (spelling_marks.cpp)

// Marks the words of the lines that `check` rejects (misspelt bit of charFlags).
void MarkFieldSpelling(FieldLines& lines, const WordCheck& check);

// --- Line loop (line_loop.cpp)

// Paragraph starts, list numbers and the breaking of dirty lines of one field.
void BreakFieldLines(LayoutWork& work, int32_t field, FieldLines& lines, double textWidth);

// --- Breaking one line (break_line.cpp)

// The visual row of a table line: its first line, its cell count and the line's column. A line
// outside a table, or one whose row geometry does not fit the field, counts as a row of one.
struct VisualRow {
  int32_t first = 0;
  int32_t cells = 1;
  int32_t column = 0;
};
VisualRow VisualRowOf(FieldLines& lines, int32_t line);

// Where a dirty line ends: nowhere (it fits and has no hard end), at a soft end or at a line-end
// cell. `end` counts from the line's first cell; the cells from `end` on go to the next line.
struct LineEnd {
  bool found = false;
  int32_t kind = kEndSoft;  // 0 soft, 1..3 the end kind of the line-end cell
  int32_t end = 0;
};
// Breaks line `line` whose cells start at `base` of its array: tab widths, line height,
// hyphenation mark and the end.
LineEnd BreakLine(LayoutWork& work, FieldLines& lines, int32_t line, int32_t base,
                  bool paragraphStart, double textWidth);

// --- Tab stops (tab_stops.cpp)

struct TabResult {
  double width = 0;
  uint8_t fill = 0;
};
// Width and fill of the tab cell `tab` of `cells` standing at position x.
TabResult TabWidth(const ParagraphFormat& para, const CharRec* cells, int32_t count, int32_t tab,
                   double x);

// --- Split (split_line.cpp)

// Moves the cells from the end on to the next line of the same cell column, inserting a new
// visual row when there is no line to take them.
void SplitLine(LayoutWork& work, int32_t field, FieldLines& lines, int32_t line, int32_t base,
               const LineEnd& end);
// Drops the cells before `base` of a lazily handed-on line.
void DropLeadingCells(LineRec& line, int32_t base);

// --- Page flow, footnotes, columns (page_flow.cpp, footnotes.cpp)

// Sizes the footnote areas, distributes the lines over pages and linked boxes and places and
// numbers the footnotes.
void FlowPages(LayoutWork& work);

// --- Clean-up (clean_up.cpp)

// Removes footnote areas whose reference is gone and continuation fields left without lines,
// keeping every stored field index on its field.
void CleanUpFields(LayoutWork& work);

}  // namespace paginor
