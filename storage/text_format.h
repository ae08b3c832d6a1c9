// Plain-text files in the ANSI code page (Windows-1252, the document's own), the DOS code page
// (850, the German OEM code page) or UTF-8, the usual encoding of text files on Linux.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"
#include "storage/file_binding.h"

namespace paginor {

class TMDIChild;

// The character set of a text file.
enum class TextCode { Ansi, Dos, Utf8 };

// The largest text file read, about 10,000 pages of text. Laid out, a character costs about 70
// bytes and up to 135 while one long paragraph is broken into lines (bench/memory_bench.cpp), so
// this text peaks at about 1.2 GB as ordinary lines and 2.3 GB as a single paragraph: what a
// desktop of 8 GB can give one document beside the rest of its work. Twice as much was read
// before and asked 4.4 GB for a single paragraph.
inline constexpr uint64_t kMaxTextFileBytes = uint64_t{16} << 20;

// What reading a text file met on the way, besides its text.
struct TextImport {
  TextCode code = TextCode::Ansi;  // the character set the file was read in
  size_t replaced = 0;             // characters Windows-1252 lacks, now "?"
  size_t dropped = 0;              // control bytes left out (NUL, form feed, escape, ...)
};

// Reads a text file into the window's new document: each text line becomes a paragraph of the
// page body in "Courier New", tabs become tab cells, other control characters are dropped and
// counted: the status bar (panel 3) says how many. Lines may end in CR LF, LF or CR. `code` is
// the character set the user asked for; a file that starts with a UTF-8 byte-order mark, or is
// valid UTF-8 holding multi-byte sequences, is read as UTF-8 whatever was asked, since no ANSI or
// DOS text of any length looks like that by chance. Characters of a UTF-8 file that Windows-1252
// lacks become "?", and the result's warning tells the user how many. `report` (when given)
// receives what was met. A file that cannot be read, or whose reading or layout runs out of
// memory, is refused (the failure says why) and leaves the document as it was. Adopting the file,
// the document takes its path and counts as unmodified.
Result OpenTXTFile(TMDIChild& w, const std::string& path, TextCode code,
                   TextImport* report = nullptr, FileBinding binding = FileBinding::Adopt);
inline Result OpenTXTFile(TMDIChild& w, const std::string& path, bool oem) {
  return OpenTXTFile(w, path, oem ? TextCode::Dos : TextCode::Ansi);
}
// The same from memory (standard input); `name` stands for the file in messages, and the
// document stays without a file name (adopted, it counts as unmodified).
Result OpenTXTData(TMDIChild& w, std::vector<uint8_t> data, const std::string& name,
                   TextCode code, TextImport* report = nullptr,
                   FileBinding binding = FileBinding::Adopt);

// "Die Datei ... enthielt n Steuerzeichen ...": the note on dropped control bytes.
std::string DroppedControlsText(const std::string& name, size_t count);

// Writes the text of every field chain (page bodies, headers, footers, text boxes, footnotes),
// one paragraph a line, table rows as their cell texts each followed by a tab. ANSI and DOS text
// end their lines in CR LF, UTF-8 text (without byte-order mark) in LF as Linux tools expect. In
// the DOS code page a character it lacks is written as "?"; UTF-8 holds every character. The
// previous file is replaced only once the new one is complete. Adopting the file, the document
// takes its path and counts as unmodified.
Result SaveTXTFile(TMDIChild& w, const std::string& path, TextCode code,
                   FileBinding binding = FileBinding::Adopt);
inline Result SaveTXTFile(TMDIChild& w, const std::string& path, bool oem) {
  return SaveTXTFile(w, path, oem ? TextCode::Dos : TextCode::Ansi);
}

// The warning after reading a file whose characters the document's code page partly lacks:
// "Die Datei ... enthält n Zeichen, die der Zeichensatz Windows-1252 nicht kennt; ...".
std::string ReplacedCharactersText(const std::string& name, size_t count);

// Byte translation tables between Windows-1252 and code page 850, made once by the system's
// iconv. Box-drawing and block characters of code page 850 become the nearest plain character
// ("+", "-", "|", "=", "#"), so that a table drawn with lines keeps its shape; any other byte
// without equivalent becomes "?". Empty when the system cannot convert.
using ByteTable = std::array<uint8_t, 256>;
const std::optional<ByteTable>& OemToAnsiTable();
const std::optional<ByteTable>& AnsiToOemTable();

}  // namespace paginor
