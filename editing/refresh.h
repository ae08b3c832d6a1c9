// The three ways an edit ends: lay out again, then have the window repainted (through the
// one-shot repaint timer, so that several requests give one paint).
#pragma once

namespace paginor {

class TMDIChild;

// The ordinary end of an editing command: re-break the dirty lines, flow the pages, repaint and
// scroll the Cursor into view.
void RefreshDirtyContent(TMDIChild& w);
// After a change of the whole document's geometry (page setup, opening, importing): every line
// is broken again.
void CompleteRefresh(TMDIChild& w);
// As CompleteRefresh, but the view does not scroll.
void RefreshContent(TMDIChild& w);

}  // namespace paginor
