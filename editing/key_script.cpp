#include "editing/key_script.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "editing/undo.h"
#include "platform/cp1252.h"

namespace paginor {

namespace {

struct NamedKey {
  const char* name;
  int key;
};

// The named keys of the language. {Undo} and {Redo} are handled apart.
constexpr std::array<NamedKey, 20> kNamedKeys = {{
    {"Enter", vk::kReturn},   {"Return", vk::kReturn}, {"Tab", vk::kTab},
    {"Backspace", vk::kBack}, {"Delete", vk::kDelete}, {"Del", vk::kDelete},
    {"Insert", vk::kInsert},  {"Ins", vk::kInsert},    {"Left", vk::kLeft},
    {"Right", vk::kRight},    {"Up", vk::kUp},         {"Down", vk::kDown},
    {"Home", vk::kHome},      {"End", vk::kEnd},       {"PageUp", vk::kPrior},
    {"PageDown", vk::kNext},  {"Esc", vk::kEscape},    {"Escape", vk::kEscape},
    {"Minus", vk::kOemMinus}, {"Space", ' '},
}};

std::optional<int> keyNamed(std::string_view name) {
  for (const NamedKey& k : kNamedKeys)
    if (EqualsIgnoringAsciiCase(name, k.name)) return k.key;
  if (name.size() == 1) {
    char c = name[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
  }
  return std::nullopt;
}

// The character a platform delivers after a key, if any.
std::optional<uint8_t> charOfKey(int key, Modifiers m) {
  const bool ctrl = m & kCtrl, alt = m & kAlt, shift = m & kShift;
  if (alt) return std::nullopt;
  switch (key) {
    case vk::kReturn:
      return 13;
    case vk::kTab:
      return 9;
    case vk::kEscape:
      return 27;
    case vk::kBack:
      return ctrl ? kCtrlBackspaceChar : 8;
    case ' ':
      return ' ';
    default:
      break;
  }
  if (key >= 'A' && key <= 'Z') {
    if (ctrl) return static_cast<uint8_t>(key - 'A' + 1);
    return static_cast<uint8_t>(shift ? key : key - 'A' + 'a');
  }
  if (key >= '0' && key <= '9' && !ctrl) return static_cast<uint8_t>(key);
  if (key == vk::kOemMinus && !ctrl) return static_cast<uint8_t>(shift ? '_' : '-');
  return std::nullopt;
}

std::string codePoint(char32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
  return buf;
}

// Decodes one UTF-8 character at `at`; 0 bytes when the sequence is invalid.
size_t decodeUtf8(std::string_view s, size_t at, char32_t& out) {
  const auto b = static_cast<unsigned char>(s[at]);
  const size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (len == 0 || at + len > s.size()) return 0;
  char32_t c = len == 1 ? b : (b & (0x7Fu >> len));
  for (size_t i = 1; i < len; ++i) {
    const auto cont = static_cast<unsigned char>(s[at + i]);
    if ((cont >> 6) != 2) return 0;
    c = (c << 6) | (cont & 0x3Fu);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  out = c;
  return len;
}

class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  ParsedKeyScript run() {
    ParsedKeyScript result;
    while (pos_ < s_.size() && error_.empty()) step(result.events);
    result.error = error_;
    if (!result.ok()) result.events.clear();
    return result;
  }

 private:
  void fail(std::string text) {
    if (error_.empty()) error_ = std::move(text);
  }
  // The position of the current character, counted in characters from 1.
  std::string where() const { return " an Stelle " + std::to_string(charIndex_ + 1); }

  void step(std::vector<KeyEvent>& out) {
    const char c = s_[pos_];
    const bool doubled = pos_ + 1 < s_.size() && s_[pos_ + 1] == c;
    if ((c == '{' || c == '}') && doubled) {
      typed(out, static_cast<uint8_t>(c), 2);
    } else if (c == '}') {
      fail("Einzelne „}“" + where() + "; eine Klammer wird als „}}“ geschrieben.");
    } else if (c == '{') {
      namedKey(out);
    } else if (c == '\n' || c == '\r') {
      advance(1, 1);  // lets a long script be wrapped
    } else {
      character(out);
    }
  }

  void advance(size_t bytes, size_t chars) {
    pos_ += bytes;
    charIndex_ += chars;
  }

  void typed(std::vector<KeyEvent>& out, uint8_t ch, size_t bytes) {
    out.push_back(KeyEvent{KeyEvent::Kind::Press, 0, kNoModifier, ch, {}});
    advance(bytes, bytes == 2 && (ch == '{' || ch == '}') ? 2 : 1);
  }

  void character(std::vector<KeyEvent>& out) {
    char32_t c = 0;
    const size_t len = decodeUtf8(s_, pos_, c);
    if (len == 0) {
      fail("Die Tastenfolge ist kein gültiges UTF-8 (Byte " + std::to_string(pos_ + 1) + ").");
      return;
    }
    if (c < 32 || c == 127) {
      fail("Steuerzeichen" + where() + "; Tasten stehen in geschweiften Klammern, etwa {Tab}.");
      return;
    }
    const int b = unicodeToCp1252(c);
    if (b < 0) {
      std::string shown;
      appendUtf8(shown, c);
      fail("Das Zeichen „" + shown + "“ (" + codePoint(c) + ")" + where() +
           " gibt es im Zeichensatz Windows-1252 nicht.");
      return;
    }
    typed(out, static_cast<uint8_t>(b), len);
  }

  // Reads "Shift+", "Ctrl+" ("Strg+"), "Alt+" in front of a key name.
  bool modifiers(std::string_view& rest, Modifiers& mods, const std::string& shown) {
    for (size_t plus; (plus = rest.find('+')) != std::string_view::npos && plus + 1 < rest.size();
         rest.remove_prefix(plus + 1)) {
      const std::string_view m = rest.substr(0, plus);
      if (EqualsIgnoringAsciiCase(m, "Shift") || EqualsIgnoringAsciiCase(m, "Umschalt")) {
        mods |= kShift;
      } else if (EqualsIgnoringAsciiCase(m, "Ctrl") || EqualsIgnoringAsciiCase(m, "Strg")) {
        mods |= kCtrl;
      } else if (EqualsIgnoringAsciiCase(m, "Alt")) {
        mods |= kAlt;
      } else {
        fail("Unbekannte Umschalttaste „" + std::string(m) + "“ in „" + shown + "“" + where() +
             ".");
        return false;
      }
    }
    return true;
  }

  void namedKey(std::vector<KeyEvent>& out) {
    const size_t close = s_.find('}', pos_ + 1);
    if (close == std::string_view::npos) {
      fail("Die Klammer „{“" + where() + " wird nicht geschlossen.");
      return;
    }
    const std::string_view body = s_.substr(pos_ + 1, close - pos_ - 1);
    const std::string shown = "{" + std::string(body) + "}";
    if (body.size() >= 7 && EqualsIgnoringAsciiCase(body.substr(0, 7), "Dialog:")) {
      dialog(out, body.substr(7), shown, close);
      return;
    }
    Modifiers mods = kNoModifier;
    std::string_view rest = body;
    if (!modifiers(rest, mods, shown)) return;
    if (EqualsIgnoringAsciiCase(rest, "Undo") || EqualsIgnoringAsciiCase(rest, "Redo")) {
      if (mods != kNoModifier) {
        fail("„" + shown + "“" + where() + " nimmt keine Umschalttasten.");
        return;
      }
      // Undo is the key Alt+Backspace; redo has no key, it is the menu command.
      if (EqualsIgnoringAsciiCase(rest, "Undo"))
        out.push_back(KeyEvent{KeyEvent::Kind::Down, vk::kBack, kAlt, 0, {}});
      else
        out.push_back(KeyEvent{KeyEvent::Kind::Redo, 0, kNoModifier, 0, {}});
    } else if (std::optional<int> key = keyNamed(rest)) {
      out.push_back(KeyEvent{KeyEvent::Kind::Down, *key, mods, 0, {}});
      if (std::optional<uint8_t> ch = charOfKey(*key, mods))
        out.push_back(KeyEvent{KeyEvent::Kind::Press, 0, kNoModifier, *ch, {}});
    } else {
      fail("Unbekannte Taste „" + shown + "“" + where() + ".");
      return;
    }
    // Names and modifiers are ASCII: one character a byte.
    advance(close + 1 - pos_, close + 1 - pos_);
  }

  // "{Dialog:Name control=value ...}": values without spaces, or in double quotes.
  void dialog(std::vector<KeyEvent>& out, std::string_view rest, const std::string& shown,
              size_t close) {
    KeyEvent e{KeyEvent::Kind::Dialog, 0, kNoModifier, 0, {}};
    auto skipSpaces = [&] {
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    };
    skipSpaces();
    const size_t nameEnd = std::min(rest.find(' '), rest.size());
    e.answer.dialog = std::string(rest.substr(0, nameEnd));
    rest.remove_prefix(nameEnd);
    if (e.answer.dialog.empty()) {
      fail("„" + shown + "“" + where() + " nennt keinen Dialog.");
      return;
    }
    for (skipSpaces(); !rest.empty(); skipSpaces()) {
      const size_t eq = rest.find('=');
      const size_t space = rest.find(' ');
      if (eq == std::string_view::npos || (space != std::string_view::npos && space < eq) ||
          eq == 0) {
        fail("„" + shown + "“" + where() + ": ein Feld wird als Name=Wert geschrieben.");
        return;
      }
      std::string name(rest.substr(0, eq));
      rest.remove_prefix(eq + 1);
      std::string value;
      if (!rest.empty() && rest.front() == '"') {
        const size_t quote = rest.find('"', 1);
        if (quote == std::string_view::npos) {
          fail("„" + shown + "“" + where() + ": das Anführungszeichen wird nicht geschlossen.");
          return;
        }
        value = std::string(rest.substr(1, quote - 1));
        rest.remove_prefix(quote + 1);
      } else {
        const size_t end = std::min(rest.find(' '), rest.size());
        value = std::string(rest.substr(0, end));
        rest.remove_prefix(end);
      }
      e.answer.values.emplace_back(std::move(name), std::move(value));
    }
    if (const std::string why = CheckDialogAnswer(e.answer); !why.empty()) {
      fail(why.substr(0, why.size() - 1) + where() + ".");
      return;
    }
    out.push_back(std::move(e));
    advanceOver(close);
  }

  // Past the closing brace at `close`, counting characters, as names and values may be UTF-8.
  void advanceOver(size_t close) {
    size_t chars = 0;
    for (size_t i = pos_; i <= close; ++i)
      if ((static_cast<unsigned char>(s_[i]) & 0xC0) != 0x80) ++chars;
    advance(close + 1 - pos_, chars);
  }

  std::string_view s_;
  size_t pos_ = 0;
  size_t charIndex_ = 0;
  std::string error_;
};

}  // namespace

ParsedKeyScript ParseKeyScript(std::string_view utf8) {
  return Parser(utf8).run();
}

void RunKeyEvent(TMDIChild& w, const KeyEvent& e) {
  switch (e.kind) {
    case KeyEvent::Kind::Down:
      getkeysKeyDown(w, e.key, e.modifiers);
      break;
    case KeyEvent::Kind::Press:
      getkeysKeyPress(w, e.ch);
      break;
    case KeyEvent::Kind::Redo:
      RestoreBeforeRestoreCopyFromUndo(w, 0);
      break;
    case KeyEvent::Kind::Dialog:
      AnswerDialog(w, e.answer);
      break;
  }
}

void RunKeyScript(TMDIChild& w, const std::vector<KeyEvent>& events) {
  for (const KeyEvent& e : events) RunKeyEvent(w, e);
}

}  // namespace paginor
