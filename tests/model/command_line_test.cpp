// The program's arguments: files in order, "/P" prints the files after it.
#include <gtest/gtest.h>

#include "model/command_line.h"

namespace paginor {
namespace {

TEST(CommandLine, PrintSwitchAppliesToTheFilesAfterIt) {
  const StartPlan plan = PlanStart({"a.sbl", "/P", "b.sbl", "c.txt"});
  EXPECT_FALSE(plan.newDocument);
  ASSERT_EQ(plan.files.size(), 3u);
  EXPECT_EQ(plan.files[0].path, "a.sbl");
  EXPECT_FALSE(plan.files[0].print);
  EXPECT_EQ(plan.files[1].path, "b.sbl");
  EXPECT_TRUE(plan.files[1].print);
  EXPECT_EQ(plan.files[2].path, "c.txt");
  EXPECT_TRUE(plan.files[2].print);
}

TEST(CommandLine, SwitchInAnyLetterCaseAndOnlyExactly) {
  const StartPlan plan = PlanStart({"/p", "x.sbl", "/P", "/PX", "-p"});
  ASSERT_EQ(plan.files.size(), 3u);
  EXPECT_EQ(plan.files[0].path, "x.sbl");
  EXPECT_TRUE(plan.files[0].print);
  // Anything but the two letters is a file name.
  EXPECT_EQ(plan.files[1].path, "/PX");
  EXPECT_EQ(plan.files[2].path, "-p");
}

TEST(CommandLine, NoArgumentsMeansOneNewDocument) {
  EXPECT_TRUE(PlanStart({}).newDocument);
  EXPECT_TRUE(PlanStart({}).files.empty());
  // A lone switch is an argument: no file and no new document.
  const StartPlan onlySwitch = PlanStart({"/P"});
  EXPECT_FALSE(onlySwitch.newDocument);
  EXPECT_TRUE(onlySwitch.files.empty());
}

}  // namespace
}  // namespace paginor
