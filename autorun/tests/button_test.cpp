// Buttons and their requirements, on definitions compiled from Juice text,
// with fake display objects and the real registry of Wine.
#include "AutorunButton.h"
#include "Ice.h"
#include "Registry.h"
#include "autorun_test_support.h"
#include "kd_colors.h"
#include "kf_sdf.h"
#include "sdf_test_builder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace
{
const char* const ourAccessTestKey = "SOFTWARE\\Kestrelsoft\\AccessTest";

class ButtonTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ourShellRequests.clear();
		ourShellResult = TRUE;
		myPreviousShell = AutorunButton::SetShellExecuteFunction(RecordShellRequest);
	}
	void TearDown() override
	{
		AutorunButton::SetShellExecuteFunction(myPreviousShell);
		for (AutorunButton* locButton : myButtons)
			delete locButton;
		delete myDefinition;
	}

	// Loads the definition and creates its buttons; false when any fails to load.
	bool Make(const std::string& aButtonsJuice)
	{
		myDefinition = LoadButtons(aButtonsJuice);
		if (!myDefinition)
			return false;
		Ice* locList = myDefinition->GetMember("myGui.myButtons");
		for (unsigned int locIndex = 0; locList && locIndex < locList->GetCount(true); ++locIndex)
		{
			AutorunButton* locButton = AutorunButton::Create(locList->GetMember(locIndex), &myFactory, &myRegistry, NULL);
			if (!locButton)
				return false;
			myButtons.push_back(locButton);
		}
		return true;
	}

	AutorunButton* Button(size_t anIndex) { return myButtons.at(anIndex); }

	std::string Requirement(const std::string& aClass, const std::string& aMembers)
	{
		return aClass + " r" + std::to_string(++myRequirementCount) + "\n{\n" + aMembers + "}\n";
	}

	MenuFolder myFolder;
	TestKey myKey;
	FakeFactory myFactory;
	Registry myRegistry;
	Ice* myDefinition = NULL;
	std::vector<AutorunButton*> myButtons;
	AutorunButton::ShellExecuteFunction myPreviousShell = NULL;
	int myRequirementCount = 0;
};
}

TEST(AutorunButtonRules, KindsByExactName)
{
	EXPECT_EQ(0, AutorunButton::KindFromName("LAUNCH_EXECUTABLE_AND_DIE"));
	EXPECT_EQ(1, AutorunButton::KindFromName("LAUNCH_EXECUTABLE"));
	EXPECT_EQ(2, AutorunButton::KindFromName("SHELL_EXECUTE_OPEN"));
	EXPECT_EQ(3, AutorunButton::KindFromName("SHELL_EXECUTE_PRINT"));
	EXPECT_EQ(4, AutorunButton::KindFromName("SHELL_EXECUTE_EXPLORE"));
	EXPECT_EQ(5, AutorunButton::KindFromName("launch_executable"));
	EXPECT_EQ(5, AutorunButton::KindFromName("LAUNCH_EXECUTABLE "));
	EXPECT_EQ(5, AutorunButton::KindFromName(""));
	EXPECT_STREQ("open", AutorunButton::VerbOfKind(0));
	EXPECT_STREQ("open", AutorunButton::VerbOfKind(2));
	EXPECT_STREQ("print", AutorunButton::VerbOfKind(3));
	EXPECT_STREQ("explore", AutorunButton::VerbOfKind(4));
}

TEST(AutorunButtonRules, WorkingDirectoryFromTheLastSeparator)
{
	EXPECT_STREQ("D:/setup", AutorunButton::WorkingDirectory("D:/setup/setup.exe"));
	EXPECT_STREQ("setup\\bin", AutorunButton::WorkingDirectory("setup\\bin\\go.exe"));
	// The last forward slash wins over a later backslash.
	EXPECT_STREQ("a", AutorunButton::WorkingDirectory("a/b\\c.exe"));
	EXPECT_STREQ("a\\b", AutorunButton::WorkingDirectory("a\\b/c.exe"));
	// A separator at position 0 does not count; without one there is no directory
	// (Windows refuses to start a process in a folder that is a file).
	EXPECT_STREQ("", AutorunButton::WorkingDirectory("/setup.exe"));
	EXPECT_STREQ("", AutorunButton::WorkingDirectory("setup.exe"));
	EXPECT_STREQ("", AutorunButton::WorkingDirectory(""));
}

TEST(AutorunButtonRules, NarrowTextKeepsLowBytesUpTo511)
{
	const char16_t locWide[] = {u'Z', 0x0141, u'x', 0};
	EXPECT_STREQ("ZAx", AutorunButton::NarrowText(locWide));
	std::u16string locLong(600, u'q');
	EXPECT_EQ(511, AutorunButton::NarrowText(locLong.c_str()).GetLength());
	EXPECT_STREQ("", AutorunButton::NarrowText(NULL));
}

TEST_F(ButtonTest, LoadsMembersInOrder)
{
	ASSERT_TRUE(Make(ButtonJuice("a", "myInstallLauncherFlag 1\nmyToolTip \"Open it\"\n")));
	AutorunButton* locButton = Button(0);
	std::vector<std::string> locExpected = {"load normal.tga", "load pressed.tga", "load hover.tga",
	                                        "load disabled.tga", "font Arial -1"};
	EXPECT_EQ(locExpected, myFactory.myLog);
	EXPECT_EQ(10, locButton->GetX());
	EXPECT_EQ(20, locButton->GetY());
	EXPECT_EQ(120, locButton->GetWidth());
	EXPECT_EQ(30, locButton->GetHeight());
	EXPECT_EQ(2, locButton->GetKind());
	EXPECT_TRUE(locButton->IsInstallLauncher());
	EXPECT_TRUE(locButton->IsEnabled());
	EXPECT_STREQ("Read me", locButton->GetCaption());
	EXPECT_STREQ("Open it", locButton->GetToolTip());
	EXPECT_STREQ("docs/readme.txt", locButton->GetTargetPath());

	myFactory.myLog.clear();
	locButton->Draw();
	std::vector<std::string> locDrawn = {"blit normal.tga 10 20 120 30 0 0", "text \"Read me\" 1 2 3 4 1"};
	EXPECT_EQ(locDrawn, myFactory.myLog);
}

TEST_F(ButtonTest, InstallFlagOnlyForOneAndFontSizeKept)
{
	ASSERT_TRUE(Make(ButtonJuice("a", "myInstallLauncherFlag 2\nmyFontSize 17\n")));
	EXPECT_FALSE(Button(0)->IsInstallLauncher());
	EXPECT_EQ("font Arial 17", myFactory.myLog.back());
}

TEST_F(ButtonTest, MissingPictureFontOrRequirementListFailsTheButton)
{
	const char* const locPictures[] = {"myBitmap", "myPressedBitmap", "myHoverBitmap", "myDisabledBitmap"};
	for (const char* locMember : locPictures)
	{
		SCOPED_TRACE(locMember);
		EXPECT_FALSE(Make(ButtonJuice("a", std::string(locMember) + " nowhere.tga\n")));
		delete myDefinition;
		myDefinition = NULL;
	}
	// A button type of its own without a requirement list.
	WriteTextFile("bare.fruit", "CLASS BareButton\n{\nFILE myBitmap normal.tga\nFILE myPressedBitmap pressed.tga\n"
	                            "FILE myHoverBitmap hover.tga\nFILE myDisabledBitmap disabled.tga\n}\n");
	myDefinition = LoadDefinition("INCLUDE bare.fruit\nBareButton bare\n{\n}\n");
	ASSERT_TRUE(myDefinition != NULL);
	EXPECT_TRUE(AutorunButton::Create(myDefinition->GetMember("bare"), &myFactory, &myRegistry, NULL) == NULL);
	delete myDefinition;
	myDefinition = NULL;
	myFactory.myFontFails = true;
	EXPECT_FALSE(Make(ButtonJuice("a", "")));
}

TEST_F(ButtonTest, CaptionColourOfTheLastButtonLoaded)
{
	ASSERT_TRUE(Make(ButtonJuice("a", "myFontColor\n{\nmyR 10\nmyG 20\nmyB 30\n}\n") +
	                 ButtonJuice("b", "myFontColor\n{\nmyR 200\nmyG 100\nmyB 256\n}\n")));
	EXPECT_EQ(200, ourFontColors.myRed);
	EXPECT_EQ(100, ourFontColors.myGreen);
	EXPECT_EQ(0, ourFontColors.myBlue);
}

TEST_F(ButtonTest, LooksFollowTheMouseAndReleaseLaunches)
{
	ASSERT_TRUE(Make(ButtonJuice("a", "")));
	AutorunButton* locButton = Button(0);
	EXPECT_TRUE(locButton->HitTest(10, 20));
	EXPECT_TRUE(locButton->HitTest(129, 49));
	EXPECT_FALSE(locButton->HitTest(130, 20));
	EXPECT_FALSE(locButton->HitTest(10, 50));
	EXPECT_FALSE(locButton->HitTest(9, 20));

	EXPECT_EQ(0, locButton->OnHover());
	EXPECT_EQ(AutorunButton::LOOK_HOVER, locButton->GetLook());
	EXPECT_EQ(0, locButton->OnPress());
	EXPECT_EQ(AutorunButton::LOOK_PRESSED, locButton->GetLook());
	myFactory.myLog.clear();
	locButton->Draw();
	EXPECT_EQ("blit pressed.tga 10 20 120 30 0 0", myFactory.myLog.at(0));
	// The pressed look lasts until the next movement over the button.
	locButton->OnHover();
	EXPECT_EQ(AutorunButton::LOOK_HOVER, locButton->GetLook());
	locButton->OnLeave();
	EXPECT_EQ(AutorunButton::LOOK_NORMAL, locButton->GetLook());

	EXPECT_EQ(0, locButton->OnRelease());
	EXPECT_EQ(AutorunButton::LOOK_HOVER, locButton->GetLook());
	ASSERT_EQ(1u, ourShellRequests.size());
	myFactory.myLog.clear();
	locButton->Draw();
	EXPECT_EQ("blit hover.tga 10 20 120 30 0 0", myFactory.myLog.at(0));
}

TEST_F(ButtonTest, DisabledButtonShowsItsPictureAndIgnoresTheMouse)
{
	ASSERT_TRUE(Make(ButtonJuice("a", "", Requirement("FileExistRequirement", "myFileToExist nothing.here\n"))));
	AutorunButton* locButton = Button(0);
	EXPECT_FALSE(locButton->IsEnabled());
	locButton->OnHover();
	locButton->OnPress();
	EXPECT_EQ(AutorunButton::LOOK_NORMAL, locButton->GetLook());
	EXPECT_EQ(0, locButton->OnRelease());
	EXPECT_TRUE(ourShellRequests.empty());
	myFactory.myLog.clear();
	locButton->Draw();
	std::vector<std::string> locDrawn = {"blit disabled.tga 10 20 120 30 0 0", "text \"Read me\" 1 2 3 4 1"};
	EXPECT_EQ(locDrawn, myFactory.myLog);
}

TEST_F(ButtonTest, LaunchRequestsPerKind)
{
	ASSERT_TRUE(Make(ButtonJuice("open", "myTargetFile \"D:/setup/setup.exe\"\n") +
	                 ButtonJuice("print", "myButtonType SHELL_EXECUTE_PRINT\nmyTargetFile docs\\a.txt\n") +
	                 ButtonJuice("explore", "myButtonType SHELL_EXECUTE_EXPLORE\nmyTargetFile a/b\\c\n") +
	                 ButtonJuice("stay", "myButtonType LAUNCH_EXECUTABLE\nmyTargetFile go.exe\n")));
	for (AutorunButton* locButton : myButtons)
		EXPECT_EQ(AutorunButton::ACTION_NONE, locButton->Launch());
	ASSERT_EQ(4u, ourShellRequests.size());
	const ShellRequest& locOpen = ourShellRequests[0];
	EXPECT_EQ(sizeof(SHELLEXECUTEINFOA), locOpen.mySize);
#if defined(_WIN32) && !defined(_WIN64)
	EXPECT_EQ(60u, locOpen.mySize);
#endif
	EXPECT_EQ(0u, locOpen.myMask);
	EXPECT_EQ(GetDesktopWindow(), locOpen.myWindow);
	EXPECT_EQ("open", locOpen.myVerb);
	EXPECT_EQ("D:/setup/setup.exe", locOpen.myFile);
	EXPECT_FALSE(locOpen.myHasParameters);
	EXPECT_EQ("D:/setup", locOpen.myDirectory);
	EXPECT_EQ(SW_SHOWNORMAL, locOpen.myShow);
	EXPECT_EQ("print", ourShellRequests[1].myVerb);
	EXPECT_EQ("docs", ourShellRequests[1].myDirectory);
	// The call knows the kind of the button that launches, and only during it.
	EXPECT_EQ(AutorunButton::KIND_SHELL_EXECUTE_PRINT, ourShellRequests[1].myKind);
	EXPECT_EQ(AutorunButton::KIND_LAUNCH_EXECUTABLE, ourShellRequests[3].myKind);
	EXPECT_EQ(AutorunButton::KIND_QUIT, AutorunButton::GetLaunchingKind());
	EXPECT_EQ("explore", ourShellRequests[2].myVerb);
	EXPECT_EQ("a", ourShellRequests[2].myDirectory);
	EXPECT_EQ("open", ourShellRequests[3].myVerb);
	EXPECT_TRUE(locOpen.myHasDirectory);
	EXPECT_FALSE(ourShellRequests[3].myHasDirectory);

	// A start that the shell refuses ends the menu.
	ourShellResult = FALSE;
	EXPECT_EQ(AutorunButton::ACTION_QUIT, Button(0)->Launch());
}

TEST_F(ButtonTest, TargetInTheCurrentFolderGetsNoDirectory)
{
	ASSERT_TRUE(Make(ButtonJuice("root", "myTargetFile setup.exe\n") + ButtonJuice("sub", "myTargetFile a/setup.exe\n") +
	                 ButtonJuice("back", "myTargetFile a\\b.exe\n")));
	for (AutorunButton* locButton : myButtons)
		EXPECT_EQ(AutorunButton::ACTION_NONE, locButton->OnRelease());
	ASSERT_EQ(3u, ourShellRequests.size());
	EXPECT_EQ("setup.exe", ourShellRequests[0].myFile);
	EXPECT_FALSE(ourShellRequests[0].myHasDirectory);
	EXPECT_EQ("a/setup.exe", ourShellRequests[1].myFile);
	EXPECT_TRUE(ourShellRequests[1].myHasDirectory);
	EXPECT_EQ("a", ourShellRequests[1].myDirectory);
	EXPECT_EQ("a\\b.exe", ourShellRequests[2].myFile);
	EXPECT_EQ("a", ourShellRequests[2].myDirectory);
}

TEST_F(ButtonTest, LaunchAndDieMinimisesAndQuits)
{
	HWND locWindow = CreateWindowExA(0, "STATIC", "menu", WS_POPUP, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
	ASSERT_TRUE(locWindow != NULL);
	myDefinition = LoadButtons(ButtonJuice("die", "myButtonType LAUNCH_EXECUTABLE_AND_DIE\n"));
	ASSERT_TRUE(myDefinition != NULL);
	std::unique_ptr<AutorunButton> locButton(
		AutorunButton::Create(myDefinition->GetMember("myGui.myButtons")->GetMember(0u), &myFactory, &myRegistry,
		                      locWindow));
	ASSERT_TRUE(locButton != NULL);
	EXPECT_EQ(AutorunButton::ACTION_QUIT, locButton->OnRelease());
	EXPECT_TRUE(IsIconic(locWindow));
	EXPECT_EQ(1u, ourShellRequests.size());
	DestroyWindow(locWindow);
}

TEST_F(ButtonTest, UnknownKindQuitsWithoutStarting)
{
	ASSERT_TRUE(Make(ButtonJuice("lower", "myButtonType launch_executable\n")));
	EXPECT_EQ(5, Button(0)->GetKind());
	EXPECT_EQ(AutorunButton::ACTION_QUIT, Button(0)->OnRelease());
	EXPECT_TRUE(ourShellRequests.empty());
}

TEST_F(ButtonTest, TargetReadFromTheRegistry)
{
	std::string locGame = myKey.GetPath() + "\\Game";
	std::string locSlashed = locGame;
	for (char& locCharacter : locSlashed)
		if (locCharacter == '\\')
			locCharacter = '/';
	Registry locWriter;
	locWriter.SetRootKey(HKEY_CURRENT_USER);
	ASSERT_TRUE(locWriter.SetPath(locGame.c_str(), true));
	ASSERT_TRUE(locWriter.SetString("Launcher", "C:\\Games\\Dune\\dune.exe"));

	std::string locRegistryLines = "myTargetType REGKEY\nmyTargetRegName Launcher\nmyTargetRegRootKey HKEY_CURRENT_USER\n";
	ASSERT_TRUE(Make(ButtonJuice("found", locRegistryLines + "myTargetRegKey " + locSlashed + "\n") +
	                 ButtonJuice("missing", locRegistryLines + "myTargetRegKey " + locSlashed + "/Nothing\n") +
	                 ButtonJuice("empty", locRegistryLines + "myTargetRegKey \"\"\n")));
	for (AutorunButton* locButton : myButtons)
		locButton->Launch();
	ASSERT_EQ(3u, ourShellRequests.size());
	EXPECT_EQ("C:\\Games\\Dune\\dune.exe", ourShellRequests[0].myFile);
	EXPECT_EQ("C:\\Games\\Dune", ourShellRequests[0].myDirectory);
	EXPECT_EQ("error", ourShellRequests[1].myFile);
	EXPECT_EQ("error", ourShellRequests[2].myFile);
}

TEST_F(ButtonTest, InstallerProbesWriteAccessFirst)
{
	ASSERT_TRUE(Make(ButtonJuice("install", "myInstallLauncherFlag 1\nmyButtonType LAUNCH_EXECUTABLE_AND_DIE\n")));
	EXPECT_EQ(AutorunButton::ACTION_QUIT, Button(0)->Launch());
	EXPECT_EQ(1u, ourShellRequests.size());
	EXPECT_FALSE(myRegistry.KeyExists(ourAccessTestKey, HKEY_LOCAL_MACHINE));

	// A probe key that cannot be opened with full access: nothing starts.
	HKEY locKey = NULL;
	ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, ourAccessTestKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
	                                         &locKey, NULL));
	RegCloseKey(locKey);
	ASSERT_TRUE(MakeKeyReadOnly(HKEY_LOCAL_MACHINE, ourAccessTestKey));
	EXPECT_EQ(AutorunButton::ACTION_QUIT_LIMITED_ACCESS, Button(0)->OnRelease());
	EXPECT_EQ(1u, ourShellRequests.size());
	DeleteKeyTree(HKEY_LOCAL_MACHINE, ourAccessTestKey);
}

TEST_F(ButtonTest, EmptyOrUnknownRequirementsHold)
{
	ASSERT_TRUE(Make(ButtonJuice("a", "")));
	EXPECT_TRUE(Button(0)->IsEnabled());
	EXPECT_STREQ("", Button(0)->GetDisabledReason());

	// A class not in the table is ignored; the next element still counts.
	WriteTextFile("extra.fruit", "SCRIPTCLASS AnyList\n{\nPosition\nFileExistRequirement\n}\n");
	delete myDefinition;
	myDefinition = LoadDefinition("INCLUDE extra.fruit\nAnyList list\n{\nPosition p\n{\nmyX 1\n}\n"
	                              "FileExistRequirement f\n{\nmyFileToExist absent.txt\n}\n}\n");
	ASSERT_TRUE(myDefinition != NULL);
	Ice* locList = myDefinition->GetMember("list");
	ASSERT_EQ(2u, locList->GetCount(true));
	KC_String locFailure;
	EXPECT_FALSE(AutorunButton::RequirementsHold(locList, myRegistry, &locFailure));
	EXPECT_STREQ("FileExistRequirement: file 'absent.txt' does not exist", locFailure);
	WriteTextFile("absent.txt", "now here\n");
	EXPECT_TRUE(AutorunButton::RequirementsHold(locList, myRegistry, NULL));
}

TEST_F(ButtonTest, FilesOnDiskAndInTheMountedArchive)
{
	WriteTextFile("present.txt", "x\n");
	TestEntry locEntry = {"data", "inside.txt", "packed", 0, 1};
	std::string locArchive = TestArchive({locEntry});
	std::ofstream("disc.sdf", std::ios::binary).write(locArchive.data(), static_cast<std::streamsize>(locArchive.size()));
	ASSERT_TRUE(KF_SDF::Mount("disc.sdf", false) != NULL);

	ASSERT_TRUE(Make(ButtonJuice("disk", "", Requirement("FileExistRequirement", "myFileToExist present.txt\n")) +
	                 ButtonJuice("archive", "", Requirement("FileExistRequirement", "myFileToExist data/inside.txt\n")) +
	                 ButtonJuice("notThere", "", Requirement("FileNotExistRequirement", "myFileToNotExist absent.txt\n")) +
	                 ButtonJuice("there", "", Requirement("FileNotExistRequirement", "myFileToNotExist data/inside.txt\n"))));
	KF_SDF::Unmount("disc.sdf");
	EXPECT_TRUE(Button(0)->IsEnabled());
	EXPECT_TRUE(Button(1)->IsEnabled());
	EXPECT_TRUE(Button(2)->IsEnabled());
	EXPECT_FALSE(Button(3)->IsEnabled());
	EXPECT_STREQ("FileNotExistRequirement: file 'data/inside.txt' exists", Button(3)->GetDisabledReason());
}

TEST_F(ButtonTest, KeysUnderTheNamedRootWithSlashes)
{
	std::string locGame = myKey.GetPath() + "/Game";
	HKEY locKey = NULL;
	ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, (myKey.GetPath() + "\\Game").c_str(), 0, NULL, 0,
	                                         KEY_ALL_ACCESS, NULL, &locKey, NULL));
	RegCloseKey(locKey);
	auto locExists = [&](const std::string& aRoot, const std::string& aPath) {
		return Requirement("RegKeyExistRequirement", "myRegKeyToExist " + aPath + "\nmyRootKey " + aRoot + "\n");
	};
	ASSERT_TRUE(Make(ButtonJuice("user", "", locExists("HKEY_CURRENT_USER", locGame)) +
	                 // Lower case and abbreviations select HKEY_CURRENT_USER, where the key is.
	                 ButtonJuice("lower", "", locExists("hkey_local_machine", locGame)) +
	                 ButtonJuice("short", "", locExists("HKLM", locGame)) +
	                 ButtonJuice("machine", "", locExists("HKEY_LOCAL_MACHINE", locGame)) +
	                 ButtonJuice("absent", "",
	                             Requirement("RegKeyNotExistRequirement",
	                                         "myRegKeyToNotExist " + locGame + "\nmyRootKey HKEY_CURRENT_USER\n"))));
	EXPECT_TRUE(Button(0)->IsEnabled());
	EXPECT_TRUE(Button(1)->IsEnabled());
	EXPECT_TRUE(Button(2)->IsEnabled());
	EXPECT_FALSE(Button(3)->IsEnabled());
	EXPECT_EQ("RegKeyExistRequirement: key HKEY_LOCAL_MACHINE\\" + myKey.GetPath() + "\\Game does not exist",
	          std::string(Button(3)->GetDisabledReason()));
	EXPECT_FALSE(Button(4)->IsEnabled());
}

TEST_F(ButtonTest, ReadOnlyKeyCountsAsPresent)
{
	std::string locGame = myKey.GetPath() + "\\Game";
	Registry locWriter;
	locWriter.SetRootKey(HKEY_CURRENT_USER);
	ASSERT_TRUE(locWriter.CreateKey(locGame.c_str()));
	ASSERT_TRUE(locWriter.SetString("Version", "1.2"));
	ASSERT_TRUE(MakeKeyReadOnly(HKEY_CURRENT_USER, locGame));
	std::string locRoot = "myRootKey HKEY_CURRENT_USER\n";
	ASSERT_TRUE(Make(ButtonJuice("play", "", Requirement("RegKeyExistRequirement", "myRegKeyToExist " + locGame + "\n" + locRoot)) +
	                 ButtonJuice("install", "", Requirement("RegKeyNotExistRequirement", "myRegKeyToNotExist " + locGame + "\n" + locRoot)) +
	                 ButtonJuice("patch", "", Requirement("RegKeyIsValueRequirement", "myRegPath " + locGame + "\n" + locRoot +
	                                                                              "myRegKey Version\nmyRegKeyValue 1.2\n"))));
	EXPECT_TRUE(Button(0)->IsEnabled());
	EXPECT_FALSE(Button(1)->IsEnabled());
	EXPECT_TRUE(Button(2)->IsEnabled());
}

TEST_F(ButtonTest, ValueRequirementsWithTheirDefaults)
{
	std::string locGame = myKey.GetPath() + "\\Game";
	Registry locWriter;
	locWriter.SetRootKey(HKEY_CURRENT_USER);
	ASSERT_TRUE(locWriter.SetPath(locGame.c_str(), true));
	ASSERT_TRUE(locWriter.SetInt("Build", 7));
	ASSERT_TRUE(locWriter.SetString("Name", "Dune"));
	DWORD locNumber = 3;
	HKEY locKey = NULL;
	ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, locGame.c_str(), 0, KEY_WRITE, &locKey));
	RegSetValueExA(locKey, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&locNumber), sizeof(locNumber));
	RegCloseKey(locKey);

	auto locValue = [&](const std::string& aPath, const std::string& aName, const std::string& aType,
	                    const std::string& aValue) {
		return Requirement("RegKeyIsValueRequirement", "myRegPath " + aPath + "\nmyRootKey HKEY_CURRENT_USER\nmyRegKey " +
		                                                   aName + "\nmyRegKeyType " + aType + "\nmyRegKeyValue " +
		                                                   aValue + "\n");
	};
	struct Case
	{
		std::string myRequirement;
		bool myHolds;
	};
	std::vector<Case> locCases = {
		{locValue(locGame, "Build", "INTEGER", "7"), true},
		{locValue(locGame, "Build", "INTEGER", "8"), false},
		{locValue(locGame, "Missing", "INTEGER", "-1"), true},
		{locValue(locGame + "\\Nothing", "Build", "INTEGER", "-1"), true},
		{locValue(locGame, "Name", "STRING", "Dune"), true},
		{locValue(locGame, "Name", "STRING", "dune"), false},
		{locValue(locGame, "Name", "integer", "Dune"), true},
		{locValue(locGame, "Missing", "STRING", "\"\""), true},
		{locValue(locGame, "Count", "STRING", "\"\""), true},
		{locValue(locGame, "Count", "INTEGER", "3"), true},
		// No key path: the registry side reads as the default.
		{locValue("\"\"", "Build", "INTEGER", "-1"), true},
		{locValue("\"\"", "Name", "STRING", "\"\""), true},
	};
	std::string locButtons;
	for (size_t locIndex = 0; locIndex < locCases.size(); ++locIndex)
		locButtons += ButtonJuice("b" + std::to_string(locIndex), "", locCases[locIndex].myRequirement);
	ASSERT_TRUE(Make(locButtons));
	for (size_t locIndex = 0; locIndex < locCases.size(); ++locIndex)
		EXPECT_EQ(locCases[locIndex].myHolds, Button(locIndex)->IsEnabled()) << locCases[locIndex].myRequirement;
	EXPECT_STREQ(("RegKeyIsValueRequirement: value 'Build' of HKEY_CURRENT_USER\\" + locGame + " is 7, not 8").c_str(),
	             Button(1)->GetDisabledReason());
}

TEST_F(ButtonTest, EvaluationStopsAtTheFirstFailure)
{
	WriteTextFile("present.txt", "x\n");
	ASSERT_TRUE(Make(ButtonJuice("a", "",
	                             Requirement("FileExistRequirement", "myFileToExist present.txt\n") +
	                                 Requirement("FileNotExistRequirement", "myFileToNotExist present.txt\n") +
	                                 Requirement("FileExistRequirement", "myFileToExist absent.txt\n"))));
	EXPECT_FALSE(Button(0)->IsEnabled());
	EXPECT_STREQ("FileNotExistRequirement: file 'present.txt' exists", Button(0)->GetDisabledReason());
}
