#include "platform/pictures/picture.h"

#include <cstring>

namespace paginor {

namespace {
int32_t readI32(const std::vector<uint8_t>& v, size_t at) {
  if (v.size() < at + 4) return 0;
  int32_t x;
  std::memcpy(&x, v.data() + at, 4);
  return x;
}
}  // namespace

int32_t BildRec::width() const { return readI32(info, 4); }
int32_t BildRec::height() const { return readI32(info, 8); }
int32_t BildRec::bitsPerPixel() const {
  if (info.size() < 16) return 0;
  return info[14] | (info[15] << 8);
}
int32_t BildRec::colourCount() const {
  int32_t bpp = bitsPerPixel();
  return bpp >= 1 && bpp <= 8 ? (1 << bpp) : 0;
}

}  // namespace paginor
