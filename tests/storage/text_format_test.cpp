// Plain-text files: lines become paragraphs, paragraphs become lines, in the ANSI and the DOS
// code page.
#include <unistd.h>

#include <gtest/gtest.h>

#include "model/primitives.h"
#include "storage/sample_documents.h"
#include "storage/text_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

std::string testDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return test::TempDir(std::string("txt_") + info->test_suite_name() + "_" + info->name());
}

std::vector<uint8_t> bytesOf(const std::string& s) {
  return {s.begin(), s.end()};
}

std::string lineText(const LineRec& l) {
  std::string s;
  for (const CharRec& c : l.chars) s += static_cast<char>(c.ch);
  return s;
}

// The texts of field 0's lines, with "|" for a paragraph end.
std::string bodyText(const Document& d) {
  std::string s;
  for (const LineRec& l : d.fields[0].lines)
    s += lineText(l) + (l.endKind == kEndParagraph ? "|" : "");
  return s;
}

// Reads `content` as a text file into a fresh window.
struct ReadText {
  ReadText(const std::string& content, bool oem, const std::string& name = "t.txt") {
    path = testDir() + "/" + name;
    test::WriteBytes(path, bytesOf(content));
    ok = OpenTXTFile(fx.w(), path, oem);
  }
  test::Fixture fx;
  std::string path;
  bool ok = false;
};

TEST(TextOpen, ThreeLinesBecomeThreeParagraphsInCourierNew) {
  ReadText t("Eins\r\nZwei\r\nDrei\r\n", /*oem*/ false, "drei.txt");
  ASSERT_TRUE(t.ok);
  const Document& d = t.fx.doc();
  ASSERT_EQ(d.fields[0].lineCount(), 3);
  EXPECT_EQ(bodyText(d), "Eins|Zwei|Drei");
  for (const LineRec& l : d.fields[0].lines)
    for (const CharRec& c : l.chars) EXPECT_EQ(d.fonts[c.fontIndex].name, "Courier New");
  EXPECT_EQ(d.CurrentFormat.curFontName, "Courier New");
  EXPECT_EQ(d.Cursor, CursorPos{});
  EXPECT_EQ(d.fileName, "drei.txt");
  EXPECT_EQ(d.filePath, t.path);
  EXPECT_EQ(d.modified, 0);
  EXPECT_EQ(t.fx.host.ui.statusHistory, (std::vector<std::string>{"\xc3\x96"
                                                                  "ffne Datei...",
                                                                  ""}));
}

TEST(TextOpen, LinesEndInCrLfLfOrCr) {
  EXPECT_EQ(bodyText(ReadText("a\nb\rc\r\nd", false).fx.doc()), "a|b|c|d");
  EXPECT_EQ(bodyText(ReadText("x\r\n", false).fx.doc()), "x");
  EXPECT_EQ(ReadText("\r\n\r\n", false).fx.doc().fields[0].lineCount(), 2);
  EXPECT_EQ(ReadText("\n\r", false).fx.doc().fields[0].lineCount(), 2) << "LF then CR: two ends";
  ReadText empty("", false);
  ASSERT_TRUE(empty.ok);
  EXPECT_EQ(empty.fx.doc().fields[0].lineCount(), 1);
}

TEST(TextOpen, TabsStayOtherControlCharactersAreDropped) {
  ReadText t(
      "\tA\x01"
      "B\x1a\x7f",
      false);
  const LineRec& l = t.fx.doc().fields[0].lines[0];
  EXPECT_EQ(lineText(l), std::string("\tAB\x7f"));
  EXPECT_DOUBLE_EQ(l.chars[0].width, 12.5);
  EXPECT_DOUBLE_EQ(l.chars[0].height, -1.0);
  EXPECT_GT(l.chars[1].width, 0.0) << "letters are measured";
}

TEST(TextOpen, DosTextIsCodePage850) {
  ReadText dos(
      "\x81"
      "ber \x84\xe1\xb3",
      /*oem*/ true);
  EXPECT_EQ(lineText(dos.fx.doc().fields[0].lines[0]),
            "\xfc"
            "ber \xe4\xdf?");
  ReadText ansi(
      "\x81"
      "ber",
      /*oem*/ false);
  EXPECT_EQ(lineText(ansi.fx.doc().fields[0].lines[0]),
            "\x81"
            "ber");
}

TEST(TextOpen, MissingOrHugeFilesAreReportedAndChangeNothing) {
  test::Fixture fx;
  const Document before = fx.doc();
  EXPECT_FALSE(OpenTXTFile(fx.w(), testDir() + "/fehlt.txt", false));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Konnte Datei fehlt.txt nicht \xc3\xb6"
            "ffnen!");
  EXPECT_EQ(fx.doc().fields[0].lineCount(), before.fields[0].lineCount());
  EXPECT_EQ(fx.doc().CurrentFormat, before.CurrentFormat);

  const std::string huge = testDir() + "/riesig.txt";
  test::WriteBytes(huge, bytesOf("Text"));
  ASSERT_EQ(truncate(huge.c_str(), (off_t{32} << 20) + 1), 0);  // sparse: costs no disk
  EXPECT_FALSE(OpenTXTFile(fx.w(), huge, false));
  ASSERT_EQ(fx.host.ui.messages.size(), 2u);
  EXPECT_EQ(fx.host.ui.messages[1].text,
            "Die Datei riesig.txt ist zu gro\xc3\x9f und kann nicht gelesen werden!");
  EXPECT_EQ(fx.doc().fields[0].lineCount(), before.fields[0].lineCount());
}

TEST(CodePages, TablesComeFromTheSystemConverter) {
  const auto& toAnsi = OemToAnsiTable();
  const auto& toOem = AnsiToOemTable();
  ASSERT_TRUE(toAnsi && toOem);
  for (int b = 32; b < 127; ++b) {
    EXPECT_EQ((*toAnsi)[b], b);
    EXPECT_EQ((*toOem)[b], b);
  }
  EXPECT_EQ((*toAnsi)[0x81], 0xFC);
  EXPECT_EQ((*toOem)[0xFC], 0x81);
  EXPECT_EQ((*toOem)[0x80], '?') << "no euro sign in code page 850";
  EXPECT_EQ((*toAnsi)[0xC4], '?') << "box drawing has no ANSI equivalent";
}

// Saves the window's document as text and returns the file's bytes.
std::string saved(test::Fixture& fx, bool oem) {
  const std::string path = testDir() + "/aus.txt";
  EXPECT_TRUE(SaveTXTFile(fx.w(), path, oem));
  const auto b = test::ReadBytes(path);
  return std::string(b.begin(), b.end());
}

TEST(TextSave, EmptyHeadersAndFootersWriteNothing) {
  test::Fixture fx;
  test::AddText(fx.w(), 0, 0, "Hallo");
  EXPECT_EQ(saved(fx, false), "Hallo\r\n");
  test::AddText(fx.w(), 5, 0, "Kopf");
  EXPECT_EQ(saved(fx, false), "Hallo\r\nKopf\r\n");
}

TEST(TextSave, SoftWrappedParagraphIsOneLine) {
  test::Fixture fx;
  Document& d = fx.doc();
  test::AddText(fx.w(), 0, 0, "Ein lan");
  int32_t l = test::AppendLine(d, 0);
  test::AddText(fx.w(), 0, l, "ger Absatz");
  d.fields[0].lines[l].endKind = kEndParagraph;
  l = test::AppendLine(d, 0);
  test::AddText(fx.w(), 0, l, "Zeile");
  d.fields[0].lines[l].endKind = kEndLineBreak;
  l = test::AppendLine(d, 0);
  test::AddText(fx.w(), 0, l, "Zwei");
  EXPECT_EQ(saved(fx, false), "Ein langer Absatz\r\nZeile\r\nZwei\r\n");
}

TEST(TextSave, TableRowIsItsCellTextsEachFollowedByATab) {
  test::Fixture fx;
  Document& d = fx.doc();
  test::AddText(fx.w(), 0, 0, "Vor");
  d.fields[0].lines[0].endKind = kEndParagraph;
  for (int32_t col = 0; col < 3; ++col) {
    const int32_t l = test::AppendLine(d, 0);
    LineRec& cell = d.fields[0].lines[l];
    cell.inTable = cell.rowStart = cell.rowEnd = 1;
    cell.rowCells = 3;
    cell.cellColumn = col;
    cell.endKind = kEndParagraph;
    test::AddText(fx.w(), 0, l, std::string(1, static_cast<char>('A' + col)));
  }
  EXPECT_EQ(saved(fx, false), "Vor\r\nA\tB\tC\t\r\n");
}

TEST(TextSave, ListPrefixesStartParagraphsOnly) {
  test::Fixture fx;
  Document& d = fx.doc();
  test::AddText(fx.w(), 0, 0, "Punkt");
  d.fields[0].lines[0].para.listKind = kListBullets;
  d.fields[0].lines[0].endKind = kEndParagraph;
  for (const char* part : {"Lang", "er"}) {
    const int32_t l = test::AppendLine(d, 0);
    test::AddText(fx.w(), 0, l, part);
    d.fields[0].lines[l].para.listKind = kListNumbers;
    d.fields[0].lines[l].para.listNumber = 4;
  }
  // The numbered paragraph continues on the next page: no second number there.
  const int32_t page2 = NewPage(d, AddLine::Yes);
  d.fields[0].nextField = page2;
  d.fields[static_cast<size_t>(page2)].prevField = 0;
  d.fields[static_cast<size_t>(page2)].page = 1;
  test::AddText(fx.w(), page2, 0, "!");
  d.fields[static_cast<size_t>(page2)].lines[0].para.listKind = kListNumbers;
  d.fields[static_cast<size_t>(page2)].lines[0].endKind = kEndParagraph;
  EXPECT_EQ(saved(fx, false), "* Punkt\r\n4. Langer!\r\n");
}

TEST(TextSave, LinkedTextBoxesAreOneText) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  const std::string text = saved(fx, false);
  EXPECT_NE(text.find("Kasten einsKasten zwei\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Zelle A\tZelle B\tZelle C\t\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" Fu\xdfnote\r\n"), std::string::npos) << "pictures and marks are left out";
}

TEST(TextSave, UnmappableCharactersBecomeQuestionMarksAndTheSaveSucceeds) {
  test::Fixture fx;
  test::AddText(fx.w(), 0, 0, "5 \x80 f\xfcr \x81");
  EXPECT_EQ(saved(fx, /*oem*/ true), "5 ? f\x81r ?\r\n");
  EXPECT_TRUE(fx.host.ui.messages.empty());
  EXPECT_EQ(lineText(fx.doc().fields[0].lines[0]), "5 \x80 f\xfcr \x81")
      << "the document keeps them";
  EXPECT_EQ(saved(fx, /*oem*/ false), "5 \x80 f\xfcr \x81\r\n");
}

TEST(TextSave, ReadAndWrittenAgainKeepsTheText) {
  const std::string content =
      "Gr\xfc\xdf"
      "e\r\n\tEinger\xfc"
      "ckt\r\n\r\nEnde\r\n";
  ReadText t(content, false);
  ASSERT_TRUE(t.ok);
  EXPECT_EQ(saved(t.fx, false), content);
}

TEST(TextSave, NameModifiedFlagStatusAndFailure) {
  test::Fixture fx;
  SetFileChanged(fx.w(), true);
  const std::string dir = testDir();
  ASSERT_TRUE(SaveTXTFile(fx.w(), dir + "/name.txt", false));
  EXPECT_EQ(fx.doc().fileName, "name.txt");
  EXPECT_EQ(fx.doc().modified, 0);
  EXPECT_EQ(fx.host.ui.statusHistory, (std::vector<std::string>{"Speichere Datei...", ""}));

  SetFileChanged(fx.w(), true);
  fx.app.quietFileMode = true;
  ASSERT_TRUE(SaveTXTFile(fx.w(), dir + "/leise.txt", false));
  EXPECT_EQ(fx.doc().fileName, "name.txt");
  EXPECT_EQ(fx.doc().modified, 1);

  EXPECT_FALSE(SaveTXTFile(fx.w(), dir + "/fehlt/x.txt", false));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text, "Konnte Datei x.txt nicht erstellen!");
}

}  // namespace
}  // namespace paginor
