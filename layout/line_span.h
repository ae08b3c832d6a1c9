// A run of lines of one line array: a field's lines, or the part of a gathered chain that the
// page flow gives to one field of the chain before the lines are moved there.
#pragma once

#include <cstdint>

#include "model/records.h"

namespace paginor {

struct LineSpan {
  RecordArray<LineRec>* lines = nullptr;
  int32_t begin = 0;
  int32_t end = 0;

  static LineSpan Of(RecordArray<LineRec>& all) { return {&all, 0, all.size()}; }
  int32_t size() const { return end - begin; }
  LineRec& operator[](int32_t i) const { return (*lines)[begin + i]; }
};

}  // namespace paginor
