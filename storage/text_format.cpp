#include "storage/text_format.h"

#include <iconv.h>

#include <cmath>
#include <new>
#include <string_view>
#include <vector>

#include "layout/layout.h"
#include "layout/measure.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "platform/cp1252.h"
#include "storage/atomic_file.h"
#include "storage/file_io.h"
#include "window/document_window.h"

namespace paginor {

namespace {

constexpr const char* kNoOemText = "Der DOS-Zeichensatz (Codepage 850) steht nicht zur Verfügung!";
// A tab cell read from a text file: the width of a default tab stop; the line breaker sets the
// real width, and the height -1 lets the line take its height from the other cells.
constexpr double kTabWidth = 12.5;
constexpr double kTabHeight = -1.0;

iconv_t openConverter(std::initializer_list<const char*> to,
                      std::initializer_list<const char*> from) {
  for (const char* t : to)
    for (const char* f : from) {
      iconv_t cd = iconv_open(t, f);
      if (cd != reinterpret_cast<iconv_t>(-1)) return cd;
    }
  return reinterpret_cast<iconv_t>(-1);
}

// Code page 850's line and block graphics, which Windows-1252 lacks, as the nearest plain
// character, so that a table drawn with lines in a DOS program stays a table. Single lines are
// what a transliterating conversion gives; double lines follow suit ("=" for the double dash).
struct OemFallback {
  uint8_t oem;
  char ansi;
};
constexpr OemFallback kOemFallbacks[] = {
    {0xB3, '|'}, {0xBA, '|'},                                         // │ ║
    {0xC4, '-'}, {0xCD, '='},                                         // ─ ═
    {0xB4, '+'}, {0xB9, '+'}, {0xBB, '+'}, {0xBC, '+'}, {0xBF, '+'},  // ┤ ╣ ╗ ╝ ┐
    {0xC0, '+'}, {0xC1, '+'}, {0xC2, '+'}, {0xC3, '+'}, {0xC5, '+'},  // └ ┴ ┬ ├ ┼
    {0xC8, '+'}, {0xC9, '+'}, {0xCA, '+'}, {0xCB, '+'}, {0xCC, '+'},  // ╚ ╔ ╩ ╦ ╠
    {0xCE, '+'}, {0xD9, '+'}, {0xDA, '+'},                            // ╬ ┘ ┌
    {0xB0, '#'}, {0xB1, '#'}, {0xB2, '#'}, {0xDB, '#'}, {0xDC, '#'},  // ░ ▒ ▓ █ ▄
    {0xDF, '#'}, {0xFE, '#'},                                         // ▀ ■
    {0xD5, 'i'}, {0xF2, '_'},                                         // ı ‗
};

// Both code pages have one byte per character, so converting each byte alone gives the whole
// mapping; the system's tables decide, not ours.
std::optional<ByteTable> buildTable(iconv_t cd) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  ByteTable table{};
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    char out[8];
    char* ip = &in;
    char* op = out;
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const size_t r = iconv(cd, &ip, &inLeft, &op, &outLeft);
    const bool single = r != static_cast<size_t>(-1) && inLeft == 0 && op - out == 1;
    table[static_cast<size_t>(b)] = single ? static_cast<uint8_t>(out[0]) : uint8_t{'?'};
  }
  iconv_close(cd);
  return table;
}

// Fills the gaps the system's table leaves with the fallbacks above.
std::optional<ByteTable> withOemFallbacks(std::optional<ByteTable> table) {
  if (table)
    for (const OemFallback& f : kOemFallbacks)
      if ((*table)[f.oem] == '?') (*table)[f.oem] = static_cast<uint8_t>(f.ansi);
  return table;
}

// A text file's bytes in the document's code page, and what it took to get there.
struct DecodedText {
  std::vector<uint8_t> bytes;
  TextCode code = TextCode::Ansi;
  size_t replaced = 0;  // characters without an equivalent, now "?"
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view asChars(const std::vector<uint8_t>& data) {
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

bool startsWithBom(std::string_view s) {
  return s.substr(0, kUtf8Bom.size()) == kUtf8Bom;
}

// Valid UTF-8 with at least one multi-byte sequence. Pure ASCII stays with the code page asked
// for (it reads the same either way), and a single byte of 0x80 or more that is not part of a
// well-formed sequence marks a file of a single-byte code page.
bool isMultiByteUtf8(std::string_view s) {
  bool multi = false;
  char32_t c = 0;
  for (size_t i = 0; i < s.size();) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    const size_t len = decodeUtf8(s, i, c);
    if (len == 0) return false;
    multi = true;
    i += len;
  }
  return multi;
}

// UTF-8 to Windows-1252. A character the code page lacks and a damaged sequence (possible in a
// file that announces UTF-8 by its byte-order mark) each become one "?"; line-end and control
// bytes pass unchanged, for the line splitting to come.
DecodedText decodeUtf8Text(std::string_view s) {
  DecodedText out;
  out.code = TextCode::Utf8;
  out.bytes.reserve(s.size());
  size_t i = startsWithBom(s) ? kUtf8Bom.size() : 0;
  char32_t c = 0;
  while (i < s.size()) {
    const size_t len = decodeUtf8(s, i, c);
    if (len == 0) {
      // One "?" for the damaged sequence: its lead byte and the continuation bytes after it.
      ++i;
      for (int k = 0; k < 3 && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80;
           ++k)
        ++i;
      out.bytes.push_back('?');
      ++out.replaced;
      continue;
    }
    i += len;
    const int b = unicodeToCp1252(c);
    if (b < 0) {
      out.bytes.push_back('?');
      ++out.replaced;
    } else {
      out.bytes.push_back(static_cast<uint8_t>(b));
    }
  }
  return out;
}

// The file's bytes in Windows-1252: UTF-8 when it was asked for or the file shows it, else the
// code page asked for (`oem` translates DOS bytes).
DecodedText decodeText(std::vector<uint8_t>&& data, TextCode asked, const ByteTable* oem) {
  const std::string_view s = asChars(data);
  if (asked == TextCode::Utf8 || startsWithBom(s) || isMultiByteUtf8(s)) return decodeUtf8Text(s);
  DecodedText out;
  out.code = asked;
  out.bytes = std::move(data);
  if (oem)
    for (uint8_t& b : out.bytes) b = (*oem)[b];
  return out;
}

// Appends text-file lines to the document at the Cursor, as typing would.
class TextBuilder {
 public:
  explicit TextBuilder(TMDIChild& w) : w_(w), d_(w.doc) {}

  void put(uint8_t b) {
    if (b < 32 && b != 9) {  // other control characters are dropped, and counted
      ++dropped_;
      return;
    }
    CharRec* c = append();
    if (!c) return;
    c->ch = b;
    if (b == 9) {
      c->width = kTabWidth;
      c->height = kTabHeight;
    } else {
      measure(*c);
    }
    ++d_.Cursor.chr;
  }

  // Room for the cells of the line about to be read: a line grown cell by cell would hold up to
  // twice its cells while growing, which for a long paragraph is gigabytes.
  // An empty line gets no cell array at all.
  void reserve(size_t cells) {
    if (cells == 0) return;
    const CursorPos& cur = d_.Cursor;
    if (cur.field < 0 || cur.field >= d_.fieldCount()) return;
    FieldRec& f = d_.fields[static_cast<size_t>(cur.field)];
    if (cur.line >= 0 && cur.line < f.lineCount()) {
      std::vector<CharRec>& line = f.lines[cur.line].chars.edit();
      line.reserve(line.size() + cells);
    }
  }

  size_t dropped() const { return dropped_; }

  // Ends the current line as a paragraph and continues on a new last line of the field.
  void newParagraph() {
    const CursorPos& cur = d_.Cursor;
    if (cur.field < 0 || cur.field >= d_.fieldCount()) return;
    FieldRec& f = d_.fields[static_cast<size_t>(cur.field)];
    if (cur.line >= 0 && cur.line < f.lineCount()) f.lines[cur.line].endKind = kEndParagraph;
    InsertNewLine(d_, cur.field, f.lineCount());
    d_.Cursor = CursorPos{cur.field, f.lineCount() - 1, 0};
  }

 private:
  // A new cell at the Cursor in the CurrentFormat, as NewChar makes it. Every cell of the file
  // has the CurrentFormat's font: after the first cell the font is not looked up again, and a
  // cell at the end of the Cursor's line is appended to its cells directly.
  CharRec* append() {
    const CursorPos& cur = d_.Cursor;
    if (fontIndex_ >= 0 && cur.field >= 0 && cur.field < d_.fieldCount()) {
      FieldRec& f = d_.fields[static_cast<size_t>(cur.field)];
      if (cur.line >= 0 && cur.line < f.lineCount()) {
        LineRec& line = f.lines[cur.line];
        if (cur.chr == line.charCount()) {
          std::vector<CharRec>& cells = line.chars.edit();
          CharRec& c = cells.emplace_back();
          c.fontIndex = fontIndex_;
          return &c;
        }
      }
    }
    CharRec* c = NewChar(d_);
    if (c) fontIndex_ = c->fontIndex;
    return c;
  }

  // Every cell of the file has the same font: measure each byte value once.
  void measure(CharRec& c) {
    if (c.fontIndex != memoFont_) {
      memoFont_ = c.fontIndex;
      for (auto& m : memo_) m = {NAN, NAN};
    }
    auto& m = memo_[c.ch];
    if (std::isnan(m.first)) {
      RenderChar(w_, c, /*forceSuperscript*/ false, CellText(c));
      m = {c.width, c.height};
    }
    c.width = m.first;
    c.height = m.second;
  }

  TMDIChild& w_;
  Document& d_;
  size_t dropped_ = 0;
  int32_t memoFont_ = -1;
  int32_t fontIndex_ = -1;  // the font of the cells made so far
  std::array<std::pair<double, double>, 256> memo_{};
};

// Builds the document from the text and lays it out; the number of control bytes dropped.
size_t buildDocument(TMDIChild& w, const std::vector<uint8_t>& data) {
  Document& d = w.doc;
  d.CurrentFormat.curFontName = "Courier New";
  TextBuilder b(w);
  const size_t n = data.size();
  size_t i = 0;
  bool first = true;
  while (i < n) {
    const size_t start = i;
    size_t kept = 0;
    for (; i < n && data[i] != '\r' && data[i] != '\n'; ++i)
      if (data[i] >= 32 || data[i] == 9) ++kept;
    const size_t end = i;
    if (i < n) i += (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n') ? 2 : 1;
    if (!first) b.newParagraph();
    first = false;
    b.reserve(kept);
    for (size_t k = start; k < end; ++k) b.put(data[k]);
  }
  d.Cursor = CursorPos{};
  d.Anchor = d.Cursor;
  SetAllDirtyFlags(d);
  MakeSoftEnters(w);
  return b.dropped();
}

// Whether the line starts a paragraph: the chain's first line, or the line above it in the same
// cell column ended a paragraph or a page, or a table row starts or ended.
bool startsParagraph(const Document& d, int32_t field, int32_t line) {
  const LineRec& l = d.fields[static_cast<size_t>(field)].lines[line];
  int32_t pf = field;
  int32_t pl = line - (l.rowCells > 0 ? l.rowCells : 1);
  GoToLine(d, pf, pl);
  if (pl < 0 || pl >= d.fields[static_cast<size_t>(pf)].lineCount()) return true;
  const LineRec& above = d.fields[static_cast<size_t>(pf)].lines[pl];
  return above.endKind == kEndParagraph || above.endKind == kEndPageBreak || l.rowStart != 0 ||
         above.rowEnd != 0;
}

class TextCollector {
 public:
  TextCollector(TextCode code, const ByteTable* oem) : code_(code), oem_(oem) {}

  void chain(const Document& d, int32_t head) {
    // A chain can never be longer than the field count, even in a damaged document.
    int32_t steps = d.fieldCount();
    for (int32_t f = head; f >= 0 && f < d.fieldCount() && steps-- > 0;
         f = d.fields[static_cast<size_t>(f)].nextField) {
      const FieldRec& field = d.fields[static_cast<size_t>(f)];
      for (int32_t l = 0; l < field.lineCount(); ++l) addLine(d, f, l);
    }
    if (!line_.empty()) emit();
  }
  std::string take() { return std::move(out_); }

 private:
  void addLine(const Document& d, int32_t f, int32_t index) {
    const LineRec& l = d.fields[static_cast<size_t>(f)].lines[index];
    if (startsParagraph(d, f, index)) {
      if (l.para.listKind == kListBullets) line_ += "* ";
      if (l.para.listKind == kListNumbers) line_ += std::to_string(l.para.listNumber) + ". ";
    }
    for (const CharRec& c : l.chars)
      if (c.kind == kCharText) line_ += static_cast<char>(c.ch);
    if (l.inTable) line_ += '\t';
    const bool rowDone = l.inTable && l.cellColumn + 1 == l.rowCells;
    if ((l.endKind != kEndSoft && !l.inTable) || rowDone) emit();
  }
  void emit() {
    if (code_ == TextCode::Utf8) {
      out_ += cp1252ToUtf8(line_);
      out_ += '\n';
    } else {
      if (oem_)
        for (char& ch : line_) ch = static_cast<char>((*oem_)[static_cast<uint8_t>(ch)]);
      out_ += line_;
      out_ += "\r\n";
    }
    line_.clear();
  }

  TextCode code_;
  const ByteTable* oem_;
  std::string line_;
  std::string out_;
};

}  // namespace

const std::optional<ByteTable>& OemToAnsiTable() {
  static const std::optional<ByteTable> table =
      withOemFallbacks(buildTable(openConverter({"WINDOWS-1252", "CP1252"}, {"CP850", "IBM850"})));
  return table;
}

const std::optional<ByteTable>& AnsiToOemTable() {
  static const std::optional<ByteTable> table =
      buildTable(openConverter({"CP850", "IBM850"}, {"WINDOWS-1252", "CP1252"}));
  return table;
}

std::string ReplacedCharactersText(const std::string& name, size_t count) {
  const bool one = count == 1;
  return "Die Datei " + name + " enthält " +
         (one ? std::string("ein Zeichen, das") : std::to_string(count) + " Zeichen, die") +
         " der Zeichensatz Windows-1252 nicht kennt; " + (one ? "es wurde" : "sie wurden") +
         " durch \"?\" ersetzt.";
}

std::string DroppedControlsText(const std::string& name, size_t count) {
  return "Die Datei " + name + " enthielt " +
         (count == 1 ? std::string("ein Steuerzeichen (etwa NUL), das")
                     : std::to_string(count) + " Steuerzeichen (etwa NUL), die") +
         " beim Lesen ausgelassen " + (count == 1 ? "wurde." : "wurden.");
}

namespace {

// Without the system's code page tables DOS text can be neither read nor written.
Failure noOemFailure(FailureStage stage) {
  Failure f = ReadingFailure(FailureKind::Unsupported, kNoOemText);
  f.stage = stage;
  return f;
}

// Decodes the text and builds the window's document from it. Running out of memory on the way
// gives the window its previous document back and goes on to the caller.
Result importText(TMDIChild& w, std::vector<uint8_t>&& data, TextCode code, TextImport& report) {
  const ByteTable* oem = nullptr;
  if (code == TextCode::Dos) {
    if (!OemToAnsiTable()) return noOemFailure(FailureStage::Reading);
    oem = &*OemToAnsiTable();
  }
  FileStatus status(w.app.ui(), kOpeningText);
  // The window was made for the file and holds the small new document: a copy costs little.
  Document previous = w.doc;
  try {
    const DecodedText text = decodeText(std::move(data), code, oem);
    report.code = text.code;
    report.replaced = text.replaced;
    report.dropped = buildDocument(w, text.bytes);
  } catch (const std::bad_alloc&) {
    w.doc = std::move(previous);
    throw;
  }
  return {};
}

// What the user is told after a successful read: dropped bytes in the status bar (they were
// never text), characters Windows-1252 lacks in the result's warning (the text shows "?" in
// their place).
void tellAfterReading(TMDIChild& w, const std::string& name, const TextImport& report,
                      Result& result) {
  try {
    if (report.dropped > 0) w.app.ui().statusText(3, DroppedControlsText(name, report.dropped));
    if (report.replaced > 0) {
      Failure warning = ReadingFailure(FailureKind::Unsupported,
                                       ReplacedCharactersText(name, report.replaced));
      warning.icon = MsgIcon::Warning;
      result.setWarning(std::move(warning));
    }
  } catch (const std::bad_alloc&) {
    // The document is read; only the note is lost.
  }
}

}  // namespace

Result OpenTXTFile(TMDIChild& w, const std::string& path, TextCode code, TextImport* report,
                   FileBinding binding) {
  TextImport met;
  Result result;
  try {
    const std::string name = FileNameOf(path);
    PendingFileName pending(path, binding);
    std::vector<uint8_t> data;
    Result read = ReadWholeFile(path, kMaxTextFileBytes, data);
    if (!read) return read;
    result = importText(w, std::move(data), code, met);
    if (!result) return result;
    pending.take(w);
    // Told after the document is there: the text is read, only these bytes are not.
    tellAfterReading(w, name, met, result);
  } catch (const std::bad_alloc&) {
    return OutOfMemoryFailure(FileNameOf(path), FileCommand::Open);
  }
  if (report) *report = met;
  return result;
}

Result OpenTXTData(TMDIChild& w, std::vector<uint8_t> data, const std::string& name,
                   TextCode code, TextImport* report, FileBinding binding) {
  if (data.size() > kMaxTextFileBytes)
    return ReadingFailure(FailureKind::TooLarge, TooLargeText(name));
  TextImport met;
  Result result;
  try {
    result = importText(w, std::move(data), code, met);
  } catch (const std::bad_alloc&) {
    return OutOfMemoryFailure(name, FileCommand::Open);
  }
  if (!result) return result;
  if (binding == FileBinding::Adopt) {
    try {
      SetFileChanged(w, false);
    } catch (const std::bad_alloc&) {
      w.doc.modified = 0;
    }
  }
  if (report) *report = met;
  tellAfterReading(w, name, met, result);
  return result;
}

Result SaveTXTFile(TMDIChild& w, const std::string& path, TextCode code, FileBinding binding) {
  const ByteTable* oem = nullptr;
  if (code == TextCode::Dos) {
    if (!AnsiToOemTable()) return noOemFailure(FailureStage::Writing);
    oem = &*AnsiToOemTable();
  }
  return WriteDocumentFile(w, path, binding, [&](AtomicFile& file) {
    const Document& d = w.doc;
    TextCollector collect(code, oem);
    for (int32_t i = 0; i < d.fieldCount(); ++i) {
      const int32_t prev = d.fields[static_cast<size_t>(i)].prevField;
      if (prev < 0 || prev >= d.fieldCount()) collect.chain(d, i);
    }
    return file.write(collect.take());
  });
}

}  // namespace paginor
