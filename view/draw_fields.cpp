// The page's layers and each field's frame, shape or picture.

#include <cstdlib>

#include "layout/measure.h"
#include "view/line_rules.h"
#include "view/page_pass.h"
#include "window/document_window.h"

namespace paginor {

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0;

}  // namespace

PagePass::PagePass(TMDIChild& w, PageTarget& target, const PassJobs& jobs)
    : w_(w), d_(w.doc), t_(target), jobs_(jobs) {}

void PagePass::drawPage(const PageFrame& frame) {
  frame_ = frame;
  fontValid_ = false;  // the first text of a page always selects its font
  usePen(kBlack, 1);
  t_.setBrush({BrushStyle::Solid, kWhite});
  obstacles_.clear();
  if (jobs_.flowAround) obstacles_ = FlowObstacles(d_, frame.page);
  findAnchorables();
  if (jobs_.observer) jobs_.observer->beginPage(frame);

  const int32_t p = frame.page;
  // Fields are drawn in array order within each layer: later fields paint over earlier ones.
  for (int32_t i = 0; i < d_.fieldCount(); ++i)
    if (d_.fields[i].type == kFieldBody && d_.fields[i].page == p) drawField(i);
  for (int32_t i = 0; i < d_.fieldCount(); ++i) {
    const FieldRec& f = d_.fields[i];
    if ((f.type == kFieldHeader || f.type == kFieldFooter) &&
        istOnAllPagesGedeckt(f.showOn, f.page, p))
      drawField(i);
  }
  for (int32_t i = 0; i < d_.fieldCount(); ++i) {
    const FieldRec& f = d_.fields[i];
    if (f.type >= kFieldTextBox && istOnAllPagesGedeckt(f.showOn, f.page, p)) drawField(i);
  }
  if (jobs_.observer) jobs_.observer->endPage();
}

PagePass::FieldBox PagePass::boxOf(int32_t index) const {
  const FieldRec& f = d_.fields[index];
  const double u = frame_.mmPerUnit;
  const int32_t x0 = frame_.originX, y0 = frame_.originY, o = frame_.frameOffset;
  const int32_t W = frame_.width, H = frame_.height;
  const bool topFromBottom = f.topFromBottom && f.bottomFromBottom;
  FieldBox b;
  b.index = index;
  b.r.left = Units(f.left, u) + x0 + o;
  b.r.top = topFromBottom ? y0 + H - Units(f.top, u) - 1 + 2 * o : Units(f.top, u) + y0 + 2 * o;
  b.r.bottom = f.bottomFromBottom ? y0 + H - Units(f.bottom, u) - 1 + 2 * o
                                  : Units(f.bottom, u) + y0 + 2 * o;
  b.r.right = f.rightFromRight ? x0 + W - Units(f.right, u) - 1 + o : Units(f.right, u) + x0 + o;
  b.leftMm = f.left;
  b.topMm = topFromBottom ? d_.pageHeight - f.top : f.top;
  b.textWidth = TextAreaWidth(d_, f);
  return b;
}

void PagePass::drawField(int32_t index) {
  const FieldBox box = boxOf(index);
  const FieldRec& f = d_.fields[index];
  if (!t_.drawsNothing()) {
    drawFrame(f, box.r);
    usePen(f.lineColour, 1);
    drawFootnoteSeparator(f, box.r);
  }
  if (jobs_.observer) {
    jobs_.observer->field(index, box.r);
    fontValid_ = false;
  }
  if (f.type <= kFieldTextBox) drawText(box);
}

void PagePass::drawFrame(const FieldRec& f, const IntRect& r) {
  // A transparent field is left unpainted only on a white background.
  const bool clearBrush = f.transparent && f.backColour == kWhite;
  t_.setBrush({clearBrush ? BrushStyle::Clear : BrushStyle::Solid, f.backColour});
  usePen(f.lineColour, WholeUnits(f.lineWidth, frame_.unitsPerPoint));
  switch (f.type) {
    case kFieldEllipse:
      if (f.lineWidth == 0) t_.setPen({PenStyle::Clear, penWidth_, f.lineColour});
      t_.ellipse(r);
      if (f.lineWidth == 0) t_.setPen({PenStyle::Solid, penWidth_, penColour_});
      break;
    case kFieldSlantedLine:
      if (f.shapeVariant)
        t_.line(r.right, r.top, r.left, r.bottom);
      else
        t_.line(r.left, r.top, r.right, r.bottom);
      break;
    case kFieldHorizontalLine: {
      const int32_t m = r.top + (r.bottom - r.top) / 2;
      t_.line(r.left, m, r.right, m);
      break;
    }
    case kFieldVerticalLine: {
      const int32_t m = r.left + (r.right - r.left) / 2;
      t_.line(m, r.top, m, r.bottom);
      break;
    }
    case kFieldPicture:
      drawPictureField(f, r);
      break;
    default:  // text regions and rectangles
      if (!clearBrush) t_.fillRect(r);
      if (f.lineWidth != 0) {
        t_.setBrush({BrushStyle::Clear, f.backColour});
        t_.rectangle(r);
      }
      break;
  }
}

void PagePass::drawPictureField(const FieldRec& f, const IntRect& r) {
  if (f.lineCount() < 1 || f.lines[0].charCount() != 1) return;
  const CharRec& c = f.lines[0].chars[0];
  if (c.kind != kCharPicture || c.pictureIndex() >= d_.pictureCount()) return;
  const BildRec& pic = d_.pictures[c.pictureIndex()];
  const int64_t pw = pic.hasBits() ? pic.width() : 0;
  const int64_t ph = pic.hasBits() ? std::abs(pic.height()) : 0;
  if (pw <= 0 || ph <= 0) return;
  int64_t w = r.right - r.left + 1;
  int64_t h = r.bottom - r.top + 1;
  if (f.keepAspect) {
    const int64_t box = h;
    h = ph * w / pw;
    if (h > box) {
      h = box;
      w = pw * h / ph;
    }
  }
  t_.picture(r.left, r.top, static_cast<int32_t>(w), static_cast<int32_t>(h), pic);
}

void PagePass::drawFootnoteSeparator(const FieldRec& f, const IntRect& r) {
  if (!f.isFootnoteArea() || f.footnoteNo <= 0 || !f.firstFootnote || f.lineWidth != 0) return;
  const double u = frame_.mmPerUnit;
  auto whole = [](double v) { return static_cast<int32_t>(RoundHalfEven(v)); };
  const int32_t y = r.top + whole(f.marginTop / u);
  usePen(kBlack, 1);
  t_.line(r.left + whole(f.marginLeft / u), y, r.right - whole(f.marginRight / u), y);
}

void PagePass::usePen(Colour colour, int32_t width) {
  penColour_ = colour;
  penWidth_ = width;
  t_.setPen({PenStyle::Solid, width, colour});
}

bool istOnAllPagesGedeckt(int32_t showOn, int32_t fieldPage, int32_t p) {
  switch (showOn) {
    case 0:
      return p == fieldPage;
    case 1:
      return true;
    case 2:
      return p > 0;
    case 3:
      return p % 2 == 1;
    case 4:
      return p % 2 == 0;
    case 5:
      return p % 2 == 1 && p >= 1;
    case 6:
      return p % 2 == 0 && p > 0;
    default:
      return false;
  }
}

}  // namespace paginor
