// The growable record array: growth in whole steps, insertion, iteration and the bound variable.
#include <gtest/gtest.h>

#include <cstdint>

#include "model/dyna_array.h"
#include "platform/headless.h"

namespace paginor {
namespace {

struct Rec {
  int32_t a;
  int32_t b;
};

TEST(DynaArray, GrowsInWholeStepsAndKeepsTheRecords) {
  TDynaArray arr(sizeof(Rec));
  EXPECT_EQ(arr.Count, 0);
  EXPECT_EQ(arr.Position, -1);
  EXPECT_EQ(arr.capacity(), 0);
  for (int i = 0; i < 100; ++i) {
    Rec* r = static_cast<Rec*>(arr.Add());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->a, 0) << "new records are zero-filled";
    r->a = i;
  }
  EXPECT_EQ(arr.capacity(), 800);
  ASSERT_NE(arr.Add(), nullptr);
  EXPECT_EQ(arr.capacity(), 1600);
  EXPECT_EQ(arr.Count, 101);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(arr.at<Rec>(i)->a, i);
  EXPECT_EQ(arr.Position, 100);
}

TEST(DynaArray, InsertAcceptsOnlyIndexesUpToCount) {
  TDynaArray arr(sizeof(Rec));
  for (int i = 0; i < 3; ++i) static_cast<Rec*>(arr.Add())->a = i + 1;
  EXPECT_EQ(arr.Insert(-1), nullptr);
  EXPECT_EQ(arr.Insert(4), nullptr);
  EXPECT_EQ(arr.Count, 3);
  Rec* mid = static_cast<Rec*>(arr.Insert(1));
  ASSERT_NE(mid, nullptr);
  EXPECT_EQ(mid->a, 0);
  EXPECT_EQ(arr.Position, 1);
  Rec* end = static_cast<Rec*>(arr.Insert(arr.Count));
  ASSERT_NE(end, nullptr);
  end->a = 9;
  int expect[] = {1, 0, 2, 3, 9};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(arr.at<Rec>(i)->a, expect[i]);
}

TEST(DynaArray, IterationNumbersRecordsFromOne) {
  TDynaArray arr(sizeof(Rec));
  EXPECT_FALSE(arr.Next());
  for (int i = 0; i < 4; ++i) static_cast<Rec*>(arr.Add())->a = i * 10;
  arr.Select(0);
  arr.Position = -1;
  EXPECT_FALSE(arr.Next()) << "Position -1 ends iteration even with records";
  arr.First();
  int visits = 0;
  while (arr.Next()) {
    EXPECT_EQ(arr.current<Rec>()->a, (arr.Position - 1) * 10);
    ++visits;
  }
  EXPECT_EQ(visits, 4);
  TDynaArray empty(sizeof(Rec));
  empty.First();
  EXPECT_EQ(empty.Position, -1);
}

TEST(DynaArray, BoundVariableFollowsTheCurrentRecord) {
  Rec* cur = nullptr;
  TDynaArray arr(sizeof(Rec), &cur);
  arr.Add();
  EXPECT_EQ(cur, arr.current<Rec>());
  arr.Add();
  EXPECT_EQ(cur, arr.at<Rec>(1));
  arr.Insert(0);
  EXPECT_EQ(cur, arr.at<Rec>(0));
  arr.Select(2);
  EXPECT_EQ(cur, arr.at<Rec>(2));
  arr.First();
  EXPECT_EQ(cur, arr.at<Rec>(0));
  arr.Next();
  arr.Next();
  EXPECT_EQ(cur, arr.at<Rec>(1));
}

TEST(DynaArray, OutOfMemoryShowsTheMessageAndKeepsTheArray) {
  HeadlessUi ui;
  TDynaArray arr(1 << 30, nullptr, &ui);  // one record is a gigabyte: the step of 100 cannot fit
  EXPECT_EQ(arr.Add(), nullptr);
  EXPECT_EQ(arr.Count, 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Error 1 while trying to allocate 107374182400 bytes of RAM. Not enough memory.");
  EXPECT_EQ(ui.messages[0].caption, "");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);

  HeadlessUi ui2;
  TDynaArray big(1 << 20, nullptr, &ui2);
  big.setGrowthStep(1);
  ASSERT_NE(big.Add(), nullptr);
  static_cast<Rec*>(big.current())->a = 42;
  big.setGrowthStep(4096);  // the next step would need 4 GiB
  EXPECT_EQ(big.Add(), nullptr);
  EXPECT_EQ(big.Count, 1);
  EXPECT_EQ(big.at<Rec>(0)->a, 42) << "the old block stays in use";
  ASSERT_EQ(ui2.messages.size(), 1u);
  EXPECT_EQ(ui2.messages[0].text.rfind("Error 2 ", 0), 0u);
}

}  // namespace
}  // namespace paginor
