// Writing screen files: the PNG variant, the size estimates and Save, which picks the smaller coding.
#include <memory>

#include "files/png_coding.h"
#include "files/screen_file.h"
#include "platform/files.h"
#include "platform/program.h"

namespace dusk {

namespace {

void WriteHeader(const tilemap& grid, stream& out, std::string_view magic) {
  out.WriteBytes(reinterpret_cast<const uint8_t*>(magic.data()), magic.size());
  out.WriteInt(grid.tmapw);
  out.WriteInt(grid.tmaph);
  out.WriteInt(GetChecksum(grid));
}

void WritePngFile(const tilemap& grid, stream& out, const std::vector<uint8_t>& png) {
  WriteHeader(grid, out, kPngMagic);
  out.WriteDouble(static_cast<double>(png.size()));
  out.WriteBytes(png.data(), png.size());
  out.WriteBytes(reinterpret_cast<const uint8_t*>(kTrailer.data()), kTrailer.size());
}

}  // namespace

std::string TrailerMessage(const std::string& trailer) {
  return "Did not encounter expected EOF, encountered " + trailer + " instead.";
}

int WritePNG(const tilemap& grid, stream& out, const std::string& /*temppath*/) {
  std::optional<std::vector<uint8_t>> png = EncodePNGBytes(grid, 0);
  if (!png) return 0;
  WritePngFile(grid, out, *png);
  return 1;
}

int pngsize(const tilemap& grid, const std::string& /*temppath*/) {
  std::optional<std::vector<uint8_t>> png = EncodePNGBytes(grid, 0);
  return png ? static_cast<int>(png->size()) : -1;
}

int Save(const tilemap& grid, const std::string& path) {
  const int rle = rlesize(grid);
  // Coded once and kept: coding again would give the same bytes and leave the generator in the same state.
  std::optional<std::vector<uint8_t>> png = EncodePNGBytes(grid, 0);
  const int64_t pngbytes = png ? static_cast<int64_t>(png->size()) : -1;
  const int64_t raw = static_cast<int64_t>(grid.tmapw) * grid.tmaph * 3;

  auto out = OpenMemoryWrite();
  // Without a picture there is nothing to write in the PNG variant, so the run-length one stands in.
  if (png && pngbytes < rle && pngbytes < raw) {
    WritePngFile(grid, *out, *png);
  } else {
    WriteRLE(grid, *out);
  }
  if (!WriteFileAtomically(path, out->Bytes())) return 0;

  PrintLine("FILE SIZE STATISTICS: (excl. extra information)");
  PrintLine("Uncompressed: " + std::to_string(raw) + " bytes");
  PrintLine("RLE compression: " + std::to_string(rle) + " bytes");
  PrintLine("PNG compression: " + std::to_string(pngbytes) + " bytes");
  return 1;
}

}  // namespace dusk
