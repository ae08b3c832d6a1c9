// The format toolbar through real Qt events: the buttons change the text and show the format at
// the Cursor without acting when the Cursor moves; the face and size boxes; the buttons'
// pictures; the format dialogs as the user fills them in.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "editing/commands.h"
#include "editing/undo.h"
#include "gui/gui_test_support.h"
#include "platform/qt/qt_format_dialogs.h"
#include "shell/toolbar_icons.h"
#include "window/document_window.h"

namespace paginor::test {
namespace {

// The button of a command on a toolbar.
QToolButton* buttonOf(TMainForm& form, ToolbarId bar, CommandId id) {
  QToolBar* toolBar = form.toolBar(bar);
  if (QWidget* b = toolBar->widgetForAction(form.action(id))) return qobject_cast<QToolButton*>(b);
  // A button without a picture carries an action of its own with the command's hint.
  const QString hint = QString::fromUtf8(CommandInfo(id).hint);
  for (QAction* a : toolBar->actions())
    if (a->toolTip() == hint) return qobject_cast<QToolButton*>(toolBar->widgetForAction(a));
  return nullptr;
}

const FontRec& fontAt(const TMDIChild& w, int32_t chr) {
  const Document& d = w.doc;
  const CharRec& c = d.fields[d.Cursor.field].lines[d.Cursor.line].chars[chr];
  return d.fonts[c.fontIndex];
}

bool boldAt(const TMDIChild& w, int32_t chr) {
  return fontAt(w, chr).style & (1u << kStyleBold);
}

void press(DocumentWindow& w, int key, int times = 1, Qt::KeyboardModifiers mods = {}) {
  for (int i = 0; i < times; ++i) PressKey(w, key, mods);
}

TEST(ShellFormatToolbar, TheBoldButtonBoldsTheMarkedWordAndFollowsTheCursor) {
  GuiFixture f;
  f.form->show();
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "eins zwei drei");
  GuiFixture::settle(w);
  // "zwei" marked with Shift and the arrow keys.
  press(*w, Qt::Key_Home);
  press(*w, Qt::Key_Right, 5);
  press(*w, Qt::Key_Right, 4, Qt::ShiftModifier);
  QToolButton* bold = buttonOf(*f.form, ToolbarId::Format, CommandId::Bold);
  ASSERT_NE(bold, nullptr);
  ASSERT_TRUE(bold->isEnabled());
  EXPECT_FALSE(bold->isChecked());
  const size_t steps = UndoListEntries(w->child()).size();

  QTest::mouseClick(bold, Qt::LeftButton);
  TMDIChild& child = w->child();
  for (int32_t c = 5; c < 9; ++c) EXPECT_TRUE(boldAt(child, c)) << "cell " << c;
  for (int32_t c : {0, 3, 4, 9, 10}) EXPECT_FALSE(boldAt(child, c)) << "cell " << c;
  EXPECT_TRUE(bold->isChecked());
  EXPECT_EQ(UndoListEntries(child).size(), steps + 1);

  // The Cursor into a plain word: the button shows it and nothing changes.
  const std::string text = BodyText(child);
  press(*w, Qt::Key_Home);
  press(*w, Qt::Key_Right, 2);
  EXPECT_FALSE(bold->isChecked());
  press(*w, Qt::Key_Right, 5);  // after the "w" of "zwei"
  EXPECT_TRUE(bold->isChecked());
  press(*w, Qt::Key_End);
  EXPECT_FALSE(bold->isChecked());
  EXPECT_EQ(BodyText(child), text);
  for (int32_t c = 5; c < 9; ++c) EXPECT_TRUE(boldAt(child, c)) << "cell " << c;
  EXPECT_EQ(UndoListEntries(child).size(), steps + 1) << "moving took no format step";

  // The alignment buttons are one group that shows the paragraph's alignment.
  QToolButton* centre = buttonOf(*f.form, ToolbarId::Format, CommandId::AlignCenter);
  QToolButton* left = buttonOf(*f.form, ToolbarId::Format, CommandId::AlignLeft);
  ASSERT_NE(centre, nullptr);
  ASSERT_NE(left, nullptr);
  EXPECT_TRUE(left->isChecked());
  QTest::mouseClick(centre, Qt::LeftButton);
  EXPECT_TRUE(centre->isChecked());
  EXPECT_FALSE(left->isChecked());
  EXPECT_EQ(child.doc.fields[child.doc.Cursor.field].lines[child.doc.Cursor.line].para.alignment,
            1);
}

TEST(ShellFormatToolbar, TheSizeAndFaceBoxesApplyWhatIsTypedAndShowTheDocumentsNames) {
  GuiFixture f;
  f.form->show();
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "eins zwei");
  GuiFixture::settle(w);
  press(*w, Qt::Key_Home);
  press(*w, Qt::Key_Right, 2);  // inside "eins", nothing marked
  TMDIChild& child = w->child();
  const double before = fontAt(child, 0).size;
  QComboBox* size = f.form->sizeBox();
  ASSERT_TRUE(size->isEnabled());
  const size_t typed = UndoListEntries(child).size();

  size->lineEdit()->selectAll();
  QTest::keyClicks(size->lineEdit(), "18");
  QTest::keyClick(size->lineEdit(), Qt::Key_Return);
  for (int32_t c = 0; c < 4; ++c) EXPECT_EQ(fontAt(child, c).size, 18) << "cell " << c;
  EXPECT_EQ(fontAt(child, 5).size, before) << "the next word keeps its size";
  EXPECT_EQ(size->currentText(), "18");
  QApplication::processEvents();
  const size_t steps = UndoListEntries(child).size();
  EXPECT_EQ(steps, typed + 1) << "Enter applies the size once";

  // Out of range: the old size comes back and nothing changes.
  w->setFocus();
  size->lineEdit()->selectAll();
  QTest::keyClicks(size->lineEdit(), "1000");
  QTest::keyClick(size->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(size->currentText(), "18");
  EXPECT_EQ(fontAt(child, 0).size, 18);
  EXPECT_EQ(UndoListEntries(child).size(), steps);

  // The face list starts with the pinned Windows names; the box shows the document's name,
  // not the free font that stands in for it.
  QComboBox* face = f.form->fontBox();
  ASSERT_GT(face->count(), 3);
  EXPECT_EQ(face->itemText(0), "Arial");
  EXPECT_NE(face->findText("Times New Roman"), -1);
  EXPECT_LT(face->findText("Wingdings"), face->findText("Liberation Sans"));
  face->lineEdit()->selectAll();
  QTest::keyClicks(face->lineEdit(), "Courier New");
  QTest::keyClick(face->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(fontAt(child, 0).name, "Courier New");
  EXPECT_EQ(fontAt(child, 5).name, fontAt(child, 4).name) << "only the word";
  press(*w, Qt::Key_End);
  press(*w, Qt::Key_Home);
  press(*w, Qt::Key_Right, 1);
  EXPECT_EQ(face->currentText(), "Courier New");
  EXPECT_EQ(size->currentText(), "18");

  // A face this machine lacks is measured with the fallback but keeps its name, in the cells
  // and in the box.
  face->lineEdit()->selectAll();
  QTest::keyClicks(face->lineEdit(), "Frutiger");
  QTest::keyClick(face->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(fontAt(child, 0).name, "Frutiger");
  press(*w, Qt::Key_Right);
  EXPECT_EQ(face->currentText(), "Frutiger");
  // A name the document cannot store is refused with a message; the box shows the face again.
  const size_t stepsBefore = UndoListEntries(child).size();
  face->lineEdit()->selectAll();
  // Typed as an input method delivers it: one key event with the text.
  QKeyEvent faceName(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                     QString::fromUtf8("\xe5\xae\x8b\xe4\xbd\x93"));
  QApplication::sendEvent(face->lineEdit(), &faceName);
  ASSERT_EQ(face->currentText(), QString::fromUtf8("\xe5\xae\x8b\xe4\xbd\x93"));
  QTest::keyClick(face->lineEdit(), Qt::Key_Return);
  ASSERT_EQ(f.messages.size(), 1u);
  EXPECT_NE(f.messages[0].text.find("Windows-1252"), std::string::npos);
  EXPECT_EQ(face->currentText(), "Frutiger");
  EXPECT_EQ(UndoListEntries(child).size(), stepsBefore);
}

TEST(ShellFormatToolbar, TheColourButtonsOfferAPaletteAndTheChooser) {
  GuiFixture f;
  f.form->show();
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "rot blau");
  press(*w, Qt::Key_Home);
  press(*w, Qt::Key_Right);  // inside "rot"
  TMDIChild& child = w->child();
  QToolButton* text = buttonOf(*f.form, ToolbarId::Format, CommandId::TextColour);
  ASSERT_NE(text, nullptr);
  ASSERT_NE(text->menu(), nullptr);
  const QList<QAction*> entries = text->menu()->actions();
  ASSERT_EQ(entries.size(), 18);  // sixteen colours, a separator, "Weitere Farben..."
  EXPECT_EQ(entries[9]->text(), "Rot");
  entries[9]->trigger();
  for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(fontAt(child, c).textColour, 0x0000FF) << c;
  EXPECT_EQ(fontAt(child, 4).textColour, 0) << "the next word";

  // The button itself opens the chooser.
  f.dialogAnswers.push_back([](Dialog& d) {
    dynamic_cast<ColourDialog&>(d).colour = 0x00FFFF;
    return true;
  });
  QToolButton* back = buttonOf(*f.form, ToolbarId::Format, CommandId::TextBackColour);
  ASSERT_NE(back, nullptr);
  QTest::mouseClick(back, Qt::LeftButton, {}, QPoint(4, back->height() / 2));
  EXPECT_EQ(f.dialogsShown.back(), "Hintergrundfarbe");
  EXPECT_EQ(fontAt(child, 0).backColour, 0x00FFFF);
  EXPECT_EQ(fontAt(child, 0).backTransparent, 0);
  EXPECT_EQ(UndoListEntries(child).size(), 3u) << "typing, and one step per colour";
}

TEST(ShellFormatToolbar, EveryButtonHasAPictureAndKeepsItsTextAsTooltip) {
  GuiFixture f;
  for (const Toolbar& t : Toolbars()) {
    for (CommandId id : t.items) {
      const Command& c = CommandInfo(id);
      if (id == CommandId::None || c.kind == CommandKind::ComboBox) continue;
      SCOPED_TRACE(c.hint);
      EXPECT_NE(ToolbarIconName(id), nullptr);
      QToolButton* b = buttonOf(*f.form, t.id, id);
      ASSERT_NE(b, nullptr);
      EXPECT_FALSE(b->icon().isNull()) << "the program's own drawing stands in for the theme";
      EXPECT_EQ(b->toolTip(), QString::fromUtf8(c.hint));
    }
  }
}

// --- The dialogs as the user fills them in ------------------------------------------------------

TEST(ShellFormatDialogs, TabstopsSetsAndDeletesStopsWithItsButtons) {
  TabDialog data;
  data.stops = {{2, 0, 0}, {5, 1, 0}};
  data.selected = 0;
  QtTabDialog dlg(data, nullptr);
  dlg.show();
  EXPECT_EQ(dlg.list->count(), 2);
  dlg.position->clear();
  QTest::keyClicks(dlg.position, "3,5");
  dlg.alignment->setCurrentIndex(2);
  emit dlg.alignment->activated(2);  // the user's choice changes the chosen stop
  QTest::mouseClick(dlg.set, Qt::LeftButton);
  ASSERT_EQ(dlg.list->count(), 3);
  EXPECT_EQ(dlg.list->item(1)->text(), "3,5");
  EXPECT_EQ(dlg.list->currentRow(), 1);

  dlg.list->setCurrentRow(2);
  QTest::mouseClick(dlg.remove, Qt::LeftButton);
  TabDialog out;
  dlg.writeBack(out);
  EXPECT_EQ(out.stops, (std::vector<TabDialog::Stop>{{2, 2, 0}, {3.5, 2, 0}}));
  QTest::mouseClick(dlg.clear, Qt::LeftButton);
  dlg.writeBack(out);
  EXPECT_TRUE(out.stops.empty());
  EXPECT_FALSE(dlg.remove->isEnabled());
}

TEST(ShellFormatDialogs, ZeichenReportsOnlyTheControlsTheUserChanged) {
  CharacterDialog data;
  data.faceName = "Arial";
  data.sizeText = "12";
  data.backColour = 0xFFFFFF;
  QtCharacterDialog dlg(data, nullptr);
  dlg.show();
  EXPECT_EQ(dlg.face->currentText(), "Arial");
  EXPECT_TRUE(dlg.transparent->isEnabled()) << "a white background";
  QListWidgetItem* fett = dlg.attributes->item(0);
  ASSERT_EQ(fett->text(), "Fett");
  fett->setCheckState(Qt::Checked);
  dlg.size->lineEdit()->selectAll();
  QTest::keyClicks(dlg.size->lineEdit(), "16");
  CharacterDialog out = data;
  dlg.writeBack(out);
  EXPECT_EQ(out.attributes, 1);
  EXPECT_TRUE(out.sizeChanged);
  EXPECT_EQ(out.sizeText, "16");
  EXPECT_FALSE(out.faceChanged);
  EXPECT_FALSE(out.textColourChanged);
  EXPECT_FALSE(out.backColourChanged);
}

TEST(ShellFormatDialogs, AbsatzformatierungKeepsItsSpacingListAndMeasureInStep) {
  ParagraphDialog data;
  data.spacing = ParagraphDialog::Spacing::Multiple;
  data.measure = 1.2;
  QtParagraphDialog dlg(data, nullptr);
  dlg.show();
  EXPECT_EQ(dlg.spacing->currentText(), "Mehrfach");
  EXPECT_EQ(dlg.unit->text(), "Zeilen");
  dlg.measure->setValue(2);
  EXPECT_EQ(dlg.spacing->currentText(), "Doppelt");
  dlg.spacing->setCurrentIndex(4);
  emit dlg.spacing->activated(4);
  EXPECT_EQ(dlg.unit->text(), "mm");
  ParagraphDialog out;
  dlg.writeBack(out);
  EXPECT_EQ(out.spacing, ParagraphDialog::Spacing::Exactly);
}

TEST(ShellFormatDialogs, TheBulletBoxShowsAWingdingsCharacterAsItIsDrawn) {
  ListDialog data;
  data.bulletFont = "Wingdings";
  data.bulletText = "\xc5\xb8";  // byte 159, the usual bullet
  QtListDialog dlg(data, nullptr);
  dlg.show();
  EXPECT_NE(dlg.bullet->text(), QString::fromUtf8("\xc5\xb8")) << "not the letter Ÿ";
  EXPECT_FALSE(dlg.charTable->isEnabled()) << "no special character table in this build";
  ListDialog out;
  dlg.writeBack(out);
  EXPECT_EQ(out.bulletText, data.bulletText) << "an untouched box keeps the stored character";
  dlg.bullet->selectAll();
  QTest::keyClicks(dlg.bullet, "o");
  dlg.kind->setCurrentIndex(1);
  dlg.writeBack(out);
  EXPECT_EQ(out.bulletText, "o");
  EXPECT_EQ(out.bulletFont, "Wingdings");
  EXPECT_EQ(out.kind, 1);
}

TEST(ShellFormatDialogs, TheMenuItemsRunTheDialogsOnTheDocument) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "Text");
  f.form->updateMenuState();
  for (CommandId id : {CommandId::FormatCharacter, CommandId::FormatParagraph,
                       CommandId::FormatTabs, CommandId::FormatBulletsDialog})
    EXPECT_TRUE(f.form->action(id)->isEnabled()) << CommandInfo(id).caption;
  f.dialogAnswers.push_back([](Dialog& d) {
    auto& list = dynamic_cast<ListDialog&>(d);
    list.kind = 2;
    return true;
  });
  f.form->action(CommandId::FormatBulletsDialog)->trigger();
  TMDIChild& child = w->child();
  EXPECT_EQ(child.doc.fields[child.doc.Cursor.field].lines[child.doc.Cursor.line].para.listKind,
            kListNumbers);
  EXPECT_TRUE(f.form->action(CommandId::Numbering)->isChecked()) << "the button follows";
  EXPECT_EQ(f.dialogsShown.back(), "Nummerierung und Aufzählungen");
}

}  // namespace
}  // namespace paginor::test
