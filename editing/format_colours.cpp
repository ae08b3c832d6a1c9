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
  FormatTextColour(w, d.colour & kWhite);
}

void ChooseBackColour(TMDIChild& w) {
  ColourDialog d;
  d.caption = "Hintergrundfarbe";
  d.colour = w.doc.CurrentFormat.curBackColour;
  if (!w.app.dialogs().run(d)) return;
  const int32_t colour = d.colour & kWhite;
  FormatBackColour(w, colour, colour == kWhite);
}

}  // namespace paginor
