#include "linetable_lib.h"

#include "kc_stacktrace.h"
#include "kc_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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
		Row(0x401000, 12, "src/main.cpp"), Row(0x401008, 13, "src/main.cpp"),
		Row(0x401010, 100, "/usr/include/c++/12/vector"), Row(0x401018, 14, "src/main.cpp"),
		Row(0x401020, 9, "other.h"), Row(0x402000, 5, "my file.cpp")};
	EXPECT_EQ(locExpected, Parse(locText));
}

TEST(Linetable, RowsUnderAnotherHeaderTakeThePathOfTheirOwnName)
{
	// objdump starts a sequence under the header of the file before it; the
	// row's own file is named by a header later in the unit, in another unit
	// only, or by none.
	const char* locText =
		"CU: /src/root/lib/list.cpp:\n"
		"iterator.h                                    20            0x401000               x\n"
		"/src/root/lib/iterator.h:\n"
		"iterator.h                                    21            0x401004               x\n"
		"/src/root/lib/list.cpp:\n"
		"list.cpp                                      30            0x401008               x\n"
		"\n"
		"CU: /src/root/app/main.cpp:\n"
		"iterator.h                                    22            0x402000               x\n"
		"nowhere.h                                      7            0x402008               x\n";
	std::istringstream locInput(locText);
	std::vector<LT_Row> locRows;
	std::string locError;
	ASSERT_TRUE(LT_ParseDecodedLines(locInput, &locRows, &locError, "/src/root/"));
	std::vector<LT_Row> locExpected = {
		Row(0x401000, 20, "lib/iterator.h"), Row(0x401004, 21, "lib/iterator.h"), Row(0x401008, 30, "lib/list.cpp"),
		Row(0x402000, 22, "lib/iterator.h"), Row(0x402008, 7, "nowhere.h")};
	EXPECT_EQ(locExpected, locRows);
}

namespace
{
void PutLittle(Bytes& anImage, size_t anOffset, uint64_t aValue, int aCount)
{
	for (int i = 0; i < aCount; ++i)
		anImage[anOffset + i] = static_cast<unsigned char>(aValue >> (8 * i));
}

// A PE32 header with the sections given as (address, size, characteristics).
Bytes PeImage(const std::vector<std::vector<uint32_t>>& aSections)
{
	const size_t locHeader = 0x80, locOptionalSize = 0xE0;
	Bytes locImage(locHeader + 24 + locOptionalSize + 40 * aSections.size(), 0);
	locImage[0] = 'M';
	locImage[1] = 'Z';
	PutLittle(locImage, 0x3C, locHeader, 4);
	std::memcpy(&locImage[locHeader], "PE\0\0", 4);
	PutLittle(locImage, locHeader + 6, aSections.size(), 2);
	PutLittle(locImage, locHeader + 20, locOptionalSize, 2);
	PutLittle(locImage, locHeader + 24, 0x10B, 2);
	PutLittle(locImage, locHeader + 24 + 28, 0x400000, 4);
	size_t locAt = locHeader + 24 + locOptionalSize;
	for (const std::vector<uint32_t>& locSection : aSections)
	{
		PutLittle(locImage, locAt + 8, locSection[1], 4);
		PutLittle(locImage, locAt + 12, locSection[0], 4);
		PutLittle(locImage, locAt + 36, locSection[2], 4);
		locAt += 40;
	}
	return locImage;
}
}

TEST(Linetable, CodeSectionsOfAPeImageKeepTheirRows)
{
	// .text (code), .data, a section marked only executable.
	Bytes locImage = PeImage({{0x1000, 0x200, 0x60000020}, {0x2000, 0x100, 0xC0000040}, {0x3000, 0x10, 0x20000000}});
	std::vector<LT_CodeRange> locRanges;
	std::string locError;
	ASSERT_TRUE(LT_ReadCodeRanges(locImage.data(), locImage.size(), &locRanges, &locError)) << locError;
	ASSERT_EQ(2u, locRanges.size());
	EXPECT_EQ(0x401000u, locRanges[0].myStart);
	EXPECT_EQ(0x401200u, locRanges[0].myEnd);
	EXPECT_EQ(0x403000u, locRanges[1].myStart);

	std::vector<LT_Row> locRows = {Row(0x6, 1, "a.h"), Row(0x401000, 2, "a.cpp"), Row(0x4011FF, 3, "a.cpp"),
	                               Row(0x401200, 4, "a.cpp"), Row(0x402010, 5, "a.cpp"), Row(0x40300F, 6, "b.cpp")};
	EXPECT_EQ(3u, LT_KeepCodeRows(&locRows, locRanges));
	EXPECT_EQ(std::vector<LT_Row>({Row(0x401000, 2, "a.cpp"), Row(0x4011FF, 3, "a.cpp"), Row(0x40300F, 6, "b.cpp")}),
	          locRows);

	// Every cut of the header, a section table past the end and no PE signature are refused.
	for (size_t locSize = 0; locSize < locImage.size(); ++locSize)
	{
		Bytes locCut(locImage.begin(), locImage.begin() + locSize);
		EXPECT_FALSE(LT_ReadCodeRanges(locCut.data(), locCut.size(), &locRanges, &locError)) << locSize;
	}
	Bytes locBad = locImage;
	PutLittle(locBad, 0x80 + 6, 0xFFFF, 2);
	EXPECT_FALSE(LT_ReadCodeRanges(locBad.data(), locBad.size(), &locRanges, &locError));
	locBad = locImage;
	PutLittle(locBad, 0x3C, 0xFFFFFFF0u, 4);
	EXPECT_FALSE(LT_ReadCodeRanges(locBad.data(), locBad.size(), &locRanges, &locError));
}

#if defined(LT_MINGW_CXX) && defined(LT_MINGW_OBJDUMP)
TEST(Linetable, ProgramWithDiscardedInlineCodeGetsATableOfCodeOnly)
{
	// Both units compile the header's inline functions; the copies the linker
	// discards keep line rows at small offsets from address 0.
	std::string locProbe = KC_TestDataFolder() + "/probe";
	std::string locExe = KC_TestScratchFolder() + "/probe.exe";
	std::remove(locExe.c_str());
	std::string locCommand = std::string("'") + LT_MINGW_CXX + "' -g1 -O0 -static '" + locProbe + "/probe_a.cpp' '" +
	                         locProbe + "/probe_b.cpp' -o '" + locExe + "'";
	ASSERT_EQ(0, std::system(locCommand.c_str())) << locCommand;

	LT_BuildReport locReport = {0, 0, 0, 0};
	std::string locError;
	ASSERT_TRUE(LT_AppendToExecutable(LT_MINGW_OBJDUMP, locExe, &locReport, &locError, KC_TestDataFolder()))
		<< locError;
	EXPECT_GT(locReport.myDropped, 0u);

	LT_CheckReport locCheck = {0, 0, 0};
	ASSERT_TRUE(LT_CheckExecutable(locExe, &locCheck, &locError)) << locError;
	EXPECT_EQ(locReport.myEntries, locCheck.myEntries);
	EXPECT_EQ(0u, locCheck.myOutsideCode);

	// The probe's own rows are there, named relative to the source root.
	Bytes locImage;
	std::string locText = ReadWholeFile(locExe);
	locImage.assign(locText.begin(), locText.end());
	uint32_t locSize = 0;
	unsigned char* locTable = KC_ReadLineTable(locImage.data(), static_cast<uint32_t>(locImage.size()), &locSize);
	ASSERT_NE(nullptr, locTable);
	std::string locPool(reinterpret_cast<char*>(locTable), locSize);
	delete[] locTable;
	EXPECT_NE(std::string::npos, locPool.find(std::string("probe/probe.h\0", 14)));
	EXPECT_NE(std::string::npos, locPool.find(std::string("probe/probe_b.cpp\0", 18)));
	EXPECT_EQ(std::string::npos, locPool.find(KC_TestDataFolder()));
}
#endif

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
