#include "output/pdf_canvas.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <new>
#include <tuple>
#include <utility>

#include "model/records.h"
#include "output/pdf_fonts.h"
#include "output/pdf_format.h"
#include "platform/pictures/dib.h"
#include "window/application.h"

namespace paginor {

using pdf::appendColour;
using pdf::appendInt;
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

uint64_t rotl(uint64_t x, int r) {
  return (x << r) | (x >> (64 - r));
}

uint64_t finalMix(uint64_t k) {
  k ^= k >> 33;
  k *= 0xff51afd7ed558ccdULL;
  k ^= k >> 33;
  k *= 0xc4ceb9fe1a85ec53ULL;
  k ^= k >> 33;
  return k;
}

// A 128-bit digest of a picture's pixel rows, in the manner of MurmurHash3's 128-bit form: two
// lanes mixed 16 bytes at a time, a finish that spreads every input bit over both. It runs at
// gigabytes a second, far below the cost of encoding the picture once more.
std::pair<uint64_t, uint64_t> pixelDigest(const std::vector<uint8_t>& bytes) {
  constexpr uint64_t c1 = 0x87c37b91114253d5ULL, c2 = 0x4cf5ad432745937fULL;
  auto lane1 = [&](uint64_t k) { return rotl(k * c1, 31) * c2; };
  auto lane2 = [&](uint64_t k) { return rotl(k * c2, 33) * c1; };
  uint64_t h1 = 0x9E3779B97F4A7C15ULL, h2 = h1;
  const size_t size = bytes.size();
  const size_t blocks = size / 16;
  for (size_t i = 0; i < blocks; ++i) {
    uint64_t k1, k2;
    std::memcpy(&k1, bytes.data() + 16 * i, 8);
    std::memcpy(&k2, bytes.data() + 16 * i + 8, 8);
    h1 ^= lane1(k1);
    h1 = (rotl(h1, 27) + h2) * 5 + 0x52dce729;
    h2 ^= lane2(k2);
    h2 = (rotl(h2, 31) + h1) * 5 + 0x38495ab5;
  }
  // The last 1 to 15 bytes, little end first.
  uint64_t k1 = 0, k2 = 0;
  for (size_t i = blocks * 16; i < size; ++i) {
    const size_t at = i - blocks * 16;
    if (at < 8)
      k1 |= uint64_t{bytes[i]} << (at * 8);
    else
      k2 |= uint64_t{bytes[i]} << ((at - 8) * 8);
  }
  if (size % 16 > 8) h2 ^= lane2(k2);
  if (size % 16 > 0) h1 ^= lane1(k1);
  h1 ^= size;
  h2 ^= size;
  h1 += h2;
  h2 += h1;
  h1 = finalMix(h1);
  h2 = finalMix(h2);
  h1 += h2;
  h2 += h1;
  return {h1, h2};
}

}  // namespace

// The pictures drawn so far, each once, and how to find one again.
//
// A picture is known by what its JPEG is made from: the header with its colour table (kept
// whole, at most a kilobyte) and a 128-bit digest of the pixel rows with their length. Equal
// input gives an equal JPEG, so storing a second drawing would add nothing. The writer knows
// nothing of documents: a document's picture index would need the caller's help and could stand
// for another picture once the caller's list changed, while the content finds the same logo
// under any number of records. The digest is taken of the pixels rather than of the JPEG, since
// encoding each drawing is the very cost this saves.
struct TPDFCanvas::Pictures {
  struct Key {
    std::string header;
    uint64_t digest[2];
    size_t pixelBytes;
    bool operator<(const Key& o) const {
      return std::tie(digest[0], digest[1], pixelBytes, header) <
             std::tie(o.digest[0], o.digest[1], o.pixelBytes, o.header);
    }
  };
  // As it goes into the file: the size in pixels and the JPEG, empty when none could be made.
  struct Picture {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> jpeg;
  };

  static Key keyOf(const BildRec& picture) {
    auto [h1, h2] = pixelDigest(picture.pixels);
    std::string header(picture.info.begin(), picture.info.end());
    return {std::move(header), {h1, h2}, picture.pixels.size()};
  }

  std::vector<Picture> list;  // the 0-based position is the resource number /Imk
  std::map<Key, int32_t> index;
};

// Page contents are compressed with one deflate state for the whole file, reset for each page:
// the bytes are those of a fresh compress at level 9, without setting up its tables every page.
class TPDFCanvas::Deflater {
 public:
  Deflater() {
    if (deflateInit(&z_, 9) == Z_OK) ready_ = true;
  }
  ~Deflater() {
    if (ready_) deflateEnd(&z_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Compresses `in` into `out` (resized to the result). False when zlib fails.
  bool pack(const std::string& in, std::string& out) {
    if (!ready_ || deflateReset(&z_) != Z_OK) return false;
    const uLong bound = compressBound(static_cast<uLong>(in.size()));
    out.resize(bound);
    z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z_.avail_in = static_cast<uInt>(in.size());
    z_.next_out = reinterpret_cast<Bytef*>(out.data());
    z_.avail_out = static_cast<uInt>(bound);
    if (deflate(&z_, Z_FINISH) != Z_STREAM_END) return false;
    out.resize(bound - z_.avail_out);
    return true;
  }

 private:
  z_stream z_{};
  bool ready_ = false;
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
      fontCache_(fonts),
      pictures_(std::make_unique<Pictures>()) {}

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
  if (static_cast<size_t>(number) != xref_.size()) failed_ = true;
  xref_.push_back({fileOffset_, 0, false});
  line_.clear();
  appendInt(line_, number);
  line_ += " 0 obj";
  writeLine(line_);
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
  pictures_ = std::make_unique<Pictures>();
  xref_.clear();
  pages_.clear();
  fontList_.clear();
  last_.number = 0;
  fontTable_ = std::make_unique<pdf::FontTable>(fontCache_, mode_ == PdfFontMode::Embedded);
  if (!deflater_) deflater_ = std::make_unique<Deflater>();
  pageCount_ = 0;

  writeLine("%PDF-1.3");
  xref_.push_back({0, 65535, true});
  beginObject(procSetObject_);
  writeLine("[/PDF /Text /ImageB /ImageC /ImageI]");
  writeLine("endobj");
  beginPage();
  open_ = true;
  return true;
}

void TPDFCanvas::beginPage() {
  ++pageCount_;
  contentObject_ = static_cast<int32_t>(xref_.size());
  beginObject(contentObject_);
  line_ = "<< /Length ";
  appendInt(line_, contentObject_ + 1);
  line_ += " 0 R /Filter /FlateDecode >>";
  writeLine(line_);
  writeLine("stream");
  fontValid_ = fillValid_ = penValid_ = fillWritten_ = false;
  content_.clear();
  buffering_ = true;
}

void TPDFCanvas::finishPage() {
  buffering_ = false;
  bool packed = false;
  try {
    packed = deflater_->pack(content_, packed_);
  } catch (const std::bad_alloc&) {
  }
  if (!packed) {
    failed_ = true;
    packed_.clear();
  }
  write(packed_);
  writeLine("");
  writeLine("endstream");
  writeLine("endobj");
  beginObject(contentObject_ + 1);
  writeLine(intText(static_cast<int64_t>(packed_.size())));
  writeLine("endobj");
  pages_.push_back({PageWidth, PageHeight});
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
  const auto fontCount = static_cast<int32_t>(fontList_.size());
  firstFontObject_ = 2 * n + 2;
  pageTreeObject_ = firstFontObject_ + fontCount;
  catalogObject_ = pageTreeObject_ + n + 1;
  firstExtraObject_ = catalogObject_ + 2 + static_cast<int32_t>(pictures_->list.size());

  fontTable_->prepare(fontList_, firstExtraObject_);

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
  const auto pictureCount = static_cast<int32_t>(pictures_->list.size());
  for (int32_t k = 0; k < pictureCount; ++k) {
    pictures += "/Im";
    appendInt(pictures, k);
    pictures += ' ';
    appendInt(pictures, catalogObject_ + 2 + k);
    pictures += " 0 R";
  }
  std::string fonts = "/Font << ";
  for (int32_t k = 1; k <= static_cast<int32_t>(fontList_.size()); ++k) {
    fonts += "/F";
    appendInt(fonts, k);
    fonts += ' ';
    appendInt(fonts, firstFontObject_ + k - 1);
    fonts += " 0 R";
  }
  fonts += fontTable_->extraResources();
  for (int32_t a = 0; a < pageCount_; ++a) {
    const PageSize& page = pages_[a];
    beginDictionary(pageTreeObject_ + 1 + a);
    writeLine("/Type /Page");
    writeLine("/Parent " + intText(pageTreeObject_) + " 0 R");
    write("/Resources <<");
    writeLine("/XObject << " + pictures + " >>");
    write(fonts);
    writeLine(">> /ProcSet " + intText(procSetObject_) + " 0 R");
    writeLine(">>");
    writeLine("/MediaBox [0 0 " + intText(page.width - 1) + " " + intText(page.height - 1) + "]");
    writeLine("/Contents " + intText(firstContentObject_ + 2 * a) + " 0 R");
    endDictionary();
  }
}

void TPDFCanvas::writePictures() {
  int32_t k = 0;
  for (const Pictures::Picture& pic : pictures_->list) {
    beginObject(catalogObject_ + 2 + k++);
    if (!pic.jpeg.empty()) {
      writeLine("<< /Type /XObject /Subtype /Image /Width " + intText(pic.width) + " /Height " +
                intText(pic.height) + " /BitsPerComponent 8 /ColorSpace /DeviceRGB /Length " +
                intText(static_cast<int64_t>(pic.jpeg.size())) + " /Filter /DCTDecode >>");
      writeLine("stream");
      write(std::string_view(reinterpret_cast<const char*>(pic.jpeg.data()), pic.jpeg.size()));
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
  const auto entries = static_cast<int64_t>(xref_.size());
  writeLine("0 " + intText(entries));
  std::string table;
  table.reserve(xref_.size() * 20);
  for (const XrefEntry& e : xref_) {
    char line[32];
    std::snprintf(line, sizeof line, "%010lld %05d %c \n", static_cast<long long>(e.offset),
                  static_cast<int>(e.generation), e.free ? 'f' : 'n');
    table += line;
  }
  write(table);
  writeLine("trailer");
  writeLine("<<");
  writeLine("/Size " + intText(entries));
  writeLine("/Root " + intText(catalogObject_) + " 0 R");
  writeLine(">>");
  writeLine("startxref");
  writeLine(intText(xrefPosition_));
  write("%%EOF");
}

void TPDFCanvas::releaseLists() {
  xref_ = {};
  pages_ = {};
  fontList_ = {};
  fontTable_.reset();
  deflater_.reset();
  content_ = std::string();
  packed_ = std::string();
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
    line_.clear();
    appendInt(line_, Pen.width);
    line_ += " w\n";
    appendColour(line_, Pen.colour);
    line_ += " RG";
    writeLine(line_);
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
    line_.clear();
    appendColour(line_, Brush.colour);
    line_ += " rg";
    writeLine(line_);
    lastBrush_ = Brush;
    fillWritten_ = true;
  }
  fillValid_ = true;
}

void TPDFCanvas::writeFontSelection(int32_t fontNumber, int32_t subFont) {
  if (fontValid_ && currentFont_ == fontNumber && currentSubFont_ == subFont &&
      currentFontSize_ == Font.size)
    return;
  line_ = "/F";
  appendInt(line_, fontNumber);
  if (subFont > 0) {
    line_ += '_';
    appendInt(line_, subFont);
  }
  line_ += ' ';
  appendInt(line_, Font.size);
  line_ += " Tf";
  writeLine(line_);
  currentFont_ = fontNumber;
  currentSubFont_ = subFont;
  currentFontSize_ = Font.size;
  fontValid_ = true;
}

bool TPDFCanvas::sameFontAsLast() const {
  return last_.valid && last_.size == Font.size && last_.style == Font.style &&
         last_.charset == Font.charset && last_.name == Font.name;
}

void TPDFCanvas::rememberFont() {
  if (sameFontAsLast()) return;
  // Names compare exactly: another spelling of a face is another font resource.
  last_.valid = false;
  last_.handle = fontCache_.get({Font.name, Font.size, Font.style, Font.charset, 72});
  last_.number = 0;
  last_.name = Font.name;
  last_.size = Font.size;
  last_.style = Font.style;
  last_.charset = Font.charset;
  last_.valid = true;
}

int32_t TPDFCanvas::fontNumber() {
  rememberFont();
  if (last_.number > 0) return last_.number;
  int32_t k = 0;
  for (size_t i = 0; i < fontList_.size() && k == 0; ++i)
    if (fontList_[i].style == Font.style && fontList_[i].name == Font.name)
      k = static_cast<int32_t>(i) + 1;
  if (k == 0) {
    fontList_.push_back({Font.name, Font.style});
    k = static_cast<int32_t>(fontList_.size());
  }
  last_.number = k;
  return k;
}

FontHandle TPDFCanvas::measuringFont() {
  rememberFont();
  return last_.handle;
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
    line_.clear();
    appendColour(line_, Font.colour);
    line_ += " rg";
    writeLine(line_);
    fillWritten_ = true;
  }
  lastBrush_.colour = Font.colour;
  bool first = true;
  for (const pdf::FontRun& run : runs_) {
    writeFontSelection(k, run.subFont);
    line_.clear();
    if (first) {
      appendInt(line_, x);
      line_ += ' ';
      appendInt(line_, PageHeight - 1 - y - height);
      line_ += " Td ";
      first = false;
    }
    line_ += '(';
    pdf::appendEscaped(line_, text.substr(run.begin, run.end - run.begin));
    line_ += ") Tj";
    writeLine(line_);
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
  // Palette pictures are encoded from a 24-bit copy, which needs their pixels; other depths
  // below 24 bits are not taken.
  const int32_t bits = picture.bitsPerPixel();
  const bool palette = bits == 1 || bits == 4 || bits == 8;
  if ((palette && !picture.hasBits()) || (!palette && bits < 24)) return;
  if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) return;
  const int32_t k = pictureNumber(picture);
  if (k < 0) return;

  const int32_t w = extent(width), h = extent(height);
  writeLine("q");
  line_.clear();
  appendInt(line_, w);
  line_ += " 0 0 ";
  appendInt(line_, h);
  line_ += ' ';
  appendInt(line_, x);
  line_ += ' ';
  appendInt(line_, PageHeight - y - h);
  line_ += " cm\n/Im";
  appendInt(line_, k);
  line_ += " Do";
  writeLine(line_);
  writeLine("Q");
}

int32_t TPDFCanvas::pictureNumber(const BildRec& picture) {
  Pictures::Key key = Pictures::keyOf(picture);
  if (auto it = pictures_->index.find(key); it != pictures_->index.end()) return it->second;

  const BildRec* source = &picture;
  BildRec converted;
  const int32_t bits = picture.bitsPerPixel();
  if (bits == 1 || bits == 4 || bits == 8) {
    const int32_t w = picture.width(), h = std::abs(picture.height());
    if (!newdib(converted, w, h, 24, nullptr, 0)) return -1;
    for (int32_t py = 0; py < h; ++py) {
      for (int32_t px = 0; px < w; ++px) {
        uint32_t c = getpixel(picture, px, py);
        if (bits == 1) c = c == 0 ? 0 : 0xFFFFFF;
        setpixel(converted, px, py, c);
      }
    }
    source = &converted;
  }
  std::vector<uint8_t> jpeg;
  if (!EncodeJpeg(*source, jpeg)) pictureFailed_ = true;
  const auto k = static_cast<int32_t>(pictures_->list.size());
  pictures_->list.push_back({source->width(), std::abs(source->height()), std::move(jpeg)});
  pictures_->index.emplace(std::move(key), k);
  return k;
}

}  // namespace paginor
