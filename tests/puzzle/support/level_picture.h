// Test helper: sets up a level from a small text picture, one character per cell, and draws it back,
// so a rule test shows the situation it checks and a failure shows the level it got.
//
//   level lvl = picture({"#@..*#",
//                        "######"});
//   ... step the player ...
//   EXPECT_TRUE(looks_like(lvl, {"#o.@*#",
//                                "######"}));
//
// Each layer is up to 15 rows of up to 15 characters; cells not drawn are floor. Several layers are
// given as a list of layers to layers(). Default characters:
//
//   ground   .  floor            #  wall            :  marked floor      %  wall (second look)
//            &  wall (third)     _  untrailed floor  ^ v > <  one-way floors (up, down, right, left)
//            ~  trail-clearing   =  fixed-trail floor
//   objects  *  star             o  block           !  switch, key 1     +  closed door, key 1
//            '  open door, key 1
//   pieces   @  player           L R  horizontal mover heading left/right   U D  vertical mover up/down
//            E S W N  turning mover heading right/down/left/up, turning clockwise
//            d  dissolving trail piece, age 0
//
// Anything else (teleporters, gates, other keys, anticlockwise turners, a piece on special ground) is
// named in a legend: picture({"@T.T"}, {{'T', teleporter(1, 1)}}). A legend entry overrides a default.
//
// The level is set up the way the level builder sets up a level from its image: cells are visited layer
// by layer, column by column from the left, each column from the top, and pieces join objs in that order
// (so that is their update order); the last player is the playertile and gives the start cell; stars are
// counted in totalstars. Each teleporter sends to the first teleporter (itself included) whose receive key
// equals its send key, else to the player start found before it (else 0, 0, 0). Each switch is linked to
// every door of its key.
//
// show() draws a layer back with the same characters: a piece over an object over the ground, an open
// gate as x, a closed one as X, a teleporter as T, anything unknown as ?.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "puzzle/level.h"

namespace dusk::testing {

// What one character of a picture stands for.
struct square {
  uint8_t ground = kind::floor;
  std::optional<tile> object;  // static object; the helper fills in the cell where needed
  std::optional<tile> piece;   // moving piece; the helper fills in its cell
};

square ground(uint8_t kind);
square star();
square block();
square teleporter(uint8_t send, uint8_t receive);
square doorswitch(uint8_t key);
square door(uint8_t key, bool closed);
square gate(uint8_t closedlength, uint8_t openlength, bool closed);
square horizontalmover(bool right);
square verticalmover(bool down);
square turningmover(uint8_t heading, bool clockwise);
square player();
square dissolving(uint8_t age);
// The same thing standing on other ground: on(kind::markedfloor, player()).
square on(uint8_t groundkind, square thing);

using legend = std::map<char, square>;
using layerpicture = std::vector<std::string>;

// picture() sets up a level of one layer, layers() one of several, the first being layer 0.
// Throws std::invalid_argument for an unknown character or a picture larger than the level.
level layers(const std::vector<layerpicture>& pictures, const legend& extra = {});
level picture(const layerpicture& layer, const legend& extra = {});

// One turn of play as the level play runs it: the player's step with the player's flags (trail, take
// stars, trigger), then the update when the step succeeded.
struct turn {
  int moved = 0;
  int stars = 0;
  int jumps = 0;
};
turn playerstep(level& lvl, int dx, int dy);
// Plays a list of steps, each 'l', 'r', 'u' or 'd'; returns how many of them moved the player.
int play(level& lvl, const std::string& steps);

// The top-left width x height cells of layer z, rows separated by line breaks.
std::string show(const level& lvl, int width, int height, int z = 0);
// Passes when layer z, drawn as large as the expected rows, matches them; a failure shows both.
::testing::AssertionResult looks_like(const level& lvl, const layerpicture& rows, int z = 0);

}  // namespace dusk::testing
