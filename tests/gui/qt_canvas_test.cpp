// The window's page bitmap canvas, pixel by pixel: fills, outlines, lines, inversion, clips,
// the hatch, pictures and rows, and text placed where the font engine measured it.
#include <gtest/gtest.h>

#include <QColor>
#include <algorithm>

#include "platform/fonts/font_engine.h"
#include "platform/headless.h"
#include "platform/pictures/dib.h"
#include "platform/qt/qt_canvas.h"

namespace paginor {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr Colour kRed = 0x0000FF;  // 0x00BBGGRR
constexpr Colour kYellow = 0x00FFFF;

class QtCanvasTest : public ::testing::Test {
 protected:
  QtCanvasTest() : fonts(makeFontEngine(paths)) {}

  QRgb At(const QtCanvas& c, int x, int y) { return c.image().pixel(x, y); }
  // Dark pixels (any channel below half) of a column or row range.
  static bool Ink(QRgb p) { return qGray(p) < 128; }
  static int InkIn(const QImage& im, int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += Ink(im.pixel(x, y));
    return n;
  }
  FontHandle Font(const char* face, int32_t height, int32_t weight = 400) {
    LogFont lf;
    lf.face = face;
    lf.height = height;
    lf.weight = weight;
    FontHandle f = fonts->createFont(lf, 96);
    handles.push_back(f);
    return f;
  }
  ~QtCanvasTest() override {
    for (FontHandle f : handles) fonts->deleteFont(f);
  }

  SystemPaths paths;
  std::unique_ptr<FontEngine> fonts;
  std::vector<FontHandle> handles;
};

TEST_F(QtCanvasTest, StartsWhiteAt32BitsAndFillsHalfOpenRectangles) {
  QtCanvas c(*fonts, 96, 20, 20);
  EXPECT_EQ(c.image().format(), QImage::Format_RGB32);
  EXPECT_EQ(c.image().size(), QSize(20, 20));
  EXPECT_EQ(c.colourDepth(), 32);
  EXPECT_FALSE(c.isPrinter());
  EXPECT_EQ(At(c, 0, 0), kWhite);

  c.setBrush({BrushStyle::Solid, kRed});
  c.fillRect({2, 3, 5, 7});
  EXPECT_EQ(At(c, 2, 3), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 4, 6), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 5, 6), kWhite) << "right edge excluded";
  EXPECT_EQ(At(c, 4, 7), kWhite) << "bottom edge excluded";
  EXPECT_EQ(At(c, 1, 3), kWhite);

  // A clear brush and an empty rectangle leave everything as it was.
  c.setBrush({BrushStyle::Clear, 0});
  c.fillRect({0, 0, 20, 20});
  c.setBrush({BrushStyle::Solid, 0});
  c.fillRect({10, 10, 10, 15});
  EXPECT_EQ(At(c, 10, 10), kWhite);
  EXPECT_EQ(At(c, 0, 0), kWhite);
}

TEST_F(QtCanvasTest, RectanglesAreOutlinedInsideAndFilledWithTheBrush) {
  QtCanvas c(*fonts, 96, 30, 30);
  c.setPen({PenStyle::Solid, 1, 0});
  c.setBrush({BrushStyle::Solid, kYellow});
  c.rectangle({2, 2, 10, 8});
  for (int x = 2; x < 10; ++x) {
    EXPECT_EQ(At(c, x, 2), kBlack) << x;
    EXPECT_EQ(At(c, x, 7), kBlack) << x;
  }
  for (int y = 2; y < 8; ++y) {
    EXPECT_EQ(At(c, 2, y), kBlack) << y;
    EXPECT_EQ(At(c, 9, y), kBlack) << y;
  }
  EXPECT_EQ(At(c, 5, 5), qRgb(255, 255, 0));
  EXPECT_EQ(At(c, 10, 5), kWhite);
  EXPECT_EQ(At(c, 5, 8), kWhite);

  // A wide pen keeps its outline within the rectangle; a clear pen draws none.
  c.setPen({PenStyle::Solid, 3, kRed});
  c.setBrush({BrushStyle::Clear, 0});
  c.rectangle({12, 12, 24, 24});
  EXPECT_EQ(At(c, 12, 12), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 14, 18), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 15, 18), kWhite) << "inside, brush clear";
  EXPECT_EQ(At(c, 23, 23), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 24, 18), kWhite);
  EXPECT_EQ(At(c, 11, 18), kWhite);
  c.setPen({PenStyle::Clear, 1, 0});
  c.setBrush({BrushStyle::Solid, 0});
  c.rectangle({26, 2, 29, 5});
  EXPECT_EQ(At(c, 28, 4), kBlack);
  EXPECT_EQ(At(c, 29, 4), kWhite);
}

TEST_F(QtCanvasTest, LinesLeaveOutTheirEndPointAndFollowThePenStyle) {
  QtCanvas c(*fonts, 96, 40, 20);
  c.setPen({PenStyle::Solid, 1, 0});
  c.moveTo(2, 2);
  c.lineTo(10, 2);
  c.lineTo(10, 9);  // starts where the last one ended
  for (int x = 2; x < 10; ++x) EXPECT_EQ(At(c, x, 2), kBlack) << x;
  EXPECT_EQ(At(c, 1, 2), kWhite);
  for (int y = 2; y < 9; ++y) EXPECT_EQ(At(c, 10, y), kBlack) << y;
  EXPECT_EQ(At(c, 10, 9), kWhite) << "end point";

  // A dotted line has gaps, a clear pen draws nothing.
  c.setPen({PenStyle::Dot, 1, 0});
  c.moveTo(0, 14);
  c.lineTo(40, 14);
  int ink = InkIn(c.image(), 0, 40, 14, 15);
  EXPECT_GT(ink, 5);
  EXPECT_LT(ink, 35);
  c.setPen({PenStyle::Clear, 1, 0});
  c.moveTo(0, 17);
  c.lineTo(40, 17);
  EXPECT_EQ(InkIn(c.image(), 0, 40, 17, 18), 0);
}

TEST_F(QtCanvasTest, InvertingTwiceRestoresThePixels) {
  QtCanvas c(*fonts, 96, 10, 10);
  c.setBrush({BrushStyle::Solid, kRed});
  c.fillRect({0, 0, 5, 10});
  c.invertRect({3, 2, 8, 4});
  EXPECT_EQ(At(c, 3, 2), qRgb(0, 255, 255)) << "red inverted";
  EXPECT_EQ(At(c, 6, 3), kBlack) << "white inverted";
  EXPECT_EQ(At(c, 8, 3), kWhite);
  EXPECT_EQ(At(c, 3, 4), qRgb(255, 0, 0));
  c.invertRect({3, 2, 8, 4});
  EXPECT_EQ(At(c, 3, 2), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 6, 3), kWhite);
}

TEST_F(QtCanvasTest, ClipsToARectangleOrARingUntilLifted) {
  QtCanvas c(*fonts, 96, 30, 30);
  c.setBrush({BrushStyle::Solid, 0});
  IntRect outer{2, 2, 22, 22}, inner{8, 8, 16, 16};
  c.setClipRing(outer, inner);
  c.fillRect({0, 0, 30, 30});
  EXPECT_EQ(At(c, 2, 2), kBlack);
  EXPECT_EQ(At(c, 7, 12), kBlack);
  EXPECT_EQ(At(c, 8, 8), kWhite) << "hole of the ring";
  EXPECT_EQ(At(c, 15, 15), kWhite);
  EXPECT_EQ(At(c, 16, 15), kBlack);
  EXPECT_EQ(At(c, 22, 12), kWhite) << "outside the ring";
  EXPECT_EQ(At(c, 1, 1), kWhite);

  IntRect r{24, 24, 26, 26};
  c.setClip(&r);
  c.fillRect({20, 20, 30, 30});
  EXPECT_EQ(At(c, 25, 25), kBlack);
  EXPECT_EQ(At(c, 27, 27), kWhite);
  c.setClip(nullptr);
  c.fillRect({27, 27, 30, 30});
  EXPECT_EQ(At(c, 28, 28), kBlack);
}

// The window lifts the clip of a field's text before it hatches the ring of the next text box:
// the ring's hole, the box with its text, stays as it was.
TEST_F(QtCanvasTest, ARingAfterALiftedClipKeepsItsHole) {
  QtCanvas c(*fonts, 96, 300, 300);
  c.setBrush({BrushStyle::Solid, kYellow});
  c.fillRect({0, 0, 300, 300});
  const IntRect text{0, 0, 250, 250};
  c.setClip(&text);
  c.setClip(nullptr);
  const IntRect outer{130, 163, 331, 296}, inner{136, 169, 325, 290};
  c.setClipRing(outer, inner);
  c.setBrush({BrushStyle::DiagonalCross, 0});
  c.fillRect(outer);
  c.setClip(nullptr);
  EXPECT_EQ(At(c, 230, 230), 0xFFFFFF00u) << "the box keeps its yellow";
  EXPECT_EQ(InkIn(c.image(), 130, 136, 170, 290) > 0, true) << "the ring is hatched";
}

TEST_F(QtCanvasTest, TheHatchIsADiagonalCrossOnWhite) {
  QtCanvas c(*fonts, 96, 32, 32);
  c.setBrush({BrushStyle::Solid, kRed});
  c.fillRect({0, 0, 32, 32});
  c.setBrush({BrushStyle::DiagonalCross, 0});
  c.fillRect({0, 0, 32, 32});
  int black = 0, white = 0, diagonal = 0;
  for (int y = 0; y < 31; ++y) {
    for (int x = 1; x < 31; ++x) {
      QRgb p = At(c, x, y);
      ASSERT_TRUE(p == kBlack || p == kWhite) << "red left at " << x << "," << y;
      if (p == kWhite) {
        ++white;
        continue;
      }
      ++black;
      diagonal += At(c, x + 1, y + 1) == kBlack || At(c, x - 1, y + 1) == kBlack;
    }
  }
  EXPECT_GT(black, 30 * 31 / 8);
  EXPECT_GT(white, black);
  EXPECT_EQ(diagonal, black) << "every ink pixel continues diagonally";
}

TEST_F(QtCanvasTest, PicturesStretchAndRowsLandAsGiven) {
  BildRec pic;
  ASSERT_TRUE(newdib(pic, 2, 2, 24, nullptr, 0));
  setpixel(pic, 0, 0, 0x0000FF);  // top left red
  setpixel(pic, 1, 0, 0x00FF00);
  setpixel(pic, 0, 1, 0xFF0000);
  setpixel(pic, 1, 1, 0xFFFFFF);
  QtCanvas c(*fonts, 96, 30, 30);
  c.drawPicture({10, 10, 20, 30}, pic);
  EXPECT_EQ(At(c, 10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 14, 19), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 15, 19), qRgb(0, 255, 0));
  EXPECT_EQ(At(c, 14, 20), qRgb(0, 0, 255));
  EXPECT_EQ(At(c, 9, 15), kWhite);
  EXPECT_EQ(At(c, 15, 30 - 1), kWhite) << "picture's white";

  // A picture without pixels draws nothing.
  BildRec empty;
  c.drawPicture({0, 0, 5, 5}, empty);
  EXPECT_EQ(At(c, 2, 2), kWhite);

  const uint32_t row[3] = {0x112233, 0x445566, 0x778899};
  c.setPixelRow(1, 2, row, 3);
  EXPECT_EQ(At(c, 1, 2), qRgb(0x11, 0x22, 0x33));
  EXPECT_EQ(At(c, 3, 2), qRgb(0x77, 0x88, 0x99));
  EXPECT_EQ(At(c, 4, 2), kWhite);
}

TEST_F(QtCanvasTest, GlyphsAreDrawnAtTheEmSizeTheHandleWasMeasuredAt) {
  // Without the engine's own figure the size is found from the font file's tables.
  for (const char* face : {"Times New Roman", "Arial", "Courier New", "Symbol"}) {
    for (int32_t size : {7, 13, 16, 40, 111}) {
      FontHandle f = Font(face, -size);
      EXPECT_EQ(DrawingPixelSize(*fonts, f), size) << face;
    }
  }
  DrawingFontEngine eng(makeFontEngine(paths));
  LogFont lf;
  lf.face = "Arial";
  struct Case {
    int32_t height;
    int32_t resolution;
    int32_t ppem;
  } cases[] = {{-40, 96, 40}, {0, 96, 16}, {0, 600, 100}, {46, 96, 41}, {-1, 96, 1}};
  for (const Case& c : cases) {
    lf.height = c.height;
    FontHandle f = eng.createFont(lf, c.resolution);
    EXPECT_EQ(eng.pixelsPerEm(f), c.ppem) << c.height << " at " << c.resolution;
    EXPECT_EQ(DrawingPixelSize(eng, f), c.ppem);
    EXPECT_FALSE(eng.strikeOut(f));
    eng.deleteFont(f);
  }
  lf.height = -20;
  lf.strikeOut = true;
  FontHandle struck = eng.createFont(lf, 96);
  EXPECT_TRUE(eng.strikeOut(struck));
  eng.deleteFont(struck);
}

TEST_F(QtCanvasTest, StruckOutTextCarriesABarAcrossItsWidth) {
  DrawingFontEngine eng(makeFontEngine(paths));
  LogFont lf;
  lf.face = "Times New Roman";
  lf.height = -40;
  FontHandle plain = eng.createFont(lf, 96);
  lf.strikeOut = true;
  FontHandle struck = eng.createFont(lf, 96);
  FontMetrics m = eng.metrics(struck);
  QtCanvas c(eng, 96, 300, 100);
  c.selectFont(plain, 0);
  c.textOut(10, 10, "    ");  // blanks: no ink of their own
  EXPECT_EQ(InkIn(c.image(), 0, 300, 0, 100), 0);
  c.selectFont(struck, 0);
  c.textOut(10, 10, "    ");
  int32_t width = eng.textExtent(struck, "    ").cx;
  int top = 100, bottom = -1;
  for (int y = 0; y < 100; ++y) {
    if (InkIn(c.image(), 0, 300, y, y + 1) == 0) continue;
    top = std::min(top, y);
    bottom = std::max(bottom, y);
    EXPECT_EQ(InkIn(c.image(), 10, 10 + width, y, y + 1), width) << "row " << y;
    EXPECT_EQ(InkIn(c.image(), 0, 10, y, y + 1) + InkIn(c.image(), 10 + width, 300, y, y + 1), 0);
  }
  const int baseline = 10 + m.ascent;
  EXPECT_GE(top, baseline - 40 / 2) << "about the middle of the small letters";
  EXPECT_LE(bottom, baseline - 40 / 8);
  EXPECT_LE(bottom - top, 3);
  eng.deleteFont(plain);
  eng.deleteFont(struck);
}

TEST_F(QtCanvasTest, TextStandsOnTheMeasuredBaselineAndAdvances) {
  FontHandle f = Font("Arial", -40);
  FontMetrics m = fonts->metrics(f);
  QtCanvas c(*fonts, 96, 400, 100);
  c.selectFont(f, 0);
  const int x = 10, y = 20;
  c.textOut(x, y, "H");
  // "H" sits on the baseline y + ascent: its lowest ink row is the one above.
  int lowest = -1;
  for (int row = 0; row < 100; ++row)
    if (InkIn(c.image(), 0, 400, row, row + 1) > 0) lowest = row;
  EXPECT_NEAR(lowest, y + m.ascent - 1, 1);
  // The ink lies within the measured cell.
  TextExtent e = c.textExtent("H");
  EXPECT_EQ(e.cx, fonts->textExtent(f, "H").cx);
  EXPECT_GT(InkIn(c.image(), x, x + e.cx, y, y + e.cy), 100);
  EXPECT_EQ(InkIn(c.image(), 0, x, 0, 100), 0);
  EXPECT_EQ(InkIn(c.image(), x + e.cx, 400, 0, 100), 0);
  EXPECT_EQ(InkIn(c.image(), 0, 400, 0, y), 0);
}

TEST_F(QtCanvasTest, EachGlyphStartsAtTheSumOfTheAdvancesBeforeIt) {
  // A word drawn at once and the same word drawn letter by letter at the positions the engine's
  // widths give are the same picture.
  for (const char* face : {"Times New Roman", "Arial", "Courier New"}) {
    for (int weight : {400, 700}) {
      FontHandle f = Font(face, -17, weight);
      const std::string word = "Wolkenkratzer fliegt \xE4\xF6\xFC\x80";
      QtCanvas whole(*fonts, 96, 400, 40), single(*fonts, 96, 400, 40);
      whole.selectFont(f, 0);
      single.selectFont(f, 0);
      whole.textOut(5, 5, word);
      for (size_t k = 0; k < word.size(); ++k) {
        int32_t before = fonts->textExtent(f, std::string_view(word).substr(0, k)).cx;
        single.textOut(5 + before, 5, word.substr(k, 1));
      }
      EXPECT_EQ(whole.image(), single.image()) << face << " " << weight;
      EXPECT_GT(InkIn(whole.image(), 0, 400, 0, 40), 200) << face;
      int32_t width = fonts->textExtent(f, word).cx;
      EXPECT_EQ(InkIn(whole.image(), 5 + width + 2, 400, 0, 40), 0) << face;
    }
  }
}

TEST_F(QtCanvasTest, TextAndLinesKeepTheirOwnColoursWhenTheyAlternate) {
  // Text draws in the colour given with the font, lines and outlines in the pen's, however the
  // two follow each other.
  constexpr Colour kBlue = 0xFF0000, kGreen = 0x00FF00;
  FontHandle f = Font("Arial", -40);
  QtCanvas c(*fonts, 96, 240, 70);
  // Every inked pixel of the cell in one colour, antialiased only towards white.
  auto inkedIn = [&](int x0, int x1, QRgb colour) {
    int inked = 0;
    for (int y = 0; y < 50; ++y)
      for (int x = x0; x < x1; ++x) {
        const QRgb p = c.image().pixel(x, y);
        if (p == kWhite) continue;
        ++inked;
        if (qRed(colour) == 255) {
          EXPECT_EQ(qRed(p), 255) << x << "," << y;
        }
        if (qGreen(colour) == 255) {
          EXPECT_EQ(qGreen(p), 255) << x << "," << y;
        }
        if (qBlue(colour) == 255) {
          EXPECT_EQ(qBlue(p), 255) << x << "," << y;
        }
      }
    return inked;
  };
  c.setPen({PenStyle::Solid, 1, kRed});
  c.selectFont(f, kBlue);
  c.textOut(5, 0, "H");
  c.moveTo(0, 60);
  c.lineTo(240, 60);
  c.textOut(60, 0, "H");
  c.selectFont(f, kGreen);
  c.textOut(115, 0, "H");
  c.setBrush({BrushStyle::Clear, 0});
  c.rectangle({170, 5, 230, 45});

  EXPECT_GT(inkedIn(0, 55, qRgb(0, 0, 255)), 100);
  EXPECT_GT(inkedIn(55, 110, qRgb(0, 0, 255)), 100);
  EXPECT_GT(inkedIn(110, 165, qRgb(0, 255, 0)), 100);
  for (int x = 0; x < 240; ++x) EXPECT_EQ(At(c, x, 60), qRgb(255, 0, 0)) << x;
  EXPECT_EQ(At(c, 170, 20), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 200, 5), qRgb(255, 0, 0));
  EXPECT_EQ(At(c, 200, 20), kWhite);
}

TEST_F(QtCanvasTest, TextKeepsItsPlaceInTheOrderOfDrawingAndItsClip) {
  FontHandle f = Font("Arial", -40);
  QtCanvas c(*fonts, 96, 200, 60);
  c.selectFont(f, 0);
  // A fill drawn after the text covers it.
  c.textOut(5, 5, "HH");
  c.setBrush({BrushStyle::Solid, kYellow});
  c.fillRect({0, 0, 100, 60});
  EXPECT_EQ(InkIn(c.image(), 0, 100, 0, 60), 0);
  // Text drawn under a clip stays inside it, even when the clip is lifted right after.
  const IntRect clip{100, 0, 130, 60};
  c.setClip(&clip);
  c.textOut(110, 5, "HH");
  c.setClip(nullptr);
  EXPECT_GT(InkIn(c.image(), 100, 130, 0, 60), 50);
  EXPECT_EQ(InkIn(c.image(), 130, 200, 0, 60), 0);
}

TEST_F(QtCanvasTest, AHandleMadeAgainDrawsItsNewFont) {
  LogFont lf;
  lf.face = "Arial";
  lf.height = -40;
  FontHandle big = fonts->createFont(lf, 96);
  QtCanvas reused(*fonts, 96, 200, 60), fresh(*fonts, 96, 200, 60);
  reused.selectFont(big, 0);
  reused.textOut(0, 0, "x");
  fonts->deleteFont(big);
  FontHandle small = Font("Times New Roman", -20);
  ASSERT_EQ(small, big) << "the engine hands the freed handle out again";
  reused.setBrush({BrushStyle::Solid, 0xFFFFFF});
  reused.fillRect({0, 0, 200, 60});
  reused.selectFont(small, 0);
  reused.textOut(0, 0, "Wg");
  fresh.selectFont(small, 0);
  fresh.textOut(0, 0, "Wg");
  EXPECT_EQ(reused.image(), fresh.image());
}

TEST_F(QtCanvasTest, TextIsTransparentColouredAndUsesTheFacesOwnGlyphs) {
  FontHandle times = Font("Times New Roman", -30);
  FontHandle symbol = Font("Symbol", -30);
  QtCanvas c(*fonts, 96, 200, 60);
  c.setBrush({BrushStyle::Solid, kYellow});
  c.fillRect({0, 0, 200, 60});
  c.selectFont(times, kRed);
  c.textOut(5, 5, "a");
  c.selectFont(symbol, kRed);
  c.textOut(105, 5, "a");  // alpha in the Symbol face
  int red = 0, other = 0;
  for (int yy = 0; yy < 60; ++yy) {
    for (int xx = 0; xx < 200; ++xx) {
      QRgb p = At(c, xx, yy);
      if (p == qRgb(255, 255, 0)) continue;
      (qRed(p) == 255 && qBlue(p) == 0 ? red : other)++;
    }
  }
  EXPECT_GT(red, 50) << "text in its colour over the yellow";
  EXPECT_EQ(other, 0) << "no background box around the text";
  QImage a = c.image().copy(5, 0, 90, 60), alpha = c.image().copy(105, 0, 90, 60);
  EXPECT_NE(a, alpha) << "the Symbol face draws its own character for the byte";
}

}  // namespace
}  // namespace paginor
