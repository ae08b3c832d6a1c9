#include "shell/screenshot.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

#include "editing/commands.h"
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

// The menu item named by its caption without '&' and the dots of "...".
CommandId commandNamed(const QString& name) {
  for (const Command& c : AllCommands()) {
    QString caption = QString::fromUtf8(c.caption);
    caption.remove('&');
    while (caption.endsWith('.')) caption.chop(1);
    if (!caption.isEmpty() && caption.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
      return c.id;
  }
  return CommandId::None;
}

// Runs the menu item and renders the modal dialog it opens, which is then cancelled.
int shootDialog(TMainForm& form, const ScreenshotOptions& options) {
  const CommandId id = commandNamed(options.dialog);
  if (id == CommandId::None)
    return ReportScreenshotError(QString("Es gibt keinen Menübefehl \"%1\".").arg(options.dialog));
  bool saved = false, shown = false;
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    poll.stop();
    shown = true;
    dialog->adjustSize();
    QApplication::processEvents();
    const QImage image = dialog->grab().toImage();
    saved = !image.isNull() && image.save(options.output, "PNG");
    if (auto* d = qobject_cast<QDialog*>(dialog))
      d->reject();
    else
      dialog->close();
  });
  poll.start();
  form.runCommand(id);
  poll.stop();
  if (!shown)
    return ReportScreenshotError(
        QString("Der Menübefehl \"%1\" hat keinen Dialog geöffnet.").arg(options.dialog));
  if (!saved)
    return ReportScreenshotError(
        QString("Das Bild \"%1\" konnte nicht geschrieben werden.").arg(options.output));
  return 0;
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
    } else if (a == "--dialog") {
      out.dialog = value("--dialog");
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
  if (!options.dialog.isEmpty()) return shootDialog(form, options);
  const QImage image = form.grab().toImage();
  if (image.isNull() || !image.save(options.output, "PNG"))
    return ReportScreenshotError(
        QString("Das Bild \"%1\" konnte nicht geschrieben werden.").arg(options.output));
  return 0;
}

}  // namespace paginor
