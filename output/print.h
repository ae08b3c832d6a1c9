// Printing: every laid-out page drawn by the window's drawing rules onto the current printer,
// through the print jobs of platform::Printer. Printing has no dialog: copies, tray and the like
// stay as the printer's defaults hold them.
#pragma once

#include <cstdint>
#include <string>

namespace paginor {

class TMDIChild;

// The messages of a print that did not happen.
inline constexpr const char* kNoPrinter =
    "Es ist kein Drucker installiert. Bitte richten Sie einen Drucker ein.";
inline constexpr const char* kPrintFailed = "Das Dokument konnte nicht gedruckt werden: ";

// What a print did.
struct PrintResult {
  bool ok = false;
  int32_t pages = 0;  // sheets sent to the printer
  std::string error;  // German, empty when ok
};

// The title of the job in the print queue: "Scribolantium - " and the document's file name.
std::string PrintJobTitle(const TMDIChild& w);

// Prints pages 1 to GetAnzPages as one job: the physical offsets are read once, each page is
// drawn at the printer's resolution with its origin moved by minus the offsets, so that page
// coordinate (0, 0) lies on the sheet's corner. No job is started for a document without pages.
// Without a printer, or when the printing system refuses, nothing is shown: the result says why.
PrintResult PrintDocument(TMDIChild& w);

// The command "&Drucken...": prints the document once and shows a failure as a message box.
// (With a data source open for form letters the window is to be redrawn first, so the fields
// show the current record; form letters come later.)
bool PrintOut(TMDIChild& w);

// The print button and printing from the command line: PrintDocument without preparation, a
// failure shown as a message box.
bool FastPrinting(TMDIChild& w);

}  // namespace paginor
