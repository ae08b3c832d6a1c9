// The paragraph dialogs "Tabstops" and "Nummerierung und Aufzählungen" and the colour chooser
// of the format toolbar, as data. The engine fills them and carries out their buttons
// (editing/tab_dialog.h, editing/list_dialog.h); the platform shows them and writes the answer
// back. Lengths are centimetres, as the dialogs show them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace paginor {

// "Tabstops": the default tab width and the paragraph's tab stops, sorted by position. The
// buttons "Setzen", "Löschen" and "Alle löschen" work on the record (editing/tab_dialog.h).
struct TabDialog : Dialog {
  const char* title() const override { return "Tabstops"; }

  struct Stop {
    double position = 0;  // cm
    int alignment = 0;    // "Links", "Zentriert", "Rechts", "Dezimal"
    int fill = 0;         // "1) Ohne", "2) --------", "3) ........", "4) ____"
    friend bool operator==(const Stop&, const Stop&) = default;
  };

  static constexpr double kMinDefaultCm = 0.02;  // "Standard-Tabstops" range and step
  static constexpr double kMaxDefaultCm = 100;
  static constexpr double kDefaultStepCm = 0.1;
  static constexpr double kMaxPositionCm = 100;  // a stop lies in (0, 100] cm

  double defaultWidth = 1.25;  // "Standard-Tabstops" (cm)
  std::vector<Stop> stops;     // the list, ascending
  int selected = -1;           // the chosen entry of the list; -1 none
  std::string positionText;    // what is typed into the list's edit line (UTF-8)
  int alignment = 0;           // "Ausrichtung" as shown
  int fill = 0;                // "Füllzeichen" as shown
};

// "Nummerierung und Aufzählungen": list kind, distance to the text and the bullet character in
// its font.
struct ListDialog : Dialog {
  const char* title() const override { return "Nummerierung und Aufzählungen"; }

  static constexpr double kMinIndentCm = 0.0001;  // "Abstand zum Text" range
  static constexpr double kMaxIndentCm = 100;

  int kind = 0;                          // "Typ": "Keiner", "Aufzählung", "Nummerierung"
  double indent = 0.63;                  // "Abstand zum Text" (cm)
  std::string bulletText = "l";          // "Zeichen für Aufzählung": one character, UTF-8
  std::string bulletFont = "Wingdings";  // the font the box shows it in, UTF-8

  // The button "Zeichentabelle": lets the user pick font and character from the special
  // character table and puts them into the box; true when one was chosen. Unset while this build
  // has no such table, and the platform then shows the button disabled.
  std::function<bool(std::string& font, std::string& text)> chooseCharacter;
};

// A colour of the format toolbar ("Textfarbe", "Hintergrundfarbe").
struct ColourDialog : Dialog {
  const char* title() const override { return caption.c_str(); }

  std::string caption;  // UTF-8
  int32_t colour = 0;   // 0x00BBGGRR, as the document stores colours
};

}  // namespace paginor
