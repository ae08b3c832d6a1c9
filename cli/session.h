// What every paginor-cli command runs in: a headless application (its messages echoed to
// standard error) and a document window. `convert --outdir` keeps one application for all its
// files, so the hyphenation tables and fonts are read once, and gives each file a fresh window.
#pragma once

#include <optional>

#include "window/document_window.h"
#include "platform/headless.h"
#include "platform/result.h"

namespace paginor::cli {

struct Session {
  Session() : app(host.platform()) {
    host.ui.echoToStderr = true;
    window_.emplace(app);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  TMDIChild& window() { return *window_; }
  // Drops the document window and opens a new, empty one (not yet built by FormCreate).
  TMDIChild& freshWindow() {
    window_.reset();
    return window_.emplace(app);
  }

  HeadlessPlatform host;
  Application app;

 private:
  std::optional<TMDIChild> window_;
};

// The exit codes (README, "paginor-cli").
inline constexpr int kExitDone = 0;
inline constexpr int kExitInputUnreadable = 1;  // missing, not permitted, an I/O error
inline constexpr int kExitUsage = 2;            // the command line was wrong
inline constexpr int kExitInputRefused = 3;     // damaged, too large, a format not supported
inline constexpr int kExitOutputFailed = 4;     // not writable, disk full
inline constexpr int kExitOutOfMemory = 5;
inline constexpr int kExitMixed = 6;  // --outdir: files failed for different reasons

int ExitCodeOf(const Failure& failure);
// Prints the failure (or, for a done result, its warning) on standard error, after `prefix`
// when one is given; returns the exit code.
int Reported(const Result& result, const std::string& prefix = {});

}  // namespace paginor::cli
