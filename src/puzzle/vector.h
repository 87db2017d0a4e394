// An integer cell position kept as a value: the door cells a switch toggles, pixel position lists.
#pragma once

#include <cstdint>

namespace dusk {

class vector {
 public:
  int32_t x = 0;
  int32_t y = 0;
  int32_t z = 0;

  static vector Create(int x, int y, int z);
  int Set(const vector& other);
  static int Equal(const vector& a, const vector& b);
  int Locate(int x, int y, int z);
  // Writes "x,y,z" and a line break to standard output.
  int output() const;

  friend bool operator==(const vector&, const vector&) = default;
};

}  // namespace dusk
