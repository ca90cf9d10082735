#include "kf_file.h"
#include "file_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace
{
std::string ReadLineOf(KF_File& aFile, unsigned int aBufferSize = 256)
{
	char locBuffer[1024];
	aFile.ReadLine(locBuffer, aBufferSize);
	return locBuffer;
}

class KF_FileTest : public ::testing::Test
{
protected:
	ScratchFolder myScratch;

	std::string Path(const char* aName) { return myScratch.Path(aName); }
};

TEST_F(KF_FileTest, LineReaderDropsCommentsAndTrailingWhiteSpace)
{
	WriteWholeFile(Path("a.txt"), "abc  // note\r\nabc// note\r\n  \t  indented  \r\nlast");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("a.txt").c_str(), OPEN_READ));
	EXPECT_EQ("abc", ReadLineOf(locFile));
	EXPECT_EQ("abc", ReadLineOf(locFile));
	EXPECT_EQ("indented", ReadLineOf(locFile));
	EXPECT_EQ("last", ReadLineOf(locFile));
	EXPECT_EQ("", ReadLineOf(locFile));
}

TEST_F(KF_FileTest, LineReaderReadsMemoryAsItReadsTheDisk)
{
	// Texts of line ends, blanks, slashes and NULs, read whole from memory and
	// byte by byte from the disk: the same lines (up to their first NUL) at the
	// same positions, for buffers from tiny to roomy.
	const char* const locPieces[] = {"a", "bc", " ", "\t", "/", "//", "\r\n", "\r\n", "\n", "\r", "x y", "\0"};
	unsigned int locSeed = 12345;
	for (int locCase = 0; locCase < 1500; ++locCase)
	{
		std::string locText;
		locSeed = locSeed * 1103515245u + 12345u;
		int locCount = static_cast<int>((locSeed >> 16) % 40);
		for (int locIndex = 0; locIndex < locCount; ++locIndex)
		{
			locSeed = locSeed * 1103515245u + 12345u;
			const char* locPiece = locPieces[(locSeed >> 16) % 12];
			locText.append(locPiece, *locPiece ? std::strlen(locPiece) : 1);
		}
		WriteWholeFile(Path("m.txt"), locText);
		for (unsigned int locBufferSize : {2u, 5u, 16u, 256u})
		{
			KF_File locMemory, locDisk;
			ASSERT_TRUE(locMemory.Open(Path("m.txt").c_str(), OPEN_READ));
			ASSERT_TRUE(locDisk.Open(Path("m.txt").c_str(), OPEN_READ | OPEN_STREAMING));
			for (size_t locCall = 0; locCall <= locText.size() + 1; ++locCall)
			{
				char locFromMemory[300], locFromDisk[300];
				std::memset(locFromMemory, 0x55, sizeof(locFromMemory));
				std::memset(locFromDisk, 0x55, sizeof(locFromDisk));
				locMemory.ReadLine(locFromMemory, locBufferSize);
				locDisk.ReadLine(locFromDisk, locBufferSize);
				ASSERT_EQ(std::string(locFromDisk), std::string(locFromMemory))
					<< "case " << locCase << ", buffer " << locBufferSize << ", call " << locCall;
				ASSERT_EQ(locDisk.GetPosition(), locMemory.GetPosition()) << "case " << locCase;
			}
		}
	}
}

TEST_F(KF_FileTest, StreamingLineReaderMatchesMemoryAcrossItsWindow)
{
	// Texts of several windows with lines, blank runs and comments longer than
	// a buffer, read from memory and through the window: the same lines at the
	// same positions, also when a line is peeked at and the file sought back
	// (which may leave the window).
	const std::string locPieces[] = {"a", "bc", " ", "\t", "/", "//", "\r\n", "\r\n", "\n", "\r", "x y",
		std::string(5000, 'w'), std::string(70000, ' '), "// " + std::string(3000, 'c') + "\r\n",
		std::string(300, '\r') + "\n"};
	const size_t locPieceCount = sizeof(locPieces) / sizeof(locPieces[0]);
	unsigned int locSeed = 777;
	for (int locCase = 0; locCase < 6; ++locCase)
	{
		std::string locText;
		while (locText.size() < 3 * KF_File::KF_WINDOW_SIZE)
		{
			locSeed = locSeed * 1103515245u + 12345u;
			size_t locPiece = (locSeed >> 16) % (locPieceCount * 8);
			// Mostly short pieces; the long ones now and then.
			locText += locPiece < 11 * 8 ? locPieces[locPiece % 11] : locPieces[locPiece % locPieceCount];
		}
		WriteWholeFile(Path("w.txt"), locText);
		for (unsigned int locBufferSize : {16u, 4096u})
		{
			KF_File locMemory, locDisk;
			ASSERT_TRUE(locMemory.Open(Path("w.txt").c_str(), OPEN_READ));
			ASSERT_TRUE(locDisk.Open(Path("w.txt").c_str(), OPEN_READ | OPEN_STREAMING));
			ASSERT_EQ(nullptr, locDisk.GetData());
			std::vector<char> locFromMemory(locBufferSize), locFromDisk(locBufferSize);
			for (int locCall = 0; locMemory.GetPosition() < locMemory.GetSize(); ++locCall)
			{
				bool locPeek = locCall % 5 == 0;
				unsigned int locPosition = locDisk.GetPosition();
				locMemory.ReadLine(locFromMemory.data(), locBufferSize);
				locDisk.ReadLine(locFromDisk.data(), locBufferSize);
				ASSERT_EQ(std::string(locFromMemory.data()), std::string(locFromDisk.data()))
					<< "case " << locCase << ", buffer " << locBufferSize << ", call " << locCall;
				ASSERT_EQ(locMemory.GetPosition(), locDisk.GetPosition()) << "case " << locCase << ", call " << locCall;
				if (locPeek)
				{
					ASSERT_TRUE(locMemory.Seek(static_cast<int>(locPosition), 0));
					ASSERT_TRUE(locDisk.Seek(static_cast<int>(locPosition), 0));
					locMemory.ReadLine(locFromMemory.data(), locBufferSize);
					locDisk.ReadLine(locFromDisk.data(), locBufferSize);
					ASSERT_EQ(std::string(locFromMemory.data()), std::string(locFromDisk.data()));
				}
			}
			EXPECT_EQ(locMemory.GetSize(), locDisk.GetPosition());
		}
	}
}

TEST_F(KF_FileTest, StreamingReadsMixWindowAndHandle)
{
	std::string locText(3 * KF_File::KF_WINDOW_SIZE + 123, 0);
	for (size_t locIndex = 0; locIndex < locText.size(); ++locIndex)
		locText[locIndex] = static_cast<char>(locIndex * 7 + locIndex / 251);
	WriteWholeFile(Path("r.bin"), locText);
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("r.bin").c_str(), OPEN_READ | OPEN_STREAMING));
	auto Expect = [&](unsigned int anAt, unsigned int aCount) {
		std::string locRead(aCount, 0);
		ASSERT_TRUE(locFile.Seek(static_cast<int>(anAt), 0));
		ASSERT_EQ(aCount, locFile.Read(&locRead[0], aCount));
		EXPECT_EQ(locText.substr(anAt, aCount), locRead) << anAt << " " << aCount;
		EXPECT_EQ(anAt + aCount, locFile.GetPosition());
	};
	// Peek fills the window from the position; it slides when fewer bytes than
	// wanted are left in it.
	unsigned int locCount = 0;
	const unsigned char* locBytes = locFile.Peek(10, locCount);
	ASSERT_EQ(static_cast<unsigned int>(KF_File::KF_WINDOW_SIZE), locCount);
	EXPECT_EQ(0, std::memcmp(locBytes, locText.data(), locCount));
	ASSERT_TRUE(locFile.Seek(KF_File::KF_WINDOW_SIZE - 5, 0));
	locBytes = locFile.Peek(3, locCount);
	EXPECT_EQ(5u, locCount);
	locBytes = locFile.Peek(100, locCount);
	ASSERT_EQ(static_cast<unsigned int>(KF_File::KF_WINDOW_SIZE), locCount);
	EXPECT_EQ(0, std::memcmp(locBytes, locText.data() + KF_File::KF_WINDOW_SIZE - 5, locCount));
	// Reads within the window, across its end, larger than it, and after seeks
	// back and forth.
	Expect(KF_File::KF_WINDOW_SIZE, 1000);
	Expect(2 * KF_File::KF_WINDOW_SIZE - 10, 20);
	Expect(10, 2 * KF_File::KF_WINDOW_SIZE + 50);
	Expect(5, 4);
	locFile.Peek(KF_File::KF_WINDOW_SIZE, locCount);
	Expect(KF_File::KF_WINDOW_SIZE + 3, 2 * KF_File::KF_WINDOW_SIZE + 120);
	EXPECT_EQ(0u, locFile.Read(&locText[0], 1));
	EXPECT_EQ(nullptr, locFile.Peek(1, locCount));
	EXPECT_EQ(0u, locCount);
}

TEST_F(KF_FileTest, LineReaderSkipsBlankAndCommentOnlyLines)
{
	WriteWholeFile(Path("b.txt"), "one\r\n \t \r\n// only a comment\r\n\r\ntwo\r\n");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("b.txt").c_str(), OPEN_READ));
	EXPECT_EQ("one", ReadLineOf(locFile));
	EXPECT_EQ("two", ReadLineOf(locFile));
	EXPECT_EQ("", ReadLineOf(locFile));
	EXPECT_EQ(locFile.GetSize(), locFile.GetPosition());
}

TEST_F(KF_FileTest, LineReaderTreatsLoneLineFeedAsWhiteSpace)
{
	WriteWholeFile(Path("c.txt"), "first\nsecond\nthird\n");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("c.txt").c_str(), OPEN_READ));
	// Not a line end: the end of the file returns the text untrimmed.
	EXPECT_EQ("first\nsecond\nthird\n", ReadLineOf(locFile));

	ASSERT_TRUE(locFile.Open(Path("c.txt").c_str(), OPEN_READ));
	EXPECT_EQ("first\nsec", ReadLineOf(locFile, 10));
}

TEST_F(KF_FileTest, LineReaderContinuesAfterFullBuffer)
{
	WriteWholeFile(Path("d.txt"), "abcdef  ghi\r\n  next\r\n");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("d.txt").c_str(), OPEN_READ));
	EXPECT_EQ("abcdef ", ReadLineOf(locFile, 8));
	// The continuation keeps white space at its start as content.
	EXPECT_EQ(" ghi", ReadLineOf(locFile, 8));
	EXPECT_EQ("next", ReadLineOf(locFile, 8));
}

TEST_F(KF_FileTest, LineReaderKeepsLineEndSplitByFullBuffer)
{
	// The buffer fills right after the CR; its LF still ends the line.
	WriteWholeFile(Path("e.txt"), "abcd\r\nnext\r\n");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("e.txt").c_str(), OPEN_READ));
	EXPECT_EQ("abcd", ReadLineOf(locFile, 5));
	EXPECT_EQ("\r", ReadLineOf(locFile, 2));
	EXPECT_EQ("next", ReadLineOf(locFile, 8));
}

TEST_F(KF_FileTest, LineReaderReturnsLastLineUntrimmed)
{
	WriteWholeFile(Path("f.txt"), "x\r\n  tail  ");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("f.txt").c_str(), OPEN_READ));
	EXPECT_EQ("x", ReadLineOf(locFile));
	EXPECT_EQ("tail  ", ReadLineOf(locFile));
}

TEST_F(KF_FileTest, SeekMovesFromEachOrigin)
{
	WriteWholeFile(Path("ten"), "0123456789");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("ten").c_str(), OPEN_READ));
	EXPECT_TRUE(locFile.Seek(2, 2));
	EXPECT_EQ(8u, locFile.GetPosition());
	EXPECT_TRUE(locFile.Seek(-3, 1));
	EXPECT_EQ(5u, locFile.GetPosition());
	EXPECT_FALSE(locFile.Seek(1, 3));
	EXPECT_EQ(5u, locFile.GetPosition());
	EXPECT_TRUE(locFile.Seek(10, 0));
	char locByte = 0;
	EXPECT_EQ(0u, locFile.Read(&locByte, 1));
}

TEST_F(KF_FileTest, StreamingFileReadsAndSeeksThroughHandle)
{
	WriteWholeFile(Path("s"), "0123456789");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("s").c_str(), OPEN_READ | OPEN_STREAMING));
	EXPECT_EQ(nullptr, locFile.GetData());
	char locBytes[16] = {0};
	EXPECT_EQ(3u, locFile.Read(locBytes, 3));
	EXPECT_STREQ("012", locBytes);
	ASSERT_TRUE(locFile.Seek(4, 2));
	EXPECT_EQ(4u, locFile.Read(locBytes, 16));
	EXPECT_EQ(0, std::memcmp(locBytes, "6789", 4));
}

TEST_F(KF_FileTest, ReadIntIsLittleEndian)
{
	WriteWholeFile(Path("i"), std::string("\x78\x56\x34\x12\xFF\xFF", 6));
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("i").c_str(), OPEN_READ));
	int locValue = 0;
	ASSERT_TRUE(locFile.ReadInt(&locValue));
	EXPECT_EQ(0x12345678, locValue);
	EXPECT_FALSE(locFile.ReadInt(&locValue));
	EXPECT_EQ(0x12345678, locValue);
}

TEST_F(KF_FileTest, WriteModeReachesDiskOnlyAtClose)
{
	std::string locName = Path("deep/er/w.bin");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(locName.c_str(), OPEN_WRITE));
	std::string locExpected;
	for (int i = 0; i < 20000; ++i)
	{
		char locChunk[8];
		std::snprintf(locChunk, sizeof(locChunk), "%06d", i);
		ASSERT_TRUE(locFile.Write(locChunk, 6));
		locExpected += locChunk;
	}
	EXPECT_EQ("", ReadWholeFile(locName, ""));
	// Overwriting in the middle keeps the size.
	ASSERT_TRUE(locFile.Seek(6, 0));
	ASSERT_TRUE(locFile.Write("ABCDEF", 6));
	locExpected.replace(6, 6, "ABCDEF");
	EXPECT_TRUE(locFile.Write("", 0));
	EXPECT_EQ(120000u, locFile.GetSize());
	ASSERT_TRUE(locFile.Close());
	EXPECT_EQ(locExpected, ReadWholeFile(locName));
}

TEST_F(KF_FileTest, AppendAndKeepExisting)
{
	std::string locName = Path("five");
	WriteWholeFile(locName, "12345");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(locName.c_str(), OPEN_APPEND));
	EXPECT_EQ(OPEN_APPEND | OPEN_WRITE | OPEN_KEEP_EXISTING, locFile.GetFlags());
	EXPECT_EQ(5u, locFile.GetPosition());
	ASSERT_TRUE(locFile.Write("abc", 3));
	ASSERT_TRUE(locFile.Close());
	EXPECT_EQ("12345abc", ReadWholeFile(locName));

	// Keep-existing starts at 0; a shorter rewrite of the start keeps the rest.
	ASSERT_TRUE(locFile.Open(locName.c_str(), OPEN_WRITE | OPEN_KEEP_EXISTING));
	EXPECT_EQ(0u, locFile.GetPosition());
	ASSERT_TRUE(locFile.Write("XY", 2));
	ASSERT_TRUE(locFile.Close());
	EXPECT_EQ("XY345abc", ReadWholeFile(locName));

	// Plain write mode truncates.
	ASSERT_TRUE(locFile.Open(locName.c_str(), OPEN_WRITE));
	ASSERT_TRUE(locFile.Close());
	EXPECT_EQ("", ReadWholeFile(locName));
}

TEST_F(KF_FileTest, FailuresSetLastErrorCode)
{
	KF_File locFile;
	EXPECT_FALSE(locFile.Open(Path("missing.txt").c_str(), OPEN_READ));
	EXPECT_EQ(KF_ERROR_NOT_FOUND, KF_GetLastError());
	EXPECT_FALSE(locFile.IsOpen());
	EXPECT_FALSE(locFile.Close());
	EXPECT_EQ(KF_ERROR_NOT_OPEN, KF_GetLastError());
	// A directory is no file.
	EXPECT_FALSE(locFile.Open(myScratch.Path("").c_str(), OPEN_READ));
	EXPECT_EQ(KF_ERROR_NOT_FOUND, KF_GetLastError());

	WriteWholeFile(Path("ok"), "x");
	ASSERT_TRUE(locFile.Open(Path("ok").c_str(), OPEN_READ));
	EXPECT_EQ(KF_ERROR_NONE, KF_GetLastError());
	EXPECT_EQ(1u, locFile.GetSize());
	// Reopening closes the first file.
	EXPECT_FALSE(locFile.Open(Path("missing.txt").c_str(), OPEN_READ));
	EXPECT_FALSE(locFile.IsOpen());
}

TEST_F(KF_FileTest, EmptyFileHasNoData)
{
	WriteWholeFile(Path("empty"), "");
	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("empty").c_str(), OPEN_READ));
	EXPECT_EQ(0u, locFile.GetSize());
	EXPECT_EQ(nullptr, locFile.GetData());
	EXPECT_EQ("", ReadLineOf(locFile));
}

TEST(KF_TimeStampTest, CountsThirtyOneDayMonths)
{
	EXPECT_EQ(0u, KF_MakeTimeStamp(KC_PlatformTime{2000, 1, 1, 0, 0, 0}));
	EXPECT_EQ(((((1u * 372 + 1 * 31 + 2) * 24 + 4) * 60 + 5) * 60 + 6),
	          KF_MakeTimeStamp(KC_PlatformTime{2001, 2, 3, 4, 5, 6}));
	// The 31st of a short month still counts.
	EXPECT_EQ(KF_MakeTimeStamp(KC_PlatformTime{2024, 3, 1, 0, 0, 0}) - 86400,
	          KF_MakeTimeStamp(KC_PlatformTime{2024, 2, 31, 0, 0, 0}));
	EXPECT_EQ(0u, KF_MakeTimeStamp(KC_PlatformTime{1999, 12, 31, 23, 59, 59}));
	EXPECT_EQ(0u, KF_MakeTimeStamp(KC_PlatformTime{2134, 1, 1, 0, 0, 0}));
	EXPECT_EQ(0u, KF_MakeTimeStamp(KC_PlatformTime{2020, 13, 1, 0, 0, 0}));
	EXPECT_EQ(0u, KF_MakeTimeStamp(KC_PlatformTime{2020, 1, 1, 24, 0, 0}));
	EXPECT_EQ(0u, KF_MakeTimeStamp(KC_PlatformTime{2020, 1, 1, 0, 60, 0}));
	// Past the 32-bit range late in 2133 the stamps stay in order.
	unsigned int locMid = KF_MakeTimeStamp(KC_PlatformTime{2133, 8, 1, 0, 0, 0});
	EXPECT_GT(locMid, KF_MakeTimeStamp(KC_PlatformTime{2133, 7, 31, 0, 0, 0}));
	EXPECT_EQ(0xFFFFFFFFu, KF_MakeTimeStamp(KC_PlatformTime{2133, 12, 31, 23, 59, 59}));
}

TEST_F(KF_FileTest, FreeFunctionsFindDiskFiles)
{
	std::time_t locBefore = std::time(nullptr);
	WriteWholeFile(Path("info.txt"), "12345678");
	std::time_t locAfter = std::time(nullptr);

	EXPECT_TRUE(FileExists(Path("info.txt").c_str()));
	unsigned int locTime = 0, locSize = 0;
	char locArchive[KF_MAX_PATH] = "junk";
	ASSERT_TRUE(GetFileInfo(Path("info.txt").c_str(), &locTime, &locSize, locArchive));
	EXPECT_EQ(8u, locSize);
	EXPECT_STREQ("", locArchive);
	// The stamp is the UTC write time: between the stamps of the clock around the write.
	EXPECT_GE(locTime, StampOf(locBefore) - 2);
	EXPECT_LE(locTime, StampOf(locAfter) + 2);
	unsigned int locOnlyTime = 0;
	ASSERT_TRUE(GetFileTime(Path("info.txt").c_str(), &locOnlyTime));
	EXPECT_EQ(locTime, locOnlyTime);

	KF_File locFile;
	ASSERT_TRUE(locFile.Open(Path("info.txt").c_str(), OPEN_READ));
	EXPECT_EQ(locTime, locFile.GetTimeStamp());

	EXPECT_FALSE(FileExists(Path("nothing").c_str()));
	EXPECT_EQ(KF_ERROR_NOT_FOUND, KF_GetLastError());
	EXPECT_FALSE(GetFileTime(Path("nothing").c_str(), &locTime));
}

TEST_F(KF_FileTest, MakeDirectoriesCreatesEveryLevel)
{
	std::string locBase = Path("m1\\m2/m3/file");
	MakeDirectories(locBase.c_str());
	EXPECT_TRUE(FileExists(Path("m1").c_str()));
	EXPECT_TRUE(FileExists(Path("m1/m2/m3").c_str()));
	EXPECT_FALSE(FileExists(Path("m1/m2/m3/file").c_str()));
	// Existing levels are no failure.
	MakeDirectories(locBase.c_str());
	KF_File locFile;
	EXPECT_TRUE(locFile.Open(locBase.c_str(), OPEN_WRITE));
}

TEST_F(KF_FileTest, BrokenInvariantsAreFatal)
{
	KC_SetDeathTestStyle();
	WriteWholeFile(Path("ten"), "0123456789");
	std::string locName = Path("ten");
	EXPECT_EXIT(
		{
			KF_File locFile;
			locFile.Open(locName.c_str(), OPEN_READ);
			locFile.Seek(11, 0);
		},
		::testing::ExitedWithCode(kFatalExitCode), "myFilePos <= myFileSize");
	EXPECT_EXIT(
		{
			KF_File locFile;
			locFile.Open(locName.c_str(), OPEN_READ);
			locFile.Write("x", 1);
		},
		::testing::ExitedWithCode(kFatalExitCode), "myFlags & OPEN_WRITE");
	EXPECT_EXIT(
		{
			KF_File locFile;
			locFile.Open(locName.c_str(), OPEN_READ | OPEN_STREAMING | OPEN_COMPRESSED);
		},
		::testing::ExitedWithCode(kFatalExitCode), "OPEN_COMPRESSED");
	EXPECT_EXIT(
		{
			KF_File locFile;
			locFile.GetPosition();
		},
		::testing::ExitedWithCode(kFatalExitCode), "myFlags != KFILE_NOT_OPEN");
}
}
