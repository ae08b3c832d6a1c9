// What the layout pass needs of the world: the document, the device characters are measured on,
// the screen the page size is quantised for, hyphenation and the word check. The document window
// makes one for each pass (LayoutContextOf); a tool or a test can make its own. The pass never
// reaches for the window, the application or the platform beyond this.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/hyphen_data.h"
#include "model/records.h"
#include "platform/platform.h"

namespace paginor {

class TMDIChild;

// The device characters are measured on: the printer's resolution and the fonts.
struct MeasureDevice {
  FontEngine& fonts;
  int32_t resolution = 600;
};

// The measuring device's page in its pixels, as SetPrinterProps derives it.
struct MeasuredPage {
  int32_t widthPx = 0;
  int32_t heightPx = 0;
};

// Splits words with the patterns of the document's language, remembering split words. Without
// a table words stay whole.
struct Hyphenator {
  const HyphenTable* table = nullptr;
  HyphenCache* cache = nullptr;
  // The word (Windows-1252) with "-" at every allowed gap.
  std::string split(std::string_view word) const;
};

// The word check of the check while typing: true when the word is correct.
using WordCheck = std::function<bool(std::string_view word)>;

struct LayoutContext {
  Document& doc;
  MeasureDevice device;
  MeasuredPage page;
  int32_t screenDpi = 96;
  Hyphenator hyphen;
  WordCheck wordCheck;  // empty while no word check is installed
};

// The context of the window's document: its measuring values, the application's fonts and
// screen, the window's hyphenation table and cache. Opens nothing and shows nothing: a window
// whose patterns are not read yet lays out without hyphenating.
LayoutContext LayoutContextOf(TMDIChild& w);

}  // namespace paginor
