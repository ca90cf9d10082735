// mapgen DESCRIPTION OUTPUT_FOLDER: writes a sample map as the game's editor
// leaves it, OUTPUT_FOLDER/custom_maps/<name>/ with <name>.juice,
// <name>Instances.juice, <name>Heightmap.tga (1024 by 1024) and
// <name>Overviewmap.tga (512 by 512), uncompressed 24-bit Targa.
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "map_terrain.h"
#include "zw_export.h"
#include "zw_files.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

bool WriteTga(const std::string& aPath, int aSize, const uint8_t* aRgb) {
  stbi_write_tga_with_rle = 0;
  return stbi_write_tga(aPath.c_str(), aSize, aSize, 3, aRgb) != 0;
}

bool CopyValue(char* aTarget, const std::string& aValue) {
  if (aValue.size() >= ZW_PATH_SIZE) {
    return false;
  }
  snprintf(aTarget, ZW_PATH_SIZE, "%s", aValue.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: mapgen DESCRIPTION OUTPUT_FOLDER\n");
    return 2;
  }
  std::ifstream locIn(argv[1], std::ios::binary);
  if (!locIn) {
    fprintf(stderr, "mapgen: cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream locText;
  locText << locIn.rdbuf();
  MapDescription locMap;
  std::string locError;
  if (!MAP_Parse(locText.str(), &locMap, &locError)) {
    fprintf(stderr, "mapgen: %s: %s\n", argv[1], locError.c_str());
    return 1;
  }
  ZW_MapValues locValues;
  if (!CopyValue(locValues.mapName, locMap.name) || !CopyValue(locValues.landscape, locMap.landscape) ||
      !CopyValue(locValues.environment, locMap.environment)) {
    fprintf(stderr, "mapgen: a value is too long\n");
    return 1;
  }

  std::string locFolder = std::string(argv[2]) + "/custom_maps";
  mkdir(argv[2], 0755);
  mkdir(locFolder.c_str(), 0755);
  locFolder += "/" + locMap.name;
  mkdir(locFolder.c_str(), 0755);
  std::string locBase = locFolder + "/" + locMap.name;

  std::vector<uint8_t> locHeights = MAP_HeightField(locMap);
  std::vector<uint8_t> locGrey(locHeights.size() * 3);
  for (size_t i = 0; i < locHeights.size(); i++) {
    locGrey[3 * i] = locGrey[3 * i + 1] = locGrey[3 * i + 2] = locHeights[i];
  }
  std::vector<uint8_t> locOverview = MAP_Overview(locMap, locHeights);

  // The map file in the layout of the export, with the default playfield, and
  // an instances file without zones.
  ZW_Crop locCrop;
  ZW_CropInit(&locCrop);
  std::string locMapFile;
  std::string locInstances;
  ZW_BuildMapFile(locValues, locCrop, &locMapFile);
  ZW_BuildInstancesFile(nullptr, 0, &locValues, &locInstances);

  bool locOk = WriteTga(locBase + "Heightmap.tga", MAP_HEIGHT_SIZE, locGrey.data()) &&
               WriteTga(locBase + "Overviewmap.tga", MAP_OVERVIEW_SIZE, locOverview.data()) &&
               ZW_WriteFileWhole((locBase + ".juice").c_str(), locMapFile.data(), locMapFile.size()) &&
               ZW_WriteFileWhole((locBase + "Instances.juice").c_str(), locInstances.data(), locInstances.size());
  if (!locOk) {
    fprintf(stderr, "mapgen: cannot write the map under %s\n", locFolder.c_str());
    return 1;
  }
  return 0;
}
