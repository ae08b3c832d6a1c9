// Long runs without spaces: a pasted address, a base64 block, a file of codes. Breaking them must
// cost what breaking ordinary text costs. Goals: text import of 2 MB without spaces takes the
// same order of time as 2 MB of normal text; laying out a run in the page body, a table cell or
// two columns takes time in proportion to its length (compare the time per cell of both lengths).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "layout/layout.h"
#include "layout/measure.h"
#include "layout_documents.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "storage/new_document.h"
#include "storage/text_format.h"

namespace paginor {
namespace {

constexpr size_t kTextBytes = size_t{2} << 20;

// A small deterministic generator, so that every run measures the same text.
struct Random {
  uint32_t x = 12345;
  uint32_t next(uint32_t n) {
    x = x * 1103515245u + 12345u;
    return (x >> 8) % n;
  }
};

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

enum class TextKind { Normal, NoSpaces, Base64, Url, TableLike };

// 2 MB of text of one kind, Windows-1252.
std::string MakeText(TextKind kind) {
  std::string s;
  s.reserve(kTextBytes + 256);
  Random r;
  // Umlauts and sharp s in octal: "Absätze", "fließen", "über".
  static const char* kWords[] = {
      "Die",          "Seite",      "zeigt",      "den",     "Text",
      "genau",        "so,",        "wie",        "er",      "gedruckt",
      "wird;",        "Abs\344tze", "flie\337en", "\374ber", "Silbentrennung",
      "Zeilenumbruch"};
  switch (kind) {
    case TextKind::Normal:  // paragraphs of 20 to 400 words
      while (s.size() < kTextBytes) {
        const uint32_t words = 20 + r.next(380);
        for (uint32_t i = 0; i < words; ++i) {
          if (i) s += ' ';
          s += kWords[r.next(std::size(kWords))];
        }
        s += "\r\n";
      }
      break;
    case TextKind::NoSpaces:  // letters, one paragraph
      while (s.size() < kTextBytes) s += static_cast<char>('a' + r.next(26));
      break;
    case TextKind::Base64:  // one block without line ends
      while (s.size() < kTextBytes) s += kBase64[r.next(64)];
      break;
    case TextKind::Url:  // one address with hyphens, slashes and parameters
      s = "https://example.org/download?";
      while (s.size() < kTextBytes) {
        s += 'k';
        s += std::to_string(r.next(100000));
        s += '=';
        for (int i = 0; i < 16; ++i) s += kBase64[r.next(62)];
        s += r.next(4) == 0 ? "-" : "&";
      }
      break;
    case TextKind::TableLike:  // rows of tab-separated codes
      while (s.size() < kTextBytes) {
        s += std::to_string(r.next(1000000));
        s += "\tArtikelBezeichnungOhneLeerzeichen";
        s += std::to_string(r.next(1000));
        s += '\t';
        for (uint32_t i = 4 + r.next(80); i > 0; --i) s += kBase64[r.next(64)];
        s += "\t12,50\r\n";
      }
      break;
  }
  return s;
}

// The text files, written once per run into a directory of their own.
std::string TextFile(TextKind kind) {
  static const std::filesystem::path dir = [] {
    auto d =
        std::filesystem::temp_directory_path() / ("paginor-runs-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  const auto path = dir / ("text" + std::to_string(static_cast<int>(kind)) + ".txt");
  if (!std::filesystem::exists(path)) {
    std::ofstream out(path, std::ios::binary);
    const std::string text = MakeText(kind);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  return path.string();
}

// Opening a text file as a user does: read, measured, laid out over its pages.
void BM_ImportText(benchmark::State& state, TextKind kind) {
  const std::string path = TextFile(kind);
  int32_t pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<TMDIChild>(bench::BenchApp());
    (void)FormCreate(*w);
    state.ResumeTiming();
    if (!OpenTXTFile(*w, path, false)) {
      state.SkipWithError("cannot read the text file");
      return;
    }
    state.PauseTiming();
    pages = GetAnzPages(w->doc);
    w.reset();
    state.ResumeTiming();
  }
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  state.counters["pages"] = pages;
}
BENCHMARK_CAPTURE(BM_ImportText, normal, TextKind::Normal)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImportText, no_spaces, TextKind::NoSpaces)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImportText, base64, TextKind::Base64)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImportText, url, TextKind::Url)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImportText, table_like, TextKind::TableLike)->Unit(benchmark::kMillisecond);

enum class Place { Body, TableCell, TwoColumns };

// A document of one run of `cells` measured base64 characters in the page body, in the middle
// cell of a three-cell table row (words in the other two) or in a section of two columns; every
// line dirty, as after opening a file.
std::unique_ptr<TMDIChild> RunDocument(Place place, int cells) {
  auto w = std::make_unique<TMDIChild>(bench::BenchApp());
  (void)FormCreate(*w);
  Document& d = w->doc;
  const int32_t font = GetNewFontIndex(d, FontOfCurrentFormat(d.CurrentFormat));
  CharRec proto[256];
  for (int b = 0; b < 256; ++b) {
    proto[b].fontIndex = font;
    proto[b].ch = static_cast<uint8_t>(b);
    RenderChar(*w, proto[b], false, CellText(proto[b]));
  }
  auto line = [&](const std::string& text) {
    LineRec l;
    InitNewLine(l);
    std::vector<CharRec>& out = l.chars.edit();
    out.reserve(text.size());
    for (unsigned char ch : text) out.push_back(proto[ch]);
    l.dirty = 1;
    return l;
  };
  std::string run;
  Random r;
  for (int i = 0; i < cells; ++i) run += kBase64[r.next(64)];
  RecordArray<LineRec>& lines = d.fields[0].lines;
  lines.clear();
  lines.push_back(line("Davor."));
  lines[0].endKind = kEndParagraph;
  if (place == Place::TableCell) {
    for (int32_t c = 0; c < 3; ++c) {
      LineRec& l = lines.push_back(line(c == 1 ? run : "Artikel Nummer"));
      l.inTable = l.rowStart = l.rowEnd = 1;
      l.rowCells = 3;
      l.cellColumn = c;
    }
  } else {
    LineRec& l = lines.push_back(line(run));
    l.endKind = kEndParagraph;
    if (place == Place::TwoColumns) l.columns = 2;
  }
  lines.push_back(line("Danach."));
  lines.back().endKind = kEndParagraph;
  d.Cursor = d.Anchor = CursorPos{0, 0, 0};
  return w;
}

void BM_LayoutRun(benchmark::State& state, Place place) {
  const int cells = static_cast<int>(state.range(0));
  int32_t pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TMDIChild> w = RunDocument(place, cells);
    state.ResumeTiming();
    MakeSoftEnters(*w);
    state.PauseTiming();
    pages = GetAnzPages(w->doc);
    w.reset();
    state.ResumeTiming();
  }
  state.counters["pages"] = pages;
  state.counters["per_cell"] =
      benchmark::Counter(static_cast<double>(cells), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(BM_LayoutRun, body, Place::Body)
    ->Arg(50'000)
    ->Arg(200'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LayoutRun, table_cell, Place::TableCell)
    ->Arg(50'000)
    ->Arg(200'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LayoutRun, two_columns, Place::TwoColumns)
    ->Arg(50'000)
    ->Arg(200'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace paginor
