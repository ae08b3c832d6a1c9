// The document records. Members carry the names the rest of the program (and the dump of
// `paginor-cli`) uses; lengths are millimetres, sizes points, colours 0x00BBGGRR, text single
// bytes of Windows code page 1252. Records reference each other by index only.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/cow_array.h"
#include "model/line_array.h"
#include "model/pstring.h"
#include "platform/pictures/picture.h"

namespace paginor {

using Colour = int32_t;

// Length conversions use 25.39995 mm per inch throughout; the layout was tuned on that figure.
inline constexpr double kMmPerInch = 25.39995;

struct TabStop {
  double position = 0;    // mm from the text area's left edge
  int32_t alignment = 0;  // 0 left, 1 centred, 2 right, 3 decimal
  int32_t fill = 0;       // 0 none, 1 dashes, 2 dots, 3 underline
  friend bool operator==(const TabStop&, const TabStop&) = default;
};

enum ListKind : uint8_t { kListNone = 0, kListBullets = 1, kListNumbers = 2 };

// Every line carries its paragraph's format, and most paragraphs set no tab stops and no bullet
// font. The two types below keep those lists and names out of line, so that they cost one
// pointer each when empty (a std::vector costs 24 bytes, a std::string 32): a line record is
// 280 bytes instead of 328. Copies are deep, as records own what they hold.

// The tab stops of a paragraph format: a list of TabStop as a std::vector would hold it.
class TabStops {
 public:
  TabStops() = default;
  TabStops(std::initializer_list<TabStop> stops) { assign(stops.begin(), stops.end()); }
  TabStops(const std::vector<TabStop>& stops) { assign(stops.data(), stops.data() + stops.size()); }
  TabStops(const TabStops& o) { assign(o.begin(), o.end()); }
  TabStops(TabStops&&) noexcept = default;
  TabStops& operator=(const TabStops& o) {
    if (this != &o) {
      TabStops copy(o);
      v_.swap(copy.v_);
    }
    return *this;
  }
  TabStops& operator=(TabStops&&) noexcept = default;

  size_t size() const { return v_ ? v_->size() : 0; }
  bool empty() const { return size() == 0; }
  const TabStop* begin() const { return v_ ? v_->data() : nullptr; }
  const TabStop* end() const { return v_ ? v_->data() + v_->size() : nullptr; }
  TabStop* begin() { return v_ ? v_->data() : nullptr; }
  TabStop* end() { return v_ ? v_->data() + v_->size() : nullptr; }
  const TabStop& operator[](size_t i) const { return (*v_)[i]; }
  TabStop& operator[](size_t i) { return (*v_)[i]; }
  void push_back(const TabStop& t) { list().push_back(t); }
  void resize(size_t n) {
    if (n == 0)
      v_.reset();
    else
      list().resize(n);
  }
  void clear() { v_.reset(); }

  friend bool operator==(const TabStops& a, const TabStops& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  void assign(const TabStop* first, const TabStop* last) {
    v_ = first == last ? nullptr : std::make_unique<std::vector<TabStop>>(first, last);
  }
  std::vector<TabStop>& list() {
    if (!v_) v_ = std::make_unique<std::vector<TabStop>>();
    return *v_;
  }
  std::unique_ptr<std::vector<TabStop>> v_;
};

// A font name held by a paragraph format (its bullet font); reads as a std::string_view.
class FontName {
 public:
  FontName() = default;
  FontName(std::string_view s) { set(s); }
  FontName(const char* s) : FontName(std::string_view(s)) {}
  FontName(const std::string& s) : FontName(std::string_view(s)) {}
  FontName(const FontName& o) { set(o.view()); }
  FontName(FontName&&) noexcept = default;
  FontName& operator=(const FontName& o) {
    if (this != &o) set(o.view());
    return *this;
  }
  FontName& operator=(FontName&&) noexcept = default;

  std::string_view view() const { return s_ ? std::string_view(*s_) : std::string_view(); }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }
  bool empty() const { return !s_; }
  size_t size() const { return view().size(); }
  void clear() { s_.reset(); }

  friend bool operator==(const FontName& a, const FontName& b) { return a.view() == b.view(); }

 private:
  void set(std::string_view s) { s_ = s.empty() ? nullptr : std::make_unique<std::string>(s); }
  std::unique_ptr<std::string> s_;
};

struct ParagraphFormat {
  // Members the layout reads for every line on every pass come first, in one cache line.
  uint8_t alignment = 0;        // 0 left, 1 centred, 2 right, 3 justified
  uint8_t lineSpacingMode = 0;  // 0 multiple, 1 at least, 2 exactly
  uint8_t listKind = kListNone;
  uint8_t bulletChar = 159;
  int32_t listNumber = 0;
  double spaceAbove = 0;
  double spaceBelow = 0;
  double lineSpacing = 1.0;
  double indentLeft = 0;
  double indentRight = 0;
  double indentFirstLine = 0;
  double defaultTabWidth = 12.5;
  double listIndent = 6.3;
  TabStops tabs;
  FontName bulletFont;  // empty = none ("Wingdings")

  int32_t tabCount() const { return static_cast<int32_t>(tabs.size()); }
  friend bool operator==(const ParagraphFormat&, const ParagraphFormat&) = default;
};

struct CellDesign {
  double borderLeftWidth = 0.75, borderTopWidth = 0.75, borderBottomWidth = 0.75,
         borderRightWidth = 0.75;
  Colour borderLeftColour = 0, borderTopColour = 0, borderBottomColour = 0,
         borderRightColour = 0;
  uint8_t borderLeft = 1, borderTop = 1, borderBottom = 1, borderRight = 1;
  Colour cellBackColour = 0xFFFFFF;
  uint8_t cellTransparent = 1;
  friend bool operator==(const CellDesign&, const CellDesign&) = default;
};

enum CharKind : uint8_t {
  kCharText = 0,
  kCharPicture = 1,
  kCharFootnoteRef = 2,
  kCharFootnoteMark = 3,
  kCharField = 4,
};

// charFlags bits
inline constexpr int kFlagSoftHyphen = 0;
inline constexpr int kFlagMisspelt = 1;
inline constexpr int kFlagDragMark = 2;

// What only some cells hold, kept out of the cell so that a plain character costs 32 bytes:
// the shown text and code of field and footnote cells, their numbers, a picture cell's picture
// and the paragraph format the line breaker carries on a transient paragraph end. A cell names
// its extras by a 32-bit handle (0 = none) and owns them: copying the cell copies them.
struct CellExtras {
  PString text;  // kinds 2 to 4: shown in place of the placeholder
  PString code;  // kind 4: the field code
  uint16_t number = 0;
  uint16_t footnoteId = 0;
  uint16_t pictureIndex = 0;
  std::unique_ptr<ParagraphFormat> carrier;  // runtime, line breaker only

  bool empty() const {
    return text.empty() && code.empty() && !number && !footnoteId && !pictureIndex && !carrier;
  }
};

// The process-wide store of cell extras. Entries never move, so a handle reads without a lock;
// taking and giving back entries is locked.
namespace cell_extras {
uint32_t make();                 // a new empty entry; throws std::bad_alloc when none is left
uint32_t copy(uint32_t handle);  // a new entry equal to `handle`'s
void release(uint32_t handle);   // gives the entry back
size_t liveCount();              // entries in use (for tests and benchmarks)

namespace detail {
inline constexpr uint32_t kChunkBits = 12;
inline constexpr uint32_t kChunkCount = 1u << 16;
extern std::atomic<CellExtras*> chunks[kChunkCount];
}  // namespace detail

inline CellExtras& at(uint32_t handle) {
  using namespace detail;
  return chunks[handle >> kChunkBits].load(std::memory_order_acquire)
      [handle & ((1u << kChunkBits) - 1)];
}

// Owns one entry (or none): copying copies it, moving hands it over, the owner gives it back.
class Handle {
 public:
  Handle() = default;
  Handle(const Handle& o) : id_(o.id_ ? cell_extras::copy(o.id_) : 0) {}
  Handle(Handle&& o) noexcept : id_(std::exchange(o.id_, 0)) {}
  Handle& operator=(const Handle& o) {
    if (this != &o) *this = Handle(o);
    return *this;
  }
  Handle& operator=(Handle&& o) noexcept {
    if (this != &o) {
      reset();
      id_ = std::exchange(o.id_, 0);
    }
    return *this;
  }
  ~Handle() { reset(); }

  explicit operator bool() const { return id_ != 0; }
  CellExtras* operator->() const { return &at(id_); }
  // The entry, taken from the store when there is none yet.
  CellExtras& ensure() {
    if (!id_) id_ = cell_extras::make();
    return at(id_);
  }
  void reset() {
    if (id_) cell_extras::release(std::exchange(id_, 0));
  }

 private:
  uint32_t id_ = 0;
};
}  // namespace cell_extras

struct CharRec {
  uint8_t kind = kCharText;
  uint8_t ch = 'a';
  uint8_t tabFill = 0;
  uint8_t charFlags = 0;
  int32_t fontIndex = 0;
  float skipBefore = 0;  // runtime: gap before the cell to pass a floating object
 private:
  cell_extras::Handle extras_;

 public:
  double width = 0;
  double height = 0;

  CharRec() = default;
  CharRec(const CharRec&) = default;
  CharRec(CharRec&&) noexcept = default;
  // A copy that runs out of memory leaves the cell as it was.
  CharRec& operator=(const CharRec& o) {
    if (this != &o) *this = CharRec(o);
    return *this;
  }
  CharRec& operator=(CharRec&&) noexcept = default;
  ~CharRec() = default;

  // Kinds 2 to 4: the text shown in place of the placeholder; kind 4: the field code.
  std::string_view text() const { return extras_ ? extras_->text.view() : ""; }
  std::string_view code() const { return extras_ ? extras_->code.view() : ""; }
  void setText(std::string_view s) {
    if (!s.empty() || extras_) {
      extras().text.set(s);
      trim();
    }
  }
  void setCode(std::string_view s) {
    if (!s.empty() || extras_) {
      extras().code.set(s);
      trim();
    }
  }
  uint16_t number() const { return extras_ ? extras_->number : 0; }
  uint16_t footnoteId() const { return extras_ ? extras_->footnoteId : 0; }
  uint16_t pictureIndex() const { return extras_ ? extras_->pictureIndex : 0; }
  void setNumber(uint16_t n) {
    if (n || extras_) {
      extras().number = n;
      trim();
    }
  }
  void setFootnoteId(uint16_t n) {
    if (n || extras_) {
      extras().footnoteId = n;
      trim();
    }
  }
  void setPictureIndex(uint16_t n) {
    if (n || extras_) {
      extras().pictureIndex = n;
      trim();
    }
  }
  // Runtime, line breaker only: the format of the paragraph a transient paragraph-end cell
  // opens; null when none.
  ParagraphFormat* paraCarrier() const {
    return extras_ ? extras_->carrier.get() : nullptr;
  }
  void setParaCarrier(const ParagraphFormat& f) {
    extras().carrier = std::make_unique<ParagraphFormat>(f);
  }
  void clearParaCarrier() {
    if (extras_) {
      extras().carrier.reset();
      trim();
    }
  }

 private:
  CellExtras& extras() { return extras_.ensure(); }
  // A cell whose extras went back to nothing holds none, so it costs no entry.
  void trim() {
    if (extras_ && extras_->empty()) extras_.reset();
  }
};
static_assert(sizeof(CharRec) <= 32, "a plain character cell takes at most 32 bytes");

using CharArray = CowArray<CharRec>;

enum EndKind : int32_t { kEndSoft = 0, kEndParagraph = 1, kEndLineBreak = 2, kEndPageBreak = 3 };

struct LineRec {
  // Members every layout sweep reads come first, so a sweep over many lines touches few cache
  // lines per line.
  CharArray chars;
  int32_t endKind = kEndSoft;
  int32_t rowCells = 1;
  int32_t cellColumn = 0;
  int32_t columns = 0;
  uint8_t rowStart = 0;
  uint8_t rowEnd = 0;
  uint8_t inTable = 0;
  uint8_t dirty = 0;
  // Footnote references among the cells, counted by the layout whenever the line is dirty (every
  // change of a cell marks its line dirty), so the page flow reads the cells of those lines only.
  uint16_t footnoteRefs = 0;
  uint8_t endsWithHyphen = 0;  // runtime: broken inside a word; a hyphen is drawn after it
  uint8_t dragWork = 0;        // runtime
  double lineHeight = 0;       // runtime: the laid-out height
  ParagraphFormat para;

  double cellWidth = 1.0;
  double rowInsetLeft = 0;
  double rowInsetRight = 0;
  CellDesign cellDesign;
  double columnGap = 12.5;
  int32_t columnLine = 0;
  int32_t lineAnchorId = 0;

  // Runtime column placement (never stored).
  double columnX = 0;
  double columnTopShift = 0;
  double columnTailSpace = 0;
  double separatorLeftX = 0;
  double separatorRightX = 0;
  int32_t columnIndex = 0;
  uint8_t opensColumn = 0;
  uint8_t closesColumn = 0;
  uint8_t lastColumn = 0;

  int32_t charCount() const { return chars.size(); }
};

enum FieldType : uint8_t {
  kFieldBody = 0,
  kFieldHeader = 1,
  kFieldFooter = 2,  // footnote area when footnoteNo != 0
  kFieldTextBox = 3,
  kFieldRectangle = 4,
  kFieldEllipse = 5,
  kFieldSlantedLine = 6,
  kFieldHorizontalLine = 7,
  kFieldVerticalLine = 8,
  kFieldPicture = 9,
};

inline constexpr uint8_t kShowNowhere = 99;

// Anchor placement work data of page rendering (runtime).
struct AnchorWork {
  double offsetX = 0;
  double offsetY = 0;
  double marker = 0;
  int32_t field = 0;
  int32_t line = 0;
};

struct FieldRec {
  double left = 0, top = 0, right = 0, bottom = 0;
  double marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
  uint8_t showOn = 0;
  uint8_t wrapText = 0;
  uint8_t moveWithText = 0;
  int32_t flowMode = 0;
  double distanceY = 0;
  double distanceX = 0;
  double lineWidth = 0;
  Colour lineColour = 0;
  Colour backColour = 0xFFFFFF;
  uint8_t transparent = 0;
  uint8_t topFromBottom = 0, bottomFromBottom = 0, rightFromRight = 0;
  uint8_t type = kFieldBody;
  int32_t page = 0;
  int32_t prevField = -1;
  int32_t nextField = -1;
  uint8_t keepAspect = 0;
  RecordArray<LineRec> lines;
  uint8_t visited = 0;       // runtime
  uint8_t selected = 0;      // runtime
  uint8_t shapeVariant = 0;
  int32_t footnoteNo = 0;
  uint8_t unreferenced = 0;  // runtime
  uint8_t firstFootnote = 0; // runtime
  double anchorOffsetX = 0;
  double anchorOffsetY = 0;
  int32_t anchorId = 0;
  AnchorWork anchorWork;     // runtime

  int32_t lineCount() const { return lines.size(); }
  bool isFloating() const { return type > kFieldFooter; }
  bool isFootnoteArea() const { return type == kFieldFooter && footnoteNo != 0; }
};

// Attribute bits of FontRec::attributes and CurrentFormat::curAttributes.
enum Attribute : int {
  kAttrBold = 0,
  kAttrItalic = 1,
  kAttrUnderline = 2,
  kAttrStrikeOut = 3,
  kAttrUnderlineWords = 4,
  kAttrDoubleUnderline = 5,
  kAttrShadow = 6,
  kAttrOutline = 7,
  kAttrSuperscript = 8,
  kAttrSubscript = 9,
  kAttrSmallCaps = 10,
  kAttrUpperCase = 11,
  kAttrLowerCase = 12,
  kAttrNoHyphenation = 13,
};

// Style bits of FontRec::style.
enum StyleBit : int { kStyleBold = 0, kStyleItalic = 1, kStyleUnderline = 2, kStyleStrikeOut = 3 };

struct FontRec {
  Colour textColour = 0;
  double size = 12.0;
  std::string name;
  uint8_t reserved = 0;
  uint8_t style = 0;
  uint8_t charset = 1;
  Colour backColour = 0xFFFFFF;
  Colour shadowColour = 0x808080;
  Colour outlineColour = 0x00FFFF;
  uint8_t backTransparent = 1;
  uint16_t attributes = 0;

  friend bool operator==(const FontRec&, const FontRec&) = default;
};

struct CurrentFormatRec {
  uint16_t curAttributes = 0;
  std::string curFontName = "Times New Roman";
  double curFontSize = 12.0;
  Colour curTextColour = 0;
  uint8_t curFontStyle = 0;
  uint8_t curCharset = 1;
  Colour curBackColour = 0xFFFFFF;
  Colour curShadowColour = 0x808080;
  Colour curOutlineColour = 0x00FFFF;
  uint8_t curBackTransparent = 1;

  friend bool operator==(const CurrentFormatRec&, const CurrentFormatRec&) = default;
};

// The current format takes every member of a font-table entry (typing after a cell, applying a
// template).
inline void TakeFont(CurrentFormatRec& cf, const FontRec& font) {
  cf.curFontName = font.name;
  cf.curFontSize = font.size;
  cf.curTextColour = font.textColour;
  cf.curFontStyle = font.style;
  cf.curCharset = font.charset;
  cf.curBackColour = font.backColour;
  cf.curShadowColour = font.shadowColour;
  cf.curOutlineColour = font.outlineColour;
  cf.curBackTransparent = font.backTransparent;
  cf.curAttributes = font.attributes;
}

enum TemplateKind : uint8_t { kTemplateParagraph = 0, kTemplateCharacter = 1 };

struct VorlageRec {
  std::string name;  // at most 255 bytes
  uint8_t kind = kTemplateParagraph;
  ParagraphFormat paragraph;
  CharRec sample;  // only fontIndex carries meaning
};

struct CursorPos {
  int32_t field = 0;
  int32_t line = 0;
  int32_t chr = 0;
  friend bool operator==(const CursorPos&, const CursorPos&) = default;
};

inline constexpr int kPropertyCount = 8;
// Titles of the document properties, in stored order.
inline constexpr std::array<const char*, kPropertyCount> kPropertyTitles = {
    "Titel", "Thema", "Autor", "Manager", "Firma", "Kategorie", "Stichwörter", "Kommentar"};

// One document: what a document window holds of it.
struct Document {
  double zoomPercent = 100.0;
  int32_t zoomMode = 0;
  std::vector<FieldRec> fields;
  CursorPos Anchor;
  CursorPos Cursor;
  int32_t currentPage = 0;
  uint8_t lineEndAffinity = 0;
  CurrentFormatRec CurrentFormat;
  uint8_t autoHyphenation = 1;
  int32_t language = 0;
  std::string fileName;
  std::string filePath;
  std::vector<BildRec> pictures;
  double pageWidth = 210.0;
  double pageHeight = 297.0;
  std::vector<VorlageRec> templates;
  int32_t footnoteCounter = 0;
  std::array<std::string, kPropertyCount> properties;
  std::vector<FontRec> fonts;
  uint8_t modified = 0;

  int32_t fieldCount() const { return static_cast<int32_t>(fields.size()); }
  int32_t fontCount() const { return static_cast<int32_t>(fonts.size()); }
  int32_t pictureCount() const { return static_cast<int32_t>(pictures.size()); }
  int32_t templateCount() const { return static_cast<int32_t>(templates.size()); }
};

}  // namespace paginor
