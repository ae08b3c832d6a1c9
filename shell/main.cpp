// The desktop program: the application object, the main window and the command line.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "shell/main_form.h"
#include "shell/screenshot.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName("Paginor");
  QApplication::setOrganizationName("Tolvera");
  QApplication::setApplicationVersion(PAGINOR_VERSION);
  // The program speaks German; Qt's own texts (standard dialogs, context menus of edit boxes)
  // follow when its German translation is installed.
  QTranslator qtGerman;
  if (qtGerman.load(QLocale(QLocale::German, QLocale::Germany), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtGerman);

  // The arguments as the bytes they were given in (QApplication has taken out its own
  // options): a file name in an older encoding than UTF-8 still opens.
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  paginor::QtPlatform platform;
  // The hidden screenshot mode renders one document and ends; it lets the look of the program
  // be checked without a person at the screen.
  paginor::ScreenshotOptions shot;
  QString error;
  if (paginor::ParseScreenshotOptions(args, shot, error)) {
    if (!error.isEmpty()) return paginor::ReportScreenshotError(error);
    // Nobody is there to answer a message box: messages go to standard error.
    platform.ui.answerMessage = [](const QString& text, paginor::MsgIcon, paginor::MsgButtons b) {
      std::fprintf(stderr, "paginor: %s\n", text.toUtf8().constData());
      return b == paginor::MsgButtons::Ok ? paginor::MsgResult::Ok : paginor::MsgResult::Cancel;
    };
    platform.ui.openHook = [](const std::string&) { return false; };
    paginor::TMainForm form(platform);
    return paginor::RunScreenshot(form, shot);
  }

  paginor::TMainForm form(platform);
  form.show();
  form.handleCommandLine(args);
  return QApplication::exec();
}
