// Writing native documents.
#include <algorithm>

#include "platform/pictures/dib.h"
#include "storage/atomic_file.h"
#include "storage/byte_io.h"
#include "storage/file_io.h"
#include "storage/sbl_format.h"
#include "storage/sbl_layout.h"
#include "window/document_window.h"

namespace paginor {

namespace {

using bytes::ByteWriter;
using bytes::RecordBytes;

template <size_t N>
void putParagraph(RecordBytes<N>& r, size_t base, const ParagraphFormat& p) {
  r.u8(base + sbl::para::kAlignment, p.alignment);
  r.f64(base + sbl::para::kLineSpacing, p.lineSpacing);
  r.u8(base + sbl::para::kLineSpacingMode, p.lineSpacingMode);
  r.f64(base + sbl::para::kSpaceAbove, p.spaceAbove);
  r.f64(base + sbl::para::kSpaceBelow, p.spaceBelow);
  r.f64(base + sbl::para::kIndentLeft, p.indentLeft);
  r.f64(base + sbl::para::kIndentRight, p.indentRight);
  r.f64(base + sbl::para::kIndentFirstLine, p.indentFirstLine);
  r.f64(base + sbl::para::kDefaultTabWidth, p.defaultTabWidth);
  r.i32(base + sbl::para::kTabCount, p.tabCount());
  r.f64(base + sbl::para::kListIndent, p.listIndent);
  r.u8(base + sbl::para::kListKind, p.listKind);
  r.u8(base + sbl::para::kBulletChar, p.bulletChar);
  r.i32(base + sbl::para::kListNumber, p.listNumber);
  r.u32(base + sbl::para::kBulletFontPresent, p.bulletFont.empty() ? 0 : 1);
}

// What follows a paragraph-format block: its tab stops and its bullet font.
void putParagraphTail(ByteWriter& out, const ParagraphFormat& p) {
  for (const TabStop& t : p.tabs) {
    out.f64(t.position);
    out.i32(t.alignment);
    out.i32(t.fill);
  }
  if (!p.bulletFont.empty()) out.string(p.bulletFont);
}

void putSample(RecordBytes<sbl::templ::kSize>& r, size_t base, const CharRec& c) {
  r.u8(base + sbl::chr::kKind, c.kind);
  r.u8(base + sbl::chr::kCh, c.ch);
  r.u16(base + sbl::chr::kNumber, c.number());
  r.u16(base + sbl::chr::kFootnoteId, c.footnoteId());
  r.f64(base + sbl::chr::kWidth, c.width);
  r.f64(base + sbl::chr::kHeight, c.height);
  r.i32(base + sbl::chr::kFontIndex, c.fontIndex);
  r.u8(base + sbl::chr::kTabFill, c.tabFill);
  r.u16(base + sbl::chr::kPictureIndex, c.pictureIndex());
  r.u8(base + sbl::chr::kCharFlags, c.charFlags);
  r.f32(base + sbl::chr::kSkipBefore, c.skipBefore);
}

void putFonts(ByteWriter& out, const Document& d) {
  out.i32(d.fontCount());
  for (const FontRec& f : d.fonts) {
    RecordBytes<sbl::font::kSize> r;
    r.i32(sbl::font::kTextColour, f.textColour);
    r.f64(sbl::font::kPointSize, f.size);
    r.u8(sbl::font::kReserved, f.reserved);
    r.u8(sbl::font::kStyle, f.style);
    r.u8(sbl::font::kCharset, f.charset);
    r.i32(sbl::font::kBackColour, f.backColour);
    r.i32(sbl::font::kShadowColour, f.shadowColour);
    r.i32(sbl::font::kOutlineColour, f.outlineColour);
    r.u8(sbl::font::kBackTransparent, f.backTransparent);
    r.u16(sbl::font::kAttributes, f.attributes);
    out.record(r);
    out.string(f.name);
  }
}

void putTemplates(ByteWriter& out, const Document& d) {
  out.i32(d.templateCount());
  for (const VorlageRec& v : d.templates) {
    RecordBytes<sbl::templ::kSize> r;
    const size_t len = std::min(v.name.size(), sbl::templ::kNameCapacity);
    r.u8(sbl::templ::kNameLength, static_cast<uint8_t>(len));
    r.raw(sbl::templ::kNameText, v.name.data(), len);
    r.u8(sbl::templ::kKind, v.kind);
    putParagraph(r, sbl::templ::kParagraph, v.paragraph);
    putSample(r, sbl::templ::kSample, v.sample);
    out.record(r);
    putParagraphTail(out, v.paragraph);
  }
}

// The 40-byte header as the picture library makes it, so that a file read and written again is
// the same bytes whatever the header held when the picture was loaded.
void putPictureHeader(ByteWriter& out, const BildRec& b, int32_t fileStride) {
  RecordBytes<sbl::kBitmapInfoSize> h;
  h.i32(0, sbl::kBitmapInfoSize);
  h.i32(4, b.width());
  h.i32(8, b.height());
  h.u16(12, 1);
  h.u16(14, static_cast<uint16_t>(b.bitsPerPixel()));
  h.i32(20, fileStride * b.height());
  h.raw(24, b.info.data() + 24, 8);  // resolution
  h.i32(32, b.colourCount());
  out.record(h);
}

bool storablePicture(const BildRec& b) {
  if (!b.hasBits() || b.info.size() < static_cast<size_t>(sbl::kBitmapInfoSize)) return false;
  const int64_t w = b.width(), h = b.height(), bpp = b.bitsPerPixel();
  if (w <= 0 || h <= 0 || w > kDibMaxSide || h > kDibMaxSide) return false;
  if (!(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32)) return false;
  if ((w * bpp + 31) / 32 * 4 * h > kDibMaxPixelBytes) return false;
  if (b.info.size() < static_cast<size_t>(sbl::kBitmapInfoSize + 4 * b.colourCount())) return false;
  return b.stride >= (w * bpp + 7) / 8 &&
         static_cast<int64_t>(b.stride) * h <= static_cast<int64_t>(b.pixels.size());
}

// A released slot has no pixels and the format no way to say so: it is stored as a white
// picture of one pixel, which nothing references. Its header is never looked at.
void putReleasedPicture(ByteWriter& out) {
  out.i32(sbl::kBitmapInfoSize);
  out.i32(0);
  RecordBytes<sbl::kBitmapInfoSize> h;
  h.i32(0, sbl::kBitmapInfoSize);
  h.i32(4, 1);
  h.i32(8, 1);
  h.u16(12, 1);
  h.u16(14, 24);
  h.i32(20, 4);
  out.record(h);
  const uint8_t row[4] = {0xFF, 0xFF, 0xFF, 0};
  out.raw(row, sizeof row);
}

void putPicture(ByteWriter& out, const BildRec& b) {
  if (!storablePicture(b)) {
    putReleasedPicture(out);
    return;
  }
  const int32_t colours = b.colourCount();
  const int32_t bpp = b.bitsPerPixel();
  const int32_t fileStride = ((b.width() * bpp + 31) / 32) * 4;
  out.i32(sbl::kBitmapInfoSize + 4 * colours);
  out.i32(colours);
  putPictureHeader(out, b, fileStride);
  out.raw(b.info.data() + sbl::kBitmapInfoSize, 4 * static_cast<size_t>(colours));
  if (b.stride == fileStride) {
    out.raw(b.bits(), static_cast<size_t>(fileStride) * static_cast<size_t>(b.height()));
    return;
  }
  const size_t used = static_cast<size_t>((static_cast<int64_t>(b.width()) * bpp + 7) / 8);
  for (int32_t y = 0; y < b.height(); ++y) {
    out.raw(b.bits() + static_cast<size_t>(y) * static_cast<size_t>(b.stride), used);
    out.zeros(static_cast<size_t>(fileStride) - used);
  }
}

void putPosition(ByteWriter& out, const CursorPos& p) {
  out.i32(p.field);
  out.i32(p.line);
  out.i32(p.chr);
}

void putFieldRecord(ByteWriter& out, const FieldRec& f) {
  RecordBytes<sbl::field::kSize> r;
  namespace o = sbl::field;
  r.f64(o::kLeft, f.left);
  r.f64(o::kTop, f.top);
  r.f64(o::kRight, f.right);
  r.f64(o::kBottom, f.bottom);
  r.f64(o::kMarginLeft, f.marginLeft);
  r.f64(o::kMarginTop, f.marginTop);
  r.f64(o::kMarginRight, f.marginRight);
  r.f64(o::kMarginBottom, f.marginBottom);
  r.u8(o::kShowOn, f.showOn);
  r.u8(o::kWrapText, f.wrapText);
  r.u8(o::kMoveWithText, f.moveWithText);
  r.i32(o::kFlowMode, f.flowMode);
  r.f64(o::kDistanceY, f.distanceY);
  r.f64(o::kDistanceX, f.distanceX);
  r.f64(o::kLineWidth, f.lineWidth);
  r.i32(o::kLineColour, f.lineColour);
  r.i32(o::kBackColour, f.backColour);
  r.u8(o::kTransparent, f.transparent);
  r.u8(o::kTopFromBottom, f.topFromBottom);
  r.u8(o::kBottomFromBottom, f.bottomFromBottom);
  r.u8(o::kRightFromRight, f.rightFromRight);
  r.u8(o::kType, f.type);
  r.i32(o::kPage, f.page);
  r.i32(o::kPrevField, f.prevField);
  r.i32(o::kNextField, f.nextField);
  r.u8(o::kKeepAspect, f.keepAspect);
  r.i32(o::kLineCount, f.lineCount());
  r.u8(o::kVisited, f.visited);
  r.u8(o::kSelected, f.selected);
  r.u8(o::kShapeVariant, f.shapeVariant);
  r.i32(o::kFootnoteNo, f.footnoteNo);
  r.f64(o::kAnchorOffsetX, f.anchorOffsetX);
  r.f64(o::kAnchorOffsetY, f.anchorOffsetY);
  r.i32(o::kAnchorId, f.anchorId);
  out.record(r);
}

void putCellDesign(ByteWriter& out, const CellDesign& c) {
  out.f64(c.borderLeftWidth);
  out.f64(c.borderTopWidth);
  out.f64(c.borderBottomWidth);
  out.f64(c.borderRightWidth);
  out.i32(c.borderLeftColour);
  out.i32(c.borderTopColour);
  out.i32(c.borderBottomColour);
  out.i32(c.borderRightColour);
  out.u8(c.borderLeft);
  out.u8(c.borderTop);
  out.u8(c.borderBottom);
  out.u8(c.borderRight);
  out.i32(c.cellBackColour);
  out.u8(c.cellTransparent);
}

void putLineBlock(ByteWriter& out, const LineRec& l) {
  out.i32(l.charCount());
  out.i32(l.endKind);
  RecordBytes<sbl::para::kSize> p;
  putParagraph(p, 0, l.para);
  out.record(p);
  putParagraphTail(out, l.para);
  out.u8(l.inTable);
  if (l.inTable != 0) {
    out.u8(l.rowStart);
    out.u8(l.rowEnd);
    out.i32(l.rowCells);
    out.i32(l.cellColumn);
    out.f64(l.cellWidth);
    out.f64(l.rowInsetLeft);
    out.f64(l.rowInsetRight);
    putCellDesign(out, l.cellDesign);
  }
  out.i32(l.columns);
  out.i32(l.columnLine);
  out.f64(l.columnGap);
}

void putCell(ByteWriter& out, const CharRec& c) {
  const bool shortIndex = c.fontIndex >= 0 && c.fontIndex <= 255;
  uint8_t flags =
      static_cast<uint8_t>((c.kind & sbl::kFlagKindMask) |
                           ((c.charFlags << sbl::kFlagCharFlagsShift) & sbl::kFlagCharFlagsMask));
  if (shortIndex) flags |= sbl::kFlagShortFontIndex;
  out.u8(flags);
  out.u8(c.ch);
  if (c.ch == 9) out.u8(c.tabFill);
  if (shortIndex)
    out.u8(static_cast<uint8_t>(c.fontIndex));
  else
    out.i32(c.fontIndex);
  if (c.kind == kCharText) return;
  if (c.kind == kCharPicture) {
    out.u16(c.pictureIndex());
  } else {
    out.u16(c.number());
    out.u16(c.footnoteId());
    out.string(c.text());
    out.string(c.code());
  }
  out.f64(c.width);
  out.f64(c.height);
}

// Writes the file image in order. With a file, the bytes go out whenever a megabyte has gathered,
// so that saving holds no second copy of a large document in memory.
class ImageWriter {
 public:
  explicit ImageWriter(AtomicFile* file) : file_(file) {
    out_.reserve(file ? kChunkBytes + (size_t{1} << 16) : size_t{1} << 16);
  }

  bool write(const Document& d) {
    out_.string(sbl::kMagic);
    out_.f64(d.zoomPercent);
    out_.i32(d.zoomMode);
    out_.u8(d.autoHyphenation);
    out_.i32(d.language);
    out_.u8(kPropertyCount);
    for (const std::string& p : d.properties) out_.string(p);
    putFonts(out_, d);
    out_.i32(d.footnoteCounter);
    putTemplates(out_, d);
    out_.i32(d.pictureCount());
    for (const BildRec& b : d.pictures) {
      putPicture(out_, b);
      if (!drain()) return false;
    }
    putPosition(out_, d.Anchor);
    putPosition(out_, d.Cursor);
    out_.i32(d.currentPage);
    out_.u8(d.lineEndAffinity);
    out_.i32(d.fieldCount());
    for (const FieldRec& f : d.fields) {
      putFieldRecord(out_, f);
      for (const LineRec& l : f.lines) {
        putLineBlock(out_, l);
        for (const CharRec& c : l.chars) putCell(out_, c);
        if (!drain()) return false;
      }
    }
    return drain(/*all*/ true);
  }

  std::vector<uint8_t> take() { return out_.take(); }

 private:
  static constexpr size_t kChunkBytes = size_t{1} << 20;

  bool drain(bool all = false) {
    if (!file_ || (!all && out_.size() < kChunkBytes)) return true;
    const bool ok = file_->write(out_.bytes().data(), out_.size());
    out_.bytes().clear();
    return ok;
  }

  AtomicFile* file_;
  ByteWriter out_;
};

}  // namespace

std::vector<uint8_t> SerializeSBL(const Document& d) {
  ImageWriter image(nullptr);
  image.write(d);
  return image.take();
}

Result SaveSBLFile(TMDIChild& w, const std::string& path, FileBinding binding) {
  return WriteDocumentFile(w, path, binding,
                           [&](AtomicFile& file) { return ImageWriter(&file).write(w.doc); });
}

}  // namespace paginor
