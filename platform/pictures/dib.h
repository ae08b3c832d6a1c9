// The picture library: makes, reads, writes, converts and releases pictures held as BildRec
// (a 40-byte bitmap information header with its colour table, and pixel rows bottom row first).
//
// Pictures this library makes always have a positive height (bottom row first in memory),
// compression 0, 1, 4, 8, 24 or 32 bits per pixel (16, read as 5-5-5, only when newdib is asked
// for it), and a colour table of 2^bits entries for 8 bits or fewer. Colours cross the interface as 0x00BBGGRR values. Every operation reports trouble as
// a value; none throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pictures/picture.h"

namespace paginor {

// Format codes of OpenDib, OpenDibFromMemory and SaveDib.
inline constexpr int kDibAuto = 0;  // reading: recognise the format by the file's content
inline constexpr int kDibBmp = 1;   // Windows bitmap; reading also takes a bare DIB (no "BM")
inline constexpr int kDibGif = 2;   // GIF, first frame (reading only)
inline constexpr int kDibJpeg = 7;  // JPEG
inline constexpr int kDibPng = 14;  // PNG (reading only)

// Largest picture the library makes: each side at most this many pixels...
inline constexpr int32_t kDibMaxSide = 32767;
// ...and at most this many bytes of pixel rows.
inline constexpr int64_t kDibMaxPixelBytes = int64_t{512} << 20;

// Makes an empty picture: zeroed pixels, a header with biSize 40, 1 plane, no compression,
// biSizeImage and biClrUsed filled in, stride = ((width * bits + 31) / 32) * 4. For 8 bits or
// fewer the colour table has 2^bits entries: a grey ramp, over which the first `colourCount`
// entries of the source header's table are copied when a source header is given. The source
// header is laid out as a document stores it: 40 header bytes, then the table; its resolution
// (pixels per metre) is taken over too. Bits per pixel: 1, 4, 8, 16, 24 or 32. Refuses a side
// of 0 or less or above kDibMaxSide, or more than kDibMaxPixelBytes of pixels, before allocating
// anything: returns false and leaves the record empty with `errorText` set.
bool newdib(BildRec& rec, int32_t width, int32_t height, int32_t bitsPerPixel,
            const uint8_t* sourceHeader, int32_t colourCount);

// Releases header and pixels; the record is empty afterwards.
void deldib(BildRec& rec);

// Reads a picture file into `rec` (replacing what it held). BMP (1, 4, 8, 16, 24, 32 bits; no
// compression, RLE8, RLE4, bit fields; bottom-up and top-down; OS/2 headers), PNG, JPEG
// (greyscale and CMYK too) and GIF. Output: 1, 4 or 8 bits with a colour table where the file
// has a palette (BMP, GIF, palette PNG), 32 bits for uncompressed 32-bit BMP, 24 bits otherwise;
// transparency is composited over white. With format kDibAuto the content decides; with an
// explicit format a file whose content is plainly another known format is read as that format.
// On success `bits()` is set and `errorText` is empty; on failure the record has no pixels and
// `errorText` holds a German message naming the file without its directory.
bool OpenDib(BildRec& rec, const std::string& fileName, int format);
// The same from memory (embedded pictures); messages then name no file.
bool OpenDibFromMemory(BildRec& rec, const uint8_t* data, size_t size, int format);

// Writes the picture as JPEG (format kDibJpeg, quality 1..100, 0 or less for the default 75)
// or BMP (kDibBmp). For JPEG, pictures of 8 bits or fewer are converted to 24 bits through their
// colour table. The previous file is replaced only once the new one is complete. Returns 1 on
// success, 0 otherwise.
int SaveDib(const BildRec& rec, const std::string& fileName, int format, int quality = 75);
// JPEG in memory, no temporary file. False for a record without usable pixels.
bool EncodeJpeg(const BildRec& rec, std::vector<uint8_t>& out, int quality = 75);
// The picture as a BMP file image (file header, the record's header and table, pixel rows).
bool EncodeBmp(const BildRec& rec, std::vector<uint8_t>& out);
bool SaveBmp(const BildRec& rec, const std::string& fileName);

// One pixel; y = 0 is the top row. getpixel of a palette picture gives the palette colour;
// setpixel on one picks the nearest palette entry. Outside the picture getpixel gives 0 and
// setpixel does nothing.
uint32_t getpixel(const BildRec& rec, int x, int y);
void setpixel(BildRec& rec, int x, int y, uint32_t colour);

// An 8-bit copy with a fixed palette (6 x 6 x 6 colour cube and 40 greys), ordered dither, of a
// picture of any depth; the XY form scales it to width x height (nearest neighbour). Release
// the copy with deldib. False (with `out.errorText`) only for an unusable source or size.
bool DIBHalftoneDIB(BildRec& out, const BildRec& src);
bool DIBHalftoneDIBXY(BildRec& out, const BildRec& src, int width, int height);

// The open dialog's filter of the readable formats: "Name (*.ext)|*.ext|...".
std::string GetDIBOpenFilter();

}  // namespace paginor
