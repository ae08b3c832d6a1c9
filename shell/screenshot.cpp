#include "shell/screenshot.h"

#include <QApplication>
#include <QImage>
#include <QMdiSubWindow>
#include <QPixmap>

#include <cstdio>

#include "editing/keys.h"
#include "platform/qt/qt_platform.h"
#include "shell/document_view.h"
#include "shell/main_form.h"
#include "window/document_window.h"

namespace paginor {

namespace {

// Lets the window system and the repaint timer finish: layout, resizes, zoom fitting and the
// paints they cause.
void settle(DocumentWindow* w) {
  for (int round = 0; round < 20; ++round) {
    QApplication::processEvents();
    QApplication::sendPostedEvents();
    if (!w || !w->repaintPending()) {
      if (round >= 3) break;
    }
  }
  if (w) w->repaintNow();
  QApplication::processEvents();
}

}  // namespace

bool ParseScreenshotOptions(const std::vector<std::string>& raw, ScreenshotOptions& out,
                            QString& error) {
  QStringList args;
  for (const std::string& a : raw) args << EngineText(a);
  if (!args.contains("--screenshot")) return false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&](const char* name) -> QString {
      if (i + 1 >= args.size()) {
        error = QString("Die Option %1 braucht einen Wert.").arg(name);
        return {};
      }
      return args[++i];
    };
    if (a == "--screenshot") {
      out.output = value("--screenshot");
    } else if (a == "--zoom") {
      out.zoom = value("--zoom");
    } else if (a == "--show-marks") {
      out.showMarks = true;
    } else if (a == "--select-all") {
      out.selectAll = true;
    } else if (a == "--size") {
      const QString v = value("--size");
      const QStringList wh = v.split('x');
      bool okW = false, okH = false;
      const int width = wh.size() == 2 ? wh[0].toInt(&okW) : 0;
      const int height = wh.size() == 2 ? wh[1].toInt(&okH) : 0;
      if (!okW || !okH || width < 200 || height < 150 || width > 8000 || height > 8000) {
        if (error.isEmpty())
          error = QString("Ungültige Fenstergröße \"%1\" (erwartet z. B. 1024x768).").arg(v);
      } else {
        out.size = QSize(width, height);
      }
    } else if (a.startsWith("--")) {
      if (error.isEmpty()) error = QString("Unbekannte Option %1.").arg(a);
    } else if (out.file.isEmpty()) {
      out.file = a;
      out.fileBytes = raw[static_cast<size_t>(i)];
    } else if (error.isEmpty()) {
      error = QString("Nur eine Datei kann aufgenommen werden, nicht auch \"%1\".").arg(a);
    }
  }
  if (error.isEmpty() && out.output.isEmpty())
    error = "Die Option --screenshot braucht den Namen der PNG-Datei.";
  if (error.isEmpty() && out.file.isEmpty()) error = "Es wurde kein Dokument angegeben.";
  return true;
}

int ReportScreenshotError(const QString& error) {
  std::fprintf(stderr, "paginor: %s\n", error.toUtf8().constData());
  return 2;
}

int RunScreenshot(TMainForm& form, const ScreenshotOptions& options) {
  form.resize(options.size);
  form.show();
  QApplication::processEvents();
  DocumentWindow* w = form.openDocument(options.fileBytes);
  if (!w)
    return ReportScreenshotError(
        QString("Das Dokument \"%1\" konnte nicht geöffnet werden.").arg(options.file));
  if (QMdiSubWindow* sub = form.subWindowOf(w)) sub->showMaximized();
  settle(w);
  if (!options.zoom.isEmpty()) {
    w->applyZoomText(options.zoom);
    form.showZoomOf(w);
  }
  if (options.showMarks) form.setShowMarks(true);
  if (options.selectAll) getkeysKeyDown(w->child(), 'A', kCtrl);
  settle(w);
  const QImage image = form.grab().toImage();
  if (image.isNull() || !image.save(options.output, "PNG"))
    return ReportScreenshotError(
        QString("Das Bild \"%1\" konnte nicht geschrieben werden.").arg(options.output));
  return 0;
}

}  // namespace paginor
