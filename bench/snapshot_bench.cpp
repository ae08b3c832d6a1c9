// Whole-document copies, as every editing command takes one: time and memory per cell.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "bench_documents.h"
#include "model/snapshot.h"
#include "platform/headless.h"
#include "storage/new_document.h"

namespace paginor {
namespace {

struct LongDocument {
  LongDocument() : app(host.platform()), window(app) {
    (void)FormCreate(window);
    bench::FillLongDocument(window, 500);
  }
  HeadlessPlatform host;
  Application app;
  TMDIChild window;
};

LongDocument& longDocument() {
  static LongDocument doc;
  return doc;
}

UndoSnapshot takeSnapshot(const Document& d) {
  return UndoSnapshot{"Eingabe", d.fields, d.Anchor, d.Cursor, d.currentPage, d.CurrentFormat};
}

void BM_SnapshotOf500Pages(benchmark::State& state) {
  const Document& d = longDocument().window.doc;
  const int64_t cells = bench::CountCells(d);
  size_t before = mallinfo2().uordblks;
  double bytesPerCell = 0;
  for (auto _ : state) {
    UndoSnapshot s = takeSnapshot(d);
    state.PauseTiming();
    bytesPerCell = static_cast<double>(mallinfo2().uordblks - before) / static_cast<double>(cells);
    state.ResumeTiming();
    benchmark::DoNotOptimize(s);
  }
  state.counters["cells"] = static_cast<double>(cells);
  state.counters["bytes_per_cell"] = bytesPerCell;
}
BENCHMARK(BM_SnapshotOf500Pages)->Unit(benchmark::kMillisecond);

// Restoring: the document becomes a copy of the snapshot.
void BM_RestoreOf500Pages(benchmark::State& state) {
  Document& d = longDocument().window.doc;
  UndoSnapshot s = takeSnapshot(d);
  for (auto _ : state) {
    d.fields = s.fields;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RestoreOf500Pages)->Unit(benchmark::kMillisecond);

// The first change of a line after a snapshot copies that line's cells only.
void BM_FirstEditAfterSnapshot(benchmark::State& state) {
  Document& d = longDocument().window.doc;
  for (auto _ : state) {
    state.PauseTiming();
    UndoSnapshot s = takeSnapshot(d);
    state.ResumeTiming();
    d.fields[0].lines[11250].chars.mut(3).ch = 'x';
    state.PauseTiming();
    s = UndoSnapshot();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstEditAfterSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace paginor
