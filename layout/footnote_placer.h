// Footnotes in the page flow: the areas are sized once the lines are broken, and each reference
// the flow meets places its area at the bottom of the reference's page, numbers it and reserves
// its height there. Private to layout/.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "layout/layout_work.h"

namespace paginor {

// A footnote reference of a line: the cell, the area it names and the area's height.
struct FootnoteRef {
  int32_t cell = 0;
  int32_t area = 0;
  double height = 0;
};

class FootnotePlacer {
 public:
  explicit FootnotePlacer(LayoutWork& work) : work_(work) {}

  // Marks every footnote area unreferenced and gives it the height of its lines (at most half a
  // page); notes which field is each footnote's area and each page's body.
  void sizeAreas();
  // Height reserved for footnotes on a page so far.
  double reserved(int32_t page) const;
  // The references of a line whose area exists, in cell order.
  void collect(LineRec& line, std::vector<FootnoteRef>& out) const;
  // Places a reference's area at the bottom of `page`, under the areas placed there before, and
  // gives the reference and the area's mark the next number.
  void place(int32_t page, LineRec& line, const FootnoteRef& ref);
  // A page body was appended.
  void bodyAdded(int32_t field);

 private:
  struct Page {
    std::vector<int32_t> areas;  // in placing order
    double reserved = 0;
  };
  int32_t bodyOfPage(int32_t page) const;
  void renumber(LineRec& line, int32_t cell, bool always);

  LayoutWork& work_;
  std::unordered_map<int32_t, Page> pages_;
  std::unordered_map<int32_t, int32_t> areaOf_;  // footnote number -> its area (the last one)
  std::unordered_map<int32_t, int32_t> bodyOf_;  // page -> its body (the last one)
  int32_t number_ = 1;
};

}  // namespace paginor
