// The channel rules every screen shares. Channels are cued paused at the start of their track; resuming one
// starts it, and stopping one ends it for good, so a track to be heard again is cued on a new channel.
#include "state/settings.h"
#include "ui/audio_state.h"
#include "ui/music.h"

namespace dusk {

namespace {

bool ValidWorld(int worldno) { return worldno >= 0 && worldno < kMusicWorlds; }

void RecueMenu() {
  StopChannel(audio.menuchannel);
  audio.menuchannel = audio.menumusic ? CueSound(audio.menumusic) : nullptr;
}

void RecueWorld(int worldno) {
  StopChannel(audio.worldchannel[worldno]);
  const sound_ptr& track = audio.worldmusic[worldno];
  audio.worldchannel[worldno] = track ? CueSound(track) : nullptr;
}

}  // namespace

void MusicAtMenuStart() {
  if (settings.musicon) ResumeChannel(audio.menuchannel);
}

void MusicOnReturnToMenu() {
  if (settings.musicon && !ChannelPlaying(audio.menuchannel)) ResumeChannel(audio.menuchannel);
}

void MusicOnMenuMute() {
  if (!audio.menuchannel && !audio.menumusic) return;
  StopChannel(audio.menuchannel);
  if (settings.musicon) {
    RecueMenu();
    ResumeChannel(audio.menuchannel);
  }
}

void MusicBeforeLevel() {
  if (settings.musicon) RecueMenu();
}

void MusicAtLevelStart(int worldno) {
  if (!ValidWorld(worldno) || !audio.worldmusic[worldno]) return;
  if (settings.musicon) ResumeChannel(audio.worldchannel[worldno]);
}

void MusicOnLevelMute(int worldno) {
  if (!ValidWorld(worldno) || !audio.worldmusic[worldno]) return;
  StopChannel(audio.worldchannel[worldno]);
  if (settings.musicon) RecueWorld(worldno);
}

void MusicAfterLevels(int worldno) {
  if (!ValidWorld(worldno)) return;
  StopChannel(audio.worldchannel[worldno]);
  if (settings.musicon && audio.worldmusic[worldno]) RecueWorld(worldno);
}

}  // namespace dusk
