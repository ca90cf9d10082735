// The mission export: positions of the Landing Zones, the two files byte for
// byte against hand-written expected files, writing whole, and the reads of
// the map file at import.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kc_test_support.h"
#include "zw_export.h"
#include "zw_files.h"
#include "zw_map.h"

namespace {

bool Exists(const std::string& aPath) {
  struct stat locStat;
  return stat(aPath.c_str(), &locStat) == 0;
}

void SetReadOnly(const std::string& aPath, bool aReadOnly) {
  chmod(aPath.c_str(), aReadOnly ? S_IREAD : (S_IREAD | S_IWRITE));
}

int MakeFolder(const std::string& aPath) {
#ifdef _WIN32
  return mkdir(aPath.c_str());
#else
  return mkdir(aPath.c_str(), 0700);
#endif
}

// The names that an export writes beside a file.
const char* const kKept[] = {"", ".bak", ".orig"};
const char* const kTemporary[] = {".tmp", ".orig.tmp", ".bak.old"};

std::string ReplaceAll(std::string aText, const std::string& aFrom, const std::string& aTo) {
  for (size_t i = aText.find(aFrom); i != std::string::npos; i = aText.find(aFrom, i + aTo.size())) {
    aText.replace(i, aFrom.size(), aTo);
  }
  return aText;
}

ZW_ExportMarker Marker(int aKind, float x, float y, float z) {
  ZW_ExportMarker m = {};
  m.kind = aKind;
  m.world[0] = x;
  m.world[1] = y;
  m.world[2] = z;
  return m;
}

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    myPrefix = ::testing::TempDir() + "zw_export_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(ZW_MapDerivePaths((myPrefix + "Instances.juice").c_str(), &myPaths));
    ZW_CropInit(&myCrop);
  }

  void TearDown() override {
    for (const char* p : {myPaths.mapFilePath, myPaths.instancesPath}) {
      for (const char* locEnd : {"", ".bak", ".orig", ".tmp", ".orig.tmp", ".bak.old"}) {
        std::string locName = std::string(p) + locEnd;
        SetReadOnly(locName, false);
        remove(locName.c_str());
        rmdir((locName + "/x").c_str());
        rmdir(locName.c_str());
      }
    }
  }

  // Both files with their ".bak" and ".orig" ("<missing>" for none).
  std::vector<std::string> Kept() {
    std::vector<std::string> locFiles;
    for (const char* p : {myPaths.mapFilePath, myPaths.instancesPath}) {
      for (const char* locEnd : kKept) {
        locFiles.push_back(ReadWholeFile(std::string(p) + locEnd));
      }
    }
    return locFiles;
  }

  bool TemporariesLeft() {
    for (const char* p : {myPaths.mapFilePath, myPaths.instancesPath}) {
      for (const char* locEnd : kTemporary) {
        if (Exists(std::string(p) + locEnd)) {
          return true;
        }
      }
    }
    return false;
  }

  ZW_ExportStatus Export(ZW_ExportMarker* aMarkers, int aCount) {
    size_t locBytes = 0;
    ZW_ExportStatus locStatus = ZW_ExportMission(myPaths, &myValues, myCrop, aMarkers, aCount, &locBytes);
    if (locStatus == ZW_EXPORT_OK) {
      EXPECT_EQ(ReadWholeFile(myPaths.mapFilePath, "").size() + ReadWholeFile(myPaths.instancesPath, "").size(), locBytes);
    }
    return locStatus;
  }

  std::string myPrefix;
  ZW_MapPaths myPaths;
  ZW_MapValues myValues = {"small", "Desert_Rock", "Evening_Clear"};
  ZW_Crop myCrop;
};

TEST(LzArithmetic, TeamsCycleThroughFourThenStayAtOne) {
  const int kTeams[] = {1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 1, 1};
  for (int n = 1; n <= 19; n++) {
    EXPECT_EQ(kTeams[n - 1], ZW_LzTeam(n)) << "LZ " << n;
  }
}

TEST(LzArithmetic, BaseLiesBeyondTheNearestEdgeAndIsClamped) {
  ZW_Crop locCrop;
  ZW_CropInit(&locCrop);
  float locBase[3];
  const float kNearHighX[3] = {2400, 20, 1464};  // distances 1906, 172, 964, 1114
  ZW_LzBase(kNearHighX, locCrop, locBase);
  EXPECT_FLOAT_EQ(3070, locBase[0]);  // 3622 - 500 = 3122, clamped
  EXPECT_FLOAT_EQ(127, locBase[1]);
  EXPECT_FLOAT_EQ(1464, locBase[2]);

  const float kNearLowX[3] = {600, 0, 1500};  // low-x edge at 494
  ZW_LzBase(kNearLowX, locCrop, locBase);
  EXPECT_FLOAT_EQ(2, locBase[0]);  // 2522 - 2578 = -56, clamped
  EXPECT_FLOAT_EQ(1500, locBase[2]);

  const float kNearTop[3] = {1500, 0, 600};
  ZW_LzBase(kNearTop, locCrop, locBase);
  EXPECT_FLOAT_EQ(1500, locBase[0]);
  EXPECT_FLOAT_EQ(2, locBase[2]);  // 500 - 550, clamped

  // A tie between the low-x and the bottom edge goes to low-x; bottom wins
  // only when strictly nearest.
  const float kTie[3] = {594, 0, 2478};  // 100 from low-x and from the bottom
  ZW_LzBase(kTie, locCrop, locBase);
  EXPECT_FLOAT_EQ(2, locBase[0]);
  EXPECT_FLOAT_EQ(2478, locBase[2]);
  const float kBottom[3] = {595, 0, 2479};  // 101 from low-x, 99 from the bottom
  ZW_LzBase(kBottom, locCrop, locBase);
  EXPECT_FLOAT_EQ(595, locBase[0]);
  EXPECT_FLOAT_EQ(3070, locBase[2]);  // 2578 + 550, clamped
}

TEST(LzArithmetic, CameraStandsBackFromTheCentreAndLooksAtIt) {
  ZW_Crop locCrop;
  ZW_CropInit(&locCrop);  // centre 1539, 1539: world x 1533
  float locCamera[3] = {0, 0, 0};
  float locRotation[3] = {0, 7, 0};
  const float kEast[3] = {2533, 10, 1539};  // on the centre's row, larger x
  ZW_LzCamera(kEast, locCrop, locCamera, locRotation);
  EXPECT_NEAR(2593, locCamera[0], 0.01);  // 60 units further from the centre
  EXPECT_FLOAT_EQ(60, locCamera[1]);
  EXPECT_NEAR(1539, locCamera[2], 0.1);
  EXPECT_FLOAT_EQ(0.5f, locRotation[0]);
  EXPECT_FLOAT_EQ(7, locRotation[1]);  // not written
  EXPECT_NEAR(3.14159 / 2, fabsf(locRotation[2]), 0.01);
}

TEST_F(ExportTest, SmallMissionMatchesTheExpectedFilesByteForByte) {
  myCrop.left = 100;
  myCrop.top = 90;
  myCrop.right = 400;
  myCrop.bottom = 420;
  ZW_CropUpdateWorld(&myCrop);
  // Control-list order: the newest marker first.
  ZW_ExportMarker locMarkers[] = {Marker(ZW_ZONE_LANDING, 2400, 20, 1464), Marker(ZW_ZONE_VICTORY, 1500, 10.25f, 700),
                                  Marker(ZW_ZONE_LANDING, 1200, 63.5f, 2000)};
  ASSERT_EQ(ZW_EXPORT_OK, Export(locMarkers, 3));
  EXPECT_EQ(ReadWholeFile("data/export_small_map.juice", ""), ReadWholeFile(myPaths.mapFilePath, ""));
  EXPECT_EQ(ReadWholeFile("data/export_smallInstances.juice", ""), ReadWholeFile(myPaths.instancesPath, ""));
  // The markers keep their base of the export.
  EXPECT_FLOAT_EQ(3022, locMarkers[0].base[0]);
  EXPECT_FLOAT_EQ(3070, locMarkers[2].base[2]);
  EXPECT_FLOAT_EQ(0, locMarkers[1].base[0]);

  // The name is upper case from now on: a second export writes it into the map file.
  EXPECT_STREQ("SMALL", myValues.mapName);
  ASSERT_EQ(ZW_EXPORT_OK, Export(locMarkers, 3));
  EXPECT_EQ(ReplaceAll(ReadWholeFile("data/export_small_map.juice", ""), "small", "SMALL"), ReadWholeFile(myPaths.mapFilePath, ""));
  EXPECT_EQ(ReadWholeFile("data/export_smallInstances.juice", ""), ReadWholeFile(myPaths.instancesPath, ""));
}

TEST_F(ExportTest, MissionWithoutMarkersHasEmptyListsAndDefaultPlayfield) {
  snprintf(myValues.mapName, sizeof(myValues.mapName), "empty");
  snprintf(myValues.landscape, sizeof(myValues.landscape), "Temperate");
  snprintf(myValues.environment, sizeof(myValues.environment), "Day");
  ASSERT_EQ(ZW_EXPORT_OK, Export(nullptr, 0));
  std::string locMap = ReadWholeFile(myPaths.mapFilePath, "");
  EXPECT_EQ(ReadWholeFile("data/export_empty_map.juice", ""), locMap);
  EXPECT_EQ(ReadWholeFile("data/export_emptyInstances.juice", ""), ReadWholeFile(myPaths.instancesPath, ""));
  EXPECT_NE(std::string::npos, locMap.find("\tmyPlayfieldMinCoord\r\n\t{\r\n\t\tx 494.000000\r\n\t\tz 500.000000\r\n"));
  EXPECT_NE(std::string::npos, locMap.find("\tmyPlayfieldMaxCoord\r\n\t{\r\n\t\tx 2572.000000\r\n\t\tz 2578.000000\r\n"));
}

TEST_F(ExportTest, FileThatCannotBeReplacedIsReportedAndLeftWhole) {
  WriteWholeFile(myPaths.mapFilePath, "my map");
  WriteWholeFile(myPaths.instancesPath, "my instances");
  SetReadOnly(myPaths.mapFilePath, true);
  ZW_ExportMarker locMarker = Marker(ZW_ZONE_LANDING, 2400, 20, 1464);
  EXPECT_EQ(ZW_EXPORT_MAP_FAILED, Export(&locMarker, 1));
  EXPECT_EQ("my map", ReadWholeFile(myPaths.mapFilePath, ""));
  EXPECT_EQ("my instances", ReadWholeFile(myPaths.instancesPath, ""));  // not written after the failure
  EXPECT_FALSE(Exists(std::string(myPaths.mapFilePath) + ".tmp"));
  EXPECT_STREQ("small", myValues.mapName);

  SetReadOnly(myPaths.mapFilePath, false);
  SetReadOnly(myPaths.instancesPath, true);
  EXPECT_EQ(ZW_EXPORT_INSTANCES_FAILED, Export(&locMarker, 1));
  EXPECT_EQ("my instances", ReadWholeFile(myPaths.instancesPath, ""));
  EXPECT_EQ("my map", ReadWholeFile(myPaths.mapFilePath, ""));  // not replaced alone
  EXPECT_FALSE(Exists(std::string(myPaths.instancesPath) + ".tmp"));
  EXPECT_FALSE(TemporariesLeft());

  // A folder that does not exist: nothing is written.
  EXPECT_FALSE(ZW_WriteFileWhole((myPrefix + "_no_such_folder/x.juice").c_str(), "x", 1));
}

// The game editor's files stay as ".orig" from the first export on; ".bak"
// holds what the latest export replaced.
TEST_F(ExportTest, ExportsKeepTheOriginalsAndTheFilesTheyReplace) {
  WriteWholeFile(myPaths.mapFilePath, "editor map");
  WriteWholeFile(myPaths.instancesPath, "editor instances");
  ZW_ExportMarker locMarker = Marker(ZW_ZONE_LANDING, 2400, 20, 1464);
  ASSERT_EQ(ZW_EXPORT_OK, Export(&locMarker, 1));
  std::string locMap1 = ReadWholeFile(myPaths.mapFilePath);
  std::string locInstances1 = ReadWholeFile(myPaths.instancesPath);
  EXPECT_EQ((std::vector<std::string>{locMap1, "editor map", "editor map", locInstances1, "editor instances",
                                      "editor instances"}),
            Kept());

  locMarker.world[0] = 2000;
  ASSERT_EQ(ZW_EXPORT_OK, Export(&locMarker, 1));
  std::string locMap2 = ReadWholeFile(myPaths.mapFilePath);
  std::string locInstances2 = ReadWholeFile(myPaths.instancesPath);
  EXPECT_NE(locInstances1, locInstances2);
  EXPECT_EQ((std::vector<std::string>{locMap2, locMap1, "editor map", locInstances2, locInstances1,
                                      "editor instances"}),
            Kept());
  EXPECT_FALSE(TemporariesLeft());

  // A ".orig" is never replaced, whatever it holds.
  WriteWholeFile(std::string(myPaths.instancesPath) + ".orig", "kept by hand");
  ASSERT_EQ(ZW_EXPORT_OK, Export(&locMarker, 1));
  EXPECT_EQ("kept by hand", ReadWholeFile(std::string(myPaths.instancesPath) + ".orig"));
  EXPECT_EQ(locInstances2, ReadWholeFile(std::string(myPaths.instancesPath) + ".bak"));
}

// Whatever step fails, the files, their ".bak" and their ".orig" are as they
// were, and neither the markers nor the map name change.
TEST_F(ExportTest, FailedExportChangesNoFileAtAnyStep) {
  WriteWholeFile(myPaths.mapFilePath, "editor map");
  WriteWholeFile(myPaths.instancesPath, "editor instances");
  ZW_ExportMarker locMarker = Marker(ZW_ZONE_LANDING, 2400, 20, 1464);
  ASSERT_EQ(ZW_EXPORT_OK, Export(&locMarker, 1));
  snprintf(myValues.mapName, sizeof(myValues.mapName), "small");
  const std::string locMap = myPaths.mapFilePath;
  const std::string locInstances = myPaths.instancesPath;
  // What is made read-only, or (ending in "/") a folder.
  const struct {
    std::string blocked;
    ZW_ExportStatus status;
  } kCases[] = {
      {locMap, ZW_EXPORT_MAP_FAILED},
      {locInstances, ZW_EXPORT_INSTANCES_FAILED},
      {locInstances + ".tmp/", ZW_EXPORT_INSTANCES_FAILED},
      {locMap + ".bak", ZW_EXPORT_MAP_BACKUP_FAILED},
      {locInstances + ".bak", ZW_EXPORT_INSTANCES_BACKUP_FAILED},
      // The map file's renames are done when the instances file's backup
      // cannot be moved aside (a folder that cannot be removed is in the way).
      {locInstances + ".bak.old/x/", ZW_EXPORT_INSTANCES_BACKUP_FAILED},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> locBefore = Kept();
    bool locFolder = c.blocked.back() == '/';
    std::string locName = c.blocked.substr(0, c.blocked.size() - (locFolder ? 1 : 0));
    if (locFolder) {
      MakeFolder(locInstances + ".bak.old");
      ASSERT_EQ(0, MakeFolder(locName)) << locName;
    } else {
      SetReadOnly(locName, true);
    }
    ZW_ExportMarker locNew = Marker(ZW_ZONE_LANDING, 2000, 20, 1464);
    size_t locBytes = 1;
    EXPECT_EQ(c.status, ZW_ExportMission(myPaths, &myValues, myCrop, &locNew, 1, &locBytes)) << c.blocked;
    EXPECT_EQ(0u, locBytes);
    EXPECT_EQ(locBefore, Kept()) << c.blocked;
    EXPECT_STREQ("small", myValues.mapName);
    EXPECT_FLOAT_EQ(0, locNew.base[1]);  // no base computed into the marker
    if (locFolder) {
      rmdir(locName.c_str());
      rmdir((locInstances + ".bak.old").c_str());
    } else {
      SetReadOnly(locName, false);
    }
    EXPECT_FALSE(TemporariesLeft()) << c.blocked;
  }
  // The first export over the game editor's files leaves no new ".orig".
  TearDown();
  WriteWholeFile(locMap, "editor map");
  WriteWholeFile(locInstances, "editor instances");
  ASSERT_EQ(0, MakeFolder(locInstances + ".orig.tmp"));
  EXPECT_EQ(ZW_EXPORT_INSTANCES_ORIGINAL_FAILED, Export(&locMarker, 1));
  EXPECT_EQ((std::vector<std::string>{"editor map", "<missing>", "<missing>", "editor instances", "<missing>",
                                      "<missing>"}),
            Kept());
}

// The resume reads the hand-written expected files of the small mission back:
// markers in export order with their written positions, and the playfield.
TEST(MissionRead, ExpectedFilesReadBackAsTheyWereExported) {
  std::string locMap = ReadWholeFile("data/export_small_map.juice", "");
  std::string locInstances = ReadWholeFile("data/export_smallInstances.juice", "");
  ZW_MapValues locValues = {"small", "Desert_Rock", "Evening_Clear"};
  ZW_Mission locMission;
  const char* locWhy = nullptr;
  auto Read = [&](const std::string& anInstances, const std::string& aMap) {
    return ZW_ReadMission((const unsigned char*)anInstances.data(), anInstances.size(),
                          (const unsigned char*)aMap.data(), aMap.size(), locValues, &locMission, &locWhy);
  };
  ASSERT_EQ(ZW_MISSION_OURS, Read(locInstances, locMap)) << locWhy;
  ASSERT_EQ(3u, locMission.markers.size());
  EXPECT_EQ(ZW_ZONE_LANDING, locMission.markers[0].kind);
  EXPECT_FLOAT_EQ(2400, locMission.markers[0].world[0]);
  EXPECT_FLOAT_EQ(1200, locMission.markers[1].world[0]);
  EXPECT_FLOAT_EQ(63.5f, locMission.markers[1].world[1]);
  EXPECT_EQ(ZW_ZONE_VICTORY, locMission.markers[2].kind);
  EXPECT_FLOAT_EQ(10.25f, locMission.markers[2].world[1]);
  EXPECT_EQ(600, locMission.worldLeft);
  EXPECT_EQ(540, locMission.worldTop);
  EXPECT_EQ(2400, locMission.worldRight);
  EXPECT_EQ(2520, locMission.worldBottom);

  // Every kind of refusal, with its reason.
  EXPECT_EQ(ZW_MISSION_GAME_EDITOR, Read("INCLUDE kyx/xinstancecontainer.fruit\r\n", locMap));
  EXPECT_EQ(ZW_MISSION_FOREIGN, Read("hello", locMap));
  EXPECT_STRNE("", locWhy);
  EXPECT_EQ(ZW_MISSION_DAMAGED, Read(locInstances.substr(0, locInstances.size() - 3), locMap));
  EXPECT_EQ(ZW_MISSION_DAMAGED, Read(locInstances, ReplaceAll(locMap, "x 672.000000", "x 6.72")));
  EXPECT_EQ(ZW_MISSION_DAMAGED, Read(locInstances, ReplaceAll(locMap, "myPlayfieldMinCoord", "myPlayfield")));
  // A base that is not where the playfield puts it.
  EXPECT_EQ(ZW_MISSION_DAMAGED, Read(locInstances, ReplaceAll(locMap, "z 540.000000", "z 546.000000")));
  EXPECT_EQ(ZW_MISSION_DAMAGED, Read(ReplaceAll(locInstances, "LZ_2_thing", "LZ_3_thing"), locMap));
  EXPECT_EQ(ZW_MISSION_DAMAGED, Read(locInstances, ReplaceAll(locMap, "x 672.000000", "x 490.000000")));
  EXPECT_STREQ("the map file's playfield lies beyond the playfield's limits", locWhy);  // right 2582
  locValues = {"other", "Desert_Rock", "Evening_Clear"};
  EXPECT_EQ(ZW_MISSION_DAMAGED, Read(locInstances, locMap));
  EXPECT_TRUE(locMission.markers.empty());
}

// Every height the sample gives (the red channel's 256 values) comes back
// from its written text as a float that writes the same height and the same
// camera height (50 above), and every column's world x as the same float,
// so a resumed mission exports the same bytes.
TEST(MissionRead, WrittenPositionsReadBackAsTheSameText) {
  char locText[48], locAgain[48];
  // Volatile: the values are floats in memory, as in the markers (no excess
  // precision of the x87 unit).
  for (int r = 0; r < 256; r++) {
    volatile float y = 127.0f * (r * 0.003921569f);
    snprintf(locText, sizeof(locText), "%.6f", y);
    volatile float locRead = strtof(locText, nullptr);
    snprintf(locAgain, sizeof(locAgain), "%.6f", locRead);
    EXPECT_STREQ(locText, locAgain) << r;
    volatile float locCamera = y + 50.0f;
    volatile float locCameraAgain = locRead + 50.0f;
    snprintf(locText, sizeof(locText), "%.6f", locCamera);
    snprintf(locAgain, sizeof(locAgain), "%.6f", locCameraAgain);
    EXPECT_STREQ(locText, locAgain) << r;
  }
  for (int u = 0; u <= 512; u++) {
    volatile float x = (float)ZW_WORLD_SIZE - (float)u * ZW_WORLD_PER_PIXEL;
    snprintf(locText, sizeof(locText), "%.6f", x);
    EXPECT_EQ(x, strtof(locText, nullptr)) << u;
  }
}

// The crop of a playfield read from a map file stays as read under the crop
// editing's rounding, the limits 500 and 2578 included; a playfield that the
// crop editing would change is told apart.
TEST(MissionRead, PlayfieldPixelsKeepTheirWorldValues) {
  for (int w = 499; w <= 2578; w++) {
    if (w == 2577) {
      continue;  // held at 2578 by the crop editing
    }
    ZW_Crop locCrop;
    ZW_CropFromWorld(&locCrop, w, w, w, w);
    ZW_Crop locEdited = locCrop;
    ZW_CropUpdateWorld(&locEdited);
    ASSERT_EQ(w, locEdited.worldLeft) << w;
    ASSERT_EQ(w, locEdited.worldTop) << w;
    ASSERT_EQ(w, locEdited.worldRight) << w;
    ASSERT_EQ(w, locEdited.worldBottom) << w;
  }
  EXPECT_TRUE(ZW_CropKeepsWorld(500, 500, 2578, 2578));
  EXPECT_FALSE(ZW_CropKeepsWorld(498, 500, 2578, 2578));  // becomes 500
  EXPECT_FALSE(ZW_CropKeepsWorld(500, 500, 2577, 2600));  // becomes 2578
  EXPECT_FALSE(ZW_CropKeepsWorld(1200, 500, 600, 2578));  // reversed
}

TEST(MapImport, PathsFollowTheInstancesFile) {
  ZW_MapPaths locPaths;
  ASSERT_TRUE(ZW_MapDerivePaths("C:\\maps\\m1\\m1Instances.juice", &locPaths));
  EXPECT_STREQ("C:\\maps\\m1\\m1", locPaths.basePath);
  EXPECT_STREQ("C:\\maps\\m1\\m1.juice", locPaths.mapFilePath);
  EXPECT_STREQ("C:\\maps\\m1\\m1Heightmap.tga", locPaths.heightMapPath);
  EXPECT_STREQ("C:\\maps\\m1\\m1Overviewmap.tga", locPaths.overviewPath);

  EXPECT_FALSE(ZW_MapDerivePaths("short.juice", &locPaths));
  std::string locLong = std::string(245, 'a') + "Instances.juice";  // 260 characters: too long
  EXPECT_FALSE(ZW_MapDerivePaths(locLong.c_str(), &locPaths));
  EXPECT_STREQ("C:\\maps\\m1\\m1", locPaths.basePath);  // unchanged by the failure
}

TEST(MapImport, ValuesReadBackFromAnExportedMapFile) {
  std::string locFile = ReadWholeFile("data/export_small_map.juice", "");
  ZW_MapValues locValues;
  ASSERT_TRUE(ZW_MapReadValues(reinterpret_cast<const unsigned char*>(locFile.data()), locFile.size(), &locValues));
  EXPECT_STREQ("small", locValues.mapName);
  EXPECT_STREQ("Desert_Rock", locValues.landscape);
  EXPECT_STREQ("Evening_Clear", locValues.environment);
}

TEST(MapImport, TruncatedOrForeignFilesAreRefused) {
  // Every prefix that ends before the environment's closing tab-"m" fails
  // without reading past its end (the sanitizer build checks the reads).
  std::string locFile = ReadWholeFile("data/export_small_map.juice", "");
  size_t locNeeded = locFile.find("\tmyInstancesFile") + 2;
  ZW_MapValues locValues;
  for (size_t n = 0; n < locFile.size(); n += (n < locNeeded + 4 ? 1 : 97)) {
    unsigned char* locCopy = static_cast<unsigned char*>(malloc(n ? n : 1));
    memcpy(locCopy, locFile.data(), n);
    EXPECT_EQ(n >= locNeeded, ZW_MapReadValues(locCopy, n, &locValues)) << "prefix of " << n << " bytes";
    free(locCopy);
  }
  const char* kForeign[] = {"no slashes at all", "a/b/c", "a/b/c/////////////////\tmyLandscape\r\n",
                            "a/b/c/////////////////\tm \tm", "a/b/c/////////////////\tm x\r\n\tm"};
  for (const char* f : kForeign) {
    EXPECT_FALSE(ZW_MapReadValues(reinterpret_cast<const unsigned char*>(f), strlen(f), &locValues)) << f;
  }
  // A value longer than its field is refused rather than cut.
  std::string locLong = "a/b/c/////////////////\tm " + std::string(300, 'x') + "\r\n\tm y\r\n\tm";
  EXPECT_FALSE(ZW_MapReadValues(reinterpret_cast<const unsigned char*>(locLong.data()), locLong.size(), &locValues));
}

TEST(MapImport, CropWorldValuesKeepTheirLimits) {
  ZW_Crop locCrop;
  ZW_CropInit(&locCrop);
  EXPECT_EQ(500, locCrop.worldLeft);
  EXPECT_EQ(2578, locCrop.worldBottom);
  EXPECT_EQ(500 + 2078 / 3, locCrop.x1);
  EXPECT_EQ(2578 - 2078 / 3, locCrop.y2);
  EXPECT_EQ(1539, locCrop.cx);

  locCrop.left = 83;     // world 498
  locCrop.top = 90;      // world 540 stays
  locCrop.right = 429.5f;  // world 2577
  locCrop.bottom = 300;  // world 1800
  ZW_CropUpdateWorld(&locCrop);
  EXPECT_EQ(500, locCrop.worldLeft);
  EXPECT_FLOAT_EQ(84, locCrop.left);
  EXPECT_EQ(540, locCrop.worldTop);
  EXPECT_EQ(2578, locCrop.worldRight);
  EXPECT_FLOAT_EQ(429, locCrop.right);
  EXPECT_EQ(1800, locCrop.worldBottom);
  EXPECT_EQ(540 + 1260 / 2, locCrop.cy);
}

}  // namespace
