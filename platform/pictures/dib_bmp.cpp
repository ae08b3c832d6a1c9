// Windows and OS/2 bitmaps: reading (with or without file header) and writing.
#include <algorithm>
#include <cstring>

#include "platform/pictures/dib.h"
#include "platform/pictures/dib_internal.h"

namespace paginor::dib {

namespace {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

struct BmpInfo {
  size_t base = 0;  // offset of the information header (14 after a file header)
  bool fileHeader = false;
  uint32_t dataOffset = 0;  // from the file header; 0 when absent
  uint32_t headerSize = 0;
  int64_t width = 0, height = 0;
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = kRgb;
  uint32_t coloursUsed = 0;
  int64_t xPerMetre = 0, yPerMetre = 0;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue
  size_t paletteOffset = 0;
  size_t paletteEntrySize = 4;
};

// One channel of a bit-field pixel, scaled to 0..255.
struct Channel {
  int shift = 0;
  uint32_t max = 0;
  explicit Channel(uint32_t mask) {
    if (mask == 0) return;
    while (!(mask & 1)) {
      mask >>= 1;
      ++shift;
    }
    max = mask;
  }
  uint8_t operator()(uint32_t pixel) const {
    if (max == 0) return 0;
    uint64_t v = (pixel >> shift) & max;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }
};

// Reads the headers; false with rec.errorText on anything impossible.
bool readInfo(BildRec& rec, const uint8_t* d, size_t size, const std::string& name, BmpInfo& bi) {
  if (size >= 2 && d[0] == 'B' && d[1] == 'M') {
    if (size < 18) return rec.errorText = damagedText(name), false;
    bi.fileHeader = true;
    bi.dataOffset = le32(d + 10);
    bi.base = 14;
  }
  const uint8_t* h = d + bi.base;
  if (size < bi.base + 4) return rec.errorText = damagedText(name), false;
  bi.headerSize = le32(h);
  uint32_t hs = bi.headerSize;
  if (hs != 12 && hs != 16 && hs != 40 && hs != 52 && hs != 56 && hs != 64 && hs != 108 &&
      hs != 124) {
    return rec.errorText = damagedText(name), false;
  }
  if (size < bi.base + hs) return rec.errorText = damagedText(name), false;
  if (hs == 12) {  // OS/2 1.x core header
    bi.width = le16(h + 4);
    bi.height = le16(h + 6);
    bi.bpp = le16(h + 10);
    bi.paletteEntrySize = 3;
  } else {
    bi.width = static_cast<int32_t>(le32(h + 4));
    bi.height = static_cast<int32_t>(le32(h + 8));
    bi.bpp = le16(h + 14);
    if (hs >= 20) bi.compression = le32(h + 16);
    if (hs >= 32) {
      bi.xPerMetre = static_cast<int32_t>(le32(h + 24));
      bi.yPerMetre = static_cast<int32_t>(le32(h + 28));
    }
    if (hs >= 36) bi.coloursUsed = le32(h + 32);
  }
  if (bi.height < 0) {
    bi.topDown = true;
    bi.height = -bi.height;
  }
  size_t maskBytes = 0;
  if (bi.compression == kBitFields || bi.compression == kAlphaBitFields) {
    if (hs == 64) return rec.errorText = unsupportedText(name, "OS/2-Huffman-Kompression"), false;
    if (hs >= 52) {
      for (int i = 0; i < 3; ++i) bi.masks[i] = le32(h + 40 + 4 * i);
    } else {
      maskBytes = bi.compression == kBitFields ? 12 : 16;
      if (size < bi.base + hs + maskBytes) return rec.errorText = damagedText(name), false;
      for (int i = 0; i < 3; ++i) bi.masks[i] = le32(h + hs + 4 * i);
    }
  }
  bi.paletteOffset = bi.base + hs + maskBytes;
  return true;
}

bool checkVariant(BildRec& rec, const BmpInfo& bi, const std::string& name) {
  int bpp = bi.bpp;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    rec.errorText = unsupportedText(name, "BMP mit " + std::to_string(bpp) + " Bit pro Bildpunkt");
    return false;
  }
  bool fits = (bi.compression == kRgb) || (bi.compression == kRle8 && bpp == 8) ||
              (bi.compression == kRle4 && bpp == 4) ||
              ((bi.compression == kBitFields || bi.compression == kAlphaBitFields) &&
               (bpp == 16 || bpp == 32));
  if (!fits) {
    rec.errorText = unsupportedText(name, "BMP-Kompression " + std::to_string(bi.compression));
    return false;
  }
  if (bi.topDown && (bi.compression == kRle8 || bi.compression == kRle4)) {
    rec.errorText = damagedText(name);  // compressed bitmaps are always stored bottom-up
    return false;
  }
  return true;
}

void putIndex(BildRec& rec, int bpp, int64_t x, int64_t y, int index) {
  if (x < 0 || y < 0 || x >= rec.width() || y >= rec.height()) return;
  uint8_t* row = rec.pixels.data() + y * rec.stride;  // y counts from the bottom here
  if (bpp == 8) {
    row[x] = static_cast<uint8_t>(index);
  } else {
    uint8_t& cell = row[x >> 1];
    cell = (x & 1) ? static_cast<uint8_t>((cell & 0xF0) | (index & 0x0F))
                   : static_cast<uint8_t>((cell & 0x0F) | (index << 4));
  }
}

// RLE8 and RLE4 runs; the record's pixels start zeroed, as skipped pixels stay.
bool decodeRle(BildRec& rec, const uint8_t* d, size_t size, size_t pos, int bpp) {
  int64_t x = 0, y = 0, h = rec.height();
  while (y < h) {
    if (pos + 2 > size) return y >= h - 1;  // a missing end mark after the last row is common
    uint8_t count = d[pos], value = d[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i, ++x) {
        putIndex(rec, bpp, x, y, bpp == 8 ? value : ((i & 1) ? value & 0x0F : value >> 4));
      }
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (pos + 2 > size) return false;
      x += d[pos];
      y += d[pos + 1];
      pos += 2;
    } else {
      size_t bytes = bpp == 8 ? value : (value + 1) / 2;
      if (pos + bytes > size) return false;
      for (int i = 0; i < value; ++i, ++x) {
        uint8_t b = d[pos + (bpp == 8 ? i : i / 2)];
        putIndex(rec, bpp, x, y, bpp == 8 ? b : ((i & 1) ? b & 0x0F : b >> 4));
      }
      pos += bytes + (bytes & 1);  // absolute runs are padded to 16 bits
    }
  }
  return true;
}

void copyRows(BildRec& rec, const BmpInfo& bi, const uint8_t* src, int64_t srcStride) {
  int64_t h = bi.height, w = bi.width;
  Channel red(bi.masks[0]), green(bi.masks[1]), blue(bi.masks[2]);
  bool convert = rec.bitsPerPixel() != bi.bpp;
  for (int64_t r = 0; r < h; ++r) {
    const uint8_t* in = src + r * srcStride;
    uint8_t* out = rec.pixels.data() + (bi.topDown ? h - 1 - r : r) * rec.stride;
    if (!convert) {
      std::memcpy(out, in, static_cast<size_t>((w * bi.bpp + 7) / 8));
      continue;
    }
    for (int64_t x = 0; x < w; ++x) {
      uint32_t px = bi.bpp == 16 ? le16(in + 2 * x) : le32(in + 4 * x);
      out[3 * x] = blue(px);
      out[3 * x + 1] = green(px);
      out[3 * x + 2] = red(px);
    }
  }
}

}  // namespace

bool decodeBmp(BildRec& rec, const uint8_t* d, size_t size, const std::string& name) {
  BmpInfo bi;
  if (!readInfo(rec, d, size, name, bi) || !checkVariant(rec, bi, name)) return false;
  bool bitFields = bi.compression == kBitFields || bi.compression == kAlphaBitFields;
  if (bi.bpp == 16 && !bitFields) {  // plain 16-bit bitmaps are 5-5-5
    bi.masks[0] = 0x7C00;
    bi.masks[1] = 0x03E0;
    bi.masks[2] = 0x001F;
  }
  int outBpp = bi.bpp <= 8 ? bi.bpp : 24;
  if (bi.bpp == 32 &&
      (!bitFields || (bi.masks[0] == 0xFF0000 && bi.masks[1] == 0xFF00 && bi.masks[2] == 0xFF))) {
    outBpp = 32;  // the byte order of our pictures already
  }
  if (!checkSize(rec, bi.width, bi.height, outBpp)) return false;

  // Colour table, cut short where the pixel data begin.
  size_t entries = 0;
  bool offsetValid = bi.fileHeader && bi.dataOffset >= bi.paletteOffset && bi.dataOffset < size;
  if (bi.bpp <= 8) {
    entries = size_t{1} << bi.bpp;
    if (bi.coloursUsed > 0 && bi.coloursUsed < entries) entries = bi.coloursUsed;
    if (offsetValid) {
      entries = std::min(entries, (bi.dataOffset - bi.paletteOffset) / bi.paletteEntrySize);
    }
    if (bi.paletteOffset + entries * bi.paletteEntrySize > size) {
      rec.errorText = damagedText(name);
      return false;
    }
  }
  size_t dataOffset =
      offsetValid ? bi.dataOffset : bi.paletteOffset + entries * bi.paletteEntrySize;

  int64_t srcStride = ((bi.width * bi.bpp + 31) / 32) * 4;
  bool compressed = bi.compression == kRle8 || bi.compression == kRle4;
  // Uncompressed rows must all be there (the last one may lack its padding); checked before
  // the picture is allocated so a short file cannot claim a huge picture.
  if (!compressed &&
      static_cast<int64_t>(dataOffset) + srcStride * (bi.height - 1) + (bi.width * bi.bpp + 7) / 8 >
          static_cast<int64_t>(size)) {
    rec.errorText = damagedText(name);
    return false;
  }
  if (!makePicture(rec, static_cast<int32_t>(bi.width), static_cast<int32_t>(bi.height), outBpp)) {
    return false;
  }
  for (int i = 0; i < rec.colourCount(); ++i) {  // indexes beyond a short table show black
    if (static_cast<size_t>(i) < entries) {
      const uint8_t* e = d + bi.paletteOffset + i * bi.paletteEntrySize;
      setPaletteEntry(rec, i, e[2], e[1], e[0]);
    } else {
      setPaletteEntry(rec, i, 0, 0, 0);
    }
  }
  setResolution(rec, bi.xPerMetre, bi.yPerMetre);
  if (compressed) {
    if (!decodeRle(rec, d, size, dataOffset, bi.bpp)) {
      deldib(rec);
      rec.errorText = damagedText(name);
      return false;
    }
  } else {
    copyRows(rec, bi, d + dataOffset, srcStride);
  }
  return true;
}

}  // namespace paginor::dib

namespace paginor {

bool EncodeBmp(const BildRec& rec, std::vector<uint8_t>& out) {
  out.clear();
  if (!dib::usable(rec)) return false;
  size_t headerBytes = 40 + 4 * static_cast<size_t>(rec.colourCount());
  size_t pixelBytes = static_cast<size_t>(rec.stride) * dib::rowCount(rec);
  size_t total = 14 + headerBytes + pixelBytes;
  if (total > UINT32_MAX) return false;
  out.resize(total);
  out[0] = 'B';
  out[1] = 'M';
  for (int i = 0; i < 4; ++i) {
    out[2 + i] = static_cast<uint8_t>(total >> (8 * i));
    out[10 + i] = static_cast<uint8_t>((14 + headerBytes) >> (8 * i));
  }
  std::memcpy(out.data() + 14, rec.info.data(), headerBytes);
  // Our header size and no compression, whatever the record's header said: the rows go as they lie.
  std::memset(out.data() + 14, 0, 4);
  out[14] = 40;
  std::memset(out.data() + 14 + 16, 0, 4);
  std::memcpy(out.data() + 14 + headerBytes, rec.pixels.data(), pixelBytes);
  return true;
}

}  // namespace paginor
