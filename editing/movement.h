// Cursor movement: the four primitives every movement key is made of, and the word steps.
// The primitives work directly on the line arrays and know the table geometry: moving by
// rowCells lines moves one visual line down or up inside the same table cell.
#pragma once

#include "model/records.h"

namespace paginor {

class TMDIChild;

// Each moves the Cursor and returns true when it moved the ordinary way, false when it stopped
// at the start or end of the chain or crossed into another table cell.
bool GoCharLeft(TMDIChild& w);
bool GoCharRight(TMDIChild& w);
// Up and Down keep the character index, not the horizontal position.
bool GoLineUp(TMDIChild& w);
bool GoLineDown(TMDIChild& w);

// The same steps on any position of the document.
bool CharLeft(const Document& d, CursorPos& p);
bool CharRight(const Document& d, CursorPos& p);
bool LineUp(const Document& d, CursorPos& p);
bool LineDown(const Document& d, CursorPos& p);

// Ctrl+Left and Ctrl+Right. Without `extend` (Shift) an existing marking first collapses to its
// start or end.
enum class Extend { No, Yes };
void GoWordLeft(TMDIChild& w, Extend extend);
void GoWordRight(TMDIChild& w, Extend extend);

}  // namespace paginor
