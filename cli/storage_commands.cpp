#include "cli/storage_commands.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "model/document_window.h"
#include "model/dump_json.h"
#include "output/pdf_export.h"
#include "platform/headless.h"
#include "storage/sbl_format.h"
#include "storage/text_format.h"

namespace paginor::cli {

namespace {

enum class Format { Native, AnsiText, DosText, Utf8Text, Pdf };  // PDF is written only

constexpr const char* kConvertUsage =
    "Aufruf: paginor-cli convert [--from FORMAT] [--to FORMAT] EINGABE AUSGABE\n"
    "        paginor-cli convert [--to FORMAT] --new AUSGABE\n"
    "Formate: sbl (Scribolantium), txt (Text ANSI), dostxt (Text DOS), utf8txt (Text UTF-8),\n"
    "         pdf (nur Ausgabe)\n"
    "Textdateien in UTF-8 werden beim Lesen erkannt; .txt schreibt Text ANSI.\n"
    "Option für PDF: --pdf-fonts=embedded (Schriften eingebettet, Vorgabe) oder\n"
    "                --pdf-fonts=names (Schriften nur mit Namen)\n";
constexpr const char* kDumpUsage =
    "Aufruf: paginor-cli dump [--brief] [--from FORMAT] (--new | EINGABE)\n";

// A headless application with one document window, echoing messages to standard error.
struct Session {
  Session() : app(host.platform()), window(app) { host.ui.echoToStderr = true; }
  HeadlessPlatform host;
  Application app;
  TMDIChild window;
};

std::optional<Format> formatNamed(const std::string& name) {
  if (name == "sbl") return Format::Native;
  if (name == "txt") return Format::AnsiText;
  if (name == "dostxt") return Format::DosText;
  if (name == "utf8txt") return Format::Utf8Text;
  if (name == "pdf") return Format::Pdf;
  return std::nullopt;
}

std::optional<Format> formatOfPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  std::string ext = path.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (ext == ".SBL" || ext == ".SBT") return Format::Native;
  if (ext == ".TXT") return Format::AnsiText;
  if (ext == ".PDF") return Format::Pdf;
  return std::nullopt;
}

// The format an option names, or else the one the path's extension implies; a German error
// on standard error when neither gives one.
std::optional<Format> chooseFormat(const std::optional<std::string>& option,
                                   const std::string& path) {
  if (option) {
    auto f = formatNamed(*option);
    if (!f)
      std::cerr << "Unbekanntes Format: " << *option
                << " (bekannt: sbl, txt, dostxt, utf8txt, pdf)\n";
    return f;
  }
  auto f = formatOfPath(path);
  if (!f)
    std::cerr << "Unbekannter Dateityp: " << path
              << " (bekannt: .sbl, .sbt, .txt, .pdf; sonst --from/--to angeben)\n";
  return f;
}

// The format of a file to read; PDF files are written, never read.
std::optional<Format> chooseInputFormat(const std::optional<std::string>& option,
                                        const std::string& path) {
  auto f = chooseFormat(option, path);
  if (f == Format::Pdf) {
    std::cerr << "PDF-Dateien können nicht gelesen, nur geschrieben werden: " << path << "\n";
    return std::nullopt;
  }
  return f;
}

// The font form of PDF output: embedded subsets unless the option asks for names only.
std::optional<PdfFontMode> pdfFontMode(const std::optional<std::string>& option) {
  if (!option || *option == "embedded") return PdfFontMode::Embedded;
  if (*option == "names") return PdfFontMode::Names;
  std::cerr << "Unbekannte Schriftform: " << *option << " (bekannt: embedded, names)\n";
  return std::nullopt;
}

bool openAs(TMDIChild& w, const std::string& path, Format f) {
  switch (f) {
    case Format::Native:
      return OpenSBLFile(w, path);
    case Format::AnsiText:
      return OpenTXTFile(w, path, TextCode::Ansi);
    case Format::DosText:
      return OpenTXTFile(w, path, TextCode::Dos);
    case Format::Utf8Text:
      return OpenTXTFile(w, path, TextCode::Utf8);
    case Format::Pdf:
      break;
  }
  return false;
}

bool saveAs(TMDIChild& w, const std::string& path, Format f, PdfFontMode fonts) {
  switch (f) {
    case Format::Native:
      return SaveSBLFile(w, path);
    case Format::AnsiText:
      return SaveTXTFile(w, path, TextCode::Ansi);
    case Format::DosText:
      return SaveTXTFile(w, path, TextCode::Dos);
    case Format::Utf8Text:
      return SaveTXTFile(w, path, TextCode::Utf8);
    case Format::Pdf:
      return SavePDFFile(w, path, fonts);
  }
  return false;
}

}  // namespace

int cmdConvert(Args& args) {
  const auto from = args.option("--from");
  const auto to = args.option("--to");
  const bool fresh = args.flag("--new");
  const auto pdfFonts = args.option("--pdf-fonts");
  std::vector<std::string> pos;
  std::string error;
  if (!args.rest(pos, error) || pos.size() != (fresh ? 1u : 2u) || (fresh && from)) {
    if (!error.empty()) std::cerr << error << "\n";
    std::cerr << kConvertUsage;
    return 2;
  }
  const std::string& out = pos.back();
  std::optional<Format> inFormat;
  if (!fresh && !(inFormat = chooseInputFormat(from, pos[0]))) return 2;
  const auto outFormat = chooseFormat(to, out);
  if (!outFormat) return 2;
  const auto fonts = pdfFontMode(pdfFonts);
  if (!fonts) return 2;
  if (pdfFonts && *outFormat != Format::Pdf) {
    std::cerr << "--pdf-fonts gilt nur für PDF-Ausgabe.\n";
    return 2;
  }

  // A window opened for a file builds the empty document and reads the file over it; the
  // template "normal.sbt" is not read, so that generating the template needs no template.
  Session s;
  FormCreate(s.window);
  if (!fresh && !openAs(s.window, pos[0], *inFormat)) return 1;
  return saveAs(s.window, out, *outFormat, *fonts) ? 0 : 1;
}

int cmdDumpFile(Args& args) {
  DumpOptions options;
  options.cells = !args.flag("--brief");
  const bool fresh = args.flag("--new");
  const auto from = args.option("--from");
  std::vector<std::string> pos;
  std::string error;
  if (!args.rest(pos, error) || pos.size() != (fresh ? 0u : 1u) || (fresh && from)) {
    if (!error.empty()) std::cerr << error << "\n";
    std::cerr << kDumpUsage;
    return 2;
  }
  std::optional<Format> format;
  if (!fresh && !(format = chooseInputFormat(from, pos[0]))) return 2;
  Session s;
  FormCreate(s.window);
  if (!fresh && !openAs(s.window, pos[0], *format)) return 1;
  std::cout << DumpDocumentJson(s.window.doc, options);
  return 0;
}

}  // namespace paginor::cli
