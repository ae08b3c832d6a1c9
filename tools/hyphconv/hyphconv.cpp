// hyphconv: turns a hyphenation pattern list into the binary pattern table the program reads.
// It reads libhyphen files (first line the charset, then directives and patterns, as Debian's
// hyphen-* packages ship them) and TeX's plain UTF-8 lists (hyph-utf8 *.pat.txt).
//
//   hyphconv [--level N] [--left N] [--right N] INPUT OUTPUT.hyp
//
// The program's split is single-level, case-sensitive for everything but ASCII, consults only
// patterns of 2 to 11 characters, knows no minimum fragment length and is handed words with
// their punctuation attached. So the converter
//  - takes one level of the source (the last by default);
//  - skips directives, comments and non-standard patterns ("/"), and patterns whose text cannot
//    be written in Windows-1252;
//  - writes single-letter patterns out for every neighbouring letter and cuts over-long
//    patterns that only forbid; other patterns outside 2..11 characters are dropped;
//  - adds upper-case forms of patterns with non-ASCII letters, because words keep the case of
//    those letters (Übung, GRÜN);
//  - repeats the patterns of a word's edges with attached punctuation in place of the boundary;
//  - writes the minimum fragment lengths (LEFTHYPHENMIN/RIGHTHYPHENMIN of the source or the
//    options, else 2) as blocking patterns with an even value above any pattern's.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp1252.h"

namespace {

constexpr size_t kMinText = 2;    // shorter patterns are never consulted
constexpr size_t kMaxText = 11;   // nor longer ones
constexpr size_t kMaxPairs = 10;  // what one entry holds
constexpr int kGroups = 20;
constexpr uint8_t kBlock = 254;  // even, above every digit a source pattern can carry

// Gap values by position (0 = before the first character) of one pattern text.
using Values = std::array<uint8_t, kMaxText + 1>;
using PatternMap = std::map<std::string, Values>;

struct Options {
  int level = 0;  // 1-based; 0 = the last
  int left = 0;   // 0 = from the source, else 2
  int right = 0;
  std::string input, output;
};

struct Stats {
  int read = 0, otherLevel = 0, nonStandard = 0, unrepresentable = 0, expanded = 0, wholeWords = 0,
      shortened = 0, dropped = 0;
};

enum class Charset { Utf8, Latin1, Latin9 };

bool parseCharset(std::string name, Charset& cs) {
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
  name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
  if (name == "UTF8")
    cs = Charset::Utf8;
  else if (name == "ISO88591" || name == "LATIN1")
    cs = Charset::Latin1;
  else if (name == "ISO885915" || name == "LATIN9")
    cs = Charset::Latin9;
  else
    return false;
  return true;
}

// Code points of one line; invalid UTF-8 yields U+FFFD, which has no byte in the code page.
std::vector<char32_t> decode(std::string_view s, Charset cs) {
  std::vector<char32_t> out;
  if (cs != Charset::Utf8) {
    // Where ISO 8859-15 differs from ISO 8859-1.
    static constexpr std::pair<unsigned char, char32_t> kLatin9[] = {
        {0xA4, 0x20AC}, {0xA6, 0x160}, {0xA8, 0x161}, {0xB4, 0x17D},
        {0xB8, 0x17E},  {0xBC, 0x152}, {0xBD, 0x153}, {0xBE, 0x178}};
    for (unsigned char b : s) {
      char32_t c = b;
      if (cs == Charset::Latin9)
        for (auto [from, to] : kLatin9)
          if (b == from) c = to;
      out.push_back(c);
    }
    return out;
  }
  for (size_t i = 0; i < s.size();) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int extra = (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    bool ok = extra > 0 && i + extra < s.size();
    char32_t c = ok ? (b & (0x3F >> extra)) : 0;
    for (int k = 1; ok && k <= extra; ++k) {
      unsigned char t = s[i + k];
      ok = (t & 0xC0) == 0x80;
      c = (c << 6) | (t & 0x3F);
    }
    out.push_back(ok ? c : 0xFFFD);
    i += ok ? 1 + extra : 1;
  }
  return out;
}

// The upper-case byte of a non-ASCII lower-case letter of the code page, or 0.
unsigned char upperNonAscii(unsigned char b) {
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<unsigned char>(b - 0x20);
  switch (b) {
    case 0x9A:
      return 0x8A;  // š
    case 0x9C:
      return 0x8C;  // œ
    case 0x9E:
      return 0x8E;  // ž
    case 0xFF:
      return 0x9F;  // ÿ
    default:
      return 0;
  }
}

void merge(PatternMap& map, const std::string& text, const Values& v) {
  auto [it, fresh] = map.try_emplace(text, v);
  if (!fresh)
    for (size_t i = 0; i < v.size(); ++i) it->second[i] = std::max(it->second[i], v[i]);
}

// Letters a searched word can hold: ASCII is lower-cased, other letters keep their case.
const std::vector<char>& searchLetters() {
  static const std::vector<char> letters = [] {
    std::vector<char> v;
    for (int b = 1; b < 256; ++b)
      if (paginor::isCp1252Alpha(static_cast<unsigned char>(b)) && !(b >= 'A' && b <= 'Z'))
        v.push_back(static_cast<char>(b));
    return v;
  }();
  return letters;
}

// Parses one pattern line ("a1b2c") into its text and its values (text length + 1 of them);
// false when a character has no byte in the code page.
bool parsePattern(const std::vector<char32_t>& cps, std::string& text,
                  std::vector<uint8_t>& values) {
  text.clear();
  values.assign(1, 0);
  for (char32_t c : cps) {
    if (c >= '0' && c <= '9') {
      values.back() = std::max(values.back(), static_cast<uint8_t>(c - '0'));
      continue;
    }
    int b = paginor::unicodeToCp1252(c);
    if (b < 0x20 || b == 0x7F) return false;
    if (b >= 'A' && b <= 'Z') b += 'a' - 'A';  // the searched word is lower-cased for ASCII
    text += static_cast<char>(b);
    values.push_back(0);
  }
  return true;
}

// Writes the forbidding (even) values of a pattern that cannot be used as it stands as patterns
// of at most 11 characters around them. Each matches wherever the original did and more, so it
// can only forbid more, never allow a break; the pattern's allowing values are lost.
// False when there were none.
bool addForbiddingParts(PatternMap& map, const std::string& text, std::vector<uint8_t> values) {
  for (uint8_t& v : values)
    if (v & 1) v = 0;
  const size_t width = std::min(kMaxText, text.size());
  bool any = false;
  for (size_t p = 0;;) {
    while (p < values.size() && values[p] == 0) ++p;
    if (p == values.size()) break;
    // As much context on either side of the first value as fits.
    size_t from = std::min(p > width / 2 ? p - width / 2 : 0, text.size() - width);
    size_t to = from + width;
    Values v{};
    size_t pairs = 0, q = from;
    for (; q <= to && pairs < kMaxPairs; ++q) {
      v[q - from] = values[q];
      if (values[q]) ++pairs;
    }
    merge(map, text.substr(from, width), v);
    any = true;
    p = q;
  }
  return any;
}

// Brings a parsed pattern into the form the split consults and merges it into `map`:
//  - one character (the split starts at two): its values apply beside that letter wherever it
//    stands, so it is written once for every letter that can stand on that side;
//  - both boundary marks (a whole word): the split only consults patterns shorter than the
//    searched string, so such a pattern never meets its word. Its forbidding values are kept
//    as a pattern of the word's start (which also meets longer words, where it can only
//    forbid);
//  - longer than 11 characters: its forbidding values are kept in shorter parts.
void addPattern(PatternMap& map, const std::string& text, const std::vector<uint8_t>& values,
                Stats& st) {
  if (text.empty()) {
    ++st.dropped;
    return;
  }
  if (text.size() == 1) {
    for (char x : searchLetters()) {
      if (values[0]) merge(map, std::string{x, text[0]}, Values{0, values[0]});
      if (values[1]) merge(map, std::string{text[0], x}, Values{0, values[1]});
    }
    ++st.expanded;
    return;
  }
  if (text.size() >= 3 && text.front() == '.' && text.back() == '.') {
    std::vector<uint8_t> start(values.begin(), values.end() - 1);
    start.back() = 0;  // after the word's last letter: not a gap of the word
    ++st.wholeWords;
    if (!addForbiddingParts(map, text.substr(0, text.size() - 1), std::move(start))) ++st.dropped;
    return;
  }
  if (text.size() > kMaxText) {
    ++(addForbiddingParts(map, text, values) ? st.shortened : st.dropped);
    return;
  }
  Values v{};
  std::copy(values.begin(), values.end(), v.begin());
  merge(map, text, v);
}

bool isDirective(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && line[i] >= 'A' && line[i] <= 'Z') ++i;
  return i >= 2 && (i == line.size() || line[i] == ' ' || line[i] == '\t');
}

std::string trim(std::string_view s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string_view::npos) return {};
  size_t b = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(a, b - a + 1));
}

bool readSource(const Options& opt, PatternMap& map, int& left, int& right, Stats& st,
                std::string& error) {
  std::ifstream f(opt.input, std::ios::binary);
  if (!f) {
    error = "Die Musterdatei " + opt.input + " lässt sich nicht öffnen.";
    return false;
  }
  std::vector<std::string> lines;
  for (std::string line; std::getline(f, line);) lines.push_back(trim(line));
  if (lines.empty()) {
    error = "Die Musterdatei " + opt.input + " ist leer.";
    return false;
  }
  // libhyphen files name their charset on the first line; TeX's plain pattern lists are UTF-8
  // and start with a pattern (lower case).
  Charset cs = Charset::Utf8;
  size_t first = 0;
  if (parseCharset(lines[0], cs)) {
    first = 1;
  } else if (std::any_of(lines[0].begin(), lines[0].end(),
                         [](char c) { return c >= 'A' && c <= 'Z'; })) {
    error = "Unbekannter Zeichensatz in " + opt.input + ": " + lines[0];
    return false;
  }
  // Levels are gathered separately; only the chosen one is parsed.
  std::vector<std::vector<std::string>> levels(1);
  for (size_t i = first; i < lines.size(); ++i) {
    const std::string& t = lines[i];
    if (t.empty() || t[0] == '%' || t[0] == '#') continue;
    if (isDirective(t)) {
      std::istringstream ds(t);
      std::string name;
      int n = 0;
      ds >> name;
      if (name == "NEXTLEVEL")
        levels.emplace_back();
      else if (name == "LEFTHYPHENMIN" && ds >> n)
        left = n;
      else if (name == "RIGHTHYPHENMIN" && ds >> n)
        right = n;
      continue;
    }
    levels.back().push_back(t.substr(0, t.find_first_of(" \t")));
  }
  int level = opt.level == 0 ? static_cast<int>(levels.size()) : opt.level;
  if (level < 1 || level > static_cast<int>(levels.size())) {
    error = opt.input + " hat keine Ebene " + std::to_string(level) + ".";
    return false;
  }
  for (int i = 0; i < static_cast<int>(levels.size()); ++i)
    if (i != level - 1) st.otherLevel += static_cast<int>(levels[i].size());
  for (const std::string& t : levels[level - 1]) {
    ++st.read;
    if (t.find('/') != std::string::npos) {
      ++st.nonStandard;
      continue;
    }
    std::string text;
    std::vector<uint8_t> values;
    if (parsePattern(decode(t, cs), text, values))
      addPattern(map, text, values, st);
    else
      ++st.unrepresentable;
  }
  return true;
}

// Upper-case forms for words that keep their non-ASCII capitals: all such letters upper (a word
// in capitals), and the first letter alone when the pattern starts a word (a capitalised word).
void addUpperCaseForms(PatternMap& map) {
  PatternMap extra;
  for (const auto& [text, values] : map) {
    std::string all = text;
    for (char& c : all)
      if (unsigned char u = upperNonAscii(static_cast<unsigned char>(c))) c = static_cast<char>(u);
    if (all != text) extra.emplace(all, values);
    if (text.size() > 1 && text[0] == '.') {
      if (unsigned char u = upperNonAscii(static_cast<unsigned char>(text[1]))) {
        std::string first = text;
        first[1] = static_cast<char>(u);
        if (first != all) extra.emplace(first, values);
      }
    }
  }
  for (const auto& [text, values] : extra) merge(map, text, values);
}

// Every string of `k` letters, for the blocking patterns.
std::vector<std::string> letterStrings(const std::vector<char>& letters, int k) {
  std::vector<std::string> out{""};
  for (int i = 0; i < k; ++i) {
    std::vector<std::string> next;
    next.reserve(out.size() * letters.size());
    for (const std::string& s : out)
      for (char c : letters) next.push_back(s + c);
    out.swap(next);
  }
  return out;
}

// The letters the language's patterns use.
std::vector<char> patternLetters(const PatternMap& map) {
  std::array<bool, 256> seen{};
  for (const auto& [text, values] : map)
    for (char c : text) seen[static_cast<unsigned char>(c)] = true;
  std::vector<char> out;
  for (char c : searchLetters())
    if (seen[static_cast<unsigned char>(c)]) out.push_back(c);
  return out;
}

// Punctuation the layout leaves attached to a word (it passes everything up to a space or a
// hyphen). It stands where the word's boundary mark would stand, so the patterns of a word's
// edges are repeated with it; without that, "Englisch," would lose its end patterns and split
// as "Eng-li-sch,".
constexpr std::string_view kOpening = "([\"'\x82\x84\x91\x93\xAB\xBB";  // ( [ " ' ‚ „ ‘ “ « »
constexpr std::string_view kClosing = ",;:!?)]\"'\x85\x91\x92\x93\x94\xAB\xBB";  // … ‘ ’ “ ” « »

// The patterns of `from` that hold a boundary mark, with punctuation in its place.
PatternMap boundaryForms(const PatternMap& from) {
  PatternMap out;
  for (const auto& [text, values] : from) {
    if (text.front() == '.')
      for (char c : kOpening) merge(out, c + text.substr(1), values);
    else if (text.back() == '.')
      for (char c : kClosing) merge(out, text.substr(0, text.size() - 1) + c, values);
  }
  return out;
}

// The minimum fragment lengths as patterns with a high even value: ".x" forbids the gap after a
// first letter, "x." the gap before a last one (and longer ones likewise), also where
// punctuation stands for the boundary; and no gap next to attached punctuation. Single letters
// are taken from the whole code page; pairs (a minimum of 3) from the letters of the patterns,
// which keeps the table small.
PatternMap minimumLengthBlocks(int left, int right, const std::vector<char>& language) {
  const std::vector<char>& all = searchLetters();
  PatternMap blocks;
  for (int k = 1; k < left; ++k) {
    for (const std::string& s : letterStrings(k == 1 ? all : language, k)) {
      Values v{};
      v[k + 1] = kBlock;  // after ".", then k letters
      merge(blocks, "." + s, v);
    }
  }
  for (int k = 1; k < right; ++k) {
    for (const std::string& s : letterStrings(k == 1 ? all : language, k)) {
      Values v{};
      v[0] = kBlock;  // before the k-th last letter
      merge(blocks, s + ".", v);
    }
  }
  for (const auto& [text, values] : boundaryForms(blocks)) merge(blocks, text, values);
  for (char x : all) {
    for (char c : kOpening) merge(blocks, std::string{c, x}, Values{0, kBlock});
    for (char c : kClosing) merge(blocks, std::string{x, c}, Values{0, kBlock});
    merge(blocks, std::string{x, '.'}, Values{0, kBlock});  // "Haus." holds its own period
  }
  return blocks;
}

void put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void put32(std::string& out, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

// The table file. A text with more values than one entry holds is written as several entries:
// the split applies every entry whose text matches, so they act as one.
std::string encode(const PatternMap& map, size_t& written) {
  std::array<std::string, kGroups> groups;
  std::array<int32_t, kGroups> counts{};
  for (const auto& [text, values] : map) {
    std::vector<std::pair<uint8_t, uint8_t>> pairs;
    for (size_t p = 0; p <= text.size(); ++p)
      if (values[p]) pairs.emplace_back(static_cast<uint8_t>(p), values[p]);
    for (size_t first = 0; first < pairs.size(); first += kMaxPairs) {
      const size_t n = std::min(kMaxPairs, pairs.size() - first);
      std::string& g = groups[text.size() - 1];
      g += static_cast<char>(text.size());
      g += text;
      put16(g, static_cast<uint16_t>(n));
      for (size_t k = first; k < first + n; ++k) {
        g += static_cast<char>(pairs[k].first);
        g += static_cast<char>(pairs[k].second);
      }
      ++counts[text.size() - 1];
      ++written;
    }
  }
  std::string out;
  for (int g = 0; g < kGroups; ++g) {
    put32(out, counts[g]);
    out += groups[g];
  }
  return out;
}

bool parseArgs(int argc, char** argv, Options& opt) {
  std::vector<std::string> pos;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    int* target = a == "--level"   ? &opt.level
                  : a == "--left"  ? &opt.left
                  : a == "--right" ? &opt.right
                                   : nullptr;
    if (target) {
      if (i + 1 >= argc) return false;
      try {
        *target = std::stoi(argv[++i]);
      } catch (...) {
        return false;
      }
      if (*target < 1 || (target != &opt.level && *target > 3)) return false;
    } else if (a.rfind("--", 0) == 0) {
      return false;
    } else {
      pos.push_back(a);
    }
  }
  if (pos.size() != 2) return false;
  opt.input = pos[0];
  opt.output = pos[1];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (!parseArgs(argc, argv, opt)) {
    std::cerr << "Aufruf: hyphconv [--level N] [--left 1..3] [--right 1..3] EINGABE AUSGABE.hyp\n";
    return 2;
  }
  PatternMap map;
  Stats st;
  int left = 2, right = 2;
  std::string error;
  if (!readSource(opt, map, left, right, st, error)) {
    std::cerr << "hyphconv: " << error << "\n";
    return 1;
  }
  if (opt.left) left = opt.left;
  if (opt.right) right = opt.right;
  // Longer minimums would need blocking patterns for every string of three letters.
  left = std::clamp(left, 1, 3);
  right = std::clamp(right, 1, 3);
  addUpperCaseForms(map);
  PatternMap blocks = minimumLengthBlocks(left, right, patternLetters(map));
  for (const auto& [text, values] : boundaryForms(map)) merge(map, text, values);
  for (const auto& [text, values] : blocks) merge(map, text, values);
  size_t written = 0;
  std::string data = encode(map, written);
  // Written beside the target and renamed, so a failed run leaves no half file behind.
  std::string tmp = opt.output + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out.good()) {
      std::cerr << "hyphconv: " << tmp << " lässt sich nicht schreiben.\n";
      return 1;
    }
  }
  if (std::rename(tmp.c_str(), opt.output.c_str()) != 0) {
    std::cerr << "hyphconv: " << opt.output << " lässt sich nicht schreiben.\n";
    return 1;
  }
  std::cout << "hyphconv: " << opt.output << ": " << written << " Muster aus " << st.read
            << " (Silben mindestens " << left << " vorn, " << right << " hinten); " << st.expanded
            << " einzelne Buchstaben ausgeschrieben, " << st.wholeWords << " ganze Wörter und "
            << st.shortened
            << " lange Muster auf ihre Sperrwerte gekürzt; ausgelassen: " << st.dropped
            << " ohne Sperrwerte, " << st.otherLevel << " andere Ebene, " << st.nonStandard
            << " nicht standardmäßig, " << st.unrepresentable << " nicht in Windows-1252\n";
  return 0;
}
