#include "platform/fonts/font_catalog.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>

#include "platform/fonts/font_rules.h"

namespace paginor::fonts {

namespace {

FcConfig* loadFile(const std::string& path) {
  FcConfig* c = FcConfigCreate();
  if (!c) return nullptr;
  if (!FcConfigParseAndLoad(c, reinterpret_cast<const FcChar8*>(path.c_str()), FcTrue)) {
    FcConfigDestroy(c);
    return nullptr;
  }
  return c;
}

FcConfig* loadBuiltIn() {
  FcConfig* c = FcConfigCreate();
  if (!c) return nullptr;
  std::string xml = builtInConfig();
  if (!FcConfigParseAndLoadFromMemory(c, reinterpret_cast<const FcChar8*>(xml.c_str()), FcTrue)) {
    FcConfigDestroy(c);
    return nullptr;
  }
  return c;
}

// Family names compare as fontconfig compares them: without regard to blanks or ASCII case.
bool sameFamily(const char* a, const char* b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (;;) {
    while (*a == ' ') ++a;
    while (*b == ' ') ++b;
    if (lower(*a) != lower(*b)) return false;
    if (!*a) return true;
    ++a;
    ++b;
  }
}

bool carriesFamily(FcPattern* font, const FcChar8* family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (sameFamily(reinterpret_cast<const char*>(name), reinterpret_cast<const char*>(family)))
      return true;
  return false;
}

}  // namespace

FontCatalog::FontCatalog(const std::string& configPath, std::vector<std::string>& warnings) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(configPath, ec)) {
    warnings.push_back("Die Schriftkonfiguration „" + configPath +
                       "“ fehlt; es gelten die eingebauten Schriftregeln.");
  } else {
    config_ = loadFile(configPath);
    if (!config_)
      warnings.push_back("Die Schriftkonfiguration „" + configPath +
                         "“ ist fehlerhaft; es gelten die eingebauten Schriftregeln.");
  }
  if (!config_) config_ = loadBuiltIn();
  if (!config_ || !FcConfigBuildFonts(config_))
    warnings.push_back("Die Schriftenliste des Systems ließ sich nicht lesen.");
}

FontCatalog::~FontCatalog() {
  if (config_) FcConfigDestroy(config_);
}

std::optional<FontMatch> FontCatalog::find(const std::string& familyUtf8, bool bold,
                                           bool italic) const {
  if (familyUtf8.empty()) return std::nullopt;
  return match(familyUtf8.c_str(), bold, italic);
}

std::optional<FontMatch> FontCatalog::any(bool bold, bool italic) const {
  return match(nullptr, bold, italic);
}

std::optional<FontMatch> FontCatalog::match(const char* familyUtf8, bool bold, bool italic) const {
  if (!config_) return std::nullopt;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return std::nullopt;
  if (familyUtf8)
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config_, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  // The locale's language would let a font that covers it win between faces of equal family;
  // measurement must not depend on the locale.
  FcPatternDel(pattern, FC_LANG);

  std::optional<FontMatch> result;
  FcResult r = FcResultNoMatch;
  FcPattern* font = FcFontMatch(config_, pattern, &r);
  if (font) {
    // fontconfig always offers something; only a face of the family asked for (after our
    // aliases) counts, so the caller's fallback rule decides the rest, not fontconfig's scoring.
    FcChar8* wanted = nullptr;
    bool familyOk =
        !familyUtf8 || (FcPatternGetString(pattern, FC_FAMILY, 0, &wanted) == FcResultMatch &&
                        carriesFamily(font, wanted));
    FcBool scalable = FcFalse;
    FcPatternGetBool(font, FC_SCALABLE, 0, &scalable);
    FcChar8* file = nullptr;
    int index = 0;
    if (familyOk && scalable && FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(font, FC_INDEX, 0, &index);
      result = FontMatch{reinterpret_cast<const char*>(file), index};
    }
    FcPatternDestroy(font);
  }
  FcPatternDestroy(pattern);
  return result;
}

}  // namespace paginor::fonts
