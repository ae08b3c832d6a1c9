// The example document kept in the repository (data/examples/beispiel.sbl): two pages that use
// what the page drawing and the PDF export draw. `test_view` rebuilds it with
//   PAGINOR_WRITE_EXAMPLE=/path/beispiel.sbl test_view --gtest_filter=ExampleDocument.*
// (tools/make_example/make_example.sh does that and exports it to PDF).
#pragma once

#include "window/document_window.h"

namespace paginor::test {

// Replaces the window's document (a new one) by the example, laid out.
void BuildExampleDocument(TMDIChild& w);

}  // namespace paginor::test
