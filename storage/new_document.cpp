#include "storage/new_document.h"

#include <sys/stat.h>

#include "layout/hyphenation.h"
#include "layout/layout.h"
#include "model/primitives.h"
#include "model/templates.h"
#include "platform/pictures/dib.h"
#include "storage/sbl_format.h"
#include "window/document_window.h"

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

Result FormCreate(TMDIChild& w) {
  Document& d = w.doc;
  d.filePath.clear();
  w.programDir = w.app.paths().programDataDir();
  if (w.programDir.empty() || w.programDir.back() != '/') w.programDir += '/';

  d.pageWidth = 210.0;
  d.pageHeight = 297.0;
  SetPrinterProps(w);

  d.pictures.clear();
  d.autoHyphenation = 1;
  d.language = 0;
  Result hyphenation = OpenHyphenData(w);

  d.CurrentFormat = CurrentFormatRec();
  d.zoomPercent = 100.0;

  NewPage(d, AddLine::Yes);
  w.pictureFilter = GetDIBOpenFilter();
  CreateHeaderFooter(d);

  SetAllDirtyFlags(d);
  MakeSoftEnters(w);

  CreateStandartVorlagen(d);
  OvertakeFont(w);
  return hyphenation;
}

std::string TemplatePath(TMDIChild& w) {
  const std::string user = w.app.paths().userDir();
  if (!user.empty()) {
    std::string own = inDirectory(user, kTemplateFileName);
    if (isRegularFile(own)) return own;
  }
  return inDirectory(w.app.paths().programDataDir(), kTemplateFileName);
}

Result CreateNewDocument(TMDIChild& w) {
  const Result created = FormCreate(w);
  Result read = OpenSBLFile(w, TemplatePath(w), FileBinding::Detached);
  // A damaged pattern file is worth saying even when the template is fine.
  if (created.warning() && !read.warning()) read.setWarning(*created.warning());
  return read;
}

}  // namespace paginor
