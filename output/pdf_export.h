// PDF export of a document: every laid-out page drawn by the page-drawing rules onto the PDF
// writer, in whole points.
#pragma once

#include <cstdint>
#include <string>

#include "output/pdf_canvas.h"
#include "platform/result.h"

namespace paginor {

class TMDIChild;

// The message when the file cannot be created; PdfNotCreatedText adds the file's name and the
// cause (an errno) after it.
inline constexpr const char* kPdfNotCreated = "Die PDF-Datei konnte nicht erstellt werden!";
std::string PdfNotCreatedText(const std::string& fileName, int error);
// An allocation failed while the document was laid out, drawn or written.
std::string PdfOutOfMemoryText(const std::string& fileName);

// The page size in whole points: the page in measuring pixels turned into points, truncated
// (an A4 page is 595 x 841 points at every usual resolution).
struct PdfPageSize {
  int32_t width = 0;
  int32_t height = 0;
};
PdfPageSize PdfPageSizeOf(const TMDIChild& w);

// Settles the layout and writes the whole document to `fileName`. With PdfFontMode::Names the
// file is the program's classic output, byte for byte; the default embeds the fonts and places
// text and bars as the screen does (see PdfTarget in pdf_export.cpp). A file that cannot be
// created fails with an information, a failure while writing with the writer's message, both
// with the file's name and the cause; running out of memory ends the export with its own
// failure. A failed export leaves the document as it was and an earlier file of that name in
// place. A picture that could not be converted leaves a warning on the written file.
Result SavePDFFile(TMDIChild& w, const std::string& fileName,
                 PdfFontMode fontMode = PdfFontMode::Embedded);

// Draws page `pageIndex` (0-based) onto the writer's current page and sets that page's size.
void DrawPagesPDF(TMDIChild& w, TPDFCanvas& pdf, int32_t pageIndex);

}  // namespace paginor
