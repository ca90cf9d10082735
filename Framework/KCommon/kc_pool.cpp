#include "kc_pool.h"

#include "kc_platform.h"

#include <cstdint>
#include <cstring>

#if defined(KC_POOL_CHECKED)
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#if defined(KC_POOL_ASAN)
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#define KC_POOL_POISON(anAddress, aSize) ASAN_POISON_MEMORY_REGION(anAddress, aSize)
#define KC_POOL_UNPOISON(anAddress, aSize) ASAN_UNPOISON_MEMORY_REGION(anAddress, aSize)
#else
#define KC_POOL_POISON(anAddress, aSize) ((void)(anAddress), (void)(aSize))
#define KC_POOL_UNPOISON(anAddress, aSize) ((void)(anAddress), (void)(aSize))
#endif
#endif

KC_PoolFaultHook KC_PoolParts::ourFaultHook = NULL;

void KC_PoolSetFaultHook(KC_PoolFaultHook aHook) noexcept
{
	KC_PoolParts::ourFaultHook = aHook;
}

namespace
{
// Whether the fault hook fails a block of aSize bytes.
bool Faulted(std::size_t aSize)
{
	return KC_PoolParts::ourFaultHook && aSize <= KC_PoolParts::ourLargest && KC_PoolParts::ourFaultHook(aSize);
}
} // namespace

#ifndef KC_POOL_USES_HEAP
namespace
{
std::size_t ourRunsAllowed = SIZE_MAX;

// Whether the limit of KC_PoolLimitRuns lets one more run of pages come.
bool TakeRun()
{
	if (ourRunsAllowed == 0)
		return false;
	if (ourRunsAllowed != SIZE_MAX)
		--ourRunsAllowed;
	return true;
}
} // namespace

bool KC_PoolLimitRuns(std::size_t aRuns) noexcept
{
	ourRunsAllowed = aRuns;
	return true;
}
#else
bool KC_PoolLimitRuns(std::size_t /*aRuns*/) noexcept
{
	return false;
}
#endif

#if defined(KC_POOL_INLINE)
KC_PoolParts::Run* KC_PoolParts::ourCurrent[KC_PoolParts::ourClasses];

namespace
{
using namespace KC_PoolParts;

// The first block lies past the header, at a multiple of the step.
const std::size_t ourHeaderBytes = (sizeof(Run) + 63) & ~std::size_t(63);

// Per class the runs, other than the current one, that have free blocks.
Run* ourPartial[ourClasses];
std::size_t ourRunCount = 0;

// Runs lie in regions of reserved address space, a run's room in a region is
// a slot. Slots are committed ahead in steps, so that the system backs many
// runs in one call; a slot whose run went back is decommitted and taken again
// before a new one is cut. Regions from 2 MiB on are committed 2 MiB at a time,
// which the system can back with one huge page.
const std::size_t ourFirstSlots = 16;
const std::size_t ourMostSlots = 512;
const std::size_t ourMostStep = 16;
const std::size_t ourHugeSlots = (std::size_t(2) << 20) / ourRunBytes;
const std::size_t ourFirstRegions = 64;
const std::size_t ourWordBits = 32;

struct Region
{
	char* myBase;
	std::size_t mySlots;
	// Slots below myCut have had a run; those up to myCommitted are backed ahead.
	std::size_t myCut;
	std::size_t myCommitted;
	// Runs in the region.
	std::size_t myRuns;
	// Slots below myCut whose run went back: decommitted, and those that
	// KC_PoolTrim decommits next, in ranges.
	std::size_t myFreeCount;
	unsigned int myFree[ourMostSlots / ourWordBits];
	unsigned int myGoing[ourMostSlots / ourWordBits];
};

// The table of regions: first the static one, then, when an address space cut
// into small holes needs more regions, pages of its own that double each time.
Region ourFirstTable[ourFirstRegions];
Region* ourRegions = ourFirstTable;
std::size_t ourRegionRoom = ourFirstRegions;
// The table's entries below this one have been used (those beyond are empty).
std::size_t ourRegionsUsed = 0;
std::size_t ourReservedSlots = 0;
std::size_t ourCommittedSlots = 0;
// Slots of all regions whose run went back, ready to be taken again.
std::size_t ourFreeSlots = 0;
// Where the search for a region with slots never used starts.
std::size_t ourOpenHint = 0;

void* (*ourReserve)(std::size_t) = KC_PlatformReservePages;
void (*ourRelease)(void*, std::size_t) = KC_PlatformReleasePages;

struct RegionRange
{
	Region* begin() const { return ourRegions; }
	Region* end() const { return ourRegions + ourRegionsUsed; }
};
const RegionRange ourUsedRegions = {};

// A table twice as large; false when the system has no pages for it.
bool GrowRegionTable()
{
	std::size_t locRoom = 2 * ourRegionRoom;
	Region* locTable = static_cast<Region*>(KC_PlatformAllocatePages(locRoom * sizeof(Region)));
	if (!locTable)
		return false;
	std::memcpy(static_cast<void*>(locTable), ourRegions, ourRegionRoom * sizeof(Region));
	if (ourRegions != ourFirstTable)
		KC_PlatformFreePages(ourRegions, ourRegionRoom * sizeof(Region));
	ourRegions = locTable;
	ourRegionRoom = locRoom;
	return true;
}

// Size 0 takes the smallest blocks.
std::size_t SmallClass(std::size_t aSize)
{
	return aSize == 0 ? 1 : ClassOf(aSize);
}

Region* RegionOf(Run* aRun)
{
	char* locRun = reinterpret_cast<char*>(aRun);
	for (Region& locRegion : ourUsedRegions)
	{
		if (locRegion.myBase && locRun >= locRegion.myBase && locRun < locRegion.myBase + locRegion.mySlots * ourRunBytes)
			return &locRegion;
	}
	return NULL;
}

// A slot whose run went back, committed again.
char* TakeFreeSlot()
{
	if (ourFreeSlots == 0)
		return NULL;
	for (Region& locRegion : ourUsedRegions)
	{
		if (!locRegion.myBase || locRegion.myFreeCount == 0)
			continue;
		for (std::size_t locWord = 0;; ++locWord)
		{
			unsigned int locBits = locRegion.myFree[locWord];
			if (!locBits)
				continue;
			std::size_t locBit = 0;
			while (!(locBits & (1u << locBit)))
				++locBit;
			char* locSlot = locRegion.myBase + (locWord * ourWordBits + locBit) * ourRunBytes;
			if (!KC_PlatformCommitPages(locSlot, ourRunBytes))
				return NULL;
			locRegion.myFree[locWord] = locBits & ~(1u << locBit);
			--locRegion.myFreeCount;
			--ourFreeSlots;
			++locRegion.myRuns;
			++ourCommittedSlots;
			return locSlot;
		}
	}
	return NULL;
}

// The next slot of a region never used, committed ahead by a step that grows
// with the runs in use.
char* CutSlot(Region& aRegion)
{
	if (aRegion.myCut == aRegion.myCommitted)
	{
		std::size_t locStep = ourRunCount / 4;
		if (locStep < 1)
			locStep = 1;
		if (locStep > ourMostStep)
			locStep = ourMostStep;
		if (aRegion.mySlots % ourHugeSlots == 0)
			locStep = ourHugeSlots;
		if (locStep > aRegion.mySlots - aRegion.myCut)
			locStep = aRegion.mySlots - aRegion.myCut;
		if (!KC_PlatformCommitPages(aRegion.myBase + aRegion.myCut * ourRunBytes, locStep * ourRunBytes))
			return NULL;
		aRegion.myCommitted += locStep;
		ourCommittedSlots += locStep;
	}
	++aRegion.myRuns;
	return aRegion.myBase + aRegion.myCut++ * ourRunBytes;
}

// A new region, as large as those the pool holds together (so that their
// number grows with the logarithm of the memory), smaller when the system has
// no room for that.
// The number of regions has no bound of its own: where the address space is
// cut into small holes, every hole down to one run's room can serve.
Region* NewRegion()
{
	Region* locRegion = NULL;
	for (Region& locFree : ourUsedRegions)
	{
		if (!locFree.myBase)
		{
			locRegion = &locFree;
			break;
		}
	}
	if (!locRegion)
	{
		if (ourRegionsUsed == ourRegionRoom && !GrowRegionTable())
			return NULL;
		locRegion = &ourRegions[ourRegionsUsed];
	}
	std::size_t locSlots = ourReservedSlots < ourFirstSlots ? ourFirstSlots : ourReservedSlots;
	if (locSlots > ourMostSlots)
		locSlots = ourMostSlots;
	for (; locSlots > 0; locSlots /= 2)
	{
		char* locBase = static_cast<char*>(ourReserve(locSlots * ourRunBytes));
		if (locBase)
		{
			std::memset(static_cast<void*>(locRegion), 0, sizeof(*locRegion));
			locRegion->myBase = locBase;
			locRegion->mySlots = locSlots;
			ourReservedSlots += locSlots;
			if (locRegion == &ourRegions[ourRegionsUsed])
				++ourRegionsUsed;
			return locRegion;
		}
	}
	return NULL;
}

Run* NewRun(std::size_t aClass)
{
	if (!TakeRun())
		return NULL;
	char* locPages = TakeFreeSlot();
	if (!locPages)
	{
		// The search starts where the last one found a region with room.
		Region* locRegion = NULL;
		for (std::size_t locStep = 0; locStep < ourRegionsUsed; ++locStep)
		{
			std::size_t locIndex = (ourOpenHint + locStep) % ourRegionsUsed;
			Region& locOpen = ourRegions[locIndex];
			if (locOpen.myBase && locOpen.myCut < locOpen.mySlots)
			{
				locRegion = &locOpen;
				ourOpenHint = locIndex;
				break;
			}
		}
		if (!locRegion && !(locRegion = NewRegion()))
			return NULL;
		if (!(locPages = CutSlot(*locRegion)))
			return NULL;
	}
	++ourRunCount;
	Run* locRun = reinterpret_cast<Run*>(locPages);
	locRun->myFree = NULL;
	locRun->myUsed = 0;
	locRun->myNextPartial = NULL;
	locRun->myUncut = locPages + ourHeaderBytes;
	locRun->myEnd = locPages + ourRunBytes;
	locRun->myClass = aClass;
	locRun->myListed = false;
	return locRun;
}

// The run goes back with the next TrimRegions.
void ReleaseRun(Run* aRun)
{
	--ourRunCount;
	Region* locRegion = RegionOf(aRun);
	std::size_t locSlot = static_cast<std::size_t>(reinterpret_cast<char*>(aRun) - locRegion->myBase) / ourRunBytes;
	locRegion->myGoing[locSlot / ourWordBits] |= 1u << (locSlot % ourWordBits);
	--locRegion->myRuns;
}

bool IsGoing(const Region& aRegion, std::size_t aSlot)
{
	return (aRegion.myGoing[aSlot / ourWordBits] >> (aSlot % ourWordBits) & 1) != 0;
}

// After runs went back: a region without runs goes back whole; the others
// decommit the slots of those runs, each range of neighbours in one call, and
// the slots they committed ahead.
void TrimRegions()
{
	for (Region& locRegion : ourUsedRegions)
	{
		if (!locRegion.myBase)
			continue;
		for (std::size_t locSlot = 0; locSlot < locRegion.myCut;)
		{
			if (!IsGoing(locRegion, locSlot))
			{
				++locSlot;
				continue;
			}
			std::size_t locEnd = locSlot + 1;
			while (locEnd < locRegion.myCut && IsGoing(locRegion, locEnd))
				++locEnd;
			if (locRegion.myRuns > 0)
				KC_PlatformDecommitPages(locRegion.myBase + locSlot * ourRunBytes, (locEnd - locSlot) * ourRunBytes);
			ourCommittedSlots -= locEnd - locSlot;
			locRegion.myFreeCount += locEnd - locSlot;
			ourFreeSlots += locEnd - locSlot;
			for (; locSlot < locEnd; ++locSlot)
				locRegion.myFree[locSlot / ourWordBits] |= 1u << (locSlot % ourWordBits);
		}
		std::memset(locRegion.myGoing, 0, sizeof(locRegion.myGoing));
		ourCommittedSlots -= locRegion.myCommitted - locRegion.myCut;
		if (locRegion.myRuns == 0)
		{
			ourRelease(locRegion.myBase, locRegion.mySlots * ourRunBytes);
			ourReservedSlots -= locRegion.mySlots;
			ourFreeSlots -= locRegion.myFreeCount;
			locRegion.myBase = NULL;
		}
		else if (locRegion.myCommitted > locRegion.myCut)
		{
			KC_PlatformDecommitPages(locRegion.myBase + locRegion.myCut * ourRunBytes,
				(locRegion.myCommitted - locRegion.myCut) * ourRunBytes);
			locRegion.myCommitted = locRegion.myCut;
		}
	}
}
} // namespace

void* KC_PoolParts::AllocateMore(std::size_t aSize) noexcept
{
	if (aSize > ourLargest)
		return ::operator new(aSize, std::nothrow);
	if (Faulted(aSize))
		return NULL;
	std::size_t locClass = SmallClass(aSize);
	std::size_t locBytes = locClass * ourStep;
	for (;;)
	{
		Run* locRun = ourCurrent[locClass];
		if (locRun && locRun->myFree)
		{
			FreeBlock* locBlock = locRun->myFree;
			locRun->myFree = locBlock->myNext;
			++locRun->myUsed;
			return locBlock;
		}
		if (locRun && locRun->myUncut + locBytes <= locRun->myEnd)
		{
			void* locBlock = locRun->myUncut;
			locRun->myUncut += locBytes;
			++locRun->myUsed;
			return locBlock;
		}
		// The current run is full: the next run with free blocks, else a new one.
		Run* locNext = ourPartial[locClass];
		if (locNext)
		{
			ourPartial[locClass] = locNext->myNextPartial;
			locNext->myListed = false;
			locNext->myNextPartial = NULL;
		}
		else if (!(locNext = NewRun(locClass)))
		{
			return NULL;
		}
		ourCurrent[locClass] = locNext;
	}
}

void KC_PoolParts::FreeMore(void* aBlock, std::size_t aSize) noexcept
{
	if (!aBlock)
		return;
	if (aSize > ourLargest)
	{
		::operator delete(aBlock);
		return;
	}
	// A block of a full run other than the current one: the run is listed
	// among those with free blocks.
	Run* locRun = RunOf(aBlock);
	FreeBlock* locBlock = static_cast<FreeBlock*>(aBlock);
	locBlock->myNext = locRun->myFree;
	locRun->myFree = locBlock;
	--locRun->myUsed;
	if (!locRun->myListed && locRun != ourCurrent[locRun->myClass])
	{
		locRun->myNextPartial = ourPartial[locRun->myClass];
		ourPartial[locRun->myClass] = locRun;
		locRun->myListed = true;
	}
}

void KC_PoolTrim() noexcept
{
	for (std::size_t locClass = 1; locClass < ourClasses; ++locClass)
	{
		Run** locLink = &ourPartial[locClass];
		while (Run* locRun = *locLink)
		{
			if (locRun->myUsed == 0)
			{
				*locLink = locRun->myNextPartial;
				ReleaseRun(locRun);
			}
			else
			{
				locLink = &locRun->myNextPartial;
			}
		}
		Run* locCurrent = ourCurrent[locClass];
		if (locCurrent && locCurrent->myUsed == 0)
		{
			ourCurrent[locClass] = NULL;
			ReleaseRun(locCurrent);
		}
	}
	TrimRegions();
}

std::size_t KC_PoolHeldBytes() noexcept
{
	return ourCommittedSlots * ourRunBytes;
}

bool KC_PoolSetReservation(KC_PoolReserveFunction aReserve, KC_PoolReleaseFunction aRelease) noexcept
{
	ourReserve = aReserve ? aReserve : KC_PlatformReservePages;
	ourRelease = aRelease ? aRelease : KC_PlatformReleasePages;
	return true;
}

#elif defined(KC_POOL_CHECKED)
// Checked mode: each block has a header in front of it, poisoned like every
// free block, that holds its exact size and state. A freed block is filled,
// poisoned and kept in a quarantine before it can be handed out again; the size
// given to every free is compared with the block's own.
namespace
{
using KC_PoolParts::FreeBlock;
using KC_PoolParts::ourClasses;
using KC_PoolParts::ourLargest;
using KC_PoolParts::ourStep;

// Runs of the checked mode: shared by all sizes, cut in order, never given back.
const std::size_t ourCheckedRunBytes = 1 << 18;

FreeBlock* ourFree[ourClasses];
char* ourRun = NULL;
std::size_t ourRunLeft = 0;

std::size_t SizeClass(std::size_t aSize)
{
	return aSize == 0 ? 1 : KC_PoolParts::ClassOf(aSize);
}

// Cuts aBytes from the current run, or from a new one; null when the system
// gives no more pages.
void* CutFromRun(std::size_t aBytes)
{
	if (ourRunLeft < aBytes)
	{
		// The rest of the old run is too small for this block: it stays unused.
		if (!TakeRun())
			return NULL;
		ourRun = static_cast<char*>(KC_PlatformAllocatePages(ourCheckedRunBytes));
		ourRunLeft = ourRun ? ourCheckedRunBytes : 0;
		if (!ourRun)
			return NULL;
		KC_POOL_POISON(ourRun, ourCheckedRunBytes);
#if defined(KC_POOL_ASAN)
		// Heap blocks that pooled objects point to are not leaks.
		__lsan_register_root_region(ourRun, ourCheckedRunBytes);
#endif
	}
	void* locBlock = ourRun;
	ourRun += aBytes;
	ourRunLeft -= aBytes;
	return locBlock;
}

struct Header
{
	unsigned int myMagic;
	unsigned int mySize;
	FreeBlock* myNext;
};
const std::size_t ourHeaderBytes = 16;
static_assert(sizeof(Header) <= ourHeaderBytes, "the block header fits its room");
const unsigned int ourInUse = 0x4B434155;  // "UACK"
const unsigned int ourFreed = 0x4B434646;  // "FFCK"
const unsigned char ourFreedFill = 0xDD;
const std::size_t ourQuarantineSize = 4096;

unsigned char* ourQuarantine[ourQuarantineSize];
std::size_t ourQuarantineNext = 0;

[[noreturn]] void Fault(const char* aFormat, ...) __attribute__((format(printf, 1, 2)));

void Fault(const char* aFormat, ...)
{
	va_list locArguments;
	va_start(locArguments, aFormat);
	std::vfprintf(stderr, aFormat, locArguments);
	va_end(locArguments);
	std::fputc('\n', stderr);
	std::abort();
}

Header ReadHeader(unsigned char* aBlock)
{
	Header locHeader;
	KC_POOL_UNPOISON(aBlock - ourHeaderBytes, ourHeaderBytes);
	std::memcpy(&locHeader, aBlock - ourHeaderBytes, sizeof(locHeader));
	KC_POOL_POISON(aBlock - ourHeaderBytes, ourHeaderBytes);
	return locHeader;
}

void WriteHeader(unsigned char* aBlock, unsigned int aMagic, std::size_t aSize, FreeBlock* aNext)
{
	Header locHeader = {aMagic, static_cast<unsigned int>(aSize), aNext};
	KC_POOL_UNPOISON(aBlock - ourHeaderBytes, ourHeaderBytes);
	std::memcpy(aBlock - ourHeaderBytes, &locHeader, sizeof(locHeader));
	KC_POOL_POISON(aBlock - ourHeaderBytes, ourHeaderBytes);
}

// A block leaves the quarantine for the free list of its size; its fill shows
// whether it was written after it was freed.
void LeaveQuarantine(unsigned char* aBlock)
{
	Header locHeader = ReadHeader(aBlock);
	std::size_t locBytes = SizeClass(locHeader.mySize) * ourStep;
	KC_POOL_UNPOISON(aBlock, locBytes);
	for (std::size_t i = 0; i < locBytes; ++i)
		if (aBlock[i] != ourFreedFill)
			Fault("KC_PoolFree: block %p of %u bytes was written at byte %zu after it was freed", aBlock,
			      locHeader.mySize, i);
	KC_POOL_POISON(aBlock, locBytes);
	std::size_t locClass = SizeClass(locHeader.mySize);
	WriteHeader(aBlock, ourFreed, locHeader.mySize, ourFree[locClass]);
	ourFree[locClass] = reinterpret_cast<FreeBlock*>(aBlock);
}
} // namespace

void* KC_PoolParts::AllocateMore(std::size_t aSize) noexcept
{
	if (aSize > ourLargest)
		return ::operator new(aSize, std::nothrow);
	if (Faulted(aSize))
		return NULL;
	std::size_t locClass = SizeClass(aSize);
	unsigned char* locBlock = reinterpret_cast<unsigned char*>(ourFree[locClass]);
	if (locBlock)
		ourFree[locClass] = ReadHeader(locBlock).myNext;
	else
	{
		unsigned char* locRoom = static_cast<unsigned char*>(CutFromRun(ourHeaderBytes + locClass * ourStep));
		if (!locRoom)
			return NULL;
		locBlock = locRoom + ourHeaderBytes;
	}
	WriteHeader(locBlock, ourInUse, aSize, NULL);
	KC_POOL_UNPOISON(locBlock, aSize);
	return locBlock;
}

void KC_PoolParts::FreeMore(void* aBlock, std::size_t aSize) noexcept
{
	if (!aBlock)
		return;
	if (aSize > ourLargest)
	{
		::operator delete(aBlock, aSize);
		return;
	}
	unsigned char* locBlock = static_cast<unsigned char*>(aBlock);
	Header locHeader = ReadHeader(locBlock);
	if (locHeader.myMagic == ourFreed)
		Fault("KC_PoolFree: block %p of %u bytes freed twice", aBlock, locHeader.mySize);
	if (locHeader.myMagic != ourInUse)
		Fault("KC_PoolFree: %p is no block of the pool (freed with %zu bytes)", aBlock, aSize);
	if (locHeader.mySize != aSize)
		Fault("KC_PoolFree: block %p of %u bytes freed with the wrong size %zu", aBlock, locHeader.mySize, aSize);
	std::size_t locBytes = SizeClass(aSize) * ourStep;
	KC_POOL_UNPOISON(locBlock, locBytes);
	std::memset(locBlock, ourFreedFill, locBytes);
	KC_POOL_POISON(locBlock, locBytes);
	WriteHeader(locBlock, ourFreed, aSize, NULL);
	unsigned char*& locSlot = ourQuarantine[ourQuarantineNext];
	if (locSlot)
		LeaveQuarantine(locSlot);
	locSlot = locBlock;
	ourQuarantineNext = (ourQuarantineNext + 1) % ourQuarantineSize;
}

// The checked mode keeps its runs: free and quarantined blocks stay in them.
void KC_PoolTrim() noexcept
{
}

bool KC_PoolSetReservation(KC_PoolReserveFunction /*aReserve*/, KC_PoolReleaseFunction /*aRelease*/) noexcept
{
	return false;
}

std::size_t KC_PoolHeldBytes() noexcept
{
	return 0;
}

#else

void* KC_PoolParts::AllocateMore(std::size_t aSize) noexcept
{
	if (Faulted(aSize))
		return NULL;
	return ::operator new(aSize, std::nothrow);
}

void KC_PoolParts::FreeMore(void* aBlock, std::size_t aSize) noexcept
{
	::operator delete(aBlock, aSize);
}

void KC_PoolTrim() noexcept
{
}

std::size_t KC_PoolHeldBytes() noexcept
{
	return 0;
}

bool KC_PoolSetReservation(KC_PoolReserveFunction /*aReserve*/, KC_PoolReleaseFunction /*aRelease*/) noexcept
{
	return false;
}
#endif
