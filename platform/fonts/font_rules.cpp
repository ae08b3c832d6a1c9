#include "platform/fonts/font_rules.h"

namespace paginor::fonts {

namespace {

// Liberation Sans Narrow came with the first Liberation series only (Debian's fonts-liberation);
// where it is missing, "Arial Narrow" takes the general fallback.
constexpr FaceAlias kAliases[] = {
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"Tms Rmn", "Liberation Serif"},
    {"MS Serif", "Liberation Serif"},
    {"serif", "Liberation Serif"},
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Helv", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"sans-serif", "Liberation Sans"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"monospace", "Liberation Mono"},
    {"Arial Narrow", "Liberation Sans Narrow"},
};

constexpr const char* kSymbolFamilies[] = {"DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif",
                                           "Liberation Sans"};

}  // namespace

std::span<const FaceAlias> faceAliases() {
  return kAliases;
}

std::span<const char* const> symbolFamilies() {
  return kSymbolFamilies;
}

std::string builtInConfig() {
  std::string xml =
      "<?xml version=\"1.0\"?>\n"
      "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
      "<fontconfig>\n"
      "  <dir>/usr/share/fonts</dir>\n"
      "  <dir>/usr/local/share/fonts</dir>\n"
      "  <dir prefix=\"xdg\">fonts</dir>\n"
      "  <dir>~/.fonts</dir>\n"
      "  <cachedir>/var/cache/fontconfig</cachedir>\n"
      "  <cachedir prefix=\"xdg\">fontconfig</cachedir>\n";
  for (const FaceAlias& a : kAliases) {
    xml +=
        "  <match target=\"pattern\">\n    <test name=\"family\" ignore-blanks=\"true\"><string>";
    xml += a.windowsName;
    xml +=
        "</string></test>\n    <edit name=\"family\" mode=\"assign_replace\" binding=\"strong\">";
    xml += "<string>";
    xml += a.freeFamily;
    xml += "</string></edit>\n  </match>\n";
  }
  xml += "</fontconfig>\n";
  return xml;
}

}  // namespace paginor::fonts
