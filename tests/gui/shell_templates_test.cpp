// The template box of the format toolbar and the Qt dialogs of templates, text columns and
// special characters, driven with real Qt events. With PAGINOR_SHOT_DIR set, each dialog is also
// written there as a PNG, for looking at.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <cstdlib>

#include "editing/commands.h"
#include "editing/special_character.h"
#include "editing/templates.h"
#include "editing/undo.h"
#include "gui/gui_test_support.h"
#include "platform/qt/qt_template_dialogs.h"
#include "window/document_window.h"

namespace paginor::test {
namespace {

void Shot(QWidget& dialog, const char* name) {
  const char* dir = std::getenv("PAGINOR_SHOT_DIR");
  if (!dir || !*dir) return;
  dialog.show();
  QApplication::processEvents();
  dialog.grab().save(QString("%1/%2.png").arg(dir, name), "PNG");
}

TEST(ShellTemplates, ChoosingInTheTemplateBoxFormatsTheParagraphAndReturnsTheFocus) {
  GuiFixture f;
  f.form->show();
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "Kopfzeile");
  // A template made from a centred paragraph, through the menu and its name dialog.
  PressKey(*w, Qt::Key_E, Qt::ControlModifier);
  f.dialogAnswers.push_back([](Dialog& d) {
    auto& n = static_cast<TemplateNameDialog&>(d);
    EXPECT_EQ(n.name, "Formatvorlage 6");
    n.name = "Mitte";
    return true;
  });
  f.form->updateMenuState();
  QAction* create = f.form->action(CommandId::FormatNewParagraphTemplate);
  ASSERT_TRUE(create && create->isEnabled());
  create->trigger();
  PressKey(*w, Qt::Key_L, Qt::ControlModifier);
  PressKey(*w, Qt::Key_Home);
  GuiFixture::settle(w);
  const TMDIChild& child = w->child();
  const LineRec& line = child.doc.fields[child.doc.Cursor.field].lines[child.doc.Cursor.line];
  ASSERT_EQ(line.para.alignment, 0);

  QComboBox* box = f.form->templateBox();
  ASSERT_TRUE(box->isEnabled());
  ASSERT_EQ(box->count(), 6);
  EXPECT_EQ(box->itemText(5), "Mitte");
  EXPECT_EQ(box->currentIndex(), 0);
  const size_t steps = UndoListEntries(w->child()).size();

  f.form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(f.form.get()));
  box->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), box);
  QTest::keyClick(box, Qt::Key_End);  // the last entry, as a user picks it
  GuiFixture::settle(w);

  EXPECT_EQ(line.para.alignment, 1) << "the template's paragraph format";
  const FontRec& font = child.doc.fonts[line.chars[0].fontIndex];
  EXPECT_EQ(font.name, "Times New Roman");
  ASSERT_EQ(UndoListEntries(w->child()).size(), steps + 1);
  EXPECT_EQ(UndoListEntries(w->child()).front(), kApplyTemplateStep);
  EXPECT_EQ(box->currentIndex(), 0) << "the box shows its first entry again";
  EXPECT_EQ(QApplication::focusWidget(), w->pageWidget());

  // "Überschrift 1" by the keyboard on the box: Arial 14 bold on the word at the Cursor.
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Down);
  GuiFixture::settle(w);
  const FontRec& heading = child.doc.fonts[line.chars[0].fontIndex];
  EXPECT_EQ(heading.name, "Arial");
  EXPECT_DOUBLE_EQ(heading.size, 14);
  EXPECT_EQ(heading.style, 1);
  // Bringing the box in line with the document never applies anything.
  const size_t after = UndoListEntries(w->child()).size();
  ListAllVorlagen(w->child());
  OvertakeFont(w->child());
  EXPECT_EQ(UndoListEntries(w->child()).size(), after);
}

TEST(ShellTemplates, TheNameDialogTakesOkOnlyWithAName) {
  GuiFixture f;
  TemplateNameDialog data;
  data.name = "Formatvorlage 6";
  QtTemplateNameDialog dlg(data, f.form.get());
  EXPECT_EQ(dlg.windowTitle(), "Formatvorlage umbenennen");
  EXPECT_TRUE(dlg.ok->isEnabled());
  Shot(dlg, "formatvorlage_umbenennen");
  dlg.name->selectAll();
  QTest::keyClick(dlg.name, Qt::Key_Delete);
  EXPECT_FALSE(dlg.ok->isEnabled());
  QTest::keyClicks(dlg.name, "Brief");
  EXPECT_TRUE(dlg.ok->isEnabled());
  EXPECT_TRUE(dlg.hint->isHidden());
  dlg.name->insert(QString::fromUtf8("→"));  // QTest types ASCII keys only
  EXPECT_FALSE(dlg.ok->isEnabled()) << "a letter the document cannot store";
  EXPECT_FALSE(dlg.hint->isHidden());
  QTest::keyClick(dlg.name, Qt::Key_Backspace);
  EXPECT_TRUE(dlg.ok->isEnabled());
  dlg.writeBack(data);
  EXPECT_EQ(data.name, "Brief");
}

TEST(ShellTemplates, TheManagementDialogDeletesAndAppliesThroughItsButtons) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "Wort");
  PressKey(*w, Qt::Key_Home);
  f.dialogAnswers.push_back([](Dialog& d) {
    auto& m = static_cast<TemplateManagerDialog&>(d);
    QtTemplateManagerDialog dlg(m, nullptr);
    Shot(dlg, "formatvorlagen_verwalten");
    EXPECT_EQ(dlg.list->count(), 5);
    EXPECT_EQ(dlg.list->currentRow(), 0);
    dlg.list->setCurrentRow(2);
    QTest::mouseClick(dlg.remove, Qt::LeftButton);
    EXPECT_EQ(dlg.list->count(), 4);
    EXPECT_EQ(dlg.list->item(2)->text(), "Überschrift 3");
    dlg.list->setCurrentRow(1);
    QTimer::singleShot(0, &dlg, [&dlg] { QTest::mouseClick(dlg.apply, Qt::LeftButton); });
    if (dlg.exec() != QDialog::Accepted) return false;
    dlg.writeBack(m);
    return true;
  });
  f.form->updateMenuState();
  f.form->action(CommandId::FormatManageTemplates)->trigger();
  GuiFixture::settle(w);
  const TMDIChild& child = w->child();
  ASSERT_EQ(child.doc.templateCount(), 4);
  EXPECT_EQ(f.form->templateBox()->count(), 4);
  const LineRec& line = child.doc.fields[child.doc.Cursor.field].lines[child.doc.Cursor.line];
  EXPECT_EQ(child.doc.fonts[line.chars[0].fontIndex].name, "Arial") << "Überschrift 1 applied";
}

TEST(ShellTemplates, TheColumnDialogShowsAndReturnsItsValues) {
  GuiFixture f;
  ColumnsDialog data;
  QtColumnsDialog dlg(data, f.form.get());
  Shot(dlg, "spalten");
  EXPECT_EQ(dlg.count->value(), 1);
  EXPECT_DOUBLE_EQ(dlg.gap->value(), 1.25);
  EXPECT_EQ(dlg.count->maximum(), 10);
  EXPECT_DOUBLE_EQ(dlg.gap->maximum(), 10);
  EXPECT_DOUBLE_EQ(dlg.gap->singleStep(), 0.1);
  EXPECT_EQ(dlg.gap->text(), "1,25");
  dlg.count->setFocus();
  QTest::keyClick(dlg.count, Qt::Key_Up);
  QTest::keyClick(dlg.count, Qt::Key_Up);
  QTest::keyClick(dlg.gap, Qt::Key_Down);
  QTest::mouseClick(dlg.lines, Qt::LeftButton, {}, QPoint(5, dlg.lines->height() / 2));
  dlg.writeBack(data);
  EXPECT_EQ(data.count, 3);
  EXPECT_NEAR(data.gapCm, 1.15, 1e-9);
  EXPECT_TRUE(data.lines);
}

TEST(ShellTemplates, TheSpecialCharacterGridSelectsAndADoubleClickIsOk) {
  GuiFixture f;
  SpecialCharacterDialog data;
  data.faceName = "DejaVu Sans";
  data.code = 32;
  QtSpecialCharacterDialog dlg(data, f.form.get());
  dlg.show();
  EXPECT_EQ(dlg.codeLabel->text(), "Zeichen: 32");
  EXPECT_EQ(dlg.preview->font().pointSize(), 72);
  const QRect euro = dlg.grid->cellRect(128);
  QTest::mouseClick(dlg.grid, Qt::LeftButton, {}, euro.center());
  EXPECT_EQ(dlg.grid->code(), 128);
  EXPECT_EQ(dlg.codeLabel->text(), "Zeichen: 128");
  EXPECT_EQ(dlg.preview->text(), QString(QChar(0x20AC)));
  Shot(dlg, "sonderzeichen");
  QTest::keyClick(dlg.grid, Qt::Key_Down);
  EXPECT_EQ(dlg.grid->code(), 144);
  const QRect last = dlg.grid->cellRect(255);
  QTest::mouseDClick(dlg.grid, Qt::LeftButton, {}, last.center());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  dlg.writeBack(data);
  EXPECT_EQ(data.code, 255);
  EXPECT_FALSE(data.faceName.empty());
}

TEST(ShellTemplates, SonderzeichenFromTheMenuTypesTheCharacter) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "ab");
  f.dialogAnswers.push_back([](Dialog& d) {
    auto& s = static_cast<SpecialCharacterDialog&>(d);
    EXPECT_EQ(s.code, 32);
    s.code = 167;  // §
    return true;
  });
  f.form->updateMenuState();
  QAction* insert = f.form->action(CommandId::InsertSpecialChar);
  ASSERT_TRUE(insert && insert->isEnabled());
  insert->trigger();
  EXPECT_EQ(BodyText(w->child()), "ab\xa7");
}

}  // namespace
}  // namespace paginor::test
