#include "kf_file.h"
#include "kf_sdf.h"
#include "file_test_support.h"
#include "sdf_test_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class KF_SDFTest : public ::testing::Test
{
protected:
	ScratchFolder myScratch;

	void TearDown() override { KF_SDF::Unmount(NULL); }

	std::string Save(const std::string& aBytes, const char* aName = "a.sdf")
	{
		std::string locName = myScratch.Path(aName);
		WriteWholeFile(locName, aBytes);
		return locName;
	}

	std::string OpenText(const char* aName, unsigned int aMode = OPEN_READ)
	{
		KF_File locFile;
		if (!locFile.Open(aName, aMode))
			return "<failed " + std::to_string(KF_GetLastError()) + ">";
		std::string locText(locFile.GetSize(), '\0');
		if (!locText.empty())
			locFile.Read(&locText[0], locFile.GetSize());
		return locText;
	}

	// Mounts a copy of a sound archive with one word changed; the mount's error code.
	int MountPatched(std::string aBytes, size_t anOffset, uint32_t aWord)
	{
		SetWord(aBytes, anOffset, aWord);
		if (KF_SDF::Mount(Save(aBytes, "patched.sdf").c_str(), false))
			return 0;
		EXPECT_EQ(nullptr, KF_SDF::GetFirst());
		return KF_GetLastError();
	}
};

TEST_F(KF_SDFTest, HandMadeArchiveIsReadByPathWithFolders)
{
	std::string locPath = Save(ReadHexArchive("data/handmade.sdf.hex"));
	KF_SDF* locArchive = KF_SDF::Mount(locPath.c_str(), false);
	ASSERT_NE(nullptr, locArchive);
	EXPECT_EQ(3u, locArchive->GetEntryCount());
	EXPECT_TRUE(locArchive->IsUsable());
	EXPECT_FALSE(locArchive->HasPriority());

	const char* locHolder = NULL;
	KF_SDFEntry locEntry;
	ASSERT_TRUE(KF_SDF::FindEntry("GFX\\Button.TGA", false, &locHolder, &locEntry));
	EXPECT_STREQ(locPath.c_str(), locHolder);
	EXPECT_STREQ("gfx", locEntry.myFolderPath);
	EXPECT_STREQ("button.tga", locEntry.myFileName);
	EXPECT_EQ(KF_SDF_ZLIB, locEntry.myMethod);
	EXPECT_EQ(17u, locEntry.myStoredSize);
	EXPECT_EQ(6u, locEntry.myUnpackedSize);
	EXPECT_EQ(803617445u, locEntry.myTimeStamp);

	// The folder path must be followed by a slash and the name, and nothing else matches.
	EXPECT_FALSE(KF_SDF::FindEntry("button.tga", false, NULL, NULL));
	EXPECT_FALSE(KF_SDF::FindEntry("gfx/readme.txt", false, NULL, NULL));
	EXPECT_FALSE(KF_SDF::FindEntry("gfx/button.tga", true, NULL, NULL));

	EXPECT_EQ("Hello\r\n", OpenText("README.TXT"));
	EXPECT_EQ("BUTTON", OpenText("gfx/button.tga"));

	unsigned int locTime = 0, locSize = 0;
	char locArchivePath[KF_MAX_PATH];
	ASSERT_TRUE(GetFileInfo("Gfx/BUTTON.tga", &locTime, &locSize, locArchivePath));
	EXPECT_EQ(6u, locSize);
	EXPECT_EQ(803617445u, locTime);
	EXPECT_STREQ(locPath.c_str(), locArchivePath);
	EXPECT_TRUE(FileExists("readme.txt"));
	ASSERT_TRUE(GetFileTime("readme.txt", &locTime));
	EXPECT_EQ(865684800u, locTime);
}

TEST_F(KF_SDFTest, UnknownMethodIsFoundButDoesNotOpen)
{
	ASSERT_NE(nullptr, KF_SDF::Mount(Save(ReadHexArchive("data/handmade.sdf.hex")).c_str(), true));
	EXPECT_TRUE(KF_SDF::FindEntry("odd.bin", true, NULL, NULL));
	KF_File locFile;
	locFile.Open("odd.bin", OPEN_READ);
	EXPECT_FALSE(locFile.IsOpen());
	EXPECT_EQ(KF_ERROR_UNKNOWN_METHOD, KF_GetLastError());
	// The archive stays usable.
	EXPECT_EQ("BUTTON", OpenText("gfx/button.tga"));
}

TEST_F(KF_SDFTest, EveryMethodForEntriesAndDirectory)
{
	std::string locBig;
	for (int i = 0; i < 5000; ++i)
		locBig += "line " + std::to_string(i * 7919 % 1000) + "\r\n";
	for (int locDirectoryMethod = 0; locDirectoryMethod < 3; ++locDirectoryMethod)
	{
		std::vector<TestEntry> locEntries;
		for (int locMethod = 0; locMethod < 3; ++locMethod)
		{
			std::string locFolder = "m" + std::to_string(locMethod);
			locEntries.push_back({locFolder, "big.txt", locBig, locMethod, 100u + locMethod});
			locEntries.push_back({locFolder + "/sub", "empty", "", locMethod, 7});
			locEntries.push_back({"", "top" + std::to_string(locMethod), std::string(1, 'x'), locMethod, 9});
		}
		std::string locName = "d" + std::to_string(locDirectoryMethod) + ".sdf";
		ASSERT_NE(nullptr, KF_SDF::Mount(Save(TestArchive(locEntries, locDirectoryMethod), locName.c_str()).c_str(), true));
		for (const TestEntry& locEntry : locEntries)
		{
			std::string locPath = locEntry.myFolder.empty() ? locEntry.myName : locEntry.myFolder + "/" + locEntry.myName;
			SCOPED_TRACE(locPath + " in directory method " + std::to_string(locDirectoryMethod));
			EXPECT_EQ(locEntry.myContent, OpenText(locPath.c_str()));
			unsigned int locTime = 0;
			ASSERT_TRUE(GetFileTime(locPath.c_str(), &locTime));
			EXPECT_EQ(locEntry.myStamp, locTime);
		}
		KF_SDF::Unmount(NULL);
	}
}

TEST_F(KF_SDFTest, MountCountsReferences)
{
	std::string locPath = Save(ReadHexArchive("data/handmade.sdf.hex"), "Ref.sdf");
	KF_SDF* locFirst = KF_SDF::Mount(locPath.c_str(), false);
	ASSERT_NE(nullptr, locFirst);
	std::string locOtherSpelling = myScratch.Path("REF.SDF");
	for (char& locByte : locOtherSpelling)
		if (locByte == '/')
			locByte = '\\';
	// Paths compare without regard to case, backslashes as slashes.
	EXPECT_EQ(locFirst, KF_SDF::Mount(locOtherSpelling.c_str(), true));
	EXPECT_EQ(2u, locFirst->GetReferenceCount());
	EXPECT_TRUE(KF_SDF::Unmount(locPath.c_str()));
	EXPECT_EQ(locFirst, KF_SDF::GetFirst());
	EXPECT_TRUE(FileExists("readme.txt"));
	EXPECT_TRUE(KF_SDF::Unmount(locPath.c_str()));
	EXPECT_EQ(nullptr, KF_SDF::GetFirst());
	EXPECT_FALSE(FileExists("readme.txt"));
	EXPECT_FALSE(KF_SDF::Unmount(locPath.c_str()));

	// Unmounting all ignores the counts.
	ASSERT_NE(nullptr, KF_SDF::Mount(locPath.c_str(), false));
	ASSERT_NE(nullptr, KF_SDF::Mount(locPath.c_str(), false));
	ASSERT_NE(nullptr, KF_SDF::Mount(Save(TestArchive({}), "other.sdf").c_str(), false));
	EXPECT_TRUE(KF_SDF::Unmount(NULL));
	EXPECT_EQ(nullptr, KF_SDF::GetFirst());
}

TEST_F(KF_SDFTest, PriorityDecidesBetweenArchiveAndDisk)
{
	// The entry's folder path is the scratch folder, so disk and archive hold the same name.
	std::string locFolder = myScratch.Path("");
	locFolder.pop_back();
	WriteWholeFile(myScratch.Path("same.txt"), "disk");
	std::string locLow = Save(TestArchive({{locFolder, "same.txt", "low", 0, 1}}), "low.sdf");
	std::string locHigh = Save(TestArchive({{locFolder, "same.txt", "high", 1, 2}}), "high.sdf");
	std::string locName = myScratch.Path("same.txt");

	ASSERT_NE(nullptr, KF_SDF::Mount(locLow.c_str(), false));
	EXPECT_EQ("disk", OpenText(locName.c_str()));
	char locArchivePath[KF_MAX_PATH];
	ASSERT_TRUE(GetFileInfo(locName.c_str(), NULL, NULL, locArchivePath));
	EXPECT_STREQ("", locArchivePath);

	ASSERT_NE(nullptr, KF_SDF::Mount(locHigh.c_str(), true));
	EXPECT_EQ("high", OpenText(locName.c_str()));
	ASSERT_TRUE(GetFileInfo(locName.c_str(), NULL, NULL, locArchivePath));
	EXPECT_STREQ(locHigh.c_str(), locArchivePath);

	// Without the disk file the archive without priority serves it.
	KF_SDF::Unmount(locHigh.c_str());
	std::remove(locName.c_str());
	EXPECT_EQ("low", OpenText(locName.c_str()));
}

TEST_F(KF_SDFTest, StoredEntriesStreamThroughTheirOwnHandle)
{
	std::string locContent = "0123456789abcdef";
	ASSERT_NE(nullptr, KF_SDF::Mount(Save(TestArchive({{"", "junk", "zzzz", 0, 1},
	                                                    {"s", "stored", locContent, 0, 2},
	                                                    {"s", "packed", locContent, 2, 3}})).c_str(),
	                                 true));
	KF_File locFile;
	ASSERT_TRUE(locFile.Open("s/stored", OPEN_READ | OPEN_STREAMING));
	EXPECT_EQ(nullptr, locFile.GetData());
	EXPECT_EQ(16u, locFile.GetSize());
	char locBytes[32] = {0};
	EXPECT_EQ(4u, locFile.Read(locBytes, 4));
	EXPECT_STREQ("0123", locBytes);
	// An in-memory read of another entry moves only the archive's shared handle.
	EXPECT_EQ("zzzz", OpenText("junk"));
	ASSERT_TRUE(locFile.Seek(6, 2));
	EXPECT_EQ(6u, locFile.Read(locBytes, 32));
	EXPECT_EQ(std::string("abcdef"), std::string(locBytes, 6));
	ASSERT_TRUE(locFile.Close());

	ASSERT_TRUE(locFile.Open("s/packed", OPEN_READ | OPEN_STREAMING));
	EXPECT_FALSE(locFile.GetFlags() & OPEN_STREAMING);
	ASSERT_NE(nullptr, locFile.GetData());
	EXPECT_EQ(locContent, std::string(reinterpret_cast<const char*>(locFile.GetData()), locFile.GetSize()));
}

TEST_F(KF_SDFTest, StoredEntriesReadLinesThroughTheWindowWithinTheirBounds)
{
	// A stored entry of several windows between two others: its lines, read
	// through the window with seeks back and forth, are those of its text, and
	// no byte of its neighbours is read.
	std::string locText;
	for (int locLine = 0; locText.size() < 3 * KF_File::KF_WINDOW_SIZE; ++locLine)
		locText += "line " + std::to_string(locLine) + std::string(locLine % 97, ' ') + "// note\r\n";
	ASSERT_NE(nullptr, KF_SDF::Mount(Save(TestArchive({{"", "before", "zzzz\r\n", 0, 1},
	                                                    {"s", "lines", locText, 0, 2},
	                                                    {"", "after", "yyyy\r\n", 0, 3}})).c_str(),
	                                 true));
	KF_File locFile;
	ASSERT_TRUE(locFile.Open("s/lines", OPEN_READ | OPEN_STREAMING));
	ASSERT_EQ(nullptr, locFile.GetData());
	char locBuffer[256];
	int locLine = 0;
	int locRewound = -1;
	for (; locFile.GetPosition() < locFile.GetSize(); ++locLine)
	{
		unsigned int locPosition = locFile.GetPosition();
		locFile.ReadLine(locBuffer, sizeof(locBuffer));
		ASSERT_EQ("line " + std::to_string(locLine), std::string(locBuffer));
		if (locLine % 1000 == 999 && locRewound != locLine)
		{
			locRewound = locLine;
			// Back to the start of the entry and forward again, leaving the window.
			ASSERT_TRUE(locFile.Seek(0, 0));
			locFile.ReadLine(locBuffer, sizeof(locBuffer));
			ASSERT_STREQ("line 0", locBuffer);
			ASSERT_TRUE(locFile.Seek(static_cast<int>(locPosition), 0));
			--locLine;
		}
	}
	EXPECT_GT(locLine, 3000);
	locFile.ReadLine(locBuffer, sizeof(locBuffer));
	EXPECT_STREQ("", locBuffer);
}

TEST_F(KF_SDFTest, CorruptHeadersAndDirectoriesFailWithTheirCodes)
{
	std::string locSound = ReadHexArchive("data/handmade.sdf.hex");
	ASSERT_EQ(224u, locSound.size());
	EXPECT_EQ(0, MountPatched(locSound, 0, KF_SDF_SIGNATURE));
	KF_SDF::Unmount(NULL);

	EXPECT_EQ(KF_ERROR_BAD_SIGNATURE, MountPatched(locSound, 0, 0x09535953));
	// Directory header beyond the end, stored size beyond the end, method 3.
	EXPECT_EQ(KF_ERROR_READ, MountPatched(locSound, 4, 220));
	EXPECT_EQ(KF_ERROR_READ, MountPatched(locSound, 40, 181));
	EXPECT_EQ(KF_ERROR_READ, MountPatched(locSound, 40, 0xC00000B4));
	// A stored block whose two sizes differ.
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 36, 176));
	// Entry count times 8 beyond the block (also when the product wraps at 32 bits).
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44, 23));
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44, 0x20000001));
	// Entry record offset beyond the block or not 4-aligned.
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 8, 184));
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 8, 90));
	// Folder path of a record.
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 88 + 16, 82));
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 88 + 16, 0xFFFFFFFC));
	// Folder count, folder record offset, A offsets, B offsets, counts past the block.
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 28, 40));
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 36, 50));
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 52, 181));
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 60, 86));
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 48, 0x40000000));
	EXPECT_EQ(KF_ERROR_BAD_DIRECTORY, MountPatched(locSound, 44 + 56, 40));
	// A-offsets need no alignment; an entry record may start at the block's end.
	EXPECT_EQ(0, MountPatched(locSound, 44 + 52, 85));
	KF_SDF::Unmount(NULL);
	EXPECT_EQ(0, MountPatched(locSound, 44 + 24, 180));
	KF_SDFEntry locEntry;
	KF_SDF::GetFirst()->GetEntry(2, &locEntry);
	EXPECT_STREQ("", locEntry.myFileName);
	EXPECT_EQ(0u, locEntry.myUnpackedSize);
	KF_SDF::Unmount(NULL);

	EXPECT_EQ(nullptr, KF_SDF::Mount(myScratch.Path("none.sdf").c_str(), false));
	EXPECT_EQ(KF_ERROR_NOT_FOUND, KF_GetLastError());
	EXPECT_EQ(nullptr, KF_SDF::Mount(Save("RYS", "short.sdf").c_str(), false));
	EXPECT_EQ(KF_ERROR_READ, KF_GetLastError());
}

TEST_F(KF_SDFTest, EveryTruncationFailsCleanly)
{
	std::string locSound = TestArchive({{"a", "b", std::string(300, 'q'), 1, 1}, {"", "c", "cc", 2, 2}}, 2);
	for (size_t locLength = 0; locLength < locSound.size(); ++locLength)
	{
		EXPECT_EQ(nullptr, KF_SDF::Mount(Save(locSound.substr(0, locLength), "cut.sdf").c_str(), false))
			<< locLength;
		EXPECT_EQ(nullptr, KF_SDF::GetFirst());
	}
}

TEST_F(KF_SDFTest, BrokenEntryDataFailsTheOpen)
{
	std::vector<TestEntry> locEntries = {{"", "zlib", std::string(100, 'z'), 1, 1},
	                                     {"", "lzma", std::string(100, 'l'), 2, 2},
	                                     {"", "far", "far", 0, 3}};
	std::string locBytes = TestArchive(locEntries);
	// Corrupt the zlib stream's check value and cut the LZMA stream short.
	std::string locZlib = Pack(1, locEntries[0].myContent);
	locBytes[8 + locZlib.size() - 1] ^= 0x55;
	std::string locLzma = Pack(2, locEntries[1].myContent);
	size_t locLzmaAt = 8 + locZlib.size();
	locBytes.replace(locLzmaAt + 5, locLzma.size() - 5, locLzma.size() - 5, '\0');
	ASSERT_NE(nullptr, KF_SDF::Mount(Save(locBytes).c_str(), false));

	EXPECT_EQ("<failed 2>", OpenText("zlib"));
	EXPECT_EQ("<failed 2>", OpenText("lzma"));
	// Unpack failures leave the archive usable.
	EXPECT_EQ("far", OpenText("far"));
	EXPECT_TRUE(KF_SDF::GetFirst()->IsUsable());
}

TEST_F(KF_SDFTest, EntryBeyondArchiveEndMarksArchiveUnusable)
{
	std::string locBytes = TestArchive({{"", "a", "aaaa", 0, 1}, {"", "b", "bbbb", 0, 1}});
	// Header, 8 data bytes, directory header: the block starts at 24. Give b a
	// size that runs past the archive's end.
	const size_t locBlock = 24;
	uint32_t locSecondRecord = static_cast<unsigned char>(locBytes[locBlock + 16]);
	SetWord(locBytes, locBlock + locSecondRecord + 4, 0x7FFFFFFF);
	KF_SDF* locArchive = KF_SDF::Mount(Save(locBytes).c_str(), false);
	ASSERT_NE(nullptr, locArchive);
	EXPECT_EQ("aaaa", OpenText("a"));
	EXPECT_EQ("<failed 2>", OpenText("b"));
	EXPECT_FALSE(locArchive->IsUsable());
	EXPECT_FALSE(FileExists("a"));
	// Mounted again it is usable.
	KF_SDF::Unmount(NULL);
	ASSERT_NE(nullptr, KF_SDF::Mount(Save(locBytes).c_str(), false));
	EXPECT_EQ("aaaa", OpenText("a"));
}

TEST_F(KF_SDFTest, ImplausibleUnpackedSizesAreRefusedBeforeAllocation)
{
	std::vector<TestEntry> locEntries = {{"", "bomb", "x", 2, 1}};
	std::string locBytes = TestArchive(locEntries);
	std::string locStored = Pack(2, "x");
	size_t locBlock = 8 + locStored.size() + 8;
	uint32_t locRecord = static_cast<uint32_t>(static_cast<unsigned char>(locBytes[locBlock + 8]));
	SetWord(locBytes, locBlock + locRecord + 4, 0xF0000000);
	ASSERT_NE(nullptr, KF_SDF::Mount(Save(locBytes).c_str(), false));
	EXPECT_EQ("<failed 2>", OpenText("bomb"));

	// The same for a compressed directory that claims gigabytes.
	std::string locDirectory = TestArchive({{"", "a", "a", 0, 1}}, 1);
	SetWord(locDirectory, 8 + 1, 0xF0000000);
	EXPECT_EQ(nullptr, KF_SDF::Mount(Save(locDirectory, "dir.sdf").c_str(), false));
	EXPECT_EQ(KF_ERROR_READ, KF_GetLastError());
}

TEST_F(KF_SDFTest, OverlongNamesAreFoundNowhere)
{
	std::string locLong(255, 'n');
	ASSERT_NE(nullptr, KF_SDF::Mount(Save(TestArchive({{"", locLong, "long", 0, 1}})).c_str(), false));
	EXPECT_EQ("long", OpenText(locLong.c_str()));
	EXPECT_FALSE(FileExists((locLong + "x").c_str()));
	EXPECT_EQ(nullptr, KF_SDF::Mount((myScratch.Path("") + std::string(300, 'p')).c_str(), false));
}
}
