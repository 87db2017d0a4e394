// A packed array of bits with a stream form, for flag tables stored in files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace dusk {

class booldata {
 public:
  int size = 0;               // the number of bits
  std::vector<uint8_t> data;  // size div 8 + 1 bytes; bit n is bit n mod 8 of byte n div 8

  static booldata Create(int n);
  int resize(int n);
  int set(int n, int v);  // v is 0 or 1
  int get(int n) const;
  int write(stream& out) const;
  // Reads the stream form; a stream too short for the size ends in the stream's read error, without
  // allocating for the size first.
  static booldata read(stream& in);
  std::string str() const;
};

}  // namespace dusk
