// The main window of the desktop program ("TMainForm"): the document area, the menu bar and
// the four toolbars built from the command table, the zoom, font, size and template boxes, the
// four-panel status bar, and the document management (new, open, save, export, close).
#pragma once

#include <QMainWindow>
#include <QStringList>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/document_files.h"
#include "editing/commands.h"
#include "platform/platform.h"

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace paginor {

class Application;
class DocumentWindow;
class QtPlatform;

inline constexpr const char* kMainCaption = "Tolvera Paginor";
// Status bar panel widths in pixels; the last panel takes the rest.
inline constexpr int kStatusPanelWidths[4] = {150, 150, 30, 50};
// The user manual's first page, in the program data directory.
inline constexpr const char* kHelpFileName = "help/index.html";

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // The main window runs on the desktop platform; it routes the status bar, the format toolbar
  // and the File menu refresh of `qt.ui` to itself and owns the message boxes and dialogs.
  explicit TMainForm(QtPlatform& qt, QWidget* parent = nullptr);
  ~TMainForm() override;

  Application& application() { return *app_; }
  Platform& platform() { return platform_; }
  AppSettings& settings() { return settings_; }

  // The first show's work: the files of the command line, each in its own window, those after
  // "/P" printed at once (the window stays); without arguments one new document "NONAME1".
  // The arguments are the bytes the program was started with: a file name need not be UTF-8.
  void handleCommandLine(const std::vector<std::string>& args);

  // "&Neu": a document window named "NONAME" + (number of document windows + 1).
  DocumentWindow* newDocument();
  // A document window for a file; nullptr when it could not be read (no window stays).
  DocumentWindow* openDocument(const std::string& path, int32_t openFileType = 0);
  // "Ö&ffnen": the open dialog, then openDocument.
  DocumentWindow* openWithDialog();
  // "&Speichern" or "Speichern &unter..." of a window; true when it was saved.
  enum class SaveMode { Save, SaveAs };
  bool saveWindow(DocumentWindow& w, SaveMode mode);
  // "PDF-Export..." of the active window; the written file is opened in the default viewer, and
  // the user is told when no program takes it.
  bool exportPdfActive();
  // Closes a document window (after the question about unsaved changes); false when it stays.
  bool closeWindow(DocumentWindow& w);
  // The question before a modified document's window closes; true when it may close.
  bool askToSave(DocumentWindow& w);
  // Runs a command of the command table on the active window, as its menu item does.
  void runCommand(CommandId id);

  DocumentWindow* activeDocument() const;
  std::vector<DocumentWindow*> documents() const;
  QMdiSubWindow* subWindowOf(DocumentWindow* w) const;

  // The action of a command (nullptr for boxes and unknown ids).
  QAction* action(CommandId id) const;
  QMenu* menu(MenuId id) const { return menus_[static_cast<int>(id)]; }
  QMenu* contextMenu() const { return contextMenu_; }
  QComboBox* zoomBox() const { return zoomBox_; }
  QComboBox* fontBox() const { return fontBox_; }
  QComboBox* sizeBox() const { return sizeBox_; }
  QComboBox* templateBox() const { return templateBox_; }
  QLabel* statusPanel(int i) const { return status_[i]; }
  QToolBar* toolBar(ToolbarId id) const { return toolBars_[static_cast<int>(id)]; }
  QMdiArea* mdiArea() const { return mdi_; }
  // The recent-file items at the end of the File menu.
  const std::vector<QAction*>& recentFileActions() const { return recentActions_; }

  // Brings every item's enabled and checked state in line with the active window (what
  // opening a menu does).
  void updateMenuState();
  // Rebuilds the recent-file items of the File menu.
  void rebuildRecentFiles();
  // The zoom box shows a window's zoom ("84,44%").
  void showZoomOf(DocumentWindow* w);
  void showZoomText(DocumentWindow* w, const QString& text);
  // A text typed into or chosen in the zoom box, applied to the active window.
  void applyZoomText(const QString& text);
  // An entry chosen in the template box: that template applied to the active window, the
  // focus back in the document.
  void applyTemplate(int index);

  // Notifications of the document windows.
  void documentActivated(DocumentWindow* w);
  void documentModifiedChanged(DocumentWindow* w);
  void undoButtonsChanged(DocumentWindow* w);
  // A document window has painted: page and line in the status bar follow it when it is the
  // active one.
  void documentPainted(DocumentWindow* w);
  // Panels 2 and 3 of the status bar.
  void statusText(int panel, const QString& text);

  // The kind of tab stop a click on a ruler makes (0 left, 1 centred, 2 right, 3 decimal),
  // one for all windows; changing it updates every tab selector.
  int32_t rulerTabKind() const { return rulerTabKind_; }
  void setRulerTabKind(int32_t kind);
  // "Nicht druckbare Zeichen anzeigen".
  bool showMarks() const { return settings_.showAllMarks; }
  void setShowMarks(bool on);

  // Arranges the document windows: "Hori&zontal anordnen" stacks them one above the other,
  // each as wide as the area; "&Vertikal anordnen" puts them side by side, each as high.
  void tileHorizontally();
  void tileVertically();
  // "Alle an&ordnen": the minimised windows in a row along the bottom of the area.
  void arrangeIcons();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  void buildMenuEntries(QMenu* menu, const std::vector<MenuEntry>& entries);
  QAction* makeAction(const Command& c);
  void buildToolBars();
  QComboBox* makeBox(CommandId id);
  // The drop-down list of the undo or redo button.
  void addStepList(QToolBar* bar, QAction* button, CommandId id);
  // The drop-down palette of a colour button.
  void addColourPalette(QToolBar* bar, QAction* button, CommandId id);
  void buildStatusBar();
  void rebuildWindowList();
  void printFile(DocumentWindow& w);
  void showInfo();
  void showHelp();
  void applyZoomDialog();
  void addDocumentWindow(DocumentWindow* w);
  // Where a document window stands when it is not maximised: most of the area, one title bar
  // lower and further right than the windows before it.
  QRect cascadePlace(int index) const;
  // Panels 0 and 1 show the active document's page and line; empty without a document.
  void showDocumentStatus(DocumentWindow* w);
  void setFormatToolbar(const FormatToolbarState& state);
  void showToolbarChecks();
  static bool showsFormatAtCursor(CommandId id);
  // The face and size boxes of the format toolbar.
  void connectFormatBox(QComboBox* box, CommandId id);
  void applyFormatBox(CommandId id, const QString& text);
  void refreshFileMenu();

  QtPlatform& qt_;
  Platform platform_;
  std::unique_ptr<Application> app_;
  AppSettings settings_;

  QMdiArea* mdi_ = nullptr;
  QMenu* menus_[kMenuCount] = {};
  QMenu* contextMenu_ = nullptr;
  std::vector<QAction*> recentActions_;
  std::vector<std::string> recentShown_;
  std::vector<QAction*> windowListActions_;
  std::map<CommandId, QAction*> actions_;
  QToolBar* toolBars_[kToolbarCount] = {};
  QComboBox* zoomBox_ = nullptr;
  QComboBox* fontBox_ = nullptr;
  QComboBox* sizeBox_ = nullptr;
  QComboBox* templateBox_ = nullptr;
  QLabel* status_[4] = {};
  bool updatingBoxes_ = false;
  int32_t rulerTabKind_ = 0;
  // What the format toolbar shows of the format at the Cursor.
  FormatToolbarState toolbarState_;
  bool closingAll_ = false;
};

}  // namespace paginor
