// The music: the menu track and one looping track per world, named in "music\audio.txt", and the rules by
// which every screen starts, stops and restarts their channels. Every rule does nothing when its track or
// channel is missing.
#pragma once

namespace dusk {

// Reads "music\audio.txt", loads the tracks it names and cues each on a paused channel.
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
