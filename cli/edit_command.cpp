#include "cli/edit_command.h"

#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/storage_commands.h"
#include "editing/edit_state.h"
#include "editing/key_script.h"
#include "editing/refresh.h"
#include "model/document_window.h"
#include "platform/headless.h"
#include "storage/file_io.h"
#include "storage/sbl_format.h"

namespace paginor::cli {

namespace {

constexpr const char* kEditUsage =
    "Aufruf: paginor-cli edit [--from FORMAT] [--to FORMAT] [--pdf-fonts FORM]\n"
    "                         (--new | EINGABE) AUSGABE (--keys TASTEN | --keys-file DATEI)\n"
    "Die Tastenfolge ist Text mit Tasten in geschweiften Klammern, etwa\n"
    "\"Hallo{Enter}Welt{Shift+Home}{Delete}\" (siehe docs/key-script.md).\n";

// A key script is text typed by hand; a larger file is a mistake.
constexpr uint64_t kMaxScriptBytes = 16u << 20;

// A private directory for the intermediate native files, removed with everything in it.
class WorkDir {
 public:
  WorkDir() {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "paginor-edit-XXXXXX");
    if (ec) return;
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) path_ = buf.data();
  }
  ~WorkDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  WorkDir(const WorkDir&) = delete;
  WorkDir& operator=(const WorkDir&) = delete;
  bool ok() const { return !path_.empty(); }
  std::string file(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The window the script edits.
struct Session {
  Session() : app(host.platform()), window(app) {
    host.ui.echoToStderr = true;
    app.quietFileMode = true;  // the intermediate files must not become the document's name
  }
  HeadlessPlatform host;
  Application app;
  TMDIChild window;
};

std::optional<std::string> scriptText(const std::optional<std::string>& keys,
                                      const std::optional<std::string>& keysFile) {
  if (keys) return keys;
  std::vector<uint8_t> bytes;
  const ReadStatus status = ReadWholeFile(*keysFile, kMaxScriptBytes, bytes);
  if (status != ReadStatus::Ok) {
    std::cerr << ReadFailureText(status, FileNameOf(*keysFile)) << "\n";
    return std::nullopt;
  }
  return std::string(bytes.begin(), bytes.end());
}

// Runs `convert` with the given arguments: the one place that chooses formats by option and
// file extension.
int convert(std::vector<std::string> arguments) {
  Args args(std::move(arguments));
  return cmdConvert(args);
}

}  // namespace

int cmdEdit(Args& args) {
  const auto from = args.option("--from");
  const auto to = args.option("--to");
  const auto pdfFonts = args.option("--pdf-fonts");
  const auto keys = args.option("--keys");
  const auto keysFile = args.option("--keys-file");
  const bool fresh = args.flag("--new");
  std::vector<std::string> pos;
  std::string error;
  if (!args.rest(pos, error) || pos.size() != (fresh ? 1u : 2u) || (fresh && from) ||
      keys.has_value() == keysFile.has_value()) {
    if (!error.empty()) std::cerr << error << "\n";
    std::cerr << kEditUsage;
    return 2;
  }
  const std::optional<std::string> text = scriptText(keys, keysFile);
  if (!text) return 1;
  const ParsedKeyScript script = ParseKeyScript(*text);
  if (!script.ok()) {
    std::cerr << script.error << "\n";
    return 2;
  }

  // The document goes in and out through native files, so that `convert` alone decides which
  // formats can be read and written.
  WorkDir work;
  if (!work.ok()) {
    std::cerr << "Konnte kein Arbeitsverzeichnis für die Zwischendateien anlegen.\n";
    return 1;
  }
  const std::string input = work.file("eingabe.sbl");
  const std::string output = work.file("ergebnis.sbl");
  Session s;
  FormCreate(s.window);
  if (!fresh) {
    std::vector<std::string> in;
    if (from) in = {"--from", *from};
    in.insert(in.end(), {"--to", "sbl", pos[0], input});
    if (convert(std::move(in)) != 0 || !OpenSBLFile(s.window, input)) return 1;
  }
  RunKeyScript(s.window, script.events);
  RefreshDirtyContent(s.window);
  if (!SaveSBLFile(s.window, output)) return 1;

  std::vector<std::string> out{"--from", "sbl"};
  if (to) out.insert(out.end(), {"--to", *to});
  if (pdfFonts) out.insert(out.end(), {"--pdf-fonts", *pdfFonts});
  out.insert(out.end(), {output, pos.back()});
  return convert(std::move(out));
}

}  // namespace paginor::cli
