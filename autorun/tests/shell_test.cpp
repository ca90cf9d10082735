// The shell's folder choice and its boxes.
#include "AutorunDiagnosis.h"
#include "AutorunShell.h"
#include "autorun_test_support.h"

#include <gtest/gtest.h>

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
}

TEST(AutorunShellFolder, ChangesToTheProgramsFolderOnlyWhenTheArchiveIsThere)
{
	MenuFolder locFolder;
	const std::string locDisc = locFolder.GetPath() + "\\disc";
	ASSERT_TRUE(CreateDirectoryA(locDisc.c_str(), NULL));
	ASSERT_TRUE(CreateDirectoryA((locFolder.GetPath() + "\\elsewhere").c_str(), NULL));
	WriteTextFile("disc\\autorun.sdf", "archive\n");
	AutorunDiagnosis::Enable(true);

	// Started from another folder: the menu moves to its own.
	ASSERT_TRUE(SetCurrentDirectoryA((locFolder.GetPath() + "\\elsewhere").c_str()));
	EXPECT_TRUE(AutorunShell::FindDiscFolder((locDisc + "\\autorun.exe").c_str()));
	EXPECT_EQ(locDisc, CurrentFolder());
	EXPECT_NE(-1, AutorunDiagnosis::GetText().Find("the menu runs in its own folder"));

	// The archive in the current folder wins: no change.
	AutorunDiagnosis::Clear();
	WriteTextFile(locFolder.GetPath() + "\\elsewhere\\autorun.sdf", "other\n");
	ASSERT_TRUE(SetCurrentDirectoryA((locFolder.GetPath() + "\\elsewhere").c_str()));
	EXPECT_TRUE(AutorunShell::FindDiscFolder((locDisc + "\\autorun.exe").c_str()));
	EXPECT_EQ(locFolder.GetPath() + "\\elsewhere", CurrentFolder());
	EXPECT_STREQ("", AutorunDiagnosis::GetText());

	// In neither: the folder stays and the diagnosis names both.
	ASSERT_TRUE(SetCurrentDirectoryA(locFolder.GetPath().c_str()));
	EXPECT_FALSE(AutorunShell::FindDiscFolder((locFolder.GetPath() + "\\elsewhere\\x\\autorun.exe").c_str()));
	EXPECT_EQ(locFolder.GetPath(), CurrentFolder());
	std::string locReport = static_cast<const char*>(AutorunDiagnosis::GetText());
	EXPECT_NE(std::string::npos, locReport.find("'autorun.sdf' is neither in the current folder " + locFolder.GetPath() +
	                                            " nor in the folder of the program " + locFolder.GetPath() +
	                                            "\\elsewhere\\x"))
		<< locReport;
	// A folder named like the archive is not the archive.
	ASSERT_TRUE(CreateDirectoryA("autorun.sdf", NULL));
	EXPECT_FALSE(AutorunShell::FindDiscFolder("autorun.exe"));
	AutorunDiagnosis::Enable(false);
}
