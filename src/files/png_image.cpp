// libpng behind a small interface. libpng reports errors by longjmp, so the functions that call it keep only
// plain pointers alive across setjmp, and their state lives in a job record owned by the caller.
#include "files/png_image.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include "platform/files.h"

namespace dusk {

namespace {

// Ancillary chunks (text, colour profiles) may ask for memory; this bounds what a hostile file can take.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_uint_32 kMaxSide = 1u << 20;

[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

struct read_job {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t position = 0;
  int64_t max_pixels = 0;
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  std::vector<uint8_t> rgba;
  std::vector<png_bytep> rows;
};

void ReadFromJob(png_structp png, png_bytep out, size_t count) {
  auto* job = static_cast<read_job*>(png_get_io_ptr(png));
  if (count > job->size - job->position) png_error(png, "truncated");
  std::memcpy(out, job->data + job->position, count);
  job->position += count;
}

bool RunRead(read_job* job) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, job, ReadFromJob);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_read_info(png, info);
  job->width = png_get_image_width(png, info);
  job->height = png_get_image_height(png, info);
  if (static_cast<int64_t>(job->width) * static_cast<int64_t>(job->height) > job->max_pixels) {
    png_error(png, "too large");
  }
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const size_t row_bytes = static_cast<size_t>(job->width) * 4;
  if (png_get_rowbytes(png, info) != row_bytes) png_error(png, "unexpected format");
  job->rgba.assign(row_bytes * job->height, 0);
  job->rows.resize(job->height);
  for (png_uint_32 y = 0; y < job->height; ++y) job->rows[y] = job->rgba.data() + row_bytes * y;
  png_read_image(png, job->rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

struct write_job {
  const picture* image = nullptr;
  int color_type = PNG_COLOR_TYPE_RGB;
  int level = 9;
  std::vector<uint8_t> row;
  std::vector<uint8_t> out;
};

void WriteToJob(png_structp png, png_bytep data, size_t count) {
  auto* job = static_cast<write_job*>(png_get_io_ptr(png));
  try {
    job->out.insert(job->out.end(), data, data + count);
  } catch (const std::bad_alloc&) {
    png_error(png, "out of memory");
  }
}

void FlushJob(png_structp) {}

// Packs row y of the picture into the job's row buffer as RGB or RGBA bytes.
void PackRow(write_job* job, int y) {
  const picture& image = *job->image;
  const bool alpha = job->color_type == PNG_COLOR_TYPE_RGB_ALPHA;
  size_t k = 0;
  for (int x = 0; x < image.width; ++x) {
    const uint32_t argb = image.ReadPixel(x, y);
    job->row[k++] = static_cast<uint8_t>(argb >> 16);
    job->row[k++] = static_cast<uint8_t>(argb >> 8);
    job->row[k++] = static_cast<uint8_t>(argb);
    if (alpha) job->row[k++] = static_cast<uint8_t>(argb >> 24);
  }
}

bool RunWrite(write_job* job) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, job, WriteToJob, FlushJob);
  const picture& image = *job->image;
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               job->color_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, job->level);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    PackRow(job, y);
    png_write_row(png, job->row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

picture picture::Create(int w, int h) {
  picture image;
  image.width = std::max(w, 0);
  image.height = std::max(h, 0);
  image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
  return image;
}

std::optional<std::vector<uint8_t>> SavePngBytes(const picture& image, png_channels channels, int level) {
  if (image.width <= 0 || image.height <= 0) return std::nullopt;
  write_job job;
  job.image = &image;
  job.color_type = channels == png_channels::rgba ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  job.level = std::clamp(level, 0, 9);
  job.row.assign(static_cast<size_t>(image.width) * (channels == png_channels::rgba ? 4 : 3), 0);
  if (!RunWrite(&job)) return std::nullopt;
  return std::move(job.out);
}

bool SavePngFile(const picture& image, png_channels channels, int level, const std::string& path) {
  std::optional<std::vector<uint8_t>> bytes = SavePngBytes(image, channels, level);
  return bytes && WriteFileAtomically(path, *bytes);
}

std::optional<picture> LoadPngBytes(const uint8_t* data, size_t size, int64_t max_pixels) {
  read_job job;
  job.data = data;
  job.size = size;
  job.max_pixels = max_pixels;
  if (!RunRead(&job)) return std::nullopt;
  picture image = picture::Create(static_cast<int>(job.width), static_cast<int>(job.height));
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    const uint8_t* p = job.rgba.data() + i * 4;
    image.pixels[i] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                      static_cast<uint32_t>(p[1]) << 8 | p[2];
  }
  return image;
}

std::optional<picture> LoadPngFile(const std::string& path, int64_t max_pixels) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return std::nullopt;
  return LoadPngBytes(bytes.data(), bytes.size(), max_pixels);
}

}  // namespace dusk
