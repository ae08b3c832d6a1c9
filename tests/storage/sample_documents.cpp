#include "storage/sample_documents.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <iterator>

#include "layout/measure.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "model/templates.h"
#include "platform/pictures/dib.h"
#include "support/test_support.h"

namespace paginor::test {

int32_t AppendLine(Document& d, int32_t field) {
  FieldRec& f = d.fields[static_cast<size_t>(field)];
  InsertNewLine(d, field, f.lineCount());
  return f.lineCount() - 1;
}

void AddText(TMDIChild& w, int32_t field, int32_t line, const std::string& cp1252) {
  Document& d = w.doc;
  d.Cursor = {field, line, d.fields[static_cast<size_t>(field)].lines[line].charCount()};
  TypeText(w, cp1252);
}

CharRec& AddSpecialCell(Document& d, int32_t field, int32_t line, uint8_t kind) {
  d.Cursor = {field, line, d.fields[static_cast<size_t>(field)].lines[line].charCount()};
  CharRec* c = NewChar(d);
  c->kind = kind;
  return *c;
}

BildRec MakePicture24(int32_t width, int32_t height) {
  BildRec b;
  newdib(b, width, height, 24, nullptr, 0);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      setpixel(b, x, y, static_cast<uint32_t>(0x102030 * (x + 1) + 0x0F * y));
  return b;
}

BildRec MakePicture8(int32_t width, int32_t height) {
  BildRec b;
  newdib(b, width, height, 8, nullptr, 0);
  for (int i = 0; i < 256; ++i) {
    b.info[40 + 4 * i] = static_cast<uint8_t>(i);
    b.info[40 + 4 * i + 1] = static_cast<uint8_t>(255 - i);
    b.info[40 + 4 * i + 2] = static_cast<uint8_t>(i * 7);
  }
  for (size_t i = 0; i < b.pixels.size(); ++i) b.pixels[i] = static_cast<uint8_t>(i * 37);
  return b;
}

namespace {

void setFont(Document& d, const char* name, double size, uint8_t style) {
  d.CurrentFormat.curFontName = name;
  d.CurrentFormat.curFontSize = size;
  d.CurrentFormat.curFontStyle = style;
  d.CurrentFormat.curAttributes = style;
}

void buildBody(TMDIChild& w) {
  Document& d = w.doc;
  d.fields[0].anchorOffsetX = kBodySentinel;
  LineRec& first = d.fields[0].lines[0];
  first.endKind = kEndParagraph;
  AddText(w, 0, 0, "Erster Absatz: \xe4\xf6\xfc\xdf \x80");
  d.fields[0].lines[0].chars.mut(3).charFlags = 0x3;  // soft hyphen and misspelt

  int32_t l = AppendLine(d, 0);
  setFont(d, "Arial", 14, 1);
  AddText(w, 0, l, "Fett\tTab");
  d.fields[0].lines[l].chars.mut(4).tabFill = 2;
  CharRec& field = AddSpecialCell(d, 0, l, kCharField);
  field.setText("7");
  field.setCode("PAGE");
  field.width = 2.25;
  field.height = 4.5;
  CharRec& ref = AddSpecialCell(d, 0, l, kCharFootnoteRef);
  ref.ch = '1';
  ref.setNumber(1);
  ref.setFootnoteId(1);
  ref.setText("1");
  ref.width = 1.5;
  ref.height = 3.0;
  d.fields[0].lines[l].endKind = kEndLineBreak;

  l = AppendLine(d, 0);
  setFont(d, "Times New Roman", 12, 0);
  AddText(w, 0, l, "Aufz\xe4hlung");
  ParagraphFormat& p = d.fields[0].lines[l].para;
  p.listKind = kListBullets;
  p.bulletFont = "Symbol";
  p.bulletChar = 0xB7;
  p.tabs = {{10.0, 0, 0}, {55.5, 2, 2}, {120.25, 3, 1}};
  p.alignment = 3;
  p.lineSpacing = 5.5;
  p.lineSpacingMode = 1;
  p.spaceAbove = 1.25;
  p.indentLeft = 6.3;
  p.indentFirstLine = -6.3;
  d.fields[0].lines[l].endKind = kEndParagraph;

  l = AppendLine(d, 0);
  AddText(w, 0, l, "Nummer");
  d.fields[0].lines[l].para.listKind = kListNumbers;
  d.fields[0].lines[l].para.listNumber = 4;
  d.fields[0].lines[l].columns = 2;
  d.fields[0].lines[l].columnLine = 1;
  d.fields[0].lines[l].columnGap = 8.0;
  d.fields[0].lines[l].endKind = kEndParagraph;

  for (int32_t col = 0; col < 3; ++col) {
    l = AppendLine(d, 0);
    LineRec& cell = d.fields[0].lines[l];
    cell.inTable = 1;
    cell.rowStart = cell.rowEnd = 1;
    cell.rowCells = 3;
    cell.cellColumn = col;
    cell.cellWidth = 1.0 + col;
    cell.rowInsetLeft = 2.0;
    cell.rowInsetRight = 99999.0 + 150.0;
    cell.cellDesign.borderTopWidth = 1.5;
    cell.cellDesign.borderLeftColour = 0x0000FF;
    cell.cellDesign.borderRight = 0;
    cell.cellDesign.cellBackColour = 0xC0C0C0;
    cell.cellDesign.cellTransparent = 0;
    cell.endKind = kEndParagraph;
    AddText(w, 0, l, std::string("Zelle ") + static_cast<char>('A' + col));
  }
}

void buildSecondPageAndObjects(TMDIChild& w) {
  Document& d = w.doc;
  // Page 1's body, continuing page 0's.
  int32_t body2 = NewPage(d, AddLine::Yes);
  d.fields[static_cast<size_t>(body2)].page = 1;
  d.fields[0].nextField = body2;
  d.fields[static_cast<size_t>(body2)].prevField = 0;
  AddText(w, body2, 0, "Zweite Seite");

  // Two linked text boxes anchored to the text.
  int32_t boxes[2];
  for (int i = 0; i < 2; ++i) {
    boxes[i] = NewPage(d, AddLine::Yes);
    FieldRec& f = d.fields[static_cast<size_t>(boxes[i])];
    f.type = kFieldTextBox;
    f.left = 30 + 60 * i;
    f.top = 100;
    f.right = 80 + 60 * i;
    f.bottom = 140;
    f.bottomFromBottom = f.rightFromRight = 0;
    f.moveWithText = 1;
    f.anchorId = 100 + i;
    f.anchorOffsetY = 12.5;
    f.flowMode = 2;
    f.lineWidth = 0.75;
    f.lineColour = 0x00FF00;
    f.transparent = 0;
    f.selected = static_cast<uint8_t>(i);
    AddText(w, boxes[i], 0, i == 0 ? "Kasten eins" : "Kasten zwei");
  }
  d.fields[static_cast<size_t>(boxes[0])].nextField = boxes[1];
  d.fields[static_cast<size_t>(boxes[1])].prevField = boxes[0];

  // The footnote's area with its mark.
  int32_t note = NewPage(d, AddLine::Yes);
  FieldRec& n = d.fields[static_cast<size_t>(note)];
  SetFooterDefaults(n);
  n.footnoteNo = 1;
  n.showOn = 0;
  CharRec& mark = AddSpecialCell(d, note, 0, kCharFootnoteMark);
  mark.ch = '1';
  mark.setNumber(1);
  mark.setFootnoteId(1);
  mark.setText("1");
  mark.width = 1.5;
  mark.height = 3.0;
  AddText(w, note, 0, " Fu\xdfnote");
  d.footnoteCounter = 1;

  // A picture field showing the 8-bit picture.
  d.pictures.push_back(MakePicture24(3, 2));
  d.pictures.push_back(MakePicture8(5, 3));
  int32_t pic = NewPage(d, AddLine::Yes);
  FieldRec& pf = d.fields[static_cast<size_t>(pic)];
  pf.type = kFieldPicture;
  pf.shapeVariant = 1;
  pf.keepAspect = 1;
  CharRec& picture = AddSpecialCell(d, pic, 0, kCharPicture);
  picture.setPictureIndex(1);
  picture.width = 40.0;
  picture.height = 24.0;
}

}  // namespace

void BuildRichDocument(TMDIChild& w) {
  Document& d = w.doc;
  d.zoomPercent = 75.0;
  d.zoomMode = 1;
  d.autoHyphenation = 0;
  d.language = 1;
  d.lineEndAffinity = 1;
  d.properties[0] = "Bericht";
  d.properties[2] = "M\xfcller";
  d.properties[7] = std::string(300, 'k');
  buildBody(w);
  buildSecondPageAndObjects(w);
  // A text for the header that shows on all pages.
  AddText(w, 5, 0, "Kopfzeile");

  ParagraphFormat para;
  para.tabs = {{5.0, 1, 0}, {25.0, 0, 3}, {45.0, 2, 1}};
  para.bulletFont = "Wingdings";
  para.listKind = kListBullets;
  CharRec sample;
  sample.fontIndex = d.fontCount() - 1;
  AddVorlage(d, "Liste mit Tabs", kTemplateParagraph, para, sample);

  d.Cursor = {0, 1, 2};
  d.Anchor = {0, 1, 5};
  d.currentPage = 0;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

size_t FindBytes(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle, size_t from) {
  if (from > hay.size()) return std::string::npos;
  auto it =
      std::search(hay.begin() + static_cast<long>(from), hay.end(), needle.begin(), needle.end());
  return it == hay.end() ? std::string::npos : static_cast<size_t>(it - hay.begin());
}

std::vector<uint8_t> LeBytes(double x) {
  auto v = std::bit_cast<uint64_t>(x);
  std::vector<uint8_t> out(8);
  for (int i = 0; i < 8; ++i) out[static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  return out;
}

std::vector<uint8_t> LeBytes(int32_t x) {
  auto v = static_cast<uint32_t>(x);
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

int32_t LoadI32(const std::vector<uint8_t>& data, size_t at) {
  return static_cast<int32_t>(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
                              (static_cast<uint32_t>(data[at + 3]) << 24));
}

void StoreI32(std::vector<uint8_t>& data, size_t at, int32_t x) {
  auto b = LeBytes(x);
  std::copy(b.begin(), b.end(), data.begin() + static_cast<long>(at));
}

}  // namespace paginor::test
