// Feeds arbitrary bytes to the native document reader, from memory.
// Contract: for any input the reader returns, never crashes, never allocates without bound (at
// most a fixed multiple of the input's size, pictures within the picture library's limit) and
// never loops forever. What it accepts is a consistent document: written and read again, it
// gives the same bytes.
// Seed it with files the writer made, e.g. `paginor-cli convert --new seed/normal.sbl`.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "model/application.h"
#include "model/document_window.h"
#include "platform/headless.h"
#include "storage/sbl_format.h"

namespace {

struct Host {
  Host() : app(platform.platform()), window(app) {}
  paginor::HeadlessPlatform platform;
  paginor::Application app;
  paginor::TMDIChild window;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Host host;
  paginor::Document doc;
  const paginor::SblResult r = paginor::ParseSBL(host.window, data, size, doc);
  if (!r) {
    if (r.offset > size || (r.status == paginor::SblStatus::Damaged && r.detail.empty()))
      std::abort();
    return 0;
  }
  const std::vector<uint8_t> once = paginor::SerializeSBL(doc);
  paginor::Document again;
  if (!paginor::ParseSBL(host.window, once.data(), once.size(), again)) std::abort();
  if (paginor::SerializeSBL(again) != once) std::abort();
  return 0;
}
