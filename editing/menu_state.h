// Which commands of the menus and toolbars are enabled and checked, evaluated when a menu opens
// (and when the active window, its marking or its modified state changes). The shell applies the
// result to its actions; the engine decides, so the rules are tested headless.
#pragma once

#include <array>
#include <string>

#include "editing/commands.h"

namespace paginor {

class TMDIChild;
struct AppSettings;

// What the clipboard offers (asked of the platform by the shell).
struct ClipboardOffer {
  bool privateFormat = false;  // the program's own format
  bool text = false;
  bool bitmap = false;
};

// Everything the enabling depends on besides the active window's document.
struct MenuInput {
  TMDIChild* active = nullptr;            // the active document window, nullptr when none
  const AppSettings* settings = nullptr;  // nullptr: the defaults
  ClipboardOffer clipboard;
  bool pageViewActive = false;  // the active window shows the page view
  bool gridLines = false;       // "&Gitternetzlinien" is checked
  bool databaseOpen = false;    // the mail-merge table is open
  int32_t databaseRecord = 0;   // its current record number
};

struct MenuState {
  std::array<bool, kCommandCount> enabled{};
  std::array<bool, kCommandCount> checked{};
  // Menus of the menu bar that are shown (six are hidden while no document window exists).
  std::array<bool, kMenuCount> menuVisible{};
  // The undo and redo items' captions ("&Rückgängig: Eingabe", "&Rückgängig: Nicht möglich").
  std::string undoCaption;
  std::string redoCaption;
  // "Aktueller Datensatz: 12" or "Aktueller Datensatz: Keine Datenbank".
  std::string currentRecordCaption;

  bool isEnabled(CommandId id) const { return enabled[static_cast<size_t>(id)]; }
  bool isChecked(CommandId id) const { return checked[static_cast<size_t>(id)]; }
  bool isVisible(MenuId id) const { return menuVisible[static_cast<size_t>(id)]; }
};

// The enabling rules alone, as if every command's operation existed.
MenuState EvaluateMenuRules(const MenuInput& input);
// What the shell applies: the rules, and a command whose operation this build lacks is never
// enabled.
MenuState EvaluateMenuState(const MenuInput& input);

}  // namespace paginor
