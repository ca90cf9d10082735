// Start-up lines, frame timing, statistics, key routing and the core commands.
#include <gtest/gtest.h>

#include "zw_console.h"
#include "zw_input.h"
#include "zw_keys.h"
#include "zw_platform_double.h"
#include "zw_render.h"
#include "zw_shell.h"

namespace {

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { ZW_ResetAll(); }
};

TEST_F(ShellTest, StartUpLinesGiveTheStartUpSettings) {
  EXPECT_FALSE(ZW_Execute(zwStartupLines[0]));
  EXPECT_STREQ("ERROR: Out of range (640,1280 : 480,1024) !", ZW_Result());
  for (int i = 1; i < ZW_STARTUP_LINE_COUNT; i++) {
    EXPECT_TRUE(ZW_Execute(zwStartupLines[i])) << zwStartupLines[i];
  }
  EXPECT_EQ(640, zwShell.screenWidth);
  EXPECT_EQ(480, zwShell.screenHeight);
  EXPECT_EQ(10, zwShell.cellSize);
  EXPECT_EQ(0x00848996u, zwRender.clearColor);
  EXPECT_FLOAT_EQ(-5.8f, zwRender.camera[0]);
  EXPECT_FLOAT_EQ(0.1f, zwRender.camera[1]);
  EXPECT_FLOAT_EQ(-5.0f, zwRender.camera[2]);
}

TEST_F(ShellTest, ScreenResolutionAndCellSize) {
  EXPECT_TRUE(ZW_Execute("render.screenRes 1280 1024"));
  EXPECT_FALSE(ZW_Execute("render.screenRes ?"));
  EXPECT_STREQ("'render.screenRes' = 1280, 1024.", ZW_Result());
  EXPECT_FALSE(ZW_Execute("render.screenRes 800 479"));
  EXPECT_EQ(1280, zwShell.screenWidth);
  EXPECT_TRUE(ZW_Execute("render.fontSize 100"));
  EXPECT_EQ(12, zwShell.cellSize);
  // A divisor that would leave no cell is refused.
  EXPECT_FALSE(ZW_Execute("render.fontSize 0"));
  EXPECT_STREQ("ERROR: Out of range (1,1280) !", ZW_Result());
  EXPECT_FALSE(ZW_Execute("render.fontSize -4"));
  EXPECT_EQ(12, zwShell.cellSize);
}

TEST_F(ShellTest, FrameFactorCountsSixteenMillisecondStepsUpToTwo) {
  zwShell.frameStart = 1000;
  ZW_FrameBegin(1016);
  EXPECT_FLOAT_EQ(1.0f, zwShell.frameFactor);
  ZW_FrameBegin(1024);
  EXPECT_FLOAT_EQ(0.5f, zwShell.frameFactor);
  ZW_FrameBegin(1056);
  EXPECT_FLOAT_EQ(2.0f, zwShell.frameFactor);
  ZW_FrameBegin(1089);  // 33 ms: above 2.0 becomes 1.0, not 2.0
  EXPECT_FLOAT_EQ(1.0f, zwShell.frameFactor);
  ZW_FrameBegin(500000);  // a first frame long after start-up
  EXPECT_FLOAT_EQ(1.0f, zwShell.frameFactor);
  EXPECT_EQ(1089, zwShell.previousFrameStart);
}

// The loop sleeps what is left of the minimum frame time: frames waited out
// start on the same ticks as before, so the frame factor keeps its steps.
TEST_F(ShellTest, FrameWaitLeavesTheFrameCapAndTheFrameFactorAsTheyWere) {
  zwShell.frameStart = 990;
  ZW_FrameBegin(1000);
  EXPECT_EQ(10, ZW_FrameTimeLeft(1000));
  EXPECT_EQ(7, ZW_FrameTimeLeft(1003.5));  // a part of a millisecond is waited whole
  EXPECT_EQ(1, ZW_FrameTimeLeft(1009));
  EXPECT_EQ(0, ZW_FrameTimeLeft(1010));
  EXPECT_EQ(0, ZW_FrameTimeLeft(1040));  // a long frame waits nothing
  ZW_FrameBegin(1010);
  EXPECT_FLOAT_EQ(0.625f, zwShell.frameFactor);

  EXPECT_TRUE(ZW_Execute("core.sync 40"));
  EXPECT_EQ(40, ZW_FrameTimeLeft(1010));
  EXPECT_EQ(24, ZW_FrameTimeLeft(1026));
  ZW_FrameBegin(1010 + ZW_FrameTimeLeft(1010));
  EXPECT_FLOAT_EQ(1.0f, zwShell.frameFactor);  // 40 ms: above 2.0
  EXPECT_TRUE(ZW_Execute("core.sync 32"));
  ZW_FrameBegin(1050 + ZW_FrameTimeLeft(1050));
  EXPECT_FLOAT_EQ(2.0f, zwShell.frameFactor);
}

// A screen at rest waits for input alone, or until the earliest change that
// a frame said is due; the next frame forgets it.
TEST_F(ShellTest, ADueChangeWakesTheScreenAtRest) {
  ZW_FrameBegin(1000);
  EXPECT_EQ(-1, ZW_RestTimeout(1000));
  ZW_WakeAt(1530);  // a blink
  ZW_WakeAt(1500);  // a tool tip, earlier
  ZW_WakeAt(1700);
  EXPECT_EQ(500, ZW_RestTimeout(1000));
  EXPECT_EQ(1, ZW_RestTimeout(1499.5));
  EXPECT_EQ(0, ZW_RestTimeout(1500));
  EXPECT_EQ(0, ZW_RestTimeout(1600));  // late: no wait at all
  ZW_FrameBegin(1500);
  EXPECT_EQ(-1, ZW_RestTimeout(1500));
}

TEST_F(ShellTest, StatisticsSampleOncePerSecondAndTrackMinAndMaxInModeTwo) {
  for (int i = 0; i < 30; i++) {
    ZW_FrameCount(10.0 * i);
  }
  EXPECT_EQ(0, zwShell.lastFps);
  EXPECT_EQ(9999, zwShell.minFps);  // a last FPS of 0 never becomes the minimum
  ZW_FrameCount(1000);
  EXPECT_EQ(31, zwShell.lastFps);
  EXPECT_EQ(0, zwShell.frameCounter);
  EXPECT_EQ(31, zwShell.minFps);
  EXPECT_EQ(0, zwShell.maxFps);  // the minimum branch takes precedence
  ZW_FrameCount(1500);
  EXPECT_EQ(31, zwShell.maxFps);
  for (int i = 0; i < 50; i++) {
    ZW_FrameCount(1500 + i);
  }
  ZW_FrameCount(2000);
  EXPECT_EQ(52, zwShell.lastFps);
  EXPECT_EQ(52, zwShell.maxFps);

  // Mode 1 leaves minimum and maximum alone.
  EXPECT_TRUE(ZW_Execute("core.FPS 1"));
  for (int i = 0; i < 5; i++) {
    ZW_FrameCount(2500 + i);
  }
  ZW_FrameCount(3000);
  EXPECT_EQ(6, zwShell.lastFps);
  EXPECT_EQ(31, zwShell.minFps);

  EXPECT_FALSE(ZW_Execute("core.resetFPS ?"));
  EXPECT_STREQ("ERROR: Can't PEEK into a function !", ZW_Result());
  EXPECT_EQ(6, zwShell.lastFps);
  EXPECT_TRUE(ZW_Execute("core.resetFPS"));
  EXPECT_EQ(9999, zwShell.minFps);
  EXPECT_EQ(0, zwShell.lastFps);
  EXPECT_EQ(0, zwShell.maxFps);
}

TEST_F(ShellTest, StatisticsRowsAreCountedFromTheScreenHeight) {
  zwShell.cellSize = 10;
  zwShell.lastFps = 60;
  zwShell.minFps = 58;
  zwShell.maxFps = 61;
  ZW_DrawStatistics();
  const char* locText = "FPS: 60 (Min: 58, Max: 61)";
  ASSERT_EQ(strlen(locText), zwDouble.draws.size());
  EXPECT_EQ(10, zwDouble.draws[0].dst[0]);
  EXPECT_EQ(470, zwDouble.draws[0].dst[1]);  // row 48 - 1
  EXPECT_EQ(480, zwDouble.draws[0].dst[3]);

  zwDouble.draws.clear();
  ZW_Execute("core.FPS 0");
  ZW_Execute("core.Mem 2");
  zwShell.startMemory.availPhys = 500000000;
  zwDouble.memory.availPhys = 400000000;
  zwDouble.memory.totalPhys = 2000000000;
  ZW_DrawStatistics();
  ASSERT_FALSE(zwDouble.draws.empty());
  EXPECT_EQ(430, zwDouble.draws.front().dst[1]);  // "Memory Usage: 100000 Kb" on row 43
  EXPECT_EQ(450, zwDouble.draws.back().dst[1]);   // "Total" on row 45
  EXPECT_EQ(strlen("Memory Usage: 100000 Kb") + strlen("Available   : 400000 Kb") +
                strlen("Total       : 2000000 Kb"),
            zwDouble.draws.size());
}

TEST_F(ShellTest, WindowScaleAndMousePosition) {
  EXPECT_TRUE(ZW_UpdateWindowScale(640, 480));  // the first frame always counts as a change
  EXPECT_FALSE(ZW_UpdateWindowScale(640, 480));
  EXPECT_TRUE(ZW_UpdateWindowScale(1280, 960));
  ZW_SetMouseFromClient(301, 99);
  EXPECT_EQ(150, zwShell.mouseX);
  EXPECT_EQ(49, zwShell.mouseY);
  EXPECT_FALSE(ZW_UpdateWindowScale(0, 0));
  // A minimised window keeps the last scale rather than taking its icon's size.
  EXPECT_FALSE(ZW_UpdateWindowScaleFromRect(-32000, -32000, -31840, -31969, false));
  EXPECT_FALSE(ZW_UpdateWindowScaleFromRect(10, 10, 170, 41, true));
  EXPECT_FLOAT_EQ(0.5f, zwShell.scaleX);
  EXPECT_TRUE(ZW_UpdateWindowScaleFromRect(300, 150, 940, 630, false));
  EXPECT_FLOAT_EQ(1.0f, zwShell.scaleX);
}

TEST_F(ShellTest, EscapeExitsAndReachesAnOpenConsole) {
  ZW_KeyDown(ZW_KEY_ESCAPE);
  EXPECT_EQ(1, zwDouble.exitCalls);
  EXPECT_STREQ("Exit", zwConsole.scrollBack[0]);

  ZW_KeyDown(ZW_KEY_CONSOLE);
  EXPECT_EQ(1, zwConsole.open);
  snprintf(zwConsole.line, sizeof(zwConsole.line), "core.sync 5");
  ZW_KeyDown(ZW_KEY_RETURN);  // the open console executes
  EXPECT_EQ(5, zwShell.minFrameTime);
  snprintf(zwConsole.line, sizeof(zwConsole.line), "core.sync 6");
  ZW_KeyDown(ZW_KEY_ESCAPE);  // exits, and then the key goes to the console (which ignores it)
  EXPECT_EQ(2, zwDouble.exitCalls);
  ZW_KeyDown(ZW_KEY_CONSOLE);
  EXPECT_EQ(0, zwConsole.open);
  ZW_KeyDown(ZW_KEY_RETURN);  // a closed console takes no keys
  EXPECT_EQ(5, zwShell.minFrameTime);
  EXPECT_STREQ("core.sync 6", zwConsole.line);
}

TEST_F(ShellTest, ExitCommandRunsTheExitOperation) {
  EXPECT_TRUE(ZW_Execute("EXIT"));
  EXPECT_EQ(1, zwDouble.exitCalls);
  EXPECT_STREQ("Exit", zwConsole.scrollBack[0]);
}

TEST_F(ShellTest, InputBindingsAndSensitivity) {
  EXPECT_TRUE(ZW_Execute("input.bind jump 57"));
  EXPECT_EQ(57, zwInput.bindings[4]);
  EXPECT_TRUE(ZW_Execute("input.bind run 12"));
  EXPECT_TRUE(ZW_Execute("input.bind jumps 12"));
  EXPECT_TRUE(ZW_Execute("input.bind us 12"));
  for (int i = 0; i < ZW_ACTION_COUNT; i++) {
    EXPECT_EQ(i == 4 ? 57 : 0, zwInput.bindings[i]);
  }
  EXPECT_TRUE(ZW_Execute("input.bind LEFT -3"));
  EXPECT_EQ(-3, zwInput.bindings[0]);
  EXPECT_FLOAT_EQ(500.0f, zwInput.mouseSens);
  EXPECT_FALSE(ZW_Execute("input.mouseSens 2500"));
  EXPECT_STREQ("ERROR: Out of range (0.000000,2000.000000) !", ZW_Result());
}

}  // namespace
