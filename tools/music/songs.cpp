// The game's music, one style a track: key, tempo, form, patterns, instruments and mix. The moods follow
// what each world's puzzles are about, not its name, so the worlds can be renamed freely.
#include "tools/music/songs.h"

namespace dusk::music {

namespace {

// Scale degrees of the chords, one a bar.
using bars = std::vector<int>;

// Dusk settles in: a warm minor theme that rises, sings its tune twice and comes to rest on a long chord.
song_style Menu() {
  song_style s;
  s.name = "menu";
  s.title = "Duskmarrow";
  s.loops = false;
  s.seed = 100;
  s.tonic = 50;  // D minor
  s.scale = mode::minor;
  s.bpm = 96;
  s.form = "ABCA";
  s.energy = "1232";
  s.chords = {bars{0, 5, 2, 6, 0, 5, 3, 4}, bars{3, 0, 5, 2, 3, 0, 4, 4}, bars{5, 6, 2, 0, 5, 6, 3, 4}};
  s.sevenths = true;
  s.lead = voice::flute;
  s.lead_low = 0;
  s.lead_high = 9;
  s.rhythms = {"x-----x-x---x---", "x---x---x-------", "x-x-x---x---x---", "x-----------x-x-"};
  s.cadence = "x-----------....";
  s.arp = voice::epiano;
  s.arp_pattern = "0..2..4.1..2..3.";
  s.pad = voice::warm_pad;
  s.pad_low = 53;
  s.bass = voice::round_bass;
  s.bass_pattern = "R-------F---R---";
  s.drums = {{voice::kick, "x.........x.....", "", 0.8, 0, 2},
             {voice::rim, "....x.......x...", "....x.......x.xx", 0.6, 0.2, 3},
             {voice::shaker, "..x...x...x...x.", "", 0.7, -0.3, 2}};
  s.lead_mix = {1.0, 0.05, 0.3, 0.35};
  s.arp_mix = {0.55, 0.3, 0.2, 0.3};
  s.pad_mix = {0.5, 0, 0, 0.3};
  s.bass_mix = {0.7, 0, 0, 0.05};
  s.drum_mix = {0.6, 0, 0, 0.12};
  s.echo_beats = 0.75;
  s.room = 0.75;
  s.ending_seconds = 4;
  return s;
}

// Bonus world: the hardest puzzles, a driving minor rush with a climbing lead, toms and open hats.
song_style Bonus() {
  song_style s;
  s.name = "wm00";
  s.title = "The Last Climb";
  s.seed = 1000;
  s.tonic = 47;  // B harmonic minor
  s.scale = mode::harmonic_minor;
  s.bpm = 144;
  s.form = "ABACB";
  s.energy = "23323";
  s.chords = {bars{0, 5, 3, 4, 0, 5, 3, 4}, bars{5, 2, 3, 4, 5, 2, 6, 4}, bars{3, 3, 0, 0, 5, 5, 4, 4}};
  s.lead = voice::saw_lead;
  s.lead_low = 2;
  s.lead_high = 11;
  s.rhythms = {"x-x-x-x-x---x---", "x---x-x---x-x---", "x-x---x-x-x-x-x-", "x-------x-x-x---"};
  s.cadence = "x-----x-x-------";
  s.leaps = 0.3;
  s.arp = voice::pluck;
  s.arp_pattern = "0123012301230123";
  s.arp_octave = 12;
  s.pad = voice::warm_pad;
  s.pad_low = 54;
  s.bass = voice::synth_bass;
  s.bass_pattern = "R-RORRORR-RORROR";
  s.bass_low = 35;
  s.drums = {{voice::kick, "x.....x.x.......", "x.....x.x...x.x.", 1.0, 0, 2},
             {voice::snare, "....x.......x...", "....x.......xxxx", 0.85, 0.05, 2},
             {voice::hat, "x.x.x.x.x.x.x.x.", "x.x.x.x.x.x.....", 0.6, 0.3, 2},
             {voice::open_hat, "..............x.", "", 0.5, -0.3, 3},
             {voice::tom, "", "........x.x.....", 0.8, -0.2, 3, 50.0},
             {voice::tom, "", "..........x.x...", 0.8, 0.2, 3, 43.0}};
  s.lead_mix = {0.9, 0.05, 0.25, 0.25};
  s.arp_mix = {0.4, 0.4, 0.1, 0.2};
  s.pad_mix = {0.45, 0, 0, 0.25};
  s.bass_mix = {0.75, 0, 0, 0};
  s.drum_mix = {0.8, 0, 0, 0.1};
  s.echo_beats = 0.75;
  s.echo_feedback = 0.3;
  s.room = 0.6;
  return s;
}

// First steps: a gentle major tune on marimba and flute over a glassy pad, a shaker for a pulse.
song_style FirstSteps() {
  song_style s;
  s.name = "wm01";
  s.title = "First Light";
  s.seed = 1001;
  s.tonic = 53;  // F major
  s.scale = mode::major;
  s.bpm = 84;
  s.form = "ABA";
  s.energy = "232";
  s.chords = {bars{0, 5, 3, 4, 0, 5, 1, 4}, bars{3, 4, 2, 5, 3, 4, 3, 4}};
  s.lead = voice::marimba;
  s.lead_low = 0;
  s.lead_high = 8;
  s.rhythms = {"x---x---x---x---", "x-----x-x-------", "x---x-x-x---x---", "x-------x-x-x---"};
  s.cadence = "x-------x-------";
  s.leaps = 0.15;
  s.arp = voice::bell;
  s.arp_pattern = "0-------2---4---";
  s.arp_octave = 12;
  s.pad = voice::glass_pad;
  s.pad_low = 57;
  s.bass = voice::round_bass;
  s.bass_pattern = "R-------F-------";
  s.drums = {{voice::shaker, "x.o.x.o.x.o.x.o.", "", 0.6, 0.3, 2},
             {voice::kick, "x...............", "", 0.5, 0, 3}};
  s.lead_mix = {0.9, -0.1, 0.25, 0.35};
  s.arp_mix = {0.4, 0.35, 0.3, 0.35};
  s.pad_mix = {0.6, 0, 0, 0.35};
  s.bass_mix = {0.6, 0, 0, 0.05};
  s.drum_mix = {0.5, 0, 0, 0.1};
  s.room = 0.7;
  return s;
}

// One-way floors: everything moves forward; rising sixteenth arpeggios and a steady four-on-the-floor.
song_style OneWay() {
  song_style s;
  s.name = "wm02";
  s.title = "One Way Only";
  s.seed = 1002;
  s.tonic = 55;  // G mixolydian
  s.scale = mode::mixolydian;
  s.bpm = 104;
  s.form = "ABAB";
  s.energy = "1233";
  s.chords = {bars{0, 6, 3, 0, 0, 6, 3, 4}, bars{3, 4, 0, 6, 3, 4, 5, 6}};
  s.lead = voice::square_lead;
  s.lead_low = 0;
  s.lead_high = 9;
  s.rhythms = {"x---x-x---x-x---", "x-x-x-x-x-------", "x-----x---x-x-x-", "x---x---x-x-x---"};
  s.cadence = "x-----x---------";
  s.arp = voice::pluck;
  s.arp_pattern = "0123012301230123";
  s.arp_octave = 0;
  s.pad = voice::warm_pad;
  s.pad_low = 55;
  s.bass = voice::synth_bass;
  s.bass_pattern = "R.R.R.R.R.R.R.F.";
  s.drums = {{voice::kick, "x...x...x...x...", "", 0.85, 0, 2},
             {voice::hat, "..x...x...x...x.", "..x...x...x.x.x.", 0.6, 0.25, 2},
             {voice::clap, "....x.......x...", "", 0.55, -0.1, 3}};
  s.lead_mix = {0.8, 0.1, 0.3, 0.25};
  s.arp_mix = {0.45, 0.4, 0.15, 0.2};
  s.pad_mix = {0.4, 0, 0, 0.25};
  s.bass_mix = {0.6, 0, 0, 0};
  s.drum_mix = {0.7, 0, 0, 0.08};
  s.echo_beats = 0.5;
  return s;
}

// Switches and doors: a clockwork of rim clicks and ticks, staccato electric piano, a bass that answers.
song_style Switches() {
  song_style s;
  s.name = "wm03";
  s.title = "Latch and Lever";
  s.seed = 1003;
  s.tonic = 57;  // A dorian
  s.scale = mode::dorian;
  s.bpm = 110;
  s.form = "ABAC";
  s.energy = "2332";
  s.chords = {bars{0, 3, 0, 3, 0, 3, 6, 4}, bars{5, 6, 0, 0, 5, 6, 3, 4}, bars{2, 3, 0, 0, 2, 3, 4, 4}};
  s.lead = voice::pluck;
  s.lead_low = 0;
  s.lead_high = 9;
  s.rhythms = {"x.x...x.x.x.....", "x...x.x...x.x...", "x.x.x...x.....x.", "..x.x...x.x.x..."};
  s.cadence = "x.......x.......";
  s.leaps = 0.25;
  s.lead_octave = 12;
  s.arp = voice::epiano;
  s.arp_pattern = "0..2..1...2.0...";
  s.arp_octave = 0;
  s.pad = voice::warm_pad;
  s.pad_low = 52;
  s.bass = voice::synth_bass;
  s.bass_pattern = "R..R..R.R..R.O..";
  s.bass_low = 33;
  s.drums = {{voice::rim, "..x..x....x..x..", "..x..x....x.xxxx", 0.7, 0.35, 1},
             {voice::tick, "x...x...x...x...", "", 0.6, -0.4, 1},
             {voice::kick, "x.....x...x.....", "", 0.8, 0, 2},
             {voice::snare, "....x.......x...", "", 0.55, 0.05, 3}};
  s.lead_mix = {0.85, 0.05, 0.25, 0.2};
  s.arp_mix = {0.45, 0.3, 0.1, 0.2};
  s.pad_mix = {0.35, 0, 0, 0.25};
  s.bass_mix = {0.7, 0, 0, 0};
  s.drum_mix = {0.65, 0, 0, 0.08};
  s.echo_beats = 0.5;
  s.echo_feedback = 0.25;
  s.room = 0.45;
  return s;
}

// Timed gates: a ticking clock at the heart, sixteenth hats and a firm backbeat; everything on the beat.
song_style TimedGates() {
  song_style s;
  s.name = "wm04";
  s.title = "On the Stroke";
  s.seed = 1004;
  s.tonic = 52;  // E minor
  s.scale = mode::minor;
  s.bpm = 120;
  s.form = "ABAC";
  s.energy = "2332";
  s.chords = {bars{0, 0, 5, 5, 3, 3, 4, 4}, bars{0, 6, 5, 6, 0, 6, 4, 4}, bars{5, 3, 0, 4, 5, 3, 4, 4}};
  s.lead = voice::square_lead;
  s.lead_low = 0;
  s.lead_high = 9;
  s.rhythms = {"x-x-x-x-x---x---", "x---x---x-x-x-x-", "x-x-x---x-x-x---", "x-------x-x-x-x-"};
  s.cadence = "x---x---x-------";
  s.arp = voice::marimba;
  s.arp_pattern = "0.2.0.2.0.2.0.2.";
  s.arp_octave = 12;
  s.pad = voice::warm_pad;
  s.pad_low = 52;
  s.bass = voice::synth_bass;
  s.bass_pattern = "R.O.R.O.R.O.R.O.";
  s.drums = {{voice::tick, "x.x.x.x.x.x.x.x.", "", 0.7, 0.45, 1},
             {voice::kick, "x.......x.......", "x.......x...x.x.", 0.95, 0, 2},
             {voice::snare, "....x.......x...", "....x.......x.xx", 0.75, -0.05, 2},
             {voice::hat, "xoxoxoxoxoxoxoxo", "", 0.5, -0.3, 3}};
  s.lead_mix = {0.8, 0.05, 0.25, 0.2};
  s.arp_mix = {0.4, -0.3, 0.1, 0.2};
  s.pad_mix = {0.4, 0, 0, 0.25};
  s.bass_mix = {0.7, 0, 0, 0};
  s.drum_mix = {0.75, 0, 0, 0.08};
  s.echo_beats = 0.5;
  s.echo_feedback = 0.3;
  s.room = 0.5;
  return s;
}

// Movers: a bouncy, swinging major tune, a walking bass and hand claps; things slide about happily.
song_style Movers() {
  song_style s;
  s.name = "wm05";
  s.title = "Shuffle Along";
  s.seed = 1005;
  s.tonic = 58;  // B flat major
  s.scale = mode::major;
  s.bpm = 116;
  s.swing = 0.33;
  s.form = "AABA";
  s.energy = "2332";
  s.chords = {bars{0, 5, 1, 4, 0, 5, 1, 4}, bars{3, 3, 0, 0, 1, 1, 4, 4}};
  s.sevenths = true;
  s.lead = voice::marimba;
  s.lead_low = -2;
  s.lead_high = 7;
  s.lead_octave = 0;
  s.rhythms = {"x.x.x...x.x.x...", "x...x.x.x...x...", "x.x...x.x.x.x...", "..x.x.x.x...x..."};
  s.cadence = "x...x...x.......";
  s.leaps = 0.3;
  s.arp = voice::epiano;
  s.arp_pattern = "....0-1-....2-1-";
  s.arp_octave = 0;
  s.pad = voice::warm_pad;
  s.pad_low = 53;
  s.bass = voice::round_bass;
  s.bass_pattern = "R---T---F---O---";
  s.bass_low = 34;
  s.drums = {{voice::kick, "x.......x.......", "", 0.8, 0, 2},
             {voice::clap, "....x.......x...", "", 0.6, 0.1, 2},
             {voice::hat, "x.x.x.x.x.x.x.x.", "", 0.45, 0.35, 1},
             {voice::open_hat, "..............x.", "", 0.35, -0.3, 3}};
  s.lead_mix = {0.9, -0.05, 0.2, 0.25};
  s.arp_mix = {0.45, 0.3, 0, 0.25};
  s.pad_mix = {0.3, 0, 0, 0.25};
  s.bass_mix = {0.8, 0, 0, 0};
  s.drum_mix = {0.65, 0, 0, 0.1};
  s.room = 0.5;
  return s;
}

// Turners: a waltz that goes round and round, bells circling left and right.
song_style Turners() {
  song_style s;
  s.name = "wm06";
  s.title = "Round the Bend";
  s.seed = 1006;
  s.tonic = 59;  // B dorian
  s.scale = mode::dorian;
  s.bpm = 132;
  s.beats_per_bar = 3;
  s.form = "ABACAB";
  s.energy = "123323";
  s.chords = {bars{0, 3, 0, 3, 0, 3, 6, 4}, bars{2, 6, 3, 0, 2, 6, 4, 4}, bars{5, 6, 0, 0, 5, 6, 3, 4}};
  s.lead = voice::flute;
  s.lead_low = -2;
  s.lead_high = 7;
  s.lead_octave = 0;
  s.rhythms = {"x-------x---", "x---x---x---", "x-----x-x---", "x-----------"};
  s.cadence = "x-----------";
  s.arp = voice::bell;
  s.arp_pattern = "0-1-2-3-2-1-";
  s.arp_octave = 0;
  s.pad = voice::glass_pad;
  s.pad_low = 54;
  s.bass = voice::round_bass;
  s.bass_pattern = "R-------F---";
  s.bass_low = 35;
  s.drums = {{voice::kick, "x...........", "", 0.7, 0, 2},
             {voice::shaker, "....x...x...", "", 0.6, 0.3, 2},
             {voice::tick, "", "....x...x.xx", 0.4, -0.3, 3}};
  s.lead_mix = {0.9, 0.1, 0.3, 0.35};
  s.arp_mix = {0.4, 0.6, 0.25, 0.3};
  s.pad_mix = {0.55, 0, 0, 0.3};
  s.bass_mix = {0.65, 0, 0, 0.05};
  s.drum_mix = {0.55, 0, 0, 0.1};
  s.room = 0.65;
  return s;
}

// Teleporters and layers: slow and spacey, lydian glass pads, far-off bells in a long echo, no drums.
song_style Teleporters() {
  song_style s;
  s.name = "wm07";
  s.title = "Between Layers";
  s.seed = 1007;
  s.tonic = 51;  // E flat lydian
  s.scale = mode::lydian;
  s.bpm = 72;
  s.form = "ABA";
  s.energy = "121";
  s.chords = {bars{0, 0, 1, 1, 0, 0, 4, 1}, bars{5, 5, 1, 1, 2, 2, 1, 1}};
  s.lead = voice::bell;
  s.lead_low = 2;
  s.lead_high = 11;
  s.rhythms = {"x-------x-------", "x-----------x---", "x-------------x-", "....x-------x---"};
  s.cadence = "x---------------";
  s.leaps = 0.35;
  s.arp = voice::glass_pad;
  s.arp_pattern = "0-------2-------";
  s.arp_octave = 12;
  s.pad = voice::glass_pad;
  s.pad_low = 51;
  s.bass = voice::round_bass;
  s.bass_pattern = "R---------------";
  s.bass_low = 31;
  s.drums = {{voice::shaker, "........x.......", "", 0.35, 0.5, 2}};
  s.lead_mix = {0.7, 0.2, 0.6, 0.5};
  s.arp_mix = {0.3, 0.5, 0.3, 0.4};
  s.pad_mix = {0.7, 0, 0, 0.45};
  s.bass_mix = {0.55, 0, 0, 0.1};
  s.drum_mix = {0.5, 0, 0.3, 0.3};
  s.echo_beats = 0.75;
  s.echo_feedback = 0.45;
  s.room = 0.9;
  s.damping = 0.3;
  s.reverb_level = 1.1;
  return s;
}

// Clearing and fixed-trail floors: crisp and tidy, bright plucked eighths and a clean, light groove.
song_style Clearing() {
  song_style s;
  s.name = "wm08";
  s.title = "Clean Sweep";
  s.seed = 1008;
  s.tonic = 50;  // D major
  s.scale = mode::major;
  s.bpm = 100;
  s.form = "ABA";
  s.energy = "232";
  s.chords = {bars{0, 4, 5, 3, 0, 4, 3, 4}, bars{3, 0, 3, 4, 5, 2, 3, 4}};
  s.lead = voice::epiano;
  s.lead_low = 0;
  s.lead_high = 9;
  s.rhythms = {"x-x-x---x-x-x---", "x---x---x-x-x-x-", "x-----x-x---x---", "x-x-x-x-x-------"};
  s.cadence = "x-------x-------";
  s.arp = voice::pluck;
  s.arp_pattern = "0.2.1.2.0.2.1.2.";
  s.arp_octave = 12;
  s.pad = voice::warm_pad;
  s.pad_low = 54;
  s.bass = voice::round_bass;
  s.bass_pattern = "R-..R-..F-..R-..";
  s.drums = {{voice::kick, "x.......x.x.....", "", 0.75, 0, 2},
             {voice::snare, "....o.......o...", "....o.......o.oo", 0.7, 0, 2},
             {voice::hat, "x.x.x.x.x.x.x.x.", "", 0.45, 0.3, 1}};
  s.lead_mix = {0.85, -0.05, 0.2, 0.25};
  s.arp_mix = {0.4, 0.45, 0.1, 0.2};
  s.pad_mix = {0.35, 0, 0, 0.25};
  s.bass_mix = {0.7, 0, 0, 0};
  s.drum_mix = {0.6, 0, 0, 0.08};
  s.room = 0.55;
  return s;
}

// Untrailed and marked floor: sneaking through the dark, a harmonic-minor tune over a stalking bass.
song_style Untrailed() {
  song_style s;
  s.name = "wm09";
  s.title = "No Footprints";
  s.seed = 1009;
  s.tonic = 48;  // C harmonic minor
  s.scale = mode::harmonic_minor;
  s.bpm = 92;
  s.form = "ABA";
  s.energy = "232";
  s.chords = {bars{0, 0, 5, 4, 0, 0, 3, 4}, bars{3, 3, 0, 0, 5, 1, 4, 4}};
  s.lead = voice::square_lead;
  s.lead_low = -3;
  s.lead_high = 6;
  s.rhythms = {"x.....x.x-------", "x-..x-..x-x-....", "....x.x.x---x---", "x-------x.x.x..."};
  s.cadence = "x-----------....";
  s.leaps = 0.3;
  s.arp = voice::pluck;
  s.arp_pattern = "0...2...1...2.1.";
  s.arp_octave = 0;
  s.pad = voice::warm_pad;
  s.pad_low = 51;
  s.bass = voice::synth_bass;
  s.bass_pattern = "R..R..R...R..R..";
  s.bass_low = 31;
  s.drums = {{voice::rim, "......x.......x.", "......x.....x.xx", 0.6, 0.3, 1},
             {voice::kick, "x.........x.....", "", 0.7, 0, 2},
             {voice::shaker, "..o...o...o...o.", "", 0.5, -0.35, 3}};
  s.lead_mix = {0.8, 0.05, 0.35, 0.3};
  s.arp_mix = {0.45, 0.4, 0.2, 0.3};
  s.pad_mix = {0.4, 0, 0, 0.3};
  s.bass_mix = {0.75, 0, 0, 0};
  s.drum_mix = {0.6, 0, 0, 0.12};
  s.echo_beats = 1.5;
  s.echo_feedback = 0.35;
  s.room = 0.7;
  return s;
}

}  // namespace

std::vector<song_style> Songs() {
  return {Menu(),   Bonus(),   FirstSteps(),  OneWay(),   Switches(), TimedGates(),
          Movers(), Turners(), Teleporters(), Clearing(), Untrailed()};
}

}  // namespace dusk::music
