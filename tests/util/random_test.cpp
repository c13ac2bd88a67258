// The multiply-with-carry generator and the process-wide draw functions.
#include <gtest/gtest.h>

#include <vector>

#include "util/random.h"

static std::vector<uint32_t> draws(Random &r, int n)
{
  std::vector<uint32_t> out;
  for (int i = 0; i < n; ++i)
    out.push_back(r.rnd());
  return out;
}

TEST(Random, FirstStepFromDefaultState)
{
  Random r;
  EXPECT_EQ(r.rnd(), 0xBF1ACC98u);
  EXPECT_EQ(r.carry, 23266698u);
  EXPECT_EQ(r.index, 1);
  EXPECT_EQ(r.state[0], 0xBF1ACC98u);
}

TEST(Random, ResetReturnsToTheConstructedSequence)
{
  Random r;
  std::vector<uint32_t> first = draws(r, 40);
  r.reset();
  EXPECT_EQ(draws(r, 40), first);

  r.stir(12345);
  std::vector<uint32_t> stirred = draws(r, 40);
  EXPECT_NE(stirred, first);
  r.reset();
  EXPECT_EQ(draws(r, 40), first);

  Random a, b;
  a.stir(777);
  b.stir(777);
  EXPECT_EQ(draws(a, 40), draws(b, 40));

  // init() restores the default state but not by way of the saved copy.
  a.init();
  EXPECT_EQ(draws(a, 40), first);
}

TEST(Random, DrawFunctionRanges)
{
  xrand_test_reset();
  bool seen[16] = {};
  for (int i = 0; i < 2000; ++i) {
    int v = xrand(16);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 16);
    seen[v] = true;
    ASSERT_EQ(xrand(1), 0);
    int big = xrand(32767);
    ASSERT_GE(big, 0);
    ASSERT_LT(big, 32767);
    float f = frand();
    ASSERT_GE(f, 0.0f);
    ASSERT_LT(f, 1.0f);
  }
  for (bool s : seen)
    EXPECT_TRUE(s);
}

TEST(Random, FrandStaysBelowOneForTheLargestDraw)
{
  // A zero word with an all-ones carry makes the next output 0xFFFFFFFF, whose
  // double value rounds to 1.0f in single precision.
  Random &g = system_random_generator;
  g.state[g.index] = 0;
  g.carry = 0xFFFFFFFFu;
  float f = frand();
  EXPECT_LT(f, 1.0f);
  EXPECT_GT(f, 0.99f);
  xrand_test_reset();
}
