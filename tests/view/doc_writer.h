// Building documents for the drawing tests and the example document: paragraphs of measured
// cells appended to fields, as typing and the importers would build them, without the editor.
#pragma once

#include <cstdint>
#include <string>

#include "window/document_window.h"

namespace paginor::test {

struct FontDesc {
  std::string name = "Times New Roman";
  double size = 12;
  uint8_t style = 0;        // StyleBit bits
  uint16_t attributes = 0;  // Attribute bits
  Colour colour = 0;
  Colour back = 0xFFFFFF;
  bool backTransparent = true;
};

class DocWriter {
 public:
  explicit DocWriter(TMDIChild& w) : w_(w), d_(w.doc) {}

  // The font-table entry of a font, bold/italic/underline/strike-out style bits following the
  // attribute bits as the model holds both.
  int32_t Font(const FontDesc& desc);

  // The field's last line, on which text is appended; its paragraph format is the format of the
  // paragraph being written.
  LineRec& Current(int32_t field);
  // Appends UTF-8 text in a font.
  void Text(int32_t field, int32_t font, const std::string& utf8);
  void Tab(int32_t field, int32_t font);
  // A field character showing `text` for `code`.
  void FieldChar(int32_t field, int32_t font, const std::string& code, const std::string& text);
  // A picture character of the picture list, `widthMm` x `heightMm`.
  void PictureChar(int32_t field, int32_t font, int32_t picture, double widthMm, double heightMm);
  // A footnote reference in `field` and its footnote area with `utf8` as text. Returns the area.
  int32_t Footnote(int32_t field, int32_t font, const std::string& utf8);
  // Ends the field's last line with `endKind` and starts a new one with `next` as its format.
  void End(int32_t field, int32_t endKind, const ParagraphFormat& next = {});

  // A floating object of `type` on page `page`, with the defaults new objects get.
  int32_t Object(uint8_t type, int32_t page, double left, double top, double right, double bottom);
  // A 24-bit picture of the picture list with a colour pattern. Returns its index.
  int32_t Picture(int32_t width, int32_t height);

 private:
  CharRec& Append(int32_t field, CharRec cell);
  TMDIChild& w_;
  Document& d_;
};

}  // namespace paginor::test
