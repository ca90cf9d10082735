#include "kc_pool.h"

#include "kc_platform.h"

#include <algorithm>
#include <cstdlib>

#ifndef KC_POOL_USES_HEAP
KC_PoolParts::FreeBlock* KC_PoolParts::ourFree[KC_PoolParts::ourLargest / KC_PoolParts::ourStep + 1];

namespace
{
using namespace KC_PoolParts;

const std::size_t ourRunBytes = 1 << 18;

char* ourRun = NULL;
std::size_t ourRunLeft = 0;

// Every run taken, with the bytes cut from it; the last one is the run being
// cut, whose count is made up to date only when it is needed (Cut). Plain
// memory: the pool is used before any constructor has run.
struct Run
{
	char* myBase;
	std::size_t myCarved;
	std::size_t myFree;
};
Run* ourRuns = NULL;
std::size_t ourRunCount = 0;
std::size_t ourRunCapacity = 0;

// Brings the count of the run being cut up to date.
void Cut()
{
	if (ourRun && ourRunCount > 0)
		ourRuns[ourRunCount - 1].myCarved = ourRunBytes - ourRunLeft;
}

bool TakeRun()
{
	if (ourRunCount == ourRunCapacity)
	{
		std::size_t locCapacity = ourRunCapacity ? 2 * ourRunCapacity : 64;
		Run* locRuns = static_cast<Run*>(std::realloc(ourRuns, locCapacity * sizeof(Run)));
		if (!locRuns)
			return false;
		ourRuns = locRuns;
		ourRunCapacity = locCapacity;
	}
	char* locRun = static_cast<char*>(KC_PlatformAllocatePages(ourRunBytes));
	if (!locRun)
		return false;
	ourRuns[ourRunCount++] = Run{locRun, 0, 0};
	ourRun = locRun;
	ourRunLeft = ourRunBytes;
	return true;
}

// The run that holds aBlock, or null; aHint is the run found last.
Run* FindRun(const char* aBlock, Run* aHint)
{
	if (aHint && aBlock >= aHint->myBase && aBlock < aHint->myBase + ourRunBytes)
		return aHint;
	Run* locEnd = ourRuns + ourRunCount;
	Run* locAfter = std::upper_bound(
		ourRuns, locEnd, aBlock, [](const char* aText, const Run& aRun) { return aText < aRun.myBase; });
	if (locAfter == ourRuns)
		return NULL;
	Run* locRun = locAfter - 1;
	return aBlock < locRun->myBase + ourRunBytes ? locRun : NULL;
}
} // namespace
#endif

void* KC_PoolParts::AllocateMore(std::size_t aSize) noexcept
{
#ifndef KC_POOL_USES_HEAP
	if (aSize <= ourLargest)
	{
		std::size_t locClass = aSize == 0 ? 1 : (aSize + ourStep - 1) / ourStep;
		if (FreeBlock* locBlock = ourFree[locClass])
		{
			ourFree[locClass] = locBlock->myNext;
			return locBlock;
		}
		std::size_t locBytes = locClass * ourStep;
		if (ourRunLeft < locBytes)
		{
			// The rest of the old run is too small for this block: it stays unused.
			Cut();
			ourRun = NULL;
			ourRunLeft = 0;
			if (!TakeRun())
				return NULL;
		}
		void* locBlock = ourRun;
		ourRun += locBytes;
		ourRunLeft -= locBytes;
		return locBlock;
	}
#endif
	return ::operator new(aSize, std::nothrow);
}

void KC_PoolParts::FreeLarge(void* aBlock, std::size_t aSize) noexcept
{
	if (!aBlock)
		return;
#ifndef KC_POOL_USES_HEAP
	if (aSize <= ourLargest)
	{
		// Size 0: the class of the smallest blocks.
		FreeBlock* locBlock = static_cast<FreeBlock*>(aBlock);
		locBlock->myNext = ourFree[1];
		ourFree[1] = locBlock;
		return;
	}
#else
	(void)aSize;
#endif
	::operator delete(aBlock);
}

void KC_PoolTrim() noexcept
{
#ifndef KC_POOL_USES_HEAP
	if (ourRunCount == 0)
		return;
	Cut();
	char* locCurrent = ourRun ? ourRuns[ourRunCount - 1].myBase : NULL;
	std::sort(ourRuns, ourRuns + ourRunCount, [](const Run& aLeft, const Run& aRight) {
		return aLeft.myBase < aRight.myBase;
	});
	for (std::size_t locIndex = 0; locIndex < ourRunCount; ++locIndex)
		ourRuns[locIndex].myFree = 0;
	Run* locHint = NULL;
	for (std::size_t locClass = 1; locClass <= ourLargest / ourStep; ++locClass)
	{
		for (FreeBlock* locBlock = ourFree[locClass]; locBlock; locBlock = locBlock->myNext)
		{
			locHint = FindRun(reinterpret_cast<char*>(locBlock), locHint);
			if (locHint)
				locHint->myFree += locClass * ourStep;
		}
	}
	// A run is given back when every block cut from it is free; the free lists
	// keep the blocks of the other runs, in their order.
	bool locAnyFree = false;
	for (std::size_t locIndex = 0; locIndex < ourRunCount; ++locIndex)
		locAnyFree = locAnyFree || (ourRuns[locIndex].myCarved > 0 && ourRuns[locIndex].myFree == ourRuns[locIndex].myCarved);
	if (locAnyFree)
	{
		locHint = NULL;
		for (std::size_t locClass = 1; locClass <= ourLargest / ourStep; ++locClass)
		{
			FreeBlock** locLink = &ourFree[locClass];
			while (FreeBlock* locBlock = *locLink)
			{
				locHint = FindRun(reinterpret_cast<char*>(locBlock), locHint);
				if (locHint && locHint->myCarved > 0 && locHint->myFree == locHint->myCarved)
					*locLink = locBlock->myNext;
				else
					locLink = &locBlock->myNext;
			}
		}
	}
	std::size_t locKept = 0;
	Run locCurrentRun = Run{NULL, 0, 0};
	for (std::size_t locIndex = 0; locIndex < ourRunCount; ++locIndex)
	{
		Run& locRun = ourRuns[locIndex];
		if (locRun.myCarved > 0 && locRun.myFree == locRun.myCarved)
			KC_PlatformFreePages(locRun.myBase, ourRunBytes);
		else if (locRun.myBase == locCurrent)
			locCurrentRun = locRun;
		else
			ourRuns[locKept++] = locRun;
	}
	// The run being cut stays last; when it was given back, the next block takes a new one.
	if (locCurrentRun.myBase)
	{
		ourRuns[locKept++] = locCurrentRun;
	}
	else
	{
		ourRun = NULL;
		ourRunLeft = 0;
	}
	ourRunCount = locKept;
#endif
}

std::size_t KC_PoolHeldBytes() noexcept
{
#ifndef KC_POOL_USES_HEAP
	return ourRunCount * ourRunBytes;
#else
	return 0;
#endif
}
