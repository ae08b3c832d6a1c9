// The example document of the repository must stay what its generator makes, so that remaking
// it (tools/make_example/make_example.sh) changes nothing unless the generator changed. With
// PAGINOR_WRITE_EXAMPLE set, the example is built anew and written to that path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/queries.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"
#include "view/example_document.h"

namespace paginor::test {
namespace {

// What a field holds, independent of where the lines break: its kind, place and text.
std::string Outline(const FieldRec& f) {
  std::string s = std::to_string(f.type) + " p" + std::to_string(f.page) + " s" +
                  std::to_string(f.showOn) + " " + std::to_string(f.left) + "," +
                  std::to_string(f.top) + "," + std::to_string(f.right) + "," +
                  std::to_string(f.bottom) + ":";
  for (const LineRec& l : f.lines)
    for (const CharRec& c : l.chars)
      s += c.kind == kCharText ? std::string(1, static_cast<char>(c.ch))
                               : "<" + std::to_string(c.kind) + std::string(c.text()) + ">";
  return s;
}

TEST(ExampleDocument, BuildsTheCommittedExample) {
  Fixture built;
  BuildExampleDocument(built.w());
  EXPECT_EQ(GetAnzPages(built.doc()), 2);
  if (const char* target = std::getenv("PAGINOR_WRITE_EXAMPLE")) {
    ASSERT_TRUE(test::Shown(built.w(), SaveSBLFile(built.w(), target, FileBinding::Detached)));
  }

  Fixture read;
  const std::string path = read.host.paths.programDataDir() + "/examples/beispiel.sbl";
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  ASSERT_TRUE(test::Shown(read.w(), OpenSBLFile(read.w(), path)));
  const Document& a = built.doc();
  const Document& b = read.doc();
  ASSERT_EQ(a.fieldCount(), b.fieldCount());
  for (int32_t i = 0; i < a.fieldCount(); ++i)
    EXPECT_EQ(Outline(a.fields[i]), Outline(b.fields[i])) << "field " << i;
  EXPECT_EQ(a.fonts, b.fonts);
  EXPECT_EQ(a.pictureCount(), b.pictureCount());
}

}  // namespace
}  // namespace paginor::test
