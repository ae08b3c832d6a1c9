// 8-bit dithered copies of pictures for displays of 256 colours or fewer.
//
// The palette is fixed: a 6 x 6 x 6 colour cube (entries 0..215, index = 36 r + 6 g + b) and 40
// greys (216..255). Near-grey pixels are dithered between greys, which the cube renders coarsely;
// all others between cube colours. An 8 x 8 ordered dither keeps the output stable from one
// repaint to the next, which error diffusion would not.
#include <algorithm>
#include <new>
#include <vector>

#include "platform/pictures/dib.h"
#include "platform/pictures/dib_internal.h"

namespace paginor {

namespace {

constexpr int kCubeLevels = 6;
constexpr int kGreyLevels = 40;
constexpr int kGreyBase = 216;
constexpr int kGreyTolerance = 8;  // largest channel spread still dithered as grey

constexpr uint8_t kBayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                  {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                  {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                  {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

// Level 0..levels-1 of value v: v scaled to the level range, plus a threshold of the matrix.
int level(int v, int levels, int threshold) {
  int q = (v * (levels - 1) * 128 + 255 * (2 * threshold + 1)) / (255 * 128);
  return std::min(q, levels - 1);
}

void writePalette(BildRec& out) {
  for (int r = 0; r < kCubeLevels; ++r) {
    for (int g = 0; g < kCubeLevels; ++g) {
      for (int b = 0; b < kCubeLevels; ++b) {
        dib::setPaletteEntry(out, 36 * r + 6 * g + b, static_cast<uint8_t>(51 * r),
                             static_cast<uint8_t>(51 * g), static_cast<uint8_t>(51 * b));
      }
    }
  }
  for (int i = 0; i < kGreyLevels; ++i) {
    auto v = static_cast<uint8_t>((i * 255 + (kGreyLevels - 1) / 2) / (kGreyLevels - 1));
    dib::setPaletteEntry(out, kGreyBase + i, v, v, v);
  }
}

uint8_t ditherPixel(const uint8_t* bgr, int x, int y) {
  int t = kBayer[y & 7][x & 7];
  int b = bgr[0], g = bgr[1], r = bgr[2];
  if (std::max({r, g, b}) - std::min({r, g, b}) <= kGreyTolerance) {
    return static_cast<uint8_t>(kGreyBase + level((r + g + b) / 3, kGreyLevels, t));
  }
  return static_cast<uint8_t>(36 * level(r, kCubeLevels, t) + 6 * level(g, kCubeLevels, t) +
                              level(b, kCubeLevels, t));
}

}  // namespace

bool DIBHalftoneDIBXY(BildRec& out, const BildRec& src, int width, int height) {
  if (!dib::usable(src)) {
    deldib(out);
    out.errorText = "Die Grafik ist leer oder beschädigt.";
    return false;
  }
  BildRec copy;  // built aside, so `out` may be the source itself
  if (!newdib(copy, width, height, 8, nullptr, 0)) {
    deldib(out);
    out.errorText = copy.errorText;
    return false;
  }
  writePalette(copy);
  int32_t srcWidth = src.width(), srcHeight = dib::rowCount(src);
  try {
    std::vector<uint8_t> line(3 * static_cast<size_t>(srcWidth));
    std::vector<int32_t> column(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
      column[x] = static_cast<int32_t>(static_cast<int64_t>(x) * srcWidth / width);
    }
    int32_t loaded = -1;
    for (int y = 0; y < height; ++y) {
      auto sy = static_cast<int32_t>(static_cast<int64_t>(y) * srcHeight / height);
      if (sy != loaded) {
        dib::rowToBgr(src, sy, line.data());
        loaded = sy;
      }
      uint8_t* row = dib::rowFromTop(copy, y);
      for (int x = 0; x < width; ++x) row[x] = ditherPixel(line.data() + 3 * column[x], x, y);
    }
  } catch (const std::bad_alloc&) {
    deldib(out);
    out.errorText = dib::noMemoryText();
    return false;
  }
  out = std::move(copy);
  return true;
}

bool DIBHalftoneDIB(BildRec& out, const BildRec& src) {
  if (!dib::usable(src)) return DIBHalftoneDIBXY(out, src, 0, 0);
  return DIBHalftoneDIBXY(out, src, src.width(), dib::rowCount(src));
}

}  // namespace paginor
