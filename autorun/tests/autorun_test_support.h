#ifndef AUTORUN_TEST_SUPPORT_H
#define AUTORUN_TEST_SUPPORT_H

// Shared by the autorun tests: a scratch folder, a registry key of the test's
// own, fake display objects that record what the buttons ask of them, and
// menu definitions compiled from Juice text with the sample disc's types.

#include "DisplayBitmap.h"
#include "DisplayFactory.h"
#include "DisplayFont.h"
#include "DisplayPrimitives.h"

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <string>
#include <vector>

class Ice;

// A fresh folder under the system's temporary folder, made the current folder
// (the sample disc's type file copied into it); removed with its files.
class MenuFolder
{
public:
	MenuFolder();
	~MenuFolder();
	const std::string& GetPath() const { return myPath; }

private:
	std::string myPath;
	std::string myPreviousFolder;
};

// Writes aText with every "\n" as CR LF.
void WriteTextFile(const std::string& aName, const std::string& aText);

// A key under HKEY_CURRENT_USER\Software that exists only during one test.
class TestKey
{
public:
	TestKey();
	~TestKey();
	// The path relative to HKEY_CURRENT_USER, with backslashes.
	const std::string& GetPath() const { return myPath; }

private:
	std::string myPath;
};

// Removes a key and all its sub-keys.
void DeleteKeyTree(HKEY aRoot, const std::string& aPath);
// Restricts a key to reading: opening it with full access is then refused.
bool MakeKeyReadOnly(HKEY aRoot, const std::string& aPath);
bool MakeKeyWritable(HKEY aRoot, const std::string& aPath);

class FakeFactory;

class FakeBitmap : public DisplayBitmap
{
public:
	FakeBitmap(FakeFactory* aFactory, const std::string& aName, int aWidth, int aHeight);
	int GetWidth() override { return myWidth; }
	int GetHeight() override { return myHeight; }
	bool Blit(int aDestX, int aDestY, int aWidth, int aHeight, int aSourceX, int aSourceY) override;
	bool BlitStretch(int, int, int, int, int, int, int, int) override { return false; }
	bool BlitRotate(int, int, int, int, int, int, float) override { return false; }
	bool BlitStretchRotate(int, int, int, int, int, int, float) override { return false; }

private:
	FakeFactory* myFake;
	std::string myName;
	int myWidth;
	int myHeight;
};

class FakeFont : public DisplayFont
{
public:
	explicit FakeFont(FakeFactory* aFactory) : myFake(aFactory) {}
	// Every character 7 pixels wide; 10 pixels high.
	int GetStringWidth(const KC_String& aText) override { return 7 * aText.GetLength(); }
	int GetHeight() override { return 10; }
	bool Print(int anX, int aY, const KC_String& aText) override;
	bool PrintInRect(const KC_String& aText, const int* aRect, int anAlignment) override;
	bool PrintScaled(float, int, int, const KC_String&) override { return true; }
	bool PrintRotated(float, int, int, const KC_String&) override { return true; }
	bool PrintScaledRotated(float, float, int, int, const KC_String&) override { return true; }

private:
	FakeFactory* myFake;
};

// Records its lines as "hline x1 x2 y" and "vline x y1 y2".
class FakePrimitives : public DisplayPrimitives
{
public:
	explicit FakePrimitives(FakeFactory* aFactory) : myFake(aFactory) {}
	bool Line(int, int, int, int, const unsigned char*) override { return true; }
	bool ThickLine(int, int, int, int, const unsigned char*) override { return true; }
	bool HLine(int anX1, int anX2, int aY, const unsigned char* aColor) override;
	bool VLine(int anX, int aY1, int aY2, const unsigned char* aColor) override;
	bool Bezier(const int*, const int*, const int*, const int*, const unsigned char*) override { return true; }
	bool ThickBezier(const int*, const int*, const int*, const int*, const unsigned char*) override { return true; }
	bool Circle(const int*, int, const unsigned char*) override { return true; }
	bool ThickCircle(const int*, int, const unsigned char*) override { return true; }

private:
	FakeFactory* myFake;
};

// Knows a set of picture names with their sizes; every request and every
// drawing is appended to myLog as one line.
class FakeFactory : public DisplayFactory
{
public:
	FakeFactory();
	DisplayBitmap* LoadBitmapFile(const char* aFileName) override;
	DisplayFont* MakeFont(const char* aFaceName, int aSize) override;
	DisplayPrimitives* MakePrimitives() override { return new FakePrimitives(this); }
	bool Clear(const unsigned char*) override { return true; }
	bool Present(int, int, int, int) override
	{
		++myPresents;
		return true;
	}
	int GetWidth() override { return 640; }
	int GetHeight() override { return 400; }
	void BeginFrame() override {}
	void EndFrame() override {}

	std::map<std::string, std::pair<int, int>> myPictures;
	bool myFontFails;
	std::vector<std::string> myLog;
	int myPresents;  // frames painted
};

// The lines of one button of the sample disc's type: defaults that load with
// FakeFactory's pictures, the requirement elements aRequirements (none by
// default), then anExtraLines (a later assignment wins).
std::string ButtonJuice(const std::string& aName, const std::string& anExtraLines,
                        const std::string& aRequirements = "");
// Compiles "menu.juice" (the sample types, the given top-level text) and loads it.
Ice* LoadDefinition(const std::string& aTopLevelJuice);
// A menu definition whose myGui.myButtons holds the given buttons.
Ice* LoadButtons(const std::string& aButtonsJuice);

// Records the requests of AutorunButton instead of starting anything.
struct ShellRequest
{
	DWORD mySize;
	ULONG myMask;
	HWND myWindow;
	std::string myVerb;
	std::string myFile;
	bool myHasParameters;
	std::string myDirectory;
	bool myHasDirectory;
	int myShow;
	int myKind;  // of the button launching, as the call sees it
};
extern std::vector<ShellRequest> ourShellRequests;
extern BOOL ourShellResult;
BOOL WINAPI RecordShellRequest(SHELLEXECUTEINFOA* anInfo);

#endif
