// The font resources of the PDF writer: which bytes each font of the font list drew and from
// which font file, and the font objects written when the file is closed, named only or with the
// font embedded as a subset.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font_cache.h"
#include "platform/platform.h"

namespace paginor::pdf {

// Where font objects go: the writer's output primitives.
class ObjectSink {
 public:
  virtual ~ObjectSink() = default;
  virtual void write(std::string_view s) = 0;
  virtual void writeLine(std::string_view s) = 0;
  // Adds the cross-reference entry of `number` and writes its "n 0 obj" line.
  virtual void beginObject(int32_t number) = 0;
};

// A stretch of a text run drawn with one font resource: sub-font 0 is the font's own resource
// "/Fk", sub-font j > 0 the resource "/Fk_j" for bytes another font file draws (symbol faces).
struct FontRun {
  int32_t subFont = 0;
  size_t begin = 0, end = 0;
};

// What the font list holds of a font: its face name (Windows-1252) and style byte.
struct FontName {
  std::string name;
  uint8_t style = 0;
};

class FontTable {
 public:
  // `fonts` measures the named fonts' widths; its engine names the files to embed.
  FontTable(FontCache& fonts, bool embed);
  ~FontTable();
  FontTable(const FontTable&) = delete;
  FontTable& operator=(const FontTable&) = delete;

  // Font k (1-based, in list order) draws `text`, measured with handle `h`: records the bytes
  // for the subset and splits the text into runs of one resource each (one run when the fonts
  // are only named).
  void use(int32_t k, FontHandle h, std::string_view text, std::vector<FontRun>& runs);

  // After the last page: subsets the fonts and numbers the objects that follow the pictures,
  // from `firstExtra` on. Returns how many objects were numbered.
  int32_t prepare(const std::vector<FontName>& list, int32_t firstExtra);
  // The font object of font k, object number `number` already begun by the caller's numbering.
  void writeFont(ObjectSink& out, int32_t k, int32_t number);
  // The page resources' entries for the extra resources ("/F2_1 14 0 R"), without separators.
  std::string extraResources() const;
  // The objects numbered by prepare(), in number order.
  void writeExtraObjects(ObjectSink& out);

 private:
  struct Program;
  struct Entry;

  int32_t programFor(const std::string& file, int32_t faceIndex);
  Program* programOfSub(const Entry& e, int32_t sub);
  bool loadProgram(Program& p);
  void writeNamedFont(ObjectSink& out, const FontName& font);
  void writeEmbeddedFont(ObjectSink& out, const Entry& e, int32_t sub, const Program& p);
  void writeDescriptor(ObjectSink& out, const Program& p);
  void writeFontFile(ObjectSink& out, const Program& p);

  FontCache& fonts_;
  FontEngine& engine_;
  bool embed_;
  std::vector<std::unique_ptr<Entry>> entries_;
  std::vector<std::unique_ptr<Program>> programs_;
  std::vector<FontName> list_;
  void* library_ = nullptr;  // FT_Library, opened on first need
};

// The glyph name a Differences array gives a Unicode character ("uni20AC", "u1F4C1").
std::string glyphName(char32_t c);

}  // namespace paginor::pdf
