// The PDF writer in the form that names its fonts: object numbering, the operators each drawing
// call writes, the shared resources and the file's frame. Every file written here must also
// pass qpdf's structural check without a warning.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "output/pdf_canvas.h"
#include "output/pdf_format.h"
#include "output/pdf_test_util.h"
#include "platform/headless.h"
#include "platform/pictures/dib.h"
#include "support/test_support.h"

namespace paginor {
namespace {

namespace fs = std::filesystem;
using pdftest::Count;
using pdftest::Pdf;

class PdfCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir =
        test::TempDir("pdf_canvas/" +
                      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }

  std::unique_ptr<TPDFCanvas> open(const std::string& name = "out.pdf",
                                   PdfFontMode mode = PdfFontMode::Names) {
    path = dir + "/" + name;
    auto c = std::make_unique<TPDFCanvas>(*host.fonts, mode, &host.ui);
    EXPECT_TRUE(c->BeginDoc(path));
    return c;
  }
  // Closes the writer, checks the file with qpdf and reads it back.
  Pdf finish(TPDFCanvas& c) {
    EXPECT_TRUE(c.EndDoc()) << c.errorText();
    ExpectQpdfClean(path);
    return Pdf(pdftest::ReadFile(path));
  }
  static void ExpectQpdfClean(const std::string& file) {
    if (!pdftest::ToolAvailable("qpdf")) return;
    auto r = pdftest::RunTool("qpdf --check " + pdftest::Quote(file));
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("WARNING"), std::string::npos) << r.output;
  }

  HeadlessPlatform host;
  std::string dir, path;
};

std::string Deflate9(const std::string& s) {
  uLongf n = compressBound(s.size());
  std::string out(n, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(s.data()),
            s.size(), 9);
  out.resize(n);
  return out;
}

TEST(PdfFormatTest, NumbersStringsAndNames) {
  EXPECT_EQ(pdf::colourComponent(0), "0");
  EXPECT_EQ(pdf::colourComponent(255), "1");
  EXPECT_EQ(pdf::colourComponent(51), "0.2");
  EXPECT_EQ(pdf::colourComponent(128), "0.501960784313725");
  EXPECT_EQ(pdf::colourComponent(1), "0.00392156862745098");
  EXPECT_EQ(pdf::colourText(0x00336699), "0.6 0.4 0.2");  // red in the low byte
  EXPECT_EQ(pdf::intText(-42), "-42");
  EXPECT_EQ(pdf::realText(-0.0004, 2), "0");
  EXPECT_EQ(pdf::realText(443.84765625, 3), "443.848");
  EXPECT_EQ(pdf::realText(500.0, 3), "500");

  EXPECT_EQ(pdf::escapeString("a(b)c\\d\x07"), "a\\(b\\)c\\\\d\\007");
  EXPECT_EQ(pdf::escapeString("\n\r\t\b\f\x01\x1f"), "\\n\\r\\t\\b\\f\\001\\037");
  EXPECT_EQ(pdf::escapeString("\xe4\xdf\x80 ~"), "\xe4\xdf\x80 ~");

  EXPECT_EQ(pdf::baseFontName("Times New Roman", 0), "Times#20New#20Roman");
  EXPECT_EQ(pdf::baseFontName("Arial", pdf::kStyleBold), "Arial,Bold");
  EXPECT_EQ(pdf::baseFontName("Arial", pdf::kStyleItalic | pdf::kStyleUnderline), "Arial,Italic");
  EXPECT_EQ(pdf::baseFontName("Arial", pdf::kStyleBold | pdf::kStyleItalic), "Arial,BoldItalic");
  EXPECT_EQ(pdf::escapeName(std::string("a#%()/<>[]{}\0b\xe9", 15)),
            "a#23#25#28#29#2F#3C#3E#5B#5D#7B#7Db#E9");
}

// A document of one empty page, byte for byte: offsets, the compressed empty content, the
// 20-byte cross-reference entries and the end without a line feed.
TEST_F(PdfCanvasTest, EmptyPageIsExactlyTheSpecifiedFile) {
  auto c = open();
  Pdf pdf = finish(*c);

  std::string expected;
  std::vector<size_t> offsets;
  auto obj = [&](int n) {
    offsets.push_back(expected.size());
    expected += std::to_string(n) + " 0 obj\n";
  };
  expected += "%PDF-1.3\n";
  obj(1);
  expected += "[/PDF /Text /ImageB /ImageC /ImageI]\nendobj\n";
  obj(2);
  std::string packed = Deflate9("");
  expected +=
      "<< /Length 3 0 R /Filter /FlateDecode >>\nstream\n" + packed + "\nendstream\nendobj\n";
  obj(3);
  expected += std::to_string(packed.size()) + "\nendobj\n";
  obj(4);
  expected += "<<\n/Type /Pages\n/Count 1\n/Kids [5 0 R]\n>>\nendobj\n";
  obj(5);
  expected +=
      "<<\n/Type /Page\n/Parent 4 0 R\n/Resources <</XObject <<  >>\n/Font << >> /ProcSet 1 0 "
      "R\n>>\n/MediaBox [0 0 594 840]\n/Contents 2 0 R\n>>\nendobj\n";
  obj(6);
  expected += "<<\n/Type /Catalog\n/Pages 4 0 R\n/Outlines 7 0 R\n>>\nendobj\n";
  obj(7);
  expected += "<<\n/Type /Outlines\n/Count 0\n>>\nendobj\n";
  size_t xref = expected.size();
  expected += "xref\n0 8\n0000000000 65535 f \n";
  for (size_t o : offsets) {
    char line[24];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", o);
    expected += line;
  }
  expected +=
      "trailer\n<<\n/Size 8\n/Root 6 0 R\n>>\nstartxref\n" + std::to_string(xref) + "\n%%EOF";
  EXPECT_EQ(pdf.bytes, expected);
  EXPECT_EQ(pdf.objectCount(), 8);
}

TEST_F(PdfCanvasTest, CrossReferenceEntriesPointAtTheirObjects) {
  auto c = open();
  c->TextOut(10, 10, "Hallo");
  c->NewPage();
  c->PageWidth = 300;
  c->PageHeight = 400;
  c->TextOut(10, 10, "Welt");
  Pdf pdf = finish(*c);
  // 2 pages, 1 font: contents 2..5, font 6, tree 7, pages 8 and 9, catalog 10, outlines 11.
  ASSERT_EQ(pdf.objectCount(), 12);
  const size_t xref = pdf.bytes.rfind("xref\n0 12\n");
  ASSERT_NE(xref, std::string::npos);
  const size_t entries = xref + 10;
  for (int32_t n = 1; n < pdf.objectCount(); ++n) {
    EXPECT_EQ(pdf.bytes.compare(pdf.offsets[n], std::to_string(n).size() + 6,
                                std::to_string(n) + " 0 obj"),
              0)
        << "object " << n;
    std::string entry = pdf.bytes.substr(entries + 20 * n, 20);
    EXPECT_EQ(entry.size(), 20u);
    EXPECT_EQ(entry.substr(10), " 00000 n \n");
  }
  EXPECT_EQ(pdf.bytes.substr(entries, 20), "0000000000 65535 f \n");
  EXPECT_EQ(Pdf::number(pdf.trailer, "startxref\n"), static_cast<int64_t>(xref));
  EXPECT_NE(pdf.object(6).find("/Type /Font"), std::string::npos);
  EXPECT_NE(pdf.object(7).find("/Kids [8 0 R 9 0 R]"), std::string::npos);
  EXPECT_NE(pdf.object(8).find("/MediaBox [0 0 594 840]"), std::string::npos);
  EXPECT_NE(pdf.object(9).find("/MediaBox [0 0 299 399]"), std::string::npos);
  EXPECT_NE(pdf.object(9).find("/Contents 4 0 R"), std::string::npos);
  EXPECT_EQ(Pdf::reference(pdf.trailer, "/Root "), 10);
  EXPECT_NE(pdf.object(11).find("/Type /Outlines"), std::string::npos);
  EXPECT_EQ(pdf.bytes.substr(pdf.bytes.size() - 6), "\n%%EOF");
}

TEST_F(PdfCanvasTest, FontAndColourAreWrittenOncePerPage) {
  auto c = open();
  c->Font.name = "Arial";
  c->Font.size = 12;
  c->Font.colour = 0x0000FF;  // red
  c->TextOut(10, 100, "eins");
  const int32_t h = c->TextHeight("eins");
  c->TextOut(10, 120, "zwei");
  c->NewPage();
  c->TextOut(10, 100, "drei");
  c->Font.colour = 0xFF0000;
  c->TextOut(10, 120, "vier");
  c->Font.size = 14;
  c->TextOut(10, 140, "f\xfcnf");
  Pdf pdf = finish(*c);

  std::string p1 = pdf.pageContent(0), p2 = pdf.pageContent(1);
  EXPECT_EQ(Count(p1, "1 0 0 rg\n"), 1) << p1;
  EXPECT_EQ(Count(p1, "/F1 12 Tf\n"), 1) << p1;
  EXPECT_EQ(Count(p1, "BT\n"), 2);
  EXPECT_EQ(Count(p2, "1 0 0 rg\n"), 1) << p2;
  EXPECT_EQ(Count(p2, "0 0 1 rg\n"), 1) << p2;
  EXPECT_EQ(Count(p2, "/F1 12 Tf\n"), 1) << p2;
  EXPECT_EQ(Count(p2, "/F1 14 Tf\n"), 1) << p2;
  // The text cell's top at y: its bottom edge is the baseline.
  EXPECT_EQ(h, 14);  // Liberation Sans at 12 pt: ascent 11 + descent 3
  EXPECT_NE(p1.find("BT\n1 0 0 rg\n/F1 12 Tf\n10 " + std::to_string(841 - 1 - 100 - h) +
                    " Td (eins) Tj\nET\n"),
            std::string::npos)
      << p1;
  EXPECT_NE(p2.find("(f\xfcnf) Tj"), std::string::npos);
}

TEST_F(PdfCanvasTest, MeasuresInPoints) {
  TPDFCanvas c(*host.fonts, PdfFontMode::Names);
  c.Font.name = "Arial";
  c.Font.size = 12;
  // Liberation Sans "A" is 1366 of 2048 units: 8.0 points at 12 points.
  EXPECT_EQ(c.TextWidth("A"), 8);
  EXPECT_EQ(c.TextWidth("AAAA"), 32);
  c.Font.size = 24;
  EXPECT_EQ(c.TextWidth("A"), 16);
  EXPECT_EQ(c.TextHeight(""), 27);  // 21.7 + 5.1 rounded each: 22 + 5
}

TEST_F(PdfCanvasTest, FillRectNumbersAndBrushState) {
  auto c = open();
  c->PageHeight = 841;
  c->Brush.colour = 0x0000FF;
  c->FillRect(10, 10, 10, 50);  // empty: nothing at all, not even the colour
  c->FillRect(10, 20, 30, 50);
  c->FillRect(30, 50, 10, 20);  // reversed corners: negative extents grow by one
  c->Brush.style = BrushStyle::Clear;
  c->FillRect(0, 0, 5, 5);
  Pdf pdf = finish(*c);
  EXPECT_EQ(pdf.pageContent(0), "1 0 0 rg\n10 791 19 29 re\nf\n30 821 -19 -29 re\nf\n");
}

// Text and rectangles share the fill colour: each writes it only when the colour in force
// differs, and a clear brush (which writes nothing) does not count as a colour in force.
TEST_F(PdfCanvasTest, TextAndBrushShareTheFillColour) {
  auto c = open();
  c->Brush.colour = 0x0000FF;
  c->FillRect(0, 0, 10, 10);  // red
  c->Font.colour = 0x0000FF;
  c->TextOut(0, 20, "a");  // red already in force
  c->Font.colour = 0;
  c->TextOut(0, 40, "b");     // black
  c->FillRect(0, 0, 10, 10);  // red again
  c->Brush = {BrushStyle::Clear, 0};
  c->FillRect(0, 0, 10, 10);  // nothing; red stays in force
  c->TextOut(0, 60, "c");     // so black must be written
  c->Brush = {BrushStyle::Solid, 0x0000FF};
  c->FillRect(0, 0, 10, 10);  // red once more
  Pdf pdf = finish(*c);
  std::string content = pdf.pageContent(0);
  std::string colours;
  for (size_t p = content.find(" rg\n"); p != std::string::npos; p = content.find(" rg\n", p + 1))
    colours += content.substr(content.rfind('\n', p) + 1, p - content.rfind('\n', p) - 1) + ";";
  EXPECT_EQ(colours, "1 0 0;0 0 0;1 0 0;0 0 0;1 0 0;") << content;
}

TEST_F(PdfCanvasTest, EscapesTextRuns) {
  auto c = open();
  c->TextOut(0, 0, "a(b)c\\d\x07");
  Pdf pdf = finish(*c);
  EXPECT_NE(pdf.pageContent(0).find("(a\\(b\\)c\\\\d\\007) Tj\n"), std::string::npos);
}

TEST_F(PdfCanvasTest, FontObjectsForPlainBoldAndUnderlinedUse) {
  auto c = open();
  c->Font.name = "Arial";
  c->Font.size = 10;
  c->TextOut(0, 0, "plain");
  c->Font.style = pdf::kStyleBold;
  c->TextOut(0, 20, "bold");
  c->Font.style = pdf::kStyleUnderline;
  c->TextOut(0, 40, "underlined");
  c->Font.style = 0;
  c->TextOut(0, 60, "plain again");
  c->Font.name = "Times New Roman";
  c->Font.style = pdf::kStyleBold | pdf::kStyleItalic;
  c->TextOut(0, 80, "Times");
  Pdf pdf = finish(*c);
  // One page: fonts are objects 4 to 7, the page tree 8.
  ASSERT_EQ(pdf.objectCount(), 12);
  EXPECT_NE(pdf.object(4).find("/BaseFont /Arial\n"), std::string::npos);
  EXPECT_NE(pdf.object(5).find("/BaseFont /Arial,Bold\n"), std::string::npos);
  EXPECT_NE(pdf.object(6).find("/BaseFont /Arial\n"), std::string::npos);
  EXPECT_NE(pdf.object(7).find("/BaseFont /Times#20New#20Roman,BoldItalic\n"), std::string::npos);
  EXPECT_NE(pdf.object(8).find("/Type /Pages"), std::string::npos);
  std::string content = pdf.pageContent(0);
  EXPECT_EQ(Count(content, "/F1 10 Tf"), 2) << content;
  EXPECT_EQ(Count(content, "/F3 10 Tf"), 1);
  EXPECT_NE(pdf.object(9).find("/Font << /F1 4 0 R/F2 5 0 R/F3 6 0 R/F4 7 0 R>> /ProcSet 1 0 R"),
            std::string::npos)
      << pdf.object(9);

  const std::string arial = pdf.object(4);
  EXPECT_NE(arial.find("<<\n/Type /Font\n/Subtype /TrueType\n/Encoding /WinAnsiEncoding\n"),
            std::string::npos);
  EXPECT_NE(arial.find("/FontDescriptor <</Type/FontDescriptor\n/FontBBox["), std::string::npos);
  EXPECT_NE(arial.find("/Flags 4/Ascent "), std::string::npos);
  EXPECT_NE(arial.find("/FirstChar 32\n/LastChar 255\n/Widths ["), std::string::npos);
  // Widths at 12 points, whole points scaled by 1000/12: space 3 → 250, "A" 8 → 666.
  size_t w = arial.find("/Widths [") + 9;
  std::string widths = arial.substr(w, arial.find(']', w) - w);
  EXPECT_EQ(Count(widths, " "), 224);
  EXPECT_EQ(widths.substr(0, 4), "250 ");
  std::istringstream in(widths);
  std::vector<int> values((std::istream_iterator<int>(in)), std::istream_iterator<int>());
  ASSERT_EQ(values.size(), 224u);
  EXPECT_EQ(values['A' - 32], 666);
  // Ascent and descent: Liberation Sans's typographic 1491 and -431 of 2048 at 12 points are
  // 9 and -3 points.
  EXPECT_NE(arial.find("/Ascent 750/Descent -250/ItalicAngle 0>>"), std::string::npos) << arial;
  EXPECT_NE(pdf.object(7).find("/ItalicAngle -"), std::string::npos);  // an italic face slants
}

BildRec BlackWhitePicture(int w, int h) {
  BildRec pic;
  EXPECT_TRUE(newdib(pic, w, h, 1, nullptr, 0));  // grey ramp: 0 black, 1 white
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) setpixel(pic, x, y, x < w / 2 ? 0x000000 : 0xFFFFFF);
  return pic;
}

TEST_F(PdfCanvasTest, PictureDrawnTwiceIsStoredOnceInBlackAndWhite) {
  auto c = open();
  BildRec pic = BlackWhitePicture(16, 8);
  c->StretchDrawDIB(100, 200, 160, 80, pic, 0, 0, 16, 8);
  c->StretchDrawDIB(100, 400, 160, 80, pic, 0, 0, 16, 8);
  c->StretchDrawDIB(100, 600, 160, 80, pic, 0, 0, 0, 8);  // refused: no source width
  c->StretchDrawDIB(100, 600, 0, 80, pic, 0, 0, 16, 8);   // refused: no width
  Pdf pdf = finish(*c);
  // No fonts: tree 4, page 5, catalog 6, outlines 7, the one picture 8.
  ASSERT_EQ(pdf.objectCount(), 9);
  EXPECT_EQ(pdf.pageContent(0),
            "q\n159 0 0 79 100 562 cm\n/Im0 Do\nQ\nq\n159 0 0 79 100 362 cm\n/Im0 Do\nQ\n");
  EXPECT_NE(pdf.object(5).find("/XObject << /Im0 8 0 R >>"), std::string::npos);
  std::string obj = pdf.object(8);
  EXPECT_NE(obj.find(" 0 obj\n<< /Type /XObject /Subtype /Image /Width 16 /Height 8 "
                     "/BitsPerComponent 8 /ColorSpace /DeviceRGB /Length "),
            std::string::npos);
  std::string jpeg = pdf.rawStream(8);
  ASSERT_FALSE(jpeg.empty());
  EXPECT_EQ(obj.find("/DCTDecode >>\nstream\n"), obj.find("/DCTDecode"));
  EXPECT_EQ(obj.substr(obj.size() - 16), "endstream\nendobj");
  BildRec back;
  ASSERT_TRUE(OpenDibFromMemory(back, reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(),
                                kDibJpeg));
  EXPECT_EQ(back.width(), 16);
  uint32_t dark = getpixel(back, 2, 4), light = getpixel(back, 13, 4);
  EXPECT_LT(dark & 0xFF, 40u);
  EXPECT_GT(light & 0xFF, 215u);
  EXPECT_NEAR(static_cast<int>(dark & 0xFF), static_cast<int>((dark >> 16) & 0xFF), 8);
}

// A picture is known by its content, on every page of the file: an equal copy shares the object
// of the original, a picture changed after it was drawn (the caller may reuse its record) gets
// one of its own, and so does one that differs only in its colour table or in one pixel.
TEST_F(PdfCanvasTest, PicturesAreToldApartByContent) {
  auto c = open();
  BildRec logo = BlackWhitePicture(40, 20);
  const BildRec copy = logo;
  c->StretchDrawDIB(0, 0, 40, 20, logo, 0, 0, 40, 20);
  c->NewPage();
  c->StretchDrawDIB(0, 0, 40, 20, copy, 0, 0, 40, 20);
  setpixel(logo, 39, 19, 0x000000);  // one white pixel turned black
  c->StretchDrawDIB(0, 30, 40, 20, logo, 0, 0, 40, 20);
  BildRec bluer = copy;
  bluer.info[40 + 4] = 200;  // white in the colour table gets a touch of blue
  c->StretchDrawDIB(0, 60, 40, 20, bluer, 0, 0, 40, 20);
  c->NewPage();
  c->StretchDrawDIB(0, 0, 40, 20, copy, 0, 0, 40, 20);
  c->StretchDrawDIB(0, 30, 40, 20, logo, 0, 0, 40, 20);
  Pdf pdf = finish(*c);
  EXPECT_EQ(Count(pdf.bytes, "/Subtype /Image"), 3);
  auto names = [](const std::string& content) {
    std::string out;
    for (size_t at = content.find("/Im"); at != std::string::npos; at = content.find("/Im", at + 1))
      out += content.substr(at, content.find(' ', at) - at);
    return out;
  };
  EXPECT_EQ(names(pdf.pageContent(0)), "/Im0");
  EXPECT_EQ(names(pdf.pageContent(1)), "/Im0/Im1/Im2");
  EXPECT_EQ(names(pdf.pageContent(2)), "/Im0/Im1");
}

// One deflate state serves the whole file: each page's stream is still exactly what a fresh
// compress at level 9 gives for its content, also after a longer page before it.
TEST_F(PdfCanvasTest, EveryPageIsCompressedAsIfAlone) {
  auto c = open();
  c->Font = {"Arial", 10, 0, 0, 1};
  for (int p = 0; p < 3; ++p) {
    if (p) c->NewPage();
    for (int l = 0; l < (p == 1 ? 40 : 3); ++l)
      c->TextOut(20, 20 + 12 * l, "Seite " + std::to_string(p) + " Zeile " + std::to_string(l));
  }
  Pdf pdf = finish(*c);
  for (int p = 0; p < 3; ++p) {
    const std::string content = pdf.pageContent(p);
    EXPECT_NE(content.find("(Seite " + std::to_string(p) + " Zeile 2) Tj"), std::string::npos);
    EXPECT_EQ(pdf.rawStream(2 + 2 * p), Deflate9(content)) << "page " << p;
  }
}

TEST_F(PdfCanvasTest, PalettePicturesTakeTheirTableColours) {
  auto c = open();
  BildRec pic8, pic4;
  ASSERT_TRUE(newdib(pic8, 8, 8, 8, nullptr, 0));
  ASSERT_TRUE(newdib(pic4, 8, 8, 4, nullptr, 0));
  for (BildRec* p : {&pic8, &pic4}) {
    // Entry 3 of the table becomes pure blue; every pixel uses it.
    uint8_t* table = p->info.data() + 40;
    table[12] = 255, table[13] = 0, table[14] = 0;  // B G R
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) setpixel(*p, x, y, 0xFF0000);
    c->StretchDrawDIB(0, 0, 50, 50, *p, 0, 0, 8, 8);
  }
  Pdf pdf = finish(*c);
  for (int32_t n : {8, 9}) {
    std::string jpeg = pdf.rawStream(n);
    BildRec back;
    ASSERT_TRUE(OpenDibFromMemory(back, reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(),
                                  kDibJpeg));
    uint32_t px = getpixel(back, 4, 4);
    EXPECT_GT((px >> 16) & 0xFF, 200u) << std::hex << px;
    EXPECT_LT(px & 0xFF, 50u) << std::hex << px;
  }
}

TEST_F(PdfCanvasTest, PictureWithoutJpegKeepsItsObject) {
  auto c = open();
  BildRec empty;  // no header, no pixels: 0 bits per pixel, refused outright
  c->StretchDrawDIB(0, 0, 10, 10, empty, 0, 0, 1, 1);
  BildRec broken;
  ASSERT_TRUE(newdib(broken, 4, 4, 24, nullptr, 0));
  broken.pixels.clear();  // a header without pixels: drawn, but no JPEG can be made
  c->StretchDrawDIB(0, 0, 10, 10, broken, 0, 0, 4, 4);
  Pdf pdf = finish(*c);
  ASSERT_EQ(pdf.objectCount(), 9);
  EXPECT_NE(pdf.object(8).find("/ImageMask true"), std::string::npos);
  EXPECT_NE(pdf.object(5).find("/Im0 8 0 R"), std::string::npos);
  // The export turns this into its warning; the writer itself shows nothing.
  EXPECT_TRUE(c->pictureFailed());
  EXPECT_TRUE(host.ui.messages.empty());
}

TEST_F(PdfCanvasTest, PensDashesAndLines) {
  auto c = open();
  c->PageHeight = 100;
  c->MoveTo(0, 0);
  c->LineTo(10, 20);
  c->LineTo(30, 20);  // same pen: not written again
  c->Pen = {PenStyle::Dash, 2, 0xFF0000};
  c->LineTo(30, 40);
  c->Pen.style = PenStyle::Dot;
  c->LineTo(0, 0);
  c->Pen.style = PenStyle::DashDot;
  c->LineTo(1, 1);
  c->Pen.style = PenStyle::DashDotDot;
  c->LineTo(2, 2);
  c->Pen.style = PenStyle::Clear;
  c->LineTo(50, 50);  // moves, draws nothing
  c->Pen.style = PenStyle::InsideFrame;
  c->LineTo(60, 50);
  Pdf pdf = finish(*c);
  EXPECT_EQ(pdf.pageContent(0),
            "[ ] 0 d\n1 w\n0 0 0 RG\n0 99 m\n10 79 l\nS\n10 79 m\n30 79 l\nS\n"
            "[3] 0 d\n2 w\n0 0 1 RG\n30 79 m\n30 59 l\nS\n"
            "[1] 0 d\n2 w\n0 0 1 RG\n30 59 m\n0 99 l\nS\n"
            "[3 1 1 1] 0 d\n2 w\n0 0 1 RG\n0 99 m\n1 98 l\nS\n"
            "[3 1 1 1 1 1] 0 d\n2 w\n0 0 1 RG\n1 98 m\n2 97 l\nS\n"
            "[ ] 0 d\n2 w\n0 0 1 RG\n50 49 m\n60 49 l\nS\n");
}

TEST_F(PdfCanvasTest, RectanglesFillOutlineOrBoth) {
  auto c = open();
  c->PageHeight = 100;
  c->Brush.colour = 0x00FF00;
  c->Rectangle(10, 10, 20, 30);  // fill and outline
  c->Brush.style = BrushStyle::Clear;
  c->Rectangle(10, 10, 20, 30);  // outline as four lines
  c->Pen.style = PenStyle::Clear;
  c->Brush.style = BrushStyle::Solid;
  c->Rectangle(0, 0, 5, 5);  // fill only
  c->Rectangle(5, 5, 5, 9);  // empty
  Pdf pdf = finish(*c);
  EXPECT_EQ(pdf.pageContent(0),
            "[ ] 0 d\n1 w\n0 0 0 RG\n0 1 0 rg\n10 70 9 19 re\nB\n"
            "10 89 m\n19 89 l\nS\n19 89 m\n19 70 l\nS\n19 70 m\n10 70 l\nS\n10 70 m\n10 89 l\nS\n"
            "0 1 0 rg\n0 95 4 4 re\nf\n");
}

TEST_F(PdfCanvasTest, EllipsesAreFourCurvesFilledAndOutlinedAsRectangles) {
  auto c = open();
  c->PageHeight = 101;
  c->Brush.colour = 0x0000FF;
  c->Ellipse(10, 10, 51, 31);  // box 10..50 x 70..90: centre (30, 80), radii 20 and 10
  c->Brush.style = BrushStyle::Clear;
  c->Ellipse(10, 10, 51, 31);
  c->Pen.style = PenStyle::Clear;
  c->Ellipse(10, 10, 51, 31);  // neither fill nor outline: nothing
  c->Brush.style = BrushStyle::Solid;
  c->Ellipse(10, 10, 51, 31);
  c->Ellipse(10, 10, 10, 31);  // empty
  Pdf pdf = finish(*c);
  std::string content = pdf.pageContent(0);
  const std::string path =
      "50 80 m\n50 85.52 41.05 90 30 90 c\n18.95 90 10 85.52 10 80 c\n"
      "10 74.48 18.95 70 30 70 c\n41.05 70 50 74.48 50 80 c\n";
  EXPECT_EQ(content, "[ ] 0 d\n1 w\n0 0 0 RG\n1 0 0 rg\n" + path + "b\n" + path + "s\n" +
                         "1 0 0 rg\n" + path + "f\n");
}

TEST_F(PdfCanvasTest, ClosedWriterDoesNothingAndCreationCanFail) {
  TPDFCanvas c(*host.fonts, PdfFontMode::Names, &host.ui);
  c.TextOut(0, 0, "x");
  c.FillRect(0, 0, 10, 10);
  c.NewPage();
  EXPECT_FALSE(c.EndDoc());
  EXPECT_FALSE(c.isOpen());

  EXPECT_FALSE(c.BeginDoc(dir + "/missing/out.pdf"));
  EXPECT_FALSE(c.isOpen());
  EXPECT_EQ(c.errorText(), "Die PDF-Datei „out.pdf“ konnte nicht erstellt werden.");
  EXPECT_FALSE(fs::exists(dir + "/missing"));
  EXPECT_FALSE(c.BeginDoc(dir));  // a directory is no file to replace
  EXPECT_TRUE(c.BeginDoc(dir + "/now.pdf"));
  EXPECT_TRUE(c.EndDoc());
}

TEST_F(PdfCanvasTest, ReplacesAnOldFileOnlyWhenTheNewOneIsComplete) {
  path = dir + "/keep.pdf";
  std::ofstream(path) << "old";
  {
    TPDFCanvas c(*host.fonts, PdfFontMode::Names, &host.ui);
    ASSERT_TRUE(c.BeginDoc(path));
    c.TextOut(0, 0, "neu");
    EXPECT_EQ(pdftest::ReadFile(path), "old");  // still the old one while writing
    // Destroyed while open: finishes the file as EndDoc would.
  }
  std::string bytes = pdftest::ReadFile(path);
  EXPECT_EQ(bytes.substr(0, 8), "%PDF-1.3");
  EXPECT_EQ(bytes.substr(bytes.size() - 5), "%%EOF");
  ExpectQpdfClean(path);
  int files = 0;
  for (auto& e : fs::directory_iterator(dir)) (void)e, ++files;
  EXPECT_EQ(files, 1);  // no temporary file left behind
}

}  // namespace
}  // namespace paginor
