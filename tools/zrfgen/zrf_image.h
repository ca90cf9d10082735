// The wizard's resource image: a 256 by 256 RGBA picture holding the cell
// font (16 by 8 cells of 16 texels for codes 0 to 127 in the top-left 256 by
// 128 texels) and every control image at its texel rectangle. Magenta
// (255, 0, 255) is transparent.
#pragma once

#include <cstdint>

enum { ZRF_SIZE = 256 };

// Fills aPixels (ZRF_SIZE x ZRF_SIZE x 4 bytes, rows top-down, RGBA).
void ZRF_Draw(uint8_t* aPixels);
