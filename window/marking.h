// Where the marking (the selection) of a window lies: the text between the Anchor and the
// Cursor, ordered, with the table rules that make a marking over several table rows a rectangle
// of whole cells. The drawing and the editing commands ask the same questions, so the cells
// drawn marked are exactly the cells a command acts on.
#pragma once

#include <cstdint>

namespace paginor {

class TMDIChild;

// True when Anchor and Cursor differ.
bool isThereAmarking(TMDIChild& w);
// Orders the ends into MarkStart and MarkEnd and works out the table rules (TableMarking,
// BlockMarking, the marked columns); a block marking's ends move to the corners of its cells.
void FindMarkingStart(TMDIChild& w);
// Whether the cell at (field, line, chr) is marked; call FindMarkingStart first.
bool isinmarking(TMDIChild& w, int32_t field, int32_t line, int32_t chr);

}  // namespace paginor
