// Plain-text files: lines become paragraphs, paragraphs become lines, in the ANSI and the DOS
// code page and in UTF-8.
#include <unistd.h>

#include <gtest/gtest.h>

#include "model/primitives.h"
#include "platform/cp1252.h"
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
  ReadText(const std::string& content, bool oem, const std::string& name = "t.txt")
      : ReadText(content, oem ? TextCode::Dos : TextCode::Ansi, name) {}
  ReadText(const std::string& content, TextCode code, const std::string& name = "t.txt") {
    path = testDir() + "/" + name;
    test::WriteBytes(path, bytesOf(content));
    ok = test::Shown(fx.w(), OpenTXTFile(fx.w(), path, code, &met));
    readAs = met.code;
  }
  std::string body() const { return bodyText(fx.window->doc); }
  const std::vector<HeadlessUi::Message>& messages() const { return fx.host.ui.messages; }
  test::Fixture fx;
  std::string path;
  bool ok = false;
  TextImport met;
  TextCode readAs = TextCode::Ansi;
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

// Read characters are the cells typing them in the same font would make: one font for all,
// each measured as on its own, control bytes dropped, and nothing but the cells in the lines.
TEST(TextOpen, CellsAreTheTypedCells) {
  const std::string line = utf8ToCp1252("Größe \x01Maß!");
  ReadText t(line + "\r\n\r\n" + line, /*oem*/ false);
  ASSERT_TRUE(t.ok);
  const Document& d = t.fx.doc();

  test::Fixture typed;
  typed.doc().CurrentFormat.curFontName = "Courier New";
  std::string kept = line;
  kept.erase(kept.find('\x01'), 1);
  test::TypeText(typed.w(), kept);
  const CharRec* expected = typed.doc().fields[0].lines[0].chars.begin();

  ASSERT_EQ(d.fields[0].lineCount(), 3);
  EXPECT_EQ(d.fontCount(), typed.doc().fontCount());
  for (int32_t l : {0, 2}) {
    const LineRec& got = d.fields[0].lines[l];
    ASSERT_EQ(got.charCount(), static_cast<int32_t>(kept.size()));
    for (int32_t i = 0; i < got.charCount(); ++i) {
      const CharRec& c = got.chars[i];
      EXPECT_EQ(c.ch, static_cast<uint8_t>(kept[static_cast<size_t>(i)]));
      EXPECT_EQ(d.fonts[c.fontIndex].name, "Courier New");
      EXPECT_EQ(c.fontIndex, expected[i].fontIndex);
      EXPECT_EQ(c.width, expected[i].width) << "cell " << i;
      EXPECT_EQ(c.height, expected[i].height) << "cell " << i;
    }
  }
  EXPECT_EQ(d.fields[0].lines[1].charCount(), 0);
  EXPECT_EQ(t.met.dropped, 2u);
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
  EXPECT_EQ(t.met.dropped, 2u);
  // Dropped bytes are told in the status bar once the file is read, not in a box.
  EXPECT_EQ(t.fx.host.ui.status[3],
            "Die Datei t.txt enthielt 2 Steuerzeichen (etwa NUL), die beim Lesen ausgelassen "
            "wurden.");
  EXPECT_TRUE(t.messages().empty());
}

TEST(TextOpen, AFileOfNulBytesGivesAnEmptyDocumentAndSaysHowMany) {
  ReadText nuls(std::string(1 << 20, '\0'), false, "nullen.txt");
  ASSERT_TRUE(nuls.ok);
  EXPECT_EQ(nuls.body(), "");
  EXPECT_EQ(nuls.met.dropped, size_t{1} << 20);
  EXPECT_EQ(nuls.fx.host.ui.status[3],
            "Die Datei nullen.txt enthielt 1048576 Steuerzeichen (etwa NUL), die beim Lesen "
            "ausgelassen wurden.");

  // Line ends are no dropped bytes; one dropped byte is told in the singular.
  ReadText one("a\r\nb\x0c\nc\rd", false, "eins.txt");
  EXPECT_EQ(one.body(), "a|b|c|d");
  EXPECT_EQ(one.met.dropped, 1u);
  EXPECT_EQ(one.fx.host.ui.status[3],
            "Die Datei eins.txt enthielt ein Steuerzeichen (etwa NUL), das beim Lesen "
            "ausgelassen wurde.");
  ReadText clean("sauber", false);
  EXPECT_EQ(clean.met.dropped, 0u);
  EXPECT_EQ(clean.fx.host.ui.status[3], "");
}

TEST(TextOpen, DosTextIsCodePage850) {
  ReadText dos(
      "\x81"
      "ber \x84\xe1\xb3",
      /*oem*/ true);
  EXPECT_EQ(lineText(dos.fx.doc().fields[0].lines[0]),
            "\xfc"
            "ber \xe4\xdf|");
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
  EXPECT_FALSE(test::Shown(fx.w(), OpenTXTFile(fx.w(), testDir() + "/fehlt.txt", false)));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Konnte Datei fehlt.txt nicht \xc3\xb6"
            "ffnen! Die Datei existiert nicht.");
  EXPECT_EQ(fx.doc().fields[0].lineCount(), before.fields[0].lineCount());
  EXPECT_EQ(fx.doc().CurrentFormat, before.CurrentFormat);

  const std::string huge = testDir() + "/riesig.txt";
  test::WriteBytes(huge, bytesOf("Text"));
  ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(kMaxTextFileBytes) + 1), 0);  // sparse
  EXPECT_FALSE(test::Shown(fx.w(), OpenTXTFile(fx.w(), huge, false)));
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
  // Line and block graphics have no ANSI equivalent; the nearest plain character keeps a drawn
  // table's shape, and no other byte is lost either.
  EXPECT_EQ((*toAnsi)[0xC4], '-');
  EXPECT_EQ((*toAnsi)[0xCD], '=');
  EXPECT_EQ((*toAnsi)[0xBA], '|');
  EXPECT_EQ((*toAnsi)[0xC9], '+');
  EXPECT_EQ((*toAnsi)[0xDB], '#');
  for (int b = 32; b < 256; ++b) {
    if (b == '?') continue;
    EXPECT_NE((*toAnsi)[b], '?') << "byte " << b;
  }
}

TEST(CodePages, ABoxDrawnDosTableKeepsItsShapeThroughOpenAndSave) {
  // ╔═══╦═══╗ / ║ Ä ║ ü ║ / ╟───╫───╢ is not in 850; ├───┼───┤ / ║ 1 ║ 2 ║ / ╚═══╩═══╝ and a
  // single-line box ┌─┐ │x│ └─┘ beside it.
  const std::string dos =
      "\xc9\xcd\xcd\xcd\xcb\xcd\xcd\xcd\xbb  \xda\xc4\xbf\r\n"
      "\xba \x8e \xba \x81 \xba  \xb3x\xb3\r\n"
      "\xcc\xcd\xcd\xcd\xce\xcd\xcd\xcd\xb9  \xc3\xc4\xb4\r\n"
      "\xba 1 \xba 2 \xba  \xc0\xc1\xd9\r\n"
      "\xc8\xcd\xcd\xcd\xca\xcd\xcd\xcd\xbc \xb0\xb1\xb2\xdb\r\n";
  ReadText t(dos, /*oem*/ true, "tabelle.txt");
  ASSERT_TRUE(t.ok);
  std::vector<std::string> rows;
  for (const LineRec& l : t.fx.doc().fields[0].lines) rows.push_back(lineText(l));
  EXPECT_EQ(rows, (std::vector<std::string>{"+===+===+  +-+", "| \xc4 | \xfc |  |x|",
                                            "+===+===+  +-+", "| 1 | 2 |  +++", "+===+===+ ####"}));
  EXPECT_TRUE(t.messages().empty());
  // Saved again in the DOS code page: the same table in plain characters, umlauts unchanged.
  const std::string path = testDir() + "/wieder.txt";
  ASSERT_TRUE(test::Shown(t.fx.w(), SaveTXTFile(t.fx.w(), path, /*oem*/ true)));
  const auto b = test::ReadBytes(path);
  EXPECT_EQ(std::string(b.begin(), b.end()),
            "+===+===+  +-+\r\n"
            "| \x8e | \x81 |  |x|\r\n"
            "+===+===+  +-+\r\n"
            "| 1 | 2 |  +++\r\n"
            "+===+===+ ####\r\n");
}

// Saves the window's document as text and returns the file's bytes.
std::string saved(test::Fixture& fx, bool oem) {
  const std::string path = testDir() + "/aus.txt";
  EXPECT_TRUE(test::Shown(fx.w(), SaveTXTFile(fx.w(), path, oem)));
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
  ASSERT_TRUE(test::Shown(fx.w(), SaveTXTFile(fx.w(), dir + "/name.txt", false)));
  EXPECT_EQ(fx.doc().fileName, "name.txt");
  EXPECT_EQ(fx.doc().modified, 0);
  EXPECT_EQ(fx.host.ui.statusHistory, (std::vector<std::string>{"Speichere Datei...", ""}));

  SetFileChanged(fx.w(), true);
  ASSERT_TRUE(test::Shown(fx.w(), SaveTXTFile(fx.w(), dir + "/leise.txt", TextCode::Ansi,
                                              FileBinding::Detached)));
  EXPECT_EQ(fx.doc().fileName, "name.txt");
  EXPECT_EQ(fx.doc().modified, 1);

  EXPECT_FALSE(test::Shown(fx.w(), SaveTXTFile(fx.w(), dir + "/fehlt/x.txt", false)));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Konnte Datei x.txt nicht erstellen! Der Ordner existiert nicht.");
}

// --- UTF-8 ------------------------------------------------------------------------------------

// "Größe – 5 €" and friends in UTF-8, and the same text in Windows-1252.
const std::string kUtf8Text =
    "Gr\xc3\xb6\xc3\x9f"
    "e \xe2\x80\x93 5 \xe2\x82\xac\n"
    "\t\xc3\x84pfel, \xe2\x80\x9e"
    "Birnen\xe2\x80\x9c\n"
    "\n"
    "Stra\xc3\x9f"
    "e\n";
const std::string kCp1252Body =
    "Gr\xf6\xdf"
    "e \x96 5 \x80|"
    "\t\xc4pfel, \x84"
    "Birnen\x93|"
    "|"
    "Stra\xdf"
    "e";

TEST(TextUtf8, AUtf8FileIsReadAsUtf8WithOrWithoutByteOrderMark) {
  ReadText plain(kUtf8Text, /*oem*/ false);
  ASSERT_TRUE(plain.ok);
  EXPECT_EQ(plain.body(), kCp1252Body);
  EXPECT_EQ(plain.readAs, TextCode::Utf8);
  EXPECT_TRUE(plain.messages().empty());

  ReadText bom("\xef\xbb\xbf" + kUtf8Text, /*oem*/ false);
  EXPECT_EQ(bom.body(), kCp1252Body) << "the byte-order mark is no text";
  EXPECT_EQ(bom.readAs, TextCode::Utf8);
  // A byte-order mark alone decides, even before pure ASCII.
  ReadText bomAscii("\xef\xbb\xbfHallo", /*oem*/ false);
  EXPECT_EQ(bomAscii.body(), "Hallo");
  EXPECT_EQ(bomAscii.readAs, TextCode::Utf8);
  // Through the DOS filter too: a UTF-8 file is no DOS text.
  ReadText dos(kUtf8Text, /*oem*/ true);
  EXPECT_EQ(dos.body(), kCp1252Body);
  EXPECT_EQ(dos.readAs, TextCode::Utf8);
}

TEST(TextUtf8, SingleByteFilesStayInTheirCodePage) {
  // Pure ASCII reads the same in every code page: it stays with the one asked for.
  ReadText ascii("Hallo Welt\r\n", /*oem*/ false);
  EXPECT_EQ(ascii.body(), "Hallo Welt");
  EXPECT_EQ(ascii.readAs, TextCode::Ansi);
  EXPECT_EQ(ReadText("Hallo", /*oem*/ true).readAs, TextCode::Dos);

  // Windows-1252 umlauts are no valid UTF-8: read byte for byte, never as mojibake.
  ReadText ansi(
      "Gr\xf6\xdf"
      "e \x80\r\n",
      /*oem*/ false);
  EXPECT_EQ(ansi.body(),
            "Gr\xf6\xdf"
            "e \x80");
  EXPECT_EQ(ansi.readAs, TextCode::Ansi);
  // One invalid byte among valid sequences makes the whole file Windows-1252.
  ReadText mixed("\xc3\xa4 und \xe4", /*oem*/ false);
  EXPECT_EQ(mixed.body(), "\xc3\xa4 und \xe4");
  EXPECT_EQ(mixed.readAs, TextCode::Ansi);
  // Forms that look like UTF-8 but are not well-formed: overlong, surrogate, cut, too large.
  for (const char* notUtf8 :
       {"a\xc0\xaf", "a\xed\xa0\x80", "a\xe2\x82", "a\xf4\x90\x80\x80", "a\xc3"}) {
    ReadText t(notUtf8, /*oem*/ false);
    EXPECT_EQ(t.readAs, TextCode::Ansi) << t.body();
    EXPECT_EQ(t.body(), notUtf8);
  }
  // A Windows-1252 pair that happens to form a UTF-8 sequence ("Ã¤") is all UTF-8 can mean.
  EXPECT_EQ(ReadText("\xc3\xa4", /*oem*/ false).body(), "\xe4");
  EXPECT_TRUE(ascii.messages().empty() && ansi.messages().empty());
}

TEST(TextUtf8, LinesEndInCrLfLfOrCr) {
  EXPECT_EQ(ReadText("\xc3\xa4\nb\rc\r\nd\r\n", /*oem*/ false).body(), "\xe4|b|c|d");
  EXPECT_EQ(ReadText("\xef\xbb\xbf\r\n\r\n", /*oem*/ false).fx.doc().fields[0].lineCount(), 2);
  EXPECT_EQ(ReadText("\xc3\xa4\n\rz", /*oem*/ false).body(), "\xe4||z") << "LF then CR: two ends";
}

TEST(TextUtf8, CharactersWithoutEquivalentBecomeQuestionMarksAndAreCounted) {
  // Ł, ź, → and α are not in Windows-1252; ó is.
  ReadText t(
      "\xc5\x81\xc3\xb3"
      "d\xc5\xba \xe2\x86\x92 \xce\xb1\n",
      /*oem*/ false, "stadt.txt");
  ASSERT_TRUE(t.ok);
  EXPECT_EQ(t.body(),
            "?\xf3"
            "d? ? ?");
  EXPECT_EQ(t.fx.doc().fileName, "stadt.txt");
  ASSERT_EQ(t.messages().size(), 1u);
  EXPECT_EQ(t.messages()[0].text,
            "Die Datei stadt.txt enth\xc3\xa4lt 4 Zeichen, die der Zeichensatz Windows-1252 "
            "nicht kennt; sie wurden durch \"?\" ersetzt.");
  EXPECT_EQ(t.messages()[0].icon, MsgIcon::Warning);
  EXPECT_EQ(t.messages()[0].caption, "Paginor");

  ReadText one("\xf0\x9f\x98\x80 gut", /*oem*/ false, "eins.txt");
  EXPECT_EQ(one.body(), "? gut");
  ASSERT_EQ(one.messages().size(), 1u);
  EXPECT_EQ(one.messages()[0].text,
            "Die Datei eins.txt enth\xc3\xa4lt ein Zeichen, das der Zeichensatz Windows-1252 "
            "nicht kennt; es wurde durch \"?\" ersetzt.");

  // With a byte-order mark the file claims UTF-8: damaged sequences become one "?" each.
  ReadText damaged(
      "\xef\xbb\xbf"
      "a\xff"
      "b\xe2\x82"
      "c",
      /*oem*/ false);
  EXPECT_EQ(damaged.body(), "a?b?c");
  ASSERT_EQ(damaged.messages().size(), 1u);
  EXPECT_NE(damaged.messages()[0].text.find(" 2 Zeichen"), std::string::npos);
}

TEST(TextUtf8, SavedAsUtf8WithLfLineEnds) {
  test::Fixture fx;
  test::AddText(fx.w(), 0, 0,
                "Gr\xf6\xdf"
                "e \x96 5 \x80");
  fx.doc().fields[0].lines[0].endKind = kEndParagraph;
  const int32_t l = test::AppendLine(fx.doc(), 0);
  test::AddText(fx.w(), 0, l,
                "\x84"
                "Ende\x93");
  const std::string path = testDir() + "/utf8.txt";
  ASSERT_TRUE(test::Shown(fx.w(), SaveTXTFile(fx.w(), path, TextCode::Utf8)));
  const auto b = test::ReadBytes(path);
  EXPECT_EQ(std::string(b.begin(), b.end()),
            "Gr\xc3\xb6\xc3\x9f"
            "e \xe2\x80\x93 5 \xe2\x82\xac\n"
            "\xe2\x80\x9e"
            "Ende\xe2\x80\x9c\n");
}

TEST(TextUtf8, ReadAndSavedAsUtf8AgainKeepsTheText) {
  ReadText t(kUtf8Text, /*oem*/ false);
  ASSERT_TRUE(t.ok);
  const std::string path = testDir() + "/zurueck.txt";
  ASSERT_TRUE(test::Shown(t.fx.w(), SaveTXTFile(t.fx.w(), path, TextCode::Utf8)));
  auto b = test::ReadBytes(path);
  EXPECT_EQ(std::string(b.begin(), b.end()), kUtf8Text);
  // Every character of the code page goes out and comes back (controls other than tab are no
  // text, and "?" is left out so that a replacement would show).
  std::string all;
  for (int c = 0x20; c < 0x100; ++c)
    if (c != '?') all += static_cast<char>(c);
  ReadText every(cp1252ToUtf8(all) + "\n", /*oem*/ false);
  ASSERT_TRUE(every.ok);
  EXPECT_EQ(every.body(), all);
  EXPECT_TRUE(every.messages().empty());
  ASSERT_TRUE(test::Shown(every.fx.w(), SaveTXTFile(every.fx.w(), path, TextCode::Utf8)));
  b = test::ReadBytes(path);
  EXPECT_EQ(std::string(b.begin(), b.end()), cp1252ToUtf8(all) + "\n");
  // CR LF and a byte-order mark are read; UTF-8 text is written with LF and without mark.
  ReadText crlf(
      "\xef\xbb\xbf"
      "\xc3\xa4\r\nb\r\n",
      /*oem*/ false);
  ASSERT_TRUE(test::Shown(crlf.fx.w(), SaveTXTFile(crlf.fx.w(), path, TextCode::Utf8)));
  b = test::ReadBytes(path);
  EXPECT_EQ(std::string(b.begin(), b.end()), "\xc3\xa4\nb\n");
}

}  // namespace
}  // namespace paginor
