// paginor-cli commands on document files: converting between formats and dumping a file.
#pragma once

#include "cli/commands.h"

namespace paginor::cli {

// convert [--from FORMAT] [--to FORMAT] IN OUT
// convert [--to FORMAT] --new OUT      (the built-in new document, no template read)
int cmdConvert(Args& args);

// dump [--brief] [--from FORMAT] (--new | IN)
int cmdDumpFile(Args& args);

}  // namespace paginor::cli
