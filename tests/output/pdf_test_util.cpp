#include "output/pdf_test_util.h"

#include <sys/wait.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace paginor::pdftest {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

Pdf::Pdf(std::string fileBytes) : bytes(std::move(fileBytes)) {
  size_t sx = bytes.rfind("startxref\n");
  if (sx == std::string::npos) return;
  size_t xref = std::strtoull(bytes.c_str() + sx + 10, nullptr, 10);
  if (bytes.compare(xref, 5, "xref\n") != 0) return;
  size_t p = bytes.find('\n', xref + 5);  // after "0 n"
  int64_t count = std::strtoll(bytes.c_str() + xref + 7, nullptr, 10);
  for (int64_t i = 0; i < count && p != std::string::npos; ++i) {
    offsets.push_back(std::strtoll(bytes.c_str() + p + 1, nullptr, 10));
    p += 20;
  }
  size_t t = bytes.find("trailer\n", xref);
  if (t != std::string::npos) trailer = bytes.substr(t);
}

std::string Pdf::object(int32_t n) const {
  if (n <= 0 || n >= objectCount()) return {};
  size_t start = static_cast<size_t>(offsets[n]);
  size_t end = bytes.find("endobj", start);
  if (end == std::string::npos) return {};
  return bytes.substr(start, end + 6 - start);
}

int64_t Pdf::number(const std::string& text, const std::string& key) {
  size_t p = text.find(key);
  if (p == std::string::npos) return -1;
  return std::strtoll(text.c_str() + p + key.size(), nullptr, 10);
}

int32_t Pdf::reference(const std::string& text, const std::string& key) {
  size_t p = text.find(key);
  if (p == std::string::npos) return -1;
  char* end = nullptr;
  long n = std::strtol(text.c_str() + p + key.size(), &end, 10);
  if (!end || std::string(end, 4) != " 0 R") return -1;
  return static_cast<int32_t>(n);
}

std::string Pdf::rawStream(int32_t n) const {
  std::string obj = object(n);
  size_t s = obj.find("stream\n");
  if (s == std::string::npos) return {};
  int64_t length = -1;
  int32_t lengthRef = reference(obj, "/Length ");
  if (lengthRef > 0)
    length = number(object(lengthRef), " 0 obj\n");
  else
    length = number(obj, "/Length ");
  if (length < 0) return {};
  return obj.substr(s + 7, static_cast<size_t>(length));
}

std::string Pdf::stream(int32_t n) const {
  std::string raw = rawStream(n);
  if (object(n).find("/FlateDecode") == std::string::npos) return raw;
  std::string out(raw.size() * 20 + 1024, '\0');
  for (;;) {
    uLongf size = out.size();
    int r = uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                       reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    if (r == Z_OK) {
      out.resize(size);
      return out;
    }
    if (r != Z_BUF_ERROR) return "<uncompress failed>";
    out.resize(out.size() * 4);
  }
}

std::string Pdf::pageContent(int32_t a) const {
  int32_t root = reference(trailer, "/Root ");
  int32_t pages = reference(object(root), "/Pages ");
  std::string tree = object(pages);
  size_t kids = tree.find("/Kids [");
  if (kids == std::string::npos) return {};
  const char* p = tree.c_str() + kids + 7;
  int32_t page = -1;
  for (int32_t i = 0; i <= a; ++i) {
    char* end = nullptr;
    page = static_cast<int32_t>(std::strtol(p, &end, 10));
    p = end + 5;  // " 0 R "
  }
  return stream(reference(object(page), "/Contents "));
}

int Count(const std::string& hay, const std::string& needle) {
  int n = 0;
  for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
  return n;
}

bool ToolAvailable(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

ToolResult RunTool(const std::string& commandLine) {
  ToolResult r;
  FILE* f = popen((commandLine + " 2>&1").c_str(), "r");
  if (!f) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) r.output.append(buf, n);
  int status = pclose(f);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string Quote(const std::string& path) {
  std::string q = "'";
  for (char c : path) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace paginor::pdftest
