// Headless implementations of the platform interfaces, for the command-line program and tests.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/platform.h"

namespace paginor {

// Records what the engine shows; optionally echoes messages to standard error.
class HeadlessUi : public Ui {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MsgIcon icon;
  };

  MsgResult messageBox(std::string_view text, std::string_view caption, MsgIcon icon,
                       MsgButtons buttons) override;
  void statusText(int panel, std::string_view text) override;
  void setFormatToolbar(const FormatToolbarState& state) override { toolbar = state; }
  void refreshFileMenu() override { ++fileMenuRefreshes; }
  bool openWithDefaultViewer(const std::string& path) override {
    opened.push_back(path);
    return viewerAvailable;
  }

  bool echoToStderr = false;
  // Answer given to message boxes that ask a question.
  MsgResult answer = MsgResult::Ok;
  std::vector<Message> messages;
  std::vector<std::string> statusHistory;  // every status text set, in order ("" = cleared)
  std::string status[4];
  FormatToolbarState toolbar;
  int fileMenuRefreshes = 0;
  std::vector<std::string> opened;  // paths handed to the default viewer, in order
  bool viewerAvailable = true;      // answer of openWithDefaultViewer
};

// Answers dialogs from a script. A dialog without a scripted answer is cancelled.
class ScriptedDialogs : public Dialogs {
 public:
  using Answer = std::function<bool(Dialog&)>;
  bool run(Dialog& dialog) override;
  void push(Answer a) { script_.push_back(std::move(a)); }
  std::vector<std::string> shown;  // titles of every dialog run

 private:
  std::deque<Answer> script_;
};

// A canvas that keeps a list of what was drawn on it (the pages of a headless print job).
class RecordingCanvas : public Canvas {
 public:
  enum class Op { Fill, Rectangle, Ellipse, Invert, Line, Text, Picture, Clip, ClipRing, Unclip };
  struct Item {
    Op op;
    IntRect rect;       // Line: from (left, top) to (right, bottom); Text: (left, top) only
    std::string text;   // Text: the Windows-1252 bytes
    Colour colour = 0;  // pen colour of lines and outlines, brush colour of fills, text colour
  };

  RecordingCanvas(FontEngine* fonts, int32_t resolution) : fonts_(fonts), resolution_(resolution) {}
  int32_t resolution() const override { return resolution_; }
  bool isPrinter() const override { return true; }
  void setPen(const CanvasPen& pen) override { pen_ = pen; }
  void setBrush(const CanvasBrush& brush) override { brush_ = brush; }
  void moveTo(int32_t x, int32_t y) override { x_ = x, y_ = y; }
  void lineTo(int32_t x, int32_t y) override {
    items.push_back({Op::Line, {x_, y_, x, y}, {}, pen_.colour});
    x_ = x, y_ = y;
  }
  void fillRect(const IntRect& r) override { items.push_back({Op::Fill, r, {}, brush_.colour}); }
  void rectangle(const IntRect& r) override {
    items.push_back({Op::Rectangle, r, {}, pen_.colour});
  }
  void ellipse(const IntRect& r) override { items.push_back({Op::Ellipse, r, {}, pen_.colour}); }
  void invertRect(const IntRect& r) override { items.push_back({Op::Invert, r, {}, 0}); }
  void setClip(const IntRect* r) override {
    items.push_back(r ? Item{Op::Clip, *r, {}, 0} : Item{Op::Unclip, {}, {}, 0});
  }
  void setClipRing(const IntRect& outer, const IntRect& inner) override {
    (void)inner;
    items.push_back({Op::ClipRing, outer, {}, 0});
  }
  void selectFont(FontHandle font, Colour textColour) override {
    font_ = font;
    textColour_ = textColour;
  }
  void textOut(int32_t x, int32_t y, std::string_view text) override {
    items.push_back({Op::Text, {x, y, x, y}, std::string(text), textColour_});
  }
  TextExtent textExtent(std::string_view text) override {
    return fonts_ && font_ ? fonts_->textExtent(font_, text) : TextExtent{};
  }
  void drawPicture(const IntRect& dest, const BildRec&) override {
    items.push_back({Op::Picture, dest, {}, 0});
  }

  std::vector<Item> items;

 private:
  FontEngine* fonts_;
  int32_t resolution_;
  CanvasPen pen_;
  CanvasBrush brush_;
  int32_t x_ = 0, y_ = 0;
  FontHandle font_ = 0;
  Colour textColour_ = 0;
};

// No printer unless a test installs one: 600 pixels per inch and no paper formats. An installed
// headless printer records its jobs, one RecordingCanvas per sheet.
class HeadlessPrinter : public Printer {
 public:
  struct Job {
    std::string title;
    std::vector<std::unique_ptr<RecordingCanvas>> sheets;
    bool ended = false;
    bool aborted = false;
  };

  bool available() const override { return installed || !formats.empty(); }
  int32_t resolution() const override { return dpi; }
  std::vector<PaperFormat> paperFormats() const override { return formats; }

  bool beginJob(const std::string& title) override {
    if (!available()) return fail("Es ist kein Drucker installiert.");
    if (running()) return fail("Es wird bereits gedruckt.");
    jobs.push_back({title, {}, false, false});
    return openSheet();
  }
  bool newPage() override { return running() ? openSheet() : fail("Es wird nicht gedruckt."); }
  Canvas* pageCanvas() override { return running() ? jobs.back().sheets.back().get() : nullptr; }
  PrintOffset physicalOffset() const override { return offset; }
  bool endJob() override {
    if (!running()) return fail("Es wird nicht gedruckt.");
    jobs.back().ended = true;
    return true;
  }
  void abortJob() override {
    if (running()) jobs.back().aborted = true;
  }
  std::string errorText() const override { return error; }

  int32_t dpi = 600;
  std::vector<PaperFormat> formats;
  bool installed = false;
  PrintOffset offset;
  FontEngine* fonts = nullptr;  // measures text on the sheets
  int failAtSheet = 0;          // > 0: opening this sheet (counting from 1) fails
  std::vector<Job> jobs;
  std::string error;

 private:
  bool running() const { return !jobs.empty() && !jobs.back().ended && !jobs.back().aborted; }
  bool fail(const char* text) {
    error = text;
    return false;
  }
  bool openSheet() {
    Job& j = jobs.back();
    if (failAtSheet == static_cast<int>(j.sheets.size()) + 1) {
      j.aborted = true;
      return fail("Der Drucker hat die Seite nicht angenommen.");
    }
    j.sheets.push_back(std::make_unique<RecordingCanvas>(fonts, dpi));
    return true;
  }
};

// Program data and per-user directory. PAGINOR_DATA_DIR and PAGINOR_USER_DIR override them;
// otherwise program data lies in ../share/paginor beside the executable (installed or in the
// build tree) and the user directory follows the XDG base-directory conventions.
class SystemPaths : public Paths {
 public:
  SystemPaths();
  std::string programDataDir() const override { return data_; }
  std::string userDir() const override { return user_; }

 private:
  std::string data_;
  std::string user_;
};

// A complete headless platform with real font measurement.
class HeadlessPlatform {
 public:
  HeadlessPlatform();
  ~HeadlessPlatform();
  Platform& platform() { return p_; }

  HeadlessUi ui;
  ScriptedDialogs dialogs;
  HeadlessPrinter printer;
  SystemPaths paths;
  std::unique_ptr<FontEngine> fonts;

 private:
  Platform p_;
};

}  // namespace paginor
