#include "zw_image.h"

#include <cmath>
#include <cstring>
#include <utility>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_MAX_DIMENSIONS 8192
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#include <stb_image.h>

namespace {

int NextPowerOfTwo(int n) {
  int p = 1;
  while (p < n) {
    p <<= 1;
  }
  return p;
}

}  // namespace

bool ZW_DecodeImage(const char* aPath, uint32_t aColourKey, bool aPowerOfTwo, ZW_Image* anImage) {
  int w = 0, h = 0, n = 0;
  stbi_uc* locData = stbi_load(aPath, &w, &h, &n, 4);
  if (!locData) {
    return false;
  }
  ZW_Image locPicture;
  locPicture.width = w;
  locPicture.height = h;
  locPicture.pixels.resize((size_t)w * h);
  for (size_t i = 0; i < locPicture.pixels.size(); i++) {
    const stbi_uc* p = locData + i * 4;
    uint32_t locArgb = (uint32_t)p[3] << 24 | (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
    locPicture.pixels[i] = locArgb == aColourKey ? 0 : locArgb;
  }
  stbi_image_free(locData);
  if (aPowerOfTwo) {
    ZW_PadImage(locPicture, anImage);
  } else {
    *anImage = std::move(locPicture);
  }
  return true;
}

void ZW_PadImage(const ZW_Image& aPicture, ZW_Image* aPadded) {
  aPadded->width = NextPowerOfTwo(aPicture.width);
  aPadded->height = NextPowerOfTwo(aPicture.height);
  aPadded->pixels.assign((size_t)aPadded->width * aPadded->height, 0);
  for (int y = 0; y < aPicture.height; y++) {
    memcpy(&aPadded->pixels[(size_t)y * aPadded->width], &aPicture.pixels[(size_t)y * aPicture.width],
           (size_t)aPicture.width * sizeof(uint32_t));
  }
}

bool ZW_ImageTexel(const ZW_Image& anImage, int anX, int aY, float aValues[4]) {
  if (anX < 0 || aY < 0 || anX >= anImage.width || aY >= anImage.height) {
    return false;
  }
  uint32_t t = anImage.pixels[(size_t)aY * anImage.width + anX];
  aValues[0] = ((t >> 16) & 0xFF) * 0.003921569f;
  aValues[1] = ((t >> 8) & 0xFF) * 0.003921569f;
  aValues[2] = (t & 0xFF) * 0.003921569f;
  aValues[3] = ((t >> 24) & 0xFF) * 0.003921569f;
  return true;
}

void ZW_MatrixLookAtLH(ZW_Matrix* anOut, const float anEye[3], const float anAt[3], const float anUp[3]) {
  float z[3] = {anAt[0] - anEye[0], anAt[1] - anEye[1], anAt[2] - anEye[2]};
  float locLength = std::sqrt(z[0] * z[0] + z[1] * z[1] + z[2] * z[2]);
  if (locLength > 0) {
    for (float& v : z) v /= locLength;
  }
  float x[3] = {anUp[1] * z[2] - anUp[2] * z[1], anUp[2] * z[0] - anUp[0] * z[2],
                anUp[0] * z[1] - anUp[1] * z[0]};
  locLength = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
  if (locLength > 0) {
    for (float& v : x) v /= locLength;
  }
  float y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
  memset(anOut, 0, sizeof(*anOut));
  for (int i = 0; i < 3; i++) {
    anOut->m[i][0] = x[i];
    anOut->m[i][1] = y[i];
    anOut->m[i][2] = z[i];
  }
  anOut->m[3][0] = -(x[0] * anEye[0] + x[1] * anEye[1] + x[2] * anEye[2]);
  anOut->m[3][1] = -(y[0] * anEye[0] + y[1] * anEye[1] + y[2] * anEye[2]);
  anOut->m[3][2] = -(z[0] * anEye[0] + z[1] * anEye[1] + z[2] * anEye[2]);
  anOut->m[3][3] = 1.0f;
}

void ZW_MatrixPerspectiveFovLH(ZW_Matrix* anOut, float aFovY, float anAspect, float aNear, float aFar) {
  float locYScale = 1.0f / std::tan(aFovY / 2.0f);
  memset(anOut, 0, sizeof(*anOut));
  anOut->m[0][0] = locYScale / anAspect;
  anOut->m[1][1] = locYScale;
  anOut->m[2][2] = aFar / (aFar - aNear);
  anOut->m[2][3] = 1.0f;
  anOut->m[3][2] = -aNear * aFar / (aFar - aNear);
}
