// The control model: look-ups, pages, parents, the frame with its press and
// click logic, the spring, rescaling and text entry.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "zw_console.h"
#include "zw_controls.h"
#include "zw_input.h"
#include "zw_platform_double.h"
#include "zw_shell.h"

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZW_ResetAll();
    ZW_ControlsCreateOwner();
    zwShell.frameFactor = 1.0f;
  }

  // A resting control with a 48 by 24 zone at (x, y).
  ZW_Control* Button(const char* aName, float x, float y, const char* aCommand) {
    ZW_Control* c = ZW_ControlCreate(0.0f, 0.0f, 0.0f);
    snprintf(c->name, sizeof(c->name), "%s", aName);
    snprintf(c->command, sizeof(c->command), "%s", aCommand);
    c->pos[0] = c->goal[0] = c->target[0] = x;
    c->pos[1] = c->goal[1] = c->target[1] = y;
    c->zone[2] = 48.0f;
    c->zone[3] = 24.0f;
    c->move = ZW_MoveRest;
    return c;
  }

  void Frame(int mx, int my, bool aLeft, bool aRight) {
    zwShell.mouseX = mx;
    zwShell.mouseY = my;
    zwInput.left = aLeft ? 0x80 : 0;
    zwInput.right = aRight ? 0x80 : 0;
    ZW_ControlsUpdateAndDraw();
  }

  int Printed(const char* aLine) {
    int n = 0;
    for (const char* l : zwConsole.scrollBack) {
      n += strcmp(l, aLine) == 0;
    }
    return n;
  }
};

TEST_F(ControlsTest, NewControlDefaultsAndListOrder) {
  zwShell.screenWidth = 800;
  zwShell.screenHeight = 600;
  ASSERT_TRUE(ZW_Execute("control.new 0.5 0.25 90"));
  ZW_Control* c = zwControls.active;
  EXPECT_EQ(zwControls.head, c);
  EXPECT_EQ(zwControls.owner, c->next);
  EXPECT_STREQ("<noPage>", c->page);
  EXPECT_STREQ("<Untitled>", c->name);
  EXPECT_STREQ("NOTEAM", c->team);
  EXPECT_EQ(0xFF000000u, c->captionColour);
  EXPECT_EQ(c, c->mother);
  EXPECT_FLOAT_EQ(400.0f, c->target[0]);
  EXPECT_FLOAT_EQ(150.0f, c->target[1]);
  EXPECT_FLOAT_EQ(400.0f, c->goal[0]);
  EXPECT_FLOAT_EQ(0.0f, c->pos[0]);
  EXPECT_FLOAT_EQ(800.0f, c->leave[0]);
  EXPECT_FLOAT_EQ(600.0f, c->leave[1]);
  EXPECT_FLOAT_EQ(80.0f, c->size[0]);
  EXPECT_FLOAT_EQ(80.0f, c->size[1]);  // 0.1 x screen width for both
  EXPECT_FLOAT_EQ(0.0f, c->angle);     // the angle argument is not used
  EXPECT_FLOAT_EQ(0.1f, c->zone[3]);
  EXPECT_FLOAT_EQ(0.95f, c->drag[1]);
  EXPECT_FLOAT_EQ(0.05f, c->elasticity[2]);
  EXPECT_EQ(1, c->cursor);
  EXPECT_EQ(ZW_MoveSpring, c->move);
  EXPECT_EQ(ZW_DrawVisible, c->draw);
  EXPECT_EQ(ZW_OWNER_ID, zwControls.owner->id);
  EXPECT_EQ(1, zwControls.owner->neverEdit);
  EXPECT_EQ(ZW_DrawHidden, zwControls.owner->draw);
}

TEST_F(ControlsTest, LookUpsHaveThreeOutcomes) {
  Button("first", 0, 0, "");
  ZW_Control* locSecond = Button("Second", 0, 0, "");
  locSecond->id = 77;
  EXPECT_TRUE(ZW_Execute("control.active FIRST"));
  EXPECT_STREQ("first", zwControls.active->name);
  EXPECT_TRUE(ZW_Execute("control.activeId 77"));
  EXPECT_EQ(locSecond, zwControls.active);

  EXPECT_FALSE(ZW_Execute("control.active nothing"));
  EXPECT_STREQ("ERROR: Not a valid control ! !", ZW_Result());
  EXPECT_EQ(locSecond, zwControls.active);
  EXPECT_FALSE(ZW_Execute("control.activeId 78"));
  EXPECT_STREQ("ERROR: Not a valid object ! !", ZW_Result());

  EXPECT_TRUE(ZW_Execute("control.active ?"));
  EXPECT_STREQ("77: 'Second'", zwConsole.scrollBack[0]);
  // The query value is the hidden owner's id: the owner becomes active.
  EXPECT_TRUE(ZW_Execute("control.activeId ?"));
  EXPECT_EQ(zwControls.owner, zwControls.active);

  zwControls.active = nullptr;
  EXPECT_FALSE(ZW_Execute("control.active nothing"));
  EXPECT_STREQ("ERROR: No active object ! !", ZW_Result());
  EXPECT_FALSE(ZW_Execute("control.name x"));
}

TEST_F(ControlsTest, PropertyCommandsSetTheActiveControl) {
  ZW_Execute("control.new");
  ZW_Control* c = zwControls.active;
  ZW_Execute("control.caption __Add_Zone:");
  EXPECT_STREQ("  Add Zone:", c->caption);
  ZW_Execute("control.caption ");
  EXPECT_STREQ(" ", c->caption);
  ZW_Execute("control.caption");
  EXPECT_STREQ("", c->caption);
  ZW_Execute("control.command");
  EXPECT_STREQ("   ", c->command);
  ZW_Execute("control.command          ");
  EXPECT_STREQ("    ", c->command);
  ZW_Execute("control.command editor.setMode 2");
  EXPECT_STREQ("editor.setMode 2  ", c->command);
  ZW_Execute("control.fontColor 511 255 1 258");
  EXPECT_EQ(0xFFFF0102u, c->captionColour);
  EXPECT_FALSE(ZW_Execute("control.id 10001"));
  EXPECT_STREQ("ERROR: Out of range (-10000,10000) !", ZW_Result());
  ZW_Execute("control.id 42");
  EXPECT_FALSE(ZW_Execute("control.id ?"));
  EXPECT_STREQ("'control.id' = 42.", ZW_Result());
  EXPECT_FALSE(ZW_Execute("control.image 0 0 1025 10"));
  EXPECT_STREQ("ERROR: Out of range !", ZW_Result());
  EXPECT_FLOAT_EQ(64.0f, c->image[2]);
  ZW_Execute("control.font 3");
  EXPECT_STREQ("ERROR: No such font!", zwConsole.scrollBack[0]);
  EXPECT_EQ(0, c->font);
  ZW_Execute("control.posTarget 320 240 90");
  EXPECT_NEAR(1.5707f, c->targetAngle, 1e-3);
  ZW_Execute("control.posTarget ?");
  EXPECT_STREQ("posTarget = 0.500 0.500 90.000", zwConsole.scrollBack[0]);
  ZW_Execute("control.zone 64 48 128 96");
  ZW_Execute("control.zone ?");
  EXPECT_STREQ("zone = 0.100 0.100 0.200 0.200", zwConsole.scrollBack[0]);
}

TEST_F(ControlsTest, MotherAndChildren) {
  ZW_Control* locMother = Button("mother", 100, 50, "");
  ZW_Control* locChild = Button("child", 10, 5, "");
  ZW_Execute("control.active mother");
  ZW_Execute("control.addChild mother");  // its own name: nothing
  EXPECT_EQ(locMother, locMother->mother);
  ZW_Execute("control.addChild child");
  EXPECT_EQ(locMother, locChild->mother);
  EXPECT_EQ(locMother, zwControls.active);
  EXPECT_EQ(ZW_MoveFollowMother, locChild->move);
  EXPECT_FALSE(ZW_Execute("control.addChild nobody"));
  EXPECT_STREQ("ERROR: Not a valid control ! !", ZW_Result());

  Frame(0, 0, false, false);
  EXPECT_FLOAT_EQ(110.0f, locChild->pos[0]);
  EXPECT_FLOAT_EQ(55.0f, locChild->pos[1]);

  ZW_Control* locOther = Button("other", 0, 0, "");
  ZW_Execute("control.mother mother");
  EXPECT_EQ(locMother, locOther->mother);
  EXPECT_EQ(locOther, zwControls.active);

  // Deleting the mother deletes what hangs from it; the owner stays.
  zwControls.owner->mother = locChild;
  ZW_Execute("control.active mother");
  ZW_Execute("control.delete");
  EXPECT_EQ(nullptr, ZW_ControlFindName("child"));
  EXPECT_EQ(nullptr, ZW_ControlFindName("other"));
  EXPECT_EQ(zwControls.owner, zwControls.head);
  EXPECT_EQ(zwControls.owner, zwControls.owner->mother);
  EXPECT_EQ(zwControls.owner, zwControls.active);
  ZW_Execute("control.delete");  // the owner is never deleted
  EXPECT_EQ(zwControls.owner, zwControls.head);
}

TEST_F(ControlsTest, SpringMovesThreeAndAQuarterUnitsInTheFirstFrame) {
  ZW_Execute("control.new");
  ZW_Execute("control.drag 65 65");
  ZW_Execute("control.elasticity 5 5 5");
  ZW_Control* c = zwControls.active;
  c->goal[0] = 100.0f;
  ZW_MoveSpring(c);
  EXPECT_NEAR(3.25f, c->velocity[0], 1e-5);
  EXPECT_NEAR(3.25f, c->pos[0], 1e-5);
  for (int i = 0; i < 1000 && c->move == ZW_MoveSpring; i++) {
    ZW_MoveSpring(c);
  }
  EXPECT_EQ(ZW_MoveRest, c->move);
  EXPECT_FLOAT_EQ(100.0f, c->pos[0]);
  EXPECT_EQ(ZW_DrawVisible, c->draw);  // open controls stay visible
}

TEST_F(ControlsTest, PagesOpenCloseAndSwitch) {
  ZW_Control* c = Button("paged", 200, 100, "");
  snprintf(c->page, sizeof(c->page), "pagA");
  c->enter[0] = 10.0f;
  c->leave[0] = 900.0f;
  ZW_Execute("control.openPage PAGA");
  EXPECT_FLOAT_EQ(10.0f, c->pos[0]);
  for (int i = 0; i < 5; i++) {
    Frame(0, 0, false, false);
  }
  EXPECT_GT(c->pos[0], 10.0f);
  ZW_Execute("control.openPage pagA");  // opened again: from the enter position
  EXPECT_FLOAT_EQ(10.0f, c->pos[0]);
  EXPECT_FLOAT_EQ(200.0f, c->goal[0]);

  ZW_Execute("control.closePage pagA");
  EXPECT_FLOAT_EQ(900.0f, c->goal[0]);
  EXPECT_EQ(ZW_HoverNone, c->hover);
  for (int i = 0; i < 2000 && c->draw == ZW_DrawVisible; i++) {
    Frame(0, 0, false, false);
  }
  EXPECT_EQ(ZW_DrawHidden, c->draw);

  ZW_Execute("control.switchPages other pagA 3");
  Frame(0, 0, false, false);
  Frame(0, 0, false, false);
  EXPECT_EQ(ZW_DrawHidden, c->draw);
  Frame(0, 0, false, false);
  EXPECT_EQ(ZW_DrawVisible, c->draw);
  EXPECT_EQ(0, zwControls.switching);
}

// The screen rests only when the next frame would move nothing by itself:
// springs settled, no drag, no page switch or click pending, no button down.
TEST_F(ControlsTest, TheScreenRestsOnlyWhenNothingMoves) {
  ZW_Control* c = Button("b", 100, 100, "");
  snprintf(c->page, sizeof(c->page), "pagA");
  Frame(0, 0, false, false);
  EXPECT_TRUE(ZW_ScreenAtRest(true));
  EXPECT_FALSE(ZW_ScreenAtRest(false));  // a frame that differs from the one shown

  ZW_Execute("control.openPage pagA");  // on its spring
  Frame(0, 0, false, false);
  EXPECT_FALSE(ZW_ScreenAtRest(true));
  int locFrames = 0;
  for (; locFrames < 2000 && !ZW_ScreenAtRest(true); locFrames++) {
    Frame(0, 0, false, false);
  }
  EXPECT_EQ(ZW_MoveRest, c->move);
  EXPECT_GT(locFrames, 10);

  ZW_Execute("control.closeAll");  // a hidden control on its way out still moves
  EXPECT_FALSE(ZW_ScreenAtRest(true));
  for (int i = 0; i < 2000 && c->draw == ZW_DrawVisible; i++) {
    Frame(0, 0, false, false);
  }
  EXPECT_TRUE(ZW_ScreenAtRest(true));

  ZW_Execute("control.switchPages other pagA 3");
  EXPECT_FALSE(ZW_ScreenAtRest(true));  // counting down, nothing visible yet
  ZW_Execute("control.closeAll");
  for (int i = 0; i < 2000 && !ZW_ScreenAtRest(true); i++) {
    Frame(0, 0, false, false);
  }
  EXPECT_EQ(0, zwControls.switching);

  // A press holds the screen awake until the click is done; a drag too.
  ZW_Control* d = Button("d", 300, 100, "");
  d->draggable = 1;
  Frame(310, 110, true, false);
  EXPECT_FALSE(ZW_ScreenAtRest(true));
  Frame(320, 110, true, false);
  EXPECT_EQ(ZW_MoveDrag, d->move);
  zwInput.left = 0;
  EXPECT_FALSE(ZW_ScreenAtRest(true));  // the click is still pending
  Frame(320, 110, false, false);
  EXPECT_TRUE(ZW_ScreenAtRest(true));
  zwInput.right = 0x80;
  EXPECT_FALSE(ZW_ScreenAtRest(true));
  zwInput.right = 0;
  zwInput.middle = 0x80;
  EXPECT_FALSE(ZW_ScreenAtRest(true));
}

TEST_F(ControlsTest, ChildHidesWithItsMotherWhenClosed) {
  ZW_Control* m = Button("m", 0, 0, "");
  ZW_Control* k = Button("k", 5, 5, "");
  snprintf(m->page, sizeof(m->page), "p");
  snprintf(k->page, sizeof(k->page), "p");
  ZW_Execute("control.active m");
  ZW_Execute("control.addChild k");
  ZW_Execute("control.openPage p");
  ZW_Execute("control.closeAll");
  EXPECT_EQ(ZW_MoveFollowMother, k->move);
  EXPECT_FLOAT_EQ(m->leave[0] + 5.0f, k->goal[0]);
  for (int i = 0; i < 2000 && k->draw == ZW_DrawVisible; i++) {
    Frame(0, 0, false, false);
  }
  EXPECT_EQ(ZW_DrawHidden, m->draw);
  EXPECT_EQ(ZW_DrawHidden, k->draw);
}

TEST_F(ControlsTest, ThreeSpaceCommandIsNeverPressedUnlessDraggable) {
  ZW_Control* c = Button("plain", 100, 100, "   ");
  Frame(110, 110, true, false);
  EXPECT_EQ(0, zwControls.clickId);
  EXPECT_EQ(0, zwControls.secondId);
  Frame(110, 110, false, false);
  c->draggable = 1;
  Frame(110, 110, true, false);
  EXPECT_EQ(c->id, zwControls.clickId);
  EXPECT_EQ(c->id, zwControls.secondId);
  EXPECT_EQ(ZW_MoveDrag, c->move);
  EXPECT_FLOAT_EQ(10.0f, c->goal[0]);  // the grab offset
}

TEST_F(ControlsTest, ClickRunsTheCommandOnlyWithTheNeverEditFlagAndInsideTheZone) {
  ZW_Control* c = Button("b", 100, 100, "core.sync 20   ");
  Frame(110, 110, true, false);
  Frame(110, 110, false, false);
  EXPECT_EQ(10, zwShell.minFrameTime);
  EXPECT_STREQ("core.sync 20   ", zwConsole.scrollBack[0]);
  EXPECT_EQ(0, zwControls.clickId);

  c->neverEdit = 1;
  Frame(110, 110, true, false);
  Frame(300, 300, false, false);  // released outside
  EXPECT_EQ(10, zwShell.minFrameTime);
  Frame(110, 110, true, false);
  Frame(110, 110, false, false);
  EXPECT_EQ(20, zwShell.minFrameTime);
  // The zone is strict: its edge is outside.
  ZW_Execute("core.sync 10");
  Frame(148, 110, true, false);
  Frame(148, 110, false, false);
  EXPECT_EQ(10, zwShell.minFrameTime);
}

TEST_F(ControlsTest, ClickedControlMayDeleteItself) {
  ZW_Control* c = Button("b", 0, 0, "control.delete");
  c->neverEdit = 1;
  char locText[ZW_CAPTION_SIZE] = "";
  zwControls.active = c;
  ZW_TextEntryStartText(locText, sizeof(locText), 10);
  Frame(10, 10, true, false);
  Frame(10, 10, false, false);
  EXPECT_EQ(nullptr, ZW_ControlFindName("b"));
  EXPECT_STREQ("control.delete", zwConsole.scrollBack[0]);
  EXPECT_EQ(zwControls.owner, zwControls.active);
  EXPECT_EQ(zwControls.owner, zwControls.edited);  // the entry ends with its control
  ZW_ControlsTextEntryKey('X');
  ZW_ControlsTextEntryKey(13);
  EXPECT_STREQ("", locText);
}

TEST_F(ControlsTest, RightButtonAloneRunsTheCommandEveryFrame) {
  ZW_Control* c = Button("b", 0, 0, "control.new  ");
  c->neverEdit = 1;
  for (int i = 0; i < 3; i++) {
    Frame(10, 10, false, true);
  }
  int n = 0;
  for (ZW_Control* p = zwControls.head; p; p = p->next) {
    n++;
  }
  EXPECT_EQ(2 + 3, n);
  EXPECT_EQ(c->id, zwControls.secondId);
  Frame(10, 10, false, false);
  EXPECT_EQ(0, zwControls.secondId);
}

TEST_F(ControlsTest, HoverPicksTheImages) {
  ZW_Control* c = Button("b", 100, 100, "core.sync 20");
  c->image[0] = 1;
  c->imageOver[0] = 2;
  c->imageDown[0] = 3;
  Frame(0, 0, false, false);
  Frame(110, 110, false, false);
  Frame(110, 110, true, false);
  ASSERT_GE(zwDouble.draws.size(), 3u);
  size_t n = zwDouble.draws.size();
  // The owner draws nothing: one draw per frame.
  EXPECT_EQ(3u, n);
  EXPECT_EQ(1, zwDouble.draws[0].src[0]);
  EXPECT_EQ(2, zwDouble.draws[1].src[0]);
  EXPECT_EQ(3, zwDouble.draws[2].src[0]);
  // A moving control is not pressed.
  Frame(110, 110, false, false);
  c->velocity[0] = 1.0f;
  Frame(110, 110, true, false);
  EXPECT_EQ(0, zwControls.clickId);
}

TEST_F(ControlsTest, FrameDrawsTheMapImageFirstAndSkipsItsId) {
  ZW_Control* locImage = Button("winMapImage", 0, 0, "");
  ZW_Control* locNewest = Button("newest", 50, 0, "");
  snprintf(locNewest->caption, sizeof(locNewest->caption), "Hi");
  Button("hidden caption", 60, 0, "")->caption[0] = '<';
  Frame(0, 0, false, false);
  ASSERT_EQ(4u, zwDouble.draws.size());  // the image twice while its id is not 46362
  EXPECT_EQ(0, zwDouble.draws[0].dst[0]);
  EXPECT_EQ(60, zwDouble.draws[1].dst[0]);
  EXPECT_EQ(50, zwDouble.draws[2].dst[0]);
  ASSERT_EQ(1u, zwDouble.texts.size());
  EXPECT_EQ("Hi", zwDouble.texts[0].text);
  EXPECT_EQ(locImage, zwControls.active);

  zwDouble.draws.clear();
  locImage->id = ZW_MAP_IMAGE_ID;
  Frame(0, 0, false, false);
  EXPECT_EQ(3u, zwDouble.draws.size());
  EXPECT_EQ(0, zwDouble.draws[0].dst[0]);
}

TEST_F(ControlsTest, FarPositionsDrawAtABound) {
  ZW_Execute("control.new");
  ZW_Execute("control.posTarget 1e30 -1e30 0");
  ZW_Execute("control.page far");
  ZW_Execute("control.openPage far");
  ZW_Execute("control.scale nan 10");
  ZW_Control* c = zwControls.active;
  Frame(0, 0, false, false);
  ASSERT_EQ(1u, zwDouble.draws.size());
  EXPECT_EQ(1000000000, zwDouble.draws[0].dst[0]);
  EXPECT_EQ(-1000000000, zwDouble.draws[0].dst[1]);
  EXPECT_EQ(0, ZW_ScreenInt(c->size[0]));
}

TEST_F(ControlsTest, RescaleSetsPositionsSizesAndClearsZoneLeftTop) {
  ZW_Execute("control.new 0.5 0.5");
  ZW_Execute("control.zone 5 6 50 60");
  ZW_Execute("control.scale 100 40");
  ZW_Execute("control.captionPos 10 4");
  ZW_Control* c = zwControls.active;
  zwShell.screenWidth = 640;
  zwShell.screenHeight = 480;
  EXPECT_TRUE(ZW_UpdateWindowScale(1280, 960));
  EXPECT_FLOAT_EQ(0.5f * c->target[0], c->pos[0]);
  EXPECT_FLOAT_EQ(50.0f, c->size[0]);
  EXPECT_FLOAT_EQ(20.0f, c->size[1]);
  EXPECT_FLOAT_EQ(5.0f, c->captionOffset[0]);
  EXPECT_FLOAT_EQ(0.0f, c->zone[0]);
  EXPECT_FLOAT_EQ(0.0f, c->zone[1]);
  EXPECT_FLOAT_EQ(50.0f, c->zone[2]);
  EXPECT_FLOAT_EQ(60.0f, c->zone[3]);
}

TEST_F(ControlsTest, TypingWithoutAnEntryChangesOnlyTheOwner) {
  ZW_Control* c = Button("b", 0, 0, "");
  snprintf(c->caption, sizeof(c->caption), "keep");
  ZW_ControlsTextEntryKey('A');
  EXPECT_STREQ("a|", zwControls.owner->caption);
  EXPECT_STREQ("keep", c->caption);
  zwConsole.open = 1;  // keys go to the console only
  ZW_ControlsTextEntryKey(8);
  EXPECT_STREQ("a|", zwControls.owner->caption);
}

TEST_F(ControlsTest, EveryTypingKeyTypesItsCharacter) {
  char locTarget[ZW_CAPTION_SIZE] = "";
  ZW_TextEntryStartText(locTarget, sizeof(locTarget), 30);
  for (int k : std::initializer_list<int>{'Z', 106, 191, 107, 109, 189, 110, 190, 111, 186, 187,
                                          188, 219, 222, 32, '0', '9', 58, 96, 105, 20, 200}) {
    ZW_ControlsTextEntryKey(k);
  }
  ZW_ControlsTextEntryKey(13);
  EXPECT_STREQ("z**+--../~?,\"_ 09:09", locTarget);
}

TEST_F(ControlsTest, TextEntryTypesAndCommits) {
  ZW_Control* c = Button("edit", 0, 0, "");
  snprintf(c->caption, sizeof(c->caption), "old");
  char locTarget[ZW_CONTROL_NAME_SIZE] = "";
  ZW_TextEntryStartText(locTarget, sizeof(locTarget), 5);
  EXPECT_EQ(c, zwControls.edited);
  EXPECT_STREQ("old|", c->caption);
  for (int k : std::initializer_list<int>{8, 8, 8, 8, 'H', 'I', 32, 96 + 7, 189, 222, 219, 190}) {
    ZW_ControlsTextEntryKey(k);
  }
  EXPECT_STREQ("hi 7-|", c->caption);  // five characters at most
  ZW_ControlsTextEntryKey(13);
  EXPECT_STREQ("hi 7-", locTarget);
  EXPECT_STREQ("hi 7-", c->caption);
  EXPECT_EQ(zwControls.owner, zwControls.edited);
  EXPECT_EQ(zwControls.owner, zwControls.active);

  int locValue = 0;
  zwControls.active = c;
  ZW_TextEntryStartInt(&locValue, 4, -5, 50);
  EXPECT_STREQ("|", c->caption);
  for (int k : std::initializer_list<int>{'9', '9', '9'}) {
    ZW_ControlsTextEntryKey(k);
  }
  ZW_ControlsTextEntryKey(13);
  EXPECT_EQ(50, locValue);
  EXPECT_STREQ("50", c->caption);

  float locFloat = 0;
  zwControls.active = c;
  ZW_TextEntryStartFloat(&locFloat, 6, 0, 100);
  for (int k : std::initializer_list<int>{'1', 110, '2', '5'}) {
    ZW_ControlsTextEntryKey(k);
  }
  ZW_ControlsTextEntryKey(45);  // Insert clears
  for (int k : std::initializer_list<int>{'2', 190, '5'}) {
    ZW_ControlsTextEntryKey(k);
  }
  ZW_ControlsTextEntryKey(13);
  EXPECT_FLOAT_EQ(2.5f, locFloat);
  EXPECT_STREQ("2.5000", c->caption);  // "%.6f" cut to six characters
}

// Mended faults of text entry: an entry into the edited caption itself, an
// entry started on a full caption, and "nan" typed into a number.
TEST_F(ControlsTest, TextEntryIntoItsOwnCaptionAFullCaptionAndNotANumber) {
  ZW_Control* c = Button("edit", 0, 0, "");
  snprintf(c->caption, sizeof(c->caption), "map");
  ZW_TextEntryStartText(c->caption, sizeof(c->caption), 30);
  for (int k : std::initializer_list<int>{'S', 'E', 'A'}) {
    ZW_ControlsTextEntryKey(k);
  }
  ZW_ControlsTextEntryKey(13);
  EXPECT_STREQ("mapsea", c->caption);

  // 31 characters leave no room for the caret: the commit keeps all of them.
  const char kFull[] = "abcdefghijklmnopqrstuvwxyz01234";
  snprintf(c->caption, sizeof(c->caption), "%s", kFull);
  char locTarget[ZW_CAPTION_SIZE] = "";
  zwControls.active = c;
  ZW_TextEntryStartText(locTarget, sizeof(locTarget), 30);
  EXPECT_STREQ(kFull, c->caption);
  ZW_ControlsTextEntryKey('X');  // no room: ignored
  ZW_ControlsTextEntryKey(13);
  EXPECT_STREQ(kFull, locTarget);
  EXPECT_STREQ(kFull, c->caption);
  // Backspace on a full caption takes its last character and shows the caret.
  zwControls.active = c;
  ZW_TextEntryStartText(locTarget, sizeof(locTarget), 30);
  ZW_ControlsTextEntryKey(8);
  EXPECT_STREQ("abcdefghijklmnopqrstuvwxyz0123|", c->caption);
  ZW_ControlsTextEntryKey(13);
  EXPECT_STREQ("abcdefghijklmnopqrstuvwxyz0123", locTarget);

  float locFloat = 7;
  zwControls.active = c;
  ZW_TextEntryStartFloat(&locFloat, 10, 2, 100);
  for (int k : std::initializer_list<int>{'N', 'A', 'N'}) {
    ZW_ControlsTextEntryKey(k);
  }
  ZW_ControlsTextEntryKey(13);
  EXPECT_FLOAT_EQ(2.0f, locFloat);
  EXPECT_STREQ("2.000000", c->caption);
}

// Unlinking keeps a control for a later return to its place; deleting one
// leaves the active control as it was.
TEST_F(ControlsTest, UnlinkInsertAndDelete) {
  ZW_Control* a = Button("a", 0, 0, "");
  ZW_Control* b = Button("b", 0, 0, "");
  ZW_Control* c = Button("c", 0, 0, "");  // list: c b a owner
  zwControls.clickId = b->id;
  EXPECT_EQ(1, ZW_ControlIndex(b));
  EXPECT_TRUE(ZW_ControlUnlink(b));
  EXPECT_FALSE(ZW_ControlUnlink(b));
  EXPECT_EQ(-1, ZW_ControlIndex(b));
  EXPECT_EQ(0, zwControls.clickId);
  ZW_ControlInsertAt(b, 1);
  EXPECT_EQ(c, zwControls.head);
  EXPECT_EQ(b, c->next);
  EXPECT_EQ(a, b->next);
  zwControls.active = a;
  ZW_ControlDelete(c);
  EXPECT_EQ(b, zwControls.head);
  EXPECT_EQ(a, zwControls.active);
}

}  // namespace
