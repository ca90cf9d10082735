#include "kc_platform.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

// One byte is one character on the host.

namespace
{
unsigned char LowerByte(unsigned char aByte)
{
	return (aByte >= 'A' && aByte <= 'Z') ? static_cast<unsigned char>(aByte - 'A' + 'a') : aByte;
}
}

int KC_PlatformCompare(const char* aFirst, const char* aSecond)
{
	return std::strcmp(aFirst, aSecond);
}

int KC_PlatformCompareNoCase(const char* aFirst, const char* aSecond)
{
	const unsigned char* locFirst = reinterpret_cast<const unsigned char*>(aFirst);
	const unsigned char* locSecond = reinterpret_cast<const unsigned char*>(aSecond);
	for (;; ++locFirst, ++locSecond)
	{
		int locDifference = LowerByte(*locFirst) - LowerByte(*locSecond);
		if (locDifference != 0 || *locFirst == 0)
			return locDifference;
	}
}

void KC_PlatformMakeLower(char* aText)
{
	for (unsigned char* locByte = reinterpret_cast<unsigned char*>(aText); *locByte; ++locByte)
		*locByte = LowerByte(*locByte);
}

const char* KC_PlatformFind(const char* aHaystack, const char* aNeedle)
{
	return std::strstr(aHaystack, aNeedle);
}

void KC_PlatformPrepareFatal()
{
}

void KC_PlatformShowMessageBox(const char* aText, const char* aCaption)
{
	std::fprintf(stderr, "%s: %s\n", aCaption, aText);
	std::fflush(stderr);
}



void KC_PlatformDebugBreak()
{
	std::raise(SIGTRAP);
}

// Files: a handle holds the file descriptor.

namespace
{
int Descriptor(KC_FileHandle aHandle)
{
	return static_cast<int>(reinterpret_cast<intptr_t>(aHandle));
}

KC_FileHandle HandleOf(int aDescriptor)
{
	return reinterpret_cast<KC_FileHandle>(static_cast<intptr_t>(aDescriptor));
}

// A path with Windows separators turned into slashes; Valid() is false when it does not fit.
class PosixPath
{
public:
	explicit PosixPath(const char* aPath)
		: myValid(false)
	{
		size_t locLength = std::strlen(aPath);
		if (locLength >= sizeof(myText))
			return;
		for (size_t i = 0; i <= locLength; ++i)
			myText[i] = aPath[i] == '\\' ? '/' : aPath[i];
		myValid = true;
	}
	bool Valid() const { return myValid; }
	operator const char*() const { return myText; }

private:
	char myText[4096];
	bool myValid;
};

bool ToCalendar(time_t aTime, KC_PlatformTime* aResult)
{
	struct tm locParts;
	if (!gmtime_r(&aTime, &locParts))
		return false;
	aResult->myYear = locParts.tm_year + 1900;
	aResult->myMonth = locParts.tm_mon + 1;
	aResult->myDay = locParts.tm_mday;
	aResult->myHour = locParts.tm_hour;
	aResult->myMinute = locParts.tm_min;
	aResult->mySecond = locParts.tm_sec;
	return true;
}
}

KC_FileHandle KC_PlatformOpenFile(const char* aName, KC_FileOpenMode aMode)
{
	PosixPath locPath(aName);
	if (!locPath.Valid())
		return KC_INVALID_FILE_HANDLE;
	int locFlags = O_RDONLY;
	if (aMode == KC_FILE_CREATE)
		locFlags = O_RDWR | O_CREAT | O_TRUNC;
	else if (aMode == KC_FILE_OPEN_ALWAYS)
		locFlags = O_RDWR | O_CREAT;
	int locDescriptor;
	do
		locDescriptor = open(locPath, locFlags | O_CLOEXEC, 0644);
	while (locDescriptor < 0 && errno == EINTR);
	if (locDescriptor < 0)
		return KC_INVALID_FILE_HANDLE;
	struct stat locInfo;
	if (fstat(locDescriptor, &locInfo) != 0 || !S_ISREG(locInfo.st_mode))
	{
		close(locDescriptor);
		return KC_INVALID_FILE_HANDLE;
	}
	return HandleOf(locDescriptor);
}

void KC_PlatformCloseFile(KC_FileHandle aHandle)
{
	if (aHandle != KC_INVALID_FILE_HANDLE)
		close(Descriptor(aHandle));
}

bool KC_PlatformReadFile(KC_FileHandle aHandle, void* aBuffer, uint32_t aCount, uint32_t* aDone)
{
	*aDone = 0;
	char* locBuffer = static_cast<char*>(aBuffer);
	while (*aDone < aCount)
	{
		ssize_t locRead = read(Descriptor(aHandle), locBuffer + *aDone, aCount - *aDone);
		if (locRead < 0 && errno == EINTR)
			continue;
		if (locRead < 0)
			return false;
		if (locRead == 0)
			break;
		*aDone += static_cast<uint32_t>(locRead);
	}
	return true;
}

bool KC_PlatformWriteFile(KC_FileHandle aHandle, const void* aBuffer, uint32_t aCount, uint32_t* aDone)
{
	*aDone = 0;
	const char* locBuffer = static_cast<const char*>(aBuffer);
	while (*aDone < aCount)
	{
		ssize_t locWritten = write(Descriptor(aHandle), locBuffer + *aDone, aCount - *aDone);
		if (locWritten < 0 && errno == EINTR)
			continue;
		if (locWritten <= 0)
			return false;
		*aDone += static_cast<uint32_t>(locWritten);
	}
	return true;
}

bool KC_PlatformSeekFile(KC_FileHandle aHandle, int64_t anOffset, int anOrigin)
{
	int locWhence = anOrigin == 0 ? SEEK_SET : anOrigin == 1 ? SEEK_CUR : SEEK_END;
	return lseek(Descriptor(aHandle), static_cast<off_t>(anOffset), locWhence) >= 0;
}

bool KC_PlatformTruncateFile(KC_FileHandle aHandle)
{
	off_t locPosition = lseek(Descriptor(aHandle), 0, SEEK_CUR);
	return locPosition >= 0 && ftruncate(Descriptor(aHandle), locPosition) == 0;
}

bool KC_PlatformGetFileSize(KC_FileHandle aHandle, uint64_t* aSize)
{
	struct stat locInfo;
	if (fstat(Descriptor(aHandle), &locInfo) != 0)
		return false;
	*aSize = static_cast<uint64_t>(locInfo.st_size);
	return true;
}

bool KC_PlatformGetFileWriteTime(KC_FileHandle aHandle, KC_PlatformTime* aTime)
{
	struct stat locInfo;
	return fstat(Descriptor(aHandle), &locInfo) == 0 && ToCalendar(locInfo.st_mtime, aTime);
}

bool KC_PlatformFindFile(const char* aName, uint64_t* aSize, KC_PlatformTime* aTime)
{
	PosixPath locPath(aName);
	struct stat locInfo;
	if (!locPath.Valid() || stat(locPath, &locInfo) != 0)
		return false;
	*aSize = S_ISREG(locInfo.st_mode) ? static_cast<uint64_t>(locInfo.st_size) : 0;
	if (!ToCalendar(locInfo.st_mtime, aTime))
		*aTime = KC_PlatformTime();
	return true;
}

bool KC_PlatformMakeDirectory(const char* aPath)
{
	PosixPath locPath(aPath);
	return locPath.Valid() && mkdir(locPath, 0755) == 0;
}

bool KC_PlatformListDirectory(const char* aPath, KC_DirectoryVisitor aVisitor, void* aContext)
{
	PosixPath locPath(aPath);
	DIR* locDirectory = locPath.Valid() ? opendir(locPath) : NULL;
	if (!locDirectory)
		return false;
	while (struct dirent* locEntry = readdir(locDirectory))
	{
		if (std::strcmp(locEntry->d_name, ".") == 0 || std::strcmp(locEntry->d_name, "..") == 0)
			continue;
		struct stat locInfo;
		if (fstatat(dirfd(locDirectory), locEntry->d_name, &locInfo, 0) != 0)
			continue;
		aVisitor(aContext, locEntry->d_name, S_ISDIR(locInfo.st_mode));
	}
	closedir(locDirectory);
	return true;
}

bool KC_PlatformReplaceFile(const char* aSource, const char* aTarget)
{
	return std::rename(aSource, aTarget) == 0;
}

void* KC_PlatformAllocatePages(size_t aSize)
{
	int locFlags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_POPULATE
	// One call backs every page: cheaper than a fault per page on first touch.
	locFlags |= MAP_POPULATE;
#endif
	void* locPages = mmap(NULL, aSize, PROT_READ | PROT_WRITE, locFlags, -1, 0);
	return locPages == MAP_FAILED ? NULL : locPages;
}

void KC_PlatformFreePages(void* aPages, size_t aSize)
{
	if (aPages)
		munmap(aPages, aSize);
}

void* KC_PlatformReservePages(size_t aSize)
{
	// Inaccessible pages cost no memory and count against no commit limit;
	// the alignment more than asked, then the parts before and after the
	// aligned range go back. A reservation of whole 2 MiB pieces is aligned to
	// them and asks for huge pages: each piece committed at once is then
	// backed by one page, far cheaper than 512 small ones.
	const uintptr_t locHuge = 2u << 20;
	const uintptr_t locAlignment = aSize % locHuge == 0 ? locHuge : (1u << 16);
	void* locRange = mmap(NULL, aSize + locAlignment, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
	if (locRange == MAP_FAILED)
		return NULL;
	uintptr_t locStart = reinterpret_cast<uintptr_t>(locRange);
	uintptr_t locAligned = (locStart + locAlignment - 1) & ~(locAlignment - 1);
	if (locAligned > locStart)
		munmap(locRange, locAligned - locStart);
	if (locAligned < locStart + locAlignment)
		munmap(reinterpret_cast<void*>(locAligned + aSize), locStart + locAlignment - locAligned);
#ifdef MADV_HUGEPAGE
	if (locAlignment == locHuge)
		madvise(reinterpret_cast<void*>(locAligned), aSize, MADV_HUGEPAGE);
#endif
	return reinterpret_cast<void*>(locAligned);
}

bool KC_PlatformCommitPages(void* aPages, size_t aSize)
{
	if (mprotect(aPages, aSize, PROT_READ | PROT_WRITE) != 0)
		return false;
	KC_PlatformPrepareBlock(aPages, aSize);
	return true;
}

void KC_PlatformDecommitPages(void* aPages, size_t aSize)
{
	// The pages stay writable: committing them again needs no change of the
	// mapping, only their memory.
	madvise(aPages, aSize, MADV_DONTNEED);
}

void KC_PlatformReleasePages(void* aPages, size_t aSize)
{
	if (aPages)
		munmap(aPages, aSize);
}

void KC_PlatformPrepareBlock(void* aBlock, size_t aSize)
{
#ifdef MADV_POPULATE_WRITE
	// madvise takes whole pages: the ones that lie entirely inside the block.
	const uintptr_t locPage = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
	uintptr_t locStart = (reinterpret_cast<uintptr_t>(aBlock) + locPage - 1) & ~(locPage - 1);
	uintptr_t locEnd = (reinterpret_cast<uintptr_t>(aBlock) + aSize) & ~(locPage - 1);
#ifdef MADV_HUGEPAGE
	// The 2 MiB pieces that lie entirely inside a large block may each be
	// backed by one huge page.
	const uintptr_t locHuge = 2u << 20;
	uintptr_t locHugeStart = (locStart + locHuge - 1) & ~(locHuge - 1);
	uintptr_t locHugeEnd = locEnd & ~(locHuge - 1);
	if (locHugeEnd > locHugeStart)
		madvise(reinterpret_cast<void*>(locHugeStart), locHugeEnd - locHugeStart, MADV_HUGEPAGE);
#endif
	if (locEnd > locStart)
		madvise(reinterpret_cast<void*>(locStart), locEnd - locStart, MADV_POPULATE_WRITE);
#else
	(void)aBlock;
	(void)aSize;
#endif
}
