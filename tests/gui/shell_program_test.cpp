// The real program, started as a user would: the hidden screenshot mode renders the example and
// writes a PNG; bad options get a German message and no picture.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QProcess>

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
