// Native documents (".sbl") and the new-document template "normal.sbt", which has the same
// format. storage/sbl_layout.h holds the byte layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"
#include "platform/result.h"
#include "storage/file_binding.h"

namespace paginor {

class TMDIChild;

inline constexpr const char* kNotNativeText = "Dies ist kein gültiges Scribolantium Dokument!";

// Writes the window's document to `path`. The previous file is replaced only once the new one
// is complete. Shows "Speichere Datei..." while working; a failure (running out of memory
// included) comes back with its message and leaves the file and the document as they were.
// When it adopts the file, the document takes the path and is marked as not modified.
Result SaveSBLFile(TMDIChild& w, const std::string& path,
                   FileBinding binding = FileBinding::Adopt);

// Replaces the window's document with the file's. A file that cannot be read, is no native
// document or is damaged, or whose reading or layout runs out of memory, is refused (the
// failure says why) and leaves the document exactly as it was.
// The page size is not part of the file; the window keeps its own. When it adopts the file, the
// document takes the path and is marked as not modified.
Result OpenSBLFile(TMDIChild& w, const std::string& path,
                   FileBinding binding = FileBinding::Adopt);

// Reads a native document from memory (standard input) into the window, as OpenSBLFile does a
// file; `name` stands for the file in messages. The document stays without a file name; adopted,
// it counts as unmodified.
Result OpenSBLData(TMDIChild& w, const std::vector<uint8_t>& data, const std::string& name,
                   FileBinding binding = FileBinding::Adopt);

// The file image SaveSBLFile writes.
std::vector<uint8_t> SerializeSBL(const Document& d);

// Whether the data begins with the magic of a native document.
bool HasSblMagic(const uint8_t* data, size_t size);

// Reads a file image into `out`, a document of its own: on success the members a file holds
// are replaced (see AdoptFileContent), on failure `out` may be half filled and must be dropped.
// Character cells are measured with the window's resolution and fonts. A refusal is WrongFormat
// (no native magic) or Damaged, with the offset where reading stopped, the part of the file
// being read and what was wrong in `detail`; its message is the general one without a name.
Result ParseSBL(TMDIChild& w, const uint8_t* data, size_t size, Document& out);

// Moves the members a file holds from `from` into `to`; page size, CurrentFormat, file name
// and modified flag of `to` stay.
void AdoptFileContent(Document& to, Document&& from);
// Exchanges the members a file holds between two documents, without allocating.
void SwapFileContent(Document& a, Document& b) noexcept;

}  // namespace paginor
