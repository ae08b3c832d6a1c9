// The platform services of the desktop program on Qt: message boxes and the status bar (QtUi),
// the dialogs the engine describes as data (QtDialogs), the system's default printer (QtPrinter),
// and QtPlatform bundling them with the font engine and the program's paths.
//
// A QApplication must exist before any of these is made.
#pragma once

#include <QDialog>
#include <QPainter>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/headless.h"
#include "platform/platform.h"

class QPrinter;
class QProcess;
class QWidget;
class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

namespace paginor {

struct PageSetupDialog;
class QtPrinterCanvas;

// ---------------------------------------------------------------------------------------------

// Text of the engine as Qt shows it. Messages, captions and status texts are UTF-8, but the file
// names inside them are the bytes of the file system, which on older disks are not UTF-8: a byte
// that starts no well-formed UTF-8 sequence is read as the Windows-1252 character it stands
// for, so "Brief \xDCbung.txt" still shows its "Ü" instead of a replacement mark.
QString EngineText(std::string_view text);

class QtUi : public Ui {
 public:
  // Shows a modal QMessageBox over `parent` with German buttons ("Ja", "Nein", "Abbrechen",
  // "OK") and the icon asked for; Escape answers "Abbrechen", or "Nein"/"OK" when there is none.
  MsgResult messageBox(std::string_view text, std::string_view caption, MsgIcon icon,
                       MsgButtons buttons) override;
  void statusText(int panel, std::string_view text) override;
  void processEvents() override;
  void setFormatToolbar(const FormatToolbarState& state) override;
  void refreshFileMenu() override;
  // Hands the file to the desktop's default program and returns at once; false only when no
  // launcher could be started at all.
  bool openWithDefaultViewer(const std::string& path) override;
  // The same, telling afterwards whether it worked: on Linux the hand-over is xdg-open, which
  // finds out only while it runs whether any program takes the file; its exit code arrives
  // later, and `failed` runs (on `context`'s thread, and not after `context` is gone) when it
  // says that none did or when it cannot be started at all.
  void openWithDefaultViewer(const std::string& path, QObject* context,
                             std::function<void()> failed);

  QWidget* parent = nullptr;  // the main window, owner of the message boxes
  // Set by the main window.
  std::function<void(int panel, const QString& text)> onStatusText;
  std::function<void(const FormatToolbarState&)> onFormatToolbar;
  std::function<void()> onRefreshFileMenu;
  // Tests answer here instead of a modal box or an external program.
  std::function<MsgResult(const QString& text, MsgIcon icon, MsgButtons buttons)> answerMessage;
  std::function<bool(const std::string& path)> openHook;

  ~QtUi() override;

 private:
  // The xdg-open runs still waiting for their exit code.
  std::vector<QProcess*> launchers_;
};

// Turns "desc|pattern|desc|pattern" (patterns separated by ';') into QFileDialog's filter list
// "desc (pattern pattern)"; a description that already names its patterns in brackets keeps them.
QStringList QtFileFilters(const std::string& filter);

// "Zoom": three radio buttons and the percentage.
class QtZoomDialog : public QDialog {
  Q_OBJECT
 public:
  QtZoomDialog(const ZoomDialog& data, QWidget* parent);
  void writeBack(ZoomDialog& data) const;  // after accept

  QRadioButton* pageWidth;  // "Seitenbreite"
  QRadioButton* wholePage;  // "Ganze Seite"
  QRadioButton* percent;    // "Prozent festlegen"
  QDoubleSpinBox* percentBox;
};

// "Seite einrichten": format, orientation, size, margins, header and footer distances and the
// header/footer mode. The controls keep each other in line through the dialog's own handlers.
class QtPageSetupDialog : public QDialog {
  Q_OBJECT
 public:
  QtPageSetupDialog(PageSetupDialog& data, QWidget* parent);
  void writeBack(PageSetupDialog& data) const;  // after accept

  QComboBox* format;
  QRadioButton* portrait;   // "Hochformat"
  QRadioButton* landscape;  // "Querformat"
  QDoubleSpinBox* width;
  QDoubleSpinBox* height;
  QDoubleSpinBox* marginTop;
  QDoubleSpinBox* marginBottom;
  QDoubleSpinBox* marginLeft;
  QDoubleSpinBox* marginRight;
  QDoubleSpinBox* headerDistance;
  QDoubleSpinBox* footerDistance;
  QComboBox* mode;

 private:
  void showData();  // the record's values into the controls, without their handlers firing
  PageSetupDialog& data_;
  bool updating_ = false;
};

class QtDialogs : public Dialogs {
 public:
  // Shows the dialog modally by its type: FileDialog, ZoomDialog, PageSetupDialog, the format
  // dialogs (qt_format_dialogs.h) and those of platform/template_dialogs.h. An unknown dialog is
  // refused with a German message.
  bool run(Dialog& dialog) override;

  QWidget* parent = nullptr;
  Ui* ui = nullptr;  // for the message about an unknown dialog
  // Tests answer here instead of showing the dialog (the record is changed as by the user).
  std::function<bool(Dialog&)> answer;

 private:
  bool runFile(FileDialog& d);
};

// ---------------------------------------------------------------------------------------------

// The system's default printer (CUPS through Qt). With the environment variable
// PAGINOR_PRINT_TO_FILE=<file.pdf> it prints into that PDF file instead, at 600 pixels per inch
// on A4 (the file printer of the tests).
class QtPrinter : public Printer {
 public:
  explicit QtPrinter(FontEngine& fonts);
  ~QtPrinter() override;

  bool available() const override;
  int32_t resolution() const override;
  std::vector<PaperFormat> paperFormats() const override;

  bool beginJob(const std::string& title) override;
  bool newPage() override;
  Canvas* pageCanvas() override;
  PrintOffset physicalOffset() const override;
  bool endJob() override;
  void abortJob() override;
  std::string errorText() const override { return error_; }

  // The PDF file printed into instead of a printer; empty for the real printer.
  std::string printFile() const;

 private:
  std::unique_ptr<QPrinter> makePrinter() const;
  bool fail(const std::string& text);
  void finish();

  FontEngine& fonts_;
  std::unique_ptr<QPrinter> job_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<QtPrinterCanvas> canvas_;
  std::string error_;
};

// ---------------------------------------------------------------------------------------------

// Everything the application runs on in the desktop program.
class QtPlatform {
 public:
  QtPlatform();  // needs the QApplication
  ~QtPlatform();
  Platform& platform() { return p_; }

  SystemPaths paths;
  std::unique_ptr<FontEngine> fonts;
  QtUi ui;
  QtDialogs dialogs;
  std::unique_ptr<QtPrinter> printer;

 private:
  Platform p_;
};

// Pixels per inch of the primary screen (96 when there is none, as under the offscreen platform).
int32_t ScreenDpi();

}  // namespace paginor
