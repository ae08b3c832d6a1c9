// Printing through Qt onto the file printer (PAGINOR_PRINT_TO_FILE): the PDF it writes, its
// pages, the earlier file kept until the new one is complete, and a document printed whole.
#include <gtest/gtest.h>

#include <QPrinterInfo>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "layout/layout.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "output/print.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_platform.h"
#include "support/test_support.h"

namespace paginor {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Pages of a PDF: pdfinfo's count when the tool is there, else the page objects in the file.
int PdfPages(const std::string& path) {
  std::string cmd = "pdfinfo '" + path + "' 2>/dev/null";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    std::string out;
    while (fgets(buf, sizeof buf, p)) out += buf;
    if (pclose(p) == 0) {
      std::smatch m;
      if (std::regex_search(out, m, std::regex(R"(Pages:\s+(\d+))"))) return std::stoi(m[1]);
    }
  }
  std::string pdf = ReadFile(path);
  int n = 0;
  std::regex page(R"(/Type\s*/Page[^s])");
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), page); it != std::sregex_iterator();
       ++it)
    ++n;
  return n;
}

class QtPrint : public ::testing::Test {
 protected:
  QtPrint() {
    dir = test::TempDir(std::string("qt_print/") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    file = dir + "/gedruckt.pdf";
    setenv("PAGINOR_PRINT_TO_FILE", file.c_str(), 1);
  }
  ~QtPrint() override { unsetenv("PAGINOR_PRINT_TO_FILE"); }

  test::Fixture fx;
  std::string dir, file;
};

TEST_F(QtPrint, TheFilePrinterIsA600DpiA4Printer) {
  QtPrinter printer(*fx.host.fonts);
  EXPECT_TRUE(printer.available());
  EXPECT_EQ(printer.resolution(), 600);
  EXPECT_EQ(printer.printFile(), file);
  std::vector<PaperFormat> formats = printer.paperFormats();
  ASSERT_FALSE(formats.empty());
  EXPECT_EQ(formats[0].width, 2100);
  EXPECT_EQ(formats[0].height, 2970);
  PrintOffset off = printer.physicalOffset();
  EXPECT_GE(off.x, 0);
  EXPECT_GE(off.y, 0);
  EXPECT_EQ(printer.pageCanvas(), nullptr) << "no sheet outside a job";
}

TEST_F(QtPrint, AJobWritesOnePdfPagePerSheetAndReplacesTheOldFileOnlyAtTheEnd) {
  { std::ofstream(file) << "the earlier file"; }
  QtPrinter printer(*fx.host.fonts);
  ASSERT_TRUE(printer.beginJob("Scribolantium - test.sbl")) << printer.errorText();
  EXPECT_FALSE(printer.beginJob("twice"));
  EXPECT_EQ(printer.errorText(), "Es wird bereits gedruckt.");
  for (int sheet = 0; sheet < 3; ++sheet) {
    if (sheet > 0) {
      ASSERT_TRUE(printer.newPage()) << printer.errorText();
    }
    Canvas* c = printer.pageCanvas();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isPrinter());
    EXPECT_EQ(c->resolution(), 600);
    c->setBrush({BrushStyle::Solid, 0});
    c->fillRect({100, 100, 600, 200});
  }
  EXPECT_EQ(ReadFile(file), "the earlier file") << "still the old one while printing";
  ASSERT_TRUE(printer.endJob()) << printer.errorText();
  EXPECT_EQ(ReadFile(file).substr(0, 5), "%PDF-");
  EXPECT_EQ(PdfPages(file), 3);
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
  EXPECT_FALSE(printer.endJob());
  EXPECT_EQ(printer.errorText(), "Es wird nicht gedruckt.");
}

TEST_F(QtPrint, AnAbortedJobLeavesTheEarlierFile) {
  { std::ofstream(file) << "the earlier file"; }
  QtPrinter printer(*fx.host.fonts);
  ASSERT_TRUE(printer.beginJob("abgebrochen"));
  printer.pageCanvas()->fillRect({0, 0, 10, 10});
  printer.abortJob();
  EXPECT_EQ(ReadFile(file), "the earlier file");
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
  EXPECT_EQ(printer.pageCanvas(), nullptr);
}

TEST_F(QtPrint, AnUnwritableFileIsReportedInGerman) {
  setenv("PAGINOR_PRINT_TO_FILE", (dir + "/fehlt/gedruckt.pdf").c_str(), 1);
  QtPrinter printer(*fx.host.fonts);
  EXPECT_FALSE(printer.beginJob("x"));
  EXPECT_NE(printer.errorText().find("kann nicht angelegt werden"), std::string::npos)
      << printer.errorText();
}

TEST_F(QtPrint, ADocumentPrintsAllItsPagesIntoTheFile) {
  QtPrinter printer(*fx.host.fonts);
  fx.host.platform().printer = &printer;
  SetPrinterProps(fx.w());
  EXPECT_EQ(fx.w().measure.resolution, 600);
  Document& d = fx.doc();
  d.autoHyphenation = 0;
  d.fileName = "Rechnung.sbl";
  d.Cursor = {0, 0, 0};
  test::TypeText(fx.w(), "Erste Seite");
  d.fields[0].lines.back().endKind = kEndPageBreak;
  InsertNewLine(d, 0, 1).endKind = kEndParagraph;
  d.Cursor = {0, 1, 0};
  test::TypeText(fx.w(), "Zweite Seite");
  SetAllDirtyFlags(d);
  MakeSoftEnters(fx.w());
  ASSERT_EQ(GetAnzPages(d), 2);

  EXPECT_TRUE(FastPrinting(fx.w()));
  EXPECT_TRUE(fx.host.ui.messages.empty());
  EXPECT_EQ(PdfPages(file), 2);
  // The job title is the document title of the PDF (written as UTF-16).
  std::string title = "\xFE\xFF";
  for (char ch : std::string("Scribolantium - Rechnung.sbl")) title += std::string{'\0', ch};
  EXPECT_NE(ReadFile(file).find(title), std::string::npos);
  fx.host.platform().printer = &fx.host.printer;
}

TEST_F(QtPrint, WithoutAnyPrinterTheCommandSaysSo) {
  unsetenv("PAGINOR_PRINT_TO_FILE");
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a printer";
  QtPrinter printer(*fx.host.fonts);
  EXPECT_FALSE(printer.available());
  EXPECT_EQ(printer.resolution(), 600);
  EXPECT_TRUE(printer.paperFormats().empty());
  EXPECT_FALSE(printer.beginJob("x"));
  EXPECT_EQ(printer.errorText(), "Es ist kein Drucker installiert.");
  fx.host.platform().printer = &printer;
  EXPECT_FALSE(PrintOut(fx.w()));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text, kNoPrinter);
  fx.host.platform().printer = &fx.host.printer;
}

}  // namespace
}  // namespace paginor
