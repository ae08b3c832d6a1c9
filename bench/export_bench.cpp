// PDF export of a long document: 500 generated pages (about 1.5 million characters, no
// pictures), laid out first. Goal: the whole export, settling included, under a second and the
// file under 3 MB. The settling pass and the drawing onto the writer are measured apart too.
//
// The conversion of a text file as paginor-cli does it: a generated 1.5 MB Windows-1252 German
// text (short lines and empty ones, about 1,200 pages in Courier New) read, laid out, settled and
// written as PDF; and the share of writing the PDF alone (the pages drawn onto the writer and
// the file finished, the layout settled already).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "bench_documents.h"
#include "german_text.h"
#include "layout/layout.h"
#include "layout_documents.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "output/pdf_export.h"
#include "output/settle.h"
#include "platform/cp1252.h"
#include "platform/headless.h"
#include "storage/new_document.h"
#include "storage/text_format.h"

namespace paginor {
namespace {

constexpr int kPages = 500;

// The generated document, laid out and settled once.
TMDIChild& LongDocument() {
  static std::unique_ptr<TMDIChild> w = [] {
    // The generator's pages are shorter than the layout's: make it again, larger, until the
    // layout gives 500 pages.
    std::unique_ptr<TMDIChild> made;
    int pages = kPages;
    for (int attempt = 0; attempt < 4; ++attempt) {
      made = std::make_unique<TMDIChild>(bench::BenchApp());
      (void)FormCreate(*made);
      bench::FillLongDocument(*made, pages);
      SetAllDirtyFlags(made->doc);
      MakeSoftEnters(*made);
      const int laidOut = GetAnzPages(made->doc);
      if (laidOut >= kPages) break;
      pages += (kPages - laidOut) * pages / laidOut + 1;
    }
    SettleLayout(*made);
    return made;
  }();
  return *w;
}

std::string BenchFile() {
  return (std::filesystem::temp_directory_path() / "paginor_export_bench.pdf").string();
}

void BM_ExportPdf(benchmark::State& state, PdfFontMode mode) {
  TMDIChild& w = LongDocument();
  const std::string file = BenchFile();
  for (auto _ : state) {
    if (!SavePDFFile(w, file, mode)) {
      state.SkipWithError("cannot write the file");
      return;
    }
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  state.counters["pages"] = GetAnzPages(w.doc);
  std::filesystem::remove(file);
}
BENCHMARK_CAPTURE(BM_ExportPdf, embedded, PdfFontMode::Embedded)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportPdf, names, PdfFontMode::Names)->Unit(benchmark::kMillisecond);

// The drawing pass on a canvas that draws nothing, over all pages, on a settled layout.
void BM_SettleSettled(benchmark::State& state) {
  TMDIChild& w = LongDocument();
  SettleLayout(w);
  for (auto _ : state) benchmark::DoNotOptimize(SettlePages(w).passes);
}
BENCHMARK(BM_SettleSettled)->Unit(benchmark::kMillisecond);

// Only the pages drawn onto the writer, the file finished.
void BM_DrawPagesPdf(benchmark::State& state) {
  TMDIChild& w = LongDocument();
  const std::string file = BenchFile();
  for (auto _ : state) {
    TPDFCanvas pdf(w.app.fonts(), PdfFontMode::Embedded);
    if (!pdf.BeginDoc(file)) {
      state.SkipWithError("cannot create the file");
      return;
    }
    const int32_t pages = GetAnzPages(w.doc);
    for (int32_t i = 0; i < pages; ++i) {
      DrawPagesPDF(w, pdf, i);
      if (i < pages - 1) pdf.NewPage();
    }
    pdf.EndDoc();
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_DrawPagesPdf)->Unit(benchmark::kMillisecond);

const std::string& TextFile() {
  static const std::string path = [] {
    const std::string p =
        (std::filesystem::temp_directory_path() / "paginor_export_bench.txt").string();
    std::ofstream(p, std::ios::binary) << bench::GermanText(1500000);
    return p;
  }();
  return path;
}

// Reads the text file into a new window and settles it, as paginor-cli does before writing.
std::unique_ptr<TMDIChild> ReadText() {
  auto w = std::make_unique<TMDIChild>(bench::BenchApp());
  (void)FormCreate(*w);
  if (!OpenTXTFile(*w, TextFile(), TextCode::Ansi)) return nullptr;
  SettleLayout(*w);
  return w;
}

// The whole conversion but the start of the program: read, lay out, settle, export.
void BM_TextToPdf(benchmark::State& state) {
  const std::string file = BenchFile();
  int32_t pages = 0;
  for (auto _ : state) {
    std::unique_ptr<TMDIChild> w = ReadText();
    if (!w || !SavePDFFile(*w, file)) {
      state.SkipWithError("cannot convert the text");
      return;
    }
    pages = GetAnzPages(w->doc);
  }
  state.counters["pages"] = pages;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}
BENCHMARK(BM_TextToPdf)->Unit(benchmark::kMillisecond);

// The conversion's share of writing the PDF: the settled text's pages drawn onto the writer and
// the file finished.
void BM_TextPdfWriting(benchmark::State& state, PdfFontMode mode) {
  static std::unique_ptr<TMDIChild> w = ReadText();
  if (!w) {
    state.SkipWithError("cannot read the text");
    return;
  }
  const std::string file = BenchFile();
  const int32_t pages = GetAnzPages(w->doc);
  for (auto _ : state) {
    TPDFCanvas pdf(w->app.fonts(), mode);
    if (!pdf.BeginDoc(file)) {
      state.SkipWithError("cannot create the file");
      return;
    }
    for (int32_t i = 0; i < pages; ++i) {
      DrawPagesPDF(*w, pdf, i);
      if (i < pages - 1) pdf.NewPage();
    }
    if (!pdf.EndDoc()) state.SkipWithError("cannot write the file");
  }
  state.counters["pages"] = pages;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}
BENCHMARK_CAPTURE(BM_TextPdfWriting, embedded, PdfFontMode::Embedded)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextPdfWriting, names, PdfFontMode::Names)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace paginor
