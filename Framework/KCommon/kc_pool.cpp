#include "kc_pool.h"

#include "kc_platform.h"

#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define KC_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KC_POOL_ASAN 1
#endif
#endif

#if defined(KC_POOL_CHECKED)
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#if defined(KC_POOL_ASAN)
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#define KC_POOL_POISON(anAddress, aSize) ASAN_POISON_MEMORY_REGION(anAddress, aSize)
#define KC_POOL_UNPOISON(anAddress, aSize) ASAN_UNPOISON_MEMORY_REGION(anAddress, aSize)
#else
#define KC_POOL_POISON(anAddress, aSize) ((void)(anAddress), (void)(aSize))
#define KC_POOL_UNPOISON(anAddress, aSize) ((void)(anAddress), (void)(aSize))
#endif
#elif defined(KC_POOL_ASAN)
// The sanitizer's heap sees every block and, freed with its size, the size too.
#define KC_POOL_USES_HEAP 1
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
std::size_t ourRunsAllowed = SIZE_MAX;

std::size_t SizeClass(std::size_t aSize)
{
	return aSize == 0 ? 1 : (aSize + ourStep - 1) / ourStep;
}

// Cuts aBytes from the current run, or from a new one; null when the system
// gives no more pages.
void* CutFromRun(std::size_t aBytes)
{
	if (ourRunLeft < aBytes)
	{
		// The rest of the old run is too small for this block: it stays unused.
		if (ourRunsAllowed == 0)
			return NULL;
		if (ourRunsAllowed != SIZE_MAX)
			--ourRunsAllowed;
		ourRun = static_cast<char*>(KC_PlatformAllocatePages(ourRunBytes));
		ourRunLeft = ourRun ? ourRunBytes : 0;
		if (!ourRun)
			return NULL;
#if defined(KC_POOL_CHECKED)
		KC_POOL_POISON(ourRun, ourRunBytes);
#if defined(KC_POOL_ASAN)
		// Heap blocks that pooled objects point to are not leaks.
		__lsan_register_root_region(ourRun, ourRunBytes);
#endif
#endif
	}
	void* locBlock = ourRun;
	ourRun += aBytes;
	ourRunLeft -= aBytes;
	return locBlock;
}

#if defined(KC_POOL_CHECKED)
// Checked mode: each block has a header in front of it, poisoned like every
// free block, that holds its exact size and state. A freed block is filled,
// poisoned and kept in a quarantine before it can be handed out again; the size
// given to every free is compared with the block's own.
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
#endif
} // namespace
#endif

void* KC_PoolAllocate(std::size_t aSize) noexcept
{
#if defined(KC_POOL_CHECKED)
	if (aSize <= ourLargest)
	{
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
#elif !defined(KC_POOL_USES_HEAP)
	if (aSize <= ourLargest)
	{
		std::size_t locClass = SizeClass(aSize);
		if (FreeBlock* locBlock = ourFree[locClass])
		{
			ourFree[locClass] = locBlock->myNext;
			return locBlock;
		}
		return CutFromRun(locClass * ourStep);
	}
#endif
	return ::operator new(aSize, std::nothrow);
}

bool KC_PoolLimitRuns(std::size_t aRuns) noexcept
{
#ifndef KC_POOL_USES_HEAP
	ourRunsAllowed = aRuns;
	return true;
#else
	(void)aRuns;
	return false;
#endif
}

void KC_PoolFree(void* aBlock, std::size_t aSize) noexcept
{
	if (!aBlock)
		return;
#if defined(KC_POOL_CHECKED)
	if (aSize <= ourLargest)
	{
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
		return;
	}
	::operator delete(aBlock, aSize);
#elif !defined(KC_POOL_USES_HEAP)
	if (aSize <= ourLargest)
	{
		std::size_t locClass = SizeClass(aSize);
		FreeBlock* locBlock = static_cast<FreeBlock*>(aBlock);
		locBlock->myNext = ourFree[locClass];
		ourFree[locClass] = locBlock;
		return;
	}
	::operator delete(aBlock);
#else
	::operator delete(aBlock, aSize);
#endif
}
