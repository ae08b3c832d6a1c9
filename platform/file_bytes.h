// A data file of the program read whole into memory of its own that is made ready in one step:
// the hyphenation tables are read at every start, and faulting their pages in one by one costs
// more than reading them. The bytes are a copy, so a file replaced or cut while the program runs
// cannot take them away.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace paginor {

class FileBytes {
 public:
  // The file's bytes, or null when it cannot be opened or read, is no regular file or is larger
  // than `maxBytes`.
  static std::shared_ptr<const FileBytes> read(const std::string& path, size_t maxBytes);

  ~FileBytes();
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  std::string_view view() const { return {data_, size_}; }

 private:
  FileBytes(char* data, size_t size, size_t mapped) : data_(data), size_(size), mapped_(mapped) {}
  char* data_;
  size_t size_;
  size_t mapped_;  // bytes of the anonymous mapping; 0 when the data came from new[]
};

}  // namespace paginor
