#ifndef KC_POOL_H
#define KC_POOL_H

#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define KC_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KC_POOL_ASAN 1
#endif
#endif

// The sanitizer's heap sees every block and, freed with its size, the size too.
#if defined(KC_POOL_ASAN) && !defined(KC_POOL_CHECKED)
#define KC_POOL_USES_HEAP 1
#endif
// The free lists of the runs are used inline only when the pool is neither the
// heap nor checked.
#if !defined(KC_POOL_USES_HEAP) && !defined(KC_POOL_CHECKED)
#define KC_POOL_INLINE 1
#endif

// Small blocks (up to 512 bytes, in steps of 8) for the many small objects of
// a Juice tree and the links of lists. Each size class has runs of its own:
// 64 KiB of pages, aligned to their size, that begin with a header holding the
// run's free list and its count of blocks in use, so that a block finds its run
// from its address and a run whose blocks are all free can go back to the
// system (KC_PoolTrim) without a look at its blocks. The runs lie in regions
// of reserved address space, each as large as those before it together (up to
// 32 MiB), or smaller, down to one run, where the address space has no hole
// that large; their number has no bound. Their pages are committed in steps
// (up to 16 runs, 2 MiB pieces in regions of 2 MiB and more); a run that goes
// back leaves its slot decommitted for the next new run, and a region without
// runs goes back whole. Not thread-safe, like the rest of the framework.
//
// Sanitizer builds use the checked mode (KC_POOL_CHECKED), which bypasses the
// runs and the inline paths: a poisoned header with the exact size in front of
// each block, blocks cut from runs of pages that are never given back, freed
// blocks filled, poisoned and held in a quarantine before reuse, and every
// free's size compared with the block's own (a mismatch ends the process with a
// message). A sanitizer build without it uses the heap and frees with the size.
inline void* KC_PoolAllocate(std::size_t aSize) noexcept;
inline void KC_PoolFree(void* aBlock, std::size_t aSize) noexcept;
// Gives back every run whose blocks are all free (after a large tree is gone,
// before another is built); costs a look at each run, none at the blocks.
void KC_PoolTrim() noexcept;
// The bytes of committed pages the pool holds: its runs and the pages committed
// ahead of them (0 where the heap serves, and in the checked mode, which gives
// nothing back).
std::size_t KC_PoolHeldBytes() noexcept;
// For tests of running out of memory: from now on the pool takes at most aRuns
// more runs of pages from the system and then fails as if it had none left
// (SIZE_MAX lifts the limit). False when the pool uses the heap.
bool KC_PoolLimitRuns(std::size_t aRuns) noexcept;
// For tests of running out of memory at any one allocation: while a hook is
// set, every block of up to 512 bytes asks it first, and a true answer makes
// the allocation fail (larger blocks come from the C++ heap). Null removes it.
typedef bool (*KC_PoolFaultHook)(std::size_t aSize);
void KC_PoolSetFaultHook(KC_PoolFaultHook aHook) noexcept;
// For tests of an address space cut into holes: the calls with which the pool
// reserves and releases its regions, in place of KC_PlatformReservePages and
// KC_PlatformReleasePages (NULLs bring those back). A region goes back through
// the release call in force at that time, so the replacements must be able to
// release what the system reserved and the other way round. False when the
// pool has no regions in this build.
typedef void* (*KC_PoolReserveFunction)(std::size_t aSize);
typedef void (*KC_PoolReleaseFunction)(void* aPages, std::size_t aSize);
bool KC_PoolSetReservation(KC_PoolReserveFunction aReserve, KC_PoolReleaseFunction aRelease) noexcept;

namespace KC_PoolParts
{
const std::size_t ourStep = 8;
const std::size_t ourLargest = 512;
const std::size_t ourClasses = ourLargest / ourStep + 1;
const std::size_t ourRunBytes = std::size_t(1) << 16;

struct FreeBlock
{
	FreeBlock* myNext;
};

// At the start of every run, before its blocks.
struct Run
{
	FreeBlock* myFree;
	// Blocks in use.
	std::size_t myUsed;
	// The next run of the class that has free blocks and is not the current one.
	Run* myNextPartial;
	// Where the blocks not yet handed out begin, and where the run ends.
	char* myUncut;
	char* myEnd;
	std::size_t myClass;
	bool myListed;
};

// The run that each size class hands blocks out of.
extern Run* ourCurrent[ourClasses];
// The hook of KC_PoolSetFaultHook; while it is set, no block is taken inline.
extern KC_PoolFaultHook ourFaultHook;

inline std::size_t ClassOf(std::size_t aSize)
{
	return (aSize + ourStep - 1) / ourStep;
}

inline Run* RunOf(void* aBlock)
{
	return reinterpret_cast<Run*>(reinterpret_cast<std::size_t>(aBlock) & ~(ourRunBytes - 1));
}

// What the inline paths do not: a block cut from a run or from another run of
// the class, a block of size 0 or above 512 bytes, the heap; a run that gets a
// free block for the first time since it was full; every block of the checked
// mode.
void* AllocateMore(std::size_t aSize) noexcept;
void FreeMore(void* aBlock, std::size_t aSize) noexcept;
} // namespace KC_PoolParts

// A free block of the current run, or the next block not yet handed out, is
// taken inline, and a block is given back inline: strings and list links come
// and go by the hundred thousand.
inline void* KC_PoolAllocate(std::size_t aSize) noexcept
{
#if defined(KC_POOL_INLINE)
	using namespace KC_PoolParts;
	if (aSize - 1 < ourLargest && !ourFaultHook)
	{
		std::size_t locClass = ClassOf(aSize);
		Run* locRun = ourCurrent[locClass];
		if (locRun)
		{
			FreeBlock* locBlock = locRun->myFree;
			if (locBlock)
			{
				locRun->myFree = locBlock->myNext;
				++locRun->myUsed;
				return locBlock;
			}
			char* locUncut = locRun->myUncut;
			if (static_cast<std::size_t>(locRun->myEnd - locUncut) >= locClass * ourStep)
			{
				locRun->myUncut = locUncut + locClass * ourStep;
				++locRun->myUsed;
				return locUncut;
			}
		}
	}
#endif
	return KC_PoolParts::AllocateMore(aSize);
}

inline void KC_PoolFree(void* aBlock, std::size_t aSize) noexcept
{
#if defined(KC_POOL_INLINE)
	using namespace KC_PoolParts;
	if (aBlock && aSize - 1 < ourLargest)
	{
		Run* locRun = RunOf(aBlock);
		if (locRun->myListed || locRun == ourCurrent[locRun->myClass])
		{
			FreeBlock* locBlock = static_cast<FreeBlock*>(aBlock);
			locBlock->myNext = locRun->myFree;
			locRun->myFree = locBlock;
			--locRun->myUsed;
			return;
		}
	}
#endif
	KC_PoolParts::FreeMore(aBlock, aSize);
}

// KC_PoolAllocate for the throwing forms of new.
inline void* KC_PoolAllocateOrThrow(std::size_t aSize)
{
	void* locBlock = KC_PoolAllocate(aSize);
	if (!locBlock)
		throw std::bad_alloc();
	return locBlock;
}

// Class-scope operators that route a class's objects, and with KC_POOLED_ARRAYS
// arrays of them, through the pool.
#define KC_POOLED_OBJECT                                                                                               \
	static void* operator new(std::size_t aSize)                                                                       \
	{                                                                                                                  \
		return KC_PoolAllocateOrThrow(aSize);                                                                          \
	}                                                                                                                  \
	static void* operator new(std::size_t aSize, const std::nothrow_t&) noexcept                                       \
	{                                                                                                                  \
		return KC_PoolAllocate(aSize);                                                                                 \
	}                                                                                                                  \
	static void operator delete(void* aBlock, std::size_t aSize) noexcept                                              \
	{                                                                                                                  \
		KC_PoolFree(aBlock, aSize);                                                                                    \
	}

#define KC_POOLED_ARRAYS                                                                                               \
	static void* operator new[](std::size_t aSize)                                                                     \
	{                                                                                                                  \
		return KC_PoolAllocateOrThrow(aSize);                                                                          \
	}                                                                                                                  \
	static void* operator new[](std::size_t aSize, const std::nothrow_t&) noexcept                                     \
	{                                                                                                                  \
		return KC_PoolAllocate(aSize);                                                                                 \
	}                                                                                                                  \
	static void operator delete[](void* aBlock, std::size_t aSize) noexcept                                            \
	{                                                                                                                  \
		KC_PoolFree(aBlock, aSize);                                                                                    \
	}

#endif
