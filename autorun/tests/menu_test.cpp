// The menu over fake display objects: focus by keys and mouse, key clicks,
// tool tips with a clock of the test's own.
#include "AutorunButton.h"
#include "AutorunMenu.h"
#include "Ice.h"
#include "autorun_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
DWORD ourNow = 0;
DWORD WINAPI TestClock()
{
	return ourNow;
}

std::string At(int anX, int aY)
{
	return "myPosition\n{\nmyX " + std::to_string(anX) + "\nmyY " + std::to_string(aY) + "\n}\n";
}

const std::string ourDisabled = "FileExistRequirement off\n{\nmyFileToExist nothing.here\n}\n";

class MenuTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ourShellRequests.clear();
		ourShellResult = TRUE;
		ourNow = 1000;
		myPreviousShell = AutorunButton::SetShellExecuteFunction(RecordShellRequest);
		myPreviousClock = AutorunMenu::SetClockFunction(TestClock);
	}
	void TearDown() override
	{
		AutorunMenu::DestroyCurrent();
		AutorunButton::SetShellExecuteFunction(myPreviousShell);
		AutorunMenu::SetClockFunction(myPreviousClock);
	}

	// A 640 by 400 menu with the given buttons (each 120 by 30).
	AutorunMenu* Make(const std::string& aButtonsJuice)
	{
		Ice* locDefinition = LoadDefinition("Gui myGui\n{\nmyBackgroundBitmap background.tga\nmyButtons\n{\n" +
		                                    aButtonsJuice + "}\n}\n");
		myFactory = new FakeFactory;
		myFactory->myPictures["background.tga"] = std::make_pair(640, 400);
		return AutorunMenu::CreateFromDefinition(locDefinition, myFactory, NULL);
	}

	// Four buttons in a column at y 20, 60, 100, 140; the second disabled.
	AutorunMenu* MakeColumn(const std::string& aFirstExtra = "")
	{
		return Make(ButtonJuice("a", At(10, 20) + "myToolTip \"Install the game\"\n" + aFirstExtra) +
		            ButtonJuice("b", At(10, 60), ourDisabled) + ButtonJuice("c", At(10, 100) + "myToolTip Tip\n") +
		            ButtonJuice("d", At(10, 140)));
	}

	// The looks of all buttons, "N" normal, "H" hover, "P" pressed.
	std::string Looks(AutorunMenu* aMenu)
	{
		std::string locLooks;
		for (int locIndex = 0; locIndex < aMenu->GetButtonCount(); ++locIndex)
			locLooks += "NPH"[aMenu->GetButton(locIndex)->GetLook()];
		return locLooks;
	}

	std::vector<std::string> Painted(AutorunMenu* aMenu)
	{
		myFactory->myLog.clear();
		aMenu->Paint();
		return myFactory->myLog;
	}

	MenuFolder myFolder;
	FakeFactory* myFactory = NULL;
	AutorunButton::ShellExecuteFunction myPreviousShell = NULL;
	AutorunMenu::ClockFunction myPreviousClock = NULL;
};
}

TEST_F(MenuTest, KeysMoveTheFocusThroughTheEnabledButtonsAndWrap)
{
	AutorunMenu* locMenu = MakeColumn();
	ASSERT_TRUE(locMenu != NULL);
	ASSERT_FALSE(locMenu->GetButton(1)->IsEnabled());
	EXPECT_EQ(-1, locMenu->GetFocus());

	struct Step
	{
		int myKey;
		bool myShift;
		int myFocus;
	};
	const Step locSteps[] = {
		{VK_TAB, false, 0}, {VK_TAB, false, 2}, {VK_TAB, false, 3}, {VK_TAB, false, 0}, {VK_TAB, true, 3},
		{VK_LEFT, false, 2}, {VK_UP, false, 0},  {VK_DOWN, false, 2}, {VK_RIGHT, false, 3}, {'A', false, 3},
	};
	for (const Step& locStep : locSteps)
	{
		EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyDown(locStep.myKey, locStep.myShift, false));
		EXPECT_EQ(locStep.myFocus, locMenu->GetFocus()) << "key " << locStep.myKey;
	}
	// The focused button shows its hover look, the others their normal one.
	EXPECT_EQ("NNNH", Looks(locMenu));
	EXPECT_TRUE(ourShellRequests.empty());

	// Shift+Tab with no focus starts at the last enabled button.
	AutorunMenu::DestroyCurrent();
	locMenu = Make(ButtonJuice("a", At(10, 20)) + ButtonJuice("b", At(10, 60), ourDisabled));
	ASSERT_TRUE(locMenu != NULL);
	locMenu->OnKeyDown(VK_TAB, true, false);
	EXPECT_EQ(0, locMenu->GetFocus());
	locMenu->OnKeyDown(VK_TAB, true, false);
	EXPECT_EQ(0, locMenu->GetFocus());
	EXPECT_EQ("HN", Looks(locMenu));

	// Nothing to focus: the keys do nothing.
	AutorunMenu::DestroyCurrent();
	locMenu = Make(ButtonJuice("b", At(10, 60), ourDisabled));
	ASSERT_TRUE(locMenu != NULL);
	locMenu->OnKeyDown(VK_TAB, false, false);
	EXPECT_EQ(-1, locMenu->GetFocus());
}

TEST_F(MenuTest, EnterOrSpacePressesAndTheirReleaseClicks)
{
	AutorunMenu* locMenu = MakeColumn();
	ASSERT_TRUE(locMenu != NULL);
	// No focus, or a release without a press: nothing happens.
	EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyDown(VK_RETURN, false, false));
	EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyUp(VK_RETURN));
	locMenu->OnKeyDown(VK_TAB, false, false);
	EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyUp(VK_SPACE));
	EXPECT_TRUE(ourShellRequests.empty());

	for (int locKey : {VK_RETURN, VK_SPACE})
	{
		ourShellRequests.clear();
		EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyDown(locKey, false, false));
		EXPECT_EQ("PNNN", Looks(locMenu));
		EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyDown(locKey, false, true));
		EXPECT_TRUE(ourShellRequests.empty());
		EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyUp(locKey));
		EXPECT_EQ("HNNN", Looks(locMenu));
		ASSERT_EQ(1u, ourShellRequests.size());
		EXPECT_EQ("open", ourShellRequests[0].myVerb);
		EXPECT_EQ("docs/readme.txt", ourShellRequests[0].myFile);
		// Released once: a second key up clicks nothing.
		EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyUp(locKey));
		EXPECT_EQ(1u, ourShellRequests.size());
	}

	// A press whose focus moves on before the release clicks nothing.
	ourShellRequests.clear();
	locMenu->OnKeyDown(VK_RETURN, false, false);
	locMenu->OnKeyDown(VK_TAB, false, false);
	EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyUp(VK_RETURN));
	EXPECT_TRUE(ourShellRequests.empty());
}

TEST_F(MenuTest, KeyClickGivesTheSameResultAsTheMouse)
{
	AutorunMenu* locMenu = MakeColumn("myButtonType LAUNCH_EXECUTABLE_AND_DIE\nmyInstallLauncherFlag 0\n");
	ASSERT_TRUE(locMenu != NULL);
	locMenu->OnKeyDown(VK_TAB, false, false);
	locMenu->OnKeyDown(VK_RETURN, false, false);
	EXPECT_EQ(AutorunButton::ACTION_QUIT, locMenu->OnKeyUp(VK_RETURN));
	EXPECT_EQ(1u, ourShellRequests.size());
	ourShellResult = FALSE;
	locMenu->OnKeyDown(VK_TAB, false, false);
	locMenu->OnKeyDown(VK_SPACE, false, false);
	EXPECT_EQ(AutorunButton::ACTION_QUIT, locMenu->OnKeyUp(VK_SPACE));
}

TEST_F(MenuTest, HoverMovesTheFocusAndWithoutKeysTheLooksAreAsBefore)
{
	AutorunMenu* locMenu = MakeColumn();
	ASSERT_TRUE(locMenu != NULL);
	// The mouse alone: the button under the pointer hovers, all others are normal.
	locMenu->OnMouseMove(50, 105);
	EXPECT_EQ("NNHN", Looks(locMenu));
	EXPECT_EQ(2, locMenu->GetFocus());
	locMenu->OnMouseMove(50, 65);
	EXPECT_EQ("NNNN", Looks(locMenu));
	locMenu->OnMouseMove(500, 300);
	EXPECT_EQ("NNNN", Looks(locMenu));
	EXPECT_EQ(-1, locMenu->GetFocus());

	// Hovering moves the focus: Tab goes on from there.
	locMenu->OnMouseMove(50, 105);
	locMenu->OnKeyDown(VK_TAB, false, false);
	EXPECT_EQ(3, locMenu->GetFocus());
	EXPECT_EQ("NNNH", Looks(locMenu));
	// A focus set by keys stays shown while the pointer is over no enabled button.
	locMenu->OnMouseMove(500, 300);
	locMenu->OnMouseMove(50, 65);
	EXPECT_EQ(3, locMenu->GetFocus());
	EXPECT_EQ("NNNH", Looks(locMenu));
	locMenu->OnMouseMove(50, 25);
	EXPECT_EQ(0, locMenu->GetFocus());
	EXPECT_EQ("HNNN", Looks(locMenu));
}

TEST_F(MenuTest, APointerOnADisabledButtonLeavesNoHiddenFocus)
{
	AutorunMenu* locMenu = MakeColumn();
	ASSERT_TRUE(locMenu != NULL);
	// From the first button straight onto the disabled second one.
	locMenu->OnMouseMove(50, 25);
	EXPECT_EQ(0, locMenu->GetFocus());
	locMenu->OnMouseMove(50, 65);
	EXPECT_EQ(-1, locMenu->GetFocus());
	EXPECT_EQ("NNNN", Looks(locMenu));
	// Enter clicks nothing: no button shows the focus.
	EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyDown(VK_RETURN, false, false));
	EXPECT_EQ(AutorunButton::ACTION_NONE, locMenu->OnKeyUp(VK_RETURN));
	EXPECT_TRUE(ourShellRequests.empty());
	EXPECT_EQ("NNNN", Looks(locMenu));
	// Tab starts from the top again.
	locMenu->OnKeyDown(VK_TAB, false, false);
	EXPECT_EQ(0, locMenu->GetFocus());
	EXPECT_EQ("HNNN", Looks(locMenu));
}

TEST(AutorunToolTip, LongTextsAreWrappedAtBlanksAndInsideOverlongWords)
{
	// Seven pixels a character.
	auto locWidth = [](const KC_String& aText) { return 7 * aText.GetLength(); };
	auto locWrapped = [&locWidth](const char* aText, int aMaxWidth) {
		std::string locLines;
		for (const KC_String& locLine : AutorunMenu::WrapText(aText, aMaxWidth, locWidth))
			locLines += std::string(locLine) + "|";
		return locLines;
	};
	EXPECT_EQ("Install the game|", locWrapped("Install the game", 200));
	// 10 characters a line: words stay whole, blanks at the breaks go.
	EXPECT_EQ("Install|the game|on  this|computer|", locWrapped("Install the game on  this computer", 70));
	EXPECT_EQ("C:/Program|Files/Kest|relsoft|", locWrapped("C:/Program Files/Kestrelsoft", 70));
	// Narrower than a character: one a line, never none.
	EXPECT_EQ("a|b|", locWrapped("ab", 3));
	EXPECT_EQ("|", locWrapped("", 70));
}

TEST_F(MenuTest, AToolTipWiderThanTheWindowIsWrappedInsideIt)
{
	// 100 characters of 7 pixels in a window 640 wide: two lines of at most 630 pixels.
	std::string locText;
	for (int locWord = 0; locWord < 20; ++locWord)
		locText += locWord ? " word" : "first";
	AutorunMenu* locMenu = Make(ButtonJuice("wide", At(10, 20) + "myToolTip \"" + locText + "\"\n"));
	ASSERT_TRUE(locMenu != NULL);
	locMenu->OnMouseMove(50, 25);
	ourNow += 500;
	int locPrinted = 0;
	for (const std::string& locLine : Painted(locMenu))
	{
		int locA = 0;
		int locB = 0;
		int locC = 0;
		if (std::sscanf(locLine.c_str(), "hline %d %d %d", &locA, &locB, &locC) == 3)
		{
			EXPECT_GE(locA, 0) << locLine;
			EXPECT_LE(locB, 640) << locLine;
		}
		if (locLine.compare(0, 6, "print ") == 0)
		{
			++locPrinted;
			size_t locEnd = locLine.rfind('"');
			int locX = std::atoi(locLine.c_str() + locEnd + 2);
			EXPECT_GE(locX, 0) << locLine;
			EXPECT_LE(locX + 7 * static_cast<int>(locEnd - 7), 640) << locLine;
		}
	}
	EXPECT_EQ(2, locPrinted);
}

TEST_F(MenuTest, ToolTipAfterHalfASecondOfRest)
{
	AutorunMenu* locMenu = MakeColumn();
	ASSERT_TRUE(locMenu != NULL);
	locMenu->OnMouseMove(50, 25);
	ourNow += 499;
	EXPECT_EQ(-1, locMenu->GetToolTipButton());
	// A movement before it shows starts the wait again.
	locMenu->OnMouseMove(51, 25);
	ourNow += 499;
	EXPECT_EQ(-1, locMenu->GetToolTipButton());
	ourNow += 1;
	EXPECT_EQ(0, locMenu->GetToolTipButton());
	// Once shown it stays while the pointer moves over the button.
	locMenu->OnMouseMove(60, 30);
	EXPECT_EQ(0, locMenu->GetToolTipButton());

	std::vector<std::string> locPainted = Painted(locMenu);
	// Below the pointer where it rested: "Install the game" is 16 characters of 7 pixels, 10 high.
	EXPECT_NE(locPainted.end(), std::find(locPainted.begin(), locPainted.end(), "print \"Install the game\" 55 51"));
	EXPECT_NE(locPainted.end(), std::find(locPainted.begin(), locPainted.end(), "hline 51 171 47"));
	EXPECT_NE(locPainted.end(), std::find(locPainted.begin(), locPainted.end(), "hline 51 171 64"));
	// Drawn last, over the buttons.
	EXPECT_EQ(0u, locPainted.back().find("print \"Install the game\""));

	// Leaving the button hides it; another button starts its own wait.
	locMenu->OnMouseMove(50, 105);
	EXPECT_EQ(-1, locMenu->GetToolTipButton());
	ourNow += 500;
	EXPECT_EQ(2, locMenu->GetToolTipButton());
	locMenu->OnMouseMove(500, 300);
	ourNow += 1000;
	EXPECT_EQ(-1, locMenu->GetToolTipButton());

	// A button without a tool tip, and the disabled one with none, show nothing.
	locMenu->OnMouseMove(50, 145);
	ourNow += 1000;
	EXPECT_EQ(-1, locMenu->GetToolTipButton());
	locPainted = Painted(locMenu);
	EXPECT_EQ(locPainted.end(), std::find_if(locPainted.begin(), locPainted.end(), [](const std::string& aLine) {
		          return aLine.compare(0, 5, "print") == 0 || aLine.compare(0, 5, "hline") == 0;
	          }));
}

TEST_F(MenuTest, ToolTipGoesOnPressKeyOrLeavingTheWindow)
{
	AutorunMenu* locMenu = MakeColumn();
	ASSERT_TRUE(locMenu != NULL);
	locMenu->OnMouseMove(50, 25);
	ourNow += 600;
	EXPECT_EQ(0, locMenu->GetToolTipButton());
	locMenu->OnMouseDown(50, 25);
	EXPECT_EQ(-1, locMenu->GetToolTipButton());
	// It stays away until the pointer leaves the button and comes back.
	locMenu->OnMouseMove(52, 25);
	ourNow += 600;
	EXPECT_EQ(-1, locMenu->GetToolTipButton());
	locMenu->OnMouseMove(500, 300);
	locMenu->OnMouseMove(50, 25);
	ourNow += 600;
	EXPECT_EQ(0, locMenu->GetToolTipButton());
	locMenu->OnKeyDown(VK_TAB, false, false);
	EXPECT_EQ(-1, locMenu->GetToolTipButton());

	locMenu->OnMouseMove(50, 105);
	ourNow += 600;
	EXPECT_EQ(2, locMenu->GetToolTipButton());
	locMenu->OnMouseLeave();
	EXPECT_EQ(-1, locMenu->GetToolTipButton());
}

// The loop paints a frame only when the menu shows something new: each kind
// of change paints once, and nothing else paints.
TEST_F(MenuTest, PaintsOnlyWhatChanged)
{
	AutorunMenu* locMenu = MakeColumn();
	ASSERT_TRUE(locMenu != NULL);
	int locBefore = 0;
	auto Paints = [&]() {
		locMenu->PaintIfChanged();
		locMenu->PaintIfChanged();
		int locPaints = myFactory->myPresents - locBefore;
		locBefore = myFactory->myPresents;
		return locPaints;
	};
	EXPECT_EQ(1, Paints());  // the first frame
	EXPECT_EQ(0, Paints());

	// Hover, and moves that change no look.
	locMenu->OnMouseMove(50, 25);
	EXPECT_EQ(1, Paints());
	locMenu->OnMouseMove(51, 25);
	EXPECT_EQ(0, Paints());
	locMenu->OnMouseMove(500, 300);
	EXPECT_EQ(1, Paints());
	locMenu->OnMouseMove(501, 300);
	EXPECT_EQ(0, Paints());
	// The disabled button shows no hover.
	locMenu->OnMouseMove(50, 65);
	EXPECT_EQ(0, Paints());

	// Press and release.
	locMenu->OnMouseMove(50, 145);
	EXPECT_EQ(1, Paints());
	locMenu->OnMouseDown(50, 145);
	EXPECT_EQ(1, Paints());
	locMenu->OnMouseUp(50, 145);
	EXPECT_EQ(1, Paints());
	EXPECT_EQ(1u, ourShellRequests.size());

	// Focus by keys.
	locMenu->OnKeyDown(VK_TAB, false, false);
	EXPECT_EQ(1, Paints());
	locMenu->OnKeyDown(VK_SHIFT, true, false);
	EXPECT_EQ(0, Paints());

	// The tool tip: nothing while it waits, one frame when it shows and one
	// when it goes.
	locMenu->OnMouseMove(50, 105);
	EXPECT_EQ(1, Paints());
	EXPECT_EQ(500u, locMenu->GetToolTipWait());
	ourNow += 300;
	EXPECT_EQ(200u, locMenu->GetToolTipWait());
	EXPECT_EQ(0, Paints());
	ourNow += 200;
	EXPECT_EQ(0u, locMenu->GetToolTipWait());
	EXPECT_EQ(1, Paints());
	EXPECT_EQ(INFINITE, locMenu->GetToolTipWait());  // shown
	ourNow += 5000;
	locMenu->OnMouseMove(60, 110);
	EXPECT_EQ(0, Paints());
	locMenu->OnMouseLeave();
	EXPECT_EQ(1, Paints());
	EXPECT_EQ(INFINITE, locMenu->GetToolTipWait());

	// A button without a tool tip waits for none.
	locMenu->OnMouseMove(50, 145);
	EXPECT_EQ(INFINITE, locMenu->GetToolTipWait());

	// A paint of the window itself (uncovered) counts as the frame shown.
	Paints();
	locMenu->Paint();
	locBefore = myFactory->myPresents;
	EXPECT_EQ(0, Paints());
}

TEST(AutorunToolTip, PlacedBelowThePointerAndInsideTheWindow)
{
	int locLeft = -1;
	int locTop = -1;
	AutorunMenu::PlaceToolTip(100, 50, 80, 20, 640, 400, &locLeft, &locTop);
	EXPECT_EQ(100, locLeft);
	EXPECT_EQ(72, locTop);
	// At the right edge it moves left; at the bottom it goes above the pointer.
	AutorunMenu::PlaceToolTip(600, 390, 80, 20, 640, 400, &locLeft, &locTop);
	EXPECT_EQ(560, locLeft);
	EXPECT_EQ(368, locTop);
	EXPECT_LE(locTop + 20, 390);
	// Exactly fitting stays; a box wider or higher than the window starts at 0.
	AutorunMenu::PlaceToolTip(560, 358, 80, 20, 640, 400, &locLeft, &locTop);
	EXPECT_EQ(560, locLeft);
	EXPECT_EQ(380, locTop);
	AutorunMenu::PlaceToolTip(30, 5, 700, 500, 640, 400, &locLeft, &locTop);
	EXPECT_EQ(0, locLeft);
	EXPECT_EQ(0, locTop);
}

TEST_F(MenuTest, ToolTipNearTheCornerStaysInsideTheWindow)
{
	AutorunMenu* locMenu = Make(ButtonJuice("corner", At(520, 370) + "myToolTip \"A tool tip of some length\"\n"));
	ASSERT_TRUE(locMenu != NULL);
	locMenu->OnMouseMove(630, 395);
	ourNow += 500;
	std::vector<std::string> locPainted = Painted(locMenu);
	int locDrawn = 0;
	for (const std::string& locLine : locPainted)
	{
		int locA = 0;
		int locB = 0;
		int locC = 0;
		if (std::sscanf(locLine.c_str(), "hline %d %d %d", &locA, &locB, &locC) == 3)
		{
			EXPECT_GE(locA, 0);
			EXPECT_LE(locB, 640);
			EXPECT_GE(locC, 0);
			EXPECT_LT(locC, 400);
			++locDrawn;
		}
	}
	EXPECT_GT(locDrawn, 10);
	// 25 characters: 175 + 8 wide, 18 high; above the pointer at the right edge.
	EXPECT_NE(locPainted.end(), std::find(locPainted.begin(), locPainted.end(), "print \"A tool tip of some length\" 461 379"));
}
