// Test doubles of the platform seam: everything is recorded for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zw_platform.h"

struct ZW_DrawCall {
  int src[4];
  int dst[4];
  ZW_Texture texture;
  float angle;
};

struct ZW_TextCall {
  int font;
  float x, y;
  uint32_t colour;
  std::string text;
};

struct ZW_PlatformDouble {
  double now = 0;
  ZW_MemoryStatus memory = {0, 0};
  std::vector<std::string> messageBoxes;
  std::vector<std::string> debugOutput;
  std::vector<ZW_DrawCall> draws;
  std::vector<ZW_TextCall> texts;
  std::vector<std::vector<uint8_t>> createdTextures;
  float sampleRed = -1;  // red channel of every texel; negative: unreadable
  // With columns given: the red channel of each column of a texture of
  // textureSize texels (a texel outside it is unreadable).
  std::vector<float> redOfColumn;
  int textureSize[2] = {1024, 1024};
  std::vector<ZW_Texture> released;
  int textLists = 0;
  int sampledAt[2] = {-1, -1};
  int exitCalls = 0;
  int texturesLoaded = 0;
};

extern ZW_PlatformDouble zwDouble;

// Resets the double and every program-wide record to start-up values.
void ZW_ResetAll();
