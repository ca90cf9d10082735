// The imported map: its paths and the three values read from its Juice file,
// and the crop rectangle (the playfield) in map-image pixels and world units.
#pragma once

#include <cstddef>

enum {
  ZW_PATH_SIZE = 260,
  ZW_MAP_PIXELS = 512,       // the overview image is 512 by 512 pixels
  ZW_WORLD_SIZE = 3072,      // ... for 3072 by 3072 world units, 6 a pixel
  ZW_WORLD_PER_PIXEL = 6,
  ZW_MAX_MAP_FILE = 1 << 24  // a larger map file is not read
};

struct ZW_Crop {
  float left, top, right, bottom;                  // map-image pixels
  int worldLeft, worldTop, worldRight, worldBottom;
  int x1, x2, y1, y2;                              // the thirds
  int cx, cy;                                      // the centre
};

struct ZW_MapPaths {
  char instancesPath[ZW_PATH_SIZE];
  char basePath[ZW_PATH_SIZE];
  char heightMapPath[ZW_PATH_SIZE];
  char overviewPath[ZW_PATH_SIZE];
  char mapFilePath[ZW_PATH_SIZE];
};

struct ZW_MapValues {
  char mapName[ZW_PATH_SIZE];
  char landscape[ZW_PATH_SIZE];
  char environment[ZW_PATH_SIZE];
};

struct ZW_Map {
  ZW_MapPaths paths;    // empty until the first import
  ZW_MapValues values;
  ZW_Crop crop;
};

extern ZW_Map zwMap;

// Empty map values and the initial crop rectangle.
void ZW_MapReset();

// The crop rectangle at its initial pixels 84, 84, 429, 429 (world 500 to 2578).
void ZW_CropInit(ZW_Crop* aCrop);
// World values from the pixels with their limits, then the thirds and the centre.
void ZW_CropUpdateWorld(ZW_Crop* aCrop);

// The crop rectangle of a playfield given in world units: the pixels are the
// world values / 6, each the float whose world value (pixels x 6, truncated)
// is that value again, so that the crop editing keeps it. The limits 500 and
// 2578 too: pixel 83.33 keeps world 500, where the initial pixel 84 would give
// 504 at the first frame.
void ZW_CropFromWorld(ZW_Crop* aCrop, int aLeft, int aTop, int aRight, int aBottom);
// True when the crop editing keeps the world values of ZW_CropFromWorld as
// they are (their limits and rounding would change no value).
bool ZW_CropKeepsWorld(int aLeft, int aTop, int aRight, int aBottom);

// Paths of a map from its instances file: false when the name is shorter than
// "Instances.juice" or a derived path would not fit.
bool ZW_MapDerivePaths(const char* anInstancesPath, ZW_MapPaths* aPaths);

// The map name, landscape and environment from the bytes of a map file; false
// when the file holds fewer marks than the scans need or a value is too long.
bool ZW_MapReadValues(const unsigned char* aData, size_t aSize, ZW_MapValues* aValues);

// Reads a whole file into memory (at most ZW_MAX_MAP_FILE bytes); false when it
// cannot be opened or read.
bool ZW_ReadWholeFile(const char* aPath, unsigned char** aData, size_t* aSize);
