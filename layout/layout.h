// The layout pass: breaks dirty lines, flows lines over pages and linked boxes, numbers lists
// and footnotes, and clears the dirty flags.
#pragma once

namespace paginor {

class TMDIChild;

void MakeSoftEnters(TMDIChild& w);

}  // namespace paginor
