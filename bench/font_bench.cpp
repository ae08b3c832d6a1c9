// Measuring runs for every typed character and for every character read from a file, each time
// through a fresh font handle (make, measure, delete), so both the single measurement and the
// whole round trip must stay cheap. Goal: well under a microsecond per character.
#include <benchmark/benchmark.h>

#include "platform/fonts/font_engine.h"
#include "platform/headless.h"

namespace paginor {
namespace {

LogFont timesAt12pt() {
  LogFont lf;
  lf.face = "Times New Roman";
  lf.height = -100;  // 12 pt at 600 ppi
  return lf;
}

// One character of an open font: the layout's inner measurement.
void BM_TextExtentSingleChar(benchmark::State& state) {
  SystemPaths paths;
  auto fonts = makeFontEngine(paths);
  FontHandle h = fonts->createFont(timesAt12pt(), 600);
  char text[1] = {'a'};
  unsigned char next = 32;
  for (auto _ : state) {
    text[0] = static_cast<char>(next);
    next = next == 255 ? 32 : next + 1;
    benchmark::DoNotOptimize(fonts->textExtent(h, std::string_view(text, 1)));
  }
  fonts->deleteFont(h);
}
BENCHMARK(BM_TextExtentSingleChar);

// The character measurement's round trip: make the font, measure one character, delete it.
void BM_MeasureCharRoundTrip(benchmark::State& state) {
  SystemPaths paths;
  auto fonts = makeFontEngine(paths);
  LogFont lf = timesAt12pt();
  fonts->deleteFont(fonts->createFont(lf, 600));  // resolve the face once, as a document would
  for (auto _ : state) {
    FontHandle h = fonts->createFont(lf, 600);
    benchmark::DoNotOptimize(fonts->textExtent(h, "e"));
    fonts->deleteFont(h);
  }
}
BENCHMARK(BM_MeasureCharRoundTrip);

// The first use of a face: fontconfig lookup, file open and the advance table.
void BM_EngineStartAndFirstFace(benchmark::State& state) {
  SystemPaths paths;
  for (auto _ : state) {
    auto fonts = makeFontEngine(paths);
    benchmark::DoNotOptimize(fonts->createFont(timesAt12pt(), 600));
  }
}
BENCHMARK(BM_EngineStartAndFirstFace)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace paginor
