#include "editing/undo.h"

#include <algorithm>

#include "layout/layout.h"
#include "model/primitives.h"
#include "platform/cp1252.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

constexpr size_t kMaxNameBytes = 255;

int32_t undoLimit(TMDIChild& w) {
  return std::clamp(EditOptionsOf(w.app).maxUndos, kMinUndos, kMaxUndos);
}

int32_t entryCount(const TMDIChild& w) {
  return static_cast<int32_t>(w.undo.entries.size());
}

std::string entryName(const TMDIChild& w, int32_t i) {
  return cp1252ToUtf8(w.undo.entries[static_cast<size_t>(i)].name);
}

// Releases entries [from, count) and shortens the list.
void dropFrom(TMDIChild& w, int32_t from) {
  std::vector<UndoSnapshot>& entries = w.undo.entries;
  if (from < static_cast<int32_t>(entries.size()))
    entries.erase(entries.begin() + from, entries.end());
}

// Replaces the document with a copy of entry i and shows it.
void restoreEntry(TMDIChild& w, int32_t i) {
  const UndoSnapshot& s = w.undo.entries[static_cast<size_t>(i)];
  Document& d = w.doc;
  d.fields = s.fields;  // shares the cells, so the entry stays untouched by later edits
  ++w.changeCount;
  d.Anchor = s.Anchor;
  d.Cursor = s.Cursor;
  d.currentPage = s.currentPage;
  d.CurrentFormat = s.CurrentFormat;
  if (d.pageWidth != s.pageWidth || d.pageHeight != s.pageHeight) {
    // Page setup is undone or redone: the measuring values follow the page size, and the
    // text is broken again for it.
    d.pageWidth = s.pageWidth;
    d.pageHeight = s.pageHeight;
    SetPrinterProps(w);
    SetAllDirtyFlags(d);
    MakeSoftEnters(w);
  }
  OvertakeFont(w);
  EndTypingRun(w);
  EditorHost& host = HostOf(w);
  host.restartRepaintTimer();
  host.scrollCursorIntoView();
}

}  // namespace

void MakeCopyForUndo(TMDIChild& w, std::string_view name) {
  Document& d = w.doc;
  UndoState& u = w.undo;
  SetFileChanged(w, true);
  EndTypingRun(w);
  const bool wasEmpty = u.entries.empty();
  u.position = std::clamp(u.position, 0, entryCount(w));
  dropFrom(w, u.position);

  std::string stored = utf8ToCp1252(name);
  if (stored.size() > kMaxNameBytes) stored.resize(kMaxNameBytes);
  // The limit is tested before the entry is added: limit + 1 steps can be undone.
  if (u.position > undoLimit(w) && stored != kOriginalEntryName) {
    u.entries.erase(u.entries.begin());
    --u.position;
  }
  u.entries.push_back(UndoSnapshot{std::move(stored), d.fields, d.Anchor, d.Cursor, d.currentPage,
                                   d.CurrentFormat, d.pageWidth, d.pageHeight});
  u.position = entryCount(w);
  SetUndoHints(w);
  if (wasEmpty) FreeBildInListeIfNotNeeded(d, &u);
}

void RestoreCopyFromUndo(TMDIChild& w, int32_t k) {
  UndoState& u = w.undo;
  u.position = std::clamp(u.position, 0, entryCount(w));
  if (k < 0 || k >= u.position) {
    SetUndoHints(w);
    return;
  }
  if (u.position == entryCount(w)) {
    // The current state has no entry yet: keep it, so that it can be redone.
    MakeCopyForUndo(w, kOriginalEntryName);
    --u.position;
  }
  u.position -= k + 1;
  restoreEntry(w, u.position);
  SetUndoHints(w);
}

void RestoreBeforeRestoreCopyFromUndo(TMDIChild& w, int32_t k) {
  UndoState& u = w.undo;
  u.position = std::clamp(u.position, 0, entryCount(w));
  if (k < 0 || u.position >= entryCount(w) - k - 1) {
    SetUndoHints(w);
    return;
  }
  u.position += k + 1;
  restoreEntry(w, u.position);
  // Back at the newest state: its entry ("Orginal") is the document now.
  if (u.position >= entryCount(w) - 1) dropFrom(w, u.position);
  SetUndoHints(w);
}

UndoButtons UndoButtonState(TMDIChild& w) {
  const UndoState& u = w.undo;
  const int32_t count = entryCount(w);
  const int32_t p = std::clamp(u.position, 0, count);
  UndoButtons b;
  b.undoEnabled = p > 0;
  b.redoEnabled = p < count;
  const std::string undoName = p > 0 ? entryName(w, p - 1) : "Nicht möglich";
  const std::string redoName = p < count ? entryName(w, p) : "Nicht möglich";
  b.undoHint = "Rückgängig: " + undoName;
  b.redoHint = "Wiederholen: " + redoName;
  b.undoMenu = "&Rückgängig: " + undoName;
  b.redoMenu = "&Wiederholen: " + redoName;
  return b;
}

void SetUndoHints(TMDIChild& w) {
  HostOf(w).setUndoButtons(UndoButtonState(w));
}

void FreeUndoCopy(TMDIChild& w, int32_t index) {
  if (index < 0 || index >= entryCount(w)) return;
  w.undo.entries[static_cast<size_t>(index)] = UndoSnapshot{};
}

void FreeAllUndoCops(TMDIChild& w) {
  w.undo.entries.clear();
  w.undo.position = 0;
  SetUndoHints(w);
}

std::vector<std::string> UndoListEntries(TMDIChild& w) {
  std::vector<std::string> list;
  const int32_t p = std::clamp(w.undo.position, 0, entryCount(w));
  for (int32_t i = p - 1; i >= 0 && static_cast<int>(list.size()) < kUndoListLength; --i)
    list.push_back(entryName(w, i));
  return list;
}

std::vector<std::string> RedoListEntries(TMDIChild& w) {
  std::vector<std::string> list;
  const int32_t count = entryCount(w);
  const int32_t p = std::clamp(w.undo.position, 0, count);
  for (int32_t i = p; i <= count - 2 && static_cast<int>(list.size()) < kUndoListLength; ++i)
    list.push_back(entryName(w, i));
  return list;
}

}  // namespace paginor
