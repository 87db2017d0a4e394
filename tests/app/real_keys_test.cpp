// The real game in a real X window (a virtual X server of the test's own), played with real key events
// from xdotool: a level's shortest solution typed as instant taps, and again as holds of 200 ms, must win
// at the level's best score with exactly the solution's steps: no step lost, none doubled.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "persist/replay.h"
#include "persist/save.h"
#include "platform/stream.h"
#include "puzzle/solver.h"
#include "tests/app/support/game_run.h"
#include "tests/platform/support/temp_folder.h"
#include "worlds/level_source.h"

namespace dusk {
namespace {

using namespace std::chrono_literals;

const char* const kStepKeys[] = {"Up", "Down", "Left", "Right"};
const char* const kLevel = "dusk-garden/first-light.level";  // level 1 of world 1 of the test worlds

bool HaveCommand(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A virtual X server on a display number it picks itself (-displayfd), stopped with the test.
class virtual_display {
 public:
  virtual_display() {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(pipe_fds[0]);
      const std::string fd = std::to_string(pipe_fds[1]);
      // Its own output would only clutter the test's.
      std::freopen("/dev/null", "w", stderr);
      std::freopen("/dev/null", "w", stdout);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(pipe_fds[1]);
    if (pid_ < 0) {
      close(pipe_fds[0]);
      return;
    }
    // The server writes its display number once it takes connections.
    std::string number;
    pollfd waiting{pipe_fds[0], POLLIN, 0};
    while (poll(&waiting, 1, 15000) > 0) {
      char c = 0;
      if (read(pipe_fds[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    close(pipe_fds[0]);
    if (!number.empty()) name_ = ":" + number;
  }
  ~virtual_display() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  virtual_display(const virtual_display&) = delete;
  virtual_display& operator=(const virtual_display&) = delete;

  // ":N", or empty when the server did not start.
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// The game started in a folder on a display, with level 1-1 at once.
class running_game {
 public:
  running_game(const testing::game_folder& folder, const std::string& display) {
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(folder.path().c_str()) != 0) _exit(126);
      setenv("DISPLAY", display.c_str(), 1);
      setenv("SDL_VIDEODRIVER", "x11", 1);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      setenv("ALSOFT_DRIVERS", "null", 1);
      const std::string suppressions =
          "suppressions=" + std::string(DUSK_SOURCE_DIR) + "/tests/app/game_runs_lsan.supp:use_tls=0";
      setenv("LSAN_OPTIONS", suppressions.c_str(), 1);
      std::freopen("stderr.txt", "w", stderr);
      // The script's first frame is the level's first: it leaves a file the test waits for, then real
      // keys take over.
      if (FILE* script = std::fopen("ready.script", "w")) {
        std::fputs("cells ready.txt\n", script);
        std::fclose(script);
      }
      execl(DUSK_GAME_EXE, DUSK_GAME_EXE, "--level", "1-1", "--script", "ready.script",
            static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~running_game() {
    if (pid_ > 0 && !Wait(0s)) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  running_game(const running_game&) = delete;
  running_game& operator=(const running_game&) = delete;

  // Whether the game ended within the time; its exit status is then in status().
  bool Wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return true;
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
      int raw = 0;
      if (waitpid(pid_, &raw, WNOHANG) == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        pid_ = -1;
        return true;
      }
      if (std::chrono::steady_clock::now() >= until) return false;
      std::this_thread::sleep_for(20ms);
    }
  }
  int status() const { return status_; }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// What a command run on the display printed, its last line break dropped.
std::string Output(const std::string& display, const std::string& command) {
  std::string text;
  if (FILE* out = popen(("DISPLAY=" + display + " " + command + " 2>/dev/null").c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, out) != nullptr) text += buffer;
    pclose(out);
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

bool RunOn(const std::string& display, const std::string& command) {
  return std::system(("DISPLAY=" + display + " " + command + " >/dev/null 2>&1").c_str()) == 0;
}

// The game's window, given the keyboard focus; empty when it never showed or would not take the focus.
// Keys sent before the focus arrives would be lost (the game forgets keys when its focus changes).
std::string FocusGameWindow(const std::string& display) {
  const std::string window =
      Output(display, "timeout 30 xdotool search --sync --onlyvisible --name '^Duskmarrow$' | head -n 1");
  if (window.empty()) return "";
  for (int attempt = 0; attempt < 50; ++attempt) {
    (void)RunOn(display, "xdotool windowfocus --sync " + window);
    if (Output(display, "xdotool getwindowfocus") == window) return window;
    std::this_thread::sleep_for(100ms);
  }
  return "";
}

struct solution {
  std::vector<uint8_t> steps;
  int best = 0;  // the score of the shortest win
};

solution ShortestSolution(const std::string& level) {
  source_error error;
  const auto parsed = ReadLevelSource(std::string(DUSK_FIXTURE_WORLDS) + "/" + level, error);
  EXPECT_TRUE(parsed) << error.text();
  if (!parsed) return {};
  const solve_result solved = Solve(BuildSourceLevel(*parsed), parsed->moves);
  EXPECT_EQ(solved.status, solve_status::solved);
  return {solved.steps, 9 * parsed->stars - static_cast<int>(solved.steps.size())};
}

class RealKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveCommand("Xvfb") || !HaveCommand("xdotool"))
      GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/packages.txt lists them)";
    display_.emplace();
    if (display_->name().empty()) GTEST_SKIP() << "Xvfb could not start a virtual display here";
    solution_ = ShortestSolution(kLevel);
    ASSERT_FALSE(solution_.steps.empty());
  }

  // Starts the game in the level, plays the solution with the given way of pressing a key, confirms the
  // win, leaves (the next level, the world select, the main menu), and checks the save file and replay.
  void PlayAndCheck(const std::function<void(const std::string& display, const std::string& key)>& press) {
    const std::string& display = display_->name();
    running_game game(folder_, display);
    ASSERT_FALSE(FocusGameWindow(display).empty()) << "the game's window never had the keyboard focus";
    // Start-up loads the worlds behind the loading screen; the level forgets keys sent before it starts,
    // so the keys wait for its first frame, however long a busy machine takes to get there.
    const auto until = std::chrono::steady_clock::now() + 60s;
    while (!std::filesystem::exists(folder_ / "ready.txt") && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(std::filesystem::exists(folder_ / "ready.txt")) << "the level never showed";
    std::this_thread::sleep_for(100ms);
    for (uint8_t step : solution_.steps) press(display, kStepKeys[step]);
    // The win screen slides in for a second before it takes the confirm.
    std::this_thread::sleep_for(2000ms);
    for (const char* key : {"Return", "Escape", "Escape", "Escape"}) {
      ASSERT_TRUE(RunOn(display, std::string("xdotool key ") + key));
      std::this_thread::sleep_for(700ms);
    }
    ASSERT_TRUE(game.Wait(20s)) << "the game did not end after leaving the main menu";
    const std::vector<uint8_t> errors = testing::ReadTestFile(folder_ / "stderr.txt");
    EXPECT_EQ(game.status(), 0) << std::string(errors.begin(), errors.end());

    progress_state saved;
    settings_state options;
    ASSERT_EQ(DecodeSave(testing::ReadTestFile(folder_ / "save.dat"), saved, options), save_status::loaded);
    EXPECT_EQ(saved.bestscore[1][1], solution_.best);
    stream_ptr in = OpenMemory(testing::ReadTestFile(folder_ / "leveldata/world 1/replays/1-1.rpl"));
    const std::optional<replay> kept = replay::read(in.get());
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->maxindex, static_cast<int>(solution_.steps.size()));
    for (size_t i = 0; i < solution_.steps.size(); ++i)
      EXPECT_EQ(kept->get(static_cast<int>(i)), solution_.steps[i]) << "step " << i;
  }

  std::optional<virtual_display> display_;
  testing::game_folder folder_;
  solution solution_;
};

TEST_F(RealKeys, InstantTapsWinAtTheBestScore) {
  // One xdotool command types the whole solution, a tap every 12 ms (its default), faster than the
  // frames of 20 ms come.
  std::string keys;
  for (uint8_t step : solution_.steps) keys += std::string(" ") + kStepKeys[step];
  PlayAndCheck([&keys](const std::string& display, const std::string&) {
    if (!keys.empty()) {
      EXPECT_TRUE(RunOn(display, "xdotool key" + keys));
      keys.clear();
    }
  });
}

TEST_F(RealKeys, HoldsOf200MillisecondsWinAtTheBestScore) {
  PlayAndCheck([](const std::string& display, const std::string& key) {
    EXPECT_TRUE(RunOn(display, "xdotool keydown " + key + " sleep 0.2 keyup " + key));
    std::this_thread::sleep_for(60ms);
  });
}

}  // namespace
}  // namespace dusk
