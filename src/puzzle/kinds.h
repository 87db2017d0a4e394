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

}  // namespace dusk::kind
