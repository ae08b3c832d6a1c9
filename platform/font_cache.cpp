#include "platform/font_cache.h"

namespace paginor {

FontHandle FontCache::get(const FontKey& key) {
  return get(key, [&key](FontEngine& engine) {
    LogFont lf;
    lf.face = std::string(key.face);
    // Negative: the em height without internal leading, as the layout measures.
    lf.height = -static_cast<int32_t>(int64_t{key.resolution} * key.size / 72);
    lf.weight = key.style & 1 ? 700 : 400;
    lf.italic = key.style & 2;
    lf.strikeOut = key.style & 8;
    lf.charset = key.charset;
    return engine.createFont(lf, key.resolution);
  });
}

void FontCache::clear() {
  for (const auto& [key, handle] : handles_) {
    if (handle == 0) continue;
    // Releasing runs in destructors, also while memory has run out: an engine that cannot
    // take a handle back keeps it, which costs a slot and nothing else.
    try {
      engine_.deleteFont(handle);
    } catch (...) {
    }
  }
  handles_.clear();
}

}  // namespace paginor
