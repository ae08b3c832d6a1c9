#include "platform/headless.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "platform/fonts/font_engine.h"

namespace paginor {

MsgResult HeadlessUi::messageBox(std::string_view text, std::string_view caption, MsgIcon icon,
                                 MsgButtons buttons) {
  messages.push_back({std::string(text), std::string(caption), icon});
  if (echoToStderr) std::cerr << text << "\n";
  if (buttons == MsgButtons::Ok) return MsgResult::Ok;
  return answer;
}

void HeadlessUi::statusText(int panel, std::string_view text) {
  if (panel >= 0 && panel < 4) status[panel] = std::string(text);
  statusHistory.emplace_back(text);
}

bool ScriptedDialogs::run(Dialog& dialog) {
  shown.emplace_back(dialog.title());
  if (script_.empty()) return false;
  Answer a = std::move(script_.front());
  script_.pop_front();
  return a(dialog);
}

namespace {

std::string envOr(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : std::string();
}

std::string executableDir() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path().string();
}

}  // namespace

SystemPaths::SystemPaths() {
  data_ = envOr("PAGINOR_DATA_DIR");
  if (data_.empty()) {
    std::error_code ec;
    std::string besideExe = executableDir() + "/../share/paginor";
    if (std::filesystem::is_directory(besideExe, ec)) {
      data_ = std::filesystem::weakly_canonical(besideExe, ec).string();
    } else if (std::filesystem::is_directory(PAGINOR_BUILD_DATA_DIR, ec)) {
      data_ = PAGINOR_BUILD_DATA_DIR;
    } else {
      data_ = PAGINOR_INSTALL_DATA_DIR;
    }
  }
  user_ = envOr("PAGINOR_USER_DIR");
  if (user_.empty()) {
    std::string base = envOr("XDG_DATA_HOME");
    if (base.empty()) {
      std::string home = envOr("HOME");
      base = (home.empty() ? std::string("/tmp") : home) + "/.local/share";
    }
    user_ = base + "/paginor";
  }
}

HeadlessPlatform::HeadlessPlatform() : fonts(makeFontEngine(paths)) {
  p_.fonts = fonts.get();
  p_.ui = &ui;
  p_.dialogs = &dialogs;
  p_.printer = &printer;
  printer.fonts = fonts.get();
  p_.paths = &paths;
  p_.screenDpi = 96;
}

HeadlessPlatform::~HeadlessPlatform() = default;

}  // namespace paginor
