// Small documents for the layout tests. Cells get fixed sizes instead of measured ones, so that
// break positions and heights follow from the numbers in the test, not from the fonts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/layout.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "support/test_support.h"

namespace paginor::test {

// The text width of a new document's page body: A4 quantised to whole 96-dpi screen pixels
// (793 pixels), less the two 25 mm margins.
inline constexpr double kBodyTextWidth = 793 * kMmPerInch / 96 - 50;
// The usable height of a page body: 1122 screen pixels less the two margins.
inline constexpr double kBodyHeight = 1122 * kMmPerInch / 96 - 50;

struct LayoutTest : ::testing::Test {
  Fixture fx;
  int32_t font = 0;

  LayoutTest() {
    font = GetNewFontIndex(doc(), FontOfCurrentFormat(doc().CurrentFormat));
    doc().autoHyphenation = 0;  // tests that hyphenate switch it on with their own patterns
  }
  TMDIChild& w() { return fx.w(); }
  Document& doc() { return fx.doc(); }
  FieldRec& field(int32_t i) { return doc().fields[i]; }
  LineRec& line(int32_t f, int32_t l) { return doc().fields[f].lines[l]; }

  CharRec Cell(char ch, double width = 2.0, double height = 5.0) const {
    CharRec c;
    c.ch = static_cast<uint8_t>(ch);
    c.fontIndex = font;
    c.width = width;
    c.height = height;
    return c;
  }
  // One line holding `text`, every cell `width` wide and `height` high; dirty.
  LineRec Line(const std::string& text, int32_t endKind = kEndParagraph, double width = 2.0,
               double height = 5.0) const {
    LineRec l;
    InitNewLine(l);
    for (char ch : text) l.chars.push_back(Cell(ch, width, height));
    l.endKind = endKind;
    l.dirty = 1;
    return l;
  }
  // Replaces a field's lines.
  void SetLines(int32_t f, std::vector<LineRec> lines) {
    field(f).lines.clear();
    for (LineRec& l : lines) field(f).lines.push_back(std::move(l));
    doc().Cursor = doc().Anchor = CursorPos{0, 0, 0};
  }
  void Layout() { MakeSoftEnters(w()); }

  std::string Text(const LineRec& l) const {
    std::string s;
    for (const CharRec& c : l.chars)
      s.push_back(c.kind == kCharText ? static_cast<char>(c.ch) : '#');
    return s;
  }
  std::vector<std::string> Texts(int32_t f) {
    std::vector<std::string> out;
    for (const LineRec& l : field(f).lines) out.push_back(Text(l));
    return out;
  }
  // Everything the layout writes, as text, to compare two passes.
  std::string LayoutState();
};

// `n` words of `letters` letters each, separated by single spaces, the letters running a..z so
// that every word is told apart by its position.
std::string Words(int n, int letters);

}  // namespace paginor::test
