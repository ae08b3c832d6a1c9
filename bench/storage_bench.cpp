// Saving and opening a 500-page native document (about 1.5 million cells). Goal: each of save
// and open under 150 ms. The file steps include the disk (the save syncs the file); the memory
// steps show the format's own share. Opening a file also lays the document out, which is the
// layout's cost, shown separately by BM_OpenSBLFile500Pages against BM_ParseSBL500Pages.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench_documents.h"
#include "layout/layout.h"
#include "model/primitives.h"
#include "platform/headless.h"
#include "storage/new_document.h"
#include "storage/sbl_format.h"

namespace paginor {
namespace {

struct LongDocument {
  LongDocument() : app(host.platform()), window(app), reader(app) {
    (void)FormCreate(window);
    bench::FillLongDocument(window, 500);
    // Documents are saved laid out, over their 500 pages.
    SetAllDirtyFlags(window.doc);
    MakeSoftEnters(window);
    (void)FormCreate(reader);
    dir = std::filesystem::temp_directory_path() / ("paginor-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    path = (dir / "lang.sbl").string();
    image = SerializeSBL(window.doc);
  }
  ~LongDocument() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  HeadlessPlatform host;
  Application app;
  TMDIChild window;
  TMDIChild reader;
  std::filesystem::path dir;
  std::string path;
  std::vector<uint8_t> image;
};

LongDocument& longDocument() {
  static LongDocument doc;
  return doc;
}

void counters(benchmark::State& state, const LongDocument& d) {
  state.counters["cells"] = static_cast<double>(bench::CountCells(d.window.doc));
  state.counters["file_MB"] = static_cast<double>(d.image.size()) / 1e6;
}

void BM_SerializeSBL500Pages(benchmark::State& state) {
  LongDocument& d = longDocument();
  for (auto _ : state) benchmark::DoNotOptimize(SerializeSBL(d.window.doc));
  counters(state, d);
}
BENCHMARK(BM_SerializeSBL500Pages)->Unit(benchmark::kMillisecond);

void BM_SaveSBLFile500Pages(benchmark::State& state) {
  LongDocument& d = longDocument();
  for (auto _ : state)
    // Detached: the benchmark is about the file, not the caption.
    if (!SaveSBLFile(d.window, d.path, FileBinding::Detached)) state.SkipWithError("save failed");
  counters(state, d);
}
BENCHMARK(BM_SaveSBLFile500Pages)->Unit(benchmark::kMillisecond);

// Reading the file image into a new document, cells measured: the reader's whole work.
void BM_ParseSBL500Pages(benchmark::State& state) {
  LongDocument& d = longDocument();
  for (auto _ : state) {
    Document doc;
    if (!ParseSBL(d.reader, d.image.data(), d.image.size(), doc)) state.SkipWithError("refused");
    benchmark::DoNotOptimize(doc);
  }
  counters(state, d);
}
BENCHMARK(BM_ParseSBL500Pages)->Unit(benchmark::kMillisecond);

// OpenSBLFile: reading the file, parsing, replacing the document, and the layout pass.
void BM_OpenSBLFile500Pages(benchmark::State& state) {
  LongDocument& d = longDocument();
  if (!SaveSBLFile(d.window, d.path, FileBinding::Detached)) state.SkipWithError("save failed");
  for (auto _ : state)
    if (!OpenSBLFile(d.reader, d.path, FileBinding::Detached))
      state.SkipWithError("open failed");
  counters(state, d);
}
BENCHMARK(BM_OpenSBLFile500Pages)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace paginor
