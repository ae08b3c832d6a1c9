// JPEG through libjpeg: reading (greyscale, colour and CMYK to 24 bits) and writing in memory.
//
// libjpeg reports errors by calling back; our handlers jump back to the setjmp in the run
// functions below. Those functions keep every C++ object outside their own frame (in the job
// structs), so the jump skips no destructor, and clean up libjpeg on the jump path.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/pictures/dib.h"
#include "platform/pictures/dib_internal.h"

namespace paginor::dib {

namespace {

// Progressive files may hold any number of scans, each a pass over the whole picture; real
// ones have a dozen or so.
constexpr int kMaxScans = 200;
constexpr int kMaxWarnings = 100;

struct JpegError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int warnings = 0;
};

[[noreturn]] void onError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

// Warnings are never printed. Running out of data or a corrupt entropy stream would leave a
// grey or garbled band, so they refuse the file; other warnings are tolerated up to a limit.
void onMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  int code = err->pub.msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
      ++err->warnings > kMaxWarnings) {
    std::longjmp(err->jump, 1);
  }
}

void onProgress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
  }
}

void installHandlers(JpegError& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = onError;
  err.pub.emit_message = onMessage;
}

enum class Outcome { kOk, kDamaged, kTooLarge, kNoPicture };

struct DecodeJob {
  jpeg_decompress_struct cinfo;
  JpegError err;
  jpeg_progress_mgr progress;
  const uint8_t* data = nullptr;
  size_t size = 0;
  BildRec* rec = nullptr;
};

uint8_t mul255(int a, int b) {
  return static_cast<uint8_t>((a * b + 127) / 255);
}

void storeRow(DecodeJob& job, const uint8_t* in, int32_t y) {
  jpeg_decompress_struct& c = job.cinfo;
  uint8_t* out = rowFromTop(*job.rec, y);
  bool inverted = c.saw_Adobe_marker;  // Adobe writes CMYK inverted
  for (JDIMENSION x = 0; x < c.output_width; ++x, out += 3) {
    if (c.out_color_space == JCS_GRAYSCALE) {
      out[0] = out[1] = out[2] = in[x];
    } else if (c.out_color_space == JCS_CMYK) {
      const uint8_t* p = in + 4 * x;
      int k = inverted ? p[3] : 255 - p[3];
      out[2] = mul255(inverted ? p[0] : 255 - p[0], k);
      out[1] = mul255(inverted ? p[1] : 255 - p[1], k);
      out[0] = mul255(inverted ? p[2] : 255 - p[2], k);
    } else {
      out[0] = in[3 * x + 2];
      out[1] = in[3 * x + 1];
      out[2] = in[3 * x];
    }
  }
}

int64_t perMetre(int unit, int density) {
  if (unit == 1) return (density * 10000 + 127) / 254;  // dots per inch
  if (unit == 2) return density * 100;                  // dots per centimetre
  return 0;
}

// Decodes job.data into *job.rec. No C++ object lives in this frame (see the file comment).
Outcome runDecode(DecodeJob& job) {
  jpeg_decompress_struct& c = job.cinfo;
  std::memset(&c, 0, sizeof c);
  installHandlers(job.err);
  c.err = &job.err.pub;
  if (setjmp(job.err.jump)) {
    jpeg_destroy_decompress(&c);
    return Outcome::kDamaged;
  }
  jpeg_create_decompress(&c);
  c.mem->max_memory_to_use = static_cast<long>(kDibMaxPixelBytes);
  job.progress.progress_monitor = onProgress;
  c.progress = &job.progress;
  jpeg_mem_src(&c, job.data, static_cast<unsigned long>(job.size));
  if (jpeg_read_header(&c, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&c);
    return Outcome::kNoPicture;
  }
  if (!checkSize(*job.rec, c.image_width, c.image_height, 24)) {
    jpeg_destroy_decompress(&c);
    return Outcome::kTooLarge;
  }
  if (c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK) {
    c.out_color_space = JCS_CMYK;
  } else if (c.jpeg_color_space == JCS_GRAYSCALE) {
    c.out_color_space = JCS_GRAYSCALE;
  } else {
    c.out_color_space = JCS_RGB;
  }
  jpeg_start_decompress(&c);
  if (!makePicture(*job.rec, static_cast<int32_t>(c.output_width),
                   static_cast<int32_t>(c.output_height), 24)) {
    jpeg_destroy_decompress(&c);
    return Outcome::kTooLarge;
  }
  if (c.saw_JFIF_marker) {
    setResolution(*job.rec, perMetre(c.density_unit, c.X_density),
                  perMetre(c.density_unit, c.Y_density));
  }
  JSAMPARRAY row = (*c.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&c), JPOOL_IMAGE,
                                          c.output_width * c.output_components, 1);
  while (c.output_scanline < c.output_height) {
    auto y = static_cast<int32_t>(c.output_scanline);
    if (jpeg_read_scanlines(&c, row, 1) != 1) {
      jpeg_destroy_decompress(&c);
      return Outcome::kDamaged;
    }
    storeRow(job, row[0], y);
  }
  // Not jpeg_finish_decompress: every row is there, and a missing end marker loses nothing.
  jpeg_destroy_decompress(&c);
  return Outcome::kOk;
}

struct EncodeJob {
  jpeg_compress_struct cinfo;
  JpegError err;
  const BildRec* rec = nullptr;
  int quality = 75;
  unsigned char* buffer = nullptr;  // malloc'ed by libjpeg
  unsigned long size = 0;
};

bool runEncode(EncodeJob& job) {
  jpeg_compress_struct& c = job.cinfo;
  std::memset(&c, 0, sizeof c);
  installHandlers(job.err);
  c.err = &job.err.pub;
  if (setjmp(job.err.jump)) {
    jpeg_destroy_compress(&c);
    return false;
  }
  jpeg_create_compress(&c);
  jpeg_mem_dest(&c, &job.buffer, &job.size);
  const BildRec& rec = *job.rec;
  c.image_width = static_cast<JDIMENSION>(rec.width());
  c.image_height = static_cast<JDIMENSION>(rowCount(rec));
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, job.quality, TRUE);
  int32_t ppm = xPerMetre(rec);
  if (ppm > 0 && ppm < 2580000) {  // keep the resolution when it fits the 16-bit field
    c.density_unit = 1;
    c.X_density = c.Y_density = static_cast<UINT16>((ppm * 254 + 5000) / 10000);
  }
  jpeg_start_compress(&c, TRUE);
  JSAMPARRAY row =
      (*c.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&c), JPOOL_IMAGE, c.image_width * 3, 1);
  while (c.next_scanline < c.image_height) {
    uint8_t* p = row[0];
    rowToBgr(rec, static_cast<int32_t>(c.next_scanline), p);
    for (JDIMENSION x = 0; x < c.image_width; ++x) std::swap(p[3 * x], p[3 * x + 2]);
    jpeg_write_scanlines(&c, row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return true;
}

}  // namespace

bool decodeJpeg(BildRec& rec, const uint8_t* data, size_t size, const std::string& name) {
  auto job = std::make_unique<DecodeJob>();
  job->data = data;
  job->size = size;
  job->rec = &rec;
  std::string keep;  // the size message of checkSize survives the clean-up below
  switch (runDecode(*job)) {
    case Outcome::kOk:
      return true;
    case Outcome::kTooLarge:
      keep = rec.errorText;
      deldib(rec);
      rec.errorText = keep.empty() ? noMemoryText() : keep;
      return false;
    default:
      deldib(rec);
      rec.errorText = damagedText(name);
      return false;
  }
}

}  // namespace paginor::dib

namespace paginor {

bool EncodeJpeg(const BildRec& rec, std::vector<uint8_t>& out, int quality) {
  out.clear();
  if (!dib::usable(rec)) return false;
  auto job = std::make_unique<dib::EncodeJob>();
  job->rec = &rec;
  // Callers that pass 0 mean "no particular quality", not the worst one.
  job->quality = quality <= 0 ? 75 : (quality > 100 ? 100 : quality);
  bool ok = dib::runEncode(*job);
  if (ok && job->buffer != nullptr) {
    try {
      out.assign(job->buffer, job->buffer + job->size);
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  std::free(job->buffer);
  return ok && !out.empty();
}

}  // namespace paginor
