// Kind numbers shared by ground values, object ids and looks; they also index a world's look tables.
#pragma once

#include <cstdint>

namespace dusk::kind {

// Ground (the values of level::map).
inline constexpr uint8_t floor = 0;
inline constexpr uint8_t wall = 1;
inline constexpr uint8_t markedfloor = 2;
inline constexpr uint8_t wallsecondlook = 3;
inline constexpr uint8_t wallthirdlook = 4;
inline constexpr uint8_t untrailedfloor = 40;
inline constexpr uint8_t onewayup = 41;
inline constexpr uint8_t onewaydown = 42;
inline constexpr uint8_t onewayright = 43;
inline constexpr uint8_t onewayleft = 44;
inline constexpr uint8_t trailclearingfloor = 45;
inline constexpr uint8_t fixedtrailfloor = 46;

// Static objects (level::obj).
inline constexpr uint8_t star = 200;
inline constexpr uint8_t block = 201;
inline constexpr uint8_t teleporter = 202;
inline constexpr uint8_t doorswitch = 203;
inline constexpr uint8_t door = 204;
inline constexpr uint8_t timedgate = 206;

// Moving pieces (level::objs).
inline constexpr uint8_t horizontalmover = 224;
inline constexpr uint8_t verticalmover = 225;
inline constexpr uint8_t turningmover = 226;
inline constexpr uint8_t player = 240;
inline constexpr uint8_t dissolvingtrail = 242;

// Looks only: drawn, never stored.
inline constexpr uint8_t opendoor = 205;
inline constexpr uint8_t opentimedgate = 207;
inline constexpr uint8_t starburst = 241;

// Looks of a piece's or an object's state, so the screen shows what it will do next. A world that gives
// none of these draws every state with the plain look of its kind, as the first worlds did.
inline constexpr uint8_t moverleft = 100;  // a horizontal mover heading left
inline constexpr uint8_t moverright = 101;
inline constexpr uint8_t moverup = 102;  // a vertical mover heading up
inline constexpr uint8_t moverdown = 103;
inline constexpr uint8_t turnerclockwise = 104;      // + heading (0 right, 1 down, 2 left, 3 up)
inline constexpr uint8_t turneranticlockwise = 108;  // + heading
inline constexpr uint8_t teleportersends = 112;      // sends only
inline constexpr uint8_t teleporterreceives = 113;   // receives only
inline constexpr uint8_t teleporterboth = 114;       // sends and receives
inline constexpr uint8_t teleporteridle = 115;       // neither: a pad that does nothing
inline constexpr uint8_t paircolor = 120;  // + pair 0 to 7: its foreground colours one pair's pads
inline constexpr uint8_t keycolor = 128;   // + key 0 to 7: its foreground colours one key's switch and doors
inline constexpr uint8_t gateopensin = 140;  // + n, 1 to 9: a closed gate that opens after n more moves
inline constexpr uint8_t gateshutsin = 150;  // + n, 1 to 9: an open gate that shuts after n more moves

inline constexpr int kMarkColors = 8;     // pair colours, and key colours
inline constexpr int kLongestCountdown = 9;  // gates further from their change show their plain look

}  // namespace dusk::kind
