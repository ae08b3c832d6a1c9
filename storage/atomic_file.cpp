#include "storage/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace paginor {

namespace {

constexpr size_t kBufferBytes = size_t{1} << 20;
// Room for the suffix within the 255 bytes a file name may have.
constexpr size_t kMaxTempStem = 200;

bool writeAll(int fd, const uint8_t* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

std::string resolveTarget(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(path, ec)) return path;
  std::filesystem::path real = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : real.string();
}

std::string directoryOf(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(1, '.') : parent.string();
}

void syncDirectory(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // best effort: the rename is done either way
  ::close(fd);
}

}  // namespace

AtomicFile::~AtomicFile() {
  discard();
}

WriteError AtomicFile::open(const std::string& path) {
  discard();
  failed_ = false;
  buffer_.clear();
  target_ = resolveTarget(path);
  // A file the user may not write stays as it is, as when it were opened for writing.
  if (::access(target_.c_str(), F_OK) == 0 && ::access(target_.c_str(), W_OK) != 0)
    return WriteError::Create;
  std::filesystem::path p(target_);
  const std::string dir = directoryOf(target_);
  std::string stem = p.filename().string().substr(0, kMaxTempStem);
  if (stem.empty()) return WriteError::Create;

  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate =
        dir + "/." + stem + ".~" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    // 0666 less the umask, as any new file gets.
    int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return WriteError::Create;
    }
    fd_ = fd;
    temp_ = candidate;
    break;
  }
  if (fd_ < 0) return WriteError::Create;

  // A replaced file keeps its permissions.
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd_, st.st_mode & 07777);
  buffer_.reserve(kBufferBytes);
  return WriteError::None;
}

bool AtomicFile::flushBuffer() {
  if (failed_ || fd_ < 0) return false;
  if (!buffer_.empty() && !writeAll(fd_, buffer_.data(), buffer_.size())) failed_ = true;
  buffer_.clear();
  return !failed_;
}

bool AtomicFile::write(const void* data, size_t size) {
  if (failed_ || fd_ < 0) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  if (buffer_.size() + size <= kBufferBytes) {
    buffer_.insert(buffer_.end(), p, p + size);
    return true;
  }
  if (!flushBuffer()) return false;
  if (size >= kBufferBytes) {
    if (!writeAll(fd_, p, size)) failed_ = true;
    return !failed_;
  }
  buffer_.insert(buffer_.end(), p, p + size);
  return true;
}

WriteError AtomicFile::commit() {
  if (fd_ < 0) return WriteError::Create;
  bool ok = flushBuffer() && ::fsync(fd_) == 0;
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  if (!ok) {
    discard();
    return WriteError::Write;
  }
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    discard();
    return WriteError::Create;
  }
  temp_.clear();
  syncDirectory(directoryOf(target_));
  return WriteError::None;
}

void AtomicFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  buffer_.clear();
}

WriteError WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  AtomicFile f;
  WriteError e = f.open(path);
  if (e != WriteError::None) return e;
  if (!f.write(data, size)) {
    f.discard();
    return WriteError::Write;
  }
  return f.commit();
}

}  // namespace paginor
