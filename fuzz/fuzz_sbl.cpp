// Feeds arbitrary bytes to the native document reader, from memory, as the program opens a file.
// Contract: for any input the reader returns, never crashes, never allocates without bound (at
// most a fixed multiple of the input's size, pictures within the picture library's limit) and
// never loops forever. Whatever it accepts, opened as the program opens it (read, laid out,
// settled), is saved as a file the reader accepts again with the same content: the document read
// back is written as the same bytes, and it too opens and saves.
// Seed it with files the writer made, e.g. `paginor-cli convert --new seed/normal.sbl`; inputs
// that once broke the contract live in tests/storage/sbl_regressions/.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "output/settle.h"
#include "platform/headless.h"
#include "storage/new_document.h"
#include "storage/sbl_format.h"
#include "window/application.h"
#include "window/document_window.h"

namespace {

struct Host {
  Host() : app(platform.platform()), window(app) { (void)paginor::FormCreate(window); }
  paginor::HeadlessPlatform platform;
  paginor::Application app;
  paginor::TMDIChild window;
};

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "contract broken: %s\n", what);
  std::abort();
}

// Opens the image in the window as the program does; the file image of what it then holds.
bool openAndSave(Host& host, const std::vector<uint8_t>& image, std::vector<uint8_t>& saved) {
  host.platform.ui.messages.clear();
  if (!paginor::OpenSBLData(host.window, image, "fuzz.sbl")) return false;
  paginor::SettleLayout(host.window);
  saved = paginor::SerializeSBL(host.window.doc);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Host host;
  paginor::Document doc;
  const paginor::Result r = paginor::ParseSBL(host.window, data, size, doc);
  if (!r) {
    if (!r && (r.failure().offset.value_or(0) > size || (r.failure().kind == paginor::FailureKind::Damaged && r.failure().detail.empty())))
      broken("a refusal without reason");
    return 0;
  }
  std::vector<uint8_t> saved;
  if (!openAndSave(host, std::vector<uint8_t>(data, data + size), saved))
    broken("parsed but not opened");
  paginor::Document again;
  const paginor::Result back = paginor::ParseSBL(host.window, saved.data(), saved.size(), again);
  if (!back) broken(("the saved file is refused: " + back.failure().detail).c_str());
  if (paginor::SerializeSBL(again) != saved) broken("the saved file reads back differently");
  std::vector<uint8_t> savedAgain;
  if (!openAndSave(host, saved, savedAgain)) broken("the saved file does not open");
  if (!paginor::ParseSBL(host.window, savedAgain.data(), savedAgain.size(), again))
    broken("the file saved a second time is refused");
  return 0;
}
