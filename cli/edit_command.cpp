#include "cli/edit_command.h"

#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/session.h"
#include "cli/storage_commands.h"
#include "editing/key_script.h"
#include "editing/refresh.h"
#include "output/settle.h"
#include "platform/headless.h"
#include "storage/file_io.h"
#include "storage/new_document.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor::cli {

namespace {

constexpr const char* kEditUsage =
    "Aufruf: paginor-cli edit [--from FORMAT] [--to FORMAT] [--pdf-fonts FORM]\n"
    "                         (--new | EINGABE) AUSGABE (--keys TASTEN | --keys-file DATEI)\n"
    "\"-\" als EINGABE liest die Standardeingabe, als AUSGABE schreibt es auf die\n"
    "Standardausgabe (mit --to).\n"
    "Die Tastenfolge ist Text mit Tasten in geschweiften Klammern, etwa\n"
    "\"Hallo{Enter}Welt{Shift+Home}{Delete}\" (siehe docs/key-script.md).\n";

// A key script is text typed by hand; a larger file is a mistake.
constexpr uint64_t kMaxScriptBytes = 16u << 20;

constexpr const char* kEditOutOfMemoryText =
    "Nicht genügend Arbeitsspeicher für die Tastenfolge! Es wurde nichts gespeichert.";

std::optional<std::string> scriptText(const std::optional<std::string>& keys,
                                      const std::optional<std::string>& keysFile) {
  if (keys) return keys;
  std::vector<uint8_t> bytes;
  const Result read = ReadWholeFile(*keysFile, kMaxScriptBytes, bytes);
  if (!read) {
    Reported(read);
    return std::nullopt;
  }
  return std::string(bytes.begin(), bytes.end());
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
  if (!text) return kExitInputUnreadable;
  const ParsedKeyScript script = ParseKeyScript(*text);
  if (!script.ok()) {
    std::cerr << script.error << "\n";
    return kExitUsage;
  }

  const std::optional<std::string> in = fresh ? std::nullopt : std::optional(pos[0]);
  const auto conversion = ChooseConversion(in, pos.back(), from, to, pdfFonts);
  if (!conversion) return kExitUsage;

  // The document is edited in memory, as the desktop program's window holds it: read with the
  // readers `convert` uses, edited, settled as the window shows it, written.
  Session s;
  TMDIChild& w = s.window();
  Reported(FormCreate(w));
  if (in) {
    const Result read = OpenInput(w, *in, conversion->in);
    if (!read) return Reported(read);
    Reported(read);
  }
  try {
    RunKeyScript(w, script.events);
    RefreshDirtyContent(w);
    SettleLayout(w);
  } catch (const std::bad_alloc&) {
    std::cerr << kEditOutOfMemoryText << "\n";
    return kExitOutOfMemory;
  }
  return Reported(SaveOutput(w, pos.back(), conversion->out, conversion->fonts));
}

}  // namespace paginor::cli
