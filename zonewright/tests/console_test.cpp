// Line parsing, table look-up, results, range helpers and script files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "kc_test_support.h"
#include "zw_console.h"
#include "zw_input.h"
#include "zw_platform_double.h"
#include "zw_render.h"
#include "zw_shell.h"

namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override { ZW_ResetAll(); }

  // Writes a script into the test's scratch folder and returns its path.
  std::string WriteScript(const std::string& aName, const std::string& aBytes) {
    std::string locPath = KC_TestScratchFolder() + "/" + aName;
    EXPECT_TRUE(WriteWholeFile(locPath, aBytes));
    return locPath;
  }
};

TEST_F(ConsoleTest, TableHasItsEntriesInOrder) {
  ASSERT_EQ(90, ZW_CommandCount());
  EXPECT_STREQ("colPick.", zwCommands[0].name);
  EXPECT_STREQ("control.", zwCommands[22].name);
  EXPECT_STREQ("control.zone", zwCommands[57].name);
  EXPECT_STREQ("editor.balance", zwCommands[64].name);
  EXPECT_STREQ("editor.mirror", zwCommands[66].name);
  EXPECT_STREQ("exec", zwCommands[72].name);
  EXPECT_STREQ("render.screenRes", zwCommands[81].name);
  EXPECT_STREQ("texture.load", zwCommands[89].name);
  for (int i = 0; i < ZW_CommandCount(); i++) {
    EXPECT_LT(strlen(zwCommands[i].name), 32u);
    EXPECT_EQ(i, ZW_FindCommand(zwCommands[i].name)) << zwCommands[i].name;
  }
}

TEST_F(ConsoleTest, LookUpIgnoresCaseButNotLength) {
  EXPECT_EQ(44, ZW_FindCommand("CoNtRoL.NEW"));
  EXPECT_EQ(34, ZW_FindCommand("control.followmouse"));
  EXPECT_EQ(27, ZW_FindCommand("control.caption"));
  EXPECT_EQ(-1, ZW_FindCommand("control.capt"));
  EXPECT_FALSE(ZW_Execute("core.syncs 5"));
  EXPECT_STREQ("ERROR: Syntax Error !", ZW_Result());
  EXPECT_FALSE(ZW_Execute(""));
  EXPECT_STREQ("ERROR: Syntax Error !", ZW_Result());
}

TEST_F(ConsoleTest, ParsingSplitsOnRunsOfSpacesAndKeepsATrailingSpace) {
  ZW_ParseLine("   control.caption   __Add_Zone:  ");
  EXPECT_STREQ("control.caption", zwInterp.word);
  EXPECT_STREQ("__Add_Zone:", zwInterp.args[1]);
  EXPECT_STREQ(" ", zwInterp.args[2]);
  EXPECT_STREQ("", zwInterp.args[3]);

  ZW_ParseLine("control.caption ");
  EXPECT_STREQ(" ", zwInterp.args[1]);

  // Tabs are part of words: only the space separates.
  ZW_ParseLine("a\tb c");
  EXPECT_STREQ("a\tb", zwInterp.word);
  EXPECT_STREQ("c", zwInterp.args[1]);
}

TEST_F(ConsoleTest, ParsingLimitsWordsAndArguments) {
  std::string locLong(40, 'x');
  ZW_ParseLine((locLong + " " + locLong).c_str());
  EXPECT_EQ(std::string(31, 'x'), zwInterp.word);
  EXPECT_EQ(std::string(31, 'x'), zwInterp.args[1]);

  ZW_ParseLine("cmd 1 2 3 4 5 6 7 8 9 10");
  EXPECT_STREQ("8", zwInterp.args[8]);

  // A new parse clears the slots of the previous one.
  ZW_ParseLine("cmd");
  EXPECT_STREQ("", zwInterp.args[1]);
  EXPECT_STREQ("", zwInterp.args[8]);

  // Nine arguments: the line runs with the first eight.
  EXPECT_TRUE(ZW_Execute("core.sync 20 1 2 3 4 5 6 7 99"));
  EXPECT_EQ(20, zwShell.minFrameTime);
}

TEST_F(ConsoleTest, QueryArgumentBecomesTheQueryValue) {
  ZW_Execute("core.sync ?anything");
  EXPECT_STREQ("-99999999", zwInterp.args[1]);
  EXPECT_STREQ("'core.sync' = 10.", ZW_Result());
  EXPECT_EQ(10, zwShell.minFrameTime);
  // The current command index follows the command being run.
  EXPECT_FALSE(ZW_Execute("core.fps ?"));
  EXPECT_STREQ("'core.FPS' = 2.", ZW_Result());
}

TEST_F(ConsoleTest, IntegerRangeStoresInsideAndReportsOutside) {
  EXPECT_FALSE(ZW_Execute("core.sync 0"));
  EXPECT_STREQ("ERROR: Out of range (1,100) !", ZW_Result());
  EXPECT_FALSE(ZW_Execute("core.sync 101"));
  EXPECT_STREQ("ERROR: Out of range (1,100) !", ZW_Result());
  EXPECT_EQ(10, zwShell.minFrameTime);
  EXPECT_TRUE(ZW_Execute("core.sync 100"));
  EXPECT_EQ(100, zwShell.minFrameTime);
  EXPECT_STREQ("", ZW_Result());
  // Text that is not a number reads as 0.
  EXPECT_FALSE(ZW_Execute("core.sync abc"));
  EXPECT_EQ(100, zwShell.minFrameTime);
}

TEST_F(ConsoleTest, FloatRangeHasAToleranceOfOneUnit) {
  EXPECT_TRUE(ZW_Execute("input.mouseSens 2000.9"));
  EXPECT_FLOAT_EQ(2000.9f, zwInput.mouseSens);
  EXPECT_TRUE(ZW_Execute("input.mouseSens -0.5"));
  EXPECT_FALSE(ZW_Execute("input.mouseSens 2001"));
  EXPECT_FALSE(ZW_Execute("input.mouseSens 2500"));
  EXPECT_STREQ("ERROR: Out of range (0.000000,2000.000000) !", ZW_Result());
  EXPECT_FLOAT_EQ(-0.5f, zwInput.mouseSens);
  EXPECT_FALSE(ZW_Execute("input.mouseSens ?"));
  EXPECT_STREQ("'input.mouseSens' = -0.500000.", ZW_Result());
}

TEST_F(ConsoleTest, MultiValueRangeHelpersStoreAllOrNothing) {
  int a = 1, b = 2;
  zwInterp.commandIndex = ZW_FindCommand("render.screenRes");
  EXPECT_FALSE(ZW_RangeInt2(&a, &b, 700, 2000, 640, 1280, 480, 1024));
  EXPECT_EQ(1, a);
  EXPECT_STREQ("ERROR: Out of range (640,1280 : 480,1024) !", ZW_Result());
  EXPECT_FALSE(ZW_RangeInt2(&a, &b, ZW_QUERY, 0, 640, 1280, 480, 1024));
  EXPECT_STREQ("'render.screenRes' = 1, 2.", ZW_Result());

  float locRect[4] = {1, 2, 3, 4};
  const float locLo[4] = {0, 0, 0, 0};
  const float locHi[4] = {1024, 1024, 1024, 1024};
  const float locBad[4] = {0, 0, 1025, 10};
  EXPECT_FALSE(ZW_RangeFloat4(locRect, locBad, locLo, locHi));
  EXPECT_STREQ("ERROR: Out of range !", ZW_Result());
  EXPECT_EQ(3, locRect[2]);
  const float locQuery[4] = {ZW_QUERY_FLOAT, 0, 0, 0};
  zwInterp.commandIndex = ZW_FindCommand("control.image");
  EXPECT_FALSE(ZW_RangeFloat4(locRect, locQuery, locLo, locHi));
  EXPECT_STREQ("'control.image' = 1, 2, 3, 4.", ZW_Result());
  const float locGood[4] = {0, 16, 48, 40};
  EXPECT_TRUE(ZW_RangeFloat4(locRect, locGood, locLo, locHi));
  EXPECT_EQ(48, locRect[2]);
}

TEST_F(ConsoleTest, ResultIsLimitedTo128Characters) {
  std::string locLong(300, 'e');
  ZW_SetResultError(locLong.c_str());
  EXPECT_EQ(128u, strlen(ZW_Result()));
  EXPECT_EQ(0, strncmp("ERROR: eee", ZW_Result(), 10));
}

TEST_F(ConsoleTest, ScrollBackKeepsTenLinesNewestFirstAndMirrorsToDebugOutput) {
  for (int i = 0; i < 12; i++) {
    ZW_Printf("line %d", i);
  }
  EXPECT_STREQ("line 11", zwConsole.scrollBack[0]);
  EXPECT_STREQ("line 2", zwConsole.scrollBack[9]);
  ASSERT_EQ(12u, zwDouble.debugOutput.size());
  EXPECT_EQ("line 0\n", zwDouble.debugOutput[0]);
  std::string locLong(200, 'p');
  ZW_Print(locLong.c_str());
  EXPECT_EQ(127u, strlen(zwConsole.scrollBack[0]));
}

TEST_F(ConsoleTest, ScriptRunsLinesAndSkipsComments) {
  std::string locPath = WriteScript("zw_basic.txt",
                                    "// settings\r\n"
                                    "core.sync 25\r\n"
                                    "core.FPS / the mode follows\r\n"
                                    "1\r\n"
                                    "core.Mem 2\r\n"
                                    "core.sync 30");  // no line feed: not run
  EXPECT_TRUE(ZW_RunScript(locPath.c_str()));
  EXPECT_EQ(25, zwShell.minFrameTime);
  // The comment swallows the line end: "core.FPS " continues with "1".
  EXPECT_EQ(ZW_FPS_CURRENT, zwShell.fpsMode);
  EXPECT_EQ(ZW_MEM_FULL, zwShell.memMode);
  EXPECT_EQ("Running '" + locPath + "'", zwConsole.scrollBack[0]);
}

TEST_F(ConsoleTest, ScriptLineWithoutCarriageReturnLosesItsLastCharacter) {
  std::string locPath = WriteScript("zw_lf.txt", "core.FPS 1\ncore.Mem 1\r\n");
  EXPECT_TRUE(ZW_RunScript(locPath.c_str()));
  // "core.FPS 1\n" runs as "core.FPS ": its argument of one space reads as 0.
  EXPECT_EQ(ZW_FPS_OFF, zwShell.fpsMode);
  EXPECT_EQ(ZW_MEM_USAGE, zwShell.memMode);
}

TEST_F(ConsoleTest, OverLongScriptLineStopsTheScript) {
  std::string locPath = WriteScript("zw_long.txt",
                                    "core.sync 40\r\ncore.Mem " + std::string(130, '1') +
                                        "\r\ncore.sync 50\r\n");
  EXPECT_TRUE(ZW_RunScript(locPath.c_str()));
  EXPECT_EQ(40, zwShell.minFrameTime);
  EXPECT_EQ(ZW_MEM_OFF, zwShell.memMode);
}

TEST_F(ConsoleTest, MissingScriptPrintsAndFails) {
  EXPECT_FALSE(ZW_RunScript("no/such/script.txt"));
  EXPECT_STREQ("ERROR: 'no/such/script.txt'... No such file!", zwConsole.scrollBack[0]);
  // Through the command the printed line is the only report.
  EXPECT_TRUE(ZW_Execute("exec missing.txt"));
  EXPECT_STREQ("ERROR: 'missing.txt'... No such file!", zwConsole.scrollBack[0]);
}

TEST_F(ConsoleTest, ScriptThatRunsItselfStopsAtTheNestingLimit) {
  // A relative name fits the 31-character argument: the test runs in its scratch folder.
  WriteScript("zw_self.txt", "core.sync 1\r\nexec zw_self.txt\r\ncore.sync 2\r\n");
  EXPECT_TRUE(ZW_RunScript("zw_self.txt"));
  EXPECT_EQ(0, zwInterp.execDepth);
  EXPECT_EQ(2, zwShell.minFrameTime);
  bool locReported = false;
  for (const std::string& s : zwDouble.debugOutput) {
    locReported = locReported || s.find("nested too deep") != std::string::npos;
  }
  EXPECT_TRUE(locReported);
}

}  // namespace
