// Lag-8 multiply-with-carry generator with a fixed default state, a way back
// to that state (for repeatable patterns) and a way to stir a number in.
#ifndef OMBRITH_UTIL_RANDOM_H
#define OMBRITH_UTIL_RANDOM_H

#include <cstdint>

class Random {
public:
  Random();
  uint32_t rnd();
  double frnd();
  void reset();
  void stir(int v);
  void init();

  uint32_t state[8];
  uint32_t carry;
  int index;
  uint32_t seed_state[8];
  uint32_t seed_carry;
  int seed_index;
};

extern Random system_random_generator;

uint32_t xrand();
int xrand(int n);
float frand();
void xrand_stir(int v);
void xrand_initialize();
void xrand_test_reset();

#endif
