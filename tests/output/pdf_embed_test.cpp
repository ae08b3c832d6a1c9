// The PDF writer's default form: the fonts that measured the text embedded as subsets. Checked
// with the tools a reader would trust: qpdf for the structure, pdffonts for the embedding,
// pdftotext for the text, pdftoppm for what a page looks like.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <iterator>
#include <regex>
#include <sstream>

#include "output/pdf_canvas.h"
#include "output/pdf_format.h"
#include "output/pdf_test_util.h"
#include "platform/cp1252.h"
#include "platform/headless.h"
#include "platform/pictures/dib.h"
#include "support/test_support.h"

namespace paginor {
namespace {

namespace fs = std::filesystem;
using pdftest::Count;
using pdftest::Pdf;
using pdftest::Quote;
using pdftest::RunTool;

class PdfEmbedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir =
        test::TempDir("pdf_embed/" +
                      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    path = dir + "/out.pdf";
    c = std::make_unique<TPDFCanvas>(*host.fonts, PdfFontMode::Embedded, &host.ui);
    ASSERT_TRUE(c->BeginDoc(path));
  }
  Pdf finish() {
    EXPECT_TRUE(c->EndDoc()) << c->errorText();
    if (pdftest::ToolAvailable("qpdf")) {
      auto r = RunTool("qpdf --check " + Quote(path));
      EXPECT_EQ(r.exitCode, 0) << r.output;
      EXPECT_EQ(r.output.find("WARNING"), std::string::npos) << r.output;
    }
    return Pdf(pdftest::ReadFile(path));
  }
  void text(int32_t x, int32_t y, const std::string& face, int32_t size, uint8_t style,
            const std::string& utf8) {
    c->Font.name = face;
    c->Font.size = size;
    c->Font.style = style;
    c->Font.colour = 0;
    c->TextOut(x, y, utf8ToCp1252(utf8));
  }
  std::string pdftext() { return RunTool("pdftotext -enc UTF-8 " + Quote(path) + " -").output; }
  // pdffonts' rows: one per font resource.
  std::vector<std::string> pdffonts() {
    std::istringstream in(RunTool("pdffonts " + Quote(path)).output);
    std::vector<std::string> rows;
    std::string line;
    for (int n = 0; std::getline(in, line); ++n)
      if (n >= 2 && !line.empty()) rows.push_back(line);
    return rows;
  }

  HeadlessPlatform host;
  std::unique_ptr<TPDFCanvas> c;
  std::string dir, path;
};

#define REQUIRE_TOOL(tool) \
  if (!pdftest::ToolAvailable(tool)) GTEST_SKIP() << tool " is not installed"

const char* const kGerman[] = {
    "Grüße aus Köln: Maß für Maß, 5 € – „Anführung“ und ‚halbe‘",
    "ÄÖÜ äöü ß · “English” ‘quotes’ … ‰ «Guillemets»",
};

TEST_F(PdfEmbedTest, TextComesBackAndEveryFontIsAnEmbeddedSubset) {
  REQUIRE_TOOL("pdftotext");
  text(40, 40, "Times New Roman", 12, 0, kGerman[0]);
  text(40, 60, "Arial", 11, pdf::kStyleBold, kGerman[1]);
  c->NewPage();
  text(40, 80, "Courier New", 10, pdf::kStyleItalic, kGerman[0]);
  text(40, 100, "Arial", 11, pdf::kStyleUnderline, "unterstrichen");
  finish();

  std::string out = pdftext();
  EXPECT_NE(out.find(kGerman[0]), std::string::npos) << out;
  EXPECT_NE(out.find(kGerman[1]), std::string::npos) << out;
  EXPECT_EQ(Count(out, kGerman[0]), 2) << out;

  REQUIRE_TOOL("pdffonts");
  auto rows = pdffonts();
  ASSERT_EQ(rows.size(), 4u);
  std::regex row(
      R"(^[A-Z]{6}\+Liberation\S+ +TrueType +(WinAnsi|Custom) +yes +yes +no +\d+ +0 *$)");
  for (const auto& r : rows) EXPECT_TRUE(std::regex_match(r, row)) << r;
}

// Symbol and Wingdings have no free twins: their bytes are drawn from other fonts, and the file
// must show (and give back) the very characters the screen shows.
TEST_F(PdfEmbedTest, SymbolFacesShowTheScreenCharacters) {
  REQUIRE_TOOL("pdftotext");
  // A Wingdings byte that another file than the face's first one draws.
  LogFont lf;
  lf.face = "Wingdings";
  lf.height = -12;
  FontHandle h = host.fonts->createFont(lf, 72);
  const std::string primary = host.fonts->fontFile(h);
  int other = 0;
  for (int b = 0x21; b < 256 && !other; ++b)
    if (host.fonts->fontFileFor(h, static_cast<uint8_t>(b)) != primary) other = b;
  ASSERT_NE(other, 0) << "every Wingdings byte comes from " << primary;
  std::string otherUtf8;
  appendUtf8(otherUtf8, host.fonts->unicodeFor(h, static_cast<uint8_t>(other)));
  host.fonts->deleteFont(h);

  c->Font.name = "Wingdings";
  c->Font.size = 20;
  c->TextOut(40, 40, std::string("\x6C\x9F ") + static_cast<char>(other) + "\xD8");
  c->Font.name = "Symbol";
  c->TextOut(40, 80, "\xAE \x61\x62\x57 \xA5");
  Pdf pdf = finish();

  std::string content = pdf.pageContent(0);
  EXPECT_NE(content.find("/F1_1 20 Tf"), std::string::npos) << content;
  std::string out = pdftext();
  for (const char* want : {"●", "•", "➢", "→", "αβΩ", "∞", otherUtf8.c_str()})
    EXPECT_NE(out.find(want), std::string::npos) << want << " missing in: " << out;

  REQUIRE_TOOL("pdffonts");
  auto rows = pdffonts();
  EXPECT_GE(rows.size(), 3u);
  for (const auto& r : rows)
    EXPECT_TRUE(std::regex_search(r, std::regex(R"(TrueType +Custom +yes +yes)"))) << r;
}

// Objects of the named form keep their numbers; embedding only appends after the pictures.
TEST_F(PdfEmbedTest, EmbeddingAppendsObjectsAfterThePictures) {
  text(10, 10, "Arial", 10, 0, "plain");
  text(10, 30, "Arial", 10, pdf::kStyleUnderline, "underlined");
  BildRec pic;
  ASSERT_TRUE(newdib(pic, 4, 4, 24, nullptr, 0));
  c->StretchDrawDIB(10, 50, 20, 20, pic, 0, 0, 4, 4);
  Pdf pdf = finish();
  // Content 2-3, fonts 4-5, tree 6, page 7, catalog 8, outlines 9, picture 10, then one shared
  // descriptor (11) and font file (12) for plain and underlined use.
  ASSERT_EQ(pdf.objectCount(), 13);
  EXPECT_EQ(Pdf::reference(pdf.trailer, "/Root "), 8);
  EXPECT_NE(pdf.object(6).find("/Type /Pages"), std::string::npos);
  EXPECT_NE(pdf.object(10).find("/DCTDecode"), std::string::npos);
  EXPECT_EQ(Pdf::reference(pdf.object(4), "/FontDescriptor "), 11);
  EXPECT_EQ(Pdf::reference(pdf.object(5), "/FontDescriptor "), 11);
  EXPECT_EQ(Pdf::reference(pdf.object(11), "/FontFile2 "), 12);
  EXPECT_NE(pdf.object(7).find("/Font << /F1 4 0 R/F2 5 0 R>>"), std::string::npos);
}

TEST_F(PdfEmbedTest, WidthsMatchTheEmbeddedGlyphs) {
  text(10, 10, "Times New Roman", 12, pdf::kStyleBold, "Wasser €");
  Pdf pdf = finish();
  const std::string font = pdf.object(4);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(font, m, std::regex(R"(/BaseFont /([A-Z]{6})\+(\S+)\n)")));
  EXPECT_EQ(m[2], "LiberationSerif-Bold");
  const std::string descriptor = pdf.object(Pdf::reference(font, "/FontDescriptor "));
  EXPECT_NE(descriptor.find("/FontName /" + m[1].str() + "+LiberationSerif-Bold\n"),
            std::string::npos);
  const int32_t fileObject = Pdf::reference(descriptor, "/FontFile2 ");
  const std::string program = pdf.stream(fileObject);
  EXPECT_EQ(static_cast<int64_t>(program.size()), Pdf::number(pdf.object(fileObject), "/Length1 "));

  // FreeType reads the subset as a reader would.
  struct Ft {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    ~Ft() {
      if (face) FT_Done_Face(face);
      if (lib) FT_Done_FreeType(lib);
    }
  } ft;
  ASSERT_EQ(FT_Init_FreeType(&ft.lib), 0);
  ASSERT_EQ(FT_New_Memory_Face(ft.lib, reinterpret_cast<const FT_Byte*>(program.data()),
                               static_cast<FT_Long>(program.size()), 0, &ft.face),
            0);
  FT_Face face = ft.face;
  EXPECT_LE(face->num_glyphs, 12);  // .notdef and the few characters used

  size_t w = font.find("/Widths [") + 9;
  std::istringstream in(font.substr(w, font.find(']', w) - w));
  std::vector<double> widths((std::istream_iterator<double>(in)), std::istream_iterator<double>());
  ASSERT_EQ(widths.size(), 224u);
  for (char32_t ch : {U'W', U'a', U's', U'e', U'r', U' ', U'€'}) {
    FT_UInt g = FT_Get_Char_Index(face, ch);
    ASSERT_NE(g, 0u) << static_cast<uint32_t>(ch);
    FT_Fixed adv = 0;
    FT_Get_Advance(face, g, FT_LOAD_NO_SCALE, &adv);
    int code = unicodeToCp1252(ch);
    EXPECT_NEAR(widths[code - 32], adv * 1000.0 / face->units_per_EM, 0.001) << code;
  }
  EXPECT_EQ(widths['b' - 32], 0);  // not used, not in the subset
}

// A page with every kind of drawing, rendered as a reader shows it; the PNG stays in the test
// directory for a look.
TEST_F(PdfEmbedTest, RenderedPageShowsWhatWasDrawn) {
  REQUIRE_TOOL("pdftoppm");
  text(40, 30, "Times New Roman", 20, 0, "Times New Roman – Grüße, „Text“ 12 €");
  text(40, 60, "Arial", 16, pdf::kStyleBold, "Arial fett");
  text(200, 60, "Arial", 16, pdf::kStyleItalic, "Arial kursiv");
  text(40, 90, "Courier New", 14, pdf::kStyleBold | pdf::kStyleItalic, "Courier fett kursiv");
  c->Font = {"Wingdings", 18, 0, 0, 1};
  c->TextOut(40, 120, "\x9F \x6C \xD8");
  text(120, 120, "Arial", 14, 0, "Aufzählung mit Wingdings");
  c->Font = {"Symbol", 18, 0, 0x0000C0, 1};
  c->TextOut(40, 150, "\xAE \xDE \x61\x62\x67");
  text(160, 150, "Arial", 14, 0, "Pfeil und Griechisch aus Symbol");

  c->Pen = {PenStyle::Solid, 3, 0x800000};   // dark blue frame
  c->Brush = {BrushStyle::Solid, 0x00C0FF};  // orange fill
  c->Rectangle(40, 200, 240, 320);
  c->Brush = {BrushStyle::Solid, 0x50C050};  // green ellipse
  c->Pen = {PenStyle::Solid, 2, 0x000000};
  c->Ellipse(300, 200, 540, 320);
  const PenStyle styles[] = {PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot,
                             PenStyle::DashDotDot};
  for (int i = 0; i < 4; ++i) {
    c->Pen = {styles[i], 1, 0x0000FF};
    c->MoveTo(40, 350 + 15 * i);
    c->LineTo(540, 350 + 15 * i);
  }
  c->Font = {"Wingdings", 72, 0, 0, 1};
  c->TextOut(400, 440, "\x6C");  // "●", a filled disc
  const int32_t discWidth = c->TextWidth("\x6C"), discBottom = 440 + c->TextHeight("\x6C");
  BildRec pic;
  ASSERT_TRUE(newdib(pic, 64, 32, 24, nullptr, 0));
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) setpixel(pic, x, y, x < 32 ? 0x0000FF : 0xFF0000);
  c->StretchDrawDIB(40, 430, 256, 128, pic, 0, 0, 64, 32);
  finish();

  // At 72 dpi one pixel is one point.
  auto r = RunTool("pdftoppm -png -r 72 -singlefile " + Quote(path) + " " + Quote(dir + "/page"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  BildRec png;
  ASSERT_TRUE(OpenDib(png, dir + "/page.png", kDibPng)) << png.errorText;
  EXPECT_EQ(png.width(), 594);
  auto near = [](uint32_t px, uint32_t want) {
    for (int s = 0; s < 24; s += 8)
      if (std::abs(static_cast<int>((px >> s) & 0xFF) - static_cast<int>((want >> s) & 0xFF)) > 24)
        return false;
    return true;
  };
  EXPECT_TRUE(near(getpixel(png, 140, 260), 0x00C0FF)) << std::hex << getpixel(png, 140, 260);
  EXPECT_TRUE(near(getpixel(png, 41, 260), 0x800000)) << std::hex << getpixel(png, 41, 260);
  EXPECT_TRUE(near(getpixel(png, 420, 260), 0x50C050)) << std::hex << getpixel(png, 420, 260);
  // The ellipse's bounding box corner stays white: it is an ellipse, not a rectangle.
  EXPECT_TRUE(near(getpixel(png, 305, 205), 0xFFFFFF)) << std::hex << getpixel(png, 305, 205);
  EXPECT_TRUE(near(getpixel(png, 80, 490), 0x0000FF)) << std::hex << getpixel(png, 80, 490);
  EXPECT_TRUE(near(getpixel(png, 250, 490), 0xFF0000)) << std::hex << getpixel(png, 250, 490);
  // The Wingdings byte 0x6C shows a filled disc (the letter "l" would cover a sliver of its
  // box), sitting on the bottom edge of its text cell.
  int dark = 0, all = 0;
  for (int y = discBottom - 50; y < discBottom; ++y)
    for (int x = 400; x < 400 + discWidth; ++x, ++all) dark += (getpixel(png, x, y) & 0xFF) < 80;
  EXPECT_GT(dark * 100 / all, 35) << dark << " of " << all;
  std::cout << "rendered page: " << dir << "/page.png\n";
}

}  // namespace
}  // namespace paginor
