#include "output/pdf_export.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <vector>

#include "model/queries.h"
#include "output/settle.h"
#include "storage/file_io.h"
#include "view/page_pass.h"
#include "window/document_window.h"

namespace paginor {

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0;
// The writer's style byte holds bold, italic, underline and strike-out in the bits FontRec uses.
constexpr uint8_t kPdfStyleBits = 0x0F;

// The drawing rules' surface on the PDF writer: one unit is one point.
//
// In the named form (fonts named only) the export writes exactly what the drawing rules ask of
// the writer, character by character: the program's classic output, byte for byte. The default
// form mends three things that output gets wrong on paper:
// - The writer puts a text's baseline on the bottom of its cell; here the text stands on the
//   baseline its cell has on the screen (its top plus the font's ascent), so descenders no
//   longer cross table borders and highlights cover their text.
// - The writer fills rectangles one point short of their far edges; the bars that lie edge to
//   edge (backgrounds, table borders) are given their whole width, so a 1-point border does not
//   shrink to nothing and backgrounds have no gaps.
// - Characters that follow each other in one font and colour go out as one run as long as the
//   font's own advances put each of them within half a point of its place; a stretched space or
//   a skip around an object starts a new run. Whole-point positions
//   for every single character make the letter spacing uneven and the file five times larger.
class PdfTarget : public PageTarget {
 public:
  PdfTarget(TPDFCanvas& pdf, bool mend) : p_(pdf), mend_(mend) {}
  PdfTarget(const PdfTarget&) = delete;
  PdfTarget& operator=(const PdfTarget&) = delete;

  void setPen(const CanvasPen& pen) override { p_.Pen = pen; }
  void setBrush(const CanvasBrush& brush) override { p_.Brush = brush; }
  void fillRect(const IntRect& r) override {
    flush();
    p_.FillRect(r.left, r.top, r.right, r.bottom);
  }
  void fillBar(const IntRect& r) override {
    flush();
    const int32_t more = mend_ ? 1 : 0;
    p_.FillRect(r.left, r.top, r.right + more, r.bottom + more);
  }
  void rectangle(const IntRect& r) override {
    flush();
    p_.Rectangle(r.left, r.top, r.right, r.bottom);
  }
  void ellipse(const IntRect& r) override {
    flush();
    p_.Ellipse(r.left, r.top, r.right, r.bottom);
  }
  void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override {
    if (run_.active && y0 == y1 && x0 <= x1 && joinLine(x0, x1, y0)) return;
    flush();
    p_.MoveTo(x0, y0);
    p_.LineTo(x1, y1);
  }
  void picture(int32_t x, int32_t y, int32_t width, int32_t height, const BildRec& p) override {
    flush();
    p_.StretchDrawDIB(x, y, width, height, p, 0, 0, p.width(), std::abs(p.height()));
  }
  void selectFont(const DrawFont& f) override {
    const uint8_t style = f.style & kPdfStyleBits;
    PdfFont& cur = p_.Font;
    if (cur.size == f.size && cur.style == style && cur.charset == f.charset && cur.name == f.name)
      return;
    flush();
    cur.name = f.name;
    cur.size = f.size;
    cur.style = style;
    cur.charset = f.charset;
    metricsValid_ = false;
  }
  void setTextColour(Colour colour) override {
    if (p_.Font.colour == colour) return;
    flush();
    p_.Font.colour = colour;
  }
  void textOut(int32_t x, int32_t y, std::string_view text) override {
    textOutAt(x, x, y, text, false);
  }
  void textOutAt(double exactX, int32_t x, int32_t y, std::string_view text,
                 bool follows) override {
    if (!mend_) {
      p_.TextOut(x, y, text);
      return;
    }
    const double width = fineWidth(text);
    // The font's advances put the text within half a point of its place: it continues the run.
    if (run_.active && follows && y == run_.y &&
        std::abs(run_.exactX + run_.width - exactX) <= kRunTolerance) {
      run_.text.append(text);
      run_.width += width;
      ++run_.pieces;
      return;
    }
    flush();
    run_.active = true;
    run_.x = x;
    run_.y = y;
    run_.exactX = exactX;
    run_.text.assign(text);
    run_.width = width;
    run_.pieces = 1;
  }
  int32_t textWidth(std::string_view text) override { return p_.TextWidth(text); }
  int32_t textHeight(std::string_view text) override { return p_.TextHeight(text); }
  int32_t baseline(std::string_view text) override {
    return p_.TextHeight(text) - (mend_ ? metrics().descent : 0);
  }

  // Writes the pending run and its lines; the page is complete afterwards.
  void flush() {
    if (!run_.active) return;
    run_.active = false;
    p_.TextOut(run_.x, run_.y - metrics().descent, run_.text);
    const CanvasPen pen = p_.Pen;
    for (const RunLine& l : runLines_) {
      p_.Pen = l.pen;
      p_.MoveTo(l.x0, l.y);
      p_.LineTo(l.x1, l.y);
    }
    p_.Pen = pen;
    runLines_.clear();
  }

 private:
  // Measures of the writer's current font: its descent in whole points, and a font made at a
  // hundred times the resolution for advances to a hundredth of a point. Both come from the
  // writer's font cache, so the point font is the one the writer measures with.
  struct Metrics {
    FontHandle fine = 0;
    int32_t descent = 0;
  };
  const Metrics& metrics() {
    if (metricsValid_) return metrics_;
    const PdfFont& f = p_.Font;
    FontCache& cache = p_.fontCache();
    const FontHandle points = cache.get({f.name, f.size, f.style, f.charset, 72});
    metrics_.descent = cache.engine().metrics(points).descent;
    metrics_.fine = cache.get({f.name, f.size, f.style, f.charset, 72 * kFine});
    metricsValid_ = true;
    return metrics_;
  }
  // The underlines and strike-out lines of a run's characters join into one line each, as long
  // as every character draws them: a space left bare (underline words only) ends the line.
  bool joinLine(int32_t x0, int32_t x1, int32_t y) {
    const CanvasPen& pen = p_.Pen;
    for (RunLine& l : runLines_) {
      if (l.y == y && l.pen.width == pen.width && l.pen.colour == pen.colour &&
          l.pen.style == pen.style && l.piece + 1 == run_.pieces && x0 <= l.x1 + 1 &&
          x1 >= l.x0 - 1) {
        l.x0 = std::min(l.x0, x0);
        l.x1 = std::max(l.x1, x1);
        l.piece = run_.pieces;
        return true;
      }
    }
    if (runLines_.size() >= kRunLines) return false;
    runLines_.push_back({pen, x0, x1, y, run_.pieces});
    return true;
  }
  double fineWidth(std::string_view text) {
    const FontHandle fine = metrics().fine;
    return p_.fontCache().engine().textExtent(fine, text).cx / static_cast<double>(kFine);
  }

  static constexpr int32_t kFine = 100;
  static constexpr double kRunTolerance = 0.5;  // points
  static constexpr size_t kRunLines = 3;        // underline, second underline, strike-out

  TPDFCanvas& p_;
  bool mend_;
  Metrics metrics_;            // of the writer's current font...
  bool metricsValid_ = false;  // ...once asked for
  struct Run {
    bool active = false;
    int32_t x = 0, y = 0;
    double exactX = 0;  // where the rules place the run before truncating
    std::string text;
    double width = 0;    // points, from the font's advances
    int32_t pieces = 0;  // texts the run was made of
  } run_;
  struct RunLine {
    CanvasPen pen;
    int32_t x0, x1, y;
    int32_t piece;  // the last piece of the run that drew it
  };
  std::vector<RunLine> runLines_;
};

}  // namespace

PdfPageSize PdfPageSizeOf(const TMDIChild& w) {
  const int64_t res = w.measure.resolution > 0 ? w.measure.resolution : 600;
  return {static_cast<int32_t>(int64_t{w.measure.pageWidthPx} * 72 / res),
          static_cast<int32_t>(int64_t{w.measure.pageHeightPx} * 72 / res)};
}

void DrawPagesPDF(TMDIChild& w, TPDFCanvas& pdf, int32_t pageIndex) {
  const PdfPageSize size = PdfPageSizeOf(w);
  pdf.PageWidth = size.width;
  pdf.PageHeight = size.height;
  const CurrentFormatRec& cf = w.doc.CurrentFormat;
  pdf.Font.name = cf.curFontName;
  pdf.Font.size = static_cast<int32_t>(cf.curFontSize);
  pdf.Font.style = cf.curFontStyle & kPdfStyleBits;
  pdf.Font.charset = cf.curCharset;
  pdf.Font.colour = cf.curTextColour;
  pdf.Brush = {BrushStyle::Solid, kWhite};
  pdf.Pen = {PenStyle::Solid, 1, kBlack};

  PdfTarget target(pdf, pdf.fontMode() == PdfFontMode::Embedded);
  PassJobs jobs;
  jobs.pdfDecorations = true;  // the export uses the skips and anchors the layout settled on
  PagePass pass(w, target, jobs);
  PageFrame frame;
  frame.page = pageIndex;
  frame.width = size.width;
  frame.height = size.height;
  frame.mmPerUnit = kMmPerInch / 72;
  frame.unitsPerPoint = 1.0;
  pass.drawPage(frame);
  target.flush();
}

namespace {

// The document as it was before a failed export; it may not be the settled one, so the next
// output settles again.
void restoreDocument(TMDIChild& w, Document&& previous) {
  w.doc = std::move(previous);
  ++w.changeCount;
}

constexpr const char* kPictureNotConvertedText =
    "Mindestens ein Bild ließ sich nicht ins JPEG-Format umwandeln; es bleibt in der "
    "PDF-Datei leer.";

Result writePdf(TMDIChild& w, const std::string& fileName, PdfFontMode fontMode) {
  SettleLayout(w);
  TPDFCanvas pdf(w.app.fonts(), fontMode);
  if (!pdf.BeginDoc(fileName)) {
    std::error_code ec;
    const int error = pdf.fileError() == 0 && std::filesystem::is_directory(fileName, ec)
                          ? EISDIR
                          : pdf.fileError();
    Failure f = FileFailure(FileAccess::Write, error, PdfNotCreatedText(fileName, error));
    f.icon = MsgIcon::Information;
    return f;
  }
  const int32_t pages = GetAnzPages(w.doc);
  for (int32_t i = 0; i < pages; ++i) {
    DrawPagesPDF(w, pdf, i);
    if (i < pages - 1) pdf.NewPage();
  }
  if (!pdf.EndDoc()) {
    // Without a cause from the file system the writer's own lists ran out of memory.
    const int error = pdf.fileError();
    if (error == 0) return WritingFailure(FailureKind::OutOfMemory, PdfOutOfMemoryText(fileName));
    return FileFailure(FileAccess::Write, error,
                       pdf.errorText() + " " + FileErrorCause(error, FileAccess::Write));
  }
  if (!pdf.pictureFailed()) return {};
  Failure warning = WritingFailure(FailureKind::Unsupported, kPictureNotConvertedText);
  warning.icon = MsgIcon::Warning;
  return Result::DoneWithWarning(std::move(warning));
}

}  // namespace

std::string PdfNotCreatedText(const std::string& fileName, int error) {
  std::string text = std::string(kPdfNotCreated) + " " + FileNameOf(fileName);
  const std::string cause = FileErrorCause(error, FileAccess::Write);
  return cause.empty() ? text : text + ": " + cause;
}

std::string PdfOutOfMemoryText(const std::string& fileName) {
  return "Nicht genügend Arbeitsspeicher, um die PDF-Datei " + FileNameOf(fileName) +
         " zu erstellen! Eine frühere Datei dieses Namens bleibt erhalten.";
}

Result SavePDFFile(TMDIChild& w, const std::string& fileName, PdfFontMode fontMode) {
  try {
    // The export lays the document out and draws it, which writes into it (the layout, page
    // numbers, fonts of the font table). When it fails, memory running out halfway included,
    // the document gets its previous state back; the copy shares every cell with it, and
    // drawing writes a cell only where it changes.
    Document previous = w.doc;
    Result written;
    try {
      written = writePdf(w, fileName, fontMode);
    } catch (const std::bad_alloc&) {
      restoreDocument(w, std::move(previous));
      throw;
    }
    // The writer may have met its own lack of memory.
    if (!written) restoreDocument(w, std::move(previous));
    return written;
  } catch (const std::bad_alloc&) {
  }
  // The writer, unwound, has dropped its unfinished file: an earlier file stays.
  return WritingFailure(FailureKind::OutOfMemory, PdfOutOfMemoryText(fileName));
}

}  // namespace paginor
