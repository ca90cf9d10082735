// The mission export: base and camera positions of the Landing Zones, the
// bytes of the map file and of the instances file, and writing a file whole.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "zw_controls.h"
#include "zw_map.h"

// One zone marker as the export sees it; base, camera and rotation are filled
// for Landing Zones.
struct ZW_ExportMarker {
  int kind;
  float world[3];
  float base[3];
  float camera[3];
  float rotation[3];  // x and z are written
};

// Starting team of the n-th Landing Zone (n from 1).
int ZW_LzTeam(int aNumber);
// Base position: 550 units beyond the nearest crop edge, clamped to [2, 3070].
void ZW_LzBase(const float aWorld[3], const ZW_Crop& aCrop, float aBase[3]);
// Camera position 60 units from the zone, and its rotation toward the crop centre.
void ZW_LzCamera(const float aWorld[3], const ZW_Crop& aCrop, float aCamera[3], float aRotation[3]);

// The map file, with carriage return and line feed line ends.
void ZW_BuildMapFile(const ZW_MapValues& aValues, const ZW_Crop& aCrop, std::string* anOut);
// Base and camera of every Landing Zone (markers in control-list order).
void ZW_ComputeLzPositions(ZW_ExportMarker* aMarkers, int aCount, const ZW_Crop& aCrop);
// The instances file; changes the map name to upper case where it writes it.
void ZW_BuildInstancesFile(const ZW_ExportMarker* aMarkers, int aCount, ZW_MapValues* aValues,
                           std::string* anOut);

enum ZW_ExportStatus {
  ZW_EXPORT_OK,
  ZW_EXPORT_MAP_FAILED,            // the map file could not be written or replaced
  ZW_EXPORT_INSTANCES_FAILED,      // the instances file ...
  ZW_EXPORT_MAP_BACKUP_FAILED,     // the map file's ".bak" could not be replaced
  ZW_EXPORT_INSTANCES_BACKUP_FAILED,
  ZW_EXPORT_MAP_ORIGINAL_FAILED,   // the map file's ".orig" could not be written
  ZW_EXPORT_INSTANCES_ORIGINAL_FAILED
};

// The export's steps: the bytes of the map file, the Landing Zones' positions,
// the bytes of the instances file, then both files replaced together, with
// the versions they replace kept (ZW_ReplaceFilesKept). On failure nothing on
// disk has changed, and neither have the markers and the map values (the map
// name is upper-cased only by an export that succeeds).
ZW_ExportStatus ZW_ExportMission(const ZW_MapPaths& aPaths, ZW_MapValues* aValues, const ZW_Crop& aCrop,
                                 ZW_ExportMarker* aMarkers, int aCount, size_t* aBytesWritten);

// What an instances file is, for the resume of a mission.
enum ZW_MissionKind {
  ZW_MISSION_OURS,         // written by this export: markers and playfield read
  ZW_MISSION_GAME_EDITOR,  // a Juice instances file of another writer: nothing read
  ZW_MISSION_FOREIGN,      // not an instances file
  ZW_MISSION_DAMAGED       // begins as this export writes, but does not hold together
};

struct ZW_Mission {
  // In export order: LZ 1, 2, ..., then VL 1, 2, ...
  std::vector<ZW_ExportMarker> markers;
  int worldLeft, worldTop, worldRight, worldBottom;  // the playfield
};

// Reads the markers of an instances file and the playfield of its map file.
// A file counts as this export's only when the export of what was read gives
// its bytes again. aWhy receives the reason of anything but ZW_MISSION_OURS.
ZW_MissionKind ZW_ReadMission(const unsigned char* anInstances, size_t anInstancesSize,
                              const unsigned char* aMap, size_t aMapSize, const ZW_MapValues& aValues,
                              ZW_Mission* aMission, const char** aWhy);
