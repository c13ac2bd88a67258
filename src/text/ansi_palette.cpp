#include "text/ansi_palette.h"

// dim, normal, bold for white, red, yellow, green, cyan, blue, magenta, default.
const int ansi_color_default[24] = {
    0x606060, 0xA0A0A0, 0xFFFFFF,  // white
    0x550000, 0xAA0000, 0xFF5555,  // red
    0x774000, 0xAA8800, 0xFFFF55,  // yellow
    0x005500, 0x00AA00, 0x55FF55,  // green
    0x008060, 0x0080AA, 0x40FFFF,  // cyan
    0x000088, 0x0000CC, 0x5050FF,  // blue
    0x550088, 0xAA00CC, 0xFF40FF,  // magenta
    0x606060, 0xA0A0A0, 0xFFFFFF,  // default
};

const int ansi_color_bright[24] = {
    0x404040, 0xCCCCCC, 0xFFFFFF,  // white
    0x800000, 0xCC0000, 0xFF8080,  // red
    0x808000, 0xCCCC00, 0xFFFF80,  // yellow
    0x008000, 0x00CC00, 0x80FF80,  // green
    0x008080, 0x00CCCC, 0x80FFFF,  // cyan
    0x000080, 0x0000CC, 0x8080FF,  // blue
    0x800080, 0xCC00CC, 0xFF80FF,  // magenta
    0x404040, 0xCCCCCC, 0xFFFFFF,  // default
};

const int ansi_color_zmud[24] = {
    0x404040, 0x808080, 0xFFFFFF,  // white
    0x400000, 0x800000, 0xFF0000,  // red
    0x404000, 0x808000, 0xFFFF00,  // yellow
    0x008000, 0x00B300, 0x00FF00,  // green
    0x004040, 0x008080, 0x00FFFF,  // cyan
    0x000040, 0x000080, 0x0000FF,  // blue
    0x400040, 0x800080, 0xFF00FF,  // magenta
    0x404040, 0x808080, 0xFFFFFF,  // default
};

// Normal white is the brightest entry here and bold white a grey.
const int ansi_color_gmud[24] = {
    0x404040, 0xFFFFFF, 0x808080,  // white
    0x400000, 0x800000, 0xFF0000,  // red
    0x404000, 0x808000, 0xFFFF00,  // yellow
    0x008000, 0x00B300, 0x00FF00,  // green
    0x004040, 0x008080, 0x00FFFF,  // cyan
    0x000040, 0x000080, 0x0000FF,  // blue
    0x400040, 0x800080, 0xFF00FF,  // magenta
    0x404040, 0xFFFFFF, 0x808080,  // default
};

const int *ansi_palette = ansi_color_default;

const int *ansi_palette_for_setting(int setting)
{
  switch (setting) {
  case 1:
    return ansi_color_bright;
  case 2:
    return ansi_color_zmud;
  case 3:
    return ansi_color_gmud;
  default:
    return ansi_color_default;
  }
}

void set_ansi_palette(int setting) { ansi_palette = ansi_palette_for_setting(setting); }

int ansi_group_for_code(int code)
{
  switch (code) {
  case 0:
    return ANSI_GROUP_DEFAULT;
  case 49:
    return ANSI_GROUP_RED;
  case 50:
    return ANSI_GROUP_GREEN;
  case 51:
    return ANSI_GROUP_YELLOW;
  case 52:
    return ANSI_GROUP_BLUE;
  case 53:
    return ANSI_GROUP_MAGENTA;
  case 54:
    return ANSI_GROUP_CYAN;
  case 55:
    return ANSI_GROUP_WHITE;
  default:
    return -1;
  }
}
