// paginor-cli: the headless program. It runs the same engine as the desktop program, so what it
// writes (a PDF, an RTF, a layout dump) is what the desktop program writes.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/edit_command.h"
#include "cli/hyphenate_command.h"
#include "cli/session.h"
#include "cli/storage_commands.h"
#include "platform/large_heap.h"

namespace {

struct Command {
  const char* name;
  const char* usage;
  int (*run)(paginor::cli::Args& args);
};

const Command kCommands[] = {
    {"dump",
     "dump [--brief] [--from FORMAT] (--new | IN)\n"
     "                                    das Dokument als JSON ausgeben",
     paginor::cli::cmdDumpFile},
    {"convert",
     "convert [--from FORMAT] [--to FORMAT] [--pdf-fonts=embedded|names] (IN | --new) OUT\n"
     "          convert [--from FORMAT] --to FORMAT [--pdf-fonts=...] --outdir DIR IN...\n"
     "                                    Dokumente umwandeln (sbl, txt, dostxt, utf8txt, pdf)",
     paginor::cli::cmdConvert},
    {"measure",
     "measure --font NAME --size PT [--style BITS] [--attributes BITS] TEXT\n"
     "                                    Zeichen vermessen wie beim Eingeben",
     paginor::cli::cmdMeasure},
    {"edit",
     "edit [--from F] [--to F] (--new | IN) OUT (--keys TASTEN | --keys-file DATEI)\n"
     "                                    Tasten eingeben wie im Programm, dann speichern",
     paginor::cli::cmdEdit},
    {"hyphenate", "hyphenate --lang de|en WORT...      Wörter mit ihren Trennstellen ausgeben",
     paginor::cli::cmdHyphenate},
};

void usage(std::ostream& out) {
  out << "Aufruf: paginor-cli BEFEHL [OPTIONEN]\n\nBefehle:\n";
  for (const Command& c : kCommands) out << "  " << c.usage << "\n";
  out << "\n\"-\" als EINGABE liest die Standardeingabe, als AUSGABE schreibt es auf die "
         "Standardausgabe.\n"
         "Rückgabewert: 0 Erfolg, 1 Eingabe fehlt oder ist nicht lesbar, 2 falscher Aufruf,\n"
         "3 Eingabe beschädigt, zu groß oder in einem nicht unterstützten Format, 4 Ausgabe\n"
         "nicht schreibbar (auch: Datenträger voll), 5 Arbeitsspeicher reichte nicht, 6 bei\n"
         "--outdir: Dateien scheiterten aus verschiedenen Gründen.\n";
}

}  // namespace

int main(int argc, char** argv) {
  paginor::PrepareLargeHeap();
  if (argc < 2) {
    usage(std::cerr);
    return 2;
  }
  std::string_view name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    usage(std::cout);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (name == c.name) {
      paginor::cli::Args args(std::vector<std::string>(argv + 2, argv + argc));
      // The commands report running out of memory with the file concerned; whatever is left
      // (a dump's text, a hyphenation list) ends here in German rather than in an abort.
      try {
        return c.run(args);
      } catch (const std::bad_alloc&) {
        std::cerr << "Nicht genügend Arbeitsspeicher! Der Befehl " << c.name
                  << " wurde abgebrochen.\n";
        return paginor::cli::kExitOutOfMemory;
      }
    }
  }
  std::cerr << "Unbekannter Befehl: " << name << "\n";
  usage(std::cerr);
  return 2;
}
