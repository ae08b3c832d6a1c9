// The real program with the Cursor in a text box: the hatched ring marks the box, the box itself
// keeps its background and its text readable.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QProcess>

#include "gui/gui_test_support.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"

namespace paginor::test {
namespace {

TEST(ShellTextBox, TheHatchRingsATextBoxWithTheCursorWithoutCoveringIt) {
  const std::string dir = TempDir("shell_text_box");
  const std::string copy = dir + "/kasten.sbl";
  {
    Fixture fx;
    ASSERT_TRUE(test::Shown(fx.w(), OpenSBLFile(fx.w(), ExampleDocument())));
    Document& d = fx.doc();
    int32_t box = -1;
    for (int32_t i = 0; i < d.fieldCount() && box < 0; ++i)
      if (d.fields[i].type == kFieldTextBox) box = i;
    ASSERT_GE(box, 0);
    d.Cursor = d.Anchor = CursorPos{box, 0, 3};
    d.currentPage = d.fields[box].page;
    ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), copy)));
  }
  const QString png = QString::fromStdString(dir + "/kasten.png");
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  p.start(PAGINOR_GUI, {"--screenshot", png, "--zoom", "100", "--size", "900x2600",
                        QString::fromStdString(copy)});
  ASSERT_TRUE(p.waitForFinished(60000));
  ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  QImage image(png);
  ASSERT_FALSE(image.isNull());
  // The example's text box is pale yellow, and nothing else on its pages is.
  int yellow = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      yellow += c.red() > 230 && c.green() > 230 && c.blue() > 150 && c.blue() < 225;
    }
  EXPECT_GT(yellow, 12000) << "the box's background shows inside the hatched ring";
}

}  // namespace
}  // namespace paginor::test
