// Whether reading or writing a file makes it the document's own file.
#pragma once

namespace paginor {

// Adopt: the document takes the file's path and name and counts as unmodified, and the file
// commands put the path into the recent files; what the user opens and saves. Detached: the
// document keeps its name and modified state; reading the template of a new document, writing a
// copy the user did not name.
enum class FileBinding { Adopt, Detached };

}  // namespace paginor
