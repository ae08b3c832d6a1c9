// A growable array of fixed-size, zero-initialised records with a built-in iteration position.
// The PDF writer keeps its cross-reference entries, pages, fonts and pictures in such arrays
// and numbers resources by the 1-based Position during iteration.
#pragma once

#include <cstdint>
#include <cstring>

namespace paginor {

class Ui;

class TDynaArray {
 public:
  // `bound`, when given, is an address variable of the owner that always holds the current
  // record's address. `ui` shows the out-of-memory message (standard error without one).
  explicit TDynaArray(int32_t itemSize, void* bound = nullptr, Ui* ui = nullptr);
  template <typename T>
  TDynaArray(int32_t itemSize, T** bound, Ui* ui = nullptr)
      : TDynaArray(itemSize, static_cast<void*>(bound), ui) {}
  ~TDynaArray();
  TDynaArray(const TDynaArray&) = delete;
  TDynaArray& operator=(const TDynaArray&) = delete;

  // Records per growth step; set it before the first record is added.
  void setGrowthStep(int32_t step) { step_ = step > 0 ? step : 1; }

  // Appends a zero-filled record and makes it current; nullptr when memory ran out.
  void* Add();
  // Inserts a zero-filled record at index (0..Count); nullptr for any other index.
  void* Insert(int32_t index);
  // Makes record `index` current. No bounds check: callers pass indexes below Count.
  void* Select(int32_t index);
  void First();
  bool Next();

  template <typename T>
  T* current() const {
    return static_cast<T*>(current_);
  }
  void* current() const { return current_; }
  template <typename T>
  T* at(int32_t index) const {
    return reinterpret_cast<T*>(block_ + static_cast<size_t>(index) * ItemSize);
  }

  const int32_t ItemSize;
  int32_t Count = 0;
  int32_t Position = -1;
  int32_t capacity() const { return capacity_; }
  int32_t growthStep() const { return step_; }

 private:
  bool grow();  // after Count changed; false (Count restored by caller) when memory ran out
  void setCurrent(void* rec);

  uint8_t* block_ = nullptr;
  int32_t capacity_ = 0;  // bytes
  int32_t step_ = 100;
  void* current_ = nullptr;
  void* bound_ = nullptr;
  Ui* ui_ = nullptr;
};

}  // namespace paginor
