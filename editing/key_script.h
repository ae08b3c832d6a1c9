// A small key language for driving the editor without a window: plain text is typed character
// by character, named keys stand in braces with their modifiers ("{Shift+End}", "{Ctrl+Left}"),
// "{{" and "}}" are literal braces, "{Dialog:Zeichen size=16 bold=1}" answers a dialog.
// docs/key-script.md describes it. The events go through the
// same two handlers as the keys of the desktop program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editing/dialog_answer.h"
#include "editing/keys.h"

namespace paginor {

class TMDIChild;

struct KeyEvent {
  enum class Kind : uint8_t {
    Down,    // getkeysKeyDown(key, modifiers)
    Press,   // getkeysKeyPress(ch)
    Redo,    // the menu command "Wiederholen": redo one step
    Dialog,  // a dialog answered with `answer`
  };
  Kind kind = Kind::Press;
  int key = 0;
  Modifiers modifiers = kNoModifier;
  uint8_t ch = 0;  // Windows-1252
  DialogAnswer answer;
  friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

struct ParsedKeyScript {
  std::vector<KeyEvent> events;
  std::string error;  // German, UTF-8; empty when the script was read
  bool ok() const { return error.empty(); }
};

// Reads a script in UTF-8. A named key becomes its key-down event followed by the character the
// platform delivers for it, if any (13 for Enter, 127 for Ctrl+Backspace, ...), so that the
// handlers see what they would see from a keyboard. Line breaks in the script are ignored.
ParsedKeyScript ParseKeyScript(std::string_view utf8);

// Feeds the events to the window's handlers.
void RunKeyScript(TMDIChild& w, const std::vector<KeyEvent>& events);
void RunKeyEvent(TMDIChild& w, const KeyEvent& event);

}  // namespace paginor
