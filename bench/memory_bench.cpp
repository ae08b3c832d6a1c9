// Memory of documents read from files: bytes per empty line and per character cell of a text
// import, and of reading back the native file written from it. Goals: an empty line costs a few
// hundred bytes, not kilobytes; a character cell well under 200 bytes at the peak, so that the
// largest text the reader takes (kMaxTextFileBytes) lays out in under 2.5 GB.
//
// Measured as the process's resident memory: its peak (VmHWM, reset before each run) and what
// stays once the document is read, less what was resident before. Freed memory is handed back
// to the system before each run, so the figures are the document's own.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "model/primitives.h"
#include "platform/headless.h"
#include "storage/new_document.h"
#include "storage/sbl_format.h"
#include "storage/text_format.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {
namespace {

// A field of /proc/self/status in bytes ("VmHWM", "VmRSS").
int64_t statusBytes(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string key;
  int64_t kb = 0;
  std::string unit;
  while (in >> key) {
    if (key == std::string(field) + ":") {
      in >> kb >> unit;
      return kb * 1024;
    }
    std::getline(in, unit);
  }
  return 0;
}

// Resident memory around one read: the peak and what stays, above what was there before.
class ResidentMemory {
 public:
  ResidentMemory() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak (VmHWM) to now
    before_ = statusBytes("VmRSS");
  }
  int64_t peak() const { return statusBytes("VmHWM") - before_; }
  // What the document holds once read: freed memory is handed back first.
  int64_t kept() const {
    malloc_trim(0);
    return statusBytes("VmRSS") - before_;
  }

 private:
  int64_t before_ = 0;
};

std::string tempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("paginor-mem-" + std::to_string(getpid()) + "-" + name))
      .string();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// Reads the text file into a fresh window as the program does and reports memory per unit.
void measureTextImport(benchmark::State& state, const std::string& content, double units,
                       const char* unit) {
  const std::string path = tempPath(unit);
  writeFile(path, content);
  HeadlessPlatform host;
  Application app(host.platform());
  int64_t peak = 0, kept = 0;
  for (auto _ : state) {
    auto w = std::make_unique<TMDIChild>(app);
    (void)FormCreate(*w);
    ResidentMemory memory;
    if (!OpenTXTFile(*w, path, TextCode::Ansi, nullptr, FileBinding::Detached)) state.SkipWithError("not read");
    peak = memory.peak();
    kept = memory.kept();
  }
  std::filesystem::remove(path);
  state.counters[std::string("peak_bytes_per_") + unit] = static_cast<double>(peak) / units;
  state.counters[std::string("kept_bytes_per_") + unit] = static_cast<double>(kept) / units;
  state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}

// A text of empty lines: what a line costs when it holds nothing.
void BM_TextImportEmptyLines(benchmark::State& state) {
  const auto lines = static_cast<size_t>(state.range(0));
  measureTextImport(state, std::string(lines, '\n'), static_cast<double>(lines), "line");
}
BENCHMARK(BM_TextImportEmptyLines)
    ->Arg(200000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// One paragraph of words: what a character cell costs, the layout's lines included.
void BM_TextImportOneParagraph(benchmark::State& state) {
  const auto cells = static_cast<size_t>(state.range(0));
  std::string text;
  text.reserve(cells);
  while (text.size() < cells) text += "Wort ";
  text.resize(cells);
  measureTextImport(state, text, static_cast<double>(cells), "cell");
}
BENCHMARK(BM_TextImportOneParagraph)
    ->Arg(4 << 20)
    ->Arg(16 << 20)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Lines of ordinary length, as most text files hold them.
void BM_TextImportLinesOf60(benchmark::State& state) {
  const auto cells = static_cast<size_t>(state.range(0));
  std::string text;
  text.reserve(cells + 64);
  const std::string line = "Eine gewöhnliche Zeile Text, wie Textdateien sie enthalten.\n";
  while (text.size() + line.size() <= cells) text += line;
  measureTextImport(state, text, static_cast<double>(text.size()), "cell");
}
BENCHMARK(BM_TextImportLinesOf60)->Arg(16 << 20)->Iterations(1)->Unit(benchmark::kMillisecond);

// The native file written from a document of empty lines, read back.
void BM_OpenSBLEmptyLines(benchmark::State& state) {
  const auto lines = static_cast<size_t>(state.range(0));
  HeadlessPlatform host;
  Application app(host.platform());
  const std::string text = tempPath("lines.txt");
  const std::string native = tempPath("lines.sbl");
  writeFile(text, std::string(lines, '\n'));
  {
    TMDIChild w(app);
    (void)FormCreate(w);
    if (!OpenTXTFile(w, text, TextCode::Ansi, nullptr, FileBinding::Detached) ||
        !SaveSBLFile(w, native, FileBinding::Detached))
      state.SkipWithError("no file");
  }
  int64_t peak = 0, kept = 0;
  for (auto _ : state) {
    auto w = std::make_unique<TMDIChild>(app);
    (void)FormCreate(*w);
    ResidentMemory memory;
    if (!OpenSBLFile(*w, native, FileBinding::Detached)) state.SkipWithError("not read");
    peak = memory.peak();
    kept = memory.kept();
  }
  state.counters["file_bytes_per_line"] =
      static_cast<double>(std::filesystem::file_size(native)) / static_cast<double>(lines);
  std::filesystem::remove(text);
  std::filesystem::remove(native);
  state.counters["peak_bytes_per_line"] = static_cast<double>(peak) / static_cast<double>(lines);
  state.counters["kept_bytes_per_line"] = static_cast<double>(kept) / static_cast<double>(lines);
}
BENCHMARK(BM_OpenSBLEmptyLines)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace paginor
