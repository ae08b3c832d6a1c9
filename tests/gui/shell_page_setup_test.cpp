// "Seite einrichten" from the menu: the window shows the new page at once, and Ctrl+Z takes the
// page size back with the margins.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>

#include "editing/commands.h"
#include "editing/page_setup.h"
#include "gui/gui_test_support.h"

namespace paginor::test {
namespace {

TEST(ShellPageSetup, TheWindowShowsTheNewPageAtOnceAndUndoTakesItBack) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "Ein Brief");
  GuiFixture::settle(w);
  const int32_t a4Width = w->view().geometry.pageWidth;
  ASSERT_GT(a4Width, 0);

  f.dialogAnswers.push_back([](Dialog& d) {
    auto& p = static_cast<PageSetupDialog&>(d);
    p.widthCm = 14.8;  // A5
    p.heightCm = 21.0;
    p.marginLeftCm = 1.5;
    return true;
  });
  f.form->action(CommandId::FilePageSetup)->trigger();
  GuiFixture::settle(w);
  const int32_t a5Width = w->view().geometry.pageWidth;
  EXPECT_NEAR(a5Width, a4Width * 148 / 210, 2) << "the paint after OK shows the A5 page";
  EXPECT_DOUBLE_EQ(w->child().doc.fields[0].marginLeft, 15);

  PressKey(*w, Qt::Key_Z, Qt::ControlModifier);
  GuiFixture::settle(w);
  EXPECT_DOUBLE_EQ(w->child().doc.pageWidth, 210) << "undo takes the page size back";
  EXPECT_DOUBLE_EQ(w->child().doc.fields[0].marginLeft, 25);
  EXPECT_EQ(w->view().geometry.pageWidth, a4Width);
}

}  // namespace
}  // namespace paginor::test
