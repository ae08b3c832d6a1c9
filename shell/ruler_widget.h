// The rulers of a document window: the horizontal ruler above the page view (24 pixels high),
// the vertical ruler left of it (24 pixels wide) and the tab selector in the corner between
// them. They draw the engine's pictures (view/ruler.h) and pass the mouse on to the ruler drag
// (editing/ruler.h); the window's page view draws the drag's guide line.
#pragma once

#include <QWidget>

namespace paginor {

class DocumentWindow;

class HorizontalRuler : public QWidget {
 public:
  explicit HorizontalRuler(DocumentWindow& owner);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // After the drag moved: this ruler and the guide line on the page.
  void dragChanged();
  DocumentWindow& owner_;
};

class VerticalRuler : public QWidget {
 public:
  explicit VerticalRuler(DocumentWindow& owner);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  DocumentWindow& owner_;
};

// Shows the kind of tab stop a click on the ruler makes; a press selects the next kind. The
// kind is the application's, so every window's selector shows the same.
class TabSelector : public QWidget {
 public:
  explicit TabSelector(DocumentWindow& owner);
  QSize sizeHint() const override;
  // The hint follows the kind.
  void kindChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  DocumentWindow& owner_;
};

}  // namespace paginor
