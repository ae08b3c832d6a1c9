// Data files read whole: the bytes as the file holds them, nothing for what is no readable
// regular file within the limit, and bytes that outlive a file replaced afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_bytes.h"
#include "support/test_support.h"

namespace paginor {
namespace {

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

TEST(FileBytes, ReadsRegularFilesWithinTheLimitOnly) {
  const std::string dir = test::TempDir("file_bytes");
  std::string content(300000, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 251);
  writeFile(dir + "/a.bin", content);
  auto bytes = FileBytes::read(dir + "/a.bin", content.size());
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->view(), content);

  EXPECT_FALSE(FileBytes::read(dir + "/a.bin", content.size() - 1)) << "over the limit";
  EXPECT_FALSE(FileBytes::read(dir + "/fehlt.bin", 1000));
  EXPECT_FALSE(FileBytes::read(dir, 1 << 20)) << "a folder";

  writeFile(dir + "/leer.bin", "");
  auto empty = FileBytes::read(dir + "/leer.bin", 10);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->view().empty());

  // The bytes are a copy: cutting the file afterwards leaves them whole.
  writeFile(dir + "/a.bin", "x");
  EXPECT_EQ(bytes->view(), content);
}

}  // namespace
}  // namespace paginor
