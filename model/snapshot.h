// A whole-document copy taken before an editing command. Cell arrays are shared with the
// document until either side changes a line, so a snapshot costs a copy of the line records.
#pragma once

#include <string>
#include <vector>

#include "model/records.h"

namespace paginor {

struct UndoSnapshot {
  std::string name;  // at most 255 bytes, Windows-1252
  std::vector<FieldRec> fields;
  CursorPos Anchor;
  CursorPos Cursor;
  int32_t currentPage = 0;
  CurrentFormatRec CurrentFormat;
  // The page size the fields were laid out for: page setup changes it, and the fields of an
  // entry only make sense with it.
  double pageWidth = 210.0;
  double pageHeight = 297.0;
};

struct UndoState {
  std::vector<UndoSnapshot> entries;
  int32_t position = 0;  // entries that can be undone
};

}  // namespace paginor
