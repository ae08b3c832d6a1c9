// A document window with the editor attached to a recording host, and small documents for the
// editing tests: paragraphs, tables, lists, footnotes, pictures.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editing/keys.h"
#include "model/records.h"
#include "support/recording_editor_host.h"
#include "support/test_support.h"
#include "window/edit_state.h"

namespace paginor::test {

struct EditorTest : ::testing::Test {
  EditorTest();
  ~EditorTest() override;

  Fixture fx;
  RecordingEditorHost host;

  TMDIChild& w() { return fx.w(); }
  Document& doc() { return fx.doc(); }
  EditState& edit() { return EditingOf(fx.w()); }
  EditOptions& options() { return EditOptionsOf(fx.app); }
  CursorPos& cursor() { return doc().Cursor; }
  LineRec& line(int32_t f, int32_t l) { return doc().fields[f].lines[l]; }

  // Feeds a key script (docs/key-script.md) through the handlers; fails the test on a bad script.
  void Keys(const std::string& utf8);
  KeyResponse Down(int key, Modifiers m = kNoModifier) { return getkeysKeyDown(w(), key, m); }
  // Types Windows-1252 text character by character.
  void Type(const std::string& cp1252);
  void Place(int32_t field, int32_t line, int32_t chr);  // Cursor and Anchor

  // The page body's first field replaced by paragraphs (each one line ending in a paragraph end,
  // measured in the CurrentFormat), then laid out.
  void SetParagraphs(const std::vector<std::string>& paragraphs, int32_t field = 0);
  // Inserts a table of `rows` rows of `texts.size()` cells before line `at` of a field; each
  // cell holds one line with its text (several paragraphs when the text has '|'). Lays out.
  void InsertTable(int32_t field, int32_t at, int32_t rows, const std::vector<std::string>& texts);

  // Text of a line ('#' for a non-character cell), of a field, of a whole chain in reading
  // order with "¶" for paragraph ends (UTF-8 free: '|' paragraph end, '/' line break, '^' page
  // break), and everything the model holds for comparing two states.
  std::string Text(int32_t f, int32_t l);
  std::vector<std::string> Texts(int32_t f);
  std::string ChainText(int32_t field = 0);
  std::string State();
  // The whole document but the font table, which undo leaves grown (cells keep their indexes, so
  // a restored cell still names its old font), and the modified flag, which undo leaves set.
  std::string DumpWithoutFonts();

  // The font of a cell, and of every cell of a line in order.
  const FontRec& FontAt(int32_t f, int32_t l, int32_t c);
  std::vector<FontRec> Fonts(int32_t f, int32_t l);
  // Gives cells [from, to) of a line a font of their own, measured.
  void SetFont(int32_t f, int32_t l, int32_t from, int32_t to, const FontRec& font);

  void ExpectValid(const std::string& where = "");
};

// A measured plain cell in the window's CurrentFormat.
CharRec MeasuredCell(TMDIChild& w, uint8_t ch);

// Inserts a table before line `at` of a field, as EditorTest::InsertTable, without laying out.
void InsertTableRows(TMDIChild& w, int32_t field, int32_t at, int32_t rows,
                     const std::vector<std::string>& texts);

// Replaces the window's document (its undo list must be empty) by a document for the random
// tests: several pages of paragraphs with bullets, numbers, line and
// page breaks, a table of three rows with a cell of two paragraphs, a footnote with its area,
// a picture cell and a linked pair of text boxes. Laid out.
void BuildMixedDocument(TMDIChild& w);

}  // namespace paginor::test
