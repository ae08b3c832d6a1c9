// Array of owned records held through pointers.
//
// The layout pass moves whole runs of lines between the fields of a chain (gathering before
// breaking, overflow after it), many thousands per pass in a long document. Holding lines
// through pointers makes such a move cost eight bytes a line instead of the whole record.
// Copies are deep: every record is copied, as a snapshot or clipboard copy must own its lines.
#pragma once

#include <cassert>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace paginor {

template <typename T>
class RecordArray {
 public:
  RecordArray() = default;
  RecordArray(const RecordArray& o) {
    v_.reserve(o.v_.size());
    for (const auto& p : o.v_) v_.push_back(std::make_unique<T>(*p));
  }
  RecordArray(RecordArray&&) noexcept = default;
  RecordArray& operator=(const RecordArray& o) {
    if (this != &o) {
      RecordArray copy(o);
      v_.swap(copy.v_);
    }
    return *this;
  }
  RecordArray& operator=(RecordArray&&) noexcept = default;

  int32_t size() const { return static_cast<int32_t>(v_.size()); }
  bool empty() const { return v_.empty(); }
  T& operator[](int32_t i) {
    assert(i >= 0 && i < size());
    return *v_[static_cast<size_t>(i)];
  }
  const T& operator[](int32_t i) const {
    assert(i >= 0 && i < size());
    return *v_[static_cast<size_t>(i)];
  }
  T& back() { return *v_.back(); }
  const T& back() const { return *v_.back(); }

  // Inserts a record at pos (0..size) and returns it.
  T& insert(int32_t pos, T item) {
    auto it = v_.insert(v_.begin() + pos, std::make_unique<T>(std::move(item)));
    return **it;
  }
  T& push_back(T item) { return insert(size(), std::move(item)); }
  void erase(int32_t first, int32_t last) {
    if (first < last) v_.erase(v_.begin() + first, v_.begin() + last);
  }
  void erase(int32_t i) { erase(i, i + 1); }
  void clear() { v_.clear(); }
  void reserve(int32_t n) { v_.reserve(static_cast<size_t>(n)); }

  // Moves the records [first, last) out of this array into `dest` at position `at`,
  // without copying them.
  void moveTo(int32_t first, int32_t last, RecordArray& dest, int32_t at) {
    if (first >= last) return;
    dest.v_.insert(dest.v_.begin() + at, std::make_move_iterator(v_.begin() + first),
                   std::make_move_iterator(v_.begin() + last));
    v_.erase(v_.begin() + first, v_.begin() + last);
  }

  class iterator {
   public:
    using Inner = typename std::vector<std::unique_ptr<T>>::iterator;
    explicit iterator(Inner it) : it_(it) {}
    T& operator*() const { return **it_; }
    T* operator->() const { return it_->get(); }
    iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator!=(const iterator& o) const { return it_ != o.it_; }
    bool operator==(const iterator& o) const { return it_ == o.it_; }

   private:
    Inner it_;
  };
  class const_iterator {
   public:
    using Inner = typename std::vector<std::unique_ptr<T>>::const_iterator;
    explicit const_iterator(Inner it) : it_(it) {}
    const T& operator*() const { return **it_; }
    const T* operator->() const { return it_->get(); }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator!=(const const_iterator& o) const { return it_ != o.it_; }
    bool operator==(const const_iterator& o) const { return it_ == o.it_; }

   private:
    Inner it_;
  };
  iterator begin() { return iterator(v_.begin()); }
  iterator end() { return iterator(v_.end()); }
  const_iterator begin() const { return const_iterator(v_.begin()); }
  const_iterator end() const { return const_iterator(v_.end()); }

 private:
  std::vector<std::unique_ptr<T>> v_;
};

}  // namespace paginor
