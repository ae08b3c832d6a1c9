// The pictures of the toolbar buttons: the desktop's icon theme first, under the freedesktop
// names every Linux program uses, so the buttons look like those of the other programs; where
// the theme has none (or there is no theme at all), the program's own drawings from
// <program data>/icons/<name>.svg.
#pragma once

#include <QIcon>
#include <QString>

#include "editing/commands.h"

namespace paginor {

// The theme name of a command's button; nullptr for commands without a picture.
const char* ToolbarIconName(CommandId id);

// The button's picture: the theme's, else the drawing in `iconDir`; a null icon when neither
// exists (the button then shows its short text).
QIcon ToolbarIcon(CommandId id, const QString& iconDir);

}  // namespace paginor
