#include "kc_stacktrace.h"

#include "kc_assert.h"
#include "kf_file.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include <zlib.h>

namespace
{
// The loaded table: count, entries, name pool; shared by every user. The
// validated entry count is kept here too: a heap overrun that reaches the
// table's own first word cannot send a lookup past the table's end.
unsigned char* ourLineTable = NULL;
uint32_t ourLineTableSize = 0;
uint32_t ourLineCount = 0;
int ourLineTableUsers = 0;

// No zlib stream inflates by more than this factor.
const uint32_t ourMaxInflateRatio = 1032;

uint32_t ReadWord(const unsigned char* aBytes)
{
	return static_cast<uint32_t>(aBytes[0]) | (static_cast<uint32_t>(aBytes[1]) << 8) |
	       (static_cast<uint32_t>(aBytes[2]) << 16) | (static_cast<uint32_t>(aBytes[3]) << 24);
}

// Inflates a chunk body (uncompressed size, zlib stream) and checks the entry
// count against the size; null when the body does not hold a table.
unsigned char* InflateTable(const unsigned char* aBody, uint32_t aBodySize, uint32_t* aTableSize)
{
	if (aBodySize < 4)
		return NULL;
	uint32_t locSize = ReadWord(aBody);
	uint32_t locPacked = aBodySize - 4;
	if (locSize < 4 || locSize / ourMaxInflateRatio > locPacked)
		return NULL;
	unsigned char* locTable = new (std::nothrow) unsigned char[locSize];
	if (!locTable)
		return NULL;
	uLongf locInflated = locSize;
	if (uncompress(locTable, &locInflated, aBody + 4, locPacked) != Z_OK || locInflated != locSize)
	{
		delete[] locTable;
		return NULL;
	}
	uint32_t locNumMapLineNumbers = ReadWord(locTable);
	if (!(locNumMapLineNumbers < locSize / KC_LINE_ENTRY_SIZE))
	{
		delete[] locTable;
		static unsigned char ourIgnoreFlag = 0;
		if (!ourIgnoreFlag &&
		    KC_AssertFailed(".\\kc_stacktrace", 59, "locNumMapLineNumbers < orgSiz / sizeof(MapLineNumber)",
		                    &ourIgnoreFlag))
			KC_DebugBreak();
		return NULL;
	}
	*aTableSize = locSize;
	return locTable;
}

// Reads aCount bytes at anOffset of an executable's image; false when it cannot.
typedef bool (*ImageReader)(void* anImage, uint32_t anOffset, void* aBuffer, uint32_t aCount);

bool ReadFromMemory(void* anImage, uint32_t anOffset, void* aBuffer, uint32_t aCount)
{
	std::memcpy(aBuffer, static_cast<const unsigned char*>(anImage) + anOffset, aCount);
	return true;
}

bool ReadFromFile(void* anImage, uint32_t anOffset, void* aBuffer, uint32_t aCount)
{
	KF_File* locFile = static_cast<KF_File*>(anImage);
	return anOffset <= 0x7FFFFFFF && locFile->Seek(static_cast<int>(anOffset), 0) &&
	       locFile->Read(aBuffer, aCount) == aCount;
}

// Walks the chunk footers back from the end of an image of anImageSize bytes and
// inflates the body of the first version-0 chunk. Every length is checked
// against what lies before it, so no read leaves the image.
unsigned char* ReadTable(ImageReader aReader, void* anImage, uint32_t anImageSize, uint32_t* aTableSize)
{
	uint32_t locEnd = anImageSize;
	unsigned char locFooter[KC_LINE_TABLE_FOOTER_SIZE];
	while (locEnd >= KC_LINE_TABLE_FOOTER_SIZE)
	{
		if (!aReader(anImage, locEnd - KC_LINE_TABLE_FOOTER_SIZE, locFooter, sizeof(locFooter)))
			return NULL;
		uint32_t locLength = ReadWord(locFooter);
		uint32_t locTag = ReadWord(locFooter + 4);
		if ((locTag & KC_LINE_TABLE_TAG_MASK) != KC_LINE_TABLE_TAG ||
		    locLength > locEnd - KC_LINE_TABLE_FOOTER_SIZE)
			return NULL;
		uint32_t locStart = locEnd - KC_LINE_TABLE_FOOTER_SIZE - locLength;
		if ((locTag >> 24) != 0)
		{
			locEnd = locStart;
			continue;
		}
		unsigned char* locBody = new (std::nothrow) unsigned char[locLength ? locLength : 1];
		if (!locBody)
			return NULL;
		unsigned char* locTable = NULL;
		if (aReader(anImage, locStart, locBody, locLength))
			locTable = InflateTable(locBody, locLength, aTableSize);
		delete[] locBody;
		return locTable;
	}
	return NULL;
}

uint32_t EntryAddress(uint32_t anIndex)
{
	return ReadWord(ourLineTable + 4 + anIndex * KC_LINE_ENTRY_SIZE);
}

uint32_t EntryPacked(uint32_t anIndex)
{
	return ReadWord(ourLineTable + 4 + anIndex * KC_LINE_ENTRY_SIZE + 4);
}

// The pool name at anOffset, cut at the pool's end and at the name buffer.
void CopyPoolName(uint32_t aCount, uint32_t anOffset, char* aName, unsigned int aNameSize)
{
	uint32_t locPool = 4 + aCount * KC_LINE_ENTRY_SIZE;
	unsigned int locLength = 0;
	for (uint32_t locAt = locPool + anOffset; anOffset < ourLineTableSize - locPool && locAt < ourLineTableSize;
	     ++locAt)
	{
		if (!ourLineTable[locAt] || locLength + 1 >= aNameSize)
			break;
		aName[locLength++] = static_cast<char>(ourLineTable[locAt]);
	}
	aName[locLength] = 0;
}

// Appends a formatted piece, cut at the buffer's end.
int Append(char* aBuffer, int aSize, int aLength, const char* aFormat, ...)
#if defined(__GNUC__)
	__attribute__((format(printf, 4, 5)))
#endif
	;

int Append(char* aBuffer, int aSize, int aLength, const char* aFormat, ...)
{
	if (aLength >= aSize - 1)
		return aLength;
	va_list locArguments;
	va_start(locArguments, aFormat);
	int locWritten = std::vsnprintf(aBuffer + aLength, aSize - aLength, aFormat, locArguments);
	va_end(locArguments);
	if (locWritten < 0)
		return aLength;
	return locWritten < aSize - aLength ? aLength + locWritten : aSize - 1;
}

const char* ExceptionName(uint32_t aCode)
{
	switch (aCode)
	{
	case 0x80000001: return "Guard page";
	case 0x80000002: return "Misalignment";
	case 0x80000003: return "Breakpoint";
	case 0x80000004: return "Single step";
	case 0xC0000006: return "In page error";
	case 0xC0000008: return "Invalid handle";
	case 0xC000001D: return "Illegal instruction";
	case 0xC0000025: return "Noncontinuable exception";
	case 0xC0000026: return "Invalid disposition";
	case 0xC000008C: return "Array bounds exceeded";
	case 0xC000008D: return "FPU denormal operand";
	case 0xC000008E: return "FPU divide by zero";
	case 0xC000008F: return "FPU inexact result";
	case 0xC0000090: return "FPU invalid operation";
	case 0xC0000091: return "FPU overflow";
	case 0xC0000092: return "FPU stack check";
	case 0xC0000093: return "FPU underflow";
	case 0xC0000094: return "Integer divide by zero";
	case 0xC0000095: return "Integer overflow";
	case 0xC0000096: return "Priv instruction";
	case 0xC00000FD: return "Stack overflow";
	case 0xC000013A: return "Ctrl+C";
	default: return NULL;
	}
}

const uint32_t ourAccessViolation = 0xC0000005;

// Addresses print with at least eight hex digits (all of them on 64-bit systems).
unsigned long long Wide(uintptr_t aValue)
{
	return static_cast<unsigned long long>(aValue);
}
}

unsigned char* KC_ReadLineTable(const unsigned char* anImage, uint32_t anImageSize, uint32_t* aTableSize)
{
	return ReadTable(ReadFromMemory, const_cast<unsigned char*>(anImage), anImageSize, aTableSize);
}

bool KC_LoadLineNumbers(const char* anExecutable)
{
	if (ourLineTableUsers++ > 0)
		return true;
	KF_File locFile;
	if (!locFile.Open(anExecutable, OPEN_READ | OPEN_STREAMING))
		return false;
	uint32_t locSize = 0;
	ourLineTable = ReadTable(ReadFromFile, &locFile, locFile.GetSize(), &locSize);
	ourLineTableSize = ourLineTable ? locSize : 0;
	ourLineCount = ourLineTable ? ReadWord(ourLineTable) : 0;
	locFile.Close();
	return true;
}

void KC_ReleaseLineNumbers()
{
	if (ourLineTableUsers <= 0 || --ourLineTableUsers > 0)
		return;
	delete[] ourLineTable;
	ourLineTable = NULL;
	ourLineTableSize = 0;
	ourLineCount = 0;
}

uint32_t KC_GetLineNumberCount()
{
	return ourLineCount;
}

bool KC_DescribeAddress(KC_AddressDescription& aDescription)
{
	uint32_t locCount = KC_GetLineNumberCount();
	if (!locCount)
		return false;
	uintptr_t locAddress = aDescription.myAddress;
	aDescription.myLine = 0;
	aDescription.myNameOffset = -1;
	aDescription.myName[0] = 0;

	if (locAddress < EntryAddress(0) || locAddress > EntryAddress(locCount - 1))
	{
		uintptr_t locBase = 0;
		if (KC_FindModule(locAddress, &locBase, aDescription.myName, sizeof(aDescription.myName)))
			aDescription.myOffset = locAddress - locBase;
		else
		{
			aDescription.myName[0] = 0;
			aDescription.myOffset = locAddress;
		}
		return true;
	}

	// Halving search; a table out of order ends it where it stops making progress.
	uint32_t locLow = 0;
	uint32_t locHigh = locCount;
	uint32_t locMiddle;
	for (;;)
	{
		locMiddle = (locLow + locHigh) / 2;
		if (locAddress < EntryAddress(locMiddle))
		{
			if (locHigh == locMiddle || locMiddle == 0)
				break;
			locHigh = locMiddle;
		}
		else if (locMiddle == locCount - 1 || locAddress < EntryAddress(locMiddle + 1))
			break;
		else
		{
			if (locLow == locMiddle)
				break;
			locLow = locMiddle;
		}
	}
	uint32_t locPacked = EntryPacked(locMiddle);
	aDescription.myLine = static_cast<int>(locPacked & KC_LINE_MASK);
	aDescription.myNameOffset = static_cast<int>(locPacked >> KC_LINE_BITS);
	aDescription.myOffset = locAddress - EntryAddress(locMiddle);
	CopyPoolName(locCount, locPacked >> KC_LINE_BITS, aDescription.myName, sizeof(aDescription.myName));
	return true;
}

int KC_WalkStack(uintptr_t anInstruction, uintptr_t aFramePointer, unsigned int aWordSize,
                 KC_MemoryReader aReader, void* aReaderContext, uintptr_t* anAddresses)
{
	int locCount = 0;
	anAddresses[locCount++] = anInstruction;
	unsigned char locFrame[16];
	if (aWordSize != 4 && aWordSize != 8)
		return locCount;
	if (!aReader(aReaderContext, aFramePointer, locFrame, 2 * aWordSize))
		return locCount;
	uintptr_t locFrameAt = aFramePointer;
	while (locCount < KC_MAX_STACK_FRAMES)
	{
		uint64_t locLink = 0, locReturn = 0;
		for (unsigned int i = 0; i < aWordSize; ++i)
		{
			locLink |= static_cast<uint64_t>(locFrame[i]) << (8 * i);
			locReturn |= static_cast<uint64_t>(locFrame[aWordSize + i]) << (8 * i);
		}
		if ((locLink & 3) != 0 || locLink <= locFrameAt || locLink > UINTPTR_MAX ||
		    !aReader(aReaderContext, static_cast<uintptr_t>(locLink), locFrame, 2 * aWordSize))
			break;
		if (locReturn != 0)
			anAddresses[locCount++] = static_cast<uintptr_t>(locReturn);
		locFrameAt = static_cast<uintptr_t>(locLink);
	}
	return locCount;
}

int KC_AppendFrameLine(char* aBuffer, int aSize, int aLength, uintptr_t anAddress)
{
	KC_AddressDescription locFrame;
	locFrame.myAddress = anAddress;
	if (!KC_DescribeAddress(locFrame))
		return Append(aBuffer, aSize, aLength, "0x%08llx\r\n", Wide(anAddress));
	if (locFrame.myNameOffset != -1)
		return Append(aBuffer, aSize, aLength, "%s:%d+0x%llx\r\n", locFrame.myName, locFrame.myLine,
		              Wide(locFrame.myOffset));
	return Append(aBuffer, aSize, aLength, "%s+0x%llx\r\n", locFrame.myName, Wide(locFrame.myOffset));
}

int KC_ComposeCrashReport(char* aBuffer, const KC_ExceptionSummary& anException,
                          const uintptr_t* anAddresses, int aCount)
{
	// Room is kept for the clipboard note that the crash filter appends.
	const int locSize = KC_CRASH_REPORT_SIZE - 64;
	int locLength = 0;
	aBuffer[0] = 0;
	const char* locName = ExceptionName(anException.myCode);
	if (anException.myCode == ourAccessViolation)
	{
		uintptr_t locKind = anException.myParameterCount > 0 ? anException.myParameters[0] : 2;
		uintptr_t locTarget = anException.myParameterCount > 1 ? anException.myParameters[1] : 0;
		const char* locAccess = locKind == 0 ? "reading from" : locKind == 1 ? "writing to" : "UNKNOWN(!) access to";
		locLength = Append(aBuffer, locSize, locLength, "Access violation %s 0x%08llx", locAccess, Wide(locTarget));
	}
	else if (locName)
		locLength = Append(aBuffer, locSize, locLength, "%s", locName);
	else
		locLength = Append(aBuffer, locSize, locLength, "Unknown exception %x", anException.myCode);
	locLength = Append(aBuffer, locSize, locLength, " at 0x%08llx\r\n\r\n", Wide(anException.myAddress));
	for (int i = 0; i < aCount; ++i)
	{
		locLength = KC_AppendFrameLine(aBuffer, locSize, locLength, anAddresses[i]);
		if (locLength > KC_CRASH_REPORT_LIMIT)
			break;
	}
	return locLength;
}
