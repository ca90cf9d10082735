#ifndef AUTORUNSHELL_H
#define AUTORUNSHELL_H

#include "KC_String.h"
#include "kc_locstring.h"

#include <windows.h>

#include <string>

// The parts of the program shell that do not need the message loop: the
// folder the menu runs in, its message boxes, and the wait while minimised.
namespace AutorunShell
{
extern const char* const ourArchiveName;
extern const char* const ourDefaultInsertDiscText;
extern const char* const ourDefaultLimitedAccessText;

// What the archive in the current folder is to the menu.
enum ArchiveState
{
	ARCHIVE_MISSING,
	ARCHIVE_UNMOUNTABLE,
	ARCHIVE_NO_MENU,
	ARCHIVE_GOOD
};
// Mounts the archive of the current folder for a look and unmounts it again:
// whether it mounts and holds a menu (autorun.ice or autorun.juice, in it or
// on disk beside it).
ArchiveState CheckArchiveHere();

// Makes the folder of aProgramPath the current one when the archive of the
// current folder is missing, cannot be mounted or holds no menu and the one
// beside the program is good. The diagnosis names both archives and the
// folder used. True when an archive is in the current folder afterwards.
bool FindDiscFolder(const wchar_t* aProgramPath);
// The same for a path in the system's code page.
bool FindDiscFolder(const char* aProgramPath);
std::wstring WideFolderOf(const wchar_t* aPath);
// A path of the system in UTF-8, as the diagnosis shows it.
KC_String ToUtf8(const wchar_t* aText);
// The folder part of a path ("" when it has none).
KC_String FolderOf(const char* aPath);
// The archive's path in the folder of aProgramPath.
KC_String ArchiveBeside(const char* aProgramPath);

// Shows aText in a wide box, or aDefault in a narrow one when aText is empty;
// caption "AUTORUN", task-modal with the information icon, owned by the desktop.
void ShowText(const KC_LocString& aText, const char* aDefault);

// The box calls, replaceable so that tests see the texts without a box.
typedef int(WINAPI* NarrowBoxFunction)(HWND aOwner, const char* aText, const char* aCaption, UINT aStyle);
typedef int(WINAPI* WideBoxFunction)(HWND aOwner, const wchar_t* aText, const wchar_t* aCaption, UINT aStyle);
void SetBoxFunctions(NarrowBoxFunction aNarrow, WideBoxFunction aWide);

// The archive is looked for once every this many milliseconds while the
// window is shown.
extern const DWORD ourDiscCheckPause;
// The wait of the message loop with an empty queue, in milliseconds: until
// the next disc check (due at aNextCheck on the clock now at aNow) or until
// the tool tip's wait (INFINITE for none) is over, whichever comes first. A
// minimised window checks nothing and waits at most one check pause.
DWORD LoopWait(bool anIconic, DWORD aNow, DWORD aNextCheck, DWORD aToolTipWait);
// Waits until a message arrives or aMilliseconds have passed.
void WaitForMessage(DWORD aMilliseconds);
}

#endif
