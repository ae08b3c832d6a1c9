// Writes the generated German text of the conversion benchmarks to a file, so that scripts can
// hand the same input to paginor-cli and to other programs.
//   paginor_textgen BYTES OUT
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "german_text.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Aufruf: paginor_textgen BYTES AUSGABE\n");
    return 2;
  }
  char* end = nullptr;
  const unsigned long long bytes = std::strtoull(argv[1], &end, 10);
  if (!end || *end || bytes == 0 || bytes > (1ull << 30)) {
    std::fprintf(stderr, "Die Größe \"%s\" ist ungültig!\n", argv[1]);
    return 2;
  }
  const std::string text = paginor::bench::GermanText(static_cast<size_t>(bytes));
  std::ofstream out(argv[2], std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    std::fprintf(stderr, "Die Datei \"%s\" konnte nicht geschrieben werden!\n", argv[2]);
    return 1;
  }
  return 0;
}
