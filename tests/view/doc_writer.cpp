#include "view/doc_writer.h"

#include "layout/measure.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "platform/cp1252.h"
#include "platform/pictures/dib.h"

namespace paginor::test {

int32_t DocWriter::Font(const FontDesc& desc) {
  FontRec f = FontOfCurrentFormat(d_.CurrentFormat);
  f.name = utf8ToCp1252(desc.name);
  f.size = desc.size;
  f.style = desc.style;
  f.attributes = static_cast<uint16_t>(desc.attributes | (desc.style & 0x0F));
  f.textColour = desc.colour;
  f.backColour = desc.back;
  f.backTransparent = desc.backTransparent ? 1 : 0;
  return GetNewFontIndex(d_, f);
}

LineRec& DocWriter::Current(int32_t field) {
  FieldRec& f = d_.fields[field];
  if (f.lines.empty()) InsertNewLine(d_, field, 0);
  LineRec& l = f.lines.back();
  l.dirty = 1;
  return l;
}

CharRec& DocWriter::Append(int32_t field, CharRec cell) {
  LineRec& l = Current(field);
  l.chars.push_back(std::move(cell));
  return l.chars.mut(l.charCount() - 1);
}

void DocWriter::Text(int32_t field, int32_t font, const std::string& utf8) {
  for (char ch : utf8ToCp1252(utf8)) {
    CharRec c;
    c.ch = static_cast<uint8_t>(ch);
    c.fontIndex = font;
    CharRec& m = Append(field, c);
    RenderChar(w_, m, false, CellText(m));
  }
}

void DocWriter::Tab(int32_t field, int32_t font) {
  Text(field, font, "\t");
}

void DocWriter::FieldChar(int32_t field, int32_t font, const std::string& code,
                          const std::string& text) {
  CharRec c;
  c.kind = kCharField;
  c.fontIndex = font;
  c.setCode(code);
  c.setText(utf8ToCp1252(text));
  CharRec& m = Append(field, c);
  RenderChar(w_, m, false, m.text());
}

void DocWriter::PictureChar(int32_t field, int32_t font, int32_t picture, double widthMm,
                            double heightMm) {
  CharRec c;
  c.kind = kCharPicture;
  c.fontIndex = font;
  c.setPictureIndex(static_cast<uint16_t>(picture));
  c.width = widthMm;
  c.height = heightMm;
  Append(field, c);
}

int32_t DocWriter::Footnote(int32_t field, int32_t font, const std::string& utf8) {
  const int32_t no = ++d_.footnoteCounter;
  CharRec ref;
  ref.kind = kCharFootnoteRef;
  ref.ch = '1';
  ref.fontIndex = font;
  ref.setNumber(static_cast<uint16_t>(no));
  ref.setFootnoteId(static_cast<uint16_t>(no));
  CharRec& r = Append(field, ref);
  RenderChar(w_, r, true, std::to_string(no));

  const int32_t area = NewPage(d_, AddLine::Yes);
  FieldRec& a = d_.fields[area];
  a.type = kFieldFooter;
  a.footnoteNo = no;
  a.left = 0;
  a.top = 29.5;
  a.right = 0;
  a.bottom = 24.5;
  a.topFromBottom = a.bottomFromBottom = a.rightFromRight = 1;
  a.marginLeft = d_.fields[0].marginLeft;
  a.marginRight = d_.fields[0].marginRight;
  a.marginTop = a.marginBottom = 0;
  a.showOn = 0;
  a.page = d_.fields[field].page;
  CharRec mark = ref;
  mark.kind = kCharFootnoteMark;
  CharRec& m = Append(area, mark);
  RenderChar(w_, m, true, std::to_string(no));
  Text(area, font, " " + utf8);
  Current(area).endKind = kEndParagraph;
  return area;
}

void DocWriter::End(int32_t field, int32_t endKind, const ParagraphFormat& next) {
  FieldRec& f = d_.fields[field];
  Current(field).endKind = endKind;
  LineRec& l = InsertNewLine(d_, field, f.lineCount());
  l.para = next;
  l.dirty = 1;
}

int32_t DocWriter::Object(uint8_t type, int32_t page, double left, double top, double right,
                          double bottom) {
  const int32_t i = NewField(d_);
  FieldRec& f = d_.fields[i];
  f.type = type;
  f.page = page;
  f.left = left;
  f.top = top;
  f.right = right;
  f.bottom = bottom;
  f.keepAspect = 1;
  f.marginLeft = f.marginRight = 2.5;
  f.marginTop = f.marginBottom = 1.3;
  f.moveWithText = 1;
  f.distanceX = f.distanceY = 3.2;
  f.wrapText = type == kFieldTextBox ? 1 : 0;
  f.lineWidth = 0.75;
  f.backColour = 0xFFFFFF;
  InsertNewLine(d_, i, 0).dirty = 1;
  return i;
}

int32_t DocWriter::Picture(int32_t width, int32_t height) {
  BildRec pic;
  if (!newdib(pic, width, height, 24, nullptr, 0)) return -1;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      // A sky over a meadow with a sun: colours a viewer shows recognisably.
      uint32_t c;
      const int32_t dx = x - width * 3 / 4, dy = y - height / 4;
      if (dx * dx + dy * dy < height * height / 36)
        c = 0x00FFFF;  // yellow
      else if (y > height * 2 / 3)
        c = 0x30A030 + static_cast<uint32_t>((y * 64 / height)) * 0x100;
      else
        c = 0xF0C080 + static_cast<uint32_t>(y * 48 / height);
      setpixel(pic, x, y, c);
    }
  }
  d_.pictures.push_back(std::move(pic));
  return d_.pictureCount() - 1;
}

}  // namespace paginor::test
