#include "model/dyna_array.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/platform.h"

namespace paginor {

TDynaArray::TDynaArray(int32_t itemSize, void* bound, Ui* ui)
    : ItemSize(itemSize > 0 ? itemSize : 1), bound_(bound), ui_(ui) {}

TDynaArray::~TDynaArray() { std::free(block_); }

void TDynaArray::setCurrent(void* rec) {
  current_ = rec;
  if (bound_) std::memcpy(bound_, &current_, sizeof current_);
}

bool TDynaArray::grow() {
  const uint64_t step = static_cast<uint32_t>(step_);
  const uint64_t needed =
      step * ((static_cast<uint32_t>(Count - 1) / step) + 1) * static_cast<uint64_t>(ItemSize);
  if (needed == static_cast<uint64_t>(capacity_)) return true;
  const bool first = block_ == nullptr;
  void* fresh = needed <= INT32_MAX ? std::calloc(1, needed) : nullptr;
  if (!fresh) {
    std::string text = std::string("Error ") + (first ? "1" : "2") + " while trying to allocate " +
                       std::to_string(needed) + " bytes of RAM. Not enough memory.";
    if (ui_)
      ui_->messageBox(text, "", MsgIcon::Error, MsgButtons::Ok);
    else
      std::cerr << text << "\n";
    return false;
  }
  if (Count != 1 && block_) {
    size_t keep = static_cast<size_t>(capacity_) < needed ? static_cast<size_t>(capacity_) : needed;
    std::memcpy(fresh, block_, keep);
  }
  std::free(block_);
  block_ = static_cast<uint8_t*>(fresh);
  capacity_ = static_cast<int32_t>(needed);
  return true;
}

void* TDynaArray::Add() { return Insert(Count); }

void* TDynaArray::Insert(int32_t index) {
  if (index < 0 || index > Count) return nullptr;
  ++Count;
  if (!grow()) {
    --Count;
    return nullptr;
  }
  uint8_t* at = block_ + static_cast<size_t>(index) * ItemSize;
  if (index < Count - 1)
    std::memmove(at + ItemSize, at, static_cast<size_t>(Count - 1 - index) * ItemSize);
  std::memset(at, 0, static_cast<size_t>(ItemSize));
  Position = index;
  setCurrent(at);
  return at;
}

void* TDynaArray::Select(int32_t index) {
  Position = index;
  setCurrent(block_ + static_cast<size_t>(index) * ItemSize);
  return current_;
}

void TDynaArray::First() {
  if (Count <= 0) return;
  Position = 0;
  setCurrent(block_);
}

bool TDynaArray::Next() {
  if (Count <= 0 || Position < 0 || Position >= Count) return false;
  setCurrent(block_ + static_cast<size_t>(Position) * ItemSize);
  ++Position;
  return true;
}

}  // namespace paginor
