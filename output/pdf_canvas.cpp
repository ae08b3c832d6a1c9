#include "output/pdf_canvas.h"

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <new>

#include "model/application.h"
#include "model/records.h"
#include "output/pdf_fonts.h"
#include "output/pdf_format.h"
#include "platform/pictures/dib.h"

namespace paginor {

using pdf::appendInt;
using pdf::colourText;
using pdf::intText;

namespace {

constexpr const char* kNoMemory = "Fehler: nicht genug Speicher für diese Operation!";
// The circle's control-point distance for four cubic Bézier quarter arcs.
constexpr double kKappa = 0.5522847498307936;

std::string baseName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// A rectangle's extent in the form the rectangle operators take: one less than the distance
// (the far edge is exclusive), keeping its sign.
int32_t extent(int32_t d) {
  return d > 0 ? d - 1 : d + 1;
}

}  // namespace

struct TPDFCanvas::XrefRec {
  int64_t offset;
  int32_t generation;
  uint8_t free;
};

struct TPDFCanvas::PageRec {
  int32_t width;
  int32_t height;
};

struct TPDFCanvas::FontRec {
  char* name;  // owned, zero-terminated
  uint8_t style;
};

// A drawn picture as it goes into the file: its JPEG (encoded when drawn, so the caller's
// picture may change afterwards), or none when no JPEG could be made.
struct TPDFCanvas::PictureRec {
  int32_t width;
  int32_t height;
  uint8_t* jpeg;  // owned (malloc)
  int64_t size;
};

// The writer's output primitives, for the font objects.
class TPDFCanvas::Sink : public pdf::ObjectSink {
 public:
  explicit Sink(TPDFCanvas& c) : c_(c) {}
  void write(std::string_view s) override { c_.write(s); }
  void writeLine(std::string_view s) override { c_.writeLine(s); }
  void beginObject(int32_t number) override { c_.beginObject(number); }

 private:
  TPDFCanvas& c_;
};

TPDFCanvas::TPDFCanvas(FontEngine& fonts, PdfFontMode mode, Ui* ui)
    : fonts_(fonts),
      mode_(mode),
      ui_(ui),
      pictures_(
          std::make_unique<TDynaArray>(static_cast<int32_t>(sizeof(PictureRec)), nullptr, ui)) {}

TPDFCanvas::~TPDFCanvas() {
  if (open_ && std::uncaught_exceptions() > 0) {
    // Unwound by an exception (memory ran out while drawing) the file is unfinished: it is
    // dropped with its temporary file, and an earlier file of that name stays.
    releaseLists();
  } else if (open_ && !EndDoc()) {
    if (ui_)
      ui_->messageBox(error_, kAppTitle, MsgIcon::Error);
    else
      std::cerr << error_ << "\n";
  }
  releasePictures();
  for (auto& [key, handle] : measuring_) fonts_.deleteFont(handle);
}

// ---------------------------------------------------------------------------------------------
// Output channels and objects

void TPDFCanvas::write(std::string_view s) {
  if (buffering_) {
    content_.append(s);
    return;
  }
  file_.write(s);
  fileOffset_ += static_cast<int64_t>(s.size());
}

void TPDFCanvas::writeLine(std::string_view s) {
  if (buffering_) {
    content_.append(s);
    content_ += '\n';
    return;
  }
  write(s);
  write("\n");
}

void TPDFCanvas::beginObject(int32_t number) {
  // Objects are written in number order, so the entry's index is the object's number.
  auto* rec = static_cast<XrefRec*>(xref_->Add());
  if (rec) *rec = {fileOffset_, 0, 0};
  if (!rec || number != xref_->Count - 1) failed_ = true;
  writeLine(intText(number) + " 0 obj");
}

void TPDFCanvas::beginDictionary(int32_t number) {
  beginObject(number);
  writeLine("<<");
}

void TPDFCanvas::endDictionary() {
  writeLine(">>");
  writeLine("endobj");
}

// ---------------------------------------------------------------------------------------------
// Document and pages

bool TPDFCanvas::BeginDoc(const std::string& fileName) {
  if (open_) return false;
  error_.clear();
  std::error_code ec;
  if (std::filesystem::is_directory(fileName, ec) || file_.open(fileName) != WriteError::None) {
    error_ = "Die PDF-Datei „" + baseName(fileName) + "“ konnte nicht erstellt werden.";
    return false;
  }
  fileName_ = fileName;
  fileOffset_ = 0;
  committed_ = false;
  failed_ = false;
  pictureFailed_ = false;
  releasePictures();
  xref_ = std::make_unique<TDynaArray>(static_cast<int32_t>(sizeof(XrefRec)), nullptr, ui_);
  pages_ = std::make_unique<TDynaArray>(static_cast<int32_t>(sizeof(PageRec)), nullptr, ui_);
  fontList_ = std::make_unique<TDynaArray>(static_cast<int32_t>(sizeof(FontRec)), nullptr, ui_);
  fontTable_ = std::make_unique<pdf::FontTable>(fonts_, mode_ == PdfFontMode::Embedded);
  pageCount_ = 0;

  writeLine("%PDF-1.3");
  auto* free = static_cast<XrefRec*>(xref_->Add());
  if (free) *free = {0, 65535, 1};
  beginObject(procSetObject_);
  writeLine("[/PDF /Text /ImageB /ImageC /ImageI]");
  writeLine("endobj");
  beginPage();
  open_ = true;
  return true;
}

void TPDFCanvas::beginPage() {
  ++pageCount_;
  contentObject_ = xref_->Count;
  beginObject(contentObject_);
  writeLine("<< /Length " + intText(contentObject_ + 1) + " 0 R /Filter /FlateDecode >>");
  writeLine("stream");
  fontValid_ = fillValid_ = penValid_ = fillWritten_ = false;
  content_.clear();
  buffering_ = true;
}

void TPDFCanvas::finishPage() {
  buffering_ = false;
  std::string packed;
  uLongf size = compressBound(static_cast<uLong>(content_.size()));
  try {
    packed.resize(size);
  } catch (const std::bad_alloc&) {
    size = 0;
  }
  if (size == 0 || compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                             reinterpret_cast<const Bytef*>(content_.data()),
                             static_cast<uLong>(content_.size()), 9) != Z_OK) {
    failed_ = true;
    size = 0;
  }
  write(std::string_view(packed.data(), size));
  writeLine("");
  writeLine("endstream");
  writeLine("endobj");
  beginObject(contentObject_ + 1);
  writeLine(intText(static_cast<int64_t>(size)));
  writeLine("endobj");
  if (auto* page = static_cast<PageRec*>(pages_->Add()))
    *page = {PageWidth, PageHeight};
  else
    failed_ = true;
  content_.clear();
}

void TPDFCanvas::NewPage() {
  if (!open_) return;
  finishPage();
  beginPage();
}

bool TPDFCanvas::EndDoc() {
  if (!open_) return committed_;
  finishPage();
  const int32_t n = pageCount_;
  const int32_t fontCount = fontList_->Count;
  firstFontObject_ = 2 * n + 2;
  pageTreeObject_ = firstFontObject_ + fontCount;
  catalogObject_ = pageTreeObject_ + n + 1;
  firstExtraObject_ = catalogObject_ + 2 + pictures_->Count;

  std::vector<pdf::FontName> list;
  for (int32_t i = 0; i < fontCount; ++i) {
    auto* f = fontList_->at<FontRec>(i);
    list.push_back({f->name ? f->name : "", f->style});
  }
  fontTable_->prepare(list, firstExtraObject_);

  Sink sink(*this);
  for (int32_t k = 1; k <= fontCount; ++k) fontTable_->writeFont(sink, k, firstFontObject_ + k - 1);
  writePageTree();
  writePages();
  beginDictionary(catalogObject_);
  writeLine("/Type /Catalog");
  writeLine("/Pages " + intText(pageTreeObject_) + " 0 R");
  writeLine("/Outlines " + intText(catalogObject_ + 1) + " 0 R");
  endDictionary();
  beginDictionary(catalogObject_ + 1);
  writeLine("/Type /Outlines");
  writeLine("/Count 0");
  endDictionary();
  writePictures();
  fontTable_->writeExtraObjects(sink);
  writeXrefAndTrailer();

  open_ = false;
  releaseLists();
  if (failed_) {
    file_.discard();
    error_ = std::string(kNoMemory);
    return committed_ = false;
  }
  if (file_.commit() != WriteError::None) {
    error_ = "Die PDF-Datei „" + baseName(fileName_) +
             "“ konnte nicht geschrieben werden. Eine frühere Datei dieses Namens bleibt "
             "erhalten.";
    return committed_ = false;
  }
  if (pictureFailed_) {
    const char* text =
        "Mindestens ein Bild ließ sich nicht ins JPEG-Format umwandeln; es bleibt in der "
        "PDF-Datei leer.";
    if (ui_)
      ui_->messageBox(text, kAppTitle, MsgIcon::Warning);
    else
      std::cerr << text << "\n";
  }
  return committed_ = true;
}

void TPDFCanvas::writePageTree() {
  beginDictionary(pageTreeObject_);
  writeLine("/Type /Pages");
  writeLine("/Count " + intText(pageCount_));
  std::string kids = "/Kids [";
  for (int32_t a = 1; a <= pageCount_; ++a) {
    appendInt(kids, pageTreeObject_ + a);
    kids += a < pageCount_ ? " 0 R " : " 0 R]";
  }
  if (pageCount_ == 0) kids += ']';
  writeLine(kids);
  endDictionary();
}

void TPDFCanvas::writePages() {
  std::string pictures;
  for (int32_t k = 0; k < pictures_->Count; ++k) {
    pictures += "/Im";
    appendInt(pictures, k);
    pictures += ' ';
    appendInt(pictures, catalogObject_ + 2 + k);
    pictures += " 0 R";
  }
  std::string fonts = "/Font << ";
  for (int32_t k = 1; k <= fontList_->Count; ++k) {
    fonts += "/F";
    appendInt(fonts, k);
    fonts += ' ';
    appendInt(fonts, firstFontObject_ + k - 1);
    fonts += " 0 R";
  }
  fonts += fontTable_->extraResources();
  for (int32_t a = 0; a < pageCount_; ++a) {
    const auto* page = pages_->at<PageRec>(a);
    beginDictionary(pageTreeObject_ + 1 + a);
    writeLine("/Type /Page");
    writeLine("/Parent " + intText(pageTreeObject_) + " 0 R");
    write("/Resources <<");
    writeLine("/XObject << " + pictures + " >>");
    write(fonts);
    writeLine(">> /ProcSet " + intText(procSetObject_) + " 0 R");
    writeLine(">>");
    writeLine("/MediaBox [0 0 " + intText(page->width - 1) + " " + intText(page->height - 1) + "]");
    writeLine("/Contents " + intText(firstContentObject_ + 2 * a) + " 0 R");
    endDictionary();
  }
}

void TPDFCanvas::writePictures() {
  for (int32_t k = 0; k < pictures_->Count; ++k) {
    const auto* pic = pictures_->at<PictureRec>(k);
    beginObject(catalogObject_ + 2 + k);
    if (pic->jpeg) {
      writeLine("<< /Type /XObject /Subtype /Image /Width " + intText(pic->width) + " /Height " +
                intText(pic->height) + " /BitsPerComponent 8 /ColorSpace /DeviceRGB /Length " +
                intText(pic->size) + " /Filter /DCTDecode >>");
      writeLine("stream");
      write(std::string_view(reinterpret_cast<const char*>(pic->jpeg),
                             static_cast<size_t>(pic->size)));
    } else {
      // No JPEG could be made: a one-sample stencil mask that paints nothing keeps the object
      // numbers and the pages' resources valid and leaves the place empty, as the picture
      // would have been left out.
      writeLine(
          "<< /Type /XObject /Subtype /Image /Width 1 /Height 1 /ImageMask true "
          "/BitsPerComponent 1 /Length 1 >>");
      writeLine("stream");
      write("\xFF");
    }
    writeLine("endstream");
    writeLine("endobj");
  }
}

void TPDFCanvas::writeXrefAndTrailer() {
  xrefPosition_ = fileOffset_;
  writeLine("xref");
  writeLine("0 " + intText(xref_->Count));
  std::string table;
  table.reserve(static_cast<size_t>(xref_->Count) * 20);
  for (int32_t i = 0; i < xref_->Count; ++i) {
    const auto* e = xref_->at<XrefRec>(i);
    char line[32];
    std::snprintf(line, sizeof line, "%010lld %05d %c \n", static_cast<long long>(e->offset),
                  static_cast<int>(e->generation), e->free ? 'f' : 'n');
    table += line;
  }
  write(table);
  writeLine("trailer");
  writeLine("<<");
  writeLine("/Size " + intText(xref_->Count));
  writeLine("/Root " + intText(catalogObject_) + " 0 R");
  writeLine(">>");
  writeLine("startxref");
  writeLine(intText(xrefPosition_));
  write("%%EOF");
}

void TPDFCanvas::releaseLists() {
  if (fontList_) {
    for (int32_t i = 0; i < fontList_->Count; ++i) std::free(fontList_->at<FontRec>(i)->name);
  }
  xref_.reset();
  pages_.reset();
  fontList_.reset();
  fontTable_.reset();
  content_ = std::string();
}

void TPDFCanvas::releasePictures() {
  if (!pictures_) return;
  for (int32_t k = 0; k < pictures_->Count; ++k) std::free(pictures_->at<PictureRec>(k)->jpeg);
  pictures_ = std::make_unique<TDynaArray>(static_cast<int32_t>(sizeof(PictureRec)), nullptr, ui_);
}

// ---------------------------------------------------------------------------------------------
// Pen, brush and text state

void TPDFCanvas::writePen() {
  if (penValid_ && Pen.style == lastPen_.style && Pen.width == lastPen_.width &&
      Pen.colour == lastPen_.colour)
    return;
  switch (Pen.style) {
    case PenStyle::Solid:
    case PenStyle::InsideFrame:
      writeLine("[ ] 0 d");
      break;
    case PenStyle::Dash:
      writeLine("[3] 0 d");
      break;
    case PenStyle::Dot:
      writeLine("[1] 0 d");
      break;
    case PenStyle::DashDot:
      writeLine("[3 1 1 1] 0 d");
      break;
    case PenStyle::DashDotDot:
      writeLine("[3 1 1 1 1 1] 0 d");
      break;
    case PenStyle::Clear:
      break;
  }
  penClear_ = Pen.style == PenStyle::Clear;
  if (!penClear_) {
    writeLine(intText(Pen.width) + " w");
    writeLine(colourText(Pen.colour) + " RG");
  }
  lastPen_ = Pen;
  penValid_ = true;
}

void TPDFCanvas::writeBrush() {
  if (fillValid_ && Brush.style == lastBrush_.style && Brush.colour == lastBrush_.colour) return;
  brushClear_ = Brush.style == BrushStyle::Clear;
  if (brushClear_) {
    // Nothing is written, so the colour in force stays what the text test compares with.
    lastBrush_.style = Brush.style;
  } else {
    writeLine(colourText(Brush.colour) + " rg");
    lastBrush_ = Brush;
    fillWritten_ = true;
  }
  fillValid_ = true;
}

void TPDFCanvas::writeFontSelection(int32_t fontNumber, int32_t subFont) {
  if (fontValid_ && currentFont_ == fontNumber && currentSubFont_ == subFont &&
      currentFontSize_ == Font.size)
    return;
  std::string line = "/F";
  appendInt(line, fontNumber);
  if (subFont > 0) {
    line += '_';
    appendInt(line, subFont);
  }
  line += ' ';
  appendInt(line, Font.size);
  line += " Tf";
  writeLine(line);
  currentFont_ = fontNumber;
  currentSubFont_ = subFont;
  currentFontSize_ = Font.size;
  fontValid_ = true;
}

int32_t TPDFCanvas::fontNumber() {
  const char* name = Font.name.c_str();
  for (int32_t i = 0; i < fontList_->Count; ++i) {
    const auto* f = fontList_->at<FontRec>(i);
    if (f->style == Font.style && std::strcmp(f->name, name) == 0) return i + 1;
  }
  char* copy = strdup(name);
  auto* rec = copy ? static_cast<FontRec*>(fontList_->Add()) : nullptr;
  if (!rec) {
    std::free(copy);
    failed_ = true;
    return fontList_->Count > 0 ? 1 : 0;
  }
  *rec = {copy, Font.style};
  return fontList_->Count;
}

FontHandle TPDFCanvas::measuringFont() {
  auto key = std::make_tuple(Font.name, Font.size, Font.style, Font.charset);
  auto it = measuring_.find(key);
  if (it != measuring_.end()) return it->second;
  LogFont lf;
  lf.face = Font.name;
  lf.height = -Font.size;  // at 72 pixels per inch a pixel is a point
  lf.weight = Font.style & pdf::kStyleBold ? 700 : 400;
  lf.italic = Font.style & pdf::kStyleItalic;
  lf.strikeOut = Font.style & pdf::kStyleStrikeOut;
  lf.charset = Font.charset;
  FontHandle h = fonts_.createFont(lf, 72);
  measuring_.emplace(std::move(key), h);
  return h;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void TPDFCanvas::MoveTo(int32_t x, int32_t y) {
  if (!open_) return;
  penX_ = x;
  penY_ = y;
}

void TPDFCanvas::LineTo(int32_t x, int32_t y) {
  if (!open_) return;
  writePen();
  if (!penClear_) {
    std::string s;
    appendInt(s, penX_);
    s += ' ';
    appendInt(s, PageHeight - 1 - penY_);
    s += " m\n";
    appendInt(s, x);
    s += ' ';
    appendInt(s, PageHeight - 1 - y);
    s += " l\nS";
    writeLine(s);
  }
  penX_ = x;
  penY_ = y;
}

void TPDFCanvas::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!open_ || left == right || top == bottom) return;
  writeBrush();
  if (!brushClear_) {
    writeLine(intText(left) + " " + intText(PageHeight - bottom) + " " +
              intText(extent(right - left)) + " " + intText(extent(bottom - top)) + " re");
    writeLine("f");
  }
}

void TPDFCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!open_) return;
  if (Pen.style == PenStyle::Clear) {
    FillRect(left, top, right, bottom);
    return;
  }
  if (left == right || top == bottom) return;
  writePen();
  writeBrush();
  if (!brushClear_) {
    writeLine(intText(left) + " " + intText(PageHeight - bottom) + " " +
              intText(extent(right - left)) + " " + intText(extent(bottom - top)) + " re");
    writeLine("B");
  } else {
    MoveTo(left, top);
    LineTo(right - 1, top);
    LineTo(right - 1, bottom - 1);
    LineTo(left, bottom - 1);
    LineTo(left, top);
  }
}

void TPDFCanvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!open_ || left == right || top == bottom) return;
  const bool stroke = Pen.style != PenStyle::Clear;
  if (stroke) writePen();
  writeBrush();
  const bool fill = !brushClear_;
  if (!stroke && !fill) return;
  // The box Rectangle fills: from (left, PageHeight - bottom), extents one less than the sides.
  const double x0 = left, y0 = PageHeight - bottom;
  const double x1 = x0 + extent(right - left), y1 = y0 + extent(bottom - top);
  const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const double rx = std::abs(x1 - x0) / 2, ry = std::abs(y1 - y0) / 2;
  const double kx = rx * kKappa, ky = ry * kKappa;
  auto pt = [](double x, double y) { return pdf::realText(x, 2) + " " + pdf::realText(y, 2); };
  std::string s = pt(cx + rx, cy) + " m\n";
  s += pt(cx + rx, cy + ky) + " " + pt(cx + kx, cy + ry) + " " + pt(cx, cy + ry) + " c\n";
  s += pt(cx - kx, cy + ry) + " " + pt(cx - rx, cy + ky) + " " + pt(cx - rx, cy) + " c\n";
  s += pt(cx - rx, cy - ky) + " " + pt(cx - kx, cy - ry) + " " + pt(cx, cy - ry) + " c\n";
  s += pt(cx + kx, cy - ry) + " " + pt(cx + rx, cy - ky) + " " + pt(cx + rx, cy) + " c\n";
  s += fill && stroke ? "b" : (fill ? "f" : "s");
  writeLine(s);
}

void TPDFCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
  if (!open_) return;
  FontHandle h = measuringFont();
  const int32_t height = fonts_.textExtent(h, text).cy;
  const int32_t k = fontNumber();
  fontTable_->use(k, h, text, runs_);
  writeLine("BT");
  if (!fillWritten_ || lastBrush_.colour != Font.colour) {
    writeLine(colourText(Font.colour) + " rg");
    fillWritten_ = true;
  }
  lastBrush_.colour = Font.colour;
  bool first = true;
  for (const pdf::FontRun& run : runs_) {
    writeFontSelection(k, run.subFont);
    std::string line;
    if (first) {
      appendInt(line, x);
      line += ' ';
      appendInt(line, PageHeight - 1 - y - height);
      line += " Td ";
      first = false;
    }
    line += '(';
    line += pdf::escapeString(text.substr(run.begin, run.end - run.begin));
    line += ") Tj";
    writeLine(line);
  }
  writeLine("ET");
}

int32_t TPDFCanvas::TextWidth(std::string_view text) {
  return fonts_.textExtent(measuringFont(), text).cx;
}

int32_t TPDFCanvas::TextHeight(std::string_view text) {
  return fonts_.textExtent(measuringFont(), text).cy;
}

void TPDFCanvas::StretchDrawDIB(int32_t x, int32_t y, int32_t width, int32_t height,
                                const BildRec& picture, int32_t sourceX, int32_t sourceY,
                                int32_t sourceWidth, int32_t sourceHeight) {
  (void)sourceX;
  (void)sourceY;
  if (!open_) return;
  const BildRec* source = &picture;
  BildRec converted;
  const int32_t bits = picture.bitsPerPixel();
  if (bits == 1 || bits == 4 || bits == 8) {
    const int32_t w = picture.width(), h = std::abs(picture.height());
    if (picture.hasBits() && newdib(converted, w, h, 24, nullptr, 0)) {
      for (int32_t py = 0; py < h; ++py) {
        for (int32_t px = 0; px < w; ++px) {
          uint32_t c = getpixel(picture, px, py);
          if (bits == 1) c = c == 0 ? 0 : 0xFFFFFF;
          setpixel(converted, px, py, c);
        }
      }
      source = &converted;
    }
  }
  if (source->bitsPerPixel() < 24 || width == 0 || height == 0 || sourceWidth == 0 ||
      sourceHeight == 0)
    return;

  const int32_t w = extent(width), h = extent(height);
  writeLine("q");
  writeLine(intText(w) + " 0 0 " + intText(h) + " " + intText(x) + " " +
            intText(PageHeight - y - h) + " cm");
  writeLine("/Im" + intText(pictures_->Count) + " Do");
  writeLine("Q");

  std::vector<uint8_t> jpeg;
  if (!EncodeJpeg(*source, jpeg)) pictureFailed_ = true;
  addPicture(source->width(), std::abs(source->height()), std::move(jpeg));
}

void TPDFCanvas::addPicture(int32_t width, int32_t height, std::vector<uint8_t>&& jpeg) {
  uint8_t* data = nullptr;
  if (!jpeg.empty()) {
    data = static_cast<uint8_t*>(std::malloc(jpeg.size()));
    if (data) {
      std::memcpy(data, jpeg.data(), jpeg.size());
    } else {
      if (ui_)
        ui_->messageBox(kNoMemory, kAppTitle, MsgIcon::Error);
      else
        std::cerr << kNoMemory << "\n";
    }
  }
  auto* rec = static_cast<PictureRec*>(pictures_->Add());
  if (!rec) {
    // The Do operator is written already; without its resource the file would be broken.
    std::free(data);
    failed_ = true;
    return;
  }
  *rec = {width, height, data, data ? static_cast<int64_t>(jpeg.size()) : 0};
}

}  // namespace paginor
