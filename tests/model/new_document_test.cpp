// A new document window: the fixed fields, the standard templates and the format at the cursor.
#include <gtest/gtest.h>

#include "model/queries.h"
#include "platform/cp1252.h"
#include "support/test_support.h"

namespace paginor {
namespace {

TEST(NewDocument, HasSevenFieldsWithTheFixedDefaults) {
  test::Fixture fx;
  const Document& d = fx.doc();
  ASSERT_EQ(d.fieldCount(), 7);
  EXPECT_EQ(GetAnzPages(d), 1);
  EXPECT_DOUBLE_EQ(d.pageWidth, 210.0);
  EXPECT_DOUBLE_EQ(d.pageHeight, 297.0);

  const FieldRec& body = d.fields[0];
  EXPECT_EQ(body.type, kFieldBody);
  EXPECT_EQ(body.page, 0);
  EXPECT_EQ(body.lineCount(), 1);
  EXPECT_DOUBLE_EQ(body.left, 0);
  EXPECT_DOUBLE_EQ(body.bottom, 0);
  EXPECT_EQ(body.topFromBottom, 0);
  EXPECT_EQ(body.bottomFromBottom, 1);
  EXPECT_EQ(body.rightFromRight, 1);
  EXPECT_DOUBLE_EQ(body.marginLeft, 25.0);
  EXPECT_DOUBLE_EQ(body.marginTop, 25.0);
  EXPECT_DOUBLE_EQ(body.marginRight, 25.0);
  EXPECT_DOUBLE_EQ(body.marginBottom, 25.0);
  EXPECT_EQ(body.showOn, 0);
  EXPECT_EQ(body.wrapText, 1);
  EXPECT_EQ(body.moveWithText, 1);
  EXPECT_DOUBLE_EQ(body.distanceX, 3.2);
  EXPECT_DOUBLE_EQ(body.distanceY, 3.2);
  EXPECT_EQ(body.transparent, 1);
  EXPECT_EQ(body.backColour, 0xFFFFFF);
  EXPECT_EQ(body.keepAspect, 1);
  EXPECT_EQ(body.prevField, -1);
  EXPECT_EQ(body.nextField, -1);

  for (int i = 1; i <= 6; ++i) {
    SCOPED_TRACE(i);
    const FieldRec& f = d.fields[i];
    const bool header = i % 2 == 1;
    EXPECT_EQ(f.type, header ? kFieldHeader : kFieldFooter);
    EXPECT_EQ(f.lineCount(), 1);
    EXPECT_EQ(f.page, 0);
    EXPECT_EQ(f.footnoteNo, 0);
    EXPECT_DOUBLE_EQ(f.marginLeft, 25.0);
    EXPECT_DOUBLE_EQ(f.marginRight, 25.0);
    EXPECT_EQ(f.rightFromRight, 1);
    if (header) {
      EXPECT_DOUBLE_EQ(f.bottom, 24.5);
      EXPECT_DOUBLE_EQ(f.marginTop, 11.0);
      EXPECT_EQ(f.topFromBottom, 0);
      EXPECT_EQ(f.bottomFromBottom, 0);
    } else {
      EXPECT_DOUBLE_EQ(f.top, 24.5);
      EXPECT_DOUBLE_EQ(f.marginBottom, 11.0);
      EXPECT_EQ(f.topFromBottom, 1);
      EXPECT_EQ(f.bottomFromBottom, 1);
    }
    // Only the last pair shows, on all pages.
    EXPECT_EQ(f.showOn, i >= 5 ? 1 : kShowNowhere);
  }
}

TEST(NewDocument, LinesCarryTheNewLineDefaults) {
  test::Fixture fx;
  const LineRec& l = fx.doc().fields[0].lines[0];
  EXPECT_EQ(l.charCount(), 0);
  EXPECT_EQ(l.endKind, kEndSoft);
  EXPECT_EQ(l.rowCells, 1);
  EXPECT_EQ(l.inTable, 0);
  EXPECT_DOUBLE_EQ(l.para.lineSpacing, 1.0);
  EXPECT_DOUBLE_EQ(l.para.defaultTabWidth, 12.5);
  EXPECT_DOUBLE_EQ(l.para.listIndent, 6.3);
  EXPECT_EQ(l.para.bulletChar, 159);
  EXPECT_TRUE(l.para.bulletFont.empty());
  EXPECT_DOUBLE_EQ(l.columnGap, 12.5);
  EXPECT_EQ(l.dirty, 0) << "the first layout pass clears the flags";
}

TEST(NewDocument, DocumentMembersAndCurrentFormat) {
  test::Fixture fx;
  const Document& d = fx.doc();
  EXPECT_EQ(d.autoHyphenation, 1);
  EXPECT_EQ(d.language, 0);
  EXPECT_DOUBLE_EQ(d.zoomPercent, 100.0);
  EXPECT_TRUE(d.filePath.empty());
  EXPECT_EQ(d.modified, 0);
  EXPECT_TRUE(d.pictures.empty());
  const CurrentFormatRec& cf = d.CurrentFormat;
  EXPECT_EQ(cf.curFontName, "Times New Roman");
  EXPECT_DOUBLE_EQ(cf.curFontSize, 12.0);
  EXPECT_EQ(cf.curCharset, 1);
  EXPECT_EQ(cf.curBackColour, 0xFFFFFF);
  EXPECT_EQ(cf.curShadowColour, 0x808080);
  EXPECT_EQ(cf.curOutlineColour, 0x00FFFF);
  EXPECT_EQ(cf.curBackTransparent, 1);
  EXPECT_EQ(fx.w().measure.resolution, 600);
  // Trunc(210 / 25.39995 * 600) and Trunc(297 / 25.39995 * 600).
  EXPECT_EQ(fx.w().measure.pageWidthPx, 4960);
  EXPECT_EQ(fx.w().measure.pageHeightPx, 7015);
}

TEST(NewDocument, StandardTemplatesInOrder) {
  test::Fixture fx;
  const Document& d = fx.doc();
  ASSERT_EQ(d.templateCount(), 5);
  struct Expect {
    const char* name;
    uint8_t kind;
    const char* font;
    double size;
    uint8_t style;
  } expect[] = {{"Standard", 0, "Times New Roman", 12, 0},
                {"Überschrift 1", 0, "Arial", 14, 1},
                {"Überschrift 2", 0, "Arial", 12, 3},
                {"Überschrift 3", 0, "Arial", 12, 0},
                {"Standardschrfitart", 1, "Times New Roman", 12, 0}};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const VorlageRec& v = d.templates[i];
    EXPECT_EQ(cp1252ToUtf8(v.name), expect[i].name);
    EXPECT_EQ(v.kind, expect[i].kind);
    ASSERT_GE(v.sample.fontIndex, 0);
    ASSERT_LT(v.sample.fontIndex, d.fontCount());
    const FontRec& f = d.fonts[v.sample.fontIndex];
    EXPECT_EQ(f.name, expect[i].font);
    EXPECT_DOUBLE_EQ(f.size, expect[i].size);
    EXPECT_EQ(f.style, expect[i].style);
    EXPECT_EQ(f.charset, 1);
    EXPECT_EQ(f.textColour, 0);
    EXPECT_TRUE(v.paragraph == d.fields[0].lines[0].para);
  }
  // "Standard" and the character template share one interned font entry.
  EXPECT_EQ(d.templates[0].sample.fontIndex, d.templates[4].sample.fontIndex);
}

TEST(NewDocument, ToolbarFollowsTheFormat) {
  test::Fixture fx;
  const FormatToolbarState& t = fx.host.ui.toolbar;
  EXPECT_EQ(t.fontName, "Times New Roman");
  EXPECT_EQ(t.sizeText, "12");
  EXPECT_FALSE(t.bold);
  ASSERT_EQ(t.templateNames.size(), 5u);
  EXPECT_EQ(t.templateNames[1], "Überschrift 1");
  EXPECT_FALSE(fx.w().formatGuard) << "the guard is only set while the toolbar is written";
}

}  // namespace
}  // namespace paginor
