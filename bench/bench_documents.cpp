#include "bench_documents.h"

#include <string>

#include "layout/measure.h"
#include "model/primitives.h"
#include "model/queries.h"

namespace paginor::bench {

void FillLongDocument(TMDIChild& w, int pages) {
  Document& d = w.doc;
  // Windows-1252, as document text is.
  static const char* kWords[] = {"Die", "Seite", "zeigt", "den", "Text", "genau", "so,",
                                 "wie", "er", "gedruckt", "wird;", "Abs\xE4" "tze", "flie\xDF" "en",
                                 "\xFC" "ber", "die", "Seiten."};
  const int32_t font = GetNewFontIndex(d, FontOfCurrentFormat(d.CurrentFormat));
  // One measured cell per byte value, copied into place: measuring each cell again would make
  // the generator, not the code under test, the slow part.
  CharRec proto[256];
  for (int b = 0; b < 256; ++b) {
    proto[b].fontIndex = font;
    proto[b].ch = static_cast<uint8_t>(b);
    RenderChar(w, proto[b], false, CellText(proto[b]));
  }
  FieldRec& body = d.fields[0];
  body.lines.clear();
  const int lines = pages * 45;
  size_t word = 0;
  for (int i = 0; i < lines; ++i) {
    LineRec line;
    InitNewLine(line);
    line.endKind = (i % 6 == 5) ? kEndParagraph : kEndSoft;
    std::vector<CharRec>& cells = line.chars.edit();
    cells.reserve(70);
    while (cells.size() < 60) {
      const char* wd = kWords[word++ % (sizeof kWords / sizeof *kWords)];
      for (const char* p = wd; *p; ++p) cells.push_back(proto[static_cast<uint8_t>(*p)]);
      cells.push_back(proto[' ']);
    }
    body.lines.push_back(std::move(line));
  }
  d.Cursor = {0, 0, 0};
  d.Anchor = d.Cursor;
}

int64_t CountCells(const Document& d) {
  int64_t n = 0;
  for (const FieldRec& f : d.fields)
    for (const LineRec& l : f.lines) n += l.charCount();
  return n;
}

}  // namespace paginor::bench
