// The document window: keys as Qt delivers them, the repaint timer, zoom box rules and zoom
// fitting, the page area's size, the mouse wheel and the page view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include "editing/commands.h"
#include "gui/gui_test_support.h"
#include "model/document_window.h"
#include "view/hit_test.h"

namespace paginor::test {
namespace {

// A new document in a normal (not maximised) window whose scroll box gives a usable width of
// `usable` pixels (box width less the scroll bar and 4).
DocumentWindow* windowWithUsableWidth(TMainForm& form, int usable) {
  DocumentWindow* w = form.newDocument();
  QMdiSubWindow* sub = form.subWindowOf(w);
  sub->showNormal();
  const int bar =
      w->scrollArea()->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w->scrollArea());
  const int wanted = usable + bar + 4;
  sub->resize(sub->width() + wanted - w->scrollArea()->width(), 600);
  QApplication::processEvents();
  return w;
}

TEST(ShellDocument, TypedKeysReachTheDocument) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "Hallo Welt");
  EXPECT_EQ(BodyText(w->child()), "Hallo Welt");
  EXPECT_EQ(w->windowTitle(), "NONAME1*");
  // Characters of the code page beyond ASCII arrive as their byte.
  PressKey(*w, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("€"));
  EXPECT_EQ(BodyText(w->child()), "Hallo Welt\x80");
  // Backspace, arrows and Delete are keys, not characters.
  PressKey(*w, Qt::Key_Backspace, Qt::NoModifier, "\b");
  PressKey(*w, Qt::Key_Home);
  PressKey(*w, Qt::Key_Delete, Qt::NoModifier, "\x7f");
  EXPECT_EQ(BodyText(w->child()), "allo Welt");
  // Enter starts a new paragraph.
  PressKey(*w, Qt::Key_End);
  PressKey(*w, Qt::Key_Return, Qt::NoModifier, "\r");
  TypeKeys(*w, "zwei");
  EXPECT_EQ(BodyText(w->child()), "allo Welt\nzwei");
  // Ctrl+A is the editor's select-all, not an "a".
  PressKey(*w, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
  EXPECT_EQ(BodyText(w->child()), "allo Welt\nzwei");
  EXPECT_NE(w->child().doc.Anchor, w->child().doc.Cursor);
}

TEST(ShellDocument, CharactersOutsideTheCodePageChangeNothing) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  GuiFixture::settle(w);
  const int paints = w->paintCount();
  PressKey(*w, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("Ω"));
  PressKey(*w, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("a😀"));
  EXPECT_EQ(BodyText(w->child()), "");
  EXPECT_EQ(w->child().doc.modified, 0);
  EXPECT_EQ(w->windowTitle(), "NONAME1");
  EXPECT_FALSE(w->repaintPending());
  GuiFixture::settle(w);
  EXPECT_EQ(w->paintCount(), paints);
}

TEST(ShellDocument, TabStaysInTheDocument) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  w->pageWidget()->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), w->pageWidget());
  TypeKeys(*w, "a");
  PressKey(*w, Qt::Key_Tab, Qt::NoModifier, "\t");
  TypeKeys(*w, "b");
  EXPECT_EQ(QApplication::focusWidget(), w->pageWidget());
  const LineRec& line = w->child().doc.fields[w->child().doc.Cursor.field].lines[0];
  ASSERT_EQ(line.charCount(), 3);
  EXPECT_EQ(line.chars[1].ch, 9);
  // Shift+Tab does not move the focus backwards either.
  PressKey(*w, Qt::Key_Backtab, Qt::ShiftModifier, "\t");
  EXPECT_EQ(QApplication::focusWidget(), w->pageWidget());
}

TEST(ShellDocument, SeveralRequestsBeforeTheTimerGiveOnePaint) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  GuiFixture::settle(w);
  const int paints = w->paintCount();
  TypeKeys(*w, "abc");  // three edits, each restarting the timer
  EXPECT_TRUE(w->repaintPending());
  EXPECT_EQ(w->paintCount(), paints);
  GuiFixture::settle(w);
  EXPECT_EQ(w->paintCount(), paints + 1);
  EXPECT_FALSE(w->repaintPending());
  // The paint placed the caret behind the third letter and showed the column.
  EXPECT_TRUE(w->view().caret.placed);
  EXPECT_EQ(f.form->statusPanel(1)->text(), "Ze 1     Sp 4");
}

TEST(ShellDocument, ZoomBoxRules) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  Document& doc = w->child().doc;
  f.form->applyZoomText("300%");
  EXPECT_EQ(doc.zoomPercent, 100.0);
  f.form->applyZoomText("75");
  EXPECT_EQ(doc.zoomPercent, 75.0);
  EXPECT_EQ(doc.zoomMode, 0);
  EXPECT_EQ(f.form->zoomBox()->currentText(), "75,00%");
  f.form->applyZoomText("kein Wert");
  EXPECT_EQ(doc.zoomPercent, 75.0);
  f.form->applyZoomText("25%");
  EXPECT_EQ(doc.zoomPercent, 25.0);
  // The box itself: a typed value applies when it is confirmed.
  QComboBox* box = f.form->zoomBox();
  box->setEditText("50");
  emit box->textActivated("50");
  EXPECT_EQ(doc.zoomPercent, 50.0);
  // "Zoom &100%" and the fit modes from the View menu.
  f.form->runCommand(CommandId::ViewZoom100);
  EXPECT_EQ(doc.zoomPercent, 100.0);
  f.form->runCommand(CommandId::ViewWholePage);
  EXPECT_EQ(doc.zoomMode, 2);
  EXPECT_LT(doc.zoomPercent, 100.0);
}

TEST(ShellDocument, FitWidthFillsTheUsableWidth) {
  GuiFixture f;
  DocumentWindow* w = windowWithUsableWidth(*f.form, 700);
  f.form->applyZoomText("Seitenbreite");
  EXPECT_EQ(w->child().doc.zoomMode, 1);
  EXPECT_DOUBLE_EQ(w->child().doc.zoomPercent, 84.44);
  EXPECT_EQ(f.form->zoomBox()->currentText(), "84,44%");
  // A wider window fits again by itself.
  QMdiSubWindow* sub = f.form->subWindowOf(w);
  sub->resize(sub->width() + 100, sub->height());
  QApplication::processEvents();
  EXPECT_GT(w->child().doc.zoomPercent, 84.44);
}

TEST(ShellDocument, PageAreaHoldsThePagesAtTheZoom) {
  GuiFixture f;
  DocumentWindow* w = f.form->openDocument(ExampleDocument());
  ASSERT_NE(w, nullptr);
  GuiFixture::settle(w);
  const WindowGeometry& g = w->view().geometry;
  // A4 at 100 % on 96 pixels per inch.
  EXPECT_EQ(g.pageWidth, 793);
  EXPECT_EQ(g.pageHeight, 1122);
  EXPECT_EQ(g.blockTop(2), 2286);
  ASSERT_EQ(g.pages, 2);
  EXPECT_EQ(w->pageWidget()->height(), g.areaHeight);
  EXPECT_EQ(w->pageWidget()->width(), g.areaWidth);
  // Only what is visible (and the Cursor's page) was drawn: the first page.
  EXPECT_EQ(w->view().pagesDrawn, std::vector<int32_t>{0});
}

TEST(ShellDocument, WheelScrollsFiftyPixels) {
  GuiFixture f;
  DocumentWindow* w = f.form->openDocument(ExampleDocument());
  ASSERT_NE(w, nullptr);
  GuiFixture::settle(w);
  QScrollBar* bar = w->scrollArea()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 100);
  const int before = bar->value();
  QWidget* viewport = w->scrollArea()->viewport();
  const QPointF at(50, 50);
  QWheelEvent down(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(viewport, &down);
  EXPECT_EQ(bar->value(), before + 50);
  QWheelEvent up(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                 Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(viewport, &up);
  EXPECT_EQ(bar->value(), before);
}

TEST(ShellDocument, PageViewRestoresTheZoom) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  f.form->applyZoomText("75");
  f.form->runCommand(CommandId::FilePageView);
  EXPECT_TRUE(w->pageViewActive());
  EXPECT_EQ(w->child().doc.zoomMode, 2);
  EXPECT_TRUE(f.form->action(CommandId::FilePageView)->isChecked());
  f.form->runCommand(CommandId::FilePageView);
  EXPECT_FALSE(w->pageViewActive());
  EXPECT_EQ(w->child().doc.zoomMode, 0);
  EXPECT_EQ(w->child().doc.zoomPercent, 75.0);
  EXPECT_EQ(f.form->zoomBox()->currentText(), "75,00%");
}

TEST(ShellDocument, UndoFromTheMenu) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "weg");
  EXPECT_TRUE(f.form->action(CommandId::EditUndo)->isEnabled());
  f.form->runCommand(CommandId::EditUndo);
  EXPECT_EQ(BodyText(w->child()), "");
  f.form->runCommand(CommandId::EditRedo);
  EXPECT_EQ(BodyText(w->child()), "weg");

  // The button's list: choosing the second entry takes back the two newest steps.
  PressKey(*w, Qt::Key_Return, Qt::NoModifier, "\r");
  TypeKeys(*w, "da");
  auto* button = qobject_cast<QToolButton*>(
      f.form->toolBar(ToolbarId::Standard)->widgetForAction(f.form->action(CommandId::EditUndo)));
  ASSERT_NE(button, nullptr);
  ASSERT_NE(button->menu(), nullptr);
  emit button->menu()->aboutToShow();
  const QList<QAction*> steps = button->menu()->actions();
  ASSERT_GE(steps.size(), 3);
  EXPECT_EQ(steps[0]->text(), "Eingabe");
  steps[1]->trigger();
  EXPECT_EQ(BodyText(w->child()), "weg");
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent e(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, mods);
  QApplication::sendEvent(target, &e);
}

TEST(ShellDocument, MouseClicksPlaceTheCursorWhereThePaintShowsIt) {
  GuiFixture f;
  DocumentWindow* w = f.form->openDocument(ExampleDocument());
  ASSERT_NE(w, nullptr);
  GuiFixture::settle(w);
  TMDIChild& child = w->child();
  const CursorPos target{child.doc.Cursor.field, 1, 5};
  const auto place = CaretPlaceOf(child, w->view(), target);
  ASSERT_TRUE(place.has_value());
  const QPoint at(place->x + 1, static_cast<int>(place->top + place->height / 2));
  sendMouse(w->pageWidget(), QEvent::MouseButtonPress, at, Qt::LeftButton);
  sendMouse(w->pageWidget(), QEvent::MouseButtonRelease, at, Qt::LeftButton);
  EXPECT_EQ(child.doc.Cursor, target);
  EXPECT_EQ(child.doc.Anchor, target);
  EXPECT_EQ(QApplication::focusWidget(), w->pageWidget());

  // Shift+click marks from the Anchor.
  const auto later = CaretPlaceOf(child, w->view(), CursorPos{target.field, 2, 3});
  ASSERT_TRUE(later.has_value());
  const QPoint to(later->x + 1, static_cast<int>(later->top + later->height / 2));
  sendMouse(w->pageWidget(), QEvent::MouseButtonPress, to, Qt::LeftButton, Qt::ShiftModifier);
  sendMouse(w->pageWidget(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(child.doc.Anchor, target);
  EXPECT_EQ(child.doc.Cursor, (CursorPos{target.field, 2, 3}));

  // The right button opens the context menu built from the table.
  sendMouse(w->pageWidget(), QEvent::MouseButtonPress, at, Qt::RightButton);
  sendMouse(w->pageWidget(), QEvent::MouseButtonRelease, at, Qt::RightButton);
  QApplication::processEvents();
  EXPECT_TRUE(f.form->contextMenu()->isVisible());
  EXPECT_FALSE(f.form->contextMenu()->actions().isEmpty());
  f.form->contextMenu()->hide();
}

TEST(ShellDocument, InsertKeyShowsOverwriteInTheStatusBar) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  PressKey(*w, Qt::Key_Insert);
  EXPECT_EQ(f.form->statusPanel(2)->text(), QString::fromUtf8("ÜB"));
  PressKey(*w, Qt::Key_Insert);
  EXPECT_EQ(f.form->statusPanel(2)->text(), "");
}

}  // namespace
}  // namespace paginor::test
