// Headless implementations of the platform interfaces, for the command-line program and tests.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace paginor {

// Records what the engine shows; optionally echoes messages to standard error.
class HeadlessUi : public Ui {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MsgIcon icon;
  };

  MsgResult messageBox(std::string_view text, std::string_view caption, MsgIcon icon,
                       MsgButtons buttons) override;
  void statusText(int panel, std::string_view text) override;
  void setFormatToolbar(const FormatToolbarState& state) override { toolbar = state; }
  void refreshFileMenu() override { ++fileMenuRefreshes; }

  bool echoToStderr = false;
  // Answer given to message boxes that ask a question.
  MsgResult answer = MsgResult::Ok;
  std::vector<Message> messages;
  std::vector<std::string> statusHistory;  // every status text set, in order ("" = cleared)
  std::string status[4];
  FormatToolbarState toolbar;
  int fileMenuRefreshes = 0;
};

// Answers dialogs from a script. A dialog without a scripted answer is cancelled.
class ScriptedDialogs : public Dialogs {
 public:
  using Answer = std::function<bool(Dialog&)>;
  bool run(Dialog& dialog) override;
  void push(Answer a) { script_.push_back(std::move(a)); }
  std::vector<std::string> shown;  // titles of every dialog run

 private:
  std::deque<Answer> script_;
};

// No printer: 600 pixels per inch and no paper formats. Tests may give a list of formats.
class HeadlessPrinter : public Printer {
 public:
  bool available() const override { return !formats.empty(); }
  int32_t resolution() const override { return dpi; }
  std::vector<PaperFormat> paperFormats() const override { return formats; }
  int32_t dpi = 600;
  std::vector<PaperFormat> formats;
};

// Program data and per-user directory. PAGINOR_DATA_DIR and PAGINOR_USER_DIR override them;
// otherwise program data lies in ../share/paginor beside the executable (installed or in the
// build tree) and the user directory follows the XDG base-directory conventions.
class SystemPaths : public Paths {
 public:
  SystemPaths();
  std::string programDataDir() const override { return data_; }
  std::string userDir() const override { return user_; }

 private:
  std::string data_;
  std::string user_;
};

// A complete headless platform with real font measurement.
class HeadlessPlatform {
 public:
  HeadlessPlatform();
  ~HeadlessPlatform();
  Platform& platform() { return p_; }

  HeadlessUi ui;
  ScriptedDialogs dialogs;
  HeadlessPrinter printer;
  SystemPaths paths;
  std::unique_ptr<FontEngine> fonts;

 private:
  Platform p_;
};

}  // namespace paginor
