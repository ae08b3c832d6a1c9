// Breaking one dirty line: the cells are placed from the left until one does not fit or a
// line-end cell is met; the line gets its height; a soft end is then moved to a syllable
// boundary, a soft hyphen or the last space, hyphen or tab before it.

#include <algorithm>
#include <cmath>
#include <string>

#include "layout/hyphenation.h"
#include "layout/measure.h"
#include "layout/stages.h"
#include "model/queries.h"

namespace paginor {

VisualRow VisualRowOf(FieldLines& lines, int32_t line) {
  const LineRec& l = lines[line];
  VisualRow row;
  row.first = line;
  if (l.rowCells < 2 || l.cellColumn < 0 || l.cellColumn >= l.rowCells) return row;
  const int32_t first = line - l.cellColumn;
  if (first < 0 || l.rowCells > lines.size() - first) return row;
  row.first = first;
  row.cells = l.rowCells;
  row.column = l.cellColumn;
  return row;
}

namespace {

bool IsLineEndCell(const CharRec& c) {
  return c.kind == kCharText && c.ch >= 13 && c.ch <= 15;
}
bool IsSpace(const CharRec& c) {
  return c.kind == kCharText && c.ch == ' ';
}
bool HasSoftHyphen(const CharRec& c) {
  return c.charFlags & (1u << kFlagSoftHyphen);
}

// A cell that can be part of a word to hyphenate. Tabs and line-end cells are control cells and
// end a word like a space.
bool IsWordCell(const CharRec& c) {
  return c.kind == kCharText && c.ch >= 32 && c.ch != ' ';
}

// Height of a space in the measuring font: the height of an empty line.
double SpaceHeight(LayoutWork& work) {
  auto it = work.spaceHeights.find(work.measuringFont);
  if (it != work.spaceHeights.end()) return it->second;
  const Document& d = work.d;
  FontRec font = FontOfCurrentFormat(d.CurrentFormat);
  if (work.measuringFont >= 0 && work.measuringFont < d.fontCount())
    font = d.fonts[work.measuringFont];
  const int32_t res = work.ctx.device.resolution > 0 ? work.ctx.device.resolution : 600;
  FontHandle h =
      selfont(work.ctx.device.fonts, font.name, res, font.attributes, font.charset, font.style,
              font.size, 100);
  const TextExtent e = work.ctx.device.fonts.textExtent(h, " ");
  work.ctx.device.fonts.deleteFont(h);
  const double mm = e.cy / static_cast<double>(res) * kMmPerInch;
  work.spaceHeights.emplace(work.measuringFont, mm);
  return mm;
}

// The width a line may fill: the field's text width, a column's width in a column section, and
// a cell's share of it in a table row.
double AvailableWidth(FieldLines& lines, const VisualRow& row, const LineRec& l, double textWidth) {
  double a = textWidth;
  if (l.columns >= 2) a = (textWidth - (l.columns - 1) * l.columnGap) / l.columns;
  if (l.rowCells < 2) return a;
  // An importer's right inset above 99999 is the row's width measured from the left; the page
  // drawing turns it into an inset and stores it, the layout reads it the same way before that.
  const double right =
      l.rowInsetRight > 99999 ? a - l.rowInsetLeft - (l.rowInsetRight - 99999) : l.rowInsetRight;
  double sum = 0;
  if (row.cells >= 2)
    for (int32_t c = 0; c < row.cells; ++c) sum += lines[row.first + c].cellWidth;
  else
    sum = l.cellWidth;
  const double share = sum > 0 && std::isfinite(sum) ? l.cellWidth / sum : 1.0 / l.rowCells;
  return (a - l.rowInsetLeft - right) * share;
}

// The line's height from its tallest cell and the spacing mode; in a table row, evened out over
// the row's cell lines once the row's last cell line is broken.
void SetLineHeight(LayoutWork& work, FieldLines& lines, const VisualRow& row, LineRec& l,
                   double h) {
  if (h < 0) h = SpaceHeight(work);  // no cell: an empty line is as high as a space
  switch (l.para.lineSpacingMode) {
    case 0:
      h *= l.para.lineSpacing;
      break;
    case 1:
      h = std::max(h, l.para.lineSpacing);
      break;
    case 2:
      h = l.para.lineSpacing;
      break;
    default:
      break;
  }
  if (row.cells >= 2) {
    double above = 0, below = 0;
    for (int32_t c = 0; c < row.cells; ++c) {
      above = std::max(above, lines[row.first + c].para.spaceAbove);
      below = std::max(below, lines[row.first + c].para.spaceBelow);
    }
    for (int32_t c = 0; c < row.cells; ++c) {
      lines[row.first + c].para.spaceAbove = above;
      lines[row.first + c].para.spaceBelow = below;
    }
    if (row.column == row.cells - 1) {
      for (int32_t c = 0; c < row.cells - 1; ++c) h = std::max(h, lines[row.first + c].lineHeight);
      for (int32_t c = 0; c < row.cells; ++c) lines[row.first + c].lineHeight = h;
    }
  }
  l.lineHeight = h;
}

// Longer words are never split at their syllables.
constexpr size_t kMaxHyphenatedWord = 25;

struct Word {
  std::string text;  // cut after kMaxHyphenatedWord + 1 characters: too long to split then
  int32_t start = 0;
  bool autoAllowed = true;
  int32_t softHyphenBefore = -1;  // a marked cell met going backwards: break before it
};

// The word around a soft end at `end`: backwards from the cell before it and forwards from it.
// Going backwards stays within the line just placed; going forwards stops once the word is too
// long to split, instead of running on to the end of an unspaced run for every line made of it.
Word WordAround(const CharRec* cells, int32_t count, int32_t end) {
  Word w;
  if (HasSoftHyphen(cells[end])) w.autoAllowed = false;
  w.start = end;
  for (int32_t i = end - 1; i >= 0 && IsWordCell(cells[i]); --i) {
    if (cells[i].ch == '-') {
      w.autoAllowed = false;
      break;
    }
    w.text.push_back(static_cast<char>(cells[i].ch));
    w.start = i;
    if (HasSoftHyphen(cells[i])) {
      w.autoAllowed = false;
      // A mark on the line's first cell is no break opportunity: breaking there would leave an
      // empty line that is broken the same way again and again.
      if (i > 0) w.softHyphenBefore = i;
      break;
    }
  }
  std::reverse(w.text.begin(), w.text.end());
  for (int32_t i = end; i < count && w.text.size() <= kMaxHyphenatedWord && IsWordCell(cells[i]) &&
                        cells[i].ch != '-';
       ++i) {
    if (HasSoftHyphen(cells[i])) {
      w.autoAllowed = false;
      break;
    }
    w.text.push_back(static_cast<char>(cells[i].ch));
  }
  return w;
}

bool NoHyphenation(const Document& d, const CharRec& c) {
  return c.fontIndex >= 0 && c.fontIndex < d.fontCount() &&
         GettingOps(d.fonts[c.fontIndex].attributes, kAttrNoHyphenation);
}

// Moves a soft end to where the line may end. Returns the new end; sets endsWithHyphen.
int32_t BreakPosition(LayoutWork& work, LineRec& l, const CharRec* cells, int32_t count,
                      int32_t end) {
  const Word word = WordAround(cells, count, end);
  bool hyphenated = false;
  if (HasSoftHyphen(cells[end])) {
    hyphenated = true;
  } else if (word.softHyphenBefore > 0) {
    end = word.softHyphenBefore;
    hyphenated = true;
  } else if (work.d.autoHyphenation && word.autoAllowed && word.text.size() >= 3 &&
             word.text.size() <= kMaxHyphenatedWord) {
    const std::string split = work.ctx.hyphen.split(word.text);
    const int32_t scanEnd = end;
    int32_t letters = 0;
    for (char ch : split) {
      if (ch != '-') {
        ++letters;
        continue;
      }
      const int32_t next = word.start + letters;  // the cell starting the next syllable
      if (next > 0 && next < scanEnd && !NoHyphenation(work.d, cells[next])) {
        end = next;  // the last boundary before the cell that did not fit wins
        hyphenated = true;
      }
    }
  }
  l.endsWithHyphen = hyphenated ? 1 : 0;
  if (hyphenated) return end;
  // The last space or hyphen before the end stays on the line; a tab starts the next line.
  for (int32_t i = end - 1; i >= 0; --i) {
    const CharRec& c = cells[i];
    if (c.kind != kCharText) continue;
    if (c.ch == 9 && i > 0) return i;
    if (c.ch == ' ' || c.ch == '-') return i + 1;
  }
  return end;  // one word longer than the line is cut where it overflows
}

}  // namespace

LineEnd BreakLine(LayoutWork& work, FieldLines& lines, int32_t line, int32_t base,
                  bool paragraphStart, double textWidth) {
  LineRec& l = lines[line];
  l.endsWithHyphen = 0;
  work.pendingParagraph.reset();
  const VisualRow row = VisualRowOf(lines, line);
  const double limit = AvailableWidth(lines, row, l, textWidth) - l.para.indentRight;
  double x = l.para.indentLeft;
  if (paragraphStart) {
    x += l.para.indentFirstLine;
    if (l.para.listKind != kListNone) x += l.para.listIndent;
  }
  double h = -1;
  LineEnd result;
  const int32_t count = l.charCount() - base;
  for (int32_t i = 0; i < count; ++i) {
    const CharRec* c = l.chars.begin() + base + i;
    if (IsLineEndCell(*c)) {
      result = {true, c->ch - 12, i + 1};
      if (c->ch == 13 && c->paraCarrier()) work.pendingParagraph = *c->paraCarrier();
      break;
    }
    if (c->kind == kCharText && c->ch == 9) {
      const TabResult tab = TabWidth(l.para, l.chars.begin() + base, count, i, x);
      // Written only when it changed: writing unshares the cells from undo snapshots.
      if (tab.width != c->width || tab.fill != c->tabFill) {
        CharRec& m = l.chars.mut(base + i);
        m.width = tab.width;
        m.tabFill = tab.fill;
        c = &m;
      }
    }
    x += c->skipBefore;
    // A space that does not fit hangs past the edge; the first cell always stays.
    if (x + c->width > limit && i > 0 && !IsSpace(*c)) {
      result = {true, kEndSoft, i};
      break;
    }
    x += c->width;
    h = std::max(h, c->height);
    work.measuringFont = c->fontIndex;
  }
  SetLineHeight(work, lines, row, l, h);
  if (result.found && result.kind == kEndSoft)
    result.end = BreakPosition(work, l, l.chars.begin() + base, count, result.end);
  return result;
}

}  // namespace paginor
