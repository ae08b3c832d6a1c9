#include "storage/formats.h"

#include <array>

#include "platform/cp1252.h"

namespace paginor {

namespace {

// Word and RTF stay in the table although this build reads and writes neither: the dialogs offer
// them, and a refusal names the format instead of treating the file as unknown.
constexpr std::array<FormatInfo, 7> kFormats = {{
    {DocumentFormat::Native, "sbl", ".sbl", ".sbt", kOpenNative, kSaveNative, true, true,
     "Scribolantium Dokument"},
    {DocumentFormat::AnsiText, "txt", ".txt", "", kOpenAnsiText, kSaveAnsiText, true, true,
     "Text ANSI (Windows-1252)"},
    {DocumentFormat::DosText, "dostxt", ".txt", "", kOpenDosText, kSaveDosText, true, true,
     "Text DOS (Codepage 850)"},
    {DocumentFormat::Utf8Text, "utf8txt", ".txt", "", kOpenUtf8Text, kSaveUtf8Text, true, true,
     "Text UTF-8"},
    {DocumentFormat::Rtf, "rtf", ".rtf", "", kOpenRtf, kSaveRtf, false, false,
     "Rich Text (noch nicht unterstützt)"},
    {DocumentFormat::Word, "doc", ".doc", "", kOpenWord, 0, false, false,
     "Word (noch nicht unterstützt)"},
    {DocumentFormat::Pdf, "pdf", ".pdf", "", 0, 0, false, true, "PDF (nur Ausgabe)"},
}};

}  // namespace

std::span<const FormatInfo> DocumentFormats() {
  return kFormats;
}

const FormatInfo& InfoOf(DocumentFormat format) {
  for (const FormatInfo& f : kFormats)
    if (f.format == format) return f;
  return kFormats[0];
}

const FormatInfo* FormatNamed(std::string_view name) {
  for (const FormatInfo& f : kFormats)
    if (name == f.name) return &f;
  return nullptr;
}

const FormatInfo* FormatOfExtension(std::string_view path) {
  // Without allocating: the file commands ask before their guard against running out of memory.
  const size_t slash = path.find_last_of('/');
  const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos || dot <= nameStart) return nullptr;
  const std::string_view ext = path.substr(dot);
  // The first row of an extension wins: ".txt" is ANSI text.
  for (const FormatInfo& f : kFormats)
    if (EqualsIgnoringAsciiCase(ext, f.extension) ||
        (*f.alsoExtension && EqualsIgnoringAsciiCase(ext, f.alsoExtension)))
      return &f;
  return nullptr;
}

const FormatInfo* FormatOfSaveType(int32_t saveType) {
  for (const FormatInfo& f : kFormats)
    if (saveType != 0 && f.saveType == saveType) return &f;
  return nullptr;
}

const FormatInfo* FormatOfOpenType(int32_t openType) {
  for (const FormatInfo& f : kFormats)
    if (openType != 0 && f.openType == openType) return &f;
  return nullptr;
}

std::string FormatNameList() {
  std::string list;
  for (const FormatInfo& f : kFormats) list += (list.empty() ? "" : ", ") + std::string(f.name);
  return list;
}

std::string ExtensionList() {
  std::string list;
  for (const FormatInfo& f : kFormats) {
    for (const char* ext : {f.extension, f.alsoExtension}) {
      const std::string item(ext);
      if (item.empty() || (", " + list + ",").find(" " + item + ",") != std::string::npos) continue;
      list += (list.empty() ? "" : ", ") + item;
    }
  }
  return list;
}

}  // namespace paginor
