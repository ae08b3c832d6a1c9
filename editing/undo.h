// Undo and redo by whole-document snapshots. Every editing command takes a snapshot named after
// itself before it changes anything; undo puts an earlier snapshot in place of the document and
// redo walks forward again. Snapshots share the cell arrays with the document until a line
// changes, so taking one costs a copy of the line records only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "window/editor_host.h"

namespace paginor {

class TMDIChild;

// The entry that stands for the current state, added by the first undo after an edit.
inline constexpr const char* kOriginalEntryName = "Orginal";
// The drop-down lists of the undo and redo buttons show at most this many entries.
inline constexpr int kUndoListLength = 20;

// Takes a snapshot named `name` (UTF-8; at most 255 bytes are kept) of the document before a
// command changes it; discards what could be redone and, beyond the limit, the oldest entry.
void MakeCopyForUndo(TMDIChild& w, std::string_view name);
// Undoes k + 1 steps (k = 0: the most recent command).
void RestoreCopyFromUndo(TMDIChild& w, int32_t k);
// Redoes k + 1 steps (k = 0: the next command).
void RestoreBeforeRestoreCopyFromUndo(TMDIChild& w, int32_t k);
// Brings the undo and redo buttons, hints and menu captions in line with the list.
void SetUndoHints(TMDIChild& w);
// Releases what one entry owns (its document copy); the entry keeps its place.
void FreeUndoCopy(TMDIChild& w, int32_t index);
// Releases every entry.
void FreeAllUndoCops(TMDIChild& w);

// What SetUndoHints shows.
UndoButtons UndoButtonState(TMDIChild& w);
// The drop-down lists (UTF-8): undo newest first, redo next first; choosing position k undoes or
// redoes k + 1 steps.
std::vector<std::string> UndoListEntries(TMDIChild& w);
std::vector<std::string> RedoListEntries(TMDIChild& w);

}  // namespace paginor
