#include "platform/qt/qt_canvas.h"

#include <QGlyphRun>
#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

#include "platform/pictures/dib.h"

namespace paginor {

namespace {

QColor qcolour(Colour c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QRect qrect(const IntRect& r) {
  return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool isEmpty(const IntRect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

// Big-endian fields of the sfnt tables.
uint32_t be16(const QByteArray& t, int at) {
  if (at < 0 || at + 2 > t.size()) return 0;
  return (static_cast<uint8_t>(t[at]) << 8) | static_cast<uint8_t>(t[at + 1]);
}

int64_t roundDiv(int64_t a, int64_t b) {
  return (2 * a + b) / (2 * b);
}

// Loaded font files stay for the run; each em size is a cheap clone of the loaded file.
struct RawFontCache {
  std::map<std::string, QRawFont> files;
  std::map<std::pair<std::string, int32_t>, QRawFont> sized;
};

RawFontCache& rawFonts() {
  static RawFontCache cache;
  return cache;
}

}  // namespace

QRawFont RawFontFor(const std::string& file, int32_t pixelSize) {
  RawFontCache& c = rawFonts();
  auto key = std::make_pair(file, pixelSize);
  if (auto it = c.sized.find(key); it != c.sized.end()) return it->second;
  auto base = c.files.find(file);
  if (base == c.files.end()) {
    // Vertical hinting only: the glyphs stay as wide as they were measured.
    QRawFont raw(QString::fromStdString(file), 12, QFont::PreferVerticalHinting);
    base = c.files.emplace(file, raw).first;
  }
  if (!base->second.isValid()) return QRawFont();
  // Sizes pile up while zooming; dropping them all now and then keeps the cache small.
  if (c.sized.size() > 512) c.sized.clear();
  QRawFont raw = base->second;
  raw.setPixelSize(std::max(1, pixelSize));
  c.sized.emplace(key, raw);
  return raw;
}

int32_t DrawingPixelSize(FontEngine& fonts, FontHandle font) {
  if (int32_t own = fonts.pixelsPerEm(font); own > 0) return own;
  FontMetrics m = fonts.metrics(font);
  int32_t fallback = std::max(1, m.height);
  std::string file = fonts.fontFile(font);
  QRawFont raw = RawFontFor(file, 12);
  if (!raw.isValid()) return fallback;
  QByteArray head = raw.fontTable("head"), os2 = raw.fontTable("OS/2");
  QByteArray hhea = raw.fontTable("hhea"), hmtx = raw.fontTable("hmtx");
  int64_t upm = be16(head, 18);
  int64_t asc = be16(os2, 74), desc = be16(os2, 76);
  if (os2.isEmpty()) {
    asc = static_cast<int16_t>(be16(hhea, 4));
    desc = -static_cast<int16_t>(be16(hhea, 6));
  }
  uint32_t metricsCount = be16(hhea, 34);
  if (upm <= 0 || asc + desc <= 0 || metricsCount == 0) return fallback;

  // The printable bytes this file serves, with their design advances.
  std::string probe;
  std::vector<int64_t> advances;
  for (int b = 0x21; b < 0x7F; ++b) {
    if (fonts.fontFileFor(font, static_cast<uint8_t>(b)) != file) continue;
    char32_t u = fonts.unicodeFor(font, static_cast<uint8_t>(b));
    QList<quint32> g = raw.glyphIndexesForString(QString::fromUcs4(&u, 1));
    if (g.isEmpty() || g[0] == 0) continue;
    uint32_t i = std::min<uint32_t>(g[0], metricsCount - 1);
    probe.push_back(static_cast<char>(b));
    advances.push_back(be16(hmtx, static_cast<int>(i * 4)));
  }
  int64_t width = probe.empty() ? 0 : fonts.textExtent(font, probe).cx;

  // The size that gives the rounded ascent, descent and advances the engine reports.
  int64_t guess = roundDiv(int64_t{m.height} * upm, asc + desc);
  int64_t best = std::max<int64_t>(1, guess), bestScore = INT64_MAX;
  for (int64_t p = std::max<int64_t>(1, guess - guess / 8 - 2); p <= guess + guess / 8 + 2; ++p) {
    int64_t score = std::llabs(roundDiv(asc * p, upm) - m.ascent) * 1000000 +
                    std::llabs(roundDiv(desc * p, upm) - m.descent) * 1000000;
    int64_t sum = 0;
    for (int64_t a : advances) sum += roundDiv(a * p, upm);
    score += std::llabs(sum - width);
    if (score < bestScore) bestScore = score, best = p;
  }
  return static_cast<int32_t>(best);
}

FontHandle DrawingFontEngine::createFont(const LogFont& lf, int32_t resolution) {
  FontHandle f = inner_->createFont(lf, resolution);
  if (f) made_[f] = {lf, resolution, 0};
  return f;
}

void DrawingFontEngine::deleteFont(FontHandle f) {
  made_.erase(f);
  inner_->deleteFont(f);
}

int32_t DrawingFontEngine::pixelsPerEm(FontHandle f) {
  if (int32_t own = inner_->pixelsPerEm(f); own > 0) return own;
  auto it = made_.find(f);
  if (it == made_.end()) return DrawingPixelSize(*inner_, f);
  Made& m = it->second;
  if (m.pixelsPerEm > 0) return m.pixelsPerEm;
  // The measuring rules: a negative height is the em size, 0 is 12 points.
  constexpr int64_t kMaxPpem = 20000;
  if (m.lf.height < 0) {
    m.pixelsPerEm = static_cast<int32_t>(std::min<int64_t>(-int64_t{m.lf.height}, kMaxPpem));
  } else if (m.lf.height == 0) {
    int64_t res = m.resolution > 0 ? m.resolution : 600;
    m.pixelsPerEm = static_cast<int32_t>(std::clamp<int64_t>(roundDiv(12 * res, 72), 1, kMaxPpem));
  } else {
    m.pixelsPerEm = DrawingPixelSize(*inner_, f);
  }
  return m.pixelsPerEm;
}

bool DrawingFontEngine::strikeOut(FontHandle f) {
  if (inner_->strikeOut(f)) return true;
  auto it = made_.find(f);
  return it != made_.end() && it->second.lf.strikeOut;
}

// ---------------------------------------------------------------------------------------------

struct QtPainterCanvas::Selection {
  struct Glyph {
    int16_t font = -1;  // index into raw; -1: not looked up yet
    quint32 index = 0;
    int32_t advance = 0;
  };
  // What tells one font from another even when the engine hands out a freed handle again.
  struct Key {
    FontHandle handle = 0;
    std::string file;
    FontMetrics metrics;
    char32_t upperA = 0, lowerA = 0;
    int32_t probeWidth = 0;
    bool strike = false;
    bool operator==(const Key& o) const {
      return handle == o.handle && file == o.file && strike == o.strike &&
             metrics.ascent == o.metrics.ascent && metrics.descent == o.metrics.descent &&
             upperA == o.upperA && lowerA == o.lowerA && probeWidth == o.probeWidth;
    }
  };

  Key key;
  int32_t pixelSize = 0;
  // The strike-out bar from the font's own table: its top above the baseline, its thickness.
  int32_t strikeRise = 0;
  int32_t strikeSize = 0;
  std::vector<std::string> files;
  std::vector<QRawFont> raw;
  std::array<Glyph, 256> glyphs;

  const Glyph& glyph(FontEngine& fonts, uint8_t byte) {
    Glyph& g = glyphs[byte];
    if (g.font >= 0) return g;
    std::string file = fonts.fontFileFor(key.handle, byte);
    auto it = std::find(files.begin(), files.end(), file);
    if (it == files.end()) {
      files.push_back(file);
      raw.push_back(RawFontFor(file, pixelSize));
      it = files.end() - 1;
    }
    g.font = static_cast<int16_t>(it - files.begin());
    const QRawFont& r = raw[g.font];
    char32_t u = fonts.unicodeFor(key.handle, byte);
    // Fonts with only a symbol character map answer at 0xF000 + byte, or at the byte itself.
    for (char32_t c : {u, static_cast<char32_t>(0xF000 + byte), static_cast<char32_t>(byte)}) {
      QList<quint32> idx =
          r.isValid() ? r.glyphIndexesForString(QString::fromUcs4(&c, 1)) : QList<quint32>();
      if (!idx.isEmpty() && idx[0] != 0) {
        g.index = idx[0];
        break;
      }
    }
    char one = static_cast<char>(byte);
    g.advance = fonts.textExtent(key.handle, std::string_view(&one, 1)).cx;
    return g;
  }
};

QtPainterCanvas::QtPainterCanvas(FontEngine& fonts, int32_t resolution)
    : fonts_(fonts), resolution_(resolution) {}

QtPainterCanvas::~QtPainterCanvas() {
  flushText();
}

void QtPainterCanvas::flushText() const {
  if (pendingIndexes_.empty()) return;
  useTextPen();
  pendingRun_.setRawData(pendingIndexes_.data(), pendingPositions_.data(),
                         static_cast<int>(pendingIndexes_.size()));
  painter_->drawGlyphRun(QPointF(0, 0), pendingRun_);
  pendingIndexes_.clear();
  pendingPositions_.clear();
}

void QtPainterCanvas::attach(QPainter* painter) {
  painter_ = painter;
  painter_->setRenderHint(QPainter::Antialiasing, false);
  painter_->setRenderHint(QPainter::TextAntialiasing, true);
  painter_->setBackground(Qt::white);
  applyPen();
  setBrush(brush_);
}

void QtPainterCanvas::useLinePen() {
  if (painterPen_ != PainterPen::Line) applyPen();
}

void QtPainterCanvas::useTextPen() const {
  if (painterPen_ == PainterPen::Text) return;
  painter_->setPen(textColour_);
  painterPen_ = PainterPen::Text;
}

void QtPainterCanvas::applyPen() {
  if (!painter_) return;
  painterPen_ = PainterPen::Line;
  if (pen_.style == PenStyle::Clear) {
    painter_->setPen(Qt::NoPen);
    return;
  }
  QPen p(qcolour(pen_.colour));
  p.setWidth(std::max(1, pen_.width));
  p.setCapStyle(Qt::FlatCap);  // the end point of a line stays out
  p.setJoinStyle(Qt::MiterJoin);
  // Dashes exist for thin pens only; a wide pen draws solid.
  Qt::PenStyle style = Qt::SolidLine;
  if (pen_.width <= 1) {
    switch (pen_.style) {
      case PenStyle::Dash:
        style = Qt::DashLine;
        break;
      case PenStyle::Dot:
        style = Qt::DotLine;
        break;
      case PenStyle::DashDot:
        style = Qt::DashDotLine;
        break;
      case PenStyle::DashDotDot:
        style = Qt::DashDotDotLine;
        break;
      default:
        break;
    }
  }
  p.setStyle(style);
  painter_->setPen(p);
}

void QtPainterCanvas::setPen(const CanvasPen& pen) {
  pen_ = pen;
  painterPen_ = PainterPen::Unknown;
}

void QtPainterCanvas::setBrush(const CanvasBrush& brush) {
  brush_ = brush;
  if (!painter_) return;
  switch (brush.style) {
    case BrushStyle::Clear:
      painter_->setBrush(Qt::NoBrush);
      break;
    case BrushStyle::Solid:
      painter_->setBrush(qcolour(brush.colour));
      break;
    case BrushStyle::DiagonalCross:
      painter_->setBrush(QBrush(qcolour(brush.colour), Qt::DiagCrossPattern));
      break;
  }
}

void QtPainterCanvas::moveTo(int32_t x, int32_t y) {
  penX_ = x, penY_ = y;
}

void QtPainterCanvas::lineTo(int32_t x, int32_t y) {
  if (pen_.style != PenStyle::Clear && (x != penX_ || y != penY_)) {
    flushText();
    useLinePen();
    painter_->drawLine(penX_, penY_, x, y);
  }
  penX_ = x, penY_ = y;
}

void QtPainterCanvas::fillRect(const IntRect& r) {
  if (isEmpty(r) || brush_.style == BrushStyle::Clear) return;
  flushText();
  if (brush_.style == BrushStyle::DiagonalCross) {
    // Hatch lines in the brush colour on white, as an opaque hatch brush paints.
    painter_->fillRect(qrect(r), Qt::white);
  }
  painter_->fillRect(qrect(r), painter_->brush());
}

void QtPainterCanvas::rectangle(const IntRect& r) {
  if (isEmpty(r)) return;
  flushText();
  fillRect(r);
  if (pen_.style == PenStyle::Clear) return;
  int32_t w = std::max(1, pen_.width);
  if (w == 1) {
    useLinePen();
    QBrush keep = painter_->brush();
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
    painter_->setBrush(keep);
    return;
  }
  // A wide outline stays inside the rectangle, in four bars.
  QColor c = qcolour(pen_.colour);
  int32_t wx = std::min(w, (r.right - r.left + 1) / 2),
          wy = std::min(w, (r.bottom - r.top + 1) / 2);
  painter_->fillRect(QRect(r.left, r.top, r.right - r.left, wy), c);
  painter_->fillRect(QRect(r.left, r.bottom - wy, r.right - r.left, wy), c);
  painter_->fillRect(QRect(r.left, r.top, wx, r.bottom - r.top), c);
  painter_->fillRect(QRect(r.right - wx, r.top, wx, r.bottom - r.top), c);
}

void QtPainterCanvas::ellipse(const IntRect& r) {
  if (isEmpty(r)) return;
  flushText();
  if (brush_.style == BrushStyle::DiagonalCross) {
    QPainterPath path;
    path.addEllipse(QRectF(qrect(r)));
    painter_->fillPath(path, Qt::white);
  }
  useLinePen();
  painter_->drawEllipse(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
}

void QtPainterCanvas::invertRect(const IntRect& r) {
  if (isEmpty(r) || isPrinter()) return;
  flushText();
  QPainter::CompositionMode keep = painter_->compositionMode();
  painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_->fillRect(qrect(r), Qt::white);
  painter_->setCompositionMode(keep);
}

void QtPainterCanvas::setClip(const IntRect* r) {
  flushText();
  if (!r) {
    painter_->setClipping(false);
    return;
  }
  painter_->setClipRect(qrect(*r));
}

void QtPainterCanvas::setClipRing(const IntRect& outer, const IntRect& inner) {
  flushText();
  // Clipping is switched on before the region is set: after setClipping(false) (a lifted text
  // clip) Qt's raster engine otherwise fills the ring's hole too, hatching over a text box.
  painter_->setClipping(true);
  painter_->setClipRegion(QRegion(qrect(outer)).subtracted(QRegion(qrect(inner))));
}

QtPainterCanvas::Selection& QtPainterCanvas::selectionFor(FontHandle font) {
  Selection::Key key;
  key.handle = font;
  key.file = fonts_.fontFile(font);
  key.metrics = fonts_.metrics(font);
  key.upperA = fonts_.unicodeFor(font, 'A');
  key.lowerA = fonts_.unicodeFor(font, 'a');
  key.probeWidth = fonts_.textExtent(font, "AaMm0").cx;
  key.strike = fonts_.strikeOut(font);
  for (size_t i = selections_.size(); i-- > 0;) {
    if (selections_[i]->key == key) {
      if (i + 1 != selections_.size()) {
        auto s = std::move(selections_[i]);
        selections_.erase(selections_.begin() + static_cast<std::ptrdiff_t>(i));
        selections_.push_back(std::move(s));
      }
      return *selections_.back();
    }
  }
  if (selections_.size() >= 64) selections_.erase(selections_.begin());
  auto s = std::make_unique<Selection>();
  s->key = std::move(key);
  s->pixelSize = DrawingPixelSize(fonts_, font);
  if (s->key.strike) {
    QRawFont raw = RawFontFor(s->key.file, 12);
    QByteArray head = raw.fontTable("head"), os2 = raw.fontTable("OS/2");
    int64_t upm = be16(head, 18);
    int64_t size = static_cast<int16_t>(be16(os2, 26)), pos = static_cast<int16_t>(be16(os2, 28));
    if (upm <= 0 || size <= 0) {
      // No table: a twentieth of the em at a quarter of it, as fonts usually have it.
      upm = 1000, size = 50, pos = 259;
    }
    s->strikeSize = static_cast<int32_t>(std::max<int64_t>(1, roundDiv(size * s->pixelSize, upm)));
    s->strikeRise = static_cast<int32_t>(roundDiv((pos + size) * s->pixelSize, upm));
  }
  selections_.push_back(std::move(s));
  return *selections_.back();
}

void QtPainterCanvas::selectFont(FontHandle font, Colour textColour) {
  const QColor colour = qcolour(textColour);
  if (colour != textColour_) {
    flushText();
    if (painterPen_ == PainterPen::Text) painterPen_ = PainterPen::Unknown;
  }
  textColour_ = colour;
  // Looked up every time: a handle freed and made again may name another font now.
  font_ = font;
  selection_ = font ? &selectionFor(font) : nullptr;
}

void QtPainterCanvas::textOut(int32_t x, int32_t y, std::string_view text) {
  if (!selection_ || text.empty()) return;
  Selection& s = *selection_;
  const int32_t baseline = y + s.key.metrics.ascent;
  int32_t advance = 0;
  for (char c : text) {
    const Selection::Glyph& g = s.glyph(fonts_, static_cast<uint8_t>(c));
    const QRawFont& raw = s.raw[g.font];
    if (raw.isValid()) {
      // A glyph of another font file starts a run of its own.
      if (!pendingIndexes_.empty() && pendingRun_.rawFont() != raw) flushText();
      if (pendingIndexes_.empty()) pendingRun_.setRawFont(raw);
      pendingIndexes_.push_back(g.index);
      pendingPositions_.push_back(QPointF(x + advance, baseline));
    }
    advance += g.advance;
  }
  if (s.key.strike && advance > 0) {
    flushText();
    painter_->fillRect(QRect(x, baseline - s.strikeRise, advance, s.strikeSize), textColour_);
  }
}

TextExtent QtPainterCanvas::textExtent(std::string_view text) {
  return font_ ? fonts_.textExtent(font_, text) : TextExtent{};
}

void QtPainterCanvas::drawPicture(const IntRect& dest, const BildRec& picture) {
  int32_t w = picture.width(), h = std::abs(picture.height());
  if (isEmpty(dest) || !picture.hasBits() || w <= 0 || h <= 0) return;
  flushText();
  QImage image(w, h, QImage::Format_RGB32);
  for (int32_t y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int32_t x = 0; x < w; ++x) {
      uint32_t c = getpixel(picture, x, y);  // 0x00BBGGRR
      row[x] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
  }
  painter_->setRenderHint(QPainter::SmoothPixmapTransform, isPrinter());
  painter_->drawImage(qrect(dest), image);
}

void QtPainterCanvas::setPixelRow(int32_t x, int32_t y, const uint32_t* pixels, int32_t count) {
  if (!pixels || count <= 0) return;
  flushText();
  QImage row(count, 1, QImage::Format_RGB32);
  auto* out = reinterpret_cast<QRgb*>(row.scanLine(0));
  for (int32_t i = 0; i < count; ++i) out[i] = 0xFF000000u | (pixels[i] & 0xFFFFFFu);
  painter_->drawImage(QPoint(x, y), row);
}

// ---------------------------------------------------------------------------------------------

QtCanvas::QtCanvas(FontEngine& fonts, int32_t resolution, int32_t width, int32_t height)
    : QtPainterCanvas(fonts, resolution),
      image_(std::max(1, width), std::max(1, height), QImage::Format_RGB32) {
  image_.fill(Qt::white);
  int dpm = static_cast<int>(std::lround(resolution / 0.0254));
  image_.setDotsPerMeterX(dpm);
  image_.setDotsPerMeterY(dpm);
  painter_.begin(&image_);
  attach(&painter_);
}

QtCanvas::~QtCanvas() {
  flushText();
  painter_.end();
}

QtPrinterCanvas::QtPrinterCanvas(FontEngine& fonts, int32_t resolution, QPainter& painter)
    : QtPainterCanvas(fonts, resolution) {
  attach(&painter);
}

}  // namespace paginor
