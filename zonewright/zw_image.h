// Image decoding for textures (PNG, TGA, BMP and what else stb_image reads)
// and the matrix helpers of the renderer.
#pragma once

#include <cstdint>
#include <vector>

struct ZW_Image {
  int width;
  int height;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top-down
};

// Decodes an image file into A8R8G8B8. Opaque texels equal to aColourKey
// become transparent black. With aPowerOfTwo the image is padded to the next
// powers of two (transparent black), the picture kept at the top left.
bool ZW_DecodeImage(const char* aPath, uint32_t aColourKey, bool aPowerOfTwo, ZW_Image* anImage);
// A copy of aPicture padded to the next powers of two (transparent black),
// the picture at the top left.
void ZW_PadImage(const ZW_Image& aPicture, ZW_Image* aPadded);
// The pixel (x, y): red, green, blue, alpha as 0 to 1 (each byte times
// 0.003921569). False outside the picture; aValues then stays as it was.
bool ZW_ImageTexel(const ZW_Image& anImage, int anX, int aY, float aValues[4]);

struct ZW_Matrix {
  float m[4][4];
};

// Left-handed view and projection matrices, row vectors (the Direct3D layout).
void ZW_MatrixLookAtLH(ZW_Matrix* anOut, const float anEye[3], const float anAt[3], const float anUp[3]);
void ZW_MatrixPerspectiveFovLH(ZW_Matrix* anOut, float aFovY, float anAspect, float aNear, float aFar);
