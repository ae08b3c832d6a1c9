// The picture library: making pictures, pixel access, every codec against files written here
// independently of the library, and damaged input.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>
#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/pictures/dib.h"
#include "support/test_support.h"

namespace paginor {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t Rgb(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}
int Ch(uint32_t c, int i) {
  return (c >> (8 * i)) & 255;
}  // 0 red, 1 green, 2 blue
int Diff(uint32_t a, uint32_t b) {
  return std::max({std::abs(Ch(a, 0) - Ch(b, 0)), std::abs(Ch(a, 1) - Ch(b, 1)),
                   std::abs(Ch(a, 2) - Ch(b, 2))});
}
// 0x00BBGGRR as 0x00RRGGBB, the order of a BMP palette entry or pixel read little-endian.
uint32_t Bmp(uint32_t c) {
  return Ch(c, 0) << 16 | Ch(c, 1) << 8 | Ch(c, 2);
}

void Le16(Bytes& v, int x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Le32(Bytes& v, uint32_t x) {
  Le16(v, static_cast<int>(x & 0xFFFF));
  Le16(v, static_cast<int>(x >> 16));
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteFile(const std::string& path, const Bytes& b) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}

// A colourful test pattern.
uint32_t Pattern(int x, int y) {
  return Rgb((x * 40) & 255, (y * 60) & 255, (x * y * 13) & 255);
}

// ---------------------------------------------------------------------------------------------
// Independent writers

// A Windows bitmap with a 40-byte header; `value(x, y)` is the raw pixel value (index or 0xRRGGBB
// for 24/32 bits), y from the top.
Bytes MakeBmp(int w, int h, int bpp, bool topDown, const std::vector<uint32_t>& paletteRgb,
              const std::function<uint32_t(int, int)>& value) {
  int stride = ((w * bpp + 31) / 32) * 4;
  uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(paletteRgb.size());
  Bytes b = {'B', 'M'};
  Le32(b, offset + stride * h);
  Le32(b, 0);
  Le32(b, offset);
  Le32(b, 40);
  Le32(b, w);
  Le32(b, topDown ? -h : h);
  Le16(b, 1);
  Le16(b, bpp);
  for (uint32_t x : {0u, 0u, 2835u, 2835u, static_cast<uint32_t>(paletteRgb.size()), 0u})
    Le32(b, x);
  for (uint32_t c : paletteRgb) Le32(b, c);  // 0x00RRGGBB little-endian is B, G, R, 0
  for (int r = 0; r < h; ++r) {
    int y = topDown ? r : h - 1 - r;
    Bytes row(stride, 0);
    for (int x = 0; x < w; ++x) {
      uint32_t v = value(x, y);
      if (bpp == 1) row[x / 8] |= v << (7 - x % 8);
      if (bpp == 4) row[x / 2] |= v << (x % 2 ? 0 : 4);
      if (bpp == 8) row[x] = static_cast<uint8_t>(v);
      for (int i = 0; i < bpp / 8 && bpp >= 16; ++i) row[x * (bpp / 8) + i] = (v >> (8 * i)) & 255;
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

// PNG through libpng's simplified writer; `pixels` in `format`, top row first.
Bytes MakePng(int w, int h, uint32_t format, const Bytes& pixels, const Bytes& colourMap = {},
              int mapEntries = 0) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  image.format = format;
  image.colormap_entries = mapEntries;
  png_alloc_size_t size = 0;
  const void* map = colourMap.empty() ? nullptr : colourMap.data();
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, map));
  Bytes out(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, map));
  out.resize(size);
  return out;
}

// JPEG through libjpeg; `pixels` has `components` bytes per pixel, top row first.
Bytes MakeJpeg(int w, int h, J_COLOR_SPACE space, int components, const Bytes& pixels,
               bool progressive = false) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = w;
  c.image_height = h;
  c.input_components = components;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(pixels.data()) + c.next_scanline * w * components;
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// LZW as GIF writers do it: codes grow from minCodeSize + 1 to 12 bits; a full table is either
// cleared or kept (a "deferred clear").
Bytes LzwEncode(const Bytes& indexes, int minCodeSize, bool clearWhenFull) {
  Bytes out;
  uint32_t acc = 0;
  int bits = 0;
  auto put = [&](int code, int width) {
    acc |= static_cast<uint32_t>(code) << bits;
    for (bits += width; bits >= 8; bits -= 8, acc >>= 8) out.push_back(acc & 255);
  };
  const int clear = 1 << minCodeSize, end = clear + 1;
  int width = minCodeSize + 1, next = end + 1;
  std::map<std::pair<int, int>, int> table;
  put(clear, width);
  int current = indexes[0];
  for (size_t i = 1; i < indexes.size(); ++i) {
    auto found = table.find({current, indexes[i]});
    if (found != table.end()) {
      current = found->second;
      continue;
    }
    put(current, width);
    if (next < 4096) {
      table[{current, indexes[i]}] = next++;
      if (next > (1 << width) && width < 12) ++width;
    } else if (clearWhenFull) {
      put(clear, width);
      table.clear();
      width = minCodeSize + 1;
      next = end + 1;
    }
    current = indexes[i];
  }
  put(current, width);
  put(end, width);
  if (bits > 0) out.push_back(acc & 255);
  return out;
}

struct GifLayout {
  int screenW = 0, screenH = 0, left = 0, top = 0, w = 0, h = 0;
  std::vector<uint32_t> paletteRgb;  // 2, 4, ..., 256 entries
  int transparent = -1;
  bool interlaced = false;
  int minCodeSize = 8;
  bool clearWhenFull = true;
};

Bytes MakeGif(const GifLayout& s, const Bytes& indexes /* frame rows, top first */) {
  Bytes order;
  for (int pass = 0; pass < (s.interlaced ? 4 : 1); ++pass) {
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int r = s.interlaced ? start[pass] : 0; r < s.h; r += s.interlaced ? step[pass] : 1) {
      order.insert(order.end(), indexes.begin() + r * s.w, indexes.begin() + (r + 1) * s.w);
    }
  }
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  Le16(b, s.screenW);
  Le16(b, s.screenH);
  int sizeBits = 0;
  while ((2 << sizeBits) < static_cast<int>(s.paletteRgb.size())) ++sizeBits;
  b.insert(b.end(), {static_cast<uint8_t>(0x80 | sizeBits), 0, 0});
  for (uint32_t c : s.paletteRgb)
    b.insert(b.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
  if (s.transparent >= 0) b.insert(b.end(), {0x21, 0xF9, 4, 1, 0, 0, uint8_t(s.transparent), 0});
  b.push_back(0x2C);
  for (int v : {s.left, s.top, s.w, s.h}) Le16(b, v);
  b.push_back(s.interlaced ? 0x40 : 0);
  b.push_back(static_cast<uint8_t>(s.minCodeSize));
  Bytes data = LzwEncode(order, s.minCodeSize, s.clearWhenFull);
  for (size_t at = 0; at < data.size(); at += 255) {
    size_t n = std::min<size_t>(255, data.size() - at);
    b.push_back(static_cast<uint8_t>(n));
    b.insert(b.end(), data.begin() + at, data.begin() + at + n);
  }
  b.insert(b.end(), {0, 0x3B});
  return b;
}

// A GIF of another writer (24 x 20, interlaced, 8 colours, index 7 transparent; pixel index
// ((x * 37 + y * 91) ^ (x * y)) % 8), kept as its bytes.
const Bytes& ForeignGif() {
  static const char* kHex =
      "47494638396118001400820000000000ff000000ff000000ffffff0000ffffff00ff80402021f90401000007"
      "002c00000000180014004008c100011410708040000303041234885061c18309073e6c289161c485101d5ad4"
      "98b1224402050c1c001040c0009022499a4439b2e4c9902d57c254f932a54b0301080c105000c0019c3a79fa"
      "04bab3e7010101000c305080c0d1a44b9b3e55cad42951a13f73161daa152b52aa52bf46752ab66ad6a046af"
      "a6ed6a7440800301dcc2951bf76dddb97603142810402f5fbf7df706fe2b18afe1bb88e9ba150cb831e3c77f"
      "15db957c98ae63c298076bae3cb93367c89a2f87a69cd83362d1a8410704003b";
  static const Bytes kGif = [] {
    Bytes b;
    for (const char* p = kHex; *p; p += 2) b.push_back(std::stoi(std::string(p, 2), nullptr, 16));
    return b;
  }();
  return kGif;
}

// Small files of every format and variant, for the damage tests.
Bytes RgbPixels(int w, int h) {
  Bytes p;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c = Pattern(x, y);
      p.insert(p.end(), {uint8_t(Ch(c, 0)), uint8_t(Ch(c, 1)), uint8_t(Ch(c, 2))});
    }
  }
  return p;
}
Bytes SampleBmp8() {
  std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  return MakeBmp(9, 7, 8, false, palette, [](int x, int y) { return (x + y) % 5; });
}
Bytes SampleBmp24() {
  return MakeBmp(9, 7, 24, false, {}, [](int x, int y) { return Bmp(Pattern(x, y)); });
}
Bytes SampleRle8() {
  Bytes rle8 = MakeBmp(4, 3, 8, false, {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF},
                       [](int, int) { return 0u; });
  rle8.resize(54 + 16);
  rle8[30] = 1;
  for (uint8_t b : {2, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 0, 1, 3, 0, 1}) rle8.push_back(b);
  return rle8;
}
Bytes SamplePng() {
  return MakePng(10, 8, PNG_FORMAT_RGB, RgbPixels(10, 8));
}
Bytes SampleJpeg(bool progressive) {
  return MakeJpeg(24, 16, JCS_RGB, 3, RgbPixels(24, 16), progressive);
}

// A read picture must hold consistent pixels; a refused one none, and a message.
void ExpectSound(const BildRec& rec, bool ok, const std::string& what) {
  if (ok) {
    ASSERT_NE(rec.bits(), nullptr) << what;
    EXPECT_TRUE(rec.errorText.empty()) << what;
    EXPECT_GE(rec.pixels.size(), size_t(rec.stride) * std::abs(rec.height())) << what;
  } else {
    EXPECT_FALSE(rec.hasBits()) << what;
    EXPECT_GE(rec.errorText.size(), 6u) << what;
  }
}

// ---------------------------------------------------------------------------------------------

TEST(PicturesNewDib, HeaderStrideTableAndZeroedPixels) {
  for (int bpp : {1, 4, 8, 24, 32}) {
    BildRec rec;
    ASSERT_TRUE(newdib(rec, 13, 5, bpp, nullptr, 0)) << bpp;
    int32_t stride = ((13 * bpp + 31) / 32) * 4;
    int32_t colours = bpp <= 8 ? 1 << bpp : 0;
    EXPECT_EQ(rec.stride, stride);
    EXPECT_EQ(rec.pixels.size(), size_t(stride) * 5);
    EXPECT_EQ(std::count(rec.pixels.begin(), rec.pixels.end(), 0), stride * 5);
    ASSERT_EQ(rec.info.size(), 40u + 4 * colours);
    auto u32 = [&](int at) {
      return rec.info[at] | rec.info[at + 1] << 8 | rec.info[at + 2] << 16;
    };
    EXPECT_EQ(u32(0), 40);
    EXPECT_EQ(rec.width(), 13);
    EXPECT_EQ(rec.height(), 5);
    EXPECT_EQ(rec.info[12], 1);  // planes
    EXPECT_EQ(rec.bitsPerPixel(), bpp);
    EXPECT_EQ(u32(16), 0);  // no compression
    EXPECT_EQ(u32(20), stride * 5);
    EXPECT_EQ(u32(32), colours);
    EXPECT_EQ(rec.colourCount(), colours);
  }
  // The first `colourCount` entries come from the source header's table.
  BildRec source;
  ASSERT_TRUE(newdib(source, 2, 2, 8, nullptr, 0));
  for (int i = 0; i < 3; ++i) source.info[40 + 4 * i + 2] = static_cast<uint8_t>(200 + i);  // red
  BildRec copy;
  ASSERT_TRUE(newdib(copy, 4, 4, 8, source.info.data(), 2));
  EXPECT_EQ(copy.info[40 + 2], 200);
  EXPECT_EQ(copy.info[44 + 2], 201);
  EXPECT_EQ(copy.info[48 + 2], 2);  // not copied: the grey ramp's entry 2
}

TEST(PicturesNewDib, RefusesAbsurdSizesAndDepthsBeforeAllocating) {
  struct Case {
    int w, h, bpp;
  } cases[] = {{0, 10, 24},       {10, 0, 24},        {-5, 5, 8},    {32768, 1, 1}, {1, 32768, 1},
               {32767, 32767, 8}, {20000, 20000, 32}, {100, 100, 3}, {100, 100, 0}};
  for (const Case& c : cases) {
    BildRec rec;
    ASSERT_TRUE(newdib(rec, 8, 8, 24, nullptr, 0));
    EXPECT_FALSE(newdib(rec, c.w, c.h, c.bpp, nullptr, 0)) << c.w << "x" << c.h << "x" << c.bpp;
    EXPECT_TRUE(rec.info.empty() && rec.pixels.empty() && rec.pixels.capacity() == 0);
    EXPECT_EQ(rec.bits(), nullptr);
    EXPECT_GE(rec.errorText.size(), 6u);
  }
  BildRec rec;
  EXPECT_TRUE(newdib(rec, kDibMaxSide, 1, 32, nullptr, 0));
  deldib(rec);
  EXPECT_TRUE(rec.info.empty() && rec.pixels.empty());
  EXPECT_EQ(rec.stride, 0);
}

TEST(PicturesPixels, TopRowIsYZeroAndRangeIsChecked) {
  for (int bpp : {24, 32}) {
    BildRec rec;
    ASSERT_TRUE(newdib(rec, 3, 2, bpp, nullptr, 0));
    setpixel(rec, 0, 0, Rgb(255, 0, 0));  // top left: the last row in memory
    setpixel(rec, 2, 1, Rgb(0, 0, 255));  // bottom right: the first row in memory
    const uint8_t* top = rec.bits() + rec.stride;
    EXPECT_EQ(top[0], 0);
    EXPECT_EQ(top[2], 255);  // B, G, R
    EXPECT_EQ(rec.bits()[2 * (bpp / 8)], 255);
    EXPECT_EQ(getpixel(rec, 0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(getpixel(rec, 2, 1), Rgb(0, 0, 255));
    Bytes before = rec.pixels;
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}}) {
      setpixel(rec, x, y, Rgb(9, 9, 9));
      EXPECT_EQ(getpixel(rec, x, y), 0u);
    }
    EXPECT_EQ(rec.pixels, before);
  }
  // Palette pictures: the nearest entry is stored, its colour read back; nibbles and bits in
  // their places.
  BildRec one;
  ASSERT_TRUE(newdib(one, 10, 1, 1, nullptr, 0));  // grey ramp: black, white
  setpixel(one, 9, 0, Rgb(200, 210, 190));
  setpixel(one, 8, 0, Rgb(40, 30, 50));
  EXPECT_EQ(one.bits()[1], 0x40);
  EXPECT_EQ(getpixel(one, 9, 0), Rgb(255, 255, 255));
  EXPECT_EQ(getpixel(one, 8, 0), 0u);
  BildRec four;
  ASSERT_TRUE(newdib(four, 3, 1, 4, nullptr, 0));  // 16 greys, 17 apart
  setpixel(four, 0, 0, Rgb(34, 34, 34));
  setpixel(four, 1, 0, Rgb(250, 250, 250));
  EXPECT_EQ(four.bits()[0], 0x2F);
  EXPECT_EQ(getpixel(four, 1, 0), Rgb(255, 255, 255));
  EXPECT_EQ(getpixel(BildRec{}, 0, 0), 0u);
}

TEST(PicturesBmp, EveryDepthBothOrientations) {
  for (int bpp : {1, 4, 8, 24, 32}) {
    for (bool topDown : {false, true}) {
      std::vector<uint32_t> palette;
      int colours = bpp <= 8 ? 1 << bpp : 0;
      for (int i = 0; i < colours; ++i) palette.push_back((i * 0x3F1D07u + 0x102030u) & 0xFFFFFF);
      auto value = [&](int x, int y) -> uint32_t {
        return bpp <= 8 ? (x * 3 + y * 5) % colours : Bmp(Pattern(x, y));
      };
      Bytes file = MakeBmp(11, 6, bpp, topDown, palette, value);
      BildRec rec;
      ASSERT_TRUE(OpenDibFromMemory(rec, file.data(), file.size(), kDibAuto)) << rec.errorText;
      EXPECT_EQ(rec.bitsPerPixel(), bpp);
      EXPECT_EQ(rec.height(), 6);
      for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 11; ++x) {
          uint32_t v = value(x, y);
          ASSERT_EQ(Bmp(getpixel(rec, x, y)), bpp <= 8 ? palette[v] : v)
              << bpp << (topDown ? " top-down " : " ") << x << "," << y;
        }
      }
      // Our own writer gives back the same picture.
      Bytes again;
      ASSERT_TRUE(EncodeBmp(rec, again));
      BildRec back;
      ASSERT_TRUE(OpenDibFromMemory(back, again.data(), again.size(), kDibBmp));
      EXPECT_EQ(back.pixels, rec.pixels);
      EXPECT_EQ(back.info, rec.info);
    }
  }
}

TEST(PicturesBmp, BitFieldsRunLengthCoreAndBareHeaders) {
  // 16 bits, 5-6-5 fields: becomes 24 bits.
  Bytes file = MakeBmp(2, 1, 16, false, {}, [](int x, int) { return x ? 0xF800u : 0x07E0u; });
  file[14 + 16] = 3;  // BI_BITFIELDS, masks after the header
  Bytes masks;
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Le32(masks, m);
  file.insert(file.begin() + 54, masks.begin(), masks.end());
  file[10] += 12;
  BildRec rec;
  ASSERT_TRUE(OpenDibFromMemory(rec, file.data(), file.size(), kDibAuto)) << rec.errorText;
  EXPECT_EQ(rec.bitsPerPixel(), 24);
  EXPECT_EQ(getpixel(rec, 0, 0), Rgb(0, 255, 0));
  EXPECT_EQ(getpixel(rec, 1, 0), Rgb(255, 0, 0));

  // RLE8: a run, an absolute run, end of line, a delta, a run, end of bitmap; 4 x 3 picture.
  Bytes rle8 = SampleRle8();
  std::vector<uint32_t> palette = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};
  ASSERT_TRUE(OpenDibFromMemory(rec, rle8.data(), rle8.size(), kDibAuto)) << rec.errorText;
  const uint32_t W = Rgb(255, 255, 255), R = Rgb(255, 0, 0), G = Rgb(0, 255, 0), B = Rgb(0, 0, 255);
  std::vector<std::vector<uint32_t>> expected = {{W, W, W, W}, {W, W, B, W}, {R, R, G, B}};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(getpixel(rec, x, y), expected[y][x]) << x << "," << y;
  }
  // RLE4: a run alternating two indexes, then an absolute run of three.
  Bytes rle4 = MakeBmp(5, 1, 4, false, palette, [](int, int) { return 0u; });
  rle4.resize(54 + 16);
  rle4[28] = 4;
  rle4[30] = 2;
  for (uint8_t b : {2, 0x12, 0, 3, 0x32, 0x10, 0, 1}) rle4.push_back(b);
  ASSERT_TRUE(OpenDibFromMemory(rec, rle4.data(), rle4.size(), kDibAuto)) << rec.errorText;
  for (int x = 0; x < 5; ++x) EXPECT_EQ(getpixel(rec, x, 0), (std::vector{R, G, B, G, R})[x]);

  // OS/2 core header with a 3-byte palette, and a bare header without "BM" (format given).
  Bytes core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0, 12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0};
  for (uint8_t b : {0, 0, 255, 255, 0, 0, 0x40, 0, 0, 0}) core.push_back(b);  // red, blue; row 01
  ASSERT_TRUE(OpenDibFromMemory(rec, core.data(), core.size(), kDibAuto)) << rec.errorText;
  EXPECT_EQ(getpixel(rec, 0, 0), R);
  EXPECT_EQ(getpixel(rec, 1, 0), B);
  Bytes bare(file.begin() + 14, file.end());
  EXPECT_FALSE(OpenDibFromMemory(rec, bare.data(), bare.size(), kDibAuto));
  EXPECT_EQ(rec.errorText, "Unbekanntes Grafikformat.");
  ASSERT_TRUE(OpenDibFromMemory(rec, bare.data(), bare.size(), kDibBmp)) << rec.errorText;
  EXPECT_EQ(getpixel(rec, 1, 0), Rgb(255, 0, 0));
}

TEST(PicturesPng, ColourGreyAlphaAndPalette) {
  BildRec rec;
  Bytes rgb = SamplePng();
  ASSERT_TRUE(OpenDibFromMemory(rec, rgb.data(), rgb.size(), kDibPng)) << rec.errorText;
  EXPECT_EQ(rec.bitsPerPixel(), 24);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) ASSERT_EQ(getpixel(rec, x, y), Pattern(x, y)) << x << "," << y;
  }
  Bytes grey = MakePng(3, 1, PNG_FORMAT_GRAY, {0, 100, 255});
  ASSERT_TRUE(OpenDibFromMemory(rec, grey.data(), grey.size(), kDibAuto));
  EXPECT_EQ(getpixel(rec, 1, 0), Rgb(100, 100, 100));
  // Transparency is composited over white.
  Bytes rgba = MakePng(3, 1, PNG_FORMAT_RGBA, {255, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 128});
  ASSERT_TRUE(OpenDibFromMemory(rec, rgba.data(), rgba.size(), kDibAuto));
  EXPECT_EQ(getpixel(rec, 0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(getpixel(rec, 1, 0), Rgb(0, 0, 255));
  EXPECT_LE(Diff(getpixel(rec, 2, 0), Rgb(127, 127, 127)), 8);
  // A palette picture stays 8-bit with its table; a transparent entry becomes white.
  Bytes map = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 10, 20, 30, 0, 50, 60, 70, 255};
  Bytes indexes = {0, 1, 2, 3, 4, 4, 3, 2, 1, 0};
  Bytes pal = MakePng(5, 2, PNG_FORMAT_RGBA_COLORMAP, indexes, map, 5);
  ASSERT_TRUE(OpenDibFromMemory(rec, pal.data(), pal.size(), kDibAuto)) << rec.errorText;
  EXPECT_EQ(rec.bitsPerPixel(), 8);
  const uint32_t colours[5] = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(255, 255, 255),
                               Rgb(50, 60, 70)};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(getpixel(rec, i % 5, i / 5), colours[indexes[i]]) << i;
}

TEST(PicturesJpeg, EncodesAndDecodesEveryColourSpace) {
  BildRec rec;
  ASSERT_TRUE(newdib(rec, 40, 30, 24, nullptr, 0));
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) setpixel(rec, x, y, Rgb(x * 6, y * 8, 128));
  }
  Bytes jpeg;
  ASSERT_TRUE(EncodeJpeg(rec, jpeg));
  ASSERT_GE(jpeg.size(), 4u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  BildRec back;
  ASSERT_TRUE(OpenDibFromMemory(back, jpeg.data(), jpeg.size(), kDibJpeg)) << back.errorText;
  ASSERT_EQ(back.width(), 40);
  ASSERT_EQ(back.height(), 30);
  long total = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) total += Diff(getpixel(back, x, y), getpixel(rec, x, y));
  }
  EXPECT_LT(total / (40 * 30), 4);
  // Quality reaches the encoder.
  Bytes low, high;
  ASSERT_TRUE(EncodeJpeg(rec, low, 10) && EncodeJpeg(rec, high, 95));
  EXPECT_LT(low.size(), high.size());
  ASSERT_TRUE(EncodeJpeg(rec, low, 0));
  EXPECT_EQ(low, jpeg);  // 0 asks for the default quality

  // Palette pictures go through their colour table.
  BildRec two;
  ASSERT_TRUE(newdib(two, 16, 16, 1, nullptr, 0));
  for (int x = 8; x < 16; ++x) {
    for (int y = 0; y < 16; ++y) setpixel(two, x, y, Rgb(255, 255, 255));
  }
  two.info[40 + 2] = 255;  // entry 0 becomes red
  ASSERT_TRUE(EncodeJpeg(two, jpeg));
  ASSERT_TRUE(OpenDibFromMemory(back, jpeg.data(), jpeg.size(), kDibAuto));
  EXPECT_LE(Diff(getpixel(back, 2, 8), Rgb(255, 0, 0)), 24);
  EXPECT_LE(Diff(getpixel(back, 13, 8), Rgb(255, 255, 255)), 24);

  // Greyscale, progressive and CMYK files of libjpeg. Adobe CMYK is stored inverted: pure red
  // is C 0, M 100 %, Y 100 %, K 0, written as 255, 0, 0, 255.
  Bytes greyFile = MakeJpeg(8, 8, JCS_GRAYSCALE, 1, Bytes(64, 90));
  ASSERT_TRUE(OpenDibFromMemory(back, greyFile.data(), greyFile.size(), kDibAuto));
  EXPECT_LE(Diff(getpixel(back, 4, 4), Rgb(90, 90, 90)), 2);
  Bytes progressive = SampleJpeg(true);
  ASSERT_TRUE(OpenDibFromMemory(back, progressive.data(), progressive.size(), kDibAuto));
  EXPECT_LE(Diff(getpixel(back, 20, 10), Pattern(20, 10)), 60);
  Bytes cmyk;
  for (int i = 0; i < 64; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
  Bytes cmykFile = MakeJpeg(8, 8, JCS_CMYK, 4, cmyk);
  ASSERT_TRUE(OpenDibFromMemory(back, cmykFile.data(), cmykFile.size(), kDibAuto));
  EXPECT_EQ(back.bitsPerPixel(), 24);
  EXPECT_LE(Diff(getpixel(back, 3, 3), Rgb(255, 0, 0)), 4);
}

TEST(PicturesJpeg, SaveDibReplacesOnlyWhenComplete) {
  std::string dir = test::TempDir("pictures_save");
  std::string path = dir + "/bild.jpg";
  BildRec rec;
  ASSERT_TRUE(newdib(rec, 20, 10, 8, nullptr, 0));
  setpixel(rec, 5, 5, Rgb(255, 255, 255));
  WriteFile(path, {'a', 'l', 't'});
  EXPECT_EQ(SaveDib(BildRec{}, path, kDibJpeg), 0);  // nothing to write: the old file stays
  EXPECT_EQ(ReadFile(path), (Bytes{'a', 'l', 't'}));
  ASSERT_EQ(SaveDib(rec, path, kDibJpeg), 1);
  Bytes written = ReadFile(path);
  ASSERT_GE(written.size(), 2u);
  EXPECT_EQ(written[0], 0xFF);
  EXPECT_EQ(written[1], 0xD8);
  BildRec back;
  ASSERT_TRUE(OpenDib(back, path, kDibAuto)) << back.errorText;
  EXPECT_EQ(back.width(), 20);
  EXPECT_EQ(SaveDib(rec, dir + "/fehlt/bild.jpg", kDibJpeg), 0);
  EXPECT_EQ(SaveDib(rec, path, kDibPng), 0);  // PNG is read, never written
  EXPECT_TRUE(SaveBmp(rec, dir + "/bild.bmp"));
  ASSERT_TRUE(OpenDib(back, dir + "/bild.bmp", kDibAuto));
  EXPECT_EQ(back.pixels, rec.pixels);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);  // no leftovers
}

TEST(PicturesGif, ForeignFileInterlacedWithTransparency) {
  const Bytes& gif = ForeignGif();
  BildRec rec;
  ASSERT_TRUE(OpenDibFromMemory(rec, gif.data(), gif.size(), kDibAuto)) << rec.errorText;
  EXPECT_EQ(rec.bitsPerPixel(), 8);
  ASSERT_EQ(rec.width(), 24);
  ASSERT_EQ(rec.height(), 20);
  const uint32_t colours[8] = {Rgb(0, 0, 0),     Rgb(255, 0, 0),    Rgb(0, 255, 0),
                               Rgb(0, 0, 255),   Rgb(255, 255, 0),  Rgb(0, 255, 255),
                               Rgb(255, 0, 255), Rgb(255, 255, 255)};  // 7 is transparent
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 24; ++x) {
      ASSERT_EQ(getpixel(rec, x, y), colours[((x * 37 + y * 91) ^ (x * y)) % 8]) << x << "," << y;
    }
  }
}

TEST(PicturesGif, FullCodeTablesSmallCodesAndFrameOnCanvas) {
  std::vector<uint32_t> palette;  // 0xRRGGBB
  for (uint32_t i = 0; i < 16; ++i)
    palette.push_back((i * 15) << 16 | (i * 7) << 8 | (255 - i * 9));
  GifLayout layout;
  layout.w = layout.screenW = 300;
  layout.h = layout.screenH = 40;
  layout.paletteRgb = palette;
  layout.minCodeSize = 4;
  Bytes indexes(300 * 40);
  uint32_t seed = 12345;
  for (auto& i : indexes) i = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 28);
  for (bool clearWhenFull : {true, false}) {
    for (bool interlaced : {false, true}) {
      layout.clearWhenFull = clearWhenFull;
      layout.interlaced = interlaced;
      Bytes gif = MakeGif(layout, indexes);
      BildRec rec;
      ASSERT_TRUE(OpenDibFromMemory(rec, gif.data(), gif.size(), kDibGif)) << rec.errorText;
      for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 300; ++x) {
          ASSERT_EQ(Bmp(getpixel(rec, x, y)), palette[indexes[y * 300 + x]])
              << x << "," << y << (clearWhenFull ? " clear" : " deferred");
        }
      }
    }
  }
  // Two-colour frame at (3, 2) on a 10 x 6 canvas: the canvas shows white.
  GifLayout small{10, 6, 3, 2, 4, 2, {0x000000, 0xFF0000}, -1, false, 2};
  Bytes gif = MakeGif(small, {0, 1, 1, 0, 1, 1, 0, 0});
  BildRec rec;
  ASSERT_TRUE(OpenDibFromMemory(rec, gif.data(), gif.size(), kDibAuto)) << rec.errorText;
  EXPECT_EQ(rec.width(), 10);
  EXPECT_EQ(getpixel(rec, 0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(getpixel(rec, 3, 2), Rgb(0, 0, 0));
  EXPECT_EQ(getpixel(rec, 4, 2), Rgb(255, 0, 0));
  EXPECT_EQ(getpixel(rec, 6, 3), Rgb(0, 0, 0));
  EXPECT_EQ(getpixel(rec, 7, 3), Rgb(255, 255, 255));
}

TEST(PicturesFiles, ContentDecidesAndMessagesNameTheFile) {
  std::string dir = test::TempDir("pictures_files");
  WriteFile(dir + "/bild.jpg", SamplePng());
  WriteFile(dir + "/bild.bmp", ForeignGif());
  WriteFile(dir + "/leer.png", {});
  WriteFile(dir + "/text.png", {'H', 'a', 'l', 'l', 'o'});
  BildRec rec;
  EXPECT_TRUE(OpenDib(rec, dir + "/bild.jpg", kDibAuto)) << rec.errorText;
  EXPECT_TRUE(OpenDib(rec, dir + "/bild.jpg", kDibJpeg)) << rec.errorText;
  EXPECT_TRUE(OpenDib(rec, dir + "/bild.bmp", kDibAuto)) << rec.errorText;
  EXPECT_EQ(rec.bitsPerPixel(), 8);
  EXPECT_FALSE(OpenDib(rec, dir + "/fehlt.png", kDibAuto));
  EXPECT_EQ(rec.errorText, "Konnte Datei fehlt.png nicht öffnen!");
  EXPECT_FALSE(OpenDib(rec, dir, kDibAuto));
  EXPECT_FALSE(OpenDib(rec, dir + "/leer.png", kDibAuto));
  EXPECT_EQ(rec.errorText, "Die Datei leer.png ist leer.");
  EXPECT_FALSE(OpenDib(rec, dir + "/text.png", kDibAuto));
  EXPECT_EQ(rec.errorText, "Unbekanntes Grafikformat.");
  EXPECT_FALSE(OpenDib(rec, dir + "/text.png", kDibPng));
  EXPECT_EQ(rec.errorText, "Die Datei text.png ist beschädigt.");
  EXPECT_FALSE(rec.hasBits());

  std::string filter = GetDIBOpenFilter();
  EXPECT_EQ(filter.rfind("Alle Grafikdateien (*.bmp;*.jpg;*.jpeg;*.png;*.gif)|", 0), 0u);
  EXPECT_EQ(std::count(filter.begin(), filter.end(), '|'), 9);
  for (const char* ext : {"|*.bmp|", "|*.jpg;*.jpeg|", "|*.png|", "|*.gif"}) {
    EXPECT_NE(filter.find(ext), std::string::npos) << ext;
  }
}

TEST(PicturesDamaged, EveryTruncationAndManyCorruptionsAreReadOrRefused) {
  Bytes gif = ForeignGif();
  GifLayout layout{16, 16, 0, 0, 16, 16, {0, 0xFFFFFF, 0xFF0000, 0x00FF00}, -1, true, 2};
  Bytes ownGif = MakeGif(layout, Bytes(256, 2));
  struct Sample {
    const char* name;
    Bytes file;
    size_t mayLack;  // bytes a file may lack at its end and still be read
  } samples[] = {    // A BMP may lack the last row's padding, a PNG its end chunk, a JPEG its end
                 // marker, a GIF its trailer and block end: no pixel is lost.
                 {"bmp8", SampleBmp8(), 3},
                 {"bmp24", SampleBmp24(), 1},
                 {"rle8", SampleRle8(), 0},
                 {"png", SamplePng(), 12},
                 {"jpeg", SampleJpeg(false), 2},
                 {"progressive", SampleJpeg(true), 2},
                 {"gif", gif, 3},
                 {"own gif", ownGif, 3}};
  for (const Sample& s : samples) {
    BildRec rec;
    ASSERT_TRUE(OpenDibFromMemory(rec, s.file.data(), s.file.size(), kDibAuto)) << s.name;
    for (size_t cut = 0; cut < s.file.size(); ++cut) {
      bool ok = OpenDibFromMemory(rec, s.file.data(), cut, kDibAuto);
      ExpectSound(rec, ok, std::string(s.name) + " cut at " + std::to_string(cut));
      if (cut + s.mayLack < s.file.size()) {
        EXPECT_FALSE(ok) << s.name << " cut at " << cut;
      }
    }
    for (size_t at = 0; at < s.file.size(); ++at) {
      for (uint8_t mode = 0; mode < 3; ++mode) {
        Bytes bad = s.file;
        bad[at] = mode == 0 ? ~bad[at] : (mode == 1 ? 0 : bad[at] + 1);
        bool ok = OpenDibFromMemory(rec, bad.data(), bad.size(), kDibAuto);
        ExpectSound(rec, ok, std::string(s.name) + " changed at " + std::to_string(at));
      }
    }
  }
}

TEST(PicturesDamaged, HugeClaimsAreRefusedWithoutAllocating) {
  auto peakKb = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
  };
  long before = peakKb();
  std::vector<Bytes> files;
  // Uncompressed BMP of 20000 x 20000 at 8 bits (381 MiB) in a few hundred bytes.
  Bytes bmp = SampleBmp8();
  for (int i = 0; i < 2; ++i) std::memcpy(&bmp[18 + 4 * i], "\x20\x4e\x00\x00", 4);
  files.push_back(bmp);
  // PNG of 30000 x 5000 (429 MiB) with a correct header checksum.
  Bytes png = SamplePng();
  std::memcpy(&png[16], "\x00\x00\x75\x30\x00\x00\x13\x88", 8);
  uint32_t crc = static_cast<uint32_t>(crc32(0, &png[12], 17));
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  files.push_back(png);
  // JPEG and GIF beyond the size limit.
  Bytes jpeg = SampleJpeg(false);
  for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) std::memcpy(&jpeg[i + 5], "\x7f\xff\x7f\xff", 4);
  }
  files.push_back(jpeg);
  Bytes gif = ForeignGif();
  std::memcpy(&gif[6], "\xff\x7f\xff\x7f", 4);
  std::memcpy(&gif[0x32], "\xff\x7f\xff\x7f", 4);
  files.push_back(gif);
  for (const Bytes& f : files) {
    BildRec rec;
    EXPECT_FALSE(OpenDibFromMemory(rec, f.data(), f.size(), kDibAuto));
    EXPECT_GE(rec.errorText.size(), 6u);
  }
  EXPECT_LT(peakKb() - before, 64 * 1024);
}

TEST(PicturesHalftone, FixedPaletteDitherAndScaling) {
  BildRec src;
  ASSERT_TRUE(newdib(src, 32, 16, 24, nullptr, 0));
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) {
      setpixel(src, x, y, x < 16 ? Rgb(255, 0, 0) : (y < 8 ? Rgb(100, 150, 200) : Rgb(77, 77, 77)));
    }
  }
  BildRec out;
  ASSERT_TRUE(DIBHalftoneDIB(out, src));
  EXPECT_EQ(out.width(), 32);
  EXPECT_EQ(out.height(), 16);
  EXPECT_EQ(out.bitsPerPixel(), 8);
  EXPECT_EQ(out.info.size(), 40u + 1024);
  EXPECT_EQ(out.info[40 + 4 * 180 + 2], 255);  // cube entry of pure red
  EXPECT_EQ(getpixel(out, 3, 3), Rgb(255, 0, 0));
  // Over each 8 x 8 tile the dithered colours average to the source colour.
  for (auto [top, colour] : {std::pair{0, Rgb(100, 150, 200)}, {8, Rgb(77, 77, 77)}}) {
    int sum[3] = {0, 0, 0};
    for (int y = top; y < top + 8; ++y) {
      for (int x = 16; x < 24; ++x) {
        uint32_t c = getpixel(out, x, y);
        for (int i = 0; i < 3; ++i) sum[i] += Ch(c, i);
      }
    }
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(sum[i] / 64.0, Ch(colour, i), 4) << i;
  }
  // Grey stays between neighbouring greys instead of the cube's coarse steps.
  for (int x = 16; x < 24; ++x) EXPECT_LE(Diff(getpixel(out, x, 12), Rgb(77, 77, 77)), 7) << x;
  // Scaled: halves stay halves.
  ASSERT_TRUE(DIBHalftoneDIBXY(out, src, 8, 3));
  EXPECT_EQ(out.width(), 8);
  EXPECT_EQ(out.height(), 3);
  EXPECT_EQ(getpixel(out, 3, 2), Rgb(255, 0, 0));
  EXPECT_NE(getpixel(out, 4, 0), Rgb(255, 0, 0));
  // Palette sources work too; an empty source is refused with a message.
  BildRec grey;
  ASSERT_TRUE(newdib(grey, 4, 4, 4, nullptr, 0));
  ASSERT_TRUE(DIBHalftoneDIB(out, grey));
  EXPECT_EQ(getpixel(out, 0, 0), 0u);
  EXPECT_FALSE(DIBHalftoneDIBXY(out, BildRec{}, 4, 4));
  EXPECT_GE(out.errorText.size(), 6u);
  EXPECT_FALSE(DIBHalftoneDIBXY(out, src, 0, 4));
}

}  // namespace
}  // namespace paginor
