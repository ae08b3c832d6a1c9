#include "model/templates.h"

#include "model/queries.h"
#include "platform/cp1252.h"

namespace paginor {

void AddVorlage(Document& d, std::string_view name, uint8_t kind, const ParagraphFormat& paragraph,
                const CharRec& sample) {
  VorlageRec v;
  v.name = std::string(name.substr(0, kTemplateNameMax));
  v.kind = kind;
  v.paragraph = paragraph;
  v.sample = sample;
  d.templates.push_back(std::move(v));
}

void CreateStandartVorlagen(Document& d) {
  struct Standard {
    const char* name;  // UTF-8
    uint8_t kind;
    const char* font;
    double size;
    uint8_t style;
  };
  static const Standard kStandard[] = {
      {"Standard", kTemplateParagraph, "Times New Roman", 12.0, 0},
      {"Überschrift 1", kTemplateParagraph, "Arial", 14.0, 1},
      {"Überschrift 2", kTemplateParagraph, "Arial", 12.0, 3},
      {"Überschrift 3", kTemplateParagraph, "Arial", 12.0, 0},
      // The name is what documents carry, misspelling included; files written elsewhere use it.
      {"Standardschrfitart", kTemplateCharacter, "Times New Roman", 12.0, 0},
  };

  ParagraphFormat para;
  const CursorPos& c = d.Cursor;
  if (c.field >= 0 && c.field < d.fieldCount() && c.line >= 0 &&
      c.line < d.fields[c.field].lineCount())
    para = d.fields[c.field].lines[c.line].para;

  for (const Standard& s : kStandard) {
    FontRec font = FontOfCurrentFormat(d.CurrentFormat);
    font.textColour = 0;
    font.reserved = 0;
    font.charset = 1;
    font.name = s.font;
    font.size = s.size;
    font.style = s.style;
    CharRec sample;
    sample.fontIndex = GetNewFontIndex(d, font);
    AddVorlage(d, utf8ToCp1252(s.name), s.kind, para, sample);
  }
}

void FreeVorlagen(Document& d) { d.templates.clear(); }

}  // namespace paginor
