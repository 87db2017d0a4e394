// The minimal standard generator. Screen files depend on its exact sequence, so every step follows the
// 32-bit arithmetic to the bit.
#include "platform/random.h"

#include <cmath>
#include <cstdint>

namespace dusk {

namespace {

constexpr int32_t kModulus = 2147483647;
constexpr int32_t kMultiplier = 48271;
constexpr int32_t kQuotient = 44488;  // modulus div multiplier
constexpr int32_t kRemainder = 3399;  // modulus mod multiplier

int32_t state = kRandomStartState;

// Schrage's decomposition keeps every product inside 32 bits.
int32_t Step() {
  state = kMultiplier * (state % kQuotient) - kRemainder * (state / kQuotient);
  if (state < 0) state += kModulus;
  return state;
}

}  // namespace

void SeedRandom(int seed) {
  state = static_cast<int32_t>(static_cast<uint32_t>(seed) & 0x7FFFFFFFu);
  if (state == 0 || state == kModulus) state = kRandomStartState;
}

double RandomUnit() {
  int32_t a = Step() & 0x1FFFFFFC;
  int32_t b = Step() & 0x1FFFFFF8;
  return (a + b / 134217728.0) / 536870912.0;
}

int RandomInt(int lo, int hi) {
  int64_t d = static_cast<int64_t>(hi) - lo;
  if (d > 0) return static_cast<int>(lo + static_cast<int64_t>(RandomUnit() * static_cast<double>(d + 1)));
  return static_cast<int>(hi + static_cast<int64_t>(RandomUnit() * static_cast<double>(1 - d)));
}

double RandomReal(double lo, double hi) { return std::fmin(lo, hi) + RandomUnit() * std::fabs(hi - lo); }

int RandomState() { return state; }

}  // namespace dusk
