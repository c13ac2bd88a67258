// The built-in pictures: the game's logo, the scroll-lock padlock and five
// status icons, held in the program as PNG data and decoded at start-up.
#ifndef OMBRITH_GFX_IMAGES_H
#define OMBRITH_GFX_IMAGES_H

#include <cstddef>

#include "gfx/bitmap.h"

// The bytes of the embedded picture assets/<name>.png, or null (size 0)
// when there is none. Generated at build time.
const unsigned char *embedded_asset(const char *name, size_t *size);

enum { ICON_UNWIELD = 0, ICON_SLEEP = 1, ICON_BURN = 2, ICON_SHOCK = 3, ICON_SICKEN = 4, ICON_COUNT = 5 };

// Filled by construct_all_images() and kept for the life of the program.
extern vesk_bitmap *ombrith_logo_bitmap; // 192 x 43
extern vesk_bitmap *lock_bitmap;         // 21 x 21
extern vesk_bitmap *icon_bitmaps[ICON_COUNT]; // 17 x 17 each

// Decodes the seven pictures (registering the toolkit's PNG handler if that
// has not been done). A picture that cannot be decoded becomes a fully
// transparent bitmap of its size, with a log message.
void construct_all_images();

#endif
