#include "german_text.h"

#include <random>
#include <sstream>
#include <vector>

#include "platform/cp1252.h"

namespace paginor::bench {

std::string GermanText(size_t bytes) {
  std::vector<std::string> words;
  std::istringstream list(utf8ToCp1252(
      "Sehr geehrte Damen und Herren wir freuen uns Ihnen mitteilen zu können dass die "
      "Lieferung für März pünktlich eintrifft Größe Maße Preis Angebot gemäß Übersicht Straße "
      "Köln Bürgermeister Äpfel Öffnungszeiten Überweisung schön grün weiß Fußgänger Mädchen "
      "Häuser Rechnung Vertrag Kündigung Zahlung Betrag Termin Gespräch Unterlagen beigefügt "
      "Grüßen Geschäftsführung Bestellung"));
  for (std::string w; list >> w;) words.push_back(w);
  static const char kEnds[] = "..,!?:";
  std::mt19937 random(12);
  std::string text;
  text.reserve(bytes + 128);
  while (text.size() < bytes) {
    const unsigned count = random() % 7;
    for (unsigned i = 0; i < count; ++i) {
      if (i) text += ' ';
      text += words[random() % words.size()];
    }
    if (count) text += kEnds[random() % 6];
    text += "\r\n";
  }
  return text;
}

}  // namespace paginor::bench
