// What the main window holds for all document windows: the platform services, the
// application-wide switches, and (as the program grows) the shared word lists, hyphenation
// tables and settings. The desktop shell and the command-line program each own one.
#pragma once

#include <string>

#include "model/hyphen_data.h"
#include "window/edit_state.h"

#include "platform/platform.h"
#include "platform/result.h"

namespace paginor {

// The application title, the caption of every message box.
inline constexpr const char* kAppTitle = "Paginor";

class Application {
 public:
  explicit Application(Platform& platform) : platform_(platform) {}
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Platform& platform() { return platform_; }
  FontEngine& fonts() { return *platform_.fonts; }
  Ui& ui() { return *platform_.ui; }
  Dialogs& dialogs() { return *platform_.dialogs; }
  Printer& printer() { return *platform_.printer; }
  Paths& paths() { return *platform_.paths; }

  // Shows a message box with the application title as caption.
  MsgResult message(std::string_view text, MsgIcon icon = MsgIcon::Error,
                    MsgButtons buttons = MsgButtons::Ok) {
    return platform_.ui->messageBox(text, kAppTitle, icon, buttons);
  }

  // Shows what a reader or writer came back with, as the desktop program does: its failure, or
  // the warning of completed work. True when the work was done.
  bool report(const Result& result) {
    if (!result) {
      message(result.failure().message, result.failure().icon);
      return false;
    }
    if (result.warning()) message(result.warning()->message, result.warning()->icon);
    return true;
  }

  // Hyphenation pattern tables, German (0) and English (1); each is read once per run.
  std::array<HyphenTable, 2> hyphenTables;

  // Overwrite mode, quote style and undo limit, shared by all document windows.
  EditOptions editOptions;

 private:
  Platform& platform_;
};

}  // namespace paginor
