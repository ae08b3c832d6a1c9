// Qt key events in the editor's terms: Windows virtual-key codes with a modifier set for the
// key handler, and Windows-1252 bytes for the character handler.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "editing/keys.h"

namespace paginor {

// The virtual-key code of a Qt key (Qt::Key values), or 0 when the editor has none for it. Keys
// of the numeric keypad (Qt::KeypadModifier) have codes of their own, as on Windows: the keypad
// minus is not the minus key of the main keyboard, so Ctrl with it sets no soft hyphen.
int VirtualKeyOf(int qtKey, bool keypad = false);
// The modifier set of Qt keyboard modifiers (Qt::KeyboardModifiers as an int).
Modifiers ModifiersOf(int qtModifiers);

// Whether a key with these modifiers types its text: not with Ctrl or Alt alone (shortcuts),
// but with both together, which some keyboards use for AltGr.
bool TypesText(Modifiers modifiers);

// The characters a key event's text gives the character handler. Control characters are
// dropped (Backspace, Tab and Enter reach the editor as keys; Delete's text is 127). Returns
// nothing at all when one of the characters has no byte in Windows-1252: such text is refused
// whole, with no change.
std::optional<std::vector<uint8_t>> Cp1252CharactersOf(const QString& text);

// The status bar's note when typed text is refused because the document's character set lacks
// one of its characters (names the first such character).
QString UntypableCharacterText(const QString& text);

}  // namespace paginor
