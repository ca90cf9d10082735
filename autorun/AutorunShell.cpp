#include "AutorunShell.h"

#include "AutorunDiagnosis.h"
#include "kf_sdf.h"

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

KC_String AutorunShell::ToUtf8(const wchar_t* aText)
{
	char locText[4 * MAX_PATH];
	int locLength = WideCharToMultiByte(CP_UTF8, 0, aText, -1, locText, sizeof(locText), NULL, NULL);
	if (locLength <= 0)
		return KC_String();
	return KC_String(locText);
}

AutorunShell::ArchiveState AutorunShell::CheckArchiveHere()
{
	if (!IsFile(ourArchiveName))
		return ARCHIVE_MISSING;
	KF_SDF* locArchive = KF_SDF::Mount(ourArchiveName, false, false);
	if (!locArchive || !locArchive->IsUsable())
	{
		if (locArchive)
			KF_SDF::Unmount(ourArchiveName);
		return ARCHIVE_UNMOUNTABLE;
	}
	// A file on disk beside the archive is found before its entry, as the menu finds it.
	bool locMenu = false;
	for (const char* locName : {"autorun.ice", "autorun.juice"})
		locMenu = locMenu || IsFile(locName) || KF_SDF::FindEntry(locName, false, NULL, NULL);
	KF_SDF::Unmount(ourArchiveName);
	return locMenu ? ARCHIVE_GOOD : ARCHIVE_NO_MENU;
}

namespace
{
const char* Describe(AutorunShell::ArchiveState aState)
{
	switch (aState)
	{
	case AutorunShell::ARCHIVE_MISSING:
		return "is missing";
	case AutorunShell::ARCHIVE_UNMOUNTABLE:
		return "cannot be mounted (it is no archive, or a damaged one)";
	case AutorunShell::ARCHIVE_NO_MENU:
		return "holds no menu (no autorun.ice or autorun.juice in it or beside it)";
	default:
		return "holds a menu";
	}
}
}

bool AutorunShell::FindDiscFolder(const wchar_t* aProgramPath)
{
	wchar_t locCurrent[MAX_PATH] = L"";
	DWORD locLength = GetCurrentDirectoryW(MAX_PATH, locCurrent);
	if (locLength == 0 || locLength >= MAX_PATH)
		locCurrent[0] = 0;
	KC_String locCurrentText = ToUtf8(locCurrent);
	ArchiveState locHere = CheckArchiveHere();

	// The folder of the program, looked at from inside it (its path may hold
	// characters that narrow calls cannot name).
	std::wstring locFolder = WideFolderOf(aProgramPath ? aProgramPath : L"");
	KC_String locFolderText = ToUtf8(locFolder.c_str());
	bool locSameFolder = locFolder.empty() || _wcsicmp(locFolder.c_str(), locCurrent) == 0;
	ArchiveState locBeside = locSameFolder ? locHere : ARCHIVE_MISSING;
	bool locEntered = false;
	if (!locSameFolder && SetCurrentDirectoryW(locFolder.c_str()))
	{
		locBeside = CheckArchiveHere();
		locEntered = true;
	}
	bool locUseBeside = locHere != ARCHIVE_GOOD && locBeside == ARCHIVE_GOOD;
	if (locEntered && !locUseBeside)
		SetCurrentDirectoryW(locCurrent);

	AutorunDiagnosis::Add("'%s' in the current folder %s %s", ourArchiveName, static_cast<const char*>(locCurrentText),
	                      Describe(locHere));
	if (!locSameFolder)
		AutorunDiagnosis::Add("'%s' beside the program in %s %s", ourArchiveName,
		                      static_cast<const char*>(locFolderText), Describe(locBeside));
	if (locUseBeside)
	{
		AutorunDiagnosis::Add("the menu runs in the folder of the program %s", static_cast<const char*>(locFolderText));
		return true;
	}
	AutorunDiagnosis::Add("the menu runs in the current folder %s", static_cast<const char*>(locCurrentText));
	return locHere != ARCHIVE_MISSING;
}

bool AutorunShell::FindDiscFolder(const char* aProgramPath)
{
	wchar_t locPath[MAX_PATH] = L"";
	if (aProgramPath && MultiByteToWideChar(CP_ACP, 0, aProgramPath, -1, locPath, MAX_PATH) <= 0)
		locPath[0] = 0;
	return FindDiscFolder(locPath);
}

std::wstring AutorunShell::WideFolderOf(const wchar_t* aPath)
{
	std::wstring locPath(aPath ? aPath : L"");
	size_t locSlash = locPath.find_last_of(L"\\/");
	if (locSlash == std::wstring::npos)
		return std::wstring();
	if (locSlash == 2 && locPath[1] == L':')
		return locPath.substr(0, locSlash + 1);
	return locPath.substr(0, locSlash);
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
