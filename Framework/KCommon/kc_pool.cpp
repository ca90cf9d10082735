#include "kc_pool.h"

#include "kc_platform.h"

#ifndef KC_POOL_USES_HEAP
KC_PoolParts::Run* KC_PoolParts::ourCurrent[KC_PoolParts::ourClasses];

namespace
{
using namespace KC_PoolParts;

// The first block lies past the header, at a multiple of the step.
const std::size_t ourHeaderBytes = (sizeof(Run) + 63) & ~std::size_t(63);

// Per class the runs, other than the current one, that have free blocks.
Run* ourPartial[ourClasses];
std::size_t ourRunCount = 0;

// Size 0 takes the smallest blocks.
std::size_t SmallClass(std::size_t aSize)
{
	return aSize == 0 ? 1 : ClassOf(aSize);
}

Run* NewRun(std::size_t aClass)
{
	char* locPages = static_cast<char*>(KC_PlatformAllocateAlignedPages(ourRunBytes));
	if (!locPages)
		return NULL;
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

void ReleaseRun(Run* aRun)
{
	--ourRunCount;
	KC_PlatformFreePages(aRun, ourRunBytes);
}
} // namespace

void* KC_PoolParts::AllocateMore(std::size_t aSize) noexcept
{
	if (aSize > ourLargest)
		return ::operator new(aSize, std::nothrow);
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
}

std::size_t KC_PoolHeldBytes() noexcept
{
	return ourRunCount * ourRunBytes;
}

#else

void* KC_PoolParts::AllocateMore(std::size_t aSize) noexcept
{
	return ::operator new(aSize, std::nothrow);
}

void KC_PoolParts::FreeMore(void* aBlock, std::size_t /*aSize*/) noexcept
{
	::operator delete(aBlock);
}

void KC_PoolTrim() noexcept
{
}

std::size_t KC_PoolHeldBytes() noexcept
{
	return 0;
}
#endif
