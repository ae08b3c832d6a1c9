// The record of a picture, as the picture library makes, reads and writes it and as a document
// holds it (Document::pictures).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace paginor {

// A picture in the form of the picture library: a 40-byte bitmap information header followed by
// the colour table (2^bits entries of 4 bytes for 8 bits per pixel or fewer), and the pixel rows,
// bottom row first, `stride` bytes each. A released picture keeps its slot with no pixels.
struct BildRec {
  std::vector<uint8_t> info;
  std::vector<uint8_t> pixels;
  int32_t stride = 0;
  std::string errorText;  // set by a failed OpenDib

  bool hasBits() const { return !pixels.empty(); }
  uint8_t* bits() { return pixels.empty() ? nullptr : pixels.data(); }
  const uint8_t* bits() const { return pixels.empty() ? nullptr : pixels.data(); }
  int32_t width() const;
  int32_t height() const;  // as stored in the header; may be negative for top-down input
  int32_t bitsPerPixel() const;
  int32_t colourCount() const;  // 2^bits for up to 8 bits, else 0
};

}  // namespace paginor
