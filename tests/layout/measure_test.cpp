// Character measurement: size factors, case mapping and the forced superscript of footnotes.
#include <gtest/gtest.h>

#include "layout/measure.h"
#include "model/queries.h"
#include "platform/cp1252.h"
#include "support/test_support.h"

namespace paginor {
namespace {

// Width and height in mm of `text` measured directly on the font engine at `size` points.
struct Direct {
  double width, height;
};
Direct measureDirect(TMDIChild& w, const FontRec& f, double size, const std::string& text) {
  FontHandle h = selfont(w, f.name, 600, 0, f.charset, f.style, size, 100);
  TextExtent e = w.app.fonts().textExtent(h, text);
  w.app.fonts().deleteFont(h);
  return {e.cx / 600.0 * kMmPerInch, e.cy / 600.0 * kMmPerInch};
}

struct Measure : ::testing::Test {
  test::Fixture fx;
  CharRec cellWith(double size, uint16_t attributes, uint8_t style = 0) {
    FontRec f = FontOfCurrentFormat(fx.doc().CurrentFormat);
    f.size = size;
    f.attributes = attributes;
    f.style = style;
    CharRec c;
    c.fontIndex = GetNewFontIndex(fx.doc(), f);
    return c;
  }
  const FontRec& fontOf(const CharRec& c) { return fx.doc().fonts[c.fontIndex]; }
};

TEST_F(Measure, SuperscriptNarrowsTheWidthButKeepsTheHeight) {
  CharRec c = cellWith(12, 1u << kAttrSuperscript);
  c.ch = 'W';
  RenderChar(fx.w(), c, false, "W");
  Direct full = measureDirect(fx.w(), fontOf(c), 12, "W");
  Direct seven = measureDirect(fx.w(), fontOf(c), 7, "W");  // Round(12 * 0.6)
  EXPECT_DOUBLE_EQ(c.height, full.height);
  EXPECT_DOUBLE_EQ(c.width, seven.width);
  EXPECT_LT(c.width, full.width);
}

TEST_F(Measure, SizeFactorsCombineAndRoundHalfToEven) {
  // Small caps and superscript: Round(20 * 0.75 * 0.6) = 9.
  CharRec c = cellWith(20, (1u << kAttrSmallCaps) | (1u << kAttrSuperscript));
  RenderChar(fx.w(), c, false, "k");
  EXPECT_DOUBLE_EQ(c.width, measureDirect(fx.w(), fontOf(c), 9, "K").width)
      << "small capitals measure the upper-case letter";
  // 10.5 pt is measured for width at 10 pt, 11.5 pt at 12 pt; heights at the exact size.
  CharRec a = cellWith(10.5, 0), b = cellWith(11.5, 0);
  RenderChar(fx.w(), a, false, "m");
  RenderChar(fx.w(), b, false, "m");
  EXPECT_DOUBLE_EQ(a.width, measureDirect(fx.w(), fontOf(a), 10, "m").width);
  EXPECT_DOUBLE_EQ(b.width, measureDirect(fx.w(), fontOf(b), 12, "m").width);
  EXPECT_DOUBLE_EQ(a.height, measureDirect(fx.w(), fontOf(a), 10.5, "m").height);
  // A 1 pt superscript still measures at 1 pt.
  CharRec tiny = cellWith(1, 1u << kAttrSuperscript);
  RenderChar(fx.w(), tiny, false, "m");
  EXPECT_DOUBLE_EQ(tiny.width, measureDirect(fx.w(), fontOf(tiny), 1, "m").width);

  EXPECT_EQ(RoundHalfEven(7.5), 8);
  EXPECT_EQ(RoundHalfEven(8.5), 8);
  EXPECT_EQ(RoundHalfEven(0.6), 1);
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(7.2), 7);
}

TEST_F(Measure, CaseMappingCoversEveryLetterOfTheCodePage) {
  const uint16_t upper = 1u << kAttrUpperCase, lower = 1u << kAttrLowerCase;
  const uint16_t caps = 1u << kAttrSmallCaps;
  // "Kapitälchen", "Ärger", "œuvre", "Ÿ/ÿ", "Š/Ž"; ß has no capital in the code page.
  EXPECT_EQ(ApplyCaseAttributes("Kapit\xE4lchen", caps), "KAPIT\xC4LCHEN");
  EXPECT_EQ(ApplyCaseAttributes("a\xE4z\xF6\xFC\xE9\xE0\xFE", upper), "A\xC4Z\xD6\xDC\xC9\xC0\xDE");
  EXPECT_EQ(ApplyCaseAttributes("\x9A\x9C\x9E\xFF", upper), "\x8A\x8C\x8E\x9F");
  EXPECT_EQ(ApplyCaseAttributes("\x8A\x8C\x8E\x9F\xC4\xDE", lower), "\x9A\x9C\x9E\xFF\xE4\xFE");
  EXPECT_EQ(ApplyCaseAttributes("Stra\xDF" "e", upper), "STRA\xDF" "E");
  // The division and multiplication signs sit among the letters but are none.
  EXPECT_EQ(ApplyCaseAttributes("\xF7\xD7\xAA\xBA\xB5", upper), "\xF7\xD7\xAA\xBA\xB5");
  EXPECT_EQ(ApplyCaseAttributes("\xF7\xD7", lower), "\xF7\xD7");
  EXPECT_EQ(ApplyCaseAttributes("AbC", lower), "abc");
  EXPECT_EQ(ApplyCaseAttributes("AbC", lower | upper), "ABC") << "upper case wins";
  // Every letter maps back to itself through its partner.
  for (int b = 0; b < 256; ++b) {
    const auto c = static_cast<unsigned char>(b);
    if (cp1252ToUpper(c) != c) {
      EXPECT_EQ(cp1252ToLower(cp1252ToUpper(c)), c) << b;
    }
    if (cp1252ToLower(c) != c) {
      EXPECT_EQ(cp1252ToUpper(cp1252ToLower(c)), c) << b;
    }
  }
  // Measured as it is drawn: the capital's width.
  CharRec c = cellWith(12, upper);
  RenderChar(fx.w(), c, false, "\xE4");
  EXPECT_DOUBLE_EQ(c.width, measureDirect(fx.w(), fontOf(c), 12, "\xC4").width);
  EXPECT_NE(measureDirect(fx.w(), fontOf(c), 12, "\xC4").width,
            measureDirect(fx.w(), fontOf(c), 12, "\xE4").width);
}

TEST_F(Measure, ForcedSuperscriptLeavesCellsOfTheSameFormatAlone) {
  test::TypeText(fx.w(), "ab");
  Document& d = fx.doc();
  const int32_t shared = d.fields[0].lines[0].chars[0].fontIndex;
  CharRec ref;
  ref.kind = kCharFootnoteRef;
  ref.fontIndex = shared;
  RenderChar(fx.w(), ref, true, "1");
  EXPECT_NE(ref.fontIndex, shared);
  EXPECT_TRUE(GettingOps(d.fonts[ref.fontIndex].attributes, kAttrSuperscript));
  EXPECT_FALSE(GettingOps(d.fonts[shared].attributes, kAttrSuperscript));
  EXPECT_EQ(d.fields[0].lines[0].chars[1].fontIndex, shared);
  // A second reference finds the same raised entry.
  CharRec ref2;
  ref2.fontIndex = shared;
  RenderChar(fx.w(), ref2, true, "2");
  EXPECT_EQ(ref2.fontIndex, ref.fontIndex);
}

TEST_F(Measure, EmptyTextAndBadFontIndex) {
  CharRec c = cellWith(12, 0);
  RenderChar(fx.w(), c, false, "");
  EXPECT_EQ(c.width, 0);
  CharRec bad;
  bad.fontIndex = 9999;
  bad.width = 5;
  RenderChar(fx.w(), bad, false, "x");
  EXPECT_EQ(bad.width, 0);
}

TEST_F(Measure, PixelsBecomeMillimetresAtTheMeasuringResolution) {
  // At 600 pixels per inch a width of 100 pixels is 100 / 600 * 25.39995 mm.
  CharRec c = cellWith(12, 0);
  RenderChar(fx.w(), c, false, "x");
  FontHandle h = selfont(fx.w(), "Times New Roman", 600, 0, 1, 0, 12, 100);
  TextExtent e = fx.w().app.fonts().textExtent(h, "x");
  fx.w().app.fonts().deleteFont(h);
  EXPECT_NEAR(c.width, e.cx / 600.0 * 25.39995, 1e-12);
  EXPECT_NEAR(100 / 600.0 * kMmPerInch, 4.2333250, 1e-7);
}

}  // namespace
}  // namespace paginor
