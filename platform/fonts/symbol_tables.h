// The two Windows symbol fonts documents use, "Symbol" and "Wingdings", have no free twins. Their
// byte codes are mapped to Unicode characters and drawn from shipped free fonts instead.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace paginor::fonts {

enum class SymbolFace { None, Symbol, Wingdings };

// The symbol face a (UTF-8) face name stands for; face names compare without regard to case, as
// Windows compares them.
SymbolFace symbolFaceOf(std::string_view faceUtf8);

// Byte → Unicode table of a symbol face (not of SymbolFace::None). Bytes the face leaves
// undefined read as the Latin-1 character of the same code.
const std::array<char32_t, 256>& symbolTable(SymbolFace face);

}  // namespace paginor::fonts
