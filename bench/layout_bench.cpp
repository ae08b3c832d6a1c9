// The layout pass on a long document: a full layout after opening it, and the layout after one
// typed character, which must stay fast whatever the document's length.
#include <benchmark/benchmark.h>

#include <memory>

#include "layout/layout.h"
#include "layout_documents.h"
#include "model/queries.h"
#include "platform/headless.h"
#include "storage/new_document.h"

namespace paginor {
namespace {

std::unique_ptr<TMDIChild> MixedDocument(int pages,
                                         bench::Footnotes footnotes = bench::Footnotes::Yes) {
  auto w = std::make_unique<TMDIChild>(bench::BenchApp());
  (void)FormCreate(*w);
  bench::FillMixedDocument(*w, pages, footnotes);
  return w;
}

// Every line of a freshly read document is dirty: the whole text is broken and paginated.
void BM_LayoutFromScratch(benchmark::State& state) {
  int32_t pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TMDIChild> w = MixedDocument(static_cast<int>(state.range(0)));
    state.ResumeTiming();
    MakeSoftEnters(*w);
    state.PauseTiming();
    pages = GetAnzPages(w->doc);
    w.reset();
    state.ResumeTiming();
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_LayoutFromScratch)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

// Laid-out documents of 500 pages, shared by the benchmarks below; the one without footnotes
// shows what the search for footnote references costs (every cell of every line, every pass).
TMDIChild& LaidOut(bench::Footnotes footnotes) {
  static std::unique_ptr<TMDIChild> docs[2];
  std::unique_ptr<TMDIChild>& d = docs[footnotes == bench::Footnotes::Yes];
  if (!d) {
    d = MixedDocument(500, footnotes);
    MakeSoftEnters(*d);
  }
  return *d;
}

// The body field of a page, following the page chain from the first page.
int32_t BodyOfPage(const Document& d, int page) {
  int32_t f = 0;
  for (int p = 0; p < page && d.fields[f].nextField >= 0; ++p) f = d.fields[f].nextField;
  return f;
}

// One character typed into a line in the middle of the document, then the layout as the edit
// road runs it; every other iteration deletes it again with a Backspace at the Cursor (which the
// layout moved along with the character), so the document stays the same.
void BM_TypeOneCharacterMidDocument(benchmark::State& state) {
  TMDIChild& w = LaidOut(state.range(0) ? bench::Footnotes::Yes : bench::Footnotes::No);
  Document& d = w.doc;
  const CursorPos where{BodyOfPage(d, 250), 20, 10};
  const CharRec typed = bench::MeasuredCell(w, 'x');
  bool inserted = false;
  for (auto _ : state) {
    bench::TypeAndLayOut(w, where, typed, !inserted);
    inserted = !inserted;
  }
  state.counters["pages"] = GetAnzPages(d);
}
BENCHMARK(BM_TypeOneCharacterMidDocument)
    ->ArgName("footnotes")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A pass without any change: what every pass costs on 500 pages before any line is broken.
void BM_LayoutWithoutChanges(benchmark::State& state) {
  TMDIChild& w = LaidOut(bench::Footnotes::Yes);
  for (auto _ : state) MakeSoftEnters(w);
}
BENCHMARK(BM_LayoutWithoutChanges)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace paginor
