#include "kf_sdf.h"

#include "kc_assert.h"
#include "kc_bytes.h"
#include "kf_file.h"

#include "LzmaDec.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <new>

// The handle value that marks a file without an open handle.
#ifndef INVALID_HANDLE_VALUE
#define INVALID_HANDLE_VALUE KC_INVALID_FILE_HANDLE
#endif

KF_SDF* KF_SDF::ourFirst = NULL;

namespace
{
// Zero bytes kept behind the directory block: an entry record that starts at
// the block's end (the furthest the checks allow) reads its fields and an empty,
// terminated name from them, and every text in the block is terminated.
const uint32_t ourBlockPadding = 24;

// The most that one stored byte unpacks to: deflate cannot exceed 1032 to 1,
// LZMA with its 11-bit probabilities about 7100 to 1. Larger claims are corrupt
// and are refused before any buffer is allocated for them.
const uint64_t ourZlibRatio = 1032;
const uint64_t ourLzmaRatio = 16384;
const uint64_t ourRatioSlack = 64;

const uint32_t ourLzmaPropertiesSize = 5;

// Copies a path of at most KF_MAX_PATH - 1 bytes with backslashes turned into
// slashes. A longer path is refused rather than cut, so that it never names
// another file.
bool CopyPath(const char* aPath, char* aBuffer)
{
	for (unsigned int i = 0; i < KF_MAX_PATH; ++i)
	{
		aBuffer[i] = aPath[i] == '\\' ? '/' : aPath[i];
		if (aPath[i] == 0)
			return true;
	}
	aBuffer[0] = 0;
	return false;
}

void* LzmaAlloc(void*, size_t aSize)
{
	return std::malloc(aSize);
}

void LzmaFree(void*, void* anAddress)
{
	std::free(anAddress);
}

ISzAlloc ourLzmaAllocator = {LzmaAlloc, LzmaFree};

bool PlausibleSize(int aMethod, uint32_t aStoredSize, uint32_t anUnpackedSize)
{
	uint64_t locRatio = aMethod == KF_SDF_ZLIB ? ourZlibRatio : ourLzmaRatio;
	return anUnpackedSize <= aStoredSize * locRatio + ourRatioSlack;
}

// Unpacks exactly aDestinationSize bytes with method 1 or 2.
bool Unpack(int aMethod, const unsigned char* aSource, uint32_t aSourceSize, unsigned char* aDestination,
            uint32_t aDestinationSize)
{
	unsigned char locNothing = 0;
	unsigned char* locDestination = aDestinationSize ? aDestination : &locNothing;
	if (aMethod == KF_SDF_ZLIB)
	{
		uLongf locLength = aDestinationSize;
		int locResult = uncompress(locDestination, &locLength, aSource, aSourceSize);
		return locResult == Z_OK && locLength == aDestinationSize;
	}
	if (aMethod == KF_SDF_LZMA)
	{
		if (aSourceSize < ourLzmaPropertiesSize)
			return false;
		SizeT locLength = aDestinationSize;
		SizeT locSourceLength = aSourceSize - ourLzmaPropertiesSize;
		ELzmaStatus locStatus;
		SRes locResult = LzmaDecode(locDestination, &locLength, aSource + ourLzmaPropertiesSize, &locSourceLength,
		                            aSource, ourLzmaPropertiesSize, LZMA_FINISH_ANY, &locStatus, &ourLzmaAllocator);
		return locResult == SZ_OK && locLength == aDestinationSize;
	}
	return false;
}

void ParseEntry(const unsigned char* aRecord, const unsigned char* aBlock, KF_SDFEntry* anEntry)
{
	uint32_t locStored = KC_GetLittle32(aRecord + 8);
	anEntry->myTimeStamp = KC_GetLittle32(aRecord);
	anEntry->myUnpackedSize = KC_GetLittle32(aRecord + 4);
	anEntry->myStoredSize = locStored & KF_SDF_SIZE_MASK;
	anEntry->myMethod = static_cast<int>(locStored >> KF_SDF_METHOD_SHIFT);
	anEntry->myDataOffset = KC_GetLittle32(aRecord + 12);
	anEntry->myFolderPath = reinterpret_cast<const char*>(aBlock + KC_GetLittle32(aRecord + 16));
	anEntry->myFileName = reinterpret_cast<const char*>(aRecord + 20);
}

// Whether a name (slashes only) is the entry's folder path, a slash and its file name.
bool NameMatches(const char* aName, const KF_SDFEntry& anEntry)
{
	if (anEntry.myFolderPath[0] == 0)
		return KC_PlatformCompareNoCase(aName, anEntry.myFileName) == 0;
	size_t locFolderLength = std::strlen(anEntry.myFolderPath);
	size_t locNameLength = std::strlen(aName);
	if (locFolderLength >= locNameLength || aName[locFolderLength] != '/')
		return false;
	char locFolder[KF_MAX_PATH];
	std::memcpy(locFolder, aName, locFolderLength);
	locFolder[locFolderLength] = 0;
	return KC_PlatformCompareNoCase(locFolder, anEntry.myFolderPath) == 0 &&
	       KC_PlatformCompareNoCase(aName + locFolderLength + 1, anEntry.myFileName) == 0;
}
}

uint32_t KF_SDFNameChecksum(const char* aPath)
{
	uLong locChecksum = adler32(0L, Z_NULL, 0);
	unsigned char locChunk[256];
	unsigned int locCount = 0;
	for (const char* locByte = aPath; *locByte; ++locByte)
	{
		char locCharacter = *locByte == '\\' ? '/' : *locByte;
		if (locCharacter >= 'a' && locCharacter <= 'z')
			locCharacter = static_cast<char>(locCharacter - 'a' + 'A');
		locChunk[locCount++] = static_cast<unsigned char>(locCharacter);
		if (locCount == sizeof(locChunk))
		{
			locChecksum = adler32(locChecksum, locChunk, locCount);
			locCount = 0;
		}
	}
	return static_cast<uint32_t>(adler32(locChecksum, locChunk, locCount));
}

KF_SDF::KF_SDF()
	: myReferenceCount(1)
	, myNext(NULL)
	, myPrevious(NULL)
	, myPriority(0)
	, myFlag(0)
	, myUsable(0)
	, myPath(NULL)
	, myBlock(NULL)
	, myBlockSize(0)
	, myEntryCount(0)
	, myEntryRecords(NULL)
	, myEntryChecksums(NULL)
	, myHandle(INVALID_HANDLE_VALUE)
	, myArchiveSize(0)
{
}

KF_SDF::~KF_SDF()
{
	if (myHandle != INVALID_HANDLE_VALUE)
		KC_PlatformCloseFile(myHandle);
	delete[] myPath;
	delete[] myBlock;
	delete[] myEntryRecords;
	delete[] myEntryChecksums;
}

void KF_SDF::Unlink()
{
	if (myPrevious)
		myPrevious->myNext = myNext;
	else
		ourFirst = myNext;
	if (myNext)
		myNext->myPrevious = myPrevious;
	myNext = NULL;
	myPrevious = NULL;
}

KF_SDF* KF_SDF::Mount(const char* aPath, bool aPriority, bool aFlag)
{
	char locPath[KF_MAX_PATH];
	if (!aPath || !CopyPath(aPath, locPath))
	{
		KF_SetLastError(KF_ERROR_NOT_FOUND);
		return NULL;
	}
	for (KF_SDF* locArchive = ourFirst; locArchive; locArchive = locArchive->myNext)
	{
		if (KC_PlatformCompareNoCase(locArchive->myPath, locPath) == 0)
		{
			++locArchive->myReferenceCount;
			return locArchive;
		}
	}

	KF_SDF* locArchive = new (std::nothrow) KF_SDF;
	if (!locArchive)
	{
		KF_SetLastError(KF_ERROR_READ);
		return NULL;
	}
	locArchive->myPriority = aPriority ? 1 : 0;
	locArchive->myFlag = aFlag ? 1 : 0;
	locArchive->myNext = ourFirst;
	if (ourFirst)
		ourFirst->myPrevious = locArchive;
	ourFirst = locArchive;
	if (!locArchive->OpenArchive(locPath))
	{
		locArchive->Unlink();
		delete locArchive;
		return NULL;
	}
	return locArchive;
}

bool KF_SDF::OpenArchive(const char* aPath)
{
	myHandle = KC_PlatformOpenFile(aPath, KC_FILE_READ_SHARED);
	if (myHandle == INVALID_HANDLE_VALUE)
	{
		KF_SetLastError(KF_ERROR_NOT_FOUND);
		return false;
	}
	unsigned char locHeader[8];
	uint32_t locRead = 0;
	if (!KC_PlatformGetFileSize(myHandle, &myArchiveSize) || !KC_PlatformReadFile(myHandle, locHeader, 8, &locRead) ||
	    locRead != 8)
	{
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	if (KC_GetLittle32(locHeader) != KF_SDF_SIGNATURE)
	{
		KF_SetLastError(KF_ERROR_BAD_SIGNATURE);
		return false;
	}

	// The directory header and the stored block must lie inside the archive.
	uint64_t locDirectoryOffset = KC_GetLittle32(locHeader + 4);
	if (locDirectoryOffset + 8 > myArchiveSize || !KC_PlatformSeekFile(myHandle, static_cast<int64_t>(locDirectoryOffset), 0) ||
	    !KC_PlatformReadFile(myHandle, locHeader, 8, &locRead) || locRead != 8)
	{
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	uint32_t locUnpackedSize = KC_GetLittle32(locHeader);
	uint32_t locStoredSize = KC_GetLittle32(locHeader + 4) & KF_SDF_SIZE_MASK;
	int locMethod = static_cast<int>(KC_GetLittle32(locHeader + 4) >> KF_SDF_METHOD_SHIFT);
	if (locMethod == KF_SDF_UNSUPPORTED || locStoredSize > myArchiveSize - locDirectoryOffset - 8 ||
	    (locMethod != KF_SDF_STORED && !PlausibleSize(locMethod, locStoredSize, locUnpackedSize)))
	{
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	if (locMethod == KF_SDF_STORED && locStoredSize != locUnpackedSize)
	{
		KF_SetLastError(KF_ERROR_BAD_DIRECTORY);
		return false;
	}

	myBlock = new (std::nothrow) unsigned char[static_cast<size_t>(locUnpackedSize) + ourBlockPadding];
	unsigned char* locStored = locMethod == KF_SDF_STORED ? myBlock : new (std::nothrow) unsigned char[locStoredSize + 1];
	bool locOk = myBlock && locStored && KC_PlatformReadFile(myHandle, locStored, locStoredSize, &locRead) &&
	             locRead == locStoredSize;
	if (locOk && locMethod != KF_SDF_STORED)
		locOk = Unpack(locMethod, locStored, locStoredSize, myBlock, locUnpackedSize);
	if (locStored != myBlock)
		delete[] locStored;
	if (!locOk)
	{
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	std::memset(myBlock + locUnpackedSize, 0, ourBlockPadding);
	myBlockSize = locUnpackedSize;

	if (!CheckDirectory())
		return false;
	size_t locLength = std::strlen(aPath);
	myPath = new (std::nothrow) char[locLength + 1];
	if (!myPath)
	{
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	std::memcpy(myPath, aPath, locLength + 1);
	myUsable = 1;
	return true;
}

// Checks every offset of the directory block before anything follows one, and
// turns the entry index into pointers. Sets the last-error code on failure.
bool KF_SDF::CheckDirectory()
{
	const uint64_t locSize = myBlockSize;
	const unsigned char* locBlock = myBlock;
	if (locSize < 4)
	{
		KF_SetLastError(KF_ERROR_BAD_DIRECTORY);
		return false;
	}
	const uint64_t locEntryCount = KC_GetLittle32(locBlock);
	// The entry index and the folder count lie inside the block.
	if (locEntryCount * 8 > locSize || 8 + locEntryCount * 8 > locSize)
	{
		KF_SetLastError(KF_ERROR_BAD_DIRECTORY);
		return false;
	}
	myEntryCount = static_cast<uint32_t>(locEntryCount);
	myEntryRecords = new (std::nothrow) const unsigned char*[myEntryCount + 1];
	myEntryChecksums = new (std::nothrow) uint32_t[myEntryCount + 1];
	if (!myEntryRecords || !myEntryChecksums)
	{
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	for (uint32_t i = 0; i < myEntryCount; ++i)
	{
		uint32_t locRecord = KC_GetLittle32(locBlock + 8 + 8 * i);
		// The padding holds the fields of a record that starts at the block's end.
		if (locRecord > locSize || locRecord % 4 != 0)
		{
			KF_SetLastError(KF_ERROR_BAD_DIRECTORY);
			return false;
		}
		uint32_t locFolderPath = KC_GetLittle32(locBlock + locRecord + 16);
		if (locFolderPath > locSize || locFolderPath % 4 != 0)
		{
			KF_SetLastError(KF_ERROR_BAD_DIRECTORY);
			return false;
		}
		myEntryChecksums[i] = KC_GetLittle32(locBlock + 4 + 8 * i);
		myEntryRecords[i] = locBlock + locRecord;
	}

	const uint64_t locFolderIndex = 4 + locEntryCount * 8;
	const uint64_t locFolderCount = KC_GetLittle32(locBlock + locFolderIndex);
	if (locFolderIndex + 4 + locFolderCount * 8 > locSize)
	{
		KF_SetLastError(KF_ERROR_BAD_DIRECTORY);
		return false;
	}
	// A folder record is checked once however many folders share it. Distinct
	// records of sound directories do not overlap, so together they span at most
	// the block; more than that is refused, which keeps the check linear.
	unsigned char* locChecked = new (std::nothrow) unsigned char[static_cast<size_t>(locSize / 32 + 1)];
	if (!locChecked)
	{
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	std::memset(locChecked, 0, static_cast<size_t>(locSize / 32 + 1));
	uint64_t locBudget = locSize / 4;
	bool locOk = true;
	for (uint64_t f = 0; f < locFolderCount && locOk; ++f)
	{
		const uint64_t locRecord = KC_GetLittle32(locBlock + locFolderIndex + 4 + 8 * f + 4);
		if (locRecord > locSize || locRecord % 4 != 0)
		{
			locOk = false;
			break;
		}
		const uint64_t locWord = locRecord / 4;
		if (locChecked[locWord / 8] & (1 << (locWord % 8)))
			continue;
		locChecked[locWord / 8] |= static_cast<unsigned char>(1 << (locWord % 8));

		if (locRecord + 4 > locSize)
		{
			locOk = false;
			break;
		}
		const uint64_t locCountA = KC_GetLittle32(locBlock + locRecord);
		if (locRecord + 8 + locCountA * 4 > locSize)
		{
			locOk = false;
			break;
		}
		const uint64_t locCountBAt = locRecord + 4 + locCountA * 4;
		const uint64_t locCountB = KC_GetLittle32(locBlock + locCountBAt);
		if (locCountBAt + 4 + locCountB * 4 > locSize || 2 + locCountA + locCountB > locBudget)
		{
			locOk = false;
			break;
		}
		locBudget -= 2 + locCountA + locCountB;
		for (uint64_t a = 0; a < locCountA && locOk; ++a)
			locOk = KC_GetLittle32(locBlock + locRecord + 4 + 4 * a) <= locSize;
		for (uint64_t b = 0; b < locCountB && locOk; ++b)
		{
			uint32_t locOffset = KC_GetLittle32(locBlock + locCountBAt + 4 + 4 * b);
			locOk = locOffset <= locSize && locOffset % 4 == 0;
		}
	}
	delete[] locChecked;
	if (!locOk)
		KF_SetLastError(KF_ERROR_BAD_DIRECTORY);
	return locOk;
}

bool KF_SDF::Unmount(const char* aPath)
{
	if (!aPath)
	{
		bool locAny = ourFirst != NULL;
		while (ourFirst)
		{
			KF_SDF* locArchive = ourFirst;
			locArchive->Unlink();
			delete locArchive;
		}
		return locAny;
	}
	char locPath[KF_MAX_PATH];
	if (!CopyPath(aPath, locPath))
		return false;
	for (KF_SDF* locArchive = ourFirst; locArchive; locArchive = locArchive->myNext)
	{
		if (KC_PlatformCompareNoCase(locArchive->myPath, locPath) != 0)
			continue;
		if (--locArchive->myReferenceCount == 0)
		{
			locArchive->Unlink();
			delete locArchive;
		}
		return true;
	}
	return false;
}

void KF_SDF::GetEntry(unsigned int anIndex, KF_SDFEntry* anEntry) const
{
	KC_ASSERT(anIndex < myEntryCount);
	ParseEntry(myEntryRecords[anIndex], myBlock, anEntry);
}

bool KF_SDF::FindEntry(const char* aName, bool aPriority, const char** anArchivePath, KF_SDFEntry* anEntry)
{
	KF_SDF* locArchive = NULL;
	KF_SDFEntry locEntry;
	if (!Find(aName, aPriority, &locArchive, &locEntry))
		return false;
	if (anArchivePath)
		*anArchivePath = locArchive->myPath;
	if (anEntry)
		*anEntry = locEntry;
	return true;
}

bool KF_SDF::Find(const char* aName, bool aPriority, KF_SDF** anArchive, KF_SDFEntry* anEntry)
{
	char locName[KF_MAX_PATH];
	if (!aName || !CopyPath(aName, locName))
		return false;
	const uint32_t locChecksum = KF_SDFNameChecksum(locName);
	for (KF_SDF* locArchive = ourFirst; locArchive; locArchive = locArchive->myNext)
	{
		if ((locArchive->myPriority != 0) != aPriority || !locArchive->myUsable ||
		    locArchive->myHandle == INVALID_HANDLE_VALUE)
			continue;
		for (uint32_t i = 0; i < locArchive->myEntryCount; ++i)
		{
			if (locArchive->myEntryChecksums[i] != locChecksum)
				continue;
			ParseEntry(locArchive->myEntryRecords[i], locArchive->myBlock, anEntry);
			if (NameMatches(locName, *anEntry))
			{
				*anArchive = locArchive;
				return true;
			}
		}
	}
	return false;
}

bool KF_SDF::OpenEntry(const char* aName, KF_File* aFile, bool aPriority)
{
	KF_SDF* locArchive = NULL;
	KF_SDFEntry locEntry;
	if (!Find(aName, aPriority, &locArchive, &locEntry))
	{
		KF_SetLastError(KF_ERROR_NOT_FOUND);
		return false;
	}
	if (!(aFile->myFlags & (OPEN_READ | OPEN_WRITE)))
		aFile->myFlags |= OPEN_READ;
	if (locEntry.myMethod != KF_SDF_STORED)
		aFile->myFlags &= ~static_cast<unsigned int>(OPEN_STREAMING);

	if (aFile->myFlags & OPEN_STREAMING)
	{
		KC_ASSERT(aFile->myFileHand == INVALID_HANDLE_VALUE);
		KC_FileHandle locHandle = KC_PlatformOpenFile(locArchive->myPath, KC_FILE_READ_SHARED);
		if (locHandle == KC_INVALID_FILE_HANDLE)
		{
			aFile->myFlags &= ~static_cast<unsigned int>(OPEN_STREAMING);
		}
		else
		{
			if (static_cast<uint64_t>(locEntry.myDataOffset) + locEntry.myUnpackedSize > locArchive->myArchiveSize ||
			    !KC_PlatformSeekFile(locHandle, locEntry.myDataOffset, 0))
			{
				KC_PlatformCloseFile(locHandle);
				locArchive->myUsable = 0;
				KF_SetLastError(KF_ERROR_READ);
				return false;
			}
			aFile->myFileHand = locHandle;
			aFile->myFileSize = locEntry.myUnpackedSize;
			aFile->myCapacity = locEntry.myUnpackedSize;
			aFile->myTimeStamp = locEntry.myTimeStamp;
			return true;
		}
	}
	if (!locArchive->ReadEntryData(locEntry, aFile))
		return false;
	aFile->myFileSize = locEntry.myUnpackedSize;
	aFile->myCapacity = locEntry.myUnpackedSize;
	aFile->myTimeStamp = locEntry.myTimeStamp;
	return true;
}

// Reads an entry into a new buffer that becomes the file's data.
bool KF_SDF::ReadEntryData(const KF_SDFEntry& anEntry, KF_File* aFile)
{
	if (!KC_PlatformSeekFile(myHandle, anEntry.myDataOffset, 0))
	{
		myUsable = 0;
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	if (anEntry.myMethod == KF_SDF_UNSUPPORTED)
	{
		KF_SetLastError(KF_ERROR_UNKNOWN_METHOD);
		return false;
	}
	// What is read must lie inside the archive: a short read marks it unusable.
	const uint64_t locAvailable = myArchiveSize > anEntry.myDataOffset ? myArchiveSize - anEntry.myDataOffset : 0;
	const uint32_t locReadSize = anEntry.myMethod == KF_SDF_STORED ? anEntry.myUnpackedSize : anEntry.myStoredSize;
	if (locReadSize > locAvailable)
	{
		myUsable = 0;
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	if (anEntry.myMethod != KF_SDF_STORED &&
	    !PlausibleSize(anEntry.myMethod, anEntry.myStoredSize, anEntry.myUnpackedSize))
	{
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}

	unsigned char* locData = NULL;
	if (anEntry.myUnpackedSize > 0)
	{
		locData = new (std::nothrow) unsigned char[anEntry.myUnpackedSize];
		if (!locData)
		{
			KF_SetLastError(KF_ERROR_READ);
			return false;
		}
	}
	unsigned char* locStored = locData;
	if (anEntry.myMethod != KF_SDF_STORED)
	{
		locStored = new (std::nothrow) unsigned char[anEntry.myStoredSize + 1];
		if (!locStored)
		{
			delete[] locData;
			KF_SetLastError(KF_ERROR_READ);
			return false;
		}
	}
	uint32_t locRead = 0;
	bool locOk = locReadSize == 0 || (KC_PlatformReadFile(myHandle, locStored, locReadSize, &locRead) && locRead == locReadSize);
	if (!locOk)
		myUsable = 0;
	else if (anEntry.myMethod != KF_SDF_STORED)
		locOk = Unpack(anEntry.myMethod, locStored, anEntry.myStoredSize, locData, anEntry.myUnpackedSize);
	if (locStored != locData)
		delete[] locStored;
	if (!locOk)
	{
		delete[] locData;
		KF_SetLastError(KF_ERROR_READ);
		return false;
	}
	delete[] aFile->myData;
	aFile->myData = locData;
	return true;
}
