// Bullets and numbering of paragraphs. The Backspace key removes a paragraph's bullet or number
// through it.
#pragma once

#include <cstdint>

namespace paginor {

class TMDIChild;

// Toggles the list kind (1 bullets, 2 numbering) of the paragraph at the Cursor, or of every
// marked paragraph, with the bullet character 159; kind 0 removes bullets and numbers. Every
// paragraph written receives the whole paragraph format of the Cursor's line. Takes the undo
// snapshot "Absatzformat" and lays out.
void aufzaehlung(TMDIChild& w, int32_t kind);

}  // namespace paginor
