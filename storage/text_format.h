// Plain-text files in the ANSI code page (Windows-1252, the document's own) or the DOS code
// page (850, the German OEM code page).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace paginor {

class TMDIChild;

// Reads a text file into the window's new document: each text line becomes a paragraph of the
// page body in "Courier New", tabs become tab cells, other control characters are dropped.
// Lines may end in CR LF, LF or CR. With `oem` the file is read as code page 850.
bool OpenTXTFile(TMDIChild& w, const std::string& path, bool oem);

// Writes the text of every field chain (page bodies, headers, footers, text boxes, footnotes),
// one paragraph a line, table rows as their cell texts each followed by a tab, lines ending in
// CR LF. With `oem` the text is written in code page 850; a character that code page lacks is
// written as "?". The previous file is replaced only once the new one is complete.
bool SaveTXTFile(TMDIChild& w, const std::string& path, bool oem);

// Byte translation tables between Windows-1252 and code page 850, made once by the system's
// iconv; a byte without equivalent becomes "?". Empty when the system cannot convert.
using ByteTable = std::array<uint8_t, 256>;
const std::optional<ByteTable>& OemToAnsiTable();
const std::optional<ByteTable>& AnsiToOemTable();

}  // namespace paginor
