#include "AutorunShell.h"

#include "AutorunDiagnosis.h"

namespace AutorunShell
{
const char* const ourArchiveName = "autorun.sdf";
const char* const ourDefaultInsertDiscText = "Please insert the disc again.";
const char* const ourDefaultLimitedAccessText =
	"Installing needs administrator rights. Please log on as an administrator and start the installation again.";
const DWORD ourDiscCheckPause = 70;
}

namespace
{
int WINAPI SystemNarrowBox(HWND aOwner, const char* aText, const char* aCaption, UINT aStyle)
{
	return MessageBoxA(aOwner, aText, aCaption, aStyle);
}

int WINAPI SystemWideBox(HWND aOwner, const wchar_t* aText, const wchar_t* aCaption, UINT aStyle)
{
	return MessageBoxW(aOwner, aText, aCaption, aStyle);
}

AutorunShell::NarrowBoxFunction ourNarrowBox = SystemNarrowBox;
AutorunShell::WideBoxFunction ourWideBox = SystemWideBox;

bool IsFile(const char* aPath)
{
	DWORD locAttributes = GetFileAttributesA(aPath);
	return locAttributes != INVALID_FILE_ATTRIBUTES && !(locAttributes & FILE_ATTRIBUTE_DIRECTORY);
}
}

KC_String AutorunShell::FolderOf(const char* aPath)
{
	KC_String locPath(aPath ? aPath : "");
	int locSlash = locPath.ReverseFind('\\');
	int locForward = locPath.ReverseFind('/');
	if (locForward > locSlash)
		locSlash = locForward;
	if (locSlash < 0)
		return KC_String();
	// "C:\autorun.exe": the folder is the drive's root, "C:\".
	if (locSlash == 2 && locPath.GetLength() > 1 && locPath.GetText()[1] == ':')
		return locPath.Left(locSlash + 1);
	return locPath.Left(locSlash);
}

KC_String AutorunShell::ArchiveBeside(const char* aProgramPath)
{
	KC_String locFolder = FolderOf(aProgramPath);
	if (locFolder.IsEmpty())
		return KC_String(ourArchiveName);
	// A drive's root ("C:\\") ends with its separator already.
	char locLast = locFolder.GetText()[locFolder.GetLength() - 1];
	return locFolder + (locLast == '\\' || locLast == '/' ? "" : "\\") + ourArchiveName;
}

bool AutorunShell::FindDiscFolder(const char* aProgramPath)
{
	if (IsFile(ourArchiveName))
		return true;
	char locCurrent[MAX_PATH] = "";
	GetCurrentDirectoryA(MAX_PATH, locCurrent);
	KC_String locFolder = FolderOf(aProgramPath);
	if (!locFolder.IsEmpty() && IsFile(ArchiveBeside(aProgramPath)) && SetCurrentDirectoryA(locFolder))
	{
		AutorunDiagnosis::Add("'%s' is not in the current folder %s: the menu runs in its own folder %s",
		                      ourArchiveName, locCurrent, static_cast<const char*>(locFolder));
		return true;
	}
	AutorunDiagnosis::Add("'%s' is neither in the current folder %s nor in the folder of the program %s",
	                      ourArchiveName, locCurrent, static_cast<const char*>(locFolder));
	return false;
}

void AutorunShell::ShowText(const KC_LocString& aText, const char* aDefault)
{
	const UINT locStyle = MB_TASKMODAL | MB_ICONINFORMATION;
	if (aText.GetLength() > 0)
		ourWideBox(GetDesktopWindow(), reinterpret_cast<const wchar_t*>(aText.GetData()), L"AUTORUN", locStyle);
	else
		ourNarrowBox(GetDesktopWindow(), aDefault, "AUTORUN", locStyle);
}

void AutorunShell::SetBoxFunctions(NarrowBoxFunction aNarrow, WideBoxFunction aWide)
{
	ourNarrowBox = aNarrow ? aNarrow : SystemNarrowBox;
	ourWideBox = aWide ? aWide : SystemWideBox;
}

DWORD AutorunShell::LoopWait(bool anIconic, DWORD aNow, DWORD aNextCheck, DWORD aToolTipWait)
{
	if (anIconic)
		return ourDiscCheckPause;
	// The clock may wrap: a check due is a difference of at most half its range.
	DWORD locWait = static_cast<int>(aNextCheck - aNow) > 0 ? aNextCheck - aNow : 0;
	return aToolTipWait < locWait ? aToolTipWait : locWait;
}

void AutorunShell::WaitForMessage(DWORD aMilliseconds)
{
	MsgWaitForMultipleObjectsEx(0, NULL, aMilliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}
