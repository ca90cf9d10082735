#include "kc_bytes.h"
#include "kc_growingarray.h"
#include "kc_keytree.h"
#include "kc_list.h"
#include "kc_listiterator.h"
#include "kc_locstring.h"
#include "kc_platform.h"
#include "kc_pool.h"
#include "kc_publisher.h"
#include "KC_String.h"
#include "kc_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace
{
struct Counted
{
	explicit Counted(int* aDeaths) : myDeaths(aDeaths) {}
	virtual ~Counted() { ++*myDeaths; }
	int* myDeaths;
};
}

TEST(KC_List, AppendIterateSetAndRemove)
{
	KC_List<int> locList;
	KC_ListIterator<int> locIterator(&locList);
	EXPECT_FALSE(locIterator.First());
	EXPECT_TRUE(locIterator.IsDone());
	EXPECT_FALSE(locIterator.Next());

	for (int locValue = 1; locValue <= 4; ++locValue)
		EXPECT_TRUE(locList.Add(locValue));
	EXPECT_EQ(4, locList.Count());
	EXPECT_EQ(1, locList.GetFirst());

	// Remove the first and the last, double the others.
	locIterator.First();
	locIterator.Remove();
	EXPECT_EQ(2, locIterator.Get());
	locIterator.Set(20);
	locIterator.Next();
	locIterator.Set(30);
	locIterator.Next();
	locIterator.Remove();
	EXPECT_TRUE(locIterator.IsDone());
	EXPECT_EQ(2, locList.Count());
	EXPECT_EQ(20, locList.myFirstLink->myItem);
	EXPECT_EQ(30, locList.myLastLink->myItem);
	EXPECT_EQ(nullptr, locList.myLastLink->myNextLink);
	EXPECT_EQ(locList.myFirstLink, locList.myLastLink->myPreviousLink);

	// The list stays usable after removals.
	locList.Add(40);
	int locSum = 0;
	for (locIterator.First(); !locIterator.IsDone(); locIterator.Next())
		locSum += locIterator.Get();
	EXPECT_EQ(90, locSum);

	locList.RemoveAll();
	EXPECT_EQ(0, locList.Count());
	EXPECT_EQ(nullptr, locList.myFirstLink);
	EXPECT_EQ(nullptr, locList.myLastLink);
}

TEST(KC_List, RangeIterationVisitsEveryItemInOrderAndWritesThrough)
{
	KC_List<int> locList;
	int locVisits = 0;
	for (int locItem : locList)
		locVisits += locItem + 1;
	EXPECT_EQ(0, locVisits);

	for (int locValue = 1; locValue <= 3; ++locValue)
		locList.Add(locValue);
	for (int& locItem : locList)
		locItem *= 10;
	const KC_List<int>& locConstList = locList;
	int locDigits = 0;
	for (const int& locItem : locConstList)
		locDigits = locDigits * 100 + locItem;
	EXPECT_EQ(102030, locDigits);
}

TEST(KC_Bytes, LittleEndianWordsAgainstAHandWrittenPattern)
{
	unsigned char locBytes[5] = {0x78, 0x56, 0x34, 0x12, 0xEE};
	EXPECT_EQ(0x12345678u, KC_GetLittle32(locBytes));
	KC_PutLittle32(locBytes, 0xA1B2C3D4u);
	EXPECT_EQ(0xD4, locBytes[0]);
	EXPECT_EQ(0xA1, locBytes[3]);
	EXPECT_EQ(0xEE, locBytes[4]);
	EXPECT_EQ(0xA1B2C3D4u, KC_GetLittle32(locBytes));
}

TEST(KC_List, StringItemsAreCopiesAndDeleteAllDeletesPointers)
{
	KC_List<KC_String> locStrings;
	KC_String locText("one");
	locStrings.Add(locText);
	locText = "changed";
	EXPECT_STREQ("one", locStrings.GetFirst());

	int locDeaths = 0;
	{
		KC_List<Counted*> locOwned;
		locOwned.Add(new Counted(&locDeaths));
		locOwned.Add(new Counted(&locDeaths));
		locOwned.DeleteAll();
		EXPECT_EQ(2, locDeaths);
		EXPECT_EQ(0, locOwned.Count());
	}
	EXPECT_EQ(2, locDeaths);
}

namespace
{
bool FailEveryBlock(std::size_t /*aSize*/)
{
	return true;
}
}

TEST(KC_List, AddWithoutMemoryFailsAndLeavesTheListAsItWas)
{
	KC_List<int> locList;
	ASSERT_TRUE(locList.Add(1));
	KC_PoolSetFaultHook(FailEveryBlock);
	bool locAdded = locList.Add(2);
	bool locFirstAdded = true;
	{
		KC_List<int> locEmpty;
		locFirstAdded = locEmpty.Add(3);
		EXPECT_EQ(nullptr, locEmpty.myFirstLink);
		EXPECT_EQ(nullptr, locEmpty.myLastLink);
	}
	KC_PoolSetFaultHook(NULL);
	EXPECT_FALSE(locAdded);
	EXPECT_FALSE(locFirstAdded);
	EXPECT_EQ(1, locList.Count());
	EXPECT_EQ(locList.myFirstLink, locList.myLastLink);
	EXPECT_EQ(nullptr, locList.myLastLink->myNextLink);

	// With memory back the list goes on where it was.
	ASSERT_TRUE(locList.Add(2));
	std::vector<int> locItems;
	for (int locItem : locList)
		locItems.push_back(locItem);
	EXPECT_EQ((std::vector<int>{1, 2}), locItems);
}

TEST(KC_Pool, TrimGivesBackRunsWhoseBlocksAreAllFreeAndKeepsTheOthers)
{
	KC_PoolTrim();
	size_t locBefore = KC_PoolHeldBytes();
	const size_t locSize = 72;
	const int locCount = 40000;
	std::vector<unsigned char*> locBlocks;
	for (int locIndex = 0; locIndex < locCount; ++locIndex)
	{
		locBlocks.push_back(static_cast<unsigned char*>(KC_PoolAllocate(locSize)));
		ASSERT_TRUE(locBlocks.back());
		std::memset(locBlocks.back(), locIndex & 0xFF, locSize);
	}
	size_t locFilled = KC_PoolHeldBytes();
	if (locFilled == 0)
	{
		for (unsigned char* locBlock : locBlocks)
			KC_PoolFree(locBlock, locSize);
		GTEST_SKIP() << "the heap or the checked mode serves the pool's blocks in this build";
	}
	EXPECT_GE(locFilled, locBefore + locCount * locSize);

	// One block in the middle stays: its run stays with it, the others go.
	unsigned char* locKept = locBlocks[locCount / 2];
	for (unsigned char* locBlock : locBlocks)
	{
		if (locBlock != locKept)
			KC_PoolFree(locBlock, locSize);
	}
	KC_PoolTrim();
	size_t locTrimmed = KC_PoolHeldBytes();
	EXPECT_LT(locTrimmed, locFilled - locCount * locSize / 2);
	EXPECT_GT(locTrimmed, 0u);
	for (size_t locByte = 0; locByte < locSize; ++locByte)
		ASSERT_EQ((locCount / 2) & 0xFF, locKept[locByte]);

	// The free blocks still listed lie in runs that stay: all of them can be
	// written, and none is the kept one.
	locBlocks.clear();
	for (int locIndex = 0; locIndex < locCount; ++locIndex)
	{
		locBlocks.push_back(static_cast<unsigned char*>(KC_PoolAllocate(locSize)));
		ASSERT_TRUE(locBlocks.back());
		ASSERT_NE(locKept, locBlocks.back());
		std::memset(locBlocks.back(), 0xEE, locSize);
	}
	for (size_t locByte = 0; locByte < locSize; ++locByte)
		ASSERT_EQ((locCount / 2) & 0xFF, locKept[locByte]);
	for (unsigned char* locBlock : locBlocks)
		KC_PoolFree(locBlock, locSize);
	KC_PoolFree(locKept, locSize);
	KC_PoolTrim();
	EXPECT_LE(KC_PoolHeldBytes(), locTrimmed);
}

// The pool's pages: reservations aligned to 64 KiB (2 MiB for whole 2 MiB
// pieces where huge pages exist, which this test does not require), parts of
// them committed as zeros, written, decommitted and committed again as zeros.
TEST(KC_PlatformPages, ReservedPagesAreCommittedAsZerosAndDecommittedApart)
{
	for (size_t locSize : {size_t(1) << 16, size_t(3) << 16, size_t(4) << 20})
	{
		unsigned char* locPages = static_cast<unsigned char*>(KC_PlatformReservePages(locSize));
		ASSERT_TRUE(locPages) << locSize;
		EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(locPages) % (1 << 16)) << locSize;
		ASSERT_TRUE(KC_PlatformCommitPages(locPages, locSize));
		for (size_t locByte = 0; locByte < locSize; locByte += 4093)
			ASSERT_EQ(0, locPages[locByte]) << locSize << " " << locByte;
		std::memset(locPages, 0xA5, locSize);
		// Committing committed pages keeps them.
		ASSERT_TRUE(KC_PlatformCommitPages(locPages, 1 << 16));
		EXPECT_EQ(0xA5, locPages[100]);

		// The first 64 KiB go back and come again as zeros; the rest keeps its bytes.
		KC_PlatformDecommitPages(locPages, 1 << 16);
		ASSERT_TRUE(KC_PlatformCommitPages(locPages, 1 << 16));
		for (size_t locByte = 0; locByte < (1 << 16); locByte += 509)
			ASSERT_EQ(0, locPages[locByte]) << locSize << " " << locByte;
		if (locSize > (1 << 16))
		{
			EXPECT_EQ(0xA5, locPages[1 << 16]);
			EXPECT_EQ(0xA5, locPages[locSize - 1]);
		}
		KC_PlatformReleasePages(locPages, locSize);
	}
}

namespace
{
// A block's own pattern: its index in every byte, so that a block that shares
// room with another, or whose pages went back, shows it.
void FillBlock(unsigned char* aBlock, size_t aSize, size_t anIndex)
{
	std::memset(aBlock, static_cast<int>(anIndex * 7 % 251 + 1), aSize);
}

bool HoldsBlock(const unsigned char* aBlock, size_t aSize, size_t anIndex)
{
	for (size_t locByte = 0; locByte < aSize; ++locByte)
		if (aBlock[locByte] != static_cast<unsigned char>(anIndex * 7 % 251 + 1))
			return false;
	return true;
}
} // namespace

TEST(KC_Pool, RunsOfManyRegionsGoBackAndTheirRoomIsTakenAgainWithoutOverlap)
{
	KC_PoolTrim();
	size_t locBefore = KC_PoolHeldBytes();
	// Some 12 MiB of blocks of two sizes: runs in several regions of growing size.
	const size_t locSizes[2] = {200, 256};
	const size_t locCount = 50000;
	std::vector<unsigned char*> locBlocks;
	for (size_t locIndex = 0; locIndex < locCount; ++locIndex)
	{
		locBlocks.push_back(static_cast<unsigned char*>(KC_PoolAllocate(locSizes[locIndex % 2])));
		ASSERT_TRUE(locBlocks.back());
		FillBlock(locBlocks.back(), locSizes[locIndex % 2], locIndex);
	}
	size_t locFilled = KC_PoolHeldBytes();
	if (locFilled == 0)
	{
		for (size_t locIndex = 0; locIndex < locCount; ++locIndex)
			KC_PoolFree(locBlocks[locIndex], locSizes[locIndex % 2]);
		GTEST_SKIP() << "the heap or the checked mode serves the pool's blocks in this build";
	}
	EXPECT_GE(locFilled, locBefore + locCount * 228);

	// Twice: every 500th block stays (others the second time), the runs of the
	// rest go back and those blocks keep their bytes; then the rooms that went
	// back are taken again, the new blocks apart from the kept ones and from
	// each other.
	for (size_t locKept = 0; locKept < 500; locKept += 250)
	{
		for (size_t locIndex = 0; locIndex < locCount; ++locIndex)
		{
			if (locIndex % 500 != locKept)
			{
				KC_PoolFree(locBlocks[locIndex], locSizes[locIndex % 2]);
				locBlocks[locIndex] = NULL;
			}
		}
		KC_PoolTrim();
		EXPECT_LT(KC_PoolHeldBytes(), locFilled / 2);
		for (size_t locIndex = locKept; locIndex < locCount; locIndex += 500)
			ASSERT_TRUE(HoldsBlock(locBlocks[locIndex], locSizes[locIndex % 2], locIndex)) << locIndex;

		for (size_t locIndex = 0; locIndex < locCount; ++locIndex)
		{
			if (locBlocks[locIndex])
				continue;
			locBlocks[locIndex] = static_cast<unsigned char*>(KC_PoolAllocate(locSizes[locIndex % 2]));
			ASSERT_TRUE(locBlocks[locIndex]);
			FillBlock(locBlocks[locIndex], locSizes[locIndex % 2], locIndex);
		}
		for (size_t locIndex = 0; locIndex < locCount; ++locIndex)
			ASSERT_TRUE(HoldsBlock(locBlocks[locIndex], locSizes[locIndex % 2], locIndex)) << locIndex;
		EXPECT_LE(KC_PoolHeldBytes(), locFilled + (size_t(2) << 20));
	}

	// All gone: the pool holds no more than before.
	for (size_t locIndex = 0; locIndex < locCount; ++locIndex)
		KC_PoolFree(locBlocks[locIndex], locSizes[locIndex % 2]);
	KC_PoolTrim();
	EXPECT_LE(KC_PoolHeldBytes(), locBefore);
}

namespace
{
// An address space cut into holes of 256 KiB: larger reservations fail.
const size_t kHoleBytes = 256 << 10;
size_t ourHolesTaken = 0;
size_t ourHolesGiven = 0;

void* ReserveInAHole(size_t aSize)
{
	if (aSize > kHoleBytes)
		return NULL;
	void* locPages = KC_PlatformReservePages(aSize);
	ourHolesTaken += locPages != NULL;
	return locPages;
}

void ReleaseAHole(void* aPages, size_t aSize)
{
	++ourHolesGiven;
	KC_PlatformReleasePages(aPages, aSize);
}
} // namespace

TEST(KC_Pool, AnAddressSpaceOfSmallHolesIsUsedWhole)
{
	KC_PoolTrim();
	if (!KC_PoolSetReservation(ReserveInAHole, ReleaseAHole))
		GTEST_SKIP() << "the heap or the checked mode serves the pool's blocks in this build";
	ourHolesTaken = ourHolesGiven = 0;
	// 24 MiB of blocks: some hundred holes, more regions than the pool's first table holds.
	const size_t locSize = 256;
	const size_t locCount = (size_t(24) << 20) / locSize;
	std::vector<unsigned char*> locBlocks;
	locBlocks.reserve(locCount);
	for (size_t locIndex = 0; locIndex < locCount; ++locIndex)
	{
		unsigned char* locBlock = static_cast<unsigned char*>(KC_PoolAllocate(locSize));
		if (!locBlock)
			break;
		FillBlock(locBlock, locSize, locIndex);
		locBlocks.push_back(locBlock);
	}
	EXPECT_EQ(locCount, locBlocks.size()) << "the pool stopped after " << ourHolesTaken << " holes";
	EXPECT_GT(ourHolesTaken, 64u);
	size_t locSound = 0;
	for (size_t locIndex = 0; locIndex < locBlocks.size(); ++locIndex)
		locSound += HoldsBlock(locBlocks[locIndex], locSize, locIndex);
	EXPECT_EQ(locBlocks.size(), locSound);

	// Every hole goes back once its blocks are free.
	for (unsigned char* locBlock : locBlocks)
		KC_PoolFree(locBlock, locSize);
	KC_PoolTrim();
	EXPECT_EQ(ourHolesTaken, ourHolesGiven);
	KC_PoolSetReservation(NULL, NULL);

	// The system's own reservation serves again.
	void* locBlock = KC_PoolAllocate(locSize);
	EXPECT_NE(nullptr, locBlock);
	KC_PoolFree(locBlock, locSize);
	KC_PoolTrim();
}

#if defined(KC_POOL_CHECKED)
// The checked pool: a free with another size than the block's, a second free
// and a write into a freed block end the process with their message.
TEST(KC_PoolDeathTest, WrongSizesDoubleFreesAndWritesAfterFreeAreCaught)
{
	unsigned char* locBlock = static_cast<unsigned char*>(KC_PoolAllocate(24));
	ASSERT_TRUE(locBlock);
	EXPECT_DEATH(KC_PoolFree(locBlock, 32), "block 0x[0-9a-f]+ of 24 bytes freed with the wrong size 32");
	// The same size class, still another size.
	EXPECT_DEATH(KC_PoolFree(locBlock, 20), "of 24 bytes freed with the wrong size 20");
	EXPECT_DEATH(KC_PoolFree(locBlock + 8, 16), "is no block of the pool");
	KC_PoolFree(locBlock, 24);
	EXPECT_DEATH(KC_PoolFree(locBlock, 24), "of 24 bytes freed twice");

	EXPECT_DEATH(
		{
			unsigned char* locFreed = static_cast<unsigned char*>(KC_PoolAllocate(40));
			KC_PoolFree(locFreed, 40);
			static_cast<volatile unsigned char*>(locFreed)[3] = 1;
			// Enough blocks to push it out of the quarantine.
			for (int i = 0; i < 5000; ++i)
				KC_PoolFree(KC_PoolAllocate(40), 40);
		},
		"use-after-poison|of 40 bytes was written at byte 3 after it was freed");
}
#endif

TEST(KC_Pool, BlocksOfEverySizeStayApartAndFreedOnesAreReused)
{
	// Blocks of the sizes around each step, filled with their own byte: none
	// overlaps another, whether it comes from the pool or, above 512, the heap.
	std::vector<std::pair<unsigned char*, size_t>> locBlocks;
	for (int locRound = 0; locRound < 50; ++locRound)
	{
		for (size_t locSize : {0, 1, 7, 8, 9, 24, 88, 96, 255, 256, 511, 512, 513, 1000})
		{
			unsigned char* locBlock = static_cast<unsigned char*>(KC_PoolAllocate(locSize));
			ASSERT_TRUE(locBlock);
			EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(locBlock) % 8) << locSize;
			std::memset(locBlock, static_cast<int>(locBlocks.size() & 0xFF), locSize);
			locBlocks.emplace_back(locBlock, locSize);
		}
	}
	for (size_t locIndex = 0; locIndex < locBlocks.size(); ++locIndex)
	{
		const std::pair<unsigned char*, size_t>& locBlock = locBlocks[locIndex];
		for (size_t locByte = 0; locByte < locBlock.second; ++locByte)
			ASSERT_EQ(locIndex & 0xFF, locBlock.first[locByte]) << locIndex;
	}
	for (const std::pair<unsigned char*, size_t>& locBlock : locBlocks)
		KC_PoolFree(locBlock.first, locBlock.second);
	KC_PoolFree(NULL, 8);

	// Lists take their links from the pool: many links come and go.
	for (int locRound = 0; locRound < 3; ++locRound)
	{
		KC_List<KC_String> locList;
		for (int locItem = 0; locItem < 20000; ++locItem)
			ASSERT_TRUE(locList.Add(KC_String("item")));
		EXPECT_EQ(20000, locList.Count());
	}
}

TEST(KC_GrowingArray, GrowsByItsStepAndRefusesWithoutOne)
{
	KC_GrowingArray<int*> locArray;
	ASSERT_TRUE(locArray.Init(4, 4));
	int locValues[5];
	for (int& locValue : locValues)
		EXPECT_TRUE(locArray.Add(&locValue));
	EXPECT_EQ(5, locArray.Count());
	EXPECT_EQ(8, locArray.Resize(8));
	EXPECT_EQ(&locValues[4], locArray[4]);
	EXPECT_EQ(&locValues[0], locArray[0]);

	// Shrinking stops at the count.
	EXPECT_EQ(5, locArray.Resize(2));
	EXPECT_EQ(&locValues[4], locArray[4]);

	KC_GrowingArray<int*> locFixed;
	ASSERT_TRUE(locFixed.Init(2, 0, true));
	EXPECT_TRUE(locFixed.Add(&locValues[0]));
	EXPECT_TRUE(locFixed.Add(&locValues[1]));
	EXPECT_FALSE(locFixed.Add(&locValues[2]));
	EXPECT_EQ(2, locFixed.Count());

	locArray.RemoveAt(0);
	EXPECT_EQ(4, locArray.Count());
	EXPECT_EQ(&locValues[1], locArray[0]);
}

TEST(KC_KeyTree, DuplicatesAndLookup)
{
	int locFirst = 1, locSecond = 2;
	KC_KeyTree<KC_String, int*> locUnique;
	EXPECT_TRUE(locUnique.Add("m", &locFirst));
	EXPECT_FALSE(locUnique.Add("m", &locSecond));
	EXPECT_EQ(1, locUnique.Count());
	int* locFound = nullptr;
	EXPECT_TRUE(locUnique.Find("m", &locFound));
	EXPECT_EQ(&locFirst, locFound);
	EXPECT_FALSE(locUnique.Find("M"));

	KC_KeyTree<KC_String, int*> locDuplicates(true);
	EXPECT_TRUE(locDuplicates.Add("m", &locFirst));
	EXPECT_TRUE(locDuplicates.Add("m", &locSecond));
	EXPECT_EQ(2, locDuplicates.Count());
	KC_KeyTreeNode<KC_String, int*>* locNode = nullptr;
	EXPECT_TRUE(locDuplicates.Find("m", &locFound, &locNode));
	EXPECT_EQ(&locFirst, locFound);
	ASSERT_NE(nullptr, locNode);
	ASSERT_NE(nullptr, locNode->myRightChild);
	EXPECT_EQ(&locSecond, locNode->myRightChild->myItem);
	EXPECT_EQ(nullptr, locNode->myLeftChild);
}

TEST(KC_KeyTree, DegenerateTreesAreSearchedAndFreedCompletely)
{
	int locDeaths = 0;
	{
		KC_KeyTree<int, Counted*> locTree;
		// Sorted insertion makes chains: ascending, then descending below them.
		for (int locKey = 0; locKey < 5000; ++locKey)
			ASSERT_TRUE(locTree.Add(locKey, new Counted(&locDeaths)));
		for (int locKey = -1; locKey > -1000; --locKey)
			ASSERT_TRUE(locTree.Add(locKey, new Counted(&locDeaths)));
		Counted* locItem = nullptr;
		EXPECT_TRUE(locTree.Find(4999, &locItem));
		EXPECT_TRUE(locTree.Find(-999, &locItem));
		EXPECT_FALSE(locTree.Find(5000, &locItem));
		locTree.DeleteAll();
		EXPECT_EQ(0, locTree.Count());
	}
	EXPECT_EQ(5999, locDeaths);
}

namespace
{
class Recorder : public KC_Subscriber<int, KC_String>
{
public:
	explicit Recorder(const char* aName, KC_String* aLog) : myName(aName), myLog(aLog) {}
	bool Receive(int aKey, KC_String aValue) override
	{
		KC_String locEntry;
		locEntry.Format("%s%s:%d:%s;", myLog->GetText(), myName, aKey,
		                aValue.GetText());
		*myLog = locEntry;
		return true;
	}
	const char* myName;
	KC_String* myLog;
};
}

TEST(KC_Publisher, CallsSubscribersOfTheKeyInOrder)
{
	KC_String locLog;
	Recorder locFirst("a", &locLog), locSecond("b", &locLog), locOther("c", &locLog);
	KC_Publisher<int, KC_String> locPublisher;
	EXPECT_FALSE(locPublisher.CallbackSubscribers(1, "none"));

	locPublisher.Subscribe(1, &locFirst);
	locPublisher.Subscribe(1, &locSecond);
	locPublisher.Subscribe(0, &locOther);
	EXPECT_TRUE(locPublisher.CallbackSubscribers(1, "x"));
	EXPECT_STREQ("a:1:x;b:1:x;", locLog);

	locPublisher.Unsubscribe(1, &locFirst);
	locLog.Clear();
	EXPECT_TRUE(locPublisher.CallbackSubscribers(1, "y"));
	EXPECT_STREQ("b:1:y;", locLog);
}

TEST(KC_LocString, CopiesWideText)
{
	KC_LocString locText(u"h\u00e9llo");
	EXPECT_EQ(5, locText.GetLength());
	KC_LocString locCopy(locText);
	EXPECT_NE(locText.GetData(), locCopy.GetData());
	locCopy = u"x";
	EXPECT_EQ(1, locCopy.GetLength());
	locCopy = locCopy.GetData();
	EXPECT_EQ(u'x', locCopy.GetData()[0]);
	EXPECT_EQ(u'\u00e9', locText.GetData()[1]);
}

using KC_ContainersDeathTest = ::testing::Test;

TEST(KC_ContainersDeathTest, BrokenPreconditionsAreAssertions)
{
	KC_SetDeathTestStyle();
	EXPECT_DEATH({ KC_List<int> locList; locList.GetFirst(); }, "Assertion \\(myFirstLink\\) failed in .*kc_list");
	EXPECT_DEATH({ KC_ListIterator<int> locIterator(nullptr); }, "Assertion \\(myList\\) failed in .*kc_listiterator");
	EXPECT_DEATH(
		{
			KC_List<int> locList;
			KC_ListIterator<int> locIterator(&locList);
			locIterator.First();
			locIterator.Get();
		},
		"Assertion \\(myList && myCurrentLink\\) failed in .*kc_listiterator");
	EXPECT_DEATH(
		{
			KC_GrowingArray<int*> locArray;
			locArray.Init(1, 1);
			locArray.Init(1, 1);
		},
		"Assertion \\(myItemList == NULL\\) failed in .*kc_growingarray");
	EXPECT_DEATH({ KC_GrowingArray<int*> locArray; locArray.Add(nullptr); },
	             "Assertion \\(myMaxNrOfItems > 0\\) failed in .*kc_growingarray");
	EXPECT_DEATH({ KC_LocString locText(nullptr); }, "Assertion \\(aString\\) failed in .*kc_locstring");
	EXPECT_DEATH({ KC_LocString locText; locText.GetData(); }, "Assertion \\(myData\\) failed in .*kc_locstring");
}
