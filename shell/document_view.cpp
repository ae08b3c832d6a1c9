#include "shell/document_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <optional>

#include "editing/commands.h"
#include "editing/keys.h"
#include "editing/ruler.h"
#include "platform/cp1252.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_platform.h"
#include "shell/key_map.h"
#include "shell/main_form.h"
#include "shell/ruler_widget.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

// The grey of the page area around the pages.
const QColor kAreaColour(128, 128, 128);

// Scrolling while a drag holds the mouse beyond the view's edge: a tick every 30 ms, at a speed
// that grows with the distance from the edge, so a short overshoot creeps and a long one races.
// The speed is per second of the clock, not per tick, so a slow paint does not slow it down.
constexpr int kAutoScrollTickMs = 30;
constexpr int kAutoScrollBaseSpeed = 400;     // pixels per second just past the edge
constexpr int kAutoScrollSpeedPerPixel = 10;  // added per pixel of distance from the edge
constexpr int kAutoScrollMaxSpeed = 4000;
// One notch of a mouse wheel in Qt's angle units (eighths of a degree).
constexpr int kWheelNotch = 120;

// The monotonic clock the triple-click rule measures with.
int64_t nowMs() {
  static QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return clock.elapsed();
}

Qt::CursorShape qtShape(PointerShape p) {
  switch (p) {
    case PointerShape::IBeam:
      return Qt::IBeamCursor;
    case PointerShape::Arrow:
      return Qt::ArrowCursor;
    case PointerShape::Move:
      return Qt::SizeAllCursor;
    case PointerShape::SizeNwSe:
      return Qt::SizeFDiagCursor;
    case PointerShape::SizeNeSw:
      return Qt::SizeBDiagCursor;
    case PointerShape::SizeVertical:
      return Qt::SizeVerCursor;
    case PointerShape::SizeHorizontal:
      return Qt::SizeHorCursor;
    case PointerShape::Hand:
      return Qt::PointingHandCursor;
    case PointerShape::Cross:
      return Qt::CrossCursor;
    case PointerShape::Drag:
      return Qt::DragMoveCursor;
  }
  return Qt::ArrowCursor;
}

// Draws each page block into the window's off-screen bitmap and copies it onto the page area.
// The bitmap is kept between paints while the block size stays: the paint covers the whole
// block (grey area, page, shadow) before it draws, so nothing of the last page shows through.
class BlockSink : public PageBlockSink {
 public:
  BlockSink(QPainter& painter, std::unique_ptr<QtCanvas>& canvas, FontEngine& fonts, int32_t dpi)
      : painter_(painter), canvas_(canvas), fonts_(fonts), dpi_(dpi) {}
  Canvas* beginBlock(int32_t, const IntRect& block) override {
    const int32_t width = block.right - block.left, height = block.bottom - block.top;
    if (!canvas_ || canvas_->image().width() != width || canvas_->image().height() != height)
      canvas_ = std::make_unique<QtCanvas>(fonts_, dpi_, width, height);
    return canvas_.get();
  }
  void endBlock(int32_t, const IntRect& block) override {
    painter_.drawImage(QPoint(block.left, block.top), canvas_->image());
  }

 private:
  QPainter& painter_;
  std::unique_ptr<QtCanvas>& canvas_;
  FontEngine& fonts_;
  int32_t dpi_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------

PageWidget::PageWidget(DocumentWindow& owner) : QWidget(nullptr), owner_(owner) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setMouseTracking(true);
  setCursor(Qt::IBeamCursor);
}

void PageWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  owner_.paintPages(painter, event->rect());
}

void PageWidget::keyPressEvent(QKeyEvent* event) {
  owner_.handleKey(event);
}

void PageWidget::wheelEvent(QWheelEvent* event) {
  owner_.wheelEvent(event);
}

bool PageWidget::focusNextPrevChild(bool) {
  return false;
}

bool PageWidget::event(QEvent* e) {
  // Qt moves the focus on Tab before the key handler sees it; the document takes it instead.
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
      owner_.handleKey(k);
      return true;
    }
  }
  return QWidget::event(e);
}

void PageWidget::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  owner_.view_.hasFocus = true;
  update();
}

void PageWidget::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  owner_.view_.hasFocus = false;
  update();
}

// The buttons the page reacts to; the middle button is left to the scroll area.
static MouseButton ButtonOf(const QMouseEvent* e) {
  return e->button() == Qt::RightButton  ? MouseButton::Right
         : e->button() == Qt::LeftButton ? MouseButton::Left
                                         : MouseButton::None;
}

void PageWidget::mousePressEvent(QMouseEvent* e) {
  const MouseButton b = ButtonOf(e);
  if (b == MouseButton::None) return;
  owner_.applyMouseResponse(
      PaintBox1MouseDown(owner_.child(), owner_.view_, owner_.mouse_, owner_.mouseEventOf(e, b)));
}

void PageWidget::mouseMoveEvent(QMouseEvent* e) {
  owner_.applyMouseResponse(PaintBox1MouseMove(owner_.child(), owner_.view_, owner_.mouse_,
                                               owner_.mouseEventOf(e, MouseButton::None)));
  owner_.followDrag(e);
}

void PageWidget::mouseReleaseEvent(QMouseEvent* e) {
  const MouseButton b = ButtonOf(e);
  if (b == MouseButton::None) return;
  owner_.autoScroll_.stop();
  owner_.applyMouseResponse(
      PaintBox1MouseUp(owner_.child(), owner_.view_, owner_.mouse_, owner_.mouseEventOf(e, b)));
}

void PageWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return mousePressEvent(e);
  // Qt's double-click event takes the place of the second press: the double click first, then
  // the press it replaces.
  const MouseEvent me = owner_.mouseEventOf(e, MouseButton::Left);
  owner_.applyMouseResponse(PaintBox1DblClick(owner_.child(), owner_.view_, owner_.mouse_, me));
  owner_.applyMouseResponse(PaintBox1MouseDown(owner_.child(), owner_.view_, owner_.mouse_, me));
}

// ---------------------------------------------------------------------------------------------

DocumentWindow::DocumentWindow(TMainForm& main, QWidget* parent)
    : QWidget(parent), main_(main), child_(std::make_unique<TMDIChild>(main.application())) {
  child_->host = this;
  setAttribute(Qt::WA_DeleteOnClose, false);
  scroll_ = new QScrollArea(this);
  scroll_->setWidgetResizable(false);
  scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setBackgroundRole(QPalette::Dark);
  scroll_->setFocusPolicy(Qt::NoFocus);
  page_ = new PageWidget(*this);
  page_->resize(1, 1);
  scroll_->setWidget(page_);
  // The rulers stand right against the scroll box, so ruler pixels are page-view pixels.
  tabSelector_ = new TabSelector(*this);
  hRuler_ = new HorizontalRuler(*this);
  vRuler_ = new VerticalRuler(*this);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(tabSelector_, 0, 0);
  layout->addWidget(hRuler_, 0, 1);
  layout->addWidget(vRuler_, 1, 0);
  layout->addWidget(scroll_, 1, 1);
  setRulersVisible(main.settings().rulerVisible);
  setFocusProxy(page_);
  // The scroll area's own wheel step and resize go through the view's rules.
  scroll_->viewport()->installEventFilter(this);

  view_.options.markAll = main.showMarks();
  timer2_.setSingleShot(true);
  timer2_.setInterval(1);
  connect(&timer2_, &QTimer::timeout, this, [this] { repaintNow(); });
  connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { readScrollBox(); });
  connect(scroll_->horizontalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { readScrollBox(); });
  autoScroll_.setInterval(kAutoScrollTickMs);
  connect(&autoScroll_, &QTimer::timeout, this, [this] { autoScrollStep(); });
}

DocumentWindow::~DocumentWindow() = default;

void DocumentWindow::updateCaption() {
  // The engine keeps the caption in step with the modified flag (SetFileChanged); a window
  // that was never touched still shows its file name.
  std::string caption = child_->caption;
  if (caption.empty())
    caption = cp1252ToUtf8(child_->doc.fileName) + (child_->doc.modified ? "*" : "");
  const QString text = EngineText(caption);
  if (windowTitle() != text) setWindowTitle(text);
  if (parentWidget() && parentWidget()->windowTitle() != text) parentWidget()->setWindowTitle(text);
}

void DocumentWindow::readScrollBox() {
  ScrollBoxState& b = view_.box;
  b.width = scroll_->width();
  b.height = scroll_->height();
  const int bar = scroll_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
  b.vScrollBarWidth = bar;
  b.hScrollBarHeight = bar;
  b.clientWidth = scroll_->viewport()->width();
  b.clientHeight = scroll_->viewport()->height();
  b.scrollX = scroll_->horizontalScrollBar()->value();
  b.scrollY = scroll_->verticalScrollBar()->value();
}

void DocumentWindow::paintPages(QPainter& painter, const QRect& dirty) {
  painter.fillRect(dirty, kAreaColour);
  if (painting_) return;
  painting_ = true;
  readScrollBox();
  BlockSink sink(painter, blockCanvas_, main_.application().fonts(), main_.platform().screenDpi);
  const PaintResult r = PaintBox1Paint(*child_, view_, sink);
  painting_ = false;
  paintRelaidOut_ = r.draw.relaidOut || r.sizeChanged;
  if (r.sizeChanged) {
    // The pages no longer fit the page area: resize it and paint again, outside this paint.
    QTimer::singleShot(0, this, [this] {
      page_->resize(view_.geometry.areaWidth, static_cast<int>(view_.geometry.areaHeight));
      page_->update();
    });
    return;
  }
  const CaretState& c = view_.caret;
  if (c.placed && c.visible) {
    // The caret inverts what lies under it, as the system caret does.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(QRect(c.x, static_cast<int>(c.y), c.width, c.height), Qt::white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  if (view_.dropCaret) {
    const IntRect& d = *view_.dropCaret;
    painter.fillRect(QRect(d.left, d.top, d.right - d.left, d.bottom - d.top), Qt::black);
  }
  guideShown_.reset();
  if (view_.ruler.drag.guideX) {
    // The ruler drag's guide line: dotted, inverting what lies under it.
    const int x = *view_.ruler.drag.guideX + static_cast<int>(view_.box.scrollX);
    const int top = static_cast<int>(view_.box.scrollY);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (int y = top - top % 2; y < top + view_.box.clientHeight; y += 2)
      painter.fillRect(QRect(x, y, 1, 1), Qt::white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    guideShown_ = x;
  }
  if (hRuler_ && hRuler_->isVisible()) {
    hRuler_->update();
    vRuler_->update();
  }
  ++paints_;
  // Page and line in the status bar are this window's to show while it is the active one.
  main_.documentPainted(this);
  afterEngine();
}

void DocumentWindow::setRulersVisible(bool on) {
  hRuler_->setVisible(on);
  vRuler_->setVisible(on);
  tabSelector_->setVisible(on);
}

void DocumentWindow::showGuideLine() {
  const int height = static_cast<int>(view_.geometry.areaHeight);
  if (guideShown_) page_->update(QRect(*guideShown_, 0, 1, height));
  if (view_.ruler.drag.guideX)
    page_->update(
        QRect(*view_.ruler.drag.guideX + static_cast<int>(view_.box.scrollX), 0, 1, height));
}

void DocumentWindow::repaintNow() {
  timer2_.stop();
  // Scrolling first lets this one paint show the caret wherever the edits since the last paint
  // took it; a paint at the old place and another after the scroll would show it late.
  scrollToCursor();
  paintRelaidOut_ = false;
  page_->repaint();
  if (paintRelaidOut_) scrollToCursor();
}

void DocumentWindow::restartRepaintTimer() {
  timer2_.start();
}

void DocumentWindow::scrollCursorIntoView() {
  // Scrolling now and painting when the timer fires would paint twice.
  if (timer2_.isActive()) return;
  scrollToCursor();
}

void DocumentWindow::scrollToCursor() {
  readScrollBox();
  UpdateWindowGeometry(*child_, view_);
  const QSize area(view_.geometry.areaWidth, static_cast<int>(view_.geometry.areaHeight));
  if (page_->size() != area) page_->resize(area);
  const int64_t y = ScrollCursorinView(*child_, view_);
  if (y != view_.box.scrollY) scroll_->verticalScrollBar()->setValue(static_cast<int>(y));
}

void DocumentWindow::scrollViewBy(int pixels) {
  QScrollBar* bar = scroll_->verticalScrollBar();
  bar->setValue(bar->value() + pixels);
}

void DocumentWindow::setUndoButtons(const UndoButtons& state) {
  undo_ = state;
  main_.undoButtonsChanged(this);
}

void DocumentWindow::afterEngine() {
  updateCaption();
  if (child_->doc.modified != (lastModified_ ? 1 : 0)) {
    lastModified_ = child_->doc.modified != 0;
    main_.documentModifiedChanged(this);
  }
}

bool DocumentWindow::applyZoomText(const QString& text) {
  readScrollBox();
  const double before = child_->doc.zoomPercent;
  const int32_t modeBefore = child_->doc.zoomMode;
  ApplyZoomText(*child_, view_, text.toStdString());
  return before != child_->doc.zoomPercent || modeBefore != child_->doc.zoomMode;
}

void DocumentWindow::setShowMarks(bool on) {
  if (view_.options.markAll == on) return;
  view_.options.markAll = on;
  restartRepaintTimer();
}

void DocumentWindow::setPageView(bool on) {
  if (view_.pageView == on) return;
  readScrollBox();
  const std::string text = Seitenansicht(*child_, view_, on);
  main_.showZoomText(this, EngineText(text));
  restartRepaintTimer();
}

void DocumentWindow::fitZoom() {
  readScrollBox();
  if (FormResize(*child_, view_)) main_.showZoomOf(this);
}

void DocumentWindow::handleKey(QKeyEvent* event) {
  const int key = VirtualKeyOf(event->key(), event->modifiers() & Qt::KeypadModifier);
  const Modifiers mods = ModifiersOf(event->modifiers().toInt());
  // A note about a refused character stays until the next key.
  if (!note_.isEmpty()) {
    if (main_.statusPanel(3)->text() == note_) main_.statusText(3, QString());
    note_.clear();
  }
  event->accept();
  // During a ruler drag undo and redo wait: the drop applies to the paragraph it started on.
  if (const CommandId id = EditShortcutCommand(key, mods);
      id != CommandId::None && !EditingOf(*child_).rulerDragging) {
    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z are commands; neither the key nor its text reaches the
    // editor.
    RunDocumentCommand(*child_, id);
    afterEngine();
    return;
  }
  if (key != 0) {
    const KeyResponse r = getkeysKeyDown(*child_, key, mods);
    if (r.scrollBy != 0) scrollViewBy(r.scrollBy);
    if (r.forRuler && !EditingOf(*child_).rulerDragging) {
      // Esc ended the ruler drag: nothing is dropped, the guide line goes.
      RulerCancel(*child_, view_);
      showGuideLine();
      hRuler_->update();
    }
  }
  const QString text = event->text();
  if (TypesText(mods) && !text.isEmpty()) {
    const auto chars = Cp1252CharactersOf(text);
    if (!chars) {
      // The document's character set has no such character: nothing is inserted, and the user
      // is told why.
      QApplication::beep();
      note_ = UntypableCharacterText(text);
      main_.statusText(3, note_);
    } else {
      for (uint8_t ch : *chars) getkeysKeyPress(*child_, ch);
    }
  }
  afterEngine();
}

MouseEvent DocumentWindow::mouseEventOf(QMouseEvent* e, MouseButton button) const {
  MouseEvent m;
  m.button = button;
  m.modifiers = ModifiersOf(e->modifiers().toInt());
  const QPointF p = e->position();
  m.x = static_cast<int32_t>(p.x());
  m.y = static_cast<int64_t>(p.y());
  m.timeMs = nowMs();
  return m;
}

void DocumentWindow::applyMouseResponse(const MouseResponse& r) {
  if (r.takeFocus) page_->setFocus(Qt::MouseFocusReason);
  if (r.setPointer) page_->setCursor(qtShape(r.pointer));
  if (r.contextMenu) {
    main_.updateMenuState();
    const QPoint at = page_->mapToGlobal(QPoint(r.menuX, static_cast<int>(r.menuY)));
    main_.contextMenu()->popup(at);
  }
  afterEngine();
}

void DocumentWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  fitZoom();
  restartRepaintTimer();
}

void DocumentWindow::wheelEvent(QWheelEvent* event) {
  const int dy = event->angleDelta().y();
  if (dy == 0) return QWidget::wheelEvent(event);
  event->accept();
  if (event->modifiers() & Qt::ControlModifier) {
    wheelZoom(dy);
    return;
  }
  // 50 pixels per notch; wheels with finer steps (touchpads, free-spinning wheels) send parts
  // of a notch, which scroll their part and carry the rest over. A turn back starts afresh.
  if (wheelRest_ != 0 && (wheelRest_ > 0) != (dy < 0)) wheelRest_ = 0;
  wheelRest_ += -dy * kWheelStep;
  const int pixels = wheelRest_ / kWheelNotch;
  wheelRest_ -= pixels * kWheelNotch;
  if (pixels == 0) return;
  readScrollBox();
  const int64_t limit = std::max<int64_t>(0, view_.geometry.areaHeight - view_.box.clientHeight);
  const int64_t target = std::clamp<int64_t>(view_.box.scrollY + pixels, 0, limit);
  scroll_->verticalScrollBar()->setValue(static_cast<int>(target));
}

void DocumentWindow::wheelZoom(int angle) {
  if (zoomWheelRest_ != 0 && (zoomWheelRest_ < 0) != (angle < 0)) zoomWheelRest_ = 0;
  zoomWheelRest_ += angle;
  double zoom = child_->doc.zoomPercent;
  bool changed = false;
  while (std::abs(zoomWheelRest_) >= kWheelNotch) {
    const bool larger = zoomWheelRest_ > 0;
    zoomWheelRest_ += larger ? -kWheelNotch : kWheelNotch;
    if (const std::optional<double> next = ZoomStep(zoom, larger)) {
      zoom = *next;
      changed = true;
    }
  }
  if (!changed) return;
  // Through the zoom box's rules, as if the step had been chosen there.
  applyZoomText(QString::number(zoom) + '%');
  main_.showZoomOf(this);
}

void DocumentWindow::followDrag(QMouseEvent* e) {
  const bool dragging = mouse_.leftDown && (mouse_.dragSelect || mouse_.textDrag);
  if (!dragging) {
    autoScroll_.stop();
    return;
  }
  dragPoint_ = page_->mapTo(scroll_->viewport(), e->position().toPoint());
  dragModifiers_ = ModifiersOf(e->modifiers().toInt());
  const bool beyond = dragPoint_.y() < 0 || dragPoint_.y() >= scroll_->viewport()->height();
  if (!beyond) {
    autoScroll_.stop();
  } else if (!autoScroll_.isActive()) {
    lastAutoScroll_ = nowMs();
    autoScrollRest_ = 0;
    autoScroll_.start();
  }
}

void DocumentWindow::autoScrollStep() {
  const int height = scroll_->viewport()->height();
  const int over = dragPoint_.y() < 0 ? -dragPoint_.y() : dragPoint_.y() - (height - 1);
  if (!mouse_.leftDown || !(mouse_.dragSelect || mouse_.textDrag) || over <= 0 || closed_) {
    autoScroll_.stop();
    return;
  }
  const qint64 now = nowMs();
  const qint64 elapsed = std::min<qint64>(now - lastAutoScroll_, 250);
  lastAutoScroll_ = now;
  const int speed =
      std::min(kAutoScrollBaseSpeed + kAutoScrollSpeedPerPixel * over, kAutoScrollMaxSpeed);
  autoScrollRest_ += static_cast<int>(speed * elapsed);
  const int pixels = autoScrollRest_ / 1000;
  autoScrollRest_ -= pixels * 1000;
  if (pixels == 0) return;
  QScrollBar* bar = scroll_->verticalScrollBar();
  const int before = bar->value();
  bar->setValue(before + (dragPoint_.y() < 0 ? -pixels : pixels));
  if (bar->value() == before) return;  // at the end of the pages
  // The Cursor follows to the text now under the mouse, as a move of the mouse would take it.
  const QPoint onPage = page_->mapFrom(scroll_->viewport(), dragPoint_);
  MouseEvent m;
  m.button = MouseButton::None;
  m.modifiers = dragModifiers_;
  m.x = onPage.x();
  m.y = onPage.y();
  m.timeMs = now;
  applyMouseResponse(PaintBox1MouseMove(*child_, view_, mouse_, m));
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == scroll_->viewport()) {
    if (event->type() == QEvent::Wheel) {
      wheelEvent(static_cast<QWheelEvent*>(event));
      return true;
    }
    if (event->type() == QEvent::Resize) fitZoom();
    if (event->type() == QEvent::MouseButtonPress) page_->setFocus(Qt::MouseFocusReason);
  }
  return QWidget::eventFilter(watched, event);
}

bool DocumentWindow::focusNextPrevChild(bool) {
  return false;
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
  if (!closed_ && !main_.askToSave(*this)) {
    event->ignore();
    return;
  }
  closed_ = true;
  timer2_.stop();
  autoScroll_.stop();
  event->accept();
}

}  // namespace paginor
