#include "editing/fragment.h"

#include <algorithm>
#include <map>
#include <string>

#include "editing/keys.h"
#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "layout/measure.h"
#include "model/position.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

// Cells refer to pictures by a 16-bit index.
constexpr int32_t kMaxPictures = 65535;

// Copies cells of a document into a fragment, giving each font and picture a fragment index
// the first time it is met.
class FragmentWriter {
 public:
  FragmentWriter(const Document& d, Fragment& f) : d_(d), f_(f) {}

  CharRec cell(const CharRec& source) {
    CharRec c = source;
    c.fontIndex = font(source.fontIndex);
    if (c.kind == kCharPicture) c.setPictureIndex(picture(source.pictureIndex()));
    // Work values of the drawing and the line breaker mean nothing outside their line.
    c.clearParaCarrier();
    c.skipBefore = 0;
    c.charFlags = static_cast<uint8_t>(c.charFlags & ~(1u << kFlagDragMark));
    if (c.kind == kCharFootnoteRef) note(source.footnoteId());
    return c;
  }

  // A line with the given cells (already converted) and the source line's members.
  static LineRec lineLike(const LineRec& source) {
    LineRec l = source;
    l.chars.clear();
    l.dirty = 1;
    l.dragWork = 0;
    return l;
  }

 private:
  int32_t font(int32_t index) {
    auto it = fonts_.find(index);
    if (it != fonts_.end()) return it->second;
    // A damaged index reads as the first font, as the drawing does.
    FontRec rec = index >= 0 && index < d_.fontCount() ? d_.fonts[index]
                  : d_.fonts.empty()                   ? FontRec{}
                                                       : d_.fonts[0];
    f_.fonts.push_back(std::move(rec));
    const int32_t mine = static_cast<int32_t>(f_.fonts.size()) - 1;
    fonts_.emplace(index, mine);
    return mine;
  }

  uint16_t picture(uint16_t index) {
    auto it = pictures_.find(index);
    if (it != pictures_.end()) return it->second;
    BildRec rec = index < d_.pictureCount() ? d_.pictures[index] : BildRec{};
    f_.pictures.push_back(std::move(rec));
    const auto mine = static_cast<uint16_t>(f_.pictures.size() - 1);
    pictures_.emplace(index, mine);
    return mine;
  }

  void note(uint16_t id) {
    if (id == 0 || notesSeen_.count(id)) return;
    notesSeen_[id] = true;
    const int32_t areaIndex = GetFootNoteField(d_, id);
    if (areaIndex < 0) return;  // a reference without its area stays a bare reference
    const FieldRec& area = d_.fields[areaIndex];
    FragmentNote n;
    n.id = id;
    n.area = area;
    n.area.lines.clear();
    n.area.prevField = n.area.nextField = -1;
    for (const LineRec& l : area.lines) {
      LineRec copy = lineLike(l);
      std::vector<CharRec>& out = copy.chars.edit();
      out.reserve(static_cast<size_t>(l.charCount()));
      // A reference inside a footnote text would copy its own area again; it is kept as text.
      for (const CharRec& c : l.chars) out.push_back(cell(c));
      n.area.lines.push_back(std::move(copy));
    }
    f_.notes.push_back(std::move(n));
  }

  const Document& d_;
  Fragment& f_;
  std::map<int32_t, int32_t> fonts_;
  std::map<uint16_t, uint16_t> pictures_;
  std::map<uint16_t, bool> notesSeen_;
};

// Table geometry does not travel with a fragment: a cell's last line ends its paragraph.
void MakeTextLine(LineRec& l) {
  if (!l.inTable) return;
  if (l.rowEnd && l.endKind == kEndSoft) l.endKind = kEndParagraph;
  l.inTable = l.rowStart = l.rowEnd = 0;
  l.rowCells = 1;
  l.cellColumn = 0;
}

// Converts fragment indexes into the target document's, adding fonts and pictures there once.
class FragmentReader {
 public:
  FragmentReader(TMDIChild& w, const Fragment& f)
      : w_(w), d_(w.doc), f_(f), intoNoteArea_(d_.fields[d_.Cursor.field].isFootnoteArea()) {}

  // False when the cell cannot be placed (a picture beyond the 16-bit index range).
  bool cell(const CharRec& source, CharRec& out) {
    out = source;
    out.fontIndex = font(source.fontIndex);
    if (out.kind == kCharPicture) {
      const int32_t p = picture(source.pictureIndex());
      if (p < 0) return false;
      out.setPictureIndex(static_cast<uint16_t>(p));
    }
    if (out.kind == kCharFootnoteRef) {
      if (intoNoteArea_)
        out.kind = kCharFootnoteMark;  // a footnote text holds marks, not new footnotes
      else
        out.setFootnoteId(static_cast<uint16_t>(noteId(source.footnoteId())));
    }
    if (out.kind == kCharText) RenderChar(w_, out, /*forceSuperscript*/ false, CellText(out));
    return true;
  }

  // The new footnote areas, appended after the text went in.
  void addNotes() {
    for (const FragmentNote& n : f_.notes) {
      auto it = notes_.find(n.id);
      if (it == notes_.end()) continue;  // its reference was not inserted
      FieldRec area = n.area;
      area.lines.clear();
      area.footnoteNo = it->second;
      area.page = d_.fields[d_.Cursor.field].page;
      area.selected = 0;
      for (const LineRec& l : n.area.lines) {
        LineRec copy = l;
        std::vector<CharRec>& out = copy.chars.edit();
        out.clear();
        for (const CharRec& c : l.chars) {
          CharRec placed;
          if (cell(c, placed)) out.push_back(std::move(placed));
        }
        copy.dirty = 1;
        area.lines.push_back(std::move(copy));
      }
      if (area.lines.empty()) {
        LineRec empty;
        InitNewLine(empty);
        empty.dirty = 1;
        area.lines.push_back(std::move(empty));
      }
      d_.fields.push_back(std::move(area));
    }
  }

  bool refusedPicture() const { return refusedPicture_; }

 private:
  int32_t font(int32_t index) {
    auto it = fonts_.find(index);
    if (it != fonts_.end()) return it->second;
    const FontRec rec = index >= 0 && index < static_cast<int32_t>(f_.fonts.size())
                            ? f_.fonts[static_cast<size_t>(index)]
                            : FontOfCurrentFormat(d_.CurrentFormat);
    const int32_t mine = GetNewFontIndex(d_, rec);
    fonts_.emplace(index, mine);
    return mine;
  }

  int32_t picture(uint16_t index) {
    auto it = pictures_.find(index);
    if (it != pictures_.end()) return it->second;
    if (d_.pictureCount() >= kMaxPictures) {
      refusedPicture_ = true;
      return -1;
    }
    d_.pictures.push_back(index < f_.pictures.size() ? f_.pictures[index] : BildRec{});
    const int32_t mine = d_.pictureCount() - 1;
    pictures_.emplace(index, mine);
    return mine;
  }

  // A pasted reference is a new footnote: the next free number, and later a copy of its area.
  int32_t noteId(uint16_t id) {
    auto it = notes_.find(id);
    if (it != notes_.end()) return it->second;
    const bool hasArea = std::any_of(f_.notes.begin(), f_.notes.end(),
                                     [&](const FragmentNote& n) { return n.id == id; });
    if (!hasArea) return id;
    int32_t next = d_.footnoteCounter;
    for (const FieldRec& f : d_.fields)
      if (f.isFootnoteArea()) next = std::max(next, f.footnoteNo);
    ++next;
    if (next > UINT16_MAX) return id;
    d_.footnoteCounter = next;
    notes_.emplace(id, next);
    return next;
  }

  TMDIChild& w_;
  Document& d_;
  const Fragment& f_;
  std::map<int32_t, int32_t> fonts_;
  std::map<uint16_t, int32_t> pictures_;
  std::map<uint16_t, int32_t> notes_;
  bool refusedPicture_ = false;
  bool intoNoteArea_ = false;
};

// Gives the paragraph that ends with line (field, line) the copied format; a cell's line keeps
// the target's indents, which belong to the cell's place in its table.
void SetParagraphBefore(Document& d, int32_t field, int32_t line, const FragmentLine& from) {
  const LineRec& copied = from.line;
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    LineRec& l = LineOf(d, field, line);
    ParagraphFormat para = copied.para;
    if (from.fromTable) {
      para.indentLeft = l.para.indentLeft;
      para.indentRight = l.para.indentRight;
      para.indentFirstLine = l.para.indentFirstLine;
    }
    l.para = std::move(para);
    l.columns = copied.columns;
    l.columnLine = copied.columnLine;
    l.columnGap = copied.columnGap;
    l.dirty = 1;
    int32_t f = field, p = line;
    if (!StepLines(d, f, p, -1)) return;
    if (LineOf(d, f, p).endKind != kEndSoft || LineOf(d, f, p).inTable) return;
    field = f;
    line = p;
  }
}

// Splits the Cursor's text line at the Cursor as Enter does: the upper part ends with
// `endKind`, the new line below takes the rest, the paragraph's format and the old end kind.
void SplitTextLine(Document& d, int32_t endKind) {
  const CursorPos c = d.Cursor;
  LineRec& old = LineOf(d, c);
  LineRec fresh;
  InitNewLine(fresh);
  fresh.para = old.para;
  fresh.columns = old.columns;
  fresh.columnLine = old.columnLine;
  fresh.columnGap = old.columnGap;
  fresh.endKind = old.endKind;
  fresh.dirty = 1;
  if (c.chr < old.charCount()) {
    fresh.chars.edit().assign(old.chars.begin() + c.chr, old.chars.end());
    old.chars.erase(c.chr, old.charCount());
  }
  old.endKind = endKind;
  old.dirty = 1;
  d.fields[c.field].lines.insert(c.line + 1, std::move(fresh));
  d.Cursor = CursorPos{c.field, c.line + 1, 0};
}

}  // namespace

bool Fragment::empty() const {
  return std::all_of(lines.begin(), lines.end(), [](const FragmentLine& l) {
    return l.line.charCount() == 0 && !(l.endInside && l.line.endKind != kEndSoft);
  });
}

std::string Fragment::plainText() const {
  std::string out;
  bool breakBefore = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const LineRec& l = lines[i].line;
    if (i > 0 && breakBefore) out += "\r\n";
    for (const CharRec& c : l.chars)
      if (c.kind == kCharText && c.ch != 0) out += static_cast<char>(c.ch);
    breakBefore = l.endKind != kEndSoft || l.rowEnd;
  }
  return out;
}

Fragment CopyMarkingToFragment(TMDIChild& w) {
  Fragment out;
  Document& d = w.doc;
  if (!isThereAmarking(w) || !ValidPosition(d, d.Cursor) || !ValidPosition(d, d.Anchor)) return out;
  EditState& e = EditingOf(w);
  FindMarkingStart(w);
  const CursorPos end = e.MarkEnd;
  out.block = e.BlockMarking;
  FragmentWriter writer(d, out);
  const bool block = e.BlockMarking;
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    const CursorPos at = e.MarkStart;
    const LineRec& source = LineOf(d, at);
    FragmentLine fl;
    fl.line = FragmentWriter::lineLike(source);
    std::vector<CharRec>& cells = fl.line.chars.edit();
    for (int32_t c = 0; c < source.charCount(); ++c)
      if (isinmarking(w, at.field, at.line, c)) cells.push_back(writer.cell(source.chars[c]));
    if (cells.empty()) fl.line.chars.clear();
    fl.endInside = !(at.field == end.field && at.line == end.line);
    out.lines.push_back(std::move(fl));
    if (!(block ? getnextmarkedlineTableBlind(w) : getnextmarkedline(w))) break;
  }
  // A block marking's last cell line ends a cell: it ends a paragraph as the others do.
  if (block && !out.lines.empty()) out.lines.back().endInside = true;
  for (FragmentLine& fl : out.lines) {
    fl.fromTable = fl.line.inTable != 0;
    MakeTextLine(fl.line);
  }
  FindMarkingStart(w);  // the walk used MarkStart as its scan position
  return out;
}

Fragment CutMarkingToFragment(TMDIChild& w) {
  if (!isThereAmarking(w)) return Fragment{};
  Fragment out = CopyMarkingToFragment(w);
  EndTypingRun(w);
  MakeCopyForUndo(w, "Ausschneiden");
  DeleteMarking(w, EmptiedCells::LeaveRows);
  RefreshDirtyContent(w);
  return out;
}

void InsertFragment(TMDIChild& w, const Fragment& f) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return;
  FragmentReader reader(w, f);
  for (const FragmentLine& fl : f.lines) {
    LineRec& target = LineOf(d, d.Cursor);
    std::vector<CharRec> placed;
    placed.reserve(static_cast<size_t>(fl.line.charCount()));
    for (const CharRec& c : fl.line.chars) {
      CharRec cell;
      if (reader.cell(c, cell)) placed.push_back(std::move(cell));
    }
    if (!placed.empty()) {
      std::vector<CharRec>& cells = target.chars.edit();
      const auto at = cells.begin() + std::clamp(d.Cursor.chr, 0, target.charCount());
      cells.insert(at, std::make_move_iterator(placed.begin()),
                   std::make_move_iterator(placed.end()));
      d.Cursor.chr += static_cast<int32_t>(placed.size());
      target.dirty = 1;
    }
    if (!fl.endInside || fl.line.endKind == kEndSoft) continue;
    if (target.inTable) {
      // In a table cell the split adds a visual row, as Enter there does; the pasted text keeps
      // the cell's format.
      const CursorPos c = d.Cursor;
      int32_t chr = c.chr;
      InsertEnterOnThatPos(w, c.field, c.line, chr, fl.line.endKind);
      continue;
    }
    const CursorPos closed = d.Cursor;
    SplitTextLine(d, fl.line.endKind);
    SetParagraphBefore(d, closed.field, closed.line, fl);
  }
  reader.addNotes();
  d.Anchor = d.Cursor;
  if (reader.refusedPicture())
    w.app.message(
        "Das Dokument enthält zu viele Grafiken. Nicht alle Grafiken konnten "
        "eingefügt werden.");
}

void PasteFragment(TMDIChild& w, const Fragment& f) {
  if (f.empty() || !ValidPosition(w.doc, w.doc.Cursor)) return;
  EndTypingRun(w);
  MakeCopyForUndo(w, "Einfügen");
  w.doc.lineEndAffinity = 0;
  InsertFragment(w, f);
  RefreshDirtyContent(w);
}

}  // namespace paginor
