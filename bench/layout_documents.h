// A generated long document for the layout benchmarks: what the layout meets after a file is
// opened (every paragraph one unbroken, dirty line), with paragraphs of mixed length, tables and
// footnotes.
#pragma once

#include "window/document_window.h"

namespace paginor::bench {

// Fills the window's first page body with about `pages` pages of text: paragraphs of 1 to 20
// lines of about 85 measured cells a line, a 3-column table of 4 rows every 25 pages and a
// footnote (reference and footnote area) every 50 pages unless `footnotes` is No. The Cursor goes
// to the document start.
enum class Footnotes { No, Yes };
void FillMixedDocument(TMDIChild& w, int pages, Footnotes footnotes = Footnotes::Yes);

// The application every benchmark window runs in: the headless platform, made once per run.
Application& BenchApp();

// A measured character cell in the CurrentFormat's font.
CharRec MeasuredCell(TMDIChild& w, char ch);

// One edit and its layout pass: `typed` inserted at `where` (insert), or the character before
// the Cursor removed again, so that alternate calls leave the document as it was. Kept out of
// line so that a profiler can count it alone (valgrind --toggle-collect='*TypeAndLayOut*').
[[gnu::noinline]] void TypeAndLayOut(TMDIChild& w, const CursorPos& where, const CharRec& typed,
                                     bool insert);

}  // namespace paginor::bench
