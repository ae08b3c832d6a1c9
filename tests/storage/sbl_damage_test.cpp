// Damaged and foreign files: every variant is read or refused with a message, never a crash,
// and a refused file leaves the open document exactly as it was.
#include <unistd.h>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "model/primitives.h"
#include "storage/document_equality.h"
#include "storage/file_io.h"
#include "storage/new_document.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

constexpr const char* kDamaged =
    "Die Datei kaputt.sbl ist besch\xc3\xa4"
    "digt und kann nicht gelesen werden!";

class SblDamage : public ::testing::Test {
 protected:
  SblDamage() : victim(fx.app) {
    // Thousands of files are read here; glyph widths do not matter to them.
    fx.host.platform().fonts = &fonts;
    (void)FormCreate(victim);
    test::AddText(victim, 0, 0, "Bleibt wie es ist");
    victim.doc.fileName = "alt.sbl";
    victim.doc.filePath = "/irgendwo/alt.sbl";
    SetFileChanged(victim, true);
    before = victim.doc;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = test::TempDir(std::string("sbl_damage_") + info->name());
  }

  // The kind of a refusal; nothing for a file that was read.
  static std::optional<FailureKind> kindOf(const Result& r) {
    if (r) return std::nullopt;
    return r.failure().kind;
  }

  Result parse(const std::vector<uint8_t>& bytes) {
    Document d;
    return ParseSBL(fx.w(), bytes.data(), bytes.size(), d);
  }

  // Opens the bytes as "kaputt.sbl" in the victim window and expects a refusal with `message`
  // that leaves the victim's document as it was.
  void expectRefused(const std::vector<uint8_t>& bytes, const std::string& message) {
    const std::string path = dir + "/kaputt.sbl";
    test::WriteBytes(path, bytes);
    fx.host.ui.messages.clear();
    EXPECT_FALSE(test::Shown(victim, OpenSBLFile(victim, path)));
    ASSERT_EQ(fx.host.ui.messages.size(), 1u);
    EXPECT_EQ(fx.host.ui.messages[0].text, message);
    EXPECT_EQ(fx.host.ui.messages[0].caption, "Paginor");
    EXPECT_EQ(fx.host.ui.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(test::StoredContentEqual(before, victim.doc));
    EXPECT_EQ(victim.doc.fileName, "alt.sbl");
    EXPECT_EQ(victim.doc.filePath, "/irgendwo/alt.sbl");
    EXPECT_EQ(victim.doc.modified, 1);
  }

  test::Fixture fx;
  test::FixedWidthFonts fonts;
  TMDIChild victim;
  Document before;
  std::string dir;
};

TEST_F(SblDamage, OneWrongLetterInTheMagicIsNoDocument) {
  std::vector<uint8_t> f = SerializeSBL(fx.doc());
  f[4 + 9] = 'X';  // "SCRIBOLANTIUM" loses a letter
  EXPECT_EQ(kindOf(parse(f)), FailureKind::WrongFormat);
  expectRefused(f, "Dies ist kein g\xc3\xbcltiges Scribolantium Dokument!");
  EXPECT_TRUE(fx.host.ui.statusHistory.empty()) << "nothing was read, no progress shown";

  f = SerializeSBL(fx.doc());
  test::StoreI32(f, 0, 59);
  expectRefused(f, "Dies ist kein g\xc3\xbcltiges Scribolantium Dokument!");
  expectRefused({}, "Dies ist kein g\xc3\xbcltiges Scribolantium Dokument!");
  expectRefused({'H', 'a', 'l', 'l', 'o'}, "Dies ist kein g\xc3\xbcltiges Scribolantium Dokument!");
}

TEST_F(SblDamage, MissingFilesAndDirectoriesCannotBeOpened) {
  fx.host.ui.messages.clear();
  EXPECT_FALSE(test::Shown(victim, OpenSBLFile(victim, dir + "/fehlt.sbl")));
  EXPECT_FALSE(test::Shown(victim, OpenSBLFile(victim, dir)));
  ASSERT_EQ(fx.host.ui.messages.size(), 2u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Konnte Datei fehlt.sbl nicht \xc3\xb6"
            "ffnen! Die Datei existiert nicht.");
  EXPECT_EQ(fx.host.ui.messages[1].text, "Konnte Datei " + FileNameOf(dir) +
                                             " nicht \xc3\xb6"
                                             "ffnen! Der Name geh\xc3\xb6rt zu einem Ordner.");
  EXPECT_TRUE(test::StoredContentEqual(before, victim.doc));
}

TEST_F(SblDamage, HugeFilesAreRefusedBeforeReading) {
  const std::string path = dir + "/riesig.sbl";
  test::WriteBytes(path, SerializeSBL(fx.doc()));
  ASSERT_EQ(truncate(path.c_str(), (off_t{1} << 30) + 1), 0);  // sparse: costs no disk
  fx.host.ui.messages.clear();
  EXPECT_FALSE(test::Shown(victim, OpenSBLFile(victim, path)));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Die Datei riesig.sbl ist zu gro\xc3\x9f und kann nicht gelesen werden!");
}

TEST_F(SblDamage, EveryTruncationIsRefused) {
  test::BuildRichDocument(fx.w());
  const std::vector<uint8_t> sample = SerializeSBL(fx.doc());
  ASSERT_TRUE(parse(sample));
  for (size_t n = 0; n < sample.size(); ++n) {
    // An allocation of exactly n bytes, so that the sanitizer sees any read past the end.
    const std::vector<uint8_t> cut(sample.begin(), sample.begin() + static_cast<long>(n));
    const Result r = parse(cut);
    ASSERT_EQ(kindOf(r), n < 64 ? FailureKind::WrongFormat : FailureKind::Damaged)
        << "cut at " << n;
    ASSERT_LE(r.failure().offset.value_or(n + 1), n);
    if (n >= 64 && n % 211 == 0) expectRefused(cut, kDamaged);
  }
}

TEST_F(SblDamage, FlippedBytesAreReadOrRefused) {
  test::BuildRichDocument(fx.w());
  const std::vector<uint8_t> sample = SerializeSBL(fx.doc());
  int read = 0, refused = 0;
  for (size_t i = 64; i < sample.size(); ++i) {
    for (uint8_t pattern : {uint8_t{0xFF}, uint8_t{0x80}}) {
      if (pattern == 0x80 && i % 7 != 0) continue;
      std::vector<uint8_t> v = sample;
      v[i] ^= pattern;
      Document d;
      const Result r = ParseSBL(fx.w(), v.data(), v.size(), d);
      ASSERT_NE(kindOf(r), FailureKind::WrongFormat);
      if (!r) {
        if (++refused % 50 == 0) expectRefused(v, kDamaged);
        continue;
      }
      // What was read is a consistent document: it is written and read again unchanged.
      if (++read % 5 != 0) continue;
      const std::vector<uint8_t> again = SerializeSBL(d);
      Document d2;
      ASSERT_TRUE(ParseSBL(fx.w(), again.data(), again.size(), d2)) << "flip at " << i;
      ASSERT_TRUE(test::StoredContentEqual(d, d2)) << "flip at " << i;
    }
  }
  EXPECT_GT(read, 0);
  EXPECT_GT(refused, 0);
}

// A plain document with a picture, a page chained to the first, and at its very end a field
// cell, a picture cell and a letter, so that the tests can find every part.
class SblHostile : public SblDamage {
 protected:
  SblHostile() {
    Document& d = fx.doc();
    d.fields[0].anchorOffsetX = test::kBodySentinel;
    d.pictures.push_back(test::MakePicture24(3, 2));
    const int32_t page2 = NewPage(d, AddLine::Yes);
    d.fields[static_cast<size_t>(page2)].page = 1;
    d.fields[static_cast<size_t>(page2)].anchorOffsetX = 0;
    d.fields[0].nextField = page2;
    d.fields[static_cast<size_t>(page2)].prevField = 0;
    last = page2;
    CharRec& field = test::AddSpecialCell(d, last, 0, kCharField);
    field.setText("Seite");
    field.setCode("PAGE");
    CharRec& pic = test::AddSpecialCell(d, last, 0, kCharPicture);
    pic.setPictureIndex(0);
    test::AddText(fx.w(), last, 0, "Z");
    file = SerializeSBL(d);
    body = test::FindBytes(file, test::LeBytes(test::kBodySentinel)) - 152;
    fieldCount = body - 4;
  }

  void expectDamaged(const std::vector<uint8_t>& v, const char* detail = nullptr) {
    const Result r = parse(v);
    ASSERT_EQ(kindOf(r), FailureKind::Damaged);
    EXPECT_FALSE(r.failure().part.empty()) << "the refusal names the part of the file";
    if (detail) {
      EXPECT_EQ(r.failure().detail, detail);
    }
  }
  std::vector<uint8_t> withI32(size_t at, int32_t x) {
    std::vector<uint8_t> v = file;
    test::StoreI32(v, at, x);
    return v;
  }

  std::vector<uint8_t> file;
  int32_t last = 0;
  size_t body = 0;
  size_t fieldCount = 0;
};

TEST_F(SblHostile, CountsBeyondTheFileOrTheLimitsAreRefused) {
  ASSERT_TRUE(parse(file));
  std::vector<uint8_t> v = file;
  v[81] = 9;
  expectDamaged(v, "Mehr als acht Dokumenteigenschaften");
  for (int32_t bad : {-1, 0x7FFFFFFF, 1 << 21}) {
    SCOPED_TRACE(bad);
    expectDamaged(withI32(114, bad), "Ungültige Anzahl Schriften");
    expectDamaged(withI32(152, bad));  // the first font's name length
    expectDamaged(withI32(fieldCount, bad), "Ungültige Anzahl Felder");
    expectDamaged(withI32(body + 128, bad), "Ungültige Anzahl Zeilen");
    expectDamaged(withI32(body + 208, bad), "Ungültige Anzahl Zeichen");
    expectDamaged(withI32(body + 208 + 8 + 58, bad), "Ungültige Anzahl Tabstopps");
  }
  expectDamaged(withI32(152, 256));  // a font name of 256 bytes is no font name
  expectDamaged(withI32(fieldCount, 6), "Ungültige Anzahl Felder");
  expectRefused(withI32(body + 128, 0x7FFFFFFF), kDamaged);
}

TEST_F(SblHostile, TemplatesAndFontIndexesMustFitTheTables) {
  const size_t standard = test::FindBytes(file, {8, 'S', 't', 'a', 'n', 'd', 'a', 'r', 'd'});
  ASSERT_NE(standard, std::string::npos);
  expectDamaged(withI32(standard - 4, -2), "Ungültige Anzahl Formatvorlagen");
  expectDamaged(withI32(standard - 4, 1 << 20), "Ungültige Anzahl Formatvorlagen");
  expectDamaged(withI32(standard + 315, 5000), "Ungültige Anzahl Tabstopps");
  expectDamaged(withI32(standard + 341 + 22, fx.doc().fontCount()),
                "Formatvorlage verweist auf eine fehlende Schrift");

  std::vector<uint8_t> v = file;
  v.back() = static_cast<uint8_t>(fx.doc().fontCount());  // the last letter's font index
  expectDamaged(v, "Zeichen verweist auf eine fehlende Schrift");
  expectRefused(v, kDamaged);
  v = file;
  v[v.size() - 3] = 0x87;  // the last letter's kind becomes 7
  expectDamaged(v, "Unbekannte Zeichenart");
  v = file;
  v[v.size() - 3] = 0x00;  // a four-byte font index that runs past the end
  expectDamaged(v);
}

// A template's sample cell carries only its font; whatever another program left in its other
// slots (a stale width, a NaN, any kind) must not make the document unreadable.
TEST_F(SblHostile, JunkInTheUnusedSlotsOfATemplateSampleIsIgnored) {
  const std::vector<uint8_t> name{8, 'S', 't', 'a', 'n', 'd', 'a', 'r', 'd'};
  const size_t record = test::FindBytes(file, name);
  ASSERT_NE(record, std::string::npos);
  const size_t sample = record + 341;
  std::vector<uint8_t> v = file;
  auto put = [&](size_t at, const std::vector<uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), v.begin() + static_cast<long>(at));
  };
  v[sample + 0] = 0xEE;                                                      // kind
  v[sample + 1] = 0x09;                                                      // ch: a tab
  put(sample + 6, test::LeBytes(std::numeric_limits<double>::quiet_NaN()));  // width
  put(sample + 14, test::LeBytes(-1e300));                                   // height
  put(sample + 27, {0xFF, 0xFF});                                            // pictureIndex
  put(sample + 42, {0x00, 0x00, 0xC0, 0x7F});                                // skipBefore: NaN
  const int32_t font = test::LoadI32(file, sample + 22);

  const std::string path = dir + "/vorlage.sbl";
  test::WriteBytes(path, v);
  fx.host.ui.messages.clear();
  ASSERT_TRUE(test::Shown(victim, OpenSBLFile(victim, path)));
  EXPECT_TRUE(fx.host.ui.messages.empty());
  const VorlageRec* standard = nullptr;
  for (const VorlageRec& t : victim.doc.templates)
    if (t.name == "Standard") standard = &t;
  ASSERT_NE(standard, nullptr);
  EXPECT_EQ(standard->sample.fontIndex, font);
  EXPECT_EQ(standard->sample.width, 0.0);
  EXPECT_EQ(standard->sample.skipBefore, 0.0f);

  // Written again, the slots are clean and the file reads back the same.
  const std::vector<uint8_t> again = SerializeSBL(victim.doc);
  const size_t again0 = test::FindBytes(again, name);
  ASSERT_NE(again0, std::string::npos);
  const size_t at = again0 + 341;
  EXPECT_EQ(std::vector<uint8_t>(again.begin() + static_cast<long>(at) + 6,
                                 again.begin() + static_cast<long>(at) + 14),
            test::LeBytes(0.0));
  Document back;
  ASSERT_TRUE(ParseSBL(fx.w(), again.data(), again.size(), back));
  EXPECT_TRUE(test::StoredContentEqual(victim.doc, back));

  // The font index is the one slot that matters: a missing font is still damage.
  expectDamaged(withI32(sample + 22, -1), "Formatvorlage verweist auf eine fehlende Schrift");
}

TEST_F(SblHostile, PictureHeadersAndReferencesAreChecked) {
  std::vector<uint8_t> pattern;
  for (int32_t x : {40, 0, 40, 3, 2}) {
    auto b = test::LeBytes(x);
    pattern.insert(pattern.end(), b.begin(), b.end());
  }
  const size_t pic = test::FindBytes(file, pattern);
  ASSERT_NE(pic, std::string::npos);
  const size_t header = pic + 8;
  std::vector<uint8_t> v = file;
  v[header + 14] = 7;
  expectDamaged(v, "Ungültige Farbtiefe");
  expectDamaged(withI32(pic + 4, 16), "Ungültiger Bildkopf");
  expectDamaged(withI32(pic, 44), "Ungültiger Bildkopf");
  expectDamaged(withI32(header, 108), "Ungültige Farbtiefe");
  expectDamaged(withI32(header + 4, 0x7FFFFFFF), "Ungültige Bildgröße");
  expectDamaged(withI32(header + 8, -2), "Ungültige Bildgröße");
  // Sizes a picture may have, but whose pixels the file does not hold: refused before the
  // hundreds of megabytes are allocated.
  v = withI32(header + 4, 10000);
  test::StoreI32(v, header + 8, 10000);
  expectDamaged(v, "Bilddaten fehlen");
  v = withI32(header + 4, 32767);
  test::StoreI32(v, header + 8, 32767);
  expectDamaged(v, "Bilddaten fehlen");

  // The picture cell's index: flags, 'a', font, then the index.
  const size_t cellEnd = file.size() - 3;  // where the last letter starts
  const size_t index = cellEnd - 16 - 2;
  v = file;
  v[index] = 1;
  expectDamaged(v, "Zeichen verweist auf ein fehlendes Bild");
}

TEST_F(SblHostile, StringsAndNumbersOutOfRange) {
  // The field cell's text: "Seite" (length 5) is followed by "PAGE".
  const size_t text = test::FindBytes(file, {5, 0, 0, 0, 'S', 'e', 'i', 't', 'e'});
  ASSERT_NE(text, std::string::npos);
  expectDamaged(withI32(text, 1000), "Feldtext beschädigt");
  expectDamaged(withI32(text, -1), "Feldtext beschädigt");

  std::vector<uint8_t> v = file;
  const auto nan = test::LeBytes(std::numeric_limits<double>::quiet_NaN());
  std::copy(nan.begin(), nan.end(), v.begin() + static_cast<long>(body));
  expectDamaged(v, "Ungültige Feldmaße");
  v = file;
  const auto huge = test::LeBytes(1e300);
  std::copy(huge.begin(), huge.end(), v.begin() + static_cast<long>(body + 208 + 8 + 1));
  expectDamaged(v, "Ungültiges Absatzformat");
  v = file;
  v[body + 108] = 200;
  expectDamaged(v, "Unbekannte Feldart");
  expectDamaged(withI32(body + 112, -1), "Ungültige Seitennummer");
  expectDamaged(withI32(body + 112, 2'000'000'000), "Ungültige Seitennummer");
}

TEST_F(SblHostile, ChainsMustBeConsistentAndEnd) {
  expectDamaged(withI32(body + 116, 99), "Verkettung verweist auf ein fehlendes Feld");
  expectDamaged(withI32(body + 120, 3), "Verkettung der Felder widersprüchlich");
  // Page 2 links back to page 1 as its successor: consistent both ways, but circular.
  std::vector<uint8_t> v = withI32(body + 116, last);
  // Page 2's record: the field record of page 1 whose prevField is 0.
  size_t rec = std::string::npos;
  for (size_t at = body + 208; at + 208 <= v.size(); ++at) {
    if (test::LoadI32(v, at + 116) == 0 && test::LoadI32(v, at + 120) == -1 && v[at + 108] == 0 &&
        test::LoadI32(v, at + 112) == 1) {
      rec = at;
      break;
    }
  }
  ASSERT_NE(rec, std::string::npos);
  test::StoreI32(v, rec + 120, 0);
  expectDamaged(v, "Verkettung der Felder im Kreis");
  expectRefused(v, kDamaged);
}

TEST_F(SblHostile, OutOfPlaceViewStateGetsStandIns) {
  const size_t anchor = fieldCount - 29;
  std::vector<uint8_t> v = withI32(anchor + 12, 99);  // the Cursor's field
  test::StoreI32(v, anchor, -5);                      // the Anchor's field
  test::StoreI32(v, fieldCount - 5, -3);              // currentPage
  const auto nan = test::LeBytes(std::numeric_limits<double>::quiet_NaN());
  std::copy(nan.begin(), nan.end(), v.begin() + 64);  // zoomPercent
  test::StoreI32(v, 72, 7);                           // zoomMode
  Document d;
  ASSERT_TRUE(ParseSBL(fx.w(), v.data(), v.size(), d));
  EXPECT_EQ(d.Cursor, CursorPos{});
  EXPECT_EQ(d.Anchor, CursorPos{});
  EXPECT_EQ(d.currentPage, 0);
  EXPECT_DOUBLE_EQ(d.zoomPercent, 100.0);
  EXPECT_EQ(d.zoomMode, 0);
}

}  // namespace
}  // namespace paginor
