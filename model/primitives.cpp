#include "model/primitives.h"

#include <vector>

#include "model/queries.h"
#include "model/snapshot.h"
#include "platform/pictures/dib.h"

namespace paginor {

void SetPageBodyDefaults(FieldRec& f) {
  f.left = f.top = f.right = f.bottom = 0;
  f.topFromBottom = 0;
  f.bottomFromBottom = 1;
  f.rightFromRight = 1;
  f.marginLeft = f.marginTop = f.marginRight = f.marginBottom = 25.0;
  f.showOn = 0;
  f.wrapText = 1;
  f.moveWithText = 1;
  f.flowMode = 0;
  f.distanceY = 3.2;
  f.distanceX = 3.2;
  f.lineWidth = 0;
  f.lineColour = 0;
  f.backColour = 0xFFFFFF;
  f.transparent = 1;
  f.type = kFieldBody;
  f.page = 0;
  f.prevField = -1;
  f.nextField = -1;
  f.keepAspect = 1;
  f.selected = 0;
  f.shapeVariant = 0;
  f.footnoteNo = 0;
  f.anchorId = 0;
}

void SetHeaderDefaults(FieldRec& f) {
  f.left = 0;
  f.top = 0;
  f.right = 0;
  f.bottom = 24.5;
  f.topFromBottom = 0;
  f.bottomFromBottom = 0;
  f.rightFromRight = 1;
  f.marginLeft = 25.0;
  f.marginTop = 11.0;
  f.marginRight = 25.0;
  f.marginBottom = 0;
  f.showOn = 1;
  f.type = kFieldHeader;
  f.page = 0;
}

void SetFooterDefaults(FieldRec& f) {
  f.left = 0;
  f.top = 24.5;
  f.right = 0;
  f.bottom = 0;
  f.topFromBottom = 1;
  f.bottomFromBottom = 1;
  f.rightFromRight = 1;
  f.marginLeft = 25.0;
  f.marginTop = 0;
  f.marginRight = 25.0;
  f.marginBottom = 11.0;
  f.showOn = 1;
  f.type = kFieldFooter;
  f.page = 0;
}

int32_t NewField(Document& d) {
  d.fields.emplace_back();
  return d.fieldCount() - 1;
}

int32_t NewPage(Document& d, AddLine addLine) {
  int32_t index;
  if (d.fields.empty()) {
    index = NewField(d);
    SetPageBodyDefaults(d.fields[index]);
  } else {
    // A copy of field 0 without its lines.
    FieldRec& f0 = d.fields[0];
    RecordArray<LineRec> lines = std::move(f0.lines);
    FieldRec copy = f0;
    f0.lines = std::move(lines);
    copy.prevField = -1;
    copy.nextField = -1;
    d.fields.push_back(std::move(copy));
    index = d.fieldCount() - 1;
  }
  if (addLine == AddLine::Yes) InsertNewLine(d, index, 0);
  return index;
}

void CreateHeaderFooter(Document& d) {
  for (int pair = 0; pair < 3; ++pair) {
    for (int kind = 0; kind < 2; ++kind) {
      int32_t i = NewPage(d, AddLine::Yes);
      FieldRec& f = d.fields[i];
      if (kind == 0)
        SetHeaderDefaults(f);
      else
        SetFooterDefaults(f);
      f.showOn = pair < 2 ? kShowNowhere : 1;
    }
  }
}

void InitNewLine(LineRec& line) {
  line.chars.clear();
  line.endKind = kEndSoft;
  line.rowStart = 0;
  line.rowEnd = 0;
  line.inTable = 0;
  line.rowCells = 1;
  line.cellColumn = 0;
  line.para = ParagraphFormat();
  line.columns = 0;
  line.columnLine = 0;
  line.columnGap = 12.5;
}

LineRec& InsertNewLine(Document& d, int32_t field, int32_t line) {
  LineRec fresh;
  InitNewLine(fresh);
  return d.fields[field].lines.insert(line, std::move(fresh));
}

CharRec* NewChar(Document& d) {
  CursorPos& c = d.Cursor;
  if (c.field < 0 || c.field >= d.fieldCount()) return nullptr;
  FieldRec& f = d.fields[c.field];
  if (c.line == f.lineCount()) InsertNewLine(d, c.field, c.line);
  if (c.line < 0 || c.line >= f.lineCount()) return nullptr;
  LineRec& line = f.lines[c.line];
  if (c.chr < 0 || c.chr > line.charCount()) return nullptr;
  CharRec cell;  // the new-character defaults
  cell.fontIndex = GetNewFontIndex(d, FontOfCurrentFormat(d.CurrentFormat));
  line.chars.insert(c.chr, std::move(cell));
  return &line.chars.mut(c.chr);
}

void freezeichen(CharRec& c) {
  c.setText("");
  c.setCode("");
}

void FreeFields(Document& d) { d.fields.clear(); }

void DeleteField(Document& d, int32_t index) {
  if (index < 0 || index >= d.fieldCount()) return;
  FieldRec& f = d.fields[index];
  auto valid = [&](int32_t i) { return i >= 0 && i < d.fieldCount(); };
  if (valid(f.prevField)) d.fields[f.prevField].nextField = -1;
  if (valid(f.nextField)) d.fields[f.nextField].prevField = -1;
  d.fields.erase(d.fields.begin() + index);
  for (FieldRec& other : d.fields) {
    if (other.prevField > index) --other.prevField;
    if (other.nextField > index) --other.nextField;
  }
}

void FreeBilderListe(Document& d) {
  for (BildRec& b : d.pictures)
    if (b.hasBits()) deldib(b);
  d.pictures.clear();
}

void FreeBildInListe(Document& d, int32_t index) {
  if (index < 0 || index >= d.pictureCount()) return;
  deldib(d.pictures[index]);
}

namespace {

void collectPictureUse(const std::vector<FieldRec>& fields, std::vector<bool>& used) {
  for (const FieldRec& f : fields)
    for (const LineRec& l : f.lines)
      for (const CharRec& c : l.chars)
        if (c.kind == kCharPicture && c.pictureIndex() < used.size()) used[c.pictureIndex()] = true;
}

}  // namespace

void FreeBildInListeIfNotNeeded(Document& d, const UndoState* undo) {
  if (d.pictures.empty()) return;
  // One scan marks every referenced picture, rather than one scan per picture.
  std::vector<bool> used(d.pictures.size(), false);
  collectPictureUse(d.fields, used);
  if (undo)
    for (const UndoSnapshot& s : undo->entries) collectPictureUse(s.fields, used);
  for (int32_t i = 0; i < d.pictureCount(); ++i)
    if (!used[static_cast<size_t>(i)]) FreeBildInListe(d, i);
}

void SetAllDirtyFlags(Document& d) {
  for (FieldRec& f : d.fields)
    for (LineRec& l : f.lines) l.dirty = 1;
}

void ClearAllDirtyFlags(Document& d) {
  for (FieldRec& f : d.fields)
    for (LineRec& l : f.lines) l.dirty = 0;
}

}  // namespace paginor
