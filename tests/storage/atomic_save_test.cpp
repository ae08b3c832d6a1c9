// Saving never destroys the previous file: whatever fails, the old file stays byte for byte and
// no temporary file is left behind.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "storage/atomic_file.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "storage/text_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

namespace fs = std::filesystem;

std::string testDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return test::TempDir(std::string("atomic_") + info->name());
}

std::vector<std::string> entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

const std::vector<uint8_t> kOld = {'a', 'l', 't', 0, 1, 2, 3};

// Limits the size of files this process writes, so that writing fails halfway, as on a full
// disk; the limit is lifted again at the end of the scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit lim = saved_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  sighandler_t previous_;
};

TEST(AtomicSave, AWriteErrorLeavesTheOldFileAndNoTemporaryFile) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  const std::string dir = testDir();
  const std::string path = dir + "/voll.sbl";
  test::WriteBytes(path, kOld);
  {
    FileSizeLimit limit(1000);
    EXPECT_FALSE(SaveSBLFile(fx.w(), path));
  }
  EXPECT_EQ(test::ReadBytes(path), kOld);
  EXPECT_EQ(entries(dir), std::vector<std::string>{"voll.sbl"});
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text, "Konnte Datei voll.sbl nicht schreiben!");
  EXPECT_EQ(fx.host.ui.status[3], "") << "the progress text is cleared";
  EXPECT_TRUE(fx.doc().filePath.empty()) << "a failed save does not take the name";

  {
    FileSizeLimit limit(50);  // the document's text is longer
    EXPECT_FALSE(SaveTXTFile(fx.w(), path, false));
  }
  EXPECT_EQ(test::ReadBytes(path), kOld);
}

TEST(AtomicSave, AMissingDirectoryIsReported) {
  test::Fixture fx;
  const std::string dir = testDir();
  EXPECT_FALSE(SaveSBLFile(fx.w(), dir + "/fehlt/neu.sbl"));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text, "Konnte Datei neu.sbl nicht erstellen!");
  EXPECT_TRUE(entries(dir).empty());
}

TEST(AtomicSave, ADirectoryInTheWayIsNotReplaced) {
  test::Fixture fx;
  const std::string dir = testDir();
  fs::create_directory(dir + "/ordner.sbl");
  test::WriteBytes(dir + "/ordner.sbl/inhalt", kOld);
  EXPECT_FALSE(SaveSBLFile(fx.w(), dir + "/ordner.sbl"));
  EXPECT_EQ(fx.host.ui.messages.at(0).text, "Konnte Datei ordner.sbl nicht erstellen!");
  EXPECT_EQ(test::ReadBytes(dir + "/ordner.sbl/inhalt"), kOld);
  EXPECT_EQ(entries(dir), std::vector<std::string>{"ordner.sbl"});
}

TEST(AtomicSave, ReadOnlyDirectoriesAndFilesKeepTheOldFile) {
  test::Fixture fx;
  const std::string dir = testDir();
  const std::string path = dir + "/alt.sbl";
  test::WriteBytes(path, kOld);
  chmod(path.c_str(), 0444);
  if (access(path.c_str(), W_OK) == 0) {
    chmod(path.c_str(), 0644);
    GTEST_SKIP() << "this user may write read-only files and directories";
  }
  EXPECT_FALSE(SaveSBLFile(fx.w(), path));
  EXPECT_EQ(fx.host.ui.messages.at(0).text, "Konnte Datei alt.sbl nicht erstellen!");
  EXPECT_EQ(test::ReadBytes(path), kOld);

  chmod(path.c_str(), 0644);
  chmod(dir.c_str(), 0555);
  EXPECT_FALSE(SaveSBLFile(fx.w(), path));
  chmod(dir.c_str(), 0755);
  EXPECT_EQ(fx.host.ui.messages.at(1).text, "Konnte Datei alt.sbl nicht erstellen!");
  EXPECT_EQ(test::ReadBytes(path), kOld);
  EXPECT_EQ(entries(dir), std::vector<std::string>{"alt.sbl"});
}

TEST(AtomicSave, ReplacingKeepsPermissionsAndFollowsLinks) {
  test::Fixture fx;
  const std::string dir = testDir();
  const std::string path = dir + "/rechte.sbl";
  test::WriteBytes(path, kOld);
  chmod(path.c_str(), 0640);
  fs::create_symlink("rechte.sbl", dir + "/verweis.sbl");

  ASSERT_TRUE(SaveSBLFile(fx.w(), dir + "/verweis.sbl"));
  EXPECT_TRUE(fs::is_symlink(dir + "/verweis.sbl")) << "the link stays a link";
  EXPECT_EQ(test::ReadBytes(path), SerializeSBL(fx.doc()));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(entries(dir), (std::vector<std::string>{"rechte.sbl", "verweis.sbl"}));
}

TEST(AtomicFileTest, UncommittedFilesVanish) {
  const std::string dir = testDir();
  const std::string path = dir + "/ziel.bin";
  test::WriteBytes(path, kOld);
  {
    AtomicFile f;
    ASSERT_EQ(f.open(path), WriteError::None);
    ASSERT_TRUE(f.write("neu"));
    EXPECT_TRUE(fs::exists(f.temporaryPath()));
    EXPECT_EQ(test::ReadBytes(path), kOld) << "nothing replaced before the commit";
  }
  EXPECT_EQ(entries(dir), std::vector<std::string>{"ziel.bin"});
  EXPECT_EQ(test::ReadBytes(path), kOld);

  // Large writes bypass the buffer and still arrive in order.
  std::vector<uint8_t> big(3u << 20);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 31 + (i >> 12));
  AtomicFile f;
  ASSERT_EQ(f.open(path), WriteError::None);
  ASSERT_TRUE(f.write("kopf"));
  ASSERT_TRUE(f.write(big.data(), big.size()));
  ASSERT_EQ(f.commit(), WriteError::None);
  std::vector<uint8_t> expect = {'k', 'o', 'p', 'f'};
  expect.insert(expect.end(), big.begin(), big.end());
  EXPECT_EQ(test::ReadBytes(path), expect);
}

}  // namespace
}  // namespace paginor
