// The game's one random generator: minimal standard generator, multiplier 48271, Schrage's decomposition.
#pragma once

namespace dusk {

inline constexpr int kRandomStartState = 4660;

void SeedRandom(int seed);
double RandomUnit();  // [0, 1), two steps
int RandomInt(int lo, int hi);  // both ends included, one RandomUnit
double RandomReal(double lo, double hi);
int RandomState();  // for tests

}  // namespace dusk
