// Reading input scripts and playing them into the game frame by frame.
#include "app/input_script.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <utility>

#include "display/frame_cells.h"
#include "files/png_image.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/window.h"

namespace dusk {

namespace {

struct named_key {
  std::string_view name;
  int code;
};

constexpr std::array kNamedKeys = {
    named_key{"up", key::kUp},
    named_key{"down", key::kDown},
    named_key{"left", key::kLeft},
    named_key{"right", key::kRight},
    named_key{"return", key::kEnter},
    named_key{"enter", key::kEnter},
    named_key{"space", key::kSpace},
    named_key{"escape", key::kEscape},
    named_key{"backspace", key::kBackspace},
    named_key{"tab", key::kTab},
    named_key{"lctrl", key::kLeftCtrl},
    named_key{"rctrl", key::kRightCtrl},
};

constexpr std::array<std::pair<std::string_view, script_op>, 8> kCommands = {{
    {"wait", script_op::wait},
    {"press", script_op::press},
    {"down", script_op::down},
    {"up", script_op::up},
    {"type", script_op::type},
    {"shot", script_op::shot},
    {"cells", script_op::cells},
    {"close", script_op::close},
}};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// A whole decimal number from 0 to the limit, or -1.
int Count(std::string_view text, int limit) {
  if (text.empty() || text.size() > 10) return -1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value > limit ? -1 : static_cast<int>(value);
}

// Shows a name as it was written, shortened so a hostile line can't flood the message.
std::string Quoted(std::string_view text) {
  constexpr size_t kShown = 40;
  std::string shown(text.substr(0, kShown));
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  }
  return "\"" + shown + (text.size() > kShown ? "...\"" : "\"");
}

std::optional<script_error> ParseLine(std::string_view line, int number, script_command& command) {
  const size_t space = std::min(line.find_first_of(" \t"), line.size());
  const std::string word = Lower(line.substr(0, space));
  const std::string_view argument = Trim(line.substr(space));
  const auto found =
      std::find_if(kCommands.begin(), kCommands.end(), [&](const auto& c) { return c.first == word; });
  if (found == kCommands.end())
    return script_error{number, "unknown command " + Quoted(line.substr(0, space))};
  command.op = found->second;
  command.line = number;
  switch (command.op) {
    case script_op::wait:
      command.frames = Count(argument, kMaxWaitFrames);
      if (command.frames < 0) {
        return script_error{number,
                            "wait needs a number of frames from 0 to " + std::to_string(kMaxWaitFrames)};
      }
      break;
    case script_op::press:
    case script_op::down:
    case script_op::up:
      if (argument.empty()) return script_error{number, word + " needs a key"};
      command.key = ScriptKeyCode(argument);
      if (command.key == 0) return script_error{number, "unknown key " + Quoted(argument)};
      break;
    case script_op::type:
      if (argument.empty()) return script_error{number, "type needs text"};
      command.text = argument;
      break;
    case script_op::shot:
    case script_op::cells:
      if (argument.empty()) return script_error{number, word + " needs a file name"};
      command.text = argument;
      break;
    case script_op::close:
      if (!argument.empty()) return script_error{number, "close takes nothing after it"};
      break;
  }
  return std::nullopt;
}

}  // namespace

int ScriptKeyCode(std::string_view name) {
  const std::string lower = Lower(name);
  if (lower.size() == 1) {
    const char c = lower[0];
    if (c >= 'a' && c <= 'z') return key::kA + (c - 'a');
    if (c >= '0' && c <= '9') return '0' + (c - '0');
    return 0;
  }
  for (const named_key& k : kNamedKeys) {
    if (k.name == lower) return k.code;
  }
  if (lower[0] == 'f') {
    const int n = Count(std::string_view(lower).substr(1), 12);
    if (n >= 1 && lower[1] != '0') return key::kF1 + n - 1;
  }
  return 0;
}

parsed_script ParseInputScript(std::string_view text) {
  parsed_script result;
  int number = 0;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    number += 1;
    if (line.empty() || line.front() == '#') continue;
    script_command command;
    if (auto error = ParseLine(line, number, command)) {
      result.commands.clear();
      result.error = std::move(error);
      return result;
    }
    result.commands.push_back(std::move(command));
  }
  return result;
}

parsed_script ReadInputScript(const std::string& path) {
  parsed_script result;
  const int64_t size = FileBytes(path);
  std::vector<uint8_t> bytes;
  if (size < 0 || PathKind(path) != 1 || !ReadWholeFile(path, bytes)) {
    result.error = script_error{0, "can't read the script"};
    return result;
  }
  if (static_cast<uint64_t>(size) > kMaxScriptBytes || bytes.size() > kMaxScriptBytes) {
    result.error = script_error{0, "the script is larger than " + std::to_string(kMaxScriptBytes) + " bytes"};
    return result;
  }
  return ParseInputScript(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string ScriptErrorText(const std::string& path, const script_error& error) {
  if (error.line <= 0) return path + ": " + error.message;
  return path + ":" + std::to_string(error.line) + ": " + error.message;
}

script_player::script_player(std::vector<script_command> commands) : commands_(std::move(commands)) {
  AskForNextShot();
}

void script_player::AskForNextShot() {
  // The picture must be taken as the frame is shown, so a shot coming up asks for the next one to be kept.
  // The commands the next frame runs before it waits or injects anything count: "cells a" then "shot b"
  // is one frame's work.
  if (wait_ != 0 || release_ != 0) return;
  for (size_t i = next_; i < commands_.size(); ++i) {
    const script_command& command = commands_[i];
    if (command.op == script_op::shot) {
      KeepNextPresentedFrame();
      return;
    }
    if (command.op != script_op::cells && !(command.op == script_op::wait && command.frames == 0)) return;
  }
}

void script_player::Shot(const std::string& path) {
  // Every shot of one frame is that frame: the kept picture is taken once and shared.
  if (!shot_taken_) {
    shot_ = picture{};
    shot_.pixels = TakePresentedFrame(shot_.width, shot_.height);
    shot_taken_ = true;
  }
  const picture& image = shot_;
  if (image.pixels.empty() || !SavePngFile(image, png_channels::rgb, 6, path)) {
    std::fprintf(stderr, "Can't write the screenshot %s\n", path.c_str());
    failed_shots_.push_back(path);
  }
}

void script_player::Cells(const std::string& path) {
  // Run after the present and before the next frame draws anything: the record is the frame on screen.
  const std::string text = FrameCellsText(FrameCells());
  if (!WriteFileAtomically(path, std::vector<uint8_t>(text.begin(), text.end()))) {
    std::fprintf(stderr, "Can't write the cells %s\n", path.c_str());
    failed_shots_.push_back(path);
  }
}

void script_player::Frame() {
  shot_taken_ = false;
  if (release_ != 0) {
    inject::KeyUp(std::exchange(release_, 0));
    AskForNextShot();
    return;
  }
  if (wait_ > 0) {
    wait_ -= 1;
    AskForNextShot();
    return;
  }
  while (next_ < commands_.size()) {
    const script_command& command = commands_[next_++];
    switch (command.op) {
      case script_op::shot:
        Shot(command.text);
        continue;
      case script_op::cells:
        Cells(command.text);
        continue;
      case script_op::wait:
        if (command.frames == 0) continue;
        wait_ = command.frames - 1;
        break;
      case script_op::press:
        inject::KeyDown(command.key);
        release_ = command.key;
        break;
      case script_op::down:
        inject::KeyDown(command.key);
        break;
      case script_op::up:
        inject::KeyUp(command.key);
        break;
      case script_op::type:
        inject::Text(command.text);
        break;
      case script_op::close:
        inject::RequestClose();
        break;
    }
    AskForNextShot();
    return;
  }
}

void StartInputScript(std::vector<script_command> commands, bool fast) {
  auto player = std::make_shared<script_player>(std::move(commands));
  if (fast) {
    // Every fast run starts at the same time, so whatever the game seeds from the clock repeats too.
    UseVirtualClock(0);
    AllowVsync(false);
  }
  auto handover = [fast] {
    if (!fast) return;
    UseRealClock();
    AllowVsync(true);
  };
  if (player->Finished()) {
    handover();
    return;
  }
  inject::SetFrameHook([player, handover](int) {
    player->Frame();
    if (!player->Finished()) return;
    // The script is over: the game goes on with real input at its real pace.
    handover();
    inject::SetFrameHook({});
  });
}

}  // namespace dusk
