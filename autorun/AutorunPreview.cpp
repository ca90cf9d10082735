#include "AutorunPreview.h"

#include "AutorunButton.h"
#include "AutorunDiagnosis.h"
#include "AutorunMenu.h"
#include "JuiceToIce.h"
#include "ParseTool.h"
#include "kc_output.h"
#include "kf_file.h"

#include <cstdlib>
#include <string>

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

const int AutorunPreview::ourStripHeight = 20;
const DWORD AutorunPreview::ourWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

namespace
{
const char* const ourIceName = "autorun.ice";
const char* const ourJuiceName = "autorun.juice";
// A save settles when the folder stays quiet this long; a rebuild waits at
// most ourSettleLimit for that.
const DWORD ourSettlePause = 60;
const DWORD ourSettleLimit = 250;
const int ourMaxDepth = 4;

HWND ourWindow = NULL;
HANDLE ourChange = INVALID_HANDLE_VALUE;
std::string ourFingerprint;
KC_String ourStatus;
bool ourError = false;
bool ourLaunchShown = false;

// Collects the error channel while in scope.
class ErrorCapture : public KC_MessageSubscriber
{
public:
	ErrorCapture() { KC_GetMessagePublisher().Subscribe(KC_ERROR_CHANNEL, this); }
	~ErrorCapture() override { KC_GetMessagePublisher().Unsubscribe(KC_ERROR_CHANNEL, this); }
	bool Receive(int /*aKey*/, KC_String aValue) override
	{
		myMessages.push_back(aValue);
		return true;
	}
	KC_String Pick() const
	{
		return myMessages.empty() ? KC_String() : AutorunPreview::PickMessage(&myMessages[0], static_cast<int>(myMessages.size()));
	}

private:
	std::vector<KC_String> myMessages;
};

// The folders of a fingerprint: its lines that end with a backslash.
int CountFolders(const std::string& aFingerprint)
{
	int locCount = 0;
	for (std::size_t locAt = aFingerprint.find("\\\n"); locAt != std::string::npos;
	     locAt = aFingerprint.find("\\\n", locAt + 2))
		++locCount;
	return locCount;
}

bool EndsWith(const char* aText, const char* anEnd)
{
	std::size_t locText = std::strlen(aText);
	std::size_t locEnd = std::strlen(anEnd);
	return locText >= locEnd && _stricmp(aText + locText - locEnd, anEnd) == 0;
}

// What the conversion writes, and the texts a re-save keeps aside.
bool IsWrittenByConversion(const char* aName)
{
	return _stricmp(aName, "autorun.ice") == 0 || _stricmp(aName, "autorun.hash") == 0 ||
	       _stricmp(aName, "autorun.loc") == 0 || std::strstr(aName, ".orig") != NULL;
}

void AddFolder(std::string& aText, const KC_String& aFolder, int aDepth)
{
	aText += static_cast<const char*>(aFolder);
	aText += "\\\n";
	WIN32_FIND_DATAA locData;
	HANDLE locFind = FindFirstFileA(aFolder + "\\*", &locData);
	if (locFind == INVALID_HANDLE_VALUE)
		return;
	do
	{
		const char* locName = locData.cFileName;
		if (std::strcmp(locName, ".") == 0 || std::strcmp(locName, "..") == 0)
			continue;
		KC_String locPath = aFolder + "\\" + locName;
		if (locData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
		{
			if (aDepth < ourMaxDepth)
				AddFolder(aText, locPath, aDepth + 1);
			continue;
		}
		if (aDepth == 0 && IsWrittenByConversion(locName))
			continue;
		char locLine[64];
		std::snprintf(locLine, sizeof(locLine), " %lu %lu %lu\n", static_cast<unsigned long>(locData.nFileSizeLow),
		              static_cast<unsigned long>(locData.ftLastWriteTime.dwHighDateTime),
		              static_cast<unsigned long>(locData.ftLastWriteTime.dwLowDateTime));
		aText += static_cast<const char*>(locPath);
		aText += locLine;
	} while (FindNextFileA(locFind, &locData));
	FindClose(locFind);
}

// One line on the debug output for each change of the strip and of the
// window, so that a script can follow the preview.
void Report(const char* aWhat, const char* aText)
{
	char locLine[1200];
	std::snprintf(locLine, sizeof(locLine), "autorun preview: %s: %s\n", aWhat, aText);
	OutputDebugStringA(locLine);
}

void SetStatus(const KC_String& aText, bool anError)
{
	if (ourStatus == aText && ourError == anError)
		return;
	ourStatus = aText;
	ourError = anError;
	AutorunPreview::PaintStrip();
	Report(anError ? "error" : "status", ourStatus);
}

BOOL WINAPI ShowLaunch(SHELLEXECUTEINFOA* anInfo)
{
	SetStatus(AutorunPreview::DescribeLaunch(AutorunButton::NameOfKind(AutorunButton::GetLaunchingKind()),
	                                         anInfo->lpVerb, anInfo->lpFile, anInfo->lpDirectory),
	          false);
	ourLaunchShown = true;
	return TRUE;
}

// Watches the folder and its subfolders as they are now (a folder made
// later is not always seen by the notification until it is opened again).
void Watch()
{
	if (ourChange != INVALID_HANDLE_VALUE)
		FindCloseChangeNotification(ourChange);
	ourChange = FindFirstChangeNotificationA(".", TRUE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
	                                                         FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
}

// Converts when a text changed and builds the menu again; on failure the last
// good menu stays and the strip says why.
void Rebuild(bool aTextChanged)
{
	AutorunMenu* locOld = AutorunMenu::GetCurrent();
	// The menu's load centres the window; the preview stays where the author put it.
	RECT locPlace;
	GetWindowRect(ourWindow, &locPlace);
	KC_String locMessage;
	AutorunMenu* locMenu = NULL;
	{
		ErrorCapture locCapture;
		bool locConverted = true;
		if (aTextChanged)
		{
			// Saved within the second of the last conversion the text would
			// not look newer than the Ice file: it is converted here.
			JuiceToIce::Priv_ResetLastReSave();
			locConverted = JuiceToIce::Priv_ConvertJuiceFile(ourJuiceName, ourIceName);
		}
		if (locConverted)
		{
			// The load's diagnosis names a picture that does not load; with
			// "/diagnose" given as well it stays on.
			bool locWasOn = AutorunDiagnosis::IsOn();
			int locKnown = locWasOn ? AutorunDiagnosis::GetText().GetLength() : 0;
			AutorunDiagnosis::Enable(true);
			locMenu = AutorunMenu::Create(ourIceName, ourWindow);
			if (!locMenu)
				locMessage = AutorunDiagnosis::GetText().Right(AutorunDiagnosis::GetText().GetLength() - locKnown);
			if (!locWasOn)
				AutorunDiagnosis::Enable(false);
		}
		KC_String locChannel = locCapture.Pick();
		if (!locMenu && !locChannel.IsEmpty())
			locMessage = locChannel;
	}
	if (!locMenu)
	{
		AutorunMenu::SetCurrent(locOld);
		AutorunPreview::FitWindow(locPlace.left, locPlace.top);
		int locEnd = locMessage.Find("\n");
		if (locEnd > 0)
			locMessage = locMessage.Left(locEnd);
		SetStatus(locMessage.IsEmpty() ? KC_String("the menu does not build") : locMessage, true);
		return;
	}
	delete locOld;
	AutorunMenu::SetCurrent(locMenu);
	ourStatus.Clear();
	ourError = false;
	AutorunPreview::FitWindow(locPlace.left, locPlace.top);
	locMenu->Paint();
	AutorunPreview::PaintStrip();
	Report("rebuilt", "");
}
}

bool AutorunPreview::Begin(HWND aWindow)
{
	ourWindow = aWindow;
	ourFingerprint = Fingerprint(".");
	Watch();
	AutorunButton::SetShellExecuteFunction(ShowLaunch);
	return ourChange != INVALID_HANDLE_VALUE;
}

void AutorunPreview::End()
{
	if (ourChange != INVALID_HANDLE_VALUE)
		FindCloseChangeNotification(ourChange);
	ourChange = INVALID_HANDLE_VALUE;
	AutorunButton::SetShellExecuteFunction(NULL);
}

HANDLE AutorunPreview::GetChangeHandle()
{
	return ourChange;
}

void AutorunPreview::OnChange()
{
	FindNextChangeNotification(ourChange);
	DWORD locStart = GetTickCount();
	while (GetTickCount() - locStart < ourSettleLimit && WaitForSingleObject(ourChange, ourSettlePause) == WAIT_OBJECT_0)
		FindNextChangeNotification(ourChange);
	std::string locFingerprint = Fingerprint(".");
	if (locFingerprint == ourFingerprint)
		return;
	bool locTextChanged = TextLines(locFingerprint) != TextLines(ourFingerprint);
	if (CountFolders(locFingerprint) != CountFolders(ourFingerprint))
	{
		// A new folder is watched from now on; what was saved in it meanwhile counts.
		Watch();
		locFingerprint = Fingerprint(".");
	}
	ourFingerprint = locFingerprint;
	Rebuild(locTextChanged);
	// The conversion's own writes are no change of the inputs.
	FindNextChangeNotification(ourChange);
}

void AutorunPreview::FitWindow(int aLeft, int aTop)
{
	AutorunMenu* locMenu = AutorunMenu::GetCurrent();
	if (!locMenu || !ourWindow)
		return;
	RECT locFrame = {0, 0, locMenu->GetWidth(), locMenu->GetHeight() + ourStripHeight};
	AdjustWindowRectEx(&locFrame, ourWindowStyle, FALSE, 0);
	SetWindowPos(ourWindow, NULL, aLeft, aTop, locFrame.right - locFrame.left,
	             locFrame.bottom - locFrame.top, SWP_NOZORDER | SWP_NOACTIVATE);
	POINT locOrigin = {0, 0};
	ClientToScreen(ourWindow, &locOrigin);
	char locPlace[80];
	std::snprintf(locPlace, sizeof(locPlace), "%ld %ld %d %d", static_cast<long>(locOrigin.x),
	              static_cast<long>(locOrigin.y), locMenu->GetWidth(), locMenu->GetHeight());
	Report("client", locPlace);
}

void AutorunPreview::PaintStrip()
{
	AutorunMenu* locMenu = AutorunMenu::GetCurrent();
	if (!locMenu || !ourWindow)
		return;
	HDC locDC = GetDC(ourWindow);
	if (!locDC)
		return;
	RECT locStrip = {0, locMenu->GetHeight(), locMenu->GetWidth(), locMenu->GetHeight() + ourStripHeight};
	HBRUSH locBrush = CreateSolidBrush(ourError ? RGB(200, 0, 0) : RGB(48, 48, 48));
	FillRect(locDC, &locStrip, locBrush);
	DeleteObject(locBrush);
	SetBkMode(locDC, TRANSPARENT);
	SetTextColor(locDC, RGB(255, 255, 255));
	HGDIOBJ locOldFont = SelectObject(locDC, GetStockObject(DEFAULT_GUI_FONT));
	locStrip.left += 4;
	DrawTextA(locDC, ourStatus, -1, &locStrip, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
	SelectObject(locDC, locOldFont);
	ReleaseDC(ourWindow, locDC);
}

const KC_String& AutorunPreview::GetStatus()
{
	return ourStatus;
}

bool AutorunPreview::IsError()
{
	return ourError;
}

void AutorunPreview::OnMouseMove(int anX, int aY)
{
	AutorunMenu* locMenu = AutorunMenu::GetCurrent();
	if (!locMenu || ourError)
		return;
	for (int locIndex = 0; locIndex < locMenu->GetButtonCount(); ++locIndex)
	{
		AutorunButton* locButton = locMenu->GetButton(locIndex);
		if (!locButton->HitTest(anX, aY))
			continue;
		if (!locButton->IsEnabled())
		{
			char locLine[600];
			std::snprintf(locLine, sizeof(locLine), "\"%s\" is disabled: %s",
			              static_cast<const char*>(locButton->GetCaption()),
			              static_cast<const char*>(locButton->GetDisabledReason()));
			SetStatus(KC_String(locLine), false);
		}
		return;
	}
}

void AutorunPreview::OnAction(int anAction)
{
	if (IsIconic(ourWindow))
		ShowWindow(ourWindow, SW_RESTORE);
	if (anAction == AutorunButton::ACTION_QUIT_LIMITED_ACCESS)
		SetStatus(KC_String("no write access under HKEY_LOCAL_MACHINE: the menu would end and show its "
		                    "limited-access text"), false);
	else if (anAction != AutorunButton::ACTION_NONE && !ourLaunchShown)
		SetStatus(KC_String("the menu would end here, nothing started"), false);
	ourLaunchShown = false;
}

KC_String AutorunPreview::DescribeLaunch(const char* aKind, const char* aVerb, const char* aFile,
                                         const char* aDirectory)
{
	char locLine[1200];
	std::snprintf(locLine, sizeof(locLine), "%s: %s \"%s\" in \"%s\" (not started)", aKind ? aKind : "",
	              aVerb ? aVerb : "open", aFile ? aFile : "", aDirectory ? aDirectory : "");
	return KC_String(locLine);
}

KC_String AutorunPreview::PickMessage(const KC_String* aMessages, int aCount)
{
	for (int locIndex = 0; locIndex < aCount; ++locIndex)
	{
		// "(FILE, line N) TEXT" with N counted by the parser: "FILE:LINE: TEXT"
		// with the line of the file, as icetool check gives it.
		std::string locText(static_cast<const char*>(aMessages[locIndex]));
		if (locText.compare(0, 7, "ERROR: ") == 0)
			locText.erase(0, 7);
		std::size_t locMark = locText.find(", line ");
		std::size_t locEnd = locMark == std::string::npos ? locMark : locText.find(") ", locMark + 7);
		if (locText.empty() || locText[0] != '(' || locEnd == std::string::npos || locEnd == locMark + 7)
			continue;
		std::string locFile = locText.substr(1, locMark - 1);
		int locParseLine = std::atoi(locText.substr(locMark + 7, locEnd - locMark - 7).c_str());
		char locLine[1200];
		std::snprintf(locLine, sizeof(locLine), "%s:%u: %s", locFile.c_str(),
		              ParseTool::PhysicalLine(locFile.c_str(), locParseLine), locText.c_str() + locEnd + 2);
		return KC_String(locLine);
	}
	return aCount > 0 ? aMessages[0] : KC_String();
}

std::string AutorunPreview::Fingerprint(const char* aFolder)
{
	std::string locText;
	AddFolder(locText, KC_String(aFolder), 0);
	return locText;
}

std::string AutorunPreview::TextLines(const std::string& aFingerprint)
{
	std::string locText;
	const char* locAt = aFingerprint.c_str();
	while (locAt && *locAt)
	{
		const char* locEnd = std::strchr(locAt, '\n');
		std::size_t locLength = locEnd ? static_cast<std::size_t>(locEnd - locAt) : std::strlen(locAt);
		std::string locLine(locAt, locLength);
		std::size_t locBlank = locLine.find(' ');
		std::string locName = locLine.substr(0, locBlank);
		if (!EndsWith(locName.c_str(), "\\") && !EndsWith(locName.c_str(), ".tga") && !EndsWith(locName.c_str(), ".bmp"))
			locText += locLine + "\n";
		locAt = locEnd ? locEnd + 1 : NULL;
	}
	return locText;
}
