// Asking the processor early for the lines a loop will read a few steps later.
//
// Every pass walks all lines of the document (the page flow is redone each time). Line records
// live in separate allocations, scattered once lines have been split and joined, so a walk waits
// on memory for each line; fetching a few lines ahead lets those waits overlap.
#pragma once

#include "model/records.h"

namespace paginor {

// Lines fetched ahead of a walk.
inline constexpr int32_t kPrefetchAhead = 8;

// The parts of a line record that the pass reads: the cell and row members at its start, the
// paragraph spacing, and the dirty flag with the line height.
inline void PrefetchLine(const LineRec& l) {
  __builtin_prefetch(&l.endKind);
  __builtin_prefetch(&l.para.spaceAbove);
  __builtin_prefetch(&l.dirty);
}

}  // namespace paginor
