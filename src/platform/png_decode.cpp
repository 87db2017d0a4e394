// PNG decoding with libpng: palette, grey, 16-bit and transparency chunks all expand to 8-bit RGBA.
#include "platform/png_decode.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>

namespace dusk {

namespace {

struct memory_source {
  const uint8_t* data;
  size_t size;
  size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<memory_source*>(png_get_io_ptr(png));
  if (count > source->size - source->position) png_error(png, "truncated");
  std::memcpy(out, source->data + source->position, count);
  source->position += count;
}

// libpng reports through longjmp; warnings are not worth a word on the console.
void IgnoreWarning(png_structp, png_const_charp) {}

struct read_session {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~read_session() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

// The part that may longjmp. Nothing here lives on this frame past a longjmp: the buffers belong to the
// caller, so no destructor is skipped and no local is read after the jump.
bool ReadImage(read_session& session, std::vector<uint8_t>& rgba, std::vector<png_bytep>& rows, decoded_png& out) {
  png_structp png = session.png;
  png_infop info = session.info;
  if (setjmp(png_jmpbuf(png))) return false;

  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide ||
      int64_t{width} * height > kMaxPngPixels) {
    return false;
  }
  const int color_type = png_get_color_type(png, info);
  const bool has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  out.has_alpha = (color_type & PNG_COLOR_MASK_ALPHA) != 0 || has_trns;

  png_set_expand(png);  // palette to RGB, low-bit grey to 8 bits, tRNS to alpha
  png_set_scale_16(png);
  if ((color_type & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  if (!out.has_alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t{width} * 4) return false;

  rgba.resize(size_t{width} * height * 4);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = rgba.data() + size_t{y} * width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  return true;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, decoded_png& out) {
  out = decoded_png{};
  if (data == nullptr || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
  read_session session;
  session.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
  if (session.png == nullptr) return false;
  session.info = png_create_info_struct(session.png);
  if (session.info == nullptr) return false;
  png_set_user_limits(session.png, kMaxPngSide, kMaxPngSide);
  memory_source source{data, size, 0};
  png_set_read_fn(session.png, &source, ReadFromMemory);

  std::vector<uint8_t> rgba;
  std::vector<png_bytep> rows;
  if (!ReadImage(session, rgba, rows, out)) {
    out = decoded_png{};
    return false;
  }
  out.argb.resize(rgba.size() / 4);
  for (size_t i = 0; i < out.argb.size(); ++i) {
    const uint8_t* p = &rgba[i * 4];
    out.argb[i] = uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
  }
  return true;
}

}  // namespace dusk
