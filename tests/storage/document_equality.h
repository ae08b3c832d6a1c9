// Member-for-member comparison of the document content a native file holds.
#pragma once

#include <gtest/gtest.h>

#include "model/records.h"

namespace paginor::test {

// Equal in every stored member: settings, properties, fonts, templates, pictures (header and
// pixels), positions, fields, lines and cells. Left out are what a file does not hold: page
// size, CurrentFormat, file name, modified flag, and the runtime members (layout results, dirty
// flags, lineAnchorId, skipBefore of cells, the footnote-area work flags). The failure names the
// first difference.
::testing::AssertionResult StoredContentEqual(const Document& a, const Document& b);

}  // namespace paginor::test
