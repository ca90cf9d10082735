#include "kf_file.h"

#include "kc_assert.h"
#include "kc_bytes.h"
#include "kf_sdf.h"

#include <cstring>
#include <new>

// The handle value that marks a file without an open handle.
#ifndef INVALID_HANDLE_VALUE
#define INVALID_HANDLE_VALUE KC_INVALID_FILE_HANDLE
#endif

namespace
{
int ourLastError = KF_ERROR_NONE;

const unsigned int ourWriteGrowStep = 65536;
const uint64_t ourFourGiB = 0x100000000ULL;

// Line continuation states: the last ReadLine stopped without a line end; with
// the second, the last byte it read was a CR whose LF is still to come.
const unsigned char ourLineContinues = 1;
const unsigned char ourLineContinuesAfterCR = 2;

// How many bytes ReadLine wants at hand before it reads a line of a streaming file.
const unsigned int ourLineLookAhead = KF_File::KF_WINDOW_SIZE / 4;

bool IsWhiteSpace(unsigned char aByte)
{
	return aByte < 33;
}

// Reports a failed invariant whose condition cannot be written as one expression.
void FailCheck(int aLine, const char* anExpression)
{
	static unsigned char ourIgnoreFlag = 0;
	if (!ourIgnoreFlag && KC_AssertFailed(__FILE__, aLine, anExpression, &ourIgnoreFlag))
		KC_DebugBreak();
}

unsigned int StampFromHandle(KC_FileHandle aHandle)
{
	KC_PlatformTime locTime;
	if (!KC_PlatformGetFileWriteTime(aHandle, &locTime))
		return 0;
	return KF_MakeTimeStamp(locTime);
}

// Size, time stamp and holding archive of a name, searched like Open.
bool Locate(const char* aFileName, unsigned int* aTime, unsigned int* aSize, char* anArchivePath,
            unsigned int aPathSize)
{
	const char* locArchive = "";
	KF_SDFEntry locEntry;
	uint64_t locSize = 0;
	unsigned int locTime = 0;
	KC_PlatformTime locDiskTime;
	if (!aFileName)
	{
		ourLastError = KF_ERROR_NOT_FOUND;
		return false;
	}
	if (KF_SDF::FindEntry(aFileName, true, &locArchive, &locEntry))
	{
		locSize = locEntry.myUnpackedSize;
		locTime = locEntry.myTimeStamp;
	}
	else if (KC_PlatformFindFile(aFileName, &locSize, &locDiskTime))
	{
		if (locSize >= ourFourGiB)
		{
			ourLastError = KF_ERROR_TOO_LARGE;
			return false;
		}
		locArchive = "";
		locTime = KF_MakeTimeStamp(locDiskTime);
	}
	else if (KF_SDF::FindEntry(aFileName, false, &locArchive, &locEntry))
	{
		locSize = locEntry.myUnpackedSize;
		locTime = locEntry.myTimeStamp;
	}
	else
	{
		ourLastError = KF_ERROR_NOT_FOUND;
		return false;
	}
	if (aTime)
		*aTime = locTime;
	if (aSize)
		*aSize = static_cast<unsigned int>(locSize);
	if (anArchivePath && aPathSize > 0)
	{
		std::strncpy(anArchivePath, locArchive, aPathSize - 1);
		anArchivePath[aPathSize - 1] = 0;
	}
	return true;
}
}

int KF_GetLastError()
{
	return ourLastError;
}

void KF_SetLastError(int aCode)
{
	ourLastError = aCode;
}

unsigned int KF_MakeTimeStamp(const KC_PlatformTime& aTime)
{
	if (aTime.myYear < 2000 || aTime.myYear > 2133 || aTime.myMonth < 1 || aTime.myMonth > 12 ||
	    aTime.myDay < 1 || aTime.myDay > 31 || aTime.myHour < 0 || aTime.myHour > 23 ||
	    aTime.myMinute < 0 || aTime.myMinute > 59 || aTime.mySecond < 0 || aTime.mySecond > 59)
		return 0;
	uint64_t locDays = static_cast<uint64_t>(aTime.myYear - 2000) * 372 + (aTime.myMonth - 1) * 31 + (aTime.myDay - 1);
	uint64_t locSeconds = ((locDays * 24 + aTime.myHour) * 60 + aTime.myMinute) * 60 + aTime.mySecond;
	// The last months of 2133 do not fit: they keep the largest stamp so that
	// comparisons stay in order.
	return locSeconds > 0xFFFFFFFFULL ? 0xFFFFFFFFU : static_cast<unsigned int>(locSeconds);
}

KF_File::KF_File()
	: myFlags(KFILE_NOT_OPEN)
	, myData(NULL)
	, myFileSize(0)
	, myFilePos(0)
	, myTimeStamp(0)
	, myCapacity(0)
	, myFileHand(INVALID_HANDLE_VALUE)
	, myLineContinues(0)
	, myWindow(NULL)
	, myWindowStart(0)
	, myWindowFill(0)
{
}

KF_File::~KF_File()
{
	if (myFlags != KFILE_NOT_OPEN)
		Close();
}

bool KF_File::Open(const char* aFileName, unsigned int aMode)
{
	KC_ASSERT(!(aMode & OPEN_COMPRESSED) || !(aMode & OPEN_STREAMING));
	if (myFlags != KFILE_NOT_OPEN)
		Close();
	if (aMode & OPEN_APPEND)
		aMode |= OPEN_WRITE | OPEN_KEEP_EXISTING;
	else if (!(aMode & OPEN_WRITE))
		aMode |= OPEN_READ;
	myFlags = aMode;
	ourLastError = KF_ERROR_NONE;
	if (!aFileName)
	{
		myFlags = KFILE_NOT_OPEN;
		ourLastError = KF_ERROR_NOT_FOUND;
		return false;
	}
	return (aMode & OPEN_WRITE) ? OpenForWriting(aFileName) : OpenForReading(aFileName);
}

bool KF_File::OpenForReading(const char* aFileName)
{
	if (KF_SDF::OpenEntry(aFileName, this, true))
	{
		myFilePos = 0;
		return true;
	}
	if (ourLastError != KF_ERROR_NOT_FOUND)
	{
		// The archive holds the name but cannot deliver it.
		int locError = ourLastError;
		Close();
		ourLastError = locError;
		return false;
	}
	ourLastError = KF_ERROR_NONE;

	KC_FileHandle locHandle = KC_PlatformOpenFile(aFileName, KC_FILE_READ_SHARED);
	if (locHandle == KC_INVALID_FILE_HANDLE)
	{
		if (KF_SDF::OpenEntry(aFileName, this, false))
		{
			myFilePos = 0;
			return true;
		}
		int locError = ourLastError != KF_ERROR_NONE ? ourLastError : KF_ERROR_NOT_FOUND;
		Close();
		ourLastError = locError;
		return false;
	}

	uint64_t locSize = 0;
	if (!KC_PlatformGetFileSize(locHandle, &locSize) || locSize >= ourFourGiB)
	{
		KC_PlatformCloseFile(locHandle);
		myFlags = KFILE_NOT_OPEN;
		ourLastError = locSize >= ourFourGiB ? KF_ERROR_TOO_LARGE : KF_ERROR_READ;
		return false;
	}
	myFileSize = static_cast<unsigned int>(locSize);
	myCapacity = myFileSize;
	myTimeStamp = StampFromHandle(locHandle);
	myFilePos = 0;
	myFileHand = locHandle;
	if (myFlags & OPEN_STREAMING)
		return true;

	myFileHand = INVALID_HANDLE_VALUE;
	if (myFileSize > 0)
	{
		myData = new (std::nothrow) unsigned char[myFileSize];
		if (!myData)
		{
			KC_PlatformCloseFile(locHandle);
			Close();
			ourLastError = KF_ERROR_READ;
			return false;
		}
		KC_PlatformPrepareBlock(myData, myFileSize);
		uint32_t locRead = 0;
		KC_PlatformReadFile(locHandle, myData, myFileSize, &locRead);
		if (locRead != myFileSize)
		{
			// The object stays open with what was read.
			KC_PlatformCloseFile(locHandle);
			myFileSize = locRead;
			ourLastError = KF_ERROR_READ;
			return false;
		}
	}
	KC_PlatformCloseFile(locHandle);
	return true;
}

bool KF_File::OpenForWriting(const char* aFileName)
{
	KC_ASSERT(!(myFlags & OPEN_STREAMING));
	KC_ASSERT(!(myFlags & OPEN_COMPRESSED));
	MakeDirectories(aFileName);

	KC_FileHandle locHandle = KC_PlatformOpenFile(
		aFileName, (myFlags & OPEN_KEEP_EXISTING) ? KC_FILE_OPEN_ALWAYS : KC_FILE_CREATE);
	if (locHandle == KC_INVALID_FILE_HANDLE)
	{
		myFlags = KFILE_NOT_OPEN;
		ourLastError = KF_ERROR_NOT_FOUND;
		return false;
	}
	uint64_t locSize = 0;
	if (!KC_PlatformGetFileSize(locHandle, &locSize) || locSize >= ourFourGiB)
	{
		// Closed without writing, so an existing file keeps its content.
		KC_PlatformCloseFile(locHandle);
		myFlags = KFILE_NOT_OPEN;
		ourLastError = locSize >= ourFourGiB ? KF_ERROR_TOO_LARGE : KF_ERROR_READ;
		return false;
	}
	if (locSize > 0)
	{
		unsigned int locCount = static_cast<unsigned int>(locSize);
		myData = new (std::nothrow) unsigned char[locCount];
		uint32_t locRead = 0;
		if (myData)
			KC_PlatformReadFile(locHandle, myData, locCount, &locRead);
		if (!myData || locRead != locCount)
		{
			KC_PlatformCloseFile(locHandle);
			delete[] myData;
			myData = NULL;
			myFlags = KFILE_NOT_OPEN;
			ourLastError = KF_ERROR_READ;
			return false;
		}
		myFileSize = locCount;
		myCapacity = locCount;
	}
	myTimeStamp = StampFromHandle(locHandle);
	myFileHand = locHandle;
	myFilePos = (myFlags & OPEN_APPEND) ? myFileSize : 0;
	return true;
}

bool KF_File::Close()
{
	if (myFlags == KFILE_NOT_OPEN)
	{
		ourLastError = KF_ERROR_NOT_OPEN;
		return false;
	}
	bool locWritten = true;
	if ((myFlags & OPEN_WRITE) && myFileHand != INVALID_HANDLE_VALUE)
	{
		uint32_t locDone = 0;
		locWritten = KC_PlatformSeekFile(myFileHand, 0, 0) &&
		             (myFileSize == 0 || KC_PlatformWriteFile(myFileHand, myData, myFileSize, &locDone)) &&
		             KC_PlatformTruncateFile(myFileHand);
		if (!locWritten)
			ourLastError = KF_ERROR_READ;
	}
	delete[] myData;
	myData = NULL;
	if (myFileHand != INVALID_HANDLE_VALUE)
		KC_PlatformCloseFile(myFileHand);
	myFileHand = INVALID_HANDLE_VALUE;
	myFlags = KFILE_NOT_OPEN;
	myLineContinues = 0;
	delete[] myWindow;
	myWindow = NULL;
	myWindowStart = 0;
	myWindowFill = 0;
	myFileSize = 0;
	myFilePos = 0;
	myCapacity = 0;
	myTimeStamp = 0;
	return locWritten;
}

unsigned int KF_File::Read(void* aDestination, unsigned int aCount)
{
	KC_ASSERT(myFlags & OPEN_READ);
	if (aCount == 0 || myFilePos >= myFileSize)
		return 0;
	if (aCount > myFileSize - myFilePos)
		aCount = myFileSize - myFilePos;
	if (myData)
		std::memcpy(aDestination, myData + myFilePos, aCount);
	else
		aCount = ReadStreaming(aDestination, aCount);
	myFilePos += aCount;
	return aCount;
}

// What the window holds from the position on, then the rest straight from the
// handle, which stands at the window's end.
unsigned int KF_File::ReadStreaming(void* aDestination, unsigned int aCount)
{
	unsigned int locAtHand = myWindowStart + myWindowFill - myFilePos;
	unsigned int locCopied = aCount < locAtHand ? aCount : locAtHand;
	if (locCopied > 0)
		std::memcpy(aDestination, myWindow + (myFilePos - myWindowStart), locCopied);
	if (locCopied == aCount)
		return aCount;
	KC_ASSERT(myFileHand != INVALID_HANDLE_VALUE);
	uint32_t locRead = 0;
	if (!KC_PlatformReadFile(myFileHand, static_cast<unsigned char*>(aDestination) + locCopied, aCount - locCopied,
	                         &locRead) ||
	    locRead != aCount - locCopied)
		ourLastError = KF_ERROR_READ;
	myWindowStart = myFilePos + locCopied + locRead;
	myWindowFill = 0;
	return locCopied + locRead;
}

const unsigned char* KF_File::Peek(unsigned int aWanted, unsigned int& anAvailable)
{
	KC_ASSERT(myFlags & OPEN_READ);
	anAvailable = 0;
	if (myFilePos >= myFileSize)
		return NULL;
	if (myData)
	{
		anAvailable = myFileSize - myFilePos;
		return myData + myFilePos;
	}
	if (myFileHand == INVALID_HANDLE_VALUE)
		return NULL;
	if (aWanted > KF_WINDOW_SIZE)
		aWanted = KF_WINDOW_SIZE;
	unsigned int locAtHand = myWindowStart + myWindowFill - myFilePos;
	unsigned int locLeft = myFileSize - myFilePos;
	if (locAtHand < aWanted && locAtHand < locLeft)
	{
		if (!myWindow && !(myWindow = new (std::nothrow) unsigned char[KF_WINDOW_SIZE]))
		{
			// Nothing can be read: the file ends here.
			ourLastError = KF_ERROR_READ;
			myFileSize = myFilePos;
			return NULL;
		}
		// The bytes at hand move to the front; the rest of the window is read.
		std::memmove(myWindow, myWindow + (myFilePos - myWindowStart), locAtHand);
		myWindowStart = myFilePos;
		myWindowFill = locAtHand;
		unsigned int locCount = KF_WINDOW_SIZE - locAtHand;
		if (locCount > locLeft - locAtHand)
			locCount = locLeft - locAtHand;
		uint32_t locRead = 0;
		if (!KC_PlatformReadFile(myFileHand, myWindow + locAtHand, locCount, &locRead) || locRead != locCount)
		{
			// The file ends where reading failed, so that readers of lines come to its end.
			ourLastError = KF_ERROR_READ;
			myFileSize = myFilePos + locAtHand + locRead;
		}
		myWindowFill += locRead;
		locAtHand = myWindowFill;
	}
	anAvailable = locAtHand;
	return locAtHand > 0 ? myWindow + (myFilePos - myWindowStart) : NULL;
}

bool KF_File::ReadInt(int* aDestination)
{
	unsigned char locBytes[4];
	if (Read(locBytes, 4) != 4)
		return false;
	*aDestination = static_cast<int>(KC_GetLittle32(locBytes));
	return true;
}

bool KF_File::Write(const void* aSource, unsigned int aCount)
{
	KC_ASSERT(myFlags & OPEN_WRITE);
	if (aCount == 0)
		return true;
	uint64_t locEnd = static_cast<uint64_t>(myFilePos) + aCount;
	if (locEnd > myCapacity)
	{
		uint64_t locCapacity = myCapacity;
		while (locCapacity < locEnd)
			locCapacity += ourWriteGrowStep;
		unsigned char* locData = NULL;
		if (locCapacity < ourFourGiB)
			locData = new (std::nothrow) unsigned char[static_cast<size_t>(locCapacity)];
		if (!locData)
		{
			ourLastError = KF_ERROR_OUT_OF_MEMORY;
			return false;
		}
		if (myData)
			std::memcpy(locData, myData, myFileSize);
		delete[] myData;
		myData = locData;
		myCapacity = static_cast<unsigned int>(locCapacity);
	}
	std::memcpy(myData + myFilePos, aSource, aCount);
	myFilePos += aCount;
	if (myFilePos > myFileSize)
		myFileSize = myFilePos;
	return true;
}

bool KF_File::Seek(int anOffset, int anOrigin)
{
	KC_ASSERT(myFlags != KFILE_NOT_OPEN);
	int64_t locTarget;
	if (anOrigin == 0)
		locTarget = anOffset;
	else if (anOrigin == 1)
		locTarget = static_cast<int64_t>(myFilePos) + anOffset;
	else if (anOrigin == 2)
		locTarget = static_cast<int64_t>(myFileSize) - anOffset;
	else
		return false;
	if (locTarget < 0 || locTarget > static_cast<int64_t>(myFileSize))
	{
		FailCheck(__LINE__, "myFilePos <= myFileSize");
		return false;
	}
	// A streaming file moves within its window, or else moves the handle, which
	// stands at the window's end, and starts an empty window there.
	int64_t locHandleAt = static_cast<int64_t>(myWindowStart) + myWindowFill;
	if (myFileHand != INVALID_HANDLE_VALUE && (myFlags & OPEN_STREAMING) &&
	    (locTarget < static_cast<int64_t>(myWindowStart) || locTarget > locHandleAt))
	{
		if (!KC_PlatformSeekFile(myFileHand, locTarget - locHandleAt, 1))
		{
			ourLastError = KF_ERROR_READ;
			return false;
		}
		myWindowStart = static_cast<unsigned int>(locTarget);
		myWindowFill = 0;
	}
	myFilePos = static_cast<unsigned int>(locTarget);
	return true;
}

unsigned int KF_File::GetPosition() const
{
	KC_ASSERT(myFlags != KFILE_NOT_OPEN);
	return myFilePos;
}

namespace
{
// The bytes of a file from its position on, as Peek gives them: in memory the
// rest of the file, streaming the window, refilled at its end. Finish moves the
// file's position past the bytes taken.
struct WindowBytes
{
	KF_File& myFile;
	const unsigned char* myStart;
	const unsigned char* myAt;
	const unsigned char* myEnd;
	bool Next(unsigned char* aByte)
	{
		if (myAt == myEnd && !Refill())
			return false;
		*aByte = *myAt++;
		return true;
	}
	bool Refill()
	{
		Finish();
		unsigned int locCount = 0;
		const unsigned char* locBytes = myFile.Peek(KF_File::KF_WINDOW_SIZE, locCount);
		if (!locBytes)
			return false;
		myStart = myAt = locBytes;
		myEnd = locBytes + locCount;
		return true;
	}
	void Finish()
	{
		if (myAt != myStart)
			myFile.Seek(static_cast<int>(myAt - myStart), 1);
		myStart = myAt;
	}
};

// One line into aBuffer (size above 0): leading blanks and "//" comments dropped,
// trailing blanks trimmed, lines of nothing else skipped. Returns the new
// continuation state.
template <class Bytes>
unsigned char ScanLine(Bytes& aBytes, char* aBuffer, unsigned int aBufferSize, unsigned char aContinues)
{
	unsigned int locCount = 0;
	bool locSkipBlank = aContinues == 0;
	bool locAfterCR = aContinues == ourLineContinuesAfterCR;
	bool locInComment = false;
	for (;;)
	{
		if (locCount + 1 >= aBufferSize)
		{
			aBuffer[locCount] = 0;
			return locAfterCR ? ourLineContinuesAfterCR : ourLineContinues;
		}
		unsigned char locByte;
		if (!aBytes.Next(&locByte))
		{
			aBuffer[locCount] = 0;
			return ourLineContinues;
		}
		if (locByte == '\n' && locAfterCR)
		{
			while (locCount > 0 && IsWhiteSpace(static_cast<unsigned char>(aBuffer[locCount - 1])))
				--locCount;
			if (locCount > 0)
			{
				aBuffer[locCount] = 0;
				return 0;
			}
			// Only white space and comments: go on with the next line.
			locSkipBlank = true;
			locInComment = false;
			locAfterCR = false;
			continue;
		}
		locAfterCR = locByte == '\r';
		if (locInComment || (locSkipBlank && IsWhiteSpace(locByte)))
			continue;
		locSkipBlank = false;
		if (locByte == '/' && locCount > 0 && aBuffer[locCount - 1] == '/')
		{
			--locCount;
			locInComment = true;
			continue;
		}
		aBuffer[locCount++] = static_cast<char>(locByte);
	}
}
}

namespace
{
// The common line at once: after the blanks that lead it, text without "//"
// up to a CR LF, with room in aBuffer. False, with aPos unchanged, for every
// other case, which ScanLine reads byte by byte to the same result.
bool ScanPlainLine(const unsigned char* aData, unsigned int& aPos, unsigned int aSize, char* aBuffer,
                   unsigned int aBufferSize)
{
	unsigned int locPos = aPos;
	while (locPos < aSize && IsWhiteSpace(aData[locPos]))
		++locPos;
	if (locPos >= aSize)
		return false;
	const unsigned char* locStart = aData + locPos;
	const unsigned char* locFeed = static_cast<const unsigned char*>(std::memchr(locStart, '\n', aSize - locPos));
	if (!locFeed || locFeed[-1] != '\r')
		return false;
	size_t locLength = static_cast<size_t>(locFeed - locStart);
	if (locLength + 2 > aBufferSize)
		return false;
	for (const unsigned char* locSlash = locStart;
	     (locSlash = static_cast<const unsigned char*>(std::memchr(locSlash, '/', locFeed - locSlash))) != NULL;
	     ++locSlash)
	{
		if (locSlash + 1 < locFeed && locSlash[1] == '/')
			return false;
	}
	// The CR and any blanks before it are trimmed; the first byte is no blank.
	while (IsWhiteSpace(locStart[locLength - 1]))
		--locLength;
	std::memcpy(aBuffer, locStart, locLength);
	aBuffer[locLength] = 0;
	aPos = static_cast<unsigned int>(locFeed - aData) + 1;
	return true;
}
}

void KF_File::ReadLine(char* aBuffer, unsigned int aBufferSize)
{
	KC_ASSERT(myFlags & OPEN_READ);
	if (!aBuffer || aBufferSize == 0)
		return;
	aBuffer[0] = 0;
	if (myFilePos >= myFileSize)
		return;
	// A line that lies whole in the bytes at hand is taken at once.
	unsigned int locCount = 0;
	const unsigned char* locData = Peek(ourLineLookAhead, locCount);
	unsigned int locUsed = 0;
	if (myLineContinues == 0 && locData && ScanPlainLine(locData, locUsed, locCount, aBuffer, aBufferSize))
	{
		myFilePos += locUsed;
		return;
	}
	WindowBytes locBytes = {*this, locData, locData, locData ? locData + locCount : NULL};
	myLineContinues = ScanLine(locBytes, aBuffer, aBufferSize, myLineContinues);
	locBytes.Finish();
}

bool FileExists(const char* aFileName)
{
	return Locate(aFileName, NULL, NULL, NULL, 0);
}

bool GetFileTime(const char* aFileName, unsigned int* aTime)
{
	return Locate(aFileName, aTime, NULL, NULL, 0);
}

bool GetFileInfo(const char* aFileName, unsigned int* aTime, unsigned int* aSize, char* anArchivePath,
                 unsigned int aPathSize)
{
	return Locate(aFileName, aTime, aSize, anArchivePath, aPathSize);
}

void MakeDirectories(const char* aPath)
{
	if (!aPath)
		return;
	char locPath[KF_MAX_PATH];
	std::strncpy(locPath, aPath, KF_MAX_PATH - 1);
	locPath[KF_MAX_PATH - 1] = 0;
	for (char* locByte = locPath; *locByte; ++locByte)
	{
		if (*locByte != '/' && *locByte != '\\')
			continue;
		if (locByte == locPath)
			continue;
		char locSeparator = *locByte;
		*locByte = 0;
		KC_PlatformMakeDirectory(locPath);
		*locByte = locSeparator;
	}
}
