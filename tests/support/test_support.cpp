#include "support/test_support.h"

#include <filesystem>

#include "layout/measure.h"
#include "model/primitives.h"
#include "storage/new_document.h"

namespace paginor::test {

Fixture::Fixture() : app(host.platform()), window(std::make_unique<TMDIChild>(app)) {
  (void)FormCreate(*window);
}

std::string TempDir(const std::string& name) {
  std::filesystem::path p = std::filesystem::path(PAGINOR_TEST_TMP) / name;
  std::error_code ec;
  std::filesystem::remove_all(p, ec);
  std::filesystem::create_directories(p);
  return p.string();
}

void TypeText(TMDIChild& w, const std::string& cp1252) {
  for (char ch : cp1252) {
    CharRec* c = NewChar(w.doc);
    if (!c) return;
    c->ch = static_cast<uint8_t>(ch);
    RenderChar(w, *c, false, CellText(*c));
    ++w.doc.Cursor.chr;
  }
}

}  // namespace paginor::test
