// What a one-page conversion pays before and besides its page: reading the hyphenation patterns,
// and the whole conversion of a page in a fresh application (fonts, patterns, layout, PDF).
// Goal: a one-page document converts in under 20 ms, program start included (measured with
// bench/peers.sh on paginor-cli).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "german_text.h"
#include "layout/hyphenation.h"
#include "model/primitives.h"
#include "output/pdf_export.h"
#include "output/settle.h"
#include "platform/headless.h"
#include "storage/new_document.h"
#include "storage/text_format.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The German table from its bytes in memory: what every start pays for hyphenation.
void BM_ReadHyphenPatterns(benchmark::State& state) {
  HeadlessPlatform host;
  const std::string data =
      ReadAll(host.paths.programDataDir() + "/" + HyphenFileName(0));
  if (data.empty()) {
    state.SkipWithError("german0.hyp missing");
    return;
  }
  size_t entries = 0;
  for (auto _ : state) {
    HyphenTable table;
    entries = ReadHyphenPatterns(data, table).entries;
    benchmark::DoNotOptimize(table);
  }
  state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(BM_ReadHyphenPatterns)->Unit(benchmark::kMillisecond);

// A fresh application and window convert a page of text to PDF, as paginor-cli does.
void BM_OnePageInFreshApplication(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string in = (dir / "paginor_startup_bench.txt").string();
  const std::string out = (dir / "paginor_startup_bench.pdf").string();
  std::ofstream(in, std::ios::binary) << bench::GermanText(1000);
  for (auto _ : state) {
    HeadlessPlatform host;
    Application app(host.platform());
    TMDIChild w(app);
    (void)FormCreate(w);
    if (!OpenTXTFile(w, in, TextCode::Ansi)) {
      state.SkipWithError("cannot read the page");
      break;
    }
    SettleLayout(w);
    if (!SavePDFFile(w, out)) {
      state.SkipWithError("cannot write the PDF");
      break;
    }
  }
  std::filesystem::remove(in);
  std::filesystem::remove(out);
}
BENCHMARK(BM_OnePageInFreshApplication)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace paginor
