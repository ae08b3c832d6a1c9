#include "editing/list_dialog.h"

#include <algorithm>
#include <cmath>

#include "editing/formatting.h"
#include "platform/cp1252.h"
#include "platform/template_dialogs.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {

namespace {

// The face a paragraph without a bullet font draws its bullets in.
constexpr const char* kDefaultBulletFont = "Wingdings";
constexpr uint8_t kDefaultBulletChar = 159;

}  // namespace

ListDialog ListDialogFor(const TMDIChild& w) {
  const ParagraphFormat p = getabsatzformat(w).para;
  ListDialog d;
  d.kind = std::clamp<int>(p.listKind, 0, 2);
  d.indent = p.listIndent / 10;
  d.bulletFont =
      p.bulletFont.empty() ? std::string(kDefaultBulletFont) : cp1252ToUtf8(p.bulletFont.view());
  const char ch = static_cast<char>(p.bulletChar);
  d.bulletText = cp1252ToUtf8(std::string_view(&ch, 1));
  return d;
}

void ApplyListDialog(TMDIChild& w, const ListDialog& d) {
  AbsatzFormat format = getabsatzformat(w);
  ParagraphFormat& p = format.para;
  p.listKind = static_cast<uint8_t>(std::clamp(d.kind, 0, 2));
  if (std::isfinite(d.indent))
    p.listIndent = std::clamp(d.indent, ListDialog::kMinIndentCm, ListDialog::kMaxIndentCm) * 10;
  // The first character only; one that Windows-1252 cannot hold becomes "?", as typing it would.
  const std::string text = utf8ToCp1252(d.bulletText);
  p.bulletChar = text.empty() ? kDefaultBulletChar : static_cast<uint8_t>(text[0]);
  const std::string font = utf8ToCp1252(d.bulletFont);
  if (font.empty() || EqualsIgnoringAsciiCase(font, kDefaultBulletFont))
    p.bulletFont.clear();
  else
    p.bulletFont = font;
  setabsatzformat(w, format);
  SmallOvertakeFont(w);
}

void NummerierungundAufzaehlungen(TMDIChild& w) {
  ListDialog d = ListDialogFor(w);
  // "Zeichentabelle": the special character table on the box's font and character.
  d.chooseCharacter = [&w](std::string& font, std::string& text) {
    SpecialCharacterDialog table;
    table.faceName = font;
    const std::string shown = utf8ToCp1252(text);
    if (!shown.empty()) table.code = std::max(32, static_cast<int>(static_cast<uint8_t>(shown[0])));
    if (!w.app.dialogs().run(table)) return false;
    font = table.faceName;
    const char ch = static_cast<char>(std::clamp(table.code, 32, 255));
    text = cp1252ToUtf8(std::string_view(&ch, 1));
    return true;
  };
  if (!w.app.dialogs().run(d)) return;
  ApplyListDialog(w, d);
}

}  // namespace paginor
