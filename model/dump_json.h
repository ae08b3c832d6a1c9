// The whole document as JSON, for reading and for tests (`paginor-cli dump`).
// docs/dump-json.md describes the format.
#pragma once

#include <string>

#include "model/records.h"

namespace paginor {

struct DumpOptions {
  bool cells = true;   // every cell of every line
  bool pretty = true;
};

std::string DumpDocumentJson(const Document& d, const DumpOptions& options = {});

// A line's text as UTF-8 for reading: characters as themselves, fields and footnote marks as
// their shown text, pictures as U+FFFC.
std::string LineTextUtf8(const LineRec& line);

}  // namespace paginor
