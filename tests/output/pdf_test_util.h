// Helpers of the PDF tests: reading a written file back through its cross-reference table,
// unpacking streams, and running the poppler and qpdf tools on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace paginor::pdftest {

std::string ReadFile(const std::string& path);

// A written PDF read back by its own cross-reference table.
struct Pdf {
  std::string bytes;
  std::vector<int64_t> offsets;  // per object number; entry 0 is the free one
  std::string trailer;           // from "trailer" to the end

  explicit Pdf(std::string fileBytes);
  int32_t objectCount() const { return static_cast<int32_t>(offsets.size()); }
  // The text of object n from its "n 0 obj" line to its "endobj" (streams included).
  std::string object(int32_t n) const;
  // The raw bytes of object n's stream (between "stream\n" and the Length given).
  std::string rawStream(int32_t n) const;
  // The stream of object n, unpacked when it is FlateDecode; its Length may be a reference.
  std::string stream(int32_t n) const;
  // The number that follows `key` in `text` ("/Count " → 3); -1 when missing.
  static int64_t number(const std::string& text, const std::string& key);
  // The object an indirect reference after `key` points to ("/Root " → 6); -1 when missing.
  static int32_t reference(const std::string& text, const std::string& key);
  // The page content of page a (0-based), unpacked, found through the page tree.
  std::string pageContent(int32_t a) const;
};

// How often `needle` occurs in `hay`.
int Count(const std::string& hay, const std::string& needle);

struct ToolResult {
  int exitCode = -1;
  std::string output;  // standard output and standard error
};
bool ToolAvailable(const std::string& tool);
ToolResult RunTool(const std::string& commandLine);
// Quotes a path for the shell.
std::string Quote(const std::string& path);

}  // namespace paginor::pdftest
