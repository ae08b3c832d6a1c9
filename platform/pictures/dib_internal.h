// Shared parts of the picture library's codecs; not for use outside platform/pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pictures/picture.h"

namespace paginor::dib {

// Messages. `name` is the file name without directory, empty for pictures from memory.
std::string damagedText(const std::string& name);
std::string unsupportedText(const std::string& name, const std::string& what);
std::string tooLargeText(int64_t width, int64_t height);
std::string noMemoryText();

// Refuses sizes newdib would refuse, setting `rec.errorText`; call before any size arithmetic.
bool checkSize(BildRec& rec, int64_t width, int64_t height, int bitsPerPixel);

// Makes the output picture of a decoder (newdib with a grey ramp table).
bool makePicture(BildRec& rec, int32_t width, int32_t height, int bitsPerPixel);
void setPaletteEntry(BildRec& rec, int index, uint8_t r, uint8_t g, uint8_t b);
void setResolution(BildRec& rec, int64_t xPerMetre, int64_t yPerMetre);
int32_t xPerMetre(const BildRec& rec);

// True when header, table, stride and pixel memory agree, so rows can be read safely.
bool usable(const BildRec& rec);
int32_t rowCount(const BildRec& rec);  // |height|
// Row as kept in memory for picture row y counted from the top.
uint8_t* rowFromTop(BildRec& rec, int32_t y);
const uint8_t* rowFromTop(const BildRec& rec, int32_t y);
// Converts picture row y (from the top) of a usable picture to width x (B, G, R) bytes.
void rowToBgr(const BildRec& rec, int32_t y, uint8_t* bgr);
// Pixel x of a row of a usable picture as (B, G, R).
void pixelToBgr(const BildRec& rec, const uint8_t* row, int32_t x, uint8_t* bgr);

// Writes through "<name>.part" and renames, so an existing file survives a failed write.
bool writeFileSafely(const std::string& fileName, const std::vector<uint8_t>& bytes);

// Decoders: fill `rec` or set its errorText and leave it without pixels.
bool decodeBmp(BildRec& rec, const uint8_t* data, size_t size, const std::string& name);
bool decodePng(BildRec& rec, const uint8_t* data, size_t size, const std::string& name);
bool decodeJpeg(BildRec& rec, const uint8_t* data, size_t size, const std::string& name);
bool decodeGif(BildRec& rec, const uint8_t* data, size_t size, const std::string& name);

inline uint16_t le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint32_t be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

}  // namespace paginor::dib
