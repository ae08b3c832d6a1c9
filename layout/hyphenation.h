// Automatic hyphenation: letter patterns with priority values for the gaps between their
// letters, matched at every position of a word; an odd highest value allows a hyphen.
//
// The pattern files ("german0.hyp", "english0.hyp") are binary, little-endian, without header:
// 20 groups one after the other, group g holding the patterns of g characters. A group is a
// 32-bit signed count N and N entries; an entry is a length byte L, L bytes of Windows-1252
// text, a 16-bit pair count K and K pairs (position, value) of one byte each.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "model/hyphen_data.h"
#include "platform/result.h"

namespace paginor {

class TMDIChild;

inline constexpr size_t kHyphenMaxText = 20;   // bytes of an entry's text that count
inline constexpr size_t kHyphenMaxPairs = 10;  // pairs an entry keeps
static_assert(PatternText::kMax == kHyphenMaxText && PatternGaps::kMax == kHyphenMaxPairs);
// Longer patterns are never consulted by the split.
inline constexpr size_t kHyphenMaxSearched = 11;

struct HyphenReadResult {
  // False when the data ended inside a count or an entry. What was read completely before
  // that point is in the table.
  bool complete = true;
  // Entries whose text or pair list did not fit and were cut to 20 bytes or 10 pairs.
  int cutEntries = 0;
  size_t entries = 0;  // entries read
};

// Parses pattern data held in memory into `table` (adding to what it holds). Never reads beyond
// `data`. Oversized entries are cut rather than rejected: the first 20 bytes of text and the
// first 10 pairs are kept; a cut text no longer has its group's length and so never matches.
// Leaves every group sorted by text, as SplitWithTable needs it.
HyphenReadResult ReadHyphenPatterns(std::string_view data, HyphenTable& table);
// The same on bytes the table keeps alive through `holder` (a file read whole): the entries are
// used where they lie.
HyphenReadResult ReadHyphenPatterns(std::shared_ptr<const void> holder, std::string_view data,
                                    HyphenTable& table);

// Sorts every group by text. Tables built by hand need this once before SplitWithTable.
void SortHyphenGroups(HyphenTable& table);

// The word (Windows-1252) with "-" at every gap the table allows. Groups must be sorted by
// text (ReadHyphenPatterns and SortHyphenGroups leave them so). No cache.
std::string SplitWithTable(const HyphenTable& table, std::string_view word);

// The file name of a language's patterns: 0 is German, anything else English.
const char* HyphenFileName(int language);

// Makes the table of the document's language the window's current one and reads it from the
// program directory unless it was read before in this run. A file that cannot be opened leaves
// the table empty (words stay unsplit); nothing is reported. A damaged file (it ends inside an
// entry) leaves the table empty too, so that half a pattern set cannot produce wrong breaks, and
// comes back once per run as a warning for the caller to show (also when the table was read in
// the middle of a layout pass before). The word lists of spelling are not touched here.
Result OpenHyphenData(TMDIChild& w);
// The same without the report, for the layout and the readers in the middle of their work: a
// damaged file waits for the next OpenHyphenData.
void BindHyphenData(TMDIChild& w);

// Forgets the window's split words; called when the document's language changes.
void FreeHyphenData(TMDIChild& w);

// The word (Windows-1252) with "-" at every allowed gap. Words are cached per window under
// their upper-case form (ASCII letters only), so a word met again in another case gets the
// first answer. Without a current table the word comes back unchanged.
std::string TrenneSilben(TMDIChild& w, std::string_view word);

}  // namespace paginor
