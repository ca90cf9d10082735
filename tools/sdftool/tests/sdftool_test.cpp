#include "sdftool_lib.h"

#include "file_test_support.h"
#include "kf_file.h"
#include "kf_sdf.h"
#include "sdf_test_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

namespace
{
uint32_t WordAt(const std::string& aBytes, size_t anOffset)
{
	uint32_t locWord = 0;
	for (int i = 3; i >= 0; --i)
		locWord = (locWord << 8) | static_cast<unsigned char>(aBytes.at(anOffset + i));
	return locWord;
}

class SdfToolTest : public ::testing::Test
{
protected:
	ScratchFolder myScratch;
	std::map<std::string, std::string> myFiles;

	void SetUp() override
	{
		std::string locBinary;
		for (int i = 0; i < 3000; ++i)
			locBinary += static_cast<char>(i * 31 % 256);
		myFiles["top.txt"] = "top\r\n";
		myFiles["Mixed Case.TXT"] = "mixed";
		myFiles["empty"] = "";
		myFiles["gfx/button.tga"] = locBinary;
		myFiles["gfx/icons/deep.bin"] = std::string(5000, 'd');
		myFiles["sound/a/b/c.wav"] = "wave";
		for (const auto& locFile : myFiles)
			WriteWholeFile(myScratch.Path("in/" + locFile.first), locFile.second);
	}

	void TearDown() override { KF_SDF::Unmount(NULL); }

	// Runs SDF_Cat into a file and returns what it wrote, or the error.
	std::string Cat(const std::string& anArchive, const char* aName)
	{
		std::string locOut = myScratch.Path("cat.out");
		std::FILE* locStream = std::fopen(locOut.c_str(), "wb");
		std::string locError;
		bool locOk = SDF_Cat(anArchive.c_str(), aName, locStream, &locError);
		std::fclose(locStream);
		return locOk ? ReadWholeFile(locOut) : "error: " + locError;
	}

	std::string List(const std::string& anArchive)
	{
		std::string locOut = myScratch.Path("list.out");
		std::FILE* locStream = std::fopen(locOut.c_str(), "wb");
		std::string locError;
		bool locOk = SDF_List(anArchive.c_str(), locStream, &locError);
		std::fclose(locStream);
		return locOk ? ReadWholeFile(locOut) : "error: " + locError;
	}
};

TEST_F(SdfToolTest, PackedArchivesReadBackInEveryMethod)
{
	for (int locMethod = 0; locMethod < 3; ++locMethod)
	{
		for (int locDirectoryMethod = 0; locDirectoryMethod < 3; ++locDirectoryMethod)
		{
			SCOPED_TRACE(std::string(SDF_MethodName(locMethod)) + " entries, " + SDF_MethodName(locDirectoryMethod) +
			             " directory");
			std::string locArchive = myScratch.Path("out.sdf");
			std::string locError;
			ASSERT_TRUE(SDF_Pack(locArchive.c_str(), myScratch.Path("in").c_str(), locMethod, locDirectoryMethod,
			                     &locError))
				<< locError;
			EXPECT_EQ(locDirectoryMethod, static_cast<int>(WordAt(ReadWholeFile(locArchive),
			                                                      WordAt(ReadWholeFile(locArchive), 4) + 4) >> 30));

			std::string locListing = List(locArchive);
			for (const auto& locFile : myFiles)
			{
				EXPECT_EQ(locFile.second, Cat(locArchive, locFile.first.c_str())) << locFile.first;
				EXPECT_NE(std::string::npos, locListing.find(locFile.first)) << locListing;
			}
			EXPECT_NE(std::string::npos, locListing.find(SDF_MethodName(locMethod)));

			ASSERT_NE(nullptr, KF_SDF::Mount(locArchive.c_str(), false));
			for (const auto& locFile : myFiles)
			{
				KF_SDFEntry locEntry;
				ASSERT_TRUE(KF_SDF::FindEntry(locFile.first.c_str(), false, NULL, &locEntry));
				EXPECT_EQ(locMethod, locEntry.myMethod);
				EXPECT_EQ(locFile.second.size(), locEntry.myUnpackedSize);
				unsigned int locDiskTime = 0;
				ASSERT_TRUE(GetFileTime(myScratch.Path("in/" + locFile.first).c_str(), &locDiskTime));
				EXPECT_EQ(locDiskTime, locEntry.myTimeStamp);
				if (locMethod == 0)
				{
					EXPECT_EQ(locEntry.myUnpackedSize, locEntry.myStoredSize);
				}
			}
			KF_SDF::Unmount(NULL);
		}
	}
}

TEST_F(SdfToolTest, ListShowsSizesAndStamps)
{
	std::string locArchive = myScratch.Path("stored.sdf");
	std::string locError;
	ASSERT_TRUE(SDF_Pack(locArchive.c_str(), myScratch.Path("in/").c_str(), 0, 0, &locError)) << locError;
	std::string locListing = List(locArchive);
	unsigned int locStamp = 0;
	ASSERT_TRUE(GetFileTime(myScratch.Path("in/gfx/button.tga").c_str(), &locStamp));
	std::string locLine = std::string("stored         3000       3000  ") + SDF_StampText(locStamp) + "  gfx/button.tga\n";
	EXPECT_NE(std::string::npos, locListing.find(locLine)) << locListing;
	EXPECT_EQ("2026-12-07 12:00:00", SDF_StampText(865684800));
	EXPECT_EQ("2000-01-31 00:00:01", SDF_StampText(30 * 86400 + 1));
}

TEST_F(SdfToolTest, FolderIndexAndRecordsDescribeTheTree)
{
	std::string locArchive = myScratch.Path("tree.sdf");
	std::string locError;
	ASSERT_TRUE(SDF_Pack(locArchive.c_str(), myScratch.Path("in").c_str(), 0, 0, &locError)) << locError;
	std::string locBytes = ReadWholeFile(locArchive);
	std::string locBlock = locBytes.substr(WordAt(locBytes, 4) + 8);
	ASSERT_EQ(locBlock.size(), WordAt(locBytes, WordAt(locBytes, 4)));

	auto TextAt = [&](uint32_t anOffset) { return std::string(locBlock.c_str() + anOffset); };
	auto NameOfRecord = [&](uint32_t anOffset) {
		std::string locFolder = TextAt(WordAt(locBlock, anOffset + 16));
		return (locFolder.empty() ? "" : locFolder + "/") + TextAt(anOffset + 20);
	};
	uint32_t locEntries = WordAt(locBlock, 0);
	ASSERT_EQ(myFiles.size(), locEntries);
	uint32_t locFolderCount = WordAt(locBlock, 4 + 8 * locEntries);
	// "", gfx, gfx/icons, sound, sound/a, sound/a/b
	ASSERT_EQ(6u, locFolderCount);

	std::map<std::string, std::pair<std::string, std::string> > locSeen;
	for (uint32_t f = 0; f < locFolderCount; ++f)
	{
		uint32_t locRecord = WordAt(locBlock, 8 + 8 * locEntries + 8 * f + 4);
		EXPECT_EQ(0u, locRecord % 4);
		std::string locSubfolders, locFiles;
		uint32_t locA = WordAt(locBlock, locRecord);
		for (uint32_t a = 0; a < locA; ++a)
			locSubfolders += TextAt(WordAt(locBlock, locRecord + 4 + 4 * a)) + ";";
		uint32_t locB = WordAt(locBlock, locRecord + 4 + 4 * locA);
		for (uint32_t b = 0; b < locB; ++b)
			locFiles += NameOfRecord(WordAt(locBlock, locRecord + 8 + 4 * locA + 4 * b)) + ";";
		// The folder's checksum in the index names it: find it among the folder paths.
		uint32_t locChecksum = WordAt(locBlock, 8 + 8 * locEntries + 8 * f);
		std::string locName = "?";
		for (const char* locCandidate : {"", "GFX", "GFX/ICONS", "SOUND", "SOUND/A", "SOUND/A/B"})
			if (KF_SDFNameChecksum(locCandidate) == locChecksum)
				locName = locCandidate;
		locSeen[locName] = std::make_pair(locSubfolders, locFiles);
	}
	EXPECT_EQ(std::make_pair(std::string("gfx;sound;"), std::string("Mixed Case.TXT;empty;top.txt;")), locSeen[""]);
	EXPECT_EQ(std::make_pair(std::string("gfx/icons;"), std::string("gfx/button.tga;")), locSeen["GFX"]);
	EXPECT_EQ(std::make_pair(std::string(""), std::string("gfx/icons/deep.bin;")), locSeen["GFX/ICONS"]);
	EXPECT_EQ(std::make_pair(std::string("sound/a;"), std::string("")), locSeen["SOUND"]);
	EXPECT_EQ(std::make_pair(std::string(""), std::string("sound/a/b/c.wav;")), locSeen["SOUND/A/B"]);
}

TEST_F(SdfToolTest, ErrorsNameArchiveAndCode)
{
	std::string locMissing = myScratch.Path("missing.sdf");
	EXPECT_EQ("error: " + locMissing + ": cannot mount: file layer error 1 (file not found or not openable)",
	          List(locMissing));

	std::string locArchive = myScratch.Path("odd.sdf");
	WriteWholeFile(locArchive, ReadHexArchive(std::string(KF_FILE_TEST_DATA) + "/handmade.sdf.hex"));
	EXPECT_EQ("BUTTON", Cat(locArchive, "gfx\\button.tga"));
	EXPECT_EQ("error: " + locArchive + ": cannot open odd.bin: file layer error 6 (unknown compression method)",
	          Cat(locArchive, "odd.bin"));
	EXPECT_EQ("error: " + locArchive + ": no entry top.txt: file layer error 1 (file not found or not openable)",
	          Cat(locArchive, "top.txt"));
	std::string locListing = List(locArchive);
	EXPECT_NE(std::string::npos, locListing.find("unknown           4          4")) << locListing;

	std::string locBytes = ReadWholeFile(locArchive);
	locBytes[3] = 0;
	WriteWholeFile(locArchive, locBytes);
	EXPECT_NE(std::string::npos, List(locArchive).find(locArchive + ": cannot mount: file layer error 4"));
	locBytes[3] = 9;
	SetWord(locBytes, 44, 1000);
	WriteWholeFile(locArchive, locBytes);
	EXPECT_NE(std::string::npos, Cat(locArchive, "readme.txt").find(locArchive + ": cannot mount: file layer error 5"));
	EXPECT_EQ(nullptr, KF_SDF::GetFirst());

	std::string locError;
	EXPECT_FALSE(SDF_Pack(myScratch.Path("x.sdf").c_str(), myScratch.Path("no-folder").c_str(), 0, 0, &locError));
	EXPECT_NE(std::string::npos, locError.find("no-folder")) << locError;
	EXPECT_EQ(-1, SDF_MethodFromName("bzip2"));
}

TEST_F(SdfToolTest, ArchiveInsideThePackedFolderIsLeftOut)
{
	std::string locArchive = myScratch.Path("in") + "/self.sdf";
	std::string locError;
	ASSERT_TRUE(SDF_Pack(locArchive.c_str(), myScratch.Path("in").c_str(), 1, 1, &locError)) << locError;
	ASSERT_TRUE(SDF_Pack(locArchive.c_str(), myScratch.Path("in").c_str(), 1, 1, &locError)) << locError;
	EXPECT_EQ(std::string::npos, List(locArchive).find("self.sdf"));
}
}
