// Running the game executable on scripts for the journey and monkey tests.
#include "tests/app/support/game_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "files/png_image.h"

namespace dusk::testing {

namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

game_folder::game_folder() {
  const fs::path game = fs::path(DUSK_SOURCE_DIR) / "game";
  std::error_code error;
  fs::copy(game / "graphics", fs::path(path()) / "graphics", fs::copy_options::recursive, error);
  if (error) ADD_FAILURE() << "can't copy the graphics: " << error.message();
  fs::copy(DUSK_FIXTURE_LEVELS, fs::path(path()) / "levels", fs::copy_options::recursive, error);
  if (error) ADD_FAILURE() << "can't copy the converted levels (built with the game): " << error.message();
}

game_run RunGame(const game_folder& folder, const std::string& script, int timeout_seconds,
                 const std::string& extra_arguments) {
  const std::string errors = folder / "stderr.txt";
  const std::string command =
      "cd " + Quoted(folder.path()) + " && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
      "ALSOFT_DRIVERS=null LSAN_OPTIONS=suppressions=" +
      Quoted(std::string(DUSK_SOURCE_DIR) + "/tests/app/game_runs_lsan.supp") +
      ":use_tls=0:print_suppressions=0 timeout -s KILL " + std::to_string(timeout_seconds) + " " +
      Quoted(DUSK_GAME_EXE) + " --fast --script " + Quoted(script) + " " + extra_arguments +
      " >/dev/null 2>" + Quoted(errors);
  const int raw = std::system(command.c_str());
  game_run run;
  if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
  // timeout's own status for a game it had to stop.
  if (run.status == 137 || run.status == 124) run.status = -1;
  std::ifstream in(errors);
  std::stringstream text;
  text << in.rdbuf();
  run.errors = text.str();
  return run;
}

std::string MonkeyScript(uint64_t seed, int frames) {
  std::mt19937_64 random(seed);
  auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  auto any = [&](const std::vector<std::string>& list) { return list[pick(list.size())]; };
  const std::vector<std::string> directions = {"Up", "Down", "Left", "Right"};
  const std::vector<std::string> rare = {"Backspace", "Tab", "F1", "M", "R", "LCtrl", "RCtrl", "W",
                                         "A",         "S",   "D",  "Q", "Z", "0",     "9",     "F12"};
  const std::vector<std::string> texts = {
      "a",           "MOSS FEN",     "Wayfarer", "zz top", "12345678901", "\xc3\xa9t\xc3\xa9",
      "~!@#$%^&*()", "\xe2\x82\xac", "moss fen", "x y"};
  std::string script = "# Monkey run, seed " + std::to_string(seed) + "\n";
  // Random keys soon find the main menu's way out (back, or up to "Quit"), so each run starts by heading
  // somewhere: into a level, the options, the credits, or nowhere in particular.
  const std::vector<std::string> openings = {
      "", "press Return\nwait 3\npress Return\nwait 3\npress Return\nwait 3\npress Return\n",
      "press Down\npress Return\n", "press Down\npress Down\npress Return\n"};
  script += any(openings);
  int used = 20;
  while (used < frames) {
    // The run goes in stretches of one mood: playing (mostly directions), wandering the menus (confirm
    // and back as often as directions), or leaving (mostly back), so it reaches every screen and leaves
    // each one again instead of staying in the first level it finds.
    const size_t mood = pick(3);
    const int stretch_end = used + 100 + static_cast<int>(pick(200));
    while (used < std::min(stretch_end, frames)) {
      const size_t roll = pick(100);
      const size_t back_chance = mood == 0 ? 1 : mood == 1 ? 6 : 10;
      const size_t confirm_chance = mood == 0 ? 8 : 25;
      if (roll < back_chance) {
        script += "press Escape\n";
        used += 2;
      } else if (roll < back_chance + confirm_chance) {
        script += pick(2) == 0 ? "press Return\n" : "press Space\n";
        used += 2;
      } else if (roll < 70) {
        script += "press " + any(directions) + "\n";
        used += 2;
      } else if (roll < 78) {
        script += "press " + any(rare) + "\n";
        used += 2;
      } else if (roll < 86) {
        const int hold = 1 + static_cast<int>(pick(40));
        const std::string key = any(directions);
        script += "down " + key + "\nwait " + std::to_string(hold) + "\nup " + key + "\n";
        used += hold + 2;
      } else if (roll < 92) {
        script += "type " + any(texts) + "\n";
        used += 1;
      } else {
        const int pause = static_cast<int>(pick(60));
        script += "wait " + std::to_string(pause) + "\n";
        used += pause;
      }
    }
  }
  for (int i = 0; i < 5; ++i) script += "wait 10\nclose\n";
  return script;
}

void ExpectPictureMatchesReference(const std::string& picture_path, const std::string& reference_path) {
  const char* update = std::getenv("DUSK_UPDATE_REFERENCES");
  std::error_code error;
  if (update != nullptr && std::string(update) == "1") {
    fs::copy_file(picture_path, reference_path, fs::copy_options::overwrite_existing, error);
    EXPECT_FALSE(error) << "can't update " << reference_path;
    return;
  }
  const auto actual = LoadPngFile(picture_path, 1 << 24);
  const auto expected = LoadPngFile(reference_path, 1 << 24);
  ASSERT_TRUE(actual) << "no picture at " << picture_path;
  ASSERT_TRUE(expected) << "no reference picture at " << reference_path;
  bool same = actual->width == expected->width && actual->height == expected->height;
  int differing = 0;
  if (same) {
    for (size_t i = 0; i < actual->pixels.size(); ++i)
      differing += actual->pixels[i] != expected->pixels[i] ? 1 : 0;
    same = differing == 0;
  }
  if (!same) {
    const std::string copy = fs::path(reference_path).stem().string() + ".actual.png";
    fs::copy_file(picture_path, copy, fs::copy_options::overwrite_existing, error);
    ADD_FAILURE() << picture_path << " differs from " << reference_path << " (" << actual->width << " x "
                  << actual->height << ", " << differing << " pixels differ); it is copied to " << copy;
  }
}

}  // namespace dusk::testing
