// The level solver: breadth-first search over compact puzzle states, with sound cuts, and a beam search
// for levels too open to finish within the budget.
#include "puzzle/solver.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <limits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_set>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "puzzle/kinds.h"

namespace dusk {

namespace {

constexpr int layercells = level::layercells;

int cellindex(int x, int y, int z) {
  return z * layercells + x * level::size + y;
}
int cellx(int c) {
  return (c % layercells) / level::size;
}
int celly(int c) {
  return c % level::size;
}
int cellz(int c) {
  return c / layercells;
}

constexpr std::size_t piecebytes = 9;

// Two independent lanes, so the multiplications of a state's words overlap.
uint64_t hashbytes(std::span<const uint8_t> bytes) {
  uint64_t a = 0x243F6A8885A308D3ull ^ bytes.size();
  uint64_t b = 0x13198A2E03707344ull;
  std::size_t i = 0;
  for (; i + 16 <= bytes.size(); i += 16) {
    uint64_t w0;
    uint64_t w1;
    std::memcpy(&w0, bytes.data() + i, 8);
    std::memcpy(&w1, bytes.data() + i + 8, 8);
    a = (a ^ w0) * 0x9E3779B97F4A7C15ull;
    b = (b ^ w1) * 0xC2B2AE3D27D4EB4Full;
    a ^= a >> 31;
    b ^= b >> 29;
  }
  if (i < bytes.size()) {
    uint64_t w0 = 0;
    uint64_t w1 = 0;
    const std::size_t left = bytes.size() - i;
    std::memcpy(&w0, bytes.data() + i, std::min<std::size_t>(left, 8));
    if (left > 8) std::memcpy(&w1, bytes.data() + i + 8, left - 8);
    a = (a ^ w0) * 0x9E3779B97F4A7C15ull;
    b = (b ^ w1) * 0xC2B2AE3D27D4EB4Full;
  }
  uint64_t h = a ^ (b * 0xFF51AFD7ED558CCDull);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  return h;
}

// A puzzle state as bytes: only what play can change, against the start level.
//   block bit per cell that can ever hold a block; star bit per star of the start; the flag b of every object
//   a switch flips; s and t of every timed gate; the player's place in objs; every piece of objs whole.
// Fixtures (teleporters, switches, doors, gates) are never added or removed by play, the ground never
// changes, and stars appear only where they started, so these bytes give the whole level back.
class state_codec {
 public:
  explicit state_codec(const level& start) : blank_(start) {
    int top = std::clamp(start.depth, 1, level::size) - 1;
    for (int c = 0; c < level::maxcells; ++c) {
      const tile* object = start.obj(cellx(c), celly(c), cellz(c));
      if (object == nullptr) continue;
      if (object->id == kind::star || object->id == kind::block) {
        top = std::max(top, cellz(c));
        if (object->id == kind::star) starcells_.push_back(static_cast<uint16_t>(c));
        continue;
      }
      if (object->id == kind::timedgate) gatecells_.push_back(static_cast<uint16_t>(c));
      if (object->id == kind::teleporter && level::inside(object->x, object->y, object->z)) {
        top = std::max(top, static_cast<int>(object->z));
      }
      for (const vector& v : start.vec(cellx(c), celly(c), cellz(c))) {
        const tile* door = start.obj(v.x, v.y, v.z);
        if (door == nullptr || door->id == kind::star || door->id == kind::block) continue;
        const auto d = static_cast<uint16_t>(cellindex(v.x, v.y, v.z));
        if (std::find(flipcells_.begin(), flipcells_.end(), d) == flipcells_.end()) flipcells_.push_back(d);
      }
    }
    for (const tile& piece : start.objs()) {
      if (level::inside(piece.x, piece.y, piece.z)) top = std::max(top, static_cast<int>(piece.z));
    }
    layers_ = top + 1;

    // A block appears only where a piece has just stood, and pieces stand on open ground, on teleporter
    // destinations and where they start; walls elsewhere and fixtures never hold one.
    const int cells = layers_ * layercells;
    std::vector<bool> canhold(static_cast<std::size_t>(cells), false);
    for (int c = 0; c < cells; ++c) {
      const tile* object = start.obj(cellx(c), celly(c), cellz(c));
      const bool fixture = object != nullptr && object->id != kind::star && object->id != kind::block;
      canhold[c] = !fixture && (level::solid(start.map(cellx(c), celly(c), cellz(c))) == 0 ||
                                (object != nullptr && object->id == kind::block));
      if (fixture && object->id == kind::teleporter && level::inside(object->x, object->y, object->z)) {
        const int d = cellindex(object->x, object->y, object->z);
        const tile* there = start.obj(object->x, object->y, object->z);
        if (d < cells && (there == nullptr || there->id == kind::star || there->id == kind::block))
          canhold[d] = true;
      }
    }
    for (const tile& piece : start.objs()) {
      const int c = cellindex(piece.x, piece.y, piece.z);
      const tile* there = start.obj(piece.x, piece.y, piece.z);
      if (level::inside(piece.x, piece.y, piece.z) && c < cells &&
          (there == nullptr || there->id == kind::star || there->id == kind::block)) {
        canhold[c] = true;
      }
    }
    blockbit_.assign(static_cast<std::size_t>(cells), -1);
    for (int c = 0; c < cells; ++c) {
      if (!canhold[c]) continue;
      blockbit_[c] = static_cast<int16_t>(blockcells_.size());
      blockcells_.push_back(static_cast<uint16_t>(c));
    }
    blockbytes_ = (blockcells_.size() + 7) / 8;
    starbytes_ = (starcells_.size() + 7) / 8;
    fixedbytes_ = blockbytes_ + starbytes_ + flipcells_.size() + 2 * gatecells_.size();
    for (int c = 0; c < level::maxcells && !clearing_; ++c) {
      clearing_ = start.map(cellx(c), celly(c), cellz(c)) == kind::trailclearingfloor;
    }

    for (int c = 0; c < level::maxcells; ++c) {
      const tile* object = blank_.obj(cellx(c), celly(c), cellz(c));
      if (object != nullptr && (object->id == kind::star || object->id == kind::block)) {
        blank_.clearobj(cellx(c), celly(c), cellz(c));
      }
    }
    while (!blank_.objs().empty()) blank_.removeobj(blank_.objs().size() - 1);
  }

  int layers() const { return layers_; }
  bool clearing() const { return clearing_; }
  const std::vector<uint16_t>& starcells() const { return starcells_; }
  const std::vector<uint16_t>& blockcells() const { return blockcells_; }

  void encode(const level& lvl, std::vector<uint8_t>& out) const { encodechild(lvl, {}, -1, out); }

  // The state of a level one turn after the level of the state parent, where the player stepped from cell
  // from. Only the player leaves blocks, one where it stood, and only a trail-clearing floor takes blocks
  // away: without such floors the child's blocks are the parent's and at most that one more.
  void encodechild(const level& lvl, std::span<const uint8_t> parent, int from,
                   std::vector<uint8_t>& out) const {
    const auto pieces = lvl.objs();
    out.assign(fixedbytes_ + 5 + pieces.size() * piecebytes, 0);
    uint8_t* p = out.data();
    if (parent.empty() || clearing_) {
      lvl.blockbits(blockcells_, p);
    } else {
      std::memcpy(p, parent.data(), blockbytes_);
      if (from >= 0 && static_cast<std::size_t>(from) < blockbit_.size() && blockbit_[from] >= 0 &&
          lvl.blockat(from)) {
        const int bit = blockbit_[from];
        p[bit >> 3] |= static_cast<uint8_t>(1u << (bit & 7));
      }
    }
    p += blockbytes_;
    writestarbits(lvl, p);
    p += starbytes_;
    // Fixtures stay where they are in play, so these cells always hold them.
    for (const uint16_t c : flipcells_) {
      const tile* object = lvl.objat(c);
      *p++ = object != nullptr ? object->b : 0;
    }
    for (const uint16_t c : gatecells_) {
      const tile* gate = lvl.objat(c);
      *p++ = gate != nullptr ? gate->s : 0;
      *p++ = gate != nullptr ? gate->t : 0;
    }
    const tile* player = lvl.playertile();
    const std::size_t playerat =
        player == nullptr ? 0xFFFF : static_cast<std::size_t>(player - pieces.data());
    if (packable(pieces, playerat)) {
      const std::size_t used = static_cast<std::size_t>(p - out.data());
      out.resize(used + 3 + pieces.size() * packedbytes);
      p = out.data() + used;
      *p++ = 1;
      *p++ = static_cast<uint8_t>(pieces.size());
      *p++ = static_cast<uint8_t>(playerat);
      for (const tile& piece : pieces) {
        *p++ = piece.id;
        *p++ = static_cast<uint8_t>(piece.x | piece.y << 4);
        *p++ = static_cast<uint8_t>(piece.z | piece.f << 4 | piece.b << 6);
      }
      return;
    }
    *p++ = 0;
    *p++ = static_cast<uint8_t>(pieces.size());
    *p++ = static_cast<uint8_t>(pieces.size() >> 8);
    *p++ = static_cast<uint8_t>(playerat);
    *p++ = static_cast<uint8_t>(playerat >> 8);
    for (const tile& piece : pieces) {
      static_assert(sizeof(tile) == piecebytes);
      std::memcpy(p, &piece, piecebytes);
      p += piecebytes;
    }
  }

  // Decodes a state into out. When was is given, out holds the state of was already (the same codec's
  // bytes), and only what differs is changed: consecutive states of a search differ in a few cells.
  void decode(std::span<const uint8_t> bytes, level& out, std::span<const uint8_t> was = {}) const {
    const uint8_t* p = bytes.data();
    if (was.empty()) {
      out = blank_;
      for (std::size_t byte = 0; byte < blockbytes_; ++byte) {
        for (unsigned bits = p[byte]; bits != 0; bits &= bits - 1)
          out.putplain(blockcells_[byte * 8 + static_cast<std::size_t>(std::countr_zero(bits))], false);
      }
      for (std::size_t i = 0; i < starcells_.size(); ++i) {
        if ((p[blockbytes_ + (i >> 3)] >> (i & 7)) & 1) out.putplain(starcells_[i], true);
      }
    } else {
      // A cell may have held a star and now a block: everything that went is taken off before anything
      // that came is put down.
      const uint8_t* q = was.data();
      for (std::size_t byte = 0; byte < blockbytes_ + starbytes_; ++byte) {
        for (unsigned bits = q[byte] & ~p[byte] & 0xFFu; bits != 0; bits &= bits - 1)
          out.clearplain(plaincell(byte * 8 + static_cast<std::size_t>(std::countr_zero(bits))));
      }
      for (std::size_t byte = 0; byte < blockbytes_ + starbytes_; ++byte) {
        for (unsigned bits = p[byte] & ~q[byte] & 0xFFu; bits != 0; bits &= bits - 1) {
          const std::size_t k = byte * 8 + static_cast<std::size_t>(std::countr_zero(bits));
          out.putplain(plaincell(k), byte >= blockbytes_);
        }
      }
    }
    p += blockbytes_ + starbytes_;
    for (const uint16_t c : flipcells_) {
      if (tile* object = out.editobjat(c)) object->b = *p;
      ++p;
    }
    for (const uint16_t c : gatecells_) {
      if (tile* gate = out.editobjat(c)) {
        gate->s = p[0];
        gate->t = p[1];
      }
      p += 2;
    }
    pieces_.clear();
    std::size_t playerat = 0;
    if (*p++ == 1) {
      const std::size_t count = p[0];
      playerat = p[1];
      p += 2;
      for (std::size_t i = 0; i < count; ++i, p += packedbytes) {
        tile piece;
        piece.id = p[0];
        piece.x = static_cast<uint8_t>(p[1] & 15);
        piece.y = static_cast<uint8_t>(p[1] >> 4);
        piece.z = static_cast<uint8_t>(p[2] & 15);
        piece.f = static_cast<uint8_t>((p[2] >> 4) & 3);
        piece.b = static_cast<uint8_t>(p[2] >> 6);
        pieces_.push_back(piece);
      }
    } else {
      const std::size_t count = p[0] | static_cast<std::size_t>(p[1]) << 8;
      playerat = p[2] | static_cast<std::size_t>(p[3]) << 8;
      p += 4;
      for (std::size_t i = 0; i < count; ++i, p += piecebytes) {
        tile piece;
        std::memcpy(&piece, p, piecebytes);
        pieces_.push_back(piece);
      }
    }
    out.setobjs(pieces_, playerat < pieces_.size() ? static_cast<int>(playerat) : -1);
  }

  // The star bits of a state, and of a level.
  std::span<const uint8_t> starbits(std::span<const uint8_t> bytes) const {
    return bytes.subspan(blockbytes_, starbytes_);
  }
  void starbits(const level& lvl, std::vector<uint8_t>& out) const {
    out.resize(starbytes_);
    writestarbits(lvl, out.data());
  }
  // Each byte gathered in a register and written once.
  void writestarbits(const level& lvl, uint8_t* out) const {
    for (std::size_t byte = 0; byte < starbytes_; ++byte) {
      unsigned bits = 0;
      const std::size_t last = std::min(starcells_.size(), byte * 8 + 8);
      for (std::size_t i = byte * 8; i < last; ++i)
        bits |= static_cast<unsigned>(lvl.starat(starcells_[i])) << (i & 7);
      out[byte] = static_cast<uint8_t>(bits);
    }
  }
  int starsleft(std::span<const uint8_t> bytes) const {
    int n = 0;
    for (std::size_t i = 0; i < starbytes_; ++i)
      n += std::popcount(static_cast<unsigned>(bytes[blockbytes_ + i]));
    return n;
  }
  bool blockat(std::span<const uint8_t> bytes, int c) const {
    const int bit = blockbit_[c];
    return bit >= 0 && ((bytes[bit >> 3] >> (bit & 7)) & 1);
  }
  bool starat(std::span<const uint8_t> bytes, std::size_t i) const {
    return (bytes[blockbytes_ + (i >> 3)] >> (i & 7)) & 1;
  }

 private:
  // Pieces take three bytes where their fields allow (as they almost always do: a place on the grid, a
  // heading or age of two bits, a turning sense, and the gate fields and sit-out flag that only gates and
  // the update in progress use at zero), else nine bytes, the tile whole. A leading byte says which, so
  // one state always gets the same bytes and two states never share them.
  static constexpr std::size_t packedbytes = 3;
  // The cell of bit k of the block and star bytes together.
  int plaincell(std::size_t k) const {
    return k < blockbytes_ * 8 ? blockcells_[k] : starcells_[k - blockbytes_ * 8];
  }
  static bool packable(std::span<const tile> pieces, std::size_t playerat) {
    if (pieces.size() >= 255 || (playerat >= pieces.size() && playerat != 0xFFFF)) return false;
    for (const tile& piece : pieces) {
      if ((piece.x | piece.y | piece.z) >= 16 || piece.f >= 4 || piece.b >= 4 ||
          (piece.s | piece.t | piece.u) != 0)
        return false;
    }
    return true;
  }

  int layers_ = 1;
  std::vector<uint16_t> starcells_;
  std::vector<uint16_t> flipcells_;
  std::vector<uint16_t> gatecells_;
  std::vector<uint16_t> blockcells_;
  std::vector<int16_t> blockbit_;  // per cell of the layers in use, its bit, or -1
  std::size_t blockbytes_ = 0;
  std::size_t starbytes_ = 0;
  std::size_t fixedbytes_ = 0;
  bool clearing_ = false;  // the level has a trail-clearing floor
  level blank_;
  mutable std::vector<tile> pieces_;  // decode's room for the pieces
};

// The cells of one layer as bits, column by column: bit x * 16 + y, so each column is one 16-bit lane, a
// step along y shifts within the lanes and a step along x moves whole lanes, and the sixteenth row and
// column stay empty so nothing wraps around. The flood spends its time here: on x86-64 the lanes are
// SSE2 registers, elsewhere four words.
struct layerbits {
#if defined(__SSE2__)
  __m128i lo = _mm_setzero_si128();  // columns 0 to 7
  __m128i hi = _mm_setzero_si128();  // columns 8 to 15

  static layerbits fromwords(const uint64_t* w) {
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(w)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 2))};
  }
  uint64_t word(int i) const {
    const __m128i half = i < 2 ? lo : hi;
    return static_cast<uint64_t>(_mm_cvtsi128_si64((i & 1) == 0 ? half : _mm_unpackhi_epi64(half, half)));
  }
  void set(int b) {
    const __m128i one = _mm_cvtsi64_si128(static_cast<long long>(uint64_t{1} << (b & 63)));
    const __m128i bit = (b & 64) == 0 ? one : _mm_slli_si128(one, 8);
    if (b < 128) {
      lo = _mm_or_si128(lo, bit);
    } else {
      hi = _mm_or_si128(hi, bit);
    }
  }
  void flip(int b) {
    const __m128i one = _mm_cvtsi64_si128(static_cast<long long>(uint64_t{1} << (b & 63)));
    const __m128i bit = (b & 64) == 0 ? one : _mm_slli_si128(one, 8);
    if (b < 128) {
      lo = _mm_xor_si128(lo, bit);
    } else {
      hi = _mm_xor_si128(hi, bit);
    }
  }
  bool empty() const {
    const __m128i any = _mm_or_si128(lo, hi);
    return _mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) == 0xFFFF;
  }
  layerbits operator&(const layerbits& o) const { return {_mm_and_si128(lo, o.lo), _mm_and_si128(hi, o.hi)}; }
  layerbits operator|(const layerbits& o) const { return {_mm_or_si128(lo, o.lo), _mm_or_si128(hi, o.hi)}; }
  // This without the cells of o.
  layerbits without(const layerbits& o) const {
    return {_mm_andnot_si128(o.lo, lo), _mm_andnot_si128(o.hi, hi)};
  }
  // Every cell moved one row down (y + 1) or up (y - 1), and one column right (x + 1) or left (x - 1).
  layerbits ynext() const { return {_mm_slli_epi16(lo, 1), _mm_slli_epi16(hi, 1)}; }
  layerbits yprev() const { return {_mm_srli_epi16(lo, 1), _mm_srli_epi16(hi, 1)}; }
  layerbits xnext() const {
    return {_mm_slli_si128(lo, 2), _mm_or_si128(_mm_slli_si128(hi, 2), _mm_srli_si128(lo, 14))};
  }
  layerbits xprev() const {
    return {_mm_or_si128(_mm_srli_si128(lo, 2), _mm_slli_si128(hi, 14)), _mm_srli_si128(hi, 2)};
  }
#else
  uint64_t w[4] = {0, 0, 0, 0};

  static layerbits fromwords(const uint64_t* words) { return {{words[0], words[1], words[2], words[3]}}; }
  uint64_t word(int i) const { return w[i]; }
  void set(int b) { w[b >> 6] |= uint64_t{1} << (b & 63); }
  void flip(int b) { w[b >> 6] ^= uint64_t{1} << (b & 63); }
  bool empty() const { return (w[0] | w[1] | w[2] | w[3]) == 0; }
  layerbits operator&(const layerbits& o) const {
    return {{w[0] & o.w[0], w[1] & o.w[1], w[2] & o.w[2], w[3] & o.w[3]}};
  }
  layerbits operator|(const layerbits& o) const {
    return {{w[0] | o.w[0], w[1] | o.w[1], w[2] | o.w[2], w[3] | o.w[3]}};
  }
  layerbits without(const layerbits& o) const {
    return {{w[0] & ~o.w[0], w[1] & ~o.w[1], w[2] & ~o.w[2], w[3] & ~o.w[3]}};
  }
  // Shifts of all 256 bits: a bit crossing a column's edge lands on row 15, which is no cell, and the
  // masks of the flood drop it.
  layerbits ynext() const { return shiftup(1); }
  layerbits yprev() const { return shiftdown(1); }
  layerbits xnext() const { return shiftup(16); }
  layerbits xprev() const { return shiftdown(16); }
  layerbits shiftup(int n) const {
    return {{w[0] << n, w[1] << n | w[0] >> (64 - n), w[2] << n | w[1] >> (64 - n),
             w[3] << n | w[2] >> (64 - n)}};
  }
  layerbits shiftdown(int n) const {
    return {{w[0] >> n | w[1] << (64 - n), w[1] >> n | w[2] << (64 - n), w[2] >> n | w[3] << (64 - n),
             w[3] >> n}};
  }
#endif

  static int bit(int x, int y) { return x * 16 + y; }
  layerbits& operator|=(const layerbits& o) { return *this = *this | o; }
  // Calls f(bit) for every cell set.
  template <typename F>
  void each(F f) const {
    for (int i = 0; i < 4; ++i) {
      for (uint64_t v = word(i); v != 0; v &= v - 1) f(i * 64 + std::countr_zero(v));
    }
  }
};

using blockmasks = std::array<layerbits, level::size>;

// The cut: a flood from the player over every cell the player could still ever stand on must reach
// every remaining star, within the moves left. The flood is a superset of real play, so the cut is sound:
//   - walls never change; a block stays forever unless its layer has a trail-clearing floor (and it
//     doesn't stand on fixed-trail floor); a player piece that is not the player never moves;
//   - doors, gates, movers, stars and blocks that may dissolve all count as passable;
//   - one-way floors are entered only along their way, exactly as the rule book says;
//   - stepping onto a sending teleporter lands on its destination, unexamined, as the rule book does.
// Its distances are then lower bounds on the moves to each star: the farthest star, and the nearest plus
// one move per further star (a step takes at most one star), must both fit in the moves left.
// The flood runs a whole distance at a time on bit masks of the layers.
class reach_bound {
 public:
  reach_bound(const level& start, const state_codec& codec) : codec_(codec) {
    layers_ = codec.layers();
    const int cells = layers_ * layercells;
    jumpto_.assign(static_cast<std::size_t>(layers_ * 256), landing{});
    keepsblocks_.assign(static_cast<std::size_t>(cells), 0);
    std::vector<bool> clearinglayer(static_cast<std::size_t>(layers_), false);
    for (int c = 0; c < cells; ++c) {
      if (start.map(cellx(c), celly(c), cellz(c)) == kind::trailclearingfloor) clearinglayer[cellz(c)] = true;
    }
    const tile* player = start.playertile();
    for (int c = 0; c < cells; ++c) {
      const int x = cellx(c);
      const int y = celly(c);
      const int z = cellz(c);
      const int b = layerbits::bit(x, y);
      const uint8_t g = start.map(x, y, z);
      keepsblocks_[c] = !clearinglayer[z] || g == kind::fixedtrailfloor ? 1 : 0;
      bool open = level::solid(g) == 0;
      for (const tile& piece : start.objs()) {
        if (&piece != player && piece.id == kind::player && piece.x == x && piece.y == y && piece.z == z)
          open = false;
      }
      if (!open) continue;
      for (int s = 0; s < 4; ++s) {
        const bool against = (g == kind::onewayup && s != 0) || (g == kind::onewaydown && s != 1) ||
                             (g == kind::onewayleft && s != 2) || (g == kind::onewayright && s != 3);
        if (!against) enter_[s][z].set(b);
      }
      const tile* object = start.obj(x, y, z);
      if (object != nullptr && object->id == kind::teleporter && object->f != 0 &&
          level::inside(object->x, object->y, object->z) && object->z < layers_) {
        jumpfrom_[z].set(b);
        const landing to{static_cast<int>(object->z), layerbits::bit(object->x, object->y)};
        jumpto_[static_cast<std::size_t>(z * 256 + b)] = to;
        jumps_.push_back(to);
      }
    }
    for (const uint16_t c : codec.starcells())
      stars_.push_back({cellz(c), layerbits::bit(cellx(c), celly(c)), c});
    met_.room.assign(stars_.size() + 1, metstar{});
    tree_.assign(stars_.size() + 1, 0);
    joined_.assign(stars_.size() + 1, 0);
    // Blocks that stay for good, by their bit in the state: layer * 256 + bit, or -1.
    keptbytes_ = (codec.blockcells().size() + 7) / 8;
    keptat_.assign(keptbytes_ * 8, -1);
    for (std::size_t i = 0; i < codec.blockcells().size(); ++i) {
      const int c = codec.blockcells()[i];
      if (keepsblocks_[c] != 0) {
        keptat_[i] = static_cast<int16_t>(cellz(c) * 256 + layerbits::bit(cellx(c), celly(c)));
      }
    }
  }

  // The blocks of a state that stay for good, as masks of the layers.
  void keptblocks(std::span<const uint8_t> state, blockmasks& out) const {
    // Gathered as plain words first: setting bit after bit in the masks would wait on each store.
    uint64_t words[level::size * 4];
    std::fill_n(words, layers_ * 4, 0);
    for (std::size_t byte = 0; byte < keptbytes_; ++byte) {
      for (unsigned bits = state[byte]; bits != 0; bits &= bits - 1) {
        const int where = keptat_[byte * 8 + static_cast<std::size_t>(std::countr_zero(bits))];
        if (where >= 0) words[where >> 6] |= uint64_t{1} << (where & 63);
      }
    }
    for (int z = 0; z < layers_; ++z) out[z] = layerbits::fromwords(words + z * 4);
  }
  // Brings the kept blocks of state was (in out) to those of state now: neighbouring states of a search
  // differ in a few blocks.
  void updatekept(std::span<const uint8_t> was, std::span<const uint8_t> now, blockmasks& out) const {
    for (std::size_t byte = 0; byte < keptbytes_; ++byte) {
      for (unsigned bits = (was[byte] ^ now[byte]) & 0xFFu; bits != 0; bits &= bits - 1) {
        const int where = keptat_[byte * 8 + static_cast<std::size_t>(std::countr_zero(bits))];
        if (where >= 0) out[static_cast<std::size_t>(where >> 8)].flip(where & 255);
      }
    }
  }
  // Adds the block a turn may have left on cell c, when it stays for good.
  void keepblock(const level& lvl, int c, blockmasks& out) const {
    if (c >= 0 && c < layers_ * layercells && keepsblocks_[c] != 0 && lvl.blockat(c))
      out[cellz(c)].set(layerbits::bit(cellx(c), celly(c)));
  }

  static constexpr int kOutOfReach = 1 << 20;  // not within the cap
  static constexpr int kNever = 1 << 21;       // not at all, whatever the cap

  // True when the state can still win with movesleft moves; nearestout, when given, gets the distance to
  // the nearest remaining star.
  bool canwin(std::span<const uint8_t> state, const tile& player, int movesleft, int* nearestout = nullptr) {
    return need(state, player, movesleft, nearestout) <= movesleft;
  }

  // A lower bound on the moves that still take every remaining star: kNever when a star can't be reached
  // at all, kOutOfReach when only beyond cap moves.
  int need(std::span<const uint8_t> state, const tile& player, int cap, int* nearestout = nullptr) {
    blockmasks blocks;
    keptblocks(state, blocks);
    return need(codec_.starbits(state), blocks, player, cap, nearestout);
  }

  // The same from the star bits of a state (starbits) and its blocks that stay for good.
  int need(std::span<const uint8_t> starbits, const blockmasks& blocks, const tile& player, int cap,
           int* nearestout = nullptr) {
    if (player.z >= layers_ || !level::inside(player.x, player.y, player.z)) return 0;
    // The remaining stars and the player's cell, as words of the layer masks.
    uint64_t waitwords[level::size * 4];
    uint64_t startwords[level::size * 4];
    std::fill_n(waitwords, layers_ * 4, 0);
    std::fill_n(startwords, layers_ * 4, 0);
    int waiting = 0;
    for (std::size_t i = 0; i < stars_.size(); ++i) {
      if (((starbits[i >> 3] >> (i & 7)) & 1) == 0) continue;
      const int where = stars_[i].z * 256 + stars_[i].bit;
      waitwords[where >> 6] |= uint64_t{1} << (where & 63);
      ++waiting;
    }
    if (waiting == 0) return 0;
    std::copy_n(blocks.begin(), layers_, blocked_.begin());
    const int from = layerbits::bit(player.x, player.y);
    const int start = player.z * 256 + from;
    startwords[start >> 6] |= uint64_t{1} << (start & 63);
    met_.clear();
    if (layers_ == 1 && jumps_.empty()) {
      // Many states are cut, most of them already by straight-line distances, which the flood can only
      // lengthen: settle those without flooding. (A star under the player is met at once, by the flood.)
      const bool under = (waitwords[from >> 6] >> (from & 63)) & 1;
      if (nearestout == nullptr && !under) {
        waitmask_[0] = layerbits::fromwords(waitwords);
        if (straightbound(from, waiting, cap) > cap) return kOutOfReach;
      }
      return flood<1, false>(cap, nearestout, waiting, waitwords, startwords);
    }
    const bool jumps = !jumps_.empty();
    switch (layers_) {
      case 1:
        return flood<1, true>(cap, nearestout, waiting, waitwords, startwords);
      case 2:
        return jumps ? flood<2, true>(cap, nearestout, waiting, waitwords, startwords)
                     : flood<2, false>(cap, nearestout, waiting, waitwords, startwords);
      case 3:
        return jumps ? flood<3, true>(cap, nearestout, waiting, waitwords, startwords)
                     : flood<3, false>(cap, nearestout, waiting, waitwords, startwords);
      case 4:
        return jumps ? flood<4, true>(cap, nearestout, waiting, waitwords, startwords)
                     : flood<4, false>(cap, nearestout, waiting, waitwords, startwords);
      default:
        return deepflood(cap, nearestout, waiting, waitwords, startwords);
    }
  }

  // The fewest moves in which the player could step onto one of the target cells (a sending teleporter's
  // pad counts as stepped onto), over the same superset of play as need(): kOutOfReach beyond cap moves,
  // kNever when not at all. blocks are the blocks that stay for good.
  int reachtarget(const blockmasks& blocks, const tile& player, const blockmasks& targets, int cap) {
    if (player.z >= layers_ || !level::inside(player.x, player.y, player.z)) return kNever;
    const int layers = layers_;
    for (int z = 0; z < layers; ++z) {
      reached_[z] = layerbits{};
      frontier_[z] = layerbits{};
    }
    reached_[player.z].set(layerbits::bit(player.x, player.y));
    frontier_[player.z] = reached_[player.z];
    for (int d = 1; d <= cap; ++d) {
      bool hit = false;
      for (int z = 0; z < layers; ++z) {
        const layerbits& f = frontier_[z];
        next_[z] = ((f.yprev() & enter_[0][z]) | (f.ynext() & enter_[1][z]) | (f.xprev() & enter_[2][z]) |
                    (f.xnext() & enter_[3][z]))
                       .without(blocks[z]);
        hit = hit || !(next_[z] & targets[z]).empty();
      }
      if (hit) return d;
      if (!jumps_.empty()) {
        land(next_.data(), layers);
        // A landing cell is stepped onto as well.
        for (int z = 0; z < layers; ++z) hit = hit || !(next_[z] & targets[z]).empty();
        if (hit) return d;
      }
      bool any = false;
      for (int z = 0; z < layers; ++z) {
        next_[z] = next_[z].without(reached_[z]);
        reached_[z] |= next_[z];
        frontier_[z] = next_[z];
        any = any || !next_[z].empty();
      }
      if (!any) return kNever;
    }
    return kOutOfReach;
  }

 private:
  // The bound of bound() with straight-line (grid) distances from the player in place of flood distances:
  // never more than the bound the flood gives, on a level of one layer without teleporters.
  int straightbound(int from, int remaining, int cap) {
    met_.clear();
    const int px = from >> 4;
    const int py = from & 15;
    waitmask_[0].each([&](int b) {
      met_.push_back({b >> 4, b & 15, std::abs((b >> 4) - px) + std::abs((b & 15) - py)});
    });
    if (met_.empty()) return 0;
    int nearest = met_[0].dist;
    int farthest = met_[0].dist;
    for (const metstar& m : met_) {
      nearest = std::min(nearest, m.dist);
      farthest = std::max(farthest, m.dist);
    }
    int result = std::max(farthest, nearest + remaining - 1);
    // The tree costs the square of the stars: with many, leave it to the flood's own bound.
    if (result <= cap && met_.size() <= kStraightTreeStars) result = std::max(result, treebound());
    met_.clear();
    return result;
  }
  static constexpr std::size_t kStraightTreeStars = 8;

  // Notes the stars of one layer that the flood meets at distance d; true when none is left waiting.
  bool meet(const layerbits& hit, int d, int* nearestout, int& waiting) {
    hit.each([&](int b) {
      if (met_.empty() && nearestout != nullptr) *nearestout = d;
      met_.push_back({b >> 4, b & 15, d});
      --waiting;
    });
    return waiting == 0;
  }

  // The flood over levels of up to a few layers, kept in registers: the layer count and whether the
  // level has teleporters are fixed, so every loop over the layers unrolls.
  template <int N, bool Jumps>
  int flood(int cap, int* nearestout, int waiting, const uint64_t* waitwords, const uint64_t* startwords) {
    layerbits reached[N];
    layerbits frontier[N];
    layerbits wait[N];
    layerbits open[4][N];
    for (int z = 0; z < N; ++z) {
      reached[z] = layerbits::fromwords(startwords + z * 4);
      frontier[z] = reached[z];
      wait[z] = layerbits::fromwords(waitwords + z * 4);
      for (int s = 0; s < 4; ++s) open[s][z] = enter_[s][z].without(blocked_[z]);
    }
    for (int z = 0; z < N; ++z) {
      const layerbits hit = reached[z] & wait[z];
      if (hit.empty()) continue;
      wait[z] = wait[z].without(hit);
      if (meet(hit, 0, nearestout, waiting)) return bound(cap);
    }
    for (int d = 1;; ++d) {
      if (d - 1 >= cap) return kOutOfReach;
      layerbits next[N];
      for (int z = 0; z < N; ++z) {
        const layerbits& f = frontier[z];
        next[z] = (f.yprev() & open[0][z]) | (f.ynext() & open[1][z]) | (f.xprev() & open[2][z]) |
                  (f.xnext() & open[3][z]);
      }
      if constexpr (Jumps) {
        // A step onto a sending teleporter lands on its destination, even when the flood stood on the pad
        // itself before (landing there from another pad).
        layerbits pads{};
        for (int z = 0; z < N; ++z) pads = pads | (next[z] & jumpfrom_[z]);
        if (!pads.empty()) {
          // Rare, once per pad and flood: worked in memory, so next stays in registers elsewhere.
          layerbits work[N];
          std::copy_n(next, N, work);
          land(work, N);
          std::copy_n(work, N, next);
        }
      }
      layerbits any{};
      layerbits hits{};
      for (int z = 0; z < N; ++z) {
        next[z] = next[z].without(reached[z]);
        reached[z] = reached[z] | next[z];
        frontier[z] = next[z];
        any = any | next[z];
        hits = hits | (next[z] & wait[z]);
      }
      if (any.empty()) return kNever;
      if (hits.empty()) continue;
      for (int z = 0; z < N; ++z) {
        const layerbits hit = next[z] & wait[z];
        if (hit.empty()) continue;
        wait[z] = wait[z].without(hit);
        if (meet(hit, d, nearestout, waiting)) return bound(cap);
      }
    }
  }

  // Replaces every sending teleporter that next steps onto by its destination.
  void land(layerbits* next, int layers) {
    landings_.clear();
    for (int z = 0; z < layers; ++z) {
      const layerbits hit = next[z] & jumpfrom_[z];
      if (hit.empty()) continue;
      next[z] = next[z].without(hit);
      hit.each([&](int b) { landings_.push_back(jumpto_[static_cast<std::size_t>(z * 256 + b)]); });
    }
    for (const landing& l : landings_) next[l.z].set(l.bit);
  }

  // The same flood for levels of many layers, in memory.
  int deepflood(int cap, int* nearestout, int waiting, const uint64_t* waitwords,
                const uint64_t* startwords) {
    const int layers = layers_;
    for (int z = 0; z < layers; ++z) {
      reached_[z] = layerbits::fromwords(startwords + z * 4);
      frontier_[z] = reached_[z];
      waitmask_[z] = layerbits::fromwords(waitwords + z * 4);
    }
    for (int d = 0;; ++d) {
      if (d > 0) {
        if (d - 1 >= cap) return kOutOfReach;
        for (int z = 0; z < layers; ++z) {
          const layerbits& f = frontier_[z];
          next_[z] = ((f.yprev() & enter_[0][z]) | (f.ynext() & enter_[1][z]) | (f.xprev() & enter_[2][z]) |
                      (f.xnext() & enter_[3][z]))
                         .without(blocked_[z]);
        }
        if (!jumps_.empty()) land(next_.data(), layers);
        bool any = false;
        for (int z = 0; z < layers; ++z) {
          next_[z] = next_[z].without(reached_[z]);
          reached_[z] |= next_[z];
          frontier_[z] = next_[z];
          any = any || !next_[z].empty();
        }
        if (!any) return kNever;
      }
      for (int z = 0; z < layers; ++z) {
        const layerbits hit = frontier_[z] & waitmask_[z];
        if (hit.empty()) continue;
        waitmask_[z] = waitmask_[z].without(hit);
        if (meet(hit, d, nearestout, waiting)) return bound(cap);
      }
    }
  }

  struct metstar {
    int x;
    int y;
    int dist;
  };
  struct star {
    int z;
    int bit;
    int cell;
  };
  struct landing {
    int z;
    int bit;
  };

  // Every star takes a step of its own, so the farthest star and the nearest plus one step per further
  // star are both bounds. Without teleporters a step moves one cell, so any route through the stars is
  // at least as long as the shortest tree joining the player (by flood distance) and the stars (by
  // grid distance, never more than the real one).
  int bound(int cap) {
    const int remaining = static_cast<int>(met_.size());
    const int best = std::max(met_.back().dist, met_.front().dist + remaining - 1);
    // Past the cap already: the tree can only add to that.
    if (!jumps_.empty() || best > cap) return best;
    return std::max(best, treebound());
  }

  // The shortest tree joining the player (by the distances in met_) and the stars of met_ (by grid distance).
  int treebound() {
    // Prim's algorithm; room for every star was made once, so nothing is allocated here.
    const std::size_t n = met_.size();
    int* tree = tree_.data();
    uint8_t* joined = joined_.data();
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
      tree[i] = met_[i].dist;
      joined[i] = 0;
      if (tree[i] < tree[next]) next = i;
    }
    int total = 0;
    for (std::size_t round = 0; round < n; ++round) {
      joined[next] = 1;
      total += tree[next];
      const int nx = met_[next].x;
      const int ny = met_[next].y;
      int shortest = kOutOfReach;
      for (std::size_t i = 0; i < n; ++i) {
        if (joined[i] != 0) continue;
        tree[i] = std::min(tree[i], std::abs(met_[i].x - nx) + std::abs(met_[i].y - ny));
        if (tree[i] < shortest) {
          shortest = tree[i];
          next = i;
        }
      }
    }
    return total;
  }

  const state_codec& codec_;
  int layers_ = 1;
  std::array<std::array<layerbits, level::size>, 4> enter_{};  // per step direction, the cells it may enter
  std::array<layerbits, level::size> jumpfrom_{};
  std::vector<landing> jumpto_;  // per layer and bit, where a sending teleporter there lands
  std::vector<uint8_t> keepsblocks_;
  std::vector<landing> jumps_;
  std::vector<star> stars_;
  std::vector<int16_t> keptat_;
  std::size_t keptbytes_ = 0;
  blockmasks blocked_{};
  std::array<layerbits, level::size> reached_{};
  std::array<layerbits, level::size> frontier_{};
  std::array<layerbits, level::size> next_{};
  std::array<layerbits, level::size> waitmask_{};  // remaining stars not met yet
  std::vector<landing> landings_;
  // The stars met, at most one entry per star: room for all is made once, so adding one is a store.
  struct metlist {
    std::vector<metstar> room;
    std::size_t count = 0;
    void clear() { count = 0; }
    void push_back(const metstar& m) { room[count++] = m; }
    bool empty() const { return count == 0; }
    std::size_t size() const { return count; }
    const metstar& operator[](std::size_t i) const { return room[i]; }
    const metstar& front() const { return room[0]; }
    const metstar& back() const { return room[count - 1]; }
    const metstar* begin() const { return room.data(); }
    const metstar* end() const { return room.data() + count; }
  };
  metlist met_;
  std::vector<int> tree_;
  std::vector<uint8_t> joined_;
};

// Decodes a stored state into current from the state decoded before it (decoded, which then becomes this
// one), and, when the search cuts, brings along the blocks that stay for good.
inline void DecodeState(const state_codec& codec, const reach_bound& bound, bool cuts,
                        std::span<const uint8_t> state, level& current, std::span<const uint8_t>& decoded,
                        blockmasks& kept) {
  codec.decode(state, current, decoded);
  if (cuts) {
    if (decoded.empty()) {
      bound.keptblocks(state, kept);
    } else {
      bound.updatekept(decoded, state, kept);
    }
  }
  decoded = state;
}

// Every state met, as bytes in one arena, with an open-addressing set of their indices.
class state_store {
 public:
  // A store that expects about expected states: its table and lists are made that large at once, so they
  // don't grow (and rehash) step by step.
  explicit state_store(std::size_t expected) {
    std::size_t slots = 1024;
    while (slots * 6 < expected * 10) slots *= 2;
    slots_.assign(slots, 0);
    where_.reserve(expected);
    lengths_.reserve(expected);
    parents_.reserve(expected);
    steps_.reserve(expected);
  }

  std::size_t size() const { return where_.size(); }
  std::span<const uint8_t> at(std::size_t i) const {
    const uint64_t w = where_[i];
    return {chunks_[w >> 32].get() + (w & 0xFFFFFFFFu), lengths_[i]};
  }
  uint32_t parent(std::size_t i) const { return parents_[i]; }
  // The step that led to state i, and which steps the player can take from it (bit s for step s).
  uint8_t step(std::size_t i) const { return steps_[i] & 3; }
  unsigned moves(std::size_t i) const { return steps_[i] >> 4; }
  // Everything the store holds, for the bytes per state.
  std::size_t bytes() const {
    return allocated_ + where_.capacity() * sizeof(uint64_t) + lengths_.capacity() * sizeof(uint16_t) +
           parents_.capacity() * sizeof(uint32_t) + steps_.capacity() + slots_.capacity() * sizeof(uint64_t);
  }

  // Starts fetching the slot a state of hash h looks at first, so a later contains() need not wait for it.
  void prefetch(uint64_t h) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[h & (slots_.size() - 1)]);
  }

  bool contains(std::span<const uint8_t> state, uint64_t h) const { return find(state, h) != npos; }

  // The index of a state of hash h, or npos.
  static constexpr std::size_t npos = ~std::size_t{0};
  std::size_t find(std::span<const uint8_t> state, uint64_t h) const {
    if (slots_.empty()) return npos;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = h & mask;; s = (s + 1) & mask) {
      const uint64_t slot = slots_[s];
      if (slot == 0) return npos;
      if ((slot >> 32) == (h >> 32)) {
        const std::size_t index = static_cast<uint32_t>(slot) - 1;
        const auto other = at(index);
        if (other.size() == state.size() && std::memcmp(other.data(), state.data(), state.size()) == 0)
          return index;
      }
    }
  }

  void add(std::span<const uint8_t> state, uint64_t h, uint32_t parent, uint8_t step, unsigned moves) {
    if ((size() + 1) * 10 > slots_.size() * 6) grow();
    // States live in large chunks that never move, so adding never copies the states already kept.
    if (chunks_.empty() || used_ + state.size() > chunksize_) {
      // Small searches stay small: chunks start at 16 KiB and double up to 1 MiB.
      if (!chunks_.empty()) chunksize_ = std::min(chunksize_ * 2, kChunk);
      // Left uninitialised, as make_unique_for_overwrite would (which the web build's library lacks).
      chunks_.push_back(std::unique_ptr<uint8_t[]>(new uint8_t[chunksize_]));
      allocated_ += chunksize_;
      used_ = 0;
    }
    std::memcpy(chunks_.back().get() + used_, state.data(), state.size());
    where_.push_back(static_cast<uint64_t>(chunks_.size() - 1) << 32 | used_);
    lengths_.push_back(static_cast<uint16_t>(state.size()));
    used_ += state.size();
    parents_.push_back(parent);
    steps_.push_back(static_cast<uint8_t>(step | moves << 4));
    place(h, static_cast<uint32_t>(size() - 1));
  }

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;

  void place(uint64_t h, uint32_t index) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = h & mask;
    while (slots_[s] != 0) s = (s + 1) & mask;
    slots_[s] = (h >> 32) << 32 | (static_cast<uint64_t>(index) + 1);
  }
  void grow() {
    slots_.assign(std::max<std::size_t>(1024, slots_.size() * 2), 0);
    for (std::size_t i = 0; i < size(); ++i) place(hashbytes(at(i)), static_cast<uint32_t>(i));
  }

  std::vector<std::unique_ptr<uint8_t[]>> chunks_;
  std::size_t used_ = 0;  // bytes used in the last chunk
  std::size_t chunksize_ = std::size_t{1} << 14;
  std::size_t allocated_ = 0;
  std::vector<uint64_t> where_;  // chunk << 32 | offset of each state
  std::vector<uint16_t> lengths_;
  std::vector<uint32_t> parents_;
  std::vector<uint8_t> steps_;  // step | moves << 4
  std::vector<uint64_t> slots_;
};

using clock_type = std::chrono::steady_clock;

double since(clock_type::time_point start) {
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

// The search's own time since it began. A caller that runs the search a slice at a time gives a pause hook:
// it is called whenever a slice is used up, the time spent in it is not the search's, and once it answers
// false the search's time is up.
class search_clock {
 public:
  explicit search_clock(const solver_limits& limits) : limits_(limits), began_(clock_type::now()), slice_(began_) {}

  double elapsed() {
    if (limits_.pause && !cancelled_) {
      const auto now = clock_type::now();
      if (std::chrono::duration<double>(now - slice_).count() >= limits_.slice_seconds) {
        cancelled_ = !limits_.pause();
        slice_ = clock_type::now();
        paused_ += slice_ - now;
      }
    }
    return cancelled_ ? std::numeric_limits<double>::infinity() : seconds();
  }
  // The time so far, without pausing.
  double seconds() const { return std::chrono::duration<double>(clock_type::now() - began_ - paused_).count(); }

 private:
  const solver_limits& limits_;
  clock_type::time_point began_;
  clock_type::time_point slice_;
  clock_type::duration paused_{};
  bool cancelled_ = false;
};

int collectedstars(const state_codec& codec, std::span<const uint8_t> state) {
  return static_cast<int>(codec.starcells().size()) - codec.starsleft(state);
}

constexpr std::size_t kMaxBeamWidth = 16384;

// Looks for any solution in the time left: keeps the width most promising states of each depth (most
// stars taken, then the nearest remaining star closest), wider each round while time remains.
struct beam_outcome {
  std::vector<uint8_t> steps;
  std::size_t states = 0;
};

beam_outcome BeamSearch(const level& start, int allowance, const state_codec& codec, reach_bound& bound,
                        double deadline, search_clock& clock) {
  beam_outcome best;
  struct node {
    level lvl;
    std::vector<uint8_t> steps;
    int stars = 0;
    int rank = 0;
  };
  std::vector<uint8_t> buffer;
  for (std::size_t width = 256; clock.elapsed() < deadline; width *= 4) {
    std::vector<node> beam;
    beam.push_back({start, {}, 0, 0});
    bool found = false;
    for (int depth = 0; depth < allowance && !beam.empty() && !found; ++depth) {
      if (!best.steps.empty() && depth + 1 >= static_cast<int>(best.steps.size())) break;
      std::vector<node> next;
      std::unordered_set<uint64_t> seen;
      for (const node& parent : beam) {
        if (clock.elapsed() >= deadline) return best;
        for (int s = 0; s < 4 && !found; ++s) {
          node child{parent.lvl, parent.steps, parent.stars, 0};
          const turn_result turn = PlayTurn(child.lvl, s);
          if (turn.moved == 0) continue;
          ++best.states;
          child.steps.push_back(static_cast<uint8_t>(s));
          child.stars += turn.stars;
          const play_state judged = Judge(child.lvl, child.stars, depth + 1, allowance);
          if (judged == play_state::won) {
            best.steps = child.steps;
            found = true;
            break;
          }
          if (judged != play_state::playing) continue;
          codec.encode(child.lvl, buffer);
          const uint64_t h = hashbytes(buffer);
          if (!seen.insert(h).second) continue;
          int nearest = 0;
          if (!bound.canwin(buffer, *child.lvl.playertile(), allowance - depth - 1, &nearest)) continue;
          child.rank = child.stars * 4096 - nearest;
          next.push_back(std::move(child));
        }
      }
      std::stable_sort(next.begin(), next.end(),
                       [](const node& a, const node& b) { return a.rank > b.rank; });
      if (next.size() > width) next.resize(width);
      beam = std::move(next);
    }
    // Every kept state is a whole level and each depth holds up to four children of each: stay in memory.
    if (width >= kMaxBeamWidth) break;
  }
  return best;
}

}  // namespace

void DropDissolvedPieces(level& lvl) {
  for (std::size_t i = 0; i < lvl.objs().size();) {
    const tile& piece = lvl.objs()[i];
    if (piece.id == kind::dissolvingtrail && piece.f == 1) {
      lvl.removeobj(i);
    } else {
      ++i;
    }
  }
}

turn_result PlayTurn(level& lvl, int step) {
  turn_result result;
  tile* player = lvl.playertile();
  if (player == nullptr || step < 0 || step > 3) return result;
  result.moved = player->Move(stepdx[step], stepdy[step], 0, lvl, 1, 1, 1, result.stars, result.jumps, 0);
  if (result.moved != 0) {
    lvl.updateobjs();
    DropDissolvedPieces(lvl);
  }
  return result;
}

namespace {

// The level play's last end test: no step would move the player.
bool trapped(level& lvl) {
  static constexpr int tries[4][2] = {{-1, 0}, {0, -1}, {0, 1}, {1, 0}};
  if (lvl.playertile() == nullptr) return true;
  for (const auto& t : tries) {
    if (lvl.playertile()->testmove(t[0], t[1], 0, lvl, 2) != 0) return false;
  }
  return true;
}

// Which steps would move the player: bit s for step digit s. None means trapped.
unsigned movablesteps(level& lvl) {
  unsigned moves = 0;
  tile* player = lvl.playertile();
  if (player == nullptr) return 0;
  for (int s = 0; s < 4; ++s) {
    if (lvl.playertile()->testmove(stepdx[s], stepdy[s], 0, lvl, 2) != 0) moves |= 1u << s;
  }
  return moves;
}

}  // namespace

play_state Judge(level& lvl, int stars, int moves, int allowance) {
  if (stars == lvl.totalstars) return play_state::won;
  if (moves >= allowance) return play_state::out_of_moves;
  return trapped(lvl) ? play_state::trapped : play_state::playing;
}

replay_outcome ReplaySteps(level lvl, int allowance, std::span<const uint8_t> steps) {
  replay_outcome out;
  out.state = Judge(lvl, 0, 0, allowance);
  for (const uint8_t s : steps) {
    if (out.state != play_state::playing) {
      ++out.unplayed;
      continue;
    }
    const turn_result turn = PlayTurn(lvl, s);
    out.stars += turn.stars;
    if (turn.moved != 0) {
      ++out.moves;
    } else {
      ++out.held;
    }
    out.state = Judge(lvl, out.stars, out.moves, allowance);
  }
  return out;
}

solve_result Solve(const level& start, int allowance, const solver_limits& limits) {
  search_clock clock(limits);
  solve_result result;
  auto finish = [&](solve_status status) {
    result.status = status;
    result.moves = static_cast<int>(result.steps.size());
    result.score = status == solve_status::solved || status == solve_status::best_found
                       ? 9 * start.totalstars - result.moves
                       : 0;
    result.seconds = clock.seconds();
    return result;
  };
  if (start.playertile() == nullptr) return finish(solve_status::no_player);

  level current = start;
  result.states = 1;
  switch (Judge(current, 0, 0, allowance)) {
    case play_state::won:
      return finish(solve_status::solved);
    case play_state::playing:
      break;
    default:
      return finish(solve_status::unsolvable);
  }

  const state_codec codec(start);
  reach_bound bound(start, codec);
  std::vector<uint8_t> buffer;
  codec.encode(start, buffer);
  const int least = limits.cuts ? bound.need(buffer, *start.playertile(), allowance) : 1;
  if (least > allowance) return finish(solve_status::unsolvable);

  // One breadth-first search for the shortest win within limit moves: 1 found (in result.steps), 0 none
  // within the limit, -1 out of budget. The breadth-first search gets most of the time, the beam search
  // what remains.
  const double bfsdeadline = limits.max_seconds * 0.8;
  std::size_t explored = 0;
  bool limited = false;  // the last search cut something only because of its move limit
  std::size_t lastsize = 0;
  auto finishstore = [&](const state_store& store) {
    explored += store.size();
    lastsize = store.size();
    if (store.size() > 0)
      result.bytes_per_state = static_cast<double>(store.bytes()) / static_cast<double>(store.size());
  };
  level first = start;
  const unsigned startmoves = movablesteps(first);
  auto search = [&](int limit) {
    limited = false;
    // A search with a larger limit keeps at least the states the last one kept.
    auto store = std::make_unique<state_store>(std::min(lastsize + lastsize / 4, limits.max_states));
    codec.encode(start, buffer);
    store->add(buffer, hashbytes(buffer), 0, 0, startmoves);
    // The children of one parent, played and encoded, waiting to be looked up and kept.
    struct batch {
      std::size_t parent = 0;
      int from = -1;
      int moves = 0;
      int count = 0;
      int ready[4] = {};
      bool cutonly[4] = {};  // cut already; looked up only to learn whether the limit did the cutting
      level children[4];
      std::vector<uint8_t> encoded[4];
      uint64_t hashes[4] = {};
    };
    auto batches = std::make_unique<batch[]>(2);
    level check;
    // The state current holds, in this search's store (whose chunks never move).
    std::span<const uint8_t> decoded;
    blockmasks childblocks{};
    blockmasks parentblocks{};  // the blocks of the decoded state that stay for good
    std::vector<uint8_t> childstars;
    // Looks the children up and keeps those that are new and can still win.
    auto settle = [&](batch& b) {
      for (int k = 0; k < b.count; ++k) {
        const int s = b.ready[k];
        level& child = b.children[s];
        const std::vector<uint8_t>& bytes = b.encoded[s];
        if (store->contains(bytes, b.hashes[s])) continue;
        if (b.cutonly[s]) {
          // A trapped child was never a candidate, so only an untrapped one was cut by the limit.
          if (!limited && !trapped(child)) limited = true;
          continue;
        }
        // The trapped test waits until the cut has let the child through: kept, a child gets all four of
        // its step tests at once, and its expansion reuses them.
        const unsigned moves = movablesteps(child);
        if (moves == 0) continue;
        if (limits.verify_states) {
          codec.decode(bytes, check);
          if (!(check == child)) ++result.codec_mismatches;
        }
        store->add(bytes, b.hashes[s], static_cast<uint32_t>(b.parent), static_cast<uint8_t>(s), moves);
      }
      b.count = 0;
    };
    // Each parent's children are played and encoded, and their hash slots fetched, while the children of
    // the parent before are looked up: the lookups into a large table then rarely wait for memory.
    int current_batch = 0;
    std::size_t begin = 0;
    for (int depth = 0; depth < limit; ++depth) {
      const std::size_t end = store->size();
      if (begin == end) break;
      for (std::size_t i = begin; i < end; ++i) {
        if ((i & 255) == 0 && clock.elapsed() > bfsdeadline) {
          result.limit = "time";
          finishstore(*store);
          return -1;
        }
        if (store->size() >= limits.max_states) {
          result.limit = "states";
          finishstore(*store);
          return -1;
        }
        batch& b = batches[current_batch];
        b.parent = i;
        b.moves = depth + 1;
        b.count = 0;
        // Chunks never move, so the parent's bytes stay where they are while children are added.
        const std::span<const uint8_t> state = store->at(i);
        DecodeState(codec, bound, limits.cuts, state, current, decoded, parentblocks);
        if (limits.verify_states) {
          codec.decode(state, check);
          if (!(check == current)) ++result.codec_mismatches;
          if (limits.cuts) {
            blockmasks fresh{};
            bound.keptblocks(state, fresh);
            for (int z = 0; z < codec.layers(); ++z) {
              if (!(fresh[z].without(parentblocks[z]) | parentblocks[z].without(fresh[z])).empty())
                ++result.codec_mismatches;
            }
          }
        }
        const tile* standing = current.playertile();
        b.from = standing == nullptr ? -1 : cellindex(standing->x, standing->y, standing->z);
        const int stars = collectedstars(codec, state);
        const unsigned moves = store->moves(i);
        for (int s = 0; s < 4; ++s) {
          // A step the rule book's own test refused when the state was kept would leave the copy unchanged:
          // don't make the copy.
          if (standing == nullptr || ((moves >> s) & 1) == 0) continue;
          level& child = b.children[s];
          child = current;
          // Every turn is played whole, as the level play plays it; the cut comes next, before the child
          // is encoded and looked up.
          const turn_result turn = PlayTurn(child, s);
          if (turn.moved == 0) continue;
          // The end tests in the level play's order; the trapped test, the dear one, waits until the child
          // is known to be new and not cut (a state already kept was never trapped).
          if (stars + turn.stars == child.totalstars) {
            result.steps.push_back(static_cast<uint8_t>(s));
            for (std::size_t at = i; at != 0; at = store->parent(at)) result.steps.push_back(store->step(at));
            std::reverse(result.steps.begin(), result.steps.end());
            finishstore(*store);
            return 1;
          }
          if (b.moves >= limit) {
            limited = true;  // out of moves
            continue;
          }
          b.cutonly[s] = false;
          if (limits.cuts) {
            // A child has its parent's blocks that stay for good and at most the one it left.
            std::copy_n(parentblocks.begin(), codec.layers(), childblocks.begin());
            bound.keepblock(child, b.from, childblocks);
            codec.starbits(child, childstars);
            const int needed = bound.need(childstars, childblocks, *child.playertile(), limit - b.moves);
            if (needed > limit - b.moves) {
              if (needed == reach_bound::kNever || limited) continue;
              b.cutonly[s] = true;
            }
          }
          codec.encodechild(child, state, b.from, b.encoded[s]);
          b.hashes[s] = hashbytes(b.encoded[s]);
          store->prefetch(b.hashes[s]);
          b.ready[b.count++] = s;
        }
        current_batch ^= 1;
        settle(batches[current_batch]);
      }
      // The last parent's children belong to this depth too.
      current_batch ^= 1;
      settle(batches[current_batch]);
      current_batch ^= 1;
      begin = end;
    }
    finishstore(*store);
    return 0;
  };

  // The cuts bite hardest when the limit is tight, and a breadth-first search finds the shortest win
  // within any limit: so search with a limit from the lower bound up, widening it until the allowance.
  int limit = limits.cuts ? std::max(least, 1) : allowance;
  for (;;) {
    const int found = search(limit);
    result.states = explored;
    if (found == 1) return finish(solve_status::solved);
    if (found == -1) break;
    // A search that the limit never held back is the same with any larger one.
    if (limit >= allowance || !limited) return finish(solve_status::unsolvable);
    ++limit;
  }

  const beam_outcome beam = BeamSearch(start, allowance, codec, bound, limits.max_seconds, clock);
  result.states += beam.states;
  result.steps = beam.steps;
  return finish(beam.steps.empty() ? solve_status::gave_up : solve_status::best_found);
}

exploration ExploreCells(const level& start, int allowance, std::span<const uint8_t> wanted,
                         const explore_limits& limits) {
  const auto began = clock_type::now();
  exploration out;
  out.entered.assign(level::maxcells, 0);
  auto finish = [&](bool complete) {
    out.complete = complete;
    out.seconds = since(began);
    return out;
  };
  const tile* player = start.playertile();
  if (player == nullptr) return finish(true);

  // The wanted cells no play has entered yet, as a count and as masks of the layers for the cut.
  std::size_t missing = 0;
  blockmasks targets{};
  for (std::size_t c = 0; c < wanted.size() && c < out.entered.size(); ++c) {
    if (wanted[c] == 0) continue;
    ++missing;
    targets[cellz(static_cast<int>(c))].set(layerbits::bit(cellx(static_cast<int>(c)), celly(static_cast<int>(c))));
  }
  auto enter = [&](int x, int y, int z) {
    if (!level::inside(x, y, z)) return;
    const int c = cellindex(x, y, z);
    if (out.entered[c] != 0) return;
    out.entered[c] = 1;
    if (static_cast<std::size_t>(c) < wanted.size() && wanted[c] != 0) {
      --missing;
      targets[z].flip(layerbits::bit(x, y));
    }
  };
  enter(player->x, player->y, player->z);
  level current = start;
  if (missing == 0 || Judge(current, 0, 0, allowance) != play_state::playing) return finish(true);

  const state_codec codec(start);
  reach_bound bound(start, codec);
  std::vector<uint8_t> buffer;
  state_store store(1024);
  codec.encode(start, buffer);
  store.add(buffer, hashbytes(buffer), 0, 0, movablesteps(current));
  std::span<const uint8_t> decoded;
  blockmasks parentblocks{};
  blockmasks childblocks{};
  level child;
  std::size_t begin = 0;
  for (int depth = 0; depth < allowance; ++depth) {
    const std::size_t end = store.size();
    if (begin == end) break;
    for (std::size_t i = begin; i < end; ++i) {
      if ((i & 255) == 0 && since(began) > limits.max_seconds) {
        out.limit = "time";
        out.states = store.size();
        return finish(false);
      }
      if (store.size() >= limits.max_states) {
        out.limit = "states";
        out.states = store.size();
        return finish(false);
      }
      const std::span<const uint8_t> state = store.at(i);
      DecodeState(codec, bound, limits.cuts, state, current, decoded, parentblocks);
      const tile* standing = current.playertile();
      if (standing == nullptr) continue;
      const int fx = standing->x;
      const int fy = standing->y;
      const int fz = standing->z;
      const int from = cellindex(fx, fy, fz);
      const int stars = collectedstars(codec, state);
      const unsigned moves = store.moves(i);
      for (int s = 0; s < 4; ++s) {
        if (((moves >> s) & 1) == 0) continue;
        child = current;
        const turn_result turn = PlayTurn(child, s);
        if (turn.moved == 0) continue;
        // The cell stepped onto, and where a teleporter there carried the player.
        enter(fx + stepdx[s], fy + stepdy[s], fz);
        const tile* landed = child.playertile();
        if (landed == nullptr) continue;
        enter(landed->x, landed->y, landed->z);
        if (missing == 0) {
          out.states = store.size();
          return finish(true);
        }
        // A win or the last allowed move ends the play.
        if (stars + turn.stars == child.totalstars || depth + 1 >= allowance) continue;
        if (limits.cuts) {
          std::copy_n(parentblocks.begin(), codec.layers(), childblocks.begin());
          bound.keepblock(child, from, childblocks);
          if (bound.reachtarget(childblocks, *landed, targets, allowance - depth - 1) > allowance - depth - 1)
            continue;
        }
        codec.encodechild(child, state, from, buffer);
        const uint64_t h = hashbytes(buffer);
        if (store.contains(buffer, h)) continue;
        const unsigned next = movablesteps(child);
        if (next == 0) continue;
        store.add(buffer, h, static_cast<uint32_t>(i), static_cast<uint8_t>(s), next);
      }
    }
    begin = end;
  }
  out.states = store.size();
  return finish(true);
}

forgiveness_figures Forgiveness(const level& start, int allowance, const explore_limits& limits) {
  const auto began = clock_type::now();
  forgiveness_figures out;
  auto finish = [&](bool complete) {
    out.complete = complete;
    out.seconds = since(began);
    return out;
  };
  level current = start;
  if (start.playertile() == nullptr) return finish(true);
  switch (Judge(current, 0, 0, allowance)) {
    case play_state::won:
      return finish(true);
    case play_state::playing:
      break;
    default:
      out.positions = 1;
      return finish(true);
  }
  // Positions are states with the moves taken: the same state reached later may have too few moves left.
  // Every position's children come a move later, so they are kept after it, and the positions can be
  // judged from the last one kept back to the first.
  const state_codec codec(start);
  std::vector<uint8_t> buffer;
  state_store store(1024);
  std::vector<uint32_t> children;  // four a position, kNone where a step doesn't lead to a kept one
  std::vector<uint8_t> winnable;   // 1 where a step wins at once; later, where a win is still possible
  constexpr uint32_t kNone = 0xFFFFFFFFu;
  auto keep = [&](const level& lvl, int depth, unsigned moves) -> uint32_t {
    codec.encode(lvl, buffer);
    buffer.push_back(static_cast<uint8_t>(depth));
    buffer.push_back(static_cast<uint8_t>(depth >> 8));
    const uint64_t h = hashbytes(buffer);
    const std::size_t met = store.find(buffer, h);
    if (met != state_store::npos) return static_cast<uint32_t>(met);
    store.add(buffer, h, 0, 0, moves);
    children.insert(children.end(), 4, kNone);
    winnable.push_back(0);
    return static_cast<uint32_t>(store.size() - 1);
  };
  (void)keep(current, 0, movablesteps(current));
  std::span<const uint8_t> decoded;
  level child;
  std::size_t begin = 0;
  for (int depth = 0; depth < allowance; ++depth) {
    const std::size_t end = store.size();
    if (begin == end) break;
    for (std::size_t i = begin; i < end; ++i) {
      if (((i & 255) == 0 && since(began) > limits.max_seconds) || store.size() >= limits.max_states) {
        out.limit = store.size() >= limits.max_states ? "states" : "time";
        out.positions = store.size();
        return finish(false);
      }
      const unsigned moves = store.moves(i);
      if (moves == 0) continue;  // lost: trapped or out of moves
      const std::span<const uint8_t> state = store.at(i);
      codec.decode(state.first(state.size() - 2), current, decoded);
      decoded = state.first(state.size() - 2);
      const int stars = collectedstars(codec, state);
      for (int s = 0; s < 4; ++s) {
        if (((moves >> s) & 1) == 0) continue;
        child = current;
        const turn_result turn = PlayTurn(child, s);
        if (turn.moved == 0) continue;
        if (stars + turn.stars == child.totalstars) {
          winnable[i] = 1;
          continue;
        }
        // A position that has lost keeps no steps to take.
        const unsigned next = depth + 1 >= allowance ? 0 : movablesteps(child);
        children[i * 4 + static_cast<std::size_t>(s)] = keep(child, depth + 1, next);
      }
    }
    begin = end;
  }
  for (std::size_t i = store.size(); i-- > 0;) {
    for (int s = 0; s < 4 && winnable[i] == 0; ++s) {
      const uint32_t c = children[i * 4 + static_cast<std::size_t>(s)];
      if (c != kNone && winnable[c] != 0) winnable[i] = 1;
    }
  }
  out.positions = store.size();
  out.winnable = static_cast<std::size_t>(std::count(winnable.begin(), winnable.end(), uint8_t{1}));
  return finish(true);
}

std::string StepArrows(std::span<const uint8_t> steps) {
  static constexpr const char* arrows[4] = {"\u2191", "\u2193", "\u2190", "\u2192"};
  std::string out;
  for (const uint8_t s : steps) out += s < 4 ? arrows[s] : "?";
  return out;
}

std::string StepDigits(std::span<const uint8_t> steps) {
  std::string out;
  for (const uint8_t s : steps) out += static_cast<char>(s < 4 ? '0' + s : '?');
  return out;
}

const char* StatusName(solve_status status) {
  switch (status) {
    case solve_status::solved:
      return "solved";
    case solve_status::unsolvable:
      return "unsolvable";
    case solve_status::best_found:
      return "best found";
    case solve_status::gave_up:
      return "gave up";
    case solve_status::no_player:
      return "no player";
  }
  return "?";
}

}  // namespace dusk
