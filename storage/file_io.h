// What every document reader and writer shares: the German messages about files, reading a
// whole file under a size limit, the progress text in the status bar, and taking over the file
// name after a successful open or save.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace paginor {

class TMDIChild;
class AtomicFile;

// The name part of a path, as the file system holds it (bytes; on Linux normally UTF-8).
std::string FileNameOf(std::string_view path);
// The name part as a document holds it in `fileName` (Windows-1252, as all document text):
// converted from UTF-8 when it is valid UTF-8, else taken byte for byte.
std::string DocumentFileName(std::string_view path);

// Messages about files. `name` is the file name without directory, shown as it is.
std::string OpenFailedText(std::string_view name);    // "Konnte Datei ... nicht öffnen!"
std::string CreateFailedText(std::string_view name);  // "Konnte Datei ... nicht erstellen!"
std::string WriteFailedText(std::string_view name);   // "Konnte Datei ... nicht schreiben!"
std::string DamagedText(std::string_view name);
std::string TooLargeText(std::string_view name);

enum class ReadStatus { Ok, OpenFailed, TooLarge, ReadFailed };
// Reads a regular file completely. Files above `maxBytes` are refused before anything is
// allocated for them.
ReadStatus ReadWholeFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& out);
// Reads at most the first `maxBytes` bytes of a regular file (fewer when it is shorter), to
// recognise its format before choosing a reader.
ReadStatus ReadFileStart(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out);
// The message of a failed read, naming the file.
std::string ReadFailureText(ReadStatus status, std::string_view name);

// Shows a progress text in panel 3 of the status bar for as long as it lives, letting the
// user interface repaint once after setting it.
class FileStatus {
 public:
  FileStatus(Ui& ui, std::string_view text);
  ~FileStatus();
  FileStatus(const FileStatus&) = delete;
  FileStatus& operator=(const FileStatus&) = delete;

 private:
  Ui& ui_;
};

inline constexpr const char* kOpeningText = "Öffne Datei...";
inline constexpr const char* kSavingText = "Speichere Datei...";

// After a successful open or save: unless the application's quietFileMode is set, the document
// takes the path and its name and is marked as not modified.
void TakeFileName(TMDIChild& w, const std::string& path);

// Writes a document file the one safe way: `write` puts the whole content into a temporary file
// next to `path` while the status bar says "Speichere Datei..." (false: it could not), and the
// temporary file replaces the old one only when complete. Failures are shown with the file's
// name; success lets the document take the path (TakeFileName).
bool WriteDocumentFile(TMDIChild& w, const std::string& path,
                       const std::function<bool(AtomicFile&)>& write);

}  // namespace paginor
