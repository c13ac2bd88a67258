#include "util/random.h"

#include <cmath>
#include <cstring>
#include <ctime>

static const uint32_t default_state[8] = {0x075BCD15, 0x36DBBB70, 0xE036180F, 0x863B2622,
                                          0x57F36F19, 0x8B808DA4, 0x5F697CB3, 0x49F49A76};
static const uint32_t default_carry = 362436;

Random system_random_generator;

Random::Random()
{
  init();
  std::memcpy(seed_state, state, sizeof(state));
  seed_carry = carry;
  seed_index = index;
}

void Random::init()
{
  std::memcpy(state, default_state, sizeof(state));
  carry = default_carry;
  index = 0;
}

uint32_t Random::rnd()
{
  uint64_t t = (uint64_t)state[index] * 809430660u + carry;
  carry = (uint32_t)(t >> 32);
  uint32_t out = (uint32_t)t;
  state[index] = out;
  index = (index + 1) & 7;
  return out;
}

double Random::frnd() { return (double)(rnd() >> 1) * (1.0 / 2147483648.0); }

void Random::reset()
{
  std::memcpy(state, seed_state, sizeof(state));
  carry = seed_carry;
  index = seed_index;
}

void Random::stir(int v)
{
  uint32_t x = (uint32_t)v;
  for (int k = 0; k < 8; ++k) {
    x = 1664525u * x + 1013904223u;
    state[k] ^= x;
  }
  for (int k = 0; k < 8; ++k)
    rnd();
}

uint32_t xrand() { return system_random_generator.rnd(); }

int xrand(int n)
{
  // 16 random bits scaled by n in 32-bit arithmetic; the product wraps (as a
  // 32-bit multiply does) instead of overflowing for n above 32767.
  int32_t product = (int32_t)((system_random_generator.rnd() & 0xFFFFu) * (uint32_t)n);
  return product >> 16;
}

float frand()
{
  // The largest draws lie closer to 1 than any float below it and would round
  // up to 1.0f; hold them below 1 so that callers can scale into a range.
  float f = (float)system_random_generator.frnd();
  return f < 1.0f ? f : std::nextafter(1.0f, 0.0f);
}

void xrand_stir(int v) { system_random_generator.stir(v); }

void xrand_initialize() { system_random_generator.stir((int)std::time(nullptr)); }

void xrand_test_reset() { system_random_generator.init(); }
