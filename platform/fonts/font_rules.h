// Which free font stands in for which Windows face name. The shipped configuration file
// (data/fonts/paginor-fonts.conf) carries the same rules; these serve when it is missing or
// damaged, so that measurement never depends on whether the file was installed.
#pragma once

#include <span>
#include <string>

namespace paginor::fonts {

struct FaceAlias {
  const char* windowsName;  // as documents carry it (ASCII)
  const char* freeFamily;   // the metric-compatible family of fonts-liberation2
};

// Windows face names and their metric-compatible stand-ins.
std::span<const FaceAlias> faceAliases();

// A face name that no installed font carries is measured with this family: the sans-serif
// stand-in for Arial, the most common face of the documents' era, so an unknown face still
// measures like a proportional Windows font.
inline constexpr const char* kFallbackFamily = "Liberation Sans";

// The free fonts that draw the characters of the symbol faces, in order of preference; each
// character comes from the first that has it. All are in fonts-dejavu-core or fonts-liberation2.
std::span<const char* const> symbolFamilies();

// Where the configuration lies below the program data directory.
inline constexpr const char* kConfigFile = "fonts/paginor-fonts.conf";

// The configuration built from the rules above, for when the file cannot be used.
std::string builtInConfig();

}  // namespace paginor::fonts
