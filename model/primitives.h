// Building and tearing down the document model.
#pragma once

#include <cstdint>

#include "model/records.h"

namespace paginor {

struct UndoState;

// Appends a field with default members; the caller fills it. Returns its index.
int32_t NewField(Document& d);
// Appends a page body: the page-body defaults for the first field, otherwise a copy of field 0
// without lines and unlinked. With `addLine`, the new field gets one new line.
enum class AddLine { No, Yes };
int32_t NewPage(Document& d, AddLine addLine);
// Appends the three header/footer pairs; only the last pair shows (on all pages).
void CreateHeaderFooter(Document& d);
// Gives a line the new-line defaults. Table geometry and cell design stay as they are.
void InitNewLine(LineRec& line);
// Inserts a new line at `line` in field `field`.
LineRec& InsertNewLine(Document& d, int32_t field, int32_t line);
// Inserts a character cell with the interned CurrentFormat at the Cursor (appending a line when
// the Cursor's line index equals the line count). The Cursor does not move. Returns nullptr when
// the Cursor lies outside the document.
CharRec* NewChar(Document& d);

// Releases a character's texts.
void freezeichen(CharRec& c);
// Releases every field.
void FreeFields(Document& d);
// Removes a field, unlinking it from its chain and renumbering the links above it.
void DeleteField(Document& d, int32_t index);
// Releases every picture and the list.
void FreeBilderListe(Document& d);
// Releases one picture's pixels; the slot stays so that picture indexes stay valid.
void FreeBildInListe(Document& d, int32_t index);
// Releases every picture that no cell of the document or of an undo snapshot references.
void FreeBildInListeIfNotNeeded(Document& d, const UndoState* undo);

void SetAllDirtyFlags(Document& d);
void ClearAllDirtyFlags(Document& d);

// The defaults of the fixed fields.
void SetPageBodyDefaults(FieldRec& f);
void SetHeaderDefaults(FieldRec& f);
void SetFooterDefaults(FieldRec& f);

}  // namespace paginor
