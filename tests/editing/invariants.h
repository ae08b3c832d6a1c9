// The model invariants every edit must keep: each field holds a line, chains link both ways,
// Cursor and Anchor lie inside the document, table rows are well formed and every index names
// an existing record.
#pragma once

#include <string>
#include <vector>

#include "model/records.h"

namespace paginor::test {

// The violations found, each described in a line; empty when the document is valid. At most
// `limit` are reported.
std::vector<std::string> CheckInvariants(const Document& d, size_t limit = 10);

// All violations in one text, for a test failure message.
std::string DescribeViolations(const std::vector<std::string>& v);

}  // namespace paginor::test
