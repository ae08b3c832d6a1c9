// Generated documents for the benchmarks.
#pragma once

#include "window/document_window.h"

namespace paginor::bench {

// Fills the window's page body with `pages` pages of mixed paragraphs (about 45 lines of
// 66 cells a page, so 500 pages are about 1.5 million cells), all cells measured.
void FillLongDocument(TMDIChild& w, int pages);

int64_t CountCells(const Document& d);

}  // namespace paginor::bench
