// Writing a file so that the previous one survives any failure: the new content goes to a
// temporary file in the target's directory, is flushed to the disk, given the old file's owner,
// group and mode, and only then renamed over the target. A crash, a full disk or a write error
// leaves the old file as it was; the temporary file is removed on failure, on SIGTERM, SIGINT
// and SIGHUP, and (after a kill that allowed no clean-up) by the next save into that directory.
//
// What the target is decides how it is written:
// - a regular file, or a name that does not exist yet: replaced atomically, as above;
// - a symbolic link: kept; the file it names (at the end of the chain) is replaced or created;
// - a character device or a named pipe: written in place, nothing is renamed over it;
// - one of the process's own descriptors named through /dev/stdout, /dev/fd/N or
//   /proc/self/fd/N: written to that descriptor, so output lands where the shell sent it;
// - a block device, a socket or a directory: refused;
// - a writable regular file in a directory where no temporary file can be made (read-only
//   directory): written in place. The old content is kept in memory until the new content is
//   complete and written back if writing fails; the disk space is reserved first where the file
//   system allows.
// An atomic replacement makes a new file: other hard links to the old one keep the old content.
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

// Causes that have no errno of their own (errorNumber() returns them).
inline constexpr int kErrorNotAFile = -1;  // the target is a block device or a socket

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // an uncommitted file is discarded
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Prepares writing `path` (see above). `attributesOf`, when given, names the file whose owner,
  // group and mode the new file takes instead of the target's (a backup takes its original's).
  WriteError open(const std::string& path, const std::string& attributesOf = {});
  // Appends bytes (buffered). After a failure every later call fails too.
  bool write(const void* data, size_t size);
  bool write(std::string_view s) { return write(s.data(), s.size()); }
  // Flushes, syncs and renames the temporary file over the target (or finishes writing in
  // place). On failure the temporary file is removed and the target is untouched.
  WriteError commit();
  // Removes the temporary file; the target is untouched.
  void discard();

  // The errno of the last failure (or kErrorNotAFile), 0 when none is known.
  int errorNumber() const { return error_; }
  const std::string& temporaryPath() const { return temp_; }

 private:
  enum class Mode { Replace, Stream, Rewrite };
  bool fail(int error);
  bool flushBuffer();
  WriteError openTemporary(const std::string& attributesOf);
  WriteError commitRewrite();

  std::string target_;
  std::string directory_;
  std::string temp_;
  int fd_ = -1;
  Mode mode_ = Mode::Replace;
  bool failed_ = false;
  int error_ = 0;
  std::vector<uint8_t> buffer_;
};

// The whole content at once.
WriteError WriteFileAtomically(const std::string& path, const void* data, size_t size);

// Removes the temporary files of saves into `directory` whose process no longer runs (left by a
// kill that allowed no clean-up). Only files of this user that carry our temporary name
// (".NAME.~PID-N") are touched. Every save does this for its own directory.
void RemoveStaleTemporaryFiles(const std::string& directory);

}  // namespace paginor
