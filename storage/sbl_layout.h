// The byte layout of native documents (".sbl", and the template "normal.sbt"), declared once for
// the reader and the writer: record sizes, member offsets, and the limits the reader enforces.
//
// A file is a sequential dump of the document: magic, document settings, the eight properties,
// the font table, the templates, the pictures, cursor positions, and the fields with their
// lines and cells. All numbers are little-endian; a string is an i32 byte count followed by
// that many Windows-1252 bytes without terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace paginor::sbl {

inline constexpr std::string_view kMagic =
    "<TOLVERA SCRIBOLANTIUM DOKUMENT / DOKUMENT VERSION 01 00 00>";
static_assert(kMagic.size() == 60);

// Font record; the name follows it as a string.
namespace font {
inline constexpr size_t kSize = 34;
inline constexpr size_t kTextColour = 0;   // i32
inline constexpr size_t kPointSize = 4;    // f64
inline constexpr size_t kNameRef = 12;     // reference slot, written as 0
inline constexpr size_t kReserved = 16;    // u8
inline constexpr size_t kStyle = 17;       // u8
inline constexpr size_t kCharset = 18;     // u8
inline constexpr size_t kBackColour = 19;  // i32
inline constexpr size_t kShadowColour = 23;
inline constexpr size_t kOutlineColour = 27;
inline constexpr size_t kBackTransparent = 31;  // u8
inline constexpr size_t kAttributes = 32;       // u16
}  // namespace font

// Paragraph-format block, inside a template record and inside a line block. Its tab stops and
// (when the presence slot is non-zero) its bullet font follow the enclosing record.
namespace para {
inline constexpr size_t kSize = 84;
inline constexpr size_t kAlignment = 0;        // u8
inline constexpr size_t kLineSpacing = 1;      // f64
inline constexpr size_t kLineSpacingMode = 9;  // u8
inline constexpr size_t kSpaceAbove = 10;      // f64
inline constexpr size_t kSpaceBelow = 18;
inline constexpr size_t kIndentLeft = 26;
inline constexpr size_t kIndentRight = 34;
inline constexpr size_t kIndentFirstLine = 42;
inline constexpr size_t kDefaultTabWidth = 50;
inline constexpr size_t kTabCount = 58;           // i32
inline constexpr size_t kTabsRef = 62;            // reference slot, written as 0
inline constexpr size_t kListIndent = 66;         // f64
inline constexpr size_t kListKind = 74;           // u8
inline constexpr size_t kBulletChar = 75;         // u8
inline constexpr size_t kListNumber = 76;         // i32
inline constexpr size_t kBulletFontPresent = 80;  // presence slot: 0 absent, else present
}  // namespace para

inline constexpr size_t kTabStopSize = 16;  // position f64, alignment i32, fill i32

// Character record: only the sample cell of a template is stored this way.
namespace chr {
inline constexpr size_t kSize = 46;
inline constexpr size_t kKind = 0;           // u8
inline constexpr size_t kCh = 1;             // u8
inline constexpr size_t kNumber = 2;         // u16
inline constexpr size_t kFootnoteId = 4;     // u16
inline constexpr size_t kWidth = 6;          // f64
inline constexpr size_t kHeight = 14;        // f64
inline constexpr size_t kFontIndex = 22;     // i32
inline constexpr size_t kTabFill = 26;       // u8
inline constexpr size_t kPictureIndex = 27;  // u16
inline constexpr size_t kCharFlags = 29;     // u8
inline constexpr size_t kTextRef = 30;       // reference slot
inline constexpr size_t kCodeRef = 34;       // reference slot
inline constexpr size_t kRuntime = 38;       // 4 bytes
inline constexpr size_t kSkipBefore = 42;    // f32
inline constexpr size_t kRuntime2 = 44;      // 2 bytes
}  // namespace chr

namespace templ {
inline constexpr size_t kSize = 387;
inline constexpr size_t kNameLength = 0;  // u8, 0 to 255
inline constexpr size_t kNameText = 1;    // 255 bytes
inline constexpr size_t kNameCapacity = 255;
inline constexpr size_t kKind = 256;       // u8
inline constexpr size_t kParagraph = 257;  // paragraph-format block
inline constexpr size_t kSample = 341;     // character record
static_assert(kParagraph + para::kSize == kSample && kSample + chr::kSize == kSize);
}  // namespace templ

namespace field {
inline constexpr size_t kSize = 208;
inline constexpr size_t kLeft = 0;  // f64 each, to kMarginBottom
inline constexpr size_t kTop = 8;
inline constexpr size_t kRight = 16;
inline constexpr size_t kBottom = 24;
inline constexpr size_t kMarginLeft = 32;
inline constexpr size_t kMarginTop = 40;
inline constexpr size_t kMarginRight = 48;
inline constexpr size_t kMarginBottom = 56;
inline constexpr size_t kShowOn = 64;        // u8
inline constexpr size_t kWrapText = 65;      // u8
inline constexpr size_t kMoveWithText = 66;  // u8
inline constexpr size_t kFlowMode = 68;      // i32
inline constexpr size_t kDistanceY = 72;     // f64
inline constexpr size_t kDistanceX = 80;
inline constexpr size_t kLineWidth = 88;
inline constexpr size_t kLineColour = 96;    // i32
inline constexpr size_t kBackColour = 100;   // i32
inline constexpr size_t kTransparent = 104;  // u8
inline constexpr size_t kTopFromBottom = 105;
inline constexpr size_t kBottomFromBottom = 106;
inline constexpr size_t kRightFromRight = 107;
inline constexpr size_t kType = 108;
inline constexpr size_t kPage = 112;        // i32
inline constexpr size_t kPrevField = 116;   // i32
inline constexpr size_t kNextField = 120;   // i32
inline constexpr size_t kKeepAspect = 124;  // u8
inline constexpr size_t kLineCount = 128;   // i32: line blocks that follow
inline constexpr size_t kLinesRef = 132;    // reference slot
inline constexpr size_t kVisited = 136;     // u8
inline constexpr size_t kSelected = 137;
inline constexpr size_t kShapeVariant = 138;
inline constexpr size_t kFootnoteNo = 140;     // i32
inline constexpr size_t kAnchorOffsetX = 152;  // f64
inline constexpr size_t kAnchorOffsetY = 160;
inline constexpr size_t kAnchorId = 168;  // i32
}  // namespace field

// Table part of a line block: rowStart u8, rowEnd u8, rowCells i32, cellColumn i32, cellWidth,
// rowInsetLeft, rowInsetRight (f64), then the cell design.
inline constexpr size_t kCellDesignSize = 57;  // 4 f64 widths, 4 i32 colours, 4 u8 flags, i32, u8

// Character block flags byte.
inline constexpr uint8_t kFlagKindMask = 0x0F;
inline constexpr int kFlagCharFlagsShift = 4;
inline constexpr uint8_t kFlagCharFlagsMask = 0x70;
inline constexpr uint8_t kFlagShortFontIndex = 0x80;

// Picture block: header size i32 (40 + 4 x colours), colour count i32, header, pixel rows.
inline constexpr int32_t kBitmapInfoSize = 40;

// Smallest stored sizes, to check a count against what the rest of the file can hold.
inline constexpr size_t kMinFontBytes = font::kSize + 4;
inline constexpr size_t kMinTemplateBytes = templ::kSize;
inline constexpr size_t kMinPictureBytes = 8 + kBitmapInfoSize + 4;
inline constexpr size_t kMinFieldBytes = field::kSize;
inline constexpr size_t kMinLineBytes = 4 + 4 + para::kSize + 1 + 4 + 4 + 8;
inline constexpr size_t kMinCharBytes = 3;

// Limits of the reader. A file beyond them is damaged; every limit lies far above what a real
// document reaches, and they keep a damaged count from asking for unbounded memory or work.
inline constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;
inline constexpr size_t kMaxStringBytes = size_t{16} << 20;
inline constexpr size_t kMaxFontNameBytes = 255;
inline constexpr int32_t kMaxFonts = 1 << 20;
inline constexpr int32_t kMaxTemplates = 1 << 16;
inline constexpr int32_t kMaxTabStops = 1024;
inline constexpr int32_t kMaxPictures = 1 << 16;  // a cell addresses a picture with 16 bits
inline constexpr int32_t kMinFields = 7;          // page body and three header/footer pairs
inline constexpr int32_t kMaxFields = 1 << 20;
inline constexpr int32_t kMaxPage = 1'000'000;
inline constexpr int32_t kMaxRowCells = 1'000'000;
inline constexpr int32_t kMaxColumns = 100;
inline constexpr uint8_t kMaxFieldType = 9;
inline constexpr uint8_t kMaxCharKind = 4;
// Lengths in mm (and factors) beyond a kilometre are damage; the layout's loops step through
// lengths, so a huge or non-finite value would stall them.
inline constexpr double kMaxLength = 1.0e6;
inline constexpr double kMaxFontSize = 1638.0;  // the largest size a font can be made at

}  // namespace paginor::sbl
