// Character and paragraph formats: which cells and lines a format change reaches, that only the
// chosen components move, the shortcuts, the character dialog answered from a key script, and
// that every format command is one undo step that restores the document exactly.

#include "editing/formatting.h"
#include "editing/character_dialog.h"
#include "editing/commands.h"
#include "editing/editor_fixture.h"
#include "editing/key_script.h"
#include "editing/list_format.h"
#include "editing/menu_state.h"
#include "editing/paragraph_dialog.h"
#include "editing/undo.h"
#include "layout/measure.h"
#include "model/dump_json.h"
#include "model/position.h"
#include "model/queries.h"
#include "platform/pictures/dib.h"

namespace paginor::test {
namespace {

struct Formatting : EditorTest {
  void Mark(CursorPos anchor, CursorPos cursor) {
    doc().Anchor = anchor;
    doc().Cursor = cursor;
  }
  void InsertPicture(int32_t f, int32_t l, int32_t at) {
    BildRec pic;
    newdib(pic, 4, 3, 24, nullptr, 0);
    doc().pictures.push_back(std::move(pic));
    CharRec picture = MeasuredCell(w(), ' ');
    picture.kind = kCharPicture;
    picture.setPictureIndex(static_cast<uint16_t>(doc().pictureCount() - 1));
    picture.width = 20;
    picture.height = 12;
    line(f, l).chars.insert(at, picture);
    line(f, l).dirty = 1;
  }
  std::string Dump() { return DumpWithoutFonts(); }
  // The first line where two dumps differ, or empty.
  static std::string FirstDifference(const std::string& a, const std::string& b) {
    size_t lineStart = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
      if (a[i] != b[i])
        return a.substr(lineStart, a.find('\n', i) - lineStart) + " / " +
               b.substr(lineStart, b.find('\n', i) - lineStart);
      if (a[i] == '\n') lineStart = i + 1;
    }
    return a.size() == b.size() ? std::string() : "the lengths differ";
  }
  std::string LastUndoName() {
    const auto entries = UndoListEntries(w());
    return entries.empty() ? std::string() : entries.front();
  }
};

FontRec Bolder(FontRec f) {
  f.style |= 1u << kStyleBold;
  return f;
}

// --- Character formats -------------------------------------------------------------------------

TEST_F(Formatting, BoldOnAMarkingWithAPictureChangesTheTextCellsOnly) {
  SetParagraphs({"ab cd"});
  InsertPicture(0, 0, 2);
  Keys("{Ctrl+Home}");
  const std::vector<FontRec> before = Fonts(0, 0);
  const CharRec picture = line(0, 0).chars[2];
  Mark({0, 0, 0}, {0, 0, line(0, 0).charCount()});
  const std::string dumped = Dump();
  Keys("{Ctrl+Shift+F}");

  ASSERT_EQ(line(0, 0).charCount(), 6);
  for (int32_t c = 0; c < 6; ++c) {
    if (c == 2) {
      EXPECT_EQ(line(0, 0).chars[c].fontIndex, picture.fontIndex) << "the picture keeps its cell";
      EXPECT_EQ(line(0, 0).chars[c].width, picture.width);
      continue;
    }
    EXPECT_EQ(FontAt(0, 0, c), Bolder(before[c])) << "cell " << c;
  }
  EXPECT_TRUE(doc().CurrentFormat.curFontStyle & 1) << "new text is bold too";
  EXPECT_TRUE(fx.host.ui.toolbar.bold) << "the toolbar shows it";
  EXPECT_EQ(LastUndoName(), "Zeichenformat");
  ExpectValid();

  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(FirstDifference(Dump(), dumped), "");
}

TEST_F(Formatting, WithoutAMarkingTheWordAndTheSeparatorBeforeItChange) {
  SetParagraphs({"eins zwei drei", "vier"});
  const std::vector<FontRec> before = Fonts(0, 0);
  Place(0, 0, 6);  // inside "zwei"
  Keys("{Ctrl+Shift+K}");
  for (int32_t c = 0; c < 14; ++c) {
    FontRec expected = before[c];
    if (c >= 4 && c <= 8) expected.style |= 1u << kStyleItalic;  // " zwei", not the space after
    EXPECT_EQ(FontAt(0, 0, c), expected) << "cell " << c;
  }
  EXPECT_EQ(Fonts(0, 1)[0], before[0]) << "the next paragraph stays";
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 6}));

  // Right after a word and on a space no cell changes; only new text is italic.
  const std::vector<FontRec> italic = Fonts(0, 0);
  Place(0, 0, 9);
  Keys("{Ctrl+Shift+K}");
  EXPECT_EQ(Fonts(0, 0), italic);
  EXPECT_FALSE(doc().CurrentFormat.curFontStyle & 2);
  Place(0, 0, 14);
  Keys("{Ctrl+Shift+U}");
  EXPECT_EQ(Fonts(0, 0), italic);
  EXPECT_TRUE(doc().CurrentFormat.curFontStyle & 4);
  EXPECT_TRUE(GettingOps(doc().CurrentFormat.curAttributes, kAttrUnderline));
}

TEST_F(Formatting, TheWordRuleCrossesSoftLineStartsButNotParagraphs) {
  // "eins" ends the first paragraph; "zwei" and "drei" are one word over a soft line start.
  SetParagraphs({"eins", "zweidrei"});
  FieldRec& f = doc().fields[0];
  LineRec second = f.lines[1];
  LineRec first = f.lines[1];
  first.chars.erase(4, 8);
  first.endKind = kEndSoft;
  second.chars.erase(0, 4);
  f.lines[1] = first;
  f.lines.insert(2, second);
  const std::vector<FontRec> before = Fonts(0, 1);
  Place(0, 2, 1);
  formatieren(w(), FormatComponents{.size = true});  // the same size: nothing to see
  doc().CurrentFormat.curFontSize = 20;
  formatieren(w(), FormatComponents{.size = true});
  // The layout may have moved the soft line end; count the cells of both lines.
  int32_t big = 0, small = 0;
  for (int32_t l = 1; l < f.lineCount(); ++l)
    for (int32_t c = 0; c < line(0, l).charCount(); ++c)
      (FontAt(0, l, c).size == 20 ? big : small)++;
  EXPECT_EQ(big, 8) << "the whole word over both lines";
  EXPECT_EQ(small, 0);
  for (int32_t c = 0; c < 4; ++c) EXPECT_EQ(FontAt(0, 0, c).size, before[0].size);
}

TEST_F(Formatting, OnlyTheChangedComponentsMoveSoTwoFontsStayTwoFonts) {
  SetParagraphs({"abcdef"});
  FontRec arial = FontAt(0, 0, 0);
  arial.name = "Arial";
  arial.size = 10;
  SettingOps(arial.attributes, kAttrSuperscript, true);  // another attribute the cell keeps
  FontRec times = FontAt(0, 0, 0);
  times.size = 14;
  times.style = 1u << kStyleBold;
  SettingOps(times.attributes, kAttrBold, true);
  times.backColour = 0x00FF00;
  times.backTransparent = 0;
  SetFont(0, 0, 0, 3, arial);
  SetFont(0, 0, 3, 6, times);
  const std::vector<FontRec> before = Fonts(0, 0);
  Mark({0, 0, 0}, {0, 0, 6});
  OvertakeFont(w());

  Keys("{Dialog:Zeichen colour=#FF0000}");
  for (int32_t c = 0; c < 6; ++c) {
    FontRec expected = before[c];
    expected.textColour = 0x0000FF;  // red, as the document stores it
    EXPECT_EQ(FontAt(0, 0, c), expected) << "cell " << c;
  }
  EXPECT_EQ(LastUndoName(), "Zeichenformat");

  // Bold from the dialog sets the style bit and the attribute entry and nothing else.
  Mark({0, 0, 0}, {0, 0, 6});
  doc().CurrentFormat.curFontStyle = 0;
  doc().CurrentFormat.curAttributes = 0;
  Keys("{Dialog:Zeichen bold=1}");
  for (int32_t c = 0; c < 6; ++c) {
    FontRec expected = before[c];
    expected.textColour = 0x0000FF;
    expected.style |= 1u << kStyleBold;
    SettingOps(expected.attributes, kAttrBold, true);
    EXPECT_EQ(FontAt(0, 0, c), expected) << "cell " << c;
  }
}

TEST_F(Formatting, TheCharacterDialogKeepsAnImpossibleSizeAndAppliesTheRest) {
  SetParagraphs({"abc"});
  Mark({0, 0, 0}, {0, 0, 3});
  const double size = FontAt(0, 0, 0).size;
  Keys("{Dialog:Zeichen size=1000 italic=1}");
  EXPECT_EQ(FontAt(0, 0, 0).size, size);
  EXPECT_TRUE(FontAt(0, 0, 0).style & 2);
  Keys("{Dialog:Zeichen size=16 font=\"Courier New\" background=#FFFFFF transparent=0}");
  for (int32_t c = 0; c < 3; ++c) {
    EXPECT_EQ(FontAt(0, 0, c).size, 16);
    EXPECT_EQ(FontAt(0, 0, c).name, "Courier New");
    EXPECT_EQ(FontAt(0, 0, c).backTransparent, 0);
    EXPECT_TRUE(FontAt(0, 0, c).style & 2) << "italic stays";
  }
  EXPECT_EQ(fx.host.ui.toolbar.fontName, "Courier New");
  EXPECT_EQ(fx.host.ui.toolbar.sizeText, "16");

  // Opening without changing anything applies nothing and takes no undo step.
  const size_t steps = UndoListEntries(w()).size();
  const std::string dumped = Dump();
  ApplyCharacterDialog(w(), CharacterDialogFor(w()));
  EXPECT_EQ(UndoListEntries(w()).size(), steps);
  EXPECT_EQ(FirstDifference(Dump(), dumped), "");
}

TEST_F(Formatting, TheSizeBoxTakesOneTo999) {
  SetParagraphs({"abc"});
  Mark({0, 0, 0}, {0, 0, 3});
  const std::string dumped = Dump();
  for (const char* bad : {"0", "1000", "abc", "", "12pt", "nan", "-5"})
    EXPECT_FALSE(FormatFontSizeText(w(), bad)) << bad;
  EXPECT_EQ(FirstDifference(Dump(), dumped), "");
  EXPECT_TRUE(UndoListEntries(w()).empty());
  EXPECT_TRUE(FormatFontSizeText(w(), "10,5"));
  EXPECT_EQ(FontAt(0, 0, 2).size, 10.5);
  EXPECT_TRUE(FormatFontSizeText(w(), "999"));
  EXPECT_EQ(FontAt(0, 0, 0).size, 999);
  ExpectValid();
}

TEST_F(Formatting, FootnoteReferencesStayRaisedWhenTheirSizeChanges) {
  BuildMixedDocument(w());
  auto findRef = [&] {
    for (int32_t l = 0; l < doc().fields[0].lineCount(); ++l)
      for (int32_t c = 0; c < line(0, l).charCount(); ++c)
        if (line(0, l).chars[c].kind == kCharFootnoteRef) return CursorPos{0, l, c};
    return CursorPos{-1, -1, -1};
  };
  ASSERT_GE(findRef().line, 0);
  Keys("{Ctrl+A}{Dialog:Zeichen size=24}");
  const CursorPos ref = findRef();  // the lines have been broken anew
  ASSERT_GE(ref.line, 0);
  const FontRec& f = FontAt(ref.field, ref.line, ref.chr);
  EXPECT_EQ(f.size, 24);
  EXPECT_TRUE(GettingOps(f.attributes, kAttrSuperscript));
  ExpectValid();
}

// --- Paragraph formats -------------------------------------------------------------------------

TEST_F(Formatting, CentringThreeParagraphsWithALineBreakChangesAllTheirLines) {
  Keys("eins{Shift+Enter}zwei{Enter}drei{Enter}vier{Enter}f\xc3\xbcnf");
  ASSERT_EQ(Texts(0), (std::vector<std::string>{"eins", "zwei", "drei", "vier", "f\xfcnf"}));
  Mark({0, 1, 2}, {0, 3, 1});  // from the line after the break into "vier"
  Keys("{Ctrl+E}");
  for (int32_t l = 0; l < 4; ++l) EXPECT_EQ(line(0, l).para.alignment, 1) << "line " << l;
  EXPECT_EQ(line(0, 4).para.alignment, 0);
  EXPECT_EQ(LastUndoName(), "Absatzformat");
  EXPECT_EQ(fx.host.ui.toolbar.alignment, 1);

  Place(0, 4, 0);
  Keys("{Ctrl+R}");
  EXPECT_EQ(line(0, 4).para.alignment, 2);
  Keys("{Ctrl+B}");
  EXPECT_EQ(line(0, 4).para.alignment, 3);
  Keys("{Ctrl+L}");
  EXPECT_EQ(line(0, 4).para.alignment, 0);
  EXPECT_EQ(line(0, 3).para.alignment, 1);
}

TEST_F(Formatting, APageBreakEndsTheParagraphInBothDirections) {
  Keys("eins{Ctrl+Enter}zwei");
  int32_t f = 0, l = 0;
  Place(0, 0, 1);
  Keys("{Ctrl+E}");
  EXPECT_EQ(line(0, 0).para.alignment, 1);
  ASSERT_TRUE(StepLines(doc(), f, l, 1));
  EXPECT_EQ(LineOf(doc(), f, l).para.alignment, 0) << "the text after the page break stays";
}

TEST_F(Formatting, LineSpacingKeepsTheAlignmentAndRightAlignmentTakesTheCursorsIndent) {
  SetParagraphs({"eins", "zwei"});
  line(0, 1).para.indentLeft = 10;
  Place(0, 0, 1);
  Keys("{Ctrl+E}");
  RunDocumentCommand(w(), CommandId::LineSpacingOneHalf);
  EXPECT_EQ(line(0, 0).para.alignment, 1);
  EXPECT_EQ(line(0, 0).para.lineSpacingMode, 0);
  EXPECT_EQ(line(0, 0).para.lineSpacing, 1.5);
  RunDocumentCommand(w(), CommandId::LineSpacingDouble);
  EXPECT_EQ(line(0, 0).para.lineSpacing, 2.0);
  RunDocumentCommand(w(), CommandId::LineSpacingSingle);
  EXPECT_EQ(line(0, 0).para.lineSpacing, 1.0);
  EXPECT_EQ(line(0, 1).para.lineSpacing, 1.0);

  Mark({0, 1, 2}, {0, 0, 1});  // the Cursor in the first paragraph
  Keys("{Ctrl+R}");
  for (int32_t i = 0; i < 2; ++i) {
    EXPECT_EQ(line(0, i).para.alignment, 2);
    EXPECT_EQ(line(0, i).para.indentLeft, 0) << "the whole format of the Cursor's paragraph";
  }
}

TEST_F(Formatting, BulletsToggledTwiceGiveTheOriginalDocument) {
  SetParagraphs({"eins", "zwei"});
  Mark({0, 0, 0}, {0, 1, 2});
  const std::string dumped = Dump();
  RunDocumentCommand(w(), CommandId::Bullets);
  EXPECT_EQ(line(0, 0).para.listKind, kListBullets);
  EXPECT_EQ(line(0, 1).para.listKind, kListBullets);
  EXPECT_TRUE(fx.host.ui.toolbar.bullets);
  RunDocumentCommand(w(), CommandId::Bullets);
  EXPECT_EQ(FirstDifference(Dump(), dumped), "");
  RunDocumentCommand(w(), CommandId::Numbering);
  RunDocumentCommand(w(), CommandId::Bullets);
  EXPECT_EQ(line(0, 1).para.listKind, kListBullets) << "numbering becomes bullets";
}

TEST_F(Formatting, AParagraphStaysInsideItsTableCell) {
  SetParagraphs({"vor", "nach"});
  InsertTable(0, 1, 1, {"a|b", "c"});
  // Find the cell line holding "a".
  CursorPos a{-1, -1, -1};
  for (int32_t l = 0; l < doc().fields[0].lineCount(); ++l)
    if (Text(0, l) == "a") a = CursorPos{0, l, 0};
  ASSERT_GE(a.line, 0);
  Place(a.field, a.line, 1);
  const std::string dumpedBefore = Dump();
  Keys("{Ctrl+E}");
  for (int32_t l = 0; l < doc().fields[0].lineCount(); ++l)
    EXPECT_EQ(line(0, l).para.alignment, Text(0, l) == "a" ? 1 : 0) << Text(0, l);

  // The column values go with the column switch into every cell line of the visual row.
  AbsatzFormat columns = getabsatzformat(w());
  columns.columns = 2;
  setabsatzformat(w(), columns, AbsatzSwitches{.columns = true});
  std::vector<CursorPos> row;
  ASSERT_TRUE(VisualRowLines(doc(), a, row));
  ASSERT_EQ(row.size(), 2u);
  for (const CursorPos& p : row) EXPECT_EQ(LineOf(doc(), p).columns, 2);
  EXPECT_EQ(line(0, 0).columns, 0);
  ExpectValid();
  RestoreCopyFromUndo(w(), 1);
  EXPECT_EQ(FirstDifference(Dump(), dumpedBefore), "");
}

TEST_F(Formatting, TheParagraphDialogShowsTheSpacingAndKeepsListAndMeasureInStep) {
  using Spacing = ParagraphDialog::Spacing;
  SetParagraphs({"eins", "zwei"});
  line(0, 0).para.lineSpacing = 1.2;
  line(0, 0).para.indentLeft = 15;
  Place(0, 0, 1);
  ParagraphDialog d = ParagraphDialogFor(w());
  EXPECT_EQ(d.spacing, Spacing::Multiple);
  EXPECT_EQ(d.measure, 1.2);
  EXPECT_EQ(d.indentLeft, 1.5) << "centimetres";
  EXPECT_STREQ(SpacingUnitLabel(d.spacing), "Zeilen");

  TypeMeasure(d, 1.5);
  EXPECT_EQ(d.spacing, Spacing::OneHalf) << "exactly 1.5 under Mehrfach";
  TypeMeasure(d, 1.7);
  EXPECT_EQ(d.spacing, Spacing::Multiple) << "no longer 1,5 Zeilen";
  ChooseSpacing(d, Spacing::Double);
  EXPECT_EQ(d.measure, 2.0);
  ChooseSpacing(d, Spacing::Exactly);
  EXPECT_EQ(d.measure, 2.0) << "Genau keeps the value";
  EXPECT_STREQ(SpacingUnitLabel(d.spacing), "mm");
  TypeMeasure(d, 1.0);
  EXPECT_EQ(d.spacing, Spacing::Exactly) << "only Mehrfach switches back";

  line(0, 1).para.lineSpacingMode = 1;
  Place(0, 1, 0);
  EXPECT_EQ(ParagraphDialogFor(w()).spacing, Spacing::AtLeast);

  // Through a key script: the rules apply in the order written.
  Place(0, 0, 0);
  const std::string dumped = Dump();
  Keys("{Dialog:Absatzformatierung spacing=Mehrfach measure=1,5 alignment=Zentriert above=0,4 "
       "firstline=-0,5}");
  const ParagraphFormat& p = line(0, 0).para;
  EXPECT_EQ(p.lineSpacingMode, 0);
  EXPECT_EQ(p.lineSpacing, 1.5);
  EXPECT_EQ(p.alignment, 1);
  EXPECT_DOUBLE_EQ(p.spaceAbove, 4);
  EXPECT_DOUBLE_EQ(p.indentFirstLine, -5);
  EXPECT_EQ(p.indentLeft, 15) << "an untouched box keeps its value";
  EXPECT_EQ(line(0, 1).para.lineSpacingMode, 1) << "the other paragraph stays";
  Keys("{Dialog:Absatzformatierung spacing=Genau measure=6}");
  EXPECT_EQ(line(0, 0).para.lineSpacingMode, 2);
  EXPECT_EQ(line(0, 0).para.lineSpacing, 6);
  EXPECT_EQ(LastUndoName(), "Absatzformat");
  RestoreCopyFromUndo(w(), 1);
  EXPECT_EQ(FirstDifference(Dump(), dumped), "");

  // Values beyond the boxes' ranges are brought into them; no paragraph gets a space of a
  // kilometre.
  Keys("{Dialog:Absatzformatierung below=1e9 measure=0 spacing=Mindestens}");
  EXPECT_EQ(line(0, 0).para.spaceBelow, 10000);
  EXPECT_EQ(line(0, 0).para.lineSpacingMode, 0) << "Maß 0 keeps the old line spacing";
  EXPECT_EQ(line(0, 0).para.lineSpacing, 1.2);
  ExpectValid();
}

// --- Undo, menus, scripts ----------------------------------------------------------------------

TEST_F(Formatting, EveryFormatCommandIsOneUndoStepThatRestoresTheDocument) {
  BuildMixedDocument(w());
  const std::vector<std::pair<CommandId, const char*>> commands = {
      {CommandId::Bold, "Zeichenformat"},
      {CommandId::Italic, "Zeichenformat"},
      {CommandId::Underline, "Zeichenformat"},
      {CommandId::AlignLeft, "Absatzformat"},
      {CommandId::AlignCenter, "Absatzformat"},
      {CommandId::AlignRight, "Absatzformat"},
      {CommandId::AlignJustify, "Absatzformat"},
      {CommandId::LineSpacingSingle, "Absatzformat"},
      {CommandId::LineSpacingOneHalf, "Absatzformat"},
      {CommandId::LineSpacingDouble, "Absatzformat"},
      {CommandId::Bullets, "Absatzformat"},
      {CommandId::Numbering, "Absatzformat"}};
  for (const bool marked : {true, false}) {
    if (marked) {
      Keys("{Ctrl+Home}{Down}{Right}{Right}{Ctrl+Shift+End}");
    } else {
      Keys("{Ctrl+Home}{Down}{Right}{Right}");
    }
    for (const auto& [id, name] : commands) {
      SCOPED_TRACE(CommandInfo(id).hint + std::string(marked ? " marked" : ""));
      const std::string dumped = Dump();
      const size_t steps = UndoListEntries(w()).size();
      ASSERT_TRUE(RunDocumentCommand(w(), id));
      EXPECT_EQ(LastUndoName(), name);
      EXPECT_EQ(UndoListEntries(w()).size(), std::min<size_t>(steps + 1, 11));
      ExpectValid();
      RestoreCopyFromUndo(w(), 0);
      EXPECT_EQ(FirstDifference(Dump(), dumped), "");
      RestoreBeforeRestoreCopyFromUndo(w(), 0);
      RestoreCopyFromUndo(w(), 0);
    }
  }
}

TEST_F(Formatting, TheFormatCommandsAreEnabledInText) {
  SetParagraphs({"abc"});
  MenuInput in;
  in.active = &w();
  const MenuState s = EvaluateMenuState(in);
  for (CommandId id :
       {CommandId::Bold, CommandId::Italic, CommandId::Underline, CommandId::AlignLeft,
        CommandId::AlignCenter, CommandId::AlignRight, CommandId::AlignJustify,
        CommandId::LineSpacingSingle, CommandId::LineSpacingOneHalf, CommandId::LineSpacingDouble})
    EXPECT_TRUE(s.isEnabled(id)) << CommandInfo(id).hint;
  const MenuState none = EvaluateMenuState(MenuInput{});
  EXPECT_FALSE(none.isEnabled(CommandId::Bold));
}

TEST(DialogScript, ReadsAnswersAndRefusesWhatTheDialogDoesNotHave) {
  const ParsedKeyScript s =
      ParseKeyScript("x{Dialog:Zeichen size=16 bold=1 font=\"Times New Roman\"}y");
  ASSERT_TRUE(s.ok()) << s.error;
  ASSERT_EQ(s.events.size(), 3u);
  EXPECT_EQ(s.events[1].kind, KeyEvent::Kind::Dialog);
  EXPECT_EQ(s.events[1].answer.dialog, "Zeichen");
  using V = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(s.events[1].answer.values,
            (V{{"size", "16"}, {"bold", "1"}, {"font", "Times New Roman"}}));

  const std::vector<std::pair<const char*, const char*>> bad = {
      {"{Dialog:Unbekannt x=1}", "Den Dialog „Unbekannt“"},
      {"{Dialog:Absatzformatierung spacing=Dreifach}", "nimmt „Einfach“, „1,5 Zeilen“"},
      {"{Dialog:Absatzformatierung left=1cm}", "nimmt eine Zahl"},
      {"ab{Dialog:Zeichen fett=1}", "kein Feld „fett“ an Stelle 3"},
      {"{Dialog:Zeichen bold=ja}", "nimmt 0 oder 1"},
      {"{Dialog:Zeichen colour=rot}", "eine Farbe wie #FF0000"},
      {"{Dialog:Zeichen font=\"Arial}", "nicht geschlossen"},
      {"{Dialog:Zeichen size}", "Name=Wert"},
      {"{Dialog:}", "nennt keinen Dialog"},
      {"{Dialog:Zeichen font=\"\xe4\xb8\xad\"}", "Windows-1252"},
  };
  for (const auto& [script, message] : bad) {
    const ParsedKeyScript b = ParseKeyScript(script);
    EXPECT_FALSE(b.ok()) << script;
    EXPECT_NE(b.error.find(message), std::string::npos) << script << ": " << b.error;
    EXPECT_TRUE(b.events.empty());
  }
}

}  // namespace
}  // namespace paginor::test
