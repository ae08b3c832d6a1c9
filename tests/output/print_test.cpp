// Printing onto the headless printer: one job per document with its title, one sheet per page,
// the physical offsets, and the German messages when there is no printer or a sheet is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "layout/layout.h"
#include "layout/measure.h"
#include "model/dump_json.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "output/pdf_export.h"
#include "output/pdf_test_util.h"
#include "output/print.h"
#include "platform/cp1252.h"
#include "storage/new_document.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

using Op = RecordingCanvas::Op;

class Print : public ::testing::Test {
 protected:
  Print() {
    printer().installed = true;
    printer().fonts = fx.host.fonts.get();
    fx.doc().autoHyphenation = 0;
    fx.doc().fileName = "Brief.sbl";
  }
  HeadlessPrinter& printer() { return fx.host.printer; }
  TMDIChild& w() { return fx.w(); }

  // `pages` pages in the body, page p holding the text "Seite p" (1-based).
  void Pages(int pages) {
    Document& d = fx.doc();
    for (int p = 1; p <= pages; ++p) {
      d.Cursor = {0, d.fields[0].lineCount() - 1, 0};
      test::TypeText(w(), "Seite " + std::to_string(p));
      LineRec& line = d.fields[0].lines.back();
      line.endKind = kEndParagraph;
      line.dirty = 1;
      if (p < pages) {
        line.endKind = kEndPageBreak;
        InsertNewLine(d, 0, d.fields[0].lineCount()).endKind = kEndParagraph;
      }
    }
    SetAllDirtyFlags(d);
    MakeSoftEnters(w());
  }

  static std::vector<RecordingCanvas::Item> Texts(const RecordingCanvas& sheet) {
    std::vector<RecordingCanvas::Item> out;
    for (const auto& item : sheet.items)
      if (item.op == Op::Text) out.push_back(item);
    return out;
  }
  static std::string AllText(const RecordingCanvas& sheet) {
    std::string out;
    for (const auto& item : Texts(sheet)) out += item.text;
    return out;
  }

  test::Fixture fx;
};

TEST_F(Print, OneJobWithTheTitleAndOneSheetPerPageInOrder) {
  Pages(3);
  ASSERT_EQ(GetAnzPages(fx.doc()), 3);
  PrintResult r = PrintDocument(w());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.pages, 3);
  ASSERT_EQ(printer().jobs.size(), 1u);
  const HeadlessPrinter::Job& job = printer().jobs[0];
  EXPECT_EQ(job.title, "Scribolantium - Brief.sbl");
  EXPECT_TRUE(job.ended);
  EXPECT_FALSE(job.aborted);
  ASSERT_EQ(job.sheets.size(), 3u);
  for (int p = 0; p < 3; ++p) {
    const std::string text = AllText(*job.sheets[p]);
    EXPECT_NE(text.find("Seite " + std::to_string(p + 1)), std::string::npos)
        << "sheet " << p << ": " << text;
    for (int other = 1; other <= 3; ++other) {
      if (other != p + 1) {
        EXPECT_EQ(text.find("Seite " + std::to_string(other)), std::string::npos);
      }
    }
  }
}

TEST_F(Print, PagesWithEmptyBodiesStillPrintOneSheetEach) {
  Document& d = fx.doc();
  d.fields[0].lines.back().endKind = kEndPageBreak;
  InsertNewLine(d, 0, d.fields[0].lineCount()).endKind = kEndParagraph;
  SetAllDirtyFlags(d);
  MakeSoftEnters(w());
  ASSERT_EQ(GetAnzPages(d), 2);
  ASSERT_TRUE(PrintDocument(w()).ok);
  ASSERT_EQ(printer().jobs.size(), 1u);
  EXPECT_EQ(printer().jobs[0].sheets.size(), 2u);
}

TEST_F(Print, PhysicalOffsetsMoveThePageToTheSheetCorner) {
  Pages(2);
  ASSERT_TRUE(PrintDocument(w()).ok);
  printer().offset = {118, 95};
  ASSERT_TRUE(PrintDocument(w()).ok);
  ASSERT_EQ(printer().jobs.size(), 2u);
  for (size_t s = 0; s < 2; ++s) {
    const auto plain = printer().jobs[0].sheets[s]->items;
    const auto moved = printer().jobs[1].sheets[s]->items;
    ASSERT_EQ(plain.size(), moved.size());
    ASSERT_FALSE(Texts(*printer().jobs[0].sheets[s]).empty());
    for (size_t i = 0; i < plain.size(); ++i) {
      if (plain[i].op == Op::Unclip) continue;
      EXPECT_EQ(moved[i].rect.left, plain[i].rect.left - 118) << "sheet " << s << " item " << i;
      EXPECT_EQ(moved[i].rect.top, plain[i].rect.top - 95) << "sheet " << s << " item " << i;
    }
  }
}

TEST_F(Print, WithoutAPrinterNothingIsStartedAndTheUserIsTold) {
  printer().installed = false;
  Pages(1);
  PrintResult r = PrintDocument(w());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, kNoPrinter);
  EXPECT_TRUE(printer().jobs.empty());
  EXPECT_TRUE(fx.host.ui.messages.empty()) << "PrintDocument itself shows nothing";

  EXPECT_FALSE(FastPrinting(w()));
  EXPECT_FALSE(PrintOut(w()));
  ASSERT_EQ(fx.host.ui.messages.size(), 2u);
  for (const auto& m : fx.host.ui.messages) {
    EXPECT_EQ(m.text, kNoPrinter);
    EXPECT_EQ(m.icon, MsgIcon::Error);
  }
  EXPECT_TRUE(printer().jobs.empty());
}

TEST_F(Print, ARefusedSheetAbortsTheJobWithTheReason) {
  Pages(3);
  printer().failAtSheet = 2;
  PrintResult r = PrintDocument(w());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.pages, 1);
  EXPECT_EQ(r.error, std::string(kPrintFailed) + "Der Drucker hat die Seite nicht angenommen.");
  ASSERT_EQ(printer().jobs.size(), 1u);
  EXPECT_TRUE(printer().jobs[0].aborted);
  EXPECT_FALSE(printer().jobs[0].ended);

  // The next job starts cleanly, and the command shows the failure.
  printer().failAtSheet = 0;
  EXPECT_TRUE(PrintOut(w()));
  EXPECT_TRUE(printer().jobs.back().ended);
  printer().failAtSheet = 1;
  EXPECT_FALSE(FastPrinting(w()));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_NE(fx.host.ui.messages[0].text.find("nicht gedruckt"), std::string::npos);
}

// Text flowing around a text box: the printer draws the layout the PDF export writes (the same
// line breaks, the same text), and no text runs past the sheet's right edge.
TEST_F(Print, PrintAndPdfExportBreakTextAroundAnObjectAlike) {
  if (!pdftest::ToolAvailable("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  const char* data = std::getenv("PAGINOR_DATA_DIR");
  ASSERT_NE(data, nullptr);
  const std::string example = std::string(data) + "/examples/beispiel.sbl";
  ASSERT_TRUE(test::Shown(w(), OpenSBLFile(w(), example)));
  ASSERT_TRUE(PrintDocument(w()).ok);
  ASSERT_EQ(printer().jobs.size(), 1u);
  const auto& sheets = printer().jobs[0].sheets;
  ASSERT_GE(sheets.size(), 2u);

  auto other = std::make_unique<TMDIChild>(fx.app);
  (void)FormCreate(*other);
  ASSERT_TRUE(test::Shown(*other, OpenSBLFile(*other, example)));
  const std::string pdf = test::TempDir("print-vs-pdf") + "/beispiel.pdf";
  ASSERT_TRUE(test::Shown(*other, SavePDFFile(*other, pdf)));
  const std::string printedLayout = DumpDocumentJson(fx.doc());
  const std::string exportedLayout = DumpDocumentJson(other->doc);
  const auto split = std::mismatch(printedLayout.begin(), printedLayout.end(),
                                   exportedLayout.begin(), exportedLayout.end());
  EXPECT_TRUE(split.first == printedLayout.end() && split.second == exportedLayout.end())
      << "printing and exporting settle on the same layout; they part at "
      << std::string(split.first, printedLayout.end()).substr(0, 200);

  const double sheetWidth = fx.doc().pageWidth / kMmPerInch * printer().dpi;
  for (size_t page = 0; page < sheets.size(); ++page) {
    const std::string number = std::to_string(page + 1);
    std::string exported = pdftest::RunTool("pdftotext -raw -enc UTF-8 -f " + number + " -l " +
                                            number + " " + pdftest::Quote(pdf) + " -")
                               .output;
    std::string printed;
    for (const auto& item : sheets[page]->items) {
      if (item.op != Op::Text) continue;
      printed += cp1252ToUtf8(item.text);
      EXPECT_LT(item.rect.left, sheetWidth) << item.text << " on page " << number;
    }
    // Letters and digits only: symbol-font bullets and the count of leader dots depend on the
    // device, the words do not.
    auto squeeze = [](std::string t) {
      t.erase(std::remove_if(t.begin(), t.end(),
                             [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }),
              t.end());
      return t;
    };
    EXPECT_EQ(squeeze(printed), squeeze(exported)) << "page " << number;
  }
}

}  // namespace
}  // namespace paginor
