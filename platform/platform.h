// The small interfaces through which the document engine meets the outside world.
//
// The engine never includes a toolkit header. The headless implementation (platform/headless.h)
// serves the command-line program and the tests; the desktop program supplies its own
// implementations of the same interfaces.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace paginor {

class Canvas;

// ---------------------------------------------------------------------------------------------
// Fonts and text measurement

// A device font as the layout asks for it: face name, height in pixels (negative: the character
// height without internal leading, as the layout always asks), weight, italic, strike-out and
// character set. Underline is drawn by the renderer and never asked of the font.
struct LogFont {
  std::string face;  // Windows face name as documents carry it ("Times New Roman")
  int32_t height = 0;
  int32_t weight = 400;
  bool italic = false;
  bool strikeOut = false;
  uint8_t charset = 1;
  uint8_t outPrecision = 4;  // TrueType preferred
};

using FontHandle = int32_t;  // 0 is no font

struct TextExtent {
  int32_t cx = 0;  // pixels
  int32_t cy = 0;
};

struct FontMetrics {
  int32_t ascent = 0;   // pixels, rounded
  int32_t descent = 0;  // pixels, rounded
  int32_t height = 0;   // ascent + descent
};

class FontEngine {
 public:
  virtual ~FontEngine() = default;
  // Fonts are made at a resolution in pixels per inch; heights are pixels at that resolution.
  virtual FontHandle createFont(const LogFont& lf, int32_t resolution) = 0;
  virtual void deleteFont(FontHandle f) = 0;
  // Extent of single-byte Windows-1252 text: width is the sum of the glyph advances, each
  // rounded to whole pixels; height is the font's ascent plus descent.
  virtual TextExtent textExtent(FontHandle f, std::string_view text) = 0;
  virtual FontMetrics metrics(FontHandle f) = 0;
  // The font file and face index that serve the handle (drawing and PDF embedding use them).
  virtual std::string fontFile(FontHandle f, int32_t* faceIndex = nullptr) = 0;
  // The Unicode character a byte of the handle's face is drawn as (symbol faces are mapped to
  // their Unicode equivalents, all others read as Windows-1252).
  virtual char32_t unicodeFor(FontHandle f, uint8_t byte) = 0;
  // The font file and face index that draw one byte: the symbol faces ("Symbol", "Wingdings")
  // take each character from the first free font that has it, so a byte may come from another
  // file than fontFile() names.
  virtual std::string fontFileFor(FontHandle f, uint8_t byte, int32_t* faceIndex = nullptr) {
    (void)byte;
    return fontFile(f, faceIndex);
  }
  // The em size in pixels the handle was made with, so that another renderer can draw the
  // glyphs at the size they were measured at; 0 when the engine does not say.
  virtual int32_t pixelsPerEm(FontHandle f) {
    (void)f;
    return 0;
  }
  // Whether the handle was made with strike-out: a device draws the line with the text, as it
  // does for a struck-out device font.
  virtual bool strikeOut(FontHandle f) {
    (void)f;
    return false;
  }
  // German messages about missing or damaged font resources gathered so far (the font
  // configuration, the fallback fonts); the program shows them once.
  virtual std::vector<std::string> warnings() const { return {}; }
};

// ---------------------------------------------------------------------------------------------
// Messages, status bar and the format toolbar

enum class MsgIcon { None, Error, Warning, Information, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

// What the format toolbar shows; filled by the engine whenever the format at the cursor changes.
struct FormatToolbarState {
  std::string fontName;  // UTF-8
  std::string sizeText;  // the size printed as a floating-point number
  bool bold = false, italic = false, underline = false;
  bool bullets = false, numbering = false;
  int alignment = 0;                       // 0 left, 1 centred, 2 right, 3 justified
  std::vector<std::string> templateNames;  // UTF-8
  int templateIndex = 0;
};

class Ui {
 public:
  virtual ~Ui() = default;
  // A modal message box. Text and caption are UTF-8.
  virtual MsgResult messageBox(std::string_view text, std::string_view caption, MsgIcon icon,
                               MsgButtons buttons = MsgButtons::Ok) = 0;
  // Status bar panel text (panels 0 to 3), UTF-8.
  virtual void statusText(int panel, std::string_view text) = 0;
  // Lets the user interface catch up once (repaint the status bar during a long operation).
  virtual void processEvents() {}
  virtual void setFormatToolbar(const FormatToolbarState& state) = 0;
  // The main window should bring its File menu (and the related buttons) up to date.
  virtual void refreshFileMenu() {}
  // Opens a file (UTF-8 path) with the desktop's default program for its type, without waiting
  // for it. False when no program could be started; the caller tells the user.
  virtual bool openWithDefaultViewer(const std::string& path) {
    (void)path;
    return false;
  }
};

// ---------------------------------------------------------------------------------------------
// Dialogs as data: the engine fills a dialog record, the platform shows it and writes the
// edited values back, returning false on cancel. Tests answer with scripted values.

struct Dialog {
  virtual ~Dialog() = default;
  virtual const char* title() const = 0;  // the dialog's caption, UTF-8
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual bool run(Dialog& dialog) = 0;
};

// ---------------------------------------------------------------------------------------------
// Printer

struct PaperFormat {
  std::string name;   // up to 64 characters
  int32_t width = 0;  // tenths of a millimetre
  int32_t height = 0;
};

// Distance of the printable area from the sheet's top-left corner, in device pixels.
struct PrintOffset {
  int32_t x = 0;
  int32_t y = 0;
};

// The current printer of the system and its print jobs.
//
// A job runs: beginJob (the first sheet is open), pageCanvas() drawn on, newPage (next sheet),
// ..., endJob. One job at a time. Every call that returns false has ended or refused the job and
// left a German message in errorText(); abortJob drops a running job without printing it.
class Printer {
 public:
  virtual ~Printer() = default;
  virtual bool available() const = 0;
  // Horizontal resolution of the current printer in pixels per inch; 600 without a printer.
  virtual int32_t resolution() const = 0;
  virtual std::vector<PaperFormat> paperFormats() const = 0;

  // Starts a job under the title the print queue shows (UTF-8).
  virtual bool beginJob(const std::string& title) = 0;
  // Ends the current sheet and starts the next one.
  virtual bool newPage() = 0;
  // The surface of the open sheet at resolution(), origin at the printable area's corner;
  // nullptr outside a job. Valid until newPage, endJob or abortJob.
  virtual Canvas* pageCanvas() = 0;
  // Physical offsets of the printable area (PHYSICALOFFSETX/Y), in device pixels.
  virtual PrintOffset physicalOffset() const = 0;
  // Finishes the job and hands it to the printing system.
  virtual bool endJob() = 0;
  virtual void abortJob() = 0;
  virtual std::string errorText() const = 0;
};

// ---------------------------------------------------------------------------------------------
// Where files live

class Paths {
 public:
  virtual ~Paths() = default;
  // Read-only program data: templates, hyphenation patterns, word lists, font configuration.
  virtual std::string programDataDir() const = 0;
  // Per-user writable directory (settings, recovery files, the user's own "normal.sbt").
  virtual std::string userDir() const = 0;
};

// ---------------------------------------------------------------------------------------------

// The set of services one application instance runs on.
struct Platform {
  FontEngine* fonts = nullptr;
  Ui* ui = nullptr;
  Dialogs* dialogs = nullptr;
  Printer* printer = nullptr;
  Paths* paths = nullptr;
  // Pixels per inch of the screen at 100 % zoom (96 headless).
  int32_t screenDpi = 96;
};

}  // namespace paginor
