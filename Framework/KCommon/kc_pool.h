#ifndef KC_POOL_H
#define KC_POOL_H

#include <cstddef>
#include <new>

// Small blocks (up to 512 bytes, in steps of 8) cut from large runs of pages
// and kept on a free list per size: for the many small objects of a Juice tree
// and the links of lists. Runs go back to the system only through KC_PoolTrim.
// Not thread-safe, like the rest of the framework. Sanitizer builds use the
// ordinary heap, so that its checks see every block.
void* KC_PoolAllocate(std::size_t aSize) noexcept;
void KC_PoolFree(void* aBlock, std::size_t aSize) noexcept;
// Gives back every run whose blocks are all free (after a large tree is gone,
// before another of other sizes is built); costs one pass over the free lists.
void KC_PoolTrim() noexcept;

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
