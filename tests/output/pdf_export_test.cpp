// PDF export of whole documents: page sizes, which fields show on which pages, page numbers,
// justification, the text decorations, ellipses, failures, the two font forms, and
// paginor-cli convert. Every file written here must pass qpdf --check without warnings.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "layout/layout.h"
#include "layout/measure.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "output/pdf_export.h"
#include "output/pdf_test_util.h"
#include "platform/cp1252.h"
#include "platform/pictures/dib.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

using pdftest::Count;
using pdftest::Pdf;
using pdftest::Quote;
using pdftest::RunTool;

#define REQUIRE_TOOL(tool) \
  if (!pdftest::ToolAvailable(tool)) GTEST_SKIP() << tool " is not installed"

// One text run of a page's content: "x y Td (text) Tj".
struct TextRun {
  int x = 0, y = 0;
  std::string text;
};

std::vector<TextRun> Runs(const std::string& content) {
  static const std::regex td(R"((-?\d+) (-?\d+) Td \(((?:[^()\\]|\\.)*)\) Tj)");
  std::vector<TextRun> out;
  for (std::sregex_iterator it(content.begin(), content.end(), td), end; it != end; ++it)
    out.push_back({std::stoi((*it)[1]), std::stoi((*it)[2]), (*it)[3]});
  return out;
}

// The runs of a page grouped into lines by their baseline, top line first.
std::vector<std::vector<TextRun>> Lines(const std::vector<TextRun>& runs) {
  std::map<int, std::vector<TextRun>, std::greater<int>> byY;
  for (const TextRun& r : runs) byY[r.y].push_back(r);
  std::vector<std::vector<TextRun>> out;
  for (auto& [y, line] : byY) out.push_back(line);
  return out;
}

class PdfExport : public ::testing::Test {
 protected:
  PdfExport() {
    dir = test::TempDir(std::string("pdf_export/") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    doc().autoHyphenation = 0;
  }
  TMDIChild& w() { return fx.w(); }
  Document& doc() { return fx.doc(); }

  int32_t Font(double size = 12, uint8_t style = 0, uint16_t attributes = 0,
               const std::string& name = "Times New Roman") {
    FontRec f = FontOfCurrentFormat(doc().CurrentFormat);
    f.name = name;
    f.size = size;
    f.style = style;
    f.attributes = static_cast<uint16_t>(attributes | (style & 0x0F));
    return GetNewFontIndex(doc(), f);
  }
  // Appends text to the field's last line.
  void Type(int32_t field, const std::string& utf8, int32_t font = -1) {
    if (font < 0) font = Font();
    LineRec& l = doc().fields[field].lines.back();
    for (char ch : utf8ToCp1252(utf8)) {
      CharRec c;
      c.ch = static_cast<uint8_t>(ch);
      c.fontIndex = font;
      RenderChar(w(), c, false, CellText(c));
      l.chars.push_back(std::move(c));
    }
    l.endKind = kEndParagraph;
    l.dirty = 1;
  }
  // Ends the field's last line with `endKind` and starts another.
  LineRec& Next(int32_t field, int32_t endKind = kEndParagraph) {
    FieldRec& f = doc().fields[field];
    f.lines.back().endKind = endKind;
    LineRec& l = InsertNewLine(doc(), field, f.lineCount());
    l.endKind = kEndParagraph;
    l.dirty = 1;
    return l;
  }
  // A body of `pages` pages, each holding "x", separated by page breaks.
  void Pages(int pages) {
    Type(0, "x");
    for (int p = 1; p < pages; ++p) {
      Next(0, kEndPageBreak);
      Type(0, "x");
    }
  }
  void Layout() {
    SetAllDirtyFlags(doc());
    MakeSoftEnters(w());
  }
  Pdf Export(PdfFontMode mode = PdfFontMode::Names, const std::string& name = "out.pdf") {
    path = dir + "/" + name;
    EXPECT_TRUE(test::Shown(w(), SavePDFFile(w(), path, mode)));
    CheckWithQpdf(path);
    return Pdf(pdftest::ReadFile(path));
  }
  static void CheckWithQpdf(const std::string& file) {
    if (!pdftest::ToolAvailable("qpdf")) return;
    auto r = RunTool("qpdf --check " + Quote(file));
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("WARNING"), std::string::npos) << r.output;
  }
  static int32_t PageCount(const Pdf& pdf) {
    const int32_t root = Pdf::reference(pdf.trailer, "/Root ");
    return static_cast<int32_t>(
        Pdf::number(pdf.object(Pdf::reference(pdf.object(root), "/Pages ")), "/Count "));
  }
  void UsePrinter(int32_t dpi) {
    fx.host.printer.dpi = dpi;
    fx.host.printer.formats = {{"A4", 2100, 2970}};
    SetPrinterProps(w());
  }

  test::Fixture fx;
  std::string dir, path;
};

TEST_F(PdfExport, AnA4PageIs595By841PointsAtEveryResolution) {
  for (int32_t dpi : {150, 200, 240, 300, 360, 400, 600, 720, 1200, 2400}) {
    UsePrinter(dpi);
    const PdfPageSize size = PdfPageSizeOf(w());
    EXPECT_EQ(size.width, 595) << dpi;
    EXPECT_EQ(size.height, 841) << dpi;
  }
  UsePrinter(600);
  Layout();
  const Pdf pdf = Export();
  EXPECT_EQ(Count(pdf.bytes, "/MediaBox [0 0 594 840]"), 1);

  // At 96 dots per inch the page is 793 pixels wide: 594 points.
  UsePrinter(96);
  EXPECT_EQ(PdfPageSizeOf(w()).width, 594);
  Layout();
  EXPECT_EQ(Count(Export().bytes, "/MediaBox [0 0 593 840]"), 1);
}

TEST_F(PdfExport, TheEmptyDocumentGivesOnePage) {
  const Pdf pdf = Export();
  EXPECT_EQ(PageCount(pdf), 1);
  EXPECT_EQ(Runs(pdf.pageContent(0)).size(), 0u);
}

TEST_F(PdfExport, HeadersShowOnTheirPages) {
  Pages(6);
  Type(5, "Q");
  // showOn 3: even page numbers; 5: even ones but the first; 6: odd ones but the first.
  const std::map<int, std::vector<int>> expected = {{3, {1, 3, 5}}, {5, {1, 3, 5}}, {6, {2, 4}}};
  for (const auto& [showOn, pages] : expected) {
    doc().fields[5].showOn = static_cast<uint8_t>(showOn);
    Layout();
    const Pdf pdf = Export(PdfFontMode::Names, "showon" + std::to_string(showOn) + ".pdf");
    ASSERT_EQ(PageCount(pdf), 6);
    for (int p = 0; p < 6; ++p) {
      const bool shown = std::find(pages.begin(), pages.end(), p) != pages.end();
      EXPECT_EQ(Count(pdf.pageContent(p), "(Q) Tj"), shown ? 1 : 0)
          << "showOn " << showOn << ", page index " << p;
    }
  }
}

TEST_F(PdfExport, APageNumberFieldShowsEachPagesNumber) {
  Pages(3);
  Type(6, "S");
  CharRec field;
  field.kind = kCharField;
  field.fontIndex = Font();
  field.setCode("page");
  field.setText("1");
  RenderChar(w(), field, false, "1");
  doc().fields[6].lines.back().chars.push_back(field);
  Layout();
  const Pdf pdf = Export();
  for (int p = 0; p < 3; ++p) {
    const std::string content = pdf.pageContent(p);
    for (int n = 1; n <= 3; ++n)
      EXPECT_EQ(Count(content, "(" + std::to_string(n) + ") Tj"), n == p + 1 ? 1 : 0)
          << "page " << p + 1;
  }
}

TEST_F(PdfExport, JustifiedLinesFillTheColumnExceptTheLast) {
  // A paragraph of words and a long word without spaces, justified, then both left-aligned.
  const std::string words =
      "Ein Absatz im Blocksatz dehnt seine Leerzeichen, bis jede Zeile die Spalte fuellt, "
      "nur die letzte Zeile bleibt wie sie ist";
  const std::string word(120, 'm');
  for (uint8_t alignment : {3, 0}) {
    Type(0, words);
    doc().fields[0].lines.back().para.alignment = alignment;
    Next(0).para.alignment = alignment;
    Type(0, word);
    if (alignment == 3) Next(0);
  }
  Layout();
  const auto lines = Lines(Runs(Export().pageContent(0)));
  const FieldRec& f = doc().fields[0];
  ASSERT_EQ(static_cast<int32_t>(lines.size()), f.lineCount());
  // Where each of the four paragraphs starts.
  std::vector<int> starts = {0};
  for (int32_t i = 0; i < f.lineCount(); ++i)
    if (f.lines[i].endKind == kEndParagraph) starts.push_back(i + 1);
  ASSERT_EQ(starts.size(), 5u);
  for (int p = 0; p < 2; ++p) {
    const int n = starts[p + 1] - starts[p];
    ASSERT_GE(n, 2) << "paragraph " << p << " must break";
    ASSERT_EQ(starts[p + 3] - starts[p + 2], n);
    for (int i = 0; i < n; ++i) {
      const auto& justified = lines[starts[p] + i];
      const auto& left = lines[starts[p + 2] + i];
      ASSERT_EQ(justified.size(), left.size());
      const bool stretched = p == 0 && i < n - 1;
      for (size_t k = 0; k < left.size(); ++k) {
        if (stretched) {
          EXPECT_GE(justified[k].x, left[k].x);
        } else {
          EXPECT_EQ(justified[k].x, left[k].x) << "paragraph " << p << ", line " << i;
        }
      }
      if (stretched) {
        EXPECT_GT(justified.back().x, left.back().x) << "line " << i;
      }
    }
  }
}

TEST_F(PdfExport, StrikeOutLinesAreAsWideAsTheSizeAllows) {
  Type(0, "A", Font(8, 8));
  Layout();
  std::string content = Export(PdfFontMode::Names, "small.pdf").pageContent(0);
  EXPECT_NE(content.find("\n0 w\n"), std::string::npos) << content;
  EXPECT_EQ(Count(content, " l\nS"), 1);

  doc().fields[0].lines.back().chars.mut(0).fontIndex = Font(24, 8);
  Layout();
  content = Export(PdfFontMode::Names, "large.pdf").pageContent(0);
  EXPECT_NE(content.find("\n2 w\n"), std::string::npos) << content;
  EXPECT_EQ(content.find("\n0 w\n"), std::string::npos);
}

TEST_F(PdfExport, UnderlineWordsOnlyLeavesSpacesAndTabsBare) {
  Type(0, "ab cd\tef", Font(12, 4, 1u << kAttrUnderlineWords));
  Next(0);
  Type(0, "ab cd\tef", Font(12, 4));
  Layout();
  const std::string content = Export().pageContent(0);
  // One underline per character drawn: 6 letters in the first line, all 8 cells in the second
  // but the tab, which draws nothing without a fill.
  EXPECT_EQ(Count(content, " l\nS"), 6 + 7);
  const auto lines = Lines(Runs(content));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 7u) << "the space is drawn, without underline";
}

TEST_F(PdfExport, EllipsesAreDrawnWithoutAMessage) {
  const int32_t e = NewField(doc());
  FieldRec& f = doc().fields[e];
  f.type = kFieldEllipse;
  f.left = 20;
  f.top = 30;
  f.right = 80;
  f.bottom = 60;
  f.lineWidth = 1;
  f.backColour = 0x00FFFF;
  f.lines.push_back(LineRec());
  Layout();
  const std::string content = Export().pageContent(0);
  EXPECT_EQ(Count(content, " c\n"), 4) << "four Bezier quarters";
  EXPECT_NE(content.find("\nb\n"), std::string::npos) << "filled and outlined";
  EXPECT_TRUE(fx.host.ui.messages.empty());
}

// A logo in the header of a three-page document is one image object, drawn on every page; a
// second picture record holding the same logo (pasted again into the text) shares it too.
TEST_F(PdfExport, ALogoInTheHeaderIsStoredOnce) {
  BildRec logo;
  ASSERT_TRUE(newdib(logo, 60, 20, 24, nullptr, 0));
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 60; ++x)
      setpixel(logo, x, y, static_cast<uint32_t>(x * 4 | (y * 12) << 8 | 0x800000));
  doc().pictures.push_back(logo);
  doc().pictures.push_back(logo);
  auto pictureCell = [&](int32_t field, uint16_t picture) {
    CharRec c;
    c.kind = kCharPicture;
    c.fontIndex = Font();
    c.setPictureIndex(picture);
    c.width = 30;
    c.height = 10;
    LineRec& l = doc().fields[field].lines.back();
    l.chars.push_back(c);
    l.dirty = 1;
  };
  Pages(3);
  pictureCell(5, 0);
  Type(5, " Firma");
  Next(0);
  pictureCell(0, 1);  // on the third page
  Layout();
  for (PdfFontMode mode : {PdfFontMode::Names, PdfFontMode::Embedded}) {
    const Pdf pdf = Export(mode, mode == PdfFontMode::Names ? "names.pdf" : "embedded.pdf");
    ASSERT_EQ(PageCount(pdf), 3);
    EXPECT_EQ(Count(pdf.bytes, "/Subtype /Image"), 1);
    for (int32_t p = 0; p < 3; ++p) {
      const std::string content = pdf.pageContent(p);
      EXPECT_EQ(Count(content, " Do\n"), p == 2 ? 2 : 1) << "page " << p;
      EXPECT_EQ(Count(content, "/Im0 Do\n"), Count(content, " Do\n")) << "page " << p;
    }
    const size_t image = pdf.bytes.find("/Subtype /Image");
    ASSERT_NE(image, std::string::npos);
    const int32_t object = static_cast<int32_t>(
        std::stol(pdf.bytes.substr(pdf.bytes.rfind("endobj\n", image) + 7)));
    const std::string jpeg = pdf.rawStream(object);
    BildRec back;
    ASSERT_TRUE(OpenDibFromMemory(back, reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(),
                                  kDibJpeg));
    EXPECT_EQ(back.width(), 60);
    EXPECT_EQ(std::abs(back.height()), 20);
  }
}

// Forwards to another engine and keeps count of the handles made and not yet deleted.
class CountedFonts : public FontEngine {
 public:
  explicit CountedFonts(FontEngine& inner) : inner_(inner) {}
  FontHandle createFont(const LogFont& lf, int32_t resolution) override {
    const FontHandle h = inner_.createFont(lf, resolution);
    ++made;
    live.insert(h);
    return h;
  }
  void deleteFont(FontHandle f) override {
    EXPECT_EQ(live.erase(f), 1u) << "handle " << f << " deleted twice or never made";
    inner_.deleteFont(f);
  }
  TextExtent textExtent(FontHandle f, std::string_view text) override {
    return inner_.textExtent(f, text);
  }
  FontMetrics metrics(FontHandle f) override { return inner_.metrics(f); }
  std::string fontFile(FontHandle f, int32_t* index) override { return inner_.fontFile(f, index); }
  char32_t unicodeFor(FontHandle f, uint8_t byte) override { return inner_.unicodeFor(f, byte); }
  std::string fontFileFor(FontHandle f, uint8_t byte, int32_t* index) override {
    return inner_.fontFileFor(f, byte, index);
  }

  int made = 0;
  std::set<FontHandle> live;

 private:
  FontEngine& inner_;
};

// The export measures with the writer's fonts: each font is made once for the whole file, not
// once a page, and every handle is given back when the writer goes.
TEST_F(PdfExport, TheWriterAndTheExportShareTheirFontsAndGiveThemBack) {
  Pages(3);
  Type(0, " Arial", Font(10, 0, 0, "Arial"));
  Layout();
  // Embedded: Times New Roman 12 and Arial 10, each at points and at a hundredth of a point.
  // Named: the two at points, and Arial at 12 points for its widths (Times New Roman 12 is
  // there already).
  for (auto [mode, fonts] : {std::pair{PdfFontMode::Embedded, 4}, std::pair{PdfFontMode::Names, 3}}) {
    CountedFonts counted(w().app.fonts());
    {
      TPDFCanvas pdf(counted, mode);
      ASSERT_TRUE(pdf.BeginDoc(dir + "/out.pdf"));
      for (int32_t p = 0; p < 3; ++p) {
        if (p) pdf.NewPage();
        DrawPagesPDF(w(), pdf, p);
      }
      EXPECT_TRUE(pdf.EndDoc());
      EXPECT_EQ(counted.made, fonts);
    }
    EXPECT_TRUE(counted.live.empty());
    CheckWithQpdf(dir + "/out.pdf");
  }
}

TEST_F(PdfExport, AFileThatCannotBeCreatedIsReported) {
  const std::string target = dir + "/fehlt/aus.pdf";
  EXPECT_FALSE(test::Shown(w(), SavePDFFile(w(), target)));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Die PDF-Datei konnte nicht erstellt werden! aus.pdf: Der Ordner existiert nicht.");
  EXPECT_EQ(fx.host.ui.messages[0].icon, MsgIcon::Information);
  EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(PdfExport, TheDefaultFormPlacesTextAndBarsAsTheScreenDoes) {
  FontRec marked = doc().fonts[Font()];
  marked.backColour = 0x00FFFF;
  marked.backTransparent = 0;
  Type(0, "g", GetNewFontIndex(doc(), marked));
  Layout();
  static const std::regex bar(R"((-?\d+) (-?\d+) (-?\d+) (-?\d+) re\nf)");
  std::smatch named, embedded;
  const std::string a = Export(PdfFontMode::Names, "names.pdf").pageContent(0);
  const std::string b = Export(PdfFontMode::Embedded, "embedded.pdf").pageContent(0);
  ASSERT_TRUE(std::regex_search(a, named, bar)) << a;
  ASSERT_TRUE(std::regex_search(b, embedded, bar)) << b;
  // The named form fills one point short of the far edges; the default form the whole bar.
  EXPECT_EQ(std::stoi(embedded[1]), std::stoi(named[1]));
  EXPECT_EQ(std::stoi(embedded[2]), std::stoi(named[2]) - 1);
  EXPECT_EQ(std::stoi(embedded[3]), std::stoi(named[3]) + 1);
  EXPECT_EQ(std::stoi(embedded[4]), std::stoi(named[4]) + 1);
  // The named form puts the baseline on the cell's bottom, the default form the descent
  // higher, where the screen has it.
  const auto ra = Runs(a), rb = Runs(b);
  ASSERT_EQ(ra.size(), 1u);
  ASSERT_EQ(rb.size(), 1u);
  EXPECT_EQ(rb[0].x, ra[0].x);
  EXPECT_GT(rb[0].y, ra[0].y);
  EXPECT_LT(rb[0].y, ra[0].y + 6);
}

TEST_F(PdfExport, TheDefaultFormDrawsTextInRunsAtTheSamePlaces) {
  const std::string plain = "Ein kurzer Satz mit einigen Wörtern steht links.";
  Type(0, plain);
  Next(0).para.alignment = 3;
  Type(0,
       "Ein Absatz im Blocksatz dehnt seine Leerzeichen, bis jede Zeile die Spalte fuellt, nur "
       "die letzte Zeile bleibt wie sie ist");
  doc().fields[0].lines.back().para.alignment = 3;
  Next(0);
  Type(0, "ab cd ef", Font(12, 4, 1u << kAttrUnderlineWords));
  Layout();
  const std::string named = Export(PdfFontMode::Names, "names.pdf").pageContent(0);
  const std::string embedded = Export(PdfFontMode::Embedded, "embedded.pdf").pageContent(0);
  const auto perChar = Lines(Runs(named));
  const auto runs = Lines(Runs(embedded));
  ASSERT_EQ(perChar.size(), runs.size());
  ASSERT_GE(runs.size(), 4u);
  for (size_t l = 0; l < runs.size(); ++l) {
    // Every run starts where the named form puts its first character, and the runs of a
    // line hold the line's characters in order.
    std::string text;
    for (const TextRun& r : runs[l]) {
      ASSERT_LT(text.size(), perChar[l].size());
      EXPECT_EQ(r.x, perChar[l][text.size()].x) << "line " << l << ", run \"" << r.text << "\"";
      text += r.text;
    }
    std::string chars;
    for (const TextRun& r : perChar[l]) chars += r.text;
    EXPECT_EQ(text, chars);
  }
  EXPECT_EQ(runs[0].size(), 1u) << "a plain line is one run";
  // In a stretched line every word starts a run of its own.
  for (const TextRun& r : runs[1]) {
    const size_t space = r.text.find(' ');
    EXPECT_TRUE(space == std::string::npos || space == r.text.size() - 1) << r.text;
  }
  // The underlines of the words join per word, never across a bare space.
  EXPECT_EQ(Count(named, " l\nS"), 6);
  EXPECT_EQ(Count(embedded, " l\nS"), 3);
}

TEST_F(PdfExport, TextAndFontsSurviveForReaders) {
  REQUIRE_TOOL("pdftotext");
  REQUIRE_TOOL("pdffonts");
  const char* lines[] = {"Grüße aus Köln: Maß für Maß, 5 €", "„Anführung“ und ‚halbe‘ Zeichen",
                         "“English” ‘quotes’ – ÄÖÜ äöü ß"};
  Type(0, lines[0]);
  Next(0);
  Type(0, lines[1], Font(11, 1, 0, "Arial"));
  Next(0);
  Type(0, lines[2], Font(10, 2, 0, "Courier New"));
  Layout();
  Export(PdfFontMode::Embedded);
  const std::string text = RunTool("pdftotext -enc UTF-8 " + Quote(path) + " -").output;
  for (const char* l : lines) EXPECT_NE(text.find(l), std::string::npos) << text;

  auto fonts = [&] {
    std::istringstream in(RunTool("pdffonts " + Quote(path)).output);
    std::vector<std::string> rows;
    std::string row;
    for (int n = 0; std::getline(in, row); ++n)
      if (n >= 2 && !row.empty()) rows.push_back(row);
    return rows;
  };
  auto rows = fonts();
  EXPECT_EQ(rows.size(), 3u);
  static const std::regex embeddedSubset(R"(^[A-Z]{6}\+\S+\s+TrueType\s+\S+\s+yes yes)");
  for (const std::string& r : rows) EXPECT_TRUE(std::regex_search(r, embeddedSubset)) << r;

  Export(PdfFontMode::Names);
  rows = fonts();
  EXPECT_EQ(rows.size(), 3u);
  for (const std::string& r : rows) EXPECT_NE(r.find(" no  no "), std::string::npos) << r;
}

class ConvertToPdf : public PdfExport {
 protected:
  pdftest::ToolResult Cli(const std::string& args) {
    return RunTool(Quote(PAGINOR_CLI) + " convert " + args);
  }
};

TEST_F(ConvertToPdf, EveryReadableFormatBecomesAPdf) {
  const std::string text = utf8ToCp1252("Erste Zeile äöü ß €\nZweite Zeile\n");
  { std::ofstream(dir + "/ein.txt", std::ios::binary) << text; }
  auto r = Cli(Quote(dir + "/ein.txt") + " " + Quote(dir + "/text.pdf"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(r.output.empty()) << r.output;
  CheckWithQpdf(dir + "/text.pdf");

  r = Cli(Quote(dir + "/ein.txt") + " " + Quote(dir + "/ein.sbl"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  r = Cli("--to pdf " + Quote(dir + "/ein.sbl") + " " + Quote(dir + "/native.dat"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  CheckWithQpdf(dir + "/native.dat");
  r = Cli("--from dostxt " + Quote(dir + "/ein.txt") + " " + Quote(dir + "/dos.pdf"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  CheckWithQpdf(dir + "/dos.pdf");

  // The same document read from text and from the native file draws the same page.
  const Pdf a(pdftest::ReadFile(dir + "/text.pdf"));
  const Pdf b(pdftest::ReadFile(dir + "/native.dat"));
  EXPECT_EQ(a.pageContent(0), b.pageContent(0));
  if (pdftest::ToolAvailable("pdftotext")) {
    const std::string shown =
        RunTool("pdftotext -enc UTF-8 " + Quote(dir + "/text.pdf") + " -").output;
    EXPECT_NE(shown.find("Erste Zeile äöü ß €"), std::string::npos) << shown;
  }
}

TEST_F(ConvertToPdf, TheFontFormIsChosenByOption) {
  { std::ofstream(dir + "/ein.txt", std::ios::binary) << "Text\n"; }
  auto r = Cli("--pdf-fonts=names " + Quote(dir + "/ein.txt") + " " + Quote(dir + "/n.pdf"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  r = Cli(Quote(dir + "/ein.txt") + " " + Quote(dir + "/e.pdf"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string named = pdftest::ReadFile(dir + "/n.pdf");
  const std::string embedded = pdftest::ReadFile(dir + "/e.pdf");
  EXPECT_EQ(Count(named, "/FontFile2"), 0);
  EXPECT_NE(named.find("/BaseFont /Courier#20New"), std::string::npos);
  EXPECT_EQ(Count(embedded, "/FontFile2"), 1);
}

TEST_F(ConvertToPdf, MistakesAreRefusedWithAMessage) {
  { std::ofstream(dir + "/ein.txt", std::ios::binary) << "Text\n"; }
  auto r = Cli(Quote(dir + "/ein.txt") + " " + Quote(dir + "/x.pdf") + " --pdf-fonts=bitmap");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.output.find("Unbekannte Schriftform: bitmap"), std::string::npos) << r.output;
  r = Cli("--pdf-fonts=names " + Quote(dir + "/ein.txt") + " " + Quote(dir + "/x.sbl"));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.output.find("nur für PDF"), std::string::npos) << r.output;
  r = Cli(Quote(dir + "/x.pdf") + " " + Quote(dir + "/x.txt"));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.output.find("PDF-Dateien können nicht gelesen"), std::string::npos) << r.output;
  r = Cli(Quote(dir + "/ein.txt") + " " + Quote(dir + "/fehlt/x.pdf"));
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_NE(r.output.find("Die PDF-Datei konnte nicht erstellt werden!"), std::string::npos)
      << r.output;
  EXPECT_FALSE(std::filesystem::exists(dir + "/x.sbl"));
}

TEST_F(ConvertToPdf, TheExampleDocumentExports) {
  const std::string example = fx.host.paths.programDataDir() + "/examples/beispiel.sbl";
  ASSERT_TRUE(std::filesystem::exists(example)) << example;
  auto r = Cli(Quote(example) + " " + Quote(dir + "/beispiel.pdf"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  CheckWithQpdf(dir + "/beispiel.pdf");
  const Pdf pdf(pdftest::ReadFile(dir + "/beispiel.pdf"));
  EXPECT_EQ(PageCount(pdf), 2);
  EXPECT_EQ(Count(pdf.bytes, "/Subtype /Image"), 2) << "the picture in the text and the field";
  if (!pdftest::ToolAvailable("pdftotext")) return;
  const std::string text =
      RunTool("pdftotext -enc UTF-8 " + Quote(dir + "/beispiel.pdf") + " -").output;
  for (const char* s : {"Beispieldokument", "ÄÖÜ ß €", "„Anführungszeichen“", "Seite 1", "Seite 2",
                        "Größere Birnen", "Spaltensatz", "Ein Textfeld", "KAPITÄLCHEN",
                        "GROßBUCHSTABEN"})
    EXPECT_NE(text.find(s), std::string::npos) << s;
}

}  // namespace
}  // namespace paginor
