// PNG through libpng's simplified reader, which keeps its own error recovery: palette pictures
// of up to 256 colours stay 8-bit with a colour table, all others become 24-bit; transparency
// is composited over white.
#include <png.h>

#include <cstring>
#include <vector>

#include "platform/pictures/dib.h"
#include "platform/pictures/dib_internal.h"

namespace paginor::dib {

namespace {

// What the chunk list tells before decoding: the resolution and the compressed data size.
struct PngChunks {
  uint64_t rawBytes = 0;  // filtered rows of a non-interlaced picture; 0 when unknown
  uint64_t idatBytes = 0;
  int64_t xPerMetre = 0, yPerMetre = 0;
};

PngChunks scanChunks(const uint8_t* d, size_t size) {
  PngChunks c;
  size_t pos = 8;
  while (pos + 12 <= size) {
    uint32_t length = be32(d + pos);
    if (length > size - pos - 12) break;
    const uint8_t* type = d + pos + 4;
    const uint8_t* body = d + pos + 8;
    if (std::memcmp(type, "IHDR", 4) == 0 && length == 13) {
      static const uint64_t kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
      uint64_t depth = body[8], colourType = body[9];
      uint64_t channels = colourType < 7 ? kChannels[colourType] : 0;
      c.rawBytes = uint64_t{be32(body + 4)} * ((be32(body) * channels * depth + 7) / 8 + 1);
    }
    if (std::memcmp(type, "IDAT", 4) == 0) c.idatBytes += length;
    if (std::memcmp(type, "pHYs", 4) == 0 && length == 9 && body[8] == 1) {
      c.xPerMetre = be32(body);
      c.yPerMetre = be32(body + 4);
    }
    if (std::memcmp(type, "IEND", 4) == 0) break;
    pos += 12 + length;
  }
  return c;
}

// Deflate expands by at most 1032 to 1: rows that the compressed data cannot hold mean a damaged
// or cut file, refused before the picture is allocated. (Interlaced rows only take more.)
bool dataCanHold(const PngChunks& c) {
  return c.rawBytes <= c.idatBytes * 1032 + 4096;
}

// Frees libpng's state on every way out, exceptions included.
struct ImageGuard {
  png_image& image;
  ~ImageGuard() { png_image_free(&image); }
};

// Over white, in the colour space of the file: what other programs show for the same picture.
uint8_t overWhite(int c, int alpha) {
  return static_cast<uint8_t>((c * alpha + 255 * (255 - alpha) + 127) / 255);
}

bool readPalette(BildRec& rec, png_image& image, bool alpha) {
  image.format = alpha ? PNG_FORMAT_BGRA_COLORMAP : PNG_FORMAT_BGR_COLORMAP;
  uint8_t colourMap[256 * 4] = {};
  // A negative row stride makes libpng store the bottom row first, as our pictures are kept.
  if (!png_image_finish_read(&image, nullptr, rec.pixels.data(), -rec.stride, colourMap)) {
    return false;
  }
  int size = alpha ? 4 : 3;
  for (int i = 0; i < 256; ++i) {
    const uint8_t* c = colourMap + size * i;  // B, G, R (, A)
    int a = alpha ? c[3] : 255;
    if (static_cast<png_uint_32>(i) < image.colormap_entries) {
      setPaletteEntry(rec, i, overWhite(c[2], a), overWhite(c[1], a), overWhite(c[0], a));
    } else {
      setPaletteEntry(rec, i, 0, 0, 0);
    }
  }
  return true;
}

bool readComposited(BildRec& rec, png_image& image) {
  image.format = PNG_FORMAT_BGRA;
  size_t rowBytes = 4 * size_t{image.width};
  std::vector<uint8_t> bgra(rowBytes * image.height);
  if (!png_image_finish_read(&image, nullptr, bgra.data(), 0, nullptr)) return false;
  for (png_uint_32 y = 0; y < image.height; ++y) {
    const uint8_t* in = bgra.data() + y * rowBytes;
    uint8_t* out = rowFromTop(rec, static_cast<int32_t>(y));
    for (png_uint_32 x = 0; x < image.width; ++x, in += 4, out += 3) {
      for (int i = 0; i < 3; ++i) out[i] = overWhite(in[i], in[3]);
    }
  }
  return true;
}

}  // namespace

bool decodePng(BildRec& rec, const uint8_t* data, size_t size, const std::string& name) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ImageGuard guard{image};
  // libpng's English texts are no message for the user: all its failures read "damaged".
  if (!png_image_begin_read_from_memory(&image, data, size)) {
    rec.errorText = damagedText(name);
    return false;
  }
  PngChunks chunks = scanChunks(data, size);
  bool palette = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;  // at most 256 entries
  bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  // Alpha pictures pass through a 32-bit buffer, which must stay within the limits too.
  if (!checkSize(rec, image.width, image.height, palette ? 8 : (alpha ? 32 : 24))) return false;
  if (!dataCanHold(chunks)) {
    rec.errorText = damagedText(name);
    return false;
  }
  auto width = static_cast<int32_t>(image.width), height = static_cast<int32_t>(image.height);
  if (!makePicture(rec, width, height, palette ? 8 : 24)) return false;
  bool ok;
  if (palette) {
    ok = readPalette(rec, image, alpha);
  } else if (alpha) {
    ok = readComposited(rec, image);
  } else {
    image.format = PNG_FORMAT_BGR;
    ok = png_image_finish_read(&image, nullptr, rec.pixels.data(), -rec.stride, nullptr) != 0;
  }
  if (!ok) {
    deldib(rec);
    rec.errorText = damagedText(name);
    return false;
  }
  setResolution(rec, chunks.xPerMetre, chunks.yPerMetre);
  return true;
}

}  // namespace paginor::dib
