// A new document reads the template "normal.sbt": the user's own first, else the program's.
#include <filesystem>

#include <gtest/gtest.h>

#include "storage/document_equality.h"
#include "storage/new_document.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

class TestPaths : public Paths {
 public:
  std::string programDataDir() const override { return data; }
  std::string userDir() const override { return user; }
  std::string data;
  std::string user;
};

std::string bodyText(const Document& d) {
  std::string s;
  for (const LineRec& l : d.fields[0].lines)
    for (const CharRec& c : l.chars) s += static_cast<char>(c.ch);
  return s;
}

class NewDocumentTemplate : public ::testing::Test {
 protected:
  NewDocumentTemplate() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string dir = test::TempDir(std::string("template_") + info->name());
    paths.data = dir + "/daten";
    paths.user = dir + "/benutzer";
    std::filesystem::create_directories(paths.data);
    std::filesystem::create_directories(paths.user);
    fx.host.platform().paths = &paths;
    fx.host.ui.messages.clear();
  }

  // Writes a template whose body holds `text`.
  void writeTemplate(const std::string& dir, const std::string& text) {
    TMDIChild author(fx.app);
    (void)FormCreate(author);
    test::AddText(author, 0, 0, text);
    author.doc.zoomPercent = 50.0;
    ASSERT_TRUE(test::Shown(author, SaveSBLFile(author, dir + "/normal.sbt")));
  }

  test::Fixture fx;
  TestPaths paths;
};

TEST_F(NewDocumentTemplate, IsReadOverTheNewDocumentWhichStaysUnnamedAndUnmodified) {
  writeTemplate(paths.data, "Vorlage");
  fx.host.ui.statusHistory.clear();
  TMDIChild w(fx.app);
  test::Shown(w, CreateNewDocument(w));
  EXPECT_EQ(bodyText(w.doc), "Vorlage");
  EXPECT_DOUBLE_EQ(w.doc.zoomPercent, 50.0);
  EXPECT_TRUE(w.doc.fileName.empty());
  EXPECT_TRUE(w.doc.filePath.empty());
  EXPECT_EQ(w.doc.modified, 0);
  EXPECT_EQ(w.caption, "");
  EXPECT_TRUE(fx.host.ui.messages.empty());
  EXPECT_EQ(fx.host.ui.statusHistory, (std::vector<std::string>{"\xc3\x96"
                                                                "ffne Datei...",
                                                                ""}));
}

TEST_F(NewDocumentTemplate, TheUsersOwnTemplateTakesPrecedence) {
  writeTemplate(paths.data, "Programm");
  writeTemplate(paths.user, "Eigene");
  TMDIChild mine(fx.app);
  test::Shown(mine, CreateNewDocument(mine));
  EXPECT_EQ(bodyText(mine.doc), "Eigene");

  std::filesystem::remove(paths.user + "/normal.sbt");
  TMDIChild shared(fx.app);
  test::Shown(shared, CreateNewDocument(shared));
  EXPECT_EQ(bodyText(shared.doc), "Programm");
}

TEST_F(NewDocumentTemplate, AMissingOrDamagedTemplateLeavesTheBuiltInDocument) {
  TMDIChild w(fx.app);
  test::Shown(w, CreateNewDocument(w));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Konnte Datei normal.sbt nicht \xc3\xb6"
            "ffnen! Die Datei existiert nicht.");
  EXPECT_TRUE(test::StoredContentEqual(fx.doc(), w.doc)) << "the document of FormCreate";

  std::vector<uint8_t> damaged = SerializeSBL(fx.doc());
  damaged.resize(damaged.size() - 1);
  test::WriteBytes(paths.data + "/normal.sbt", damaged);
  TMDIChild w2(fx.app);
  test::Shown(w2, CreateNewDocument(w2));
  ASSERT_EQ(fx.host.ui.messages.size(), 2u);
  EXPECT_EQ(fx.host.ui.messages[1].text,
            "Die Datei normal.sbt ist besch\xc3\xa4"
            "digt und kann nicht gelesen werden!");
  EXPECT_TRUE(test::StoredContentEqual(fx.doc(), w2.doc));
  EXPECT_TRUE(w2.doc.fileName.empty());
}

// The template the build puts beside the program is the built-in new document, as our own
// writer writes it.
TEST(BuiltTemplate, IsTheNewDocumentWrittenByTheWriter) {
  test::Fixture fx;
  TestPaths paths;
  paths.data = fx.app.paths().programDataDir();
  paths.user = test::TempDir("template_built_user");  // no template of the user's own
  fx.host.platform().paths = &paths;
  const std::string path = paths.data + "/normal.sbt";
  const std::vector<uint8_t> file = test::ReadBytes(path);
  ASSERT_FALSE(file.empty()) << path;
  EXPECT_EQ(file, SerializeSBL(fx.doc()));
  TMDIChild w(fx.app);
  test::Shown(w, CreateNewDocument(w));
  EXPECT_TRUE(fx.host.ui.messages.empty());
  EXPECT_TRUE(test::StoredContentEqual(fx.doc(), w.doc));
}

}  // namespace
}  // namespace paginor
