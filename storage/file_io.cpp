#include "storage/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "platform/cp1252.h"
#include "storage/atomic_file.h"
#include "window/document_window.h"

namespace paginor {

namespace {

bool isValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    auto b = static_cast<unsigned char>(s[i]);
    size_t len = b < 0x80           ? 1
                 : (b >> 5) == 0x6  ? 2
                 : (b >> 4) == 0xE  ? 3
                 : (b >> 3) == 0x1E ? 4
                                    : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

}  // namespace

std::string FileNameOf(std::string_view path) {
  size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return std::string(name.empty() ? path : name);
}

std::string DocumentFileName(std::string_view path) {
  std::string name = FileNameOf(path);
  return isValidUtf8(name) ? utf8ToCp1252(name) : name;
}

std::string FileErrorCause(int error, FileAccess access) {
  const bool reading = access == FileAccess::Read;
  switch (error) {
    case 0:
      return {};
    case kErrorNotAFile:
      return "Das Ziel ist keine Datei, sondern ein Blockgerät oder ein Socket.";
    case ENOSPC:
      return "Der Datenträger ist voll.";
    case EDQUOT:
      return "Der zugeteilte Speicherplatz (Quota) ist erschöpft.";
    case EFBIG:
      return "Die Datei überschreitet die zulässige Größe.";
    case EACCES:
    case EPERM:
      return reading ? "Keine Leseberechtigung." : "Keine Schreibberechtigung.";
    case EROFS:
      return "Der Datenträger ist schreibgeschützt.";
    case ENOENT:
      return reading ? "Die Datei existiert nicht." : "Der Ordner existiert nicht.";
    case ENOTDIR:
      return "Ein Teil des Pfades ist kein Ordner.";
    case EISDIR:
      return "Der Name gehört zu einem Ordner.";
    case ENAMETOOLONG:
      return "Der Dateiname ist zu lang.";
    case ELOOP:
      return "Die symbolischen Verknüpfungen bilden einen Kreis.";
    case EIO:
      return "Ein Ein-/Ausgabefehler des Datenträgers ist aufgetreten.";
    case EMFILE:
    case ENFILE:
      return "Es sind zu viele Dateien geöffnet.";
    case ENXIO:
    case ENODEV:
      return "Das Gerät ist nicht bereit.";
    case EPIPE:
      return "Der Empfänger hat die Verbindung beendet.";
    case EBADF:
      return "Die Ausgabe ist geschlossen.";
    case ETXTBSY:
      return "Die Datei wird gerade als Programm ausgeführt.";
    case ENOMEM:
      return "Nicht genügend Arbeitsspeicher.";
    case EBUSY:
      return "Die Datei ist belegt.";
    default:
      return "Systemfehler " + std::to_string(error) + ".";
  }
}

namespace {

std::string withCause(std::string text, int error, FileAccess access) {
  const std::string cause = FileErrorCause(error, access);
  if (!cause.empty()) text += " " + cause;
  return text;
}

}  // namespace

std::string OpenFailedText(std::string_view name, int error) {
  return withCause("Konnte Datei " + std::string(name) + " nicht öffnen!", error, FileAccess::Read);
}
std::string CreateFailedText(std::string_view name, int error) {
  return withCause("Konnte Datei " + std::string(name) + " nicht erstellen!", error,
                   FileAccess::Write);
}
std::string WriteFailedText(std::string_view name, int error) {
  return withCause("Konnte Datei " + std::string(name) + " nicht schreiben!", error,
                   FileAccess::Write);
}
std::string DamagedText(std::string_view name) {
  const std::string file = name.empty() ? "Die Datei" : "Die Datei " + std::string(name);
  return file + " ist beschädigt und kann nicht gelesen werden!";
}
std::string TooLargeText(std::string_view name) {
  return "Die Datei " + std::string(name) + " ist zu groß und kann nicht gelesen werden!";
}

std::string OutOfMemoryText(std::string_view name, FileCommand command) {
  if (command == FileCommand::Open)
    return "Nicht genügend Arbeitsspeicher, um die Datei " + std::string(name) +
           " zu öffnen! Das Dokument bleibt, wie es war.";
  return "Nicht genügend Arbeitsspeicher, um die Datei " + std::string(name) +
         " zu speichern! Eine frühere Datei dieses Namens bleibt erhalten.";
}

FailureKind FailureKindOf(int error, FileAccess access) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FailureKind::NotFound;
    case EACCES:
    case EPERM:
      return FailureKind::NoPermission;
    case ENOSPC:
    case EDQUOT:
      return FailureKind::DiskFull;
    case EFBIG:
      return FailureKind::TooLarge;
    case ENOMEM:
      return FailureKind::OutOfMemory;
    default:
      return access == FileAccess::Read ? FailureKind::Unreadable : FailureKind::NotWritable;
  }
}

Failure FileFailure(FileAccess access, int error, std::string message) {
  Failure f;
  f.kind = FailureKindOf(error, access);
  f.stage = access == FileAccess::Read ? FailureStage::Reading : FailureStage::Writing;
  f.message = std::move(message);
  return f;
}

Failure OutOfMemoryFailure(std::string_view name, FileCommand command) {
  Failure f;
  f.kind = FailureKind::OutOfMemory;
  f.stage = command == FileCommand::Open ? FailureStage::Reading : FailureStage::Writing;
  f.message = OutOfMemoryText(name, command);
  return f;
}

namespace {

// How reading a whole file ended; the errno of a failure goes with it.
enum class ReadStatus { Ok, OpenFailed, TooLarge, ReadFailed };

Result readResult(ReadStatus status, std::string_view name, int error) {
  switch (status) {
    case ReadStatus::Ok:
      return {};
    case ReadStatus::TooLarge:
      return ReadingFailure(FailureKind::TooLarge, TooLargeText(name));
    case ReadStatus::ReadFailed:
      return FileFailure(FileAccess::Read, error,
                         withCause("Konnte Datei " + std::string(name) + " nicht lesen!", error,
                                   FileAccess::Read));
    case ReadStatus::OpenFailed:
      break;
  }
  return FileFailure(FileAccess::Read, error, OpenFailedText(name, error));
}

void setError(int* error, int value) {
  if (error) *error = value;
}

// Fills `out` from the file; a file that shrank meanwhile gives what is there.
ReadStatus readInto(int fd, std::vector<uint8_t>& out, int* error) {
  size_t got = 0;
  ReadStatus status = ReadStatus::Ok;
  while (got < out.size()) {
    ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      setError(error, errno);
      status = ReadStatus::ReadFailed;
      break;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  out.resize(got);
  if (status != ReadStatus::Ok) out.clear();
  return status;
}

// Reads what a pipe or device gives until its end, in growing steps: its size is unknown.
ReadStatus readStream(int fd, uint64_t maxBytes, std::vector<uint8_t>& out, int* error) {
  out.clear();
  constexpr size_t kStep = size_t{1} << 16;
  for (;;) {
    const size_t at = out.size();
    out.resize(at + kStep);
    const ssize_t n = ::read(fd, out.data() + at, kStep);
    if (n < 0 && errno == EINTR) {
      out.resize(at);
      continue;
    }
    if (n < 0) {
      setError(error, errno);
      out.clear();
      return ReadStatus::ReadFailed;
    }
    out.resize(at + static_cast<size_t>(n));
    if (n == 0) break;
    if (out.size() > maxBytes) {
      out.clear();
      return ReadStatus::TooLarge;
    }
  }
  out.shrink_to_fit();
  return ReadStatus::Ok;
}

// A descriptor's content: regular files by their size, anything else as a stream.
ReadStatus readDescriptor(int fd, uint64_t maxBytes, std::vector<uint8_t>& out, int* error) {
  out.clear();
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    setError(error, errno);
    return ReadStatus::OpenFailed;
  }
  if (S_ISDIR(st.st_mode)) {
    setError(error, EISDIR);
    return ReadStatus::OpenFailed;
  }
  if (!S_ISREG(st.st_mode)) return readStream(fd, maxBytes, out, error);
  // A descriptor handed over (standard input) may stand anywhere in its file.
  const off_t at = ::lseek(fd, 0, SEEK_CUR);
  const uint64_t size = static_cast<uint64_t>(st.st_size) -
                        (at > 0 && at <= st.st_size ? static_cast<uint64_t>(at) : 0);
  if (size > maxBytes) return ReadStatus::TooLarge;
  out.resize(static_cast<size_t>(size));
  return readInto(fd, out, error);
}

}  // namespace

Result ReadWholeFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& out) {
  out.clear();
  int error = 0;
  // O_NONBLOCK keeps opening a pipe without writer from waiting; reading then waits as usual.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    error = errno;
    return readResult(ReadStatus::OpenFailed, FileNameOf(path), error);
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  const ReadStatus status = readDescriptor(fd, maxBytes, out, &error);
  ::close(fd);
  return readResult(status, FileNameOf(path), error);
}

Result ReadWholeDescriptor(int fd, uint64_t maxBytes, std::vector<uint8_t>& out,
                           std::string_view name) {
  int error = 0;
  const ReadStatus status = readDescriptor(fd, maxBytes, out, &error);
  return readResult(status, name, error);
}

bool ReadFileStart(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out) {
  out.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  out.resize(std::min(static_cast<uint64_t>(st.st_size), static_cast<uint64_t>(maxBytes)));
  const ReadStatus status = readInto(fd, out, nullptr);
  ::close(fd);
  return status == ReadStatus::Ok;
}

FileStatus::FileStatus(Ui& ui, std::string_view text) : ui_(ui) {
  try {
    ui_.statusText(3, text);
    ui_.processEvents();
  } catch (...) {
    ui_.statusText(3, "");  // a constructor that throws gets no destructor
    throw;
  }
}

FileStatus::~FileStatus() {
  ui_.statusText(3, "");
}

PendingFileName::PendingFileName(const std::string& path, FileBinding binding)
    : detached_(binding == FileBinding::Detached) {
  if (detached_) return;
  path_ = path;
  name_ = DocumentFileName(path);
}

void PendingFileName::take(TMDIChild& w) noexcept {
  if (detached_) return;
  w.doc.filePath.swap(path_);
  w.doc.fileName.swap(name_);
  try {
    SetFileChanged(w, false);
  } catch (...) {
    w.doc.modified = 0;  // the caption catches up with the next change
  }
}

void TakeFileName(TMDIChild& w, const std::string& path) {
  PendingFileName(path, FileBinding::Adopt).take(w);
}

namespace {

// Writes the file; running out of memory is left to the caller, which names the command.
Result writeFile(TMDIChild& w, const std::string& path, const std::string& name,
                 FileBinding binding, bool (*write)(AtomicFile&, void*), void* context) {
  PendingFileName pending(path, binding);
  AtomicFile file;
  if (file.open(path) != WriteError::None)
    return FileFailure(FileAccess::Write, file.errorNumber(),
                       CreateFailedText(name, file.errorNumber()));
  WriteError result = WriteError::Write;
  {
    // A bad_alloc here drops the unfinished temporary file with `file`.
    FileStatus status(w.app.ui(), kSavingText);
    result = write(file, context) ? file.commit() : WriteError::Write;
  }
  if (result != WriteError::None) {
    const int error = file.errorNumber();
    file.discard();
    return FileFailure(FileAccess::Write, error,
                       result == WriteError::Create ? CreateFailedText(name, error)
                                                    : WriteFailedText(name, error));
  }
  pending.take(w);
  return {};
}

}  // namespace

Result WriteDocumentFileWith(TMDIChild& w, const std::string& path, FileBinding binding,
                             bool (*write)(AtomicFile& file, void* context), void* context) {
  try {
    return writeFile(w, path, FileNameOf(path), binding, write, context);
  } catch (const std::bad_alloc&) {
  }
  // Outside the handler: the message needs memory, which the unwinding has given back.
  return OutOfMemoryFailure(FileNameOf(path), FileCommand::Save);
}

}  // namespace paginor
