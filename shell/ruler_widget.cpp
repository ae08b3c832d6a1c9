#include "shell/ruler_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "editing/ruler.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_platform.h"
#include "shell/document_view.h"
#include "shell/main_form.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {

namespace {

Colour EngineColour(const QColor& c) {
  return static_cast<Colour>(c.red() | c.green() << 8 | c.blue() << 16);
}

Colour FaceColour(const QWidget& w) {
  return EngineColour(w.palette().color(QPalette::Button));
}

MouseButton RulerButton(const QMouseEvent* e) {
  return e->button() == Qt::RightButton  ? MouseButton::Right
         : e->button() == Qt::LeftButton ? MouseButton::Left
                                         : MouseButton::None;
}

int EventX(const QMouseEvent* e) {
  return static_cast<int>(e->position().x());
}
int EventY(const QMouseEvent* e) {
  return static_cast<int>(e->position().y());
}

// The ruler pictures are drawn off-screen at the screen's resolution, then copied.
template <typename Draw>
void PaintOffScreen(QWidget& w, DocumentWindow& owner, Draw&& draw) {
  TMainForm& main = owner.mainForm();
  QtCanvas canvas(main.application().fonts(), main.platform().screenDpi, w.width(), w.height());
  draw(canvas);
  QPainter painter(&w);
  painter.drawImage(QPoint(0, 0), canvas.image());
}

}  // namespace

// ---------------------------------------------------------------------------------------------

HorizontalRuler::HorizontalRuler(DocumentWindow& owner) : QWidget(&owner), owner_(owner) {
  setFixedHeight(kRulerSize);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  // The right button drags freely here; it opens no menu.
  setContextMenuPolicy(Qt::PreventContextMenu);
}

QSize HorizontalRuler::sizeHint() const {
  return {200, kRulerSize};
}

void HorizontalRuler::paintEvent(QPaintEvent*) {
  PaintOffScreen(*this, owner_, [&](QtCanvas& c) {
    PaintHorizontalRuler(c, owner_.mainForm().application().fonts(), owner_.view().ruler, width(),
                         FaceColour(*this));
  });
}

void HorizontalRuler::mousePressEvent(QMouseEvent* e) {
  const MouseButton b = RulerButton(e);
  if (b == MouseButton::None) return;
  if (RulerMouseDown(owner_.child(), owner_.view(), EventX(e), EventY(e), b, width(),
                     owner_.mainForm().rulerTabKind()))
    dragChanged();
}

void HorizontalRuler::mouseMoveEvent(QMouseEvent* e) {
  if (RulerMouseMove(owner_.child(), owner_.view(), EventX(e), EventY(e), width())) dragChanged();
}

void HorizontalRuler::mouseReleaseEvent(QMouseEvent* e) {
  if (RulerButton(e) == MouseButton::None) return;
  RulerMouseUp(owner_.child(), owner_.view(), EventX(e), EventY(e), width());
  dragChanged();
  owner_.afterCommand();
}

void HorizontalRuler::dragChanged() {
  update();
  owner_.showGuideLine();
}

// ---------------------------------------------------------------------------------------------

VerticalRuler::VerticalRuler(DocumentWindow& owner) : QWidget(&owner), owner_(owner) {
  setFixedWidth(kRulerSize);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

QSize VerticalRuler::sizeHint() const {
  return {kRulerSize, 200};
}

void VerticalRuler::paintEvent(QPaintEvent*) {
  PaintOffScreen(*this, owner_, [&](QtCanvas& c) {
    PaintVerticalRuler(c, owner_.mainForm().application().fonts(), owner_.view().ruler.state,
                       height(), FaceColour(*this));
  });
}

// ---------------------------------------------------------------------------------------------

TabSelector::TabSelector(DocumentWindow& owner) : QWidget(&owner), owner_(owner) {
  setFixedSize(kRulerSize, kRulerSize);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setContextMenuPolicy(Qt::PreventContextMenu);
  kindChanged();
}

QSize TabSelector::sizeHint() const {
  return {kRulerSize, kRulerSize};
}

void TabSelector::kindChanged() {
  setToolTip(QString::fromUtf8(TabSelectorHint(owner_.mainForm().rulerTabKind())));
  update();
}

void TabSelector::paintEvent(QPaintEvent*) {
  PaintOffScreen(*this, owner_, [&](QtCanvas& c) {
    PaintTabSelector(c, owner_.mainForm().rulerTabKind(), width(), height(), FaceColour(*this));
  });
}

void TabSelector::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
  TMainForm& main = owner_.mainForm();
  main.setRulerTabKind(NextTabKind(main.rulerTabKind()));
}

}  // namespace paginor
