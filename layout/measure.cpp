#include "layout/measure.h"

#include <cmath>

#include "model/queries.h"
#include "platform/cp1252.h"

namespace paginor {

FontHandle selfont(TMDIChild& w, std::string_view face, int32_t resolution, uint16_t attributes,
                   uint8_t charset, uint8_t style, double size, int32_t scalePercent) {
  return selfont(w.app.fonts(), face, resolution, attributes, charset, style, size, scalePercent);
}

FontHandle selfont(FontEngine& fonts, std::string_view face, int32_t resolution,
                   uint16_t /*attributes*/, uint8_t charset, uint8_t style, double size,
                   int32_t scalePercent) {
  LogFont lf;
  lf.face = std::string(face);
  // Negative: the character height without internal leading, as the layout was designed on.
  lf.height = -static_cast<int32_t>(resolution * size / 72 * scalePercent / 100);
  lf.weight = (style & (1u << kStyleBold)) ? 700 : 400;
  lf.italic = style & (1u << kStyleItalic);
  lf.strikeOut = style & (1u << kStyleStrikeOut);
  lf.charset = charset;
  lf.outPrecision = 4;
  return fonts.createFont(lf, resolution);
}

double RoundHalfEven(double x) {
  double fl = std::floor(x);
  double diff = x - fl;
  if (diff > 0.5) return fl + 1;
  if (diff < 0.5) return fl;
  return std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
}

std::string ApplyCaseAttributes(std::string_view text, uint16_t attributes) {
  std::string s(text);
  if (GettingOps(attributes, kAttrLowerCase))
    for (char& c : s) c = static_cast<char>(cp1252ToLower(static_cast<unsigned char>(c)));
  if (GettingOps(attributes, kAttrUpperCase) || GettingOps(attributes, kAttrSmallCaps))
    for (char& c : s) c = static_cast<char>(cp1252ToUpper(static_cast<unsigned char>(c)));
  return s;
}

void RenderChar(TMDIChild& w, CharRec& cell, bool forceSuperscript, std::string_view text) {
  RenderChar(w, w.doc, cell, forceSuperscript, text);
}

void RenderChar(TMDIChild& w, Document& d, CharRec& cell, bool forceSuperscript,
                std::string_view text) {
  RenderChar(MeasureDevice{w.app.fonts(), w.measure.resolution}, d, cell, forceSuperscript, text);
}

void RenderChar(const MeasureDevice& device, Document& d, CharRec& cell, bool forceSuperscript,
                std::string_view text) {
  if (cell.fontIndex < 0 || cell.fontIndex >= d.fontCount()) {
    cell.width = 0;
    cell.height = 0;
    return;
  }
  if (forceSuperscript && !GettingOps(d.fonts[cell.fontIndex].attributes, kAttrSuperscript)) {
    FontRec raised = d.fonts[cell.fontIndex];
    SettingOps(raised.attributes, kAttrSuperscript, true);
    cell.fontIndex = GetNewFontIndex(d, raised);
  }
  const FontRec font = d.fonts[cell.fontIndex];
  const std::string shown = ApplyCaseAttributes(text, font.attributes);
  const int32_t res = device.resolution;
  FontEngine& fonts = device.fonts;

  // The height is always taken at the full size, so raised, lowered and small-capital text keeps
  // the line as tall as full-size text of its font.
  FontHandle h =
      selfont(fonts, font.name, res, font.attributes, font.charset, font.style, font.size, 100);
  TextExtent full = fonts.textExtent(h, shown);
  fonts.deleteFont(h);
  cell.height = full.cy / static_cast<double>(res) * kMmPerInch;

  double factor = 1.0;
  if (GettingOps(font.attributes, kAttrSmallCaps)) factor *= 0.75;
  if (GettingOps(font.attributes, kAttrSuperscript))
    factor *= 0.6;
  else if (GettingOps(font.attributes, kAttrSubscript))
    factor *= 0.6;
  double widthSize = RoundHalfEven(font.size * factor);
  if (widthSize <= 0) widthSize = 1.0;
  h = selfont(fonts, font.name, res, font.attributes, font.charset, font.style, widthSize, 100);
  TextExtent narrow = fonts.textExtent(h, shown);
  fonts.deleteFont(h);
  cell.width = narrow.cx / static_cast<double>(res) * kMmPerInch;
}

}  // namespace paginor
