#include "linetable_lib.h"

#include "kc_stacktrace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

// Row comparison and printing for the expectations (found through the row's namespace).
static bool operator==(const LT_Row& aFirst, const LT_Row& aSecond)
{
	return aFirst.myAddress == aSecond.myAddress && aFirst.myLine == aSecond.myLine && aFirst.myFile == aSecond.myFile;
}

static std::ostream& operator<<(std::ostream& aStream, const LT_Row& aRow)
{
	return aStream << std::hex << aRow.myAddress << std::dec << " " << aRow.myLine << " " << aRow.myFile;
}

namespace
{
typedef std::vector<unsigned char> Bytes;

std::vector<LT_Row> Parse(const std::string& aText, bool anExpected = true)
{
	std::istringstream locInput(aText);
	std::vector<LT_Row> locRows;
	std::string locError;
	EXPECT_EQ(anExpected, LT_ParseDecodedLines(locInput, &locRows, &locError)) << locError;
	return locRows;
}

LT_Row Row(uint32_t anAddress, uint32_t aLine, const char* aFile)
{
	LT_Row locRow = {anAddress, aLine, aFile};
	return locRow;
}
}

TEST(Linetable, ReadsObjdumpDecodedLines)
{
	const char* locText =
		"prog.exe:     file format pei-i386\n"
		"\n"
		"Contents of the .debug_line section:\n"
		"\n"
		"CU: ./src/main.cpp:\n"
		"File name                            Line number    Starting address    View    Stmt\n"
		"main.cpp                                      12            0x401000               x\n"
		"main.cpp                                      13            0x401008       1       x\n"
		"/usr/include/c++/12/vector:[++]\n"
		"vector                                       100            0x401010               x\n"
		"./src/main.cpp:\n"
		"main.cpp                                      14            0x401018        \n"
		"other.h                                        9            0x401020               x\n"
		"main.cpp                                       -            0x401030\n"
		"\n"
		"\n"
		"CU: my file.cpp:\n"
		"File name                            Line number    Starting address    View    Stmt\n"
		"my file.cpp                                    5            0x402000               x\n";
	std::vector<LT_Row> locExpected = {
		Row(0x401000, 12, "./src/main.cpp"), Row(0x401008, 13, "./src/main.cpp"),
		Row(0x401010, 100, "/usr/include/c++/12/vector"), Row(0x401018, 14, "./src/main.cpp"),
		Row(0x401020, 9, "other.h"), Row(0x402000, 5, "my file.cpp")};
	EXPECT_EQ(locExpected, Parse(locText));
}

TEST(Linetable, RefusesAddressesAbove32Bits)
{
	std::istringstream locInput("CU: a.cpp:\na.cpp    3    0x140001000    x\n");
	std::vector<LT_Row> locRows;
	std::string locError;
	EXPECT_FALSE(LT_ParseDecodedLines(locInput, &locRows, &locError));
	EXPECT_NE(std::string::npos, locError.find("0x140001000 does not fit in 32 bits")) << locError;
}

TEST(Linetable, TableIsSortedWithOneEntryPerAddressAndClampedLines)
{
	std::vector<LT_Row> locRows = {Row(0x401010, 7, "src/b.cpp"), Row(0x401000, 3, "/w/a.cpp"),
	                               Row(0x401000, 4, "/w/a.cpp"), Row(0x401020, 40000, "/w/a.cpp")};
	Bytes locTable;
	LT_BuildReport locReport;
	std::string locError;
	ASSERT_TRUE(LT_BuildTable(locRows, &locTable, &locReport, &locError));
	const Bytes locExpected = {
		3, 0, 0, 0,
		0x00, 0x10, 0x40, 0x00, 0x04, 0x00, 0x00, 0x00,  // line 4, name 0
		0x10, 0x10, 0x40, 0x00, 0x07, 0x80, 0x04, 0x00,  // line 7, name 9
		0x20, 0x10, 0x40, 0x00, 0xFF, 0x7F, 0x00, 0x00,  // line 32767 (clamped), name 0
		'/', 'w', '/', 'a', '.', 'c', 'p', 'p', 0, 's', 'r', 'c', '/', 'b', '.', 'c', 'p', 'p', 0};
	EXPECT_EQ(locExpected, locTable);
	EXPECT_EQ(3u, locReport.myEntries);
	EXPECT_EQ(1u, locReport.myClampedLines);
	EXPECT_EQ(19u, locReport.myPoolSize);

	// A pool shorter than an entry is padded so that the count check holds.
	ASSERT_TRUE(LT_BuildTable({Row(0x1000, 1, "a")}, &locTable, &locReport, &locError));
	EXPECT_EQ(Bytes({1, 0, 0, 0, 0x00, 0x10, 0, 0, 1, 0, 0, 0, 'a', 0, 0, 0}), locTable);
}

TEST(Linetable, NamePoolBeyond17BitsIsRefused)
{
	std::vector<LT_Row> locRows;
	for (uint32_t i = 0; i < 1200; ++i)
		locRows.push_back(Row(0x1000 + i, 1, (std::string(110, 'd') + "/" + std::to_string(10000 + i)).c_str()));
	Bytes locTable;
	std::string locError;
	EXPECT_FALSE(LT_BuildTable(locRows, &locTable, NULL, &locError));
	EXPECT_NE(std::string::npos, locError.find("131072")) << locError;
	locRows.resize(1000);
	EXPECT_TRUE(LT_BuildTable(locRows, &locTable, NULL, &locError)) << locError;
}

TEST(Linetable, ChunkReadsBackThroughTheCrashHandler)
{
	Bytes locTable;
	std::string locError;
	ASSERT_TRUE(LT_BuildTable({Row(0x401000, 8, "x.cpp"), Row(0x401100, 9, "y.cpp")}, &locTable, NULL, &locError));
	Bytes locChunk;
	ASSERT_TRUE(LT_MakeChunk(locTable, 0, &locChunk, &locError));
	// Size, stream, length (the two before it), tag.
	EXPECT_EQ(locTable.size(), static_cast<size_t>(locChunk[0] | (locChunk[1] << 8)));
	size_t locBody = locChunk.size() - 8;
	EXPECT_EQ(locBody, static_cast<size_t>(locChunk[locBody] | (locChunk[locBody + 1] << 8)));
	EXPECT_EQ(Bytes({'R', 'Y', 'S', 0}), Bytes(locChunk.end() - 4, locChunk.end()));
	EXPECT_TRUE(LT_EndsWithChunk(locChunk.data(), locChunk.size()));

	Bytes locImage(100, 0xCC);
	locImage.insert(locImage.end(), locChunk.begin(), locChunk.end());
	uint32_t locSize = 0;
	unsigned char* locRead = KC_ReadLineTable(locImage.data(), static_cast<uint32_t>(locImage.size()), &locSize);
	ASSERT_NE(nullptr, locRead);
	EXPECT_EQ(locTable, Bytes(locRead, locRead + locSize));
	delete[] locRead;
}

TEST(Linetable, AppendRefusesATableTwiceAndAMissingObjdump)
{
	std::string locPath = testing::TempDir() + "linetable_test.exe";
	Bytes locTable, locChunk;
	std::string locError;
	ASSERT_TRUE(LT_BuildTable({Row(0x401000, 8, "x.cpp")}, &locTable, NULL, &locError));
	ASSERT_TRUE(LT_MakeChunk(locTable, 0, &locChunk, &locError));
	std::FILE* locFile = std::fopen(locPath.c_str(), "wb");
	ASSERT_NE(nullptr, locFile);
	std::fwrite("MZ", 1, 2, locFile);
	std::fwrite(locChunk.data(), 1, locChunk.size(), locFile);
	std::fclose(locFile);
	EXPECT_FALSE(LT_AppendToExecutable("objdump", locPath, NULL, &locError));
	EXPECT_NE(std::string::npos, locError.find("already ends with a line-number table")) << locError;

	locFile = std::fopen(locPath.c_str(), "wb");
	ASSERT_NE(nullptr, locFile);
	std::fwrite("MZ-not-a-program", 1, 16, locFile);
	std::fclose(locFile);
	EXPECT_FALSE(LT_AppendToExecutable("/nonexistent/objdump", locPath, NULL, &locError));
	std::remove(locPath.c_str());
}
