#include "kc_stacktrace.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <zlib.h>

namespace
{
typedef std::vector<unsigned char> Bytes;

void PutWord(Bytes* aBytes, uint32_t aWord)
{
	for (int i = 0; i < 4; ++i)
		aBytes->push_back(static_cast<unsigned char>(aWord >> (8 * i)));
}

// count, entries (address, line | name offset << 15), pool "a.cpp\0dir/b.h\0"
Bytes SampleTable()
{
	Bytes locTable;
	PutWord(&locTable, 3);
	PutWord(&locTable, 0x401000);
	PutWord(&locTable, 10);
	PutWord(&locTable, 0x401010);
	PutWord(&locTable, 20);
	PutWord(&locTable, 0x401030);
	PutWord(&locTable, 32767 | (6u << 15));
	const char locPool[] = "a.cpp\0dir/b.h";
	locTable.insert(locTable.end(), locPool, locPool + sizeof(locPool));
	return locTable;
}

// A trailer chunk: size, zlib stream, body length, tag with version.
Bytes Chunk(const Bytes& aTable, unsigned char aVersion, uint32_t aClaimedSize = 0xFFFFFFFF)
{
	uLongf locPackedSize = compressBound(aTable.size());
	Bytes locPacked(locPackedSize);
	compress(locPacked.data(), &locPackedSize, aTable.data(), aTable.size());
	Bytes locChunk;
	PutWord(&locChunk, aClaimedSize == 0xFFFFFFFF ? static_cast<uint32_t>(aTable.size()) : aClaimedSize);
	locChunk.insert(locChunk.end(), locPacked.begin(), locPacked.begin() + locPackedSize);
	PutWord(&locChunk, static_cast<uint32_t>(4 + locPackedSize));
	locChunk.push_back('R');
	locChunk.push_back('Y');
	locChunk.push_back('S');
	locChunk.push_back(aVersion);
	return locChunk;
}

Bytes Image(const std::vector<Bytes>& aChunks)
{
	Bytes locImage(64, 0x90);
	for (const Bytes& locChunk : aChunks)
		locImage.insert(locImage.end(), locChunk.begin(), locChunk.end());
	return locImage;
}

Bytes ReadTable(const Bytes& anImage)
{
	uint32_t locSize = 0;
	unsigned char* locTable = KC_ReadLineTable(anImage.data(), static_cast<uint32_t>(anImage.size()), &locSize);
	Bytes locResult;
	if (locTable)
		locResult.assign(locTable, locTable + locSize);
	delete[] locTable;
	return locResult;
}

std::string WriteScratch(const char* aName, const Bytes& aBytes)
{
	std::string locPath = testing::TempDir() + aName;
	std::FILE* locFile = std::fopen(locPath.c_str(), "wb");
	if (locFile)
	{
		std::fwrite(aBytes.data(), 1, aBytes.size(), locFile);
		std::fclose(locFile);
	}
	return locPath;
}

std::string Describe(uintptr_t anAddress)
{
	char locLine[300];
	int locLength = KC_AppendFrameLine(locLine, sizeof(locLine), 0, anAddress);
	return std::string(locLine, locLength);
}

// The sample table loaded for the duration of a test.
class LoadedTable : public testing::Test
{
protected:
	void SetUp() override
	{
		myPath = WriteScratch("kc_stacktrace_sample.exe", Image({Chunk(SampleTable(), 0)}));
		ASSERT_TRUE(KC_LoadLineNumbers(myPath.c_str()));
		ASSERT_EQ(3u, KC_GetLineNumberCount());
	}
	void TearDown() override
	{
		KC_ReleaseLineNumbers();
		EXPECT_EQ(0u, KC_GetLineNumberCount());
		std::remove(myPath.c_str());
	}
	std::string myPath;
};

// Frame chains in a made-up stack of 32-bit words.
struct FakeStack
{
	std::map<uint32_t, uint32_t> myWords;

	void Frame(uint32_t anAt, uint32_t aLink, uint32_t aReturn)
	{
		myWords[anAt] = aLink;
		myWords[anAt + 4] = aReturn;
	}

	static bool Read(void* aContext, uintptr_t anAddress, void* aBuffer, unsigned int aCount)
	{
		const FakeStack* locStack = static_cast<const FakeStack*>(aContext);
		unsigned char* locBytes = static_cast<unsigned char*>(aBuffer);
		for (unsigned int locWord = 0; locWord < aCount / 4; ++locWord)
		{
			std::map<uint32_t, uint32_t>::const_iterator locFound =
				locStack->myWords.find(static_cast<uint32_t>(anAddress + 4 * locWord));
			if (locFound == locStack->myWords.end())
				return false;
			for (int i = 0; i < 4; ++i)
				locBytes[4 * locWord + i] = static_cast<unsigned char>(locFound->second >> (8 * i));
		}
		return true;
	}

	std::vector<uintptr_t> Walk(uintptr_t anInstruction, uintptr_t aFramePointer)
	{
		uintptr_t locAddresses[KC_MAX_STACK_FRAMES];
		int locCount = KC_WalkStack(anInstruction, aFramePointer, 4, Read, this, locAddresses);
		return std::vector<uintptr_t>(locAddresses, locAddresses + locCount);
	}
};

KC_ExceptionSummary AccessViolation(uintptr_t aKind, uintptr_t aTarget, uintptr_t anAt)
{
	KC_ExceptionSummary locException = {0xC0000005, anAt, 2, {aKind, aTarget}};
	return locException;
}

std::string Report(const KC_ExceptionSummary& anException, const std::vector<uintptr_t>& aFrames)
{
	char locBuffer[KC_CRASH_REPORT_SIZE];
	int locLength = KC_ComposeCrashReport(locBuffer, anException, aFrames.data(), static_cast<int>(aFrames.size()));
	EXPECT_EQ(std::strlen(locBuffer), static_cast<size_t>(locLength));
	return std::string(locBuffer, locLength);
}

int CountLines(const std::string& aText)
{
	int locLines = 0;
	for (size_t locAt = aText.find("\r\n"); locAt != std::string::npos; locAt = aText.find("\r\n", locAt + 2))
		++locLines;
	return locLines;
}
}

// -- The trailer walk.

TEST(KC_LineTable, ChunkOfAnotherVersionAtTheEndIsSkipped)
{
	Bytes locOther = SampleTable();
	locOther[4] = 0x77;
	EXPECT_EQ(SampleTable(), ReadTable(Image({Chunk(SampleTable(), 0), Chunk(locOther, 1)})));
	// The first version-0 chunk from the end wins.
	EXPECT_EQ(locOther, ReadTable(Image({Chunk(SampleTable(), 0), Chunk(locOther, 0)})));
}

TEST(KC_LineTable, NoTagOrALyingTrailerLoadsNothing)
{
	Bytes locImage = Image({Chunk(SampleTable(), 0)});
	Bytes locNoTag = locImage;
	locNoTag[locNoTag.size() - 2] = 'X';
	EXPECT_TRUE(ReadTable(locNoTag).empty());
	// A tag behind a chunk without one ends the walk.
	EXPECT_TRUE(ReadTable(Image({Chunk(SampleTable(), 0), Bytes(8, 0), Chunk(SampleTable(), 3)})).empty());
	EXPECT_TRUE(ReadTable(Bytes(locImage.end() - 7, locImage.end())).empty());

	// Body length past the start of the file.
	Bytes locLongBody = locImage;
	locLongBody[locLongBody.size() - 8 + 2] = 0x01;
	EXPECT_TRUE(ReadTable(locLongBody).empty());
	// A skipped chunk whose length runs past the start.
	Bytes locBadSkip = Image({Chunk(SampleTable(), 1)});
	locBadSkip[locBadSkip.size() - 8 + 3] = 0x7F;
	EXPECT_TRUE(ReadTable(locBadSkip).empty());

	// Uncompressed sizes that lie: larger, smaller, far beyond what the stream can hold, below one word.
	EXPECT_TRUE(ReadTable(Image({Chunk(SampleTable(), 0, 200)})).empty());
	EXPECT_TRUE(ReadTable(Image({Chunk(SampleTable(), 0, 20)})).empty());
	EXPECT_TRUE(ReadTable(Image({Chunk(SampleTable(), 0, 0xFFFFFFF0)})).empty());
	EXPECT_TRUE(ReadTable(Image({Chunk(Bytes(3, 0), 0)})).empty());

	// A body too short for the size word, and a stream that is not zlib.
	Bytes locShort(64, 0);
	PutWord(&locShort, 2);
	locShort.insert(locShort.end(), {'R', 'Y', 'S', 0});
	EXPECT_TRUE(ReadTable(locShort).empty());
	Bytes locGarbled = locImage;
	locGarbled[locGarbled.size() - 12] ^= 0xFF;
	EXPECT_TRUE(ReadTable(locGarbled).empty());
}

TEST(KC_LineTableDeathTest, CountAtOrAboveTheSizeOverEightAsserts)
{
	Bytes locTable = SampleTable();
	ASSERT_EQ(42u, locTable.size());
	locTable[0] = 5;  // 42 / 8 = 5
	Bytes locImage = Image({Chunk(locTable, 0)});
	EXPECT_EXIT(ReadTable(locImage), testing::ExitedWithCode(kFatalExitCode),
	            "FatalError\\|Assertion \\(locNumMapLineNumbers < orgSiz / sizeof\\(MapLineNumber\\)\\) failed in "
	            "\\.\\\\kc_stacktrace, line 59");
	locTable[0] = 4;
	EXPECT_EQ(locTable, ReadTable(Image({Chunk(locTable, 0)})));
}

TEST(KC_LineTable, LoadIsCountedAndAMissingFileFails)
{
	std::string locPath = WriteScratch("kc_stacktrace_counted.exe", Image({Chunk(SampleTable(), 0)}));
	ASSERT_TRUE(KC_LoadLineNumbers(locPath.c_str()));
	std::remove(locPath.c_str());
	// Later calls count up without reading the file again.
	EXPECT_TRUE(KC_LoadLineNumbers(locPath.c_str()));
	KC_ReleaseLineNumbers();
	EXPECT_EQ(3u, KC_GetLineNumberCount());
	KC_ReleaseLineNumbers();
	EXPECT_EQ(0u, KC_GetLineNumberCount());

	EXPECT_FALSE(KC_LoadLineNumbers(locPath.c_str()));
	KC_ReleaseLineNumbers();
	// A file without a trailer opens and loads no table.
	std::string locPlain = WriteScratch("kc_stacktrace_plain.exe", Bytes(100, 1));
	EXPECT_TRUE(KC_LoadLineNumbers(locPlain.c_str()));
	EXPECT_EQ(0u, KC_GetLineNumberCount());
	KC_ReleaseLineNumbers();
	std::remove(locPlain.c_str());
}

// -- Lookup.

TEST_F(LoadedTable, EntriesAndTheSpacesBetweenThem)
{
	KC_AddressDescription locFrame;
	locFrame.myAddress = 0x401010;
	ASSERT_TRUE(KC_DescribeAddress(locFrame));
	EXPECT_EQ(20, locFrame.myLine);
	EXPECT_EQ(0u, locFrame.myOffset);
	EXPECT_EQ(0, locFrame.myNameOffset);
	EXPECT_STREQ("a.cpp", locFrame.myName);

	EXPECT_EQ("a.cpp:10+0x0\r\n", Describe(0x401000));
	EXPECT_EQ("a.cpp:10+0xf\r\n", Describe(0x40100F));
	// Between the last two entries: the second-to-last.
	EXPECT_EQ("a.cpp:20+0x1f\r\n", Describe(0x40102F));
	EXPECT_EQ("dir/b.h:32767+0x0\r\n", Describe(0x401030));
}

TEST_F(LoadedTable, OutsideTheTableByModuleAndOffset)
{
	// An address of this test program lies above the table's last entry.
	uintptr_t locHere = reinterpret_cast<uintptr_t>(&Describe);
	ASSERT_GT(locHere, static_cast<uintptr_t>(0x401030));
	KC_AddressDescription locFrame;
	locFrame.myAddress = locHere;
	ASSERT_TRUE(KC_DescribeAddress(locFrame));
	EXPECT_EQ(-1, locFrame.myNameOffset);
	EXPECT_EQ(0, locFrame.myLine);
	EXPECT_NE(std::string::npos, std::string(locFrame.myName).find("kc_stacktrace_test")) << locFrame.myName;
	EXPECT_LT(locFrame.myOffset, static_cast<uintptr_t>(64 << 20));
	char locExpected[320];
	std::snprintf(locExpected, sizeof(locExpected), "%s+0x%llx\r\n", locFrame.myName,
	              static_cast<unsigned long long>(locFrame.myOffset));
	EXPECT_EQ(locExpected, Describe(locHere));

	// Below the first entry, where nothing is mapped: no name, the address as offset.
	locFrame.myAddress = 0x1234;
	ASSERT_TRUE(KC_DescribeAddress(locFrame));
	EXPECT_EQ(-1, locFrame.myNameOffset);
	EXPECT_STREQ("", locFrame.myName);
	EXPECT_EQ(0x1234u, locFrame.myOffset);
	EXPECT_EQ("+0x1234\r\n", Describe(0x1234));
}

TEST(KC_LineTable, WithoutATableAddressesAreBare)
{
	ASSERT_EQ(0u, KC_GetLineNumberCount());
	KC_AddressDescription locFrame;
	locFrame.myAddress = 0x401000;
	EXPECT_FALSE(KC_DescribeAddress(locFrame));
	EXPECT_EQ("0x00401000\r\n", Describe(0x401000));
	EXPECT_EQ("0x0000abcd\r\n", Describe(0xABCD));
}

TEST(KC_LineTable, NamePoolOffsetsStayInsideTheTable)
{
	// One entry whose name offset points past the pool, one whose name runs to the end unterminated.
	Bytes locTable;
	PutWord(&locTable, 2);
	PutWord(&locTable, 0x1000);
	PutWord(&locTable, 5 | (0x1FFFFu << 15));
	PutWord(&locTable, 0x2000);
	PutWord(&locTable, 6 | (2u << 15));
	locTable.insert(locTable.end(), {'x', 'y', 'z', 'w', 'v', 'u'});
	std::string locPath = WriteScratch("kc_stacktrace_pool.exe", Image({Chunk(locTable, 0)}));
	ASSERT_TRUE(KC_LoadLineNumbers(locPath.c_str()));
	EXPECT_EQ(":5+0x10\r\n", Describe(0x1010));
	EXPECT_EQ("zwvu:6+0x0\r\n", Describe(0x2000));
	KC_ReleaseLineNumbers();
	std::remove(locPath.c_str());
}

// -- The stack walk.

TEST(KC_StackWalk, StopsAtTheFirstFrameItCannotFollow)
{
	FakeStack locStack;
	// Unreadable frame pointer: the instruction pointer only.
	EXPECT_EQ(std::vector<uintptr_t>({0x401005}), locStack.Walk(0x401005, 0x2000));

	locStack.Frame(0x1000, 0x1010, 0x401011);
	locStack.Frame(0x1010, 0x1020, 0);         // zero return address: not recorded
	locStack.Frame(0x1020, 0x1040, 0x401022);
	locStack.Frame(0x1040, 0x1040, 0x401033);  // link not above the frame
	EXPECT_EQ(std::vector<uintptr_t>({0x401005, 0x401011, 0x401022}), locStack.Walk(0x401005, 0x1000));

	locStack.Frame(0x1040, 0x1052, 0x401033);  // link not a multiple of 4
	EXPECT_EQ(3u, locStack.Walk(0x401005, 0x1000).size());
	locStack.Frame(0x1040, 0x3000, 0x401033);  // link to unreadable memory
	EXPECT_EQ(3u, locStack.Walk(0x401005, 0x1000).size());
	locStack.Frame(0x1040, 0x1060, 0x401033);
	locStack.Frame(0x1060, 0, 0x401044);
	EXPECT_EQ(std::vector<uintptr_t>({0x401005, 0x401011, 0x401022, 0x401033}), locStack.Walk(0x401005, 0x1000));
}

TEST(KC_StackWalk, DeepChainGivesThirtyTwoAddresses)
{
	FakeStack locStack;
	for (uint32_t i = 0; i < 100; ++i)
		locStack.Frame(0x10000 + 16 * i, 0x10000 + 16 * (i + 1), 0x401000 + i);
	std::vector<uintptr_t> locFrames = locStack.Walk(0x400FFF, 0x10000);
	ASSERT_EQ(32u, locFrames.size());
	EXPECT_EQ(0x400FFFu, locFrames[0]);
	EXPECT_EQ(0x40101Eu, locFrames[31]);
}

#ifdef _WIN32
// The walk of a real thread context, as the crash filter and the deadlock
// watcher take it: the frame-pointer chain on 32-bit Windows, unwind data on x64.
namespace
{
volatile int ourSink = 0;
uintptr_t ourIntoMiddle = 0;
uintptr_t ourIntoCaller = 0;
std::vector<uintptr_t> ourWalked;

__attribute__((noinline)) void WalkHere()
{
	ourIntoMiddle = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
	CONTEXT locContext;
	std::memset(&locContext, 0, sizeof(locContext));
	locContext.ContextFlags = CONTEXT_FULL;
	RtlCaptureContext(&locContext);
	uintptr_t locAddresses[KC_MAX_STACK_FRAMES];
	int locCount = KC_WalkContext(locContext, locAddresses);
	ourWalked.assign(locAddresses, locAddresses + locCount);
	ourSink = ourSink + 1;
}

__attribute__((noinline)) void Middle()
{
	ourIntoCaller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
	WalkHere();
	ourSink = ourSink + 1;
}
}

TEST(KC_StackWalk, ThreadContextReachesEachCallerInOrder)
{
	Middle();
	ourSink = ourSink + 1;
	ASSERT_GE(ourWalked.size(), 3u);
	EXPECT_LE(ourWalked.size(), static_cast<size_t>(KC_MAX_STACK_FRAMES));
	// 32-bit RtlCaptureContext gives the context of its caller's return.
	std::vector<uintptr_t>::iterator locMiddle = std::find(ourWalked.begin(), ourWalked.end(), ourIntoMiddle);
	ASSERT_NE(ourWalked.end(), locMiddle) << "no return into Middle";
	EXPECT_NE(ourWalked.end(), std::find(locMiddle + 1, ourWalked.end(), ourIntoCaller)) << "no return into the test";
}
#endif

// -- The report.

TEST_F(LoadedTable, AccessViolationWritingToZero)
{
	FakeStack locStack;
	locStack.Frame(0x1000, 0x1010, 0x401012);
	locStack.Frame(0x1010, 0x1020, 0x401030);
	locStack.Frame(0x1020, 0x1000, 0x401035);
	EXPECT_EQ("Access violation writing to 0x00000000 at 0x00401004\r\n"
	          "\r\n"
	          "a.cpp:10+0x4\r\n"
	          "a.cpp:20+0x2\r\n"
	          "dir/b.h:32767+0x0\r\n",
	          Report(AccessViolation(1, 0, 0x401004), locStack.Walk(0x401004, 0x1000)));
	EXPECT_EQ("Access violation reading from 0x0000fff0 at 0x00401004\r\n\r\n",
	          Report(AccessViolation(0, 0xFFF0, 0x401004), {}));
	EXPECT_EQ("Access violation UNKNOWN(!) access to 0x00000010 at 0x00401004\r\n\r\n",
	          Report(AccessViolation(8, 0x10, 0x401004), {}));
}

TEST_F(LoadedTable, UnreadableFramePointerGivesOneFrame)
{
	FakeStack locStack;
	KC_ExceptionSummary locDivide = {0xC0000094, 0x401011, 0, {0, 0}};
	std::string locReport = Report(locDivide, locStack.Walk(0x401011, 0xDEAD0000));
	EXPECT_EQ("Integer divide by zero at 0x00401011\r\n\r\na.cpp:20+0x1\r\n", locReport);
	EXPECT_EQ(3, CountLines(locReport));
}

TEST_F(LoadedTable, ExceptionNames)
{
	KC_ExceptionSummary locException = {0xC00000FD, 0x500000, 0, {0, 0}};
	EXPECT_EQ(0u, Report(locException, {}).find("Stack overflow at 0x00500000\r\n"));
	locException.myCode = 0xC000013A;
	EXPECT_EQ(0u, Report(locException, {}).find("Ctrl+C at "));
	locException.myCode = 0x80000003;
	EXPECT_EQ(0u, Report(locException, {}).find("Breakpoint at "));
	locException.myCode = 0xE06D7363;
	EXPECT_EQ(0u, Report(locException, {}).find("Unknown exception e06d7363 at 0x00500000"));
}

TEST(KC_CrashReport, DeepRecursionIsCutAfterThe3840thCharacter)
{
	// A name of 200 characters makes each frame line about 215 characters long.
	const std::string locName(200, 'n');
	Bytes locTable;
	PutWord(&locTable, 2);
	PutWord(&locTable, 0x401000);
	PutWord(&locTable, 77);
	PutWord(&locTable, 0x402000);
	PutWord(&locTable, 78);
	locTable.insert(locTable.end(), locName.begin(), locName.end());
	locTable.push_back(0);
	std::string locPath = WriteScratch("kc_stacktrace_long.exe", Image({Chunk(locTable, 0)}));
	ASSERT_TRUE(KC_LoadLineNumbers(locPath.c_str()));

	FakeStack locStack;
	for (uint32_t i = 0; i < 200; ++i)
		locStack.Frame(0x10000 + 8 * i, 0x10000 + 8 * (i + 1), 0x401010);
	std::vector<uintptr_t> locFrames = locStack.Walk(0x401010, 0x10000);
	ASSERT_EQ(32u, locFrames.size());
	KC_ExceptionSummary locOverflow = {0xC00000FD, 0x401010, 0, {0, 0}};
	std::string locReport = Report(locOverflow, locFrames);
	const std::string locLine = locName + ":77+0x10\r\n";
	// Lines are added until the text is longer than 3840 characters.
	size_t locHead = std::string("Stack overflow at 0x00401010\r\n\r\n").size();
	size_t locLines = (3840 - locHead) / locLine.size() + 1;
	EXPECT_LT(locLines, 32u);
	EXPECT_EQ(locHead + locLines * locLine.size(), locReport.size());
	EXPECT_EQ(locLine, locReport.substr(locReport.size() - locLine.size()));
	KC_ReleaseLineNumbers();

	// Short lines: all 32 frames.
	std::vector<uintptr_t> locShort(32, 0x12345678);
	EXPECT_EQ(2 + 32, CountLines(Report(locOverflow, locShort)));
	std::remove(locPath.c_str());
}

#ifdef _WIN32
namespace
{
// Stand-ins for the reporter thread: each is asked for its report at once.
struct Reporter
{
	HANDLE myDone = CreateEventA(NULL, TRUE, FALSE, NULL);
	HANDLE myThread = NULL;
	DWORD myId = 0;
	CRITICAL_SECTION* myLock = NULL;
	DWORD myBoxTime = 0;

	void Start(LPTHREAD_START_ROUTINE aRoutine) { myThread = CreateThread(NULL, 0, aRoutine, this, 0, &myId); }
	~Reporter()
	{
		WaitForSingleObject(myThread, 10000);
		CloseHandle(myThread);
		CloseHandle(myDone);
	}
};

// Waits for a lock that the thread that faulted holds, as for the loader's.
DWORD WINAPI StuckOnALock(LPVOID aReporter)
{
	Reporter* locReporter = static_cast<Reporter*>(aReporter);
	EnterCriticalSection(locReporter->myLock);
	LeaveCriticalSection(locReporter->myLock);
	SetEvent(locReporter->myDone);
	return 0;
}

DWORD WINAPI ReportsAtOnce(LPVOID aReporter)
{
	SetEvent(static_cast<Reporter*>(aReporter)->myDone);
	return 0;
}

// Shows a visible window, the box, for myBoxTime milliseconds.
DWORD WINAPI ShowsABox(LPVOID aReporter)
{
	Reporter* locReporter = static_cast<Reporter*>(aReporter);
	HWND locBox = CreateWindowExA(0, "STATIC", "BOOOOOOM!", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, NULL, NULL,
	                              GetModuleHandleA(NULL), NULL);
	DWORD locEnd = GetTickCount() + locReporter->myBoxTime;
	while (GetTickCount() < locEnd)
	{
		MSG locMessage;
		while (PeekMessageA(&locMessage, NULL, 0, 0, PM_REMOVE))
			DispatchMessageA(&locMessage);
		Sleep(10);
	}
	DestroyWindow(locBox);
	SetEvent(locReporter->myDone);
	return locBox != NULL;
}
} // namespace

TEST(KC_CrashFilter, TheFaultingThreadWaitsForTheReporterOnlyWhileItCanAnswer)
{
	{
		// Stuck: the wait ends after the time limit, and the faulting thread reports itself.
		CRITICAL_SECTION locLoaderLock;
		InitializeCriticalSection(&locLoaderLock);
		EnterCriticalSection(&locLoaderLock);
		Reporter locStuck;
		locStuck.myLock = &locLoaderLock;
		locStuck.Start(StuckOnALock);
		DWORD locStart = GetTickCount();
		EXPECT_FALSE(KC_AwaitReporter(locStuck.myDone, locStuck.myThread, locStuck.myId, 300));
		DWORD locWaited = GetTickCount() - locStart;
		EXPECT_GE(locWaited, 250u);
		EXPECT_LT(locWaited, 5000u);
		LeaveCriticalSection(&locLoaderLock);
		EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(locStuck.myDone, 10000));
		DeleteCriticalSection(&locLoaderLock);
	}
	{
		Reporter locQuick;
		locQuick.Start(ReportsAtOnce);
		EXPECT_TRUE(KC_AwaitReporter(locQuick.myDone, locQuick.myThread, locQuick.myId, 300));
	}
	{
		// A box that stays up longer than the time limit is waited for.
		Reporter locBox;
		locBox.myBoxTime = 1500;
		locBox.Start(ShowsABox);
		DWORD locStart = GetTickCount();
		EXPECT_TRUE(KC_AwaitReporter(locBox.myDone, locBox.myThread, locBox.myId, 300));
		EXPECT_GE(GetTickCount() - locStart, 1400u);
		EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(locBox.myDone, 0));
		DWORD locShown = 0;
		WaitForSingleObject(locBox.myThread, 10000);
		GetExitCodeThread(locBox.myThread, &locShown);
		EXPECT_EQ(1u, locShown) << "the box could not be made";
	}
}
#endif
