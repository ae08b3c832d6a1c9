// Native documents written and read back: equal content, the same bytes again, and the byte
// layout of every record.
#include <gtest/gtest.h>

#include "layout/hyphenation.h"
#include "layout/layout.h"
#include "layout/measure.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "model/templates.h"
#include "platform/cp1252.h"
#include "platform/pictures/dib.h"
#include "storage/document_equality.h"
#include "storage/new_document.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

std::string testDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return test::TempDir(std::string("sbl_") + info->test_suite_name() + "_" + info->name());
}

// A window for a file: the empty document the file is read over.
struct FileWindow {
  explicit FileWindow(Application& app) : w(app) { (void)FormCreate(w); }
  TMDIChild w;
};

Document parsed(TMDIChild& w, const std::vector<uint8_t>& bytes) {
  Document d;
  Result r = ParseSBL(w, bytes.data(), bytes.size(), d);
  EXPECT_TRUE(r) << (r ? std::string() : r.failure().detail + " at " + std::to_string(*r.failure().offset));
  return d;
}

TEST(SblRoundTrip, RichDocumentReadsBackEqualMemberForMember) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  Document back = parsed(fx.w(), SerializeSBL(fx.doc()));
  EXPECT_TRUE(test::StoredContentEqual(fx.doc(), back));
  EXPECT_EQ(SerializeSBL(back), SerializeSBL(fx.doc()));
}

// Files are written from laid-out documents; reading lays the document out again, which
// leaves a laid-out document as it is.
TEST(SblRoundTrip, AFileReadAndWrittenAgainIsTheSameBytes) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  SetAllDirtyFlags(fx.doc());
  MakeSoftEnters(fx.w());
  const std::string dir = testDir();
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/a.sbl")));

  FileWindow other(fx.app);
  ASSERT_TRUE(test::Shown(other.w, OpenSBLFile(other.w, dir + "/a.sbl")));
  EXPECT_TRUE(test::StoredContentEqual(fx.doc(), other.w.doc));
  EXPECT_TRUE(fx.host.ui.messages.empty());

  ASSERT_TRUE(test::Shown(other.w, SaveSBLFile(other.w, dir + "/b.sbl")));
  EXPECT_TRUE(test::ReadBytes(dir + "/a.sbl") == test::ReadBytes(dir + "/b.sbl"));
  EXPECT_TRUE(test::ReadBytes(dir + "/a.sbl") == SerializeSBL(fx.doc()));
}

TEST(SblRoundTrip, ReadLinesAreDirtyUnanchoredAndCellsMeasuredAgain) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  Document& d = fx.doc();
  const double measured = d.fields[0].lines[0].chars[0].width;
  d.fields[0].lines[0].chars.mut(0).width = 99.0;
  d.fields[0].lines[0].chars.mut(0).skipBefore = 3.5f;
  d.fields[0].lines[1].lineAnchorId = 100;
  d.fields[0].lines[2].inTable = 0;
  d.fields[0].lines[2].rowCells = 5;
  d.fields[0].lines[2].cellColumn = 2;
  d.fields[0].lines[2].cellWidth = 3.0;
  d.fields[0].lines[2].cellDesign.borderTop = 0;

  Document back = parsed(fx.w(), SerializeSBL(d));
  const CharRec& c = back.fields[0].lines[0].chars[0];
  EXPECT_DOUBLE_EQ(c.width, measured) << "a character's width is measured, not stored";
  EXPECT_EQ(c.skipBefore, 0.0f);
  EXPECT_EQ(back.fields[0].lines[1].lineAnchorId, 0);
  const LineRec& plain = back.fields[0].lines[2];
  EXPECT_EQ(plain.rowCells, 1) << "a line outside a table gets the cell defaults";
  EXPECT_EQ(plain.cellColumn, 0);
  EXPECT_DOUBLE_EQ(plain.cellWidth, 1.0);
  EXPECT_EQ(plain.cellDesign, CellDesign());
  for (const FieldRec& f : back.fields)
    for (const LineRec& l : f.lines) EXPECT_EQ(l.dirty, 1);
}

TEST(SblRoundTrip, SavingAndOpeningTakeTheNameAndShowProgress) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  SetFileChanged(fx.w(), true);
  const std::string path = testDir() + "/Bericht-\xc3\xbc.sbl";  // UTF-8 file name

  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), path)));
  EXPECT_EQ(fx.doc().filePath, path);
  EXPECT_EQ(fx.doc().fileName, "Bericht-\xfc.sbl") << "document text is Windows-1252";
  EXPECT_EQ(fx.doc().modified, 0);
  EXPECT_EQ(fx.w().caption, "Bericht-\xc3\xbc.sbl");
  EXPECT_EQ(fx.host.ui.statusHistory, (std::vector<std::string>{"Speichere Datei...", ""}));

  fx.host.ui.statusHistory.clear();
  FileWindow other(fx.app);
  SetFileChanged(other.w, true);
  ASSERT_TRUE(test::Shown(other.w, OpenSBLFile(other.w, path)));
  EXPECT_EQ(other.w.doc.filePath, path);
  EXPECT_EQ(other.w.doc.fileName, "Bericht-\xfc.sbl");
  EXPECT_EQ(other.w.doc.modified, 0);
  EXPECT_EQ(fx.host.ui.statusHistory, (std::vector<std::string>{"\xc3\x96"
                                                                "ffne Datei...",
                                                                ""}));
}

TEST(SblRoundTrip, DetachedFilesLeaveNamesAndModifiedFlagAlone) {
  test::Fixture fx;
  SetFileChanged(fx.w(), true);
  const std::string path = testDir() + "/leise.sbl";
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), path, FileBinding::Detached)));
  EXPECT_TRUE(fx.doc().filePath.empty());
  EXPECT_TRUE(fx.doc().fileName.empty());
  EXPECT_EQ(fx.doc().modified, 1);

  ASSERT_TRUE(test::Shown(fx.w(), OpenSBLFile(fx.w(), path, FileBinding::Detached)));
  EXPECT_TRUE(fx.doc().filePath.empty());
  EXPECT_EQ(fx.doc().modified, 1);

  // From memory the document has no name either way; only the adopted one counts as saved.
  const std::vector<uint8_t> image = SerializeSBL(fx.doc());
  ASSERT_TRUE(test::Shown(fx.w(), OpenSBLData(fx.w(), image, "-", FileBinding::Detached)));
  EXPECT_EQ(fx.doc().modified, 1);
  ASSERT_TRUE(test::Shown(fx.w(), OpenSBLData(fx.w(), image, "-")));
  EXPECT_EQ(fx.doc().modified, 0);
  EXPECT_TRUE(fx.doc().filePath.empty());

  ASSERT_TRUE(test::Shown(fx.w(), OpenSBLFile(fx.w(), path)));
  EXPECT_EQ(fx.doc().filePath, path);
  EXPECT_EQ(fx.doc().fileName, "leise.sbl");
}

TEST(SblLayout, HeaderSettingsPropertiesAndFontRecord) {
  test::Fixture fx;
  fx.doc().zoomPercent = 150.0;
  fx.doc().zoomMode = 2;
  fx.doc().language = 1;
  const std::vector<uint8_t> f = SerializeSBL(fx.doc());
  EXPECT_EQ(test::LoadI32(f, 0), 60);
  EXPECT_EQ(std::string(f.begin() + 4, f.begin() + 64),
            "<TOLVERA SCRIBOLANTIUM DOKUMENT / DOKUMENT VERSION 01 00 00>");
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 64, f.begin() + 72), test::LeBytes(150.0));
  EXPECT_EQ(test::LoadI32(f, 72), 2);
  EXPECT_EQ(f[76], 1) << "autoHyphenation";
  EXPECT_EQ(test::LoadI32(f, 77), 1);
  EXPECT_EQ(f[81], 8) << "property count";
  for (int i = 0; i < 8; ++i) EXPECT_EQ(test::LoadI32(f, 82 + 4 * i), 0);

  ASSERT_EQ(test::LoadI32(f, 114), fx.doc().fontCount());
  const size_t font = 118;  // Times New Roman 12 of the standard template
  EXPECT_EQ(test::LoadI32(f, font + 0), 0);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + font + 4, f.begin() + font + 12), test::LeBytes(12.0));
  EXPECT_EQ(test::LoadI32(f, font + 12), 0) << "reference slot";
  EXPECT_EQ(f[font + 16], 0);
  EXPECT_EQ(f[font + 17], 0);
  EXPECT_EQ(f[font + 18], 1);
  EXPECT_EQ(test::LoadI32(f, font + 19), 0xFFFFFF);
  EXPECT_EQ(test::LoadI32(f, font + 23), 0x808080);
  EXPECT_EQ(test::LoadI32(f, font + 27), 0x00FFFF);
  EXPECT_EQ(f[font + 31], 1);
  EXPECT_EQ(f[font + 32] | (f[font + 33] << 8), 0);
  EXPECT_EQ(test::LoadI32(f, font + 34), 15);
  EXPECT_EQ(std::string(f.begin() + font + 38, f.begin() + font + 53), "Times New Roman");
}

TEST(SblLayout, FieldRecordAndLineBlock) {
  test::Fixture fx;
  Document& d = fx.doc();
  d.fields[0].anchorOffsetX = test::kBodySentinel;
  d.fields[0].anchorId = 123;
  d.fields[0].footnoteNo = 9;
  d.fields[0].lines[0].endKind = kEndPageBreak;
  d.fields[0].lines[0].columnGap = 7.5;
  const std::vector<uint8_t> f = SerializeSBL(d);
  const size_t at = test::FindBytes(f, test::LeBytes(test::kBodySentinel));
  ASSERT_NE(at, std::string::npos);
  const size_t rec = at - 152;
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + rec + 32, f.begin() + rec + 40), test::LeBytes(25.0));
  EXPECT_EQ(f[rec + 65], 1) << "wrapText";
  EXPECT_EQ(f[rec + 106], 1) << "bottomFromBottom";
  EXPECT_EQ(f[rec + 107], 1) << "rightFromRight";
  EXPECT_EQ(f[rec + 108], kFieldBody);
  EXPECT_EQ(test::LoadI32(f, rec + 100), 0xFFFFFF);
  EXPECT_EQ(test::LoadI32(f, rec + 116), -1);
  EXPECT_EQ(test::LoadI32(f, rec + 120), -1);
  EXPECT_EQ(f[rec + 124], 1) << "keepAspect";
  EXPECT_EQ(test::LoadI32(f, rec + 128), 1) << "lineCount";
  EXPECT_EQ(test::LoadI32(f, rec + 140), 9);
  EXPECT_EQ(test::LoadI32(f, rec + 168), 123);
  for (size_t z :
       {67, 109, 110, 111, 125, 126, 127, 132, 133, 134, 135, 139, 144, 150, 172, 180, 207})
    EXPECT_EQ(f[rec + z], 0) << "reserved or runtime byte " << z;

  const size_t line = rec + 208;
  EXPECT_EQ(test::LoadI32(f, line), 0) << "charCount";
  EXPECT_EQ(test::LoadI32(f, line + 4), kEndPageBreak);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + line + 9, f.begin() + line + 17), test::LeBytes(1.0));
  EXPECT_EQ(f[line + 8 + 75], 159) << "bulletChar";
  EXPECT_EQ(f[line + 8 + 84], 0) << "inTable; no table part follows";
  EXPECT_EQ(test::LoadI32(f, line + 8 + 85), 0) << "columns";
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + line + 101, f.begin() + line + 109),
            test::LeBytes(7.5));
}

TEST(SblLayout, FontIndexUpTo255TakesOneByteAbove255FourBytes) {
  test::Fixture fx;
  Document& d = fx.doc();
  for (int i = 0; d.fontCount() < 257; ++i) {
    FontRec f = FontOfCurrentFormat(d.CurrentFormat);
    f.size = 6.0 + 0.25 * i;
    GetNewFontIndex(d, f);
  }
  for (auto [ch, font] : std::initializer_list<std::pair<char, int>>{{'X', 255}, {'Y', 256}}) {
    CharRec& c = test::AddSpecialCell(d, 6, 0, kCharText);
    c.ch = static_cast<uint8_t>(ch);
    c.fontIndex = font;
    RenderChar(fx.w(), c, false, CellText(c));
  }
  const std::vector<uint8_t> f = SerializeSBL(d);
  const std::vector<uint8_t> tail(f.end() - 9, f.end());
  EXPECT_EQ(tail, (std::vector<uint8_t>{0x80, 'X', 255, 0x00, 'Y', 0x00, 0x01, 0x00, 0x00}));
  Document back = parsed(fx.w(), f);
  EXPECT_TRUE(test::StoredContentEqual(d, back));
}

TEST(SblLayout, OnlyTabsCarryTheirFillByte) {
  test::Fixture fx;
  Document& d = fx.doc();
  test::AddText(fx.w(), 6, 0, "\tA");
  d.fields[6].lines[0].chars.mut(0).tabFill = 2;
  d.fields[6].lines[0].chars.mut(1).tabFill = 3;  // meaningless on a letter: not stored
  const std::vector<uint8_t> f = SerializeSBL(d);
  EXPECT_EQ(std::vector<uint8_t>(f.end() - 7, f.end()),
            (std::vector<uint8_t>{0x80, 9, 2, 0, 0x80, 'A', 0}));
  Document back = parsed(fx.w(), f);
  EXPECT_EQ(back.fields[6].lines[0].chars[0].tabFill, 2);
  EXPECT_EQ(back.fields[6].lines[0].chars[1].tabFill, 0);
}

TEST(SblLayout, TemplateWithThreeTabStopsAndABulletFont) {
  test::Fixture fx;
  Document& d = fx.doc();
  FreeVorlagen(d);
  const std::vector<uint8_t> without = SerializeSBL(d);
  ParagraphFormat p;
  p.tabs = {{10.0, 0, 0}, {20.0, 1, 2}, {30.0, 3, 3}};
  p.bulletFont = "Symbol";
  p.listKind = kListBullets;
  CharRec sample;
  sample.fontIndex = 0;
  AddVorlage(d,
             "\xdc"
             "berschrift",
             kTemplateParagraph, p, sample);
  const std::vector<uint8_t> with = SerializeSBL(d);
  ASSERT_EQ(with.size() - without.size(), 387u + 48u + 4u + 6u);

  size_t count = 0;
  while (with[count] == without[count]) ++count;
  const size_t rec = count + 4;
  EXPECT_EQ(with[rec], 11) << "name length";
  EXPECT_EQ(std::string(with.begin() + rec + 1, with.begin() + rec + 12),
            "\xdc"
            "berschrift");
  EXPECT_EQ(with[rec + 12], 0) << "unused name bytes are zero";
  EXPECT_EQ(with[rec + 256], kTemplateParagraph);
  EXPECT_EQ(test::LoadI32(with, rec + 315), 3) << "tabCount";
  EXPECT_EQ(test::LoadI32(with, rec + 337), 1) << "bulletFont presence";
  EXPECT_EQ(with[rec + 257 + 74], kListBullets);
  EXPECT_EQ(test::LoadI32(with, rec + 341 + 22), 0) << "sample fontIndex";
  EXPECT_EQ(std::vector<uint8_t>(with.begin() + rec + 387 + 16, with.begin() + rec + 387 + 24),
            test::LeBytes(20.0));
  EXPECT_EQ(test::LoadI32(with, rec + 387 + 48), 6);
  EXPECT_EQ(std::string(with.begin() + rec + 387 + 52, with.begin() + rec + 387 + 58), "Symbol");

  Document back = parsed(fx.w(), with);
  ASSERT_EQ(back.templateCount(), 1);
  EXPECT_EQ(back.templates[0].paragraph, p);
  EXPECT_EQ(back.templates[0].name,
            "\xdc"
            "berschrift");
}

TEST(SblLayout, TablePartOnlyForTableLines) {
  test::Fixture fx;
  Document& d = fx.doc();
  const size_t plain = SerializeSBL(d).size();
  d.fields[0].lines[0].inTable = 1;
  EXPECT_EQ(SerializeSBL(d).size() - plain, 2u + 4u + 4u + 3u * 8u + 57u);
}

TEST(SblLayout, PictureBlocksFor24And8BitsPerPixel) {
  test::Fixture fx;
  Document& d = fx.doc();
  d.pictures.push_back(test::MakePicture24(3, 2));
  d.pictures.push_back(test::MakePicture8(5, 3));
  const std::vector<uint8_t> f = SerializeSBL(d);

  auto block = [](int32_t headerSize, int32_t colours, int32_t w, int32_t h) {
    std::vector<uint8_t> v;
    for (int32_t x : {headerSize, colours, 40, w, h}) {
      auto b = test::LeBytes(x);
      v.insert(v.end(), b.begin(), b.end());
    }
    return v;
  };
  const size_t p24 = test::FindBytes(f, block(40, 0, 3, 2));
  ASSERT_NE(p24, std::string::npos);
  EXPECT_EQ(f[p24 + 8 + 14], 24);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + p24 + 48, f.begin() + p24 + 48 + 24),
            d.pictures[0].pixels);
  const size_t p8 = test::FindBytes(f, block(1064, 256, 5, 3));
  ASSERT_NE(p8, std::string::npos);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + p8 + 48, f.begin() + p8 + 48 + 1024),
            std::vector<uint8_t>(d.pictures[1].info.begin() + 40, d.pictures[1].info.end()));
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + p8 + 8 + 1064, f.begin() + p8 + 8 + 1064 + 24),
            d.pictures[1].pixels);

  Document back = parsed(fx.w(), f);
  EXPECT_TRUE(test::StoredContentEqual(d, back));
}

TEST(SblLayout, ReleasedPictureSlotIsStoredAsAWhitePixel) {
  test::Fixture fx;
  Document& d = fx.doc();
  d.pictures.push_back(test::MakePicture24(3, 2));
  d.pictures.push_back(test::MakePicture8(4, 4));
  d.pictures.push_back(test::MakePicture24(2, 2));
  FreeBildInListe(d, 1);
  d.pictures[2].pixels.clear();  // a header without pixels is no picture either
  Document back = parsed(fx.w(), SerializeSBL(d));
  ASSERT_EQ(back.pictureCount(), 3) << "slots keep their indexes";
  EXPECT_EQ(back.pictures[0].pixels, d.pictures[0].pixels);
  for (int i : {1, 2}) {
    EXPECT_EQ(back.pictures[i].width(), 1);
    EXPECT_EQ(back.pictures[i].height(), 1);
    EXPECT_EQ(back.pictures[i].bitsPerPixel(), 24);
    EXPECT_EQ(getpixel(back.pictures[i], 0, 0), 0xFFFFFFu);
  }
}

TEST(SblLayout, PageSizeIsNotStored) {
  test::Fixture fx;
  fx.doc().pageWidth = 123.25;
  fx.doc().pageHeight = 150.75;
  const std::string path = testDir() + "/seite.sbl";
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), path)));
  const std::vector<uint8_t> f = test::ReadBytes(path);
  EXPECT_EQ(test::FindBytes(f, test::LeBytes(123.25)), std::string::npos);

  FileWindow reopened(fx.app);
  ASSERT_TRUE(test::Shown(reopened.w, OpenSBLFile(reopened.w, path)));
  EXPECT_DOUBLE_EQ(reopened.w.doc.pageWidth, 210.0);
  EXPECT_DOUBLE_EQ(reopened.w.doc.pageHeight, 297.0);

  FileWindow landscape(fx.app);
  landscape.w.doc.pageWidth = 297.0;
  landscape.w.doc.pageHeight = 210.0;
  ASSERT_TRUE(test::Shown(landscape.w, OpenSBLFile(landscape.w, path)));
  EXPECT_DOUBLE_EQ(landscape.w.doc.pageWidth, 297.0) << "the window keeps its page size";
}

TEST(SblRoundTrip, OpeningReplacesEverythingTheFileHoldsAndKeepsTheFormat) {
  test::Fixture fx;
  const std::string path = testDir() + "/leer.sbl";
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), path)));

  FileWindow busy(fx.app);
  test::BuildRichDocument(busy.w);
  busy.w.doc.CurrentFormat.curFontName = "Arial";
  ASSERT_TRUE(test::Shown(busy.w, OpenSBLFile(busy.w, path)));
  EXPECT_TRUE(test::StoredContentEqual(fx.doc(), busy.w.doc));
  EXPECT_EQ(busy.w.doc.CurrentFormat.curFontName, "Arial");
}

TEST(SblRoundTrip, AFileInAnotherLanguageRebindsTheHyphenationPatterns) {
  test::Fixture fx;
  fx.doc().language = 1;
  const std::string path = testDir() + "/english.sbl";
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), path)));
  FileWindow german(fx.app);
  test::Shown(german.w, OpenHyphenData(german.w));
  ASSERT_EQ(german.w.hyphenTable, &fx.app.hyphenTables[0]);
  ASSERT_TRUE(test::Shown(german.w, OpenSBLFile(german.w, path)));
  EXPECT_EQ(german.w.hyphenTable, &fx.app.hyphenTables[1]);
}

TEST(SblRoundTrip, AFieldWithoutLinesComesBackWithOne) {
  test::Fixture fx;
  fx.doc().fields[6].lines.clear();
  Document back = parsed(fx.w(), SerializeSBL(fx.doc()));
  ASSERT_EQ(back.fields[6].lineCount(), 1);
  EXPECT_EQ(back.fields[6].lines[0].charCount(), 0);
  EXPECT_EQ(back.fields[6].lines[0].rowCells, 1);
}

}  // namespace
}  // namespace paginor
