#pragma once

#include "cli/commands.h"

namespace paginor::cli {

// hyphenate --lang de|en WORD...: each word with its automatic syllable breaks, one per line.
int cmdHyphenate(Args& args);

}  // namespace paginor::cli
