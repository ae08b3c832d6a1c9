// Shared helpers of the tests: a headless application with a fresh document window.
#pragma once

#include <memory>
#include <string>

#include "platform/headless.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor::test {

// What a reader or writer came back with, shown as the desktop program shows it, so that a test
// can check the messages the user sees. True when the work was done.
inline bool Shown(TMDIChild& w, const Result& result) {
  return w.app.report(result);
}


// A headless platform, an application on it and one new document window.
struct Fixture {
  Fixture();
  HeadlessPlatform host;
  Application app;
  std::unique_ptr<TMDIChild> window;
  TMDIChild& w() { return *window; }
  Document& doc() { return window->doc; }
};

// A fresh, empty directory for one test's files.
std::string TempDir(const std::string& name);

// Places the Cursor and appends characters as typing would (no layout), measured.
void TypeText(TMDIChild& w, const std::string& cp1252);

}  // namespace paginor::test
