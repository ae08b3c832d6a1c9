// The editor on a 500-page document (about 1.5 million cells): taking and restoring an undo
// snapshot, and typing one character into the middle of the document from the key to the
// finished layout. Typing reports its median and 99th percentile besides the mean.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "bench_documents.h"
#include "editing/keys.h"
#include "editing/undo.h"
#include "layout/layout.h"
#include "layout_documents.h"
#include "model/primitives.h"
#include "platform/headless.h"
#include "storage/new_document.h"
#include "window/edit_state.h"

namespace paginor {
namespace {

enum class Kind { Long, Mixed };

// A laid-out 500-page document: the lead's long document of plain paragraphs, or the mixed one
// with tables and footnotes.
TMDIChild& Document500(Kind kind) {
  static std::unique_ptr<TMDIChild> docs[2];
  std::unique_ptr<TMDIChild>& w = docs[kind == Kind::Long ? 0 : 1];
  if (!w) {
    w = std::make_unique<TMDIChild>(bench::BenchApp());
    (void)FormCreate(*w);
    if (kind == Kind::Long)
      bench::FillLongDocument(*w, 500);
    else
      bench::FillMixedDocument(*w, 500);
    SetAllDirtyFlags(w->doc);
    MakeSoftEnters(*w);
  }
  return *w;
}

double seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Median and 99th percentile of the iteration times, in microseconds.
void reportPercentiles(benchmark::State& state, std::vector<double>& times) {
  if (times.empty()) return;
  std::sort(times.begin(), times.end());
  auto at = [&](double q) {
    return times[std::min(times.size() - 1, static_cast<size_t>(q * times.size()))] * 1e6;
  };
  state.counters["median_us"] = at(0.5);
  state.counters["p99_us"] = at(0.99);
}

void BM_MakeCopyForUndo(benchmark::State& state) {
  TMDIChild& w = Document500(Kind::Long);
  const int64_t cells = bench::CountCells(w.doc);
  double bytesPerCell = 0;
  for (auto _ : state) {
    state.PauseTiming();
    FreeAllUndoCops(w);
    const size_t before = mallinfo2().uordblks;
    state.ResumeTiming();
    MakeCopyForUndo(w, "Eingabe");
    state.PauseTiming();
    bytesPerCell = static_cast<double>(mallinfo2().uordblks - before) / static_cast<double>(cells);
    state.ResumeTiming();
  }
  FreeAllUndoCops(w);
  state.counters["cells"] = static_cast<double>(cells);
  state.counters["bytes_per_cell"] = bytesPerCell;
}
BENCHMARK(BM_MakeCopyForUndo)->Unit(benchmark::kMillisecond);

// Undo (which first keeps the current state as "Orginal") and redo (which restores that entry and
// drops it), alternately; each restores the whole document from a snapshot.
void BM_RestoreCopyFromUndo(benchmark::State& state) {
  TMDIChild& w = Document500(Kind::Long);
  FreeAllUndoCops(w);
  MakeCopyForUndo(w, "Eingabe");
  std::vector<double> undo, redo;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    RestoreCopyFromUndo(w, 0);
    auto t1 = std::chrono::steady_clock::now();
    RestoreBeforeRestoreCopyFromUndo(w, 0);
    auto t2 = std::chrono::steady_clock::now();
    undo.push_back(seconds(t1 - t0));
    redo.push_back(seconds(t2 - t1));
  }
  FreeAllUndoCops(w);
  std::sort(undo.begin(), undo.end());
  std::sort(redo.begin(), redo.end());
  state.counters["undo_median_ms"] = undo[undo.size() / 2] * 1e3;
  state.counters["redo_median_ms"] = redo[redo.size() / 2] * 1e3;
}
BENCHMARK(BM_RestoreCopyFromUndo)->Unit(benchmark::kMillisecond);

// One typed character in a line in the middle of the document, from getkeysKeyPress to the end
// of the layout. Within a typing run (the common case) no snapshot is taken; `range(0)` = 1 makes
// every character the first of a run, with its snapshot. Each typed character is taken out again
// outside the timing, so the document stays the same.
void typeMidDocument(benchmark::State& state, Kind kind) {
  TMDIChild& w = Document500(kind);
  Document& d = w.doc;
  const bool snapshotEach = state.range(0) == 1;
  int32_t field = 0;
  for (int p = 0; p < 250 && d.fields[field].nextField >= 0; ++p) field = d.fields[field].nextField;
  const CursorPos where{field, 20, 10};
  FreeAllUndoCops(w);
  std::vector<double> times;
  for (auto _ : state) {
    d.Cursor = d.Anchor = where;
    if (snapshotEach) EndTypingRun(w);
    const auto t0 = std::chrono::steady_clock::now();
    getkeysKeyPress(w, 'x');
    const double t = seconds(std::chrono::steady_clock::now() - t0);
    state.SetIterationTime(t);
    times.push_back(t);
    // Take the character out again (the layout carried the Cursor behind it).
    LineRec& line = d.fields[d.Cursor.field].lines[d.Cursor.line];
    line.chars.erase(d.Cursor.chr - 1, d.Cursor.chr);
    line.dirty = 1;
    --d.Cursor.chr;
    d.Anchor = d.Cursor;
    MakeSoftEnters(w);
  }
  FreeAllUndoCops(w);
  reportPercentiles(state, times);
}

void BM_TypeCharacterMidDocument(benchmark::State& state) {
  typeMidDocument(state, Kind::Long);
}
BENCHMARK(BM_TypeCharacterMidDocument)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(400)
    ->Unit(benchmark::kMicrosecond);

void BM_TypeCharacterMidMixedDocument(benchmark::State& state) {
  typeMidDocument(state, Kind::Mixed);
}
BENCHMARK(BM_TypeCharacterMidMixedDocument)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(400)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace paginor
