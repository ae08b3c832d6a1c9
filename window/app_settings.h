// The settings of the main window that hold for all document windows.
#pragma once

#include <array>
#include <cstdint>

#include "model/recent_files.h"

namespace paginor {

// What the main window keeps for all document windows and stores in its settings file.
struct AppSettings {
  RecentFiles recentFiles;
  bool makeBackups = false;      // ".bak" files on saving
  int32_t lastOpenFilter = 0;    // filter index of the open dialog, reused next time
  bool rulerVisible = true;      // "&Lineal"
  bool statusBarVisible = true;  // "S&tatuszeile"
  // "Standartleiste", "Formatleiste", "Zeichnenleiste", "Format erweitert" (ToolbarId order).
  std::array<bool, 4> toolbarVisible = {true, true, true, true};
  bool showAllMarks = false;     // "Nicht druckbare Zeichen anzeigen"
  bool spellWhileTyping = true;  // "Beim &Eingeben überprüfen "
};

}  // namespace paginor
