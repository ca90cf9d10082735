// The preview's view of the menu's files: what counts as a change, which
// changes need a conversion, and how messages and launches read in the strip.
#include "AutorunButton.h"
#include "AutorunPreview.h"
#include "ParseTool.h"
#include "autorun_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(PreviewFingerprint, ChangesWithInputsButNotWithTheConversionsFiles)
{
	MenuFolder locFolder;
	CreateDirectoryA("pictures", NULL);
	WriteTextFile("autorun.juice", "Gui myGui\n{\n}\n");
	WriteTextFile("pictures/background.bmp", "BM");
	std::string locFirst = AutorunPreview::Fingerprint(".");
	EXPECT_EQ(locFirst, AutorunPreview::Fingerprint("."));

	// The files that a conversion writes are no inputs.
	WriteTextFile("autorun.ice", "ice");
	WriteTextFile("autorun.hash", "hash");
	WriteTextFile("autorun.loc", "loc");
	WriteTextFile("autorun.juice.orig", "old text");
	EXPECT_EQ(locFirst, AutorunPreview::Fingerprint("."));

	// A picture in a subfolder changes it, but no text changed.
	WriteTextFile("pictures/background.bmp", "BM and more");
	std::string locPicture = AutorunPreview::Fingerprint(".");
	EXPECT_NE(locFirst, locPicture);
	EXPECT_EQ(AutorunPreview::TextLines(locFirst), AutorunPreview::TextLines(locPicture));

	// A new text beside it (a type file, a .lang file) changes the texts.
	WriteTextFile("autorun.lang", "0 \"Insert the disc\"\n");
	std::string locLang = AutorunPreview::Fingerprint(".");
	EXPECT_NE(AutorunPreview::TextLines(locPicture), AutorunPreview::TextLines(locLang));
	EXPECT_NE(std::string::npos, AutorunPreview::TextLines(locLang).find("autorun.lang"));
	EXPECT_EQ(std::string::npos, AutorunPreview::TextLines(locLang).find("background"));

	// A type file has a name of its own.
	WriteTextFile("autorun.fruit", "CLASS Gui\n{\n}\n");
	EXPECT_NE(AutorunPreview::TextLines(locLang), AutorunPreview::TextLines(AutorunPreview::Fingerprint(".")));
}

TEST(PreviewMessage, ParseErrorsNameTheFileAndItsPhysicalLine)
{
	MenuFolder locFolder;
	// The parser counts neither blank nor comment lines: its line 1 is line 4.
	WriteTextFile("autorun.juice", "// menu\n\nINCLUDE autorun.fruit\nGui myGui\n{\n");
	EXPECT_EQ(4u, ParseTool::PhysicalLine("autorun.juice", 1));
	EXPECT_EQ(0u, ParseTool::PhysicalLine("autorun.juice", 40));
	EXPECT_EQ(0u, ParseTool::PhysicalLine("missing.juice", 0));

	KC_String locMessages[] = {KC_String("JuiceToIce::Priv_ConvertJuiceFile(): the text does not compile"),
	                           KC_String("ERROR: (autorun.juice, line 1) Missing block end in 'myGui'"),
	                           KC_String("(autorun.juice, line 2) Failed to init new instance")};
	EXPECT_STREQ("autorun.juice:4: Missing block end in 'myGui'",
	             static_cast<const char*>(AutorunPreview::PickMessage(locMessages, 3)));
	// Without a line the first message is shown; none gives none.
	EXPECT_STREQ("JuiceToIce::Priv_ConvertJuiceFile(): the text does not compile",
	             static_cast<const char*>(AutorunPreview::PickMessage(locMessages, 1)));
	EXPECT_TRUE(AutorunPreview::PickMessage(locMessages, 0).IsEmpty());
	KC_String locBroken[] = {KC_String("(autorun.juice, line ) no number"), KC_String("(no line mark) text")};
	EXPECT_STREQ("(autorun.juice, line ) no number", static_cast<const char*>(AutorunPreview::PickMessage(locBroken, 2)));
}

TEST(PreviewLaunch, NamesKindVerbTargetAndFolder)
{
	EXPECT_STREQ("LAUNCH_EXECUTABLE: open \"setup\\setup.exe\" in \"setup\" (not started)",
	             static_cast<const char*>(
					 AutorunPreview::DescribeLaunch("LAUNCH_EXECUTABLE", "open", "setup\\setup.exe", "setup")));
	EXPECT_STREQ("SHELL_EXECUTE_EXPLORE: explore \"D:/docs\" in \"\" (not started)",
	             static_cast<const char*>(
					 AutorunPreview::DescribeLaunch("SHELL_EXECUTE_EXPLORE", "explore", "D:/docs", NULL)));
	// The kinds by their names in the definition.
	EXPECT_STREQ("LAUNCH_EXECUTABLE_AND_DIE",
	             AutorunButton::NameOfKind(AutorunButton::KindFromName("LAUNCH_EXECUTABLE_AND_DIE")));
	EXPECT_STREQ("SHELL_EXECUTE_PRINT", AutorunButton::NameOfKind(AutorunButton::KindFromName("SHELL_EXECUTE_PRINT")));
	EXPECT_STREQ("QUIT", AutorunButton::NameOfKind(AutorunButton::KIND_QUIT));
	EXPECT_EQ(AutorunButton::KIND_QUIT, AutorunButton::GetLaunchingKind());
}
}
