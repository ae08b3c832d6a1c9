// paginor-cli commands on document files: converting between formats and dumping a file, and the
// document input and output that `edit` shares with them.
#pragma once

#include <optional>
#include <string>

#include "cli/commands.h"
#include "output/pdf_canvas.h"
#include "platform/result.h"
#include "storage/formats.h"

namespace paginor {
class TMDIChild;
}

namespace paginor::cli {

// convert [--from FORMAT] [--to FORMAT] IN OUT
// convert [--to FORMAT] --new OUT      (the built-in new document, no template read)
// convert [--from FORMAT] --to FORMAT --outdir DIR IN...
int cmdConvert(Args& args);

// dump [--brief] [--from FORMAT] (--new | IN)
int cmdDumpFile(Args& args);

// The name that stands for standard input (as IN) and standard output (as OUT).
inline constexpr const char* kStandardStream = "-";

// The formats of one conversion, chosen from the options or else from the names' extensions, by
// the program's format table (storage/formats.h).
struct Conversion {
  // Unset for --new, and for standard input without --from: a native document is recognised
  // by its magic, anything else is read as text.
  std::optional<DocumentFormat> in;
  DocumentFormat out = DocumentFormat::Native;
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
// it. `format` unset: by content (standard input only).
Result OpenInput(TMDIChild& w, const std::string& path, std::optional<DocumentFormat> format);
// Writes the window's document to OUT ("-": standard output).
Result SaveOutput(TMDIChild& w, const std::string& path, DocumentFormat format,
                  PdfFontMode fonts);

}  // namespace paginor::cli
