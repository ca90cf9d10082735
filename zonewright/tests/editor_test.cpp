// The console line editor, key by key.
#include <gtest/gtest.h>

#include <cstring>

#include "zw_console.h"
#include "zw_keys.h"
#include "zw_platform_double.h"
#include "zw_shell.h"

namespace {

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override { ZW_ResetAll(); }

  void SetLine(const char* aText) {
    snprintf(zwConsole.line, sizeof(zwConsole.line), "%s", aText);
    zwConsole.cursor = (int)strlen(aText);
  }

  void Type(const char* aLine) {
    SetLine(aLine);
    ZW_ConsoleKey(ZW_KEY_RETURN);
  }
};

TEST_F(EditorTest, EnterPrintsExecutesAndRemembers) {
  Type("core.sync 0");
  EXPECT_STREQ("ERROR: Out of range (1,100) !", zwConsole.scrollBack[0]);
  EXPECT_STREQ("core.sync 0", zwConsole.scrollBack[1]);
  EXPECT_STREQ("core.sync 0", zwConsole.history[0]);
  EXPECT_STREQ("", zwConsole.line);
  EXPECT_EQ(0, zwConsole.cursor);
  EXPECT_EQ(-1, zwConsole.historyPos);

  Type("CORE.SYNC 0");  // same as the newest entry without regard to case
  EXPECT_STREQ("", zwConsole.history[1]);

  Type("core.sync 20");
  EXPECT_EQ(20, zwShell.minFrameTime);
  EXPECT_STREQ("core.sync 20", zwConsole.scrollBack[0]);  // no result to print
  EXPECT_STREQ("core.sync 20", zwConsole.history[0]);
  EXPECT_STREQ("core.sync 0", zwConsole.history[1]);
}

TEST_F(EditorTest, EmptyLineIsPrintedButNotRememberedOrRun) {
  Type("core.sync 5");
  Type("");
  EXPECT_STREQ("", zwConsole.scrollBack[0]);
  EXPECT_STREQ("core.sync 5", zwConsole.scrollBack[1]);
  EXPECT_STREQ("core.sync 5", zwConsole.history[0]);
  EXPECT_STREQ("", zwConsole.history[1]);
}

TEST_F(EditorTest, HistoryBrowsesTenLinesAndClearsPastTheNewest) {
  for (int i = 0; i < 12; i++) {
    char locLine[32];
    snprintf(locLine, sizeof(locLine), "core.sync %d", i + 1);
    Type(locLine);
  }
  ZW_ConsoleKey(ZW_KEY_UP);
  EXPECT_STREQ("core.sync 12", zwConsole.line);
  for (int i = 0; i < 12; i++) {
    ZW_ConsoleKey(ZW_KEY_UP);
  }
  EXPECT_STREQ("core.sync 3", zwConsole.line);  // the tenth line is the oldest kept
  EXPECT_EQ(9, zwConsole.historyPos);
  ZW_ConsoleKey(ZW_KEY_DOWN);
  EXPECT_STREQ("core.sync 4", zwConsole.line);
  for (int i = 0; i < 8; i++) {
    ZW_ConsoleKey(ZW_KEY_DOWN);
  }
  EXPECT_STREQ("core.sync 12", zwConsole.line);
  ZW_ConsoleKey(ZW_KEY_DOWN);
  EXPECT_STREQ("", zwConsole.line);
  EXPECT_EQ(-1, zwConsole.historyPos);
}

TEST_F(EditorTest, BackspaceCompletesAndMarksTheAddedPart) {
  SetLine("core.sX");
  ZW_ConsoleKey(ZW_KEY_BACK);
  EXPECT_STREQ("core.sync", zwConsole.line);
  EXPECT_EQ(6, zwConsole.cursor);
  EXPECT_EQ(6, zwConsole.markStart);
  EXPECT_EQ(9, zwConsole.markEnd);

  // With a mark, Backspace extends it to the left.
  ZW_ConsoleKey(ZW_KEY_BACK);
  EXPECT_STREQ("core.sync", zwConsole.line);
  EXPECT_EQ(5, zwConsole.cursor);
  EXPECT_EQ(5, zwConsole.markStart);
  EXPECT_EQ(9, zwConsole.markEnd);

  // Delete removes the marked range.
  ZW_ConsoleKey(ZW_KEY_DELETE);
  EXPECT_STREQ("core.", zwConsole.line);
  EXPECT_EQ(ZW_NO_MARK, zwConsole.markStart);

  // A line that no name starts with is not extended.
  SetLine("zzzy");
  ZW_ConsoleKey(ZW_KEY_BACK);
  EXPECT_STREQ("zzz", zwConsole.line);
  EXPECT_EQ(ZW_NO_MARK, zwConsole.markStart);
}

TEST_F(EditorTest, BackspaceAtLineStartRemovesTheMark) {
  SetLine("cX");
  ZW_ConsoleKey(ZW_KEY_BACK);
  EXPECT_STREQ("colPick.", zwConsole.line);  // first name in table order
  ZW_ConsoleKey(ZW_KEY_BACK);
  EXPECT_EQ(0, zwConsole.cursor);
  EXPECT_EQ(0, zwConsole.markStart);
  ZW_ConsoleKey(ZW_KEY_BACK);
  EXPECT_STREQ("", zwConsole.line);
  EXPECT_EQ(ZW_NO_MARK, zwConsole.markStart);
}

TEST_F(EditorTest, TabAndCompletionKeysAcceptTheMark) {
  SetLine("render.sX");
  ZW_ConsoleKey(ZW_KEY_BACK);
  EXPECT_STREQ("render.screenRes", zwConsole.line);
  ZW_ConsoleKey('A');  // letters do nothing
  EXPECT_EQ(8, zwConsole.cursor);
  ZW_ConsoleKey(ZW_KEY_SPACE);  // Space acts as Tab while something is marked
  EXPECT_EQ(16, zwConsole.cursor);
  EXPECT_EQ(ZW_NO_MARK, zwConsole.markStart);
  ZW_ConsoleKey(ZW_KEY_SPACE);  // and does nothing otherwise
  EXPECT_STREQ("render.screenRes", zwConsole.line);
  EXPECT_EQ(16, zwConsole.cursor);

  SetLine("");
  ZW_ConsoleKey(ZW_KEY_TAB);
  EXPECT_STREQ("colPick.", zwConsole.line);
}

TEST_F(EditorTest, TabAfterADotStepsToTheNextCommandAndListsTheTable) {
  SetLine("core.");
  ZW_ConsoleKey(ZW_KEY_TAB);
  EXPECT_STREQ("core.FPS", zwConsole.line);
  // The ten names before "core.FPS" (index 59), in table order, newest last.
  EXPECT_STREQ("core.", zwConsole.scrollBack[0]);
  EXPECT_STREQ("control.page", zwConsole.scrollBack[9]);

  SetLine("core.sync ");
  ZW_ConsoleKey(ZW_KEY_TAB);
  EXPECT_STREQ("editor.", zwConsole.line);

  SetLine("colPick.setPickerBlue");
  ZW_ConsoleKey(ZW_KEY_TAB);  // cursor at the end: nothing to step or accept
  EXPECT_STREQ("colPick.setPickerBlue", zwConsole.line);
}

TEST_F(EditorTest, PageKeysStepThroughTheTable) {
  SetLine("core.sync 55");
  ZW_ConsoleKey(ZW_KEY_PAGE_UP);
  EXPECT_STREQ("core.resetFPS", zwConsole.line);
  ZW_ConsoleKey(ZW_KEY_PAGE_DOWN);
  ZW_ConsoleKey(ZW_KEY_PAGE_DOWN);
  EXPECT_STREQ("editor.", zwConsole.line);

  SetLine("colPick.");
  ZW_ConsoleKey(ZW_KEY_PAGE_UP);  // first name: nothing
  EXPECT_STREQ("colPick.", zwConsole.line);
  ZW_ConsoleKey(ZW_KEY_PAGE_DOWN);
  EXPECT_STREQ("colPick.setPickerRed", zwConsole.line);
  EXPECT_STREQ("colPick.", zwConsole.scrollBack[0]);
  EXPECT_STREQ("", zwConsole.scrollBack[1]);

  SetLine("texture.load");
  ZW_ConsoleKey(ZW_KEY_PAGE_DOWN);  // last name: nothing
  EXPECT_STREQ("texture.load", zwConsole.line);
  SetLine("zzz");
  ZW_ConsoleKey(ZW_KEY_PAGE_DOWN);
  ZW_ConsoleKey(ZW_KEY_PAGE_UP);
  EXPECT_STREQ("zzz", zwConsole.line);
}

TEST_F(EditorTest, PageKeyWithAMarkedCompletionTakesTheCompletedName) {
  SetLine("conPX");
  ZW_ConsoleKey(ZW_KEY_BACK);
  EXPECT_STREQ("conProps.", zwConsole.line);
  ZW_ConsoleKey(ZW_KEY_PAGE_DOWN);
  EXPECT_STREQ("conProps.", zwConsole.line);
  EXPECT_EQ(ZW_NO_MARK, zwConsole.markStart);
  ZW_ConsoleKey(ZW_KEY_PAGE_DOWN);
  EXPECT_STREQ("conProps.caption", zwConsole.line);
}

TEST_F(EditorTest, CursorKeys) {
  SetLine("core.sync 5");
  ZW_ConsoleKey(ZW_KEY_HOME);
  EXPECT_EQ(0, zwConsole.cursor);
  ZW_ConsoleKey(ZW_KEY_LEFT);
  EXPECT_EQ(0, zwConsole.cursor);
  ZW_ConsoleKey(ZW_KEY_RIGHT);
  ZW_ConsoleKey(ZW_KEY_RIGHT);
  EXPECT_EQ(2, zwConsole.cursor);
  ZW_ConsoleKey(ZW_KEY_DELETE);
  EXPECT_STREQ("coe.sync 5", zwConsole.line);
  ZW_ConsoleKey(ZW_KEY_END);
  EXPECT_EQ(10, zwConsole.cursor);
  ZW_ConsoleKey(ZW_KEY_RIGHT);
  EXPECT_EQ(10, zwConsole.cursor);
  ZW_ConsoleKey(ZW_KEY_INSERT);
  EXPECT_STREQ("", zwConsole.line);
  EXPECT_EQ(0, zwConsole.cursor);
}

}  // namespace
