// paginor-cli commands on document files: converting between formats and dumping a file, and the
// document input and output that `edit` shares with them.
#pragma once

#include <optional>
#include <string>

#include "cli/commands.h"
#include "output/pdf_canvas.h"

namespace paginor {
class TMDIChild;
}

namespace paginor::cli {

// convert [--from FORMAT] [--to FORMAT] IN OUT
// convert [--to FORMAT] --new OUT      (the built-in new document, no template read)
int cmdConvert(Args& args);

// dump [--brief] [--from FORMAT] (--new | IN)
int cmdDumpFile(Args& args);

// The name that stands for standard input (as IN) and standard output (as OUT).
inline constexpr const char* kStandardStream = "-";

enum class Format {
  Native,
  AnsiText,
  DosText,
  Utf8Text,
  Pdf,      // written only
  Content,  // standard input without --from: a native document by its magic, else text
};

// The formats of one conversion, chosen from the options or else from the names' extensions.
struct Conversion {
  Format in = Format::Native;  // unused for --new
  Format out = Format::Native;
  PdfFontMode fonts = PdfFontMode::Embedded;
};
// `in` is empty for --new. A German message on standard error and nothing when the options or
// names give no format (the caller exits with 2).
std::optional<Conversion> ChooseConversion(const std::optional<std::string>& in,
                                           const std::string& out,
                                           const std::optional<std::string>& from,
                                           const std::optional<std::string>& to,
                                           const std::optional<std::string>& pdfFonts);

// Reads IN ("-": standard input) into the window and lays it out as the desktop program shows
// it. Failures have been reported on standard error.
bool OpenInput(TMDIChild& w, const std::string& path, Format format);
// Writes the window's document to OUT ("-": standard output).
bool SaveOutput(TMDIChild& w, const std::string& path, Format format, PdfFontMode fonts);

}  // namespace paginor::cli
