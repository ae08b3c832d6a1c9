// The key map of getkeysKeyDown: movement, deletion, Enter, Tab, the soft hyphen, select all,
// overwrite mode, undo and the format shortcuts.

#include "editing/keys.h"

#include "editing/formatting.h"
#include "editing/key_actions.h"
#include "editing/marking.h"
#include "editing/movement.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "model/position.h"
#include "window/application.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

// Panel of the status bar that shows the overwrite mode.
constexpr int kOverwritePanel = 2;

enum class Affinity { Clear, Set };

// What every movement key ends with. Without Shift the marking collapses onto the Cursor; with
// it the marking stretches from the unchanged Anchor.
void movementTail(TMDIChild& w, bool shift) {
  HostOf(w).restartRepaintTimer();
  if (!shift) w.doc.Anchor = w.doc.Cursor;
  OvertakeFont(w);
}

// Runs a movement: the run ends, the line-end affinity follows the key.
template <typename Move>
void movementKey(TMDIChild& w, bool shift, Affinity affinity, Move move) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return;
  EndTypingRun(w);
  d.lineEndAffinity = affinity == Affinity::Set ? 1 : 0;
  move();
  movementTail(w, shift);
}

void collapseToMarkStart(TMDIChild& w) {
  FindMarkingStart(w);
  w.doc.Cursor = EditingOf(w).MarkStart;
}

void collapseToMarkEnd(TMDIChild& w) {
  FindMarkingStart(w);
  w.doc.Cursor = EditingOf(w).MarkEnd;
}

// Page Up and Page Down: the pixels the view is to scroll for the steps that could not move.
int32_t pageUp(TMDIChild& w) {
  int32_t scroll = 0;
  for (int i = 0; i < kPageSteps; ++i) {
    if (GoLineUp(w)) continue;
    if (w.doc.Cursor.chr != 0)
      w.doc.Cursor.chr = 0;
    else
      scroll -= kPageScrollPixels;
  }
  return scroll;
}

int32_t pageDown(TMDIChild& w) {
  Document& d = w.doc;
  int32_t scroll = 0;
  for (int i = 0; i < kPageSteps; ++i) {
    if (GoLineDown(w)) continue;
    const int32_t end = LineOf(d, d.Cursor).charCount();
    if (d.Cursor.chr != end)
      d.Cursor.chr = end;
    else
      scroll += kPageScrollPixels;
  }
  return scroll;
}

void chainStart(TMDIChild& w) {
  Document& d = w.doc;
  const int32_t first = ChainFirstField(d, d.Cursor.field);
  if (ValidLine(d, first, 0)) d.Cursor = CursorPos{first, 0, 0};
}

void chainEnd(TMDIChild& w) {
  Document& d = w.doc;
  int32_t field = 0, line = 0;
  ChainLastLine(d, d.Cursor.field, field, line);
  if (ValidLine(d, field, line))
    d.Cursor = CursorPos{field, line, LineOf(d, field, line).charCount()};
}

void lineEnd(TMDIChild& w) {
  Document& d = w.doc;
  d.Cursor.chr = LineOf(d, d.Cursor).charCount();
}

void toggleOverwrite(TMDIChild& w) {
  EndTypingRun(w);
  bool& on = EditOptionsOf(w.app).OverwriteMode;
  on = !on;
  w.app.ui().statusText(kOverwritePanel, on ? "ÜB" : "");
}

void undoKey(TMDIChild& w, bool ctrl) {
  RestoreCopyFromUndo(w, 0);
  if (ctrl) EditingOf(w).swallowDel = true;
}

// The movement keys; false when the key is none of them.
bool movementKeyDown(TMDIChild& w, int key, bool shift, bool ctrl, KeyResponse& response) {
  const bool marking = isThereAmarking(w);
  switch (key) {
    case vk::kHome:
      movementKey(w, shift, Affinity::Clear, [&] {
        if (ctrl)
          chainStart(w);
        else
          w.doc.Cursor.chr = 0;
      });
      return true;
    case vk::kEnd:
      movementKey(w, shift, Affinity::Set, [&] {
        if (ctrl) {
          chainEnd(w);
        } else {
          lineEnd(w);
          // Shift+End takes in a paragraph's or break's line end, so that Delete joins the
          // next line. A soft line end and the next line's start are one place: a step right
          // there would mark the next line's first character.
          const LineRec& line = LineOf(w.doc, w.doc.Cursor);
          if (shift && !line.rowEnd && line.endKind != kEndSoft) GoCharRight(w);
        }
      });
      return true;
    case vk::kUp:
      movementKey(w, shift, Affinity::Clear, [&] {
        if (marking && !shift) collapseToMarkStart(w);
        GoLineUp(w);
      });
      return true;
    case vk::kDown:
      movementKey(w, shift, Affinity::Clear, [&] {
        if (marking && !shift) {
          collapseToMarkEnd(w);
          if (w.doc.Cursor.chr == 0) GoCharLeft(w);
        }
        GoLineDown(w);
      });
      return true;
    case vk::kPrior:
      movementKey(w, shift, Affinity::Clear, [&] { response.scrollBy = pageUp(w); });
      return true;
    case vk::kNext:
      movementKey(w, shift, Affinity::Clear, [&] { response.scrollBy = pageDown(w); });
      return true;
    case vk::kLeft:
      movementKey(w, shift, Affinity::Clear, [&] {
        if (ctrl)
          GoWordLeft(w, shift ? Extend::Yes : Extend::No);
        else if (marking && !shift)
          collapseToMarkStart(w);
        else
          GoCharLeft(w);
      });
      return true;
    case vk::kRight:
      movementKey(w, shift, Affinity::Clear, [&] {
        if (ctrl)
          GoWordRight(w, shift ? Extend::Yes : Extend::No);
        else if (marking && !shift)
          collapseToMarkEnd(w);
        else
          GoCharRight(w);
      });
      return true;
    default:
      return false;
  }
}

// The German layout's format shortcuts: Ctrl+Shift+F, K, U for bold ("Fett"), italic
// ("Kursiv") and underline, Ctrl+L, E, R, B for the alignments ("Blocksatz").
bool formatShortcut(TMDIChild& w, int key, bool ctrl, bool shift, bool alt) {
  if (!ctrl || alt) return false;
  void (*command)(TMDIChild&) = nullptr;
  if (shift) {
    switch (key) {
      case 'F':
        command = ToggleBold;
        break;
      case 'K':
        command = ToggleItalic;
        break;
      case 'U':
        command = ToggleUnderline;
        break;
      default:
        return false;
    }
  } else {
    switch (key) {
      case 'L':
        command = formatleft;
        break;
      case 'E':
        command = formatcenter;
        break;
      case 'R':
        command = formatright;
        break;
      case 'B':
        command = formatblock;
        break;
      default:
        return false;
    }
  }
  command(w);
  SmallOvertakeFont(w);
  return true;
}

}  // namespace

KeyResponse getkeysKeyDown(TMDIChild& w, int key, Modifiers modifiers) {
  EditState& e = EditingOf(w);
  const bool shift = modifiers & kShift;
  const bool ctrl = modifiers & kCtrl;
  const bool alt = modifiers & kAlt;
  KeyResponse response;

  if (e.rulerDragging) {
    EndTypingRun(w);
    response.forRuler = true;
    if (key == vk::kEscape) e.rulerDragging = false;
    return response;
  }
  if (e.InsertObjectMode) {
    if (key == vk::kEscape) e.InsertObjectMode = false;
    return response;
  }
  if (AnyObjectSelected(w.doc)) {
    if (key == vk::kDelete) DeleteSelectedObjects(w);
    return response;
  }

  if (formatShortcut(w, key, ctrl, shift, alt)) return response;
  if (key == vk::kInsert) {
    toggleOverwrite(w);
  } else if (key == vk::kOemMinus && ctrl && !shift) {
    ToggleSoftHyphen(w);
  } else if (key == 'A' && ctrl) {
    SelectAll(w);
  } else if (key == vk::kBack) {
    if (ctrl || alt)
      undoKey(w, ctrl);
    else
      KeyBackspace(w);
  } else if (key == vk::kDelete) {
    KeyDelete(w);
  } else if (movementKeyDown(w, key, shift, ctrl, response)) {
    return response;
  } else if (key == vk::kTab) {
    KeyTab(w);
  } else if (key == vk::kReturn) {
    if (ctrl)
      KeyEnter(w, kEndPageBreak);
    else if (shift)
      KeyEnter(w, kEndLineBreak);
    else if (!alt)
      KeyEnter(w, kEndParagraph);
  }
  return response;
}

void ToggleSoftHyphen(TMDIChild& w) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return;
  EndTypingRun(w);
  MakeCopyForUndo(w, "Weicher Trennstrich");
  const CursorPos c = d.Cursor;
  FieldRec& f = d.fields[c.field];
  LineRec& line = f.lines[c.line];
  constexpr uint8_t kBit = 1u << kFlagSoftHyphen;
  if (c.chr < line.charCount()) {
    line.chars.mut(c.chr).charFlags ^= kBit;
    line.dirty = 1;
  } else if (c.line < f.lineCount() - 1 && f.lines[c.line + 1].charCount() > 0) {
    LineRec& next = f.lines[c.line + 1];
    next.chars.mut(0).charFlags ^= kBit;
    next.dirty = 1;
  }
  RefreshDirtyContent(w);
}

void SelectAll(TMDIChild& w) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor) || !ValidPosition(d, d.Anchor)) return;
  EndTypingRun(w);
  MakeCopyForUndo(w, "Alles markieren");
  const int32_t first = ChainFirstField(d, d.Anchor.field);
  if (ValidLine(d, first, 0)) d.Anchor = CursorPos{first, 0, 0};
  chainEnd(w);
  HostOf(w).restartRepaintTimer();
}

}  // namespace paginor
