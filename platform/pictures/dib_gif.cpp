// GIF: the first frame, as an 8-bit picture with its colour table. The transparent colour and
// the canvas outside the frame show white.
#include <cstring>
#include <vector>

#include "platform/pictures/dib.h"
#include "platform/pictures/dib_internal.h"

namespace paginor::dib {

namespace {

constexpr int kMaxCodes = 4096;

// Reads the bits of an image's data sub-blocks, least significant bit first.
class SubBlockBits {
 public:
  SubBlockBits(const uint8_t* d, size_t size, size_t pos) : d_(d), size_(size), pos_(pos) {}

  // The next code of `width` bits, or -1 when the data end.
  int read(int width) {
    while (count_ < width) {
      int byte = nextByte();
      if (byte < 0) return -1;
      bits_ |= static_cast<uint32_t>(byte) << count_;
      count_ += 8;
    }
    int code = static_cast<int>(bits_ & ((1u << width) - 1));
    bits_ >>= width;
    count_ -= width;
    return code;
  }
  // True when the data ended with the terminating empty sub-block (not by the file ending).
  bool terminated() const { return terminated_; }

 private:
  int nextByte() {
    if (left_ == 0) {
      if (terminated_ || pos_ >= size_) return -1;
      left_ = d_[pos_++];
      if (left_ == 0) {
        terminated_ = true;
        return -1;
      }
    }
    if (pos_ >= size_) return -1;
    --left_;
    return d_[pos_++];
  }

  const uint8_t* d_;
  size_t size_, pos_;
  size_t left_ = 0;
  uint32_t bits_ = 0;
  int count_ = 0;
  bool terminated_ = false;
};

struct Frame {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  int minCodeSize = 0;
  size_t dataPos = 0;
};

// Writes decoded indexes into the picture, in interlaced row order where asked.
class PixelSink {
 public:
  PixelSink(BildRec& rec, const Frame& f) : rec_(rec), f_(f) {
    total_ = static_cast<int64_t>(f.width) * f.height;
    for (int pass = 0; pass < (f.interlaced ? 4 : 1); ++pass) {
      static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
      int start = f.interlaced ? kStart[pass] : 0, step = f.interlaced ? kStep[pass] : 1;
      for (int r = start; r < f.height; r += step) rows_.push_back(r);
    }
  }
  bool full() const { return done_ >= total_; }
  void put(uint8_t index) {
    if (full()) return;
    int64_t row = done_ / f_.width, col = done_ % f_.width;
    rowFromTop(rec_, f_.top + rows_[static_cast<size_t>(row)])[f_.left + col] = index;
    ++done_;
  }

 private:
  BildRec& rec_;
  const Frame& f_;
  std::vector<int> rows_;
  int64_t total_ = 0, done_ = 0;
};

enum class LzwResult { kDone, kCut, kBad };

LzwResult decodeLzw(const uint8_t* d, size_t size, const Frame& f, PixelSink& sink) {
  std::vector<uint16_t> prefix(kMaxCodes);
  std::vector<uint8_t> suffix(kMaxCodes), first(kMaxCodes), stack(kMaxCodes + 1);
  const int clear = 1 << f.minCodeSize, end = clear + 1;
  for (int i = 0; i < clear; ++i) suffix[i] = first[i] = static_cast<uint8_t>(i);
  SubBlockBits bits(d, size, f.dataPos);
  int width = f.minCodeSize + 1, next = clear + 2, previous = -1;
  while (!sink.full()) {
    int code = bits.read(width);
    if (code < 0) return bits.terminated() ? LzwResult::kDone : LzwResult::kCut;
    if (code == clear) {
      width = f.minCodeSize + 1;
      next = clear + 2;
      previous = -1;
      continue;
    }
    if (code == end) return LzwResult::kDone;
    if (previous < 0) {  // first code after a clear: a plain colour index
      if (code > clear) return LzwResult::kBad;
      sink.put(static_cast<uint8_t>(code));
      previous = code;
      continue;
    }
    if (code > next || (code == next && next >= kMaxCodes)) return LzwResult::kBad;
    // Unwind the string of `code` (or of the previous code plus its first index for the one
    // code not yet in the table) onto the stack, last index first.
    int depth = 0, walk = code;
    if (code == next) {
      stack[depth++] = first[previous];
      walk = previous;
    }
    while (walk > end) {
      stack[depth++] = suffix[walk];
      walk = prefix[walk];
    }
    stack[depth++] = static_cast<uint8_t>(walk);
    uint8_t head = static_cast<uint8_t>(walk);
    while (depth > 0) sink.put(stack[--depth]);
    if (next < kMaxCodes) {
      prefix[next] = static_cast<uint16_t>(previous);
      suffix[next] = head;
      first[next] = first[previous];
      ++next;
      if (next == (1 << width) && width < 12) ++width;
    }
    previous = code;
  }
  return LzwResult::kDone;
}

// Skips extension sub-blocks; false when the file ends among them.
bool skipSubBlocks(const uint8_t* d, size_t size, size_t& pos) {
  while (true) {
    if (pos >= size) return false;
    size_t n = d[pos++];
    if (n == 0) return true;
    if (n > size - pos) return false;
    pos += n;
  }
}

}  // namespace

bool decodeGif(BildRec& rec, const uint8_t* d, size_t size, const std::string& name) {
  auto damaged = [&] {
    deldib(rec);
    rec.errorText = damagedText(name);
    return false;
  };
  if (size < 13) return damaged();
  int screenWidth = le16(d + 6), screenHeight = le16(d + 8);
  size_t pos = 13;
  const uint8_t* table = nullptr;
  int tableSize = 0;
  if (d[10] & 0x80) {
    tableSize = 2 << (d[10] & 7);
    if (size - pos < 3 * static_cast<size_t>(tableSize)) return damaged();
    table = d + pos;
    pos += 3 * tableSize;
  }
  int transparent = -1;
  Frame f;
  while (true) {  // up to the first image
    if (pos >= size) return damaged();
    uint8_t block = d[pos++];
    if (block == 0x21) {
      if (pos >= size) return damaged();
      uint8_t label = d[pos++];
      if (label == 0xF9 && size - pos >= 5 && d[pos] >= 4 && (d[pos + 1] & 1)) {
        transparent = d[pos + 4];
      }
      if (!skipSubBlocks(d, size, pos)) return damaged();
    } else if (block == 0x2C) {
      if (size - pos < 10) return damaged();
      f.left = le16(d + pos);
      f.top = le16(d + pos + 2);
      f.width = le16(d + pos + 4);
      f.height = le16(d + pos + 6);
      uint8_t flags = d[pos + 8];
      pos += 9;
      f.interlaced = (flags & 0x40) != 0;
      if (flags & 0x80) {
        tableSize = 2 << (flags & 7);
        if (size - pos < 3 * static_cast<size_t>(tableSize)) return damaged();
        table = d + pos;
        pos += 3 * tableSize;
      }
      if (pos >= size) return damaged();
      f.minCodeSize = d[pos++];
      f.dataPos = pos;
      break;
    } else {
      return damaged();  // the trailer or garbage before any image
    }
  }
  if (f.minCodeSize < 1 || f.minCodeSize > 8 || f.width == 0 || f.height == 0) return damaged();

  // The canvas is the logical screen when the frame lies within it, else the frame itself.
  int width = f.width, height = f.height;
  if (f.left + f.width <= screenWidth && f.top + f.height <= screenHeight) {
    width = screenWidth;
    height = screenHeight;
  } else {
    f.left = f.top = 0;
  }
  if (!makePicture(rec, width, height, 8)) return false;
  if (table == nullptr) tableSize = 0;  // keeps the grey ramp of a new picture
  for (int i = 0; i < tableSize; ++i) {
    setPaletteEntry(rec, i, table[3 * i], table[3 * i + 1], table[3 * i + 2]);
  }
  for (int i = tableSize; i < 256 && table != nullptr; ++i) setPaletteEntry(rec, i, 0, 0, 0);
  // White for transparency and for the canvas: the transparent entry, else a free entry, else
  // the palette's lightest colour.
  int background = transparent;
  if (background >= 0) {
    setPaletteEntry(rec, background, 255, 255, 255);
  } else if (table == nullptr || tableSize < 256) {
    background = table == nullptr ? 255 : tableSize;
    setPaletteEntry(rec, background, 255, 255, 255);
  } else {
    int best = -1;
    for (int i = 0; i < 256; ++i) {
      int sum = table[3 * i] + table[3 * i + 1] + table[3 * i + 2];
      if (sum > best) {
        best = sum;
        background = i;
      }
    }
  }
  std::memset(rec.pixels.data(), background, rec.pixels.size());

  PixelSink sink(rec, f);
  if (decodeLzw(d, size, f, sink) != LzwResult::kDone) return damaged();
  return true;
}

}  // namespace paginor::dib
