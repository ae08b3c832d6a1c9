#include "cli/storage_commands.h"

#include <unistd.h>

#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "model/dump_json.h"
#include "output/pdf_export.h"
#include "output/settle.h"
#include "platform/headless.h"
#include "storage/file_io.h"
#include "storage/new_document.h"
#include "storage/sbl_format.h"
#include "storage/sbl_layout.h"
#include "storage/text_format.h"
#include "window/document_window.h"

namespace paginor::cli {

namespace {

constexpr const char* kConvertUsage =
    "Aufruf: paginor-cli convert [--from FORMAT] [--to FORMAT] EINGABE AUSGABE\n"
    "        paginor-cli convert [--to FORMAT] --new AUSGABE\n"
    "Formate: sbl (Scribolantium), txt (Text ANSI), dostxt (Text DOS), utf8txt (Text UTF-8),\n"
    "         pdf (nur Ausgabe)\n"
    "Textdateien in UTF-8 werden beim Lesen erkannt; .txt schreibt Text ANSI.\n"
    "\"-\" als EINGABE liest die Standardeingabe (ohne --from erkannt am Inhalt), als AUSGABE\n"
    "schreibt es auf die Standardausgabe (mit --to).\n"
    "Option für PDF: --pdf-fonts=embedded (Schriften eingebettet, Vorgabe) oder\n"
    "                --pdf-fonts=names (Schriften nur mit Namen)\n";
constexpr const char* kDumpUsage =
    "Aufruf: paginor-cli dump [--brief] [--from FORMAT] (--new | EINGABE)\n"
    "\"-\" als EINGABE liest die Standardeingabe.\n";

// Standard input is read like a file, up to the native reader's limit.
constexpr const char* kStandardInputName = "Standardeingabe";
// Standard output as the savers name it: a descriptor of ours, written where the shell sent it.
constexpr const char* kStandardOutputPath = "/dev/stdout";

// A headless application with one document window, echoing messages to standard error.
struct Session {
  Session() : app(host.platform()), window(app) { host.ui.echoToStderr = true; }
  HeadlessPlatform host;
  Application app;
  TMDIChild window;
};

bool isStandardStream(const std::string& path) {
  return path == kStandardStream;
}

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

std::optional<Format> formatOption(const std::string& option) {
  auto f = formatNamed(option);
  if (!f)
    std::cerr << "Unbekanntes Format: " << option << " (bekannt: sbl, txt, dostxt, utf8txt, pdf)\n";
  return f;
}

// The format an option names, or else the one the path's extension implies; a German error
// on standard error when neither gives one.
std::optional<Format> chooseFormat(const std::optional<std::string>& option,
                                   const std::string& path) {
  if (option) return formatOption(*option);
  auto f = formatOfPath(path);
  if (!f)
    std::cerr << "Unbekannter Dateityp: " << path
              << " (bekannt: .sbl, .sbt, .txt, .pdf; sonst --from/--to angeben)\n";
  return f;
}

// The format of a file to read; PDF files are written, never read. Standard input without
// --from is recognised by its content.
std::optional<Format> chooseInputFormat(const std::optional<std::string>& option,
                                        const std::string& path) {
  if (!option && isStandardStream(path)) return Format::Content;
  auto f = chooseFormat(option, path);
  if (f == Format::Pdf) {
    std::cerr << "PDF-Dateien können nicht gelesen, nur geschrieben werden: " << path << "\n";
    return std::nullopt;
  }
  return f;
}

std::optional<Format> chooseOutputFormat(const std::optional<std::string>& option,
                                         const std::string& path) {
  if (!option && isStandardStream(path)) {
    std::cerr << "Für die Standardausgabe bitte das Format mit --to angeben "
                 "(sbl, txt, dostxt, utf8txt, pdf).\n";
    return std::nullopt;
  }
  return chooseFormat(option, path);
}

// The font form of PDF output: embedded subsets unless the option asks for names only.
std::optional<PdfFontMode> pdfFontMode(const std::optional<std::string>& option) {
  if (!option || *option == "embedded") return PdfFontMode::Embedded;
  if (*option == "names") return PdfFontMode::Names;
  std::cerr << "Unbekannte Schriftform: " << *option << " (bekannt: embedded, names)\n";
  return std::nullopt;
}

TextCode textCodeOf(Format f) {
  return f == Format::DosText    ? TextCode::Dos
         : f == Format::Utf8Text ? TextCode::Utf8
                                 : TextCode::Ansi;
}

// Control bytes a text held are dropped; the desktop program says so in its status bar, the
// command line on standard error.
bool reportedText(bool opened, const std::string& name, const TextImport& met) {
  if (opened && met.dropped > 0) std::cerr << DroppedControlsText(name, met.dropped) << "\n";
  return opened;
}

bool readFile(TMDIChild& w, const std::string& path, Format f) {
  if (f == Format::Native) return OpenSBLFile(w, path);
  TextImport met;
  return reportedText(OpenTXTFile(w, path, textCodeOf(f), &met), FileNameOf(path), met);
}

bool readStandardInput(TMDIChild& w, Format f) {
  const std::string name = kStandardInputName;
  std::vector<uint8_t> data;
  int error = 0;
  const ReadStatus read = ReadWholeDescriptor(STDIN_FILENO, sbl::kMaxFileBytes, data, &error);
  if (read != ReadStatus::Ok) {
    std::cerr << ReadFailureText(read, name, error) << "\n";
    return false;
  }
  if (f == Format::Content)
    f = HasSblMagic(data.data(), data.size()) ? Format::Native : Format::AnsiText;
  if (f == Format::Native) return OpenSBLData(w, data, name);
  TextImport met;
  return reportedText(OpenTXTData(w, std::move(data), name, textCodeOf(f), &met), name, met);
}

}  // namespace

std::optional<Conversion> ChooseConversion(const std::optional<std::string>& in,
                                           const std::string& out,
                                           const std::optional<std::string>& from,
                                           const std::optional<std::string>& to,
                                           const std::optional<std::string>& pdfFonts) {
  Conversion c;
  if (in) {
    const auto f = chooseInputFormat(from, *in);
    if (!f) return std::nullopt;
    c.in = *f;
  }
  const auto outFormat = chooseOutputFormat(to, out);
  if (!outFormat) return std::nullopt;
  c.out = *outFormat;
  const auto fonts = pdfFontMode(pdfFonts);
  if (!fonts) return std::nullopt;
  if (pdfFonts && c.out != Format::Pdf) {
    std::cerr << "--pdf-fonts gilt nur für PDF-Ausgabe.\n";
    return std::nullopt;
  }
  c.fonts = *fonts;
  return c;
}

// An opened document is laid out as the desktop program shows it, text flowing around its
// objects included, so that opening and saving again gives the same file.
bool OpenInput(TMDIChild& w, const std::string& path, Format format) {
  const bool read =
      isStandardStream(path) ? readStandardInput(w, format) : readFile(w, path, format);
  if (!read) return false;
  try {
    SettleLayout(w);
  } catch (const std::bad_alloc&) {
    w.app.message(
        OutOfMemoryText(isStandardStream(path) ? std::string(kStandardInputName) : FileNameOf(path),
                        FileCommand::Open));
    return false;
  }
  return true;
}

bool SaveOutput(TMDIChild& w, const std::string& path, Format format, PdfFontMode fonts) {
  const std::string target = isStandardStream(path) ? std::string(kStandardOutputPath) : path;
  switch (format) {
    case Format::Native:
      return SaveSBLFile(w, target);
    case Format::AnsiText:
    case Format::DosText:
    case Format::Utf8Text:
      return SaveTXTFile(w, target, textCodeOf(format));
    case Format::Pdf:
      return SavePDFFile(w, target, fonts);
    case Format::Content:
      break;
  }
  return false;
}

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
  const std::optional<std::string> in = fresh ? std::nullopt : std::optional(pos[0]);
  const auto conversion = ChooseConversion(in, pos.back(), from, to, pdfFonts);
  if (!conversion) return 2;

  // A window opened for a file builds the empty document and reads the file over it; the
  // template "normal.sbt" is not read, so that generating the template needs no template.
  Session s;
  FormCreate(s.window);
  if (in && !OpenInput(s.window, *in, conversion->in)) return 1;
  return SaveOutput(s.window, pos.back(), conversion->out, conversion->fonts) ? 0 : 1;
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
  if (!fresh && !OpenInput(s.window, pos[0], *format)) return 1;
  std::cout << DumpDocumentJson(s.window.doc, options);
  return 0;
}

}  // namespace paginor::cli
