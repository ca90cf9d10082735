#ifndef KC_STACKTRACE_H
#define KC_STACKTRACE_H

#include <stddef.h>
#include <stdint.h>

// The crash handler: a line-number table appended to the executable, address
// lookup, a frame-pointer stack walk and the crash and deadlock reports.

// Trailer of the executable, read backwards from the end of the file: a chunk
// body (uncompressed size, zlib stream) followed by its length and a tag whose
// low three bytes are "RYS" in file order and whose high byte is the version.
const uint32_t KC_LINE_TABLE_TAG = 0x00535952;
const uint32_t KC_LINE_TABLE_TAG_MASK = 0x00FFFFFF;
const unsigned int KC_LINE_TABLE_FOOTER_SIZE = 8;

// Table layout: entry count, entries of (address, packed word), name pool.
const unsigned int KC_LINE_ENTRY_SIZE = 8;
const unsigned int KC_LINE_BITS = 15;
const uint32_t KC_LINE_MASK = 0x7FFF;
const uint32_t KC_MAX_NAME_POOL = 1u << 17;

const int KC_MAX_STACK_FRAMES = 32;
const int KC_CRASH_REPORT_SIZE = 4096;
const int KC_CRASH_REPORT_LIMIT = 3840;

// What is known about one code address.
struct KC_AddressDescription
{
	uintptr_t myAddress;  // the address looked up
	int myLine;           // source line, 0 without one
	uintptr_t myOffset;   // from the entry's or the module's start
	int myNameOffset;     // in the name pool, -1 without a source line
	char myName[256];     // source file, or the path of the module
};

// Loads the table from the trailer of anExecutable (first call only; later
// calls count up). False when the file cannot be opened; a file without a
// valid trailer loads no table and is no failure.
bool KC_LoadLineNumbers(const char* anExecutable);
// Counts down and frees the table at zero.
void KC_ReleaseLineNumbers();
// Entries of the loaded table (0 without one).
uint32_t KC_GetLineNumberCount();

// Takes a table from a whole executable image in memory: the trailer walk, the
// inflate and the count check. The table is a new block (free it with delete[])
// or null when there is none.
unsigned char* KC_ReadLineTable(const unsigned char* anImage, uint32_t anImageSize, uint32_t* aTableSize);

// Fills aDescription for its myAddress from the loaded table; false without a
// table (the caller shows the bare address).
bool KC_DescribeAddress(KC_AddressDescription& aDescription);

// Reads aCount bytes at anAddress; false when they cannot be read.
typedef bool (*KC_MemoryReader)(void* aContext, uintptr_t anAddress, void* aBuffer, unsigned int aCount);

// Frame-pointer walk with words of aWordSize bytes (4 on 32-bit Windows): the
// instruction pointer, then each return address of the chain, at most
// KC_MAX_STACK_FRAMES values. Returns the number recorded.
int KC_WalkStack(uintptr_t anInstruction, uintptr_t aFramePointer, unsigned int aWordSize,
                 KC_MemoryReader aReader, void* aReaderContext, uintptr_t* anAddresses);

// The exception as the crash report needs it.
struct KC_ExceptionSummary
{
	uint32_t myCode;
	uintptr_t myAddress;
	unsigned int myParameterCount;
	uintptr_t myParameters[2];
};

// Writes the crash report (exception line, blank line, one line per frame)
// into aBuffer of KC_CRASH_REPORT_SIZE characters; returns its length.
int KC_ComposeCrashReport(char* aBuffer, const KC_ExceptionSummary& anException,
                          const uintptr_t* anAddresses, int aCount);

// One frame line ("file:line+0xoffset", "module+0xoffset" or "0xaddress") with
// CR LF, appended at aLength; returns the new length.
int KC_AppendFrameLine(char* aBuffer, int aSize, int aLength, uintptr_t anAddress);

// The module that holds anAddress: its base and file name; false when the
// system knows no region there.
bool KC_FindModule(uintptr_t anAddress, uintptr_t* aBase, char* aName, unsigned int aNameSize);

#ifdef _WIN32
#include <windows.h>

// Loads the table of the running executable and installs KC_CrashFilter.
// Reference-counted; a static initialiser calls it in programs that link the
// crash handler.
void KC_InstallCrashHandler();
LONG WINAPI KC_CrashFilter(EXCEPTION_POINTERS* anException);
// The stack of a thread context: its instruction pointer, then the return
// addresses (frame-pointer chain on 32-bit Windows, unwind data on x64), at
// most KC_MAX_STACK_FRAMES values. Returns the number recorded.
int KC_WalkContext(const CONTEXT& aContext, uintptr_t* anAddresses);
// How the thread that faulted waits for the reporter thread (aReporter, whose
// id is aReporterId) that was asked for the report: until aDone is set or the
// reporter ends, however long its box stays up; but when no visible window of
// the reporter has appeared within aTimeLimit milliseconds, it waits no more
// (the reporter may wait for a lock that the thread that faulted holds, the
// loader's or the heap's). False when it gave up.
bool KC_AwaitReporter(HANDLE aDone, HANDLE aReporter, DWORD aReporterId, DWORD aTimeLimit);
// Appends the stack of the watched thread to "deadlock_thread.txt" whenever
// Scroll Lock is pressed. Never returns.
DWORD WINAPI KC_DeadlockWatcher(LPVOID aThread);
#endif

#endif
