#include "output/print.h"

#include "model/queries.h"
#include "output/settle.h"
#include "platform/canvas.h"
#include "view/draw_pages.h"
#include "window/document_window.h"

namespace paginor {

namespace {

PrintResult failed(Printer& printer, int32_t pages) {
  std::string why = printer.errorText();
  return {false, pages, std::string(kPrintFailed) + (why.empty() ? "unbekannter Fehler." : why)};
}

bool showResult(TMDIChild& w, const PrintResult& r) {
  if (!r.ok) w.app.message(r.error, MsgIcon::Error);
  return r.ok;
}

}  // namespace

std::string PrintJobTitle(const TMDIChild& w) {
  return "Scribolantium - " + w.doc.fileName;
}

PrintResult PrintDocument(TMDIChild& w) {
  Printer& printer = w.app.printer();
  if (!printer.available()) return {false, 0, kNoPrinter};
  // The same settled layout as the window and the PDF export: text flowing around objects
  // is broken for its gaps before a sheet is drawn.
  SettleLayout(w);
  int32_t pages = GetAnzPages(w.doc);
  if (pages < 1) return {true, 0, {}};
  // Read once: page (0, 0) goes to the sheet's corner, not to the printable area's.
  PrintOffset offset = printer.physicalOffset();
  for (int32_t page = 0; page < pages; ++page) {
    bool open = page == 0 ? printer.beginJob(PrintJobTitle(w)) : printer.newPage();
    Canvas* sheet = open ? printer.pageCanvas() : nullptr;
    if (!sheet) {
      PrintResult r = failed(printer, page);
      printer.abortJob();
      return r;
    }
    DrawPages(w, *sheet, SheetPage{page, -offset.x, -offset.y});
  }
  if (!printer.endJob()) return failed(printer, pages);
  return {true, pages, {}};
}

bool PrintOut(TMDIChild& w) {
  return showResult(w, PrintDocument(w));
}

bool FastPrinting(TMDIChild& w) {
  return showResult(w, PrintDocument(w));
}

}  // namespace paginor
