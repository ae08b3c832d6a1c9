// Finds font files through a private fontconfig configuration, so that neither the system's nor
// the user's fontconfig rules (fonts-croscore's aliases, for one) change which file a face name
// measures with.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct _FcConfig;

namespace paginor::fonts {

struct FontMatch {
  std::string file;
  int32_t index = 0;  // face index in the file (named instances in the upper 16 bits)
};

class FontCatalog {
 public:
  // Loads the configuration file, or the built-in rules when it is missing or damaged; problems
  // are added to `warnings` as messages for the user.
  FontCatalog(const std::string& configPath, std::vector<std::string>& warnings);
  ~FontCatalog();
  FontCatalog(const FontCatalog&) = delete;
  FontCatalog& operator=(const FontCatalog&) = delete;

  // The scalable face of the family (after the alias rules) nearest to the weight and slant;
  // none when no installed font carries the family.
  std::optional<FontMatch> find(const std::string& familyUtf8, bool bold, bool italic) const;
  // The best scalable face of any family: the last resort when even the fallback family is
  // missing.
  std::optional<FontMatch> any(bool bold, bool italic) const;

 private:
  std::optional<FontMatch> match(const char* familyUtf8, bool bold, bool italic) const;

  _FcConfig* config_ = nullptr;
};

}  // namespace paginor::fonts
