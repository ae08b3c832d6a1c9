// The main window: start-up, menus and toolbars from the command table, menu enabling, the
// document management (new, open, save, PDF export, close questions), recent files, the
// window menu and the view switches.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "editing/commands.h"
#include "editing/page_setup.h"
#include "gui/gui_test_support.h"
#include "support/test_support.h"
#include "window/document_window.h"

namespace paginor::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A copy of the example document in a fresh directory.
std::string exampleCopy(const std::string& dir, const std::string& name = "beispiel.sbl") {
  const std::string path = TempDir(dir) + "/" + name;
  fs::copy_file(ExampleDocument(), path, fs::copy_options::overwrite_existing);
  return path;
}

QStringList menuTexts(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) out << a->text();
  return out;
}

TEST(ShellMainWindow, StartsWithOneNewDocumentAndTheFixedFrame) {
  GuiFixture f;
  TMainForm& form = *f.form;
  EXPECT_EQ(form.windowTitle(), "Tolvera Paginor");
  form.handleCommandLine({});
  ASSERT_EQ(form.documents().size(), 1u);
  DocumentWindow* w = form.activeDocument();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "NONAME1");
  EXPECT_EQ(w->child().doc.modified, 0);

  // "&Neu" numbers by the windows open plus one.
  form.runCommand(CommandId::FileNew);
  EXPECT_EQ(form.activeDocument()->windowTitle(), "NONAME2");

  const char* bars[] = {"Standartleiste", "Formatleiste", "Zeichnenleiste", "Format erweitert"};
  for (int i = 0; i < 4; ++i) {
    QToolBar* bar = form.toolBar(static_cast<ToolbarId>(i));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->windowTitle(), QString::fromUtf8(bars[i]));
  }
  EXPECT_EQ(form.statusPanel(0)->width(), 150);
  EXPECT_EQ(form.statusPanel(1)->width(), 150);
  EXPECT_EQ(form.statusPanel(2)->width(), 30);
  EXPECT_GE(form.statusPanel(3)->width(), 50);
  // The first paint shows the Cursor's page and line.
  GuiFixture::settle(form.activeDocument());
  EXPECT_EQ(form.statusPanel(0)->text(), "S 1     1/1");
  EXPECT_EQ(form.statusPanel(1)->text(), "Ze 1     Sp 1");
}

TEST(ShellMainWindow, MenusCarryEveryCommandOfTheTable) {
  GuiFixture f;
  TMainForm& form = *f.form;
  form.handleCommandLine({});
  QStringList bar;
  for (QAction* a : form.menuBar()->actions()) bar << a->text();
  for (const Menu& m : MenuBar())
    EXPECT_TRUE(bar.contains(QString::fromUtf8(m.caption))) << m.caption;

  for (const Command& c : AllCommands()) {
    if (c.id == CommandId::None || !*c.caption) continue;
    QAction* a = form.action(c.id);
    if (c.kind == CommandKind::ComboBox) continue;
    ASSERT_NE(a, nullptr) << c.caption;
    EXPECT_TRUE(a->text().startsWith(QString::fromUtf8(c.caption)) || c.id == CommandId::EditUndo ||
                c.id == CommandId::EditRedo || c.id == CommandId::DatabaseCurrentRecord)
        << c.caption << " shown as " << a->text().toStdString();
    if (*c.shortcut && !c.shortcutInKeyHandler) {
      EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromUtf8(c.shortcut))) << c.caption;
    }
    // The undo buttons' hints name the step ("Rückgängig: Nicht möglich").
    if (*c.hint) {
      EXPECT_TRUE(a->toolTip().startsWith(QString::fromUtf8(c.hint))) << c.caption;
    }
  }
  form.updateMenuState();
  // Nothing pretends to work: an item without its operation stays disabled.
  for (const Command& c : AllCommands()) {
    if (QAction* a = form.action(c.id); a && !c.implemented) {
      EXPECT_FALSE(a->isEnabled()) << c.caption;
    }
  }
  // The zoom box offers its ten entries.
  ASSERT_EQ(form.zoomBox()->count(), 10);
  EXPECT_EQ(form.zoomBox()->itemText(0), "250%");
  EXPECT_EQ(form.zoomBox()->itemText(9), "Ganze Seite");
}

TEST(ShellMainWindow, MenuEnablingFollowsTheActiveDocument) {
  GuiFixture f;
  TMainForm& form = *f.form;
  form.updateMenuState();
  // Without a document the document commands are off.
  EXPECT_TRUE(form.action(CommandId::FileNew)->isEnabled());
  EXPECT_FALSE(form.action(CommandId::FileSaveAs)->isEnabled());
  EXPECT_FALSE(form.action(CommandId::FilePdfExport)->isEnabled());

  const std::string path = exampleCopy("shell_enabling");
  DocumentWindow* w = form.openDocument(path);
  ASSERT_NE(w, nullptr);
  emit form.menu(MenuId::File)->aboutToShow();
  // An opened, unmodified document has nothing to save.
  EXPECT_FALSE(form.action(CommandId::FileSave)->isEnabled());
  EXPECT_TRUE(form.action(CommandId::FileSaveAs)->isEnabled());
  EXPECT_TRUE(form.action(CommandId::FilePdfExport)->isEnabled());
  // The Cursor stands in the body, outside a table.
  EXPECT_TRUE(form.action(CommandId::InsertPageBreak)->isEnabled());
  EXPECT_FALSE(form.action(CommandId::TableDeleteRows)->isEnabled());

  TypeKeys(*w, "x");
  emit form.menu(MenuId::File)->aboutToShow();
  EXPECT_TRUE(form.action(CommandId::FileSave)->isEnabled());
  emit form.menu(MenuId::Edit)->aboutToShow();
  // The menu names the step and the Linux keys the document window takes for it.
  EXPECT_EQ(form.action(CommandId::EditUndo)->text(),
            QString::fromUtf8("&Rückgängig: Eingabe\tCtrl+Z"));
  EXPECT_EQ(form.action(CommandId::EditRedo)->text(),
            QString::fromUtf8("&Wiederholen: Nicht möglich\tCtrl+Y"));
}

TEST(ShellMainWindow, OpenTypeSaveKeepsTheFileAndTheRecentList) {
  GuiFixture f;
  TMainForm& form = *f.form;
  const std::string path = exampleCopy("shell_save");
  const std::string before = readFile(path);
  DocumentWindow* w = form.openDocument(path);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "beispiel.sbl");
  // The recent files show the shortened path as the first File menu entry.
  emit form.menu(MenuId::File)->aboutToShow();
  ASSERT_EQ(form.recentFileActions().size(), 2u);  // separator and one entry
  EXPECT_EQ(form.recentFileActions()[1]->text(), "&1 beispiel.sbl");

  TypeKeys(*w, "Neu ");
  EXPECT_EQ(w->windowTitle(), "beispiel.sbl*");
  form.runCommand(CommandId::FileSave);
  EXPECT_TRUE(f.messages.empty()) << f.messages.front().text;
  EXPECT_EQ(w->windowTitle(), "beispiel.sbl");
  EXPECT_EQ(w->child().doc.modified, 0);
  const std::string after = readFile(path);
  EXPECT_NE(after, before);
  EXPECT_GT(after.size(), 100u);

  // Opening it again reads back the typed words.
  DocumentWindow* again = form.openDocument(path);
  ASSERT_NE(again, nullptr);
  EXPECT_NE(BodyText(again->child()).find("Neu "), std::string::npos);
  // The same path three times stays once in the list, at the top.
  form.openDocument(path);
  EXPECT_EQ(form.settings().recentFiles.entries(), std::vector<std::string>{path});
}

TEST(ShellMainWindow, SaveAsAddsTheExtensionOfTheChosenFilter) {
  GuiFixture f;
  TMainForm& form = *f.form;
  DocumentWindow* w = form.newDocument();
  TypeKeys(*w, "Bericht");
  const std::string dir = TempDir("shell_save_as");
  f.answerFileDialog(dir + "/report", 3);  // "Textdateien (*.txt)"
  form.runCommand(CommandId::FileSaveAs);
  ASSERT_EQ(f.dialogsShown.size(), 1u);
  EXPECT_TRUE(fs::exists(dir + "/report.txt"));
  EXPECT_NE(readFile(dir + "/report.txt").find("Bericht"), std::string::npos);
  EXPECT_EQ(w->windowTitle(), "report.txt");
  EXPECT_EQ(form.settings().recentFiles.entries().front(), dir + "/report.txt");
}

TEST(ShellMainWindow, PdfExportWritesTheFileAndShowsIt) {
  GuiFixture f;
  TMainForm& form = *f.form;
  ASSERT_NE(form.openDocument(ExampleDocument()), nullptr);
  const std::string dir = TempDir("shell_pdf");
  f.answerFileDialog(dir + "/beispiel");
  form.runCommand(CommandId::FilePdfExport);
  const std::string pdf = dir + "/beispiel.pdf";
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_EQ(readFile(pdf).substr(0, 5), "%PDF-");
  ASSERT_EQ(f.viewerPaths.size(), 1u);
  EXPECT_EQ(f.viewerPaths[0], pdf);

  // A cancelled dialog writes nothing and opens nothing.
  form.runCommand(CommandId::FilePdfExport);
  EXPECT_EQ(f.viewerPaths.size(), 1u);
}

TEST(ShellMainWindow, ClosingAModifiedDocumentAsks) {
  GuiFixture f;
  TMainForm& form = *f.form;
  DocumentWindow* w = form.newDocument();
  TypeKeys(*w, "abc");

  // Cancel keeps the window.
  f.answers = {MsgResult::Cancel};
  EXPECT_FALSE(form.closeWindow(*w));
  ASSERT_EQ(f.messages.size(), 1u);
  EXPECT_EQ(f.messages[0].text, "Möchten Sie die Änderungen in NONAME1 speichern?");
  EXPECT_EQ(f.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(f.messages[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_EQ(form.documents().size(), 1u);

  // Yes with a cancelled save dialog keeps it too.
  f.answers = {MsgResult::Yes};
  EXPECT_FALSE(form.closeWindow(*w));
  EXPECT_EQ(form.documents().size(), 1u);

  // Yes with a name saves, then closes.
  const std::string dir = TempDir("shell_close");
  f.answers = {MsgResult::Yes};
  f.answerFileDialog(dir + "/gerettet");
  EXPECT_TRUE(form.closeWindow(*w));
  QApplication::processEvents();
  EXPECT_TRUE(fs::exists(dir + "/gerettet.sbl"));
  EXPECT_TRUE(form.documents().empty());

  // No closes without saving.
  DocumentWindow* second = form.newDocument();
  TypeKeys(*second, "z");
  f.answers = {MsgResult::No};
  EXPECT_TRUE(form.closeWindow(*second));
  QApplication::processEvents();
  EXPECT_TRUE(form.documents().empty());
}

TEST(ShellMainWindow, ClosingTheMainWindowAsksEveryModifiedDocument) {
  GuiFixture f;
  TMainForm& form = *f.form;
  TypeKeys(*form.newDocument(), "eins");
  TypeKeys(*form.newDocument(), "zwei");
  f.answers = {MsgResult::No, MsgResult::Cancel};
  EXPECT_FALSE(form.close());
  EXPECT_EQ(f.messages.size(), 2u);
  EXPECT_EQ(form.documents().size(), 1u);  // the first closed, the second stayed
  EXPECT_TRUE(form.isVisible());
}

TEST(ShellMainWindow, UnreadableFilesLeaveNoWindowButAMessage) {
  GuiFixture f;
  TMainForm& form = *f.form;
  const std::string dir = TempDir("shell_damaged");
  const std::string bad = dir + "/kaputt.sbl";
  std::ofstream(bad, std::ios::binary) << "keine Scribolantium-Datei";
  EXPECT_EQ(form.openDocument(bad), nullptr);
  EXPECT_EQ(form.openDocument(dir + "/fehlt.sbl"), nullptr);
  EXPECT_TRUE(form.documents().empty());
  ASSERT_EQ(f.messages.size(), 2u);
  EXPECT_EQ(f.messages[0].text, "Dies ist kein gültiges Scribolantium Dokument!");
  EXPECT_NE(f.messages[1].text.find("fehlt.sbl"), std::string::npos);
  EXPECT_TRUE(form.settings().recentFiles.entries().empty());
}

TEST(ShellMainWindow, CommandLinePrintsOnlyTheFilesAfterP) {
  const std::string dir = TempDir("shell_print");
  const std::string a = exampleCopy("shell_print", "a.sbl");
  // b: a one-page document of its own.
  {
    GuiFixture f;
    DocumentWindow* w = f.form->newDocument();
    TypeKeys(*w, "b");
    f.answerFileDialog(dir + "/b.sbl");
    f.form->runCommand(CommandId::FileSaveAs);
    ASSERT_TRUE(fs::exists(dir + "/b.sbl"));
  }
  const std::string printed = dir + "/druck.pdf";
  qputenv("PAGINOR_PRINT_TO_FILE", QByteArray::fromStdString(printed));
  {
    GuiFixture f;
    f.form->handleCommandLine({a, "/p", dir + "/b.sbl"});
    EXPECT_EQ(f.form->documents().size(), 2u);
    EXPECT_TRUE(f.messages.empty()) << f.messages.front().text;
  }
  qunsetenv("PAGINOR_PRINT_TO_FILE");
  ASSERT_TRUE(fs::exists(printed));
  const std::string pdf = readFile(printed);
  // One job of one sheet: b's single page, not the example's two.
  size_t pages = 0;
  for (size_t at = pdf.find("/Type /Page\n"); at != std::string::npos;
       at = pdf.find("/Type /Page\n", at + 1))
    ++pages;
  for (size_t at = pdf.find("/Type /Page\r"); at != std::string::npos;
       at = pdf.find("/Type /Page\r", at + 1))
    ++pages;
  EXPECT_EQ(pages, 1u);
}

TEST(ShellMainWindow, PageSetupChangesTheActiveDocument) {
  GuiFixture f;
  TMainForm& form = *f.form;
  DocumentWindow* w = form.newDocument();
  f.dialogAnswers.push_back([](Dialog& d) {
    auto* p = dynamic_cast<PageSetupDialog*>(&d);
    if (!p) return false;
    p->landscape = true;
    p->onFormatOrOrientationChanged();
    return true;
  });
  form.runCommand(CommandId::FilePageSetup);
  ASSERT_EQ(f.dialogsShown, std::vector<std::string>{"Seite einrichten"});
  EXPECT_NEAR(w->child().doc.pageWidth, 297.0, 0.5);
  EXPECT_NEAR(w->child().doc.pageHeight, 210.0, 0.5);
  GuiFixture::settle(w);
  EXPECT_GT(w->view().geometry.pageWidth, w->view().geometry.pageHeight);
}

TEST(ShellMainWindow, WindowMenuArrangesTheDocuments) {
  GuiFixture f;
  TMainForm& form = *f.form;
  form.newDocument();
  form.newDocument();
  form.runCommand(CommandId::WindowTileVertical);
  auto subs = form.mdiArea()->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(subs.size(), 2);
  // Side by side, each as high as the area.
  EXPECT_EQ(subs[0]->height(), subs[1]->height());
  EXPECT_EQ(subs[0]->y(), subs[1]->y());
  EXPECT_NE(subs[0]->x(), subs[1]->x());
  form.runCommand(CommandId::WindowTileHorizontal);
  // One above the other, each as wide as the area.
  EXPECT_EQ(subs[0]->width(), subs[1]->width());
  EXPECT_EQ(subs[0]->x(), subs[1]->x());
  EXPECT_NE(subs[0]->y(), subs[1]->y());
  form.runCommand(CommandId::WindowMinimizeAll);
  EXPECT_TRUE(subs[0]->isMinimized());
  EXPECT_TRUE(subs[1]->isMinimized());
  // The window list follows the menu's own entries.
  emit form.menu(MenuId::Window)->aboutToShow();
  QStringList texts = menuTexts(form.menu(MenuId::Window));
  EXPECT_TRUE(texts.contains("&1 NONAME1"));
  EXPECT_TRUE(texts.contains("&2 NONAME2"));
}

TEST(ShellMainWindow, NewWindowsBesideNormalOnesGetMostOfTheArea) {
  GuiFixture f;
  TMainForm& form = *f.form;
  DocumentWindow* first = form.newDocument();
  QMdiSubWindow* one = form.subWindowOf(first);
  EXPECT_TRUE(one->isMaximized());
  const QSize area = form.mdiArea()->viewport()->size();
  ASSERT_GT(area.width(), 600);
  // The restore button of the maximised window: it keeps a usable size.
  one->showNormal();
  QApplication::processEvents();
  EXPECT_GE(one->width(), area.width() * 7 / 10);
  EXPECT_GE(one->height(), area.height() * 7 / 10);

  // "&Neu" while the other window is not maximised: most of the area, one step down and right.
  form.runCommand(CommandId::FileNew);
  QApplication::processEvents();
  QMdiSubWindow* two = form.subWindowOf(form.activeDocument());
  ASSERT_NE(two, one);
  EXPECT_FALSE(two->isMaximized());
  EXPECT_GE(two->width(), area.width() * 7 / 10);
  EXPECT_GE(two->height(), area.height() * 7 / 10);
  EXPECT_GT(two->x(), one->x());
  EXPECT_GT(two->y(), one->y());
  EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(two->geometry()));
  // The page shows in it, not a corner of grey.
  GuiFixture::settle(form.activeDocument());
  EXPECT_GE(form.activeDocument()->scrollArea()->viewport()->width(), area.width() / 2);

  // Beside a maximised window a new one is maximised too.
  two->showMaximized();
  form.runCommand(CommandId::FileNew);
  EXPECT_TRUE(form.subWindowOf(form.activeDocument())->isMaximized());
}

TEST(ShellMainWindow, StatusBarFollowsTheActiveDocumentAndEmptiesWithTheLast) {
  GuiFixture f;
  TMainForm& form = *f.form;
  DocumentWindow* a = form.newDocument();
  TypeKeys(*a, "abc");
  GuiFixture::settle(a);
  EXPECT_EQ(form.statusPanel(1)->text(), "Ze 1     Sp 4");
  DocumentWindow* b = form.newDocument();
  GuiFixture::settle(b);
  EXPECT_EQ(form.statusPanel(1)->text(), "Ze 1     Sp 1");
  // Back to the first window: its values at once, before any paint.
  form.mdiArea()->setActiveSubWindow(form.subWindowOf(a));
  EXPECT_EQ(form.statusPanel(1)->text(), "Ze 1     Sp 4");
  // The other window painting behind it does not take the status bar over.
  b->repaintNow();
  EXPECT_EQ(form.statusPanel(1)->text(), "Ze 1     Sp 4");
  EXPECT_EQ(form.statusPanel(0)->text(), "S 1     1/1");
  // Closing the last document leaves nothing of it behind.
  f.answers = {MsgResult::No};
  EXPECT_TRUE(form.closeWindow(*a));
  QApplication::processEvents();
  EXPECT_EQ(form.statusPanel(1)->text(), "Ze 1     Sp 1");
  EXPECT_TRUE(form.closeWindow(*b));
  QApplication::processEvents();
  EXPECT_TRUE(form.documents().empty());
  EXPECT_EQ(form.statusPanel(0)->text(), "");
  EXPECT_EQ(form.statusPanel(1)->text(), "");
}

TEST(ShellMainWindow, InfoNamesTheVersion) {
  GuiFixture f;
  f.form->runCommand(CommandId::HelpInfo);
  ASSERT_EQ(f.messages.size(), 1u);
  const QString text = QString::fromStdString(f.messages[0].text);
  EXPECT_TRUE(QRegularExpression("\\bVersion \\d+\\.\\d+\\.\\d+$").match(text).hasMatch())
      << f.messages[0].text;
  EXPECT_TRUE(text.endsWith(PAGINOR_VERSION));
}

TEST(ShellMainWindow, ZoomBoxStaysInViewAtTheDefaultSize) {
  GuiFixture f;
  TMainForm& form = *f.form;
  form.newDocument();
  QApplication::processEvents();
  QToolBar* bar = form.toolBar(ToolbarId::Standard);
  QComboBox* zoom = form.zoomBox();
  EXPECT_TRUE(zoom->isVisible()) << "hidden behind the toolbar's overflow button";
  EXPECT_LE(zoom->geometry().right(), bar->width());
}

TEST(ShellMainWindow, ViewSwitchesAndHelp) {
  GuiFixture f;
  TMainForm& form = *f.form;
  DocumentWindow* w = form.newDocument();
  EXPECT_TRUE(form.statusBar()->isVisible());
  form.runCommand(CommandId::ViewStatusBar);
  EXPECT_FALSE(form.statusBar()->isVisible());
  EXPECT_FALSE(form.settings().statusBarVisible);
  form.runCommand(CommandId::ViewToolbarDrawing);
  EXPECT_FALSE(form.toolBar(ToolbarId::Drawing)->isVisible());
  EXPECT_FALSE(form.settings().toolbarVisible[2]);

  EXPECT_FALSE(w->view().options.markAll);
  form.runCommand(CommandId::ShowMarks);
  EXPECT_TRUE(w->view().options.markAll);
  EXPECT_TRUE(form.action(CommandId::ShowMarks)->isChecked());

  form.runCommand(CommandId::HelpInfo);
  ASSERT_EQ(f.messages.size(), 1u);
  EXPECT_NE(f.messages[0].text.find("Tolvera Paginor"), std::string::npos);
}

}  // namespace
}  // namespace paginor::test
