// Composes the game's music and writes it as stereo 44100 Hz Ogg Vorbis tracks.
//
//   make_music <output folder> [track name ...]     (every track when none is named)
//   make_music --list                               (the track names, one a line)
//
// "menu" is the theme of the menus, played once; "wm00" to "wm09" are the worlds' looping tracks, each one
// turn of a loop whose end flows into its start. Every track is brought to the same loudness, with its true
// peak under -1 dBFS. Everything is seeded, so a rerun writes the same bytes.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/music/songs.h"
#include "tools/music/vorbis_writer.h"

namespace {

// Integrated loudness of every track; the sound effects peak at -6 dBFS and sit a little above it.
constexpr double kTargetLufs = -16.0;
// The encoder adds a little to the peaks, so the mix is held under -1 dBFS with room to spare.
constexpr double kCeilingDbfs = -1.8;
constexpr float kQuality = 0.15f;

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return (std::fclose(file) == 0) && written;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace dusk::music;
  const std::vector<song_style> songs = Songs();
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_music <output folder> [track name ...] | --list\n");
    return 2;
  }
  const std::string folder = argv[1];
  if (folder == "--list") {
    for (const song_style& s : songs) std::printf("%s\n", s.name.c_str());
    return 0;
  }
  std::vector<std::string> wanted(argv + 2, argv + argc);
  for (const std::string& name : wanted) {
    bool known = false;
    for (const song_style& s : songs) known = known || s.name == name;
    if (!known) {
      std::fprintf(stderr, "make_music: no track named %s\n", name.c_str());
      return 2;
    }
  }
  for (std::size_t index = 0; index < songs.size(); ++index) {
    const song_style& s = songs[index];
    bool want = wanted.empty();
    for (const std::string& name : wanted) want = want || name == s.name;
    if (!want) continue;
    const rendered_song song = RenderSong(s, kTargetLufs, kCeilingDbfs);
    const stereo_buffer& track = song.track;
    const std::vector<uint8_t> bytes =
        EncodeVorbis(track, kQuality, 0x4D55 + static_cast<int>(index), s.title);
    const std::string path = folder + "/" + s.name + ".ogg";
    if (bytes.empty() || !WriteFile(path, bytes)) {
      std::fprintf(stderr, "make_music: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("wrote %s: %.1f s, %.1f LUFS, true peak %.2f dBFS, %zu bytes\n", path.c_str(),
                static_cast<double>(track.Frames()) / kRate, song.loudness, song.true_peak, bytes.size());
  }
  return 0;
}
