// Numbers as a user types them into the boxes of toolbars, dialogs and key scripts.
#pragma once

#include <optional>
#include <string_view>

namespace paginor {

// The text as a finite number: blanks and tabs around it allowed, a decimal comma ("1,25") or
// point, nothing else. Empty when the text is not such a number.
std::optional<double> TypedNumber(std::string_view text);

}  // namespace paginor
