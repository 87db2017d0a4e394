// The files built into the game: registration, the eleven screens as the game reads them, the PNG pictures
// inside the PNG-coded ones, the credits text and the sounds.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "assets/embedded_files.h"
#include "files/png_image.h"
#include "platform/embedded.h"
#include "tests/files/screen_test_util.h"

namespace dusk {
namespace {

using testing::error_log;

class Embedded : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearEmbedded();
    RegisterEmbeddedFiles();
  }
  void TearDown() override { ClearEmbedded(); }

  static std::vector<uint8_t> Bytes(const std::string& name) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!FindEmbedded(name, data, size)) {
      ADD_FAILURE() << name << " is not registered";
      return {};
    }
    return {data, data + size};
  }

  // The screen as start-up reads it; any reported problem fails the test.
  static tilemap ReadScreen(const std::string& screen) {
    error_log log;
    std::optional<tilemap> grid = Read("incbin::incbin\\" + screen + ".qtm", 1);
    EXPECT_TRUE(log.entries.empty()) << screen << ": " << (log.entries.empty() ? "" : log.messages().front());
    if (!grid) {
      ADD_FAILURE() << screen << " can't be read";
      return tilemap::Create(1, 1);
    }
    return *grid;
  }
};

TEST_F(Embedded, AreRegisteredInStartUpOrderUnderTheGamesNames) {
  const std::vector<std::string> expected = {
      "incbin\\help.qtm",      "incbin\\hud.qtm",     "incbin\\winner.qtm",  "incbin\\loser.qtm",
      "incbin\\lselect.qtm",   "incbin\\loading.qtm", "incbin\\menu.qtm",    "incbin\\lockedmenu.qtm",
      "incbin\\option.qtm",    "incbin\\credit.qtm",  "incbin\\nameinput.qtm", "incbin\\credits.txt",
      "sounds\\bip.ogg",       "sounds\\sweep.ogg",   "sounds\\phase.ogg",   "sounds\\slide.ogg",
      "sounds\\whip.ogg"};
  std::vector<std::string> names;
  for (const embedded_file& file : dusk::EmbeddedFiles()) {
    names.push_back(file.name);
    const uint8_t* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(FindEmbedded(file.name, data, size)) << file.name;
    EXPECT_EQ(data, file.data) << file.name;
    EXPECT_EQ(size, file.size) << file.name;
    EXPECT_GT(size, 0u) << file.name;
  }
  EXPECT_EQ(names, expected);

  // Opened like any file, through the prefix.
  stream_ptr in = OpenRead("incbin::incbin\\hud.qtm");
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(in->Size(), static_cast<int64_t>(Bytes("incbin\\hud.qtm").size()));
}

TEST_F(Embedded, LoadingScreenHasItsKnownBytes) {
  const std::vector<uint8_t> bytes = Bytes("incbin\\loading.qtm");
  EXPECT_EQ(bytes, testing::kLoadingScreenFile);
  ASSERT_EQ(bytes.size(), 71u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "QDTR");
  EXPECT_EQ(bytes[16], 141);  // glyph 0 in the first 142 cells
  EXPECT_EQ(bytes[17], 0);
  const std::vector<uint8_t> last_runs(bytes.end() - 7, bytes.end() - 3);
  EXPECT_EQ(last_runs, (std::vector<uint8_t>{255, 20, 43, 20}));

  const tilemap grid = ReadScreen("loading");
  EXPECT_EQ(GetChecksum(grid), 1077156);
  EXPECT_EQ(testing::CodeRunLength(grid), bytes);
  EXPECT_EQ(rlesize(grid), 52);
}

TEST_F(Embedded, HelpScreenBeginsWithASpaceAndHasItsBodySize) {
  const std::vector<uint8_t> bytes = Bytes("incbin\\help.qtm");
  EXPECT_EQ(bytes.size(), 16u + 214u + 3u);
  const tilemap grid = ReadScreen("help");
  EXPECT_EQ(grid.at(0, 0, 0), 32);
  EXPECT_EQ(rlesize(grid), 216);
}

TEST_F(Embedded, EveryScreenReadsBackWithItsSizeAndCoding) {
  struct screen_case {
    const char* name;
    int width;
    int height;
    const char* magic;
  };
  const screen_case cases[] = {
      {"help", 20, 15, "QDTR"},    {"hud", 5, 15, "QDTR"},        {"winner", 20, 15, "QDTP"},
      {"loser", 20, 15, "QDTP"},   {"lselect", 20, 15, "QDTR"},   {"loading", 20, 15, "QDTR"},
      {"menu", 20, 15, "QDTP"},    {"lockedmenu", 20, 15, "QDTR"}, {"option", 20, 15, "QDTR"},
      {"credit", 20, 15, "QDTR"},  {"nameinput", 20, 15, "QDTR"},
  };
  for (const screen_case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> bytes = Bytes(std::string("incbin\\") + c.name + ".qtm");
    ASSERT_GE(bytes.size(), 19u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), c.magic);
    EXPECT_EQ(std::string(bytes.end() - 3, bytes.end()), "EOF");
    const tilemap grid = ReadScreen(c.name);
    EXPECT_EQ(grid.tmapw, c.width);
    EXPECT_EQ(grid.tmaph, c.height);
    EXPECT_EQ(grid.transparentcolor, kTransparentColor);
    for (uint8_t byte : grid.tmap) ASSERT_NE(byte, kNoValue) << to_string(grid, true);
  }
}

// The chunk types of a PNG file in order, or a failure when its structure is broken.
std::vector<std::string> ChunkTypes(const std::vector<uint8_t>& png, std::vector<uint8_t>& idat,
                                    std::vector<uint8_t>& ihdr) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::string> types;
  if (png.size() < 8 || std::memcmp(png.data(), kSignature, 8) != 0) return {"no signature"};
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const size_t length = static_cast<size_t>(png[at]) << 24 | static_cast<size_t>(png[at + 1]) << 16 |
                          static_cast<size_t>(png[at + 2]) << 8 | png[at + 3];
    if (at + 12 + length > png.size()) return {"chunk past the end"};
    const std::string type(png.begin() + static_cast<long>(at) + 4, png.begin() + static_cast<long>(at) + 8);
    const auto data = png.begin() + static_cast<long>(at) + 8;
    if (type == "IDAT") idat.insert(idat.end(), data, data + static_cast<long>(length));
    if (type == "IHDR") ihdr.assign(data, data + static_cast<long>(length));
    types.push_back(type);
    at += 12 + length;
  }
  if (at != png.size()) types.push_back("trailing bytes");
  return types;
}

TEST_F(Embedded, PngCodedScreensHoldPlainRgbPictures) {
  for (const char* name : {"menu", "winner", "loser"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> bytes = Bytes(std::string("incbin\\") + name + ".qtm");
    ASSERT_GE(bytes.size(), 16u + 8u + 3u);
    double length = 0;
    std::memcpy(&length, bytes.data() + 16, sizeof length);
    ASSERT_EQ(static_cast<double>(bytes.size() - 27), length);
    const std::vector<uint8_t> png(bytes.begin() + 24, bytes.end() - 3);

    std::vector<uint8_t> idat;
    std::vector<uint8_t> ihdr;
    EXPECT_EQ(ChunkTypes(png, idat, ihdr), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    // 20 x 15, 8 bits, colour type 2 (RGB), deflate, adaptive filtering, no interlacing.
    EXPECT_EQ(ihdr, (std::vector<uint8_t>{0, 0, 0, 20, 0, 0, 0, 15, 8, 2, 0, 0, 0}));

    std::vector<uint8_t> raw(2000);
    uLongf raw_size = static_cast<uLongf>(raw.size());
    ASSERT_EQ(uncompress(raw.data(), &raw_size, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
    EXPECT_EQ(raw_size, 915u);  // 15 rows of a filter byte and 20 RGB pixels

    std::optional<picture> image = LoadPngBytes(png.data(), png.size(), 1000);
    ASSERT_TRUE(image.has_value());
    for (uint32_t argb : image->pixels) {
      for (int shift : {16, 8, 0}) ASSERT_NE((argb >> shift) & 0xFF, 0xFFu);
    }
  }
}

// What the screens state in words, cell by cell.
struct text_case {
  const char* screen;
  int x;
  int y;
  const char* text;  // glyphs from (x, y) to the right
  int fg;
  int bg;
};

TEST_F(Embedded, TextsStandAtTheirCellsInTheirColours) {
  const text_case cases[] = {
      {"help", 8, 0, "Help", 0, 36},
      {"help", 1, 4, "Arrows: Move about", 36, 20},
      {"help", 1, 6, "Space: Retry level", 36, 20},
      {"help", 1, 8, "Escape: Quit level", 36, 20},
      {"help", 1, 10, "F1: Toggle help", 36, 20},
      {"help", 17, 14, "F1", 0, 36},
      {"hud", 0, 2, "LEVEL", 0, 20},
      {"hud", 0, 5, "MOVES", 0, 20},
      {"hud", 0, 8, "SCORE", 0, 20},
      {"hud", 0, 11, "HIGHS", 0, 20},
      {"hud", 1, 3, "0-0", 45, 20},
      {"hud", 1, 6, "000", 45, 20},
      {"hud", 1, 9, "000", 45, 20},
      {"hud", 1, 12, "000", 45, 20},
      {"hud", 0, 1, "\xCD\xCD\xCD\xCD\xCD", 0, 20},
      {"hud", 0, 4, "\xCD\xCD\xCD\xCD\xCD", 0, 20},
      {"hud", 0, 7, "\xCD\xCD\xCD\xCD\xCD", 0, 20},
      {"hud", 0, 10, "\xCD\xCD\xCD\xCD\xCD", 0, 20},
      {"hud", 0, 13, "\xCD\xCD\xCD\xCD\xCD", 0, 20},
      {"loading", 2, 7, "Loading..", 36, 20},
      {"lselect", 4, 0, "Level select", 0, 36},
      {"option", 7, 0, "Option", 0, 36},
      {"credit", 7, 0, "Credit", 0, 36},
      {"lselect", 0, 3, "\x18", 28, 20},
      {"lselect", 0, 11, "\x19", 28, 20},
      {"option", 0, 3, "\x18", 28, 20},
      {"option", 0, 11, "\x19", 28, 20},
      {"credit", 0, 3, "\x18", 28, 20},
      {"credit", 0, 11, "\x19", 28, 20},
      {"nameinput", 2, 5, "Input your name:", 36, 20},
      {"nameinput", 6, 7, "\xFA\xFA\xFA\xFA\xFA\xFA\xFA\xFA", 45, 20},
      {"menu", 2, 10, "Play", 46, 20},
      {"menu", 2, 11, "Option", 46, 20},
      {"menu", 2, 12, "Credits", 46, 20},
      {"menu", 2, 13, "Quit", 46, 20},
      {"lockedmenu", 2, 10, "Play", 40, 20},
      {"lockedmenu", 2, 11, "Option", 40, 20},
      {"lockedmenu", 2, 12, "Credits", 40, 20},
      {"lockedmenu", 2, 13, "Quit", 40, 20},
      {"lockedmenu", 2, 2, "Duskmarrow", 40, 20},
      {"lockedmenu", 14, 5, "*", 21, 48},
      {"lockedmenu", 3, 6, "*", 21, 48},
      {"lockedmenu", 16, 6, "*", 21, 48},
      {"winner", 0, 13, "Spacebar to continue", 3, 48},
      {"loser", 0, 13, "Spacebar for restart", 26, 48},
  };
  for (const text_case& c : cases) {
    SCOPED_TRACE(std::string(c.screen) + " (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ")");
    const tilemap grid = ReadScreen(c.screen);
    std::string glyphs;
    for (size_t i = 0; i < std::strlen(c.text); ++i) {
      const int x = c.x + static_cast<int>(i);
      ASSERT_TRUE(grid.Inside(x, c.y));
      glyphs += static_cast<char>(grid.at(0, x, c.y));
      EXPECT_EQ(grid.at(1, x, c.y), c.fg) << "column " << x;
      EXPECT_EQ(grid.at(2, x, c.y), c.bg) << "column " << x;
    }
    EXPECT_EQ(glyphs, c.text) << to_string(grid);
  }
}

// Every cell of a rectangle: its background, and a glyph among the allowed ones.
void ExpectArea(const tilemap& grid, int x0, int y0, int x1, int y1, int bg, const std::vector<int>& glyphs) {
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      if (bg >= 0) {
        EXPECT_EQ(grid.at(2, x, y), bg) << "(" << x << ", " << y << ")";
      }
      if (!glyphs.empty()) {
        EXPECT_NE(std::find(glyphs.begin(), glyphs.end(), grid.at(0, x, y)), glyphs.end())
            << "(" << x << ", " << y << ") holds glyph " << int{grid.at(0, x, y)};
      }
    }
  }
}

TEST_F(Embedded, BarsBandsAndEmptyAreasAreWhereTheScreensHaveThem) {
  for (const char* name : {"help", "lselect", "option", "credit"}) {
    SCOPED_TRACE(name);
    const tilemap grid = ReadScreen(name);
    ExpectArea(grid, 0, 0, 19, 0, 36, {});
    ExpectArea(grid, 0, 14, 19, 14, 36, {});
    ExpectArea(grid, 0, 1, 19, 13, 20, {});
  }
  for (const char* name : {"lselect", "option", "credit"}) {
    SCOPED_TRACE(name);
    const tilemap grid = ReadScreen(name);
    // Only the scroll marks between the bars.
    ExpectArea(grid, 1, 1, 19, 13, 20, {0});
    ExpectArea(grid, 0, 14, 19, 14, 36, {32});
  }

  const tilemap winner = ReadScreen("winner");
  ExpectArea(winner, 0, 0, 19, 1, 20, {0});
  ExpectArea(winner, 0, 14, 19, 14, 20, {0});
  ExpectArea(winner, 0, 2, 19, 12, 48, {0, 176});
  ExpectArea(winner, 0, 13, 19, 13, 48, {});

  const tilemap loser = ReadScreen("loser");
  ExpectArea(loser, 0, 0, 19, 14, 48, {});
  ExpectArea(loser, 0, 0, 19, 2, -1, {0});
  ExpectArea(loser, 0, 3, 19, 11, -1, {0, 176});

  // The name in block glyphs and the dots, above and beside the entries.
  const tilemap menu = ReadScreen("menu");
  ExpectArea(menu, 0, 0, 19, 14, 20, {});
  for (int y = 0; y <= 12; ++y) {
    for (int x = y >= 10 ? 9 : 0; x < 20; ++x) {
      const int glyph = menu.at(0, x, y);
      if (glyph >= 219 && glyph <= 223) {
        EXPECT_EQ(menu.at(1, x, y), 40) << "(" << x << ", " << y << ")";
      } else if (glyph == 7 || glyph == 249) {
        EXPECT_EQ(menu.at(1, x, y), 36) << "(" << x << ", " << y << ")";
      } else {
        EXPECT_EQ(glyph, 0) << "(" << x << ", " << y << ")";
      }
    }
  }

  // The menus leave the cursor cells and the progress column to the code that draws them.
  for (const char* name : {"menu", "lockedmenu"}) {
    SCOPED_TRACE(name);
    const tilemap grid = ReadScreen(name);
    ExpectArea(grid, 1, 10, 1, 13, 20, {0});
    ExpectArea(grid, 19, 0, 19, 14, -1, {0});
  }

  // The band with the creature: its eyes are glyph 8, their pupils dark.
  const tilemap locked = ReadScreen("lockedmenu");
  int eyes = 0;
  for (int y = 4; y <= 7; ++y) {
    for (int x = 2; x <= 17; ++x) {
      if (locked.at(0, x, y) == 8) {
        ++eyes;
      } else {
        EXPECT_EQ(locked.at(2, x, y), 48) << "(" << x << ", " << y << ")";
      }
    }
  }
  EXPECT_EQ(eyes, 2);
}

TEST_F(Embedded, CreditsHaveFiveHeadingsAndSixNames) {
  const std::vector<uint8_t> bytes = Bytes("incbin\\credits.txt");
  const std::string text(bytes.begin(), bytes.end());
  int headings = 0;
  int names = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (line.empty()) continue;
    (line[0] == '+' ? headings : names) += 1;
    // Headings stand at column 1 and names at column 2 of a 20-column screen.
    EXPECT_LE(line.size(), line[0] == '+' ? 20u : 18u) << line;
  }
  EXPECT_EQ(headings, 5);
  EXPECT_EQ(names, 6);
  // The music is the project's own.
  EXPECT_NE(text.find("+Music\r\nDuskmarrow project\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n"), std::string::npos);
}

TEST_F(Embedded, SoundsAreOggStreams) {
  for (const char* name : {"bip", "sweep", "phase", "slide", "whip"}) {
    const std::vector<uint8_t> bytes = Bytes(std::string("sounds\\") + name + ".ogg");
    ASSERT_GE(bytes.size(), 4u) << name;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "OggS") << name;
  }
}

}  // namespace
}  // namespace dusk
