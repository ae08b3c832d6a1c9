// The desktop program under a real X server with keys and mouse from xdotool, as a user's
// keyboard and mouse reach it: through the window system, Qt's shortcut map and its event
// propagation. Runs in the Xvfb pass of the tests when xdotool is installed; skipped elsewhere.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMdiSubWindow>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>

#include <functional>

#include "gui/gui_test_support.h"
#include "window/document_window.h"

namespace paginor::test {
namespace {

bool waitFor(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

void pump(int ms) {
  waitFor([] { return false; }, ms);
}

// Runs xdotool and lets the program take the events it caused.
void xdo(const QStringList& args) {
  QProcess p;
  p.start(QStandardPaths::findExecutable("xdotool"), args);
  p.waitForFinished(10000);
  pump(150);
}

void moveTo(QWidget* widget, QPoint at) {
  const QPoint g = widget->mapToGlobal(at);
  xdo({"mousemove", QString::number(g.x()), QString::number(g.y())});
}

// Switches the X server's keyboard layout for as long as it lives (back to "us" after).
class KeyboardLayout {
 public:
  explicit KeyboardLayout(const QString& layout) { set(layout); }
  ~KeyboardLayout() { set("us"); }

 private:
  static void set(const QString& layout) {
    QProcess p;
    p.start(QStandardPaths::findExecutable("setxkbmap"), {layout});
    p.waitForFinished(10000);
    pump(300);  // Qt reads the new key map when the server announces it
  }
};

class ShellUnderX : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server";
    for (const char* tool : {"xdotool", "setxkbmap"})
      if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << "needs " << tool;
  }
};

TEST_F(ShellUnderX, KeysFromTheKeyboard) {
  GuiFixture f;
  DocumentWindow* w = f.form->newDocument();
  GuiFixture::settle(w);
  moveTo(w->pageWidget(), QPoint(200, 150));
  xdo({"click", "1"});
  ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == w->pageWidget(); }));

  xdo({"type", "--delay", "30", "Wort"});
  ASSERT_TRUE(waitFor([&] { return BodyText(w->child()) == "Wort"; })) << BodyText(w->child());
  // Ctrl+Z and Ctrl+Y reach the document window, not as characters.
  xdo({"key", "ctrl+z"});
  EXPECT_TRUE(waitFor([&] { return BodyText(w->child()).empty(); })) << BodyText(w->child());
  xdo({"key", "ctrl+y"});
  EXPECT_TRUE(waitFor([&] { return BodyText(w->child()) == "Wort"; })) << BodyText(w->child());
  xdo({"key", "ctrl+shift+z"});
  EXPECT_EQ(BodyText(w->child()), "Wort");

  // The keypad's minus with Ctrl sets no soft hyphen; the main keyboard's does.
  xdo({"key", "Home"});
  const LineRec& line = w->child().doc.fields[w->child().doc.Cursor.field].lines[0];
  xdo({"key", "ctrl+KP_Subtract"});
  EXPECT_EQ(line.chars[0].charFlags & 1, 0);
  xdo({"key", "ctrl+minus"});
  EXPECT_TRUE(waitFor([&] { return (line.chars[0].charFlags & 1) == 1; }));

  // Characters the document's code page lacks, from keyboards that have them: the German
  // layout's AltGr+I gives "→", the Polish one's AltGr+L "ł". Nothing is typed, and the status
  // bar says which character it was.
  xdo({"key", "End"});
  QLabel* note = f.form->statusPanel(3);
  {
    KeyboardLayout german("de");
    xdo({"key", "ISO_Level3_Shift+i"});
    EXPECT_TRUE(waitFor([&] { return note->text().contains("U+2192"); }))
        << note->text().toStdString();
  }
  {
    KeyboardLayout polish("pl");
    xdo({"key", "ISO_Level3_Shift+l"});
    EXPECT_TRUE(waitFor([&] { return note->text().contains("U+0142"); }))
        << note->text().toStdString();
  }
  EXPECT_EQ(BodyText(w->child()), "Wort");
  // The next key that types clears the note.
  xdo({"type", "s"});
  EXPECT_TRUE(waitFor([&] { return BodyText(w->child()) == "Worts"; }));
  EXPECT_EQ(note->text(), "");
}

TEST_F(ShellUnderX, WheelAndDraggingPastTheEdge) {
  GuiFixture f;
  DocumentWindow* w = f.form->openDocument(ExampleDocument());
  ASSERT_NE(w, nullptr);
  GuiFixture::settle(w);
  QScrollBar* bar = w->scrollArea()->verticalScrollBar();
  QWidget* viewport = w->scrollArea()->viewport();
  moveTo(viewport, QPoint(viewport->width() / 2, 100));
  const int start = bar->value();
  xdo({"click", "5"});
  EXPECT_TRUE(waitFor([&] { return bar->value() == start + 50; })) << bar->value() - start;
  xdo({"click", "4"});
  EXPECT_TRUE(waitFor([&] { return bar->value() == start; })) << bar->value() - start;

  // Ctrl with the wheel: the zoom box's next step.
  xdo({"keydown", "ctrl"});
  xdo({"click", "4"});
  xdo({"keyup", "ctrl"});
  EXPECT_TRUE(waitFor([&] { return w->child().doc.zoomPercent == 150.0; }))
      << w->child().doc.zoomPercent;
  f.form->applyZoomText("100%");
  GuiFixture::settle(w);

  // Marking by dragging past the bottom edge and holding still there.
  moveTo(viewport, QPoint(viewport->width() / 2, viewport->height() / 2));
  xdo({"mousedown", "1"});
  moveTo(viewport, QPoint(viewport->width() / 2, viewport->height() + 30));
  const int before = bar->value();
  pump(1000);
  xdo({"mouseup", "1"});
  EXPECT_GE(bar->value() - before, 300);
  EXPECT_NE(w->child().doc.Anchor, w->child().doc.Cursor);
}

}  // namespace
}  // namespace paginor::test
