// Times the mission export on synthetic markers:
//   zw_export_bench [LZ_COUNT VL_COUNT]   (default 500 and 500)
// prints "export <N> LZs <M> VLs: <bytes> bytes in <ms> ms".
//   zw_export_bench --mission MAP_INSTANCES_FILE [LZ_COUNT VL_COUNT]
// writes the mission of the same markers for that map (its map file gives
// the values), which the wizard's import resumes: markers with labels.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Writes the mission of the synthetic markers beside a map's files.
int WriteMission(const char* anInstancesPath, int aLzCount, int aVlCount) {
  ZW_MapPaths locPaths;
  unsigned char* locMap = nullptr;
  size_t locMapSize = 0;
  ZW_MapValues locValues = {};
  if (!ZW_MapDerivePaths(anInstancesPath, &locPaths) ||
      !ZW_ReadWholeFile(locPaths.mapFilePath, &locMap, &locMapSize)) {
    fprintf(stderr, "zw_export_bench: no map file for %s\n", anInstancesPath);
    return 1;
  }
  bool locRead = ZW_MapReadValues(locMap, locMapSize, &locValues);
  free(locMap);
  if (!locRead) {
    fprintf(stderr, "zw_export_bench: the map file of %s has no values\n", anInstancesPath);
    return 1;
  }
  ZW_Crop locCrop;
  ZW_CropInit(&locCrop);
  std::vector<ZW_ExportMarker> locMarkers = SyntheticMarkers(aLzCount, aVlCount);
  // The wizard reads the mission again only when its own arithmetic gives the
  // same bytes, and Direct3D runs it in single precision: the LZs go on the
  // line through the playfield's centre, where the camera is along an axis.
  int n = 0;
  for (ZW_ExportMarker& m : locMarkers) {
    if (m.kind == ZW_ZONE_LANDING) {
      m.world[0] = 2472.0f - (float)((n++ * 37) % 1000);
      m.world[2] = (float)locCrop.cy;
    }
  }
  size_t locBytes = 0;
  if (ZW_ExportMission(locPaths, &locValues, locCrop, locMarkers.data(), (int)locMarkers.size(),
                       &locBytes) != ZW_EXPORT_OK) {
    fprintf(stderr, "zw_export_bench: the mission could not be written\n");
    return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  int locLzCount = 500;
  int locVlCount = 500;
  const char* locMission = nullptr;
  if (argc >= 3 && strcmp(argv[1], "--mission") == 0) {
    locMission = argv[2];
    argc -= 2;
    argv += 2;
  }
  if (argc == 3) {
    locLzCount = ReadCount(argv[1]);
    locVlCount = ReadCount(argv[2]);
  }
  if ((argc != 1 && argc != 3) || locLzCount < 0 || locVlCount < 0) {
    fprintf(stderr, "usage: zw_export_bench [--mission MAP_INSTANCES_FILE] [LZ_COUNT VL_COUNT]\n");
    return 2;
  }
  if (locMission) {
    return WriteMission(locMission, locLzCount, locVlCount);
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
