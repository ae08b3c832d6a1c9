#include "storage/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "model/cp1252.h"
#include "model/document_window.h"
#include "storage/atomic_file.h"

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

std::string OpenFailedText(std::string_view name) {
  return "Konnte Datei " + std::string(name) + " nicht öffnen!";
}
std::string CreateFailedText(std::string_view name) {
  return "Konnte Datei " + std::string(name) + " nicht erstellen!";
}
std::string WriteFailedText(std::string_view name) {
  return "Konnte Datei " + std::string(name) + " nicht schreiben!";
}
std::string DamagedText(std::string_view name) {
  return "Die Datei " + std::string(name) + " ist beschädigt und kann nicht gelesen werden!";
}
std::string TooLargeText(std::string_view name) {
  return "Die Datei " + std::string(name) + " ist zu groß und kann nicht gelesen werden!";
}

std::string ReadFailureText(ReadStatus status, std::string_view name) {
  switch (status) {
    case ReadStatus::TooLarge:
      return TooLargeText(name);
    case ReadStatus::ReadFailed:
      return "Konnte Datei " + std::string(name) + " nicht lesen!";
    default:
      return OpenFailedText(name);
  }
}

namespace {

// Opens a regular file for reading; -1 with the status when it is none or cannot be opened.
int openRegular(const std::string& path, struct stat& st) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Fills `out` from the file; a file that shrank meanwhile gives what is there.
ReadStatus readInto(int fd, std::vector<uint8_t>& out) {
  size_t got = 0;
  ReadStatus status = ReadStatus::Ok;
  while (got < out.size()) {
    ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      status = ReadStatus::ReadFailed;
      break;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  out.resize(got);
  if (status != ReadStatus::Ok) out.clear();
  return status;
}

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& out) {
  out.clear();
  struct stat st {};
  const int fd = openRegular(path, st);
  if (fd < 0) return ReadStatus::OpenFailed;
  if (static_cast<uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return ReadStatus::TooLarge;
  }
  out.resize(static_cast<size_t>(st.st_size));
  return readInto(fd, out);
}

ReadStatus ReadFileStart(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out) {
  out.clear();
  struct stat st {};
  const int fd = openRegular(path, st);
  if (fd < 0) return ReadStatus::OpenFailed;
  out.resize(std::min(static_cast<uint64_t>(st.st_size), static_cast<uint64_t>(maxBytes)));
  return readInto(fd, out);
}

FileStatus::FileStatus(Ui& ui, std::string_view text) : ui_(ui) {
  ui_.statusText(3, text);
  ui_.processEvents();
}

FileStatus::~FileStatus() {
  ui_.statusText(3, "");
}

void TakeFileName(TMDIChild& w, const std::string& path) {
  if (w.app.quietFileMode) return;
  w.doc.filePath = path;
  w.doc.fileName = DocumentFileName(path);
  SetFileChanged(w, false);
}

bool WriteDocumentFile(TMDIChild& w, const std::string& path,
                       const std::function<bool(AtomicFile&)>& write) {
  const std::string name = FileNameOf(path);
  AtomicFile file;
  if (file.open(path) != WriteError::None) {
    w.app.message(CreateFailedText(name));
    return false;
  }
  WriteError result;
  {
    FileStatus status(w.app.ui(), kSavingText);
    result = write(file) ? file.commit() : WriteError::Write;
  }
  if (result != WriteError::None) {
    file.discard();
    w.app.message(result == WriteError::Create ? CreateFailedText(name) : WriteFailedText(name));
    return false;
  }
  TakeFileName(w, path);
  return true;
}

}  // namespace paginor
