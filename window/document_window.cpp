#include "window/document_window.h"

#include <charconv>
#include <algorithm>
#include <cmath>

#include "model/queries.h"
#include "platform/cp1252.h"

namespace paginor {

TMDIChild::TMDIChild(Application& application) : app(application) {}
TMDIChild::~TMDIChild() = default;

void SetPrinterProps(TMDIChild& w) {
  Printer& printer = w.app.printer();
  int32_t res = printer.available() ? printer.resolution() : 600;
  if (res <= 0) res = 600;
  w.measure.resolution = res;
  w.measure.pageWidthPx = static_cast<int32_t>(w.doc.pageWidth / kMmPerInch * res);
  w.measure.pageHeightPx = static_cast<int32_t>(w.doc.pageHeight / kMmPerInch * res);
}

void SetFileChanged(TMDIChild& w, bool modified) {
  ++w.changeCount;
  w.doc.modified = modified ? 1 : 0;
  w.caption = cp1252ToUtf8(w.doc.fileName) + (modified ? "*" : "");
  w.app.ui().refreshFileMenu();
}

namespace {

// A size as the toolbar's size box shows it: shortest form, German decimal comma.
std::string sizeText(double size) {
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, size);
  std::string s(buf, res.ptr);
  for (char& ch : s)
    if (ch == '.') ch = ',';
  return s;
}

const LineRec* cursorLine(const Document& d) {
  const CursorPos& c = d.Cursor;
  if (c.field < 0 || c.field >= d.fieldCount()) return nullptr;
  const FieldRec& f = d.fields[c.field];
  if (c.line < 0 || c.line >= f.lineCount()) return nullptr;
  return &f.lines[c.line];
}

}  // namespace

void SmallOvertakeFont(TMDIChild& w) {
  const Document& d = w.doc;
  const CurrentFormatRec& cf = d.CurrentFormat;
  FormatToolbarState s;
  s.fontName = cp1252ToUtf8(cf.curFontName);
  s.sizeText = sizeText(cf.curFontSize);
  s.bold = cf.curFontStyle & 1;
  s.italic = cf.curFontStyle & 2;
  s.underline = cf.curFontStyle & 4;
  if (const LineRec* line = cursorLine(d)) {
    s.bullets = line->para.listKind == kListBullets;
    s.numbering = line->para.listKind == kListNumbers;
    s.alignment = line->para.alignment;
  }
  for (const VorlageRec& v : d.templates) s.templateNames.push_back(cp1252ToUtf8(v.name));
  s.templateIndex = 0;
  w.formatGuard = true;
  w.app.ui().setFormatToolbar(s);
  w.formatGuard = false;
}

void OvertakeFont(TMDIChild& w) {
  Document& d = w.doc;
  int32_t field = d.Cursor.field;
  int32_t line = d.Cursor.line;
  int32_t chr = d.Cursor.chr;
  bool found = false;
  if (field >= 0 && field < d.fieldCount()) {
    // Walk back over empty lines to the end of the nearest line with characters.
    int32_t guard = 0;
    while (true) {
      const FieldRec& f = d.fields[field];
      if (line < 0 || line >= f.lineCount()) break;
      if (f.lines[line].charCount() > 0) {
        found = true;
        break;
      }
      int32_t pf = field, pl = line - 1;
      GoToLine(d, pf, pl);
      if (pl < 0 || pl >= d.fields[pf].lineCount() || ++guard > 10'000'000) break;
      field = pf;
      line = pl;
      chr = d.fields[pf].lines[pl].charCount();
    }
  }
  if (found) {
    const LineRec& l = d.fields[field].lines[line];
    int32_t at = chr > 0 ? std::min(chr, l.charCount()) - 1 : 0;
    const CharRec& c = l.chars[at];
    if (c.fontIndex >= 0 && c.fontIndex < d.fontCount()) {
      const FontRec& font = d.fonts[c.fontIndex];
      CurrentFormatRec& cf = d.CurrentFormat;
      TakeFont(cf, font);
      // Text typed after a footnote mark must not be raised.
      if (c.kind == kCharFootnoteRef || c.kind == kCharFootnoteMark)
        cf.curAttributes &= static_cast<uint16_t>(~(1u << kAttrSuperscript));
    }
  }
  SmallOvertakeFont(w);
}

}  // namespace paginor
