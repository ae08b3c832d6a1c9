// Generated German text for the conversion benchmarks and bench/peers.sh.
#pragma once

#include <cstddef>
#include <string>

namespace paginor::bench {

// A text of about `bytes` bytes: lines of 0 to 6 German words (an empty line now and then),
// Windows-1252, CR LF. The same size gives the same text.
std::string GermanText(size_t bytes);

}  // namespace paginor::bench
