// The typing goal of the layout: one character inserted in the middle of the 500-page mixed
// document (paragraphs, tables, footnotes) and the layout run again. Reports the median and the
// 99th percentile of the single passes, which an average over many passes hides.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "layout/layout.h"
#include "layout_documents.h"
#include "model/queries.h"
#include "platform/headless.h"
#include "storage/new_document.h"

namespace paginor {
namespace {

// Every other pass takes the character out again, so the document stays the same.
void BM_LayoutTypingMixed500(benchmark::State& state) {
  auto w = std::make_unique<TMDIChild>(bench::BenchApp());
  (void)FormCreate(*w);
  bench::FillMixedDocument(*w, 500, bench::Footnotes::Yes);
  MakeSoftEnters(*w);
  Document& d = w->doc;
  int32_t body = 0;
  for (int p = 0; p < 250 && d.fields[body].nextField >= 0; ++p) body = d.fields[body].nextField;
  const CursorPos where{body, 20, 10};
  const CharRec typed = bench::MeasuredCell(*w, 'x');
  std::vector<double> times;
  bool insert = true;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    bench::TypeAndLayOut(*w, where, typed, insert);
    const auto t1 = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    insert = !insert;
  }
  std::sort(times.begin(), times.end());
  auto at = [&](double q) { return times[std::min(times.size() - 1, size_t(q * times.size()))]; };
  state.counters["median_us"] = at(0.5);
  state.counters["p99_us"] = at(0.99);
  state.counters["pages"] = GetAnzPages(d);
}
BENCHMARK(BM_LayoutTypingMixed500)->UseManualTime()->Iterations(400)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace paginor
