// The font engine on real fonts: fontconfig finds the face, FreeType measures.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace paginor {

// Makes the FreeType/fontconfig engine, configured from the font configuration in the program
// data directory ("fonts/paginor-fonts.conf"), which maps Windows face names to metric-compatible
// free fonts so that measurement is the same on every machine. Without that file the same rules
// apply built in. The engine is not thread-safe: measure from one thread.
std::unique_ptr<FontEngine> makeFontEngine(const Paths& paths);

}  // namespace paginor
