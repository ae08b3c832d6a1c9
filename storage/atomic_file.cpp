#include "storage/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>

namespace paginor {

namespace {

constexpr size_t kBufferBytes = size_t{1} << 20;
// Room for the suffix within the 255 bytes a file name may have.
constexpr size_t kMaxTempStem = 200;
// Symbolic links followed before giving up, as the kernel does (ELOOP).
constexpr int kMaxLinkHops = 40;

// --- Temporary files removed on a terminating signal ----------------------------------------
//
// The handler may only use async-signal-safe calls, so the names live in fixed slots that are
// published by a flag written last. A save in progress holds one slot; a few cover nested saves
// (a backup while saving).

constexpr int kTempSlots = 8;
struct TempSlot {
  volatile sig_atomic_t used = 0;
  char path[PATH_MAX];
};
TempSlot g_temps[kTempSlots];

constexpr int kCleanupSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = sizeof kCleanupSignals / sizeof kCleanupSignals[0];
struct sigaction g_previous[kSignalCount];

void removeTemporaries() {
  for (TempSlot& s : g_temps)
    if (s.used) ::unlink(s.path);
}

void onTerminatingSignal(int sig, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  removeTemporaries();
  int i = 0;
  while (i < kSignalCount && kCleanupSignals[i] != sig) ++i;
  if (i < kSignalCount) {
    const struct sigaction& prev = g_previous[i];
    if (prev.sa_flags & SA_SIGINFO) {
      if (prev.sa_sigaction) prev.sa_sigaction(sig, info, context);
    } else if (prev.sa_handler == SIG_DFL) {
      // The signal is blocked while its handler runs: it arrives again on return and ends the
      // process as it would have without us, with the same exit status.
      ::signal(sig, SIG_DFL);
      ::raise(sig);
    } else if (prev.sa_handler != SIG_IGN) {
      prev.sa_handler(sig);
    }
  }
  errno = savedErrno;
}

// Installed once, when the first temporary file is made. A signal the program ignores (a run
// under nohup) stays ignored; a handler of the program's own is called after ours.
void installCleanupHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int i = 0; i < kSignalCount; ++i) {
    struct sigaction prev {};
    if (::sigaction(kCleanupSignals[i], nullptr, &prev) != 0) continue;
    if (!(prev.sa_flags & SA_SIGINFO) && prev.sa_handler == SIG_IGN) continue;
    g_previous[i] = prev;
    struct sigaction sa {};
    sa.sa_sigaction = onTerminatingSignal;
    sa.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&sa.sa_mask);
    ::sigaction(kCleanupSignals[i], &sa, nullptr);
  }
}

// Takes a slot for `path`; none when the name is too long or every slot is taken (the file is
// then only removed by the next save's stale-file sweep).
void registerTemporary(const std::string& path) {
  installCleanupHandlers();
  if (path.size() >= PATH_MAX) return;
  for (TempSlot& s : g_temps) {
    if (s.used) continue;
    std::memcpy(s.path, path.c_str(), path.size() + 1);
    std::atomic_signal_fence(std::memory_order_release);
    s.used = 1;
    return;
  }
}

void unregisterTemporary(const std::string& path) {
  for (TempSlot& s : g_temps)
    if (s.used && path == s.path) s.used = 0;
}

// --- Targets ----------------------------------------------------------------------------------

struct Target {
  enum class Kind { New, Regular, Stream, Rewrite, Descriptor, Refused };
  Kind kind = Kind::New;
  std::string path;  // the name at the end of any link chain
  int descriptor = -1;
  int error = 0;
};

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int parseNumber(std::string_view s) {
  int n = -1;
  if (!allDigits(s) || std::from_chars(s.data(), s.data() + s.size(), n).ec != std::errc())
    return -1;
  return n;
}

// The number N when `p` names one of this process's descriptors ("/dev/stdout", "/dev/fd/N",
// "/proc/self/fd/N", "/proc/<own pid>/fd/N"), else -1. Such a name means "where the shell sent
// this descriptor", which is not a file to replace.
int ownDescriptor(std::string_view p) {
  if (p == "/dev/stdout") return 1;
  if (p == "/dev/stderr") return 2;
  for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"})
    if (p.substr(0, prefix.size()) == prefix) return parseNumber(p.substr(prefix.size()));
  const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
  if (p.substr(0, own.size()) == own) return parseNumber(p.substr(own.size()));
  return -1;
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

Target refused(const std::string& path, int error) {
  Target t;
  t.kind = Target::Kind::Refused;
  t.path = path;
  t.error = error;
  return t;
}

// What an existing file is, once links are followed.
Target byType(const std::string& path, mode_t mode, bool reachedThroughProc) {
  Target t;
  t.path = path;
  if (S_ISREG(mode))
    t.kind = reachedThroughProc ? Target::Kind::Rewrite : Target::Kind::Regular;
  else if (S_ISCHR(mode) || S_ISFIFO(mode))
    t.kind = Target::Kind::Stream;
  else
    return refused(path, S_ISDIR(mode) ? EISDIR : kErrorNotAFile);
  return t;
}

// Follows symbolic links one by one, so that a dangling link still gives the name it points to
// (the file to create there) and the links themselves stay.
Target resolve(const std::string& path) {
  std::string p = path;
  for (int hops = 0;; ++hops) {
    if (const int n = ownDescriptor(p); n >= 0) {
      Target t;
      t.kind = Target::Kind::Descriptor;
      t.path = p;
      t.descriptor = n;
      return t;
    }
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) {
      if (errno != ENOENT) return refused(p, errno);
      Target t;
      t.path = p;  // a missing directory shows when the file is made
      return t;
    }
    if (!S_ISLNK(st.st_mode)) return byType(p, st.st_mode, false);
    if (hops >= kMaxLinkHops) return refused(p, ELOOP);
    if (p.rfind("/proc/", 0) == 0) {
      // A link of the process table (another process's descriptor): its text is no path; the
      // kernel resolves it on opening.
      if (::stat(p.c_str(), &st) != 0) return refused(p, errno);
      return byType(p, st.st_mode, true);
    }
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
    if (n < 0) return refused(p, errno);
    if (static_cast<size_t>(n) >= link.size()) return refused(p, ENAMETOOLONG);
    link.resize(static_cast<size_t>(n));
    p = link.front() == '/' ? link : directoryOf(p) + "/" + link;
  }
}

bool writeAll(int fd, const uint8_t* p, size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) return false;
    if (w == 0) {
      errno = EIO;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool writeAllAt(int fd, const uint8_t* p, size_t n, off_t at) {
  while (n > 0) {
    const ssize_t w = ::pwrite(fd, p, n, at);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) return false;
    if (w == 0) {
      errno = EIO;
      return false;
    }
    p += w;
    at += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool readAllAt(int fd, std::vector<uint8_t>& out) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < out.size()) {
    const ssize_t r = ::pread(fd, out.data() + got, out.size() - got, static_cast<off_t>(got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return false;
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  out.resize(got);
  return true;
}

void syncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // best effort: the rename is done either way
  ::close(fd);
}

// Our temporary names: "." + stem + ".~" + pid + "-" + counter. The pid, or -1.
int temporaryOwner(std::string_view name) {
  if (name.size() < 5 || name.front() != '.') return -1;
  const size_t mark = name.rfind(".~");
  if (mark == std::string_view::npos || mark < 1) return -1;
  const std::string_view tail = name.substr(mark + 2);
  const size_t dash = tail.find('-');
  if (dash == std::string_view::npos || !allDigits(tail.substr(dash + 1))) return -1;
  return parseNumber(tail.substr(0, dash));
}

}  // namespace

void RemoveStaleTemporaryFiles(const std::string& directory) {
  DIR* dir = ::opendir(directory.c_str());
  if (!dir) return;
  const int dfd = ::dirfd(dir);
  const pid_t self = ::getpid();
  while (const dirent* e = ::readdir(dir)) {
    const int pid = temporaryOwner(e->d_name);
    if (pid <= 0 || pid == self) continue;
    struct stat st {};
    if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid())
      continue;
    // A process that runs (or that we may not signal) may still be writing it.
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
    ::unlinkat(dfd, e->d_name, 0);
  }
  ::closedir(dir);
}

AtomicFile::~AtomicFile() {
  discard();
}

bool AtomicFile::fail(int error) {
  if (!failed_) error_ = error;
  failed_ = true;
  return false;
}

WriteError AtomicFile::open(const std::string& path, const std::string& attributesOf) {
  discard();
  failed_ = false;
  error_ = 0;
  buffer_.clear();
  mode_ = Mode::Replace;

  const Target t = resolve(path);
  target_ = t.path;
  switch (t.kind) {
    case Target::Kind::Refused:
      error_ = t.error;
      return WriteError::Create;
    case Target::Kind::Descriptor:
      fd_ = ::fcntl(t.descriptor, F_DUPFD_CLOEXEC, 0);
      if (fd_ < 0) {
        error_ = errno;
        return WriteError::Create;
      }
      mode_ = Mode::Stream;
      break;
    case Target::Kind::Stream:
      // A pipe without a reader waits for one, as the shell's ">" does.
      fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
      if (fd_ < 0) {
        error_ = errno;
        return WriteError::Create;
      }
      mode_ = Mode::Stream;
      break;
    case Target::Kind::Rewrite:
      fd_ = ::open(target_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
      if (fd_ < 0) {
        error_ = errno;
        return WriteError::Create;
      }
      mode_ = Mode::Rewrite;
      break;
    case Target::Kind::Regular:
      // A file the user may not write stays as it is, as when it were opened for writing.
      if (::access(target_.c_str(), W_OK) != 0) {
        error_ = errno;
        return WriteError::Create;
      }
      [[fallthrough]];
    case Target::Kind::New: {
      const WriteError e = openTemporary(attributesOf);
      if (e == WriteError::None) break;
      // A writable file in a directory that takes no new file is written in place.
      const bool noRoom = error_ == EACCES || error_ == EPERM;
      if (t.kind != Target::Kind::Regular || !noRoom) return e;
      fd_ = ::open(target_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
      if (fd_ < 0) return WriteError::Create;  // keeps the directory's error
      error_ = 0;
      mode_ = Mode::Rewrite;
      break;
    }
  }
  if (mode_ != Mode::Rewrite) buffer_.reserve(kBufferBytes);
  return WriteError::None;
}

WriteError AtomicFile::openTemporary(const std::string& attributesOf) {
  // Kept for the commit, which must not allocate once the file is in place.
  directory_ = directoryOf(target_);
  const std::string& dir = directory_;
  const std::string stem = fileNameOf(target_).substr(0, kMaxTempStem);
  if (stem.empty()) {
    error_ = EISDIR;
    return WriteError::Create;
  }
  RemoveStaleTemporaryFiles(dir);

  // The new file takes the old one's owner, group and mode; a new name gets what any new file
  // gets (0666 less the umask).
  struct stat like {};
  const std::string& source = attributesOf.empty() ? target_ : attributesOf;
  const bool hasLike = ::stat(source.c_str(), &like) == 0 && S_ISREG(like.st_mode);

  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate =
        dir + "/." + stem + ".~" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    // Registered before it exists, so that a signal arriving right after its creation finds it.
    registerTemporary(candidate);
    const int fd =
        ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, hasLike ? 0600 : 0666);
    if (fd < 0) {
      const int error = errno;
      unregisterTemporary(candidate);
      if (error == EEXIST) continue;
      error_ = error;
      return WriteError::Create;
    }
    fd_ = fd;
    temp_ = std::move(candidate);
    break;
  }
  if (fd_ < 0) {
    error_ = EEXIST;
    return WriteError::Create;
  }
  if (hasLike) {
    // Where permitted: root keeps another user's file theirs; a user may keep a group they
    // belong to. The mode comes after, as a change of owner clears the set-id bits.
    if (::fchown(fd_, like.st_uid, like.st_gid) != 0)
      ::fchown(fd_, static_cast<uid_t>(-1), like.st_gid);
    ::fchmod(fd_, like.st_mode & 07777);
  }
  return WriteError::None;
}

bool AtomicFile::flushBuffer() {
  if (failed_ || fd_ < 0) return false;
  if (!buffer_.empty() && !writeAll(fd_, buffer_.data(), buffer_.size())) fail(errno);
  buffer_.clear();
  return !failed_;
}

bool AtomicFile::write(const void* data, size_t size) {
  if (failed_ || fd_ < 0) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  if (mode_ == Mode::Rewrite || buffer_.size() + size <= kBufferBytes) {
    buffer_.insert(buffer_.end(), p, p + size);
    return true;
  }
  if (!flushBuffer()) return false;
  if (size >= kBufferBytes) {
    if (!writeAll(fd_, p, size)) return fail(errno);
    return true;
  }
  buffer_.insert(buffer_.end(), p, p + size);
  return true;
}

// Writing over the file itself: the old content stays in memory until the new one is on the
// disk, and goes back when writing failed halfway.
WriteError AtomicFile::commitRewrite() {
  std::vector<uint8_t> old;
  if (!readAllAt(fd_, old)) {
    fail(errno);
    return WriteError::Write;
  }
  // Room for the longer content first, so that a full disk refuses before anything changes.
  if (buffer_.size() > old.size() &&
      ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(buffer_.size())) != 0 &&
      (errno == ENOSPC || errno == EDQUOT)) {
    fail(errno);
    return WriteError::Write;
  }
  const bool ok = writeAllAt(fd_, buffer_.data(), buffer_.size(), 0) &&
                  ::ftruncate(fd_, static_cast<off_t>(buffer_.size())) == 0 && ::fsync(fd_) == 0;
  if (ok) return WriteError::None;
  fail(errno);
  if (writeAllAt(fd_, old.data(), old.size(), 0)) ::ftruncate(fd_, static_cast<off_t>(old.size()));
  ::fsync(fd_);
  return WriteError::Write;
}

WriteError AtomicFile::commit() {
  if (fd_ < 0) return WriteError::Create;
  bool ok = !failed_;
  if (ok && mode_ == Mode::Rewrite) ok = commitRewrite() == WriteError::None;
  if (ok && mode_ != Mode::Rewrite) ok = flushBuffer();
  // A pipe or a terminal cannot be synced; there is nothing to sync before a rename either.
  if (ok && mode_ == Mode::Replace && ::fsync(fd_) != 0) ok = fail(errno);
  if (::close(fd_) != 0 && ok) ok = fail(errno);
  fd_ = -1;
  buffer_.clear();
  if (!ok) {
    discard();
    return WriteError::Write;
  }
  if (mode_ != Mode::Replace) return WriteError::None;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    fail(errno);
    discard();
    return WriteError::Create;
  }
  unregisterTemporary(temp_);
  temp_.clear();
  syncDirectory(directory_);
  return WriteError::None;
}

void AtomicFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    unregisterTemporary(temp_);
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
