// The map editor on the built wizard screen: initial state, import with its
// failures, the texture switch, crop editing, marker placement and drag, and
// the export command, driven through the seam's doubles.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "zw_console.h"
#include "zw_controls.h"
#include "zw_editor.h"
#include "zw_editor_double.h"
#include "zw_export.h"
#include "zw_input.h"
#include "zw_keys.h"
#include "zw_map.h"
#include "kc_test_support.h"
#include "zw_platform_double.h"
#include "zw_props.h"
#include "zw_render.h"
#include "zw_screen.h"
#include "zw_shell.h"

namespace {

bool Printed(const char* aLine) {
  for (const auto& l : zwConsole.scrollBack) {
    if (strcmp(l, aLine) == 0) {
      return true;
    }
  }
  return false;
}

int MakeFolder(const std::string& aPath) {
#ifdef _WIN32
  return mkdir(aPath.c_str());
#else
  return mkdir(aPath.c_str(), 0700);
#endif
}

int CountControls() {
  int n = 0;
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    n++;
  }
  return n;
}

ZW_Control* Find(const char* aName) {
  ZW_Control* c = ZW_ControlFindName(aName);
  EXPECT_NE(nullptr, c) << aName;
  return c;
}

class MapEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZW_ResetAll();
    ZW_ControlsCreateOwner();
    ZW_BuildScreen();
    ZW_EditorInit();
    myBase = ::testing::TempDir() + "zw_editor_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    WriteWholeFile(myBase + ".juice", ReadWholeFile("data/export_small_map.juice", ""));
    WriteWholeFile(myBase + "Instances.juice", "instances");
    WriteWholeFile(myBase + "Heightmap.tga", "height");
    WriteWholeFile(myBase + "Overviewmap.tga", "overview");
  }

  void TearDown() override {
    for (const char* s : {".juice", "Instances.juice", "Heightmap.tga", "Overviewmap.tga", ".juice.bak",
                          "Instances.juice.bak", ".juice.orig", "Instances.juice.orig"}) {
      chmod((myBase + s).c_str(), S_IREAD | S_IWRITE);
      remove((myBase + s).c_str());
    }
  }

  // The main loop's share of one frame: the editor mode, then the controls.
  void Frame(int aMouseX, int aMouseY, bool aLeft, bool aRight) {
    zwShell.mouseX = aMouseX;
    zwShell.mouseY = aMouseY;
    zwInput.left = aLeft ? 0x80 : 0;
    zwInput.right = aRight ? 0x80 : 0;
    ZW_EditorFrame();
    ZW_ControlsUpdateAndDraw();
  }

  void Import() {
    zwEditorDouble.dialogPath = myBase + "Instances.juice";
    ZW_Execute("editor.openMap");
    ASSERT_STREQ("small", zwMap.values.mapName);
  }

  // One placement in mode 2 (LZ) or 3 (VL) with a press at (x, y), released.
  ZW_Control* Place(int aMode, int x, int y) {
    char locLine[32];
    snprintf(locLine, sizeof(locLine), "editor.setMode %d", aMode);
    ZW_Execute(locLine);
    Frame(x, y, true, false);
    ZW_Control* c = zwControls.head;
    Frame(x, y, false, false);
    return c;
  }

  // A press on a marker at (x, y), a move to (x2, y2) and the release there.
  void Drag(int x, int y, int x2, int y2) {
    Frame(x, y, true, false);
    Frame(x2, y2, true, false);
    Frame(x2, y2, false, false);
  }

  // A crop drag with the right button from (x, y) to (x2, y2) and its end.
  void Crop(int x, int y, int x2, int y2) {
    Frame(x, y, false, true);
    Frame(x2, y2, false, true);
    Frame(x2, y2, false, false);
    Frame(x2, y2, false, false);
  }

  void Key(int aKey, bool aControl = false) {
    zwShell.controlKey = aControl;
    ZW_KeyDown(aKey);
    zwShell.controlKey = 0;
  }

  // Kind and world position of each marker: LZs, then VLs, in list order.
  std::vector<std::vector<float>> MarkersByKind() {
    std::vector<std::vector<float>> locMarkers;
    for (int k : {ZW_ZONE_LANDING, ZW_ZONE_VICTORY}) {
      for (ZW_Control* c = zwControls.head; c; c = c->next) {
        if (c->zoneKind == k) {
          locMarkers.push_back({(float)k, c->worldPos[0], c->worldPos[1], c->worldPos[2]});
        }
      }
    }
    return locMarkers;
  }

  int Markers() {
    int n = 0;
    for (ZW_Control* c = zwControls.head; c; c = c->next) {
      n += c->zoneKind != ZW_ZONE_NONE;
    }
    return n;
  }

  // The two files as the export writes them for a playfield and markers.
  void WriteMission(const ZW_Crop& aCrop, ZW_ExportMarker* aMarkers, int aCount) {
    ZW_MapValues locValues = {"small", "Desert_Rock", "Evening_Clear"};
    std::string locMap, locInstances;
    ZW_BuildMapFile(locValues, aCrop, &locMap);
    ZW_ComputeLzPositions(aMarkers, aCount, aCrop);
    ZW_BuildInstancesFile(aMarkers, aCount, &locValues, &locInstances);
    WriteWholeFile(myBase + ".juice", locMap);
    WriteWholeFile(myBase + "Instances.juice", locInstances);
  }

  // A new run that imports the files again (whatever their map name's case).
  void Reimport() {
    TearDownRun();
    zwEditorDouble.dialogPath = myBase + "Instances.juice";
    ZW_Execute("editor.openMap");
  }

  // Frames of the crop editing, then an export: both files stay byte for byte.
  void ExpectExportUnchanged() {
    std::string locMap = ReadWholeFile(myBase + ".juice", "");
    std::string locInstances = ReadWholeFile(myBase + "Instances.juice", "");
    for (int i = 0; i < 3; i++) {
      Frame(10, 10, false, false);
    }
    EXPECT_EQ(0, ZW_EditorUndoSteps());
    ZW_Execute("editor.export");
    EXPECT_EQ(locMap, ReadWholeFile(myBase + ".juice", ""));
    EXPECT_EQ(locInstances, ReadWholeFile(myBase + "Instances.juice", ""));
  }

  // The start of a new run of the program on the same files.
  void TearDownRun() {
    ZW_ResetAll();
    ZW_ControlsCreateOwner();
    ZW_BuildScreen();
    ZW_EditorInit();
  }

  std::string myBase;
};

TEST_F(MapEditorTest, InitialStateHidesTheMapAndTheZoneButtons) {
  EXPECT_TRUE(Printed("Initializing game..."));
  EXPECT_EQ(1, zwEditor.mode);
  ZW_Control* locImage = Find("winMapImage");
  EXPECT_EQ(ZW_MAP_IMAGE_ID, locImage->id);
  EXPECT_EQ(0, locImage->size[0]);
  for (const char* n : {"txtAddZone", "editMapApplyImage", "editMapApplyOver", "editMapApplyDown"}) {
    EXPECT_EQ(30000, Find(n)->target[0]) << n;
  }
  EXPECT_EQ(zwControls.owner, zwControls.active);
  EXPECT_STREQ("10", zwControls.owner->caption);
  EXPECT_EQ(500, zwMap.crop.worldLeft);
  EXPECT_FLOAT_EQ(84, zwMap.crop.left);
}

TEST_F(MapEditorTest, ImportShowsTheOverviewAndBringsTheZoneButtons) {
  Import();
  EXPECT_EQ(1, zwEditorDouble.dialogs);
  EXPECT_EQ(myBase + ".juice", zwMap.paths.mapFilePath);
  EXPECT_EQ(myBase + "Heightmap.tga", zwMap.paths.heightMapPath);
  EXPECT_STREQ("Desert_Rock", zwMap.values.landscape);
  EXPECT_STREQ("Evening_Clear", zwMap.values.environment);
  ZW_Control* locImage = Find("winMapImage");
  EXPECT_EQ(512, locImage->size[0]);
  EXPECT_EQ(&ZW_TextureFindName("overviewMap")->texture, locImage->texture);
  EXPECT_EQ(&ZW_TextureFindName("heightMap")->texture, zwEditor.heightMap);
  EXPECT_STREQ(" Overviewmap", Find("editMapTex")->caption);
  EXPECT_EQ(30000, Find("butLoadHeightmap")->target[0]);
  EXPECT_EQ(10, Find("txtAddZone")->target[0]);
  EXPECT_EQ(10, Find("editMapApplyImage")->target[0]);
  EXPECT_EQ(60, Find("editMapApplyOver")->target[0]);
  EXPECT_EQ(10, Find("editMapApplyDown")->target[0]);

  // The switch shows the height map and back.
  ZW_Execute("texPick.prevTex");
  EXPECT_STREQ(" Heightfield", Find("editMapTex")->caption);
  EXPECT_EQ(&ZW_TextureFindName("heightMap")->texture, locImage->texture);
  ZW_Execute("texPick.prevTex");
  EXPECT_STREQ(" Overviewmap", Find("editMapTex")->caption);

  // A second import changes the map values but keeps the images.
  WriteWholeFile(myBase + ".juice", "INCLUDE a/b\r\n\"custom_maps/other/other/////////////\r\n\tmyL Rock\r\n\tmyE Night\r\n\tmyI");
  int locLoaded = zwDouble.texturesLoaded;
  ZW_Execute("editor.openMap");
  EXPECT_STREQ("other", zwMap.values.mapName);
  EXPECT_STREQ("Rock", zwMap.values.landscape);
  EXPECT_STREQ("Night", zwMap.values.environment);
  EXPECT_EQ(locLoaded, zwDouble.texturesLoaded);
}

TEST_F(MapEditorTest, FailedImportsAreReportedAndChangeNothing) {
  ZW_Execute("texPick.prevTex");  // before an import: nothing
  EXPECT_STREQ("", Find("editMapTex")->caption);

  zwEditorDouble.dialogPath = "";  // cancelled
  ZW_Execute("editor.openMap");
  EXPECT_TRUE(zwDouble.messageBoxes.empty());

  ZW_Execute("editor.openMap nowhere/xInstances.juice");  // by argument: no dialog
  EXPECT_EQ(1, zwEditorDouble.dialogs);
  EXPECT_TRUE(Printed("ERROR: Could not read the map file 'nowhere/x.juice'!"));
  ASSERT_EQ(1u, zwDouble.messageBoxes.size());
  EXPECT_EQ("zonewright Error|ERROR: Could not read the map file 'nowhere/x.juice'!", zwDouble.messageBoxes[0]);

  zwEditorDouble.dialogPath = myBase + "Instances.juice";
  WriteWholeFile(myBase + ".juice", "INCLUDE kyx/xmap.fruit\r\n");  // too few marks
  ZW_Execute("editor.openMap");
  EXPECT_EQ(2u, zwDouble.messageBoxes.size());

  // A missing overview: the height map loaded before it is dropped again.
  WriteWholeFile(myBase + ".juice", ReadWholeFile("data/export_small_map.juice", ""));
  remove((myBase + "Overviewmap.tga").c_str());
  ZW_Execute("editor.openMap");
  EXPECT_EQ(3u, zwDouble.messageBoxes.size());
  EXPECT_EQ(nullptr, ZW_TextureFindName("heightMap"));
  EXPECT_EQ(0, Find("winMapImage")->size[0]);
  EXPECT_EQ(30000, Find("editMapApplyDown")->target[0]);
  EXPECT_STREQ("", zwMap.paths.instancesPath);
  EXPECT_STREQ("", zwMap.values.mapName);
  EXPECT_EQ(ZW_MAP_NONE, zwEditor.mapShown);
}

TEST_F(MapEditorTest, ReversedCropDragGivesAnOrderedRectangle) {
  Import();
  // The map image lies at (0, -32): map pixel = mouse + (0, 32).
  Frame(300, 250, false, true);  // first corner 300, 280
  EXPECT_TRUE(Printed("ok"));
  Frame(100, 100, false, true);  // opposite corner snap(110), snap(142)
  Frame(100, 100, false, false);
  Frame(100, 100, false, false);
  const ZW_Crop& r = zwMap.crop;
  EXPECT_FLOAT_EQ(110, r.left);
  EXPECT_FLOAT_EQ(140, r.top);
  EXPECT_FLOAT_EQ(300, r.right);
  EXPECT_FLOAT_EQ(280, r.bottom);
  EXPECT_STREQ("UV:660:840:1800:1680", Find("txtMapCoords")->caption);
  ZW_Control* locTop = Find("winMapCrs1");
  EXPECT_FLOAT_EQ(110, locTop->target[0]);
  EXPECT_FLOAT_EQ(140 + 41, locTop->target[1]);
  EXPECT_FLOAT_EQ(190, locTop->size[0]);
  ZW_Control* locRight = Find("winMapCrs4");
  EXPECT_FLOAT_EQ(300, locRight->target[0]);
  EXPECT_FLOAT_EQ(140, locRight->size[1]);
  EXPECT_EQ(0, Find("winMapImage")->zone[2]);  // takes no presses outside a drag
}

TEST_F(MapEditorTest, LandingZoneIsPlacedDraggedAndFollowedByTheCropClamp) {
  Import();
  zwDouble.sampleRed = 0.5f;
  int locCount = CountControls();
  Frame(112, 212, true, false);  // mode 1: the left button places nothing
  Frame(112, 212, false, false);
  EXPECT_EQ(locCount, CountControls());

  ZW_Execute("editor.setMode 2");
  ZW_Control* locButton = Find("editMapApplyImage");
  EXPECT_FLOAT_EQ(48, locButton->image[0]);
  EXPECT_FLOAT_EQ(48, locButton->imageOver[0]);
  Frame(112, 212, true, false);
  ASSERT_EQ(locCount + 1, CountControls());
  ZW_Control* locLz = zwControls.head;
  EXPECT_TRUE(Printed("new"));
  EXPECT_EQ(1, zwEditor.mode);
  EXPECT_EQ(ZW_ZONE_LANDING, locLz->zoneKind);
  EXPECT_STREQ("NOTEAM", locLz->team);
  EXPECT_STREQ("pagMap2", locLz->page);
  EXPECT_FLOAT_EQ(24, locLz->size[0]);
  EXPECT_EQ(locLz->id, zwControls.clickId);  // the press of the same frame

  Frame(112, 212, false, false);  // the drag routine runs once and rests
  EXPECT_FLOAT_EQ(100, locLz->pos[0]);
  EXPECT_FLOAT_EQ(200, locLz->pos[1]);
  EXPECT_FLOAT_EQ(2400, locLz->worldPos[0]);
  EXPECT_FLOAT_EQ(63.5f, locLz->worldPos[1]);
  EXPECT_FLOAT_EQ(1464, locLz->worldPos[2]);
  // The height map has 1024 by 1024 texels for the 512 by 512 map pixels.
  EXPECT_EQ(224, zwDouble.sampledAt[0]);
  EXPECT_EQ(488, zwDouble.sampledAt[1]);
  EXPECT_EQ(ZW_MoveRest, locLz->move);

  // A crop whose left edge lies right of the marker moves it, and its world
  // position is that of its new place, as a drag there would give.
  Frame(200, 50, false, true);
  Frame(400, 400, false, true);
  Frame(400, 400, false, false);
  Frame(400, 400, false, false);
  EXPECT_FLOAT_EQ(200, locLz->pos[0]);
  EXPECT_FLOAT_EQ(3072 - 212 * 6, locLz->worldPos[0]);
  EXPECT_FLOAT_EQ(1464, locLz->worldPos[2]);
  EXPECT_FLOAT_EQ(200, locLz->target[0]);

  // A VL placed in mode 3 is larger; a drag keeps it inside the crop.
  ZW_Execute("editor.setMode 3");
  Frame(16, 300, true, false);
  ZW_Control* locVl = zwControls.head;
  EXPECT_EQ(ZW_ZONE_VICTORY, locVl->zoneKind);
  EXPECT_FLOAT_EQ(32, locVl->size[0]);
  Frame(16, 300, true, false);
  EXPECT_FLOAT_EQ(200, locVl->pos[0]);  // crop left
  EXPECT_FLOAT_EQ(3072 - 216 * 6, locVl->worldPos[0]);
}

TEST_F(MapEditorTest, ExportAsksWritesAndBeeps) {
  ZW_Execute("editor.export");  // no map yet
  EXPECT_TRUE(Printed("ERROR: No map imported!"));
  EXPECT_TRUE(zwEditorDouble.questions.empty());

  Import();
  ZW_Execute("editor.setMode 2");
  Frame(112, 212, true, false);
  Frame(112, 212, false, false);
  zwEditorDouble.answerYes = false;
  ZW_Execute("editor.export");
  ASSERT_EQ(1u, zwEditorDouble.questions.size());
  EXPECT_EQ("Confirm Overwrite|WARNING: No VL is placed: the mission has no location to win.\n\n"
            "NOTE: You are about to modify your *.juice files.\nAll previous scripting and "
            "object placement on this\nmap will be lost! Are you sure?",
            zwEditorDouble.questions[0]);
  EXPECT_EQ("instances", ReadWholeFile(myBase + "Instances.juice", ""));
  EXPECT_EQ(0, zwEditorDouble.beeps);

  zwEditorDouble.answerYes = true;
  zwEditorDouble.cursors.clear();
  ZW_Execute("editor.export");
  EXPECT_EQ(1, zwEditorDouble.beeps);
  ASSERT_EQ(2u, zwEditorDouble.cursors.size());
  EXPECT_EQ(ZW_CURSOR_WAIT, zwEditorDouble.cursors[0]);
  EXPECT_EQ(ZW_CURSOR_ARROW, zwEditorDouble.cursors[1]);
  std::string locInstances = ReadWholeFile(myBase + "Instances.juice", "");
  EXPECT_NE(std::string::npos, locInstances.find("\t\t\t\tmyX 2400.000000\r\n\t\t\t\tmyY 0.000000\r\n\t\t\t\tmyZ 1464.000000\r\n"));
  EXPECT_NE(std::string::npos, locInstances.find("myShortDescription \"SMALL\""));
  ZW_Control* locLz = zwControls.head;
  EXPECT_FLOAT_EQ(3070, locLz->basePos[0]);  // 3622 - 500, clamped
  EXPECT_FLOAT_EQ(127, locLz->basePos[1]);
  EXPECT_FLOAT_EQ(0.5f, locLz->cameraRot[0]);

  // A read-only map file: reported, left whole, no beep.
  std::string locMap = ReadWholeFile(myBase + ".juice", "");
  chmod((myBase + ".juice").c_str(), S_IREAD);
  zwDouble.messageBoxes.clear();
  ZW_Execute("editor.export");
  EXPECT_EQ(1, zwEditorDouble.beeps);
  ASSERT_EQ(1u, zwDouble.messageBoxes.size());
  EXPECT_EQ("zonewright Error|ERROR: Could not write '" + myBase + ".juice'!", zwDouble.messageBoxes[0]);
  EXPECT_EQ(locMap, ReadWholeFile(myBase + ".juice", ""));
}

TEST_F(MapEditorTest, RescaleKeepsADraggedMarkerWhereItWasDragged) {
  ZW_UpdateWindowScale(640, 480);
  Import();
  ZW_Control* c = Place(2, 112, 212);
  Drag(112, 212, 162, 212);
  EXPECT_FLOAT_EQ(150, c->pos[0]);
  EXPECT_FLOAT_EQ(150, c->target[0]);
  ZW_UpdateWindowScale(1280, 960);  // half the scale, then back
  EXPECT_FLOAT_EQ(75, c->pos[0]);
  ZW_UpdateWindowScale(640, 480);
  EXPECT_FLOAT_EQ(150, c->pos[0]);
  EXPECT_FLOAT_EQ(200, c->pos[1]);
  EXPECT_FLOAT_EQ(3072 - 162 * 6, c->worldPos[0]);
}

TEST_F(MapEditorTest, HeightIsSampledUnderTheMarkerInTheHeightMapsOwnSize) {
  Import();
  for (int i = 0; i < 1024; i++) {
    zwDouble.redOfColumn.push_back((float)i / 1023.0f);
  }
  ZW_Control* c = Place(2, 300, 212);  // map pixel 300, 244
  EXPECT_EQ(600, zwDouble.sampledAt[0]);
  EXPECT_EQ(488, zwDouble.sampledAt[1]);
  EXPECT_FLOAT_EQ(127.0f * 600 / 1023, c->worldPos[1]);
  // A height map of another size is scaled to its own columns and rows.
  zwDouble.textureSize[0] = 640;
  zwDouble.textureSize[1] = 256;
  Drag(300, 212, 300, 213);
  EXPECT_EQ(375, zwDouble.sampledAt[0]);
  EXPECT_EQ(122, zwDouble.sampledAt[1]);
  EXPECT_FLOAT_EQ(127.0f * 375 / 1023, c->worldPos[1]);
}

TEST_F(MapEditorTest, FailedSecondImageReleasesTheFirst) {
  remove((myBase + "Overviewmap.tga").c_str());
  EXPECT_FALSE(ZW_Execute(("editor.openMap " + std::string("x")).c_str()));
  zwEditorDouble.dialogPath = myBase + "Instances.juice";
  zwDouble.released.clear();
  EXPECT_FALSE(ZW_Execute("editor.openMap"));
  ASSERT_EQ(1u, zwDouble.released.size());
  EXPECT_EQ("ERROR: Could not load the map image '" + myBase + "Overviewmap.tga'!",
            std::string(ZW_Result()).substr(0, 200));
}

TEST_F(MapEditorTest, FailuresSetTheCommandResult) {
  EXPECT_FALSE(ZW_Execute("editor.export"));
  EXPECT_STREQ("ERROR: No map imported!", ZW_Result());
  EXPECT_FALSE(ZW_Execute("editor.openMap nowhere/xInstances.juice"));
  EXPECT_STREQ("ERROR: Could not read the map file 'nowhere/x.juice'!", ZW_Result());
  EXPECT_FALSE(ZW_Execute("editor.openMap x.juice"));
  EXPECT_STREQ("ERROR: 'x.juice' is not an instances file!", ZW_Result());
  Import();
  EXPECT_TRUE(ZW_Execute("editor.export"));
  chmod((myBase + "Instances.juice").c_str(), S_IREAD);
  EXPECT_FALSE(ZW_Execute("editor.export"));
  EXPECT_EQ(0, strncmp("ERROR: Could not write '", ZW_Result(), 24)) << ZW_Result();
}

TEST_F(MapEditorTest, ExportWarnsBeforeItAsks) {
  Import();
  ZW_Execute("editor.export");
  const char kNoLz[] = "WARNING: No LZ is placed: no player has a place to land.";
  const char kNoVl[] = "WARNING: No VL is placed: the mission has no location to win.";
  EXPECT_TRUE(Printed(kNoLz));
  EXPECT_TRUE(Printed(kNoVl));
  int locDebug = 0;
  for (const std::string& l : zwDouble.debugOutput) {
    locDebug += l.find("WARNING: No ") == 0;
  }
  EXPECT_EQ(2, locDebug);
  const std::string kConfirm =
      "NOTE: You are about to modify your *.juice files.\nAll previous scripting and "
      "object placement on this\nmap will be lost! Are you sure?";
  ASSERT_EQ(1u, zwEditorDouble.questions.size());
  EXPECT_EQ("Confirm Overwrite|" + std::string(kNoLz) + "\n" + kNoVl + "\n\n" + kConfirm,
            zwEditorDouble.questions[0]);

  // Nothing to report: the box as it always was.
  Place(2, 112, 212);
  Place(3, 212, 212);
  ZW_Execute("editor.export");
  EXPECT_EQ("Confirm Overwrite|" + kConfirm, zwEditorDouble.questions[1]);

  // Seventeen LZs and a small playfield.
  for (int i = 1; i < 17; i++) {
    Place(2, 112 + 10 * i, 212);
  }
  Crop(100, 100, 150, 150);  // pixels 100, 130, 160, 190
  ZW_Execute("editor.export");
  EXPECT_EQ("Confirm Overwrite|WARNING: 17 LZs are placed: LZ 17 and later start in team 1.\n"
            "WARNING: The playfield is 360 world units wide, less than 600.\n"
            "WARNING: The playfield is 360 world units high, less than 600.\n\n" + kConfirm,
            zwEditorDouble.questions[2]);
}

TEST_F(MapEditorTest, ExportKeepsThePreviousFilesAndStopsWhenItCannot) {
  std::string locMap = ReadWholeFile(myBase + ".juice", "");
  Import();
  Place(2, 112, 212);
  Place(3, 212, 212);
  ZW_Execute("editor.export");
  EXPECT_EQ(locMap, ReadWholeFile(myBase + ".juice.bak", ""));
  EXPECT_EQ("instances", ReadWholeFile(myBase + "Instances.juice.bak", ""));
  std::string locFirstMap = ReadWholeFile(myBase + ".juice", "");
  std::string locFirstInstances = ReadWholeFile(myBase + "Instances.juice", "");
  Drag(112, 212, 150, 250);
  ZW_Execute("editor.export");  // one generation: the first export's files
  EXPECT_EQ(locFirstMap, ReadWholeFile(myBase + ".juice.bak", ""));
  EXPECT_EQ(locFirstInstances, ReadWholeFile(myBase + "Instances.juice.bak", ""));
  // The game editor's files stay as they were imported.
  EXPECT_EQ(locMap, ReadWholeFile(myBase + ".juice.orig", ""));
  EXPECT_EQ("instances", ReadWholeFile(myBase + "Instances.juice.orig", ""));

  // A backup that cannot be written: nothing is written, the error is shown.
  std::string locMapNow = ReadWholeFile(myBase + ".juice", "");
  std::string locInstancesNow = ReadWholeFile(myBase + "Instances.juice", "");
  remove((myBase + "Instances.juice.bak").c_str());
  ASSERT_EQ(0, MakeFolder(myBase + "Instances.juice.bak"));
  Drag(150, 250, 200, 250);
  zwDouble.messageBoxes.clear();
  int locBeeps = zwEditorDouble.beeps;
  EXPECT_FALSE(ZW_Execute("editor.export"));
  rmdir((myBase + "Instances.juice.bak").c_str());
  std::string locLine = "ERROR: Could not keep the previous file as '" + myBase + "Instances.juice.bak'!";
  EXPECT_TRUE(Printed(locLine.substr(0, ZW_LINE_SIZE - 1).c_str()));  // a line keeps 127 characters
  ASSERT_EQ(1u, zwDouble.messageBoxes.size());
  EXPECT_EQ("zonewright Error|" + locLine, zwDouble.messageBoxes[0]);
  EXPECT_EQ(locBeeps, zwEditorDouble.beeps);
  EXPECT_EQ(locMapNow, ReadWholeFile(myBase + ".juice", ""));
  EXPECT_EQ(locInstancesNow, ReadWholeFile(myBase + "Instances.juice", ""));
  EXPECT_EQ("", ReadWholeFile(myBase + "Instances.juice.tmp", ""));
  EXPECT_EQ(locMap, ReadWholeFile(myBase + ".juice.orig", ""));
}

// An export that fails halfway (the instances file read-only) leaves every
// file as it was; a retry keeps what the last export that succeeded replaced.
TEST_F(MapEditorTest, ExportThatFailsHalfwayIsTakenBackWhole) {
  Import();
  ZW_Control* a = Place(2, 112, 212);
  ZW_Execute("editor.export");
  std::string locMap = ReadWholeFile(myBase + ".juice", "");
  std::string locInstances = ReadWholeFile(myBase + "Instances.juice", "");
  std::string locMapBak = ReadWholeFile(myBase + ".juice.bak", "");
  float locBase[3];
  memcpy(locBase, a->basePos, sizeof(locBase));
  Drag(112, 212, 212, 262);
  chmod((myBase + "Instances.juice").c_str(), S_IREAD);
  zwDouble.messageBoxes.clear();
  EXPECT_FALSE(ZW_Execute("editor.export"));
  ASSERT_EQ(1u, zwDouble.messageBoxes.size());
  EXPECT_EQ("zonewright Error|ERROR: Could not write '" + myBase + "Instances.juice'!", zwDouble.messageBoxes[0]);
  EXPECT_EQ(locMap, ReadWholeFile(myBase + ".juice", ""));
  EXPECT_EQ(locInstances, ReadWholeFile(myBase + "Instances.juice", ""));
  EXPECT_EQ(locMapBak, ReadWholeFile(myBase + ".juice.bak", ""));
  EXPECT_EQ("instances", ReadWholeFile(myBase + "Instances.juice.bak", ""));
  EXPECT_EQ(0, memcmp(locBase, a->basePos, sizeof(locBase)));  // the last export's base

  chmod((myBase + "Instances.juice").c_str(), S_IREAD | S_IWRITE);
  EXPECT_TRUE(ZW_Execute("editor.export"));
  EXPECT_EQ(locMap, ReadWholeFile(myBase + ".juice.bak", ""));
  EXPECT_EQ(locInstances, ReadWholeFile(myBase + "Instances.juice.bak", ""));
  EXPECT_EQ("instances", ReadWholeFile(myBase + "Instances.juice.orig", ""));

  // A ".orig" that cannot be written: said, and nothing written.
  remove((myBase + ".juice.orig").c_str());
  ASSERT_EQ(0, MakeFolder(myBase + ".juice.orig.tmp"));
  std::string locNow = ReadWholeFile(myBase + ".juice", "");
  EXPECT_FALSE(ZW_Execute("editor.export"));
  rmdir((myBase + ".juice.orig.tmp").c_str());
  EXPECT_EQ("ERROR: Could not keep the original file as '" + myBase + ".juice.orig'!",
            std::string(ZW_Result()));
  EXPECT_EQ(locNow, ReadWholeFile(myBase + ".juice", ""));
  EXPECT_EQ("<none>", ReadWholeFile(myBase + ".juice.orig", "<none>"));
}

TEST_F(MapEditorTest, DeleteRemovesTheMarkerUnderThePointerAndTheNumbersFollow) {
  Import();
  ZW_Control* a = Place(2, 112, 212);
  EXPECT_FLOAT_EQ(0, Find("editMapApplyImage")->image[0]);  // released again
  ZW_Control* b = Place(2, 212, 212);
  ZW_Control* c = Place(3, 312, 212);
  EXPECT_FLOAT_EQ(0, Find("editMapApplyOver")->image[0]);
  ZW_EditorRelabel();
  EXPECT_STREQ("1 T1", b->label);
  EXPECT_STREQ("2 T2", a->label);
  EXPECT_STREQ("1", c->label);

  Frame(400, 300, false, false);
  Key(ZW_KEY_DELETE);  // over no marker
  EXPECT_EQ(3, Markers());
  Frame(212, 210, false, false);
  zwConsole.open = 1;
  Key(ZW_KEY_DELETE);  // the console takes the key
  zwConsole.open = 0;
  zwControls.edited = Find("editMapTex");
  Key(ZW_KEY_DELETE);  // so does a text entry
  zwControls.edited = zwControls.owner;
  EXPECT_EQ(3, Markers());
  Key(ZW_KEY_DELETE);
  EXPECT_EQ(2, Markers());
  EXPECT_EQ(-1, ZW_ControlIndex(b));
  zwDouble.texts.clear();
  ZW_EditorDrawLabels();
  EXPECT_STREQ("1 T1", a->label);
  ASSERT_EQ(1, zwDouble.textLists);
  ASSERT_EQ(2u, zwDouble.texts.size());
  EXPECT_EQ("1", zwDouble.texts[0].text);  // the VL, newest first
  EXPECT_FLOAT_EQ(c->pos[0] + 32, zwDouble.texts[0].x);
  EXPECT_EQ("1 T1", zwDouble.texts[1].text);
  EXPECT_EQ(1, zwDouble.texts[1].font);
  EXPECT_EQ(0xFFFFFFFFu, zwDouble.texts[1].colour);

  ZW_Execute("editor.export");
  std::string locInstances = ReadWholeFile(myBase + "Instances.juice", "");
  EXPECT_NE(std::string::npos, locInstances.find("LZ_1_thing"));
  EXPECT_EQ(std::string::npos, locInstances.find("LZ_2_thing"));
  EXPECT_NE(std::string::npos, locInstances.find("\t\t\t\tmyX 2400.000000\r\n"));  // a's place
}

TEST_F(MapEditorTest, UndoTakesBackEachKindOfStepInTurn) {
  Import();
  zwDouble.sampleRed = 0.5f;
  // A placement and the drag of its press: one step.
  Frame(112, 212, false, false);
  ZW_Execute("editor.setMode 2");
  Frame(112, 212, true, false);
  ZW_Control* a = zwControls.head;
  Frame(132, 212, true, false);
  Frame(132, 212, false, false);
  EXPECT_FLOAT_EQ(120, a->pos[0]);
  EXPECT_EQ(1, ZW_EditorUndoSteps());
  Drag(132, 212, 132, 212);  // moves nothing: no step
  EXPECT_EQ(1, ZW_EditorUndoSteps());
  Drag(132, 212, 182, 262);
  EXPECT_EQ(2, ZW_EditorUndoSteps());
  float locDragged[3];
  memcpy(locDragged, a->worldPos, sizeof(locDragged));
  zwDouble.sampleRed = 0.25f;
  Crop(300, 100, 450, 400);  // the marker at x 170 is clamped to 300
  EXPECT_EQ(3, ZW_EditorUndoSteps());
  EXPECT_FLOAT_EQ(300, a->pos[0]);
  EXPECT_FLOAT_EQ(31.75f, a->worldPos[1]);
  Frame(312, 262, false, false);
  Key(ZW_KEY_DELETE);
  EXPECT_EQ(0, Markers());
  EXPECT_EQ(4, ZW_EditorUndoSteps());

  Key('Z');  // without Ctrl: nothing
  EXPECT_EQ(0, Markers());
  Frame(312, 262, true, false);
  Key('Z', true);  // not while a button is down
  EXPECT_EQ(0, Markers());
  Frame(312, 262, false, false);
  Key('Z', true);  // the removal
  ASSERT_EQ(1, Markers());
  EXPECT_EQ(a, zwControls.head);
  EXPECT_FLOAT_EQ(300, a->pos[0]);
  EXPECT_FLOAT_EQ(3072 - 312 * 6, a->worldPos[0]);
  Key('Z', true);  // the crop change, with the marker it moved
  EXPECT_FLOAT_EQ(84, zwMap.crop.left);
  EXPECT_FLOAT_EQ(429, zwMap.crop.right);
  EXPECT_FLOAT_EQ(170, a->pos[0]);
  EXPECT_FLOAT_EQ(170, a->target[0]);
  EXPECT_EQ(0, memcmp(locDragged, a->worldPos, sizeof(locDragged)));
  Frame(10, 10, false, false);  // the crop editing keeps it there
  EXPECT_FLOAT_EQ(170, a->pos[0]);
  Key('Z', true);  // the drag
  EXPECT_FLOAT_EQ(120, a->pos[0]);
  EXPECT_FLOAT_EQ(200, a->pos[1]);
  EXPECT_FLOAT_EQ(3072 - 132 * 6, a->worldPos[0]);
  EXPECT_FLOAT_EQ(63.5f, a->worldPos[1]);
  Key('Z', true);  // the placement
  EXPECT_EQ(0, Markers());
  EXPECT_EQ(0, ZW_EditorUndoSteps());
  Key('Z', true);  // nothing left: nothing happens
  EXPECT_EQ(0, Markers());

  // At least 64 steps deep; the oldest go first.
  for (int i = 0; i < ZW_UNDO_DEPTH + 2; i++) {
    Place(2, 112, 212);
  }
  EXPECT_EQ(ZW_UNDO_DEPTH, ZW_EditorUndoSteps());
  for (int i = 0; i < ZW_UNDO_DEPTH + 2; i++) {
    Key('Z', true);
  }
  EXPECT_EQ(2, Markers());
  EXPECT_GE(ZW_UNDO_DEPTH, 64);
}

TEST_F(MapEditorTest, ScriptDeletingAMarkerDropsTheHistory) {
  Import();
  ZW_Control* a = Place(2, 112, 212);
  Frame(112, 210, false, false);
  Key(ZW_KEY_DELETE);
  Place(2, 212, 212);
  ZW_Execute("control.delete");  // the new marker is active
  EXPECT_EQ(0, ZW_EditorUndoSteps());
  EXPECT_EQ(0, Markers());
  Key('Z', true);
  EXPECT_EQ(0, Markers());
  (void)a;
}

TEST_F(MapEditorTest, ExportedMissionResumesAndExportsAgainByteForByte) {
  Import();
  zwDouble.sampleRed = 0.5f;
  Place(2, 112, 212);
  Place(3, 212, 212);
  Place(2, 312, 312);
  Drag(312, 312, 301, 290);
  Place(3, 150, 150);
  Crop(140, 60, 380, 380);  // pixels 140, 90, 390, 420: two markers are clamped
  ZW_Execute("editor.export");
  std::string locMap = ReadWholeFile(myBase + ".juice", "");
  std::string locInstances = ReadWholeFile(myBase + "Instances.juice", "");
  std::vector<std::vector<float>> locWorlds = MarkersByKind();

  // A new run: the import recreates the markers, in the same order, with
  // their written world positions (no height is sampled), and the playfield.
  TearDownRun();
  Import();
  EXPECT_TRUE(Printed("Read 2 LZs and 2 VLs of the mission."));
  // LZs and VLs each keep their order (which is their numbering).
  EXPECT_EQ(locWorlds, MarkersByKind());
  EXPECT_FLOAT_EQ(140, zwMap.crop.left);
  EXPECT_FLOAT_EQ(420, zwMap.crop.bottom);
  for (int i = 0; i < 3; i++) {
    Frame(10, 10, false, false);  // crop editing runs: nothing moves
  }
  ZW_Execute("editor.export");
  EXPECT_EQ(locMap, ReadWholeFile(myBase + ".juice", ""));
  EXPECT_EQ(locInstances, ReadWholeFile(myBase + "Instances.juice", ""));

  // A resumed marker is a marker like any other: it can be dragged.
  ZW_Control* locFirst = zwControls.head;
  ASSERT_EQ(ZW_ZONE_LANDING, locFirst->zoneKind);
  float x = locFirst->pos[0] + 12, y = locFirst->pos[1] + 12;
  Drag((int)x, (int)y, (int)x + 20, (int)y);
  EXPECT_FLOAT_EQ(locWorlds[0][1] - 120, locFirst->worldPos[0]);
}

TEST_F(MapEditorTest, ForeignOrDamagedInstancesImportTheMapWithoutMarkers) {
  // The game editor's own file: imported as ever, without a word.
  WriteWholeFile(myBase + "Instances.juice", "INCLUDE kyx/xinstancecontainer.fruit\r\n\r\nXInstances_0002 x\r\n{\r\n}\r\n");
  Import();
  EXPECT_EQ(0, Markers());
  for (const auto& l : zwConsole.scrollBack) {
    EXPECT_EQ(nullptr, strstr(l, "markers")) << l;
  }

  // An exported mission with one changed digit: the map, no markers, a reason.
  Place(2, 112, 212);
  ZW_Execute("editor.export");
  std::string locInstances = ReadWholeFile(myBase + "Instances.juice", "");
  size_t locAt = locInstances.find("myX 2400.000000");
  ASSERT_NE(std::string::npos, locAt);
  locInstances[locAt + 5] = '5';
  WriteWholeFile(myBase + "Instances.juice", locInstances);
  TearDownRun();
  Import();
  EXPECT_EQ(0, Markers());
  EXPECT_TRUE(Printed("No markers read: the instances file does not match its markers, playfield and map name."));

  WriteWholeFile(myBase + "Instances.juice", "\x01\x02");
  TearDownRun();
  Import();
  EXPECT_EQ(0, Markers());
  EXPECT_TRUE(Printed("No markers read: the file is not an instances file."));
}

// --- One step for each change, none across an import --------------------

TEST_F(MapEditorTest, CropDragThatLeavesTheMapAndComesBackIsOneStep) {
  Import();
  ZW_Control* a = Place(2, 300, 300);  // top-left 288, 288
  const ZW_Crop locBefore = zwMap.crop;
  float locWorld[3];
  memcpy(locWorld, a->worldPos, sizeof(locWorld));
  EXPECT_EQ(1, ZW_EditorUndoSteps());
  Frame(60, 60, false, true);     // first corner 60 (84 at the limit), 90
  Frame(450, 450, false, true);
  Frame(600, 450, false, true);   // over the panel, still held
  Frame(600, 450, false, true);
  EXPECT_EQ(1, ZW_EditorUndoSteps());
  EXPECT_FLOAT_EQ(288, a->pos[0]);  // nothing is clamped while the drag runs
  Frame(200, 200, false, true);   // back on the map: corner 210, 240
  Frame(200, 200, false, false);
  Frame(200, 200, false, false);
  EXPECT_EQ(2, ZW_EditorUndoSteps());
  // Left of the limit: world 500 at pixel 84, which the crop editing reads as 504.
  EXPECT_TRUE(Printed("Playfield 504:540:1260:1440"));
  EXPECT_FLOAT_EQ(186, a->pos[0]);  // 210 - 24
  EXPECT_FLOAT_EQ(184, a->pos[1]);  // 240 - 24 - 32

  Key('Z', true);  // the whole drag, with the clamp at its release
  EXPECT_FLOAT_EQ(locBefore.left, zwMap.crop.left);
  EXPECT_EQ(locBefore.worldBottom, zwMap.crop.worldBottom);
  EXPECT_FLOAT_EQ(288, a->pos[0]);
  EXPECT_FLOAT_EQ(288, a->pos[1]);
  EXPECT_EQ(0, memcmp(locWorld, a->worldPos, sizeof(locWorld)));
  Frame(10, 10, false, false);
  EXPECT_FLOAT_EQ(288, a->pos[0]);
  Key('Z', true);
  EXPECT_EQ(0, Markers());
}

TEST_F(MapEditorTest, RightClickWithoutADragChangesNothing) {
  Import();
  Place(2, 112, 212);
  const ZW_Crop locBefore = zwMap.crop;
  auto Unchanged = [&] {
    return zwMap.crop.left == locBefore.left && zwMap.crop.top == locBefore.top &&
           zwMap.crop.right == locBefore.right && zwMap.crop.bottom == locBefore.bottom &&
           zwMap.crop.worldLeft == locBefore.worldLeft && zwMap.crop.worldRight == locBefore.worldRight;
  };
  Frame(200, 200, false, true);
  EXPECT_TRUE(Unchanged());  // no empty or reversed rectangle, not for a frame
  Frame(200, 200, false, true);
  Frame(200, 200, false, true);
  EXPECT_TRUE(Unchanged());
  Frame(200, 200, false, false);
  Frame(200, 200, false, false);
  EXPECT_TRUE(Unchanged());
  EXPECT_FLOAT_EQ(locBefore.right - locBefore.left, Find("winMapCrs1")->size[0]);  // the lines stay
  EXPECT_EQ(1, ZW_EditorUndoSteps());
  for (const auto& l : zwConsole.scrollBack) {
    EXPECT_NE(0, strncmp(l, "Playfield ", 10)) << l;
  }
}

TEST_F(MapEditorTest, UndoDoesNotReachAcrossAnImport) {
  Import();
  ZW_Control* a = Place(3, 212, 212);
  Crop(100, 60, 400, 400);  // pixels 100, 90, 410, 440
  ZW_Execute("editor.export");
  Frame(a->pos[0] + 16, a->pos[1] + 16, false, false);
  Key(ZW_KEY_DELETE);
  ASSERT_EQ(0, Markers());
  ASSERT_EQ(3, ZW_EditorUndoSteps());
  Import();  // resumes the exported VL and playfield
  ASSERT_EQ(1, Markers());
  EXPECT_EQ(0, ZW_EditorUndoSteps());
  const ZW_Crop locResumed = zwMap.crop;
  Key('Z', true);  // neither the removed VL nor the old playfield comes back
  Frame(10, 10, false, false);
  EXPECT_EQ(1, Markers());
  EXPECT_FLOAT_EQ(locResumed.left, zwMap.crop.left);
  EXPECT_EQ(locResumed.worldRight, zwMap.crop.worldRight);
  ZW_Execute("editor.export");
  std::string locInstances = ReadWholeFile(myBase + "Instances.juice", "");
  EXPECT_NE(std::string::npos, locInstances.find("VL_1_thing"));
  EXPECT_EQ(std::string::npos, locInstances.find("VL_2_thing"));
}

TEST_F(MapEditorTest, ResumedMarkerOutsideItsPlayfieldImportsTheMapWithoutMarkers) {
  // An LZ at map pixel 112 with a playfield whose left edge is pixel 200.
  ZW_Crop locCrop;
  ZW_CropFromWorld(&locCrop, 1200, 540, 2460, 2520);
  ZW_ExportMarker locLz = {ZW_ZONE_LANDING, {2400, 0, 1464}, {}, {}, {}};
  WriteMission(locCrop, &locLz, 1);
  Import();
  EXPECT_TRUE(Printed("No markers read: a marker lies outside the playfield."));
  EXPECT_EQ(0, Markers());
  EXPECT_EQ(500, zwMap.crop.worldLeft);  // the playfield as before the import
  Frame(10, 10, false, false);
  EXPECT_EQ(-1, zwDouble.sampledAt[0]);

  // A VL held on the top-left edge of a playfield at world 674, 673 (pixels
  // 112.33, 112.17) reads back a rounding step beyond the edge: it is inside.
  ZW_CropFromWorld(&locCrop, 674, 673, 2460, 2520);
  volatile float u = locCrop.left + 16.0f, v = locCrop.top + 16.0f;
  ZW_ExportMarker locVl = {ZW_ZONE_VICTORY, {(float)ZW_WORLD_SIZE - u * 6, 0, v * 6}, {}, {}, {}};
  WriteMission(locCrop, &locVl, 1);
  Reimport();
  EXPECT_TRUE(Printed("Read 0 LZs and 1 VLs of the mission."));
  ExpectExportUnchanged();
}

// --- The playfield round trip -----------------------------------------------

TEST_F(MapEditorTest, PlayfieldAtTheLimitsResumesAndExportsByteForByte) {
  // The sample map's files: the initial playfield (world 500 to 2578), no markers.
  ZW_Crop locCrop;
  ZW_CropInit(&locCrop);
  WriteMission(locCrop, nullptr, 0);
  Import();
  EXPECT_TRUE(Printed("Read 0 LZs and 0 VLs of the mission."));
  ExpectExportUnchanged();
  EXPECT_STREQ("UV:500:500:2578:2578", Find("txtMapCoords")->caption);

  // Markers held at the top-left and the bottom-right corner come back there.
  zwDouble.sampleRed = 0.5f;
  Place(2, 100, 100);
  Drag(100, 100, 0, 0);
  Place(3, 300, 300);
  Drag(300, 300, 511, 470);
  ZW_Execute("editor.export");
  std::vector<std::vector<float>> locWorlds = MarkersByKind();
  Reimport();
  EXPECT_TRUE(Printed("Read 1 LZs and 1 VLs of the mission."));
  ExpectExportUnchanged();
  EXPECT_EQ(locWorlds, MarkersByKind());
}

}  // namespace

// --- Mirrored placement ------------------------------------------------------
// The playfield in these tests is pixels 100 to 400 both ways (world 600 to
// 2400): its centre is pixel 250, on the screen y 218 (the map image lies 32
// above the screen). An LZ pressed at (150, 150) has its centre at map pixel
// (150, 182).

class MirrorTest : public MapEditorTest {
 protected:
  void SetUp() override {
    MapEditorTest::SetUp();
    Import();
    SetCrop(100, 100, 400, 400);
  }

  void SetCrop(float aLeft, float aTop, float aRight, float aBottom) {
    zwMap.crop.left = aLeft;
    zwMap.crop.top = aTop;
    zwMap.crop.right = aRight;
    zwMap.crop.bottom = aBottom;
    ZW_EditorUpdateCropLines();
  }

  void ExpectAt(const ZW_Control* c, float x, float y) {
    ASSERT_NE(nullptr, c);
    EXPECT_FLOAT_EQ(x, c->pos[0]);
    EXPECT_FLOAT_EQ(y, c->pos[1]);
  }

  // World position as a placement at the marker's place gives it.
  void ExpectWorld(const ZW_Control* c, float x, float z) {
    EXPECT_FLOAT_EQ(x, c->worldPos[0]);
    EXPECT_FLOAT_EQ(z, c->worldPos[2]);
  }
};

TEST_F(MirrorTest, EachModePutsTheTwinAtTheMirroredPlace) {
  struct Case {
    int mode;
    float x, y;              // the twin's top-left
    float worldX, worldZ;
  } const kCases[] = {
      {1, 338, 274, 3072 - 350 * 6, 318 * 6},  // centre 350, 318
      {2, 338, 138, 3072 - 350 * 6, 182 * 6},
      {3, 138, 274, 3072 - 150 * 6, 318 * 6},
  };
  // Every texel column its own height, so that the twin's shows where it was read.
  for (int i = 0; i < 1024; i++) {
    zwDouble.redOfColumn.push_back((float)i / 1024);
  }
  for (const Case& k : kCases) {
    SCOPED_TRACE(k.mode);
    char locLine[32];
    snprintf(locLine, sizeof(locLine), "editor.mirror %d", k.mode);
    ZW_Execute(locLine);
    ZW_Control* a = Place(2, 150, 150);
    ZW_Control* b = ZW_EditorTwin(a);
    ExpectAt(a, 138, 138);
    ExpectWorld(a, 3072 - 150 * 6, 182 * 6);
    ExpectAt(b, k.x, k.y);
    ExpectWorld(b, k.worldX, k.worldZ);
    int locColumn = (int)(3072 - k.worldX) / 6 * 2;  // the height map has 1024 columns
    EXPECT_FLOAT_EQ(127.0f * (float)locColumn / 1024, b->worldPos[1]);
    EXPECT_EQ(a, ZW_EditorTwin(b));
    ZW_Execute("editor.mirror 0");  // each goes alone
    Frame(150, 150, false, false);
    Key(ZW_KEY_DELETE);
    EXPECT_EQ(1, Markers());
    Frame(k.x + 12, k.y + 12, false, false);
    Key(ZW_KEY_DELETE);
    EXPECT_EQ(0, Markers());
  }
}

TEST_F(MirrorTest, TwinAtTheCentreAndOnTheEdgesStaysWhereTheMirrorPutsIt) {
  ZW_Execute("editor.mirror 1");
  ZW_Control* a = Place(3, 250, 218);  // a VL on the centre: its twin on it
  ExpectAt(a, 234, 202);
  ExpectAt(ZW_EditorTwin(a), 234, 202);
  ExpectWorld(ZW_EditorTwin(a), a->worldPos[0], a->worldPos[2]);

  // Pressed beyond the top-left corner: held on it; the twin lies on the
  // opposite corner, exactly inside.
  ZW_Control* b = Place(2, 50, 50);
  ExpectAt(b, 100, 68);
  ExpectAt(ZW_EditorTwin(b), 376, 344);
  EXPECT_TRUE(Printed("LZ 2 at 744, 2328"));
  for (const auto& l : zwConsole.scrollBack) {
    EXPECT_EQ(nullptr, strstr(l, "outside the playfield")) << l;
  }
}

TEST_F(MirrorTest, TwinWhoseMirroredPlaceLiesOutsideIsHeldInsideAndSaidSo) {
  // A playfield narrower than an LZ holds it at its upper bound, 110 - 24;
  // the mirror of that lies at 100 + 110 - 98 - 12 = 100, beyond it.
  SetCrop(100, 100, 110, 400);
  ZW_Execute("editor.mirror 2");
  ZW_Control* a = Place(2, 150, 150);
  ExpectAt(a, 86, 138);
  ZW_Control* b = ZW_EditorTwin(a);
  ExpectAt(b, 86, 138);
  ExpectWorld(b, 3072 - 98 * 6, 182 * 6);
  EXPECT_TRUE(Printed("LZ 2: its mirrored place lies outside the playfield; it is held inside."));
}

TEST_F(MirrorTest, TwinTakesTheNextNumberSoThatPairsAreTeamsOneAndTwo) {
  ZW_Execute("editor.mirror 1");
  ZW_Control* a = Place(2, 150, 150);
  ZW_Control* b = ZW_EditorTwin(a);
  ZW_EditorRelabel();
  EXPECT_STREQ("1 T1", a->label);
  EXPECT_STREQ("2 T2", b->label);
  Place(3, 200, 150);  // VLs are numbered apart
  ZW_Control* c = Place(2, 170, 150);
  ZW_Control* d = ZW_EditorTwin(c);
  ZW_EditorRelabel();
  EXPECT_STREQ("1 T1", c->label);
  EXPECT_STREQ("2 T2", d->label);
  EXPECT_STREQ("3 T3", a->label);
  EXPECT_STREQ("4 T4", b->label);
  EXPECT_EQ(6, Markers());

  // What the export writes: LZ 2 is the twin, in team 2.
  ZW_Execute("editor.export");
  std::string locInstances = ReadWholeFile(myBase + "Instances.juice", "");
  size_t locLz2 = locInstances.find("TEAM_AddZone TEAM_AddZone_LZ2_cap");
  ASSERT_NE(std::string::npos, locLz2);
  EXPECT_EQ(locInstances.find("myStartingTeam TEAM_2", locLz2), locInstances.find("myStartingTeam", locLz2));
}

TEST_F(MirrorTest, PairIsDraggedRemovedAndUndoneAsOneStep) {
  ZW_Execute("editor.mirror 1");
  ZW_Control* a = Place(2, 150, 150);
  ZW_Control* b = ZW_EditorTwin(a);
  EXPECT_EQ(1, ZW_EditorUndoSteps());

  Drag(150, 150, 200, 170);  // centre (200, 202 on the map): twin (300, 298)
  EXPECT_EQ(2, ZW_EditorUndoSteps());
  ExpectAt(a, 188, 158);
  ExpectAt(b, 288, 254);
  ExpectWorld(b, 3072 - 300 * 6, 298 * 6);
  EXPECT_FLOAT_EQ(288, b->target[0]);  // a rescale keeps it there
  EXPECT_TRUE(Printed("LZ 2 at 1272, 1788"));
  Frame(10, 10, false, false);
  ExpectAt(b, 288, 254);

  Key('Z', true);
  ExpectAt(a, 138, 138);
  ExpectAt(b, 338, 274);
  EXPECT_EQ(1, ZW_EditorUndoSteps());

  // Delete on the twin takes both, and one undo brings both back as a pair.
  Frame(350, 286, false, false);
  Key(ZW_KEY_DELETE);
  EXPECT_EQ(0, Markers());
  EXPECT_TRUE(Printed("Removed LZ 2 and LZ 1"));
  EXPECT_EQ(2, ZW_EditorUndoSteps());
  Key('Z', true);
  ASSERT_EQ(2, Markers());
  EXPECT_EQ(a, zwControls.head);
  EXPECT_EQ(b, a->next);
  EXPECT_EQ(b, ZW_EditorTwin(a));
  ExpectAt(b, 338, 274);

  // Undo of the placement takes both.
  Key('Z', true);
  EXPECT_EQ(0, Markers());
  EXPECT_EQ(0, ZW_EditorUndoSteps());
}

TEST_F(MirrorTest, WithMirroringOffThePairsMarkersMoveAndGoAlone) {
  ZW_Execute("editor.mirror 1");
  ZW_Control* a = Place(2, 150, 150);
  ZW_Control* b = ZW_EditorTwin(a);
  ZW_Execute("editor.mirror 0");
  Drag(150, 150, 200, 170);
  ExpectAt(b, 338, 274);
  Frame(200, 170, false, false);
  Key(ZW_KEY_DELETE);
  EXPECT_EQ(1, Markers());
  EXPECT_EQ(nullptr, ZW_EditorTwin(b));
  Key('Z', true);  // back, paired again
  EXPECT_EQ(b, ZW_EditorTwin(a));

  // Mirroring on again: a drag puts the twin back at the mirrored place.
  ZW_Execute("editor.mirror 1");
  Drag(200, 170, 150, 150);
  ExpectAt(b, 338, 274);
  Key('Z', true);  // the drag of both, one step
  ExpectAt(a, 188, 158);
  ExpectAt(b, 338, 274);
  EXPECT_EQ(2, ZW_EditorUndoSteps());

  // A script's deletion of one leaves the other single.
  zwControls.active = a;
  ZW_Execute("control.delete");
  EXPECT_EQ(nullptr, ZW_EditorTwin(b));
}

TEST_F(MirrorTest, KeyMCyclesTheModesShownAboveThePlayfield) {
  ZW_Execute("editor.mirror 4");
  EXPECT_STREQ("ERROR: Out of range (0,3) !", ZW_Result());
  ZW_Control* locLine = Find("winMapCrs1");
  locLine->draw = ZW_DrawVisible;
  locLine->pos[1] = 68;
  const char* const kShown[] = {"", "Mirror: point", "Mirror: vertical", "Mirror: horizontal", ""};
  for (int i = 0; i < 5; i++) {
    EXPECT_EQ(i % 4, zwEditor.mirror);
    zwDouble.texts.clear();
    ZW_EditorDrawLabels();
    ASSERT_EQ(kShown[i][0] ? 1u : 0u, zwDouble.texts.size());
    if (kShown[i][0]) {
      EXPECT_EQ(kShown[i], zwDouble.texts[0].text);
      EXPECT_EQ(1, zwDouble.texts[0].font);  // the labels' look
      EXPECT_FLOAT_EQ(52, zwDouble.texts[0].y);
    }
    Key('M');
  }
  locLine->pos[1] = 10;  // no room above the line: below it
  zwDouble.texts.clear();
  ZW_EditorDrawLabels();
  ASSERT_EQ(1u, zwDouble.texts.size());
  EXPECT_FLOAT_EQ(12, zwDouble.texts[0].y);
  zwConsole.open = 1;
  Key('M');  // the console takes the key
  zwConsole.open = 0;
  Key('M', true);
  EXPECT_EQ(1, zwEditor.mirror);
}

// --- The balance at export -----------------------------------------------------

TEST_F(MirrorTest, ExportWarnsOfAnUnfairBalanceOnceTheToolsAreUsed) {
  const std::string kConfirm =
      "NOTE: You are about to modify your *.juice files.\nAll previous scripting and "
      "object placement on this\nmap will be lost! Are you sure?";
  // Team 1 (the newest LZ) 300 from the VL, team 2 600.
  Place(3, 250, 218);
  Place(2, 250, 318);
  Place(2, 200, 218);
  ZW_Execute("editor.export");
  EXPECT_EQ("Confirm Overwrite|" + kConfirm, zwEditorDouble.questions.back());  // as it always was

  ZW_Execute("editor.balance");
  EXPECT_TRUE(Printed("Team 1 (1 LZ): nearest VL 300, mean 300, first at 1 VL, height +0.0"));
  EXPECT_TRUE(Printed("Largest difference: 50.0% (nearest VL 50.0%, mean 50.0%)"));
  ZW_Execute("editor.export");
  const char kNearest[] = "WARNING: Teams 1 and 2 differ by 50.0% in the distance to their nearest VL.";
  EXPECT_EQ("Confirm Overwrite|" + std::string(kNearest) +
                "\nWARNING: Teams 1 and 2 differ by 50.0% in the mean distance to the VLs.\n\n" + kConfirm,
            zwEditorDouble.questions.back());
  EXPECT_TRUE(Printed(kNearest));
}

TEST_F(MirrorTest, MirroredPairsAreBalancedAndExportAsSingleMarkers) {
  ZW_Execute("editor.mirror 1");
  Place(2, 150, 150);
  Place(3, 180, 300);
  ZW_Execute("editor.balance");
  EXPECT_TRUE(Printed("Largest difference: 0.0% (nearest VL 0.0%, mean 0.0%)"));
  ZW_Execute("editor.export");
  EXPECT_EQ(std::string::npos, zwEditorDouble.questions.back().find("WARNING"));

  // The files hold four single markers: a resume brings them back unpaired.
  Reimport();
  EXPECT_TRUE(Printed("Read 2 LZs and 2 VLs of the mission."));
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    EXPECT_EQ(nullptr, ZW_EditorTwin(c));
  }
  ExpectExportUnchanged();
}
