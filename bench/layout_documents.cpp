#include "layout_documents.h"

#include <string>
#include <vector>

#include "layout/layout.h"
#include "layout/measure.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "platform/headless.h"

namespace paginor::bench {

namespace {

// Paragraph lengths in lines, cycled: mostly short paragraphs, now and then a long one.
constexpr int kParagraphLines[] = {3, 6, 1, 12, 4, 20, 2, 8, 5, 1, 9, 3};
// About 66 cells of 12-pt text fill a 16-cm line; 45 lines of 4.9 mm fill a page.
// A line of 12-pt text holds about 85 of these cells and a page about 50 lines.
constexpr int kCellsPerLine = 85;
constexpr int kLinesPerPage = 50;

class Generator {
 public:
  explicit Generator(TMDIChild& w) : w_(w), d_(w.doc) {
    font_ = GetNewFontIndex(d_, FontOfCurrentFormat(d_.CurrentFormat));
    for (int b = 0; b < 256; ++b) {
      proto_[b].fontIndex = font_;
      proto_[b].ch = static_cast<uint8_t>(b);
      RenderChar(w_, proto_[b], false, CellText(proto_[b]));
    }
  }

  void fill(int pages, Footnotes withFootnotes) {
    lines().clear();
    const int wanted = pages * kLinesPerPage;
    int made = 0, paragraph = 0, footnotes = 0;
    while (made < wanted) {
      const int page = made / kLinesPerPage;
      if (page / 25 > tables_) {
        ++tables_;
        made += table();
        continue;
      }
      const int n = kParagraphLines[paragraph++ % std::size(kParagraphLines)];
      LineRec& l = lines().push_back(text(n * kCellsPerLine));
      if (withFootnotes == Footnotes::Yes && page / 50 >= footnotes) footnote(l, ++footnotes);
      made += n;
    }
    d_.Cursor = d_.Anchor = CursorPos{0, 0, 0};
  }

 private:
  // The first page body's lines; fetched anew because appending footnote areas moves the fields.
  RecordArray<LineRec>& lines() { return d_.fields[0].lines; }

  LineRec text(int cells, int32_t endKind = kEndParagraph) {
    static const char* kWords[] = {"Die",     "Seite", "zeigt", "den",      "Text",  "genau",
                                   "so,",     "wie",   "er",    "gedruckt", "wird;", "Abs\xE4" "tze",
                                   "flie\xDF" "en", "\xFC" "ber",  "die",   "Seiten."};
    LineRec l;
    InitNewLine(l);
    std::vector<CharRec>& out = l.chars.edit();
    out.reserve(static_cast<size_t>(cells) + 12);
    while (static_cast<int>(out.size()) < cells) {
      const char* word = kWords[word_++ % std::size(kWords)];
      for (const char* p = word; *p; ++p) out.push_back(proto_[static_cast<uint8_t>(*p)]);
      out.push_back(proto_[' ']);
    }
    l.endKind = endKind;
    l.dirty = 1;
    return l;
  }

  // Four rows of three cells, each cell one to three lines of text.
  int table() {
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 3; ++c) {
        LineRec& l = lines().push_back(text(((r + c) % 3 + 1) * 20, kEndSoft));
        l.inTable = l.rowStart = l.rowEnd = 1;
        l.rowCells = 3;
        l.cellColumn = c;
        l.para.indentLeft = l.para.indentRight = 2.5;
      }
    lines().push_back(text(10));  // the paragraph after the table
    return 4 * 3 + 1;
  }

  // A reference at the paragraph's end and its area: a mark, a space and a line of text.
  void footnote(LineRec& l, int no) {
    CharRec ref = proto_['1'];
    ref.kind = kCharFootnoteRef;
    ref.setNumber(static_cast<uint16_t>(no));
    ref.setFootnoteId(static_cast<uint16_t>(no));
    RenderChar(w_, ref, true, std::to_string(no));
    l.chars.push_back(ref);

    const int32_t i = NewPage(d_, AddLine::No);
    FieldRec& f = d_.fields[i];
    f.left = 0;
    f.top = 29.5;
    f.right = 0;
    f.bottom = 24.5;
    f.topFromBottom = f.bottomFromBottom = f.rightFromRight = 1;
    f.marginTop = f.marginBottom = 0;
    f.showOn = 0;
    f.type = kFieldFooter;
    f.footnoteNo = no;
    LineRec note = text(40);
    CharRec mark = ref;
    mark.kind = kCharFootnoteMark;
    note.chars.insert(0, mark);
    f.lines.push_back(std::move(note));
    d_.footnoteCounter = no;
  }

  TMDIChild& w_;
  Document& d_;
  int32_t font_ = 0;
  CharRec proto_[256];
  size_t word_ = 0;
  int tables_ = 0;
};

}  // namespace

void FillMixedDocument(TMDIChild& w, int pages, Footnotes footnotes) {
  Generator(w).fill(pages, footnotes);
}

CharRec MeasuredCell(TMDIChild& w, char ch) {
  CharRec c;
  c.fontIndex = GetNewFontIndex(w.doc, FontOfCurrentFormat(w.doc.CurrentFormat));
  c.ch = static_cast<uint8_t>(ch);
  RenderChar(w, c, false, CellText(c));
  return c;
}

void TypeAndLayOut(TMDIChild& w, const CursorPos& where, const CharRec& typed, bool insert) {
  Document& d = w.doc;
  if (insert) {
    d.Cursor = where;
    LineRec& line = d.fields[where.field].lines[where.line];
    line.chars.insert(where.chr, typed);
    line.dirty = 1;
    ++d.Cursor.chr;
  } else if (d.Cursor.chr > 0) {
    LineRec& line = d.fields[d.Cursor.field].lines[d.Cursor.line];
    line.chars.erase(d.Cursor.chr - 1, d.Cursor.chr);
    line.dirty = 1;
    --d.Cursor.chr;
  }
  d.Anchor = d.Cursor;
  MakeSoftEnters(w);
}

Application& BenchApp() {
  struct Host {
    Host() : app(platform.platform()) {}
    HeadlessPlatform platform;
    Application app;
  };
  static Host host;
  return host.app;
}

}  // namespace paginor::bench
