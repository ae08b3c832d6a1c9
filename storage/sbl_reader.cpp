// Reading native documents.
//
// The file is read into memory as a whole and parsed into a document of its own; the window's
// document is replaced only when every part was read. Every count and length is checked against
// what the rest of the file can hold and against the limits of sbl_layout.h before anything is
// allocated for it, so a damaged file is refused with a message and never crashes the program,
// stalls it or asks for unbounded memory.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <utility>

#include "layout/hyphenation.h"
#include "layout/layout.h"
#include "layout/measure.h"
#include "model/primitives.h"
#include "platform/pictures/dib.h"
#include "storage/byte_io.h"
#include "storage/file_io.h"
#include "storage/sbl_format.h"
#include "storage/sbl_layout.h"
#include "window/document_window.h"

namespace paginor {

namespace {

using bytes::ByteReader;
using bytes::RecordView;

bool saneLength(double x) {
  return std::isfinite(x) && std::fabs(x) <= sbl::kMaxLength;
}

// Widths and heights of character cells, measured once per font and character: a long document
// has a million cells but only a few hundred distinct pairs.
class MeasureMemo {
 public:
  struct Size {
    double width = NAN;
    double height = NAN;
  };
  void reset(size_t fonts) {
    table_.clear();
    table_.resize(fonts);
    lastFont_ = -1;
    lastRow_ = nullptr;
  }
  Size& at(int32_t font, uint8_t ch) {
    if (font != lastFont_) {  // cells come in runs of one font
      auto& row = table_[static_cast<size_t>(font)];
      if (!row) row = std::make_unique<std::array<Size, 256>>();
      lastFont_ = font;
      lastRow_ = row.get();
    }
    return (*lastRow_)[ch];
  }

 private:
  std::vector<std::unique_ptr<std::array<Size, 256>>> table_;
  int32_t lastFont_ = -1;
  std::array<Size, 256>* lastRow_ = nullptr;
};

class SblReader {
 public:
  SblReader(TMDIChild& w, const uint8_t* data, size_t size, Document& out)
      : w_(w), data_(data), size_(size), r_(data, size), d_(out) {}

  Result run() {
    if (!readMagic()) return std::move(result_);
    // Each part of the file in its order; a refusal names the part it met.
    using Step = bool (SblReader::*)();
    static constexpr std::pair<const char*, Step> kParts[] = {
        {"Einstellungen", &SblReader::readSettings}, {"Schriften", &SblReader::readFonts},
        {"Formatvorlagen", &SblReader::readTemplates}, {"Grafiken", &SblReader::readPictures},
        {"Positionen", &SblReader::readPositions},    {"Felder", &SblReader::readFields},
        {"Verkettungen", &SblReader::checkLinks},
    };
    bool complete = true;
    for (const auto& [part, step] : kParts) {
      part_ = part;
      if (!(this->*step)()) {
        complete = false;
        break;
      }
    }
    if (complete) {
      settleFixedFields();
      settleView();
    }
    return std::move(result_);
  }

 private:
  bool fail(const char* detail) {
    if (result_.ok()) {
      Failure f = ReadingFailure(FailureKind::Damaged, DamagedText(""));
      f.offset = r_.offset();
      f.part = part_;
      f.detail = detail;
      result_ = std::move(f);
    }
    return false;
  }
  // A sticky read failure means the data ran out.
  bool fine() { return r_.failed() ? fail("Die Daten enden vorzeitig") : true; }

  bool readMagic();
  bool readSettings();
  bool readFonts();
  bool readTemplates();
  bool readParagraph(const RecordView& v, size_t base, ParagraphFormat& p, bool& bulletFont);
  bool readParagraphTail(ParagraphFormat& p, bool bulletFont);
  bool readPictures();
  bool readPicture(BildRec& b);
  bool readPositions();
  bool readFields();
  bool readFieldRecord(FieldRec& f, int32_t& lineCount);
  bool readLine(LineRec& l);
  bool readTablePart(LineRec& l);
  bool readCells(LineRec& l, int32_t count);
  bool readCell(CharRec& c);
  void measure(CharRec& c);
  bool checkLinks();
  void settleFixedFields();
  void settleView();

  TMDIChild& w_;
  const uint8_t* data_;
  size_t size_;
  ByteReader r_;
  Document& d_;
  Result result_;
  const char* part_ = "Kennung";
  MeasureMemo memo_;
};

bool SblReader::readMagic() {
  if (!HasSblMagic(data_, size_)) {
    Failure f = ReadingFailure(FailureKind::WrongFormat, kNotNativeText);
    f.offset = 0;
    f.part = part_;
    f.detail = "Kennung fehlt";
    result_ = std::move(f);
    return false;
  }
  r_.take(4 + sbl::kMagic.size());
  return true;
}

bool SblReader::readSettings() {
  d_.zoomPercent = r_.f64();
  d_.zoomMode = r_.i32();
  d_.autoHyphenation = r_.u8();
  d_.language = r_.i32();
  const uint8_t count = r_.u8();
  if (!fine()) return false;
  if (count > kPropertyCount) return fail("Mehr als acht Dokumenteigenschaften");
  for (auto& p : d_.properties) p.clear();
  for (uint8_t i = 0; i < count; ++i)
    if (!r_.string(d_.properties[i], sbl::kMaxStringBytes))
      return fail("Dokumenteigenschaft beschädigt");
  return true;
}

bool SblReader::readFonts() {
  const int32_t count = r_.i32();
  if (!fine()) return false;
  if (count < 0 || count > sbl::kMaxFonts || !r_.canHold(count, sbl::kMinFontBytes))
    return fail("Ungültige Anzahl Schriften");
  d_.fonts.clear();
  d_.fonts.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const RecordView v = r_.record(sbl::font::kSize);
    FontRec f;
    f.textColour = v.i32(sbl::font::kTextColour);
    f.size = v.f64(sbl::font::kPointSize);
    f.reserved = v.u8(sbl::font::kReserved);
    f.style = v.u8(sbl::font::kStyle);
    f.charset = v.u8(sbl::font::kCharset);
    f.backColour = v.i32(sbl::font::kBackColour);
    f.shadowColour = v.i32(sbl::font::kShadowColour);
    f.outlineColour = v.i32(sbl::font::kOutlineColour);
    f.backTransparent = v.u8(sbl::font::kBackTransparent);
    f.attributes = v.u16(sbl::font::kAttributes);
    if (!r_.string(f.name, sbl::kMaxFontNameBytes)) return fail("Schriftname beschädigt");
    if (!std::isfinite(f.size) || f.size < 0 || f.size > sbl::kMaxFontSize)
      return fail("Ungültige Schriftgröße");
    d_.fonts.push_back(std::move(f));
  }
  memo_.reset(d_.fonts.size());
  return fine();
}

bool SblReader::readParagraph(const RecordView& v, size_t base, ParagraphFormat& p,
                              bool& bulletFont) {
  namespace o = sbl::para;
  p.alignment = v.u8(base + o::kAlignment);
  p.lineSpacing = v.f64(base + o::kLineSpacing);
  p.lineSpacingMode = v.u8(base + o::kLineSpacingMode);
  p.spaceAbove = v.f64(base + o::kSpaceAbove);
  p.spaceBelow = v.f64(base + o::kSpaceBelow);
  p.indentLeft = v.f64(base + o::kIndentLeft);
  p.indentRight = v.f64(base + o::kIndentRight);
  p.indentFirstLine = v.f64(base + o::kIndentFirstLine);
  p.defaultTabWidth = v.f64(base + o::kDefaultTabWidth);
  const int32_t tabs = v.i32(base + o::kTabCount);
  p.listIndent = v.f64(base + o::kListIndent);
  p.listKind = v.u8(base + o::kListKind);
  p.bulletChar = v.u8(base + o::kBulletChar);
  p.listNumber = v.i32(base + o::kListNumber);
  bulletFont = v.u32(base + o::kBulletFontPresent) != 0;
  for (double x : {p.lineSpacing, p.spaceAbove, p.spaceBelow, p.indentLeft, p.indentRight,
                   p.indentFirstLine, p.defaultTabWidth, p.listIndent})
    if (!saneLength(x)) return fail("Ungültiges Absatzformat");
  if (tabs < 0 || tabs > sbl::kMaxTabStops || !r_.canHold(tabs, sbl::kTabStopSize))
    return fail("Ungültige Anzahl Tabstopps");
  p.tabs.resize(static_cast<size_t>(tabs));
  return true;
}

bool SblReader::readParagraphTail(ParagraphFormat& p, bool bulletFont) {
  for (TabStop& t : p.tabs) {
    t.position = r_.f64();
    t.alignment = r_.i32();
    t.fill = r_.i32();
    if (!saneLength(t.position)) return fail("Ungültiger Tabstopp");
  }
  p.bulletFont.clear();
  if (bulletFont) {
    std::string name;
    if (!r_.string(name, sbl::kMaxFontNameBytes))
      return fail("Schrift des Aufzählungszeichens beschädigt");
    p.bulletFont = name;
  }
  return fine();
}

bool SblReader::readTemplates() {
  d_.footnoteCounter = r_.i32();
  const int32_t count = r_.i32();
  if (!fine()) return false;
  if (count < 0 || count > sbl::kMaxTemplates || !r_.canHold(count, sbl::kMinTemplateBytes))
    return fail("Ungültige Anzahl Formatvorlagen");
  d_.templates.clear();
  d_.templates.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const RecordView v = r_.record(sbl::templ::kSize);
    if (!fine()) return false;
    VorlageRec t;
    const uint8_t len = v.u8(sbl::templ::kNameLength);
    t.name.assign(reinterpret_cast<const char*>(v.data() + sbl::templ::kNameText), len);
    t.kind = v.u8(sbl::templ::kKind);
    bool bulletFont = false;
    if (!readParagraph(v, sbl::templ::kParagraph, t.paragraph, bulletFont)) return false;
    // The sample cell contributes its font only; its other slots are left over from whatever
    // cell the template was made from, and like reference slots they are not read, so that
    // junk in them (a stale width, a NaN) cannot make the whole document unreadable.
    t.sample = CharRec();
    t.sample.fontIndex = v.i32(sbl::templ::kSample + sbl::chr::kFontIndex);
    if (t.sample.fontIndex < 0 || t.sample.fontIndex >= d_.fontCount())
      return fail("Formatvorlage verweist auf eine fehlende Schrift");
    if (!readParagraphTail(t.paragraph, bulletFont)) return false;
    d_.templates.push_back(std::move(t));
  }
  return true;
}

bool SblReader::readPictures() {
  const int32_t count = r_.i32();
  if (!fine()) return false;
  if (count < 0 || count > sbl::kMaxPictures || !r_.canHold(count, sbl::kMinPictureBytes))
    return fail("Ungültige Anzahl Bilder");
  d_.pictures.clear();
  d_.pictures.resize(static_cast<size_t>(count));
  for (BildRec& b : d_.pictures)
    if (!readPicture(b)) return false;
  return true;
}

bool SblReader::readPicture(BildRec& b) {
  const int32_t headerSize = r_.i32();
  const int32_t colours = r_.i32();
  if (!fine()) return false;
  if (!(colours == 0 || colours == 2 || colours == 16 || colours == 256) ||
      headerSize != sbl::kBitmapInfoSize + 4 * colours)
    return fail("Ungültiger Bildkopf");
  const RecordView h = r_.record(static_cast<size_t>(headerSize));
  if (!fine()) return false;
  const int64_t width = h.i32(4), height = h.i32(8);
  const int32_t bpp = h.u16(14);
  const bool paletted = bpp == 1 || bpp == 4 || bpp == 8;
  if (h.i32(0) != sbl::kBitmapInfoSize || !(paletted || bpp == 16 || bpp == 24 || bpp == 32) ||
      colours != (paletted ? (1 << bpp) : 0))
    return fail("Ungültige Farbtiefe");
  if (width <= 0 || height <= 0 || width > kDibMaxSide || height > kDibMaxSide)
    return fail("Ungültige Bildgröße");
  const int64_t stride = (width * bpp + 31) / 32 * 4;
  if (stride * height > kDibMaxPixelBytes ||
      static_cast<uint64_t>(stride * height) > r_.remaining())
    return fail("Bilddaten fehlen");
  // The sizes are checked above, within the picture library's limits: it refuses them only for
  // want of memory, which ends the reading as any other allocation failure does.
  if (!newdib(b, static_cast<int32_t>(width), static_cast<int32_t>(height), bpp, h.data(), colours))
    throw std::bad_alloc();
  if (b.stride != stride) return fail("Bild konnte nicht angelegt werden");
  const size_t pixelBytes = static_cast<size_t>(stride * height);
  const uint8_t* p = r_.take(pixelBytes);
  if (!p) return fine();
  std::copy(p, p + pixelBytes, b.pixels.begin());
  return true;
}

bool SblReader::readPositions() {
  for (CursorPos* p : {&d_.Anchor, &d_.Cursor}) {
    p->field = r_.i32();
    p->line = r_.i32();
    p->chr = r_.i32();
  }
  d_.currentPage = r_.i32();
  d_.lineEndAffinity = r_.u8();
  return fine();
}

bool SblReader::readFields() {
  const int32_t count = r_.i32();
  if (!fine()) return false;
  if (count < sbl::kMinFields || count > sbl::kMaxFields || !r_.canHold(count, sbl::kMinFieldBytes))
    return fail("Ungültige Anzahl Felder");
  d_.fields.clear();
  d_.fields.resize(static_cast<size_t>(count));
  for (FieldRec& f : d_.fields) {
    int32_t lines = 0;
    if (!readFieldRecord(f, lines)) return false;
    f.lines.reserve(lines);
    for (int32_t i = 0; i < lines; ++i) {
      LineRec& l = f.lines.push_back(LineRec());
      if (!readLine(l)) return false;
    }
    // Every field holds at least one line; editing relies on it.
    if (lines == 0) {
      LineRec& l = f.lines.push_back(LineRec());
      InitNewLine(l);
      l.dirty = 1;
    }
  }
  return true;
}

bool SblReader::readFieldRecord(FieldRec& f, int32_t& lineCount) {
  namespace o = sbl::field;
  const RecordView v = r_.record(o::kSize);
  if (!fine()) return false;
  f.left = v.f64(o::kLeft);
  f.top = v.f64(o::kTop);
  f.right = v.f64(o::kRight);
  f.bottom = v.f64(o::kBottom);
  f.marginLeft = v.f64(o::kMarginLeft);
  f.marginTop = v.f64(o::kMarginTop);
  f.marginRight = v.f64(o::kMarginRight);
  f.marginBottom = v.f64(o::kMarginBottom);
  f.showOn = v.u8(o::kShowOn);
  f.wrapText = v.u8(o::kWrapText);
  f.moveWithText = v.u8(o::kMoveWithText);
  f.flowMode = v.i32(o::kFlowMode);
  f.distanceY = v.f64(o::kDistanceY);
  f.distanceX = v.f64(o::kDistanceX);
  f.lineWidth = v.f64(o::kLineWidth);
  f.lineColour = v.i32(o::kLineColour);
  f.backColour = v.i32(o::kBackColour);
  f.transparent = v.u8(o::kTransparent);
  f.topFromBottom = v.u8(o::kTopFromBottom);
  f.bottomFromBottom = v.u8(o::kBottomFromBottom);
  f.rightFromRight = v.u8(o::kRightFromRight);
  f.type = v.u8(o::kType);
  f.page = v.i32(o::kPage);
  f.prevField = v.i32(o::kPrevField);
  f.nextField = v.i32(o::kNextField);
  f.keepAspect = v.u8(o::kKeepAspect);
  lineCount = v.i32(o::kLineCount);
  f.visited = v.u8(o::kVisited);
  f.selected = v.u8(o::kSelected);
  f.shapeVariant = v.u8(o::kShapeVariant);
  f.footnoteNo = v.i32(o::kFootnoteNo);
  f.anchorOffsetX = v.f64(o::kAnchorOffsetX);
  f.anchorOffsetY = v.f64(o::kAnchorOffsetY);
  f.anchorId = v.i32(o::kAnchorId);
  for (double x :
       {f.left, f.top, f.right, f.bottom, f.marginLeft, f.marginTop, f.marginRight, f.marginBottom,
        f.distanceY, f.distanceX, f.lineWidth, f.anchorOffsetX, f.anchorOffsetY})
    if (!saneLength(x)) return fail("Ungültige Feldmaße");
  if (f.type > sbl::kMaxFieldType) return fail("Unbekannte Feldart");
  if (f.page < 0 || f.page > sbl::kMaxPage) return fail("Ungültige Seitennummer");
  if (lineCount < 0 || !r_.canHold(lineCount, sbl::kMinLineBytes))
    return fail("Ungültige Anzahl Zeilen");
  return true;
}

bool SblReader::readLine(LineRec& l) {
  InitNewLine(l);
  const int32_t count = r_.i32();
  l.endKind = r_.i32();
  const RecordView p = r_.record(sbl::para::kSize);
  if (!fine()) return false;
  bool bulletFont = false;
  if (!readParagraph(p, 0, l.para, bulletFont) || !readParagraphTail(l.para, bulletFont))
    return false;
  l.inTable = r_.u8();
  if (l.inTable != 0 && !readTablePart(l)) return false;
  l.columns = r_.i32();
  l.columnLine = r_.i32();
  l.columnGap = r_.f64();
  if (!fine()) return false;
  if (l.columns < 0 || l.columns > sbl::kMaxColumns || !saneLength(l.columnGap))
    return fail("Ungültige Spalteneinstellung");
  l.lineAnchorId = 0;
  l.dirty = 1;
  if (count < 0 || !r_.canHold(count, sbl::kMinCharBytes)) return fail("Ungültige Anzahl Zeichen");
  return readCells(l, count);
}

bool SblReader::readTablePart(LineRec& l) {
  l.rowStart = r_.u8();
  l.rowEnd = r_.u8();
  l.rowCells = r_.i32();
  l.cellColumn = r_.i32();
  l.cellWidth = r_.f64();
  l.rowInsetLeft = r_.f64();
  l.rowInsetRight = r_.f64();
  CellDesign& c = l.cellDesign;
  c.borderLeftWidth = r_.f64();
  c.borderTopWidth = r_.f64();
  c.borderBottomWidth = r_.f64();
  c.borderRightWidth = r_.f64();
  c.borderLeftColour = r_.i32();
  c.borderTopColour = r_.i32();
  c.borderBottomColour = r_.i32();
  c.borderRightColour = r_.i32();
  c.borderLeft = r_.u8();
  c.borderTop = r_.u8();
  c.borderBottom = r_.u8();
  c.borderRight = r_.u8();
  c.cellBackColour = r_.i32();
  c.cellTransparent = r_.u8();
  if (!fine()) return false;
  if (l.rowCells < 1 || l.rowCells > sbl::kMaxRowCells || l.cellColumn < 0 ||
      l.cellColumn >= l.rowCells)
    return fail("Ungültige Tabellenzeile");
  for (double x : {l.cellWidth, l.rowInsetLeft, l.rowInsetRight, c.borderLeftWidth,
                   c.borderTopWidth, c.borderBottomWidth, c.borderRightWidth})
    if (!saneLength(x)) return fail("Ungültige Tabellenmaße");
  return true;
}

bool SblReader::readCells(LineRec& l, int32_t count) {
  if (count == 0) return true;  // an empty line gets no cell array at all
  std::vector<CharRec>& cells = l.chars.edit();
  cells.resize(static_cast<size_t>(count));
  for (CharRec& c : cells) {
    // Fast path for the bulk of every file: a letter with a one-byte font index.
    const uint8_t* p = r_.peek(3);
    if (p && (p[0] & (sbl::kFlagShortFontIndex | sbl::kFlagKindMask)) == sbl::kFlagShortFontIndex &&
        p[1] != 9 && p[2] < d_.fontCount()) {
      c.kind = kCharText;
      c.charFlags =
          static_cast<uint8_t>((p[0] & sbl::kFlagCharFlagsMask) >> sbl::kFlagCharFlagsShift);
      c.ch = p[1];
      c.fontIndex = p[2];
      r_.skip(3);
      measure(c);
      continue;
    }
    if (!readCell(c)) return false;
  }
  return true;
}

void SblReader::measure(CharRec& c) {
  MeasureMemo::Size& m = memo_.at(c.fontIndex, c.ch);
  if (std::isnan(m.width)) {
    RenderChar(w_, d_, c, /*forceSuperscript*/ false, CellText(c));
    m.width = c.width;
    m.height = c.height;
  }
  c.width = m.width;
  c.height = m.height;
}

bool SblReader::readCell(CharRec& c) {
  const uint8_t flags = r_.u8();
  c.kind = flags & sbl::kFlagKindMask;
  c.charFlags = static_cast<uint8_t>((flags & sbl::kFlagCharFlagsMask) >> sbl::kFlagCharFlagsShift);
  c.ch = r_.u8();
  if (c.ch == 9) c.tabFill = r_.u8();
  c.fontIndex = (flags & sbl::kFlagShortFontIndex) ? r_.u8() : r_.i32();
  if (!fine()) return false;
  if (c.fontIndex < 0 || c.fontIndex >= d_.fontCount())
    return fail("Zeichen verweist auf eine fehlende Schrift");
  if (c.kind > sbl::kMaxCharKind) return fail("Unbekannte Zeichenart");
  if (c.kind == kCharText) {
    measure(c);
    return true;
  }
  if (c.kind == kCharPicture) {
    c.setPictureIndex(r_.u16());
    if (!fine()) return false;
    if (c.pictureIndex() >= d_.pictureCount()) return fail("Zeichen verweist auf ein fehlendes Bild");
  } else {
    c.setNumber(r_.u16());
    c.setFootnoteId(r_.u16());
    std::string text, code;
    if (!r_.string(text, sbl::kMaxStringBytes) || !r_.string(code, sbl::kMaxStringBytes))
      return fail("Feldtext beschädigt");
    c.setText(text);
    c.setCode(code);
  }
  c.width = r_.f64();
  c.height = r_.f64();
  if (!fine()) return false;
  if (!saneLength(c.width) || !saneLength(c.height)) return fail("Ungültige Zeichenmaße");
  return true;
}

// Chains (page bodies with their overflow pages, linked text boxes) are walked by the layout
// and by the writers; a link to a missing field or a circle would send them astray.
bool SblReader::checkLinks() {
  const int32_t n = d_.fieldCount();
  for (int32_t i = 0; i < n; ++i) {
    const FieldRec& f = d_.fields[static_cast<size_t>(i)];
    if (f.prevField < -1 || f.prevField >= n || f.nextField < -1 || f.nextField >= n)
      return fail("Verkettung verweist auf ein fehlendes Feld");
    if (f.nextField >= 0 && d_.fields[static_cast<size_t>(f.nextField)].prevField != i)
      return fail("Verkettung der Felder widersprüchlich");
    if (f.prevField >= 0 && d_.fields[static_cast<size_t>(f.prevField)].nextField != i)
      return fail("Verkettung der Felder widersprüchlich");
  }
  std::vector<bool> reached(static_cast<size_t>(n), false);
  for (int32_t i = 0; i < n; ++i) {
    if (d_.fields[static_cast<size_t>(i)].prevField != -1) continue;
    for (int32_t f = i; f >= 0 && !reached[static_cast<size_t>(f)];
         f = d_.fields[static_cast<size_t>(f)].nextField)
      reached[static_cast<size_t>(f)] = true;
  }
  for (int32_t i = 0; i < n; ++i)
    if (!reached[static_cast<size_t>(i)]) return fail("Verkettung der Felder im Kreis");
  return true;
}

// The page body of the first page and the three header and footer pairs come first in every
// document, and the program relies on them staying there. The layout removes a footnote area
// no reference points to and a continuation field it left empty; a fixed field that looks like
// either (a damaged footnote number, a chain link into it) would vanish on the first layout, and
// the document saved then could not be read again. Such values are dropped: the field keeps its
// text and stays a header, footer or body.
void SblReader::settleFixedFields() {
  const int32_t fixed = std::min(sbl::kMinFields, d_.fieldCount());
  for (int32_t i = 0; i < fixed; ++i) {
    FieldRec& f = d_.fields[static_cast<size_t>(i)];
    if (f.type == kFieldFooter) f.footnoteNo = 0;
    if (f.prevField >= 0) {
      d_.fields[static_cast<size_t>(f.prevField)].nextField = -1;
      f.prevField = -1;
    }
  }
}

// View state that does not fit the document gets a neutral stand-in rather than a refusal:
// it only says where the user was and how the page was shown.
void SblReader::settleView() {
  if (!std::isfinite(d_.zoomPercent) || d_.zoomPercent < 1 || d_.zoomPercent > 10000)
    d_.zoomPercent = 100.0;
  if (d_.zoomMode < 0 || d_.zoomMode > 2) d_.zoomMode = 0;
  auto valid = [&](const CursorPos& p) {
    if (p.field < 0 || p.field >= d_.fieldCount()) return false;
    const FieldRec& f = d_.fields[static_cast<size_t>(p.field)];
    if (p.line == f.lineCount()) return p.chr == 0;
    return p.line >= 0 && p.line < f.lineCount() && p.chr >= 0 &&
           p.chr <= f.lines[p.line].charCount();
  };
  if (!valid(d_.Cursor)) d_.Cursor = CursorPos{};
  if (!valid(d_.Anchor)) d_.Anchor = d_.Cursor;
  if (d_.currentPage < 0 || d_.currentPage > sbl::kMaxPage) d_.currentPage = 0;
}

}  // namespace

bool HasSblMagic(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 4 + sbl::kMagic.size()) return false;
  if (bytes::loadU32(data) != sbl::kMagic.size()) return false;
  return std::equal(sbl::kMagic.begin(), sbl::kMagic.end(), data + 4);
}

Result ParseSBL(TMDIChild& w, const uint8_t* data, size_t size, Document& out) {
  return SblReader(w, data, size, out).run();
}

void AdoptFileContent(Document& to, Document&& from) {
  to.zoomPercent = from.zoomPercent;
  to.zoomMode = from.zoomMode;
  to.autoHyphenation = from.autoHyphenation;
  to.language = from.language;
  to.properties = std::move(from.properties);
  to.fonts = std::move(from.fonts);
  to.footnoteCounter = from.footnoteCounter;
  to.templates = std::move(from.templates);
  to.pictures = std::move(from.pictures);
  to.Anchor = from.Anchor;
  to.Cursor = from.Cursor;
  to.currentPage = from.currentPage;
  to.lineEndAffinity = from.lineEndAffinity;
  to.fields = std::move(from.fields);
}

void SwapFileContent(Document& a, Document& b) noexcept {
  using std::swap;
  swap(a.zoomPercent, b.zoomPercent);
  swap(a.zoomMode, b.zoomMode);
  swap(a.autoHyphenation, b.autoHyphenation);
  swap(a.language, b.language);
  swap(a.properties, b.properties);
  swap(a.fonts, b.fonts);
  swap(a.footnoteCounter, b.footnoteCounter);
  swap(a.templates, b.templates);
  swap(a.pictures, b.pictures);
  swap(a.Anchor, b.Anchor);
  swap(a.Cursor, b.Cursor);
  swap(a.currentPage, b.currentPage);
  swap(a.lineEndAffinity, b.lineEndAffinity);
  swap(a.fields, b.fields);
}

namespace {

// Hyphenation patterns follow the document's language: a window bound to the other language's
// patterns would hyphenate wrongly.
void followLanguage(TMDIChild& w, int32_t previousLanguage) {
  if (w.doc.language != previousLanguage && w.hyphenTable) {
    FreeHyphenData(w);
    BindHyphenData(w);
  }
}

// Puts the parsed content into the window and lays it out. When memory runs out on the way, the
// window gets its previous content back, exactly as it was, and the failure goes on to the
// caller.
void adoptAndLayOut(TMDIChild& w, Document& fresh) {
  const int32_t language = w.doc.language;
  SwapFileContent(w.doc, fresh);
  try {
    followLanguage(w, language);
    MakeSoftEnters(w);
  } catch (const std::bad_alloc&) {
    const int32_t failedLanguage = w.doc.language;
    SwapFileContent(w.doc, fresh);
    try {
      followLanguage(w, failedLanguage);
    } catch (const std::bad_alloc&) {
      FreeHyphenData(w);  // no patterns rather than the wrong ones
    }
    throw;
  }
}

// Parses a file image into the window. A damaged file is named in the message; running out of
// memory is left to the caller, which knows the command.
Result readImage(TMDIChild& w, const std::vector<uint8_t>& data, const std::string& name) {
  if (!HasSblMagic(data.data(), data.size()))
    return ReadingFailure(FailureKind::WrongFormat, kNotNativeText);
  Result result;
  {
    FileStatus status(w.app.ui(), kOpeningText);
    Document fresh;
    result = ParseSBL(w, data.data(), data.size(), fresh);
    if (result) adoptAndLayOut(w, fresh);
  }
  if (!result && result.failure().kind == FailureKind::Damaged)
    result.failure().message = DamagedText(name);
  return result;
}

}  // namespace

Result OpenSBLFile(TMDIChild& w, const std::string& path, FileBinding binding) {
  try {
    PendingFileName pending(path, binding);
    std::vector<uint8_t> data;
    Result read = ReadWholeFile(path, sbl::kMaxFileBytes, data);
    if (!read) return read;
    Result opened = readImage(w, data, FileNameOf(path));
    if (opened) pending.take(w);
    return opened;
  } catch (const std::bad_alloc&) {
  }
  return OutOfMemoryFailure(FileNameOf(path), FileCommand::Open);
}

Result OpenSBLData(TMDIChild& w, const std::vector<uint8_t>& data, const std::string& name,
                   FileBinding binding) {
  try {
    Result opened = readImage(w, data, name);
    if (!opened) return opened;
  } catch (const std::bad_alloc&) {
    return OutOfMemoryFailure(name, FileCommand::Open);
  }
  if (binding == FileBinding::Adopt) {
    try {
      SetFileChanged(w, false);
    } catch (const std::bad_alloc&) {
      w.doc.modified = 0;
    }
  }
  return {};
}

}  // namespace paginor
