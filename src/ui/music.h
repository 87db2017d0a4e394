// The music: the menu track and one looping track per world, named in "music\audio.txt", and the rules by
// which every screen starts, stops and restarts their channels. Every rule does nothing when its track or
// channel is missing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "ui/audio_state.h"

namespace dusk {

inline constexpr const char* kMusicListPath = "music\\audio.txt";
// A music list names at most 17 tracks; a bigger file than this is not one, and is not read.
inline constexpr int64_t kMaxMusicListBytes = 1 << 20;

// The tracks a music list names, as its last entry for each left them (paths trimmed and lower case).
struct music_list {
  std::optional<std::string> menu;
  std::array<std::optional<std::string>, kMusicWorlds> worlds;
};

// Reads a music list. A "menu" line names the menu track on the next line; a line starting "wm" names the
// track of the world its last two characters give (0 to 15, others ignored) on the next line; any other
// line is skipped. Any bytes at all are a list (lines end at a line feed or a byte 0).
music_list ParseMusicList(std::span<const uint8_t> bytes);

// Where a listed track is read from: the path as the game's other files are found (from its working
// folder), or, when nothing is there, beside the music list.
std::string MusicTrackSource(const std::string& listed);

// Reads "music\audio.txt", loads the tracks it names (streamed as they play) and cues each on a paused
// channel. Without a list, or for a track that can't be read, there is no music.
void LoadMusic();

// Start of the main menu: the menu track plays when music is on.
void MusicAtMenuStart();
// Back in the main menu from a sub-screen, or back in the world select after levels: the menu track goes
// on unless it is already playing.
void MusicOnReturnToMenu();
// The mute key in a menu screen, and switching "Music" in the options: the menu track restarts from its
// beginning when music is now on.
void MusicOnMenuMute();
// Before a level is played from the level select: the menu track is made ready to start from its beginning.
void MusicBeforeLevel();
// Start of a level: the world's track plays when music is on.
void MusicAtLevelStart(int worldno);
// The mute key during a level: the world's track stops and is made ready for the next level start.
void MusicOnLevelMute(int worldno);
// After the levels played from one level select choice: the world's track stops and is made ready again.
void MusicAfterLevels(int worldno);

}  // namespace dusk
