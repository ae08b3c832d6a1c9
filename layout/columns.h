// Column sections: a run of lines of one field with equal `columns` (2 or more), `columnLine` and
// `columnGap`. The page flow places each section line in a column; sections followed by more
// text are balanced (equal column heights, as low as possible), a section that runs to the end
// of its field fills the page's height column after column.
#pragma once

#include <cstdint>
#include <vector>

#include "layout/line_span.h"

namespace paginor {

// Where one section line stands (the answer of getspalteninfo).
struct ColumnPlacement {
  int32_t columnIndex = 0;
  int32_t lastColumn = 0;  // last column the section uses, as far as it fits
  bool opensColumn = false;
  bool closesColumn = false;
  bool columnBreak = false;  // the line falls beyond the last column
  double topShift = 0;       // height of the previous column when the line opens a column
  double tailSpace = 0;      // on the section's last line: balanced height - last column's
  double balancedHeight = 0;
  bool startsAtFieldStart = false;
  bool endsAtFieldEnd = false;
};

// Whether line `line` of the field's lines is the first of its section.
bool isfirstSpaltenrow(const LineSpan& lines, int32_t line);

// Places section line `line` with `available` millimetres from the section's top to the page's
// usable bottom (less 1 mm). Balances the whole section; the page flow uses ColumnBalancer to do
// that once per section instead of once per line.
ColumnPlacement getspalteninfo(const LineSpan& lines, int32_t line, double available);

// Balances a section once and answers for each of its lines, as long as the available height
// stays the same (a footnote placed inside the section changes it).
class ColumnBalancer {
 public:
  ColumnPlacement place(const LineSpan& lines, int32_t line, double available);

 private:
  struct Entry {
    double height = 0;
    bool advances = true;  // table cell lines after the first of their visual row do not
  };
  void balance(const LineSpan& lines, int32_t start, double available);
  bool trial(double t, bool record, bool stopAtBreak);

  const LineRec* first_ = nullptr;  // the section's first line, identifying it
  int32_t start_ = -1;
  double available_ = 0;
  int32_t columns_ = 0;
  bool startsAtFieldStart_ = false, endsAtFieldEnd_ = false;
  std::vector<Entry> entries_;
  double t_ = 0;
  // Results of the standing trial, per section line up to `placed_`.
  std::vector<int32_t> column_;
  std::vector<double> topShift_;
  std::vector<uint8_t> opens_;
  int32_t placed_ = -1;
  int32_t lastColumn_ = 0;
  double tail_ = 0;
};

}  // namespace paginor
