#include "app/document_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include <filesystem>
#include <system_error>

#include "layout/hyphenation.h"
#include "output/pdf_export.h"
#include "output/settle.h"
#include "platform/cp1252.h"
#include "storage/atomic_file.h"
#include "storage/file_io.h"
#include "storage/new_document.h"
#include "storage/sbl_format.h"
#include "storage/sbl_layout.h"
#include "storage/text_format.h"
#include "window/document_window.h"

namespace paginor {

namespace {

namespace fs = std::filesystem;

// The length word and the magic that open every native document.
constexpr size_t kNativeHeadBytes = 4 + sbl::kMagic.size();

// Offset of the extension's '.' in `path`, or npos. A leading dot of the file name (a hidden
// file such as ".profile") is no extension.
size_t extensionDot(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos || dot <= nameStart) return std::string_view::npos;
  return dot;
}

bool isRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

std::string notSupportedText(std::string_view verb, const std::string& path,
                             std::string_view what) {
  return "Konnte Datei " + FileNameOf(path) + " nicht " + std::string(verb) + ": " +
         std::string(what);
}

// The format a file's extension names among those the open dialog offers ("report.txt" text,
// not "notes.dat").
std::optional<DocumentFormat> formatNamedBy(std::string_view path) {
  const FormatInfo* named = FormatOfExtension(path);
  if (!named || named->openType == 0) return std::nullopt;
  return named->format;
}

// Whether the file is readable and does not start with the native magic. A file that cannot be
// read counts as native, so that the native reader reports it as it does any other.
bool lacksNativeMagic(const std::string& path) {
  std::vector<uint8_t> head;
  if (!ReadFileStart(path, kNativeHeadBytes, head)) return false;
  return !HasSblMagic(head.data(), head.size());
}

bool saveWithDialog(TMDIChild& w, AppSettings& settings, int32_t& saveFileType, bool emptyName) {
  FileDialog dialog = MakeSaveDialog(w.doc, saveFileType, emptyName);
  if (!w.app.dialogs().run(dialog) || dialog.fileName.empty()) return false;
  const int32_t chosen = dialog.filterIndex;
  const std::string path = WithSaveExtension(dialog.fileName, chosen);
  // A failed save must not leave the document pointing at a file that was never written.
  const std::string oldPath = w.doc.filePath;
  const int32_t oldType = saveFileType;
  w.doc.filePath = path;
  saveFileType = chosen;
  if (SaveFile(w, settings, saveFileType)) return true;
  w.doc.filePath = oldPath;
  saveFileType = oldType;
  return false;
}

}  // namespace

DocumentFormat WriterFor(int32_t saveFileType, std::string_view path) {
  if (const FormatInfo* chosen = FormatOfSaveType(saveFileType)) return chosen->format;
  const FormatInfo* named = FormatOfExtension(path);
  return named && named->saveType != 0 ? named->format : DocumentFormat::Native;
}

DocumentFormat ReaderFor(int32_t openFileType, std::string_view path) {
  if (const FormatInfo* chosen = FormatOfOpenType(openFileType)) return chosen->format;
  return formatNamedBy(path).value_or(DocumentFormat::AnsiText);
}

int32_t SaveTypeAfterOpen(int32_t openFileType) {
  const FormatInfo* read = FormatOfOpenType(openFileType);
  return read && read->saveType != 0 ? read->saveType : kSaveByExtension;
}

std::string BackupPathFor(const std::string& path) {
  return PathWithoutExtension(path) + ".bak";
}

bool MakeBackup(const std::string& path) {
  const std::string backup = BackupPathFor(path);
  if (backup == path || !isRegularFile(path)) return false;
  // The copy is written like any save, so a failure leaves both the file and the previous backup
  // as they were, and the backup takes the file's owner and mode (a private file's backup stays
  // private). The file itself stays in place until the writer has completed its replacement.
  const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  bool ok = false;
  try {
    AtomicFile out;
    ok = out.open(backup, path) == WriteError::None;
    std::vector<uint8_t> chunk(size_t{1} << 16);
    while (ok) {
      const ssize_t n = ::read(in, chunk.data(), chunk.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = n == 0;
        break;
      }
      ok = out.write(chunk.data(), static_cast<size_t>(n));
    }
    ok = ok && out.commit() == WriteError::None;
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  ::close(in);
  return ok;
}

namespace {

bool saveByType(TMDIChild& w, AppSettings& settings, int32_t saveFileType,
                const std::string& path) {
  if (path.empty()) {
    w.app.message("Das Dokument hat noch keinen Dateinamen.");
    return false;
  }
  const DocumentFormat format = WriterFor(saveFileType, path);
  // A format this build cannot write is refused before any backup is made.
  if (InfoOf(format).writable && settings.makeBackups && isRegularFile(path) && !MakeBackup(path))
    w.app.message(kBackupFailedText, MsgIcon::Error);
  if (!w.app.report(WriteDocumentAs(w, path, format))) return false;
  settings.recentFiles.add(path);
  return true;
}

}  // namespace

Result ReadDocumentAs(TMDIChild& w, const std::string& path, DocumentFormat format,
                      TextImport* met) {
  switch (format) {
    case DocumentFormat::Native:
      return OpenSBLFile(w, path);
    case DocumentFormat::Word:
      return ReadingFailure(FailureKind::Unsupported,
                            notSupportedText("öffnen", path,
                                             "Word-Dokumente können noch nicht gelesen werden."));
    case DocumentFormat::Rtf:
      return ReadingFailure(
          FailureKind::Unsupported,
          notSupportedText("öffnen", path, "RTF-Dateien können noch nicht gelesen werden."));
    case DocumentFormat::AnsiText:
      return OpenTXTFile(w, path, TextCode::Ansi, met);
    case DocumentFormat::DosText:
      return OpenTXTFile(w, path, TextCode::Dos, met);
    case DocumentFormat::Utf8Text:
      return OpenTXTFile(w, path, TextCode::Utf8, met);
    case DocumentFormat::Pdf:
      break;
  }
  return ReadingFailure(
      FailureKind::Unsupported,
      notSupportedText("öffnen", path, "PDF-Dateien können nur geschrieben werden."));
}

Result WriteDocumentAs(TMDIChild& w, const std::string& path, DocumentFormat format,
                       PdfFontMode fonts) {
  switch (format) {
    case DocumentFormat::Native:
      return SaveSBLFile(w, path);
    case DocumentFormat::AnsiText:
      return SaveTXTFile(w, path, TextCode::Ansi);
    case DocumentFormat::DosText:
      return SaveTXTFile(w, path, TextCode::Dos);
    case DocumentFormat::Utf8Text:
      return SaveTXTFile(w, path, TextCode::Utf8);
    case DocumentFormat::Pdf:
      return SavePDFFile(w, path, fonts);
    case DocumentFormat::Rtf:
      return WritingFailure(
          FailureKind::Unsupported,
          notSupportedText("speichern", path,
                           "RTF-Dateien können noch nicht geschrieben werden. Bitte als "
                           "Scribolantium Datei (*.sbl) oder als Textdatei speichern."));
    case DocumentFormat::Word:
      break;
  }
  return WritingFailure(
      FailureKind::Unsupported,
      notSupportedText("speichern", path, "Word-Dokumente können nicht geschrieben werden."));
}

Result WriteDocumentAs(TMDIChild& w, const std::string& path, DocumentFormat format) {
  return WriteDocumentAs(w, path, format, PdfFontMode::Embedded);
}

bool SaveFile(TMDIChild& w, AppSettings& settings, int32_t saveFileType) {
  const std::string path = w.doc.filePath;
  try {
    return saveByType(w, settings, saveFileType, path);
  } catch (const std::bad_alloc&) {
    w.app.message(OutOfMemoryText(FileNameOf(path), FileCommand::Save));
    return false;
  }
}

bool OpenFile(TMDIChild& w, AppSettings& settings, const std::string& path, int32_t openFileType,
              int32_t* readAs) {
  DocumentFormat format = ReaderFor(openFileType, path);
  int32_t type = openFileType;
  if (format == DocumentFormat::Native) {
    const std::optional<DocumentFormat> named = formatNamedBy(path);
    if (named && *named != DocumentFormat::Native && lacksNativeMagic(path)) {
      format = *named;
      type = InfoOf(format).openType;
    }
  }
  // The readers leave the document as it was when they fail; the layout after them must too.
  // The window was made for the file, so its document is small.
  std::optional<Document> previous;
  TextImport met;
  try {
    previous.emplace(w.doc);
    if (!w.app.report(ReadDocumentAs(w, path, format, &met))) return false;
    // Laid out as it will be shown, text flowing around objects included: opening and saving
    // again gives the same file.
    SettleLayout(w);
    // A pattern file the reader's language change met damaged is told now.
    w.app.report(OpenHyphenData(w));
    settings.recentFiles.add(path);
  } catch (const std::bad_alloc&) {
    if (previous) {
      w.doc = std::move(*previous);
      SetFileChanged(w, w.doc.modified != 0);
    }
    w.app.message(OutOfMemoryText(FileNameOf(path), FileCommand::Open));
    return false;
  }
  if (met.code == TextCode::Utf8) type = kOpenUtf8Text;
  if (readAs) *readAs = type;
  return true;
}

std::string NonameName(int32_t number) {
  return "NONAME" + std::to_string(number);
}

bool StartNewDocument(TMDIChild& w, int32_t number) {
  try {
    w.app.report(CreateNewDocument(w));
    w.doc.fileName = NonameName(number);
    SetFileChanged(w, false);
    return true;
  } catch (const std::bad_alloc&) {
    w.app.message(kNewDocumentOutOfMemoryText);
    return false;
  }
}

bool StartFileDocument(TMDIChild& w, AppSettings& settings, const std::string& path,
                       int32_t& openFileType) {
  try {
    w.app.report(FormCreate(w));
  } catch (const std::bad_alloc&) {
    w.app.message(OutOfMemoryText(FileNameOf(path), FileCommand::Open));
    return false;
  }
  return OpenFile(w, settings, path, openFileType, &openFileType);
}

FileDialog MakeOpenDialog(const AppSettings& settings) {
  FileDialog d;
  d.mode = FileDialog::Mode::Open;
  d.filter = kOpenFilter;
  d.filterIndex = settings.lastOpenFilter > 0 ? settings.lastOpenFilter : 1;
  return d;
}

std::optional<OpenChoice> ChooseFileToOpen(Dialogs& dialogs, AppSettings& settings) {
  FileDialog d = MakeOpenDialog(settings);
  if (!dialogs.run(d) || d.fileName.empty()) return std::nullopt;
  settings.lastOpenFilter = d.filterIndex;
  return OpenChoice{d.fileName, d.filterIndex};
}

std::string PathWithoutExtension(std::string_view path) {
  const size_t dot = extensionDot(path);
  return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

bool HasExtension(std::string_view path) {
  return extensionDot(path) != std::string_view::npos;
}

std::string WithSaveExtension(const std::string& path, int32_t filterIndex) {
  if (HasExtension(path)) return path;
  const FormatInfo* chosen = FormatOfSaveType(filterIndex);
  return chosen ? path + chosen->extension : path;
}

std::string WithPdfExtension(const std::string& path) {
  return HasExtension(path) ? path : path + InfoOf(DocumentFormat::Pdf).extension;
}

FileDialog MakeSaveDialog(const Document& doc, int32_t saveFileType, bool emptyName) {
  FileDialog d;
  d.mode = FileDialog::Mode::Save;
  d.filter = kSaveFilter;
  d.filterIndex =
      saveFileType >= kSaveNative && saveFileType <= kSaveUtf8Text ? saveFileType : kSaveNative;
  if (!emptyName) d.fileName = PathWithoutExtension(doc.filePath);
  return d;
}

FileDialog MakePdfDialog(const Document& doc) {
  FileDialog d;
  d.mode = FileDialog::Mode::Save;
  d.caption = "PDF-Export";
  d.filter = kPdfFilter;
  d.filterIndex = 1;
  d.fileName = PathWithoutExtension(doc.filePath);
  return d;
}

bool SaveFileAs(TMDIChild& w, AppSettings& settings, int32_t& saveFileType) {
  return saveWithDialog(w, settings, saveFileType, false);
}

bool SaveCommand(TMDIChild& w, AppSettings& settings, int32_t& saveFileType) {
  if (w.doc.filePath.empty()) return saveWithDialog(w, settings, saveFileType, true);
  return SaveFile(w, settings, saveFileType);
}

std::optional<std::string> ExportPdfCommand(TMDIChild& w) {
  FileDialog d = MakePdfDialog(w.doc);
  if (!w.app.dialogs().run(d) || d.fileName.empty()) return std::nullopt;
  const std::string path = WithPdfExtension(d.fileName);
  if (!w.app.report(SavePDFFile(w, path))) return std::nullopt;
  return path;
}

std::string CloseQuestionText(const Document& doc) {
  return "Möchten Sie die Änderungen in " + cp1252ToUtf8(doc.fileName) + " speichern?";
}

bool QueryCloseDocument(TMDIChild& w, const std::function<bool()>& save) {
  if (!w.doc.modified) return true;
  const MsgResult answer = w.app.ui().messageBox(CloseQuestionText(w.doc), kCloseQuestionCaption,
                                                 MsgIcon::Question, MsgButtons::YesNoCancel);
  if (answer == MsgResult::No) return true;
  if (answer == MsgResult::Yes) return save();
  return false;  // Cancel, or a box closed without an answer: the window stays
}

}  // namespace paginor
