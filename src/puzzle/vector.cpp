// The cell vector: a plain triple with copy, compare and print.
#include "puzzle/vector.h"

#include <iostream>

namespace dusk {

vector vector::Create(int x, int y, int z) {
  return vector{x, y, z};
}

int vector::Set(const vector& other) {
  x = other.x;
  y = other.y;
  z = other.z;
  return 0;
}

int vector::Equal(const vector& a, const vector& b) {
  return a == b ? 1 : 0;
}

int vector::Locate(int newx, int newy, int newz) {
  x = newx;
  y = newy;
  z = newz;
  return 0;
}

int vector::output() const {
  std::cout << x << ',' << y << ',' << z << '\n';
  return 0;
}

}  // namespace dusk
