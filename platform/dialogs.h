// The common dialogs as data: choosing a file to open or save, and the zoom dialog. The engine
// fills them, the platform shows them (the desktop program with its own widgets, tests with
// scripted answers) and writes the answer back.
#pragma once

#include <string>

#include "platform/platform.h"

namespace paginor {

// Open or save dialog. The filter is written as pairs "description|pattern|description|..."
// (patterns separated by ';'); indexes count the pairs from 1.
struct FileDialog : Dialog {
  enum class Mode { Open, Save };
  const char* title() const override { return caption.c_str(); }

  Mode mode = Mode::Open;
  std::string caption;  // UTF-8; empty: the platform's usual "Öffnen"/"Speichern unter"
  std::string filter;
  int filterIndex = 1;   // in: preset; out: the chosen filter
  std::string fileName;  // in: preset path (may be empty); out: the chosen path
};

// "Zoom": the three choices and the percentage.
struct ZoomDialog : Dialog {
  enum class Choice { PageWidth = 0, WholePage = 1, Percent = 2 };
  const char* title() const override { return "Zoom"; }

  Choice choice = Choice::Percent;  // "Seitenbreite", "Ganze Seite", "Prozent festlegen"
  double percent = 100.0;
};

}  // namespace paginor
