// Writing a long PDF: 500 pages of 60 text lines in a few fonts, with the fonts embedded as
// subsets (the default) and named only. Goal for the export of such a document: well under a
// second and under 3 MB without pictures; the writer's share is measured here. And 300 pages with
// the same logo in the header: the picture is encoded and stored once, however often it is
// drawn, so the file is about as large as with one page's logo.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "output/pdf_canvas.h"
#include "platform/cp1252.h"
#include "platform/fonts/font_engine.h"
#include "platform/headless.h"
#include "platform/pictures/dib.h"

namespace paginor {
namespace {

constexpr int kPages = 500;
constexpr int kLinesPerPage = 60;

// Words of a German business letter.
const char* const kWords[] = {
    "Sehr",      "geehrte",   "Damen",      "und",     "Herren,", "wir",    "freuen",    "uns",
    "Ihnen",     "mitteilen", "zu",         "können,", "dass",    "die",    "Lieferung", "für",
    "März",      "pünktlich", "eintrifft.", "Größe",   "Maße",    "Preis:", "12,50",     "€",
    "„Angebot“", "gemäß",     "Übersicht",  "Straße",  "Köln",    "–"};

std::string line(int n) {
  std::string s;
  constexpr int kCount = sizeof kWords / sizeof kWords[0];
  for (int i = 0; s.size() < 85; ++i) {
    if (!s.empty()) s += ' ';
    s += kWords[(n * 7 + i * 3) % kCount];
  }
  return utf8ToCp1252(s);
}

void writeDocument(TPDFCanvas& c, const std::vector<std::string>& lines) {
  for (int p = 0; p < kPages; ++p) {
    if (p) c.NewPage();
    for (int l = 0; l < kLinesPerPage; ++l) {
      if (l % 20 == 0) {
        c.Font = {"Arial", 14, 1, 0x000080, 1};
      } else if (l % 10 == 7) {
        c.Font = {"Courier New", 10, 0, 0, 1};
      } else {
        c.Font = {"Times New Roman", 11, static_cast<uint8_t>(l % 5 == 3 ? 2 : 0), 0, 1};
      }
      c.TextOut(57, 57 + l * 12, lines[(p * kLinesPerPage + l) % lines.size()]);
    }
  }
}

void BM_Write500Pages(benchmark::State& state, PdfFontMode mode) {
  SystemPaths paths;
  auto fonts = makeFontEngine(paths);
  std::vector<std::string> lines;
  for (int i = 0; i < 997; ++i) lines.push_back(line(i));
  const std::string file =
      (std::filesystem::temp_directory_path() / "paginor_pdf_bench.pdf").string();
  for (auto _ : state) {
    TPDFCanvas c(*fonts, mode);
    if (!c.BeginDoc(file)) {
      state.SkipWithError("cannot create the file");
      return;
    }
    writeDocument(c, lines);
    if (!c.EndDoc()) state.SkipWithError("cannot write the file");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  state.counters["pages"] = kPages;
  std::filesystem::remove(file);
}
BENCHMARK_CAPTURE(BM_Write500Pages, embedded, PdfFontMode::Embedded)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Write500Pages, names, PdfFontMode::Names)->Unit(benchmark::kMillisecond);

// A 600 x 180 logo with colour gradients, as a header carries it.
BildRec Logo() {
  BildRec logo;
  newdib(logo, 600, 180, 24, nullptr, 0);
  for (int32_t y = 0; y < 180; ++y)
    for (int32_t x = 0; x < 600; ++x)
      setpixel(logo, x, y,
               static_cast<uint32_t>((x * 255 / 600) | ((y * 255 / 180) << 8) |
                                     (((x + y) % 256) << 16)));
  return logo;
}

void BM_RepeatedLogo(benchmark::State& state) {
  constexpr int kLogoPages = 300;
  SystemPaths paths;
  auto fonts = makeFontEngine(paths);
  const BildRec logo = Logo();
  const std::string line = utf8ToCp1252("Gesch\u00e4ftsbericht \u2013 Seite");
  const std::string file =
      (std::filesystem::temp_directory_path() / "paginor_pdf_bench_logo.pdf").string();
  for (auto _ : state) {
    TPDFCanvas c(*fonts, PdfFontMode::Embedded);
    if (!c.BeginDoc(file)) {
      state.SkipWithError("cannot create the file");
      return;
    }
    for (int p = 0; p < kLogoPages; ++p) {
      if (p) c.NewPage();
      c.StretchDrawDIB(57, 30, 150, 45, logo, 0, 0, logo.width(), logo.height());
      c.Font = {"Arial", 12, 0, 0, 1};
      c.TextOut(57, 90, line);
    }
    if (!c.EndDoc()) state.SkipWithError("cannot write the file");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  state.counters["pages"] = kLogoPages;
  std::filesystem::remove(file);
}
BENCHMARK(BM_RepeatedLogo)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace paginor
