// The resource image: control images at their texel rectangles, the cell font
// around them, magenta elsewhere.
#include <gtest/gtest.h>

#include <vector>

#include "zrf_image.h"

namespace {

class ZrfImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    myPixels.resize(ZRF_SIZE * ZRF_SIZE * 4);
    ZRF_Draw(myPixels.data());
  }
  bool Magenta(int x, int y) const {
    const uint8_t* p = &myPixels[(y * ZRF_SIZE + x) * 4];
    return p[0] == 255 && p[1] == 0 && p[2] == 255;
  }
  // Opaque texels in the rectangle (right and bottom exclusive).
  int Opaque(int l, int t, int r, int b) const {
    int n = 0;
    for (int y = t; y < b; y++) {
      for (int x = l; x < r; x++) {
        n += Magenta(x, y) ? 0 : 1;
      }
    }
    return n;
  }
  std::vector<uint8_t> myPixels;
};

TEST_F(ZrfImageTest, StretchedImagesAreFullyOpaque) {
  EXPECT_EQ(1, Opaque(97, 0, 98, 1));
  EXPECT_EQ(1, Opaque(96, 1, 97, 2));
  EXPECT_EQ(64, Opaque(68, 4, 76, 12));
  EXPECT_EQ(7 * 7, Opaque(8, 64, 15, 71));   // top edge
  EXPECT_EQ(7 * 7, Opaque(0, 72, 7, 79));    // left edge
  EXPECT_EQ(7 * 8, Opaque(216, 31, 223, 39));  // handle bar below the marker
}

TEST_F(ZrfImageTest, ButtonsAndMarkersHaveTransparentCornersOnly) {
  EXPECT_EQ(48 * 24 - 4, Opaque(0, 16, 48, 40));
  EXPECT_EQ(48 * 24 - 4, Opaque(48, 16, 96, 40));
  EXPECT_EQ(136 * 24 - 4, Opaque(0, 88, 136, 112));
  EXPECT_TRUE(Magenta(98, 16));
  EXPECT_FALSE(Magenta(109, 27));  // help button centre
  EXPECT_TRUE(Magenta(192, 0));
  EXPECT_FALSE(Magenta(207, 14));  // landing zone centre
  EXPECT_TRUE(Magenta(224, 0));
  EXPECT_FALSE(Magenta(240, 17));  // victory location centre
  // The marker and the handle bar share texels 216..222 x 26..30: both leave them clear.
  EXPECT_EQ(0, Opaque(216, 26, 223, 31));
}

TEST_F(ZrfImageTest, CellFontGlyphsSitInTheirCells) {
  EXPECT_EQ(0, Opaque(0, 32, 16, 48) - Opaque(0, 32, 16, 40));  // space: only the button
  for (int c : {'0', '7', 'F', 'M', 'x', ':', '('}) {
    int l = (c & 15) * 16, t = (c >> 4) * 16;
    EXPECT_GT(Opaque(l, t, l + 16, t + 16), 10) << (char)c;
  }
  // Code 127 and the control codes are left empty where no control image is.
  EXPECT_EQ(0, Opaque(240, 112, 256, 128));
  EXPECT_EQ(0, Opaque(0, 0, 16, 16));
}

}  // namespace
