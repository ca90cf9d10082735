// The shell's folder choice and its boxes.
#include "AutorunDiagnosis.h"
#include "AutorunShell.h"
#include "autorun_test_support.h"
#include "kc_output.h"
#include "kf_sdf.h"
#include "sdf_test_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{
struct Box
{
	bool myWide;
	std::string myText;
	std::string myCaption;
	UINT myStyle;
	HWND myOwner;
};
std::vector<Box> ourBoxes;

std::string Narrow(const wchar_t* aText)
{
	std::string locText;
	for (; aText && *aText; ++aText)
		locText += static_cast<char>(*aText);
	return locText;
}

int WINAPI RecordNarrowBox(HWND anOwner, const char* aText, const char* aCaption, UINT aStyle)
{
	ourBoxes.push_back({false, aText, aCaption, aStyle, anOwner});
	return IDOK;
}

int WINAPI RecordWideBox(HWND anOwner, const wchar_t* aText, const wchar_t* aCaption, UINT aStyle)
{
	ourBoxes.push_back({true, Narrow(aText), Narrow(aCaption), aStyle, anOwner});
	return IDOK;
}

std::string CurrentFolder()
{
	char locFolder[MAX_PATH] = "";
	GetCurrentDirectoryA(MAX_PATH, locFolder);
	return locFolder;
}
}

TEST(AutorunShellBoxes, DefaultTextsWhenTheDefinitionGivesNone)
{
	ourBoxes.clear();
	AutorunShell::SetBoxFunctions(RecordNarrowBox, RecordWideBox);
	AutorunShell::ShowText(KC_LocString(), AutorunShell::ourDefaultLimitedAccessText);
	AutorunShell::ShowText(KC_LocString(u""), AutorunShell::ourDefaultInsertDiscText);
	AutorunShell::ShowText(KC_LocString(u"Bitte Administrator"), AutorunShell::ourDefaultLimitedAccessText);
	AutorunShell::SetBoxFunctions(NULL, NULL);

	ASSERT_EQ(3u, ourBoxes.size());
	EXPECT_FALSE(ourBoxes[0].myWide);
	EXPECT_EQ("Installing needs administrator rights. Please log on as an administrator and start the installation "
	          "again.",
	          ourBoxes[0].myText);
	EXPECT_EQ("Please insert the disc again.", ourBoxes[1].myText);
	EXPECT_TRUE(ourBoxes[2].myWide);
	EXPECT_EQ("Bitte Administrator", ourBoxes[2].myText);
	for (const Box& locBox : ourBoxes)
	{
		EXPECT_EQ("AUTORUN", locBox.myCaption);
		EXPECT_EQ(static_cast<UINT>(MB_TASKMODAL | MB_ICONINFORMATION), locBox.myStyle);
		EXPECT_EQ(GetDesktopWindow(), locBox.myOwner);
	}
}

TEST(AutorunShellFolder, FolderOfAPath)
{
	EXPECT_STREQ("C:\\disc", AutorunShell::FolderOf("C:\\disc\\autorun.exe"));
	EXPECT_STREQ("C:\\", AutorunShell::FolderOf("C:\\autorun.exe"));
	EXPECT_STREQ("a/b", AutorunShell::FolderOf("a/b/autorun.exe"));
	EXPECT_STREQ("", AutorunShell::FolderOf("autorun.exe"));
	EXPECT_STREQ("", AutorunShell::FolderOf(NULL));
	EXPECT_STREQ("C:\\disc\\autorun.sdf", AutorunShell::ArchiveBeside("C:\\disc\\autorun.exe"));
	EXPECT_STREQ("D:\\autorun.sdf", AutorunShell::ArchiveBeside("D:\\autorun.exe"));
	EXPECT_STREQ("autorun.sdf", AutorunShell::ArchiveBeside("autorun.exe"));
}

namespace
{
// An archive of one entry at aPath.
void WriteArchive(const std::string& aPath, const char* anEntry)
{
	TestEntry locEntry = {"", anEntry, "menu", 0, 1};
	std::string locArchive = TestArchive({locEntry});
	std::ofstream(aPath.c_str(), std::ios::binary).write(locArchive.data(), static_cast<std::streamsize>(locArchive.size()));
}
}

TEST(AutorunShellFolder, TheArchiveBesideTheProgramWinsOverOneThatServesNoMenu)
{
	MenuFolder locFolder;
	const std::string locDisc = locFolder.GetPath() + "\\disc";
	const std::string locElsewhere = locFolder.GetPath() + "\\elsewhere";
	ASSERT_TRUE(CreateDirectoryA(locDisc.c_str(), NULL));
	ASSERT_TRUE(CreateDirectoryA(locElsewhere.c_str(), NULL));
	WriteArchive(locDisc + "\\autorun.sdf", "autorun.ice");
	AutorunDiagnosis::Enable(true);
	const std::string locProgram = locDisc + "\\autorun.exe";

	// Started from another folder whose archive is missing, empty, damaged or
	// without a menu: the menu moves to its own folder, and says why.
	struct Case
	{
		const char* myContent;
		const char* myState;
	};
	const Case locCases[] = {{NULL, "is missing"},
	                         {"", "cannot be mounted (it is no archive, or a damaged one)"},
	                         {"not an archive at all\n", "cannot be mounted (it is no archive, or a damaged one)"},
	                         {"readme.txt", "holds no menu (no autorun.ice or autorun.juice in it or beside it)"}};
	for (const Case& locCase : locCases)
	{
		DeleteFileA((locElsewhere + "\\autorun.sdf").c_str());
		if (locCase.myContent && std::string(locCase.myContent) == "readme.txt")
			WriteArchive(locElsewhere + "\\autorun.sdf", "readme.txt");
		else if (locCase.myContent)
			WriteTextFile(locElsewhere + "\\autorun.sdf", locCase.myContent);
		AutorunDiagnosis::Clear();
		ASSERT_TRUE(SetCurrentDirectoryA(locElsewhere.c_str()));
		EXPECT_TRUE(AutorunShell::FindDiscFolder(locProgram.c_str()));
		EXPECT_EQ(locDisc, CurrentFolder()) << locCase.myState;
		EXPECT_EQ("'autorun.sdf' in the current folder " + locElsewhere + " " + locCase.myState +
		              "\n'autorun.sdf' beside the program in " + locDisc +
		              " holds a menu\nthe menu runs in the folder of the program " + locDisc + "\n",
		          std::string(AutorunDiagnosis::GetText()));
		// Nothing stays mounted from the look.
		EXPECT_EQ(NULL, KF_SDF::GetFirst());
	}

	// An archive with a menu in the current folder is used, and the one beside the program named.
	WriteArchive(locElsewhere + "\\autorun.sdf", "autorun.juice");
	AutorunDiagnosis::Clear();
	ASSERT_TRUE(SetCurrentDirectoryA(locElsewhere.c_str()));
	EXPECT_TRUE(AutorunShell::FindDiscFolder(locProgram.c_str()));
	EXPECT_EQ(locElsewhere, CurrentFolder());
	EXPECT_EQ("'autorun.sdf' in the current folder " + locElsewhere + " holds a menu\n'autorun.sdf' beside the program in " +
	              locDisc + " holds a menu\nthe menu runs in the current folder " + locElsewhere + "\n",
	          std::string(AutorunDiagnosis::GetText()));

	// In neither: the folder stays and the diagnosis names both.
	AutorunDiagnosis::Clear();
	ASSERT_TRUE(SetCurrentDirectoryA(locFolder.GetPath().c_str()));
	EXPECT_FALSE(AutorunShell::FindDiscFolder((locElsewhere + "\\x\\autorun.exe").c_str()));
	EXPECT_EQ(locFolder.GetPath(), CurrentFolder());
	EXPECT_EQ("'autorun.sdf' in the current folder " + locFolder.GetPath() + " is missing\n'autorun.sdf' beside the "
	              "program in " + locElsewhere + "\\x is missing\nthe menu runs in the current folder " +
	              locFolder.GetPath() + "\n",
	          std::string(AutorunDiagnosis::GetText()));
	// A folder named like the archive is not the archive.
	ASSERT_TRUE(CreateDirectoryA("autorun.sdf", NULL));
	EXPECT_FALSE(AutorunShell::FindDiscFolder("autorun.exe"));
	AutorunDiagnosis::Enable(false);
}

TEST(AutorunShellFolder, AFolderOutsideTheCodePageIsEnteredAndNamedInUtf8)
{
	MenuFolder locFolder;
	// "диск": no code page of the test machine spells it.
	const std::wstring locDisc = std::wstring(locFolder.GetPath().begin(), locFolder.GetPath().end()) +
	                             L"\\\x0434\x0438\x0441\x043a";
	ASSERT_TRUE(CreateDirectoryW(locDisc.c_str(), NULL) || GetLastError() == ERROR_ALREADY_EXISTS);
	ASSERT_TRUE(SetCurrentDirectoryW(locDisc.c_str()));
	WriteArchive("autorun.sdf", "autorun.ice");
	ASSERT_TRUE(SetCurrentDirectoryA(locFolder.GetPath().c_str()));
	AutorunDiagnosis::Enable(true);
	EXPECT_TRUE(AutorunShell::FindDiscFolder((locDisc + L"\\autorun.exe").c_str()));
	wchar_t locCurrent[MAX_PATH] = L"";
	GetCurrentDirectoryW(MAX_PATH, locCurrent);
	EXPECT_TRUE(locDisc == locCurrent);
	const std::string locUtf8 = locFolder.GetPath() + "\\\xD0\xB4\xD0\xB8\xD1\x81\xD0\xBA";
	EXPECT_NE(std::string::npos,
	          std::string(AutorunDiagnosis::GetText()).find("the menu runs in the folder of the program " + locUtf8))
		<< AutorunDiagnosis::GetText();
	EXPECT_EQ(std::string::npos, std::string(AutorunDiagnosis::GetText()).find('?'));
	AutorunDiagnosis::Enable(false);
	DeleteFileW((locDisc + L"\\autorun.sdf").c_str());
	SetCurrentDirectoryA(locFolder.GetPath().c_str());
	RemoveDirectoryW(locDisc.c_str());
}

TEST(AutorunDiagnosisReport, BoxHoldsTheDiagnosisAndTheFileEverything)
{
	MenuFolder locFolder;
	AutorunDiagnosis::Enable(true);
	AutorunDiagnosis::Add("the menu definition 'x.ice' does not load");
	{
		AutorunDiagnosis::ChannelCapture locCapture;
		KC_Error("Ice::Load(): no file");
		KC_Log("JuiceToIce: compiling x.juice");
	}
	AutorunDiagnosis::Add("button %d is disabled", 2);
	EXPECT_STREQ("the menu definition 'x.ice' does not load\nbutton 2 is disabled\n", AutorunDiagnosis::GetText());

	const std::string locPath = locFolder.GetPath() + "\\report.txt";
	ASSERT_TRUE(AutorunDiagnosis::WriteReport(locPath.c_str()));
	std::string locFile;
	char locBuffer[512];
	FILE* locRead = std::fopen(locPath.c_str(), "rb");
	ASSERT_TRUE(locRead != NULL);
	size_t locCount = std::fread(locBuffer, 1, sizeof(locBuffer), locRead);
	std::fclose(locRead);
	locFile.assign(locBuffer, locCount);
	EXPECT_NE(std::string::npos, locFile.find("autorun /diagnose\r\nthe menu definition 'x.ice' does not load\r\n"));
	EXPECT_NE(std::string::npos, locFile.find("  ERROR: Ice::Load(): no file\r\n")) << locFile;
	EXPECT_NE(std::string::npos, locFile.find("JuiceToIce: compiling x.juice\r\nbutton 2 is disabled\r\n")) << locFile;
	EXPECT_FALSE(AutorunDiagnosis::WriteReport((locFolder.GetPath() + "\\no\\such\\folder.txt").c_str()));

	// The box: the diagnosis alone, ending with the report file's path.
	ourBoxes.clear();
	AutorunShell::SetBoxFunctions(RecordNarrowBox, RecordWideBox);
	AutorunDiagnosis::Show();
	AutorunShell::SetBoxFunctions(NULL, NULL);
	ASSERT_EQ(1u, ourBoxes.size());
	const std::string locReportPath = static_cast<const char*>(AutorunDiagnosis::ReportPath());
	EXPECT_EQ("autorun /diagnose\nthe menu definition 'x.ice' does not load\nbutton 2 is disabled\n\n"
	          "The full report: " + locReportPath,
	          ourBoxes[0].myText);
	EXPECT_NE(std::string::npos, locReportPath.find("\\autorun-diagnose.txt"));
	EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(locReportPath.c_str()));
	DeleteFileA(locReportPath.c_str());
	AutorunDiagnosis::Enable(false);
	EXPECT_STREQ("", AutorunDiagnosis::GetFullText());
}

TEST(AutorunDiagnosisReport, BoxTextFitsTheRowsItIsGiven)
{
	EXPECT_STREQ("autorun /diagnose\none\ntwo\n(2 more lines in the report file)\n\nend",
	             AutorunDiagnosis::BoxText("one\ntwo\nthree\nfour\n", 2, 40, "end"));
	EXPECT_STREQ("autorun /diagnose\none\n\nend", AutorunDiagnosis::BoxText("one", 2, 40, "end"));
	EXPECT_STREQ("autorun /diagnose\n\nend", AutorunDiagnosis::BoxText("", 2, 40, "end"));
	EXPECT_STREQ("autorun /diagnose\none\n(1 more line in the report file)\n\nend",
	             AutorunDiagnosis::BoxText("one\ntwo\n", 1, 40, "end"));
}

TEST(AutorunDiagnosisReport, LongLinesAreWrappedAndOnlyWholeLinesLeftOut)
{
	// A line longer than a row is wrapped after a blank, its end kept.
	EXPECT_STREQ("autorun /diagnose\n"
	             "key HKEY_LOCAL_MACHINE\\SOFTWARE\\Kes \n"
	             "  trelsoft\\Game does not exist\n"
	             "xy\n\nend",
	             AutorunDiagnosis::BoxText("key HKEY_LOCAL_MACHINE\\SOFTWARE\\Kes trelsoft\\Game does not exist\nxy\n", 5,
	                                       36, "end"));
	// Without a blank in the second half of a row, inside the word.
	EXPECT_STREQ("autorun /diagnose\nabcdefghij\n  klmnopqr\n  st\n\nend",
	             AutorunDiagnosis::BoxText("abcdefghijklmnopqrst", 5, 10, "end"));
	// A line whose rows do not all fit goes whole, and so does every line after it.
	EXPECT_STREQ("autorun /diagnose\none\n(2 more lines in the report file)\n\nend",
	             AutorunDiagnosis::BoxText("one\nabcdefghijklmnopqrst\nxy\n", 3, 10, "end"));
	std::string locLong(5000, 'q');
	EXPECT_STREQ("autorun /diagnose\n(1 more line in the report file)\n\nend",
	             AutorunDiagnosis::BoxText(locLong.c_str(), 5, 200, "end"));
}

// The loop sleeps until the next disc check or the tool tip, whichever is
// first; a check that is late waits nothing, also across the clock's wrap.
TEST(AutorunShellLoop, WaitsForTheDiscCheckOrTheToolTip)
{
	EXPECT_EQ(70u, AutorunShell::ourDiscCheckPause);
	EXPECT_EQ(70u, AutorunShell::LoopWait(false, 1000, 1070, INFINITE));
	EXPECT_EQ(25u, AutorunShell::LoopWait(false, 1045, 1070, INFINITE));
	EXPECT_EQ(10u, AutorunShell::LoopWait(false, 1045, 1070, 10));
	EXPECT_EQ(0u, AutorunShell::LoopWait(false, 1045, 1070, 0));
	EXPECT_EQ(0u, AutorunShell::LoopWait(false, 1070, 1070, INFINITE));
	EXPECT_EQ(0u, AutorunShell::LoopWait(false, 1200, 1070, INFINITE));
	EXPECT_EQ(40u, AutorunShell::LoopWait(false, 0xFFFFFFF0u, 0x18u, INFINITE));
	EXPECT_EQ(0u, AutorunShell::LoopWait(false, 0x10u, 0xFFFFFFF0u, INFINITE));
	// Minimised: no check and no tool tip, at most one pause.
	EXPECT_EQ(70u, AutorunShell::LoopWait(true, 1000, 1010, 5));
}
