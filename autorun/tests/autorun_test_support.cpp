#include "autorun_test_support.h"

#include "AutorunButton.h"
#include "Ice.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstdio>

std::vector<ShellRequest> ourShellRequests;
BOOL ourShellResult = TRUE;

namespace
{
std::string Text(const char* aText)
{
	return aText ? aText : "";
}

void RemoveFolder(const std::string& aPath)
{
	WIN32_FIND_DATAA locData;
	HANDLE locFind = FindFirstFileA((aPath + "\\*").c_str(), &locData);
	if (locFind != INVALID_HANDLE_VALUE)
	{
		do
		{
			std::string locName = locData.cFileName;
			if (locName == "." || locName == "..")
				continue;
			std::string locPath = aPath + "\\" + locName;
			if (locData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
				RemoveFolder(locPath);
			else
				DeleteFileA(locPath.c_str());
		} while (FindNextFileA(locFind, &locData));
		FindClose(locFind);
	}
	RemoveDirectoryA(aPath.c_str());
}

bool SetKeySecurity(HKEY aRoot, const std::string& aPath, const char* aDescriptor)
{
	PSECURITY_DESCRIPTOR locDescriptor = NULL;
	if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(aDescriptor, SDDL_REVISION_1, &locDescriptor, NULL))
		return false;
	HKEY locKey = NULL;
	bool locOk = RegOpenKeyExA(aRoot, aPath.c_str(), 0, WRITE_DAC, &locKey) == ERROR_SUCCESS;
	if (locOk)
	{
		locOk = RegSetKeySecurity(locKey, DACL_SECURITY_INFORMATION, locDescriptor) == ERROR_SUCCESS;
		RegCloseKey(locKey);
	}
	LocalFree(locDescriptor);
	return locOk;
}
}

MenuFolder::MenuFolder()
{
	char locFolder[MAX_PATH];
	GetCurrentDirectoryA(MAX_PATH, locFolder);
	myPreviousFolder = locFolder;
	char locTemp[MAX_PATH];
	GetTempPathA(MAX_PATH, locTemp);
	static int ourCount = 0;
	char locName[MAX_PATH + 64];
	std::snprintf(locName, sizeof(locName), "%sautorun_test_%lu_%d", locTemp, GetCurrentProcessId(), ++ourCount);
	myPath = locName;
	CreateDirectoryA(myPath.c_str(), NULL);
	// The type file is read while the source tree's drive is still the current one.
	CopyFileA(AUTORUN_SAMPLE_MENU "/autorun.fruit", (myPath + "\\autorun.fruit").c_str(), FALSE);
	SetCurrentDirectoryA(myPath.c_str());
}

MenuFolder::~MenuFolder()
{
	SetCurrentDirectoryA(myPreviousFolder.c_str());
	RemoveFolder(myPath);
}

void WriteTextFile(const std::string& aName, const std::string& aText)
{
	FILE* locFile = std::fopen(aName.c_str(), "wb");
	if (!locFile)
		return;
	for (char locCharacter : aText)
	{
		if (locCharacter == '\n')
			std::fputc('\r', locFile);
		std::fputc(locCharacter, locFile);
	}
	std::fclose(locFile);
}

TestKey::TestKey()
{
	char locName[64];
	static int ourCount = 0;
	std::snprintf(locName, sizeof(locName), "Software\\KestrelsoftTests\\run%lu_%d", GetCurrentProcessId(), ++ourCount);
	myPath = locName;
	HKEY locKey = NULL;
	if (RegCreateKeyExA(HKEY_CURRENT_USER, myPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &locKey, NULL) ==
	    ERROR_SUCCESS)
		RegCloseKey(locKey);
}

TestKey::~TestKey()
{
	DeleteKeyTree(HKEY_CURRENT_USER, myPath);
	RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KestrelsoftTests");
}

void DeleteKeyTree(HKEY aRoot, const std::string& aPath)
{
	MakeKeyWritable(aRoot, aPath);
	HKEY locKey = NULL;
	if (RegOpenKeyExA(aRoot, aPath.c_str(), 0, KEY_ALL_ACCESS, &locKey) == ERROR_SUCCESS)
	{
		char locName[256];
		DWORD locLength = sizeof(locName);
		std::vector<std::string> locChildren;
		for (DWORD locIndex = 0; RegEnumKeyExA(locKey, locIndex, locName, &locLength, NULL, NULL, NULL, NULL) ==
		                         ERROR_SUCCESS;
		     ++locIndex, locLength = sizeof(locName))
			locChildren.push_back(locName);
		RegCloseKey(locKey);
		for (const std::string& locChild : locChildren)
			DeleteKeyTree(aRoot, aPath + "\\" + locChild);
	}
	RegDeleteKeyA(aRoot, aPath.c_str());
}

bool MakeKeyReadOnly(HKEY aRoot, const std::string& aPath)
{
	return SetKeySecurity(aRoot, aPath, "D:P(A;;KR;;;WD)");
}

bool MakeKeyWritable(HKEY aRoot, const std::string& aPath)
{
	return SetKeySecurity(aRoot, aPath, "D:(A;;KA;;;WD)");
}

FakeBitmap::FakeBitmap(FakeFactory* aFactory, const std::string& aName, int aWidth, int aHeight)
	: DisplayBitmap(aFactory), myFake(aFactory), myName(aName), myWidth(aWidth), myHeight(aHeight)
{
}

bool FakeBitmap::Blit(int aDestX, int aDestY, int aWidth, int aHeight, int aSourceX, int aSourceY)
{
	char locLine[256];
	std::snprintf(locLine, sizeof(locLine), "blit %s %d %d %d %d %d %d", myName.c_str(), aDestX, aDestY, aWidth,
	              aHeight, aSourceX, aSourceY);
	myFake->myLog.push_back(locLine);
	return true;
}

bool FakeFont::PrintInRect(const KC_String& aText, const int* aRect, int anAlignment)
{
	char locLine[256];
	std::snprintf(locLine, sizeof(locLine), "text \"%s\" %d %d %d %d %d", static_cast<const char*>(aText), aRect[0],
	              aRect[1], aRect[2], aRect[3], anAlignment);
	myFake->myLog.push_back(locLine);
	return true;
}

bool FakeFont::Print(int anX, int aY, const KC_String& aText)
{
	myFake->myLog.push_back("print \"" + Text(aText) + "\" " + std::to_string(anX) + " " + std::to_string(aY));
	return true;
}

bool FakePrimitives::HLine(int anX1, int anX2, int aY, const unsigned char*)
{
	myFake->myLog.push_back("hline " + std::to_string(anX1) + " " + std::to_string(anX2) + " " + std::to_string(aY));
	return true;
}

bool FakePrimitives::VLine(int anX, int aY1, int aY2, const unsigned char*)
{
	myFake->myLog.push_back("vline " + std::to_string(anX) + " " + std::to_string(aY1) + " " + std::to_string(aY2));
	return true;
}

FakeFactory::FakeFactory() : myFontFails(false), myPresents(0)
{
	myPictures["normal.tga"] = std::make_pair(120, 30);
	myPictures["pressed.tga"] = std::make_pair(121, 31);
	myPictures["hover.tga"] = std::make_pair(122, 32);
	myPictures["disabled.tga"] = std::make_pair(123, 33);
}

DisplayBitmap* FakeFactory::LoadBitmapFile(const char* aFileName)
{
	myLog.push_back("load " + Text(aFileName));
	std::map<std::string, std::pair<int, int>>::const_iterator locPicture = myPictures.find(Text(aFileName));
	if (locPicture == myPictures.end())
		return NULL;
	return new FakeBitmap(this, locPicture->first, locPicture->second.first, locPicture->second.second);
}

DisplayFont* FakeFactory::MakeFont(const char* aFaceName, int aSize)
{
	myLog.push_back("font " + Text(aFaceName) + " " + std::to_string(aSize));
	return myFontFails ? NULL : new FakeFont(this);
}

std::string ButtonJuice(const std::string& aName, const std::string& anExtraLines, const std::string& aRequirements)
{
	std::string locText = "MenuButton " + aName +
	                      "\n{\n"
	                      "myPosition\n{\nmyX 10\nmyY 20\n}\n"
	                      "myButtonType SHELL_EXECUTE_OPEN\n"
	                      "myBitmap normal.tga\nmyPressedBitmap pressed.tga\nmyHoverBitmap hover.tga\n"
	                      "myDisabledBitmap disabled.tga\n"
	                      "myCaptionFont Arial\nmyFontSize 0\n"
	                      "myCaptionRect\n{\nmyLeft 1\nmyTop 2\nmyRight 3\nmyBot 4\n}\n"
	                      "myTargetFile docs/readme.txt\n"
	                      "myCaption \"Read me\"\n";
	return locText + "myRequirementsToBeEnabled\n{\n" + aRequirements + "}\n" + anExtraLines + "}\n";
}

Ice* LoadDefinition(const std::string& aTopLevelJuice)
{
	WriteTextFile("menu.juice", "INCLUDE autorun.fruit\n" + aTopLevelJuice);
	DeleteFileA("menu.ice");
	return Ice::Load("menu.ice", true);
}

Ice* LoadButtons(const std::string& aButtonsJuice)
{
	return LoadDefinition("Gui myGui\n{\nmyButtons\n{\n" + aButtonsJuice + "}\n}\n");
}

BOOL WINAPI RecordShellRequest(SHELLEXECUTEINFOA* anInfo)
{
	ShellRequest locRequest;
	locRequest.mySize = anInfo->cbSize;
	locRequest.myMask = anInfo->fMask;
	locRequest.myWindow = anInfo->hwnd;
	locRequest.myVerb = Text(anInfo->lpVerb);
	locRequest.myFile = Text(anInfo->lpFile);
	locRequest.myHasParameters = anInfo->lpParameters != NULL;
	locRequest.myDirectory = Text(anInfo->lpDirectory);
	locRequest.myHasDirectory = anInfo->lpDirectory != NULL;
	locRequest.myShow = anInfo->nShow;
	locRequest.myKind = AutorunButton::GetLaunchingKind();
	ourShellRequests.push_back(locRequest);
	return ourShellResult;
}
