// The built wizard screen, the help box, the property commands and the cell
// font texture of the statistics text.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "zw_cellfont.h"
#include "zw_console.h"
#include "zw_controls.h"
#include "zw_input.h"
#include "zw_platform_double.h"
#include "zw_props.h"
#include "zw_render.h"
#include "zw_screen.h"
#include "zw_shell.h"

namespace {

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZW_ResetAll();
    ZW_ControlsCreateOwner();
    ZW_BuildScreen();
    ZW_PropsInit();
    zwShell.frameFactor = 1.0f;
    ZW_UpdateWindowScale(640, 480);  // the first frame rescales
    Frame(0, 0, false);
  }

  void Frame(int mx, int my, bool aLeft) {
    zwShell.mouseX = mx;
    zwShell.mouseY = my;
    zwInput.left = aLeft ? 0x80 : 0;
    ZW_ControlsUpdateAndDraw();
  }

  void Click(const ZW_Control* c) {
    int x = (int)c->pos[0] + 3, y = (int)c->pos[1] + 3;
    Frame(x, y, true);
    Frame(x, y, false);
  }

  static ZW_Control* Named(const char* aName) {
    ZW_Control* c = ZW_ControlFindName(aName);
    EXPECT_NE(nullptr, c) << aName;
    return c;
  }
};

TEST_F(ScreenTest, ScriptIsControlLinesOnly) {
  for (const char* locLine : zwScreenScript) {
    EXPECT_EQ(0, strncmp(locLine, "control.", 8)) << locLine;
  }
  EXPECT_STREQ("butLoadHeightmap", zwNeverEditNames[ZW_NEVER_EDIT_NAMES - 1]);
}

TEST_F(ScreenTest, TwentyFourControlsAndTheOwnerInScriptOrder) {
  const char* const locOrder[24] = {
      "winMapHandle", "winMapBottom3", "winMapBottom2", "winMapBottom1", "winMapRight",
      "winMapLeft", "winMapTop3", "winMapTop2", "winMapTop1", "winMapBack", "editMapTex",
      "txtMapCoords", "editMapApplyDown", "butHelp", "editMapApplyOver", "editMapApplyImage",
      "txtAddZone", "butLoadHeightmap", "txtFileButtons", "winMapImage", "winMapCrs4",
      "winMapCrs3", "winMapCrs2", "winMapCrs1"};
  int n = 0;
  for (ZW_Control* c = zwControls.head; c; c = c->next, n++) {
    if (n < 24) {
      EXPECT_STREQ(locOrder[n], c->name);
      EXPECT_STREQ("pagMap", c->page);
      EXPECT_EQ(2, c->cursor);
      EXPECT_EQ(ZW_DrawVisible, c->draw) << c->name;
    } else {
      EXPECT_EQ(zwControls.owner, c);
    }
  }
  EXPECT_EQ(25, n);
  // winMapHandle is the only top-level control.
  for (ZW_Control* c = zwControls.head; c != zwControls.owner; c = c->next) {
    EXPECT_EQ(c == zwControls.head, ZW_ControlTopLevel(c)) << c->name;
  }
}

TEST_F(ScreenTest, PositionsAfterTheFirstFrame) {
  EXPECT_FLOAT_EQ(524.0f, Named("butLoadHeightmap")->pos[0]);
  EXPECT_FLOAT_EQ(53.0f, Named("butLoadHeightmap")->pos[1]);
  EXPECT_FLOAT_EQ(604.0f, Named("butHelp")->pos[0]);
  EXPECT_FLOAT_EQ(425.0f, Named("butHelp")->pos[1]);
  ZW_Control* locBack = Named("winMapBack");
  EXPECT_FLOAT_EQ(514.0f, locBack->pos[0]);
  EXPECT_FLOAT_EQ(0.0f, locBack->pos[1]);
  EXPECT_FLOAT_EQ(644.0f, locBack->pos[0] + locBack->size[0]);
  EXPECT_FLOAT_EQ(771.0f, Named("txtMapCoords")->pos[0]);
  EXPECT_FLOAT_EQ(520.0f, Named("editMapTex")->pos[0]);
  EXPECT_FLOAT_EQ(574.0f, Named("editMapApplyDown")->pos[0]);
  EXPECT_FLOAT_EQ(100.0f, Named("editMapApplyOver")->pos[1]);
  EXPECT_FLOAT_EQ(-32.0f, Named("winMapImage")->pos[1]);
  EXPECT_FLOAT_EQ(-73.0f, Named("winMapHandle")->pos[1]);
  EXPECT_FLOAT_EQ(447.0f, Named("winMapBottom2")->pos[1]);
}

TEST_F(ScreenTest, PropertiesAsTheScriptSetsThem) {
  ZW_Control* locImport = Named("butLoadHeightmap");
  EXPECT_STREQ("Import", locImport->caption);
  EXPECT_STREQ("editor.openMap   ", locImport->command);
  EXPECT_FLOAT_EQ(48.0f, locImport->imageDown[0]);
  EXPECT_FLOAT_EQ(0.0f, locImport->imageOver[0]);
  EXPECT_STREQ("  IFII Map:", Named("txtFileButtons")->caption);
  EXPECT_STREQ(" ?", Named("butHelp")->caption);
  EXPECT_STREQ("    ", Named("winMapBack")->command);
  EXPECT_STREQ("   ", Named("winMapTop1")->command);
  EXPECT_STREQ(" ", Named("winMapCrs1")->caption);
  ZW_Control* locHandle = Named("winMapHandle");
  EXPECT_EQ(1, locHandle->draggable);
  EXPECT_EQ(1, locHandle->font);
  EXPECT_EQ(0xFFFFFFFFu, locHandle->captionColour);
  EXPECT_FLOAT_EQ(0.65f, locHandle->drag[0]);
  EXPECT_FLOAT_EQ(0.05f, Named("winMapTop1")->elasticity[0]);
  EXPECT_FLOAT_EQ(0.95f, Named("winMapTop2")->drag[0]);
  // The never-edit list names only some of the built controls.
  for (const char* locName : {"winMapCrs1", "winMapImage", "winMapHandle", "txtMapCoords",
                              "butHelp", "butLoadHeightmap", "editMapTex"}) {
    EXPECT_EQ(1, Named(locName)->neverEdit) << locName;
  }
  for (const char* locName : {"winMapBack", "winMapTop1", "winMapBottom3", "winMapLeft"}) {
    EXPECT_EQ(0, Named(locName)->neverEdit) << locName;
  }
}

// The panel's zone is 0 0 0 0 and the hit test is strict: it takes no press,
// so a click on it runs and prints nothing; a click on Import next to it does.
TEST_F(ScreenTest, ClickingTheBackPanelRunsNothing) {
  ZW_Control* locHead = zwControls.head;
  ZW_Print("mark");
  Frame(600, 300, true);
  EXPECT_EQ(0, zwControls.clickId);
  Frame(600, 300, false);
  EXPECT_STREQ("mark", zwConsole.scrollBack[0]);
  EXPECT_EQ(locHead, zwControls.head);
  EXPECT_TRUE(zwDouble.messageBoxes.empty());
  Click(Named("butLoadHeightmap"));
  EXPECT_STREQ("editor.openMap   ", zwConsole.scrollBack[0]);
}

TEST_F(ScreenTest, HelpButtonShowsTheHelpBox) {
  Click(Named("butHelp"));
  ASSERT_EQ(1u, zwDouble.messageBoxes.size());
  const std::string& locBox = zwDouble.messageBoxes[0];
  EXPECT_EQ(0u, locBox.find("zonewright Help|"));
  EXPECT_NE(std::string::npos,
            locBox.find("\n\nzonewright is a multiplayer map wizard for Ironfield II.\nNOTE:"));
  EXPECT_NE(std::string::npos, locBox.find("\n\nDISCLAIMER:\n  "));
  EXPECT_STREQ("editor.showHelp   ", zwConsole.scrollBack[0]);
}

TEST_F(ScreenTest, ApplyColorsMasksEachValueToItsByte) {
  ZW_Control* locText = Named("txtAddZone");
  zwControls.active = locText;
  ZW_Execute("colPick.setPickerRed 3 0 999");
  for (int k : std::initializer_list<int>{'3', '0', '0', 13}) {
    ZW_ControlsTextEntryKey(k);
  }
  EXPECT_EQ(300, zwProps.red);
  zwProps.green = 0x1FF;
  zwProps.blue = 0x102;
  zwProps.alpha = 0x80;
  ZW_Execute("colPick.ApplyColors");
  EXPECT_EQ(0x802CFF02u, Named("winMapImage")->captionColour);
}

TEST_F(ScreenTest, FontCounterWrapsAndLandsInTheActiveCaption) {
  ZW_Control* locActive = Named("txtAddZone");
  for (int i = 0; i < 3; i++) {
    ZW_Execute("conProps.capNextFont");
  }
  EXPECT_EQ(3, zwControls.owner->font);
  ZW_Execute("conProps.capNextFont");
  EXPECT_EQ(0, zwControls.owner->font);
  ZW_Execute("conProps.capPrevFont");
  EXPECT_EQ(3, zwControls.owner->font);
  // No "editConPropsFont": the number goes into the active control's caption.
  zwControls.active = locActive;
  EXPECT_FALSE(ZW_Execute("conProps.capNextFont"));
  EXPECT_STREQ("ERROR: Not a valid control ! !", ZW_Result());
  EXPECT_STREQ("0", locActive->caption);
}

TEST_F(ScreenTest, PropertyEntriesWriteTheirTargets) {
  ZW_Control* locEdit = Named("txtAddZone");
  zwControls.active = locEdit;
  ZW_Execute("conProps.name 40");
  for (int k = 0; k < 35; k++) {
    ZW_ControlsTextEntryKey('A' + k % 26);
  }
  ZW_ControlsTextEntryKey(13);
  EXPECT_EQ(30u, strlen(zwControls.owner->name));  // 30 characters and the caret
  zwControls.active = locEdit;
  ZW_Execute("conProps.zoneRight 8 -10 10");
  for (int k : std::initializer_list<int>{189, '2', '5', 13}) {
    ZW_ControlsTextEntryKey(k);
  }
  EXPECT_FLOAT_EQ(-10.0f, zwControls.owner->zone[2]);
  zwControls.active = locEdit;
  ZW_Execute("texPick.pokeSnap 3 1 50");
  for (int k : std::initializer_list<int>{'2', '5', 13}) {
    ZW_ControlsTextEntryKey(k);
  }
  EXPECT_EQ(25, zwProps.mapSnap);
  EXPECT_EQ(10, zwProps.propSnap);
  for (const char* locLine : {"conProps.nextMother", "conProps.prevMother", "texPick.nextTex",
                              "texPick.pickImage 3", "control.saveMenus", "control.reloadMenus"}) {
    EXPECT_TRUE(ZW_Execute(locLine)) << locLine;
  }
}

TEST_F(ScreenTest, StatisticsUseACellFontOfTheirOwn) {
  ZW_CreateCellFont();
  ASSERT_EQ(1u, zwDouble.createdTextures.size());
  const std::vector<uint8_t>& locPixels = zwDouble.createdTextures[0];
  ASSERT_EQ((size_t)ZW_CELL_FONT_WIDTH * ZW_CELL_FONT_HEIGHT * 4, locPixels.size());
  auto locOpaque = [&](int aCode) {
    int n = 0;
    int l = (aCode & 15) * 16, t = (aCode >> 4) * 16;
    for (int y = t; y < t + 16; y++) {
      for (int x = l; x < l + 16; x++) {
        n += locPixels[((size_t)y * ZW_CELL_FONT_WIDTH + x) * 4 + 3] != 0;
      }
    }
    return n;
  };
  // The cells that control images cover in the resource image are clean here.
  EXPECT_EQ(0, locOpaque(' '));
  EXPECT_EQ(0, locOpaque(0));
  EXPECT_GT(locOpaque('P'), 10);
  EXPECT_GT(locOpaque('('), 10);
  zwDouble.draws.clear();
  ZW_DrawCellText("P", 1, 2);
  ASSERT_EQ(1u, zwDouble.draws.size());
  EXPECT_EQ(zwRender.cellFont, zwDouble.draws[0].texture);
  EXPECT_EQ(0, zwDouble.draws[0].src[0]);
  EXPECT_EQ(80, zwDouble.draws[0].src[1]);
}

}  // namespace
