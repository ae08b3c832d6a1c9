// Documents and file helpers for the storage tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "storage/new_document.h"
#include "window/document_window.h"

namespace paginor::test {

// Marks field 0's first line so tests can find the field record in a file: its anchorOffsetX.
inline constexpr double kBodySentinel = 4711.0625;

// Fills a new document (FormCreate) with one of everything a file holds: properties and view
// settings, paragraphs in two fonts with tabs, a field, a footnote with its area, a bulleted
// paragraph with three tab stops and a bullet font, a numbered paragraph, a column section, a
// table row of three cells, a second page chained to the first, two linked text boxes, a
// picture field showing an 8-bit picture, a 24-bit picture, and an extra template.
void BuildRichDocument(TMDIChild& w);

// Appends a line to a field and returns its index.
int32_t AppendLine(Document& d, int32_t field);
// Appends measured text cells in the CurrentFormat at the end of a line.
void AddText(TMDIChild& w, int32_t field, int32_t line, const std::string& cp1252);
// Appends a cell of another kind (picture, footnote mark, field) at the end of a line.
CharRec& AddSpecialCell(Document& d, int32_t field, int32_t line, uint8_t kind);

// Pictures made by the picture library, with recognisable pixels (and palette).
BildRec MakePicture24(int32_t width, int32_t height);
BildRec MakePicture8(int32_t width, int32_t height);

// Measures every character alike and at once; for tests that read thousands of files and do not
// care about real glyph widths.
class FixedWidthFonts : public FontEngine {
 public:
  FontHandle createFont(const LogFont& lf, int32_t) override { return lf.height != 0 ? 1 : 2; }
  void deleteFont(FontHandle) override {}
  TextExtent textExtent(FontHandle, std::string_view text) override {
    return {static_cast<int32_t>(25 * text.size()), 50};
  }
  FontMetrics metrics(FontHandle) override { return {40, 10, 50}; }
  std::string fontFile(FontHandle, int32_t* faceIndex) override {
    if (faceIndex) *faceIndex = 0;
    return {};
  }
  char32_t unicodeFor(FontHandle, uint8_t byte) override { return byte; }
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& data);
// Offset of the first occurrence of `needle` at or after `from`; npos when absent.
size_t FindBytes(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle,
                 size_t from = 0);
std::vector<uint8_t> LeBytes(double x);
std::vector<uint8_t> LeBytes(int32_t x);
int32_t LoadI32(const std::vector<uint8_t>& data, size_t at);
void StoreI32(std::vector<uint8_t>& data, size_t at, int32_t x);

}  // namespace paginor::test
