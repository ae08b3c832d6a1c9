// The layout pass in a context of its own: it breaks what the window's pass breaks, takes its
// hyphenation and its page from the context, and never reaches for the window.

#include <cmath>

#include "layout/hyphenation.h"
#include "layout/layout_context.h"
#include "layout/layout_test_util.h"

namespace paginor::test {
namespace {

using LayoutContextTest = LayoutTest;

TEST_F(LayoutContextTest, AContextOfItsOwnBreaksAsTheWindowDoes) {
  SetLines(0, {Line(Words(60, 6)), Line("kurz"), Line(Words(30, 9))});
  Document copy = doc();
  Layout();

  LayoutContext context = LayoutContextOf(w());
  LayoutContext own{copy, context.device, context.page, context.screenDpi, Hyphenator{}, {}};
  MakeSoftEnters(own);
  ASSERT_EQ(copy.fields[0].lineCount(), field(0).lineCount());
  for (int32_t l = 0; l < field(0).lineCount(); ++l) {
    EXPECT_EQ(Text(copy.fields[0].lines[l]), Text(line(0, l))) << l;
    EXPECT_DOUBLE_EQ(copy.fields[0].lines[l].lineHeight, line(0, l).lineHeight);
  }
  EXPECT_EQ(copy.Cursor, doc().Cursor);
}

// Boundaries f-g, k-l and p-q; a word of 10-mm letters, 15 of which fill the line.
TEST_F(LayoutContextTest, HyphenationAndThePageComeFromTheContext) {
  HyphenTable table;
  for (const char* p : {"fg", "kl", "pq"}) table.groups[1].push_back(HyphenPattern{p, {{1, 1}}});
  SortHyphenGroups(table);
  HyphenCache cache;
  doc().autoHyphenation = 1;
  w().hyphenTable = nullptr;  // the window has no patterns: only the context's count

  LayoutContext context = LayoutContextOf(w());
  context.hyphen = Hyphenator{&table, &cache};
  SetLines(0, {Line("abcdefghijklmnopqrst", kEndParagraph, 10.0)});
  MakeSoftEnters(context);
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"abcdefghijk", "lmnopqrst"}));
  EXPECT_EQ(cache.words.count("ABCDEFGHIJKLMNOPQRST"), 1u) << "split words are remembered";

  // Without patterns the word is cut where the line is full.
  context.hyphen = Hyphenator{};
  SetLines(0, {Line("abcdefghijklmnopqrst", kEndParagraph, 10.0)});
  MakeSoftEnters(context);
  EXPECT_EQ(Texts(0).front(), "abcdefghijklmno");

  // A page half as wide (in measuring pixels) breaks at half the width.
  context.page.widthPx /= 2;
  SetLines(0, {Line(std::string(40, 'x'), kEndParagraph, 2.0)});
  MakeSoftEnters(context);
  // The page width in whole screen pixels, as the pass quantises it, less the two margins.
  const double screenPx = std::trunc(static_cast<double>(context.screenDpi) *
                                     context.page.widthPx / context.device.resolution);
  const double text = screenPx * kMmPerInch / context.screenDpi - 50;
  EXPECT_EQ(static_cast<int32_t>(Texts(0).front().size()), static_cast<int32_t>(text / 2.0));
}

}  // namespace
}  // namespace paginor::test
