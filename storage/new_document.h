// A new document window's content: the built-in empty document with the template "normal.sbt"
// read over it.
#pragma once

#include <string>

#include "platform/result.h"

namespace paginor {

class TMDIChild;

// Builds a new, empty A4 document in the window (the fixed fields, the standard templates),
// laid out once. Reading the template "normal.sbt" over it is the caller's next step. Done, with
// a warning when the hyphenation patterns are damaged: the caller shows it.
Result FormCreate(TMDIChild& w);

inline constexpr const char* kTemplateFileName = "normal.sbt";

// The template a new document reads: the user's own "normal.sbt" in the per-user directory
// when there is one, else the one in the program data directory.
std::string TemplatePath(TMDIChild& w);

// Builds the new document (FormCreate), then reads the template over it without touching the
// file name or the modified flag. A missing or unreadable template leaves the built-in document
// and comes back as the reader's failure, for the caller to show. The document stays unnamed and
// not modified.
Result CreateNewDocument(TMDIChild& w);

}  // namespace paginor
