#include "editing/character_dialog.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "editing/formatting.h"
#include "editing/typed_number.h"
#include "model/queries.h"
#include "platform/cp1252.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {

namespace {

// The attribute entries with a style bit of their own: "Fett", "Kursiv", "Unterstrichen",
// "Durchgestrichen".
constexpr int kStyleEntries = 4;
constexpr uint16_t kAttributeEntries = (1u << 14) - 1;

std::string sizeText(double size) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", size);
  std::string s = buf;
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

// The size typed into the box when it is a number from 1 to 999.
bool parseSize(std::string_view s, double& size) {
  const std::optional<double> v = TypedNumber(s);
  if (!v || *v < 1 || *v > 999) return false;
  size = *v;
  return true;
}

}  // namespace

CharacterDialog CharacterDialogFor(const TMDIChild& w) {
  const CurrentFormatRec& cf = w.doc.CurrentFormat;
  CharacterDialog d;
  d.faceName = cp1252ToUtf8(cf.curFontName);
  d.sizeText = sizeText(cf.curFontSize);
  uint16_t attributes = cf.curAttributes & kAttributeEntries;
  for (int bit = 0; bit < kStyleEntries; ++bit)
    SettingOps(attributes, bit, GettingOpsB(cf.curFontStyle, bit));
  d.attributes = attributes;
  d.openedAttributes = attributes;
  d.textColour = cf.curTextColour;
  d.backColour = cf.curBackColour;
  d.transparent = cf.curBackTransparent != 0;
  d.outlineColour = cf.curOutlineColour;
  d.shadowColour = cf.curShadowColour;
  return d;
}

void ApplyCharacterDialog(TMDIChild& w, const CharacterDialog& d) {
  CurrentFormatRec f = w.doc.CurrentFormat;
  if (!d.faceName.empty()) f.curFontName = utf8ToCp1252(d.faceName);
  parseSize(d.sizeText, f.curFontSize);
  const uint16_t attributes = d.attributes & kAttributeEntries;
  // Attribute bits beyond the dialog's entries stay as they are.
  f.curAttributes = static_cast<uint16_t>((f.curAttributes & ~kAttributeEntries) | attributes);
  for (int bit = 0; bit < kStyleEntries; ++bit)
    SettingOpsB(f.curFontStyle, bit, GettingOps(attributes, bit));
  f.curTextColour = d.textColour;
  f.curBackColour = d.backColour;
  f.curBackTransparent = d.transparent ? 1 : 0;
  f.curOutlineColour = d.outlineColour;
  f.curShadowColour = d.shadowColour;

  FormatComponents which;
  which.faceName = d.faceChanged && !d.faceName.empty();
  which.size = d.sizeChanged;
  which.attributes = (d.attributes ^ d.openedAttributes) & kAttributeEntries;
  which.bold = GettingOps(which.attributes, kAttrBold);
  which.italic = GettingOps(which.attributes, kAttrItalic);
  which.underline = GettingOps(which.attributes, kAttrUnderline);
  which.strikeOut = GettingOps(which.attributes, kAttrStrikeOut);
  which.textColour = d.textColourChanged;
  which.background = d.backColourChanged || d.transparentChanged;
  which.outlineColour = d.outlineColourChanged;
  which.shadowColour = d.shadowColourChanged;
  ApplyCharacterFormat(w, f, which);
}

void zeichenformatieren(TMDIChild& w) {
  CharacterDialog d = CharacterDialogFor(w);
  if (!w.app.dialogs().run(d)) return;
  ApplyCharacterDialog(w, d);
}

}  // namespace paginor
