// The keyboard of a document window. Keys arrive as Windows virtual-key codes with a modifier
// set (getkeysKeyDown), characters as Windows-1252 bytes (getkeysKeyPress); another platform
// maps its own key events onto these. Other parts (search and replace, the spelling replacement,
// table insertion, the special-character dialog) feed keys through the same two handlers.
#pragma once

#include <cstdint>

namespace paginor {

class TMDIChild;

// Virtual-key codes of the keys the editor handles.
namespace vk {
inline constexpr int kBack = 8;
inline constexpr int kTab = 9;
inline constexpr int kReturn = 13;
inline constexpr int kEscape = 27;
inline constexpr int kPrior = 33;  // Page Up
inline constexpr int kNext = 34;   // Page Down
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kOemMinus = 189;  // the minus key of the main keyboard
// Letters are their upper-case ASCII codes ('A' = 65).
}  // namespace vk

// The modifier set of a key.
enum Modifier : uint8_t { kNoModifier = 0, kShift = 1, kAlt = 2, kCtrl = 4 };
using Modifiers = uint8_t;

// The character the platform delivers after Ctrl+Backspace; the editor swallows it.
inline constexpr uint8_t kCtrlBackspaceChar = 127;
// Page Up and Page Down move this many lines.
inline constexpr int kPageSteps = 20;
// Pixels the view scrolls when a page key cannot move the Cursor any further.
inline constexpr int kPageScrollPixels = 8;

// What the window must do after a key, as the mouse handlers tell it theirs. The repaint itself
// goes through the host's repaint timer, whose paint first scrolls the caret into view where the
// layout puts it after this key.
struct KeyResponse {
  // Pixels to scroll the view by, negative upwards: Page Up and Page Down scroll for each step
  // they cannot move the Cursor any further.
  int32_t scrollBy = 0;
  // The ruler is being dragged and takes the key (Esc has ended the drag).
  bool forRuler = false;
};

KeyResponse getkeysKeyDown(TMDIChild& w, int key, Modifiers modifiers);
// A typed character asks nothing of the window beyond the repaint.
void getkeysKeyPress(TMDIChild& w, uint8_t ch);

// Splits line `line` of field `field` at `chr` and gives the upper part the end kind (1 paragraph
// end, 2 line break, 3 page break); in a table a whole visual row is added below the cursor's.
// The Cursor (and Anchor) move to the start of the new line; `chr` becomes 0. Lays out.
void InsertEnterOnThatPos(TMDIChild& w, int32_t field, int32_t line, int32_t& chr, int32_t endKind);

}  // namespace paginor
