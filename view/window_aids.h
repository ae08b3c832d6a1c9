// The window's aids drawn while the page pass runs on a page block: help lines, object rings and
// handles, marks of non-printable characters, spelling marks, selection, table grid lines, the
// caret and the drop caret; and the mouse zones registered on the way.
#pragma once

#include <cstdint>
#include <optional>

#include "view/canvas_target.h"
#include "view/page_pass.h"
#include "view/window_view.h"

namespace paginor {

class WindowAids : public PassObserver {
 public:
  // `blockTop` turns block coordinates into area pixels; `dropBar` is drawn on its page.
  WindowAids(TMDIChild& w, WindowView& v, CanvasTarget& target, int64_t blockTop,
             std::optional<IntRect> dropBar);

  void beginPage(const PageFrame& frame) override;
  void endPage() override;
  void field(int32_t index, const IntRect& r) override;
  void line(const LinePlace& l) override;
  bool cell(const LinePlace& l, const CellPlace& c) override;
  bool lineEnd(const LinePlace& l, int32_t endX) override;
  void tableCell(const LinePlace& l, const IntRect& cell) override;

  // The bottom of the text area of the Cursor's field (block coordinates), once the caret is
  // placed: a caret below it is not shown.
  std::optional<int32_t> caretFieldBottom() const { return caretFieldBottom_; }

 private:
  bool aidsOn() const { return !v_.pageView; }
  bool cursorOnThisPage(int32_t field) const;
  void placeCaret(const LinePlace& l, int32_t x, int32_t height);
  void handles(int32_t index, const IntRect& r, bool hatch);
  void mark(const char* face, uint8_t charset, int32_t size, uint8_t ch, int32_t x, int32_t bottom,
            const CellPlace* c);
  void zigZag(int32_t left, int32_t right, int32_t bottom);
  void zone(int32_t id, const IntRect& r, int32_t field, int32_t line = -1);

  TMDIChild& w_;
  WindowView& v_;
  CanvasTarget& t_;
  Canvas& c_;
  int64_t blockTop_;
  std::optional<IntRect> dropBar_;  // block coordinates
  PageFrame frame_;
  bool marking_ = false;
  std::optional<int32_t> caretFieldBottom_;
};

}  // namespace paginor
