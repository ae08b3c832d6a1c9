#include "model/dump_json.h"

#include "model/json_writer.h"
#include "model/queries.h"
#include "platform/cp1252.h"

namespace paginor {

std::string LineTextUtf8(const LineRec& line) {
  std::string out;
  for (const CharRec& c : line.chars) {
    switch (c.kind) {
      case kCharText:
        appendUtf8(out, cp1252ToUnicode(c.ch));
        break;
      case kCharPicture:
        appendUtf8(out, 0xFFFC);
        break;
      default:
        out += cp1252ToUtf8(c.text());
        break;
    }
  }
  return out;
}

namespace {

void writeParagraph(JsonWriter& j, const ParagraphFormat& p) {
  j.beginObject();
  j.field("alignment", p.alignment);
  j.field("lineSpacing", p.lineSpacing);
  j.field("lineSpacingMode", p.lineSpacingMode);
  j.field("spaceAbove", p.spaceAbove);
  j.field("spaceBelow", p.spaceBelow);
  j.field("indentLeft", p.indentLeft);
  j.field("indentRight", p.indentRight);
  j.field("indentFirstLine", p.indentFirstLine);
  j.field("defaultTabWidth", p.defaultTabWidth);
  j.field("tabCount", p.tabCount());
  j.key("tabs");
  j.beginArray();
  for (const TabStop& t : p.tabs) {
    j.beginObject();
    j.field("position", t.position);
    j.field("alignment", t.alignment);
    j.field("fill", t.fill);
    j.endObject();
  }
  j.endArray();
  j.field("listIndent", p.listIndent);
  j.field("listKind", p.listKind);
  j.field("bulletChar", p.bulletChar);
  j.field("listNumber", p.listNumber);
  j.field("bulletFont", cp1252ToUtf8(p.bulletFont));
  j.endObject();
}

void writeCellDesign(JsonWriter& j, const CellDesign& c) {
  j.beginObject();
  j.field("borderLeftWidth", c.borderLeftWidth);
  j.field("borderTopWidth", c.borderTopWidth);
  j.field("borderBottomWidth", c.borderBottomWidth);
  j.field("borderRightWidth", c.borderRightWidth);
  j.field("borderLeftColour", c.borderLeftColour);
  j.field("borderTopColour", c.borderTopColour);
  j.field("borderBottomColour", c.borderBottomColour);
  j.field("borderRightColour", c.borderRightColour);
  j.field("borderLeft", c.borderLeft);
  j.field("borderTop", c.borderTop);
  j.field("borderBottom", c.borderBottom);
  j.field("borderRight", c.borderRight);
  j.field("cellBackColour", c.cellBackColour);
  j.field("cellTransparent", c.cellTransparent);
  j.endObject();
}

void writeCell(JsonWriter& j, const CharRec& c) {
  j.beginObject();
  j.field("kind", c.kind);
  j.field("ch", c.ch);
  j.field("fontIndex", c.fontIndex);
  j.field("width", c.width);
  j.field("height", c.height);
  if (c.ch == 9) j.field("tabFill", c.tabFill);
  j.field("charFlags", c.charFlags);
  if (c.skipBefore != 0) j.field("skipBefore", static_cast<double>(c.skipBefore));
  if (c.kind == kCharPicture) j.field("pictureIndex", c.pictureIndex());
  if (c.kind >= kCharFootnoteRef) {
    j.field("number", c.number());
    j.field("footnoteId", c.footnoteId());
    j.field("text", cp1252ToUtf8(c.text()));
    j.field("code", cp1252ToUtf8(c.code()));
  }
  j.endObject();
}

void writeLine(JsonWriter& j, const LineRec& l, const DumpOptions& o) {
  j.beginObject();
  j.field("text", LineTextUtf8(l));
  j.field("charCount", l.charCount());
  j.field("endKind", l.endKind);
  j.field("dirty", l.dirty);
  j.field("lineHeight", l.lineHeight);
  j.field("endsWithHyphen", l.endsWithHyphen);
  j.field("inTable", l.inTable);
  j.field("rowStart", l.rowStart);
  j.field("rowEnd", l.rowEnd);
  j.field("rowCells", l.rowCells);
  j.field("cellColumn", l.cellColumn);
  if (l.inTable) {
    j.field("cellWidth", l.cellWidth);
    j.field("rowInsetLeft", l.rowInsetLeft);
    j.field("rowInsetRight", l.rowInsetRight);
    j.key("cellDesign");
    writeCellDesign(j, l.cellDesign);
  }
  j.key("paragraph");
  writeParagraph(j, l.para);
  j.field("listNumber", l.para.listNumber);
  j.field("columns", l.columns);
  j.field("columnLine", l.columnLine);
  j.field("columnGap", l.columnGap);
  j.field("lineAnchorId", l.lineAnchorId);
  if (l.columns >= 2) {
    j.field("columnIndex", l.columnIndex);
    j.field("columnX", l.columnX);
    j.field("columnTopShift", l.columnTopShift);
    j.field("columnTailSpace", l.columnTailSpace);
    j.field("separatorLeftX", l.separatorLeftX);
    j.field("separatorRightX", l.separatorRightX);
    j.field("opensColumn", l.opensColumn);
    j.field("closesColumn", l.closesColumn);
    j.field("lastColumn", l.lastColumn);
  }
  if (o.cells) {
    j.key("chars");
    j.beginArray();
    for (const CharRec& c : l.chars) writeCell(j, c);
    j.endArray();
  }
  j.endObject();
}

void writeField(JsonWriter& j, const FieldRec& f, int32_t index, const DumpOptions& o) {
  j.beginObject();
  j.field("index", index);
  j.field("type", f.type);
  j.field("page", f.page);
  j.field("left", f.left);
  j.field("top", f.top);
  j.field("right", f.right);
  j.field("bottom", f.bottom);
  j.field("marginLeft", f.marginLeft);
  j.field("marginTop", f.marginTop);
  j.field("marginRight", f.marginRight);
  j.field("marginBottom", f.marginBottom);
  j.field("topFromBottom", f.topFromBottom);
  j.field("bottomFromBottom", f.bottomFromBottom);
  j.field("rightFromRight", f.rightFromRight);
  j.field("showOn", f.showOn);
  j.field("wrapText", f.wrapText);
  j.field("moveWithText", f.moveWithText);
  j.field("flowMode", f.flowMode);
  j.field("distanceY", f.distanceY);
  j.field("distanceX", f.distanceX);
  j.field("lineWidth", f.lineWidth);
  j.field("lineColour", f.lineColour);
  j.field("backColour", f.backColour);
  j.field("transparent", f.transparent);
  j.field("prevField", f.prevField);
  j.field("nextField", f.nextField);
  j.field("keepAspect", f.keepAspect);
  j.field("shapeVariant", f.shapeVariant);
  j.field("footnoteNo", f.footnoteNo);
  j.field("firstFootnote", f.firstFootnote);
  j.field("unreferenced", f.unreferenced);
  j.field("anchorOffsetX", f.anchorOffsetX);
  j.field("anchorOffsetY", f.anchorOffsetY);
  j.field("anchorId", f.anchorId);
  j.field("lineCount", f.lineCount());
  j.key("lines");
  j.beginArray();
  for (const LineRec& l : f.lines) writeLine(j, l, o);
  j.endArray();
  j.endObject();
}

void writeCursor(JsonWriter& j, std::string_view name, const CursorPos& c) {
  j.key(name);
  j.beginObject();
  j.field("field", c.field);
  j.field("line", c.line);
  j.field("chr", c.chr);
  j.endObject();
}

}  // namespace

std::string DumpDocumentJson(const Document& d, const DumpOptions& o) {
  JsonWriter j(o.pretty);
  j.beginObject();
  j.field("fileName", cp1252ToUtf8(d.fileName));
  j.field("filePath", d.filePath);
  j.field("modified", d.modified);
  j.field("pageWidth", d.pageWidth);
  j.field("pageHeight", d.pageHeight);
  j.field("zoomPercent", d.zoomPercent);
  j.field("zoomMode", d.zoomMode);
  j.field("autoHyphenation", d.autoHyphenation);
  j.field("language", d.language);
  j.field("footnoteCounter", d.footnoteCounter);
  j.field("currentPage", d.currentPage);
  j.field("lineEndAffinity", d.lineEndAffinity);
  writeCursor(j, "Cursor", d.Cursor);
  writeCursor(j, "Anchor", d.Anchor);

  const CurrentFormatRec& cf = d.CurrentFormat;
  j.key("CurrentFormat");
  j.beginObject();
  j.field("curFontName", cp1252ToUtf8(cf.curFontName));
  j.field("curFontSize", cf.curFontSize);
  j.field("curFontStyle", cf.curFontStyle);
  j.field("curAttributes", cf.curAttributes);
  j.field("curTextColour", cf.curTextColour);
  j.field("curCharset", cf.curCharset);
  j.field("curBackColour", cf.curBackColour);
  j.field("curShadowColour", cf.curShadowColour);
  j.field("curOutlineColour", cf.curOutlineColour);
  j.field("curBackTransparent", cf.curBackTransparent);
  j.endObject();

  j.key("properties");
  j.beginArray();
  for (const std::string& p : d.properties) j.value(cp1252ToUtf8(p));
  j.endArray();

  j.field("fontCount", d.fontCount());
  j.key("fonts");
  j.beginArray();
  for (const FontRec& f : d.fonts) {
    j.beginObject();
    j.field("name", cp1252ToUtf8(f.name));
    j.field("size", f.size);
    j.field("style", f.style);
    j.field("attributes", f.attributes);
    j.field("charset", f.charset);
    j.field("textColour", f.textColour);
    j.field("backColour", f.backColour);
    j.field("shadowColour", f.shadowColour);
    j.field("outlineColour", f.outlineColour);
    j.field("backTransparent", f.backTransparent);
    j.field("reserved", f.reserved);
    j.endObject();
  }
  j.endArray();

  j.field("templateCount", d.templateCount());
  j.key("templates");
  j.beginArray();
  for (const VorlageRec& v : d.templates) {
    j.beginObject();
    j.field("name", cp1252ToUtf8(v.name));
    j.field("kind", v.kind);
    j.key("paragraph");
    writeParagraph(j, v.paragraph);
    j.key("sample");
    writeCell(j, v.sample);
    j.endObject();
  }
  j.endArray();

  j.field("pictureCount", d.pictureCount());
  j.key("pictures");
  j.beginArray();
  for (const BildRec& b : d.pictures) {
    j.beginObject();
    j.field("width", b.width());
    j.field("height", b.height());
    j.field("bits", b.bitsPerPixel());
    j.field("hasBits", b.hasBits());
    j.endObject();
  }
  j.endArray();

  j.field("pageCount", GetAnzPages(d));
  j.field("fieldCount", d.fieldCount());
  j.key("fields");
  j.beginArray();
  for (int32_t i = 0; i < d.fieldCount(); ++i) writeField(j, d.fields[i], i, o);
  j.endArray();
  j.endObject();
  return j.str() + "\n";
}

}  // namespace paginor
