// The display configuration file, the glyph sheets and palette it names, and opening the window from them.
#include "display/display_config.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "display/display_state.h"
#include "display/fullscreen.h"
#include "display/text_number.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/program.h"
#include "platform/stream.h"
#include "platform/window.h"

namespace dusk {

namespace {

constexpr int kLineMinimum = 4;
constexpr int kSheetColumns = 16;
constexpr int kSheetRows = 16;
constexpr int kGlyphCount = 256;

std::string Trimmed(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) < 33) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) < 33) --end;
  return text.substr(begin, end - begin);
}

// The characters a configuration line keeps outside quotes.
bool AcceptedOutsideQuotes(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  static constexpr std::string_view kSymbols = "~\"` /\\.!@#$%^&*()[]{}|:'_-+;";
  return kSymbols.find(c) != std::string_view::npos;
}

void TrimArguments() {
  const int used = std::min<int>(display.configargcount, kConfigArgSlots);
  for (int slot = 0; slot < used; ++slot) {
    std::string& argument = display.configargs[static_cast<size_t>(slot)];
    std::replace(argument.begin(), argument.end(), '\t', ' ');
    std::replace(argument.begin(), argument.end(), '"', ' ');
    argument = Trimmed(argument);
  }
}

// cells x glyph size x scale, kept within int when a configuration asks for absurd sizes.
int WindowSide(int cells, int glyph, int scale) {
  const int64_t pixels = static_cast<int64_t>(cells) * glyph * scale;
  return static_cast<int>(std::clamp<int64_t>(pixels, INT32_MIN, INT32_MAX));
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::string SplitConfigLine(std::string line, const std::string& where) {
  std::replace(line.begin(), line.end(), '\t', ' ');
  line = Trimmed(line);
  if (line.starts_with("//")) return "";

  display.configargcount = 0;
  for (std::string& slot : display.configargs) slot.clear();
  std::string keyword;
  int a = -1;  // the argument being collected; -1 while still in the keyword

  const size_t length = line.size();
  const size_t found = line.find("//");
  const size_t comment = found == std::string::npos ? 0 : found + 1;  // 1-based, 0 for none
  // Positions are 1-based; 0 stands for "no character" (past the end, or consumed as a separator).
  const auto at = [&](size_t p) -> int {
    return p >= 1 && p <= length ? static_cast<unsigned char>(line[p - 1]) : -1;
  };

  size_t p = 0;
  do {
    ++p;
    int c = at(p);
    if (c == ' ' && a == -1) {
      a = 0;
      display.configargcount = 1;
      c = -1;
    }
    if (c == ',') {
      ++a;
      ++display.configargcount;
      c = -1;
    }
    if (a >= kConfigArgSlots) break;
    if (p == comment) break;
    if (c < 0 || !AcceptedOutsideQuotes(static_cast<char>(c))) continue;
    if (a == -1) {
      if (c != ' ' && c != '"') keyword += static_cast<char>(c);
      continue;
    }
    std::string& slot = display.configargs[static_cast<size_t>(a)];
    if (c != '"') {
      slot += static_cast<char>(c);
      continue;
    }
    // A quoted argument keeps every character up to the closing quote.
    bool closed = false;
    while (p <= length) {
      ++p;
      c = at(p);
      if (c == '"') {
        closed = true;
        break;
      }
      if (c >= 0) slot += static_cast<char>(c);
    }
    if (!closed) {
      TrimArguments();
      ShowSystemMessage("Improperly teminated string " + where + " ( " + slot + " )", "1");
      return keyword;
    }
  } while (p <= length);

  TrimArguments();
  if (display.configargcount == 1 && display.configargs[0].empty()) display.configargcount = 0;
  return Trimmed(keyword);
}

void ReadDisplayConfig(const std::string& file) {
  stream_ptr in = OpenRead(file);
  if (!in) FatalError("Failed to read " + file);
  ReadDisplayConfigLines(*in, file);
}

void ReadDisplayConfigLines(stream& in, const std::string& file) {
  int n = 0;
  while (!in.Eof()) {
    ++n;
    const std::string line = in.ReadLine();
    if (line.size() < kLineMinimum || line.starts_with("//")) continue;
    const std::string where = "on line " + std::to_string(n) + " of " + file;
    const std::string keyword = SplitConfigLine(line, where);
    const std::string& argument = display.configargs[0];
    const std::string name = Lower(keyword);
    if (name == "width") {
      display.displaywidth = TextToInt(argument);
    } else if (name == "height") {
      display.displayheight = TextToInt(argument);
    } else if (name == "tileset") {
      display.tilesetpath = argument;
    } else if (name == "pallet") {
      display.palettepath = argument;
    } else if (name == "title") {
      display.windowtitle = argument;
    } else if (name == "scale") {
      display.displayscale = TextToInt(argument);
    } else {
      FatalError("Unrecognized keyword '" + keyword + "' " + where);
    }
    if (display.configargcount != 1) FatalError("Incorrect number of arguments " + where);
  }
  display.configloaded = 1;
}

void LoadTileset(const std::string& name) {
  std::string base = name == kUseDefaultPath ? display.tilesetpath : name;
  std::replace(base.begin(), base.end(), '\\', '/');
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && base.find('/', dot) == std::string::npos) base.erase(dot);
  const std::string fgpath = base + "_fg.png";
  const std::string bgpath = base + "_bg.png";

  const std::unique_ptr<pixel_image> whole = LoadPixels(fgpath);
  if (!whole) FatalError("Failed to load " + fgpath);
  const int cellw = PixelsWidth(*whole) / kSheetColumns;
  const int cellh = PixelsHeight(*whole) / kSheetRows;
  // A sheet under 16 pixels on a side can't be cut into 256 glyphs.
  if (cellw <= 0 || cellh <= 0) FatalError("Failed to load tileset image " + fgpath);

  cell_sheet_ptr fg = LoadCellSheet(fgpath, cellw, cellh, 0, kGlyphCount, 0, 0, 0);
  if (!fg) FatalError("Failed to load tileset image " + fgpath);
  cell_sheet_ptr bg = LoadCellSheet(bgpath, cellw, cellh, 0, kGlyphCount, 0, 0, 0);
  if (!bg) FatalError("Failed to load tileset image " + bgpath);
  display.fgsheet = std::move(fg);
  display.bgsheet = std::move(bg);
  display.glyphwidth = static_cast<uint8_t>(cellw % 256);
  display.glyphheight = static_cast<uint8_t>(cellh % 256);
}

void LoadPalette(const std::string& name) {
  const std::string path = name == kUseDefaultPath ? display.palettepath : name;
  const std::unique_ptr<pixel_image> image = LoadPixels(path);
  if (!image) FatalError("Failed to load " + path);
  int i = 0;
  for (int y = 0; y < PixelsHeight(*image); ++y) {
    for (int x = 0; x < PixelsWidth(*image); ++x) {
      if (i == kPaletteColors) {
        FatalError("Too many colors in pallet " + path + ", 256 is the proper amount.");
      }
      const auto argb = static_cast<uint32_t>(ReadPixel(*image, x, y));
      const auto index = static_cast<size_t>(i);
      display.palette[index] = static_cast<uint8_t>((argb >> 16) & 255);
      display.palette[kPaletteColors + index] = static_cast<uint8_t>((argb >> 8) & 255);
      display.palette[2 * kPaletteColors + index] = static_cast<uint8_t>(argb & 255);
      ++i;
    }
  }
}

void OpenDisplay(const std::string& file, int scale, const std::string& title) {
  if (PathKind(file) == 1) {
    ReadDisplayConfig(file);
  } else if (display.configloaded == 0) {
    FatalError("Failed to read " + file);
  }
  const std::string shown = title == kUseDefaultTitle ? display.windowtitle : title;
  LoadTileset(kUseDefaultPath);
  LoadPalette(kUseDefaultPath);
  if (scale != 0) {
    display.displayscale = scale;
  } else if (display.fullscreen) {
    display.displayscale = display.windowedscale;  // the window opens at its own size first
  }
  display.windowwidth = WindowSide(display.displaywidth, display.glyphwidth, display.displayscale);
  display.windowheight = WindowSide(display.displayheight, display.glyphheight, display.displayscale);
  OpenWindow(display.windowwidth, display.windowheight, shown);
  ApplyWindowMode();
}

}  // namespace dusk
