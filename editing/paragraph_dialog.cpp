#include "editing/paragraph_dialog.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "editing/formatting.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {

namespace {

using Spacing = ParagraphDialog::Spacing;

// The spacing boxes' upper limit, in centimetres.
constexpr double kMaxSpacingCm = 1000;
// Indents beyond a metre are no indents any page has room for.
constexpr double kMaxIndentCm = 100;

std::optional<double> multipleOf(Spacing s) {
  switch (s) {
    case Spacing::Single:
      return 1.0;
    case Spacing::OneHalf:
      return 1.5;
    case Spacing::Double:
      return 2.0;
    default:
      return std::nullopt;
  }
}

// A box's value in mm: centimetres × 10, kept within the box's range; a value that is no number
// keeps the paragraph's.
double millimetres(double cm, double lower, double upper, double old) {
  if (!std::isfinite(cm)) return old;
  return std::clamp(cm, lower, upper) * 10;
}

}  // namespace

ParagraphDialog ParagraphDialogFor(const TMDIChild& w) {
  const ParagraphFormat p = getabsatzformat(w).para;
  ParagraphDialog d;
  d.alignment = std::clamp<int>(p.alignment, 0, 3);
  d.measure = p.lineSpacing;
  if (p.lineSpacingMode == 1) {
    d.spacing = Spacing::AtLeast;
  } else if (p.lineSpacingMode == 2) {
    d.spacing = Spacing::Exactly;
  } else {
    d.spacing = Spacing::Multiple;
    for (Spacing s : {Spacing::Single, Spacing::OneHalf, Spacing::Double})
      if (p.lineSpacing == *multipleOf(s)) d.spacing = s;
  }
  d.spaceAbove = p.spaceAbove / 10;
  d.spaceBelow = p.spaceBelow / 10;
  d.indentLeft = p.indentLeft / 10;
  d.indentRight = p.indentRight / 10;
  d.indentFirstLine = p.indentFirstLine / 10;
  return d;
}

const char* SpacingUnitLabel(Spacing spacing) {
  return spacing == Spacing::AtLeast || spacing == Spacing::Exactly ? "mm" : "Zeilen";
}

void ChooseSpacing(ParagraphDialog& d, Spacing spacing) {
  d.spacing = spacing;
  if (const std::optional<double> m = multipleOf(spacing)) d.measure = *m;
}

void TypeMeasure(ParagraphDialog& d, double value) {
  d.measure = value;
  if (const std::optional<double> m = multipleOf(d.spacing)) {
    if (value != *m) d.spacing = Spacing::Multiple;
  } else if (d.spacing == Spacing::Multiple) {
    for (Spacing s : {Spacing::Single, Spacing::OneHalf, Spacing::Double})
      if (value == *multipleOf(s)) d.spacing = s;
  }
}

void ApplyParagraphDialog(TMDIChild& w, const ParagraphDialog& d) {
  AbsatzFormat format = getabsatzformat(w);
  ParagraphFormat& p = format.para;
  p.alignment = static_cast<uint8_t>(std::clamp(d.alignment, 0, 3));
  if (const std::optional<double> m = multipleOf(d.spacing)) {
    p.lineSpacingMode = 0;
    p.lineSpacing = *m;
  } else if (std::isfinite(d.measure) && d.measure > 0) {
    p.lineSpacingMode = d.spacing == Spacing::AtLeast ? 1 : d.spacing == Spacing::Exactly ? 2 : 0;
    p.lineSpacing = d.measure;
  }
  p.spaceAbove = millimetres(d.spaceAbove, 0, kMaxSpacingCm, p.spaceAbove);
  p.spaceBelow = millimetres(d.spaceBelow, 0, kMaxSpacingCm, p.spaceBelow);
  p.indentLeft = millimetres(d.indentLeft, -kMaxIndentCm, kMaxIndentCm, p.indentLeft);
  p.indentRight = millimetres(d.indentRight, -kMaxIndentCm, kMaxIndentCm, p.indentRight);
  p.indentFirstLine =
      millimetres(d.indentFirstLine, -kMaxIndentCm, kMaxIndentCm, p.indentFirstLine);
  setabsatzformat(w, format);
  SmallOvertakeFont(w);
}

void absatzformatieren(TMDIChild& w) {
  ParagraphDialog d = ParagraphDialogFor(w);
  if (!w.app.dialogs().run(d)) return;
  ApplyParagraphDialog(w, d);
}

}  // namespace paginor
