#include "editing/mouse.h"

#include "editing/fragment.h"
#include "editing/key_actions.h"
#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "model/position.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

inline constexpr uint8_t kDragBit = 1u << kFlagDragMark;

bool Has(Modifiers m, Modifier bit) {
  return (m & bit) != 0;
}

void Repaint(TMDIChild& w, MouseResponse& r) {
  r.repaint = true;
  HostOf(w).restartRepaintTimer();
}

bool InChainOf(const Document& d, int32_t field, int32_t chainField) {
  return ValidField(d, field) && ValidField(d, chainField) &&
         ChainFirstField(d, field) == ChainFirstField(d, chainField);
}

// The start of the line after p's line in its chain, or the end of p's line when it is the last.
CursorPos StartOfNextLine(const Document& d, const CursorPos& p) {
  int32_t f = p.field, l = p.line;
  if (StepLines(d, f, l, 1)) return CursorPos{f, l, 0};
  return CursorPos{p.field, p.line, LineOf(d, p).charCount()};
}

// A line start that follows a soft line end shows the same place as the end of the line before.
bool SamePlace(const Document& d, const CursorPos& a, const CursorPos& b) {
  if (a == b) return true;
  auto endBefore = [&](const CursorPos& start, const CursorPos& end) {
    if (start.chr != 0) return false;
    int32_t f = start.field, l = start.line;
    if (!StepLines(d, f, l, -1)) return false;
    const LineRec& prev = LineOf(d, f, l);
    return prev.endKind == kEndSoft && !prev.inTable && end == CursorPos{f, l, prev.charCount()};
  };
  return endBefore(a, b) || endBefore(b, a);
}

// Rule 5 for a point that hit text. `click`: the button went down (the Anchor follows unless
// Shift is held); otherwise the mouse drags a marking out.
void PlaceAtHit(TMDIChild& w, MouseState& s, const TextHit& h, bool click, bool shift) {
  Document& d = w.doc;
  if (!ValidPosition(d, h.pos)) return;
  if (!click && !InChainOf(d, h.pos.field, d.Anchor.field)) return;
  if (h.marginClick && (click || s.marginClicked)) {
    // Whole lines from the Anchor.
    s.marginClicked = true;
    const CursorPos lineStart{h.pos.field, h.pos.line, 0};
    if (click && !shift) d.Anchor = lineStart;
    d.Cursor = PositionBefore(lineStart, d.Anchor) ? lineStart : StartOfNextLine(d, lineStart);
  } else if (click && !shift && h.pictureHit && h.pictureChr >= 0 &&
             h.pictureChr < LineOf(d, h.pos).charCount()) {
    s.pictureClicked = true;
    d.Anchor = CursorPos{h.pos.field, h.pos.line, h.pictureChr};
    d.Cursor = CursorPos{h.pos.field, h.pos.line, h.pictureChr + 1};
  } else {
    d.Cursor = h.pos;
    if (click && !shift) d.Anchor = h.pos;
  }
  d.currentPage = h.page;
  d.lineEndAffinity = 0;
}

// Whether a press at the point falls on the marked text: strictly between its ends, or on the
// marked half of its first or last cell (the hit resolves those to the ends themselves).
bool ClickInsideMarking(TMDIChild& w, const WindowView& v, const TextHit& h, int32_t x) {
  Document& d = w.doc;
  FindMarkingStart(w);
  const EditState& e = EditingOf(w);
  const CursorPos& a = e.MarkStart;
  const CursorPos& b = e.MarkEnd;
  if (h.pictureHit && h.pictureChr >= 0)
    return isinmarking(w, h.pos.field, h.pos.line, h.pictureChr);
  if (h.marginClick) return false;
  const CursorPos p = h.pos;
  if (PositionBefore(a, p) && PositionBefore(p, b)) return !SamePlace(d, p, b);
  if (p == a) {
    const auto caret = CaretPlaceOf(w, v, a);
    return caret && x >= caret->x && !SamePlace(d, a, b);
  }
  if (p == b) {
    const auto caret = CaretPlaceOf(w, v, b);
    return caret && x < caret->x;
  }
  return false;
}

// --- Moving marked text: the drop position is tagged in the model so that it can be found again
// after the marked text is cut out and the lines are broken anew.

void ClearDragTags(Document& d) {
  for (FieldRec& f : d.fields)
    for (LineRec& l : f.lines) {
      l.dragWork = 0;
      for (int32_t c = 0; c < l.charCount(); ++c)
        if (l.chars[c].charFlags & kDragBit) l.chars.mut(c).charFlags &= ~kDragBit;
    }
}

// Tags the cell before p; at a line start after a soft end the last cell of the line before
// (the same place); at a paragraph's or chain's start the line itself, which no join removes.
void TagDropPosition(Document& d, const CursorPos& p) {
  LineRec& line = LineOf(d, p);
  if (p.chr > 0) {
    line.chars.mut(p.chr - 1).charFlags |= kDragBit;
    return;
  }
  int32_t f = p.field, l = p.line;
  if (StepLines(d, f, l, -1)) {
    LineRec& prev = LineOf(d, f, l);
    if (prev.endKind == kEndSoft && !prev.inTable && prev.charCount() > 0) {
      prev.chars.mut(prev.charCount() - 1).charFlags |= kDragBit;
      return;
    }
  }
  line.dragWork = 1;
}

bool FindDragTag(const Document& d, CursorPos& out) {
  for (int32_t f = 0; f < d.fieldCount(); ++f)
    for (int32_t l = 0; l < d.fields[f].lineCount(); ++l) {
      const LineRec& line = d.fields[f].lines[l];
      if (line.dragWork) {
        out = CursorPos{f, l, 0};
        return true;
      }
      for (int32_t c = 0; c < line.charCount(); ++c)
        if (line.chars[c].charFlags & kDragBit) {
          out = CursorPos{f, l, c + 1};
          return true;
        }
    }
  return false;
}

// Moves the marking to p: cut (undo step "Ausschneiden"), then paste at the tagged place (undo
// step "Einfügen"). The system clipboard is not involved.
void MoveMarkingTo(TMDIChild& w, const CursorPos& p) {
  Document& d = w.doc;
  const Fragment moved = CopyMarkingToFragment(w);
  EndTypingRun(w);
  MakeCopyForUndo(w, "Ausschneiden");
  ClearDragTags(d);
  TagDropPosition(d, p);
  DeleteMarking(w, EmptiedCells::LeaveRows);
  RefreshDirtyContent(w);
  CursorPos target = d.Cursor;  // where the text was: nothing is lost if the tag went missing
  FindDragTag(d, target);
  ClearDragTags(d);
  d.Cursor = d.Anchor = target;
  PasteFragment(w, moved);
}

void CopyMarkingTo(TMDIChild& w, const CursorPos& p) {
  Document& d = w.doc;
  const Fragment copied = CopyMarkingToFragment(w);
  d.Cursor = d.Anchor = p;
  PasteFragment(w, copied);
}

MouseResponse RightDown(TMDIChild& w, WindowView& v, MouseState& s, const MouseEvent& e) {
  MouseResponse r;
  Document& d = w.doc;
  s.rightClick = true;
  EditState& ed = EditingOf(w);
  if (ed.InsertObjectMode) {
    ed.InsertObjectMode = false;
    Repaint(w, r);
    return r;
  }
  const CursorPos oldAnchor = d.Anchor, oldCursor = d.Cursor;
  const TextHit h = HitTestText(w, v, e.x, e.y);
  // A right click on the marking keeps it, so that the menu's commands apply to it.
  const bool onMarking = isThereAmarking(w) && h.found && ClickInsideMarking(w, v, h, e.x);
  if (h.found && !onMarking) {
    EndTypingRun(w);
    PlaceAtHit(w, s, h, /*click*/ true, Has(e.modifiers, kShift));
    s.pictureClicked = false;
    s.marginClicked = false;
  }
  if (d.Anchor != oldAnchor || d.Cursor != oldCursor) {
    OvertakeFont(w);
    Repaint(w, r);
  }
  const MouseObj* zone = MouseObjAt(v, e.x, e.y);
  if (zone == nullptr || zone->id != kMouseTableBorder) {
    r.contextMenu = true;
    r.menuX = e.x;
    r.menuY = e.y;
  }
  return r;
}

// Step 3 of the left button: the second half of a double click, and the third click.
bool TripleClick(TMDIChild& w, MouseState& s, const MouseEvent& e, MouseResponse& r) {
  if (s.clickCounter == 1) {
    s.clickCounter = 2;
    return true;
  }
  if (s.clickCounter == 2) {
    s.clickCounter = 0;
    if (e.timeMs - s.doubleClickTime < kTripleClickMs) {
      AbsatzMarkieren(w);
      OvertakeFont(w);
      Repaint(w, r);
      return true;
    }
  }
  return false;
}

}  // namespace

PointerShape PointerForZone(int32_t id) {
  switch (id) {
    case kMouseText:
      return PointerShape::IBeam;
    case kMouseObjectFrame:
      return PointerShape::Move;
    case kMouseHandleTopLeft:
    case kMouseHandleBottomRight:
      return PointerShape::SizeNwSe;
    case kMouseHandleTopRight:
    case kMouseHandleBottomLeft:
      return PointerShape::SizeNeSw;
    case kMouseHandleTopMiddle:
    case kMouseHandleBottomMiddle:
      return PointerShape::SizeVertical;
    case kMouseTableBorder:
    case kMouseHandleLeftMiddle:
    case kMouseHandleRightMiddle:
      return PointerShape::SizeHorizontal;
    default:
      return PointerShape::Arrow;
  }
}

MouseResponse PaintBox1MouseDown(TMDIChild& w, WindowView& v, MouseState& s, const MouseEvent& e) {
  MouseResponse r;
  r.takeFocus = true;
  s.x = e.x;
  s.y = e.y;
  s.modifiers = e.modifiers;
  if (e.button == MouseButton::Right) {
    MouseResponse right = RightDown(w, v, s, e);
    right.takeFocus = true;
    return right;
  }
  if (e.button != MouseButton::Left) return r;
  s.rightClick = false;
  s.leftDown = true;
  s.textDrag = false;
  s.dragSelect = false;
  if (EditingOf(w).InsertObjectMode) {
    // Drawing a new object starts here; the band and the object come with the object commands.
    s.mouseMoved = false;
    s.band = IntRect{-9999, -9999, -9999, -9999};
    return r;
  }
  if (TripleClick(w, s, e, r)) return r;

  Document& d = w.doc;
  const bool shift = Has(e.modifiers, kShift);
  const bool ctrl = Has(e.modifiers, kCtrl);
  const bool hadMarking = isThereAmarking(w);
  const CursorPos oldAnchor = d.Anchor, oldCursor = d.Cursor;
  s.pictureClicked = false;
  s.marginClicked = false;
  const TextHit h = HitTestText(w, v, e.x, e.y);
  bool inside = false;
  if (h.found) {
    inside = hadMarking && !shift && ClickInsideMarking(w, v, h, e.x);
    if (inside) {
      // The marking stays for a text drag; a click on its picture notes that.
      s.pictureClicked = h.pictureHit;
    } else {
      EndTypingRun(w);
      PlaceAtHit(w, s, h, /*click*/ true, shift);
    }
  }
  const bool marking = isThereAmarking(w);
  s.dragSelect = !marking || s.marginClicked;
  s.textDrag = hadMarking && marking && !shift && inside;
  if (s.textDrag) s.dragSelect = false;
  if (s.linkMode) {
    // Linking text boxes comes with the object commands; a click ends the mode.
    s.linkMode = false;
    s.linkSource = -1;
    RefreshContent(w);
  }
  if (ctrl && h.found && !s.textDrag) {
    if (s.marginClicked) {
      SelectAll(w);
      s.dragSelect = false;
    } else if (!isThereAmarking(w)) {
      AbsatzMarkieren(w);
      s.dragSelect = false;
    }
  }
  OvertakeFont(w);
  if (d.Anchor != oldAnchor || d.Cursor != oldCursor || hadMarking != isThereAmarking(w))
    Repaint(w, r);
  return r;
}

MouseResponse PaintBox1MouseMove(TMDIChild& w, WindowView& v, MouseState& s, const MouseEvent& e) {
  MouseResponse r;
  r.setPointer = true;
  r.pointer = s.linkMode ? PointerShape::Hand : PointerShape::Arrow;
  if (EditingOf(w).InsertObjectMode) {
    // The band of a new object is drawn with the object commands.
    r.pointer = PointerShape::Cross;
    s.mouseMoved = true;
    return r;
  }
  if (s.leftDown && s.textDrag) {
    s.x = e.x;
    s.y = e.y;
    v.dropPoint = std::make_pair(e.x, e.y);
    r.pointer = PointerShape::Drag;
    Repaint(w, r);
    return r;
  }
  if (s.leftDown && s.dragSelect) {
    s.x = e.x;
    s.y = e.y;
    r.pointer = PointerShape::IBeam;
    Document& d = w.doc;
    const CursorPos old = d.Cursor;
    const TextHit h = HitTestText(w, v, e.x, e.y);
    if (h.found) PlaceAtHit(w, s, h, /*click*/ false, /*shift*/ true);
    if (d.Cursor != old) {
      OvertakeFont(w);
      Repaint(w, r);
    }
    return r;
  }
  if (s.linkMode) return r;
  if (s.leftDown) {
    r.setPointer = false;  // a press that neither marks nor drags keeps the pointer
    return r;
  }
  const MouseObj* zone = MouseObjAt(v, e.x, e.y);
  const int32_t id = zone ? zone->id : kMouseText;
  s.overTableBorder = id == kMouseTableBorder;
  r.pointer = PointerForZone(id);
  return r;
}

MouseResponse PaintBox1MouseUp(TMDIChild& w, WindowView& v, MouseState& s, const MouseEvent& e) {
  MouseResponse r;
  if (e.button != MouseButton::Left) return r;
  const bool dragging = s.leftDown && s.textDrag;
  s.leftDown = false;
  s.dragSelect = false;
  s.textDrag = false;
  if (v.dropPoint) {
    v.dropPoint.reset();
    Repaint(w, r);
  }
  if (!dragging) return r;

  Document& d = w.doc;
  const TextHit h = HitTestText(w, v, e.x, e.y);
  r.setPointer = true;
  r.pointer = PointerShape::IBeam;
  if (!h.found || !ValidPosition(d, h.pos) || !isThereAmarking(w)) return r;
  FindMarkingStart(w);
  const EditState& ed = EditingOf(w);
  const CursorPos p = h.pos;
  const bool inside = (!PositionBefore(p, ed.MarkStart) && !PositionBefore(ed.MarkEnd, p)) ||
                      SamePlace(d, p, ed.MarkStart) || SamePlace(d, p, ed.MarkEnd);
  if (inside) {
    // A click into the marking; a picture the click marked stays marked.
    if (!s.pictureClicked) {
      EndTypingRun(w);
      d.Cursor = d.Anchor = p;
      d.currentPage = h.page;
      OvertakeFont(w);
    }
    Repaint(w, r);
    return r;
  }
  if (Has(e.modifiers, kCtrl))
    CopyMarkingTo(w, p);
  else
    MoveMarkingTo(w, p);
  d.currentPage = h.page;
  s.pictureClicked = false;
  OvertakeFont(w);
  Repaint(w, r);
  return r;
}

MouseResponse PaintBox1DblClick(TMDIChild& w, WindowView& v, MouseState& s, const MouseEvent& e) {
  (void)v;
  MouseResponse r;
  if (e.button != MouseButton::Left || isThereAmarking(w)) return r;
  s.clickCounter = 1;
  s.doubleClickTime = e.timeMs;
  s.dragSelect = false;
  WortMarkieren(w);
  OvertakeFont(w);
  Repaint(w, r);
  return r;
}

}  // namespace paginor
