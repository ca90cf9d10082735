// The map editor on the built wizard screen: initial state, import with its
// failures, the texture switch, crop editing, marker placement and drag, and
// the export command, driven through the seam's doubles.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "zw_console.h"
#include "zw_controls.h"
#include "zw_editor.h"
#include "zw_editor_double.h"
#include "zw_input.h"
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
    for (const char* s : {".juice", "Instances.juice", "Heightmap.tga", "Overviewmap.tga"}) {
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
  EXPECT_EQ("Confirm Overwrite|WARNING: No VL is placed: the mission has no location to win.\n\nNOTE: You are about to modify your *.juice files.\nAll previous scripting and "
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

}  // namespace
