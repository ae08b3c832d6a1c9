// Named fonts follow the classic writer: TrueType by name, WinAnsiEncoding, metrics of the
// measuring font at 12 points, one unit per point, scaled to the 1000-unit glyph space.
//
// Embedded fonts are subsets of the very files that measured the text. Each font resource stays
// a simple TrueType font; the reader finds a glyph through the encoding's glyph name, its Unicode
// value and the subset's Unicode character map, so every code shows the character the screen
// shows. Symbol faces draw their bytes from several files; each file used gets a resource of its
// own, and the text is split into runs by file.
#include "output/pdf_fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include <hb-subset.h>
#include <hb.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "output/pdf_format.h"
#include "platform/cp1252.h"

namespace paginor::pdf {

namespace {

// Codes the Widths arrays cover: the printable part of the code page.
constexpr int kFirstChar = 32;
constexpr int kLastChar = 255;
// Size at which named fonts are measured for their descriptors and widths.
constexpr int64_t kMetricPoints = 12;

int64_t roundDiv(int64_t num, int64_t den) {
  if (num >= 0) return (2 * num + den) / (2 * den);
  return -((-2 * num + den) / (2 * den));
}

// A metric in whole points at 12 points, scaled to the 1000-unit glyph space and truncated.
int64_t toGlyphSpace(int64_t points) {
  return points * 1000 / kMetricPoints;
}

// Codes whose WinAnsiEncoding meaning readers disagree on (the code page's gaps, which some map
// to a bullet; no-break space and soft hyphen, which some read as space and hyphen; the late
// additions Euro, Zcaron and zcaron): always named explicitly when used.
bool winAnsiUnsure(int code) {
  switch (code) {
    case 0x7F:
    case 0x80:
    case 0x81:
    case 0x8D:
    case 0x8E:
    case 0x8F:
    case 0x90:
    case 0x9D:
    case 0x9E:
    case 0xA0:
    case 0xAD:
      return true;
    default:
      return false;
  }
}

uint32_t fnv1a(uint32_t h, const void* data, size_t n) {
  const auto* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

std::string tagFromHash(uint32_t h) {
  std::string tag(6, 'A');
  for (char& c : tag) {
    c = static_cast<char>('A' + h % 26);
    h /= 26;
  }
  return tag;
}

bool deflate(const char* data, size_t size, std::string& out) {
  uLongf bound = compressBound(static_cast<uLong>(size));
  out.resize(bound);
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &bound, reinterpret_cast<const Bytef*>(data),
                static_cast<uLong>(size), 9) != Z_OK)
    return false;
  out.resize(bound);
  return true;
}

FT_Face openFace(void* library, const std::string& file, int32_t index) {
  FT_Face face = nullptr;
  if (!library || file.empty()) return nullptr;
  if (FT_New_Face(static_cast<FT_Library>(library), file.c_str(), index, &face)) return nullptr;
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

}  // namespace

std::string glyphName(char32_t c) {
  if (c == 0) return ".notdef";
  static const char kHex[] = "0123456789ABCDEF";
  std::string digits;
  for (uint32_t v = c; v; v >>= 4) digits.insert(digits.begin(), kHex[v & 15]);
  if (c <= 0xFFFF) return "uni" + std::string(4 - digits.size(), '0') + digits;
  return "u" + digits;
}

// One font file as embedded: what the text used of it and its subset.
struct FontTable::Program {
  std::string file;
  int32_t faceIndex = 0;
  bool needed = false;
  std::set<char32_t> unicodes;
  std::bitset<256> bytes;  // for faces looked up by byte (Windows symbol character map)

  FT_Face face = nullptr;
  bool symbolCmap = false;
  bool embedded = false;
  int64_t unitsPerEm = 1000;
  std::string fontName;  // tag + "+" + PostScript name, escaped
  int32_t flags = 32;
  int64_t bbox[4] = {0, 0, 0, 0};
  int64_t ascent = 0, descent = 0, capHeight = 0, stemV = 80;
  double italicAngle = 0;
  std::string data;  // the compressed subset
  size_t length1 = 0;
  int32_t descriptorObject = 0, fileObject = 0;

  ~Program() {
    if (face) FT_Done_Face(face);
  }

  FT_UInt glyph(char32_t unicode, uint8_t byte) const {
    if (!face) return 0;
    if (symbolCmap) {
      FT_UInt g = FT_Get_Char_Index(face, 0xF000u | byte);
      return g ? g : FT_Get_Char_Index(face, byte);
    }
    return FT_Get_Char_Index(face, unicode);
  }
  // Advance of a glyph in the 1000-unit glyph space.
  double width(FT_UInt g) const {
    FT_Fixed adv = 0;
    if (!face || FT_Get_Advance(face, g, FT_LOAD_NO_SCALE, &adv)) return 0;
    return static_cast<double>(adv) * 1000.0 / static_cast<double>(unitsPerEm);
  }
  int64_t scaled(int64_t units) const { return roundDiv(units * 1000, unitsPerEm); }
};

// One font of the font list: which file draws each byte, and the bytes used per file.
struct FontTable::Entry {
  bool mapped = false;
  std::array<uint8_t, 256> sub{};
  std::array<char32_t, 256> unicode{};
  std::vector<int32_t> programs;  // program of each sub-font; -1: no font file to embed
  std::vector<std::bitset<256>> used;
  std::vector<int32_t> objects;  // object number of each sub-font j > 0 that was used
};

FontTable::FontTable(FontCache& fonts, bool embed)
    : fonts_(fonts), engine_(fonts.engine()), embed_(embed) {}

FontTable::~FontTable() {
  programs_.clear();  // the faces before their library
  if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

int32_t FontTable::programFor(const std::string& file, int32_t faceIndex) {
  if (file.empty()) return -1;
  for (size_t i = 0; i < programs_.size(); ++i)
    if (programs_[i]->file == file && programs_[i]->faceIndex == faceIndex)
      return static_cast<int32_t>(i);
  auto p = std::make_unique<Program>();
  p->file = file;
  p->faceIndex = faceIndex;
  programs_.push_back(std::move(p));
  return static_cast<int32_t>(programs_.size() - 1);
}

FontTable::Program* FontTable::programOfSub(const Entry& e, int32_t sub) {
  if (sub < 0 || sub >= static_cast<int32_t>(e.programs.size())) return nullptr;
  int32_t p = e.programs[sub];
  return p >= 0 && programs_[p]->embedded ? programs_[p].get() : nullptr;
}

void FontTable::use(int32_t k, FontHandle h, std::string_view text, std::vector<FontRun>& runs) {
  runs.clear();
  if (k < 1) return;
  while (entries_.size() < static_cast<size_t>(k)) entries_.push_back(std::make_unique<Entry>());
  if (!embed_) {
    runs.push_back({0, 0, text.size()});
    return;
  }
  Entry& e = *entries_[k - 1];
  if (!e.mapped) {
    e.mapped = true;
    int32_t index = 0;
    std::string primary = engine_.fontFile(h, &index);
    e.programs.push_back(programFor(primary, index));
    for (int b = 0; b < 256; ++b) {
      auto byte = static_cast<uint8_t>(b);
      std::string file = engine_.fontFileFor(h, byte, &index);
      int32_t prog = file == primary ? e.programs[0] : programFor(file, index);
      auto it = std::find(e.programs.begin(), e.programs.end(), prog);
      if (it == e.programs.end()) it = e.programs.insert(e.programs.end(), prog);
      e.sub[b] = static_cast<uint8_t>(it - e.programs.begin());
      e.unicode[b] = engine_.unicodeFor(h, byte);
    }
    e.used.resize(e.programs.size());
  }
  for (size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<uint8_t>(text[i]);
    int32_t s = e.sub[b];
    e.used[s].set(b);
    if (runs.empty() || runs.back().subFont != s) runs.push_back({s, i, i});
    runs.back().end = i + 1;
  }
  if (runs.empty()) runs.push_back({0, 0, 0});
}

bool FontTable::loadProgram(Program& p) {
  if (!library_) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib)) return false;
    library_ = lib;
  }
  p.face = openFace(library_, p.file, p.faceIndex);
  if (!p.face) return false;
  FT_Face f = p.face;
  // Only TrueType outlines can go into a FontFile2 stream.
  FT_ULong glyfLength = 0;
  if (!FT_IS_SFNT(f) || FT_Load_Sfnt_Table(f, TTAG_glyf, 0, nullptr, &glyfLength) || !glyfLength)
    return false;
  if (FT_Select_Charmap(f, FT_ENCODING_UNICODE) != 0) {
    if (FT_Select_Charmap(f, FT_ENCODING_MS_SYMBOL) != 0) return false;
    p.symbolCmap = true;
  }
  p.unitsPerEm = f->units_per_EM;

  hb_blob_t* blob = hb_blob_create_from_file_or_fail(p.file.c_str());
  if (!blob) return false;
  hb_face_t* face = hb_face_create(blob, static_cast<unsigned>(p.faceIndex));
  hb_blob_destroy(blob);
  hb_subset_input_t* input = hb_subset_input_create_or_fail();
  hb_face_t* subset = nullptr;
  if (input) {
    hb_set_t* unicodes = hb_subset_input_unicode_set(input);
    hb_set_t* glyphs = hb_subset_input_glyph_set(input);
    for (char32_t c : p.unicodes) hb_set_add(unicodes, c);
    for (int b = 0; b < 256 && p.symbolCmap; ++b) {
      if (!p.bytes.test(b)) continue;
      hb_set_add(unicodes, 0xF000u | static_cast<unsigned>(b));
      if (FT_UInt g = p.glyph(0, static_cast<uint8_t>(b))) hb_set_add(glyphs, g);
    }
    // Shaping tables are of no use to a PDF reader.
    hb_set_t* drop = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* t : {"GSUB", "GPOS", "GDEF", "BASE", "JSTF", "MATH", "kern"})
      hb_set_add(drop, HB_TAG(t[0], t[1], t[2], t[3]));
    subset = hb_subset_or_fail(face, input);
    hb_subset_input_destroy(input);
  }
  hb_face_destroy(face);
  if (!subset) return false;
  hb_blob_t* out = hb_face_reference_blob(subset);
  unsigned length = 0;
  const char* bytes = hb_blob_get_data(out, &length);
  bool ok = length > 0 && deflate(bytes, length, p.data);
  p.length1 = length;
  hb_blob_destroy(out);
  hb_face_destroy(subset);
  if (!ok) return false;

  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(f, FT_SFNT_POST));
  p.bbox[0] = p.scaled(f->bbox.xMin);
  p.bbox[1] = p.scaled(f->bbox.yMin);
  p.bbox[2] = p.scaled(f->bbox.xMax);
  p.bbox[3] = p.scaled(f->bbox.yMax);
  p.ascent = p.scaled(f->ascender);
  p.descent = p.scaled(f->descender);
  p.capHeight = os2 && os2->version != 0xFFFFu && os2->version >= 2 && os2->sCapHeight > 0
                    ? p.scaled(os2->sCapHeight)
                    : p.ascent;
  if (os2 && os2->version != 0xFFFFu)
    p.stemV = 10 + 220 * (std::max<int64_t>(os2->usWeightClass, 50) - 50) / 900;
  p.italicAngle = post ? static_cast<double>(post->italicAngle) / 65536.0 : 0.0;
  p.flags = p.symbolCmap ? 4 : 32;
  if (FT_IS_FIXED_WIDTH(f)) p.flags |= 1;
  if ((f->style_flags & FT_STYLE_FLAG_ITALIC) || p.italicAngle != 0) p.flags |= 64;

  const char* ps = FT_Get_Postscript_Name(f);
  std::string psName = ps ? ps : std::filesystem::path(p.file).stem().string();
  p.fontName = escapeName(psName);
  return true;
}

int32_t FontTable::prepare(const std::vector<FontName>& list, int32_t firstExtra) {
  list_ = list;
  while (entries_.size() < list_.size()) entries_.push_back(std::make_unique<Entry>());
  if (!embed_) return 0;

  for (auto& ep : entries_) {
    Entry& e = *ep;
    if (!e.mapped) continue;
    for (size_t j = 0; j < e.programs.size(); ++j) {
      if (e.programs[j] < 0 || (j > 0 && e.used[j].none())) continue;
      Program& p = *programs_[e.programs[j]];
      p.needed = true;
      for (int b = 0; b < 256; ++b) {
        if (!e.used[j].test(b)) continue;
        p.unicodes.insert(e.unicode[b]);
        p.bytes.set(b);
      }
    }
  }
  std::set<std::string> tags;
  for (auto& pp : programs_) {
    Program& p = *pp;
    if (!p.needed) continue;
    p.embedded = loadProgram(p);
    if (!p.embedded) continue;
    uint32_t h = fnv1a(2166136261u, p.file.data(), p.file.size());
    h = fnv1a(h, &p.faceIndex, sizeof p.faceIndex);
    for (char32_t c : p.unicodes) h = fnv1a(h, &c, sizeof c);
    std::string tag = tagFromHash(h);
    while (!tags.insert(tag).second) tag = tagFromHash(++h);
    p.fontName = tag + "+" + p.fontName;
  }

  int32_t next = firstExtra;
  for (auto& ep : entries_) {
    Entry& e = *ep;
    e.objects.assign(e.programs.size(), 0);
    for (size_t j = 1; j < e.programs.size(); ++j)
      if (e.used[j].any()) e.objects[j] = next++;
  }
  for (auto& pp : programs_) {
    if (!pp->embedded) continue;
    pp->descriptorObject = next++;
    pp->fileObject = next++;
  }
  return next - firstExtra;
}

void FontTable::writeFont(ObjectSink& out, int32_t k, int32_t number) {
  out.beginObject(number);
  const Entry* e =
      k >= 1 && static_cast<size_t>(k) <= entries_.size() ? entries_[k - 1].get() : nullptr;
  const Program* p = e && embed_ && e->mapped ? programOfSub(*e, 0) : nullptr;
  if (p)
    writeEmbeddedFont(out, *e, 0, *p);
  else
    writeNamedFont(out, list_[k - 1]);
}

void FontTable::writeNamedFont(ObjectSink& out, const FontName& font) {
  // Metrics at 12 points and 72 pixels per inch, in the default character set.
  const FontHandle h =
      fonts_.get({font.name, static_cast<int32_t>(kMetricPoints), font.style, 1, 72});

  out.writeLine("<<");
  out.writeLine("/Type /Font");
  out.writeLine("/Subtype /TrueType");
  out.writeLine("/Encoding /WinAnsiEncoding");
  out.writeLine("/BaseFont /" + baseFontName(font.name, font.style));
  out.writeLine("/FontDescriptor <</Type/FontDescriptor");

  if (!library_) {
    FT_Library lib = nullptr;
    if (!FT_Init_FreeType(&lib)) library_ = lib;
  }
  int32_t index = 0;
  FT_Face face = openFace(library_, engine_.fontFile(h, &index), index);
  if (face) {
    // The outline metrics at 12 points, one unit per point, as whole points.
    auto pts = [&](int64_t units) { return roundDiv(units * kMetricPoints, face->units_per_EM); };
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    bool typo = os2 && os2->version != 0xFFFFu;
    int64_t ascent = pts(typo ? os2->sTypoAscender : face->ascender);
    int64_t descent = pts(typo ? os2->sTypoDescender : face->descender);
    int64_t angle = post ? static_cast<int64_t>(post->italicAngle / 65536) : 0;
    out.writeLine("/FontBBox[" + intText(toGlyphSpace(pts(face->bbox.xMin))) + " " +
                  intText(toGlyphSpace(pts(face->bbox.yMin))) + " " +
                  intText(toGlyphSpace(pts(face->bbox.xMax))) + " " +
                  intText(toGlyphSpace(pts(face->bbox.yMax))) + "]");
    out.writeLine("/Flags 4/Ascent " + intText(toGlyphSpace(ascent)) + "/Descent " +
                  intText(toGlyphSpace(descent)) + "/ItalicAngle " + intText(angle) + ">>");
    FT_Done_Face(face);
  } else {
    FontMetrics m = engine_.metrics(h);
    int32_t maxWidth = 0;
    for (int b = kFirstChar; b <= kLastChar; ++b) {
      char c = static_cast<char>(b);
      maxWidth = std::max(maxWidth, engine_.textExtent(h, std::string_view(&c, 1)).cx);
    }
    out.writeLine("/FontBBox[0 " + intText(toGlyphSpace(m.height)) + " " +
                  intText(toGlyphSpace(maxWidth)) + " 0]");
    out.writeLine("/Flags 4/Ascent " + intText(toGlyphSpace(m.ascent)) + "/Descent " +
                  intText(toGlyphSpace(m.descent)) + ">>");
  }

  out.writeLine("/FirstChar " + intText(kFirstChar));
  out.writeLine("/LastChar " + intText(kLastChar));
  std::string widths = "/Widths [";
  for (int b = kFirstChar; b <= kLastChar; ++b) {
    char c = static_cast<char>(b);
    appendInt(widths, toGlyphSpace(engine_.textExtent(h, std::string_view(&c, 1)).cx));
    widths += ' ';
  }
  out.write(widths);
  out.writeLine("]");
  out.writeLine(">>");
  out.writeLine("endobj");
}

void FontTable::writeEmbeddedFont(ObjectSink& out, const Entry& e, int32_t sub, const Program& p) {
  out.writeLine("<<");
  out.writeLine("/Type /Font");
  out.writeLine("/Subtype /TrueType");
  out.writeLine("/BaseFont /" + p.fontName);
  out.writeLine("/FirstChar " + intText(kFirstChar));
  out.writeLine("/LastChar " + intText(kLastChar));
  std::string widths = "/Widths [";
  std::string differences;
  for (int b = kFirstChar; b <= kLastChar; ++b) {
    bool used = e.sub[b] == sub && e.used[sub].test(b);
    if (!used) {
      widths += "0 ";
      continue;
    }
    auto byte = static_cast<uint8_t>(b);
    widths += realText(p.width(p.glyph(e.unicode[b], byte)), 3);
    widths += ' ';
    if (!p.symbolCmap && (e.unicode[b] != cp1252ToUnicode(byte) || winAnsiUnsure(b))) {
      appendInt(differences, b);
      differences += " /" + glyphName(e.unicode[b]) + " ";
    }
  }
  widths.back() = ']';
  out.writeLine(widths);
  // A face with only a symbol character map is looked up by code; it takes no encoding.
  if (!p.symbolCmap) {
    if (differences.empty()) {
      out.writeLine("/Encoding /WinAnsiEncoding");
    } else {
      differences.pop_back();
      out.writeLine("/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding /Differences [" +
                    differences + "] >>");
    }
  }
  out.writeLine("/FontDescriptor " + intText(p.descriptorObject) + " 0 R");
  out.writeLine(">>");
  out.writeLine("endobj");
}

void FontTable::writeDescriptor(ObjectSink& out, const Program& p) {
  out.beginObject(p.descriptorObject);
  out.writeLine("<<");
  out.writeLine("/Type /FontDescriptor");
  out.writeLine("/FontName /" + p.fontName);
  out.writeLine("/Flags " + intText(p.flags));
  out.writeLine("/FontBBox [" + intText(p.bbox[0]) + " " + intText(p.bbox[1]) + " " +
                intText(p.bbox[2]) + " " + intText(p.bbox[3]) + "]");
  out.writeLine("/ItalicAngle " + realText(p.italicAngle, 2));
  out.writeLine("/Ascent " + intText(p.ascent));
  out.writeLine("/Descent " + intText(p.descent));
  out.writeLine("/CapHeight " + intText(p.capHeight));
  out.writeLine("/StemV " + intText(p.stemV));
  out.writeLine("/FontFile2 " + intText(p.fileObject) + " 0 R");
  out.writeLine(">>");
  out.writeLine("endobj");
}

void FontTable::writeFontFile(ObjectSink& out, const Program& p) {
  out.beginObject(p.fileObject);
  out.writeLine("<< /Length " + intText(static_cast<int64_t>(p.data.size())) + " /Length1 " +
                intText(static_cast<int64_t>(p.length1)) + " /Filter /FlateDecode >>");
  out.writeLine("stream");
  out.write(p.data);
  out.writeLine("");
  out.writeLine("endstream");
  out.writeLine("endobj");
}

std::string FontTable::extraResources() const {
  std::string s;
  for (size_t k = 0; k < entries_.size(); ++k) {
    const Entry& e = *entries_[k];
    for (size_t j = 1; j < e.objects.size(); ++j) {
      if (!e.objects[j]) continue;
      s += "/F" + intText(static_cast<int64_t>(k + 1)) + "_" + intText(static_cast<int64_t>(j)) +
           " " + intText(e.objects[j]) + " 0 R";
    }
  }
  return s;
}

void FontTable::writeExtraObjects(ObjectSink& out) {
  for (size_t k = 0; k < entries_.size(); ++k) {
    const Entry& e = *entries_[k];
    for (size_t j = 1; j < e.objects.size(); ++j) {
      if (!e.objects[j]) continue;
      out.beginObject(e.objects[j]);
      if (const Program* p = programOfSub(e, static_cast<int32_t>(j)))
        writeEmbeddedFont(out, e, static_cast<int32_t>(j), *p);
      else
        writeNamedFont(out, list_[k]);
    }
  }
  for (auto& p : programs_) {
    if (!p->embedded) continue;
    writeDescriptor(out, *p);
    writeFontFile(out, *p);
  }
}

}  // namespace paginor::pdf
