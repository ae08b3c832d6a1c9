// The document formats the program knows, in one table: the names the command line uses, the
// extensions, the filter indexes of the open and save dialogs, and what this build can read and
// write. The dialogs, the file commands and paginor-cli all take their rules from here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace paginor {

// A window's file type in the numbering of the save dialog's filter; the shell keeps one per
// document window and hands it to the file commands (app/document_files.h).
inline constexpr int32_t kSaveByExtension = 0;
inline constexpr int32_t kSaveNative = 1;
inline constexpr int32_t kSaveRtf = 2;
inline constexpr int32_t kSaveAnsiText = 3;
inline constexpr int32_t kSaveDosText = 4;
inline constexpr int32_t kSaveUtf8Text = 5;  // "Text UTF-8": text as Linux tools expect it

// The open dialog's filter numbering, which differs from 2 on.
inline constexpr int32_t kOpenByExtension = 0;
inline constexpr int32_t kOpenNative = 1;
inline constexpr int32_t kOpenWord = 2;
inline constexpr int32_t kOpenRtf = 3;
inline constexpr int32_t kOpenAnsiText = 4;
inline constexpr int32_t kOpenDosText = 5;
// Not a filter of the dialog: the type a document read from a UTF-8 text file settles on, so
// that it is saved as UTF-8 again.
inline constexpr int32_t kOpenUtf8Text = 8;

inline constexpr const char* kOpenFilter =
    "Scribolantium Dateien (*.sbl)|*.sbl|Word-Dateien (*.doc)|*.doc|Rich Text Dateien "
    "(*.rtf)|*.rtf|Textdateien (*.txt)|*.txt|Textdateien DOS (*.txt)|*.txt|Alle "
    "Dokumente|*.doc;*.sbl;*.rtf;*.htm;*.html;*.txt|Alle Dateien (*.*)|*.*";
inline constexpr const char* kSaveFilter =
    "Scribolantium Dateien (*.sbl)|*.sbl|Rich Text Dateien (*.rtf)|*.rtf|Textdateien "
    "(*.txt)|*.txt|Textdateien DOS (*.txt)|*.txt|Text UTF-8 (*.txt)|*.txt";
inline constexpr const char* kPdfFilter = "PDF-Dateien (*.pdf)|*.pdf";

enum class DocumentFormat { Native, Word, Rtf, AnsiText, DosText, Utf8Text, Pdf };

struct FormatInfo {
  DocumentFormat format;
  const char* name;         // the command line's name ("sbl", "txt", ...)
  const char* extension;    // lower case with its dot: what a chosen save name gets
  const char* alsoExtension;  // a second extension that names the format (".sbt"), or ""
  int32_t openType;         // the open dialog's filter index (or the type a read settles on), 0: none
  int32_t saveType;         // the save dialog's filter index, 0: not offered there
  bool readable;            // this build reads it
  bool writable;            // this build writes it
  const char* description;  // for the command line's help
};

// Every format, in the order the command line lists them.
std::span<const FormatInfo> DocumentFormats();
const FormatInfo& InfoOf(DocumentFormat format);
// The format a command-line name stands for.
const FormatInfo* FormatNamed(std::string_view name);
// The format a path's extension names (case does not matter), when it names one. Text files are
// ANSI text by name; DOS and UTF-8 text are chosen, never named.
const FormatInfo* FormatOfExtension(std::string_view path);
// The formats offered by the save or open dialog's filter index.
const FormatInfo* FormatOfSaveType(int32_t saveType);
const FormatInfo* FormatOfOpenType(int32_t openType);
// "sbl, txt, dostxt, utf8txt, rtf, doc, pdf": the command line's names, for messages.
std::string FormatNameList();
// ".sbl, .sbt, .txt, ...": the extensions that name a format.
std::string ExtensionList();

}  // namespace paginor
