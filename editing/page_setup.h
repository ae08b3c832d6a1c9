// The "Seite einrichten" command and its dialog.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "window/document_window.h"

namespace paginor {

// Header/footer modes of "Kopf-/Fußzeilen anders auf:".
enum class HeaderMode { AllSame = 0, FirstPage = 1, EvenOdd = 2, FirstAndEvenOdd = 3 };

struct PageSetupDialog : Dialog {
  const char* title() const override { return "Seite einrichten"; }

  // "Format:": the printer's formats followed by "Benutzerdefiniert".
  std::vector<PaperFormat> printerFormats;
  std::vector<std::string> formatNames;  // UTF-8, printer formats + "Benutzerdefiniert"
  int formatIndex = 0;
  bool landscape = false;  // "Querformat" checked, else "Hochformat"
  // Centimetres.
  double widthCm = 21.0, heightCm = 29.7;
  double marginTopCm = 2.5, marginLeftCm = 2.5, marginBottomCm = 2.5, marginRightCm = 2.5;
  double headerDistanceCm = 1.1, footerDistanceCm = 1.1;
  HeaderMode mode = HeaderMode::AllSame;
  std::vector<std::string> modeNames = {"Auf allen Seiten gleich", "Seite 1 ",
                                        "Geraden/ungeraden Seiten",
                                        "Seite 1 und geraden/ungeraden Seiten"};

  static constexpr double kStepCm = 0.1;
  static constexpr double kMaxCm = 100.0;

  bool isCustom() const { return formatIndex >= static_cast<int>(printerFormats.size()); }
  // The paper-size controls keep each other in line while the dialog is open.
  void onFormatOrOrientationChanged();  // "Format:", "Hochformat" or "Querformat" clicked
  void onSizeEdited();                  // "Breite:" or "Höhe:" edited

 private:
  bool guard_ = false;  // keeps the handlers from calling each other
};

// Fills the dialog, runs it and applies it. Returns whether the page was changed.
bool PageSetup(TMDIChild& w);

}  // namespace paginor
