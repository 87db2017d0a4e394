// What level images are drawn with: the glyphs (code page 437 shapes) that say what stands on a cell, and the
// backgrounds that qualify arrows, triangles and doors. The level builder reads them; level sources write them.
#pragma once

#include <cstdint>

namespace dusk::levelglyph {

constexpr uint8_t lightface = 1;
constexpr uint8_t darkface = 2;
constexpr uint8_t bullet = 7;
constexpr uint8_t inversebullet = 8;
constexpr uint8_t circle = 9;
constexpr uint8_t femalesign = 12;
constexpr uint8_t sun = 15;
constexpr uint8_t righttriangle = 16;
constexpr uint8_t lefttriangle = 17;
constexpr uint8_t uparrow = 24;
constexpr uint8_t downarrow = 25;
constexpr uint8_t rightarrow = 26;
constexpr uint8_t leftarrow = 27;
constexpr uint8_t uptriangle = 30;
constexpr uint8_t downtriangle = 31;
constexpr uint8_t space = ' ';
constexpr uint8_t hash = '#';
constexpr uint8_t percent = '%';
constexpr uint8_t asterisk = '*';
constexpr uint8_t plus = '+';
constexpr uint8_t letter_o = 'O';
constexpr uint8_t lightshade = 176;
constexpr uint8_t theta = 233;
constexpr uint8_t triplebar = 240;
constexpr uint8_t almostequal = 247;

constexpr uint8_t kMoverOnFloor = 3;         // arrows: mover on floor; triangles: clockwise on floor
constexpr uint8_t kMoverOnMarked = 4;        // arrows: mover on marked floor; triangles: clockwise, marked
constexpr uint8_t kAnticlockwiseMarked = 6;  // triangles: anticlockwise on marked floor
constexpr uint8_t kDoorStartsOpen = 3;

}  // namespace dusk::levelglyph
