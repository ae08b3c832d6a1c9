// The common dialogs as data: choosing a file to open or save, the zoom dialog and the character
// and paragraph format dialogs. The engine
// fills them, the platform shows them (the desktop program with its own widgets, tests with
// scripted answers) and writes the answer back.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace paginor {

// Open or save dialog. The filter is written as pairs "description|pattern|description|..."
// (patterns separated by ';'); indexes count the pairs from 1.
struct FileDialog : Dialog {
  enum class Mode { Open, Save };
  const char* title() const override { return caption.c_str(); }

  Mode mode = Mode::Open;
  std::string caption;  // UTF-8; empty: the platform's usual "Öffnen"/"Speichern unter"
  std::string filter;
  int filterIndex = 1;   // in: preset; out: the chosen filter
  std::string fileName;  // in: preset path (may be empty); out: the chosen path
};

// "Zoom": the three choices and the percentage.
struct ZoomDialog : Dialog {
  enum class Choice { PageWidth = 0, WholePage = 1, Percent = 2 };
  const char* title() const override { return "Zoom"; }

  Choice choice = Choice::Percent;  // "Seitenbreite", "Ganze Seite", "Prozent festlegen"
  double percent = 100.0;
};

// "Zeichen": the character format. The engine fills it from the current format; the platform
// shows it and writes back the values and which controls the user changed, so that only those
// reach the text (a marking with two fonts keeps them when only the colour changed).
struct CharacterDialog : Dialog {
  const char* title() const override { return "Zeichen"; }

  std::string faceName;     // "Schriftart", UTF-8
  std::string sizeText;     // "Schriftgrad" as typed ("12", "10,5")
  uint16_t attributes = 0;  // the 14 entries of "Attribute", bit by bit
  int32_t textColour = 0;   // colours as 0x00BBGGRR
  int32_t backColour = 0xFFFFFF;
  bool transparent = true;  // only meaningful while the background is white
  int32_t outlineColour = 0x00FFFF;
  int32_t shadowColour = 0x808080;

  // Filled by the engine: the attributes at opening, against which changed entries are found.
  uint16_t openedAttributes = 0;
  // Written by the platform: the controls the user changed.
  bool faceChanged = false;
  bool sizeChanged = false;
  bool textColourChanged = false;
  bool backColourChanged = false;
  bool transparentChanged = false;
  bool outlineColourChanged = false;
  bool shadowColourChanged = false;
};

// "Absatzformatierung": alignment, line spacing, spacing and indents of the paragraph. The engine
// fills it and keeps the line spacing list and "Maß" in step while the user edits them
// (editing/paragraph_dialog.h); lengths are shown in centimetres.
struct ParagraphDialog : Dialog {
  // The entries of "Zeilenabstand" in their order.
  enum class Spacing { Single, OneHalf, Double, AtLeast, Exactly, Multiple };
  const char* title() const override { return "Absatzformatierung"; }

  int alignment = 0;  // "Links", "Zentriert", "Rechts", "Blocksatz"
  Spacing spacing = Spacing::Single;
  double measure = 1.0;                   // "Maß": lines, or mm for "Mindestens" and "Genau"
  double spaceAbove = 0, spaceBelow = 0;  // "Abstand von oben", "Abstand von unten" (cm)
  double indentLeft = 0, indentRight = 0, indentFirstLine = 0;  // "Einzüge:" (cm)
};

}  // namespace paginor
