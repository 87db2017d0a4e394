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

#include "display/code_page_437.h"
#include "display/tilemap.h"
#include "files/error_report.h"
#include "files/export_png.h"
#include "files/png_image.h"
#include "files/screen_file.h"
#include "platform/files.h"
#include "platform/stream.h"

namespace dusk {
namespace {

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
