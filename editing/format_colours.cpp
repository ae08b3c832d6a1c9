#include "editing/format_colours.h"

#include "editing/formatting.h"
#include "platform/format_dialogs.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {

namespace {

constexpr int32_t kWhite = 0xFFFFFF;

}  // namespace

void ChooseTextColour(TMDIChild& w) {
  ColourDialog d;
  d.caption = "Textfarbe";
  d.colour = w.doc.CurrentFormat.curTextColour;
  if (!w.app.dialogs().run(d)) return;
  ApplyTextColour(w, d.colour);
}

void ChooseBackColour(TMDIChild& w) {
  ColourDialog d;
  d.caption = "Hintergrundfarbe";
  d.colour = w.doc.CurrentFormat.curBackColour;
  if (!w.app.dialogs().run(d)) return;
  ApplyBackColour(w, d.colour);
}

void ApplyTextColour(TMDIChild& w, int32_t colour) {
  FormatTextColour(w, colour & kWhite);
}

void ApplyBackColour(TMDIChild& w, int32_t colour) {
  colour &= kWhite;
  FormatBackColour(w, colour, colour == kWhite);
}

const std::vector<PaletteColour>& ColourPalette() {
  static const std::vector<PaletteColour> palette = {
      {0x000000, "Schwarz"},  {0x000080, "Dunkelrot"},  {0x008000, "Dunkelgrün"},
      {0x008080, "Oliv"},     {0x800000, "Dunkelblau"}, {0x800080, "Violett"},
      {0x808000, "Blaugrün"}, {0x808080, "Grau"},       {0xC0C0C0, "Silber"},
      {0x0000FF, "Rot"},      {0x00FF00, "Grün"},       {0x00FFFF, "Gelb"},
      {0xFF0000, "Blau"},     {0xFF00FF, "Fuchsie"},    {0xFFFF00, "Türkis"},
      {0xFFFFFF, "Weiß"}};
  return palette;
}

}  // namespace paginor
