// Feeds arbitrary bytes to the picture reader, which recognises the format by content.
// Contract: for any input the reader returns, never crashes, never allocates without bound (at
// most the library's picture size limit) and never loops forever; a refused input leaves a
// message and no pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/pictures/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  paginor::BildRec rec;
  bool ok = paginor::OpenDibFromMemory(rec, data, size, paginor::kDibAuto);
  if (ok != rec.hasBits() || (!ok && rec.errorText.size() < 6)) std::abort();
  return 0;
}
