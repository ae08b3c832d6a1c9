// Several document windows: what the editor asks for one window's document (a repaint, the undo
// buttons' captions) reaches that window and no other, also when another window paints while a
// command of the first one waits for a dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "editing/commands.h"
#include "editing/page_setup.h"
#include "gui/gui_test_support.h"

namespace paginor::test {
namespace {

TEST(ShellWindows, RepaintsAndUndoCaptionsReachTheirOwnWindowOnly) {
  GuiFixture f;
  TMainForm& form = *f.form;
  DocumentWindow* a = form.newDocument();
  TypeKeys(*a, "Brief");
  DocumentWindow* b = form.newDocument();
  TypeKeys(*b, "Notiz");
  PressKey(*b, Qt::Key_Tab, Qt::NoModifier, "\t");
  form.tileVertically();
  GuiFixture::settle(a);
  GuiFixture::settle(b);
  EXPECT_EQ(a->undoButtons().undoHint, "Rückgängig: Eingabe");
  EXPECT_EQ(b->undoButtons().undoHint, "Rückgängig: Eingabe TAB");

  form.mdiArea()->setActiveSubWindow(form.subWindowOf(a));
  ASSERT_EQ(form.activeDocument(), a);
  GuiFixture::settle(a);
  const int32_t a4Width = a->view().geometry.pageWidth;
  const int bBefore = b->paintCount();
  // Page setup on the first window. While its dialog is open the other window paints, as
  // windows do while a dialog's event loop runs.
  f.dialogAnswers.push_back([b](Dialog& d) {
    b->pageWidget()->update();
    QApplication::processEvents();
    auto& p = static_cast<PageSetupDialog&>(d);
    p.widthCm = 14.8;  // A5
    p.heightCm = 21.0;
    return true;
  });
  form.action(CommandId::FilePageSetup)->trigger();
  ASSERT_GT(b->paintCount(), bBefore) << "the other window painted during the dialog";
  EXPECT_EQ(a->undoButtons().undoHint, "Rückgängig: Seite einrichten");
  EXPECT_EQ(a->undoButtons().undoMenu, "&Rückgängig: Seite einrichten");
  EXPECT_EQ(b->undoButtons().undoHint, "Rückgängig: Eingabe TAB");
  EXPECT_EQ(form.action(CommandId::EditUndo)->toolTip(), "Rückgängig: Seite einrichten");
  EXPECT_TRUE(a->repaintPending()) << "the window with the new page repaints";
  EXPECT_FALSE(b->repaintPending());
  const int aPaints = a->paintCount();
  const int bPaints = b->paintCount();
  GuiFixture::settle(a);
  GuiFixture::settle(b);
  EXPECT_GT(a->paintCount(), aPaints);
  EXPECT_EQ(b->paintCount(), bPaints);
  EXPECT_NEAR(a->view().geometry.pageWidth, a4Width * 148 / 210, 2) << "A5 shown at once";

  // Keys and undo in the other window change its captions, and the toolbar follows it.
  form.mdiArea()->setActiveSubWindow(form.subWindowOf(b));
  ASSERT_EQ(form.activeDocument(), b);
  PressKey(*b, Qt::Key_Return, Qt::NoModifier, "\r");
  EXPECT_EQ(b->undoButtons().undoHint, "Rückgängig: Eingabe Enter");
  EXPECT_EQ(form.action(CommandId::EditUndo)->toolTip(), "Rückgängig: Eingabe Enter");
  PressKey(*b, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(b->undoButtons().redoHint, "Wiederholen: Eingabe Enter");
  EXPECT_EQ(a->undoButtons().undoHint, "Rückgängig: Seite einrichten");
  EXPECT_EQ(a->undoButtons().redoHint, "Wiederholen: Nicht möglich");
  EXPECT_TRUE(b->repaintPending());
  EXPECT_FALSE(a->repaintPending());
}

}  // namespace
}  // namespace paginor::test
