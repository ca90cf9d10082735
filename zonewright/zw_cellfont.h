// The 16 by 8 cell font of the statistics text (codes 0 to 127, 16 by 16
// texels each), shared by the resource image and the renderer's own cell font
// texture.
#pragma once

#include <cstdint>

enum { ZW_CELL_FONT_WIDTH = 256, ZW_CELL_FONT_HEIGHT = 128 };

// True where the 5 by 7 glyph of a code has a dot.
bool ZW_CellGlyphBit(int aCode, int aColumn, int aRow);

// Draws the glyphs (opaque texels only) into an RGBA picture aWidth texels
// wide and at least 128 rows high; other texels stay as they are.
void ZW_CellFontDraw(uint8_t* aPixels, int aWidth);
