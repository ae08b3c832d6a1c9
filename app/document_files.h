// Document management of the main window, without the toolkit: the settings it keeps for all
// windows, opening and saving by file type or extension, the ".bak" backup, the open, save and
// PDF dialogs with their filters and extension rules, the names of new documents and the
// question before a modified document is closed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dialogs.h"
#include "platform/result.h"
#include "storage/formats.h"
#include "window/app_settings.h"

namespace paginor {

class TMDIChild;
struct Document;
struct TextImport;
enum class PdfFontMode;

inline constexpr const char* kBackupFailedText = "Konnte Backup-Datei nicht anlegen";
inline constexpr const char* kNewDocumentOutOfMemoryText =
    "Nicht genügend Arbeitsspeicher für ein neues Dokument!";
inline constexpr const char* kCloseQuestionCaption = "Dokument speichern?";

// The writer SaveFile uses: by the save file type 1 to 5, otherwise by the format the path's
// extension names among those the save dialog offers (".txt" ANSI text, ".rtf" RTF, case does
// not matter), anything else native.
DocumentFormat WriterFor(int32_t saveFileType, std::string_view path);
// The reader OpenFile uses: by the open file type 1 to 5 (or kOpenUtf8Text), otherwise by the
// format the extension names (".doc" Word, ".rtf" RTF, ".txt" ANSI text, ".sbl" and the
// template's ".sbt" native, case does not matter), anything else ANSI text.
DocumentFormat ReaderFor(int32_t openFileType, std::string_view path);
// Reads `path` into the window's document with the format's reader, or refuses a format this
// build cannot read with the program's message; shows nothing. `met` (when given) receives what
// a text reader met.
Result ReadDocumentAs(TMDIChild& w, const std::string& path, DocumentFormat format,
                      TextImport* met = nullptr);
// Writes the window's document to `path` in the format (PDF in the given font form), or refuses
// a format this build cannot write with the program's message; shows nothing.
Result WriteDocumentAs(TMDIChild& w, const std::string& path, DocumentFormat format,
                       PdfFontMode fonts);
Result WriteDocumentAs(TMDIChild& w, const std::string& path, DocumentFormat format);

// The save file type a document opened with an open file type keeps: native stays native, RTF
// stays RTF, ANSI, DOS and UTF-8 text stay text of their character set; Word documents and files
// chosen through "Alle Dokumente" or "Alle Dateien" are written by their extension.
int32_t SaveTypeAfterOpen(int32_t openFileType);

// The path with its extension (after the last '.' of the file name) replaced by ".bak", or
// ".bak" appended when the name has none.
std::string BackupPathFor(const std::string& path);
// Makes the backup of an existing file before it is overwritten: a previous backup is
// replaced, the file itself stays in place until its new content is complete. False when the
// backup could not be made (the file is untouched then).
bool MakeBackup(const std::string& path);

// Saves the window's document to its filePath with the writer WriterFor chooses. With backups
// on and the file present, the backup comes first; a failed backup shows "Konnte Backup-Datei
// nicht anlegen" and saving goes on. A writer this build lacks (RTF) is refused with a message.
// Running out of memory ends the save with a message, the file and the document unchanged.
// On success the path goes to the recent files.
bool SaveFile(TMDIChild& w, AppSettings& settings, int32_t saveFileType);

// Reads `path` into the window's document with the reader ReaderFor chooses. When that is the
// native reader (the native filter was chosen) but the file lacks the native magic and its
// extension names another format (".txt", ".rtf", ".doc"), that format's reader takes over:
// the filter is a default, the file decides. A reader this build lacks (Word, RTF) is refused
// with a message and leaves the document as it was. On success the path goes to the recent
// files, and `readAs` (when given) receives the open file type the
// file was read as: the reader that took over, or kOpenUtf8Text for a text file found to be
// UTF-8, else `openFileType` itself. Running out of memory while reading or laying out ends the
// command with a message and leaves the document as it was.
bool OpenFile(TMDIChild& w, AppSettings& settings, const std::string& path, int32_t openFileType,
              int32_t* readAs = nullptr);

// "NONAME" + number: "&Neu" numbers by the document windows open plus one, the first show 1.
std::string NonameName(int32_t number);
// A window for a new document: the empty document with "normal.sbt" read over it, named
// NonameName(number), not modified. False (with a message) when memory ran out; the caller
// closes the window.
bool StartNewDocument(TMDIChild& w, int32_t number);
// A window for a file: the empty document is built, then the file is read over it. False when
// the file could not be read or memory ran out (a message was shown); the caller closes the
// window.
// `openFileType` goes in as the chosen type and comes out as the type the file was read as
// (OpenFile's `readAs`), so that SaveTypeAfterOpen of it keeps the file's format on saving: a
// text file opened through the native filter is not overwritten with a native document.
bool StartFileDocument(TMDIChild& w, AppSettings& settings, const std::string& path,
                       int32_t& openFileType);

// --- Dialogs ---------------------------------------------------------------------------------

// The open dialog, preset to the last filter index (1 when none was used yet).
FileDialog MakeOpenDialog(const AppSettings& settings);
struct OpenChoice {
  std::string path;
  int32_t openFileType = kOpenByExtension;  // the chosen filter index
};
// Shows the open dialog; on OK the chosen filter becomes the last filter index.
std::optional<OpenChoice> ChooseFileToOpen(Dialogs& dialogs, AppSettings& settings);

// The path without the extension of its file name ("/a/b.x/report.sbl" -> "/a/b.x/report").
std::string PathWithoutExtension(std::string_view path);
// Whether the file name part has an extension (a '.' after its first character).
bool HasExtension(std::string_view path);
// A chosen save name: without extension it gets ".sbl", ".rtf", ".txt", ".txt", ".txt" for
// filter 1 to 5 (other filters add nothing); with one it is kept.
std::string WithSaveExtension(const std::string& path, int32_t filterIndex);
// A chosen PDF name: ".pdf" is appended when it has no extension (lower case, as names on
// Linux are).
std::string WithPdfExtension(const std::string& path);

// The save dialog: preset to the document's path without extension (empty with `emptyName`),
// its filter index to the window's save file type (1 when that is 0).
FileDialog MakeSaveDialog(const Document& doc, int32_t saveFileType, bool emptyName);
FileDialog MakePdfDialog(const Document& doc);

// "Speichern &unter...": the save dialog, then the chosen filter becomes the file type and the
// chosen name (with its extension rule) the filePath, then SaveFile. When saving fails the
// document keeps its previous path and file type. False on cancel or failure.
bool SaveFileAs(TMDIChild& w, AppSettings& settings, int32_t& saveFileType);
// "&Speichern": without filePath first the save dialog with an empty name, then SaveFile.
bool SaveCommand(TMDIChild& w, AppSettings& settings, int32_t& saveFileType);
// "PDF-Export...": the PDF dialog, then the export. The written path, or nothing on cancel or
// failure (the export has shown its message). Opening it in a viewer is the shell's part.
std::optional<std::string> ExportPdfCommand(TMDIChild& w);

// --- Closing ---------------------------------------------------------------------------------

// "Möchten Sie die Änderungen in " + file name + " speichern?" (UTF-8).
std::string CloseQuestionText(const Document& doc);
// Whether the window may close. A modified document asks the question (Yes, No, Cancel;
// question icon; caption "Dokument speichern?"): Cancel keeps the window, No lets it close,
// Yes runs `save` and lets it close only when that saved. An unmodified one closes at once.
bool QueryCloseDocument(TMDIChild& w, const std::function<bool()>& save);

}  // namespace paginor
