// What every document reader and writer shares: the German messages about files, reading a
// whole file under a size limit, the progress text in the status bar, and taking over the file
// name after a successful open or save.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/platform.h"
#include "platform/result.h"
#include "storage/file_binding.h"

namespace paginor {

class TMDIChild;
class AtomicFile;

// The name part of a path, as the file system holds it (bytes; on Linux normally UTF-8).
std::string FileNameOf(std::string_view path);
// The name part as a document holds it in `fileName` (Windows-1252, as all document text):
// converted from UTF-8 when it is valid UTF-8, else taken byte for byte.
std::string DocumentFileName(std::string_view path);

// Whether a failed operation was reading or writing, for the wording of its cause.
enum class FileAccess { Read, Write };
// The cause of a failed file operation in German ("Der Datenträger ist voll."), from its errno
// (or kErrorNotAFile); empty when none is known.
std::string FileErrorCause(int error, FileAccess access);

// Messages about files. `name` is the file name without directory, shown as it is; a known cause
// (errno) follows the message as a sentence of its own.
std::string OpenFailedText(std::string_view name,
                           int error = 0);  // "Konnte Datei ... nicht öffnen!"
std::string CreateFailedText(std::string_view name,
                             int error = 0);  // "Konnte Datei ... nicht erstellen!"
std::string WriteFailedText(std::string_view name,
                            int error = 0);  // "Konnte Datei ... nicht schreiben!"
std::string DamagedText(std::string_view name);
std::string TooLargeText(std::string_view name);
// An allocation failed while the file was read, laid out or written; the command ended there.
enum class FileCommand { Open, Save };
std::string OutOfMemoryText(std::string_view name, FileCommand command);

// The kind of failure an errno (or kErrorNotAFile) stands for; `access` tells a missing file
// from a missing folder and a reading failure from a writing one.
FailureKind FailureKindOf(int error, FileAccess access);
// A failure with its kind from the errno and the given message.
Failure FileFailure(FileAccess access, int error, std::string message);

// Reads a file completely: a regular file, or what a pipe or device delivers up to its end.
// Files above `maxBytes` are refused (a regular file before anything is allocated for it). The
// failure's message names the file without its directory.
Result ReadWholeFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& out);
// The same from an open descriptor (standard input), which stays open; `name` stands for it in
// messages.
Result ReadWholeDescriptor(int fd, uint64_t maxBytes, std::vector<uint8_t>& out,
                           std::string_view name);
// Reads at most the first `maxBytes` bytes of a regular file (fewer when it is shorter), to
// recognise its format before choosing a reader. Anything but a regular file is refused, as a
// pipe would lose what was read.
bool ReadFileStart(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out);

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

// After a successful open or save that adopts the file: the document takes the path and its name
// and is marked as not modified.
void TakeFileName(TMDIChild& w, const std::string& path);

// The same in two steps: the names are made before the command changes anything, so that taking
// them afterwards cannot fail halfway for want of memory.
class PendingFileName {
 public:
  PendingFileName(const std::string& path, FileBinding binding);
  void take(TMDIChild& w) noexcept;

 private:
  bool detached_;
  std::string path_;
  std::string name_;
};

// Writes a document file the one safe way: `write` puts the whole content into a temporary file
// next to `path` while the status bar says "Speichere Datei..." (false: it could not), and the
// temporary file replaces the old one only when complete (AtomicFile says how links, devices
// and pipes are written). A failure, running out of memory included, comes back with the file's
// name and cause and leaves the file and the document as they were; success lets the document
// take the path (TakeFileName) when `binding` adopts the file.
// `write` is called through a plain pointer: wrapping it in a std::function could itself run out
// of memory before the save has begun to guard against that.
template <typename Write>
Result WriteDocumentFile(TMDIChild& w, const std::string& path, FileBinding binding,
                         Write&& write);
Result WriteDocumentFileWith(TMDIChild& w, const std::string& path, FileBinding binding,
                             bool (*write)(AtomicFile& file, void* context), void* context);

template <typename Write>
Result WriteDocumentFile(TMDIChild& w, const std::string& path, FileBinding binding,
                         Write&& write) {
  using Callable = std::remove_reference_t<Write>;
  return WriteDocumentFileWith(
      w, path, binding,
      [](AtomicFile& file, void* context) { return (*static_cast<Callable*>(context))(file); },
      const_cast<void*>(static_cast<const void*>(&write)));
}

// The failure of running out of memory while a file was read, laid out or written.
Failure OutOfMemoryFailure(std::string_view name, FileCommand command);

}  // namespace paginor
