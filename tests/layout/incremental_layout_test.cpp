// The layout after an edit breaks only the dirty lines and keeps clean table rows as they are.
// Whatever it skips must not show: after every random edit a copy of the same document is laid
// out with every line dirty, and both must agree on every result the layout writes: breaks,
// heights, row marks, list and footnote numbers, column placement, pages and fields.
//
// Each edit marks the edited line dirty and the line above it, which may now take the edited
// line's first word as the complete layout lets it. Cells share one font (an empty line measures
// the font of the cell broken last, which differs between the two layouts by design; the
// MeasuringFont cases check it), and footnote numbers stay single digits (a footnote is
// renumbered after its line was broken, and two digits are wider).
#include <iomanip>
#include <random>
#include <sstream>
#include <tuple>

#include "layout_test_util.h"

namespace paginor {
namespace {

using test::LayoutTest;
using test::Words;

// Whether line `l` of field `f` starts a paragraph, as the line loop decides it, following the
// chain back to the previous field for a field's first line.
bool StartsParagraph(const Document& d, int32_t f, int32_t l) {
  const LineRec& line = d.fields[f].lines[l];
  if (line.rowStart) return true;
  int32_t p = l - std::max(1, line.rowCells);
  const FieldRec* field = &d.fields[f];
  if (p < 0) {
    const int32_t prev = field->prevField;
    if (prev < 0 || prev >= d.fieldCount() || d.fields[prev].lineCount() == 0) return true;
    field = &d.fields[prev];
    p += field->lineCount();
    if (p < 0) return true;
  }
  const LineRec& above = field->lines[p];
  return above.endKind == kEndParagraph || above.endKind == kEndPageBreak || above.rowEnd;
}

// Everything the layout decides, one line of text per field, line and cell. Outside tables a
// list number is only shown where it is drawn, at a paragraph's start: the lines below keep the
// number the paragraph had when they were split off. Table rows carry the current number on
// every line.
std::string Results(const Document& d) {
  std::ostringstream o;
  o << std::setprecision(17);
  o << "fonts " << d.fontCount() << '\n';
  for (int32_t i = 0; i < d.fieldCount(); ++i) {
    const FieldRec& f = d.fields[i];
    o << "field " << i << " type " << int(f.type) << " page " << f.page << " links " << f.prevField
      << ' ' << f.nextField << " top " << f.top << " bottom " << f.bottom << " note "
      << f.footnoteNo << " first " << int(f.firstFootnote) << '\n';
    for (int32_t k = 0; k < f.lineCount(); ++k) {
      const LineRec& l = f.lines[k];
      o << ' ' << i << ':' << k << " [";
      for (const CharRec& c : l.chars) o << (c.kind == kCharText ? char(c.ch) : '#');
      const bool start = StartsParagraph(d, i, k);
      o << "] end " << l.endKind << " h " << l.lineHeight << " hy " << int(l.endsWithHyphen)
        << " no " << (start || l.inTable ? l.para.listNumber : -1) << " row " << int(l.rowStart)
        << int(l.rowEnd) << int(l.inTable) << ' ' << l.rowCells << ' ' << l.cellColumn << " space "
        << l.para.spaceAbove << ' ' << l.para.spaceBelow << " col " << l.columns << ' '
        << l.columnLine << ' ' << l.columnGap << ' ' << l.columnIndex << ' ' << l.columnX << ' '
        << l.columnTopShift << ' ' << l.columnTailSpace << ' ' << int(l.lastColumn)
        << int(l.opensColumn) << int(l.closesColumn) << " refs " << l.footnoteRefs << " anchor "
        << l.lineAnchorId << " dirty " << int(l.dirty) << '\n';
      for (const CharRec& c : l.chars)
        if (c.kind != kCharText || c.ch == 9)
          o << "   cell " << int(c.kind) << ' ' << c.width << ' ' << c.height << ' '
            << int(c.tabFill) << ' ' << c.number() << ' ' << c.fontIndex << '\n';
    }
  }
  return o.str();
}

// The lines where two dumps differ (the first few), for a readable failure.
std::string Differences(const std::string& a, const std::string& b) {
  std::istringstream x(a), y(b);
  std::string lx, ly, out;
  int shown = 0;
  while (shown < 40) {
    const bool gx = static_cast<bool>(std::getline(x, lx));
    const bool gy = static_cast<bool>(std::getline(y, ly));
    if (!gx && !gy) break;
    if (lx == ly) continue;
    out += "\nincremental " + lx + "\ncomplete    " + ly;
    ++shown;
  }
  return out;
}

class IncrementalLayout : public LayoutTest {
 protected:
  test::Fixture scratch;  // the complete layout runs in a second window of its own

  // Lays the document out as an edit does and a copy of it with every line dirty; both must
  // agree.
  void CheckPass(const std::string& what) {
    scratch.doc() = doc();
    Layout();
    SetAllDirtyFlags(scratch.doc());
    MakeSoftEnters(scratch.w());
    const std::string incremental = Results(doc());
    const std::string complete = Results(scratch.doc());
    ASSERT_TRUE(incremental == complete) << what << ": " << Differences(incremental, complete);
    ASSERT_EQ(doc().Cursor, scratch.doc().Cursor) << what;
    ASSERT_EQ(doc().Anchor, scratch.doc().Anchor) << what;
  }

  // --- the document: paragraphs, lists, tables, columns, page breaks, footnotes, text boxes

  LineRec TableCell(const std::string& text, int32_t cells, int32_t column, bool start, bool end,
                    double weight = 1.0) {
    LineRec l = Line(text, kEndSoft);
    l.inTable = 1;
    l.rowStart = start;
    l.rowEnd = end;
    l.rowCells = cells;
    l.cellColumn = column;
    l.cellWidth = weight;
    l.para.indentLeft = l.para.indentRight = 1;
    return l;
  }

  void AddFootnote(int32_t f, int32_t l, int32_t at) {
    const int32_t no = ++doc().footnoteCounter;
    const int32_t area = NewPage(doc(), AddLine::No);
    FieldRec& a = field(area);
    a.type = kFieldFooter;
    a.footnoteNo = no;
    a.top = 29.5;
    a.bottom = 24.5;
    a.topFromBottom = a.bottomFromBottom = a.rightFromRight = 1;
    a.marginTop = a.marginBottom = 0;
    a.lines.push_back(Line("note " + Words(3 + no % 5, 4)));
    CharRec mark = Cell('1');
    mark.kind = kCharFootnoteMark;
    mark.setFootnoteId(static_cast<uint16_t>(no));
    a.lines[0].chars.insert(0, mark);
    CharRec ref = Cell('1', 1.5, 3);
    ref.kind = kCharFootnoteRef;
    ref.setFootnoteId(static_cast<uint16_t>(no));
    LineRec& target = line(f, l);
    target.chars.insert(std::min(at, target.charCount()), ref);
    Touch(f, l);
  }

  void BuildDocument() {
    std::vector<LineRec> body;
    auto para = [&](int words, int letters, double height = 5.0) {
      body.push_back(Line(Words(words, letters), kEndParagraph, 2.0, height));
    };
    para(60, 6);
    para(5, 3, 6);
    for (int i = 0; i < 3; ++i) {  // a numbered list
      para(12 + 9 * i, 5);
      body.back().para.listKind = kListNumbers;
    }
    para(30, 8);
    body.back().para.spaceAbove = 3;
    body.back().para.spaceBelow = 2;
    // A table row of two visual rows with a paragraph end inside the first cell, one of a
    // single long visual row with unequal cells, one with an empty first cell.
    body.push_back(TableCell(Words(8, 5), 3, 0, true, false));
    body.back().endKind = kEndParagraph;
    body.push_back(TableCell(Words(20, 4), 3, 1, true, false, 2.0));
    body.push_back(TableCell("", 3, 2, true, false));
    body.push_back(TableCell(Words(4, 6), 3, 0, false, true));
    body.push_back(TableCell("", 3, 1, false, true, 2.0));
    body.push_back(TableCell(Words(3, 3), 3, 2, false, true));
    body.push_back(TableCell(Words(40, 5), 3, 0, true, true, 0.5));
    body.push_back(TableCell(Words(6, 5), 3, 1, true, true, 1.5));
    body.push_back(TableCell(Words(25, 7), 3, 2, true, true));
    body.push_back(TableCell("", 3, 0, true, true));
    body.push_back(TableCell(Words(30, 3), 3, 1, true, true));
    body.push_back(TableCell("x", 3, 2, true, true));
    body.back().para.lineSpacingMode = 1;
    body.back().para.lineSpacing = 9;
    // A one-column table with a numbered cell paragraph.
    body.push_back(TableCell(Words(50, 5), 1, 0, true, true));
    body.push_back(TableCell(Words(10, 5), 1, 0, true, true));
    body.back().para.listKind = kListNumbers;
    para(25, 6);
    std::string tabbed = "ab\tcd\tef " + Words(20, 4);
    body.push_back(Line(tabbed));
    for (int i = 0; i < 6; ++i) {  // a column section
      para(6 + 5 * i, 4);
      body.back().columns = 2;
    }
    para(40, 9);
    body.back().endKind = kEndPageBreak;
    for (int i = 0; i < 30; ++i) {
      para(4 + (i * 7) % 45, 3 + i % 7, i % 5 == 0 ? 7.0 : 5.0);
      if (i % 9 == 4) {
        body.back().para.lineSpacingMode = 2;
        body.back().para.lineSpacing = 6;
      }
      if (i % 11 == 3)
        for (int k = 10; k < body.back().charCount(); k += 23)
          body.back().chars.mut(k).charFlags = 1u << kFlagSoftHyphen;
    }
    body.push_back(Line(""));
    body.push_back(Line(""));
    para(70, 7);
    SetLines(0, std::move(body));
    AddFootnote(0, 0, 30);
    AddFootnote(0, 6, 3);  // in the first table cell
    AddFootnote(0, 30, 100);
    AddFootnote(0, 40, 5);
    // Two linked text boxes on the first page; the first one's text runs on into the second.
    const int32_t a = NewField(doc());
    const int32_t b = NewField(doc());
    for (int32_t i : {a, b}) {
      FieldRec& f = field(i);
      f.type = kFieldTextBox;
      f.page = 0;
      f.left = 20;
      f.right = 90;
      f.top = i == a ? 40 : 120;
      f.bottom = i == a ? 70 : 160;
    }
    field(a).nextField = b;
    field(b).prevField = a;
    field(a).lines.push_back(Line(Words(60, 5)));
    field(a).lines.push_back(Line(Words(9, 4)));
    field(b).lines.push_back(Line(""));
  }

  // --- random edits, each marking dirty what it changed, as the editing functions do

  std::mt19937 rng;
  int tableEdits = 0;
  int Pick(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng); }

  // A random line of a field that holds text; every fourth time one of a table, which are few.
  bool PickLine(int32_t& f, int32_t& l) {
    if (Pick(4) == 0) {
      std::vector<std::pair<int32_t, int32_t>> cells;
      for (int32_t i = 0; i < doc().fieldCount(); ++i)
        for (int32_t k = 0; k < field(i).lineCount(); ++k)
          if (line(i, k).inTable) cells.emplace_back(i, k);
      if (!cells.empty()) {
        std::tie(f, l) = cells[Pick(static_cast<int>(cells.size()))];
        return true;
      }
    }
    for (int tries = 0; tries < 20; ++tries) {
      f = Pick(doc().fieldCount());
      if (field(f).type > kFieldTextBox || field(f).lineCount() == 0) continue;
      l = Pick(field(f).lineCount());
      return true;
    }
    return false;
  }

  // The lines of the paragraph around a line outside tables: back to the line after a hard end,
  // on to the line with one.
  std::pair<int32_t, int32_t> Paragraph(int32_t f, int32_t l) {
    int32_t a = l, b = l;
    while (a > 0 && line(f, a - 1).endKind == kEndSoft && !line(f, a - 1).inTable) --a;
    while (b + 1 < field(f).lineCount() && line(f, b).endKind == kEndSoft &&
           !line(f, b + 1).inTable)
      ++b;
    return {a, b};
  }

  // Marks an edited line dirty, and the line above it in its cell column, which may now take
  // the edited line's first word (or give up its last one).
  void Touch(int32_t f, int32_t l) {
    line(f, l).dirty = 1;
    int32_t p = l - std::max(1, line(f, l).rowCells);
    int32_t g = f;
    if (p < 0) {
      g = field(f).prevField;
      if (g < 0 || g >= doc().fieldCount()) return;
      p += field(g).lineCount();
      if (p < 0) return;
    }
    line(g, p).dirty = 1;
  }

  void PlaceCursor(int32_t f, int32_t l, int32_t c) {
    doc().Cursor = doc().Anchor = CursorPos{f, l, c};
    doc().lineEndAffinity = static_cast<uint8_t>(Pick(4) == 0);
  }

  std::string Edit() {
    int32_t f = 0, l = 0;
    if (!PickLine(f, l)) return "nothing";
    LineRec& ln = line(f, l);
    const int32_t n = ln.charCount();
    const int32_t at = Pick(n + 1);
    const int op = Pick(100);
    std::ostringstream what;
    what << "op " << op << " at " << f << ':' << l << ':' << at;
    if (op < 50 && ln.inTable) ++tableEdits;
    if (op < 30) {  // type a letter, a space or a tab
      const int kind = Pick(10);
      ln.chars.insert(at, Cell(kind == 0 ? '\t' : kind < 3 ? ' ' : char('a' + Pick(26))));
      Touch(f, l);
      PlaceCursor(f, l, at + 1);
    } else if (op < 50) {  // delete a cell, never a footnote area's mark
      if (n > 0 && ln.chars[std::min(at, n - 1)].kind != kCharFootnoteMark)
        ln.chars.erase(std::min(at, n - 1), std::min(at, n - 1) + 1);
      Touch(f, l);
      PlaceCursor(f, l, std::min(at, ln.charCount()));
    } else if (op < 58 && !ln.inTable) {  // Enter
      LineRec rest = ln;
      rest.chars.erase(0, at);
      rest.lineAnchorId = 0;
      rest.dirty = 1;
      ln.chars.erase(at, n);
      ln.endKind = kEndParagraph;
      Touch(f, l);
      field(f).lines.insert(l + 1, std::move(rest));
      PlaceCursor(f, l + 1, 0);
    } else if (op < 66 && !ln.inTable && l + 1 < field(f).lineCount() &&
               !line(f, l + 1).inTable) {  // Delete at a paragraph's end: the next one joins
      const auto [first, last] = Paragraph(f, l);
      LineRec& end = line(f, last);
      if (last + 1 < field(f).lineCount() && !line(f, last + 1).inTable) {
        // The joined paragraph takes the format of the first, on all its lines.
        for (int32_t k = last + 1; k <= Paragraph(f, last + 1).second; ++k) {
          LineRec& m = line(f, k);
          m.para = end.para;
          m.columns = end.columns;
          m.columnLine = end.columnLine;
          m.columnGap = end.columnGap;
          m.dirty = 1;
        }
        const int32_t kept = end.charCount();
        for (const CharRec& c : line(f, last + 1).chars) end.chars.push_back(c);
        end.endKind = line(f, last + 1).endKind;
        end.dirty = 1;
        field(f).lines.erase(last + 1);
        PlaceCursor(f, last, kept);
      }
      (void)first;
    } else if (op < 74 && !ln.inTable) {  // a paragraph format: list, spacing or columns
      const auto [first, last] = Paragraph(f, l);
      // A paragraph running on from or into another field of a chain is left alone.
      if ((first == 0 && field(f).prevField >= 0) ||
          (line(f, last).endKind == kEndSoft && field(f).nextField >= 0))
        return what.str() + " skipped";
      const int change = Pick(4);
      for (int32_t k = first; k <= last; ++k) {
        LineRec& p = line(f, k);
        if (change == 0)
          p.para.listKind = p.para.listKind == kListNumbers ? kListNone : kListNumbers;
        if (change == 1) p.para.spaceAbove = Pick(3) * 2.0;
        if (change == 2) p.para.lineSpacing = 1.0 + Pick(3) * 0.5;
        if (change == 3 && f == 0) p.columns = p.columns >= 2 ? 0 : 2;
        p.dirty = 1;
      }
      PlaceCursor(f, first, 0);
    } else if (op < 78 && !ln.inTable && field(f).type == kFieldBody) {  // a page break
      const auto [first, last] = Paragraph(f, l);
      LineRec& end = line(f, last);
      if (end.endKind == kEndParagraph || end.endKind == kEndPageBreak) {
        end.endKind = end.endKind == kEndParagraph ? kEndPageBreak : kEndParagraph;
        end.dirty = 1;
      }
      (void)first;
    } else if (op < 82) {  // a footnote: a new one, or a reference cut out and put elsewhere
      // Up to nine footnotes: a number of two digits is wider, and the numbers change in the
      // page flow, after the lines were broken with the old widths.
      int notes = 0;
      for (const FieldRec& x : doc().fields) notes += x.isFootnoteArea() && x.footnoteNo > 0;
      if (Pick(2) == 0 && field(f).type == kFieldBody && notes < 9) {
        AddFootnote(f, l, at);
      } else {
        for (int32_t c = 0; c < n; ++c)
          if (ln.chars[c].kind == kCharFootnoteRef) {
            const CharRec ref = ln.chars[c];
            ln.chars.erase(c, c + 1);
            Touch(f, l);
            int32_t g = 0, m = 0;
            if (Pick(3) > 0 && PickLine(g, m) && field(g).type == kFieldBody) {
              line(g, m).chars.insert(Pick(line(g, m).charCount() + 1), ref);
              Touch(g, m);
            }
            break;
          }
      }
    } else if (op < 86 && ln.inTable && ln.rowCells > 1) {  // a cell's width
      ln.cellWidth = 0.5 + Pick(4) * 0.5;
      Touch(f, l);
    } else if (op < 92) {  // only the Cursor moves (into a clean table row, say)
      PlaceCursor(f, l, std::min(at, n));
      return what.str() + " cursor";
    } else {  // nothing changed at all
      return what.str() + " none";
    }
    return what.str();
  }
};

TEST_F(IncrementalLayout, EveryEditLaysOutAsACompleteLayoutWould) {
  BuildDocument();
  Layout();
  ASSERT_GE(GetAnzPages(doc()), 3) << "the document spans pages";
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    rng.seed(seed);
    for (int step = 0; step < 80; ++step) {
      const std::string what = Edit();
      CheckPass("seed " + std::to_string(seed) + " step " + std::to_string(step) + " " + what);
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_GT(tableEdits, 40) << "the edits reached the table cells";
}

// A numbered paragraph in a table cell counts on from the list above the table; when that list
// changes, every line of the cell's paragraph carries the new number.
TEST_F(IncrementalLayout, ANumberedCellParagraphTakesTheNewNumberOnAllItsLines) {
  std::vector<LineRec> lines;
  for (int i = 0; i < 2; ++i) {
    lines.push_back(Line(Words(5, 4)));
    lines.back().para.listKind = kListNumbers;
  }
  for (int r = 0; r < 2; ++r) {
    lines.push_back(TableCell(Words(r == 0 ? 60 : 3, 5), 2, 0, true, true));
    lines.back().para.listKind = kListNumbers;
    lines.push_back(TableCell(Words(4, 4), 2, 1, true, true));
  }
  SetLines(0, std::move(lines));
  Layout();
  ASSERT_GT(field(0).lineCount(), 8) << "the first cell runs over several visual rows";
  EXPECT_EQ(line(0, 2).para.listNumber, 3);
  EXPECT_EQ(line(0, 4).para.listNumber, 3) << "the cell's second line";

  line(0, 0).para.listKind = kListNone;
  line(0, 0).dirty = 1;
  doc().Cursor = doc().Anchor = CursorPos{0, 0, 0};
  CheckPass("the list above the table shortened");
  EXPECT_EQ(line(0, 2).para.listNumber, 2);
  EXPECT_EQ(line(0, 4).para.listNumber, 2);
}

// A pass after an edit elsewhere leaves clean table rows alone: their cells stay shared with an
// undo snapshot. A row holding the Cursor is still taken apart and broken again.
TEST_F(IncrementalLayout, CleanTableRowsAreKeptAndShareTheirCells) {
  BuildDocument();
  Layout();
  const std::vector<FieldRec> snapshot = doc().fields;
  int32_t rowWithCursor = -1;  // a line in the second visual row of a table row
  for (int32_t l = 1; l < field(0).lineCount() && rowWithCursor < 0; ++l)
    if (line(0, l).inTable && line(0, l).rowEnd && !line(0, l).rowStart &&
        line(0, l).rowCells > 1 && line(0, l).cellColumn == 0)
      rowWithCursor = l;
  ASSERT_GE(rowWithCursor, 0) << "a table row of two visual rows";
  // Typing in the text box leaves the body's lines where they are.
  int32_t box = 0;
  while (field(box).type != kFieldTextBox) ++box;
  line(box, 0).chars.push_back(Cell('z'));
  line(box, 0).dirty = 1;
  doc().Cursor = doc().Anchor = CursorPos{box, 0, 0};
  CheckPass("an edit in the text box");
  const int32_t last = field(0).lineCount();
  // Rows with a numbered paragraph or an empty first cell are broken again on every pass (their
  // numbers and the height of the empty cell depend on the text before them); the others stay.
  int keptRows = 0;
  for (int32_t top = 0; top < last; ++top) {
    if (!line(0, top).inTable || !line(0, top).rowStart || line(0, top).cellColumn != 0) continue;
    const int32_t n = std::max(1, line(0, top).rowCells);
    int32_t row = top;
    while (row + n <= last && !line(0, row).rowEnd) row += n;
    const int32_t end = row + n;  // one past the row's last visual row
    if (end > last) break;        // the row runs on to the next page
    bool numbered = false;
    for (int32_t l = top; l < end; ++l) numbered |= line(0, l).para.listKind == kListNumbers;
    if (numbered || line(0, top).charCount() == 0) continue;
    ++keptRows;
    for (int32_t l = top; l < end; ++l)
      EXPECT_TRUE(line(0, l).chars.sameCells(snapshot[0].lines[l].chars)) << "line " << l;
  }
  EXPECT_GE(keptRows, 2);

  doc().Cursor = doc().Anchor = CursorPos{0, rowWithCursor, 0};
  int32_t first = rowWithCursor - line(0, rowWithCursor).rowCells;
  while (!line(0, first).rowStart) first -= line(0, first).rowCells;
  CheckPass("the Cursor in a table row");
  EXPECT_FALSE(line(0, first).chars.sameCells(snapshot[0].lines[first].chars))
      << "the row holding the Cursor was joined again";
}

// Kept clean table rows leave the measuring font where breaking them would: an empty line
// after the table gets the height of a space in the font of the row's last cell.
struct MeasuringFont : IncrementalLayout {
  int32_t bigFont = 0;
  MeasuringFont() {
    FontRec big = doc().fonts[font];
    big.size *= 3;
    bigFont = GetNewFontIndex(doc(), big);
  }
  void SetFont(LineRec& l, int32_t f) {
    for (CharRec& cell : l.chars.edit()) cell.fontIndex = f;
  }
};

TEST_F(MeasuringFont, AnEmptyLineAfterAKeptTableRowMeasuresTheRowsLastFont) {
  std::vector<LineRec> lines;
  lines.push_back(Line(Words(10, 4)));
  for (int32_t r = 0; r < 2; ++r)
    for (int32_t c = 0; c < 2; ++c) {
      lines.push_back(TableCell(r == 0 ? Words(30, 6) : Words(2, 3), 2, c, r == 0, r == 1));
      if (r == 1 && c == 1) SetFont(lines.back(), bigFont);
    }
  lines.push_back(Line(""));
  lines.push_back(Line(Words(5, 4)));
  SetLines(0, std::move(lines));
  Layout();
  const int32_t empty = field(0).lineCount() - 2;
  ASSERT_EQ(line(0, empty).charCount(), 0);
  const double bigSpace = line(0, empty).lineHeight;

  // Only the empty line is broken again; the clean row before it is kept.
  line(0, empty).dirty = 1;
  doc().Cursor = doc().Anchor = CursorPos{0, field(0).lineCount() - 1, 0};
  CheckPass("empty line after the row");
  EXPECT_DOUBLE_EQ(line(0, empty).lineHeight, bigSpace);

  // The same line with the row's last cell in the small font: a different height, so the check
  // above could fail.
  SetFont(line(0, empty - 1), font);
  line(0, empty - 1).dirty = 1;
  line(0, empty).dirty = 1;
  CheckPass("the row's last cell in the small font");
  EXPECT_LT(line(0, empty).lineHeight, bigSpace);
}

// A row whose first cell starts empty measures the font the line before the row ends in: it is
// broken again when that line changed.
TEST_F(MeasuringFont, ARowStartingWithAnEmptyCellFollowsTheLineBeforeIt) {
  std::vector<LineRec> lines;
  lines.push_back(Line(Words(3, 4)));
  SetFont(lines.back(), bigFont);
  for (int32_t r = 0; r < 2; ++r)
    for (int32_t c = 0; c < 2; ++c) {
      lines.push_back(TableCell(c == 0 ? "" : Words(r == 0 ? 40 : 2, 4), 2, c, r == 0, r == 1));
      if (r == 0 && c == 0) lines.back().endKind = kEndParagraph;
    }
  SetLines(0, std::move(lines));
  Layout();
  const double tall = line(0, 1).lineHeight;
  SetFont(line(0, 0), font);
  line(0, 0).dirty = 1;
  CheckPass("the line before the row in the small font");
  EXPECT_LT(line(0, 1).lineHeight, tall);
}

}  // namespace
}  // namespace paginor
