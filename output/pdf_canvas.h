// TPDFCanvas: the program's own PDF 1.3 writer. It offers a small drawing surface in the manner
// of a screen canvas (pen, brush and font set directly; move-to, line-to, rectangles, ellipses,
// text, pictures) and turns each call at once into page-description operators. Coordinates are
// whole points from the page's top-left corner, y downwards.
//
// The file is built in a temporary file beside the target and renamed over it only when it is
// complete, so a failed export never destroys an earlier file.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "model/dyna_array.h"
#include "platform/canvas.h"
#include "platform/platform.h"
#include "storage/atomic_file.h"

namespace paginor {

struct BildRec;

namespace pdf {
class FontTable;
struct FontRun;
}  // namespace pdf

// Names: fonts referenced by name only (TrueType, WinAnsiEncoding), as viewers on Windows
// expect. Embedded: the fonts that measured the text are embedded as subsets, so the file shows
// the same glyphs everywhere.
enum class PdfFontMode { Names, Embedded };

// The writer's font. Sizes are whole points; colours 0x00BBGGRR; style: bold 1, italic 2,
// underline 4, strike-out 8; name and text are Windows-1252.
struct PdfFont {
  std::string name = "Microsoft Sans Serif";
  int32_t size = 8;
  uint8_t style = 0;
  Colour colour = 0;
  uint8_t charset = 1;
};

class TPDFCanvas {
 public:
  // `fonts` measures all text (at 72 pixels per inch, so one unit is one point); `ui` shows the
  // out-of-memory and picture messages (standard error without one).
  explicit TPDFCanvas(FontEngine& fonts, PdfFontMode mode = PdfFontMode::Embedded,
                      Ui* ui = nullptr);
  ~TPDFCanvas();  // finishes an open file as EndDoc does, unless an exception unwinds it
  TPDFCanvas(const TPDFCanvas&) = delete;
  TPDFCanvas& operator=(const TPDFCanvas&) = delete;

  // Opens the file (a temporary one beside it; the target is replaced at EndDoc) and begins
  // page 1. False when the file cannot be created there; the writer then stays closed.
  bool BeginDoc(const std::string& fileName);
  void NewPage();
  // Finishes the last page, writes the shared resources and the cross-reference table and puts
  // the file in place. False (with errorText()) when writing failed; the old file then stays.
  bool EndDoc();
  bool isOpen() const { return open_; }
  // German text of the last failure of BeginDoc or EndDoc.
  const std::string& errorText() const { return error_; }
  // The file system's errno behind that failure, 0 when there was none (memory ran out).
  int fileError() const { return file_.errorNumber(); }

  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // The ellipse inscribed in the box Rectangle would draw, filled and outlined as Rectangle.
  void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // One run of text in the current font; (x, y) is the top-left corner of its cell.
  void TextOut(int32_t x, int32_t y, std::string_view text);
  int32_t TextWidth(std::string_view text);
  int32_t TextHeight(std::string_view text);
  // Places the whole picture scaled into the box at (x, y); of the source rectangle only a
  // zero width or height matters (the picture is then refused).
  void StretchDrawDIB(int32_t x, int32_t y, int32_t width, int32_t height, const BildRec& picture,
                      int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight);

  // Set directly by the caller. The page size in force when a page is finished is its size.
  int32_t PageWidth = 595;
  int32_t PageHeight = 841;
  CanvasPen Pen;
  CanvasBrush Brush;
  PdfFont Font;

  PdfFontMode fontMode() const { return mode_; }

 private:
  struct XrefRec;
  struct PageRec;
  struct FontRec;
  struct PictureRec;
  class Sink;

  // Output channels: the file, or the page's content buffer while a page is open.
  void write(std::string_view s);
  void writeLine(std::string_view s);
  void beginObject(int32_t number);
  void beginDictionary(int32_t number);
  void endDictionary();

  void beginPage();
  void finishPage();
  void writePen();
  void writeBrush();
  void writeFontSelection(int32_t fontNumber, int32_t subFont);
  int32_t fontNumber();  // of the current font, appended to the font list when new
  FontHandle measuringFont();
  void strokeLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  void addPicture(int32_t width, int32_t height, std::vector<uint8_t>&& jpeg);

  void writeFonts();
  void writePageTree();
  void writePages();
  void writePictures();
  void writeXrefAndTrailer();
  void releaseLists();
  void releasePictures();

  FontEngine& fonts_;
  PdfFontMode mode_;
  Ui* ui_;
  std::unique_ptr<pdf::FontTable> fontTable_;

  std::unique_ptr<TDynaArray> xref_;
  std::unique_ptr<TDynaArray> pages_;
  std::unique_ptr<TDynaArray> fontList_;
  std::unique_ptr<TDynaArray> pictures_;

  int32_t catalogObject_ = 0;
  int32_t procSetObject_ = 1;
  int32_t firstContentObject_ = 2;
  int32_t pageTreeObject_ = 0;
  int32_t firstFontObject_ = 0;
  int32_t firstExtraObject_ = 0;
  int32_t pageCount_ = 0;
  int64_t xrefPosition_ = 0;
  int32_t contentObject_ = 0;

  int32_t currentFont_ = 0, currentSubFont_ = 0, currentFontSize_ = 0;
  bool fontValid_ = false, fillValid_ = false, penValid_ = false;
  bool fillWritten_ = false;  // some fill colour (brush or text) is in force in this stream
  bool brushClear_ = false, penClear_ = false;
  bool open_ = false;
  bool pictureFailed_ = false;  // a picture got no JPEG
  bool failed_ = false;         // memory ran out while writing: the file is not put in place
  bool committed_ = false;
  CanvasPen lastPen_;
  CanvasBrush lastBrush_;

  AtomicFile file_;
  std::string fileName_;
  int64_t fileOffset_ = 0;
  std::string content_;
  bool buffering_ = false;
  std::string error_;

  // Measuring fonts by (name, size, style, charset), made once each.
  std::map<std::tuple<std::string, int32_t, uint8_t, uint8_t>, FontHandle> measuring_;

  int32_t penX_ = 0, penY_ = 0;
  std::vector<pdf::FontRun> runs_;
};

}  // namespace paginor
