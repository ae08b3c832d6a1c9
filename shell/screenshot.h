// The hidden screenshot mode of the program:
//   paginor --screenshot OUT.png [--zoom N|Seitenbreite|Ganze Seite] [--show-marks]
//           [--select-all] [--size WxH] [--dialog MENU-ITEM] FILE
// opens FILE, applies the options, renders the main window after layout and paint, writes the
// PNG and ends. With --dialog it runs the menu item instead ("Tabulator", "Zeichen": the caption
// without '&' and dots) and renders the dialog the item opens.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace paginor {

class TMainForm;

struct ScreenshotOptions {
  QString output;
  QString file;           // for messages
  std::string fileBytes;  // the name as given, opened as it is
  QString zoom;           // empty: the document's own zoom
  bool showMarks = false;
  bool selectAll = false;
  QString dialog;  // a menu item whose dialog is rendered instead of the window
  QSize size{1024, 768};
};

// True when the arguments (the bytes the program was started with) ask for a screenshot;
// `error` then holds a German message when they are incomplete or malformed.
bool ParseScreenshotOptions(const std::vector<std::string>& args, ScreenshotOptions& out,
                            QString& error);
// Prints the message to standard error; the exit code of a failed screenshot.
int ReportScreenshotError(const QString& error);
// Opens the file in `form`, applies the options, renders and writes the PNG. Exit code.
int RunScreenshot(TMainForm& form, const ScreenshotOptions& options);

}  // namespace paginor
