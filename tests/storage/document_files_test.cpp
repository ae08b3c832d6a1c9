// Document management: choosing readers and writers, the ".bak" backup, the dialogs' extension
// rules, new document names and the question before closing a modified document.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/document_files.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"
#include "window/document_window.h"

namespace paginor {
namespace {

namespace fs = std::filesystem;

std::string testDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return test::TempDir(std::string("docfiles_") + info->test_suite_name() + "_" + info->name());
}

std::string readFile(const std::string& path) {
  const auto bytes = test::ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

void writeFile(const std::string& path, const std::string& content) {
  test::WriteBytes(path, {content.begin(), content.end()});
}

bool isNative(const std::string& path) {
  const auto bytes = test::ReadBytes(path);
  return HasSblMagic(bytes.data(), bytes.size());
}

// A window with some typed text, and the settings of the main window.
struct Docs : test::Fixture {
  Docs() {
    test::TypeText(w(), "Hallo Welt");
    SetFileChanged(w(), true);
  }
  HeadlessUi& ui() { return host.ui; }
  // The save dialog answers with `name` and filter `filter`.
  void answerFileDialog(std::string name, int filter) {
    host.dialogs.push([name, filter](Dialog& d) {
      auto& f = dynamic_cast<FileDialog&>(d);
      f.fileName = name;
      f.filterIndex = filter;
      return true;
    });
  }
  AppSettings settings;
};

TEST(DocumentFormats, WriterByFileTypeThenByUpperCaseExtension) {
  EXPECT_EQ(WriterFor(kSaveNative, "a.txt"), DocumentFormat::Native);
  EXPECT_EQ(WriterFor(kSaveRtf, "a.sbl"), DocumentFormat::Rtf);
  EXPECT_EQ(WriterFor(kSaveAnsiText, "a.rtf"), DocumentFormat::AnsiText);
  EXPECT_EQ(WriterFor(kSaveDosText, "a"), DocumentFormat::DosText);
  EXPECT_EQ(WriterFor(0, "/x/a.TxT"), DocumentFormat::AnsiText);
  EXPECT_EQ(WriterFor(0, "a.rtf"), DocumentFormat::Rtf);
  EXPECT_EQ(WriterFor(0, "a.doc"), DocumentFormat::Native);
  EXPECT_EQ(WriterFor(7, "a.txt"), DocumentFormat::AnsiText);
  // A dot in a directory name is no extension.
  EXPECT_EQ(WriterFor(0, "/x.txt/a"), DocumentFormat::Native);
}

TEST(DocumentFormats, ReaderByFileTypeThenByUpperCaseExtension) {
  EXPECT_EQ(ReaderFor(kOpenNative, "a.txt"), DocumentFormat::Native);
  EXPECT_EQ(ReaderFor(kOpenWord, "a.sbl"), DocumentFormat::Word);
  EXPECT_EQ(ReaderFor(kOpenRtf, "a.sbl"), DocumentFormat::Rtf);
  EXPECT_EQ(ReaderFor(kOpenAnsiText, "a.sbl"), DocumentFormat::AnsiText);
  EXPECT_EQ(ReaderFor(kOpenDosText, "a.sbl"), DocumentFormat::DosText);
  EXPECT_EQ(ReaderFor(0, "a.Doc"), DocumentFormat::Word);
  EXPECT_EQ(ReaderFor(6, "a.RTF"), DocumentFormat::Rtf);
  EXPECT_EQ(ReaderFor(0, "a.txt"), DocumentFormat::AnsiText);
  EXPECT_EQ(ReaderFor(0, "a.sBl"), DocumentFormat::Native);
  EXPECT_EQ(ReaderFor(0, "a.html"), DocumentFormat::AnsiText);
  EXPECT_EQ(ReaderFor(0, "README"), DocumentFormat::AnsiText);
  // The open and save numberings differ from 2 on.
  EXPECT_EQ(SaveTypeAfterOpen(kOpenRtf), kSaveRtf);
  EXPECT_EQ(SaveTypeAfterOpen(kOpenAnsiText), kSaveAnsiText);
  EXPECT_EQ(SaveTypeAfterOpen(kOpenDosText), kSaveDosText);
  EXPECT_EQ(SaveTypeAfterOpen(kOpenWord), kSaveByExtension);
}

TEST(DocumentNames, ExtensionRulesOfTheDialogs) {
  EXPECT_EQ(WithSaveExtension("/d/report", 1), "/d/report.sbl");
  EXPECT_EQ(WithSaveExtension("/d/report", 2), "/d/report.rtf");
  EXPECT_EQ(WithSaveExtension("/d/report", 3), "/d/report.txt");
  EXPECT_EQ(WithSaveExtension("/d/report", 4), "/d/report.txt");
  EXPECT_EQ(WithSaveExtension("/d/report", kSaveUtf8Text), "/d/report.txt");
  EXPECT_EQ(WithSaveExtension("/d/report.txt", 2), "/d/report.txt");
  EXPECT_EQ(WithSaveExtension("/d.e/.profile", 1), "/d.e/.profile.sbl");
  EXPECT_EQ(WithPdfExtension("/d/report"), "/d/report.pdf");
  EXPECT_EQ(WithPdfExtension("/d/report.pdf"), "/d/report.pdf");
  EXPECT_EQ(PathWithoutExtension("/a/b.x/report.sbl"), "/a/b.x/report");
  EXPECT_EQ(PathWithoutExtension("/a/b.x/report"), "/a/b.x/report");
  EXPECT_EQ(BackupPathFor("/a/report.sbl"), "/a/report.bak");
  EXPECT_EQ(BackupPathFor("/a/report"), "/a/report.bak");
  EXPECT_EQ(NonameName(1), "NONAME1");
  EXPECT_EQ(NonameName(12), "NONAME12");
}

TEST(DocumentDialogs, FiltersAndPresets) {
  AppSettings s;
  FileDialog open = MakeOpenDialog(s);
  EXPECT_EQ(open.mode, FileDialog::Mode::Open);
  // The filter indexes are the file types: seven pairs to open, five to save.
  EXPECT_EQ(std::count(open.filter.begin(), open.filter.end(), '|'), 13);
  EXPECT_EQ(open.filterIndex, 1);

  Document doc;
  doc.filePath = "/home/u/brief.sbl";
  FileDialog save = MakeSaveDialog(doc, kSaveAnsiText, false);
  EXPECT_EQ(save.mode, FileDialog::Mode::Save);
  EXPECT_EQ(std::count(save.filter.begin(), save.filter.end(), '|'), 9);
  EXPECT_EQ(save.filter.substr(save.filter.size() - 25), "|Text UTF-8 (*.txt)|*.txt");
  EXPECT_EQ(save.filter.substr(0, 36), "Scribolantium Dateien (*.sbl)|*.sbl|");
  EXPECT_EQ(save.fileName, "/home/u/brief");
  EXPECT_EQ(save.filterIndex, kSaveAnsiText);
  EXPECT_EQ(MakeSaveDialog(doc, 0, true).fileName, "");
  EXPECT_EQ(MakeSaveDialog(doc, 0, true).filterIndex, 1);
  EXPECT_EQ(MakeSaveDialog(doc, kSaveUtf8Text, false).filterIndex, kSaveUtf8Text);

  FileDialog pdf = MakePdfDialog(doc);
  EXPECT_EQ(pdf.fileName, "/home/u/brief");
}

TEST(DocumentDialogs, TheChosenOpenFilterIsRememberedAndBecomesTheFileType) {
  Docs d;
  d.answerFileDialog("/tmp/x.txt", 5);
  auto choice = ChooseFileToOpen(d.host.dialogs, d.settings);
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->path, "/tmp/x.txt");
  EXPECT_EQ(choice->openFileType, kOpenDosText);
  EXPECT_EQ(d.settings.lastOpenFilter, 5);
  EXPECT_EQ(MakeOpenDialog(d.settings).filterIndex, 5);
  // Cancelled: nothing changes.
  EXPECT_FALSE(ChooseFileToOpen(d.host.dialogs, d.settings).has_value());
  EXPECT_EQ(d.settings.lastOpenFilter, 5);
}

TEST(SaveFile, NameWithoutExtensionThroughTheTextFilterBecomesTxt) {
  Docs d;
  const std::string dir = testDir();
  int32_t type = 0;
  d.answerFileDialog(dir + "/report", 3);
  ASSERT_TRUE(SaveFileAs(d.w(), d.settings, type));
  EXPECT_EQ(type, kSaveAnsiText);
  EXPECT_EQ(d.doc().filePath, dir + "/report.txt");
  EXPECT_EQ(d.doc().fileName, "report.txt");
  EXPECT_EQ(d.doc().modified, 0);
  EXPECT_EQ(readFile(dir + "/report.txt"), "Hallo Welt\r\n");
  EXPECT_FALSE(fs::exists(dir + "/report"));
  EXPECT_EQ(d.settings.recentFiles.entries(), std::vector<std::string>{dir + "/report.txt"});
}

TEST(SaveFile, TxtNameThroughTheRtfFilterKeepsTheNameAndRefusesClearly) {
  Docs d;
  const std::string dir = testDir();
  d.doc().filePath = dir + "/alt.sbl";
  int32_t type = kSaveNative;
  d.answerFileDialog(dir + "/report.txt", 2);
  // This build has no RTF writer: the save says so instead of pretending.
  EXPECT_FALSE(SaveFileAs(d.w(), d.settings, type));
  ASSERT_EQ(d.ui().messages.size(), 1u);
  EXPECT_NE(d.ui().messages[0].text.find("report.txt"), std::string::npos);
  EXPECT_NE(d.ui().messages[0].text.find("RTF"), std::string::npos);
  EXPECT_EQ(d.ui().messages[0].icon, MsgIcon::Error);
  EXPECT_FALSE(fs::exists(dir + "/report.txt"));
  EXPECT_FALSE(fs::exists(dir + "/report.txt.rtf"));
  // The document keeps its previous path and type and stays modified.
  EXPECT_EQ(d.doc().filePath, dir + "/alt.sbl");
  EXPECT_EQ(type, kSaveNative);
  EXPECT_EQ(d.doc().modified, 1);
  EXPECT_TRUE(d.settings.recentFiles.entries().empty());
}

TEST(SaveFile, UpperCaseTxtWithTypeZeroWritesAnsiTextAndIsRecorded) {
  Docs d;
  const std::string path = testDir() + "/NOTIZ.TXT";
  d.doc().filePath = path;
  ASSERT_TRUE(SaveFile(d.w(), d.settings, 0));
  EXPECT_EQ(readFile(path), "Hallo Welt\r\n");
  EXPECT_EQ(d.settings.recentFiles.entries(), std::vector<std::string>{path});
  EXPECT_TRUE(d.ui().messages.empty());
}

TEST(SaveFile, ByTypeAndExtensionChoosesTheWriter) {
  Docs d;
  const std::string dir = testDir();
  d.doc().filePath = dir + "/a.doc";  // no known extension: native
  ASSERT_TRUE(SaveFile(d.w(), d.settings, 0));
  EXPECT_TRUE(isNative(dir + "/a.doc"));
  d.doc().filePath = dir + "/b.txt";  // the type wins over the extension
  ASSERT_TRUE(SaveFile(d.w(), d.settings, kSaveNative));
  EXPECT_TRUE(isNative(dir + "/b.txt"));
  d.doc().filePath = dir + "/c.txt";
  d.doc().fields[0].lines[0].chars.mut(0).ch = 0xE4;  // "ä": 0x84 in the DOS code page
  ASSERT_TRUE(SaveFile(d.w(), d.settings, kSaveDosText));
  EXPECT_EQ(readFile(dir + "/c.txt"),
            "\x84"
            "allo Welt\r\n");
  EXPECT_EQ(d.settings.recentFiles.entries().front(), dir + "/c.txt");
  EXPECT_EQ(d.settings.recentFiles.entries().size(), 3u);
}

TEST(OpenFile, AdoptsAFileThatWasReadDetachedBefore) {
  Docs d;
  const std::string dir = testDir();
  d.doc().filePath = dir + "/normal.sbt";
  ASSERT_TRUE(SaveFile(d.w(), d.settings, 0));
  ASSERT_EQ(d.settings.recentFiles.entries().size(), 1u);
  d.settings.recentFiles.setEntries({});

  // The template is read detached; opening it as a file of its own adopts it.
  TMDIChild fresh(d.app);
  ASSERT_TRUE(test::Shown(fresh, OpenSBLFile(fresh, dir + "/normal.sbt", FileBinding::Detached)));
  EXPECT_TRUE(d.settings.recentFiles.entries().empty());
  EXPECT_TRUE(fresh.doc.filePath.empty());
  ASSERT_TRUE(OpenFile(fresh, d.settings, dir + "/normal.sbt", 0));
  EXPECT_EQ(fresh.doc.filePath, dir + "/normal.sbt");
  EXPECT_EQ(d.settings.recentFiles.entries().size(), 1u);
}

TEST(SaveFile, WithoutPathTheSaveCommandAsksWithAnEmptyName) {
  Docs d;
  const std::string dir = testDir();
  std::string preset = "unset";
  int presetFilter = 0;
  d.host.dialogs.push([&](Dialog& dlg) {
    auto& f = dynamic_cast<FileDialog&>(dlg);
    preset = f.fileName;
    presetFilter = f.filterIndex;
    f.fileName = dir + "/neu";
    return true;
  });
  int32_t type = 0;
  ASSERT_TRUE(SaveCommand(d.w(), d.settings, type));
  EXPECT_EQ(preset, "");
  EXPECT_EQ(presetFilter, 1);
  EXPECT_TRUE(isNative(dir + "/neu.sbl"));
  EXPECT_EQ(type, kSaveNative);
  // Now it has a path: no dialog, the same file again.
  test::TypeText(d.w(), "!");
  ASSERT_TRUE(SaveCommand(d.w(), d.settings, type));
  EXPECT_EQ(d.host.dialogs.shown.size(), 1u);
  // A cancelled dialog saves nothing.
  Docs other;
  int32_t otherType = 0;
  EXPECT_FALSE(SaveCommand(other.w(), other.settings, otherType));
  EXPECT_EQ(other.doc().modified, 1);
}

TEST(Backup, TheOldFileBecomesTheBackupAndAnOldBackupIsReplaced) {
  Docs d;
  const std::string dir = testDir();
  const std::string path = dir + "/brief.txt";
  writeFile(path, "alter Inhalt\r\n");
  writeFile(dir + "/brief.bak", "uralt");
  d.settings.makeBackups = true;
  d.doc().filePath = path;
  ASSERT_TRUE(SaveFile(d.w(), d.settings, 0));
  EXPECT_EQ(readFile(dir + "/brief.bak"), "alter Inhalt\r\n");
  EXPECT_EQ(readFile(path), "Hallo Welt\r\n");
  EXPECT_TRUE(d.ui().messages.empty());
  // Only the two files: no temporary copy left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST(Backup, NoBackupWhenSwitchedOffOrWhenTheFileIsNew) {
  Docs d;
  const std::string dir = testDir();
  writeFile(dir + "/a.txt", "alt");
  d.doc().filePath = dir + "/a.txt";
  ASSERT_TRUE(SaveFile(d.w(), d.settings, 0));
  EXPECT_FALSE(fs::exists(dir + "/a.bak"));
  d.settings.makeBackups = true;
  d.doc().filePath = dir + "/b.txt";
  ASSERT_TRUE(SaveFile(d.w(), d.settings, 0));
  EXPECT_FALSE(fs::exists(dir + "/b.bak"));
  EXPECT_TRUE(d.ui().messages.empty());
}

TEST(Backup, AFailedBackupIsReportedAndSavingGoesOn) {
  Docs d;
  const std::string dir = testDir();
  const std::string path = dir + "/brief.txt";
  writeFile(path, "alter Inhalt\r\n");
  // A directory in the backup's place cannot be replaced by a file.
  fs::create_directories(dir + "/brief.bak/inhalt");
  d.settings.makeBackups = true;
  d.doc().filePath = path;
  ASSERT_TRUE(SaveFile(d.w(), d.settings, 0));
  ASSERT_EQ(d.ui().messages.size(), 1u);
  EXPECT_EQ(d.ui().messages[0].text, "Konnte Backup-Datei nicht anlegen");
  EXPECT_EQ(d.ui().messages[0].icon, MsgIcon::Error);
  EXPECT_EQ(readFile(path), "Hallo Welt\r\n");
  EXPECT_TRUE(fs::is_directory(dir + "/brief.bak/inhalt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST(OpenFile, ReadersByTypeAndExtensionAndTheRecentFiles) {
  Docs d;
  const std::string dir = testDir();
  d.doc().filePath = dir + "/gespeichert.sbl";
  ASSERT_TRUE(SaveFile(d.w(), d.settings, 0));
  writeFile(dir + "/notiz.dat", "Zeile\r\n");

  // Each open goes into a fresh window, as the main window does.
  AppSettings settings;
  test::Fixture native;
  ASSERT_TRUE(OpenFile(native.w(), settings, dir + "/gespeichert.sbl", 0));
  EXPECT_EQ(native.doc().fileName, "gespeichert.sbl");
  EXPECT_EQ(native.doc().fields[0].lines[0].chars[0].ch, 'H');
  EXPECT_EQ(native.doc().modified, 0);
  // Unknown extensions are read as ANSI text.
  test::Fixture text;
  ASSERT_TRUE(OpenFile(text.w(), settings, dir + "/notiz.dat", 0));
  EXPECT_EQ(text.doc().fields[0].lines[0].chars[0].ch, 'Z');
  EXPECT_EQ(settings.recentFiles.entries(),
            (std::vector<std::string>{dir + "/notiz.dat", dir + "/gespeichert.sbl"}));
  // The text filter reads a native file as text (its binary header, not "Hallo"): the type
  // wins over the extension.
  test::Fixture asText;
  ASSERT_TRUE(OpenFile(asText.w(), settings, dir + "/gespeichert.sbl", kOpenAnsiText));
  EXPECT_NE(asText.doc().fields[0].lines[0].chars[0].ch, 'H');
  EXPECT_EQ(settings.recentFiles.entries().front(), dir + "/gespeichert.sbl");
  EXPECT_EQ(settings.recentFiles.entries().size(), 2u);
}

TEST(OpenFile, WordAndRtfAreRefusedWithAMessageAndTheDocumentStays) {
  Docs d;
  const std::string dir = testDir();
  writeFile(dir + "/x.doc", "egal");
  writeFile(dir + "/x.rtf", "{\\rtf1 Hallo}");
  EXPECT_FALSE(OpenFile(d.w(), d.settings, dir + "/x.doc", 0));
  EXPECT_FALSE(OpenFile(d.w(), d.settings, dir + "/x.rtf", 0));
  EXPECT_FALSE(OpenFile(d.w(), d.settings, dir + "/x.rtf", kOpenWord));
  ASSERT_EQ(d.ui().messages.size(), 3u);
  EXPECT_NE(d.ui().messages[0].text.find("x.doc"), std::string::npos);
  EXPECT_NE(d.ui().messages[0].text.find("Word"), std::string::npos);
  EXPECT_NE(d.ui().messages[1].text.find("RTF"), std::string::npos);
  EXPECT_EQ(d.doc().fields[0].lines[0].chars[0].ch, 'H');
  EXPECT_TRUE(d.settings.recentFiles.entries().empty());
}

TEST(DocumentWindows, NewDocumentsAreNumberedAndUnreadableFilesLeaveNoWindow) {
  test::Fixture f;
  AppSettings s;
  StartNewDocument(f.w(), 3);
  EXPECT_EQ(f.doc().fileName, "NONAME3");
  EXPECT_EQ(f.w().caption, "NONAME3");
  EXPECT_TRUE(f.doc().filePath.empty());
  EXPECT_EQ(f.doc().modified, 0);

  test::Fixture g;
  int32_t type = kOpenByExtension;
  EXPECT_FALSE(StartFileDocument(g.w(), s, testDir() + "/fehlt.sbl", type));
  ASSERT_EQ(g.host.ui.messages.size(), 1u);
  EXPECT_NE(g.host.ui.messages[0].text.find("fehlt.sbl"), std::string::npos);
  EXPECT_TRUE(s.recentFiles.entries().empty());
}

TEST(CloseQuestion, AnswersDecideWhetherTheWindowCloses) {
  Docs d;
  d.doc().fileName = "Brief \xE4.sbl";  // Windows-1252 in the document, UTF-8 in the box
  int saves = 0;
  bool saveResult = true;
  auto save = [&] {
    ++saves;
    return saveResult;
  };
  d.ui().answer = MsgResult::Cancel;
  EXPECT_FALSE(QueryCloseDocument(d.w(), save));
  ASSERT_EQ(d.ui().messages.size(), 1u);
  EXPECT_EQ(d.ui().messages[0].text, "Möchten Sie die Änderungen in Brief ä.sbl speichern?");
  EXPECT_EQ(d.ui().messages[0].caption, "Dokument speichern?");
  EXPECT_EQ(d.ui().messages[0].icon, MsgIcon::Question);
  d.ui().answer = MsgResult::No;
  EXPECT_TRUE(QueryCloseDocument(d.w(), save));
  EXPECT_EQ(saves, 0);
  d.ui().answer = MsgResult::Yes;
  saveResult = false;
  EXPECT_FALSE(QueryCloseDocument(d.w(), save));
  saveResult = true;
  EXPECT_TRUE(QueryCloseDocument(d.w(), save));
  EXPECT_EQ(saves, 2);
  // Not modified: no question.
  SetFileChanged(d.w(), false);
  EXPECT_TRUE(QueryCloseDocument(d.w(), save));
  EXPECT_EQ(d.ui().messages.size(), 4u);
}

TEST(PdfExport, TheChosenNameGetsPdfAndTheFileIsWritten) {
  Docs d;
  const std::string dir = testDir();
  d.doc().filePath = dir + "/brief.sbl";
  std::string preset;
  d.host.dialogs.push([&](Dialog& dlg) {
    auto& f = dynamic_cast<FileDialog&>(dlg);
    preset = f.fileName;
    f.fileName = dir + "/brief";
    return true;
  });
  auto written = ExportPdfCommand(d.w());
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(preset, dir + "/brief");
  EXPECT_EQ(*written, dir + "/brief.pdf");
  EXPECT_EQ(readFile(*written).substr(0, 5), "%PDF-");
  EXPECT_FALSE(ExportPdfCommand(d.w()).has_value());  // cancelled
}

// --- Text files as Linux users have them ------------------------------------------------------

// "Größe 5 €" in UTF-8, the form a Linux editor writes it in.
const std::string kUtf8 =
    "Gr\xc3\xb6\xc3\x9f"
    "e 5 \xe2\x82\xac\n";

// The window the main window opens for a file: the type goes in as the dialog's filter and comes
// out as what the file was read as; saving then uses the type SaveTypeAfterOpen gives.
struct OpenedWindow : test::Fixture {
  OpenedWindow(const std::string& path, int32_t openFileType) : type(openFileType) {
    opened = StartFileDocument(w(), settings, path, type);
  }
  int32_t saveType() const { return SaveTypeAfterOpen(type); }
  std::string body() const {
    std::string s;
    for (const CharRec& c : window->doc.fields[0].lines[0].chars) s += static_cast<char>(c.ch);
    return s;
  }
  AppSettings settings;
  int32_t type;
  bool opened = false;
};

TEST(OpenFile, ATextFileChosenThroughTheNativeFilterIsReadAsText) {
  const std::string dir = testDir();
  writeFile(dir + "/notiz.txt", "Notiz\r\n");
  OpenedWindow w(dir + "/notiz.txt", kOpenNative);
  ASSERT_TRUE(w.opened);
  EXPECT_TRUE(w.host.ui.messages.empty());
  EXPECT_EQ(w.body(), "Notiz");
  EXPECT_EQ(w.type, kOpenAnsiText);
  EXPECT_EQ(w.settings.recentFiles.entries(), std::vector<std::string>{dir + "/notiz.txt"});
  // Saving keeps it a text file; it never becomes a native document under a ".txt" name.
  test::TypeText(w.w(), "Neue ");
  ASSERT_TRUE(SaveFile(w.w(), w.settings, w.saveType()));
  EXPECT_EQ(readFile(dir + "/notiz.txt"), "Neue Notiz\r\n");

  // A UTF-8 text file the same way: read as UTF-8 and saved as UTF-8 again.
  writeFile(dir + "/utf8.TXT", kUtf8);
  OpenedWindow u(dir + "/utf8.TXT", kOpenNative);
  ASSERT_TRUE(u.opened);
  EXPECT_EQ(u.body(),
            "Gr\xf6\xdf"
            "e 5 \x80");
  EXPECT_EQ(u.type, kOpenUtf8Text);
  EXPECT_EQ(u.saveType(), kSaveUtf8Text);
  SetFileChanged(u.w(), true);
  ASSERT_TRUE(SaveFile(u.w(), u.settings, u.saveType()));
  EXPECT_EQ(readFile(dir + "/utf8.TXT"), kUtf8);
}

TEST(OpenFile, TheNativeFilterStillReadsNativeFilesAndRefusesOthersByTheirExtension) {
  const std::string dir = testDir();
  // A native document named ".txt" is native: the magic wins over the extension.
  Docs d;
  d.doc().filePath = dir + "/eigentlich.txt";
  ASSERT_TRUE(SaveFile(d.w(), d.settings, kSaveNative));
  OpenedWindow native(dir + "/eigentlich.txt", kOpenNative);
  ASSERT_TRUE(native.opened);
  EXPECT_EQ(native.body(), "Hallo Welt");
  EXPECT_EQ(native.saveType(), kSaveNative);

  // RTF and Word files get their own refusal, not the native one.
  writeFile(dir + "/brief.rtf", "{\\rtf1 Hallo}");
  writeFile(dir + "/brief.doc", "\xd0\xcf\x11\xe0");
  OpenedWindow rtf(dir + "/brief.rtf", kOpenNative);
  EXPECT_FALSE(rtf.opened);
  ASSERT_EQ(rtf.host.ui.messages.size(), 1u);
  EXPECT_EQ(rtf.host.ui.messages[0].text,
            "Konnte Datei brief.rtf nicht öffnen: RTF-Dateien können noch nicht gelesen werden.");
  OpenedWindow word(dir + "/brief.doc", kOpenNative);
  EXPECT_FALSE(word.opened);
  ASSERT_EQ(word.host.ui.messages.size(), 1u);
  EXPECT_EQ(word.host.ui.messages[0].text,
            "Konnte Datei brief.doc nicht öffnen: Word-Dokumente können noch nicht gelesen "
            "werden.");

  // Without magic and without another format's extension it is a damaged native file.
  writeFile(dir + "/fremd.sbl", "Hallo");
  writeFile(dir + "/fremd.dat", "Hallo");
  for (const char* name : {"/fremd.sbl", "/fremd.dat"}) {
    OpenedWindow other(dir + name, kOpenNative);
    EXPECT_FALSE(other.opened);
    ASSERT_EQ(other.host.ui.messages.size(), 1u);
    EXPECT_EQ(other.host.ui.messages[0].text, kNotNativeText);
  }
  // A missing file is reported as missing.
  OpenedWindow missing(dir + "/fehlt.txt", kOpenNative);
  EXPECT_FALSE(missing.opened);
  ASSERT_EQ(missing.host.ui.messages.size(), 1u);
  EXPECT_EQ(missing.host.ui.messages[0].text,
            "Konnte Datei fehlt.txt nicht öffnen! Die Datei existiert nicht.");
}

TEST(OpenFile, UnicodeTextSettlesOnUtf8AndSingleByteTextKeepsItsType) {
  const std::string dir = testDir();
  writeFile(dir + "/u.txt", kUtf8);
  writeFile(dir + "/a.txt",
            "Gr\xf6\xdf"
            "e\r\n");
  for (int32_t type : {kOpenByExtension, kOpenAnsiText, kOpenDosText, 6, 7}) {
    OpenedWindow u(dir + "/u.txt", type);
    ASSERT_TRUE(u.opened);
    EXPECT_EQ(u.type, kOpenUtf8Text) << type;
    EXPECT_EQ(u.saveType(), kSaveUtf8Text);
    EXPECT_EQ(u.body(),
              "Gr\xf6\xdf"
              "e 5 \x80");
  }
  OpenedWindow byName(dir + "/a.txt", kOpenByExtension);
  EXPECT_EQ(byName.type, kOpenByExtension);
  EXPECT_EQ(byName.body(),
            "Gr\xf6\xdf"
            "e");
  OpenedWindow ansi(dir + "/a.txt", kOpenAnsiText);
  EXPECT_EQ(ansi.type, kOpenAnsiText);
}

TEST(SaveFile, TheUtf8FilterWritesUtf8WithLfAndAddsTxt) {
  Docs d;
  const std::string dir = testDir();
  d.doc().fields[0].lines[0].chars.mut(1).ch = 0xE4;  // "Hällo"
  int32_t type = kSaveNative;
  d.answerFileDialog(dir + "/gruss", kSaveUtf8Text);
  ASSERT_TRUE(SaveFileAs(d.w(), d.settings, type));
  EXPECT_EQ(type, kSaveUtf8Text);
  EXPECT_EQ(d.doc().filePath, dir + "/gruss.txt");
  EXPECT_EQ(readFile(dir + "/gruss.txt"), "H\xc3\xa4llo Welt\n");
  // "&Speichern" keeps the format; the ANSI and DOS filters stay as they were.
  test::TypeText(d.w(), "!");
  ASSERT_TRUE(SaveCommand(d.w(), d.settings, type));
  EXPECT_EQ(readFile(dir + "/gruss.txt"), "H\xc3\xa4llo Welt!\n");
  d.doc().filePath = dir + "/ansi.txt";
  ASSERT_TRUE(SaveFile(d.w(), d.settings, kSaveAnsiText));
  EXPECT_EQ(readFile(dir + "/ansi.txt"), "H\xe4llo Welt!\r\n");
  EXPECT_EQ(WriterFor(kSaveUtf8Text, "a.sbl"), DocumentFormat::Utf8Text);
  EXPECT_EQ(WriterFor(0, "a.txt"), DocumentFormat::AnsiText) << "by name .txt stays ANSI";
}

}  // namespace
}  // namespace paginor
