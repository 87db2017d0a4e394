// Builds the embedded screens from their text sources (assets/screens/*.txt, format in the README there).
//
//   make_screens <output dir> <source.txt>... [--preview <dir> <glyph sheet _fg.png> <palette.png>]
//
// Each source becomes <output dir>/<name>.qtm in the coding its "coding" line names. Every file is read
// back before the tool succeeds: it must give the source's cells with no reported error. With --preview,
// each screen is also drawn in the game's glyphs and palette to <dir>/<name>.png for authors to look at.

#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "display/tilemap.h"
#include "files/error_report.h"
#include "files/export_png.h"
#include "files/png_image.h"
#include "files/screen_file.h"
#include "platform/files.h"
#include "platform/stream.h"

namespace dusk {
namespace {

// Code page 437 as Unicode, so that a glyph picture can be drawn with the characters the glyphs show.
// Glyph 0 has no picture character of its own: a space stands for it (the empty cell).
constexpr char32_t kCodePage437[256] = {
    0,      0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640,
    0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8, 0x2191, 0x2193,
    0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, 0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026,
    0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033,
    0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x0040,
    0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047, 0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D,
    0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A,
    0x005B, 0x005C, 0x005D, 0x005E, 0x005F, 0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074,
    0x0075, 0x0076, 0x0077, 0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302, 0x00C7, 0x00FC,
    0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4,
    0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF,
    0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561,
    0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C,
    0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584,
    0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398,
    0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7,
    0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// A source problem, reported with its file and line.
struct source_error {
  std::string text;
};

[[noreturn]] void Fail(const std::string& file, int line, const std::string& text) {
  throw source_error{file + ":" + std::to_string(line) + ": " + text};
}

// The code points of a UTF-8 line; a malformed sequence is an error.
std::u32string DecodeUtf8(const std::string& text, const std::string& file, int line) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t code = 0;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      code = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      code = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      code = lead & 0x07u;
    } else {
      Fail(file, line, "not UTF-8");
    }
    if (i + static_cast<size_t>(extra) >= text.size()) Fail(file, line, "not UTF-8");
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) Fail(file, line, "not UTF-8");
      code = (code << 6) | (next & 0x3Fu);
    }
    out.push_back(code);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::string EncodeUtf8(char32_t code) {
  std::string out;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

enum class coding { run_length, png };

struct screen_source {
  std::string name;
  coding code = coding::run_length;
  tilemap grid;
};

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// A palette index or glyph number from 0 to 254: 255 is "no value" in a cell and would not survive the
// PNG coding, so no embedded screen may hold it.
int CellValue(const std::string& word, const std::string& file, int line) {
  size_t used = 0;
  int value = -1;
  try {
    value = std::stoi(word, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != word.size() || value < 0 || value > 254) Fail(file, line, "expected a number from 0 to 254");
  return value;
}

char32_t LegendCharacter(const std::string& word, const std::string& file, int line) {
  const std::u32string code = DecodeUtf8(word, file, line);
  if (code.size() != 1) Fail(file, line, "a legend entry names one character");
  if (code[0] == U'|' || code[0] == U' ') Fail(file, line, "'|' and the space can't be legend characters");
  return code[0];
}

screen_source ParseSource(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw source_error{path + ": can't be read"};
  screen_source source;
  const size_t slash = path.find_last_of("/\\");
  source.name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (source.name.size() > 4 && source.name.ends_with(".txt")) source.name.resize(source.name.size() - 4);

  int width = 0;
  int height = 0;
  bool have_coding = false;
  std::map<char32_t, int> glyphs;   // picture character -> glyph, where code page 437 isn't wanted
  std::map<char32_t, int> colours;  // layer character -> palette index
  std::vector<std::u32string> layers[3];
  int layer = -1;
  int line_number = 0;
  for (std::string line; std::getline(in, line);) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0].starts_with("#")) continue;
    const size_t first = line.find_first_not_of(' ');
    if (line[first] == '|') {
      if (layer < 0) Fail(path, line_number, "a picture row outside glyphs, foreground or background");
      const size_t last = line.find_last_not_of(' ');
      if (last == first || line[last] != '|') Fail(path, line_number, "a picture row ends with '|'");
      layers[layer].push_back(DecodeUtf8(line.substr(first + 1, last - first - 1), path, line_number));
      if (static_cast<int>(layers[layer].back().size()) != width) {
        Fail(path, line_number, "a picture row holds " + std::to_string(width) + " cells");
      }
      if (static_cast<int>(layers[layer].size()) > height) {
        Fail(path, line_number, "more than " + std::to_string(height) + " rows");
      }
      continue;
    }
    const std::string& key = words[0];
    // A directive of n words may be followed by a comment.
    auto has = [&words](size_t n) { return words.size() == n || (words.size() > n && words[n].starts_with("#")); };
    if (key == "size" && has(3)) {
      width = CellValue(words[1], path, line_number);
      height = CellValue(words[2], path, line_number);
      if (width == 0 || height == 0) Fail(path, line_number, "a screen has cells");
    } else if (key == "coding" && has(2) && (words[1] == "rle" || words[1] == "png")) {
      source.code = words[1] == "png" ? coding::png : coding::run_length;
      have_coding = true;
    } else if (key == "glyph" && has(3)) {
      glyphs[LegendCharacter(words[1], path, line_number)] = CellValue(words[2], path, line_number);
    } else if (key == "colour" && has(3)) {
      colours[LegendCharacter(words[1], path, line_number)] = CellValue(words[2], path, line_number);
    } else if (has(1) && (key == "glyphs" || key == "foreground" || key == "background")) {
      if (width == 0) Fail(path, line_number, "the size comes before the pictures");
      layer = key == "glyphs" ? 0 : key == "foreground" ? 1 : 2;
      if (!layers[layer].empty()) Fail(path, line_number, key + " twice");
    } else {
      Fail(path, line_number, "unknown line: " + line);
    }
  }
  if (!have_coding) Fail(path, line_number, "no coding line (rle or png)");
  const char* names[3] = {"glyphs", "foreground", "background"};
  for (int p = 0; p < 3; ++p) {
    if (static_cast<int>(layers[p].size()) != height) {
      Fail(path, line_number, std::string(names[p]) + " needs " + std::to_string(height) + " rows");
    }
  }

  std::map<char32_t, int> code_page;
  for (int g = 1; g < 256; ++g) code_page.emplace(kCodePage437[g], g);
  source.grid = tilemap::Create(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const char32_t picture = layers[0][static_cast<size_t>(y)][static_cast<size_t>(x)];
      int glyph = 0;
      if (auto legend = glyphs.find(picture); legend != glyphs.end()) {
        glyph = legend->second;
      } else if (picture != U' ') {
        auto found = code_page.find(picture);
        if (found == code_page.end() || found->second == kNoValue) {
          throw source_error{path + ": glyph row " + std::to_string(y) + " column " + std::to_string(x) +
                             ": '" + EncodeUtf8(picture) + "' is no glyph of the sheet"};
        }
        glyph = found->second;
      }
      source.grid.at(0, x, y) = static_cast<uint8_t>(glyph);
      for (int p = 1; p < 3; ++p) {
        const char32_t colour = layers[p][static_cast<size_t>(y)][static_cast<size_t>(x)];
        auto found = colours.find(colour);
        if (found == colours.end()) {
          throw source_error{path + ": " + names[p] + " row " + std::to_string(y) + " column " +
                             std::to_string(x) + ": '" + EncodeUtf8(colour) + "' is not in the colour legend"};
        }
        source.grid.at(p, x, y) = static_cast<uint8_t>(found->second);
      }
    }
  }
  return source;
}

std::vector<uint8_t> Code(const screen_source& source) {
  auto out = OpenMemoryWrite();
  if (source.code == coding::png) {
    if (WritePNG(source.grid, *out) != 1) throw source_error{source.name + ": the picture can't be made"};
  } else {
    WriteRLE(source.grid, *out);
  }
  return out->TakeBytes();
}

// The file must read back to the same cells without a single reported problem.
void CheckReadsBack(const screen_source& source, const std::vector<uint8_t>& bytes) {
  std::vector<std::string> reported;
  SetErrorReporter([&reported](const std::string&, const std::string& message) { reported.push_back(message); });
  stream_ptr in = OpenMemory(bytes);
  std::optional<tilemap> grid = ReadScreen(*in, 1);
  SetErrorReporter(nullptr);
  if (!reported.empty()) throw source_error{source.name + ": reads back with \"" + reported.front() + "\""};
  if (!grid || grid->tmapw != source.grid.tmapw || grid->tmaph != source.grid.tmaph ||
      grid->tmap != source.grid.tmap) {
    throw source_error{source.name + ": reads back with other cells"};
  }
}

struct preview_setup {
  std::string dir;
  picture sheet;
  std::array<uint8_t, 768> palette{};
};

preview_setup LoadPreviewSetup(const std::string& dir, const std::string& sheet_path,
                               const std::string& palette_path) {
  preview_setup setup;
  setup.dir = dir;
  std::optional<picture> sheet = LoadPngFile(sheet_path, int64_t{1} << 24);
  if (!sheet) throw source_error{sheet_path + ": can't be loaded"};
  setup.sheet = *sheet;
  std::optional<picture> colours = LoadPngFile(palette_path, 256);
  if (!colours) throw source_error{palette_path + ": can't be loaded (at most 256 pixels)"};
  for (size_t i = 0; i < colours->pixels.size(); ++i) {
    const uint32_t argb = colours->pixels[i];
    setup.palette[i] = static_cast<uint8_t>(argb >> 16);
    setup.palette[256 + i] = static_cast<uint8_t>(argb >> 8);
    setup.palette[512 + i] = static_cast<uint8_t>(argb);
  }
  return setup;
}

void WritePreview(const preview_setup& setup, const screen_source& source) {
  std::optional<picture> image =
      RenderScreenshot(source.grid, setup.sheet, setup.sheet.width / 16, setup.sheet.height / 16, setup.palette);
  const std::string path = setup.dir + "/" + source.name + ".png";
  if (!image || !SavePngFile(*image, png_channels::rgba, 9, path)) {
    throw source_error{path + ": the preview can't be written"};
  }
}

int Run(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: make_screens <output dir> <source.txt>... [--preview <dir> <sheet_fg.png> <palette.png>]\n",
               stderr);
    return 2;
  }
  const std::string out_dir = argv[1];
  std::vector<std::string> sources;
  std::optional<preview_setup> preview;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--preview") {
      if (i + 3 >= argc) throw source_error{"--preview needs a folder, a glyph sheet and a palette"};
      preview = LoadPreviewSetup(argv[i + 1], argv[i + 2], argv[i + 3]);
      i += 3;
    } else {
      sources.push_back(arg);
    }
  }
  for (const std::string& path : sources) {
    const screen_source source = ParseSource(path);
    const std::vector<uint8_t> bytes = Code(source);
    CheckReadsBack(source, bytes);
    const std::string target = out_dir + "/" + source.name + ".qtm";
    if (!WriteFileAtomically(target, bytes)) {
      throw source_error{target + ": can't be written"};
    }
    if (preview) WritePreview(*preview, source);
  }
  return 0;
}

}  // namespace
}  // namespace dusk

int main(int argc, char** argv) {
  try {
    return dusk::Run(argc, argv);
  } catch (const dusk::source_error& error) {
    std::fprintf(stderr, "make_screens: %s\n", error.text.c_str());
    return 1;
  }
}
