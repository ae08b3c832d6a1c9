// Opening lays a document out as it is shown, text flowing around its objects included: a file
// opened and saved, then opened and saved again, has the same bytes, through the desktop
// program's open and save and through paginor-cli.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <memory>

#include "app/document_files.h"
#include "layout/layout.h"
#include "model/primitives.h"
#include "output/settle.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

std::string ExamplePath() {
  const char* data = std::getenv("PAGINOR_DATA_DIR");
  return std::string(data ? data : ".") + "/examples/beispiel.sbl";
}

class OpenFixedPoint : public ::testing::Test {
 protected:
  OpenFixedPoint() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = test::TempDir(std::string("fixed_") + info->name());
  }
  // Opens `from` in a new window as the desktop program does and saves it as `to`.
  void openAndSave(const std::string& from, const std::string& to) {
    auto w = std::make_unique<TMDIChild>(fx.app);
    int32_t type = kOpenByExtension;
    ASSERT_TRUE(StartFileDocument(*w, settings, from, type));
    w->doc.filePath = to;
    ASSERT_TRUE(SaveFile(*w, settings, SaveTypeAfterOpen(type)));
  }
  bool sameBytes(const std::string& a, const std::string& b) {
    return test::ReadBytes(dir + "/" + a) == test::ReadBytes(dir + "/" + b);
  }

  test::Fixture fx;
  AppSettings settings;
  std::string dir;
};

TEST_F(OpenFixedPoint, TheExampleOpenedAndSavedTwiceKeepsItsBytes) {
  openAndSave(ExamplePath(), dir + "/a.sbl");
  openAndSave(dir + "/a.sbl", dir + "/b.sbl");
  openAndSave(dir + "/b.sbl", dir + "/c.sbl");
  EXPECT_TRUE(sameBytes("a.sbl", "b.sbl"));
  EXPECT_TRUE(sameBytes("b.sbl", "c.sbl"));
}

// Footnotes, a column section, a table, linked text boxes the text flows around: saved from the
// window after its paints settled the layout, the file opens into that same layout.
TEST_F(OpenFixedPoint, ARichDocumentSavedAfterSettlingOpensIntoTheSameLayout) {
  test::BuildRichDocument(fx.w());
  SetAllDirtyFlags(fx.doc());
  MakeSoftEnters(fx.w());
  // Its text boxes stand where the flow around them never agrees with itself: settling stops
  // after its passes with the layout they reached, the same one on every open.
  SettleLayout(fx.w());
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/a.sbl")));
  openAndSave(dir + "/a.sbl", dir + "/b.sbl");
  openAndSave(dir + "/b.sbl", dir + "/c.sbl");
  EXPECT_TRUE(sameBytes("a.sbl", "b.sbl"));
  EXPECT_TRUE(sameBytes("b.sbl", "c.sbl"));
}

TEST_F(OpenFixedPoint, PaginorCliConvertsTheExampleIntoAFixedPoint) {
  auto convert = [&](const std::string& from, const std::string& to) {
    const std::string cmd = std::string("'") + PAGINOR_CLI + "' convert '" + from + "' '" + to +
                            "' 2>'" + dir + "/stderr'";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  };
  ASSERT_TRUE(convert(ExamplePath(), dir + "/a.sbl"));
  ASSERT_TRUE(convert(dir + "/a.sbl", dir + "/b.sbl"));
  ASSERT_TRUE(convert(dir + "/b.sbl", dir + "/c.sbl"));
  EXPECT_TRUE(sameBytes("a.sbl", "b.sbl"));
  EXPECT_TRUE(sameBytes("b.sbl", "c.sbl"));
  // The desktop program's open and save writes the same file.
  openAndSave(dir + "/a.sbl", dir + "/gui.sbl");
  EXPECT_TRUE(sameBytes("a.sbl", "gui.sbl"));
}

}  // namespace
}  // namespace paginor
