// The edits behind single keys, shared by the key map (keys.cpp) and its helpers. Private to
// editing/; other parts feed keys through getkeysKeyDown and getkeysKeyPress instead.
#pragma once

#include <cstdint>

#include "model/records.h"

namespace paginor {

class TMDIChild;

// Backspace without Ctrl and Alt, and Delete: with every join and table rule.
void KeyBackspace(TMDIChild& w);
void KeyDelete(TMDIChild& w);
// Enter (end kind 1), Shift+Enter (2), Ctrl+Enter (3).
void KeyEnter(TMDIChild& w, int32_t endKind);
void KeyTab(TMDIChild& w);
void ToggleSoftHyphen(TMDIChild& w);
void SelectAll(TMDIChild& w);

// Objects (fields of type above 2) selected as objects take the keyboard: only Delete acts.
bool AnyObjectSelected(const Document& d);
void DeleteSelectedObjects(TMDIChild& w);

// Removes cells [from, to) of a line, releasing what they own; an emptied line gives up its cell
// array.
void RemoveCells(LineRec& line, int32_t from, int32_t to);

}  // namespace paginor
