#include "model/queries.h"

#include <algorithm>

namespace paginor {

int32_t GetFieldofPage(const Document& d, int32_t page) {
  int32_t found = 0;
  for (int32_t i = 0; i < d.fieldCount(); ++i)
    if (d.fields[i].type == kFieldBody && d.fields[i].page == page) found = i;
  return found;
}

int32_t GetFootNoteField(const Document& d, int32_t number) {
  int32_t found = -1;
  for (int32_t i = 0; i < d.fieldCount(); ++i)
    if (d.fields[i].type == kFieldFooter && d.fields[i].footnoteNo == number) found = i;
  return found;
}

int32_t GetAnzPages(const Document& d) {
  int32_t maxPage = 0;
  for (const FieldRec& f : d.fields) maxPage = std::max(maxPage, f.page);
  return maxPage + 1;
}

void GoToLine(const Document& d, int32_t& field, int32_t& line) {
  auto valid = [&](int32_t f) { return f >= 0 && f < d.fieldCount(); };
  if (!valid(field)) return;
  // A damaged chain could link in a circle; a chain can never be longer than the field count.
  int32_t steps = d.fieldCount();
  while (line < 0 && valid(d.fields[field].prevField) && steps-- > 0) {
    field = d.fields[field].prevField;
    line += d.fields[field].lineCount();
  }
  while (line >= d.fields[field].lineCount() && valid(d.fields[field].nextField) && steps-- > 0) {
    line -= d.fields[field].lineCount();
    field = d.fields[field].nextField;
  }
}

int32_t getFreeAnkerID(const Document& d) {
  int32_t id = 100;
  bool clash = true;
  while (clash) {
    clash = false;
    for (const FieldRec& f : d.fields) {
      if (f.isFloating() && f.moveWithText && f.anchorId == id) {
        ++id;
        clash = true;
      }
    }
  }
  return id;
}

int32_t getfieldWithAnkerID(const Document& d, int32_t first, int32_t id) {
  for (int32_t i = std::max(first, 0); i < d.fieldCount(); ++i) {
    const FieldRec& f = d.fields[i];
    if (f.isFloating() && f.moveWithText && f.anchorId == id) return i;
  }
  return -1;
}

int32_t GetNewFontIndex(Document& d, const FontRec& font) {
  for (int32_t i = 0; i < d.fontCount(); ++i)
    if (d.fonts[i] == font) return i;
  d.fonts.push_back(font);
  return d.fontCount() - 1;
}

FontRec FontOfCurrentFormat(const CurrentFormatRec& f) {
  FontRec r;
  r.textColour = f.curTextColour;
  r.size = f.curFontSize;
  r.name = f.curFontName;
  r.reserved = 0;
  r.style = f.curFontStyle;
  r.charset = f.curCharset;
  r.backColour = f.curBackColour;
  r.shadowColour = f.curShadowColour;
  r.outlineColour = f.curOutlineColour;
  r.backTransparent = f.curBackTransparent;
  r.attributes = f.curAttributes;
  return r;
}

}  // namespace paginor
