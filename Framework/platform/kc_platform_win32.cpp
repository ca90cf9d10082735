#include "kc_platform.h"

#include <windows.h>
#include <mbstring.h>

namespace
{
void DefaultMessageBox(const char* aText, const char* aCaption)
{
	MessageBoxA(NULL, aText, aCaption,
	            MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST);
}

KC_MessageBoxFunction ourMessageBox = DefaultMessageBox;
}

int KC_PlatformCompare(const char* aFirst, const char* aSecond)
{
	return _mbscmp(reinterpret_cast<const unsigned char*>(aFirst),
	               reinterpret_cast<const unsigned char*>(aSecond));
}

int KC_PlatformCompareNoCase(const char* aFirst, const char* aSecond)
{
	return _mbsicmp(reinterpret_cast<const unsigned char*>(aFirst),
	                reinterpret_cast<const unsigned char*>(aSecond));
}

void KC_PlatformMakeLower(char* aText)
{
	_mbslwr(reinterpret_cast<unsigned char*>(aText));
}

const char* KC_PlatformFind(const char* aHaystack, const char* aNeedle)
{
	return reinterpret_cast<const char*>(
		_mbsstr(reinterpret_cast<const unsigned char*>(aHaystack),
		        reinterpret_cast<const unsigned char*>(aNeedle)));
}

void KC_PlatformPrepareFatal()
{
	ChangeDisplaySettingsA(NULL, 0);
	HWND locWindow = GetActiveWindow();
	if (locWindow)
		SetWindowPos(locWindow, HWND_BOTTOM, 0, 0, 100, 100, SWP_HIDEWINDOW);
	ClipCursor(NULL);
}

void KC_PlatformMessageBox(const char* aText, const char* aCaption)
{
	ourMessageBox(aText, aCaption);
}

KC_MessageBoxFunction KC_SetMessageBoxFunction(KC_MessageBoxFunction aFunction)
{
	KC_MessageBoxFunction locPrevious = ourMessageBox;
	ourMessageBox = aFunction ? aFunction : DefaultMessageBox;
	return locPrevious;
}

void KC_PlatformDebugBreak()
{
	DebugBreak();
}

bool KC_PlatformReplaceFile(const char* aSource, const char* aTarget)
{
	return MoveFileExA(aSource, aTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
