// Character measurement. Every cell carries its own width and height, measured once when it is
// made or its shown text changes, at the printer's resolution, so that screen, printout and PDF
// break lines identically. The layout only adds up the stored values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "layout/layout_context.h"
#include "platform/platform.h"
#include "window/document_window.h"

namespace paginor {

// Makes the device font for measuring and screen drawing. The caller deletes it
// (fonts.deleteFont). `attributes` is accepted for the drawing code's sake and unused.
FontHandle selfont(FontEngine& fonts, std::string_view face, int32_t resolution,
                   uint16_t attributes, uint8_t charset, uint8_t style, double size,
                   int32_t scalePercent);
// The same on the window's font engine.
FontHandle selfont(TMDIChild& w, std::string_view face, int32_t resolution, uint16_t attributes,
                   uint8_t charset, uint8_t style, double size, int32_t scalePercent);

// Measures `text` in the cell's font and stores width and height (mm) in the cell.
// `forceSuperscript` is set for footnote references and marks: the cell then moves to its own
// font entry with the superscript attribute, so cells sharing its former entry stay as they are.
void RenderChar(TMDIChild& w, CharRec& cell, bool forceSuperscript, std::string_view text);
// The same for a cell of another document than the window's (a file being read into a new model
// before it replaces the window's): fonts are looked up in `d`.
void RenderChar(TMDIChild& w, Document& d, CharRec& cell, bool forceSuperscript,
                std::string_view text);
// The same on a measuring device of its own (the layout pass).
void RenderChar(const MeasureDevice& device, Document& d, CharRec& cell, bool forceSuperscript,
                std::string_view text);

// What RenderChar measures for kind-0 cells: the character itself.
inline std::string_view CellText(const CharRec& cell) {
  return std::string_view(reinterpret_cast<const char*>(&cell.ch), 1);
}

// Round to whole points, halves to the even neighbour (the width of a 10.5 pt font is measured
// at 10 pt, of an 11.5 pt font at 12 pt).
double RoundHalfEven(double x);

// Applies the case attributes to a text: lower case first, then upper case for all capitals or
// small capitals. Every letter of the code page with a case partner changes.
std::string ApplyCaseAttributes(std::string_view text, uint16_t attributes);

}  // namespace paginor
