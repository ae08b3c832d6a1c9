// The special-character dialog "Sonderzeichen" as data: the grid's characters, and the chosen
// character typed in the chosen font as if from the keyboard.
#pragma once

#include <string>

#include "platform/template_dialogs.h"

namespace paginor {

class TMDIChild;

inline constexpr int kSpecialGridColumns = 16;
inline constexpr int kSpecialGridRows = 14;
inline constexpr int kFirstSpecialCode = 32;
inline constexpr int kLastSpecialCode = 255;

// The code of a grid cell (column + 16 × row + 32), and the cell of a code.
inline constexpr int SpecialGridCode(int column, int row) {
  return column + kSpecialGridColumns * row + kFirstSpecialCode;
}
// The label under the grid: "Zeichen: 65".
std::string SpecialCharacterLabel(int code);

// The dialog as it opens: the CurrentFormat's face name and the character 32.
SpecialCharacterDialog SpecialCharacterDialogFor(const TMDIChild& w);

// "OK": the CurrentFormat takes the face name and the character set 1, the character is typed
// through the key handler (it replaces a marking, obeys overwrite mode and is one undo step
// "Eingabe"), and the toolbar follows the Cursor. A code outside 32 to 255 types nothing.
void ApplySpecialCharacterDialog(TMDIChild& w, const SpecialCharacterDialog& d);

// "&Sonderzeichen...": shows the dialog through the platform and applies it on "OK".
void SonderzeichenEinfuegen(TMDIChild& w);

}  // namespace paginor
