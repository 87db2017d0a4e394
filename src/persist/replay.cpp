// A replay: the steps of one attempt at a level, packed four to a byte, and its file form.
#include "persist/replay.h"

#include <string>

#include "platform/files.h"
#include "platform/stream.h"
#include "worlds/world_paths.h"

namespace dusk {

replay_state replays;

namespace {

bool Stored(int i) {
  return i >= 0 && i < replay::kStoredSteps;
}

unsigned Shift(int i) {
  return 2u * static_cast<unsigned>(i % 4);
}

// The number of the last data byte the file holds for a count of steps, the division truncating.
int LastDataByte(int maxindex) {
  return (maxindex - 1) / 4 + 1;
}

int32_t CheckValue(int onmove, int maxindex, const std::array<uint8_t, replay::arraysize>& data, int last) {
  int32_t check = onmove / 4 + maxindex;
  for (int i = 0; i <= last; ++i) check += static_cast<int32_t>(data[i] << (i % 4));
  return check;
}

}  // namespace

int replay::add(int v) {
  set(onmove, v);
  ++onmove;
  maxindex = onmove;
  return 0;
}

int replay::grab() const {
  return get(onmove);
}

int replay::seek(int n) {
  onmove = n;
  return 0;
}

int replay::set(int i, int v) {
  if (!Stored(i)) return 0;
  // Unsigned, so any v wraps within the byte as the addition modulo 256 does.
  uint8_t& byte = data[i / 4];
  byte = static_cast<uint8_t>(byte + (static_cast<unsigned>(v) << Shift(i)));
  return 0;
}

int replay::reset(int i, int v) {
  set0(i);
  return set(i, v);
}

int replay::set0(int i) {
  if (!Stored(i)) return 0;
  uint8_t& byte = data[i / 4];
  byte = static_cast<uint8_t>(byte & ~(3u << Shift(i)));
  return 0;
}

int replay::get(int i) const {
  if (!Stored(i)) return -1;
  return (data[i / 4] >> Shift(i)) & 3;
}

int replay::save(stream* out) const {
  if (!out) return 0;
  // The counts are checked as the file stores them, in 16 bits, so that read computes the same check.
  const int stored_onmove = onmove & 0xFFFF;
  const int stored_maxindex = maxindex & 0xFFFF;
  if (maxindex < 0 || maxindex > kMaxFileSteps) return 0;
  const int last = LastDataByte(stored_maxindex);
  out->WriteShort(stored_onmove);
  out->WriteShort(stored_maxindex);
  out->WriteBytes(data.data(), static_cast<size_t>(last) + 1);
  out->WriteInt(CheckValue(stored_onmove, stored_maxindex, data, last));
  return 1;
}

std::optional<replay> replay::read(stream* in) {
  if (!in || in->Remaining() < 4) return std::nullopt;
  replay r;
  r.onmove = in->ReadShort();
  r.maxindex = in->ReadShort();
  if (r.maxindex > kMaxFileSteps) return std::nullopt;
  const int last = LastDataByte(r.maxindex);
  if (in->Remaining() < last + 1 + 4) return std::nullopt;
  for (int i = 0; i <= last; ++i) r.data[i] = static_cast<uint8_t>(in->ReadByte());
  if (in->ReadInt() != CheckValue(r.onmove, r.maxindex, r.data, last)) return std::nullopt;
  return r;
}

int replay::output(stream* out) const {
  if (!out) return 0;
  // Steps past the stored ones have no code to show.
  std::string digits;
  for (int i = 0; i < maxindex && Stored(i); ++i) digits.push_back(static_cast<char>('0' + get(i)));
  out->WriteBytes(reinterpret_cast<const uint8_t*>(digits.data()), digits.size());
  return 0;
}

bool SaveReplayFile(const replay& r, int w, int l) {
  auto body = OpenMemoryWrite();
  if (!r.save(body.get())) return false;
  return WriteFileAtomically(ReplayPath(w, l), body->TakeBytes());
}

std::optional<replay> LoadReplayFile(int w, int l) {
  stream_ptr in = OpenRead(ReplayPath(w, l));
  if (!in) return std::nullopt;
  return replay::read(in.get());
}

}  // namespace dusk
