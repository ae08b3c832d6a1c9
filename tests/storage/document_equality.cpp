#include "storage/document_equality.h"

#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace paginor::test {

namespace {

// Collects the first difference with the path that leads to it. The path is only spelled out
// on a difference: comparing a document visits every cell.
class Compare {
 public:
  template <typename T>
  void eq(const char* what, const T& a, const T& b) {
    if (!failed_ && !(a == b)) {
      std::ostringstream s;
      for (const auto& [part, index] : path_) {
        s << part;
        if (index >= 0) s << "[" << index << "]";
        s << ".";
      }
      s << what << " differs";
      if constexpr (std::is_arithmetic_v<T>) s << ": " << +a << " vs " << +b;
      message_ = s.str();
      failed_ = true;
    }
  }
  bool failed() const { return failed_; }
  const std::string& message() const { return message_; }

  struct Scope {
    Scope(Compare& c, const char* part, long index = -1) : c_(c) {
      c.path_.emplace_back(part, index);
    }
    ~Scope() { c_.path_.pop_back(); }
    Compare& c_;
  };

 private:
  bool failed_ = false;
  std::vector<std::pair<const char*, long>> path_;
  std::string message_;
};

void paragraph(Compare& c, const ParagraphFormat& a, const ParagraphFormat& b) {
  c.eq("alignment", a.alignment, b.alignment);
  c.eq("lineSpacing", a.lineSpacing, b.lineSpacing);
  c.eq("lineSpacingMode", a.lineSpacingMode, b.lineSpacingMode);
  c.eq("spaceAbove", a.spaceAbove, b.spaceAbove);
  c.eq("spaceBelow", a.spaceBelow, b.spaceBelow);
  c.eq("indentLeft", a.indentLeft, b.indentLeft);
  c.eq("indentRight", a.indentRight, b.indentRight);
  c.eq("indentFirstLine", a.indentFirstLine, b.indentFirstLine);
  c.eq("defaultTabWidth", a.defaultTabWidth, b.defaultTabWidth);
  c.eq("tabs", a.tabs, b.tabs);
  c.eq("listIndent", a.listIndent, b.listIndent);
  c.eq("listKind", a.listKind, b.listKind);
  c.eq("bulletChar", a.bulletChar, b.bulletChar);
  c.eq("listNumber", a.listNumber, b.listNumber);
  c.eq("bulletFont", a.bulletFont, b.bulletFont);
}

// The sample of a template is stored whole; a cell of a line only as its kind allows.
void cell(Compare& c, const CharRec& a, const CharRec& b, bool whole) {
  c.eq("kind", a.kind, b.kind);
  c.eq("ch", a.ch, b.ch);
  c.eq("fontIndex", a.fontIndex, b.fontIndex);
  c.eq("charFlags", a.charFlags, b.charFlags);
  c.eq("width", a.width, b.width);
  c.eq("height", a.height, b.height);
  if (whole || a.ch == 9) c.eq("tabFill", a.tabFill, b.tabFill);
  if (whole || a.kind == kCharPicture) c.eq("pictureIndex", a.pictureIndex(), b.pictureIndex());
  if (whole || a.kind > kCharPicture) {
    c.eq("number", a.number(), b.number());
    c.eq("footnoteId", a.footnoteId(), b.footnoteId());
  }
  if (!whole && a.kind > kCharPicture) {
    c.eq("text", std::string(a.text()), std::string(b.text()));
    c.eq("code", std::string(a.code()), std::string(b.code()));
  }
  if (whole) c.eq("skipBefore", a.skipBefore, b.skipBefore);
}

void line(Compare& c, const LineRec& a, const LineRec& b) {
  c.eq("endKind", a.endKind, b.endKind);
  c.eq("inTable", a.inTable, b.inTable);
  c.eq("rowStart", a.rowStart, b.rowStart);
  c.eq("rowEnd", a.rowEnd, b.rowEnd);
  c.eq("rowCells", a.rowCells, b.rowCells);
  c.eq("cellColumn", a.cellColumn, b.cellColumn);
  c.eq("cellWidth", a.cellWidth, b.cellWidth);
  c.eq("rowInsetLeft", a.rowInsetLeft, b.rowInsetLeft);
  c.eq("rowInsetRight", a.rowInsetRight, b.rowInsetRight);
  c.eq("cellDesign", a.cellDesign, b.cellDesign);
  paragraph(c, a.para, b.para);
  c.eq("columns", a.columns, b.columns);
  c.eq("columnLine", a.columnLine, b.columnLine);
  c.eq("columnGap", a.columnGap, b.columnGap);
  c.eq("charCount", a.charCount(), b.charCount());
  for (int32_t i = 0; i < a.charCount() && i < b.charCount() && !c.failed(); ++i) {
    Compare::Scope s(c, "chars", i);
    cell(c, a.chars[i], b.chars[i], /*whole*/ false);
  }
}

// Compares member m of a and b under its own name.
#define SAME(m) c.eq(#m, a.m, b.m)

void field(Compare& c, const FieldRec& a, const FieldRec& b) {
  SAME(left), SAME(top), SAME(right), SAME(bottom);
  SAME(marginLeft), SAME(marginTop), SAME(marginRight), SAME(marginBottom);
  SAME(showOn), SAME(wrapText), SAME(moveWithText), SAME(flowMode);
  SAME(distanceY), SAME(distanceX), SAME(lineWidth), SAME(lineColour), SAME(backColour);
  SAME(transparent), SAME(topFromBottom), SAME(bottomFromBottom), SAME(rightFromRight);
  SAME(type), SAME(page), SAME(prevField), SAME(nextField), SAME(keepAspect);
  SAME(visited), SAME(selected), SAME(shapeVariant), SAME(footnoteNo);
  SAME(anchorOffsetX), SAME(anchorOffsetY), SAME(anchorId);
  c.eq("lineCount", a.lineCount(), b.lineCount());
  for (int32_t i = 0; i < a.lineCount() && i < b.lineCount() && !c.failed(); ++i) {
    Compare::Scope s(c, "lines", i);
    line(c, a.lines[i], b.lines[i]);
  }
}

void font(Compare& c, const FontRec& a, const FontRec& b) {
  SAME(textColour), SAME(size), SAME(name), SAME(reserved), SAME(style), SAME(charset);
  SAME(backColour), SAME(shadowColour), SAME(outlineColour), SAME(backTransparent);
  SAME(attributes);
}

void picture(Compare& c, const BildRec& a, const BildRec& b) {
  c.eq("info", a.info, b.info);
  c.eq("stride", a.stride, b.stride);
  c.eq("pixels", a.pixels, b.pixels);
}

void templates(Compare& c, const Document& a, const Document& b) {
  c.eq("templateCount", a.templateCount(), b.templateCount());
  for (size_t i = 0; i < a.templates.size() && i < b.templates.size() && !c.failed(); ++i) {
    Compare::Scope s(c, "templates", static_cast<long>(i));
    const VorlageRec& x = a.templates[i];
    const VorlageRec& y = b.templates[i];
    c.eq("name", x.name, y.name);
    c.eq("kind", x.kind, y.kind);
    paragraph(c, x.paragraph, y.paragraph);
    Compare::Scope t(c, "sample");
    cell(c, x.sample, y.sample, /*whole*/ true);
  }
}

}  // namespace

::testing::AssertionResult StoredContentEqual(const Document& a, const Document& b) {
  Compare c;
  c.eq("zoomPercent", a.zoomPercent, b.zoomPercent);
  c.eq("zoomMode", a.zoomMode, b.zoomMode);
  c.eq("autoHyphenation", a.autoHyphenation, b.autoHyphenation);
  c.eq("language", a.language, b.language);
  c.eq("properties", a.properties, b.properties);
  c.eq("fontCount", a.fontCount(), b.fontCount());
  for (size_t i = 0; i < a.fonts.size() && i < b.fonts.size() && !c.failed(); ++i) {
    Compare::Scope s(c, "fonts", static_cast<long>(i));
    font(c, a.fonts[i], b.fonts[i]);
  }
  c.eq("footnoteCounter", a.footnoteCounter, b.footnoteCounter);
  templates(c, a, b);
  c.eq("pictureCount", a.pictureCount(), b.pictureCount());
  for (size_t i = 0; i < a.pictures.size() && i < b.pictures.size() && !c.failed(); ++i) {
    Compare::Scope s(c, "pictures", static_cast<long>(i));
    picture(c, a.pictures[i], b.pictures[i]);
  }
  c.eq("Anchor", a.Anchor, b.Anchor);
  c.eq("Cursor", a.Cursor, b.Cursor);
  c.eq("currentPage", a.currentPage, b.currentPage);
  c.eq("lineEndAffinity", a.lineEndAffinity, b.lineEndAffinity);
  c.eq("fieldCount", a.fieldCount(), b.fieldCount());
  for (size_t i = 0; i < a.fields.size() && i < b.fields.size() && !c.failed(); ++i) {
    Compare::Scope s(c, "fields", static_cast<long>(i));
    field(c, a.fields[i], b.fields[i]);
  }
  if (c.failed()) return ::testing::AssertionFailure() << c.message();
  return ::testing::AssertionSuccess();
}

}  // namespace paginor::test
