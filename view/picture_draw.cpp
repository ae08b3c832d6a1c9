#include "view/picture_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "layout/measure.h"
#include "platform/pictures/dib.h"

namespace paginor {

namespace {

int32_t RoundInt(double v) {
  return static_cast<int32_t>(RoundHalfEven(v));
}

// Cuts one axis of the source to [0, size) and shrinks the destination in proportion.
bool ClipAxis(int32_t size, int32_t& srcStart, int32_t& srcLength, int32_t& destStart,
              int32_t& destLength) {
  if (srcLength <= 0 || destLength <= 0) return false;
  if (srcStart < 0) {
    const int32_t cut = -srcStart;
    const int32_t lost = RoundInt(static_cast<double>(destLength) * cut / srcLength);
    destLength -= lost;
    destStart += lost;
    srcLength -= cut;
    srcStart = 0;
  }
  if (srcLength > 0 && srcStart + srcLength > size) {
    const int32_t cut = srcStart + srcLength - size;
    destLength -= RoundInt(static_cast<double>(destLength) * cut / srcLength);
    srcLength -= cut;
  }
  return srcLength > 0 && destLength > 0;
}

// The memory row of picture row y counted from the top.
const uint8_t* RowFromTop(const BildRec& p, int32_t y) {
  const int32_t h = std::abs(p.height());
  const int32_t stored = p.height() > 0 ? h - 1 - y : y;
  return p.bits() + static_cast<size_t>(stored) * static_cast<size_t>(p.stride);
}

uint32_t PaletteColour(const BildRec& p, uint8_t index) {
  const size_t at = 40 + static_cast<size_t>(index) * 4;
  if (at + 3 > p.info.size()) return 0;
  return (uint32_t{p.info[at + 2]} << 16) | (uint32_t{p.info[at + 1]} << 8) | p.info[at];
}

// Nearest-neighbour copy onto a screen, one row at a time.
void CopyRows(Canvas& c, int32_t left, int32_t top, int32_t dw, int32_t dh, const BildRec& p,
              const PictureRect& s) {
  const int32_t pw = p.width();
  const int32_t ph = std::abs(p.height());
  const int32_t bytes = p.bitsPerPixel() / 8;
  std::vector<int32_t> columns(static_cast<size_t>(dw));
  for (int32_t i = 0; i < dw; ++i)
    columns[static_cast<size_t>(i)] =
        s.left + static_cast<int32_t>(static_cast<int64_t>(s.width) * i / dw);
  std::vector<uint32_t> row(static_cast<size_t>(dw), 0);
  int32_t lastSource = -1;
  for (int32_t j = 0; j < dh; ++j) {
    const int32_t sy = s.top + static_cast<int32_t>(static_cast<int64_t>(s.height) * j / dh);
    if (sy != lastSource || j == 0) {
      if (sy < 0 || sy >= ph) {
        std::fill(row.begin(), row.end(), 0u);
      } else {
        const uint8_t* src = RowFromTop(p, sy);
        for (int32_t i = 0; i < dw; ++i) {
          const int32_t sx = columns[static_cast<size_t>(i)];
          uint32_t px = 0;
          if (sx >= 0 && sx < pw) {
            const uint8_t* q = src + static_cast<size_t>(sx) * static_cast<size_t>(bytes);
            px = bytes == 1 ? PaletteColour(p, q[0])
                            : (uint32_t{q[2]} << 16) | (uint32_t{q[1]} << 8) | q[0];
          }
          row[static_cast<size_t>(i)] = px;
        }
      }
      lastSource = sy;
    }
    c.setPixelRow(left, top + j, row.data(), dw);
  }
}

// A copy of part of a picture (8, 24 or 32 bits), for the ways that take whole pictures.
bool CropCopy(const BildRec& p, const PictureRect& s, BildRec& out) {
  const int32_t bits = p.bitsPerPixel();
  if (bits != 8 && bits != 24 && bits != 32) return false;
  if (!newdib(out, s.width, s.height, bits, p.info.data(), p.colourCount())) return false;
  const size_t bytes = static_cast<size_t>(bits / 8);
  for (int32_t y = 0; y < s.height; ++y) {
    const uint8_t* src = RowFromTop(p, s.top + y) + static_cast<size_t>(s.left) * bytes;
    uint8_t* dst = out.bits() + static_cast<size_t>(s.height - 1 - y) * out.stride;
    std::copy(src, src + static_cast<size_t>(s.width) * bytes, dst);
  }
  return true;
}

}  // namespace

void DrawDib(Canvas& c, int32_t left, int32_t top, int32_t destWidth, int32_t destHeight,
             const BildRec& picture, bool allowDither, const PictureRect* source) {
  if (!picture.hasBits() || picture.info.size() < 40) return;
  const int32_t pw = picture.width();
  const int32_t ph = std::abs(picture.height());
  if (pw <= 0 || ph <= 0) return;
  PictureRect s = source ? *source : PictureRect{0, 0, pw, ph};
  int32_t dw = destWidth, dh = destHeight;
  if (!ClipAxis(pw, s.left, s.width, left, dw) || !ClipAxis(ph, s.top, s.height, top, dh)) return;

  const bool whole = s.left == 0 && s.top == 0 && s.width == pw && s.height == ph;
  BildRec cropped;
  const BildRec* src = &picture;
  auto part = [&]() -> const BildRec* {
    if (whole) return &picture;
    if (cropped.hasBits() || CropCopy(picture, s, cropped)) return &cropped;
    return nullptr;  // an unusual bit count: the device gets the whole picture
  };
  const IntRect dest{left, top, left + dw, top + dh};
  const int32_t bits = picture.bitsPerPixel();
  const bool trueColour = bits == 24 || bits == 32;

  if (trueColour && !c.isPrinter() && c.colourDepth() <= 8 && allowDither) {
    src = part();
    if (!src) src = &picture;
    BildRec dithered;
    // Drawn smaller: the copy is made at the destination size, which dithers fewer pixels.
    const bool ok = (dw < s.width || dh < s.height) ? DIBHalftoneDIBXY(dithered, *src, dw, dh)
                                                    : DIBHalftoneDIB(dithered, *src);
    c.drawPicture(dest, ok ? dithered : *src);
    return;
  }
  if ((trueColour || bits == 8) && !c.isPrinter()) {
    CopyRows(c, left, top, dw, dh, picture, s);
    return;
  }
  src = part();
  c.drawPicture(dest, src ? *src : picture);
}

}  // namespace paginor
