#ifndef KC_POOL_H
#define KC_POOL_H

#include <cstddef>
#include <new>

// Small blocks (up to 512 bytes, in steps of 8) cut from large runs of pages
// and kept on a free list per size: for the many small objects of a Juice tree
// and the links of lists. Runs are never given back. Not thread-safe, like the
// rest of the framework. Sanitizer builds use the checked mode (KC_POOL_CHECKED):
// a poisoned header with the exact size in front of each block, freed blocks
// filled, poisoned and held in a quarantine before reuse, and every free's size
// compared with the block's own (a mismatch ends the process with a message).
// A sanitizer build without it uses the heap and frees with the size.
void* KC_PoolAllocate(std::size_t aSize) noexcept;
void KC_PoolFree(void* aBlock, std::size_t aSize) noexcept;

// For tests of running out of memory: from now on the pool takes at most aRuns
// more runs of pages from the system and then fails as if it had none left
// (SIZE_MAX lifts the limit). False when the pool uses the heap.
bool KC_PoolLimitRuns(std::size_t aRuns) noexcept;

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
