// The round-trip contract of the native format: whatever the reader accepts, opened as the program
// opens it and saved, gives a file the reader accepts again with the same content, and that file
// opens and saves in turn. Every input that once broke it is kept in sbl_regressions/ and named
// after what it broke.
#include <algorithm>
#include <cctype>
#include <filesystem>

#include <gtest/gtest.h>

#include "output/settle.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "storage/sbl_layout.h"
#include "support/test_support.h"

namespace paginor {
namespace {

namespace fs = std::filesystem;

// Opens the image in the window as the program opens a file; the image of what it then holds.
::testing::AssertionResult openAndSave(TMDIChild& w, const std::vector<uint8_t>& image,
                                       std::vector<uint8_t>& saved) {
  if (!test::Shown(w, OpenSBLData(w, image, "eingabe.sbl"))) return ::testing::AssertionFailure() << "not opened";
  SettleLayout(w);
  saved = SerializeSBL(w.doc);
  return ::testing::AssertionSuccess();
}

// Checks the contract for one input the reader accepts.
void expectContract(test::Fixture& fx, const std::vector<uint8_t>& input) {
  Document parsed;
  ASSERT_TRUE(ParseSBL(fx.w(), input.data(), input.size(), parsed)) << "the input is accepted";
  std::vector<uint8_t> saved;
  ASSERT_TRUE(openAndSave(fx.w(), input, saved));
  Document back;
  const Result r = ParseSBL(fx.w(), saved.data(), saved.size(), back);
  ASSERT_TRUE(r) << "the saved file is refused: " << (r ? std::string() : r.failure().detail + " at " + std::to_string(*r.failure().offset));
  // The same content: read back, it writes the same bytes (the widths of letters and tabs are
  // not stored but measured and laid out again, so they are no part of it).
  EXPECT_EQ(SerializeSBL(back), saved);
  std::vector<uint8_t> savedAgain;
  ASSERT_TRUE(openAndSave(fx.w(), saved, savedAgain));
  Document third;
  EXPECT_TRUE(ParseSBL(fx.w(), savedAgain.data(), savedAgain.size(), third));
}

// Where field `index`'s record begins in the document's file image: the image of the document
// cut before that field is as long, as the field count is a number of fixed size.
size_t fieldRecordOffset(const Document& d, int32_t index) {
  Document cut = d;
  cut.fields.resize(static_cast<size_t>(index));
  return SerializeSBL(cut).size();
}

TEST(SblContract, AFootnoteNumberOnAFixedFooterIsDropped) {
  // A footer with a footnote number looks like a footnote area no reference points to, which
  // the layout removes; the document saved then had six fields and was refused.
  test::Fixture fx;
  const std::vector<uint8_t> image = SerializeSBL(fx.doc());
  for (int32_t footer : {2, 4, 6}) {
    ASSERT_EQ(fx.doc().fields[static_cast<size_t>(footer)].type, kFieldFooter);
    std::vector<uint8_t> damaged = image;
    const size_t at = fieldRecordOffset(fx.doc(), footer) + sbl::field::kFootnoteNo;
    test::StoreI32(damaged, at, 1 + footer);
    Document d;
    ASSERT_TRUE(ParseSBL(fx.w(), damaged.data(), damaged.size(), d));
    EXPECT_EQ(d.fields[static_cast<size_t>(footer)].footnoteNo, 0) << "footer " << footer;
    expectContract(fx, damaged);
    EXPECT_EQ(fx.doc().fieldCount(), 7) << "footer " << footer;
  }
}

TEST(SblContract, AChainLinkIntoAFixedFieldIsDropped) {
  // A header chained behind the page body would be taken for its continuation and removed once
  // the body's text no longer reaches it.
  test::Fixture fx;
  Document d = fx.doc();
  d.fields[0].nextField = 1;
  d.fields[1].prevField = 0;
  const std::vector<uint8_t> damaged = SerializeSBL(d);
  Document parsed;
  ASSERT_TRUE(ParseSBL(fx.w(), damaged.data(), damaged.size(), parsed));
  EXPECT_EQ(parsed.fields[0].nextField, -1);
  EXPECT_EQ(parsed.fields[1].prevField, -1);
  expectContract(fx, damaged);
  EXPECT_EQ(fx.doc().fieldCount(), 7);
}

TEST(SblContract, TheRichSampleDocumentKeepsIt) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  expectContract(fx, SerializeSBL(fx.doc()));
}

// --- Inputs the fuzz target found -------------------------------------------------------------

fs::path regressionDir() {
  return fs::path(__FILE__).parent_path() / "sbl_regressions";
}

std::vector<std::string> regressionNames() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(regressionDir(), ec))
    if (e.path().extension() == ".sbl") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class SblRegression : public ::testing::TestWithParam<std::string> {};

TEST_P(SblRegression, KeepsTheContract) {
  test::Fixture fx;
  const std::vector<uint8_t> input =
      test::ReadBytes((regressionDir() / (GetParam() + ".sbl")).string());
  ASSERT_FALSE(input.empty());
  expectContract(fx, input);
}

INSTANTIATE_TEST_SUITE_P(Found, SblRegression, ::testing::ValuesIn(regressionNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SblRegression);

}  // namespace
}  // namespace paginor
