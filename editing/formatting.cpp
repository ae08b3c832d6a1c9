#include "editing/formatting.h"

#include <charconv>
#include <cmath>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/typed_number.h"
#include "editing/undo.h"
#include "layout/measure.h"
#include "model/position.h"
#include "model/queries.h"
#include "platform/cp1252.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

// --- Character formats --------------------------------------------------------------------

// The font a cell gets: its own with the chosen components of the current format.
FontRec mergedFont(FontRec font, const CurrentFormatRec& cf, const FormatComponents& which) {
  auto styleBit = [&](bool chosen, int bit) {
    if (chosen) SettingOpsB(font.style, bit, GettingOpsB(cf.curFontStyle, bit));
  };
  if (which.faceName) font.name = cf.curFontName;
  if (which.size) font.size = cf.curFontSize;
  for (int bit = 0; bit < 16; ++bit)
    if (GettingOps(which.attributes, bit))
      SettingOps(font.attributes, bit, GettingOps(cf.curAttributes, bit));
  if (which.charset) font.charset = cf.curCharset;
  if (which.outlineColour) font.outlineColour = cf.curOutlineColour;
  if (which.shadowColour) font.shadowColour = cf.curShadowColour;
  if (which.background) {
    font.backColour = cf.curBackColour;
    font.backTransparent = cf.curBackTransparent;
  }
  styleBit(which.strikeOut, kStyleStrikeOut);
  styleBit(which.underline, kStyleUnderline);
  styleBit(which.italic, kStyleItalic);
  styleBit(which.bold, kStyleBold);
  if (which.textColour) font.textColour = cf.curTextColour;
  return font;
}

// Applies the components to cells one by one. Cells of one font all get the same new font, and
// plain characters of one new font measure alike, so both are looked up once.
class CellFormatter {
 public:
  CellFormatter(TMDIChild& w, const FormatComponents& which) : w_(w), which_(which) {}

  void apply(const CursorPos& p) {
    Document& d = w_.doc;
    if (!ValidPosition(d, p)) return;
    LineRec& line = LineOf(d, p);
    if (p.chr >= line.charCount()) return;
    const CharRec& old = line.chars[p.chr];
    if (old.kind == kCharPicture) return;
    if (old.fontIndex < 0 || old.fontIndex >= d.fontCount()) return;
    line.dirty = 1;
    const int32_t font = newIndex(old.fontIndex);
    CharRec& cell = line.chars.mut(p.chr);
    cell.fontIndex = font;
    switch (cell.kind) {
      case kCharText: {
        const uint32_t key = static_cast<uint32_t>(font) << 8 | cell.ch;
        if (auto it = measured_.find(key); it != measured_.end()) {
          cell.width = it->second.first;
          cell.height = it->second.second;
        } else {
          RenderChar(w_, cell, false, CellText(cell));
          measured_.emplace(key, std::make_pair(cell.width, cell.height));
        }
        break;
      }
      case kCharField: {
        const std::string shown(cell.text());
        RenderChar(w_, cell, false, shown);
        break;
      }
      default:  // footnote references and numbers show their raised number
        RenderChar(w_, cell, true, std::to_string(cell.number()));
        break;
    }
  }

 private:
  int32_t newIndex(int32_t old) {
    if (auto it = fonts_.find(old); it != fonts_.end()) return it->second;
    Document& d = w_.doc;
    const int32_t index = GetNewFontIndex(d, mergedFont(d.fonts[old], d.CurrentFormat, which_));
    fonts_.emplace(old, index);
    return index;
  }

  TMDIChild& w_;
  FormatComponents which_;
  std::unordered_map<int32_t, int32_t> fonts_;
  std::unordered_map<uint32_t, std::pair<double, double>> measured_;
};

// A cell of a word for the word rule: a plain letter or digit.
bool isWordCell(const Document& d, const CursorPos& p) {
  const LineRec& line = LineOf(d, p);
  if (p.chr < 0 || p.chr >= line.charCount()) return false;
  const CharRec& c = line.chars[p.chr];
  return c.kind == kCharText && c.ch != ' ' && isCp1252AlphaNumeric(c.ch);
}

// The last cell of the line above that continues p's paragraph inside the same table cell.
bool stepLeftOverLineStart(const Document& d, CursorPos& p) {
  const LineRec& line = LineOf(d, p);
  if (line.rowStart) return false;
  int32_t l = p.line - RowStep(line);
  if (l < 0) return false;  // the start of the field
  const LineRec& prev = LineOf(d, p.field, l);
  if (prev.endKind == kEndParagraph) return false;
  p = CursorPos{p.field, l, prev.charCount() - 1};
  return true;
}

bool stepRightOverLineEnd(const Document& d, CursorPos& p) {
  const LineRec& line = LineOf(d, p);
  if (line.endKind == kEndParagraph || line.rowEnd) return false;
  const int32_t l = p.line + RowStep(line);
  if (l >= d.fields[p.field].lineCount()) return false;  // the end of the field
  if (LineOf(d, p.field, l).rowStart && !line.inTable) return false;
  p = CursorPos{p.field, l, 0};
  return true;
}

// The word at the Cursor, and the separator just before it.
void formatWordAtCursor(TMDIChild& w, CellFormatter& cells) {
  const Document& d = w.doc;
  const CursorPos cursor = d.Cursor;
  CursorPos p = cursor;
  for (int64_t guard = 0; guard < 100'000'000; ++guard) {
    if (p.chr < 0) {
      // An empty line above: keep walking up while the paragraph goes on.
      if (!stepLeftOverLineStart(d, p)) break;
      continue;
    }
    if (!isWordCell(d, p)) {
      if (p != cursor && p.chr < LineOf(d, p).charCount()) cells.apply(p);
      break;
    }
    cells.apply(p);
    if (p.chr > 0) {
      --p.chr;
    } else if (!stepLeftOverLineStart(d, p)) {
      break;
    }
  }
  p = cursor;
  for (int64_t guard = 0; guard < 100'000'000; ++guard) {
    if (p.chr >= LineOf(d, p).charCount()) {
      if (!stepRightOverLineEnd(d, p)) break;
      continue;
    }
    if (!isWordCell(d, p)) break;
    cells.apply(p);
    ++p.chr;
  }
}

void applyToText(TMDIChild& w, const FormatComponents& which) {
  CellFormatter cells(w, which);
  if (isThereAmarking(w)) {
    FindMarkingStart(w);
    EditState& e = EditingOf(w);
    const CursorPos start = e.MarkStart;
    cells.apply(e.MarkStart);
    while (getnextmarkedchar(w)) cells.apply(e.MarkStart);
    e.MarkStart = start;
  } else {
    formatWordAtCursor(w, cells);
  }
  RefreshDirtyContent(w);
}

// One toolbar action: the snapshot keeps the format from before the action, so undo brings the
// toolbar back too.
void characterAction(TMDIChild& w, const CurrentFormatRec& format, const FormatComponents& which) {
  if (w.formatGuard || !ValidPosition(w.doc, w.doc.Cursor)) return;
  MakeCopyForUndo(w, "Zeichenformat");
  w.doc.CurrentFormat = format;
  applyToText(w, which);
  SmallOvertakeFont(w);
}

// --- Paragraph formats -------------------------------------------------------------------------

// The first line of the paragraph holding p's line, walking up inside the same table cell.
CursorPos paragraphStart(const Document& d, CursorPos p) {
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    const LineRec& cur = LineOf(d, p);
    if (cur.rowStart) break;
    int32_t f = p.field, l = p.line;
    if (!StepLines(d, f, l, -RowStep(cur))) break;
    const LineRec& prev = LineOf(d, f, l);
    if (prev.endKind == kEndParagraph || prev.endKind == kEndPageBreak) break;
    if (prev.rowEnd && !cur.inTable) break;
    p.field = f;
    p.line = l;
  }
  return p;
}

void writeLine(Document& d, const CursorPos& p, const AbsatzFormat& format, bool columns) {
  LineRec& line = LineOf(d, p);
  line.para = format.para;  // its own copies of the tab stops and the bullet font
  line.dirty = 1;
  if (!columns) return;
  std::vector<CursorPos> row;
  if (line.inTable && line.rowCells > 1 && VisualRowLines(d, p, row)) {
    for (const CursorPos& q : row) {
      LineRec& cell = LineOf(d, q);
      cell.columns = format.columns;
      cell.columnLine = format.columnLine;
      cell.columnGap = format.columnGap;
      cell.dirty = 1;
    }
  } else {
    line.columns = format.columns;
    line.columnLine = format.columnLine;
    line.columnGap = format.columnGap;
  }
}

// Writes every line of the paragraph holding p's line. A page break ends a paragraph going down
// as it does going up, so both directions agree on where the paragraph ends.
void writeParagraph(Document& d, CursorPos p, const AbsatzFormat& format, bool columns) {
  p = paragraphStart(d, p);
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    writeLine(d, p, format, columns);
    const LineRec& line = LineOf(d, p);
    if (line.endKind == kEndParagraph || line.endKind == kEndPageBreak || line.rowEnd) return;
    int32_t f = p.field, l = p.line;
    if (!StepLines(d, f, l, RowStep(line))) return;
    if (LineOf(d, f, l).rowStart && !line.inTable) return;
    p.field = f;
    p.line = l;
  }
}

template <typename Change>
void paragraphCommand(TMDIChild& w, Change change) {
  if (!ValidPosition(w.doc, w.doc.Cursor)) return;
  AbsatzFormat format = getabsatzformat(w);
  change(format.para);
  setabsatzformat(w, format);
  SmallOvertakeFont(w);
}

void setAlignment(TMDIChild& w, uint8_t alignment) {
  paragraphCommand(w, [&](ParagraphFormat& p) { p.alignment = alignment; });
}

void setLineSpacing(TMDIChild& w, double multiple) {
  paragraphCommand(w, [&](ParagraphFormat& p) {
    p.lineSpacingMode = 0;
    p.lineSpacing = multiple;
  });
}

}  // namespace

void formatieren(TMDIChild& w, const FormatComponents& which) {
  if (!ValidPosition(w.doc, w.doc.Cursor)) return;
  MakeCopyForUndo(w, "Zeichenformat");
  applyToText(w, which);
}

void formatierenWithoutUndo(TMDIChild& w, const FormatComponents& which) {
  if (!ValidPosition(w.doc, w.doc.Cursor)) return;
  applyToText(w, which);
}

void ApplyCharacterFormat(TMDIChild& w, const CurrentFormatRec& format,
                          const FormatComponents& which) {
  if (!which.any()) {
    w.doc.CurrentFormat = format;
    SmallOvertakeFont(w);
    return;
  }
  characterAction(w, format, which);
}

void ToggleBold(TMDIChild& w) {
  CurrentFormatRec f = w.doc.CurrentFormat;
  f.curFontStyle ^= 1u << kStyleBold;
  characterAction(w, f, FormatComponents{.bold = true});
}

void ToggleItalic(TMDIChild& w) {
  CurrentFormatRec f = w.doc.CurrentFormat;
  f.curFontStyle ^= 1u << kStyleItalic;
  characterAction(w, f, FormatComponents{.italic = true});
}

void ToggleUnderline(TMDIChild& w) {
  CurrentFormatRec f = w.doc.CurrentFormat;
  f.curFontStyle ^= 1u << kStyleUnderline;
  SettingOps(f.curAttributes, kAttrUnderline, GettingOpsB(f.curFontStyle, kStyleUnderline));
  characterAction(w, f, FormatComponents{.attributes = 1u << kAttrUnderline, .underline = true});
}

bool FormatFontSizeText(TMDIChild& w, std::string_view text) {
  const std::optional<double> size = TypedNumber(text);
  if (!size || *size < 1 || *size > 999) return false;
  CurrentFormatRec f = w.doc.CurrentFormat;
  f.curFontSize = *size;
  characterAction(w, f, FormatComponents{.size = true});
  return true;
}

void FormatFontName(TMDIChild& w, std::string_view cp1252Name) {
  if (cp1252Name.empty()) return;
  CurrentFormatRec f = w.doc.CurrentFormat;
  f.curFontName = std::string(cp1252Name);
  characterAction(w, f, FormatComponents{.faceName = true});
}

void FormatTextColour(TMDIChild& w, Colour colour) {
  CurrentFormatRec f = w.doc.CurrentFormat;
  f.curTextColour = colour;
  characterAction(w, f, FormatComponents{.textColour = true});
}

void FormatBackColour(TMDIChild& w, Colour colour, bool transparent) {
  CurrentFormatRec f = w.doc.CurrentFormat;
  f.curBackColour = colour;
  f.curBackTransparent = transparent ? 1 : 0;
  characterAction(w, f, FormatComponents{.background = true});
}

AbsatzFormat getabsatzformat(const TMDIChild& w) {
  const Document& d = w.doc;
  AbsatzFormat f;
  if (!ValidLine(d, d.Cursor.field, d.Cursor.line)) return f;
  const LineRec& line = LineOf(d, d.Cursor);
  f.para = line.para;
  f.columns = line.columns;
  f.columnLine = line.columnLine;
  f.columnGap = line.columnGap;
  return f;
}

void setabsatzformat(TMDIChild& w, const AbsatzFormat& format, AbsatzSwitches switches) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return;
  if (switches.undo) MakeCopyForUndo(w, "Absatzformat");
  if (switches.cursorLineOnly) {
    writeLine(d, d.Cursor, format, switches.columns);
  } else if (isThereAmarking(w)) {
    FindMarkingStart(w);
    EditState& e = EditingOf(w);
    const CursorPos start = e.MarkStart;
    writeParagraph(d, e.MarkStart, format, switches.columns);
    while (getnextmarkedline(w)) writeParagraph(d, e.MarkStart, format, switches.columns);
    e.MarkStart = start;
  } else {
    writeParagraph(d, d.Cursor, format, switches.columns);
  }
  RefreshDirtyContent(w);
}

void formatleft(TMDIChild& w) {
  setAlignment(w, 0);
}
void formatcenter(TMDIChild& w) {
  setAlignment(w, 1);
}
void formatright(TMDIChild& w) {
  setAlignment(w, 2);
}
void formatblock(TMDIChild& w) {
  setAlignment(w, 3);
}
void ZeilenAbstandEinfach(TMDIChild& w) {
  setLineSpacing(w, 1.0);
}
void ZeilenAbstandEinEinhalbfach(TMDIChild& w) {
  setLineSpacing(w, 1.5);
}
void ZeilenAbstandZweifach(TMDIChild& w) {
  setLineSpacing(w, 2.0);
}

}  // namespace paginor
