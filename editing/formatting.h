// Character and paragraph formats. A character format change moves chosen components of the
// window's CurrentFormat into the marked cells (or the word at the Cursor), keeping everything
// else of each cell's font; a paragraph format change copies a whole paragraph format into every
// line of the paragraphs concerned. Each command is one undo step and lays out what it changed.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/records.h"

namespace paginor {

class TMDIChild;

// Which components of the CurrentFormat `formatieren` moves into the cells.
struct FormatComponents {
  bool faceName = false;
  bool size = false;
  uint16_t attributes = 0;  // one flag per attribute bit (Attribute)
  bool charset = false;
  bool outlineColour = false;
  bool shadowColour = false;
  bool background = false;  // the background colour with the transparent flag
  bool strikeOut = false;
  bool underline = false;
  bool italic = false;
  bool bold = false;
  bool textColour = false;

  bool any() const {
    return faceName || size || attributes != 0 || charset || outlineColour || shadowColour ||
           background || strikeOut || underline || italic || bold || textColour;
  }
};

// Takes the undo snapshot "Zeichenformat" and applies the chosen components of the
// CurrentFormat to the marking, or without one to the word at the Cursor and the separator
// cell just before it. Pictures keep their cells. Lays out.
void formatieren(TMDIChild& w, const FormatComponents& which);
// The same without an undo snapshot, for commands that take their own (templates).
void formatierenWithoutUndo(TMDIChild& w, const FormatComponents& which);

// The toolbar's and the shortcuts' character actions: each changes the CurrentFormat and applies
// only that component, as one undo step that restores the format as it was. They do nothing
// while the toolbar is being brought in line with the Cursor (formatGuard).
void ToggleBold(TMDIChild& w);
void ToggleItalic(TMDIChild& w);
// Underline toggles style bit 2 and sets attribute bit 2 to the same value.
void ToggleUnderline(TMDIChild& w);
// The size box: a number from 1 to 999 applies; anything else changes nothing and returns false,
// so the box shows the old size again.
bool FormatFontSizeText(TMDIChild& w, std::string_view text);
void FormatFontName(TMDIChild& w, std::string_view cp1252Name);
void FormatTextColour(TMDIChild& w, Colour colour);
void FormatBackColour(TMDIChild& w, Colour colour, bool transparent);
// Applies a whole new CurrentFormat of which only `which` moves into the cells (the character
// dialog's OK). Nothing, not even an undo step, when `which` names no component.
void ApplyCharacterFormat(TMDIChild& w, const CurrentFormatRec& format,
                          const FormatComponents& which);

// Everything a paragraph's lines carry as their format: the paragraph format and the text
// column values.
struct AbsatzFormat {
  ParagraphFormat para;
  int32_t columns = 0;
  int32_t columnLine = 0;
  double columnGap = 12.5;
  friend bool operator==(const AbsatzFormat&, const AbsatzFormat&) = default;
};

// The paragraph format of the Cursor line (the defaults when the Cursor stands nowhere).
AbsatzFormat getabsatzformat(const TMDIChild& w);

struct AbsatzSwitches {
  bool undo = true;             // take the undo snapshot "Absatzformat"
  bool cursorLineOnly = false;  // write the Cursor line alone (building a table)
  bool columns = false;         // also write the text column values (a table line: its whole row)
};
// Writes the format into every line of the marked paragraphs, or of the Cursor's paragraph.
// A paragraph stays inside its table cell; a line break never ends it. Lays out.
void setabsatzformat(TMDIChild& w, const AbsatzFormat& format, AbsatzSwitches switches = {});

// The paragraph commands: the whole format of the Cursor line with one value changed goes to
// every paragraph concerned.
void formatleft(TMDIChild& w);
void formatcenter(TMDIChild& w);
void formatright(TMDIChild& w);
void formatblock(TMDIChild& w);
void ZeilenAbstandEinfach(TMDIChild& w);
void ZeilenAbstandEinEinhalbfach(TMDIChild& w);
void ZeilenAbstandZweifach(TMDIChild& w);

}  // namespace paginor
