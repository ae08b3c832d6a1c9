// The lines of the field being broken, with cheap insertion behind the line being broken.
//
// A split inserts its new line directly behind the line it breaks, and the next split happens a
// line further down. Inserting into the middle of a long field shifts every later line; a full
// layout of a 500-page document would shift them for every line it makes. After a few
// insertions the lines are therefore held as a gap buffer: the lines before the gap in order,
// the lines after it in reverse order, so that the gap follows the breaker down the field and
// each insertion costs the same whatever the field's length.
#pragma once

#include <cstdint>
#include <utility>

#include "model/records.h"

namespace paginor {

class FieldLines {
 public:
  // Lines in their order.
  explicit FieldLines(RecordArray<LineRec>&& lines) : front_(std::move(lines)) {}
  int32_t size() const { return front_.size() + back_.size(); }
  bool valid(int32_t i) const { return i >= 0 && i < size(); }
  LineRec& operator[](int32_t i) {
    const int32_t n = front_.size();
    return i < n ? front_[i] : back_[back_.size() - 1 - (i - n)];
  }

  // Inserts a line at `pos` (0..size) and returns it. Line records never move in memory, so
  // references to other lines stay valid.
  LineRec& insert(int32_t pos, LineRec line) {
    if (!gapMode_ && ++directInserts_ > kDirectInserts) gapMode_ = true;
    if (!gapMode_) return front_.insert(pos, std::move(line));
    moveGap(pos);
    return back_.push_back(std::move(line));
  }

  // The lines in order.
  RecordArray<LineRec> release() {
    moveGap(size());
    return std::move(front_);
  }

 private:
  // A few insertions (an edit carrying a word down its paragraph) shift the lines directly,
  // which costs less than moving the gap through the field.
  static constexpr int kDirectInserts = 8;

  void moveGap(int32_t pos) {
    while (front_.size() > pos) {
      const int32_t last = front_.size() - 1;
      front_.moveTo(last, last + 1, back_, back_.size());
    }
    while (front_.size() < pos && !back_.empty()) {
      const int32_t last = back_.size() - 1;
      back_.moveTo(last, last + 1, front_, front_.size());
    }
  }

  RecordArray<LineRec> front_;  // lines [0, gap)
  RecordArray<LineRec> back_;   // lines [gap, size), last line first
  bool gapMode_ = false;
  int directInserts_ = 0;
};

}  // namespace paginor
