// Copy-on-write array of character cells.
//
// An undo snapshot copies the whole document before every command. Sharing the cell arrays
// between the document and its snapshots makes that copy cost a reference count per line
// instead of a copy of every cell; a line's cells are copied only when the line is changed.
//
// Reading goes through the const interface and never copies. Every change goes through
// mut(), edit() or one of the modifying members, which first give the line its own cells when
// a snapshot still shares them. There is deliberately no non-const operator[]: a read through a
// non-const line must not silently unshare it.
#pragma once

#include <cassert>
#include <cstdint>
#include <utility>
#include <vector>

namespace paginor {

template <typename T>
class CowArray {
  struct Block {
    int32_t refs = 1;  // single-threaded by design: the engine runs on the UI thread only
    std::vector<T> items;
  };

 public:
  CowArray() = default;
  CowArray(const CowArray& o) : b_(o.b_) {
    if (b_) ++b_->refs;
  }
  CowArray(CowArray&& o) noexcept : b_(o.b_) { o.b_ = nullptr; }
  CowArray& operator=(const CowArray& o) {
    if (b_ != o.b_) {
      release();
      b_ = o.b_;
      if (b_) ++b_->refs;
    }
    return *this;
  }
  CowArray& operator=(CowArray&& o) noexcept {
    if (this != &o) {
      release();
      b_ = o.b_;
      o.b_ = nullptr;
    }
    return *this;
  }
  ~CowArray() { release(); }

  int32_t size() const { return b_ ? static_cast<int32_t>(b_->items.size()) : 0; }
  bool empty() const { return size() == 0; }
  const T& operator[](int32_t i) const {
    assert(b_ && i >= 0 && i < size());
    return b_->items[static_cast<size_t>(i)];
  }
  const T* begin() const { return b_ ? b_->items.data() : nullptr; }
  const T* end() const { return b_ ? b_->items.data() + b_->items.size() : nullptr; }
  const T& back() const { return (*this)[size() - 1]; }

  // Whether another array (a snapshot) still holds the same cells.
  bool shared() const { return b_ && b_->refs > 1; }
  bool sameCells(const CowArray& o) const { return b_ == o.b_; }

  // Mutable access to one cell; unshares first.
  T& mut(int32_t i) {
    assert(i >= 0 && i < size());
    return edit()[static_cast<size_t>(i)];
  }
  // Mutable access to all cells; unshares first.
  std::vector<T>& edit() {
    if (!b_) {
      b_ = new Block;
    } else if (b_->refs > 1) {
      Block* own = new Block{1, b_->items};
      --b_->refs;
      b_ = own;
    }
    return b_->items;
  }

  void insert(int32_t pos, T item) {
    auto& v = edit();
    v.insert(v.begin() + pos, std::move(item));
  }
  void push_back(T item) { edit().push_back(std::move(item)); }
  // Removes cells [first, last).
  void erase(int32_t first, int32_t last) {
    if (first >= last) return;
    auto& v = edit();
    v.erase(v.begin() + first, v.begin() + last);
  }
  void clear() { release(); }

 private:
  void release() {
    if (b_ && --b_->refs == 0) delete b_;
    b_ = nullptr;
  }
  Block* b_ = nullptr;
};

}  // namespace paginor
