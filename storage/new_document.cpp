#include "storage/new_document.h"

#include <sys/stat.h>

#include "model/document_window.h"
#include "storage/sbl_format.h"

namespace paginor {

namespace {

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string inDirectory(std::string dir, const char* name) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir + name;
}

}  // namespace

std::string TemplatePath(TMDIChild& w) {
  const std::string user = w.app.paths().userDir();
  if (!user.empty()) {
    std::string own = inDirectory(user, kTemplateFileName);
    if (isRegularFile(own)) return own;
  }
  return inDirectory(w.app.paths().programDataDir(), kTemplateFileName);
}

Result CreateNewDocument(TMDIChild& w) {
  FormCreate(w);
  const bool wasQuiet = w.app.quietFileMode;
  w.app.quietFileMode = true;
  Result read = OpenSBLFile(w, TemplatePath(w));
  w.app.quietFileMode = wasQuiet;
  return read;
}

}  // namespace paginor
