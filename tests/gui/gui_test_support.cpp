#include "gui/gui_test_support.h"

#include <QApplication>
#include <QKeyEvent>

#include <cstdlib>

#include "shell/document_view.h"
#include "window/document_window.h"

namespace paginor::test {

std::string ExampleDocument() {
  // The program data of the build tree holds a copy of the examples.
  const char* data = std::getenv("PAGINOR_DATA_DIR");
  return std::string(data ? data : ".") + "/examples/beispiel.sbl";
}

GuiFixture::GuiFixture() {
  qt.ui.answerMessage = [this](const QString& text, MsgIcon icon, MsgButtons buttons) {
    messages.push_back({text.toStdString(), icon, buttons});
    if (!answers.empty()) {
      const MsgResult r = answers.front();
      answers.pop_front();
      return r;
    }
    switch (buttons) {
      case MsgButtons::YesNoCancel:
      case MsgButtons::OkCancel:
        return MsgResult::Cancel;
      case MsgButtons::YesNo:
        return MsgResult::No;
      case MsgButtons::Ok:
        return MsgResult::Ok;
    }
    return MsgResult::Ok;
  };
  qt.ui.openHook = [this](const std::string& path) {
    viewerPaths.push_back(path);
    return true;
  };
  qt.dialogs.answer = [this](Dialog& d) {
    dialogsShown.push_back(d.title());
    if (dialogAnswers.empty()) return false;
    auto answer = std::move(dialogAnswers.front());
    dialogAnswers.pop_front();
    return answer(d);
  };
  form = std::make_unique<TMainForm>(qt);
  form->resize(1000, 750);
  form->show();
  // Under a display without a window manager nothing activates the window by itself, and the
  // keyboard focus needs an active window.
  form->activateWindow();
  QApplication::setActiveWindow(form.get());
  QApplication::processEvents();
}

GuiFixture::~GuiFixture() {
  // Whatever is still modified closes without a question.
  for (DocumentWindow* w : form->documents()) w->child().doc.modified = 0;
  form.reset();
  QApplication::processEvents();
}

void GuiFixture::answerFileDialog(const std::string& path, int filterIndex) {
  dialogAnswers.push_back([path, filterIndex](Dialog& d) {
    auto* f = dynamic_cast<FileDialog*>(&d);
    if (!f) return false;
    f->fileName = path;
    f->filterIndex = filterIndex;
    return true;
  });
}

void GuiFixture::settle(DocumentWindow* w) {
  for (int i = 0; i < 50; ++i) {
    QApplication::processEvents();
    if (!w || !w->repaintPending()) break;
  }
  if (w && w->repaintPending()) w->repaintNow();
  QApplication::processEvents();
}

void PressKey(DocumentWindow& w, int qtKey, Qt::KeyboardModifiers mods, const QString& text) {
  QWidget* target = w.pageWidget();
  QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
  QApplication::sendEvent(target, &release);
}

void TypeKeys(DocumentWindow& w, const QString& text) {
  for (QChar c : text) {
    int key = 0;
    if (c.isLetter() && c.unicode() < 128)
      key = Qt::Key_A + (c.toUpper().unicode() - 'A');
    else if (c.isDigit())
      key = Qt::Key_0 + (c.unicode() - '0');
    else if (c == ' ')
      key = Qt::Key_Space;
    else
      key = Qt::Key_unknown;
    PressKey(w, key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
  }
}

std::string BodyText(const TMDIChild& w) {
  std::string out;
  for (const FieldRec& f : w.doc.fields) {
    if (f.type != kFieldBody) continue;
    for (int32_t l = 0; l < f.lineCount(); ++l) {
      if (!out.empty()) out += '\n';
      const LineRec& line = f.lines[l];
      for (int32_t c = 0; c < line.charCount(); ++c) {
        const CharRec& cell = line.chars[c];
        if (cell.kind == kCharText) out += static_cast<char>(cell.ch);
      }
    }
  }
  return out;
}

}  // namespace paginor::test
