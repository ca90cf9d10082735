// Fuzz target: arbitrary bytes as a map file for the reads of the import, and
// as the pair of files that the resume of a mission reads (the first two bytes
// give the length of the map file, the rest is the instances file), each in an
// exact-size buffer so that any read past its end is caught.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "zw_export.h"
#include "zw_map.h"

namespace {

unsigned char* Copy(const uint8_t* aData, size_t aSize) {
  unsigned char* locCopy = static_cast<unsigned char*>(malloc(aSize ? aSize : 1));
  if (aSize) {
    memcpy(locCopy, aData, aSize);
  }
  return locCopy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  unsigned char* locCopy = Copy(aData, aSize);
  ZW_MapValues locValues;
  if (ZW_MapReadValues(locCopy, aSize, &locValues)) {
    // Every value is a terminated text inside its field.
    if (strlen(locValues.mapName) >= ZW_PATH_SIZE || strlen(locValues.landscape) >= ZW_PATH_SIZE ||
        strlen(locValues.environment) >= ZW_PATH_SIZE) {
      abort();
    }
  }
  free(locCopy);

  if (aSize < 2) {
    return 0;
  }
  size_t locMapSize = ((size_t)aData[0] | (size_t)aData[1] << 8) % (aSize - 1);
  unsigned char* locMap = Copy(aData + 2, locMapSize);
  unsigned char* locInstances = Copy(aData + 2 + locMapSize, aSize - 2 - locMapSize);
  ZW_MapValues locMission = {};
  if (!ZW_MapReadValues(locMap, locMapSize, &locMission)) {
    strcpy(locMission.mapName, "fuzz");
  }
  ZW_Mission locRead;
  const char* locWhy = nullptr;
  ZW_MissionKind locKind =
      ZW_ReadMission(locInstances, aSize - 2 - locMapSize, locMap, locMapSize, locMission, &locRead, &locWhy);
  if (!locWhy || (locKind != ZW_MISSION_OURS && !locWhy[0]) ||
      (locKind == ZW_MISSION_OURS &&
       (locRead.worldLeft > locRead.worldRight || locRead.worldTop > locRead.worldBottom))) {
    abort();
  }
  free(locMap);
  free(locInstances);
  return 0;
}
