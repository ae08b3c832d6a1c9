#include <algorithm>
#include <string>

#include "layout/footnote_placer.h"
#include "layout/measure.h"
#include "model/queries.h"

namespace paginor {

void FootnotePlacer::sizeAreas() {
  Document& d = work_.d;
  for (int32_t i = 0; i < d.fieldCount(); ++i) {
    FieldRec& f = d.fields[i];
    if (f.type == kFieldBody) bodyOf_[f.page] = i;
    if (!f.isFootnoteArea() || f.footnoteNo < 0) continue;
    areaOf_[f.footnoteNo] = i;
    f.unreferenced = 1;
    double h = 0;
    for (const LineRec& l : f.lines)
      if (l.cellColumn == 0) h += l.lineHeight;
    h = std::min(h, d.pageHeight / 2);
    f.top = f.bottom + h;  // both measured from the page's bottom edge
  }
}

double FootnotePlacer::reserved(int32_t page) const {
  auto it = pages_.find(page);
  return it == pages_.end() ? 0 : it->second.reserved;
}

void FootnotePlacer::collect(LineRec& line, std::vector<FootnoteRef>& out) const {
  out.clear();
  const CharRec* cells = line.chars.begin();
  if (line.dirty) {
    uint16_t refs = 0;
    for (int32_t i = 0; i < line.charCount(); ++i)
      if (cells[i].kind == kCharFootnoteRef && refs < UINT16_MAX) ++refs;
    line.footnoteRefs = refs;
  }
  // Without any footnote area every reference would be skipped: the cells need not be read.
  if (areaOf_.empty() || line.footnoteRefs == 0) return;
  for (int32_t i = 0; i < line.charCount(); ++i) {
    if (cells[i].kind != kCharFootnoteRef) continue;
    // A reference whose area is gone (or a damaged one naming no footnote) is skipped; number 0
    // would name the footers, which are not footnote areas.
    if (cells[i].footnoteId() == 0) continue;
    auto it = areaOf_.find(cells[i].footnoteId());
    if (it == areaOf_.end()) continue;
    const FieldRec& area = work_.d.fields[it->second];
    out.push_back({i, it->second, area.top - area.bottom});
  }
}

int32_t FootnotePlacer::bodyOfPage(int32_t page) const {
  auto it = bodyOf_.find(page);
  return it == bodyOf_.end() ? 0 : it->second;
}

void FootnotePlacer::bodyAdded(int32_t field) {
  bodyOf_[work_.d.fields[field].page] = field;
}

// Gives a reference or mark cell the running number and measures it as raised digits. Measuring
// the same number in the same raised font gives the same size, so a cell whose number stands is
// measured again only when its line was edited (`always`); writing an unchanged cell would
// unshare it from the undo snapshots.
void FootnotePlacer::renumber(LineRec& line, int32_t cell, bool always) {
  const Document& d = work_.d;
  const CharRec& c = line.chars[cell];
  const bool raised = c.fontIndex >= 0 && c.fontIndex < d.fontCount() &&
                      GettingOps(d.fonts[c.fontIndex].attributes, kAttrSuperscript);
  if (!always && c.number() == number_ && raised) return;
  CharRec probe = c;
  probe.setNumber(static_cast<uint16_t>(number_));
  RenderChar(work_.ctx.device, work_.d, probe, /*forceSuperscript=*/true,
             std::to_string(probe.number()));
  if (probe.number() == c.number() && probe.fontIndex == c.fontIndex && probe.width == c.width &&
      probe.height == c.height)
    return;
  CharRec& m = line.chars.mut(cell);
  m.setNumber(probe.number());
  m.fontIndex = probe.fontIndex;
  m.width = probe.width;
  m.height = probe.height;
}

void FootnotePlacer::place(int32_t page, LineRec& line, const FootnoteRef& ref) {
  Document& d = work_.d;
  Page& p = pages_[page];
  const double h = ref.height;
  FieldRec& area = d.fields[ref.area];
  area.firstFootnote = p.areas.empty() ? 1 : 0;
  area.page = page;
  area.bottom = d.fields[bodyOfPage(page)].marginBottom;
  area.top = area.bottom + h;
  area.unreferenced = 0;

  renumber(line, ref.cell, line.dirty);
  for (LineRec& l : area.lines)
    for (int32_t i = 0; i < l.charCount(); ++i)
      if (l.chars[i].kind == kCharFootnoteMark) renumber(l, i, false);
  ++number_;

  // The stack grows upwards: the newest area sits right above the body's bottom margin.
  for (int32_t earlier : p.areas) {
    d.fields[earlier].top += h;
    d.fields[earlier].bottom += h;
  }
  p.areas.push_back(ref.area);
  p.reserved += h;
}

}  // namespace paginor
