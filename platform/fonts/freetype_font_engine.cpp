// Measurement follows the classic Windows device fonts the layout was tuned on: advances are
// the fonts' design advances scaled to whole pixels, heights their Windows ascent and descent.
// Hinted advances are avoided on purpose, so FreeType's hinting settings cannot move a line
// break.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <unordered_map>

#include "platform/cp1252.h"
#include "platform/fonts/font_catalog.h"
#include "platform/fonts/font_engine.h"
#include "platform/fonts/font_rules.h"
#include "platform/fonts/symbol_tables.h"

namespace paginor {

namespace {

using fonts::SymbolFace;

// Beyond 2400 pt at 600 ppi nothing is meant seriously; the bound keeps the arithmetic small.
constexpr int64_t kMaxPpem = 20000;
// Windows' size for a height of 0.
constexpr int64_t kDefaultPoints = 12;
// Used when the caller passes no sensible resolution: that of the printer-less default.
constexpr int64_t kDefaultResolution = 600;
// Sizes kept after their last handle is gone; past this the unused ones are dropped.
constexpr size_t kSizeCacheLimit = 4096;

// num / den rounded half away from zero; den > 0.
int64_t roundDiv(int64_t num, int64_t den) {
  if (num >= 0) return (2 * num + den) / (2 * den);
  return -((-2 * num + den) / (2 * den));
}

// One face of one font file, with what measurement needs of it.
struct Face {
  std::string file;
  int32_t index = 0;
  FT_Face ft = nullptr;  // none: the estimate used when no font at all is installed
  int64_t unitsPerEm = 1000;
  int64_t ascent = 905;  // font units, Windows metrics (the estimate's are Arial's proportions)
  int64_t descent = 212;
  bool symbolCmap = false;  // only a Windows symbol character map: looked up by byte

  ~Face() {
    if (ft) FT_Done_Face(ft);
  }

  // The glyph of a character (symbol-mapped faces: of the byte); 0 (.notdef) when missing.
  FT_UInt glyphFor(char32_t c, uint8_t byte) const {
    if (!ft) return 1;
    if (symbolCmap) {
      FT_UInt g = FT_Get_Char_Index(ft, 0xF000u | byte);
      return g ? g : FT_Get_Char_Index(ft, byte);
    }
    return FT_Get_Char_Index(ft, c);
  }

  int64_t advanceUnits(FT_UInt glyph) const {
    if (!ft) return unitsPerEm / 2;
    FT_Fixed adv = 0;
    if (FT_Get_Advance(ft, glyph, FT_LOAD_NO_SCALE, &adv)) return 0;
    return adv;
  }
};

struct Resolved;

// A resolved face at one size: the byte advances in pixels, so measuring is a table lookup.
struct Sized {
  const Resolved* resolved = nullptr;
  std::array<int32_t, 256> advance{};
  FontMetrics metrics;
  int32_t handles = 0;
};

// A face name with weight and slant, resolved to the faces that draw its 256 bytes.
struct Resolved {
  SymbolFace symbol = SymbolFace::None;
  std::vector<const Face*> sources;  // [0]: the primary face (metrics, fontFile)
  std::array<uint8_t, 256> sourceOf{};
  std::array<int64_t, 256> units{};  // advance of each byte's glyph, in its source's units
  std::unordered_map<int64_t, std::unique_ptr<Sized>> sizes;
};

class FreeTypeFontEngine final : public FontEngine {
 public:
  explicit FreeTypeFontEngine(const Paths& paths);
  ~FreeTypeFontEngine() override;

  FontHandle createFont(const LogFont& lf, int32_t resolution) override;
  void deleteFont(FontHandle f) override;
  TextExtent textExtent(FontHandle f, std::string_view text) override;
  FontMetrics metrics(FontHandle f) override;
  std::string fontFile(FontHandle f, int32_t* faceIndex) override;
  char32_t unicodeFor(FontHandle f, uint8_t byte) override;

  std::vector<std::string> warnings() const override { return warnings_; }
  std::string fontFileFor(FontHandle f, uint8_t byte, int32_t* faceIndex) override;

 private:
  const Face* openFace(const fonts::FontMatch& m);
  const Face* findFace(const std::string& familyUtf8, bool bold, bool italic);
  const Face* fallbackFace(bool bold, bool italic);
  Resolved& resolved(const std::string& face, bool bold, bool italic);
  std::unique_ptr<Resolved> resolve(const std::string& faceUtf8, bool bold, bool italic);
  Sized& sized(Resolved& r, int64_t ppem);
  void dropUnusedSizes();
  Sized* lookup(FontHandle f) const;
  void warn(std::string message);

  FT_Library library_ = nullptr;
  std::unique_ptr<fonts::FontCatalog> catalog_;
  std::map<std::pair<std::string, int32_t>, std::unique_ptr<Face>> faces_;
  Face estimate_;
  // Per face name as documents carry it: regular, bold, italic, bold italic.
  std::unordered_map<std::string, std::array<std::unique_ptr<Resolved>, 4>> resolved_;
  size_t sizeCount_ = 0;
  std::vector<Sized*> handles_;  // handle h is handles_[h - 1]; null when free
  std::vector<int32_t> freeHandles_;
  std::vector<std::string> warnings_;
};

FreeTypeFontEngine::FreeTypeFontEngine(const Paths& paths) {
  if (FT_Init_FreeType(&library_)) {
    library_ = nullptr;
    warn(
        "Die Schriftbibliothek FreeType ließ sich nicht starten; Texte werden geschätzt gemessen.");
  }
  std::string dir = paths.programDataDir();
  catalog_ = std::make_unique<fonts::FontCatalog>(dir + "/" + fonts::kConfigFile, warnings_);
}

FreeTypeFontEngine::~FreeTypeFontEngine() {
  resolved_.clear();
  faces_.clear();  // the faces before their library
  if (library_) FT_Done_FreeType(library_);
}

void FreeTypeFontEngine::warn(std::string message) {
  if (std::find(warnings_.begin(), warnings_.end(), message) == warnings_.end())
    warnings_.push_back(std::move(message));
}

const Face* FreeTypeFontEngine::openFace(const fonts::FontMatch& m) {
  auto key = std::make_pair(m.file, m.index);
  auto it = faces_.find(key);
  if (it != faces_.end()) return it->second.get();
  if (!library_) return nullptr;

  auto face = std::make_unique<Face>();
  face->file = m.file;
  face->index = m.index;
  if (FT_New_Face(library_, m.file.c_str(), m.index, &face->ft) || face->ft->units_per_EM == 0) {
    if (face->ft) FT_Done_Face(face->ft);
    face->ft = nullptr;
    warn("Die Schriftdatei „" + m.file +
         "“ lässt sich nicht lesen; es wird mit einer Ersatzschrift gemessen.");
    faces_[key] = nullptr;
    return nullptr;
  }
  FT_Face ft = face->ft;
  face->unitsPerEm = ft->units_per_EM;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
  if (os2 && os2->version != 0xFFFFu && os2->usWinAscent + os2->usWinDescent > 0) {
    face->ascent = os2->usWinAscent;
    face->descent = os2->usWinDescent;
  } else if (hhea) {
    face->ascent = hhea->Ascender;
    face->descent = -hhea->Descender;
  } else {
    face->ascent = ft->ascender;
    face->descent = -ft->descender;
  }
  if (FT_Select_Charmap(ft, FT_ENCODING_UNICODE) != 0)
    face->symbolCmap = FT_Select_Charmap(ft, FT_ENCODING_MS_SYMBOL) == 0;
  const Face* result = face.get();
  faces_[key] = std::move(face);
  return result;
}

const Face* FreeTypeFontEngine::findFace(const std::string& familyUtf8, bool bold, bool italic) {
  auto m = catalog_->find(familyUtf8, bold, italic);
  return m ? openFace(*m) : nullptr;
}

// The face for a name no installed font carries: Liberation Sans, else whatever fontconfig
// offers, else an estimate, so that layout always gets widths.
const Face* FreeTypeFontEngine::fallbackFace(bool bold, bool italic) {
  if (const Face* f = findFace(fonts::kFallbackFamily, bold, italic)) return f;
  if (auto m = catalog_->any(bold, italic)) {
    if (const Face* f = openFace(*m)) {
      warn(std::string("Die Ersatzschrift „") + fonts::kFallbackFamily +
           "“ ist nicht installiert; Zeilen- und Seitenumbrüche können abweichen. Bitte das "
           "Paket fonts-liberation2 installieren.");
      return f;
    }
  }
  warn(
      "Es ist keine lesbare Schrift installiert; Texte werden geschätzt gemessen. Bitte die "
      "Pakete fonts-liberation2 und fonts-dejavu-core installieren.");
  return &estimate_;
}

std::unique_ptr<Resolved> FreeTypeFontEngine::resolve(const std::string& faceUtf8, bool bold,
                                                      bool italic) {
  auto r = std::make_unique<Resolved>();
  r->symbol = fonts::symbolFaceOf(faceUtf8);
  if (r->symbol == SymbolFace::None) {
    const Face* f = findFace(faceUtf8, bold, italic);
    r->sources.push_back(f ? f : fallbackFace(bold, italic));
  } else {
    // Symbol faces have no slanted free twin; a bold one prefers the bold face where it has
    // the character.
    auto add = [&](const Face* f) {
      if (f && std::find(r->sources.begin(), r->sources.end(), f) == r->sources.end())
        r->sources.push_back(f);
    };
    if (bold) add(findFace(fonts::symbolFamilies().front(), true, false));
    for (const char* family : fonts::symbolFamilies()) add(findFace(family, false, false));
    if (r->sources.empty()) r->sources.push_back(fallbackFace(bold, false));
  }

  const std::array<char32_t, 256>* table =
      r->symbol == SymbolFace::None ? nullptr : &fonts::symbolTable(r->symbol);
  for (int b = 0; b < 256; ++b) {
    uint8_t byte = static_cast<uint8_t>(b);
    char32_t c = table ? (*table)[b] : cp1252ToUnicode(byte);
    FT_UInt glyph = 0;
    uint8_t source = 0;
    for (size_t i = 0; i < r->sources.size() && !glyph; ++i) {
      glyph = r->sources[i]->glyphFor(c, byte);
      if (glyph) source = static_cast<uint8_t>(i);
    }
    r->sourceOf[b] = source;
    r->units[b] = r->sources[source]->advanceUnits(glyph);
  }
  return r;
}

Resolved& FreeTypeFontEngine::resolved(const std::string& face, bool bold, bool italic) {
  auto& slots = resolved_[face];
  auto& slot = slots[(bold ? 1 : 0) + (italic ? 2 : 0)];
  if (!slot) slot = resolve(cp1252ToUtf8(face), bold, italic);
  return *slot;
}

void FreeTypeFontEngine::dropUnusedSizes() {
  for (auto& [name, slots] : resolved_) {
    for (auto& r : slots) {
      if (!r) continue;
      for (auto it = r->sizes.begin(); it != r->sizes.end();) {
        if (it->second->handles == 0) {
          it = r->sizes.erase(it);
          --sizeCount_;
        } else {
          ++it;
        }
      }
    }
  }
}

Sized& FreeTypeFontEngine::sized(Resolved& r, int64_t ppem) {
  auto it = r.sizes.find(ppem);
  if (it != r.sizes.end()) return *it->second;
  if (sizeCount_ >= kSizeCacheLimit) dropUnusedSizes();

  auto s = std::make_unique<Sized>();
  s->resolved = &r;
  for (int b = 0; b < 256; ++b) {
    const Face* src = r.sources[r.sourceOf[b]];
    s->advance[b] = static_cast<int32_t>(roundDiv(r.units[b] * ppem, src->unitsPerEm));
  }
  const Face* primary = r.sources.front();
  s->metrics.ascent = static_cast<int32_t>(roundDiv(primary->ascent * ppem, primary->unitsPerEm));
  s->metrics.descent = static_cast<int32_t>(roundDiv(primary->descent * ppem, primary->unitsPerEm));
  s->metrics.height = s->metrics.ascent + s->metrics.descent;
  Sized& result = *s;
  r.sizes.emplace(ppem, std::move(s));
  ++sizeCount_;
  return result;
}

FontHandle FreeTypeFontEngine::createFont(const LogFont& lf, int32_t resolution) {
  Resolved& r = resolved(lf.face, lf.weight >= 600, lf.italic);
  const Face* primary = r.sources.front();
  int64_t height = lf.height;
  int64_t ppem;
  if (height < 0) {
    ppem = -height;
  } else if (height > 0) {
    // A cell height: the em that gives this ascent plus descent.
    int64_t cell = primary->ascent + primary->descent;
    ppem = cell > 0 ? roundDiv(std::min(height, kMaxPpem * 4) * primary->unitsPerEm, cell) : height;
  } else {
    int64_t res = resolution > 0 ? resolution : kDefaultResolution;
    ppem = roundDiv(kDefaultPoints * res, 72);
  }
  ppem = std::clamp<int64_t>(ppem, 1, kMaxPpem);

  Sized& s = sized(r, ppem);
  ++s.handles;
  if (!freeHandles_.empty()) {
    int32_t slot = freeHandles_.back();
    freeHandles_.pop_back();
    handles_[slot] = &s;
    return slot + 1;
  }
  handles_.push_back(&s);
  return static_cast<FontHandle>(handles_.size());
}

Sized* FreeTypeFontEngine::lookup(FontHandle f) const {
  if (f <= 0 || static_cast<size_t>(f) > handles_.size()) return nullptr;
  return handles_[f - 1];
}

void FreeTypeFontEngine::deleteFont(FontHandle f) {
  Sized* s = lookup(f);
  if (!s) return;
  --s->handles;
  handles_[f - 1] = nullptr;
  freeHandles_.push_back(f - 1);
}

TextExtent FreeTypeFontEngine::textExtent(FontHandle f, std::string_view text) {
  const Sized* s = lookup(f);
  if (!s) return {};
  int64_t width = 0;
  for (unsigned char b : text) width += s->advance[b];
  return {static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX)), s->metrics.height};
}

FontMetrics FreeTypeFontEngine::metrics(FontHandle f) {
  const Sized* s = lookup(f);
  return s ? s->metrics : FontMetrics{};
}

std::string FreeTypeFontEngine::fontFile(FontHandle f, int32_t* faceIndex) {
  const Sized* s = lookup(f);
  const Face* face = s ? s->resolved->sources.front() : nullptr;
  if (faceIndex) *faceIndex = face ? face->index : 0;
  return face ? face->file : std::string();
}

std::string FreeTypeFontEngine::fontFileFor(FontHandle f, uint8_t byte, int32_t* faceIndex) {
  const Sized* s = lookup(f);
  const Face* face = s ? s->resolved->sources[s->resolved->sourceOf[byte]] : nullptr;
  if (faceIndex) *faceIndex = face ? face->index : 0;
  return face ? face->file : std::string();
}

char32_t FreeTypeFontEngine::unicodeFor(FontHandle f, uint8_t byte) {
  const Sized* s = lookup(f);
  if (s && s->resolved->symbol != SymbolFace::None)
    return fonts::symbolTable(s->resolved->symbol)[byte];
  return cp1252ToUnicode(byte);
}

}  // namespace

std::unique_ptr<FontEngine> makeFontEngine(const Paths& paths) {
  return std::make_unique<FreeTypeFontEngine>(paths);
}

}  // namespace paginor
