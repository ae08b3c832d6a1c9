// Picture records: making and releasing them, pixel access, reading files and the open filter.
#include "platform/pictures/dib.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

#include "platform/pictures/dib_internal.h"

namespace paginor {

namespace dib {

namespace {

// Larger files are refused before reading: no picture the library accepts needs more.
constexpr uintmax_t kMaxFileBytes = uintmax_t{256} << 20;

void putLe32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

bool supportedDepth(int bpp) {
  return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

int64_t strideFor(int64_t width, int bpp) {
  return ((width * bpp + 31) / 32) * 4;
}

}  // namespace

std::string damagedText(const std::string& name) {
  if (name.empty()) return "Die Grafikdaten sind beschädigt.";
  return "Die Datei " + name + " ist beschädigt.";
}

std::string unsupportedText(const std::string& name, const std::string& what) {
  if (name.empty()) return "Nicht unterstütztes Grafikformat: " + what + ".";
  return "Die Datei " + name + " hat ein nicht unterstütztes Grafikformat: " + what + ".";
}

std::string tooLargeText(int64_t width, int64_t height) {
  return "Die Grafik ist zu groß (" + std::to_string(width) + " × " + std::to_string(height) +
         " Bildpunkte).";
}

std::string noMemoryText() {
  return "Nicht genug Speicher für die Grafik.";
}

bool checkSize(BildRec& rec, int64_t width, int64_t height, int bitsPerPixel) {
  if (!supportedDepth(bitsPerPixel)) {
    rec.errorText = "Nicht unterstützte Farbtiefe (" + std::to_string(bitsPerPixel) + " Bit).";
    return false;
  }
  if (width <= 0 || height <= 0) {
    rec.errorText = "Die Grafik hat keine gültige Größe (" + std::to_string(width) + " × " +
                    std::to_string(height) + " Bildpunkte).";
    return false;
  }
  if (width > kDibMaxSide || height > kDibMaxSide ||
      strideFor(width, bitsPerPixel) * height > kDibMaxPixelBytes) {
    rec.errorText = tooLargeText(width, height);
    return false;
  }
  return true;
}

bool makePicture(BildRec& rec, int32_t width, int32_t height, int bitsPerPixel) {
  return newdib(rec, width, height, bitsPerPixel, nullptr, 0);
}

void setPaletteEntry(BildRec& rec, int index, uint8_t r, uint8_t g, uint8_t b) {
  size_t at = 40 + 4 * static_cast<size_t>(index);
  if (index < 0 || at + 4 > rec.info.size()) return;
  rec.info[at] = b;
  rec.info[at + 1] = g;
  rec.info[at + 2] = r;
  rec.info[at + 3] = 0;
}

void setResolution(BildRec& rec, int64_t xPerMetre, int64_t yPerMetre) {
  if (rec.info.size() < 40 || xPerMetre <= 0 || yPerMetre <= 0) return;
  if (xPerMetre > INT32_MAX || yPerMetre > INT32_MAX) return;
  putLe32(rec.info, 24, static_cast<uint32_t>(xPerMetre));
  putLe32(rec.info, 28, static_cast<uint32_t>(yPerMetre));
}

int32_t xPerMetre(const BildRec& rec) {
  return rec.info.size() < 40 ? 0 : static_cast<int32_t>(le32(rec.info.data() + 24));
}

bool usable(const BildRec& rec) {
  if (rec.info.size() < 40) return false;
  int64_t w = rec.width(), h = rec.height();
  int bpp = rec.bitsPerPixel();
  if (h < 0) h = -h;
  if (w <= 0 || h <= 0 || w > kDibMaxSide || h > kDibMaxSide || !supportedDepth(bpp)) return false;
  if (bpp <= 8 && rec.info.size() < 40 + 4 * (size_t{1} << bpp)) return false;
  if (rec.stride < (w * bpp + 7) / 8) return false;
  return static_cast<int64_t>(rec.stride) * h <= static_cast<int64_t>(rec.pixels.size());
}

int32_t rowCount(const BildRec& rec) {
  int32_t h = rec.height();
  return h < 0 ? -h : h;
}

const uint8_t* rowFromTop(const BildRec& rec, int32_t y) {
  int32_t h = rec.height();
  int64_t memoryRow = h > 0 ? h - 1 - y : y;  // negative height: rows are stored top first
  return rec.pixels.data() + memoryRow * rec.stride;
}

uint8_t* rowFromTop(BildRec& rec, int32_t y) {
  return const_cast<uint8_t*>(rowFromTop(static_cast<const BildRec&>(rec), y));
}

void pixelToBgr(const BildRec& rec, const uint8_t* row, int32_t x, uint8_t* bgr) {
  int index = 0;
  switch (rec.bitsPerPixel()) {
    case 1:
      index = (row[x >> 3] >> (7 - (x & 7))) & 1;
      break;
    case 4:
      index = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
      break;
    case 8:
      index = row[x];
      break;
    case 16: {
      int v = le16(row + 2 * x);  // 5-5-5
      bgr[0] = static_cast<uint8_t>((v & 0x1F) * 255 / 31);
      bgr[1] = static_cast<uint8_t>(((v >> 5) & 0x1F) * 255 / 31);
      bgr[2] = static_cast<uint8_t>(((v >> 10) & 0x1F) * 255 / 31);
      return;
    }
    case 24:
      std::memcpy(bgr, row + 3 * x, 3);
      return;
    default:
      std::memcpy(bgr, row + 4 * x, 3);
      return;
  }
  std::memcpy(bgr, rec.info.data() + 40 + 4 * index, 3);
}

void rowToBgr(const BildRec& rec, int32_t y, uint8_t* bgr) {
  const uint8_t* row = rowFromTop(rec, y);
  int32_t w = rec.width();
  if (rec.bitsPerPixel() == 24) {
    std::memcpy(bgr, row, 3 * static_cast<size_t>(w));
    return;
  }
  for (int32_t x = 0; x < w; ++x) pixelToBgr(rec, row, x, bgr + 3 * x);
}

bool writeFileSafely(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::string part = fileName + ".part";
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ec;
      std::filesystem::remove(part, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(part, fileName, ec);
  if (ec) {
    std::filesystem::remove(part, ec);
    return false;
  }
  return true;
}

namespace {

int detectFormat(const uint8_t* d, size_t n) {
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (n >= 8 && std::memcmp(d, kPng, 8) == 0) return kDibPng;
  if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return kDibJpeg;
  if (n >= 6 && std::memcmp(d, "GIF8", 4) == 0 && (d[4] == '7' || d[4] == '9') && d[5] == 'a') {
    return kDibGif;
  }
  if (n >= 2 && d[0] == 'B' && d[1] == 'M') return kDibBmp;
  return kDibAuto;
}

bool decodeAny(BildRec& rec, const uint8_t* data, size_t size, int format,
               const std::string& name) {
  deldib(rec);
  rec.errorText.clear();
  if (data == nullptr || size == 0) {
    rec.errorText = name.empty() ? std::string("Keine Grafikdaten vorhanden.")
                                 : "Die Datei " + name + " ist leer.";
    return false;
  }
  int found = detectFormat(data, size);
  if (format != kDibAuto && format != kDibBmp && format != kDibGif && format != kDibJpeg &&
      format != kDibPng) {
    rec.errorText = "Unbekanntes Grafikformat (Nummer " + std::to_string(format) + ").";
    return false;
  }
  if (found == kDibAuto) found = format;  // an explicit format is tried even without its magic
  bool ok = false;
  try {
    switch (found) {
      case kDibBmp:
        ok = decodeBmp(rec, data, size, name);
        break;
      case kDibGif:
        ok = decodeGif(rec, data, size, name);
        break;
      case kDibJpeg:
        ok = decodeJpeg(rec, data, size, name);
        break;
      case kDibPng:
        ok = decodePng(rec, data, size, name);
        break;
      default:
        rec.errorText = "Unbekanntes Grafikformat.";
        break;
    }
  } catch (const std::bad_alloc&) {
    ok = false;
    rec.errorText = noMemoryText();
  }
  if (ok && !usable(rec)) ok = false;  // a decoder's slip must not reach the drawing code
  if (!ok) {
    std::string text = rec.errorText.size() >= 6 ? rec.errorText : damagedText(name);
    deldib(rec);
    rec.errorText = text;
    return false;
  }
  rec.errorText.clear();
  return true;
}

}  // namespace

}  // namespace dib

using namespace dib;

bool newdib(BildRec& rec, int32_t width, int32_t height, int32_t bitsPerPixel,
            const uint8_t* sourceHeader, int32_t colourCount) {
  deldib(rec);
  rec.errorText.clear();
  if (!checkSize(rec, width, height, bitsPerPixel)) return false;
  int64_t stride = strideFor(width, bitsPerPixel);
  int32_t tableSize = bitsPerPixel <= 8 ? (1 << bitsPerPixel) : 0;
  try {
    rec.info.assign(40 + 4 * static_cast<size_t>(tableSize), 0);
    rec.pixels.assign(static_cast<size_t>(stride * height), 0);
  } catch (const std::bad_alloc&) {
    deldib(rec);
    rec.errorText = noMemoryText();
    return false;
  }
  rec.stride = static_cast<int32_t>(stride);
  putLe32(rec.info, 0, 40);
  putLe32(rec.info, 4, static_cast<uint32_t>(width));
  putLe32(rec.info, 8, static_cast<uint32_t>(height));
  rec.info[12] = 1;
  rec.info[14] = static_cast<uint8_t>(bitsPerPixel);
  putLe32(rec.info, 20, static_cast<uint32_t>(stride * height));
  putLe32(rec.info, 32, static_cast<uint32_t>(tableSize));
  for (int i = 0; i < tableSize; ++i) {
    auto grey = static_cast<uint8_t>(i * 255 / (tableSize - 1));
    setPaletteEntry(rec, i, grey, grey, grey);
  }
  if (sourceHeader != nullptr) {
    std::memcpy(rec.info.data() + 24, sourceHeader + 24, 8);  // resolution
    int32_t copy = colourCount < 0 ? 0 : (colourCount > tableSize ? tableSize : colourCount);
    std::memcpy(rec.info.data() + 40, sourceHeader + 40, 4 * static_cast<size_t>(copy));
  }
  return true;
}

void deldib(BildRec& rec) {
  std::vector<uint8_t>().swap(rec.info);
  std::vector<uint8_t>().swap(rec.pixels);
  rec.stride = 0;
}

bool OpenDibFromMemory(BildRec& rec, const uint8_t* data, size_t size, int format) {
  return decodeAny(rec, data, size, format, std::string());
}

bool OpenDib(BildRec& rec, const std::string& fileName, int format) {
  std::string name = std::filesystem::path(fileName).filename().string();
  if (name.empty()) name = fileName;
  deldib(rec);
  rec.errorText.clear();
  std::error_code ec;
  bool regular = std::filesystem::is_regular_file(fileName, ec);
  uintmax_t size = regular && !ec ? std::filesystem::file_size(fileName, ec) : 0;
  std::ifstream in;
  if (regular && !ec) in.open(fileName, std::ios::binary);
  if (!regular || ec || !in) {
    rec.errorText = "Konnte Datei " + name + " nicht öffnen!";
    return false;
  }
  if (size > kMaxFileBytes) {
    rec.errorText = "Die Datei " + name + " ist zu groß.";
    return false;
  }
  std::vector<uint8_t> data;
  try {
    data.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    rec.errorText = noMemoryText();
    return false;
  }
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size));
  if (static_cast<uintmax_t>(in.gcount()) != size) {
    rec.errorText = "Fehler beim Lesen der Datei " + name + ".";
    return false;
  }
  return decodeAny(rec, data.data(), data.size(), format, name);
}

int SaveDib(const BildRec& rec, const std::string& fileName, int format, int quality) {
  std::vector<uint8_t> bytes;
  bool encoded = false;
  try {
    if (format == kDibJpeg) encoded = EncodeJpeg(rec, bytes, quality);
    if (format == kDibBmp) encoded = EncodeBmp(rec, bytes);
    return encoded && writeFileSafely(fileName, bytes) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

bool SaveBmp(const BildRec& rec, const std::string& fileName) {
  return SaveDib(rec, fileName, kDibBmp) == 1;
}

uint32_t getpixel(const BildRec& rec, int x, int y) {
  if (!usable(rec) || x < 0 || y < 0 || x >= rec.width() || y >= rowCount(rec)) return 0;
  uint8_t bgr[3];
  pixelToBgr(rec, rowFromTop(rec, y), x, bgr);
  return bgr[2] | (bgr[1] << 8) | (static_cast<uint32_t>(bgr[0]) << 16);
}

void setpixel(BildRec& rec, int x, int y, uint32_t colour) {
  if (!usable(rec) || x < 0 || y < 0 || x >= rec.width() || y >= rowCount(rec)) return;
  uint8_t* row = rowFromTop(rec, y);
  int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  int bpp = rec.bitsPerPixel();
  if (bpp == 24 || bpp == 32) {
    uint8_t* p = row + x * (bpp / 8);
    p[0] = static_cast<uint8_t>(b);
    p[1] = static_cast<uint8_t>(g);
    p[2] = static_cast<uint8_t>(r);
    return;
  }
  if (bpp == 16) {
    int v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    row[2 * x] = static_cast<uint8_t>(v);
    row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
    return;
  }
  int best = 0;
  long bestDistance = -1;
  const uint8_t* table = rec.info.data() + 40;
  for (int i = 0; i < rec.colourCount(); ++i) {
    long db = table[4 * i] - b, dg = table[4 * i + 1] - g, dr = table[4 * i + 2] - r;
    long distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  if (bpp == 8) {
    row[x] = static_cast<uint8_t>(best);
  } else if (bpp == 4) {
    uint8_t& cell = row[x >> 1];
    cell = (x & 1) ? static_cast<uint8_t>((cell & 0xF0) | best)
                   : static_cast<uint8_t>((cell & 0x0F) | (best << 4));
  } else {
    uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
    row[x >> 3] = best ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask);
  }
}

std::string GetDIBOpenFilter() {
  return "Alle Grafikdateien (*.bmp;*.jpg;*.jpeg;*.png;*.gif)|*.bmp;*.jpg;*.jpeg;*.png;*.gif|"
         "Bitmap (*.bmp)|*.bmp|JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|PNG (*.png)|*.png|GIF "
         "(*.gif)|*.gif";
}

}  // namespace paginor
