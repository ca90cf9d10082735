#include "kc_platform.h"

#include <windows.h>
#include <mbstring.h>

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

void KC_PlatformShowMessageBox(const char* aText, const char* aCaption)
{
	MessageBoxA(NULL, aText, aCaption, MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST);
}



void KC_PlatformDebugBreak()
{
	DebugBreak();
}

// Files.

namespace
{
bool ToCalendar(const FILETIME& aTime, KC_PlatformTime* aResult)
{
	SYSTEMTIME locParts;
	if (!FileTimeToSystemTime(&aTime, &locParts))
		return false;
	aResult->myYear = locParts.wYear;
	aResult->myMonth = locParts.wMonth;
	aResult->myDay = locParts.wDay;
	aResult->myHour = locParts.wHour;
	aResult->myMinute = locParts.wMinute;
	aResult->mySecond = locParts.wSecond;
	return true;
}
}

KC_FileHandle KC_PlatformOpenFile(const char* aName, KC_FileOpenMode aMode)
{
	HANDLE locHandle;
	if (aMode == KC_FILE_READ_SHARED)
		locHandle = CreateFileA(aName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
		                        FILE_ATTRIBUTE_NORMAL, NULL);
	else
		locHandle = CreateFileA(aName, GENERIC_READ | GENERIC_WRITE, 0, NULL,
		                        aMode == KC_FILE_CREATE ? CREATE_ALWAYS : OPEN_ALWAYS,
		                        FILE_ATTRIBUTE_NORMAL, NULL);
	return locHandle == INVALID_HANDLE_VALUE ? KC_INVALID_FILE_HANDLE : static_cast<KC_FileHandle>(locHandle);
}

void KC_PlatformCloseFile(KC_FileHandle aHandle)
{
	if (aHandle != KC_INVALID_FILE_HANDLE)
		CloseHandle(static_cast<HANDLE>(aHandle));
}

bool KC_PlatformReadFile(KC_FileHandle aHandle, void* aBuffer, uint32_t aCount, uint32_t* aDone)
{
	DWORD locRead = 0;
	BOOL locResult = ReadFile(static_cast<HANDLE>(aHandle), aBuffer, aCount, &locRead, NULL);
	*aDone = locRead;
	return locResult != FALSE;
}

bool KC_PlatformWriteFile(KC_FileHandle aHandle, const void* aBuffer, uint32_t aCount, uint32_t* aDone)
{
	DWORD locWritten = 0;
	BOOL locResult = WriteFile(static_cast<HANDLE>(aHandle), aBuffer, aCount, &locWritten, NULL);
	*aDone = locWritten;
	return locResult != FALSE && locWritten == aCount;
}

bool KC_PlatformSeekFile(KC_FileHandle aHandle, int64_t anOffset, int anOrigin)
{
	LARGE_INTEGER locDistance;
	locDistance.QuadPart = anOffset;
	DWORD locMethod = anOrigin == 0 ? FILE_BEGIN : anOrigin == 1 ? FILE_CURRENT : FILE_END;
	return SetFilePointerEx(static_cast<HANDLE>(aHandle), locDistance, NULL, locMethod) != FALSE;
}

bool KC_PlatformTruncateFile(KC_FileHandle aHandle)
{
	return SetEndOfFile(static_cast<HANDLE>(aHandle)) != FALSE;
}

bool KC_PlatformGetFileSize(KC_FileHandle aHandle, uint64_t* aSize)
{
	LARGE_INTEGER locSize;
	if (!GetFileSizeEx(static_cast<HANDLE>(aHandle), &locSize))
		return false;
	*aSize = static_cast<uint64_t>(locSize.QuadPart);
	return true;
}

bool KC_PlatformGetFileWriteTime(KC_FileHandle aHandle, KC_PlatformTime* aTime)
{
	FILETIME locWritten;
	return GetFileTime(static_cast<HANDLE>(aHandle), NULL, NULL, &locWritten) &&
	       ToCalendar(locWritten, aTime);
}

bool KC_PlatformFindFile(const char* aName, uint64_t* aSize, KC_PlatformTime* aTime)
{
	// The exact name only: wildcards would match other files.
	for (const char* locByte = aName; *locByte; ++locByte)
		if (*locByte == '*' || *locByte == '?')
			return false;
	WIN32_FIND_DATAA locData;
	HANDLE locSearch = FindFirstFileA(aName, &locData);
	if (locSearch == INVALID_HANDLE_VALUE)
		return false;
	FindClose(locSearch);
	*aSize = (static_cast<uint64_t>(locData.nFileSizeHigh) << 32) | locData.nFileSizeLow;
	if (!ToCalendar(locData.ftLastWriteTime, aTime))
		*aTime = KC_PlatformTime();
	return true;
}

bool KC_PlatformMakeDirectory(const char* aPath)
{
	return CreateDirectoryA(aPath, NULL) != FALSE;
}

bool KC_PlatformListDirectory(const char* aPath, KC_DirectoryVisitor aVisitor, void* aContext)
{
	char locPattern[MAX_PATH + 4];
	int locLength = lstrlenA(aPath);
	if (locLength + 3 > MAX_PATH)
		return false;
	lstrcpyA(locPattern, aPath);
	lstrcatA(locPattern, "\\*");
	WIN32_FIND_DATAA locData;
	HANDLE locSearch = FindFirstFileA(locPattern, &locData);
	if (locSearch == INVALID_HANDLE_VALUE)
		return false;
	do
	{
		if (lstrcmpA(locData.cFileName, ".") == 0 || lstrcmpA(locData.cFileName, "..") == 0)
			continue;
		aVisitor(aContext, locData.cFileName, (locData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
	} while (FindNextFileA(locSearch, &locData));
	FindClose(locSearch);
	return true;
}

bool KC_PlatformReplaceFile(const char* aSource, const char* aTarget)
{
	return MoveFileExA(aSource, aTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void* KC_PlatformAllocatePages(size_t aSize)
{
	return VirtualAlloc(NULL, aSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void KC_PlatformFreePages(void* aPages, size_t /*aSize*/)
{
	if (aPages)
		VirtualFree(aPages, 0, MEM_RELEASE);
}

void* KC_PlatformReservePages(size_t aSize)
{
	// Reservations start at multiples of the allocation granularity, 64 KiB on
	// every x86 system; a system with a finer one gets an aligned range found
	// by reserving 64 KiB more and taking the aligned part of that range.
	const uintptr_t locAlignment = 1 << 16;
	void* locPages = VirtualAlloc(NULL, aSize, MEM_RESERVE, PAGE_NOACCESS);
	if (!locPages || (reinterpret_cast<uintptr_t>(locPages) & (locAlignment - 1)) == 0)
		return locPages;
	VirtualFree(locPages, 0, MEM_RELEASE);
	for (int locTry = 0; locTry < 8; ++locTry)
	{
		void* locRange = VirtualAlloc(NULL, aSize + locAlignment, MEM_RESERVE, PAGE_NOACCESS);
		if (!locRange)
			return NULL;
		uintptr_t locAligned = (reinterpret_cast<uintptr_t>(locRange) + locAlignment - 1) & ~(locAlignment - 1);
		VirtualFree(locRange, 0, MEM_RELEASE);
		locPages = VirtualAlloc(reinterpret_cast<void*>(locAligned), aSize, MEM_RESERVE, PAGE_NOACCESS);
		if (locPages)
			return locPages;
	}
	return NULL;
}

bool KC_PlatformCommitPages(void* aPages, size_t aSize)
{
	return VirtualAlloc(aPages, aSize, MEM_COMMIT, PAGE_READWRITE) != NULL;
}

void KC_PlatformDecommitPages(void* aPages, size_t aSize)
{
	VirtualFree(aPages, aSize, MEM_DECOMMIT);
}

void KC_PlatformReleasePages(void* aPages, size_t /*aSize*/)
{
	if (aPages)
		VirtualFree(aPages, 0, MEM_RELEASE);
}

void KC_PlatformPrepareBlock(void* /*aBlock*/, size_t /*aSize*/)
{
}
