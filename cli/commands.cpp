#include "cli/commands.h"
#include "cli/session.h"

#include <charconv>
#include <iostream>

#include "layout/measure.h"
#include "model/queries.h"
#include "platform/cp1252.h"
#include "platform/headless.h"
#include "storage/new_document.h"
#include "window/document_window.h"

namespace paginor::cli {

bool Args::flag(const std::string& name) {
  for (size_t i = 0; i < raw_.size(); ++i) {
    if (raw_[i] == name) {
      raw_.erase(raw_.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

std::optional<std::string> Args::option(const std::string& name) {
  for (size_t i = 0; i < raw_.size(); ++i) {
    if (raw_[i] == name && i + 1 < raw_.size()) {
      std::string v = raw_[i + 1];
      raw_.erase(raw_.begin() + static_cast<long>(i), raw_.begin() + static_cast<long>(i) + 2);
      return v;
    }
    if (raw_[i].rfind(name + "=", 0) == 0) {
      std::string v = raw_[i].substr(name.size() + 1);
      raw_.erase(raw_.begin() + static_cast<long>(i));
      return v;
    }
  }
  return std::nullopt;
}

bool Args::rest(std::vector<std::string>& positionals, std::string& error) const {
  for (const std::string& a : raw_) {
    if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      error = "Unbekannte Option: " + a;
      return false;
    }
    positionals.push_back(a);
  }
  return true;
}

namespace {

bool parseInt(const std::string& s, int& out) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool parseDouble(const std::string& s, double& out) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

int cmdMeasure(Args& args) {
  auto font = args.option("--font");
  auto size = args.option("--size");
  auto style = args.option("--style");
  auto attributes = args.option("--attributes");
  std::vector<std::string> pos;
  std::string error;
  if (!args.rest(pos, error) || !font || !size || pos.size() != 1) {
    if (!error.empty()) std::cerr << error << "\n";
    std::cerr << "Aufruf: paginor-cli measure --font NAME --size PT [--style BITS] "
                 "[--attributes BITS] TEXT\n";
    return 2;
  }
  double pt = 0;
  int styleBits = 0, attrBits = 0;
  if (!parseDouble(*size, pt) || pt <= 0 || pt > 1638) {
    std::cerr << "Ungültige Schriftgröße: " << *size << "\n";
    return 2;
  }
  if ((style && (!parseInt(*style, styleBits) || styleBits < 0 || styleBits > 255)) ||
      (attributes && (!parseInt(*attributes, attrBits) || attrBits < 0 || attrBits > 65535))) {
    std::cerr << "Ungültige Bitmaske.\n";
    return 2;
  }
  Session s;
  TMDIChild& window = s.window();
  Reported(FormCreate(window));
  Document& d = window.doc;
  FontRec f = FontOfCurrentFormat(d.CurrentFormat);
  f.name = utf8ToCp1252(*font);
  f.size = pt;
  f.style = static_cast<uint8_t>(styleBits);
  f.attributes = static_cast<uint16_t>(attrBits);
  CharRec cell;
  cell.fontIndex = GetNewFontIndex(d, f);
  RenderChar(window, cell, false, utf8ToCp1252(pos[0]));
  char w[32], h[32];
  std::snprintf(w, sizeof w, "%.7f", cell.width);
  std::snprintf(h, sizeof h, "%.7f", cell.height);
  std::cout << "{\"width\": " << w << ", \"height\": " << h
            << ", \"resolution\": " << window.measure.resolution << "}\n";
  return 0;
}

}  // namespace paginor::cli
