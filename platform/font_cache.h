// Device fonts made once each and released together. A drawing pass or an export asks for the
// same few fonts thousands of times; the cache makes each handle on first request and deletes
// every handle through its font engine when it goes, so no path can forget one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/platform.h"

namespace paginor {

// What a cached font is made from: the face, the size in points, the style bits (bold 1,
// italic 2, underline 4, strike-out 8), the character set, and the resolution in pixels per
// inch it is made at, zoom included. Every user of one cache makes a key into the same font.
struct FontKey {
  std::string_view face;
  int32_t size = 0;
  uint8_t style = 0;
  uint8_t charset = 1;
  int32_t resolution = 72;
};

class FontCache {
 public:
  explicit FontCache(FontEngine& engine) : engine_(engine) {}
  ~FontCache() { clear(); }
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  FontEngine& engine() const { return engine_; }

  // The handle of `key`: made by `make` (called with the engine, returning a new handle of it)
  // the first time, the same handle afterwards. A font the engine could not make (0) is
  // remembered too, so that it is not asked for again for every character.
  template <class Make>
  FontHandle get(const FontKey& key, Make&& make) {
    auto it = handles_.find(key);
    if (it != handles_.end()) return it->second;
    const FontHandle h = make(engine_);
    try {
      handles_.emplace(
          Stored{std::string(key.face), key.size, key.style, key.charset, key.resolution}, h);
    } catch (...) {
      engine_.deleteFont(h);
      throw;
    }
    return h;
  }

  // The font as the measuring rules make it from the key: the em height is the size at the
  // key's resolution, truncated; bold is weight 700; underline is drawn, never asked of the font.
  FontHandle get(const FontKey& key);

  size_t size() const { return handles_.size(); }
  // Deletes every handle now; the cache starts empty.
  void clear();

 private:
  struct Stored {
    std::string face;
    int32_t size;
    uint8_t style;
    uint8_t charset;
    int32_t resolution;
  };
  // Keys compare as tuples of a view of the face and the numbers, so that a lookup copies no
  // face name.
  struct Less {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      return tie(a) < tie(b);
    }
    template <class K>
    static auto tie(const K& k) {
      return std::tuple<std::string_view, int32_t, uint8_t, uint8_t, int32_t>(
          k.face, k.size, k.style, k.charset, k.resolution);
    }
  };

  FontEngine& engine_;
  std::map<Stored, FontHandle, Less> handles_;
};

}  // namespace paginor
