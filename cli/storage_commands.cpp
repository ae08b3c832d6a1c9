#include "cli/storage_commands.h"

#include <unistd.h>

#include <iostream>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/session.h"
#include "layout/hyphenation.h"
#include "model/dump_json.h"
#include "output/pdf_export.h"
#include "output/settle.h"
#include "app/document_files.h"
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
    "        paginor-cli convert [--from FORMAT] --to FORMAT --outdir ORDNER EINGABE...\n";
constexpr const char* kConvertHelp =
    "Textdateien in UTF-8 werden beim Lesen erkannt; .txt schreibt Text ANSI.\n"
    "\"-\" als EINGABE liest die Standardeingabe (ohne --from erkannt am Inhalt), als AUSGABE\n"
    "schreibt es auf die Standardausgabe (mit --to).\n"
    "Mit --outdir wird jede EINGABE in den ORDNER umgewandelt, benannt wie die Eingabe mit der\n"
    "Endung des Formats; ein Fehler hält die übrigen nicht auf.\n"
    "Option für PDF: --pdf-fonts=embedded (Schriften eingebettet, Vorgabe) oder\n"
    "                --pdf-fonts=names (Schriften nur mit Namen)\n";
constexpr const char* kDumpUsage =
    "Aufruf: paginor-cli dump [--brief] [--from FORMAT] (--new | EINGABE)\n"
    "\"-\" als EINGABE liest die Standardeingabe.\n";

// Standard input is read like a file, up to the native reader's limit.
constexpr const char* kStandardInputName = "Standardeingabe";
// Standard output as the savers name it: a descriptor of ours, written where the shell sent it.
constexpr const char* kStandardOutputPath = "/dev/stdout";

bool isStandardStream(const std::string& path) {
  return path == kStandardStream;
}

void printConvertUsage() {
  std::cerr << kConvertUsage << "Formate:\n";
  for (const FormatInfo& f : DocumentFormats())
    std::cerr << "  " << f.name << std::string(9 - std::string(f.name).size(), ' ')
              << f.description << "\n";
  std::cerr << kConvertHelp;
}

std::optional<DocumentFormat> formatOption(const std::string& option) {
  const FormatInfo* f = FormatNamed(option);
  if (!f) {
    std::cerr << "Unbekanntes Format: " << option << " (bekannt: " << FormatNameList() << ")\n";
    return std::nullopt;
  }
  return f->format;
}

// The format an option names, or else the one the path's extension names in the program's
// table; a German error on standard error when neither gives one.
std::optional<DocumentFormat> chooseFormat(const std::optional<std::string>& option,
                                           const std::string& path) {
  if (option) return formatOption(*option);
  const FormatInfo* f = FormatOfExtension(path);
  if (!f) {
    std::cerr << "Unbekannter Dateityp: " << path << " (bekannt: " << ExtensionList()
              << "; sonst --from/--to angeben)\n";
    return std::nullopt;
  }
  return f->format;
}

// The font form of PDF output: embedded subsets unless the option asks for names only.
std::optional<PdfFontMode> pdfFontMode(const std::optional<std::string>& option) {
  if (!option || *option == "embedded") return PdfFontMode::Embedded;
  if (*option == "names") return PdfFontMode::Names;
  std::cerr << "Unbekannte Schriftform: " << *option << " (bekannt: embedded, names)\n";
  return std::nullopt;
}

TextCode textCodeOf(DocumentFormat f) {
  return f == DocumentFormat::DosText    ? TextCode::Dos
         : f == DocumentFormat::Utf8Text ? TextCode::Utf8
                                         : TextCode::Ansi;
}

bool isText(DocumentFormat f) {
  return f == DocumentFormat::AnsiText || f == DocumentFormat::DosText ||
         f == DocumentFormat::Utf8Text;
}

// Control bytes a text held are dropped; the desktop program says so in its status bar, the
// command line on standard error.
void tellDropped(const std::string& name, const TextImport& met) {
  if (met.dropped > 0) std::cerr << DroppedControlsText(name, met.dropped) << "\n";
}

Result readFile(TMDIChild& w, const std::string& path, DocumentFormat f) {
  TextImport met;
  Result read = ReadDocumentAs(w, path, f, &met);
  if (read) tellDropped(FileNameOf(path), met);
  return read;
}

Result readStandardInput(TMDIChild& w, std::optional<DocumentFormat> f) {
  const std::string name = kStandardInputName;
  std::vector<uint8_t> data;
  Result read = ReadWholeDescriptor(STDIN_FILENO, sbl::kMaxFileBytes, data, name);
  if (!read) return read;
  if (!f) f = HasSblMagic(data.data(), data.size()) ? DocumentFormat::Native
                                                    : DocumentFormat::AnsiText;
  if (*f == DocumentFormat::Native) return OpenSBLData(w, data, name);
  if (!isText(*f)) return ReadDocumentAs(w, name, *f);  // the refusal of what cannot be read
  TextImport met;
  read = OpenTXTData(w, std::move(data), name, textCodeOf(*f), &met);
  if (read) tellDropped(name, met);
  return read;
}

// One file of `convert`: read, laid out, written; a fresh window of the session's application.
Result convertOne(Session& s, const std::optional<std::string>& in, const std::string& out,
                  const Conversion& c) {
  // A format this build cannot write is refused before anything is read.
  if (!InfoOf(c.out).writable) return WriteDocumentAs(s.window(), out, c.out, c.fonts);
  TMDIChild& w = s.freshWindow();
  // A window opened for a file builds the empty document and reads the file over it; the
  // template "normal.sbt" is not read, so that generating the template needs no template.
  Reported(FormCreate(w));
  if (in) {
    Result read = OpenInput(w, *in, c.in);
    if (!read) return read;
    Reported(read);  // a warning; the conversion goes on
  }
  return SaveOutput(w, out, c.out, c.fonts);
}

// The outputs of `--outdir`: each input's name with the format's extension, in the folder.
std::string outputIn(const std::string& dir, const std::string& in, DocumentFormat format) {
  std::string base = FileNameOf(PathWithoutExtension(in));
  std::string path = dir;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + base + InfoOf(format).extension;
}

int convertMany(const std::vector<std::string>& inputs, const std::string& dir,
                const std::optional<std::string>& from, const std::optional<std::string>& to,
                const std::optional<std::string>& pdfFonts) {
  Session s;
  int code = kExitDone;
  std::set<std::string> written;
  for (const std::string& in : inputs) {
    const std::string out = outputIn(dir, in, *formatOption(*to));
    const auto conversion = ChooseConversion(in, out, from, to, pdfFonts);
    int fileCode = kExitUsage;
    if (conversion) {
      Result result;
      if (!written.insert(out).second) {
        result = WritingFailure(FailureKind::NotWritable,
                                "Die Datei " + FileNameOf(out) +
                                    " wurde schon aus einer anderen Eingabe geschrieben; diese "
                                    "Eingabe wird übersprungen.");
      } else {
        try {
          result = convertOne(s, in, out, *conversion);
        } catch (const std::bad_alloc&) {
          result = OutOfMemoryFailure(FileNameOf(in), FileCommand::Open);
        }
      }
      fileCode = Reported(result, in + ": ");
    }
    if (fileCode != kExitDone) code = code == kExitDone || code == fileCode ? fileCode : kExitMixed;
  }
  return code;
}

}  // namespace

std::optional<Conversion> ChooseConversion(const std::optional<std::string>& in,
                                           const std::string& out,
                                           const std::optional<std::string>& from,
                                           const std::optional<std::string>& to,
                                           const std::optional<std::string>& pdfFonts) {
  Conversion c;
  if (in && !(isStandardStream(*in) && !from)) {
    const auto f = chooseFormat(from, *in);
    if (!f) return std::nullopt;
    // Never read by design, unlike the formats this build does not read yet: a wrong command.
    if (*f == DocumentFormat::Pdf) {
      std::cerr << "PDF-Dateien können nicht gelesen, nur geschrieben werden: " << *in << "\n";
      return std::nullopt;
    }
    c.in = *f;
  }
  if (!to && isStandardStream(out)) {
    std::cerr << "Für die Standardausgabe bitte das Format mit --to angeben ("
              << FormatNameList() << ").\n";
    return std::nullopt;
  }
  const auto outFormat = chooseFormat(to, out);
  if (!outFormat) return std::nullopt;
  c.out = *outFormat;
  const auto fonts = pdfFontMode(pdfFonts);
  if (!fonts) return std::nullopt;
  if (pdfFonts && c.out != DocumentFormat::Pdf) {
    std::cerr << "--pdf-fonts gilt nur für PDF-Ausgabe.\n";
    return std::nullopt;
  }
  c.fonts = *fonts;
  return c;
}

// An opened document is laid out as the desktop program shows it, text flowing around its
// objects included, so that opening and saving again gives the same file.
Result OpenInput(TMDIChild& w, const std::string& path, std::optional<DocumentFormat> format) {
  const std::string name = isStandardStream(path) ? kStandardInputName : FileNameOf(path);
  Result read = isStandardStream(path) ? readStandardInput(w, format)
                                       : readFile(w, path, format.value_or(DocumentFormat::Native));
  if (!read) return read;
  try {
    SettleLayout(w);
    // A pattern file the document's language met damaged is told with the file.
    if (!read.warning()) {
      Result hyphenation = OpenHyphenData(w);
      if (hyphenation.warning()) read.setWarning(*hyphenation.warning());
    }
  } catch (const std::bad_alloc&) {
    return OutOfMemoryFailure(name, FileCommand::Open);
  }
  return read;
}

Result SaveOutput(TMDIChild& w, const std::string& path, DocumentFormat format,
                  PdfFontMode fonts) {
  const std::string target = isStandardStream(path) ? std::string(kStandardOutputPath) : path;
  return WriteDocumentAs(w, target, format, fonts);
}

int cmdConvert(Args& args) {
  const auto from = args.option("--from");
  const auto to = args.option("--to");
  const auto outdir = args.option("--outdir");
  const bool fresh = args.flag("--new");
  const auto pdfFonts = args.option("--pdf-fonts");
  std::vector<std::string> pos;
  std::string error;
  const bool read = args.rest(pos, error);
  const bool fits = outdir ? !fresh && to && !pos.empty() : pos.size() == (fresh ? 1u : 2u);
  if (!read || !fits || (fresh && from)) {
    if (!error.empty()) std::cerr << error << "\n";
    if (outdir && !to && error.empty())
      std::cerr << "Mit --outdir bitte das Format mit --to angeben.\n";
    printConvertUsage();
    return kExitUsage;
  }
  if (outdir) {
    if (!formatOption(*to)) return kExitUsage;
    for (const std::string& in : pos) {
      if (isStandardStream(in)) {
        std::cerr << "Mit --outdir kann die Standardeingabe nicht gelesen werden.\n";
        return kExitUsage;
      }
    }
    return convertMany(pos, *outdir, from, to, pdfFonts);
  }
  const std::optional<std::string> in = fresh ? std::nullopt : std::optional(pos[0]);
  const auto conversion = ChooseConversion(in, pos.back(), from, to, pdfFonts);
  if (!conversion) return kExitUsage;
  Session s;
  try {
    return Reported(convertOne(s, in, pos.back(), *conversion));
  } catch (const std::bad_alloc&) {
    return Reported(OutOfMemoryFailure(in ? FileNameOf(*in) : FileNameOf(pos.back()),
                                       in ? FileCommand::Open : FileCommand::Save));
  }
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
    return kExitUsage;
  }
  std::optional<DocumentFormat> format;
  if (!fresh && !(isStandardStream(pos[0]) && !from) && !(format = chooseFormat(from, pos[0])))
    return kExitUsage;
  Session s;
  Reported(FormCreate(s.window()));
  if (!fresh) {
    const Result read = OpenInput(s.window(), pos[0], format);
    if (!read) return Reported(read);
    Reported(read);
  }
  std::cout << DumpDocumentJson(s.window().doc, options);
  return kExitDone;
}

}  // namespace paginor::cli
