// Memory of the program for large documents.
#pragma once

namespace paginor {

// Lets the C library's heap grow in large steps backed by 2 MB pages where the system offers
// them on request (transparent huge pages in "madvise" mode). A 1,000-page document fills tens
// of thousands of 4 KB pages, and every first touch of one is a page fault; that was about half
// of the time of converting such a document. Call once at program start, before the heap is
// used much. Does nothing where the C library or the system cannot do it.
void PrepareLargeHeap();

}  // namespace paginor
