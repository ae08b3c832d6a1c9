// Little-endian byte serialisation for the file formats. Records are written field by field at
// their offsets, never by copying a C++ struct: the in-memory records have other sizes and
// padding than the stored ones, and a file must read the same on every machine.
//
// ByteReader never reads past its end: a read that would overrun returns zero and marks the
// reader failed, and stays failed, so a parser can check once after a group of reads.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace paginor::bytes {

inline uint16_t loadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t loadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t loadU64(const uint8_t* p) {
  return static_cast<uint64_t>(loadU32(p)) | (static_cast<uint64_t>(loadU32(p + 4)) << 32);
}
inline void storeU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void storeU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void storeU64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A fixed-size record under construction: zeroed, filled by offset, then appended as a whole.
// Slots nobody fills (reserved, runtime, references) stay zero, so output is deterministic.
template <size_t N>
class RecordBytes {
 public:
  static constexpr size_t kSize = N;
  void u8(size_t at, uint8_t v) { b_.at(at) = v; }
  void u16(size_t at, uint16_t v) { storeU16(slot(at, 2), v); }
  void i32(size_t at, int32_t v) { storeU32(slot(at, 4), static_cast<uint32_t>(v)); }
  void u32(size_t at, uint32_t v) { storeU32(slot(at, 4), v); }
  void f32(size_t at, float v) { storeU32(slot(at, 4), std::bit_cast<uint32_t>(v)); }
  void f64(size_t at, double v) { storeU64(slot(at, 8), std::bit_cast<uint64_t>(v)); }
  void raw(size_t at, const void* data, size_t size) { std::memcpy(slot(at, size), data, size); }
  const uint8_t* data() const { return b_.data(); }

 private:
  uint8_t* slot(size_t at, size_t size) {
    if (at + size > N) at = N - size;  // a wrong offset is a programming error; stay inside
    return b_.data() + at;
  }
  std::array<uint8_t, N> b_{};
};

// A stored record being read: bounds were checked when it was taken from the reader.
class RecordView {
 public:
  RecordView(const uint8_t* p, size_t size) : p_(p), size_(size) {}
  uint8_t u8(size_t at) const { return at < size_ ? p_[at] : 0; }
  uint16_t u16(size_t at) const { return at + 2 <= size_ ? loadU16(p_ + at) : 0; }
  int32_t i32(size_t at) const {
    return at + 4 <= size_ ? static_cast<int32_t>(loadU32(p_ + at)) : 0;
  }
  uint32_t u32(size_t at) const { return at + 4 <= size_ ? loadU32(p_ + at) : 0; }
  float f32(size_t at) const { return std::bit_cast<float>(u32(at)); }
  double f64(size_t at) const {
    return at + 8 <= size_ ? std::bit_cast<double>(loadU64(p_ + at)) : 0.0;
  }
  const uint8_t* data() const { return p_; }
  size_t size() const { return size_; }

 private:
  const uint8_t* p_;
  size_t size_;
};

class ByteWriter {
 public:
  void reserve(size_t n) { buf_.reserve(n); }
  void u8(uint8_t v) { buf_.push_back(v); }
  void u16(uint16_t v) {
    uint8_t b[2];
    storeU16(b, v);
    raw(b, 2);
  }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void u32(uint32_t v) {
    uint8_t b[4];
    storeU32(b, v);
    raw(b, 4);
  }
  void f64(double v) {
    uint8_t b[8];
    storeU64(b, std::bit_cast<uint64_t>(v));
    raw(b, 8);
  }
  void raw(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    buf_.insert(buf_.end(), p, p + size);
  }
  void zeros(size_t n) { buf_.insert(buf_.end(), n, 0); }
  // A string: i32 byte count, then the bytes, no terminator.
  void string(std::string_view s) {
    i32(static_cast<int32_t>(s.size()));
    raw(s.data(), s.size());
  }
  template <size_t N>
  void record(const RecordBytes<N>& r) {
    raw(r.data(), N);
  }

  size_t size() const { return buf_.size(); }
  std::vector<uint8_t>& bytes() { return buf_; }
  std::vector<uint8_t> take() { return std::move(buf_); }

 private:
  std::vector<uint8_t> buf_;
};

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : p_(data), size_(size) {}

  bool failed() const { return failed_; }
  size_t offset() const { return pos_; }
  size_t remaining() const { return size_ - pos_; }
  // Whether `count` items of at least `itemBytes` bytes each can still follow.
  bool canHold(int64_t count, size_t itemBytes) const {
    return count >= 0 && static_cast<uint64_t>(count) <= remaining() / (itemBytes ? itemBytes : 1);
  }

  // The next `n` bytes, or nullptr (and failed) when fewer remain.
  const uint8_t* take(size_t n) {
    if (failed_ || n > remaining()) {
      failed_ = true;
      return nullptr;
    }
    const uint8_t* p = p_ + pos_;
    pos_ += n;
    return p;
  }
  // The next `n` bytes without taking them, or nullptr when fewer remain (the reader does not
  // fail: the caller takes the careful way then).
  const uint8_t* peek(size_t n) const { return failed_ || n > remaining() ? nullptr : p_ + pos_; }
  void skip(size_t n) { take(n); }
  RecordView record(size_t n) {
    const uint8_t* p = take(n);
    return p ? RecordView(p, n) : RecordView(nullptr, 0);
  }
  uint8_t u8() {
    const uint8_t* p = take(1);
    return p ? *p : 0;
  }
  uint16_t u16() {
    const uint8_t* p = take(2);
    return p ? loadU16(p) : 0;
  }
  int32_t i32() {
    const uint8_t* p = take(4);
    return p ? static_cast<int32_t>(loadU32(p)) : 0;
  }
  double f64() {
    const uint8_t* p = take(8);
    return p ? std::bit_cast<double>(loadU64(p)) : 0.0;
  }
  // A string of at most `maxBytes`; a negative length, one beyond the limit or one running past
  // the end fails the reader.
  bool string(std::string& out, size_t maxBytes) {
    int32_t n = i32();
    if (failed_ || n < 0 || static_cast<size_t>(n) > maxBytes ||
        static_cast<size_t>(n) > remaining()) {
      failed_ = true;
      return false;
    }
    if (n == 0) {
      out.clear();
      return true;
    }
    const uint8_t* p = take(static_cast<size_t>(n));
    out.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
    return true;
  }
  void fail() { failed_ = true; }

 private:
  const uint8_t* p_;
  size_t size_;
  size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace paginor::bytes
