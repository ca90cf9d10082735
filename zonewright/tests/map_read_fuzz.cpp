// Fuzz target: arbitrary bytes as a map file for the reads of the import, in
// an exact-size buffer so that any read past its end is caught.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "zw_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  unsigned char* locCopy = static_cast<unsigned char*>(malloc(aSize ? aSize : 1));
  if (aSize) {
    memcpy(locCopy, aData, aSize);
  }
  ZW_MapValues locValues;
  if (ZW_MapReadValues(locCopy, aSize, &locValues)) {
    // Every value is a terminated text inside its field.
    if (strlen(locValues.mapName) >= ZW_PATH_SIZE || strlen(locValues.landscape) >= ZW_PATH_SIZE ||
        strlen(locValues.environment) >= ZW_PATH_SIZE) {
      abort();
    }
  }
  free(locCopy);
  return 0;
}
