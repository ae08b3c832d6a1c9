// A document window of the desktop program: a TMDIChild shown in a scroll area, with the page
// drawing, the caret, the keyboard and the mouse mapped onto the editor, and the one-shot
// repaint timer. The window is its document's editor host: the engine's requests for this
// document (repaint, scrolling, undo buttons) reach this window and no other.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

#include "editing/mouse.h"
#include "view/window_view.h"
#include "window/editor_host.h"

class QScrollArea;

namespace paginor {

class TMainForm;
class TMDIChild;
class DocumentWindow;
class QtCanvas;
class HorizontalRuler;
class VerticalRuler;
class TabSelector;

// The page area ("PaintBox1"): as large as all pages at the zoom; paints the visible pages
// through the window paint and passes keys and mouse events on to the editor.
class PageWidget : public QWidget {
 public:
  explicit PageWidget(DocumentWindow& owner);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // The wheel over the page is the window's: scrolling by its own step, Ctrl zooming.
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  // Tab and Shift+Tab belong to the document: they insert a tab and never move the focus.
  bool focusNextPrevChild(bool next) override;
  bool event(QEvent* event) override;

 private:
  DocumentWindow& owner_;
};

class DocumentWindow : public QWidget, public EditorHost {
  Q_OBJECT

 public:
  explicit DocumentWindow(TMainForm& main, QWidget* parent = nullptr);
  ~DocumentWindow() override;

  TMDIChild& child() { return *child_; }
  const TMDIChild& child() const { return *child_; }
  TMainForm& mainForm() { return main_; }
  WindowView& view() { return view_; }
  PageWidget* pageWidget() const { return page_; }
  QScrollArea* scrollArea() const { return scroll_; }

  // The window caption follows the document's name and modified flag.
  void updateCaption();
  // "Timer2Timer": scrolls the caret into view, where the layout puts it now, and paints. One
  // paint shows a Cursor that a key took onto another page.
  void repaintNow();
  bool repaintPending() const { return timer2_.isActive(); }
  // Number of finished paints of the page area (for the tests and the benchmark).
  int paintCount() const { return paints_; }

  // Applies a zoom box text ("75%", "Seitenbreite", ...); true when the zoom changed.
  bool applyZoomText(const QString& text);
  // Applies the marks switch of the main window's button and repaints.
  void setShowMarks(bool on);
  // Page view ("Seitenansicht") on or off.
  void setPageView(bool on);
  bool pageViewActive() const { return view_.pageView; }
  // The scroll box state as the view needs it, read from the scroll area.
  void readScrollBox();
  // Fits the zoom to the window when a fit mode is set; repaints when it changed.
  void fitZoom();

  // Feeds a key event to the editor (as the page area does with its own key events).
  void handleKey(QKeyEvent* event);
  // The status bar's note about the last refused character; empty when none is shown.
  const QString& refusedNote() const { return note_; }

  // EditorHost
  void setUndoButtons(const UndoButtons& state) override;
  void restartRepaintTimer() override;
  // While a paint is pending the paint scrolls first; otherwise the view scrolls now.
  void scrollCursorIntoView() override;

  const UndoButtons& undoButtons() const { return undo_; }
  // The save dialog's file type the window's document is written with (0: by extension).
  int32_t saveFileType = 0;
  // The window has accepted closing (its sub-window goes away).
  bool isClosed() const { return closed_; }
  MouseState& mouseState() { return mouse_; }

  // The rulers and the tab selector ("&Lineal" shows and hides them).
  HorizontalRuler* horizontalRuler() const { return hRuler_; }
  VerticalRuler* verticalRuler() const { return vRuler_; }
  TabSelector* tabSelector() const { return tabSelector_; }
  void setRulersVisible(bool on);
  // The ruler drag's guide line moved or went: the page view shows it where it is now.
  void showGuideLine();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class PageWidget;
  void paintPages(QPainter& painter, const QRect& dirty);
  void afterEngine();
  // Scrolls vertically so that the caret, where the layout puts the Cursor now, is visible; the
  // page area first follows the layout's page count.
  void scrollToCursor();
  void scrollViewBy(int pixels);

 public:
  // After a command of the main window ran on this window: caption and modified state.
  void afterCommand() { afterEngine(); }

 private:
  void applyMouseResponse(const MouseResponse& r);
  MouseEvent mouseEventOf(QMouseEvent* e, MouseButton button) const;
  // Marking by dragging past the top or bottom edge of the view scrolls on while the mouse
  // stays there: `followDrag` notes where the mouse is, the timer scrolls and lets the Cursor
  // follow to the text now under it.
  void followDrag(QMouseEvent* e);
  void autoScrollStep();
  // Ctrl with the mouse wheel: the zoom box's next step per notch.
  void wheelZoom(int angle);

  TMainForm& main_;
  std::unique_ptr<TMDIChild> child_;
  WindowView view_;
  MouseState mouse_;
  QScrollArea* scroll_ = nullptr;
  PageWidget* page_ = nullptr;
  HorizontalRuler* hRuler_ = nullptr;
  VerticalRuler* vRuler_ = nullptr;
  TabSelector* tabSelector_ = nullptr;
  std::optional<int> guideShown_;  // the guide line's page-area x as last painted
  QTimer timer2_;
  std::unique_ptr<QtCanvas> blockCanvas_;  // the page bitmap, reused while its size stays
  UndoButtons undo_;
  QString note_;  // the refused-character note this window put into the status bar
  QTimer autoScroll_;
  QPoint dragPoint_;  // the mouse during a drag, in viewport pixels
  Modifiers dragModifiers_ = kNoModifier;
  qint64 lastAutoScroll_ = 0;  // ms of the clock at the last scroll step
  int autoScrollRest_ = 0;     // scroll pixels × 1000 not yet applied
  int wheelRest_ = 0;          // wheel angle × pixels per notch not yet scrolled
  int zoomWheelRest_ = 0;      // wheel angle not yet turned into a zoom step
  int paints_ = 0;
  bool painting_ = false;
  // The last paint settled its pages anew and the layout ran again: text flowing around an
  // object may have taken the caret along.
  bool paintRelaidOut_ = false;
  bool lastModified_ = false;
  bool closed_ = false;
};

}  // namespace paginor
