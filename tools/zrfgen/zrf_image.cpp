// Draws the resource image: the cell font first, then the control images,
// which win where they overlap a glyph cell.
#include "zrf_image.h"

#include <cmath>
#include <cstring>

#include "zw_cellfont.h"

namespace {

struct Colour {
  uint8_t r, g, b;
};

const Colour kMagenta = {255, 0, 255};
const Colour kOutline = {34, 38, 48};
const Colour kPanel = {206, 210, 219};
const Colour kFrameBody = {72, 79, 96};
const Colour kFrameLight = {150, 158, 176};
const Colour kCropLine = {255, 214, 64};

uint8_t* gPixels;

void Put(int x, int y, Colour c) {
  if (x < 0 || y < 0 || x >= ZRF_SIZE || y >= ZRF_SIZE) {
    return;
  }
  uint8_t* p = gPixels + (y * ZRF_SIZE + x) * 4;
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
  p[3] = 255;
}

void Fill(int aLeft, int aTop, int aRight, int aBottom, Colour c) {
  for (int y = aTop; y < aBottom; y++) {
    for (int x = aLeft; x < aRight; x++) {
      Put(x, y, c);
    }
  }
}

Colour Mix(Colour a, Colour b, float t) {
  return {(uint8_t)(a.r + (b.r - a.r) * t + 0.5f), (uint8_t)(a.g + (b.g - a.g) * t + 0.5f),
          (uint8_t)(a.b + (b.b - a.b) * t + 0.5f)};
}

// --- Control images ---------------------------------------------------------

// A rectangular push button with rounded corners, w by h texels.
void Button(int aLeft, int aTop, int w, int h, bool aPressed) {
  Colour locTop = aPressed ? Colour{150, 160, 182} : Colour{246, 248, 251};
  Colour locBottom = aPressed ? Colour{184, 192, 210} : Colour{196, 202, 214};
  Colour locEdgeHigh = aPressed ? Colour{118, 126, 146} : Colour{255, 255, 255};
  Colour locEdgeLow = aPressed ? Colour{196, 203, 218} : Colour{160, 167, 182};
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      bool locCorner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);
      Colour c;
      if (locCorner) {
        c = kMagenta;
      } else if (x == 0 || y == 0 || x == w - 1 || y == h - 1) {
        c = kOutline;
      } else if (y == 1) {
        c = locEdgeHigh;
      } else if (y == h - 2) {
        c = locEdgeLow;
      } else {
        c = Mix(locTop, locBottom, (float)(y - 2) / (float)(h - 4));
      }
      Put(aLeft + x, aTop + y, c);
    }
  }
}

// The round help button: a light disc with a blue ring.
void HelpButton(int aLeft, int aTop, int aSize) {
  float c = (aSize - 1) / 2.0f;
  for (int y = 0; y < aSize; y++) {
    for (int x = 0; x < aSize; x++) {
      float d = std::sqrt((x - c) * (x - c) + (y - c) * (y - c));
      Colour col = kMagenta;
      if (d <= c + 0.4f) {
        col = kOutline;
      }
      if (d <= c - 0.6f) {
        col = {78, 124, 206};
      }
      if (d <= c - 2.6f) {
        col = Mix({250, 251, 253}, {200, 208, 224}, (float)y / (float)aSize);
      }
      Put(aLeft + x, aTop + y, col);
    }
  }
}

// A frame piece, 7 by 7: dark outer line, body, light inner line. aOuterX and
// aOuterY give the sides (-1 left/top, 1 right/bottom, 0 none) that face out.
void FramePiece(int aLeft, int aTop, int aOuterX, int aOuterY) {
  for (int y = 0; y < 7; y++) {
    for (int x = 0; x < 7; x++) {
      int dx = aOuterX < 0 ? x : aOuterX > 0 ? 6 - x : 99;
      int dy = aOuterY < 0 ? y : aOuterY > 0 ? 6 - y : 99;
      Colour c = kFrameBody;
      if (dx == 0 || dy == 0) {
        c = (dx == 0 && dy == 0) ? kMagenta : kOutline;
      } else if ((dx == 6 && dy >= 6) || (dy == 6 && dx >= 6)) {
        c = kOutline;
      } else if (dx == 1 || dy == 1) {
        c = kFrameLight;
      }
      Put(aLeft + x, aTop + y, c);
    }
  }
}

// The landing zone marker, 31 by 31: a green pad with a white H.
void LandingZone(int aLeft, int aTop) {
  const float cx = 15.0f, cy = 14.0f;
  for (int y = 0; y < 31; y++) {
    for (int x = 0; x < 31; x++) {
      float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
      Colour c = kMagenta;
      if (d <= 13.5f) {
        c = {16, 52, 28};
      }
      if (d <= 12.3f) {
        c = {82, 204, 110};
      }
      if (d <= 9.8f) {
        c = {38, 124, 66};
      }
      Put(aLeft + x, aTop + y, c);
    }
  }
  for (int y = 0; y < 14; y++) {
    for (int x = 0; x < 10; x++) {
      if (ZW_CellGlyphBit('H', x / 2, y / 2)) {
        Put(aLeft + 10 + x, aTop + 7 + y, {250, 252, 250});
      }
    }
  }
}

bool InsideStar(float x, float y, float cx, float cy, float aOuter, float anInner) {
  float px[10], py[10];
  for (int i = 0; i < 10; i++) {
    float r = (i % 2) ? anInner : aOuter;
    float a = -1.5707963f + i * 0.62831853f;
    px[i] = cx + r * std::cos(a);
    py[i] = cy + r * std::sin(a);
  }
  bool locInside = false;
  for (int i = 0, j = 9; i < 10; j = i++) {
    if ((py[i] > y) != (py[j] > y) &&
        x < (px[j] - px[i]) * (y - py[i]) / (py[j] - py[i]) + px[i]) {
      locInside = !locInside;
    }
  }
  return locInside;
}

// The victory location marker, 32 by 32: a gold star.
void VictoryLocation(int aLeft, int aTop) {
  for (int y = 0; y < 32; y++) {
    for (int x = 0; x < 32; x++) {
      float sx = x + 0.5f, sy = y + 0.5f;
      Colour c = kMagenta;
      if (InsideStar(sx, sy, 16.0f, 17.0f, 16.0f, 7.0f)) {
        c = {92, 58, 8};
      }
      if (InsideStar(sx, sy, 16.0f, 17.0f, 12.8f, 5.4f)) {
        c = sy < 16.0f ? Colour{255, 222, 92} : Colour{240, 184, 36};
      }
      Put(aLeft + x, aTop + y, c);
    }
  }
}

// The map texture switch, 136 by 24: a wide button with a swap sign at its right.
void TextureSwitch(int aLeft, int aTop) {
  Button(aLeft, aTop, 136, 24, false);
  const Colour locIcon = {58, 66, 84};
  int x0 = aLeft + 114, y0 = aTop + 6;
  for (int i = 0; i < 14; i++) {
    Put(x0 + i, y0 + 3, locIcon);   // upper arrow, pointing right
    Put(x0 + i, y0 + 9, locIcon);   // lower arrow, pointing left
  }
  for (int i = 1; i <= 3; i++) {
    Put(x0 + 13 - i, y0 + 3 - i, locIcon);
    Put(x0 + 13 - i, y0 + 3 + i, locIcon);
    Put(x0 + i, y0 + 9 - i, locIcon);
    Put(x0 + i, y0 + 9 + i, locIcon);
  }
}

// The handle bar, 7 by 13 from row 26: its top five rows are the bottom-right
// corner of the landing zone marker and stay transparent.
void HandleBar(int aLeft, int aTop) {
  Fill(aLeft, aTop, aLeft + 7, aTop + 5, kMagenta);
  for (int y = 5; y < 13; y++) {
    Colour c = y == 5 ? kOutline : y == 6 ? kFrameLight : y == 12 ? kOutline : kFrameBody;
    Fill(aLeft, aTop + y, aLeft + 7, aTop + y + 1, c);
  }
}

}  // namespace

void ZRF_Draw(uint8_t* aPixels) {
  gPixels = aPixels;
  Fill(0, 0, ZRF_SIZE, ZRF_SIZE, kMagenta);
  ZW_CellFontDraw(gPixels, ZRF_SIZE);
  // Crop lines: single texels at (97, 0) and (96, 1), with a margin of the same
  // colour so that filtering finds no other colour next to them.
  Fill(95, 0, 100, 4, kCropLine);
  // Text backgrounds and the right-hand panel.
  Fill(67, 3, 77, 13, kPanel);
  Button(0, 16, 48, 24, false);
  Button(48, 16, 48, 24, true);
  HelpButton(98, 16, 23);
  // The map frame: corners, top and bottom edges, left and right edges.
  FramePiece(0, 64, -1, -1);
  FramePiece(8, 64, 0, -1);
  FramePiece(16, 64, 1, -1);
  FramePiece(0, 72, -1, 0);
  FramePiece(16, 72, 1, 0);
  FramePiece(0, 80, -1, 1);
  FramePiece(8, 80, 0, 1);
  FramePiece(16, 80, 1, 1);
  TextureSwitch(0, 88);
  LandingZone(192, 0);
  HandleBar(216, 26);
  VictoryLocation(224, 0);
  gPixels = nullptr;
}
