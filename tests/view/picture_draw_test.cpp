// Picture drawing: nearest-neighbour rows on screens, dithering on 256-colour screens only,
// the device's stretching on printers and for unusual bit counts, and source clipping.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/pictures/dib.h"
#include "support/test_support.h"
#include "view/picture_draw.h"
#include "view/recording_canvas.h"

namespace paginor {
namespace {

using test::RecordCanvas;
using Kind = RecordCanvas::Kind;

// A picture whose every pixel tells its place: red = x, green = y, blue = 7 (0x00RRGGBB as the
// canvas receives it).
BildRec Pattern(int32_t width, int32_t height, int32_t bits = 24) {
  BildRec p;
  EXPECT_TRUE(newdib(p, width, height, bits, nullptr, 0));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) setpixel(p, x, y, 0x070000 | (y & 0xFF) << 8 | (x & 0xFF));
  return p;
}

uint32_t Rgb(const BildRec& p, int32_t x, int32_t y) {
  const uint32_t bgr = getpixel(p, x, y);  // 0x00BBGGRR
  return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

class PictureDraw : public ::testing::Test {
 protected:
  RecordCanvas Canvas() { return RecordCanvas(*fx.host.fonts, 96); }
  test::Fixture fx;
};

TEST_F(PictureDraw, ShrinkingTakesEveryOtherColumnAndRowTopDown) {
  const BildRec p = Pattern(200, 100);
  RecordCanvas c = Canvas();
  DrawDib(c, 10, 20, 100, 50, p, true);
  const auto rows = c.of(Kind::PixelRow);
  ASSERT_EQ(rows.size(), 50u);
  EXPECT_TRUE(c.of(Kind::Picture).empty()) << "a true-colour screen gets rows";
  for (int32_t j = 0; j < 50; ++j) {
    EXPECT_EQ(rows[j].r, (IntRect{10, 20 + j, 110, 21 + j}));
    for (int32_t i = 0; i < 100; i += 7)
      ASSERT_EQ(rows[j].pixels[i], Rgb(p, 2 * i, 2 * j)) << i << "," << j;
  }
  EXPECT_EQ(rows[0].pixels[0] >> 8 & 0xFF, 0u) << "the first row is the picture's top row";
}

TEST_F(PictureDraw, EnlargingRepeatsColumnsAndRows) {
  const BildRec p = Pattern(3, 2);
  RecordCanvas c = Canvas();
  DrawDib(c, 0, 0, 6, 4, p, true);
  const auto rows = c.of(Kind::PixelRow);
  ASSERT_EQ(rows.size(), 4u);
  for (int32_t j = 0; j < 4; ++j)
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(rows[j].pixels[i], Rgb(p, i / 2, j / 2));
}

TEST_F(PictureDraw, EightBitPicturesGoThroughTheirColourTable) {
  BildRec p;
  ASSERT_TRUE(newdib(p, 4, 4, 8, nullptr, 0));  // a grey ramp
  setpixel(p, 1, 0, 0x404040);
  setpixel(p, 2, 3, 0xC0C0C0);
  RecordCanvas c = Canvas();
  DrawDib(c, 0, 0, 4, 4, p, true);
  const auto rows = c.of(Kind::PixelRow);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].pixels[1], Rgb(p, 1, 0));
  EXPECT_EQ(rows[3].pixels[2], Rgb(p, 2, 3));
  EXPECT_NE(rows[0].pixels[1], rows[3].pixels[2]);
}

TEST_F(PictureDraw, OnlyScreensWithFewColoursDither) {
  const BildRec p = Pattern(40, 20);
  RecordCanvas screen = Canvas();
  screen.depth = 8;
  DrawDib(screen, 0, 0, 20, 10, p, true);
  auto pics = screen.of(Kind::Picture);
  ASSERT_EQ(pics.size(), 1u);
  EXPECT_EQ(pics[0].pictureBits, 8) << "a dithered copy";
  EXPECT_EQ(pics[0].pictureWidth, 20) << "made at the smaller size";
  EXPECT_TRUE(screen.of(Kind::PixelRow).empty());

  RecordCanvas larger = Canvas();
  larger.depth = 8;
  DrawDib(larger, 0, 0, 80, 40, p, true);
  ASSERT_EQ(larger.of(Kind::Picture).size(), 1u);
  EXPECT_EQ(larger.of(Kind::Picture)[0].pictureWidth, 40) << "at its own size when enlarged";

  RecordCanvas noDither = Canvas();
  noDither.depth = 8;
  DrawDib(noDither, 0, 0, 20, 10, p, false);
  EXPECT_EQ(noDither.of(Kind::PixelRow).size(), 10u);

  RecordCanvas printer = Canvas();
  printer.printer = true;
  printer.depth = 8;
  DrawDib(printer, 5, 6, 20, 10, p, true);
  pics = printer.of(Kind::Picture);
  ASSERT_EQ(pics.size(), 1u);
  EXPECT_EQ(pics[0].pictureBits, 24) << "printers are never dithered";
  EXPECT_EQ(pics[0].r, (IntRect{5, 6, 25, 16}));

  // Other bit counts: the device stretches.
  BildRec four;
  ASSERT_TRUE(newdib(four, 8, 8, 4, nullptr, 0));
  RecordCanvas other = Canvas();
  DrawDib(other, 0, 0, 16, 16, four, true);
  EXPECT_EQ(other.of(Kind::Picture).size(), 1u);
  EXPECT_TRUE(other.of(Kind::PixelRow).empty());
}

TEST_F(PictureDraw, SourcesPastThePictureAreCutAndTheDestinationShrinks) {
  const BildRec p = Pattern(200, 100);
  // 50 columns left of the picture: the destination loses a quarter and moves right.
  PictureRect s{-50, 0, 200, 100};
  RecordCanvas c = Canvas();
  DrawDib(c, 10, 10, 200, 100, p, true, &s);
  auto rows = c.of(Kind::PixelRow);
  ASSERT_EQ(rows.size(), 100u);
  EXPECT_EQ(rows[0].r, (IntRect{60, 10, 210, 11}));
  EXPECT_EQ(rows[5].pixels[0], Rgb(p, 0, 5));

  // Past the bottom: fewer rows.
  s = {0, 60, 200, 80};
  RecordCanvas d = Canvas();
  DrawDib(d, 0, 0, 200, 80, p, true, &s);
  rows = d.of(Kind::PixelRow);
  ASSERT_EQ(rows.size(), 40u);
  EXPECT_EQ(rows[0].pixels[3], Rgb(p, 3, 60));

  // Clipped for a printer: the device gets just the part.
  s = {150, 0, 100, 100};
  RecordCanvas printer = Canvas();
  printer.printer = true;
  DrawDib(printer, 0, 0, 100, 100, p, true, &s);
  const auto pics = printer.of(Kind::Picture);
  ASSERT_EQ(pics.size(), 1u);
  EXPECT_EQ(pics[0].r, (IntRect{0, 0, 50, 100}));
  EXPECT_EQ(pics[0].pictureWidth, 50);

  // Nothing left, or nothing to draw: no output at all.
  s = {300, 0, 50, 50};
  RecordCanvas none = Canvas();
  DrawDib(none, 0, 0, 50, 50, p, true, &s);
  DrawDib(none, 0, 0, 50, 50, BildRec{}, true);
  DrawDib(none, 0, 0, 0, 50, p, true);
  EXPECT_TRUE(none.ops.empty());
}

}  // namespace
}  // namespace paginor
