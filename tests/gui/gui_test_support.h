// Shared helpers of the desktop program's tests: a main window on the Qt platform whose message
// boxes, dialogs and default viewer are answered by a script, and keys typed as Qt key events.
#pragma once

#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/qt/qt_platform.h"
#include "shell/document_view.h"
#include "shell/main_form.h"

namespace paginor::test {

// The example document of the program data.
std::string ExampleDocument();

class GuiFixture {
 public:
  GuiFixture();
  ~GuiFixture();

  struct Message {
    std::string text;
    MsgIcon icon;
    MsgButtons buttons;
  };

  QtPlatform qt;
  std::unique_ptr<TMainForm> form;

  // Message boxes: each is recorded and answered from `answers` (front first), else Ok/Yes's
  // safe counterpart: Cancel for a question with Cancel, No for Yes/No, Ok otherwise.
  std::vector<Message> messages;
  std::deque<MsgResult> answers;
  // Dialogs: each is answered by the next function; none left cancels the dialog.
  std::deque<std::function<bool(Dialog&)>> dialogAnswers;
  std::vector<std::string> dialogsShown;
  // Paths handed to the default viewer.
  std::vector<std::string> viewerPaths;

  // Answers the next file dialog with this path and filter index.
  void answerFileDialog(const std::string& path, int filterIndex = 1);
  // Runs the event loop until the window's repaint timer has fired and painted.
  static void settle(DocumentWindow* w);
};

// Sends a key press (and release) to the page area as the keyboard does.
void PressKey(DocumentWindow& w, int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier,
              const QString& text = {});
// Types text, one key event per character.
void TypeKeys(DocumentWindow& w, const QString& text);

// The document's text (Windows-1252 cells of the body chain, lines joined by '\n').
std::string BodyText(const TMDIChild& w);

}  // namespace paginor::test
