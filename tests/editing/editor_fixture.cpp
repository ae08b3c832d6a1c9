#include "editing/editor_fixture.h"

#include "editing/invariants.h"
#include "editing/key_script.h"
#include "layout/layout.h"
#include "layout/measure.h"
#include "model/dump_json.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "platform/pictures/dib.h"
#include "storage/new_document.h"

namespace paginor::test {

EditorTest::EditorTest() {
  w().host = &host;
}

EditorTest::~EditorTest() = default;

void EditorTest::Keys(const std::string& utf8) {
  ParsedKeyScript script = ParseKeyScript(utf8);
  ASSERT_TRUE(script.ok()) << script.error;
  RunKeyScript(w(), script.events);
}

void EditorTest::Type(const std::string& cp1252) {
  for (char c : cp1252) getkeysKeyPress(w(), static_cast<uint8_t>(c));
}

void EditorTest::Place(int32_t field, int32_t l, int32_t chr) {
  doc().Cursor = doc().Anchor = CursorPos{field, l, chr};
}

CharRec MeasuredCell(TMDIChild& w, uint8_t ch) {
  CharRec c;
  c.ch = ch;
  c.fontIndex = GetNewFontIndex(w.doc, FontOfCurrentFormat(w.doc.CurrentFormat));
  RenderChar(w, c, false, CellText(c));
  return c;
}

namespace {

LineRec paragraphLine(TMDIChild& w, const std::string& text, int32_t endKind) {
  LineRec l;
  InitNewLine(l);
  for (char ch : text) l.chars.push_back(MeasuredCell(w, static_cast<uint8_t>(ch)));
  l.endKind = endKind;
  l.dirty = 1;
  return l;
}

}  // namespace

void EditorTest::SetParagraphs(const std::vector<std::string>& paragraphs, int32_t field) {
  FieldRec& f = doc().fields[field];
  f.lines.clear();
  for (const std::string& p : paragraphs) f.lines.push_back(paragraphLine(w(), p, kEndParagraph));
  Place(field, 0, 0);
  MakeSoftEnters(w());
}

void EditorTest::InsertTable(int32_t field, int32_t at, int32_t rows,
                             const std::vector<std::string>& texts) {
  InsertTableRows(w(), field, at, rows, texts);
  SetAllDirtyFlags(doc());
  MakeSoftEnters(w());
}

void InsertTableRows(TMDIChild& w, int32_t field, int32_t at, int32_t rows,
                     const std::vector<std::string>& texts) {
  FieldRec& f = w.doc.fields[field];
  const int32_t cells = static_cast<int32_t>(texts.size());
  int32_t pos = at;
  for (int32_t r = 0; r < rows; ++r) {
    // A cell with '|' holds several paragraphs: one visual row per paragraph.
    std::vector<std::vector<std::string>> parts(cells);
    size_t height = 1;
    for (int32_t c = 0; c < cells; ++c) {
      std::string t = texts[c];
      size_t bar;
      while ((bar = t.find('|')) != std::string::npos) {
        parts[c].push_back(t.substr(0, bar));
        t.erase(0, bar + 1);
      }
      parts[c].push_back(t);
      height = std::max(height, parts[c].size());
    }
    for (size_t v = 0; v < height; ++v) {
      for (int32_t c = 0; c < cells; ++c) {
        const bool has = v < parts[c].size();
        const bool lastPart = v + 1 == parts[c].size();
        LineRec l =
            paragraphLine(w, has ? parts[c][v] : "", has && !lastPart ? kEndParagraph : kEndSoft);
        l.inTable = 1;
        l.rowCells = cells;
        l.cellColumn = c;
        l.rowStart = v == 0;
        l.rowEnd = v + 1 == height;
        f.lines.insert(pos++, std::move(l));
      }
    }
  }
}

std::string EditorTest::Text(int32_t f, int32_t l) {
  std::string s;
  for (const CharRec& c : line(f, l).chars)
    s.push_back(c.kind == kCharText ? static_cast<char>(c.ch) : '#');
  return s;
}

std::vector<std::string> EditorTest::Texts(int32_t f) {
  std::vector<std::string> out;
  for (int32_t l = 0; l < doc().fields[f].lineCount(); ++l) out.push_back(Text(f, l));
  return out;
}

std::string EditorTest::ChainText(int32_t field) {
  std::string s;
  for (int32_t f = field; f >= 0 && f < doc().fieldCount(); f = doc().fields[f].nextField) {
    for (int32_t l = 0; l < doc().fields[f].lineCount(); ++l) {
      s += Text(f, l);
      static const char kEnds[] = {'\0', '|', '/', '^'};
      const int32_t e = line(f, l).endKind;
      if (e > 0 && e < 4) s.push_back(kEnds[e]);
    }
    if (doc().fields[f].nextField == f) break;
  }
  return s;
}

std::string EditorTest::State() {
  std::string s;
  for (int32_t f = 0; f < doc().fieldCount(); ++f) {
    const FieldRec& fr = doc().fields[f];
    s += "F" + std::to_string(f) + " t" + std::to_string(fr.type) + " p" +
         std::to_string(fr.prevField) + " n" + std::to_string(fr.nextField) + "\n";
    for (int32_t l = 0; l < fr.lineCount(); ++l) {
      const LineRec& x = fr.lines[l];
      s += " [" + Text(f, l) + "] e" + std::to_string(x.endKind) + " t" +
           std::to_string(x.inTable) + std::to_string(x.rowStart) + std::to_string(x.rowEnd) + " " +
           std::to_string(x.cellColumn) + "/" + std::to_string(x.rowCells) + " L" +
           std::to_string(x.para.listKind) + "\n";
    }
  }
  const CursorPos& c = doc().Cursor;
  const CursorPos& a = doc().Anchor;
  s += "C " + std::to_string(c.field) + "," + std::to_string(c.line) + "," + std::to_string(c.chr);
  s += " A " + std::to_string(a.field) + "," + std::to_string(a.line) + "," + std::to_string(a.chr);
  return s;
}

std::string EditorTest::DumpWithoutFonts() {
  const std::string all = DumpDocumentJson(doc());
  const size_t from = all.find("\"fontCount\"");
  const size_t to = all.find("\"templateCount\"");
  std::string kept =
      from < to && to != std::string::npos ? all.substr(0, from) + all.substr(to) : all;
  if (const size_t m = kept.find("\"modified\""); m != std::string::npos)
    kept.erase(m, kept.find('\n', m) - m);
  return kept;
}

const FontRec& EditorTest::FontAt(int32_t f, int32_t l, int32_t c) {
  return doc().fonts[line(f, l).chars[c].fontIndex];
}

std::vector<FontRec> EditorTest::Fonts(int32_t f, int32_t l) {
  std::vector<FontRec> out;
  for (int32_t c = 0; c < line(f, l).charCount(); ++c) out.push_back(FontAt(f, l, c));
  return out;
}

void EditorTest::SetFont(int32_t f, int32_t l, int32_t from, int32_t to, const FontRec& font) {
  const int32_t index = GetNewFontIndex(doc(), font);
  for (int32_t c = from; c < to; ++c) {
    CharRec& cell = line(f, l).chars.mut(c);
    cell.fontIndex = index;
    RenderChar(w(), cell, false, CellText(cell));
  }
}

void EditorTest::ExpectValid(const std::string& where) {
  const std::vector<std::string> v = CheckInvariants(doc());
  EXPECT_TRUE(v.empty()) << where << "\n" << DescribeViolations(v);
}

void BuildMixedDocument(TMDIChild& w) {
  // A new document in the window, as opening a file gives one.
  w.doc = Document();
  (void)FormCreate(w);
  Document& d = w.doc;
  d.fields[0].lines.clear();
  static const char* kWords[] = {"Der",
                                 "Text",
                                 "fliesst",
                                 "\xfc"
                                 "ber",
                                 "die",
                                 "Seiten,",
                                 "Zeile",
                                 "f\xfcr",
                                 "Zeile;",
                                 "Absatz",
                                 "folgt",
                                 "auf",
                                 "Absatz."};
  size_t word = 0;
  auto paragraph = [&](int words, int32_t endKind, uint8_t listKind) {
    std::string text;
    for (int i = 0; i < words; ++i) {
      if (i) text.push_back(' ');
      text += kWords[word++ % (sizeof kWords / sizeof *kWords)];
    }
    LineRec l = paragraphLine(w, text, endKind);
    l.para.listKind = listKind;
    d.fields[0].lines.push_back(std::move(l));
  };
  for (int p = 0; p < 40; ++p) {
    const int32_t end = p % 11 == 5 ? kEndLineBreak : (p == 17 ? kEndPageBreak : kEndParagraph);
    const uint8_t list = p % 7 == 2 ? kListBullets : (p % 7 == 3 || p % 7 == 4 ? kListNumbers : 0);
    paragraph(p % 5 == 0 ? 3 : 18 + p % 13, end, list);
  }

  // A footnote: the reference in paragraph 3, the area with its mark.
  CharRec ref = MeasuredCell(w, '1');
  ref.kind = kCharFootnoteRef;
  ref.setNumber(1);
  ref.setFootnoteId(1);
  ref.setText("1");
  d.fields[0].lines[3].chars.insert(4, ref);  // before the fields grow
  const int32_t note = NewPage(d, AddLine::Yes);
  SetFooterDefaults(d.fields[note]);
  d.fields[note].footnoteNo = 1;
  d.fields[note].showOn = 0;
  CharRec mark = ref;
  mark.kind = kCharFootnoteMark;
  d.fields[note].lines[0].chars.push_back(mark);
  for (char ch : std::string(" Eine Fu\xdfnote"))
    d.fields[note].lines[0].chars.push_back(MeasuredCell(w, static_cast<uint8_t>(ch)));
  d.footnoteCounter = 1;

  // A picture cell in paragraph 6.
  BildRec pic;
  newdib(pic, 4, 3, 24, nullptr, 0);
  d.pictures.push_back(std::move(pic));
  CharRec picture = MeasuredCell(w, ' ');
  picture.kind = kCharPicture;
  picture.setPictureIndex(static_cast<uint16_t>(d.pictureCount() - 1));
  picture.width = 20;
  picture.height = 12;
  d.fields[0].lines[6].chars.insert(2, picture);

  // Two linked text boxes.
  int32_t boxes[2];
  for (int i = 0; i < 2; ++i) {
    boxes[i] = NewPage(d, AddLine::Yes);
    FieldRec& f = d.fields[boxes[i]];
    f.type = kFieldTextBox;
    f.left = 30 + 70 * i;
    f.right = 90 + 70 * i;
    f.top = 150;
    f.bottom = 170;
    f.rightFromRight = f.bottomFromBottom = 0;
    f.lines[0] = paragraphLine(w, i == 0 ? "Kasten eins mit etwas Text darin" : "zwei", kEndSoft);
  }
  d.fields[boxes[0]].nextField = boxes[1];
  d.fields[boxes[1]].prevField = boxes[0];
  InsertTableRows(w, 0, 10, 3, {"Zelle eins", "zwei|Absatz", "drei und mehr Text in der Zelle"});
  d.Cursor = d.Anchor = CursorPos{0, 0, 0};
  SetAllDirtyFlags(d);
  MakeSoftEnters(w);
}

}  // namespace paginor::test
