// The colour buttons of the format toolbar: each asks for a colour (the platform's colour
// chooser) and applies it to the marking or the word at the Cursor.
#pragma once

#include <cstdint>
#include <vector>

namespace paginor {

class TMDIChild;

// "Textfarbe": opens with the current text colour.
void ChooseTextColour(TMDIChild& w);
// "Hintergrundfarbe": opens with the current background colour. White means no background of
// its own, so it is stored transparent; any other colour is drawn.
void ChooseBackColour(TMDIChild& w);

// A colour taken from a button's palette, without the chooser (0x00BBGGRR).
void ApplyTextColour(TMDIChild& w, int32_t colour);
void ApplyBackColour(TMDIChild& w, int32_t colour);

// The colours of the buttons' palettes: the sixteen colours of the Windows palette, with their
// German names.
struct PaletteColour {
  int32_t colour;  // 0x00BBGGRR
  const char* name;
};
const std::vector<PaletteColour>& ColourPalette();

}  // namespace paginor
