// Times the mission export on synthetic markers:
//   zw_export_bench [LZ_COUNT VL_COUNT]   (default 500 and 500)
// prints "export <N> LZs <M> VLs: <bytes> bytes in <ms> ms".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "zw_export.h"
#include "zw_map.h"

namespace {

int ReadCount(const char* aText) {
  char* locEnd = nullptr;
  long locValue = strtol(aText, &locEnd, 10);
  if (*aText == '\0' || *locEnd != '\0' || locValue < 0 || locValue > 1000000) {
    return -1;
  }
  return (int)locValue;
}

// Markers spread over the default playfield, kinds interleaved.
std::vector<ZW_ExportMarker> SyntheticMarkers(int aLzCount, int aVlCount) {
  std::vector<ZW_ExportMarker> locMarkers;
  int locTotal = aLzCount + aVlCount;
  for (int i = 0; i < locTotal; i++) {
    ZW_ExportMarker m = {};
    bool locLz = (i % 2 == 0 && aLzCount > 0) || aVlCount == 0;
    m.kind = locLz ? ZW_ZONE_LANDING : ZW_ZONE_VICTORY;
    locLz ? aLzCount-- : aVlCount--;
    m.world[0] = 494.0f + (float)((i * 37) % 2078);
    m.world[1] = (float)(i % 128);
    m.world[2] = 500.0f + (float)((i * 53) % 2078);
    locMarkers.push_back(m);
  }
  return locMarkers;
}

}  // namespace

int main(int argc, char** argv) {
  int locLzCount = 500;
  int locVlCount = 500;
  if (argc == 3) {
    locLzCount = ReadCount(argv[1]);
    locVlCount = ReadCount(argv[2]);
  }
  if ((argc != 1 && argc != 3) || locLzCount < 0 || locVlCount < 0) {
    fprintf(stderr, "usage: zw_export_bench [LZ_COUNT VL_COUNT]\n");
    return 2;
  }
  char locFolder[] = "/tmp/zw_export_bench.XXXXXX";
  if (!mkdtemp(locFolder)) {
    perror("zw_export_bench: mkdtemp");
    return 1;
  }
  ZW_MapPaths locPaths;
  std::string locInstances = std::string(locFolder) + "/benchInstances.juice";
  if (!ZW_MapDerivePaths(locInstances.c_str(), &locPaths)) {
    fprintf(stderr, "zw_export_bench: path too long\n");
    return 1;
  }
  ZW_MapValues locValues = {"bench", "Desert", "Day"};
  ZW_Crop locCrop;
  ZW_CropInit(&locCrop);
  std::vector<ZW_ExportMarker> locMarkers = SyntheticMarkers(locLzCount, locVlCount);

  size_t locBytes = 0;
  auto locStart = std::chrono::steady_clock::now();
  ZW_ExportStatus locStatus = ZW_ExportMission(locPaths, &locValues, locCrop, locMarkers.data(),
                                               (int)locMarkers.size(), &locBytes);
  auto locEnd = std::chrono::steady_clock::now();
  remove(locPaths.mapFilePath);
  remove(locPaths.instancesPath);
  rmdir(locFolder);
  if (locStatus != ZW_EXPORT_OK) {
    fprintf(stderr, "zw_export_bench: the export could not write its files\n");
    return 1;
  }
  double locMs = std::chrono::duration<double, std::milli>(locEnd - locStart).count();
  printf("export %d LZs %d VLs: %zu bytes in %.2f ms\n", locLzCount, locVlCount, locBytes, locMs);
  return 0;
}
