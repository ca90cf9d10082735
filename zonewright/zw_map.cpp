// Map paths, the reads of the map file and the crop rectangle arithmetic.
#include "zw_map.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

ZW_Map zwMap;

namespace {

const char kInstancesSuffix[] = "Instances.juice";
const size_t kInstancesSuffixLength = sizeof(kInstancesSuffix) - 1;

// A scan over the bytes of the map file; every step stops at the end.
struct Scan {
  const unsigned char* data;
  size_t size;
  size_t pos;

  // Moves past the n-th next occurrence of the byte.
  bool SkipPast(unsigned char aByte, int aCount) {
    while (aCount > 0) {
      if (pos >= size) {
        return false;
      }
      if (data[pos++] == aByte) {
        aCount--;
      }
    }
    return true;
  }

  // Moves past the next tab followed by "m".
  bool SkipPastTabM() {
    while (pos + 1 < size) {
      if (data[pos] == '\t' && data[pos + 1] == 'm') {
        pos += 2;
        return true;
      }
      pos++;
    }
    pos = size;
    return false;
  }

  // Collects up to and including the next tab followed by "m" and keeps the
  // text without its last four characters (carriage return, line feed, tab, "m").
  bool CollectToTabM(char* aValue) {
    size_t locStart = pos;
    if (!SkipPastTabM() || pos - locStart < 4) {
      return false;
    }
    return Keep(locStart, pos - locStart - 4, aValue);
  }

  bool Keep(size_t aStart, size_t aLength, char* aValue) {
    if (aLength >= ZW_PATH_SIZE) {
      return false;
    }
    memcpy(aValue, data + aStart, aLength);
    aValue[aLength] = '\0';
    return true;
  }
};

bool Format(char* aTarget, const char* aFormat, const char* aBase) {
  int locLength = snprintf(aTarget, ZW_PATH_SIZE, aFormat, aBase);
  return locLength >= 0 && locLength < ZW_PATH_SIZE;
}

void ComputeThirds(ZW_Crop* aCrop);

// A pixel's world value: pixel x 6 as a float, truncated. The product is kept
// as a float (not in the x87 unit's wider precision), so that every build and
// every caller truncates the same value.
int WorldOf(float aPixel) {
  volatile float locWorld = aPixel * ZW_WORLD_PER_PIXEL;
  return (int)locWorld;
}

}  // namespace

void ZW_MapReset() {
  memset(&zwMap, 0, sizeof(zwMap));
  ZW_CropInit(&zwMap.crop);
}

void ZW_CropInit(ZW_Crop* aCrop) {
  memset(aCrop, 0, sizeof(*aCrop));
  aCrop->left = aCrop->top = 84;
  aCrop->right = aCrop->bottom = 429;
  aCrop->worldLeft = aCrop->worldTop = 500;
  aCrop->worldRight = aCrop->worldBottom = 2578;
  ComputeThirds(aCrop);
}

void ZW_CropUpdateWorld(ZW_Crop* aCrop) {
  aCrop->worldLeft = WorldOf(aCrop->left);
  aCrop->worldTop = WorldOf(aCrop->top);
  aCrop->worldRight = WorldOf(aCrop->right);
  aCrop->worldBottom = WorldOf(aCrop->bottom);
  if (aCrop->worldLeft < 499) {
    aCrop->worldLeft = 500;
    aCrop->left = 84;
  }
  if (aCrop->worldTop < 499) {
    aCrop->worldTop = 500;
    aCrop->top = 84;
  }
  if (aCrop->worldRight > 2576 && aCrop->worldRight != 2578) {
    aCrop->worldRight = 2578;
    aCrop->right = 429;
  }
  if (aCrop->worldBottom > 2576 && aCrop->worldBottom != 2578) {
    aCrop->worldBottom = 2578;
    aCrop->bottom = 429;
  }
  ComputeThirds(aCrop);
}

namespace {

// The pixel whose world value is aWorld.
float PixelOf(int aWorld) {
  float p = (float)aWorld / ZW_WORLD_PER_PIXEL;
  for (int i = 0; i < 8 && WorldOf(p) < aWorld; i++) {
    p = nextafterf(p, 1.0e9f);
  }
  for (int i = 0; i < 8 && WorldOf(p) > aWorld; i++) {
    p = nextafterf(p, -1.0e9f);
  }
  return p;
}

}  // namespace

void ZW_CropFromWorld(ZW_Crop* aCrop, int aLeft, int aTop, int aRight, int aBottom) {
  memset(aCrop, 0, sizeof(*aCrop));
  aCrop->left = PixelOf(aLeft);
  aCrop->top = PixelOf(aTop);
  aCrop->right = PixelOf(aRight);
  aCrop->bottom = PixelOf(aBottom);
  aCrop->worldLeft = aLeft;
  aCrop->worldTop = aTop;
  aCrop->worldRight = aRight;
  aCrop->worldBottom = aBottom;
  ComputeThirds(aCrop);
}

bool ZW_CropKeepsWorld(int aLeft, int aTop, int aRight, int aBottom) {
  ZW_Crop locCrop;
  ZW_CropFromWorld(&locCrop, aLeft, aTop, aRight, aBottom);
  ZW_Crop locEdited = locCrop;
  ZW_CropUpdateWorld(&locEdited);
  return locCrop.left <= locCrop.right && locCrop.top <= locCrop.bottom && locCrop.right <= ZW_MAP_PIXELS &&
         locCrop.bottom <= ZW_MAP_PIXELS && locEdited.worldLeft == aLeft && locEdited.worldTop == aTop &&
         locEdited.worldRight == aRight && locEdited.worldBottom == aBottom;
}

namespace {

void ComputeThirds(ZW_Crop* aCrop) {
  int locWidth = aCrop->worldRight - aCrop->worldLeft;
  int locHeight = aCrop->worldBottom - aCrop->worldTop;
  aCrop->x1 = aCrop->worldLeft + locWidth / 3;
  aCrop->x2 = aCrop->worldRight - locWidth / 3;
  aCrop->y1 = aCrop->worldTop + locHeight / 3;
  aCrop->y2 = aCrop->worldBottom - locHeight / 3;
  aCrop->cx = aCrop->worldLeft + locWidth / 2;
  aCrop->cy = aCrop->worldTop + locHeight / 2;
}

}  // namespace

bool ZW_MapDerivePaths(const char* anInstancesPath, ZW_MapPaths* aPaths) {
  size_t locLength = strlen(anInstancesPath);
  if (locLength < kInstancesSuffixLength || locLength >= ZW_PATH_SIZE) {
    return false;
  }
  ZW_MapPaths locPaths;
  memcpy(locPaths.instancesPath, anInstancesPath, locLength + 1);
  memcpy(locPaths.basePath, anInstancesPath, locLength - kInstancesSuffixLength);
  locPaths.basePath[locLength - kInstancesSuffixLength] = '\0';
  if (!Format(locPaths.heightMapPath, "%sHeightmap.tga", locPaths.basePath) ||
      !Format(locPaths.overviewPath, "%sOverviewmap.tga", locPaths.basePath) ||
      !Format(locPaths.mapFilePath, "%s.juice", locPaths.basePath)) {
    return false;
  }
  *aPaths = locPaths;
  return true;
}

bool ZW_MapReadValues(const unsigned char* aData, size_t aSize, ZW_MapValues* aValues) {
  ZW_MapValues locValues;
  // Map name: after the second "/", up to the next "/".
  Scan locScan = {aData, aSize, 0};
  if (!locScan.SkipPast('/', 2)) {
    return false;
  }
  size_t locStart = locScan.pos;
  if (!locScan.SkipPast('/', 1) || !locScan.Keep(locStart, locScan.pos - locStart - 1, locValues.mapName)) {
    return false;
  }
  // Landscape: after the 15th "/", the next tab-"m" and the next space.
  locScan.pos = 0;
  if (!locScan.SkipPast('/', 15) || !locScan.SkipPastTabM() || !locScan.SkipPast(' ', 1)) {
    return false;
  }
  size_t locAfterSpace = locScan.pos;
  if (!locScan.CollectToTabM(locValues.landscape)) {
    return false;
  }
  // Environment: as the landscape, then one more tab-"m" and one more space.
  locScan.pos = locAfterSpace;
  if (!locScan.SkipPastTabM() || !locScan.SkipPast(' ', 1) || !locScan.CollectToTabM(locValues.environment)) {
    return false;
  }
  *aValues = locValues;
  return true;
}

bool ZW_ReadWholeFile(const char* aPath, unsigned char** aData, size_t* aSize) {
  *aData = nullptr;
  *aSize = 0;
  FILE* locFile = fopen(aPath, "rb");
  if (!locFile) {
    return false;
  }
  size_t locCapacity = 4096;
  size_t locSize = 0;
  unsigned char* locData = static_cast<unsigned char*>(malloc(locCapacity));
  bool locOk = locData != nullptr;
  while (locOk) {
    if (locSize == locCapacity) {
      if (locCapacity >= ZW_MAX_MAP_FILE) {
        locOk = false;
        break;
      }
      locCapacity *= 2;
      unsigned char* locGrown = static_cast<unsigned char*>(realloc(locData, locCapacity));
      if (!locGrown) {
        locOk = false;
        break;
      }
      locData = locGrown;
    }
    size_t locRead = fread(locData + locSize, 1, locCapacity - locSize, locFile);
    locSize += locRead;
    if (locRead == 0) {
      locOk = !ferror(locFile);
      break;
    }
  }
  fclose(locFile);
  if (!locOk) {
    free(locData);
    return false;
  }
  *aData = locData;
  *aSize = locSize;
  return true;
}
