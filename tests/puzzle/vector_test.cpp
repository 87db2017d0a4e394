// The cell vector: value operations and its printed line.
#include "puzzle/vector.h"

#include <gtest/gtest.h>

namespace dusk {
namespace {

TEST(Vector, CreateSetLocateKeepAllThreeFields) {
  vector v;
  EXPECT_EQ(v, vector::Create(0, 0, 0));
  v.Set(vector::Create(1, -2, 3));
  EXPECT_EQ(v, vector::Create(1, -2, 3));
  v.Locate(7, 8, 9);
  EXPECT_EQ(v.x, 7);
  EXPECT_EQ(v.y, 8);
  EXPECT_EQ(v.z, 9);
}

TEST(Vector, EqualComparesEveryField) {
  const vector a = vector::Create(1, 2, 3);
  EXPECT_EQ(vector::Equal(a, vector::Create(1, 2, 3)), 1);
  EXPECT_EQ(vector::Equal(a, vector::Create(1, 2, 4)), 0);
  EXPECT_EQ(vector::Equal(a, vector::Create(1, 3, 3)), 0);
  EXPECT_EQ(vector::Equal(a, vector::Create(0, 2, 3)), 0);
}

TEST(Vector, OutputWritesOneLine) {
  ::testing::internal::CaptureStdout();
  vector::Create(-1, 0, 14).output();
  vector::Create(3, 4, 0).output();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "-1,0,14\n3,4,0\n");
}

}  // namespace
}  // namespace dusk
