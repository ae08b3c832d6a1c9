// Timing tool, run on demand: from a key event in the page area of a 500-page document to the
// finished repaint of the visible page, through the real document window and its repaint timer.
// Prints the median and spread over 200 keys; the goal is a median under 16 ms. Then the same
// for Page Down, which takes the Cursor onto the next page about every second key, with the
// paints it took (one per key: the view scrolls before it paints).
//
//   QT_QPA_PLATFORM=offscreen paginor_gui_bench [pages] [keys]
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_documents.h"
#include "editing/keys.h"
#include "editing/refresh.h"
#include "platform/qt/qt_platform.h"
#include "shell/document_view.h"
#include "shell/main_form.h"
#include "window/document_window.h"

namespace {

using paginor::DocumentWindow;

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * (v.size() - 1))];
}

// Runs the event loop until the window's repaint timer has fired and its paint is done.
void waitForPaint(DocumentWindow& w, int paintsBefore) {
  while (w.paintCount() == paintsBefore || w.repaintPending())
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int pages = argc > 1 ? std::atoi(argv[1]) : 500;
  const int keys = argc > 2 ? std::atoi(argv[2]) : 200;
  if (pages < 1 || keys < 1) {
    std::fprintf(stderr, "Aufruf: paginor_gui_bench [Seiten] [Tasten]\n");
    return 2;
  }

  paginor::QtPlatform platform;
  platform.ui.answerMessage = [](const QString& text, paginor::MsgIcon, paginor::MsgButtons) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    return paginor::MsgResult::Cancel;
  };
  paginor::TMainForm form(platform);
  form.resize(1024, 768);
  form.show();
  DocumentWindow* w = form.newDocument();
  paginor::bench::FillLongDocument(w->child(), pages);
  paginor::CompleteRefresh(w->child());
  // Type in the middle of the document: the page flow behind the Cursor has work to do.
  paginor::Document& d = w->child().doc;
  for (int32_t f = 0; f < d.fieldCount(); ++f)
    if (d.fields[f].type == paginor::kFieldBody && d.fields[f].page == pages / 2 &&
        d.fields[f].lineCount() > 0)
      d.Cursor = {f, d.fields[f].lineCount() / 2, 0};
  d.Anchor = d.Cursor;
  w->restartRepaintTimer();
  waitForPaint(*w, w->paintCount());
  std::printf("%d Seiten, %lld Zeichen, Seite des Cursors %d, sichtbar ab Pixel %lld\n",
              w->view().geometry.pages, static_cast<long long>(paginor::bench::CountCells(d)),
              d.fields[d.Cursor.field].page + 1, static_cast<long long>(w->view().box.scrollY));

  std::vector<double> total, handler;
  QElapsedTimer clock;
  for (int i = 0; i < keys; ++i) {
    const QString text(QChar('a' + i % 26));
    const int before = w->paintCount();
    clock.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A + i % 26, Qt::NoModifier, text);
    QApplication::sendEvent(w->pageWidget(), &press);
    handler.push_back(clock.nsecsElapsed() / 1e6);
    waitForPaint(*w, before);
    total.push_back(clock.nsecsElapsed() / 1e6);
  }
  std::printf("gezeichnete Seiten beim letzten Mal: %zu\n", w->view().pagesDrawn.size());
  std::printf(
      "Taste bis fertiges Neuzeichnen (%d Tasten): Median %.2f ms, 90 %% %.2f ms, "
      "max %.2f ms\n",
      keys, percentile(total, 0.5), percentile(total, 0.9), percentile(total, 1.0));
  std::printf("davon Tastenbehandlung und Umbruch: Median %.2f ms\n", percentile(handler, 0.5));
  std::printf("Ziel: Median unter 16 ms -- %s\n",
              percentile(total, 0.5) < 16.0 ? "erreicht" : "verfehlt");

  std::vector<double> pageKeys;
  const int pageKeyCount = std::max(1, keys / 4);
  const int paintsBefore = w->paintCount();
  for (int i = 0; i < pageKeyCount; ++i) {
    const int before = w->paintCount();
    clock.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(w->pageWidget(), &press);
    waitForPaint(*w, before);
    pageKeys.push_back(clock.nsecsElapsed() / 1e6);
  }
  // A paint the scroll asked for after the timer's would come in the next turns of the loop.
  for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 5);
  std::printf(
      "Bild ab bis fertiges Neuzeichnen (%d Tasten): Median %.2f ms, 90 %% %.2f ms, "
      "%.2f Neuzeichnungen je Taste\n",
      pageKeyCount, percentile(pageKeys, 0.5), percentile(pageKeys, 0.9),
      static_cast<double>(w->paintCount() - paintsBefore) / pageKeyCount);
  // Nothing of this is to be kept.
  d.modified = 0;
  return 0;
}
