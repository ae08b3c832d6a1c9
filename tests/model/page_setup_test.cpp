// "Seite einrichten": the dialog's values, its paper-size logic and what OK does to the fields.
#include <gtest/gtest.h>

#include "editing/page_setup.h"
#include "support/test_support.h"

namespace paginor {
namespace {

TEST(PageSetup, FillsTheDialogFromTheDocument) {
  test::Fixture fx;
  fx.host.printer.formats = {{"A4", 2100, 2970}, {"Letter", 2159, 2794}};
  PageSetupDialog seen;
  fx.host.dialogs.push([&](Dialog& d) {
    seen = static_cast<PageSetupDialog&>(d);
    return false;
  });
  EXPECT_FALSE(PageSetup(fx.w()));
  ASSERT_EQ(seen.formatNames.size(), 3u);
  EXPECT_EQ(seen.formatNames[2], "Benutzerdefiniert");
  EXPECT_EQ(seen.formatIndex, 0) << "210 x 297 mm is the printer's A4";
  EXPECT_FALSE(seen.landscape);
  EXPECT_DOUBLE_EQ(seen.widthCm, 21.0);
  EXPECT_DOUBLE_EQ(seen.marginTopCm, 2.5);
  EXPECT_DOUBLE_EQ(seen.headerDistanceCm, 1.1);
  EXPECT_DOUBLE_EQ(seen.footerDistanceCm, 1.1);
  EXPECT_EQ(seen.mode, HeaderMode::AllSame);
  EXPECT_EQ(fx.doc().modified, 0) << "cancel changes nothing";
}

TEST(PageSetup, PaperSizeControlsKeepEachOtherInLine) {
  PageSetupDialog d;
  d.printerFormats = {{"A4", 2100, 2970}, {"A5", 1480, 2100}};
  d.formatNames = {"A4", "A5", "Benutzerdefiniert"};
  d.formatIndex = 1;
  d.landscape = true;
  d.onFormatOrOrientationChanged();
  EXPECT_DOUBLE_EQ(d.widthCm, 21.0);
  EXPECT_DOUBLE_EQ(d.heightCm, 14.8);

  // Custom: the values swap only when the orientation disagrees with them.
  d.formatIndex = 2;
  d.widthCm = 10;
  d.heightCm = 20;
  d.landscape = false;
  d.onFormatOrOrientationChanged();
  EXPECT_DOUBLE_EQ(d.widthCm, 10);
  d.landscape = true;
  d.onFormatOrOrientationChanged();
  EXPECT_DOUBLE_EQ(d.widthCm, 20);
  EXPECT_DOUBLE_EQ(d.heightCm, 10);

  // Editing the size finds the format in either orientation.
  d.widthCm = 29.7;
  d.heightCm = 21.0;
  d.onSizeEdited();
  EXPECT_TRUE(d.landscape);
  EXPECT_EQ(d.formatIndex, 0);
  d.widthCm = 14.8;
  d.heightCm = 21.0;
  d.onSizeEdited();
  EXPECT_FALSE(d.landscape);
  EXPECT_EQ(d.formatIndex, 1);
  d.widthCm = 15.0;
  d.onSizeEdited();
  EXPECT_EQ(d.formatIndex, 2) << "no format matches: Benutzerdefiniert";
}

TEST(PageSetup, HeaderDistanceRaisesTheTopMarginAndPlacesTheHeaders) {
  test::Fixture fx;
  fx.host.dialogs.push([](Dialog& dlg) {
    auto& d = static_cast<PageSetupDialog&>(dlg);
    d.widthCm = 14.8;
    d.heightCm = 21.0;
    d.marginTopCm = 1.0;
    d.marginBottomCm = 3.0;
    d.marginLeftCm = 2.0;
    d.marginRightCm = 1.5;
    d.headerDistanceCm = 2.0;
    d.footerDistanceCm = 1.0;
    return true;
  });
  ASSERT_TRUE(PageSetup(fx.w()));
  const Document& d = fx.doc();
  EXPECT_DOUBLE_EQ(d.pageWidth, 148.0);
  EXPECT_DOUBLE_EQ(d.pageHeight, 210.0);
  EXPECT_DOUBLE_EQ(d.fields[0].marginTop, 20.0);
  EXPECT_DOUBLE_EQ(d.fields[0].marginBottom, 30.0);
  for (int pair = 0; pair < 3; ++pair) {
    const FieldRec& h = d.fields[1 + 2 * pair];
    const FieldRec& f = d.fields[2 + 2 * pair];
    EXPECT_DOUBLE_EQ(h.marginTop, 20.0);
    EXPECT_DOUBLE_EQ(h.bottom, 19.5);
    EXPECT_DOUBLE_EQ(h.marginLeft, 20.0);
    EXPECT_DOUBLE_EQ(h.marginRight, 15.0);
    EXPECT_DOUBLE_EQ(f.marginBottom, 10.0);
    EXPECT_DOUBLE_EQ(f.top, 29.5);
  }
  EXPECT_EQ(fx.w().measure.pageWidthPx, static_cast<int32_t>(148.0 / kMmPerInch * 600));
  EXPECT_EQ(d.modified, 1);
}

TEST(PageSetup, HeaderModesChooseThePairs) {
  struct Case {
    HeaderMode mode;
    uint8_t pairs[3];
  } cases[] = {{HeaderMode::AllSame, {kShowNowhere, kShowNowhere, 1}},
               {HeaderMode::FirstPage, {0, kShowNowhere, 2}},
               {HeaderMode::EvenOdd, {kShowNowhere, 3, 4}},
               {HeaderMode::FirstAndEvenOdd, {0, 5, 6}}};
  for (const Case& c : cases) {
    test::Fixture fx;
    fx.host.dialogs.push([&](Dialog& dlg) {
      static_cast<PageSetupDialog&>(dlg).mode = c.mode;
      return true;
    });
    ASSERT_TRUE(PageSetup(fx.w()));
    for (int pair = 0; pair < 3; ++pair) {
      EXPECT_EQ(fx.doc().fields[1 + 2 * pair].showOn, c.pairs[pair]);
      EXPECT_EQ(fx.doc().fields[2 + 2 * pair].showOn, c.pairs[pair]);
    }
    // Reopening the dialog shows the mode again.
    HeaderMode shown = HeaderMode::AllSame;
    fx.host.dialogs.push([&](Dialog& dlg) {
      shown = static_cast<PageSetupDialog&>(dlg).mode;
      return false;
    });
    PageSetup(fx.w());
    EXPECT_EQ(shown, c.mode);
  }
}

}  // namespace
}  // namespace paginor
