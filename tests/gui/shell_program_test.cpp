// The real program, started as a user would: the hidden screenshot mode renders the example and
// writes a PNG; bad options get a German message and no picture.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QProcess>

#include <algorithm>
#include <filesystem>

#include "gui/gui_test_support.h"
#include "support/test_support.h"

namespace paginor::test {
namespace {

struct ProgramRun {
  int exitCode = -1;
  QString errors;
};

ProgramRun runProgram(const QStringList& args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  p.start(PAGINOR_GUI, args);
  ProgramRun r;
  if (!p.waitForFinished(60000)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
  r.errors = QString::fromUtf8(p.readAllStandardError());
  return r;
}

TEST(ShellProgram, ScreenshotOfTheExample) {
  const std::string dir = TempDir("shell_program");
  const QString png = QString::fromStdString(dir + "/beispiel.png");
  const ProgramRun r =
      runProgram({"--screenshot", png, "--size", "900x700", "--zoom", "Ganze Seite", "--show-marks",
                  "--select-all", QString::fromStdString(ExampleDocument())});
  ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
  QImage image(png);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(900, 700));
  // The page (white), the grey area around it and dark text or inverted marking are there.
  int white = 0, dark = 0;
  for (int y = 0; y < image.height(); y += 3)
    for (int x = 0; x < image.width(); x += 3) {
      const QColor c = image.pixelColor(x, y);
      if (c.lightness() > 250) ++white;
      if (c.lightness() < 60) ++dark;
    }
  EXPECT_GT(white, 5000);
  EXPECT_GT(dark, 200);
}

// The longest run of white pixels in any column of the picture: a page shows as a white column
// as high as the page (its left margin holds no text).
int longestWhiteColumnRun(const QImage& image, int* runs = nullptr, int minRun = 0) {
  int longest = 0;
  for (int x = 0; x < image.width(); ++x) {
    int run = 0, count = 0;
    for (int y = 0; y <= image.height(); ++y) {
      if (y < image.height() && image.pixelColor(x, y).lightness() > 250) {
        ++run;
        continue;
      }
      longest = std::max(longest, run);
      if (minRun > 0 && run >= minRun) ++count;
      run = 0;
    }
    if (runs) *runs = std::max(*runs, count);
  }
  return longest;
}

TEST(ShellProgram, PagesShorterThanTheWindowAreDrawnWhole) {
  // At 50 % the example's two A4 pages (561 pixels high each at 96 pixels per inch) stand in a
  // window far higher than both: the stack is centred and both pages show whole.
  const std::string dir = TempDir("shell_program_short");
  const QString png = QString::fromStdString(dir + "/kurz.png");
  const ProgramRun r = runProgram({"--screenshot", png, "--zoom", "50", "--size", "1400x2400",
                                   QString::fromStdString(ExampleDocument())});
  ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
  QImage image(png);
  ASSERT_EQ(image.size(), QSize(1400, 2400));
  int pagesSeen = 0;
  const int longest = longestWhiteColumnRun(image, &pagesSeen, 540);
  EXPECT_EQ(pagesSeen, 2) << "two whole pages in one column of the picture";
  EXPECT_LE(longest, 562);
  // The pair stands in the middle: as much grey above the first page as below the second.
  // The page view begins where its grey begins, below the toolbars and the ruler.
  int viewTop = 100;
  while (viewTop < image.height() / 2 && image.pixelColor(700, viewTop).lightness() > 160)
    ++viewTop;
  int top = -1, bottom = -1;
  for (int y = viewTop; y < image.height() - 40; ++y) {
    if (image.pixelColor(700, y).lightness() > 250) {
      if (top < 0) top = y;
      bottom = y;
    }
  }
  ASSERT_GT(top, viewTop);
  EXPECT_NEAR(top - viewTop, image.height() - 40 - bottom, 120);
}

TEST(ShellProgram, OpensAFileWhoseNameIsNotUtf8) {
  // "Alte Änderung.sbl" as an older disk stores it, in Latin-1: the shell hands the program the
  // bytes as they are (a QProcess argument could only carry UTF-8).
  const std::string dir = TempDir("shell_program_latin1");
  const std::string name = dir + "/Alte \xC4nderung.sbl";
  std::filesystem::copy_file(ExampleDocument(), name);
  const QString png = QString::fromStdString(dir + "/alt.png");
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  p.start("/bin/sh",
          {"-c", "exec \"$0\" --screenshot \"$1\" \"$(printf '%s/Alte \\304nderung.sbl' \"$2\")\"",
           PAGINOR_GUI, png, QString::fromStdString(dir)});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  EXPECT_FALSE(QImage(png).isNull());
}

TEST(ShellProgram, BadScreenshotArgumentsAreRefusedInGerman) {
  const std::string dir = TempDir("shell_program_bad");
  const QString png = QString::fromStdString(dir + "/x.png");
  ProgramRun r = runProgram(
      {"--screenshot", png, "--size", "riesig", QString::fromStdString(ExampleDocument())});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.errors.contains(QString::fromUtf8("Ungültige Fenstergröße")))
      << r.errors.toStdString();
  r = runProgram({"--screenshot", png, QString::fromStdString(dir + "/fehlt.sbl")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.errors.contains("fehlt.sbl")) << r.errors.toStdString();
  EXPECT_FALSE(std::filesystem::exists(png.toStdString()));
}

}  // namespace
}  // namespace paginor::test
