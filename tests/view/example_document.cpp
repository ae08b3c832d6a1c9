#include "view/example_document.h"

#include "layout/layout.h"
#include "view/doc_writer.h"

namespace paginor::test {

namespace {

constexpr Colour kDarkBlue = 0x802000;
constexpr Colour kRed = 0x0000C0;
constexpr Colour kGreen = 0x008000;
constexpr Colour kYellow = 0x00FFFF;
constexpr Colour kLightGrey = 0xE0E0E0;

ParagraphFormat Para(uint8_t alignment = 0, double below = 2.0) {
  ParagraphFormat p;
  p.alignment = alignment;
  p.spaceBelow = below;
  return p;
}

// The format of a heading: room above it, a little below.
ParagraphFormat Heading() {
  ParagraphFormat p = Para(0, 2);
  p.spaceAbove = 4;
  return p;
}

struct Fonts {
  int32_t body, bold, italic, title, heading, arial, courier, small, big, huge;
  int32_t red, green, marked, under, twice, words, strike, shadow, outline, sup, sub, caps, upper,
      footer;
};

Fonts MakeFonts(DocWriter& dw) {
  Fonts f{};
  f.body = dw.Font({});
  f.bold = dw.Font({.style = 1});
  f.italic = dw.Font({.style = 2});
  f.title = dw.Font({.name = "Arial", .size = 22, .style = 1, .colour = kDarkBlue});
  f.heading = dw.Font({.name = "Arial", .size = 14, .style = 1, .colour = kDarkBlue});
  f.arial = dw.Font({.name = "Arial", .size = 11});
  f.courier = dw.Font({.name = "Courier New", .size = 10});
  f.small = dw.Font({.size = 8});
  f.big = dw.Font({.size = 16});
  f.huge = dw.Font({.size = 24, .style = 3});
  f.red = dw.Font({.colour = kRed});
  f.green = dw.Font({.style = 1, .colour = kGreen});
  f.marked = dw.Font({.back = kYellow, .backTransparent = false});
  f.under = dw.Font({.style = 4});
  f.twice = dw.Font({.attributes = 1u << kAttrDoubleUnderline});
  f.words = dw.Font({.style = 4, .attributes = 1u << kAttrUnderlineWords});
  f.strike = dw.Font({.style = 8});
  f.shadow = dw.Font({.size = 14, .style = 1, .attributes = 1u << kAttrShadow});
  f.outline = dw.Font({.size = 14, .style = 1, .attributes = 1u << kAttrOutline});
  f.sup = dw.Font({.attributes = 1u << kAttrSuperscript});
  f.sub = dw.Font({.attributes = 1u << kAttrSubscript});
  f.caps = dw.Font({.attributes = 1u << kAttrSmallCaps});
  f.upper = dw.Font({.attributes = 1u << kAttrUpperCase});
  f.footer = dw.Font({.name = "Arial", .size = 9, .colour = 0x606060});
  return f;
}

void HeaderAndFooter(DocWriter& dw, const Fonts& f) {
  // Fields 5 and 6 are the header and footer shown on every page.
  ParagraphFormat header = Para(0, 0);
  header.tabs.push_back({159, 2, 0});
  dw.Current(5).para = header;
  dw.Text(5, f.footer, "Paginor – Beispieldokument");
  dw.Tab(5, f.footer);
  dw.Text(5, f.footer, "Ausgabe als PDF");
  dw.Current(5).endKind = kEndParagraph;
  dw.Current(6).para = Para(1, 0);
  dw.Text(6, f.footer, "Seite ");
  dw.FieldChar(6, f.footer, "page", "1");
  dw.Current(6).endKind = kEndParagraph;
}

void PageOne(DocWriter& dw, const Fonts& f) {
  dw.Current(0).para = Para(1, 6);
  dw.Text(0, f.title, "Beispieldokument");
  dw.End(0, kEndParagraph, Para(3));
  dw.Text(0, f.body, "Dieses Dokument zeigt, was Paginor auf eine Seite bringt: Schriften wie ");
  dw.Text(0, f.body, "Times New Roman, ");
  dw.Text(0, f.arial, "Arial");
  dw.Text(0, f.body, " und ");
  dw.Text(0, f.courier, "Courier New");
  dw.Text(0, f.body, ", Größen von ");
  dw.Text(0, f.small, "8 Punkt");
  dw.Text(0, f.body, " über ");
  dw.Text(0, f.big, "16 Punkt");
  dw.Text(0, f.body, " bis ");
  dw.Text(0, f.huge, "24 Punkt");
  dw.Text(0, f.body, ", ");
  dw.Text(0, f.bold, "fette");
  dw.Text(0, f.body, " und ");
  dw.Text(0, f.italic, "kursive");
  dw.Text(0, f.body, " Schrift, ");
  dw.Text(0, f.red, "rote");
  dw.Text(0, f.body, " und ");
  dw.Text(0, f.green, "grüne");
  dw.Text(0, f.body, " Farbe sowie ");
  dw.Text(0, f.marked, "gelb hinterlegten Text");
  dw.Text(0, f.body, ". Umlaute und Zeichen: äöü ÄÖÜ ß € „Anführungszeichen“ ‚einfach‘ – ");
  dw.Text(0, f.body, "Gedankenstrich. Ein Verweis auf eine Fußnote steht hier");
  dw.Footnote(0, f.body,
              "Die Fußnote steht unten auf der Seite ihres Verweises, über ihr "
              "eine Trennlinie.");
  dw.Text(0, f.body, ".");
  dw.End(0, kEndParagraph, Para(0));

  dw.Text(0, f.under, "Einfach unterstrichen");
  dw.Text(0, f.body, ", ");
  dw.Text(0, f.twice, "doppelt unterstrichen");
  dw.Text(0, f.body, ", ");
  dw.Text(0, f.words, "nur die Wörter unterstrichen");
  dw.Text(0, f.body, ", ");
  dw.Text(0, f.strike, "durchgestrichen");
  dw.Text(0, f.body, ", ");
  dw.Text(0, f.shadow, "schattiert");
  dw.Text(0, f.body, ", ");
  dw.Text(0, f.outline, "umrandet");
  dw.Text(0, f.body, ", x");
  dw.Text(0, f.sup, "2");
  dw.Text(0, f.body, " hoch, H");
  dw.Text(0, f.sub, "2");
  dw.Text(0, f.body, "O tief, ");
  dw.Text(0, f.caps, "Kapitälchen");
  dw.Text(0, f.body, " und ");
  dw.Text(0, f.upper, "großbuchstaben");
  dw.Text(0, f.body, ".");

  dw.End(0, kEndParagraph, Heading());
  dw.Text(0, f.heading, "Inhalt mit Füllzeichen");
  // One entry per fill: dots, dashes, a line; the page numbers stand at a right tab stop.
  const char* entries[][2] = {{"Einleitung mit Punkten", "1"},
                              {"Tabellen und Spalten mit Strichen", "2"},
                              {"Bilder und Formen mit einer Linie", "2"}};
  const int32_t fills[3] = {2, 1, 3};
  for (int i = 0; i < 3; ++i) {
    ParagraphFormat toc = Para(0, 1);
    toc.tabs.push_back({155, 2, fills[i]});
    dw.End(0, kEndParagraph, toc);
    dw.Text(0, f.body, entries[i][0]);
    dw.Tab(0, f.body);
    dw.Text(0, f.italic, entries[i][1]);
  }
  dw.End(0, kEndParagraph, Heading());
  dw.Text(0, f.heading, "Aufzählung und Nummerierung");
  ParagraphFormat bullets = Para(0, 1);
  bullets.listKind = kListBullets;
  bullets.indentLeft = 6;
  dw.End(0, kEndParagraph, bullets);
  for (const char* item :
       {"Punkte vor jedem Absatz", "aus der Schrift Wingdings", "mit Einzug des Textes"}) {
    dw.Text(0, f.body, item);
    dw.End(0, kEndParagraph, bullets);
  }
  ParagraphFormat numbers = bullets;
  numbers.listKind = kListNumbers;
  dw.Current(0).para = numbers;
  for (const char* item : {"Erstens wird nummeriert", "zweitens zählt der Zeilenumbruch",
                           "drittens beginnt die Zählung nach einem anderen Absatz neu"}) {
    dw.Text(0, f.body, item);
    dw.End(0, kEndParagraph, numbers);
  }
  dw.Current(0).para = Para(3);
  dw.Text(0, f.body,
          "Blocksatz: Die Zeilen dieses Absatzes reichen vom linken bis zum rechten Rand, "
          "weil die Leerzeichen so weit gedehnt werden, dass jede Zeile die Spalte füllt. Nur "
          "die letzte Zeile des Absatzes bleibt linksbündig, denn sie endet mit dem Absatz. "
          "Silbentrennung ist eingeschaltet, lange Wörter wie Donaudampfschifffahrtsgesellschaft "
          "werden deshalb am Zeilenende getrennt, wenn sie nicht mehr passen.");
  dw.End(0, kEndPageBreak, Heading());
}

void Table(DocWriter& dw, const Fonts& f) {
  const char* cells[3][3] = {{"Artikel", "Menge", "Preis"},
                             {"Äpfel aus dem Alten Land", "12 kg", "23,40 €"},
                             {"Größere Birnen", "3 kg", "7,50 €"}};
  const double weights[3] = {2.0, 1.0, 1.0};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      LineRec& l = dw.Current(0);
      l.para = Para(c == 0 ? 0 : 2, 0);
      l.para.indentLeft = l.para.indentRight = 2.5;
      l.inTable = l.rowStart = l.rowEnd = 1;
      l.rowCells = 3;
      l.cellColumn = c;
      l.cellWidth = weights[c];
      l.cellDesign = CellDesign();
      l.cellDesign.borderTopWidth = l.cellDesign.borderBottomWidth = r == 0 ? 1.5 : 0.75;
      if (r == 0) {
        l.cellDesign.cellBackColour = kLightGrey;
        l.cellDesign.cellTransparent = 0;
      }
      dw.Text(0, r == 0 ? f.bold : f.body, cells[r][c]);
      dw.End(0, kEndParagraph, Heading());
    }
  }
  // The line after the table is an ordinary paragraph.
  LineRec& after = dw.Current(0);
  after.inTable = after.rowStart = after.rowEnd = 0;
  after.rowCells = 1;
  after.cellColumn = 0;
  after.cellWidth = 1.0;
}

void PageTwo(DocWriter& dw, const Fonts& f) {
  dw.Text(0, f.heading, "Text fließt um ein Textfeld");
  dw.End(0, kEndParagraph, Para(3));
  dw.Text(0, f.body,
          "Links steht ein Textfeld mit gelbem Hintergrund und Rahmen. Der Text dieses Absatzes "
          "weicht ihm aus: Jedes Zeichen, das unter das Feld fiele, rückt hinter seinen rechten "
          "Rand, und der Zeilenumbruch verteilt die Wörter danach neu, bis nichts mehr das Feld "
          "berührt. Unterhalb des Feldes nimmt der Text wieder die ganze Breite ein, so wie in "
          "den Zeilen, die jetzt folgen. Erst dann geht es weiter mit einer Tabelle, mit zwei "
          "Spalten und einem Bild.");
  dw.End(0, kEndParagraph, Heading());
  dw.Text(0, f.heading, "Tabelle mit Rahmen und Schattierung");
  dw.End(0, kEndParagraph, Para(0, 4));
  Table(dw, f);

  dw.Text(0, f.heading, "Zwei Spalten");
  ParagraphFormat column = Para(3, 1);
  dw.End(0, kEndParagraph, column);
  for (int i = 0; i < 3; ++i) {
    LineRec& l = dw.Current(0);
    l.columns = 2;
    l.columnLine = 1;
    l.columnGap = 10;
    dw.Text(0, f.body,
            i == 0   ? "Spaltensatz verteilt die Absätze eines Abschnitts auf zwei Spalten "
                       "gleicher Höhe; eine Linie trennt die Spalten."
            : i == 1 ? "Folgt dem Abschnitt weiterer Text, werden die Spalten ausgeglichen, "
                       "so dass beide etwa gleich lang sind."
                     : "Danach läuft der Text wieder über die ganze Breite der Seite.");
    dw.End(0, kEndParagraph, column);
  }
  dw.Current(0).para = Para(0, 4);
  const int32_t picture = dw.Picture(160, 100);
  dw.Text(0, f.body, "Ein Bild im Text: ");
  dw.PictureChar(0, f.body, picture, 32.0, 20.0);
  dw.Text(0, f.body, " und dahinter geht der Satz weiter.");
  dw.Current(0).endKind = kEndParagraph;
}

void Objects(DocWriter& dw, const Fonts& f, Document& d) {
  // The text box the second page's first paragraph flows around.
  const int32_t box = dw.Object(kFieldTextBox, 1, 25, 40, 75, 72);
  d.fields[box].backColour = 0xCCFFFF;
  d.fields[box].lineColour = kDarkBlue;
  dw.Current(box).para = Para(1, 0);
  dw.Text(box, f.arial, "Ein Textfeld, um das der Text fließt.");
  dw.Current(box).endKind = kEndParagraph;

  const int32_t rect = dw.Object(kFieldRectangle, 1, 25, 220, 75, 255);
  d.fields[rect].lineWidth = 1.5;
  d.fields[rect].lineColour = kDarkBlue;
  d.fields[rect].backColour = 0xF0D0A0;
  const int32_t ellipse = dw.Object(kFieldEllipse, 1, 85, 220, 135, 255);
  d.fields[ellipse].lineWidth = 1;
  d.fields[ellipse].lineColour = 0x000080;
  d.fields[ellipse].backColour = 0x80C0FF;
  const int32_t hline = dw.Object(kFieldHorizontalLine, 1, 25, 258, 185, 263);
  d.fields[hline].lineWidth = 2;
  d.fields[hline].lineColour = kGreen;
  const int32_t slant = dw.Object(kFieldSlantedLine, 1, 145, 220, 175, 255);
  d.fields[slant].lineWidth = 1;
  d.fields[slant].lineColour = kRed;
  const int32_t vline = dw.Object(kFieldVerticalLine, 1, 175, 220, 185, 255);
  d.fields[vline].lineWidth = 1.5;
  d.fields[vline].lineColour = kDarkBlue;
  const int32_t pictureField = dw.Object(kFieldPicture, 1, 135, 172, 185, 212);
  d.fields[pictureField].lineWidth = 0;
  dw.PictureChar(pictureField, f.body, dw.Picture(120, 90), 40, 30);
}

}  // namespace

void BuildExampleDocument(TMDIChild& w) {
  DocWriter dw(w);
  Document& d = w.doc;
  d.properties[0] = "Beispieldokument";
  const Fonts f = MakeFonts(dw);
  HeaderAndFooter(dw, f);
  PageOne(dw, f);
  PageTwo(dw, f);
  Objects(dw, f, d);
  d.Cursor = d.Anchor = CursorPos{0, 0, 0};
  MakeSoftEnters(w);
}

}  // namespace paginor::test
