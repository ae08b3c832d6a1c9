// TPDFCanvas: the program's own PDF 1.3 writer. It offers a small drawing surface in the manner
// of a screen canvas (pen, brush and font set directly; move-to, line-to, rectangles, ellipses,
// text, pictures) and turns each call at once into page-description operators. Coordinates are
// whole points from the page's top-left corner, y downwards.
//
// The file is built in a temporary file beside the target and renamed over it only when it is
// complete, so a failed export never destroys an earlier file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/font_cache.h"
#include "platform/platform.h"
#include "storage/atomic_file.h"

namespace paginor {

struct BildRec;

namespace pdf {
class FontTable;
struct FontRun;
struct FontName;
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
  // failure of a file finished by the destructor (standard error without one).
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
  // Whether a picture of the last file could not be turned into JPEG and was left empty.
  bool pictureFailed() const { return pictureFailed_; }

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
  // zero width or height matters (the picture is then refused). A picture is encoded and stored
  // once however often it is drawn: drawings of equal pictures (same size, depth, header with
  // its colour table, and pixels) share one image object.
  void StretchDrawDIB(int32_t x, int32_t y, int32_t width, int32_t height, const BildRec& picture,
                      int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight);

  // Set directly by the caller. The page size in force when a page is finished is its size.
  int32_t PageWidth = 595;
  int32_t PageHeight = 841;
  CanvasPen Pen;
  CanvasBrush Brush;
  PdfFont Font;

  PdfFontMode fontMode() const { return mode_; }
  // The fonts the writer measures with, made at 72 pixels per inch (one unit a point) by the
  // key's rule; the export measures through the same cache. They live as long as the writer.
  FontCache& fontCache() { return fontCache_; }

 private:
  struct XrefEntry {
    int64_t offset;
    int32_t generation;
    bool free;
  };
  struct PageSize {
    int32_t width;
    int32_t height;
  };
  struct Pictures;
  class Deflater;
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
  bool sameFontAsLast() const;
  void rememberFont();
  // The resource number of the picture, encoded and stored on its first drawing; -1 when a
  // palette picture could not be converted for encoding.
  int32_t pictureNumber(const BildRec& picture);

  void writeFonts();
  void writePageTree();
  void writePages();
  void writePictures();
  void writeXrefAndTrailer();
  void releaseLists();

  FontEngine& fonts_;
  PdfFontMode mode_;
  Ui* ui_;
  FontCache fontCache_;
  std::unique_ptr<pdf::FontTable> fontTable_;
  std::unique_ptr<Deflater> deflater_;

  std::vector<XrefEntry> xref_;          // per object number, from the free entry 0
  std::vector<PageSize> pages_;          // per finished page
  std::vector<pdf::FontName> fontList_;  // entry k-1 is the resource /Fk
  std::unique_ptr<Pictures> pictures_;   // each picture drawn, once

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
  std::string packed_;  // the compressed content of the page being finished
  std::string line_;    // a line being put together, so that drawing allocates nothing
  bool buffering_ = false;
  std::string error_;

  // The font last measured or drawn: text comes a run at a time in the same font, so its
  // handle and list number are looked up only when the font changes.
  struct LastFont {
    std::string name;
    int32_t size = 0;
    uint8_t style = 0;
    uint8_t charset = 0;
    FontHandle handle = 0;
    int32_t number = 0;  // 0: not in this file's font list yet
    bool valid = false;
  } last_;

  int32_t penX_ = 0, penY_ = 0;
  std::vector<pdf::FontRun> runs_;
};

}  // namespace paginor
