#ifndef KC_POOL_H
#define KC_POOL_H

#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define KC_POOL_USES_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KC_POOL_USES_HEAP 1
#endif
#endif

// Small blocks (up to 512 bytes, in steps of 8) cut from large runs of pages
// and kept on a free list per size: for the many small objects of a Juice tree
// and the links of lists. Runs go back to the system only through KC_PoolTrim.
// Not thread-safe, like the rest of the framework. Sanitizer builds use the
// ordinary heap, so that its checks see every block.
inline void* KC_PoolAllocate(std::size_t aSize) noexcept;
inline void KC_PoolFree(void* aBlock, std::size_t aSize) noexcept;
// Gives back every run whose blocks are all free (after a large tree is gone,
// before another of other sizes is built); costs one pass over the free lists.
void KC_PoolTrim() noexcept;
// The bytes of the runs the pool holds (0 where the heap serves).
std::size_t KC_PoolHeldBytes() noexcept;

namespace KC_PoolParts
{
const std::size_t ourStep = 8;
const std::size_t ourLargest = 512;

struct FreeBlock
{
	FreeBlock* myNext;
};

// The free list of each size class (blocks of class c take c * ourStep bytes).
extern FreeBlock* ourFree[ourLargest / ourStep + 1];

// What the inline paths do not: a block cut from a run, a large block, the heap.
void* AllocateMore(std::size_t aSize) noexcept;
void FreeLarge(void* aBlock, std::size_t aSize) noexcept;
} // namespace KC_PoolParts

// A free block of the size class is taken and given back inline: strings and
// list links come and go by the hundred thousand.
inline void* KC_PoolAllocate(std::size_t aSize) noexcept
{
#ifndef KC_POOL_USES_HEAP
	using namespace KC_PoolParts;
	if (aSize - 1 < ourLargest)
	{
		FreeBlock*& locFree = ourFree[(aSize + ourStep - 1) / ourStep];
		if (FreeBlock* locBlock = locFree)
		{
			locFree = locBlock->myNext;
			return locBlock;
		}
	}
#endif
	return KC_PoolParts::AllocateMore(aSize);
}

inline void KC_PoolFree(void* aBlock, std::size_t aSize) noexcept
{
#ifndef KC_POOL_USES_HEAP
	using namespace KC_PoolParts;
	if (aBlock && aSize - 1 < ourLargest)
	{
		FreeBlock*& locFree = ourFree[(aSize + ourStep - 1) / ourStep];
		FreeBlock* locBlock = static_cast<FreeBlock*>(aBlock);
		locBlock->myNext = locFree;
		locFree = locBlock;
		return;
	}
#endif
	KC_PoolParts::FreeLarge(aBlock, aSize);
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
