#include "kc_pool.h"

#include "kc_platform.h"

#if defined(__SANITIZE_ADDRESS__)
#define KC_POOL_USES_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KC_POOL_USES_HEAP 1
#endif
#endif

#ifndef KC_POOL_USES_HEAP
namespace
{
const std::size_t ourStep = 8;
const std::size_t ourLargest = 512;
const std::size_t ourRunBytes = 1 << 18;

struct FreeBlock
{
	FreeBlock* myNext;
};

FreeBlock* ourFree[ourLargest / ourStep + 1];
char* ourRun = NULL;
std::size_t ourRunLeft = 0;
} // namespace
#endif

void* KC_PoolAllocate(std::size_t aSize) noexcept
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
			ourRun = static_cast<char*>(KC_PlatformAllocatePages(ourRunBytes));
			ourRunLeft = ourRun ? ourRunBytes : 0;
			if (!ourRun)
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

void KC_PoolFree(void* aBlock, std::size_t aSize) noexcept
{
	if (!aBlock)
		return;
#ifndef KC_POOL_USES_HEAP
	if (aSize <= ourLargest)
	{
		std::size_t locClass = aSize == 0 ? 1 : (aSize + ourStep - 1) / ourStep;
		FreeBlock* locBlock = static_cast<FreeBlock*>(aBlock);
		locBlock->myNext = ourFree[locClass];
		ourFree[locClass] = locBlock;
		return;
	}
#else
	(void)aSize;
#endif
	::operator delete(aBlock);
}
