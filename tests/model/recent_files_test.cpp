// The recent-file list of the File menu: order, limits and the shortened captions.
#include <gtest/gtest.h>

#include "model/recent_files.h"

namespace paginor {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, AddingMovesAPathToTheTopOnce) {
  RecentFiles r;
  r.add("/a.sbl");
  r.add("/b.sbl");
  r.add("/a.sbl");
  r.add("/a.sbl");
  EXPECT_EQ(r.entries(), (Paths{"/a.sbl", "/b.sbl"}));
  // Exact comparison: another letter case is another file.
  r.add("/A.sbl");
  EXPECT_EQ(r.entries(), (Paths{"/A.sbl", "/a.sbl", "/b.sbl"}));
}

TEST(RecentFiles, TheFifthFileDropsTheOldest) {
  RecentFiles r;
  EXPECT_EQ(r.maximum(), 4);
  for (const char* p : {"/1", "/2", "/3", "/4", "/5"}) r.add(p);
  EXPECT_EQ(r.entries(), (Paths{"/5", "/4", "/3", "/2"}));
  r.setMaximum(0);
  r.add("/6");
  EXPECT_TRUE(r.entries().empty());
}

TEST(RecentFiles, TheMenuCutsALoweredMaximumFromTheFront) {
  RecentFiles r;
  for (const char* p : {"/1", "/2", "/3", "/4"}) r.add(p);
  r.setMaximum(2);
  EXPECT_EQ(r.entries().size(), 4u);  // unchanged until the menu is built
  EXPECT_EQ(r.menuCaptions(), (Paths{"&1 /2", "&2 /1"}));
  EXPECT_EQ(r.entries(), (Paths{"/2", "/1"}));
  r.setMaximum(-5);
  EXPECT_EQ(r.maximum(), 0);
  EXPECT_TRUE(r.menuCaptions().empty());
}

TEST(RecentFiles, LongPathsAreShortenedToTheirNameOrItsStart) {
  // Up to 25 characters the path is shown as it is.
  EXPECT_EQ(ShortenRecentPath("/home/anna/brief1234.sbl"), "/home/anna/brief1234.sbl");
  EXPECT_EQ(ShortenRecentPath("/home/anna/brief12345.sbl"), "/home/anna/brief12345.sbl");
  // Longer: the file name.
  EXPECT_EQ(ShortenRecentPath("/home/anna/briefe/2024/brief123456.sbl"), "brief123456.sbl");
  // A 40-character path whose file name has 30 characters: 24 characters and "...".
  const std::string name = "abcdefghijklmnopqrstuvwxyz.sbl";
  const std::string path = "/home/ann/" + name;
  ASSERT_EQ(name.size(), 30u);
  ASSERT_EQ(path.size(), 40u);
  EXPECT_EQ(ShortenRecentPath(path), "abcdefghijklmnopqrstuvwx...");
  // A name of exactly 25 characters is kept whole.
  EXPECT_EQ(ShortenRecentPath("/home/anna/" + std::string(25, 'n')), std::string(25, 'n'));
  // Umlauts count as one character each and are never cut in half.
  const std::string umlauts = "/home/anna/" + std::string(20, 'x') + "äöüßé.txt";
  EXPECT_EQ(ShortenRecentPath(umlauts), std::string(20, 'x') + "äöüß...");
}

TEST(RecentFiles, MenuCaptionsAreNumberedFromOne) {
  RecentFiles r;
  r.add("/kurz.sbl");
  r.add("/home/anna/ein/langer/pfad/zum/brief.sbl");
  EXPECT_EQ(r.menuCaptions(), (Paths{"&1 brief.sbl", "&2 /kurz.sbl"}));
}

}  // namespace
}  // namespace paginor
