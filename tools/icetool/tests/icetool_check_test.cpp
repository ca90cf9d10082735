#include "icetool_lib.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace
{
const char* const kTypes =
	"TYPE Kind\r\n{\r\n\tOPEN\r\n\tEXPLORE\r\n}\r\n"
	"CLASS Requirement\r\n{\r\n}\r\n"
	"SCRIPTCLASS Requirements\r\n{\r\n\tRequirement\r\n}\r\n"
	"CLASS Button\r\n{\r\n\tFILE myBitmap\r\n\tFILE myPressedBitmap\r\n\tFILE myHoverBitmap\r\n"
	"\tFILE myDisabledBitmap\r\n\tKind myKind\r\n\tLOCTEXT myCaption\r\n\tRequirements myRequirementsToBeEnabled\r\n}\r\n"
	"SCRIPTCLASS Buttons\r\n{\r\n\tButton\r\n}\r\n"
	"CLASS Gui\r\n{\r\n\tFILE myBackgroundBitmap\r\n\tButtons myButtons\r\n}\r\n";

// A menu of one button; its caption comes from the language file.
const char* const kMenu =
	"INCLUDE types.fruit\r\n"
	"\r\n"
	"// the sample menu\r\n"
	"Gui myGui\r\n"
	"{\r\n"
	"\tmyBackgroundBitmap pictures/back.tga\r\n"
	"\tmyButtons\r\n"
	"\t{\r\n"
	"\t\tButton first\r\n"
	"\t\t{\r\n"
	"\t\t\tmyBitmap pictures/b.tga\r\n"
	"\t\t\tmyPressedBitmap pictures/b.tga\r\n"
	"\t\t\tmyHoverBitmap pictures/b.tga\r\n"
	"\t\t\tmyDisabledBitmap pictures/b.bmp\r\n"
	"\t\t\tmyKind OPEN\r\n"
	"\t\t\tmyCaption 0\r\n"
	"\t\t\tmyRequirementsToBeEnabled\r\n"
	"\t\t\t{\r\n"
	"\t\t\t}\r\n"
	"\t\t}\r\n"
	"\t}\r\n"
	"}\r\n";

// A 2 by 1 picture of 24 bits in each format.
std::string Tga()
{
	std::string locFile(18, '\0');
	locFile[2] = 2;
	locFile[12] = 2;
	locFile[14] = 1;
	locFile[16] = 24;
	return locFile + std::string(6, '\x7f');
}

std::string Bmp()
{
	const unsigned char locHeader[54] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0,
	                                     1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0};
	return std::string(reinterpret_cast<const char*>(locHeader), sizeof(locHeader)) + std::string(8, '\x7f');
}

// Every file below a folder with its content.
std::map<std::string, std::string> Contents(const fs::path& aFolder)
{
	std::map<std::string, std::string> locFiles;
	for (const fs::directory_entry& locEntry : fs::recursive_directory_iterator(aFolder))
	{
		if (locEntry.is_regular_file())
			locFiles[locEntry.path().generic_string()] = ReadWholeFile(locEntry.path().string());
	}
	return locFiles;
}

// The disc folder disc/ inside a fresh folder, as an author keeps it.
class IceToolCheck : public ::testing::Test
{
protected:
	void SetUp() override
	{
		myPrevious = fs::current_path();
		fs::current_path(myFolder.Path(""));
		fs::create_directories("disc/pictures");
		WriteWholeFile("disc/types.fruit", kTypes);
		WriteWholeFile("disc/menu.juice", kMenu);
		WriteWholeFile("disc/menu.lang", "Install\r\n");
		WriteWholeFile("disc/pictures/back.tga", Tga());
		WriteWholeFile("disc/pictures/b.tga", Tga());
		WriteWholeFile("disc/pictures/b.bmp", Bmp());
	}
	void TearDown() override
	{
		std::error_code locError;
		fs::current_path(myPrevious, locError);
	}

	// The report of a check of disc/menu.juice; aCount receives the number of problems.
	std::string Check(int& aCount)
	{
		std::FILE* locReport = std::fopen("report.txt", "wb");
		aCount = ICE_Check("disc/menu.juice", locReport);
		std::fclose(locReport);
		return ReadWholeFile("report.txt");
	}

	// kMenu with one text replaced.
	static void EditMenu(const std::string& aFrom, const std::string& aTo)
	{
		std::string locText = ReadWholeFile("disc/menu.juice");
		size_t locAt = locText.find(aFrom);
		ASSERT_NE(std::string::npos, locAt) << aFrom;
		WriteWholeFile("disc/menu.juice", locText.replace(locAt, aFrom.size(), aTo));
	}

	fs::path myPrevious;
	ScratchFolder myFolder;
};
}

TEST_F(IceToolCheck, AGoodMenuPassesAndNothingIsWritten)
{
	const std::map<std::string, std::string> locBefore = Contents("disc");
	const fs::path locHere = fs::current_path();
	int locCount = -1;
	std::string locReport = Check(locCount);
	EXPECT_EQ(0, locCount) << locReport;
	// Only a note: a conversion would re-save the text with its caption inline.
	EXPECT_EQ("disc/menu.juice: note: takes 1 text from 'disc/menu.lang': a conversion re-saves it with the texts "
	          "inline, keeps this text as 'disc/menu.juice.orig' and 'disc/menu.lang' as 'disc/menu.lang.orig'\n",
	          locReport);
	EXPECT_TRUE(locBefore == Contents("disc"));
	EXPECT_EQ(locHere, fs::current_path());

	// Names taken by earlier re-saves are not used again.
	WriteWholeFile("disc/menu.juice.orig", kMenu);
	EXPECT_EQ("disc/menu.juice: note: takes 1 text from 'disc/menu.lang': a conversion re-saves it with the texts "
	          "inline, keeps this text as 'disc/menu.juice.orig2' and 'disc/menu.lang' as 'disc/menu.lang.orig'\n",
	          Check(locCount));
	EXPECT_EQ(0, locCount);

	// With the caption inline nothing is re-saved, and nothing is said.
	EditMenu("myCaption 0", "myCaption Install");
	EXPECT_EQ("", Check(locCount));
	EXPECT_EQ(0, locCount);
}

TEST_F(IceToolCheck, NumbersThatFindNoTextAreWarnedAboutOnTheirLine)
{
	// Line 16 holds the caption: an index beyond the two entries.
	WriteWholeFile("disc/menu.lang", "Install\r\n// a comment takes no number\r\nPlay\r\n");
	EditMenu("myCaption 0", "myCaption 2");
	int locCount = -1;
	EXPECT_EQ("disc/menu.juice:16: warning: the LOCTEXT value 2 is no index into 'disc/menu.lang', whose entries are 0 "
	          "to 1: the digits are the text\n",
	          Check(locCount));
	EXPECT_EQ(0, locCount);

	// Without the language file; a text that only begins with a digit is a text.
	fs::remove("disc/menu.lang");
	EXPECT_EQ("disc/menu.juice:16: warning: the LOCTEXT value 2 finds no 'disc/menu.lang' to be an index into: the "
	          "digits are the text\n",
	          Check(locCount));
	EXPECT_EQ(0, locCount);
	EditMenu("myCaption 2", "myCaption \"2 players\"");
	EXPECT_EQ("", Check(locCount));

	// An empty language file has no entries.
	WriteWholeFile("disc/menu.lang", "// nothing yet\r\n");
	EditMenu("myCaption \"2 players\"", "myCaption 0");
	EXPECT_EQ("disc/menu.juice:16: warning: the LOCTEXT value 0 is no index into 'disc/menu.lang', which has no "
	          "entries: the digits are the text\n",
	          Check(locCount));
	EXPECT_EQ(0, locCount);
}

TEST_F(IceToolCheck, CompileErrorsNameTheFileAndItsLine)
{
	struct Case
	{
		const char* myFrom;
		const char* myTo;
		const char* myReport;
	};
	const Case locCases[] = {
		// A scalar member without its value, on line 15: the block start it
		// then needs is missing from line 16.
		{"\t\t\tmyKind OPEN\r\n", "\t\t\tmyKind\r\n",
		 "disc/menu.juice:16: Missing block start in instantiation of 'myKind' of class type 'Kind'\n"},
		// The type model's own message takes the line of the parse error after it.
		{"myKind OPEN", "myKind SHUT",
		 "disc/menu.juice:15: JuiceEnum::Assign(): Invalid value 'SHUT'\n"
		 "disc/menu.juice:15: Invalid value 'SHUT' for instance 'myKind' of type 'Kind'\n"},
		// Cut off inside four blocks: the innermost one, opened on line 18, is named.
		{"\t\t\t}\r\n\t\t}\r\n\t}\r\n}\r\n", "",
		 "disc/menu.juice:18: Missing block end in instantiation of 'myRequirementsToBeEnabled' of class type "
		 "'Requirements': the file ends inside its block\n"},
		// An error in the type file is reported there, and where it is included.
		{"INCLUDE types.fruit", "INCLUDE broken.fruit",
		 "disc/broken.fruit:5: Undefined type 'Colour' for member 'myColour' in declaration of class type 'Thing'\n"
		 "disc/broken.fruit:5: Syntax error 'Thing'\n"
		 "disc/menu.juice:1: Failed to compile 'broken.fruit'\n"},
	};
	WriteWholeFile("disc/broken.fruit", "// a type of its own\r\n\r\nCLASS Thing\r\n{\r\n\tColour myColour\r\n}\r\n");
	for (const Case& locCase : locCases)
	{
		WriteWholeFile("disc/menu.juice", kMenu);
		EditMenu(locCase.myFrom, locCase.myTo);
		const std::map<std::string, std::string> locBefore = Contents("disc");
		int locCount = 0;
		std::string locReport = Check(locCount);
		// Each compilation also ends with the failed top-level instance or include.
		EXPECT_EQ(0u, locReport.find(locCase.myReport)) << locReport;
		EXPECT_LE(1, locCount);
		EXPECT_EQ(static_cast<size_t>(locCount), static_cast<size_t>(std::count(locReport.begin(), locReport.end(), '\n')));
		EXPECT_TRUE(locBefore == Contents("disc")) << locCase.myTo;
	}
}

TEST_F(IceToolCheck, ALanguageFileWithLineFeedsAloneIsAnErrorOnItsLine)
{
	WriteWholeFile("disc/menu.lang", "Install\r\nPlay\nQuit\r\n");
	int locCount = 0;
	EXPECT_EQ("disc/menu.lang:2: ParseTool::Open(): 'menu.lang' line 2 ends in a line feed without a carriage "
	          "return: Juice text, type and .lang files need CR LF line ends\n",
	          Check(locCount));
	EXPECT_EQ(1, locCount);
}

TEST_F(IceToolCheck, MessagesNameTheCauseAnAuthorCanMend)
{
	int locCount = 0;
	// Saved by Notepad as "Unicode".
	std::string locUnicode = "\xFF\xFE";
	for (char locChar : std::string(kMenu))
		locUnicode += std::string(1, locChar) + '\0';
	WriteWholeFile("disc/menu.juice", locUnicode);
	EXPECT_EQ("disc/menu.juice: ParseTool::Open(): 'menu.juice' is UTF-16 text (what Notepad saves as \"Unicode\"): "
	          "Juice text, type and .lang files must be saved as ANSI or UTF-8\n",
	          Check(locCount));
	EXPECT_EQ(1, locCount);

	// Lines that end in CR alone.
	std::string locReturns = kMenu;
	locReturns.erase(std::remove(locReturns.begin(), locReturns.end(), '\n'), locReturns.end());
	WriteWholeFile("disc/menu.juice", locReturns);
	EXPECT_EQ("disc/menu.juice:1: ParseTool::Open(): 'menu.juice' line 1 ends in a carriage return without a line "
	          "feed (line ends of CR alone): Juice text, type and .lang files need CR LF line ends\n",
	          Check(locCount));

	// A reference that names no instance is reported on its own line before
	// the summary at the end of the file.
	WriteWholeFile("disc/types.fruit", std::string(kTypes) + "CLASS Menu\r\n{\r\n\tGui* myTarget\r\n}\r\n");
	WriteWholeFile("disc/menu.juice", std::string(kMenu) + "Menu m\r\n{\r\n\tmyTarget myGuy\r\n}\r\n// end\r\n");
	EXPECT_EQ("disc/menu.juice:25: Failed to find instance for name 'myGuy'\n"
	          "disc/menu.juice:25: Reference 'myGuy' of member 'myTarget' names no instance\n"
	          "disc/menu.juice:26: Failed to resolve references\n",
	          Check(locCount));
	EXPECT_EQ(3, locCount);
}

TEST_F(IceToolCheck, ADefinitionOfAnotherNameIsCheckedWithANote)
{
	EXPECT_EQ("disc/menu.juice: note: the menu loads only a definition named 'autorun.juice' (compiled to "
	          "'autorun.ice'); 'menu.juice' is checked as if it had that name\n",
	          ICE_DefinitionNameNote("disc/menu.juice"));
	EXPECT_EQ("", ICE_DefinitionNameNote("disc/AutoRun.Juice"));
	EXPECT_EQ("", ICE_DefinitionNameNote("autorun.juice"));
}

TEST_F(IceToolCheck, MembersTheMenuCannotStartWithoutAreReported)
{
	// A BMP is read from disk only, a TGA must be one the display layer takes.
	fs::remove("disc/pictures/b.bmp");
	WriteWholeFile("disc/pictures/back.tga", Tga().substr(0, 20));
	int locCount = 0;
	std::string locReport = Check(locCount);
	const std::string locExpected =
		"disc/menu.juice: button 0 of myGui.myButtons: bitmap 'pictures/b.bmp' (myDisabledBitmap) does not load\n"
		"disc/menu.juice: the background bitmap 'pictures/back.tga' does not load\n";
	EXPECT_NE(std::string::npos, locReport.find(locExpected)) << locReport;
	EXPECT_EQ(2, locCount);

	// Without the top-level instance myGui there is no menu.
	EditMenu("Gui myGui\r\n", "Gui theGui\r\n");
	locReport = Check(locCount);
	EXPECT_NE(std::string::npos, locReport.find("disc/menu.juice: missing member 'myGui.myButtons'\n"
	                                            "disc/menu.juice: missing member 'myGui.myBackgroundBitmap'\n"))
		<< locReport;
	EXPECT_EQ(2, locCount);
}

TEST_F(IceToolCheck, NamesTheTypesDoNotDeclareAreWarnedAboutButLoad)
{
	EditMenu("\t\t\tmyCaption 0\r\n", "\t\t\tmyCaptoin 0\r\n");
	EditMenu("Gui myGui\r\n", "Sound mySound\r\n{\r\n}\r\nGui myGui\r\n");
	int locCount = -1;
	std::string locReport = Check(locCount);
	EXPECT_EQ(0, locCount) << locReport;
	EXPECT_EQ(0u, locReport.find("disc/menu.juice: warning: instance 'mySound' of unknown type 'Sound' is ignored: the "
	                             "type files do not declare it\n"
	                             "disc/menu.juice: warning: member 'myCaptoin' of type 'Button' is ignored: the type "
	                             "files do not declare it\n"))
		<< locReport;
}
