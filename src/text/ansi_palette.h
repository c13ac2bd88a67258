// The four text palettes. Each holds eight colour groups of three entries
// (dim, normal, bold) as 0xRRGGBB, in the group order white, red, yellow,
// green, cyan, blue, magenta, default.
#ifndef OMBRITH_TEXT_ANSI_PALETTE_H
#define OMBRITH_TEXT_ANSI_PALETTE_H

enum {
  ANSI_GROUP_WHITE = 0,
  ANSI_GROUP_RED = 1,
  ANSI_GROUP_YELLOW = 2,
  ANSI_GROUP_GREEN = 3,
  ANSI_GROUP_CYAN = 4,
  ANSI_GROUP_BLUE = 5,
  ANSI_GROUP_MAGENTA = 6,
  ANSI_GROUP_DEFAULT = 7,
};
enum { ANSI_ENTRY_DIM = 0, ANSI_ENTRY_NORMAL = 1, ANSI_ENTRY_BOLD = 2 };

extern const int ansi_color_default[24];
extern const int ansi_color_bright[24];
extern const int ansi_color_zmud[24];
extern const int ansi_color_gmud[24];

// The palette in use.
extern const int *ansi_palette;

// The table for a font colour setting: 0 default, 1 bright, 2 ZMud-style,
// 3 GMud-style; anything else gives the default table.
const int *ansi_palette_for_setting(int setting);
void set_ansi_palette(int setting);

// Group of a colour code (0 default, 49-55 for the foreground codes 31-37),
// or -1 for an unknown code.
int ansi_group_for_code(int code);

#endif
