// A colour value: three signed 32-bit components meant to hold 0-255. Only
// the low 8 bits of a component reach a pixel. There is no alpha.
#ifndef OMBRITH_GFX_COLOR_H
#define OMBRITH_GFX_COLOR_H

#include <cstdint>

struct vesk_color {
  int32_t red;
  int32_t green;
  int32_t blue;

  constexpr vesk_color() : red(0), green(0), blue(0) {}
  constexpr vesk_color(int32_t r, int32_t g, int32_t b) : red(r), green(g), blue(b) {}

  constexpr bool operator==(const vesk_color &o) const { return red == o.red && green == o.green && blue == o.blue; }
  constexpr bool operator!=(const vesk_color &o) const { return !(*this == o); }
};

inline constexpr vesk_color vesk_RED(255, 0, 0);
inline constexpr vesk_color vesk_YELLOW(255, 255, 0);
inline constexpr vesk_color vesk_GREEN(0, 255, 0);
inline constexpr vesk_color vesk_CYAN(0, 255, 255);
inline constexpr vesk_color vesk_BLUE(0, 0, 255);
inline constexpr vesk_color vesk_PURPLE(255, 0, 255);
inline constexpr vesk_color vesk_BLACK(0, 0, 0);
inline constexpr vesk_color vesk_DARK_GREY(64, 64, 64);
inline constexpr vesk_color vesk_GREY(128, 128, 128);
inline constexpr vesk_color vesk_LIGHT_GREY(192, 192, 192);
inline constexpr vesk_color vesk_WHITE(255, 255, 255);

#endif
