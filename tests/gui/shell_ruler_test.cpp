// The rulers of a document window through real Qt mouse events: dragging the first-line indent,
// the guide line on the page while dragging, the tab selector's clicks and hints, and "&Lineal".
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>

#include <cmath>
#include <cstdlib>

#include "editing/commands.h"
#include "gui/gui_test_support.h"
#include "shell/ruler_widget.h"
#include "view/ruler.h"
#include "window/document_window.h"

namespace paginor::test {
namespace {

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent e(type, QPointF(at), target->mapToGlobal(QPointF(at)),
                type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
  QApplication::sendEvent(target, &e);
}

// Press at `from`, move halfway and to `to` with the button held, release there.
void dragOn(QWidget* target, QPoint from, QPoint to, Qt::MouseButton button) {
  sendMouse(target, QEvent::MouseButtonPress, from, button);
  sendMouse(target, QEvent::MouseMove, (from + to) / 2, button);
  sendMouse(target, QEvent::MouseMove, to, button);
  sendMouse(target, QEvent::MouseButtonRelease, to, button);
}

double firstLineStart(const TMDIChild& child) {
  const ParagraphFormat& p = child.doc.fields[0].lines[0].para;
  return p.indentLeft + p.indentFirstLine;
}

TEST(ShellRuler, DraggingTheFirstLineMarkerIndentsTheFirstLineByTheDraggedDistance) {
  GuiFixture f;
  f.form->resize(1000, 800);
  f.form->show();
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "Ein Absatz mit etwas Text");
  GuiFixture::settle(w);
  HorizontalRuler* ruler = w->horizontalRuler();
  ASSERT_TRUE(ruler->isVisible());
  EXPECT_EQ(ruler->height(), kRulerSize);
  EXPECT_EQ(w->verticalRuler()->width(), kRulerSize);
  // Ruler pixels are page-view pixels: the ruler starts where the view does.
  EXPECT_EQ(ruler->mapToGlobal(QPoint(0, 0)).x(),
            w->scrollArea()->viewport()->mapToGlobal(QPoint(0, 0)).x());
  const RulerState& s = w->view().ruler.state;
  ASSERT_TRUE(s.hasWidth());
  const double mmPerPx = s.range() / s.widthPx();

  // The right button places freely: the first line moves by the dragged distance.
  const int x = FirstLineMarkerX(s);
  const double before = firstLineStart(w->child());
  sendMouse(ruler, QEvent::MouseButtonPress, QPoint(x, 5), Qt::RightButton);
  sendMouse(ruler, QEvent::MouseMove, QPoint(x + 60, 5), Qt::RightButton);
  // While dragging the page shows the guide line at the marker's new place.
  ASSERT_TRUE(w->view().ruler.drag.guideX.has_value());
  EXPECT_EQ(*w->view().ruler.drag.guideX, x + 60);
  // On request a picture of the drag, to look at.
  if (const char* dir = std::getenv("PAGINOR_SHOTS_DIR"))
    w->grab().save(QString::fromUtf8(dir) + "/rulers_drag.png", "PNG");
  sendMouse(ruler, QEvent::MouseButtonRelease, QPoint(x + 60, 5), Qt::RightButton);
  EXPECT_FALSE(w->view().ruler.drag.guideX.has_value());
  const ParagraphFormat& p = w->child().doc.fields[0].lines[0].para;
  EXPECT_NEAR(p.indentFirstLine, 60 * mmPerPx, mmPerPx);
  EXPECT_EQ(p.indentLeft, 0) << "only the first line";
  EXPECT_NEAR(firstLineStart(w->child()) - before, 60 * mmPerPx, mmPerPx);
  EXPECT_EQ(w->undoButtons().undoHint, "Rückgängig: Absatzformat");

  // The left button lands on the 5 mm tick nearest to the pointer.
  GuiFixture::settle(w);
  const int from = FirstLineMarkerX(w->view().ruler.state);
  const double start = firstLineStart(w->child());
  dragOn(ruler, QPoint(from, 5), QPoint(from + 45, 5), Qt::LeftButton);
  const double moved = firstLineStart(w->child()) - start;
  EXPECT_NEAR(moved, 45 * mmPerPx, 2.5 + mmPerPx);
  EXPECT_NEAR(std::fmod(firstLineStart(w->child()), 5.0), 0, 1e-9) << "a whole tick";

  // Esc during a drag drops nothing; the guide line goes at once.
  GuiFixture::settle(w);
  const ParagraphFormat kept = w->child().doc.fields[0].lines[0].para;
  const int marker = FirstLineMarkerX(w->view().ruler.state);
  sendMouse(ruler, QEvent::MouseButtonPress, QPoint(marker, 5), Qt::LeftButton);
  sendMouse(ruler, QEvent::MouseMove, QPoint(marker + 80, 5), Qt::LeftButton);
  ASSERT_TRUE(w->view().ruler.drag.guideX.has_value());
  PressKey(*w, Qt::Key_Escape);
  EXPECT_FALSE(w->view().ruler.drag.guideX.has_value());
  sendMouse(ruler, QEvent::MouseButtonRelease, QPoint(marker + 80, 5), Qt::LeftButton);
  EXPECT_EQ(w->child().doc.fields[0].lines[0].para, kept);
}

TEST(ShellRuler, TheTabSelectorCyclesItsKindsAndANewStopTakesTheKind) {
  GuiFixture f;
  f.form->resize(1000, 800);
  f.form->show();
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "Text");
  GuiFixture::settle(w);
  TabSelector* selector = w->tabSelector();
  EXPECT_EQ(selector->toolTip(), "Tabstop links");
  const char* hints[] = {"Tabstop zentiert", "Tabstop rechts", "Tabstop dezimal", "Tabstop links"};
  auto click = [&] {
    sendMouse(selector, QEvent::MouseButtonPress, QPoint(12, 12), Qt::LeftButton);
    sendMouse(selector, QEvent::MouseButtonRelease, QPoint(12, 12), Qt::LeftButton);
  };
  for (const char* hint : hints) {
    click();
    EXPECT_EQ(selector->toolTip(), QString::fromUtf8(hint));
  }
  // "Tabstop rechts", then a click at 4 cm on the lower ruler.
  click();
  click();
  EXPECT_EQ(f.form->rulerTabKind(), kTabRight);
  // A second window's selector shows the same kind.
  DocumentWindow* other = f.form->newDocument();
  EXPECT_EQ(other->tabSelector()->toolTip(), "Tabstop rechts");
  const RulerState& s = w->view().ruler.state;
  ASSERT_TRUE(s.hasWidth());
  const int at = s.xOf(40);
  dragOn(w->horizontalRuler(), QPoint(at, 15), QPoint(at, 15), Qt::LeftButton);
  const TabStops& tabs = w->child().doc.fields[0].lines[0].para.tabs;
  ASSERT_EQ(tabs.size(), 1u);
  EXPECT_EQ(tabs[0], (TabStop{40, kTabRight, 0}));
}

TEST(ShellRuler, LinealShowsAndHidesTheRulersOfEveryWindow) {
  GuiFixture f;
  f.form->show();
  DocumentWindow* a = f.form->newDocument();
  DocumentWindow* b = f.form->newDocument();
  ASSERT_TRUE(f.form->settings().rulerVisible);
  f.form->updateMenuState();
  QAction* item = f.form->action(CommandId::ViewRuler);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->isEnabled());
  EXPECT_TRUE(item->isChecked());
  f.form->runCommand(CommandId::ViewRuler);
  f.form->updateMenuState();
  EXPECT_FALSE(item->isChecked());
  for (DocumentWindow* w : {a, b}) {
    EXPECT_FALSE(w->horizontalRuler()->isVisible());
    EXPECT_FALSE(w->verticalRuler()->isVisible());
    EXPECT_FALSE(w->tabSelector()->isVisible());
  }
  // A window opened now starts without them.
  DocumentWindow* c = f.form->newDocument();
  EXPECT_FALSE(c->horizontalRuler()->isVisible());
  f.form->runCommand(CommandId::ViewRuler);
  for (DocumentWindow* w : {a, b, c}) EXPECT_TRUE(w->horizontalRuler()->isVisible());
}

}  // namespace
}  // namespace paginor::test
