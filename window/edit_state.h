// The editing state of a document window (TMDIChild::edit) and the editing options of the
// application (Application::editOptions).
#pragma once

#include <cstdint>

#include "model/records.h"
#include "window/editor_host.h"

namespace paginor {

class Application;
class TMDIChild;

// The kind of a typing run: a keystroke of kind k takes an undo snapshot only when no run of
// kind k is active, so a run of typed characters (or of Backspaces) is undone in one step.
enum class RunKind : uint8_t { Typing = 0, Enter = 1, Delete = 2, Backspace = 3 };

struct EditState {
  bool runActive = false;
  RunKind runKind = RunKind::Typing;
  // Set while the program feeds characters and Delete keys through the handlers (spelling
  // replacement): no undo snapshot, the marking stays, no run.
  bool ProgrammaticTyping = false;
  // Set while a caller feeds a whole text through getkeysKeyPress: always insert, and no layout
  // after each character (the caller lays out once at the end).
  bool BatchTyping = false;
  // After Ctrl+Backspace the platform also delivers character 127; it is swallowed until
  // another character arrives.
  bool swallowDel = false;
  // While an object is being inserted or the ruler dragged the keyboard does almost nothing.
  bool InsertObjectMode = false;
  bool rulerDragging = false;

  // The ordered ends of the marking and its table rules, recomputed by FindMarkingStart.
  // MarkStart is also the scan position of the text walk.
  CursorPos MarkStart;
  CursorPos MarkEnd;
  bool TableMarking = false;
  bool BlockMarking = false;
  int32_t FirstMarkedColumn = 0;
  int32_t LastMarkedColumn = 0;
  // Walk option: go on with the first unvisited field at a chain's end.
  bool WalkAllFields = false;
};

// Editing options shared by all document windows of an application.
struct EditOptions {
  // Typed characters and tabs replace the cell at the Cursor ("ÜB" in the status bar).
  bool OverwriteMode = false;
  // "Anführungszeichen": 0 Neutral, 1 Deutsch, 2 Schweizer Deutsch, 3 Französisch, 4 Englisch.
  int32_t QuoteStyle = 1;
  // "Max. mögliche Undos" (1 to 1000).
  int32_t maxUndos = 10;
};

inline constexpr int32_t kMinUndos = 1;
inline constexpr int32_t kMaxUndos = 1000;

EditState& EditingOf(TMDIChild& w);
EditOptions& EditOptionsOf(Application& app);
// The window's own host (TMDIChild::host); one that ignores every request when it has none.
EditorHost& HostOf(TMDIChild& w);

// The typing run.
void EndTypingRun(TMDIChild& w);
bool RunActive(TMDIChild& w, RunKind kind);
void StartRun(TMDIChild& w, RunKind kind);

}  // namespace paginor
