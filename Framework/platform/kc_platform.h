#ifndef KC_PLATFORM_H
#define KC_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

// The framework's seam to the operating system. Text functions work on the
// active ANSI code page and treat a double-byte character as one unit.

// Case-sensitive comparison; bytes compare as unsigned. Negative, 0 or positive.
int KC_PlatformCompare(const char* aFirst, const char* aSecond);

// Case-insensitive comparison. Negative, 0 or positive.
int KC_PlatformCompareNoCase(const char* aFirst, const char* aSecond);

// Lower-cases a NUL-terminated text in place.
void KC_PlatformMakeLower(char* aText);

// First occurrence of aNeedle in aHaystack, or NULL.
const char* KC_PlatformFind(const char* aHaystack, const char* aNeedle);

// Prepares the desktop for a fatal message: restores the display mode,
// hides the active window and releases any cursor clipping.
void KC_PlatformPrepareFatal();

// Shows a fatal message. The function is replaceable so that tests can see the
// text without a box that blocks; KC_SetMessageBoxFunction returns the previous one.
typedef void (*KC_MessageBoxFunction)(const char* aText, const char* aCaption);
// The system's own box (standard error on the host); the default function.
void KC_PlatformShowMessageBox(const char* aText, const char* aCaption);
void KC_PlatformMessageBox(const char* aText, const char* aCaption);
KC_MessageBoxFunction KC_SetMessageBoxFunction(KC_MessageBoxFunction aFunction);

// Breakpoint trap at the calling site.
void KC_PlatformDebugBreak();

// Files. A handle is opaque; KC_INVALID_FILE_HANDLE marks none. Paths may use
// slashes or backslashes on every system.

typedef void* KC_FileHandle;
#define KC_INVALID_FILE_HANDLE ((KC_FileHandle)(intptr_t)-1)

enum KC_FileOpenMode
{
	KC_FILE_READ_SHARED,  // existing file, read access, others may read too
	KC_FILE_CREATE,       // read and write access, no sharing, created or truncated
	KC_FILE_OPEN_ALWAYS   // read and write access, no sharing, existing file kept or new one created
};

// A calendar time in UTC (no time-zone shift).
struct KC_PlatformTime
{
	int myYear;
	int myMonth;   // 1 to 12
	int myDay;     // 1 to 31
	int myHour;
	int myMinute;
	int mySecond;
};

// Opens a regular file; KC_INVALID_FILE_HANDLE on failure (also for directories).
KC_FileHandle KC_PlatformOpenFile(const char* aName, KC_FileOpenMode aMode);
void KC_PlatformCloseFile(KC_FileHandle aHandle);

// Reads or writes up to aCount bytes at the handle's position; *aDone gets the
// number transferred. False on an operating-system error.
bool KC_PlatformReadFile(KC_FileHandle aHandle, void* aBuffer, uint32_t aCount, uint32_t* aDone);
bool KC_PlatformWriteFile(KC_FileHandle aHandle, const void* aBuffer, uint32_t aCount, uint32_t* aDone);

// Moves the position: anOrigin 0 from the start, 1 from the position, 2 from the end.
bool KC_PlatformSeekFile(KC_FileHandle aHandle, int64_t anOffset, int anOrigin);

// Cuts the file at its current position.
bool KC_PlatformTruncateFile(KC_FileHandle aHandle);

bool KC_PlatformGetFileSize(KC_FileHandle aHandle, uint64_t* aSize);
bool KC_PlatformGetFileWriteTime(KC_FileHandle aHandle, KC_PlatformTime* aTime);

// Directory search for exactly aName (file or directory): its size and last-write time.
bool KC_PlatformFindFile(const char* aName, uint64_t* aSize, KC_PlatformTime* aTime);

// Creates one directory; false when it cannot (also when it exists).
bool KC_PlatformMakeDirectory(const char* aPath);

// Calls aVisitor for every entry of a directory except "." and "..".
// False when the directory cannot be read.
typedef void (*KC_DirectoryVisitor)(void* aContext, const char* aName, bool anIsDirectory);
bool KC_PlatformListDirectory(const char* aPath, KC_DirectoryVisitor aVisitor, void* aContext);

// Moves the file aSource to aTarget, replacing an existing aTarget in one step.
bool KC_PlatformReplaceFile(const char* aSource, const char* aTarget);

// aSize bytes of zeroed, writable pages, backed at once where the system can do
// that in one step. NULL when there is no memory.
void* KC_PlatformAllocatePages(size_t aSize);
// Gives back pages of KC_PlatformAllocatePages, all aSize bytes of them.
void KC_PlatformFreePages(void* aPages, size_t aSize);

// aSize bytes of address space (a multiple of 64 KiB) that start at a multiple
// of 64 KiB, with no memory behind them yet. NULL when there is no room. Where
// the system has huge pages, a reservation of whole 2 MiB pieces starts at a
// multiple of 2 MiB, and a piece committed whole may be backed by one page.
void* KC_PlatformReservePages(size_t aSize);
// Backs aSize bytes of a reservation (whole pages, from a page's start) with
// zeroed, writable memory, at once where the system can do that in one step.
// Committing pages that are committed already keeps them. False when there is
// no memory.
bool KC_PlatformCommitPages(void* aPages, size_t aSize);
// Gives the memory of committed pages back; they stay reserved, and read as
// zeros once they are committed again.
void KC_PlatformDecommitPages(void* aPages, size_t aSize);
// Gives back a whole reservation of KC_PlatformReservePages, all aSize bytes.
void KC_PlatformReleasePages(void* aPages, size_t aSize);

// Backs the pages of a new, large block at once where the system can do that in
// one step, instead of a fault per page on first touch. A hint: nothing changes
// where it cannot.
void KC_PlatformPrepareBlock(void* aBlock, size_t aSize);

#endif
