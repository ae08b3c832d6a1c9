// The font cache: one handle per key, made by the key's rule or the caller's, and every handle
// given back to the engine exactly once when the cache is cleared or goes.
#include <gtest/gtest.h>

#include <map>
#include <new>
#include <vector>

#include "platform/font_cache.h"

namespace paginor {
namespace {

// An engine that hands out numbered handles and keeps account of them.
class CountingEngine : public FontEngine {
 public:
  FontHandle createFont(const LogFont& lf, int32_t resolution) override {
    made.push_back({lf, resolution});
    if (refuse) return 0;
    const FontHandle h = static_cast<FontHandle>(made.size());
    live[h] = 1;
    return h;
  }
  void deleteFont(FontHandle f) override {
    ++deleted[f];
    live.erase(f);
    if (throwOnDelete) throw std::bad_alloc();
  }
  TextExtent textExtent(FontHandle, std::string_view) override { return {}; }
  FontMetrics metrics(FontHandle) override { return {}; }
  std::string fontFile(FontHandle, int32_t*) override { return {}; }
  char32_t unicodeFor(FontHandle, uint8_t byte) override { return byte; }

  struct Made {
    LogFont lf;
    int32_t resolution;
  };
  std::vector<Made> made;
  std::map<FontHandle, int> live;
  std::map<FontHandle, int> deleted;
  bool refuse = false;
  bool throwOnDelete = false;
};

TEST(FontCache, EachKeyIsMadeOnceAndEveryPartOfItCounts) {
  CountingEngine engine;
  FontCache cache(engine);
  const FontHandle arial = cache.get({"Arial", 10, 0, 1, 72});
  EXPECT_EQ(cache.get({std::string("Ari") + "al", 10, 0, 1, 72}), arial);
  // Another face, size, style, character set or resolution is another font.
  const std::vector<FontKey> others = {{"Arial ", 10, 0, 1, 72},
                                       {"Arial", 11, 0, 1, 72},
                                       {"Arial", 10, 4, 1, 72},
                                       {"Arial", 10, 0, 2, 72},
                                       {"Arial", 10, 0, 1, 7200}};
  for (const FontKey& k : others) EXPECT_NE(cache.get(k), arial);
  EXPECT_EQ(engine.made.size(), 6u);
  EXPECT_EQ(cache.size(), 6u);
  for (const FontKey& k : others) cache.get(k);
  EXPECT_EQ(engine.made.size(), 6u) << "nothing is made twice";
}

TEST(FontCache, TheKeysRuleMakesTheMeasuringFont) {
  CountingEngine engine;
  FontCache cache(engine);
  cache.get({"Times New Roman", 12, 1 | 2 | 8, 2, 72});
  cache.get({"Times New Roman", 11, 4, 1, 7200});
  ASSERT_EQ(engine.made.size(), 2u);
  const LogFont& boldItalic = engine.made[0].lf;
  EXPECT_EQ(boldItalic.face, "Times New Roman");
  EXPECT_EQ(boldItalic.height, -12);  // at 72 pixels per inch a point is a pixel
  EXPECT_EQ(boldItalic.weight, 700);
  EXPECT_TRUE(boldItalic.italic);
  EXPECT_TRUE(boldItalic.strikeOut);
  EXPECT_EQ(boldItalic.charset, 2);
  EXPECT_EQ(engine.made[0].resolution, 72);
  // Underline is drawn, not asked of the font; 11 points at 7200 per inch are 1100 pixels.
  const LogFont& underlined = engine.made[1].lf;
  EXPECT_EQ(underlined.height, -1100);
  EXPECT_EQ(underlined.weight, 400);
  EXPECT_FALSE(underlined.italic);
  EXPECT_FALSE(underlined.strikeOut);
  EXPECT_EQ(engine.made[1].resolution, 7200);
}

TEST(FontCache, TheCallersRuleRunsOnlyForANewKey) {
  CountingEngine engine;
  FontCache cache(engine);
  int calls = 0;
  auto make = [&](FontEngine& e) {
    ++calls;
    LogFont lf;
    lf.face = "Eigene";
    return e.createFont(lf, 96);
  };
  const FontHandle h = cache.get({"Arial", 10, 0, 1, 96}, make);
  EXPECT_EQ(cache.get({"Arial", 10, 0, 1, 96}, make), h);
  EXPECT_EQ(calls, 1);
  ASSERT_EQ(engine.made.size(), 1u);
  EXPECT_EQ(engine.made[0].lf.face, "Eigene");
}

TEST(FontCache, EveryHandleGoesBackOnceWhenTheCacheGoesOrIsCleared) {
  CountingEngine engine;
  {
    FontCache cache(engine);
    for (int size = 8; size <= 12; ++size) cache.get({"Arial", size, 0, 1, 72});
    EXPECT_EQ(engine.live.size(), 5u);
    cache.clear();
    EXPECT_TRUE(engine.live.empty());
    EXPECT_EQ(cache.size(), 0u);
    // Asked again after clearing, a font is made anew.
    cache.get({"Arial", 8, 0, 1, 72});
    cache.get({"Courier New", 8, 0, 1, 72});
    EXPECT_EQ(engine.made.size(), 7u);
    EXPECT_EQ(engine.live.size(), 2u);
  }
  EXPECT_TRUE(engine.live.empty());
  ASSERT_EQ(engine.deleted.size(), 7u);
  for (const auto& [handle, times] : engine.deleted) EXPECT_EQ(times, 1) << handle;
}

TEST(FontCache, AFontTheEngineCannotMakeIsAskedForOnceAndNeverDeleted) {
  CountingEngine engine;
  engine.refuse = true;
  {
    FontCache cache(engine);
    EXPECT_EQ(cache.get({"Fehlt", 10, 0, 1, 72}), 0);
    EXPECT_EQ(cache.get({"Fehlt", 10, 0, 1, 72}), 0);
    EXPECT_EQ(engine.made.size(), 1u);
  }
  EXPECT_TRUE(engine.deleted.empty());
}

TEST(FontCache, AnEngineFailingToTakeAHandleBackDoesNotEndTheProgram) {
  CountingEngine engine;
  {
    FontCache cache(engine);
    cache.get({"Arial", 10, 0, 1, 72});
    cache.get({"Arial", 12, 0, 1, 72});
    engine.throwOnDelete = true;
  }
  EXPECT_EQ(engine.deleted.size(), 2u) << "the second handle is still offered back";
}

}  // namespace
}  // namespace paginor
