// Writing a file so that the previous one survives any failure: the new content goes to a
// temporary file in the target's directory, is flushed to the disk, and only then renamed over
// the target. A crash, a full disk or a write error leaves the old file as it was and no
// temporary file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace paginor {

enum class WriteError {
  None,
  Create,  // the file could not be created (directory missing or read-only, target a directory)
  Write,   // writing or flushing failed (disk full, input/output error)
};

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // an uncommitted file is discarded
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file next to `path`. A symbolic link is followed, so the file it
  // points to is replaced and the link stays.
  WriteError open(const std::string& path);
  // Appends bytes (buffered). After a failure every later call fails too.
  bool write(const void* data, size_t size);
  bool write(std::string_view s) { return write(s.data(), s.size()); }
  // Flushes, syncs and renames the temporary file over the target. On failure the temporary
  // file is removed and the target is untouched.
  WriteError commit();
  // Removes the temporary file; the target is untouched.
  void discard();

  const std::string& temporaryPath() const { return temp_; }

 private:
  bool flushBuffer();

  std::string target_;
  std::string temp_;
  int fd_ = -1;
  bool failed_ = false;
  std::vector<uint8_t> buffer_;
};

// The whole content at once.
WriteError WriteFileAtomically(const std::string& path, const void* data, size_t size);

}  // namespace paginor
