// The colour buttons of the format toolbar: each asks for a colour (the platform's colour
// chooser) and applies it to the marking or the word at the Cursor.
#pragma once

namespace paginor {

class TMDIChild;

// "Textfarbe": opens with the current text colour.
void ChooseTextColour(TMDIChild& w);
// "Hintergrundfarbe": opens with the current background colour. White means no background of
// its own, so it is stored transparent; any other colour is drawn.
void ChooseBackColour(TMDIChild& w);

}  // namespace paginor
