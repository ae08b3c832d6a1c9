// Templates, the column dialog and the special-character dialog: what a new template takes from
// the Cursor, what applying one changes (and leaves), the management dialog's list, the templates
// in a saved file, and that each command is one undo step that restores the document exactly.

#include "editing/templates.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "editing/columns_dialog.h"
#include "editing/commands.h"
#include "editing/editor_fixture.h"
#include "editing/formatting.h"
#include "editing/key_script.h"
#include "editing/menu_state.h"
#include "editing/special_character.h"
#include "editing/undo.h"
#include "layout/measure.h"
#include "model/dump_json.h"
#include "model/queries.h"
#include "model/templates.h"
#include "platform/cp1252.h"
#include "storage/sbl_format.h"
#include "window/document_window.h"

namespace paginor::test {
namespace {

struct Templates : EditorTest {
  std::string Dump() { return DumpWithoutFonts(); }
  std::vector<std::string> Names() {
    std::vector<std::string> out;
    for (const VorlageRec& v : doc().templates) out.push_back(cp1252ToUtf8(v.name));
    return out;
  }
  // Undo of the newest step must give back `before` exactly.
  void ExpectUndoRestores(const std::string& before, size_t stepsBefore, const char* step) {
    const auto entries = UndoListEntries(w());
    ASSERT_EQ(entries.size(), stepsBefore + 1) << "one undo step";
    EXPECT_EQ(entries.front(), step);
    RestoreCopyFromUndo(w(), 0);
    EXPECT_EQ(Dump(), before);
  }
  // A paragraph template unlike the defaults: centred, indented, a tab stop, bullets in
  // "Symbol", in Arial 14 bold red.
  int32_t AddHeading() {
    ParagraphFormat p;
    p.alignment = 1;
    p.spaceAbove = 4;
    p.indentLeft = 10;
    p.indentFirstLine = -5;
    p.tabs.push_back(TabStop{35, 2, 1});
    p.listKind = kListBullets;
    p.bulletChar = 183;
    p.bulletFont = "Symbol";
    FontRec font;
    font.name = "Arial";
    font.size = 14;
    font.style = 1;
    font.attributes = 1;
    font.textColour = 0x0000FF;
    CharRec sample;
    sample.fontIndex = GetNewFontIndex(doc(), font);
    AddVorlage(doc(), "Kapitel", kTemplateParagraph, p, sample);
    return doc().templateCount() - 1;
  }
};

// --- New templates -----------------------------------------------------------------------------

TEST_F(Templates, ANewTemplateIsProposedAsTheNextNumberAndTakesTheCellAtTheCursor) {
  SetParagraphs({"Hallo Welt", "zwei"});
  FontRec arial = FontAt(0, 0, 0);
  arial.name = "Arial";
  arial.style = 2;
  SetFont(0, 0, 2, 4, arial);
  formatcenter(w());
  Place(0, 0, 2);
  ASSERT_EQ(doc().templateCount(), 5);
  std::string proposed, caption;
  fx.host.dialogs.push([&](Dialog& d) {
    auto& n = static_cast<TemplateNameDialog&>(d);
    proposed = n.name;
    caption = n.title();
    n.name = "Brief";
    return true;
  });
  ASSERT_TRUE(RunDocumentCommand(w(), CommandId::FormatNewParagraphTemplate));
  EXPECT_EQ(proposed, "Formatvorlage 6");
  EXPECT_EQ(caption, "Neue Absatzvorlage");
  ASSERT_EQ(doc().templateCount(), 6);
  const VorlageRec& v = doc().templates[5];
  EXPECT_EQ(v.name, "Brief");
  EXPECT_EQ(v.kind, kTemplateParagraph);
  EXPECT_EQ(v.sample.fontIndex, line(0, 0).chars[2].fontIndex);
  EXPECT_TRUE(v.paragraph == line(0, 0).para);
  EXPECT_EQ(v.paragraph.alignment, 1);
  // The template box was refilled with the new name, its first entry chosen.
  ASSERT_EQ(fx.host.ui.toolbar.templateNames.size(), 6u);
  EXPECT_EQ(fx.host.ui.toolbar.templateNames[5], "Brief");
  EXPECT_EQ(fx.host.ui.toolbar.templateIndex, 0);
}

TEST_F(Templates, AtTheLineEndANewTemplateTakesTheCurrentFormatNotTheLastCharacter) {
  SetParagraphs({"Ende"});
  Place(0, 0, 4);
  doc().CurrentFormat.curFontName = "Courier New";
  doc().CurrentFormat.curFontSize = 20;
  doc().CurrentFormat.curFontStyle = 4;
  ASSERT_NE(FontAt(0, 0, 3).name, "Courier New");
  // The last character also counts as "at the end".
  for (int32_t at : {4, 3}) {
    SCOPED_TRACE(at);
    Place(0, 0, at);
    doc().CurrentFormat.curFontName = "Courier New";
    ASSERT_TRUE(AddTemplateAtCursor(w(), kTemplateCharacter, "Code"));
    const VorlageRec& v = doc().templates.back();
    EXPECT_EQ(v.kind, kTemplateCharacter);
    const FontRec& f = doc().fonts[v.sample.fontIndex];
    EXPECT_EQ(f.name, "Courier New");
    EXPECT_DOUBLE_EQ(f.size, 20);
    EXPECT_EQ(f.style, 4);
  }
}

TEST_F(Templates, CancellingOrAnEmptyNameAddsNothing) {
  SetParagraphs({"Text"});
  fx.host.dialogs.push([](Dialog&) { return false; });
  NeueVorlage(w(), kTemplateParagraph);
  fx.host.dialogs.push([](Dialog& d) {
    static_cast<TemplateNameDialog&>(d).name.clear();
    return true;
  });
  NeueVorlage(w(), kTemplateCharacter);
  EXPECT_EQ(doc().templateCount(), 5);
  EXPECT_FALSE(TemplateNameAccepted(""));
  EXPECT_TRUE(TemplateNameAccepted(" "));
  EXPECT_FALSE(TemplateNameAccepted("Pfeil \xe2\x86\x92"));  // "→" has no Windows-1252 code
  EXPECT_TRUE(
      TemplateNameAccepted("\xc3\x9c"
                           "bung \xe2\x82\xac"));  // "Übung €"
  // A Cursor outside its field: no dialog at all.
  doc().Cursor.line = 99;
  const size_t shown = fx.host.dialogs.shown.size();
  NeueVorlage(w(), kTemplateParagraph);
  EXPECT_EQ(fx.host.dialogs.shown.size(), shown);
}

// --- Applying ----------------------------------------------------------------------------------

TEST_F(Templates, AParagraphTemplateFormatsTheParagraphAndTheWordAsOneStep) {
  SetParagraphs({"eins zwei drei", "nachher bleibt"});
  const int32_t heading = AddHeading();
  Place(0, 0, 6);  // inside "zwei"
  const std::vector<FontRec> otherFonts = Fonts(0, 1);
  const ParagraphFormat otherPara = line(0, 1).para;
  const FontRec plain = FontAt(0, 0, 0);
  const std::string before = Dump();
  const size_t steps = UndoListEntries(w()).size();

  useVorlage(w(), heading);

  const VorlageRec& v = doc().templates[heading];
  ParagraphFormat expected = v.paragraph;
  expected.listNumber = line(0, 0).para.listNumber;
  EXPECT_TRUE(line(0, 0).para == expected);
  EXPECT_TRUE(line(0, 1).para == otherPara);
  EXPECT_TRUE(Fonts(0, 1) == otherFonts);
  // The word and the space before it take the template's font; "eins" keeps its own.
  const FontRec& heading14 = doc().fonts[v.sample.fontIndex];
  for (int32_t c = 4; c < 9; ++c) EXPECT_TRUE(FontAt(0, 0, c) == heading14) << c;
  EXPECT_TRUE(FontAt(0, 0, 0) == plain);
  EXPECT_TRUE(FontAt(0, 0, 9) == plain) << "the space after the word stays";
  EXPECT_EQ(doc().CurrentFormat.curFontName, "Arial");
  EXPECT_DOUBLE_EQ(doc().CurrentFormat.curFontSize, 14);
  EXPECT_EQ(doc().CurrentFormat.curTextColour, 0x0000FF);
  EXPECT_TRUE(fx.host.ui.toolbar.bold);
  ExpectUndoRestores(before, steps, kApplyTemplateStep);
}

TEST_F(Templates, ACharacterTemplateLeavesTheParagraphFormatAlone) {
  SetParagraphs({"Titel hier", "zweiter"});
  formatright(w());
  FontRec big = FontAt(0, 0, 0);
  big.name = "Arial";
  big.size = 30;
  SetFont(0, 0, 0, 10, big);
  Place(0, 0, 10);
  OvertakeFont(w());  // as after any move: undo brings the format back through it
  const ParagraphFormat para = line(0, 0).para;
  doc().Anchor = {0, 0, 0};
  doc().Cursor = {0, 0, 10};
  const std::string before = Dump();
  const size_t steps = UndoListEntries(w()).size();

  useVorlage(w(), 4);  // "Standardschrfitart"

  EXPECT_TRUE(line(0, 0).para == para);
  const FontRec& standard = doc().fonts[doc().templates[4].sample.fontIndex];
  for (const FontRec& f : Fonts(0, 0)) EXPECT_TRUE(f == standard);
  EXPECT_EQ(standard.name, "Times New Roman");
  ExpectUndoRestores(before, steps, kApplyTemplateStep);
}

TEST_F(Templates, AMarkingAcrossParagraphsTakesTheTemplateInEveryParagraph) {
  SetParagraphs({"a b", "c d", "e f"});
  const int32_t heading = AddHeading();
  doc().Anchor = {0, 0, 1};
  doc().Cursor = {0, 1, 2};
  useVorlage(w(), heading);
  EXPECT_EQ(line(0, 0).para.alignment, 1);
  EXPECT_EQ(line(0, 1).para.alignment, 1);
  EXPECT_EQ(line(0, 2).para.alignment, 0);
  EXPECT_EQ(FontAt(0, 0, 0).name, "Times New Roman") << "before the marking";
  EXPECT_EQ(FontAt(0, 0, 2).name, "Arial");
  EXPECT_EQ(FontAt(0, 1, 1).name, "Arial");
  EXPECT_EQ(FontAt(0, 1, 2).name, "Times New Roman") << "after the marking";
  // A position that names no template changes nothing and takes no step.
  const std::string now = Dump();
  const size_t steps = UndoListEntries(w()).size();
  useVorlage(w(), doc().templateCount());
  useVorlage(w(), -1);
  EXPECT_EQ(Dump(), now);
  EXPECT_EQ(UndoListEntries(w()).size(), steps);
}

TEST_F(Templates, OnAnEmptyLineTheTemplateIsWhatTypingContinuesWith) {
  SetParagraphs({"Titel", ""});
  Place(0, 0, 5);
  useVorlage(w(), 1);  // "Überschrift 1" after the word: no cell changes
  EXPECT_EQ(FontAt(0, 0, 4).name, "Times New Roman");
  EXPECT_EQ(doc().CurrentFormat.curFontName, "Arial");
  EXPECT_EQ(fx.host.ui.toolbar.fontName, "Arial");
  Place(0, 1, 0);
  OvertakeFont(w());
  useVorlage(w(), 1);
  Type("x");
  EXPECT_EQ(FontAt(0, 1, 0).name, "Arial");
  EXPECT_DOUBLE_EQ(FontAt(0, 1, 0).size, 14);
  EXPECT_EQ(FontAt(0, 1, 0).style, 1);
}

TEST_F(Templates, ATemplateWhoseFontIsMissingStillAppliesItsParagraphFormat) {
  SetParagraphs({"Text"});
  const int32_t heading = AddHeading();
  doc().templates[heading].sample.fontIndex = 9999;  // as a damaged file may bring it
  const FontRec font = FontAt(0, 0, 0);
  useVorlage(w(), heading);
  EXPECT_EQ(line(0, 0).para.alignment, 1);
  EXPECT_TRUE(FontAt(0, 0, 0) == font);
}

// --- Management dialog -------------------------------------------------------------------------

TEST_F(Templates, TheManagementDialogDeletesRenamesAndApplies) {
  SetParagraphs({"Wort"});
  Place(0, 0, 1);
  std::vector<std::string> opened, afterDelete;
  bool renamedEmpty = true, renamedLong = false;
  fx.host.dialogs.push([&](Dialog& d) {
    auto& m = static_cast<TemplateManagerDialog&>(d);
    opened = m.names;
    EXPECT_EQ(m.selected, 0);
    m.remove(2);  // the third of five
    afterDelete = m.names;
    renamedEmpty = m.rename(0);  // answered with an empty name
    renamedLong = m.rename(0);   // answered with 300 characters
    m.selected = 1;
    return true;  // "&Anwenden"
  });
  fx.host.dialogs.push([](Dialog& d) {
    static_cast<TemplateNameDialog&>(d).name.clear();
    return true;
  });
  std::string shownName;
  fx.host.dialogs.push([&](Dialog& d) {
    auto& n = static_cast<TemplateNameDialog&>(d);
    shownName = n.name;
    n.name = std::string(300, 'x');
    return true;
  });
  ASSERT_TRUE(RunDocumentCommand(w(), CommandId::FormatManageTemplates));

  EXPECT_EQ(opened, (std::vector<std::string>{"Standard", "Überschrift 1", "Überschrift 2",
                                              "Überschrift 3", "Standardschrfitart"}));
  EXPECT_EQ(afterDelete, (std::vector<std::string>{"Standard", "Überschrift 1", "Überschrift 3",
                                                   "Standardschrfitart"}));
  EXPECT_FALSE(renamedEmpty);
  EXPECT_TRUE(renamedLong);
  EXPECT_EQ(shownName, "Standard");
  ASSERT_EQ(doc().templateCount(), 4);
  EXPECT_EQ(doc().templates[0].name, std::string(255, 'x'));
  EXPECT_EQ(Names()[2], "Überschrift 3");
  // "&Anwenden" on "Überschrift 1": Arial 14 bold on the word.
  EXPECT_EQ(FontAt(0, 0, 0).name, "Arial");
  EXPECT_DOUBLE_EQ(FontAt(0, 0, 0).size, 14);
  EXPECT_EQ(FontAt(0, 0, 0).style, 1);
  // The box shows the list as it is now.
  EXPECT_EQ(fx.host.ui.toolbar.templateNames.size(), 4u);
  EXPECT_EQ(fx.host.ui.toolbar.templateNames[0], std::string(255, 'x'));
}

TEST_F(Templates, ClosingTheManagementDialogAppliesNothingAndDeletingAllEmptiesTheList) {
  SetParagraphs({"Wort"});
  const std::vector<FontRec> fonts = Fonts(0, 0);
  fx.host.dialogs.push([](Dialog& d) {
    auto& m = static_cast<TemplateManagerDialog&>(d);
    while (!m.names.empty()) m.remove(0);
    EXPECT_EQ(m.selected, -1);
    return false;  // closed
  });
  VorlagenVerwalten(w());
  EXPECT_EQ(doc().templateCount(), 0);
  EXPECT_TRUE(fx.host.ui.toolbar.templateNames.empty());
  EXPECT_TRUE(Fonts(0, 0) == fonts);
  EXPECT_EQ(ProposedTemplateName(w()), "Formatvorlage 1");
}

// --- Saving ------------------------------------------------------------------------------------

TEST_F(Templates, NewAndRenamedTemplatesSurviveSavingAndReopening) {
  SetParagraphs({"Inhalt"});
  const int32_t heading = AddHeading();
  Place(0, 0, 6);
  ASSERT_TRUE(AddTemplateAtCursor(w(), kTemplateCharacter, "Zitat"));
  ASSERT_TRUE(RenameVorlage(w(), 0, "Grundtext"));
  ASSERT_TRUE(DeleteVorlage(w(), 1));
  EXPECT_EQ(doc().modified, 1) << "closing must ask about the changed templates";
  const std::string path = TempDir("templates_save") + "/vorlagen.sbl";
  ASSERT_TRUE(Shown(w(), SaveSBLFile(w(), path)));

  Fixture other;
  ASSERT_TRUE(Shown(other.w(), OpenSBLFile(other.w(), path)));
  const Document& back = other.doc();
  ASSERT_EQ(back.templateCount(), doc().templateCount());
  for (int32_t i = 0; i < back.templateCount(); ++i) {
    SCOPED_TRACE(i);
    const VorlageRec& a = doc().templates[i];
    const VorlageRec& b = back.templates[i];
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_TRUE(a.paragraph == b.paragraph);
    EXPECT_TRUE(doc().fonts[a.sample.fontIndex] == back.fonts[b.sample.fontIndex]);
  }
  EXPECT_EQ(back.templates[0].name, "Grundtext");
  EXPECT_EQ(back.templates[heading - 1].name, "Kapitel");
  EXPECT_EQ(back.templates.back().name, "Zitat");
  EXPECT_EQ(back.templates[heading - 1].paragraph.bulletFont.str(), "Symbol");
}

// --- Key scripts -------------------------------------------------------------------------------

TEST_F(Templates, KeyScriptsCreateApplyRenameAndDeleteTemplates) {
  SetParagraphs({"Text"});
  Place(0, 0, 2);
  Keys("{Dialog:Absatzvorlage name=\"Mein Stil\"}{Dialog:Zeichenvorlage name=Fett}");
  ASSERT_EQ(doc().templateCount(), 7);
  EXPECT_EQ(Names()[5], "Mein Stil");
  EXPECT_EQ(doc().templates[6].kind, kTemplateCharacter);
  Keys("{Dialog:Formatvorlagen template=\"Überschrift 1\"}");
  EXPECT_EQ(FontAt(0, 0, 0).name, "Arial");
  Keys(
      "{Dialog:Formatvorlagen template=2 action=Umbenennen name=Kopf}"
      "{Dialog:Formatvorlagen template=1 action=Löschen}");
  EXPECT_EQ(Names()[0], "Kopf");
  EXPECT_EQ(doc().templateCount(), 6);
  // A template the document does not have changes nothing.
  const std::string before = Dump();
  Keys("{Dialog:Formatvorlagen template=Unbekannt}{Dialog:Formatvorlagen template=40}");
  EXPECT_EQ(Dump(), before);

  for (const char* bad : {"{Dialog:Absatzvorlage}", "{Dialog:Absatzvorlage name=\"\"}",
                          "{Dialog:Formatvorlagen action=Anwenden}",
                          "{Dialog:Formatvorlagen template=1 action=Umbenennen}",
                          "{Dialog:Formatvorlagen template=1 action=Kopieren}",
                          "{Dialog:Zeichenvorlage name=x farbe=1}"}) {
    SCOPED_TRACE(bad);
    const ParsedKeyScript s = ParseKeyScript(bad);
    EXPECT_FALSE(s.ok());
  }
}

// --- Columns -----------------------------------------------------------------------------------

TEST_F(Templates, TheColumnDialogWritesTheParagraphsAndCountZeroChangesNothing) {
  SetParagraphs({"eins", "zwei", "drei"});
  Place(0, 1, 1);
  ColumnsDialog opened;
  fx.host.dialogs.push([&](Dialog& d) {
    auto& c = static_cast<ColumnsDialog&>(d);
    opened = c;
    c.count = 3;
    c.gapCm = 0.7;
    c.lines = true;
    return true;
  });
  const std::string before = Dump();
  const size_t steps = UndoListEntries(w()).size();
  ASSERT_TRUE(RunDocumentCommand(w(), CommandId::FormatColumns));
  EXPECT_EQ(opened.count, 1);
  EXPECT_DOUBLE_EQ(opened.gapCm, 1.25);
  EXPECT_FALSE(opened.lines);
  EXPECT_EQ(line(0, 1).columns, 3);
  EXPECT_DOUBLE_EQ(line(0, 1).columnGap, 7.0);
  EXPECT_EQ(line(0, 1).columnLine, 1);
  for (int32_t l : {0, 2}) {
    EXPECT_NE(line(0, l).columns, 3);
    EXPECT_DOUBLE_EQ(line(0, l).columnGap, 12.5);
  }
  // Opening again shows what the paragraph has now.
  const ColumnsDialog again = ColumnsDialogFor(w());
  EXPECT_EQ(again.count, 3);
  EXPECT_DOUBLE_EQ(again.gapCm, 0.7);
  EXPECT_TRUE(again.lines);

  const std::string after = Dump();
  const size_t stepsAfter = UndoListEntries(w()).size();
  ColumnsDialog zero = ColumnsDialogFor(w());
  zero.count = 0;
  ApplyColumnsDialog(w(), zero);
  EXPECT_EQ(Dump(), after);
  EXPECT_EQ(UndoListEntries(w()).size(), stepsAfter);
  ExpectUndoRestores(before, steps, "Absatzformat");
}

TEST_F(Templates, TheColumnDialogFromAKeyScriptWithItsLimits) {
  SetParagraphs({"a", "b"});
  doc().Anchor = {0, 0, 0};
  doc().Cursor = {0, 1, 1};
  Keys("{Dialog:Spalten count=2 gap=0,5 lines=1}");
  for (int32_t l : {0, 1}) {
    EXPECT_EQ(line(0, l).columns, 2);
    EXPECT_DOUBLE_EQ(line(0, l).columnGap, 5.0);
  }
  const std::string before = Dump();
  Keys("{Dialog:Spalten count=0 gap=3}");
  EXPECT_EQ(Dump(), before);
  // A value the dialog's boxes would not take never reaches the document.
  ColumnsDialog wide = ColumnsDialogFor(w());
  wide.count = 50;
  wide.gapCm = 99;
  ApplyColumnsDialog(w(), wide);
  EXPECT_EQ(line(0, 0).columns, kMaxColumns);
  EXPECT_DOUBLE_EQ(line(0, 0).columnGap, 100.0);
  for (const char* bad :
       {"{Dialog:Spalten count=11}", "{Dialog:Spalten count=1,5}", "{Dialog:Spalten gap=10,5}",
        "{Dialog:Spalten gap=-1}", "{Dialog:Spalten lines=ja}", "{Dialog:Spalten breite=2}"}) {
    SCOPED_TRACE(bad);
    const ParsedKeyScript s = ParseKeyScript(bad);
    ASSERT_FALSE(s.ok());
    EXPECT_NE(s.error.find("Feld"), std::string::npos) << s.error;
  }
}

// --- Special characters ------------------------------------------------------------------------

TEST_F(Templates, ASpecialCharacterReplacesTheMarkingInItsFontAsOneStep) {
  SetParagraphs({"abc def"});
  Place(0, 0, 3);
  Keys("xy");  // a typing run before: the special character is a step of its own
  doc().Anchor = {0, 0, 0};
  doc().Cursor = {0, 0, 3};
  SpecialCharacterDialog opened;
  fx.host.dialogs.push([&](Dialog& d) {
    auto& s = static_cast<SpecialCharacterDialog&>(d);
    opened = s;
    s.faceName = "Symbol";
    s.code = 169;
    return true;
  });
  const std::string before = Dump();
  const size_t steps = UndoListEntries(w()).size();
  ASSERT_TRUE(RunDocumentCommand(w(), CommandId::InsertSpecialChar));
  EXPECT_EQ(opened.faceName, "Times New Roman");
  EXPECT_EQ(opened.code, 32);
  EXPECT_EQ(Text(0, 0),
            "\xa9"
            "xy def");
  EXPECT_EQ(FontAt(0, 0, 0).name, "Symbol");
  EXPECT_EQ(FontAt(0, 0, 0).charset, 1);
  EXPECT_EQ(FontAt(0, 0, 1).name, "Times New Roman");
  EXPECT_EQ(doc().Cursor, (CursorPos{0, 0, 1}));
  EXPECT_EQ(doc().CurrentFormat.curFontName, "Symbol");
  EXPECT_EQ(fx.host.ui.toolbar.fontName, "Symbol");
  // Typing on is a step of its own again.
  Keys("z");
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Text(0, 0),
            "\xa9"
            "xy def");
  ExpectUndoRestores(before, steps, "Eingabe");
  EXPECT_EQ(Text(0, 0), "abcxy def");
}

TEST_F(Templates, ASpecialCharacterObeysOverwriteModeAndItsCodeRange) {
  SetParagraphs({"abc"});
  Place(0, 0, 1);
  options().OverwriteMode = true;
  SpecialCharacterDialog s = SpecialCharacterDialogFor(w());
  s.code = 255;
  ApplySpecialCharacterDialog(w(), s);
  EXPECT_EQ(Text(0, 0),
            "a\xff"
            "c");
  const std::string before = Dump();
  for (int code : {31, 256, -1}) {
    s.code = code;
    ApplySpecialCharacterDialog(w(), s);
  }
  EXPECT_EQ(Dump(), before);
  Keys("{Dialog:Sonderzeichen font=Wingdings char=74}");
  EXPECT_EQ(Text(0, 0), "a\xffJ");
  EXPECT_EQ(FontAt(0, 0, 2).name, "Wingdings") << "the overwritten cell takes the chosen face";
  EXPECT_EQ(FontAt(0, 0, 1).name, "Times New Roman");
  EXPECT_FALSE(ParseKeyScript("{Dialog:Sonderzeichen char=20}").ok());
  EXPECT_FALSE(ParseKeyScript("{Dialog:Sonderzeichen char=256}").ok());
  EXPECT_EQ(SpecialCharacterLabel(SpecialGridCode(1, 2)), "Zeichen: 65");
  EXPECT_EQ(SpecialGridCode(kSpecialGridColumns - 1, kSpecialGridRows - 1), kLastSpecialCode);
}

TEST_F(Templates, TheMenuItemsAreEnabledInTextAndNotWithoutADocument) {
  SetParagraphs({"x"});
  MenuInput in;
  in.active = &w();
  MenuState s = EvaluateMenuState(in);
  for (CommandId id : {CommandId::FormatNewParagraphTemplate, CommandId::FormatNewCharacterTemplate,
                       CommandId::FormatManageTemplates, CommandId::FormatColumns,
                       CommandId::InsertSpecialChar, CommandId::TemplateBox})
    EXPECT_TRUE(s.isEnabled(id)) << CommandInfo(id).caption;
  in.active = nullptr;
  s = EvaluateMenuState(in);
  for (CommandId id : {CommandId::FormatManageTemplates, CommandId::FormatColumns,
                       CommandId::InsertSpecialChar, CommandId::TemplateBox})
    EXPECT_FALSE(s.isEnabled(id)) << CommandInfo(id).caption;
}

// --- paginor-cli edit --------------------------------------------------------------------------

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs "paginor-cli edit" with the arguments; the exit code, standard error in `err`.
int CliEdit(const std::string& dir, const std::vector<std::string>& args, std::string& err) {
  std::string cmd = Quoted(PAGINOR_CLI) + " edit";
  for (const std::string& a : args) cmd += " " + Quoted(a);
  cmd += " >/dev/null 2>" + Quoted(dir + "/stderr");
  const int status = std::system(cmd.c_str());
  std::ifstream in(dir + "/stderr");
  err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TemplatesFromTheCommandLine, AnEditScriptAppliesCreatesAndTypesIntoASavedFile) {
  const std::string dir = TempDir("templates_cli");
  const std::string out = dir + "/vorlage.sbl";
  std::string err;
  ASSERT_EQ(CliEdit(dir,
                    {"--new", out, "--keys",
                     "Titel{Home}{Dialog:Formatvorlagen template=\"Überschrift 1\"}{End}{Enter}"
                     "Text {Dialog:Sonderzeichen font=Symbol char=169}"
                     "{Dialog:Absatzvorlage name=Brief}{Dialog:Spalten count=2 gap=0,8 lines=1}"},
                    err),
            0)
      << err;
  Fixture back;
  ASSERT_TRUE(Shown(back.w(), OpenSBLFile(back.w(), out)));
  const Document& d = back.doc();
  ASSERT_EQ(d.templateCount(), 6);
  EXPECT_EQ(d.templates[5].name, "Brief");
  const FieldRec& body = d.fields[0];
  ASSERT_GE(body.lineCount(), 2);
  EXPECT_EQ(d.fonts[body.lines[0].chars[0].fontIndex].name, "Arial");
  const LineRec& second = body.lines[1];
  ASSERT_EQ(second.charCount(), 6);
  EXPECT_EQ(second.chars[5].ch, 169);
  EXPECT_EQ(d.fonts[second.chars[5].fontIndex].name, "Symbol");
  EXPECT_EQ(second.columns, 2);
  EXPECT_DOUBLE_EQ(second.columnGap, 8.0);
  EXPECT_EQ(body.lines[0].columns, 0) << "the heading keeps one column";

  // A value the dialog would not take: nothing is written.
  const std::string bad = dir + "/nicht.sbl";
  EXPECT_EQ(CliEdit(dir, {"--new", bad, "--keys", "a{Dialog:Spalten count=12}"}, err), 2);
  EXPECT_NE(err.find("„count“"), std::string::npos) << err;
  EXPECT_FALSE(std::ifstream(bad).good());
}

}  // namespace
}  // namespace paginor::test
