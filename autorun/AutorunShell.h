#ifndef AUTORUNSHELL_H
#define AUTORUNSHELL_H

#include "KC_String.h"
#include "kc_locstring.h"

#include <windows.h>

// The parts of the program shell that do not need the message loop: the
// folder the menu runs in, its message boxes, and the wait while minimised.
namespace AutorunShell
{
extern const char* const ourArchiveName;
extern const char* const ourDefaultInsertDiscText;
extern const char* const ourDefaultLimitedAccessText;

// Makes the folder of aProgramPath the current one when the archive is not in
// the current folder but there; says in the diagnosis when it is in neither.
// True when the archive is in the current folder afterwards.
bool FindDiscFolder(const char* aProgramPath);
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
