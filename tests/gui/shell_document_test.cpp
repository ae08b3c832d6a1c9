// The document window: keys as Qt delivers them, the repaint timer, zoom box rules and zoom
// fitting, the page area's size, the mouse wheel and the page view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include "editing/commands.h"
#include "editing/key_script.h"
#include "gui/gui_test_support.h"
#include "platform/cp1252.h"
#include "view/hit_test.h"
#include "window/document_window.h"

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

TEST(ShellDocument, CharactersOutsideTheCodePageChangeNothingButSaySo) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  GuiFixture::settle(w);
  const int paints = w->paintCount();
  QLabel* note = f.form->statusPanel(3);
  // Each refused character is named in the status bar, with its code.
  const std::pair<const char*, const char*> refused[] = {
      {"Ł", "U+0141"}, {"α", "U+03B1"}, {"→", "U+2192"}, {"a😀", "U+1F600"}};
  for (const auto& [typed, code] : refused) {
    SCOPED_TRACE(typed);
    PressKey(*w, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(typed));
    const QString text = note->text();
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Das Zeichen „"))) << text.toStdString();
    EXPECT_TRUE(text.contains(code)) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("nicht eingefügt"))) << text.toStdString();
  }
  EXPECT_TRUE(note->text().contains(QString::fromUtf8("😀")));
  EXPECT_EQ(BodyText(w->child()), "");
  EXPECT_EQ(w->child().doc.modified, 0);
  EXPECT_EQ(w->windowTitle(), "NONAME1");
  EXPECT_FALSE(w->repaintPending());
  GuiFixture::settle(w);
  EXPECT_EQ(w->paintCount(), paints);
  // The next key clears the note and types as usual.
  TypeKeys(*w, "a");
  EXPECT_EQ(note->text(), "");
  EXPECT_EQ(BodyText(w->child()), "a");
}

TEST(ShellDocument, OnlyTheMainKeyboardMinusWithCtrlSetsASoftHyphen) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  TypeKeys(*w, "Wort");
  PressKey(*w, Qt::Key_Home);
  const LineRec& line = w->child().doc.fields[w->child().doc.Cursor.field].lines[0];
  const size_t steps = w->child().undo.entries.size();
  // Ctrl with the keypad's minus: no soft hyphen, no undo step.
  PressKey(*w, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier, "-");
  ASSERT_EQ(line.charCount(), 4);
  EXPECT_EQ(line.chars[0].charFlags & 1, 0);
  EXPECT_EQ(w->child().undo.entries.size(), steps);
  // Ctrl with the minus of the main keyboard toggles it.
  PressKey(*w, Qt::Key_Minus, Qt::ControlModifier, "-");
  EXPECT_EQ(line.chars[0].charFlags & 1, 1);
  PressKey(*w, Qt::Key_Minus, Qt::ControlModifier, "-");
  EXPECT_EQ(line.chars[0].charFlags & 1, 0);
  // Without Ctrl both minus keys type a hyphen.
  PressKey(*w, Qt::Key_Minus, Qt::KeypadModifier, "-");
  PressKey(*w, Qt::Key_Minus, Qt::NoModifier, "-");
  EXPECT_EQ(BodyText(w->child()), "--Wort");
}

TEST(ShellDocument, CtrlZUndoesCtrlYAndCtrlShiftZRedo) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  // No window-wide shortcut takes these keys before the document window sees them.
  for (QAction* a : f.form->findChildren<QAction*>()) {
    for (const char* keys : {"Ctrl+Z", "Ctrl+Y", "Ctrl+Shift+Z"}) {
      EXPECT_FALSE(a->shortcuts().contains(QKeySequence(keys))) << a->text().toStdString();
    }
  }
  TypeKeys(*w, "eins");
  PressKey(*w, Qt::Key_Return, Qt::NoModifier, "\r");
  TypeKeys(*w, "zwei");
  // The text Qt gives these chords is a control character; none of it lands in the document.
  PressKey(*w, Qt::Key_Z, Qt::ControlModifier, QString(QChar(0x1a)));
  EXPECT_EQ(BodyText(w->child()), "eins\n");
  PressKey(*w, Qt::Key_Z, Qt::ControlModifier, QString(QChar(0x1a)));
  EXPECT_EQ(BodyText(w->child()), "eins");
  PressKey(*w, Qt::Key_Y, Qt::ControlModifier, QString(QChar(0x19)));
  EXPECT_EQ(BodyText(w->child()), "eins\n");
  PressKey(*w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, QString(QChar(0x1a)));
  EXPECT_EQ(BodyText(w->child()), "eins\nzwei");
  // Nothing is left to redo; the keys change nothing then.
  PressKey(*w, Qt::Key_Y, Qt::ControlModifier, QString(QChar(0x19)));
  EXPECT_EQ(BodyText(w->child()), "eins\nzwei");
  // The specified Ctrl+Backspace still undoes.
  PressKey(*w, Qt::Key_Backspace, Qt::ControlModifier, QString(QChar(0x7f)));
  EXPECT_EQ(BodyText(w->child()), "eins\n");
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

// Notes the scroll position at every paint of a window's page area.
class PaintScrolls : public QObject {
 public:
  explicit PaintScrolls(DocumentWindow& w) : w_(w) { w.pageWidget()->installEventFilter(this); }
  ~PaintScrolls() override { w_.pageWidget()->removeEventFilter(this); }
  std::vector<int> scrolls;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint)
      scrolls.push_back(w_.scrollArea()->verticalScrollBar()->value());
    return false;
  }

 private:
  DocumentWindow& w_;
};

TEST(ShellDocument, AKeyThatTakesTheCursorOntoAnotherPageShowsItThereInTheFirstPaint) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  std::string script;
  for (int i = 1; i <= 120; ++i) script += "Zeile " + std::to_string(i) + "{Enter}";
  const ParsedKeyScript lines = ParseKeyScript(script);
  ASSERT_TRUE(lines.ok());
  RunKeyScript(w->child(), lines.events);
  // A window lower than the gap between the pages' text: whatever page the Cursor goes to lies
  // outside the view.
  QMdiSubWindow* sub = f.form->subWindowOf(w);
  sub->showNormal();
  sub->resize(700, 300);
  GuiFixture::settle(w);
  Document& doc = w->child().doc;
  int32_t first = -1;
  for (int32_t i = 0; i < doc.fieldCount() && first < 0; ++i)
    if (doc.fields[i].type == kFieldBody && doc.fields[i].page == 0) first = i;
  ASSERT_GE(first, 0);
  const int32_t bottom = doc.fields[first].lineCount() - 1;
  const CursorPos pageEnd{first, bottom, doc.fields[first].lines[bottom].charCount()};
  ASSERT_GT(w->view().geometry.pages, 2);

  struct Case {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    CursorPos from;
  };
  const Case cases[] = {
      {"Page Down", Qt::Key_PageDown, Qt::NoModifier, {}, {first, bottom - 5, 0}},
      {"Ctrl+End", Qt::Key_End, Qt::ControlModifier, {}, {first, bottom, 0}},
      {"Enter at the page's end", Qt::Key_Return, Qt::NoModifier, "\r", pageEnd},
  };
  const int viewHeight = w->scrollArea()->viewport()->height();
  for (const Case& c : cases) {
    // The Cursor on the first page's last lines, shown.
    doc.Cursor = doc.Anchor = c.from;
    w->restartRepaintTimer();
    GuiFixture::settle(w);
    const int before = w->scrollArea()->verticalScrollBar()->value();
    ASSERT_LT(w->view().caret.y, before + viewHeight) << c.name;

    PaintScrolls paints(*w);
    PressKey(*w, c.key, c.modifiers, c.text);
    GuiFixture::settle(w);
    const int32_t page = doc.fields[doc.Cursor.field].page;
    ASSERT_GT(page, 0) << c.name;
    const CaretState& caret = w->view().caret;
    ASSERT_TRUE(caret.placed) << c.name;
    EXPECT_EQ(w->view().geometry.pageAt(caret.y), page) << c.name;
    ASSERT_FALSE(paints.scrolls.empty()) << c.name;
    for (const int scrollY : paints.scrolls) {
      EXPECT_GE(caret.y, scrollY) << c.name << ": a paint showed the view without the caret";
      EXPECT_LE(caret.y + kCaretScrollBand, scrollY + viewHeight) << c.name;
    }
    EXPECT_GT(paints.scrolls.front(), before) << c.name;
  }
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
  // The box itself: a value typed on the keyboard applies when Enter confirms it, also one that
  // is not in the list; a list entry typed out applies as well.
  QComboBox* box = f.form->zoomBox();
  box->lineEdit()->setFocus();
  box->lineEdit()->selectAll();
  QTest::keyClicks(box->lineEdit(), "50");
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(doc.zoomPercent, 50.0);
  EXPECT_EQ(box->currentText(), "50,00%");
  box->lineEdit()->selectAll();
  QTest::keyClicks(box->lineEdit(), "150%");
  QTest::keyClick(box->lineEdit(), Qt::Key_Enter);
  EXPECT_EQ(doc.zoomPercent, 150.0);
  // A value the list lacks (which the box does not complete to an entry) applies too.
  box->lineEdit()->selectAll();
  QTest::keyClicks(box->lineEdit(), "84");
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(doc.zoomPercent, 84.0);
  EXPECT_EQ(box->currentText(), "84,00%");
  box->lineEdit()->selectAll();
  // An entry typed out again after another value (the box completes it and keeps its index).
  QTest::keyClicks(box->lineEdit(), "150");
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(doc.zoomPercent, 150.0);
  // Enter in the untouched box keeps a fitted zoom fitted.
  f.form->applyZoomText("Seitenbreite");
  ASSERT_EQ(doc.zoomMode, 1);
  box->lineEdit()->setFocus();
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(doc.zoomMode, 1);
  f.form->applyZoomText("150%");
  // Typing without Enter and leaving the box shows the window's zoom again.
  box->lineEdit()->selectAll();
  QTest::keyClicks(box->lineEdit(), "60");
  emit box->lineEdit()->editingFinished();
  EXPECT_EQ(doc.zoomPercent, 150.0);
  EXPECT_EQ(box->currentText(), "150,00%");
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

void sendWheel(QWidget* target, int angle, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const QPointF at(60, 60);
  QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, mods,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &e);
}

TEST(ShellDocument, TheWheelOverThePageScrollsFiftyPixelsPerNotch) {
  GuiFixture f;
  DocumentWindow* w = f.form->openDocument(ExampleDocument());
  ASSERT_NE(w, nullptr);
  GuiFixture::settle(w);
  QScrollBar* bar = w->scrollArea()->verticalScrollBar();
  const int start = bar->value();
  // The mouse stands over the page: the page area gets the event first.
  sendWheel(w->pageWidget(), -120);
  EXPECT_EQ(bar->value(), start + 50);
  // A wheel with finer steps scrolls its share of a notch.
  sendWheel(w->pageWidget(), -60);
  EXPECT_EQ(bar->value(), start + 75);
  sendWheel(w->pageWidget(), -60);
  EXPECT_EQ(bar->value(), start + 100);
  sendWheel(w->pageWidget(), 240);
  EXPECT_EQ(bar->value(), start);
  // A repaint (the Cursor stays on the first page) does not pull the view back.
  sendWheel(w->pageWidget(), -120);
  w->restartRepaintTimer();
  GuiFixture::settle(w);
  EXPECT_EQ(bar->value(), start + 50);
}

TEST(ShellDocument, CtrlWheelWalksTheZoomBoxSteps) {
  GuiFixture f;
  DocumentWindow* w = f.form->openDocument(ExampleDocument());
  ASSERT_NE(w, nullptr);
  GuiFixture::settle(w);
  Document& doc = w->child().doc;
  ASSERT_EQ(doc.zoomPercent, 100.0);
  QScrollBar* bar = w->scrollArea()->verticalScrollBar();
  const int scrolled = bar->value();
  sendWheel(w->pageWidget(), 120, Qt::ControlModifier);
  EXPECT_EQ(doc.zoomPercent, 150.0);
  EXPECT_EQ(f.form->zoomBox()->currentText(), "150,00%");
  sendWheel(w->pageWidget(), 120, Qt::ControlModifier);
  sendWheel(w->pageWidget(), 120, Qt::ControlModifier);
  EXPECT_EQ(doc.zoomPercent, 250.0);
  sendWheel(w->pageWidget(), 120, Qt::ControlModifier);  // the largest step stays
  EXPECT_EQ(doc.zoomPercent, 250.0);
  sendWheel(w->pageWidget(), -360, Qt::ControlModifier);  // three notches at once
  EXPECT_EQ(doc.zoomPercent, 100.0);
  sendWheel(w->pageWidget(), -60, Qt::ControlModifier);  // half a notch: not yet
  EXPECT_EQ(doc.zoomPercent, 100.0);
  sendWheel(w->pageWidget(), -60, Qt::ControlModifier);
  EXPECT_EQ(doc.zoomPercent, 75.0);
  EXPECT_EQ(doc.zoomMode, 0);
  // From a fitted zoom between two steps to the neighbour in the direction turned.
  f.form->applyZoomText("Seitenbreite");
  const double fitted = doc.zoomPercent;
  ASSERT_NE(fitted, 100.0);
  sendWheel(w->pageWidget(), -120, Qt::ControlModifier);
  EXPECT_EQ(doc.zoomPercent, fitted > 100 ? 100.0 : 75.0);
  EXPECT_EQ(doc.zoomMode, 0);
  // Zooming is not scrolling.
  GuiFixture::settle(w);
  EXPECT_LE(bar->value(), scrolled);
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

void pump(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(ShellDocument, DragMarkingPastTheBottomEdgeKeepsScrolling) {
  GuiFixture f;
  DocumentWindow* w = f.form->openDocument(ExampleDocument());
  ASSERT_NE(w, nullptr);
  GuiFixture::settle(w);
  TMDIChild& child = w->child();
  QScrollBar* bar = w->scrollArea()->verticalScrollBar();
  const int start = bar->value();
  const CursorPos from{child.doc.Cursor.field, 1, 2};
  const auto place = CaretPlaceOf(child, w->view(), from);
  ASSERT_TRUE(place.has_value());
  QWidget* page = w->pageWidget();
  const QPoint down(place->x + 1, static_cast<int>(place->top + place->height / 2));
  sendMouse(page, QEvent::MouseButtonPress, down, Qt::LeftButton);
  // The mouse goes 40 pixels below the view and stays there, the button held.
  const int viewHeight = w->scrollArea()->viewport()->height();
  const QPoint below(down.x(), bar->value() + viewHeight + 40);
  QMouseEvent move(QEvent::MouseMove, QPointF(below), page->mapToGlobal(QPointF(below)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(page, &move);
  pump(1000);
  // About 800 pixels a second at that distance; far more than the caret's own scroll.
  const int scrolled = bar->value() - start;
  EXPECT_GE(scrolled, 400);
  // The marking followed: from where the button went down to text far below.
  EXPECT_EQ(child.doc.Anchor, from);
  const auto now = CaretPlaceOf(child, w->view(), child.doc.Cursor);
  ASSERT_TRUE(now.has_value());
  EXPECT_GT(now->top, place->top + scrolled);
  // Letting go stops it (once the last paint has brought the caret into view).
  const QPoint where = page->mapFromGlobal(move.globalPosition().toPoint());
  sendMouse(page, QEvent::MouseButtonRelease, where, Qt::LeftButton);
  GuiFixture::settle(w);
  const int stopped = bar->value();
  pump(300);
  EXPECT_EQ(bar->value(), stopped);
}

TEST(ShellDocument, FormatToolbarShowsTheFontAtTheCursorFromTheFirstPaint) {
  GuiFixture f;
  DocumentWindow* w = f.form->openDocument(ExampleDocument());
  ASSERT_NE(w, nullptr);
  GuiFixture::settle(w);
  // The model's oracle: the heading's first character, where the Cursor stands after opening.
  const Document& doc = w->child().doc;
  const LineRec& line = doc.fields[doc.Cursor.field].lines[doc.Cursor.line];
  ASSERT_EQ(doc.Cursor.chr, 0);
  ASSERT_GT(line.charCount(), 0);
  const FontRec heading = doc.fonts[line.chars[0].fontIndex];
  ASSERT_NE(heading.name, "Times New Roman") << "the example starts with a heading";
  EXPECT_EQ(f.form->fontBox()->currentText().toStdString(), cp1252ToUtf8(heading.name));
  EXPECT_EQ(f.form->sizeBox()->currentText().toDouble(), heading.size);
  // Typing there continues in the heading's format.
  TypeKeys(*w, "X");
  const FontRec& typed = doc.fonts[line.chars[0].fontIndex];
  EXPECT_EQ(line.chars[0].ch, 'X');
  EXPECT_EQ(typed.name, heading.name);
  EXPECT_EQ(typed.size, heading.size);
  EXPECT_EQ(typed.textColour, heading.textColour);
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
