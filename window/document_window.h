// The document window: one document and the state every operation on it shares.
//
// The window's operations are free functions named as the program names them
// (`NewChar(doc)`, `MakeSoftEnters(w)`, ...) and live in the files of their subsystem; this
// class only holds the state, grouped by topic. It runs headless: the desktop shell shows it,
// the command-line program and the tests create it directly.
#pragma once

#include <cstdint>
#include <string>

#include "model/records.h"
#include "model/snapshot.h"
#include "window/application.h"
#include "window/edit_state.h"

namespace paginor {

// Measuring resolution and page size in measuring pixels.
struct MeasureState {
  int32_t resolution = 600;
  int32_t pageWidthPx = 0;
  int32_t pageHeightPx = 0;
};

class TMDIChild {
 public:
  explicit TMDIChild(Application& app);
  ~TMDIChild();
  TMDIChild(const TMDIChild&) = delete;
  TMDIChild& operator=(const TMDIChild&) = delete;

  Application& app;
  // The window around this one document: its repaint timer, scrolling and undo buttons. Each
  // window has its own, so requests never reach another window; null without one (the
  // command-line program).
  EditorHost* host = nullptr;
  Document doc;
  MeasureState measure;
  UndoState undo;
  EditState edit;
  // The pattern table of the document's language (owned by the application) and the window's
  // own cache of split words.
  HyphenTable* hyphenTable = nullptr;
  HyphenCache hyphenCache;

  std::string programDir;     // program data directory, with a trailing '/'
  std::string caption;        // fileName, plus "*" while modified
  std::string pictureFilter;  // filter of the picture open dialog
  // Set while the toolbar is brought into line with the format, so that the toolbar's change
  // handlers do not apply formatting in return.
  bool formatGuard = false;
  // Counts layout passes and changes of the document. A window settles the pages it draws
  // again only when this moved on: settling a layout that never agrees with itself (text
  // flowing around objects can swing between two states) on every paint would make it flicker.
  uint64_t changeCount = 0;
  // The changeCount at which all pages last settled: opening settles, and the PDF export or a
  // print job of the unchanged document need not run the same drawing pass again.
  uint64_t settledAt = UINT64_MAX;
};

// Derives the measuring resolution and the page size in pixels from the printer.
void SetPrinterProps(TMDIChild& w);

// Stores the modified flag and updates the caption ("*" while modified).
void SetFileChanged(TMDIChild& w, bool modified);

// Makes the CurrentFormat the format of the character before the Cursor, then brings the
// toolbar into line.
void OvertakeFont(TMDIChild& w);
// Brings the toolbar into line with the CurrentFormat and the paragraph at the Cursor.
void SmallOvertakeFont(TMDIChild& w);

}  // namespace paginor
