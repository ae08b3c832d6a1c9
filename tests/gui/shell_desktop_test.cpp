// What the program hands to the desktop and takes from it: the PDF viewer and the browser with
// the manual through xdg-open (stand-ins in PATH take its place, ending as the real one does),
// the manual's pages against the command table, and file names whose bytes are not UTF-8.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include "editing/commands.h"
#include "gui/gui_test_support.h"
#include "support/test_support.h"

namespace paginor::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs the event loop until `done` holds or `ms` have passed.
bool waitFor(const std::function<bool()>& done, int ms = 15000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

// An xdg-open of its own in `dir`: it notes each file it is given in `dir`/opened.txt and ends
// with `exitCode` (0: a program took the file; 3: none was found, as xdg-open says it).
void writeLauncher(const std::string& dir, int exitCode) {
  const std::string path = dir + "/xdg-open";
  std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" << dir << "/opened.txt\"\nexit "
                      << exitCode << "\n";
  ::chmod(path.c_str(), 0755);
}

std::vector<std::string> openedBy(const std::string& dir) {
  std::vector<std::string> lines;
  std::ifstream in(dir + "/opened.txt");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// PATH starts with a directory of the test's for as long as the guard lives.
class PathFirst {
 public:
  explicit PathFirst(const std::string& dir, bool only = false) : saved_(qgetenv("PATH")) {
    qputenv("PATH",
            only ? QByteArray::fromStdString(dir) : QByteArray::fromStdString(dir) + ':' + saved_);
  }
  ~PathFirst() { qputenv("PATH", saved_); }

 private:
  QByteArray saved_;
};

// A fixture whose viewer hand-over runs for real (through xdg-open) instead of the script.
struct RealLauncher : GuiFixture {
  RealLauncher() { qt.ui.openHook = nullptr; }
};

TEST(ShellDesktop, PdfExportSaysSoWhenNoProgramShowsTheFile) {
  RealLauncher f;
  TMainForm& form = *f.form;
  ASSERT_NE(form.openDocument(ExampleDocument()), nullptr);
  const std::string dir = TempDir("desktop_pdf");
  const std::string bin = dir + "/bin";
  fs::create_directories(bin);
  PathFirst path(bin);

  // xdg-open finds no program for PDF files: the file is written, and the user is told.
  writeLauncher(bin, 3);
  f.answerFileDialog(dir + "/ohne");
  form.runCommand(CommandId::FilePdfExport);
  ASSERT_TRUE(waitFor([&] { return !f.messages.empty(); }));
  EXPECT_EQ(f.messages[0].text,
            "Die PDF-Datei ohne.pdf wurde geschrieben, aber kein Programm zum Anzeigen gefunden.");
  EXPECT_EQ(readFile(dir + "/ohne.pdf").substr(0, 5), "%PDF-");
  EXPECT_EQ(openedBy(bin), std::vector<std::string>{dir + "/ohne.pdf"});

  // A program takes the file: nothing to say.
  writeLauncher(bin, 0);
  f.answerFileDialog(dir + "/mit.pdf");
  form.runCommand(CommandId::FilePdfExport);
  ASSERT_TRUE(waitFor([&] { return openedBy(bin).size() == 2; }));
  waitFor([] { return false; }, 300);
  EXPECT_EQ(f.messages.size(), 1u);
  EXPECT_EQ(openedBy(bin).back(), dir + "/mit.pdf");
}

TEST(ShellDesktop, PdfExportWithoutAnyLauncherSaysSoToo) {
  RealLauncher f;
  TMainForm& form = *f.form;
  ASSERT_NE(form.openDocument(ExampleDocument()), nullptr);
  const std::string dir = TempDir("desktop_pdf_none");
  fs::create_directories(dir + "/leer");
  PathFirst path(dir + "/leer", /*only*/ true);
  f.answerFileDialog(dir + "/nichts");
  form.runCommand(CommandId::FilePdfExport);
  ASSERT_TRUE(waitFor([&] { return !f.messages.empty(); }));
  EXPECT_EQ(f.messages[0].text,
            "Die PDF-Datei nichts.pdf wurde geschrieben, aber kein Programm zum Anzeigen "
            "gefunden.");
  EXPECT_TRUE(fs::exists(dir + "/nichts.pdf"));
}

TEST(ShellDesktop, HelpOpensTheManualInTheBrowserOrSaysWhyNot) {
  RealLauncher f;
  TMainForm& form = *f.form;
  const std::string dir = TempDir("desktop_help");
  PathFirst path(dir);
  writeLauncher(dir, 0);
  form.runCommand(CommandId::HelpContents);
  ASSERT_TRUE(waitFor([&] { return !openedBy(dir).empty(); }));
  const std::string page = openedBy(dir).front();
  EXPECT_EQ(fs::path(page).filename(), "index.html");
  EXPECT_NE(readFile(page).find("Paginor – Handbuch"), std::string::npos);
  waitFor([] { return false; }, 300);
  EXPECT_TRUE(f.messages.empty()) << f.messages.front().text;

  // No browser: the user learns why nothing opened.
  writeLauncher(dir, 3);
  form.runCommand(CommandId::HelpContents);
  ASSERT_TRUE(waitFor([&] { return !f.messages.empty(); }));
  EXPECT_EQ(f.messages[0].text,
            "Das Handbuch konnte nicht angezeigt werden: Es wurde kein Browser gefunden, der "
            "HTML-Seiten öffnet.");
}

// --- The manual ----------------------------------------------------------------------------

std::string withoutAmpersand(std::string s) {
  std::erase(s, '&');
  return s;
}

// The <dt> entries of the first <dl class="..."> list of a page.
std::set<std::string> listEntries(const std::string& html, const std::string& cls) {
  std::set<std::string> out;
  const QString page = QString::fromStdString(html);
  const QRegularExpression list("<dl class=\"" + QString::fromStdString(cls) + "\">(.*?)</dl>",
                                QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch m = list.match(page);
  if (!m.hasMatch()) return out;
  QRegularExpressionMatchIterator it =
      QRegularExpression("<dt>(.*?)</dt>").globalMatch(m.captured(1));
  while (it.hasNext()) out.insert(it.next().captured(1).toStdString());
  return out;
}

void implementedItems(const std::vector<MenuEntry>& entries, std::set<std::string>& out) {
  for (const MenuEntry& e : entries) {
    if (e.kind == MenuEntry::Kind::Submenu) implementedItems(e.children, out);
    if (e.kind != MenuEntry::Kind::Item) continue;
    const Command& c = CommandInfo(e.id);
    if (c.implemented) out.insert(withoutAmpersand(c.caption));
  }
}

TEST(ShellDesktop, TheManualHasAPagePerMenuWithExactlyTheCommandsThatExist) {
  const char* data = std::getenv("PAGINOR_DATA_DIR");
  ASSERT_NE(data, nullptr);
  const std::string help = std::string(data) + "/help/";
  const std::string index = readFile(help + "index.html");
  ASSERT_FALSE(index.empty()) << "the manual is installed with the program data";
  for (const Menu& m : MenuBar()) {
    const std::string caption = withoutAmpersand(m.caption);
    SCOPED_TRACE(caption);
    const QRegularExpression link("<a href=\"([a-z]+\\.html)\">" +
                                  QRegularExpression::escape(QString::fromStdString(caption)) +
                                  "</a>");
    const QRegularExpressionMatch found = link.match(QString::fromStdString(index));
    ASSERT_TRUE(found.hasMatch()) << "index.html links the menu's page";
    const std::string page = readFile(help + found.captured(1).toStdString());
    ASSERT_FALSE(page.empty());
    std::set<std::string> expected;
    implementedItems(m.entries, expected);
    EXPECT_EQ(listEntries(page, "befehle"), expected);
  }
  // The format toolbar's buttons that work are on the format page.
  std::set<std::string> buttons;
  for (const Toolbar& t : Toolbars())
    if (t.id == ToolbarId::Format)
      for (CommandId id : t.items)
        if (id != CommandId::None && CommandInfo(id).implemented)
          buttons.insert(CommandInfo(id).hint);
  EXPECT_EQ(listEntries(readFile(help + "format.html"), "knoepfe"), buttons);
  // Every page the manual links to is there.
  for (const auto& entry : fs::directory_iterator(help)) {
    if (entry.path().extension() != ".html") continue;
    const QString text = QString::fromStdString(readFile(entry.path().string()));
    QRegularExpressionMatchIterator it =
        QRegularExpression("href=\"([^\"#:]+)\"").globalMatch(text);
    while (it.hasNext()) {
      const std::string target = it.next().captured(1).toStdString();
      EXPECT_TRUE(fs::exists(help + target)) << entry.path() << " links " << target;
    }
  }
}

// --- File names ------------------------------------------------------------------------------

TEST(ShellDesktop, FileNamesKeepTheirLettersWhateverTheirBytes) {
  GuiFixture f;
  TMainForm& form = *f.form;
  const std::string dir = TempDir("desktop_names");
  const std::string utf8 = dir + "/Brief Übung.txt";
  // A name from an older disk: "Alte Änderung.txt" in Latin-1, no valid UTF-8.
  const std::string latin1 = dir + "/Alte \xC4nderung.txt";
  std::ofstream(utf8) << "Hallo\n";
  std::ofstream(latin1) << "Hallo\n";
  form.handleCommandLine({utf8, latin1});
  ASSERT_EQ(form.documents().size(), 2u) << (f.messages.empty() ? "" : f.messages[0].text);
  DocumentWindow* first = form.documents()[0];
  DocumentWindow* second = form.documents()[1];
  EXPECT_EQ(first->windowTitle(), QString::fromUtf8("Brief Übung.txt"));
  EXPECT_EQ(second->windowTitle(), QString::fromUtf8("Alte Änderung.txt"));
  EXPECT_EQ(form.subWindowOf(second)->windowTitle(), QString::fromUtf8("Alte Änderung.txt"));

  // The close question.
  TypeKeys(*first, "x");
  TypeKeys(*second, "y");
  f.answers = {MsgResult::Cancel, MsgResult::Cancel};
  EXPECT_FALSE(form.closeWindow(*first));
  EXPECT_FALSE(form.closeWindow(*second));
  ASSERT_EQ(f.messages.size(), 2u);
  EXPECT_EQ(f.messages[0].text, "Möchten Sie die Änderungen in Brief Übung.txt speichern?");
  EXPECT_EQ(f.messages[1].text, "Möchten Sie die Änderungen in Alte Änderung.txt speichern?");

  // The recent files of the File menu.
  emit form.menu(MenuId::File)->aboutToShow();
  QStringList recent;
  for (QAction* a : form.recentFileActions()) recent << a->text();
  EXPECT_TRUE(recent.contains(QString::fromUtf8("&1 Alte Änderung.txt")))
      << recent.join('|').toStdString();

  // A message about a file that is not there names it with its letters.
  form.handleCommandLine({dir + "/Fehlt \xDC.sbl"});
  ASSERT_EQ(f.messages.size(), 3u);
  EXPECT_NE(f.messages[2].text.find("Fehlt Ü.sbl"), std::string::npos) << f.messages[2].text;

  // The print queue shows the job under the document's name.
  const std::string printed = dir + "/druck.pdf";
  qputenv("PAGINOR_PRINT_TO_FILE", QByteArray::fromStdString(printed));
  form.mdiArea()->setActiveSubWindow(form.subWindowOf(second));
  form.runCommand(CommandId::FilePrintFast);
  qunsetenv("PAGINOR_PRINT_TO_FILE");
  const std::string pdf = readFile(printed);
  ASSERT_FALSE(pdf.empty());
  // Qt writes the title as UTF-16 with a byte-order mark.
  QByteArray title("\xFE\xFF", 2);
  for (QChar c : QString::fromUtf8("Scribolantium - Alte Änderung.txt")) {
    title += static_cast<char>(c.unicode() >> 8);
    title += static_cast<char>(c.unicode() & 0xFF);
  }
  EXPECT_NE(pdf.find(title.toStdString()), std::string::npos);
  for (DocumentWindow* w : form.documents()) w->child().doc.modified = 0;
}

}  // namespace
}  // namespace paginor::test
