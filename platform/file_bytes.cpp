#include "platform/file_bytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace paginor {

namespace {

// Memory for `size` bytes with all its pages present: one call instead of a fault per page.
char* populatedMemory(size_t size, size_t& mapped) {
  mapped = 0;
  if (size == 0) return new (std::nothrow) char[1];
  void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (p != MAP_FAILED) {
    mapped = size;
    return static_cast<char*>(p);
  }
  return new (std::nothrow) char[size];
}

bool readAll(int fd, char* to, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, to + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // cut while being read
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::shared_ptr<const FileBytes> FileBytes::read(const std::string& path, size_t maxBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  std::shared_ptr<const FileBytes> result;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
      static_cast<unsigned long long>(st.st_size) <= maxBytes) {
    const auto size = static_cast<size_t>(st.st_size);
    size_t mapped = 0;
    if (char* data = populatedMemory(size, mapped)) {
      // Owned at once, so that a failed read below gives the memory back.
      std::shared_ptr<const FileBytes> bytes(new (std::nothrow) FileBytes(data, size, mapped));
      if (!bytes) {
        if (mapped) ::munmap(data, mapped); else delete[] data;
      } else if (readAll(fd, data, size)) {
        result = std::move(bytes);
      }
    }
  }
  ::close(fd);
  return result;
}

FileBytes::~FileBytes() {
  if (mapped_)
    ::munmap(data_, mapped_);
  else
    delete[] data_;
}

}  // namespace paginor
