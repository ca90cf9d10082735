// Image decoding with the colour key, power-of-two padding, matrices.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "kc_test_support.h"
#include "zw_image.h"

namespace {

// A 3 by 2 BMP, 24 bits, bottom-up rows padded to 4 bytes: the top row holds
// red, magenta, blue; the bottom row white, black, magenta.
const unsigned char kBmp[] = {
    'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,            // file header
    40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,          // info header
    0, 0, 0, 0, 24, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    255, 255, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0,              // bottom row (B, G, R)
    0, 0, 255, 255, 0, 255, 255, 0, 0, 0, 0, 0,                // top row
};

std::string WriteFile(const char* aName, const unsigned char* aBytes, size_t aSize) {
  std::string locPath = KC_TestScratchFolder() + "/" + aName;
  EXPECT_TRUE(WriteWholeFile(locPath, std::string((const char*)aBytes, aSize)));
  return locPath;
}

TEST(ImageTest, DecodesWithTheColourKeyAndPadding) {
  std::string locPath = WriteFile("zw_key.bmp", kBmp, sizeof(kBmp));
  ZW_Image locImage;
  ASSERT_TRUE(ZW_DecodeImage(locPath.c_str(), 0xFFFF00FF, false, &locImage));
  ASSERT_EQ(3, locImage.width);
  ASSERT_EQ(2, locImage.height);
  EXPECT_EQ(0xFFFF0000u, locImage.pixels[0]);
  EXPECT_EQ(0x00000000u, locImage.pixels[1]);  // magenta became transparent black
  EXPECT_EQ(0xFF0000FFu, locImage.pixels[2]);
  EXPECT_EQ(0xFFFFFFFFu, locImage.pixels[3]);
  EXPECT_EQ(0xFF000000u, locImage.pixels[4]);
  EXPECT_EQ(0x00000000u, locImage.pixels[5]);

  ASSERT_TRUE(ZW_DecodeImage(locPath.c_str(), 0xFFFF00FF, true, &locImage));
  ASSERT_EQ(4, locImage.width);
  ASSERT_EQ(2, locImage.height);
  EXPECT_EQ(0xFFFFFFFFu, locImage.pixels[4]);
  EXPECT_EQ(0u, locImage.pixels[3]);
}

// A square height map as the game's editor saves it: uncompressed 24-bit TGA,
// rows top-down; red is the column, green the row (each modulo 251).
std::string WriteHeightMap(int aSide) {
  std::string locBytes(18, '\0');
  locBytes[2] = 2;
  locBytes[12] = (char)(aSide & 0xFF);
  locBytes[13] = (char)(aSide >> 8);
  locBytes[14] = locBytes[12];
  locBytes[15] = locBytes[13];
  locBytes[16] = 24;
  locBytes[17] = 0x20;
  locBytes.reserve(18 + (size_t)aSide * aSide * 3);
  for (int y = 0; y < aSide; y++) {
    for (int x = 0; x < aSide; x++) {
      locBytes += '\0';
      locBytes += (char)(y % 251);
      locBytes += (char)(x % 251);
    }
  }
  std::string locPath = KC_TestScratchFolder() + "/zw_height" + std::to_string(aSide) + ".tga";
  EXPECT_TRUE(WriteWholeFile(locPath, locBytes));
  return locPath;
}

// A height map of any size is sampled as read, to its last column and row;
// the texture's padded copy keeps the picture at its top left.
TEST(ImageTest, HeightMapsOfAnySizeAreSampledToTheirLastPixel) {
  for (int locSide : {513, 2048}) {
    SCOPED_TRACE(locSide);
    ZW_Image locPicture;
    ASSERT_TRUE(ZW_DecodeImage(WriteHeightMap(locSide).c_str(), 0xFFFF00FF, false, &locPicture));
    ASSERT_EQ(locSide, locPicture.width);
    ASSERT_EQ(locSide, locPicture.height);
    const int locLast = locSide - 1;
    for (int locColumn : {0, 700 % locSide, 1500 % locSide, locLast}) {
      float v[4] = {-1, -1, -1, -1};
      ASSERT_TRUE(ZW_ImageTexel(locPicture, locColumn, locLast, v));
      EXPECT_FLOAT_EQ((locColumn % 251) * 0.003921569f, v[0]);
      EXPECT_FLOAT_EQ((locLast % 251) * 0.003921569f, v[1]);
      EXPECT_FLOAT_EQ(0.0f, v[2]);
      EXPECT_FLOAT_EQ(1.0f, v[3]);
    }
    float v[4] = {-1, -1, -1, -1};
    EXPECT_FALSE(ZW_ImageTexel(locPicture, locSide, 0, v));
    EXPECT_FALSE(ZW_ImageTexel(locPicture, 0, locSide, v));
    EXPECT_FALSE(ZW_ImageTexel(locPicture, -1, 0, v));
    EXPECT_FLOAT_EQ(-1.0f, v[0]);  // nothing read, the values stay

    ZW_Image locPadded;
    ZW_PadImage(locPicture, &locPadded);
    const int locPaddedSide = locSide == 513 ? 1024 : 2048;
    ASSERT_EQ(locPaddedSide, locPadded.width);
    ASSERT_EQ(locPaddedSide, locPadded.height);
    EXPECT_EQ(locPicture.pixels[(size_t)locLast * locSide + locLast],
              locPadded.pixels[(size_t)locLast * locPaddedSide + locLast]);
    if (locPaddedSide > locSide) {
      EXPECT_EQ(0u, locPadded.pixels[(size_t)locLast * locPaddedSide + locSide]);
      EXPECT_EQ(0u, locPadded.pixels[(size_t)locSide * locPaddedSide]);
    }
  }
}

TEST(ImageTest, RejectsMissingAndBrokenFiles) {
  ZW_Image locImage;
  EXPECT_FALSE(ZW_DecodeImage("no/such/image.png", 0xFFFF00FF, false, &locImage));
  std::string locPath = WriteFile("zw_cut.bmp", kBmp, 30);
  EXPECT_FALSE(ZW_DecodeImage(locPath.c_str(), 0xFFFF00FF, false, &locImage));
}

TEST(ImageTest, ViewAndProjectionMatrices) {
  ZW_Matrix m;
  const float locEye[3] = {0, 0, -5}, locAt[3] = {0, 0, 0}, locUp[3] = {0, 1, 0};
  ZW_MatrixLookAtLH(&m, locEye, locAt, locUp);
  EXPECT_FLOAT_EQ(1.0f, m.m[0][0]);
  EXPECT_FLOAT_EQ(1.0f, m.m[1][1]);
  EXPECT_FLOAT_EQ(1.0f, m.m[2][2]);
  EXPECT_FLOAT_EQ(5.0f, m.m[3][2]);
  EXPECT_FLOAT_EQ(1.0f, m.m[3][3]);

  ZW_MatrixPerspectiveFovLH(&m, 0.7853982f, 1.3333f, 1.0f, 200.0f);
  EXPECT_NEAR(2.4142135f, m.m[1][1], 1e-5);
  EXPECT_NEAR(2.4142135f / 1.3333f, m.m[0][0], 1e-5);
  EXPECT_FLOAT_EQ(200.0f / 199.0f, m.m[2][2]);
  EXPECT_FLOAT_EQ(1.0f, m.m[2][3]);
  EXPECT_FLOAT_EQ(-200.0f / 199.0f, m.m[3][2]);
  EXPECT_FLOAT_EQ(0.0f, m.m[3][3]);
}

}  // namespace
