// Automatic hyphenation: the pattern method on hand-made tables, the word cache, the table file
// reader, loading per language, and the generated German and English tables on word lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "layout/hyphenation.h"
#include "platform/cp1252.h"
#include "support/test_support.h"

namespace paginor {
namespace {

using Pairs = std::vector<std::pair<uint8_t, uint8_t>>;

// Pattern texts are given in UTF-8.
HyphenTable tableOf(std::initializer_list<HyphenPattern> patterns) {
  HyphenTable t;
  for (HyphenPattern p : patterns) {
    p.text = utf8ToCp1252(p.text);
    t.groups[p.text.size() - 1].push_back(p);
  }
  SortHyphenGroups(t);
  t.loaded = true;
  return t;
}

std::string split(const HyphenTable& t, const std::string& utf8) {
  return cp1252ToUtf8(SplitWithTable(t, utf8ToCp1252(utf8)));
}

// A packed group orders by text and keeps entries of equal text in the order they came, with
// their pairs.
TEST(HyphenSplit, PackedGroupsSortStably) {
  PatternGroup g;
  g.push_back({"ub", {{1, 1}}});
  g.push_back({"ab", {{0, 2}}});
  g.push_back({"ab", {{2, 3}, {1, 5}}});
  g.sortByText();
  ASSERT_EQ(g.size(), 3u);
  EXPECT_EQ(g[0].text, "ab");
  EXPECT_EQ(g[0].gaps, (Pairs{{0, 2}}));
  EXPECT_EQ(g[1].gaps, (Pairs{{2, 3}, {1, 5}}));
  EXPECT_EQ(g[2].text, "ub");
  EXPECT_EQ(g.gaps(2).size(), 1u);
}

TEST(HyphenSplit, PatternValuesDecideByTheHighestValue) {
  // ab with (1, 1) allows a hyphen between a and b wherever ab stands inside a word.
  HyphenTable ab = tableOf({{"ab", {{1, 1}}}});
  EXPECT_EQ(split(ab, "xaby"), "xa-by");
  EXPECT_EQ(split(ab, "xabyab"), "xa-bya-b");
  // A higher even value from another pattern forbids it.
  HyphenTable blocked = tableOf({{"ab", {{1, 1}}}, {"xab", {{2, 2}}}});
  EXPECT_EQ(split(blocked, "xabyab"), "xabya-b");
  // 2 and 3 give 3 (odd, allowed); 3 and 4 give 4 (even, forbidden).
  EXPECT_EQ(split(tableOf({{"ab", {{1, 2}}}, {"abc", {{1, 3}}}}), "xabc"), "xa-bc");
  EXPECT_EQ(split(tableOf({{"ab", {{1, 3}}}, {"abc", {{1, 4}}}}), "xabc"), "xabc");
  // Entries with the same text all apply.
  EXPECT_EQ(split(tableOf({{"ab", {{1, 2}}}, {"ab", {{1, 3}}}}), "xab"), "xa-b");
}

TEST(HyphenSplit, BoundaryMarksAnchorPatternsAtTheWordEdges) {
  // .haus. is searched for Haus; .ha matches only at the start.
  HyphenTable t = tableOf({{".ha", {{3, 1}}}});
  EXPECT_EQ(split(t, "Haus"), "Ha-us");
  EXPECT_EQ(split(t, "hahaha"), "ha-haha");
  EXPECT_EQ(split(t, "Aha"), "Aha");
  // Upper-case ASCII is matched lower-cased, the answer keeps the word's own case.
  EXPECT_EQ(split(t, "HAUS"), "HA-US");
  // A pattern as long as the searched string, or longer than 11 characters, is never consulted.
  EXPECT_EQ(split(tableOf({{".haus.", {{3, 1}}}}), "Haus"), "Haus");
  EXPECT_EQ(split(tableOf({{".haus", {{3, 1}}}}), "Haus"), "Ha-us");
  HyphenTable twelve = tableOf({{".abcdefghijk", {{2, 1}}}, {".abcdefghij", {{3, 1}}}});
  EXPECT_EQ(split(twelve, "abcdefghijk"), "ab-cdefghijk");
  // Gaps outside the searched string and at its boundary marks are ignored.
  EXPECT_EQ(split(tableOf({{".a", {{0, 1}, {1, 1}}}, {"b.", {{2, 1}, {1, 1}}}}), "ab"), "ab");
  EXPECT_EQ(split(t, ""), "");
  EXPECT_EQ(split(t, "h"), "h");
}

TEST(HyphenSplit, NonAsciiLettersKeepTheirCase) {
  // Übung is searched with its capital Ü: the pattern with ü does not match there.
  HyphenTable lower = tableOf({{".üb", {{3, 1}}}});
  EXPECT_EQ(split(lower, "übung"), "üb-ung");
  EXPECT_EQ(split(lower, "Übung"), "Übung");
  EXPECT_EQ(split(tableOf({{".Üb", {{3, 1}}}}), "Übung"), "Üb-ung");
}

TEST(HyphenCache, SameWordInAnotherCaseIsAnsweredFromTheCache) {
  test::Fixture fx;
  HyphenTable t = tableOf({{"au", {{1, 1}}}});
  fx.w().hyphenTable = &t;
  EXPECT_EQ(TrenneSilben(fx.w(), "Haus"), "Ha-us");
  // The table changes; the cached answer (of the first spelling) still comes back.
  t = tableOf({{"us", {{1, 1}}}});
  EXPECT_EQ(TrenneSilben(fx.w(), "HAUS"), "Ha-us");
  EXPECT_EQ(fx.w().hyphenCache.words.size(), 1u);
  // Only ASCII is case-mapped for the key: über and Über are two words.
  TrenneSilben(fx.w(), utf8ToCp1252("über"));
  TrenneSilben(fx.w(), utf8ToCp1252("Über"));
  EXPECT_EQ(fx.w().hyphenCache.words.size(), 3u);
  // Clearing the cache (a language change) splits anew.
  FreeHyphenData(fx.w());
  EXPECT_TRUE(fx.w().hyphenCache.words.empty());
  EXPECT_EQ(TrenneSilben(fx.w(), "HAUS"), "HAU-S");
}

// Pattern table files built by hand.
struct HypFile {
  std::array<std::string, kHyphenGroups> groups;
  std::array<int32_t, kHyphenGroups> counts{};
  static void put16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
  }
  static void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
  }
  HypFile& add(int group, const std::string& text, const Pairs& pairs) {
    std::string& g = groups[group - 1];
    g += static_cast<char>(text.size());
    g += text;
    put16(g, static_cast<unsigned>(pairs.size()));
    for (auto [p, v] : pairs) g += {static_cast<char>(p), static_cast<char>(v)};
    ++counts[group - 1];
    return *this;
  }
  std::string bytes() const {
    std::string s;
    for (int g = 0; g < kHyphenGroups; ++g) {
      put32(s, static_cast<uint32_t>(counts[g]));
      s += groups[g];
    }
    return s;
  }
};

TEST(HyphenFile, ReadsGroupsIntoASortedTable) {
  std::string data = HypFile()
                         .add(2, "ub", {{1, 1}})
                         .add(2, "ab", {{1, 3}, {0, 2}})
                         .add(3, ".ha", {{3, 1}})
                         .bytes();
  HyphenTable t;
  HyphenReadResult r = ReadHyphenPatterns(data, t);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.entries, 3u);
  EXPECT_EQ(r.cutEntries, 0);
  ASSERT_EQ(t.groups[1].size(), 2u);
  EXPECT_EQ(t.groups[1][0].text, "ab");
  EXPECT_EQ(t.groups[1][0].gaps, (Pairs{{1, 3}, {0, 2}}));
  EXPECT_EQ(t.groups[1][1].text, "ub");
  EXPECT_EQ(split(t, "Schubabend"), "Schu-ba-bend");
}

// Entries read from a file stay where the file's bytes lie; a second file, or entries added by
// hand, join them as copies and the group still searches all of them.
TEST(HyphenFile, SecondReadsAndAddedEntriesJoinTheEntriesReadInPlace) {
  HyphenTable t;
  ASSERT_TRUE(ReadHyphenPatterns(HypFile().add(2, "ub", {{1, 1}}).add(2, "ab", {{1, 3}}).bytes(), t)
                  .complete);
  ASSERT_TRUE(ReadHyphenPatterns(HypFile().add(2, "ba", {{1, 1}}).add(3, ".ha", {{3, 1}}).bytes(), t)
                  .complete);
  t.groups[1].push_back({"aa", {{1, 5}}});
  SortHyphenGroups(t);
  ASSERT_EQ(t.groups[1].size(), 4u);
  EXPECT_EQ(t.groups[1][0].text, "aa");
  EXPECT_EQ(t.groups[1][1].text, "ab");
  EXPECT_EQ(t.groups[1][1].gaps, (Pairs{{1, 3}}));
  EXPECT_EQ(t.groups[1][2].text, "ba");
  EXPECT_EQ(t.groups[1][3].text, "ub");
  EXPECT_EQ(t.groups[2][0].text, ".ha");

  // A copy of the table keeps working when the original is gone.
  auto copy = std::make_unique<HyphenTable>(t);
  t = HyphenTable{};
  EXPECT_EQ(split(*copy, "Schubabend"), "Schu-b-a-bend");
}

// A group notes only every 16th entry's place; every lookup must still find exactly the entries
// of its text, in file order, also where equal texts run across a noted place.
TEST(HyphenFile, LookupsInALargeGroupFindEveryEntryOfTheirText) {
  struct Entry {
    std::string text;
    Pairs pairs;
  };
  std::vector<Entry> entries;
  for (int i = 0; i < 200; ++i) {
    // Runs of one to five equal texts; pair lists of 0 to 12 pairs (12 are cut to 10).
    const std::string text = {static_cast<char>('a' + i / 26 % 26), static_cast<char>('a' + i % 26),
                              static_cast<char>('a' + i * 7 % 26)};
    for (int k = 0; k <= i % 5; ++k) {
      Pairs pairs;
      for (int j = 0; j < (i + k) % 13; ++j)
        pairs.emplace_back(static_cast<uint8_t>(j % 4), static_cast<uint8_t>(i + k + j));
      entries.push_back({text, pairs});
    }
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.text < b.text; });
  HypFile file;
  for (const Entry& e : entries) file.add(3, e.text, e.pairs);
  HyphenTable t;
  ASSERT_TRUE(ReadHyphenPatterns(file.bytes(), t).complete);
  const PatternGroup& g = t.groups[2];
  ASSERT_EQ(g.size(), entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    ASSERT_EQ(g[i].text, entries[i].text) << i;
    const Pairs kept(entries[i].pairs.begin(),
                     entries[i].pairs.begin() + std::min<size_t>(entries[i].pairs.size(), 10));
    ASSERT_EQ(g[i].gaps, kept) << i;
  }
  std::set<std::string> probes = {"", "a", "zzz", "aaa", "aab"};
  for (const Entry& e : entries) {
    probes.insert(e.text);
    probes.insert(e.text + "a");
    probes.insert(e.text.substr(0, 2) + "{");
  }
  for (const std::string& probe : probes) {
    std::vector<Pairs> expected, found;
    for (const Entry& e : entries)
      if (e.text == probe)
        expected.emplace_back(e.pairs.begin(),
                              e.pairs.begin() + std::min<size_t>(e.pairs.size(), 10));
    g.forEachEqual(probe, [&](PatternGroup::Gaps gaps) {
      Pairs pairs;
      for (PatternGaps::Pair pair : gaps) pairs.push_back(pair);
      found.push_back(pairs);
    });
    EXPECT_EQ(found, expected) << probe;
  }
}

TEST(HyphenFile, CutsOversizedEntriesAndStaysInStep) {
  Pairs twelve;
  for (uint8_t i = 0; i < 12; ++i) twelve.emplace_back(i, static_cast<uint8_t>(i + 1));
  std::string longText(30, 'x');
  std::string data = HypFile()
                         .add(2, "ab", twelve)
                         .add(2, "cd", {{1, 1}})
                         .add(20, longText, {{1, 2}})
                         .add(20, std::string(20, 'y'), {{3, 3}})
                         .bytes();
  HyphenTable t;
  HyphenReadResult r = ReadHyphenPatterns(data, t);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.cutEntries, 2);
  ASSERT_EQ(t.groups[1].size(), 2u);
  EXPECT_EQ(t.groups[1][0].gaps, Pairs(twelve.begin(), twelve.begin() + 10));
  EXPECT_EQ(t.groups[1][1].text, "cd");  // the entry after the cut one is read in step
  ASSERT_EQ(t.groups[19].size(), 2u);
  EXPECT_EQ(t.groups[19][0].text, std::string(20, 'x'));
  EXPECT_EQ(t.groups[19][1].gaps, (Pairs{{3, 3}}));
}

TEST(HyphenFile, TruncatedDataIsNeverReadBeyondItsEnd) {
  std::string full = HypFile()
                         .add(2, "ab", {{1, 1}, {2, 2}})
                         .add(3, "abc", {{1, 3}})
                         .add(11, "abcdefghijk", {{5, 1}})
                         .bytes();
  size_t previous = 0;
  for (size_t n = 0; n < full.size(); ++n) {
    // A copy of exactly n bytes, so that reading past it is caught by the sanitizer.
    std::string cut = full.substr(0, n);
    HyphenTable t;
    HyphenReadResult r = ReadHyphenPatterns(cut, t);
    EXPECT_FALSE(r.complete) << n;
    EXPECT_GE(r.entries, previous) << n;
    EXPECT_LE(r.entries, 3u) << n;
    previous = r.entries;
  }
  HyphenTable t;
  EXPECT_TRUE(ReadHyphenPatterns(full + "trailing", t).complete);
  EXPECT_EQ(t.groups[10].size(), 1u);
}

TEST(HyphenFile, ImpossibleCountsEndTheReadWithoutHarm) {
  // A count far beyond the data, and a pair count beyond it.
  std::string huge;
  HypFile::put32(huge, 0x7FFFFFFF);
  HyphenTable t;
  EXPECT_FALSE(ReadHyphenPatterns(huge + std::string(7, 'a'), t).complete);
  std::string pairs = HypFile().add(2, "ab", {{1, 1}}).bytes().substr(0, 11);
  HypFile::put16(pairs, 0xFFFF);
  EXPECT_FALSE(ReadHyphenPatterns(pairs + "ab", t).complete);
  // A negative count is an empty group; the groups after it are read.
  HypFile f;
  f.add(3, "abc", {{1, 1}});
  f.counts[1] = -5;
  HyphenTable u;
  EXPECT_TRUE(ReadHyphenPatterns(f.bytes(), u).complete);
  EXPECT_EQ(u.groups[2].size(), 1u);
}

struct HyphenOpen : ::testing::Test {
  test::Fixture fx;
  std::string dir = test::TempDir("hyphen_open") + "/";
  void write(const std::string& name, const std::string& data) {
    std::ofstream(dir + name, std::ios::binary) << data;
  }
  TMDIChild& window(int language) {
    fx.app.hyphenTables = {};  // as at the start of a run
    fx.w().hyphenTable = nullptr;
    fx.w().doc.language = language;
    fx.w().programDir = dir;
    return fx.w();
  }
};

TEST_F(HyphenOpen, LoadsTheLanguagesTableOncePerRun) {
  write("german0.hyp", HypFile().add(2, "au", {{1, 1}}).bytes());
  write("english0.hyp", HypFile().add(2, "us", {{1, 1}}).bytes());
  TMDIChild& w = window(0);
  test::Shown(w, OpenHyphenData(w));
  EXPECT_EQ(w.hyphenTable, &fx.app.hyphenTables[0]);
  EXPECT_EQ(TrenneSilben(w, "Haus"), "Ha-us");
  w.doc.language = 2;  // every language but German is English
  FreeHyphenData(w);
  test::Shown(w, OpenHyphenData(w));
  EXPECT_EQ(w.hyphenTable, &fx.app.hyphenTables[1]);
  EXPECT_EQ(TrenneSilben(w, "Haus"), "Hau-s");
  // Another window of the run finds the table loaded and does not read the file again.
  write("german0.hyp", HypFile().add(2, "ha", {{1, 1}}).bytes());
  TMDIChild other(fx.app);
  other.programDir = dir;
  test::Shown(other, OpenHyphenData(other));
  EXPECT_EQ(TrenneSilben(other, "Haus"), "Ha-us");
  EXPECT_TRUE(fx.host.ui.messages.empty());
}

TEST_F(HyphenOpen, MissingFileLeavesWordsWholeSilently) {
  TMDIChild& w = window(0);
  test::Shown(w, OpenHyphenData(w));
  EXPECT_TRUE(fx.app.hyphenTables[0].loaded);
  EXPECT_EQ(TrenneSilben(w, "Silbentrennung"), "Silbentrennung");
  EXPECT_TRUE(fx.host.ui.messages.empty());
}

TEST_F(HyphenOpen, DamagedFileIsReportedOnceAndNotUsed) {
  std::string data = HypFile().add(2, "au", {{1, 1}}).add(3, "abc", {{1, 1}}).bytes();
  write("german0.hyp", data.substr(0, 21));  // ends inside the second entry
  TMDIChild& w = window(0);
  test::Shown(w, OpenHyphenData(w));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_NE(fx.host.ui.messages[0].text.find("german0.hyp"), std::string::npos);
  EXPECT_NE(fx.host.ui.messages[0].text.find("beschädigt"), std::string::npos);
  EXPECT_EQ(TrenneSilben(w, "Haus"), "Haus");  // the entry read before the damage is not used
  test::Shown(w, OpenHyphenData(w));
  EXPECT_EQ(fx.host.ui.messages.size(), 1u);
}

// The generated tables against word lists with their accepted breaks (tests/layout/data).
std::string dataPath(const std::string& name) {
  return (std::filesystem::path(__FILE__).parent_path() / "data" / name).string();
}

std::set<size_t> breaksOf(const std::string& hyphenated) {
  std::set<size_t> gaps;
  size_t letters = 0;
  for (char c : hyphenated) {
    if (c == '-')
      gaps.insert(letters);
    else
      ++letters;
  }
  return gaps;
}

struct ListResult {
  size_t words = 0, accepted = 0, found = 0;
  std::vector<std::string> wrong;
};

// Splits every word of the list (Windows-1252 inside, UTF-8 in the file), with `before` and
// `after` attached as the layout passes them. Checks the minimum fragment lengths on the way.
ListResult runList(TMDIChild& w, const std::string& file, const std::string& before,
                   const std::string& after, size_t minLeft, size_t minRight) {
  std::ifstream in(dataPath(file));
  EXPECT_TRUE(in) << dataPath(file);
  ListResult r;
  const std::string pre = utf8ToCp1252(before), post = utf8ToCp1252(after);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::string hyphenated = utf8ToCp1252(line);
    std::string word;
    for (char c : hyphenated)
      if (c != '-') word += c;
    std::string got = TrenneSilben(w, pre + word + post);
    std::set<size_t> expected = breaksOf(pre + hyphenated + post), found = breaksOf(got);
    ++r.words;
    r.accepted += expected.size();
    bool wrong = false;
    for (size_t g : found) {
      if (expected.count(g))
        ++r.found;
      else
        wrong = true;
      if (g < pre.size() + minLeft || g + minRight > pre.size() + word.size()) wrong = true;
    }
    if (wrong) r.wrong.push_back(cp1252ToUtf8(got));
  }
  return r;
}

struct HyphenWords : ::testing::TestWithParam<std::pair<int, std::string>> {};

TEST_P(HyphenWords, GeneratedTableMakesNoWrongBreak) {
  test::Fixture fx;
  const auto& [language, file] = GetParam();
  fx.w().doc.language = language;
  test::Shown(fx.w(), OpenHyphenData(fx.w()));
  const size_t minRight = language == 0 ? 2 : 3;
  size_t groups = 0;
  for (const auto& g : fx.w().hyphenTable->groups) groups += g.empty() ? 0 : 1;
  ASSERT_GT(groups, 0u) << "no patterns in " << fx.w().programDir << HyphenFileName(language);

  ListResult plain = runList(fx.w(), file, "", "", 2, minRight);
  EXPECT_GE(plain.words, 200u);
  EXPECT_TRUE(plain.wrong.empty()) << ::testing::PrintToString(plain.wrong);
  // A table that splits next to nothing would pass the check above: most points must be found.
  EXPECT_GE(plain.found * 100, plain.accepted * (language == 0 ? 95 : 80));
  std::cout << "[ Hyphen   ] " << file << ": " << plain.found << " of " << plain.accepted
            << " accepted breaks found in " << plain.words << " words\n";
  RecordProperty("found", static_cast<int>(plain.found));
  RecordProperty("accepted", static_cast<int>(plain.accepted));

  // The layout passes words with their punctuation; it must not move the breaks.
  for (auto [before, after] : std::vector<std::pair<std::string, std::string>>{
           {"", ","}, {"(", ")."}, {"„", "“"}, {"\"", "\";"}, {"»", "«!"}}) {
    ListResult r = runList(fx.w(), file, before, after, 2, minRight);
    EXPECT_TRUE(r.wrong.empty()) << before << "…" << after << ": "
                                 << ::testing::PrintToString(r.wrong);
    EXPECT_GE(r.found * 100, plain.found * 95) << before << "…" << after;
  }
}

INSTANTIATE_TEST_SUITE_P(HyphenLists, HyphenWords,
                         ::testing::Values(std::make_pair(0, std::string("hyphen_de.txt")),
                                           std::make_pair(1, std::string("hyphen_en.txt"))),
                         [](const auto& info) {
                           return info.param.first == 0 ? "German" : "English";
                         });

TEST(HyphenWordsEdges, NoSingleLetterFragmentsInGermanAndCapitalsAreSplit) {
  test::Fixture fx;
  test::Shown(fx.w(), OpenHyphenData(fx.w()));
  for (const char* word : {"Abend", "Ofen", "Esel", "Ufer", "Igel", "Treue", "Idee", "Kleie",
                           "Ähre", "Öse", "über", "oben", "Amerika"}) {
    std::string g = TrenneSilben(fx.w(), utf8ToCp1252(word));
    std::string got = cp1252ToUtf8(g);
    EXPECT_NE(g[1], '-') << got;
    EXPECT_NE(g[g.size() - 2], '-') << got;
  }
  EXPECT_EQ(cp1252ToUtf8(TrenneSilben(fx.w(), utf8ToCp1252("Übungen"))), "Übun-gen");
  EXPECT_EQ(cp1252ToUtf8(TrenneSilben(fx.w(), utf8ToCp1252("ÖFFNUNGSZEITEN"))),
            "ÖFF-NUNGS-ZEI-TEN");
}

}  // namespace
}  // namespace paginor
