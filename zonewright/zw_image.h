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

struct ZW_Matrix {
  float m[4][4];
};

// Left-handed view and projection matrices, row vectors (the Direct3D layout).
void ZW_MatrixLookAtLH(ZW_Matrix* anOut, const float anEye[3], const float anAt[3], const float anUp[3]);
void ZW_MatrixPerspectiveFovLH(ZW_Matrix* anOut, float aFovY, float anAspect, float aNear, float aFar);
