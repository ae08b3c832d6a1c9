// Templates ("Formatvorlagen"): named paragraph and character formats stored in the document.
#pragma once

#include <string_view>

#include "model/records.h"

namespace paginor {

inline constexpr size_t kTemplateNameMax = 255;

// Appends a template; the name is cut to 255 bytes, the format and sample are copied.
void AddVorlage(Document& d, std::string_view name, uint8_t kind, const ParagraphFormat& paragraph,
                const CharRec& sample);
// The five standard templates of a new document, from the Cursor line's paragraph format.
void CreateStandartVorlagen(Document& d);
void FreeVorlagen(Document& d);

}  // namespace paginor
