#include "editing/page_setup.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "editing/undo.h"
#include "layout/layout.h"
#include "model/primitives.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

constexpr uint8_t kModeShowOn[4][3] = {
    {kShowNowhere, kShowNowhere, 1},  // all pages the same
    {0, kShowNowhere, 2},             // page 1 differs
    {kShowNowhere, 3, 4},             // even and odd pages
    {0, 5, 6},                        // page 1, even and odd pages
};

HeaderMode modeFromShowOn(uint8_t showOn) {
  switch (showOn) {
    case 2: return HeaderMode::FirstPage;
    case 4: return HeaderMode::EvenOdd;
    case 6: return HeaderMode::FirstAndEvenOdd;
    default: return HeaderMode::AllSame;
  }
}

// Format sizes are tenths of a millimetre; edits show centimetres.
double tenthsToCm(int32_t tenths) { return tenths / 100.0; }
bool sameCm(double a, double b) { return std::fabs(a - b) < 0.0005; }

}  // namespace

void PageSetupDialog::onFormatOrOrientationChanged() {
  if (guard_) return;
  guard_ = true;
  if (!isCustom() && formatIndex >= 0) {
    const PaperFormat& f = printerFormats[static_cast<size_t>(formatIndex)];
    widthCm = tenthsToCm(f.width);
    heightCm = tenthsToCm(f.height);
    if (landscape) std::swap(widthCm, heightCm);
  } else if ((landscape && widthCm < heightCm) || (!landscape && widthCm > heightCm)) {
    std::swap(widthCm, heightCm);
  }
  guard_ = false;
}

void PageSetupDialog::onSizeEdited() {
  if (guard_) return;
  guard_ = true;
  landscape = widthCm > heightCm;
  formatIndex = static_cast<int>(printerFormats.size());  // "Benutzerdefiniert"
  for (size_t i = 0; i < printerFormats.size(); ++i) {
    double fw = tenthsToCm(printerFormats[i].width), fh = tenthsToCm(printerFormats[i].height);
    bool match = landscape ? (sameCm(fw, heightCm) && sameCm(fh, widthCm))
                           : (sameCm(fw, widthCm) && sameCm(fh, heightCm));
    if (match) {
      formatIndex = static_cast<int>(i);
      break;
    }
  }
  guard_ = false;
}

bool PageSetup(TMDIChild& w) {
  Document& d = w.doc;
  if (d.fieldCount() < 7) return false;
  PageSetupDialog dlg;
  dlg.printerFormats = w.app.printer().paperFormats();
  for (const PaperFormat& f : dlg.printerFormats) dlg.formatNames.push_back(f.name);
  dlg.formatNames.push_back("Benutzerdefiniert");
  dlg.widthCm = d.pageWidth / 10;
  dlg.heightCm = d.pageHeight / 10;
  const FieldRec& body = d.fields[0];
  dlg.marginTopCm = body.marginTop / 10;
  dlg.marginLeftCm = body.marginLeft / 10;
  dlg.marginBottomCm = body.marginBottom / 10;
  dlg.marginRightCm = body.marginRight / 10;
  dlg.headerDistanceCm = d.fields[1].marginTop / 10;
  dlg.footerDistanceCm = d.fields[2].marginBottom / 10;
  dlg.mode = modeFromShowOn(d.fields[6].showOn);
  dlg.onSizeEdited();  // select the matching format and orientation

  if (!w.app.dialogs().run(dlg)) return false;
  MakeCopyForUndo(w, "Seite einrichten");

  auto clampCm = [](double v) { return std::clamp(v, 0.0, PageSetupDialog::kMaxCm); };
  d.pageWidth = std::max(clampCm(dlg.widthCm), 0.1) * 10;
  d.pageHeight = std::max(clampCm(dlg.heightCm), 0.1) * 10;
  const double headerDist = clampCm(dlg.headerDistanceCm) * 10;
  const double footerDist = clampCm(dlg.footerDistanceCm) * 10;

  FieldRec& f0 = d.fields[0];
  f0.marginTop = std::max(clampCm(dlg.marginTopCm) * 10, headerDist);
  f0.marginLeft = clampCm(dlg.marginLeftCm) * 10;
  f0.marginBottom = std::max(clampCm(dlg.marginBottomCm) * 10, footerDist);
  f0.marginRight = clampCm(dlg.marginRightCm) * 10;

  for (int pair = 0; pair < 3; ++pair) {
    FieldRec& header = d.fields[1 + 2 * pair];
    header.marginTop = headerDist;
    header.bottom = d.fields[0].marginTop - 0.5;
    header.marginLeft = d.fields[0].marginLeft;
    header.marginRight = d.fields[0].marginRight;
    FieldRec& footer = d.fields[2 + 2 * pair];
    footer.marginBottom = footerDist;
    footer.top = d.fields[0].marginBottom - 0.5;
    footer.marginLeft = d.fields[0].marginLeft;
    footer.marginRight = d.fields[0].marginRight;
  }
  for (FieldRec& f : d.fields) {
    if (f.type == kFieldFooter && f.footnoteNo > 0) {
      f.marginLeft = d.fields[0].marginLeft;
      f.marginRight = d.fields[0].marginRight;
    }
  }
  const int mode = std::clamp(static_cast<int>(dlg.mode), 0, 3);
  for (int pair = 0; pair < 3; ++pair) {
    d.fields[1 + 2 * pair].showOn = kModeShowOn[mode][pair];
    d.fields[2 + 2 * pair].showOn = kModeShowOn[mode][pair];
  }
  SetPrinterProps(w);
  SetFileChanged(w, true);
  SetAllDirtyFlags(d);
  MakeSoftEnters(w);
  // The window shows the new page size at once, not after the next click.
  HostOf(w).restartRepaintTimer();
  return true;
}

}  // namespace paginor
