// Level play test helpers: a world with the sample looks, levels written as level source text into the
// working folder's "leveldata", and a key script that plays a screen's own loop frame by frame.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/screen_file.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/stream.h"
#include "puzzle/solver.h"
#include "worlds/level_source.h"
#include "worlds/world.h"
#include "worlds/world_file.h"
#include "worlds/worlds_state.h"

namespace dusk::testing {

// A level source from its rows (padded with walls to 15 × 15) and legend lines.
inline level_source SourceLevel(const std::vector<std::vector<std::string>>& layers, int moves = 30,
                                const std::vector<std::string>& legend = {}) {
  std::string text = "name: Test\nmoves: " + std::to_string(moves) + "\nhighscore: 0\n";
  for (const auto& layer : layers) {
    text += "layer\n";
    for (size_t row = 0; row < 15; ++row) {
      std::string line = row < layer.size() ? layer[row] : "";
      line.resize(15, '#');
      text += line + "\n";
    }
  }
  if (!legend.empty()) text += "legend\n";
  for (const std::string& line : legend) text += line + "\n";
  source_error error;
  std::optional<level_source> parsed = ParseLevelSource(text, "test.level", error);
  EXPECT_TRUE(parsed) << error.text();
  return parsed ? *parsed : level_source{};
}

// The looks of the first sample world, so that pictures look like the game. With states, the world draws
// its pieces by their state as the converter compiles it; without, as a world compiled before state looks.
inline void ApplySampleLooks(world& w, bool states = false) {
  source_error error;
  const auto file = ReadWorldFile(std::string(DUSK_FIXTURE_WORLDS) + "/dusk-garden/world.txt", error);
  ASSERT_TRUE(file) << error.text();
  for (const world_look& look : file->looks) {
    w.tilec[look.kind] = look.glyph;
    w.tilef[look.kind] = look.fg;
    w.tileb[look.kind] = look.bg;
    if (states) w.tilegiven.set(look.kind);
  }
}

// World w in the loaded worlds, with the sample looks and no levels yet.
inline world& MakeWorld(int w) {
  auto record = std::make_unique<world>();
  ApplySampleLooks(*record);
  world& made = *record;
  gameworlds.worlds[static_cast<size_t>(w)] = std::move(record);
  if (gameworlds.numworlds <= w) gameworlds.numworlds = w + 1;
  return made;
}

inline std::string LevelPath(int w, int l) {
  const char* hex = "0123456789ABCDEF";
  return std::string("leveldata\\world ") + hex[w] + "\\" + hex[w] + "-" + hex[l] + ".slv";
}

// Writes the level image as level l of world w (in the working folder) and enters its name and allowance.
inline void WriteLevelImage(world& rec, int w, int l, const tilemap& image, const std::string& name,
                            int moves) {
  MakeFolder("leveldata");
  MakeFolder(std::string("leveldata\\world ") + "0123456789ABCDEF"[w]);
  stream_ptr out = OpenWrite(LevelPath(w, l));
  ASSERT_TRUE(out);
  WriteRLE(image, *out);
  out->Close();
  rec.levelname[static_cast<size_t>(l)] = name;
  rec.levelmoves[static_cast<size_t>(l)] = moves;
  if (rec.numlevels < l) rec.numlevels = l;
}

inline void WriteLevel(world& rec, int w, int l, const level_source& source,
                       const std::string& name = "Test") {
  WriteLevelImage(rec, w, l, LevelImage(source), name, source.moves);
}

// The key that makes a step digit (0 up, 1 down, 2 left, 3 right).
inline int StepKey(int step) {
  static constexpr int keys[4] = {key::kUp, key::kDown, key::kLeft, key::kRight};
  return keys[step & 3];
}

// What happens after each presented frame of a screen's own loop. Frame f's actions run after frame f is
// presented, so the next frame reads them. Held direction keys are held from one frame to the next.
class key_script {
 public:
  explicit key_script(int limit = 5000) : limit_(limit) {}
  ~key_script() { inject::SetFrameHook({}); }
  key_script(const key_script&) = delete;
  key_script& operator=(const key_script&) = delete;

  void Down(int frame, int key) {
    actions_[frame].push_back([key] { inject::KeyDown(key); });
  }
  void Up(int frame, int key) {
    actions_[frame].push_back([key] { inject::KeyUp(key); });
  }
  void Press(int frame, int key) {
    actions_[frame].push_back([key] { inject::KeyPress(key); });
  }
  void At(int frame, std::function<void()> action) { actions_[frame].push_back(std::move(action)); }
  // A step: the key goes down after frame f and up after frame f + 1. Returns the next free frame.
  int Step(int frame, int step) {
    Down(frame, StepKey(step));
    Up(frame + 1, StepKey(step));
    return frame + 2;
  }
  int Steps(int frame, const std::vector<uint8_t>& steps) {
    for (uint8_t s : steps) frame = Step(frame, s);
    return frame;
  }
  // Presses the key after every frame from f on, until the loop returns.
  void PressFrom(int frame, int key) { repeat_.emplace_back(frame, key); }

  // Starts feeding the loop; a loop that is still running after the limit is stopped with an exception.
  void Run() {
    ClearInput();
    inject::SetFrameHook([this](int frame) {
      frames_ = frame;
      if (frame > limit_)
        throw std::runtime_error("the loop did not end within " + std::to_string(limit_) + " frames");
      if (auto found = actions_.find(frame); found != actions_.end()) {
        for (auto& action : found->second) action();
      }
      for (const auto& [from, key] : repeat_) {
        if (frame >= from) inject::KeyPress(key);
      }
    });
  }
  int frames() const { return frames_; }

 private:
  int limit_;
  int frames_ = 0;
  std::map<int, std::vector<std::function<void()>>> actions_;
  std::vector<std::pair<int, int>> repeat_;
};

}  // namespace dusk::testing
