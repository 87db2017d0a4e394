// The save file: the player's name, options, unlocks and best scores, guarded by a checksum.
#include "persist/save.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"
#include "platform/program.h"
#include "platform/stream.h"

namespace dusk {

namespace {

constexpr std::string_view kMarker = "kelv";
constexpr int kBias = 32768;
constexpr size_t kMaxName = 255;
constexpr int kBlockBytes = 1 + kMaxLevels * 3;

// Option bits in the order of the option byte.
enum option_bit : int {
  kMusicOn = 1,
  kLevelSkipping = 2,
  kSoundOn = 4,
  kMusicSaved = 8,
  kSoundSaved = 16,
  kNameChosen = 32,
};

int Bit(int flag, int bit) {
  return flag != 0 ? bit : 0;
}

// What a value turns into once it has been through its field, so the checksum of a written file is the
// checksum the reader will compute, whatever the values in memory were.
int AsByte(int v) {
  return v & 0xFF;
}
int AsBiased(int v) {
  return static_cast<int>((static_cast<unsigned>(v) + kBias) & 0xFFFFu) - kBias;
}

void StoredValues(progress_state& p) {
  for (int w = 0; w < kMaxWorlds; ++w) {
    p.worldunlocked[w] = AsByte(p.worldunlocked[w]);
    for (int l = 0; l < kMaxLevels; ++l) {
      p.levelunlocked[w][l] = AsByte(p.levelunlocked[w][l]);
      p.bestscore[w][l] = AsBiased(p.bestscore[w][l]);
    }
  }
}

void PutShort(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(static_cast<unsigned>(v) >> 8));
}

void PutBiased(std::vector<uint8_t>& out, int v) {
  PutShort(out, static_cast<int>(static_cast<unsigned>(v) + kBias));
}

void PutShortText(std::vector<uint8_t>& out, std::string_view text) {
  text = text.substr(0, std::min(text.size(), kMaxName));
  out.push_back(static_cast<uint8_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

int ReadBiased(stream& in) {
  return in.ReadShort() - kBias;
}

void StderrLine(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace

int SaveChecksum(const progress_state& p) {
  uint32_t sum = 0;
  for (int w = 0; w < kMaxWorlds; ++w) {
    sum += static_cast<uint32_t>(p.worldunlocked[w]) + static_cast<uint32_t>(w);
    for (int l = 0; l < kMaxLevels; ++l) {
      const int64_t difference = int64_t{p.bestscore[w][l]} - int64_t{p.levelunlocked[w][l]} * (l % 4);
      sum += static_cast<uint32_t>(std::llabs(difference) * (l ^ 243));
    }
  }
  return static_cast<int>(sum & 0xFFFFu);
}

std::vector<uint8_t> EncodeSave(const progress_state& values, const settings_state& options) {
  progress_state stored = values;
  StoredValues(stored);
  std::vector<uint8_t> out;
  out.reserve(799 + kMaxName);
  PutShortText(out, kMarker);
  PutShortText(out, values.playername);
  out.push_back(
      static_cast<uint8_t>(Bit(options.musicon, kMusicOn) | Bit(options.levelskipping, kLevelSkipping) |
                           Bit(options.soundon, kSoundOn) | Bit(options.musicsaved, kMusicSaved) |
                           Bit(options.soundsaved, kSoundSaved) | Bit(values.namechosen, kNameChosen)));
  out.push_back(static_cast<uint8_t>(options.teleporteffect));
  PutBiased(out, options.brightness);
  PutBiased(out, options.contrast);
  out.push_back(static_cast<uint8_t>(options.windowscale));
  for (int w = 0; w < kMaxWorlds; ++w) {
    out.push_back(static_cast<uint8_t>(stored.worldunlocked[w]));
    for (int l = 0; l < kMaxLevels; ++l) {
      out.push_back(static_cast<uint8_t>(stored.levelunlocked[w][l]));
      PutBiased(out, stored.bestscore[w][l]);
    }
  }
  PutShort(out, SaveChecksum(stored));
  return out;
}

save_status DecodeSave(const std::vector<uint8_t>& bytes, progress_state& values, settings_state& options) {
  stream_ptr in = OpenMemory(bytes);
  // The marker, read as a short text that may stop at the end: a file that is the start of a marker
  // was cut short, anything else is not a save file.
  if (in->Remaining() < 1) return save_status::truncated;
  const size_t marker_length = static_cast<size_t>(in->ReadByte());
  std::string marker;
  while (marker.size() < marker_length && in->Remaining() > 0)
    marker.push_back(static_cast<char>(in->ReadByte()));
  const bool whole_marker = marker.size() == marker_length;
  if (marker_length != kMarker.size() || !std::string_view(kMarker).starts_with(marker)) {
    return save_status::not_a_save;
  }
  if (!whole_marker) return save_status::truncated;

  if (in->Remaining() < 1) return save_status::truncated;
  const size_t name_length = static_cast<size_t>(in->ReadByte());
  constexpr int kOptionBytes = 1 + 1 + 2 + 2 + 1;
  if (in->Remaining() < static_cast<int64_t>(name_length) + kOptionBytes + kMaxWorlds * kBlockBytes + 2) {
    return save_status::truncated;
  }
  values.playername.clear();
  for (size_t i = 0; i < name_length; ++i) values.playername.push_back(static_cast<char>(in->ReadByte()));

  const int bits = in->ReadByte();
  options.musicon = (bits & kMusicOn) != 0;
  options.levelskipping = (bits & kLevelSkipping) != 0;
  options.soundon = (bits & kSoundOn) != 0;
  options.musicsaved = (bits & kMusicSaved) != 0;
  options.soundsaved = (bits & kSoundSaved) != 0;
  values.namechosen = (bits & kNameChosen) != 0;
  // The checksum doesn't cover the settings, so a damaged one is brought back into its range rather
  // than handed to the window and the effects.
  options.teleporteffect = std::clamp(in->ReadByte(), 0, 7);
  options.brightness = std::clamp(ReadBiased(*in), -126, 126);
  options.contrast = std::clamp(ReadBiased(*in), -126, 126);
  options.windowscale = std::clamp(in->ReadByte(), 1, 8);

  for (int w = 0; w < kMaxWorlds; ++w) {
    values.worldunlocked[w] = in->ReadByte();
    for (int l = 0; l < kMaxLevels; ++l) {
      values.levelunlocked[w][l] = in->ReadByte();
      values.bestscore[w][l] = ReadBiased(*in);
    }
  }
  return in->ReadShort() == SaveChecksum(values) ? save_status::loaded : save_status::tampered;
}

bool WriteSave(const std::string& path) {
  if (WriteFileAtomically(path, EncodeSave(progress, settings))) return true;
  StderrLine("Could not write the save file " + path + " (through " + path +
             ".temp); the previous save file is kept unchanged.");
  return false;
}

void ReadSave(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return;
  progress_state read_progress = progress;
  settings_state read_settings = settings;
  switch (DecodeSave(bytes, read_progress, read_settings)) {
    case save_status::loaded:
      progress = read_progress;
      settings = read_settings;
      return;
    case save_status::tampered:
      FatalError(kTamperMessage);
    case save_status::not_a_save:
    case save_status::truncated:
      break;
  }
  const std::string kept = path + ".damaged";
  if (WriteFileAtomically(kept, bytes)) {
    StderrLine("The save file " + path +
               " is damaged; the game starts with its defaults. The damaged file is kept as " + kept + ".");
  } else {
    StderrLine("The save file " + path +
               " is damaged; the game starts with its defaults. It could not be kept as " + kept +
               " and will be replaced at the next save.");
  }
}

}  // namespace dusk
