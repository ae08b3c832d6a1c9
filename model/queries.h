// Queries on the document model. All are linear scans over the records.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/records.h"

namespace paginor {

// Index of the last page body whose page is `page`; 0 when there is none.
int32_t GetFieldofPage(const Document& d, int32_t page);
// Index of the last footnote area with this number; -1 when there is none.
int32_t GetFootNoteField(const Document& d, int32_t number);
// The page count: the largest page of any field, plus one.
int32_t GetAnzPages(const Document& d);
// Normalises a (field, line) pair across the field's chain: a negative line index walks to the
// previous fields, one beyond the last line to the next fields. The result may still lie outside
// when the chain ends.
void GoToLine(const Document& d, int32_t& field, int32_t& line);
// The smallest anchor identifier from 100 up that no anchored floating field uses.
int32_t getFreeAnkerID(const Document& d);
// The first anchored floating field at or after `first` carrying `id`; -1 when there is none.
int32_t getfieldWithAnkerID(const Document& d, int32_t first, int32_t id);
// Index of the font-table entry equal to `font`, appending a copy when there is none.
int32_t GetNewFontIndex(Document& d, const FontRec& font);
// The font description of the CurrentFormat (reserved byte 0).
FontRec FontOfCurrentFormat(const CurrentFormatRec& f);
// Stores an owned copy of `text` in the slot (none for an empty text).
inline void SetPCharText(PString& slot, std::string_view text) { slot.set(text); }

// Bit operations on a 16-bit attribute word and on a flag byte.
inline void SettingOps(uint16_t& word, int bit, bool on) {
  word = on ? static_cast<uint16_t>(word | (1u << bit)) : static_cast<uint16_t>(word & ~(1u << bit));
}
inline bool GettingOps(uint16_t word, int bit) { return (word >> bit) & 1u; }
inline void SettingOpsB(uint8_t& byte, int bit, bool on) {
  byte = on ? static_cast<uint8_t>(byte | (1u << bit)) : static_cast<uint8_t>(byte & ~(1u << bit));
}
inline bool GettingOpsB(uint8_t byte, int bit) { return (byte >> bit) & 1u; }

}  // namespace paginor
