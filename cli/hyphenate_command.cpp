#include "cli/hyphenate_command.h"
#include "cli/session.h"

#include <iostream>

#include "layout/hyphenation.h"
#include "platform/cp1252.h"
#include "platform/headless.h"
#include "window/document_window.h"

namespace paginor::cli {

// Words are answered as the layout gets them: a word met again in another case gets the first
// spelling back from the window's cache (the break positions are the same).
int cmdHyphenate(Args& args) {
  auto lang = args.option("--lang");
  std::vector<std::string> words;
  std::string error;
  if (!args.rest(words, error) || !lang || words.empty()) {
    if (!error.empty()) std::cerr << error << "\n";
    std::cerr << "Aufruf: paginor-cli hyphenate --lang de|en WORT...\n";
    return 2;
  }
  if (*lang != "de" && *lang != "en") {
    std::cerr << "Unbekannte Sprache: " << *lang << " (de oder en)\n";
    return 2;
  }
  Session s;
  TMDIChild& window = s.window();
  window.doc.language = *lang == "de" ? 0 : 1;
  Reported(OpenHyphenData(window));
  bool empty = true;
  for (const auto& group : window.hyphenTable->groups) empty = empty && group.empty();
  if (empty) {
    std::string dir = s.app.paths().programDataDir();
    if (!dir.empty() && dir.back() != '/') dir += '/';
    std::cerr << "Hinweis: keine Trennmuster in " << dir << HyphenFileName(window.doc.language)
              << "; die Wörter bleiben ungetrennt.\n";
  }
  for (const std::string& word : words)
    std::cout << cp1252ToUtf8(TrenneSilben(window, utf8ToCp1252(word))) << "\n";
  return 0;
}

}  // namespace paginor::cli
