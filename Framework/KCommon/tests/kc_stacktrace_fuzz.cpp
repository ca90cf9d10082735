// libFuzzer target: takes arbitrary bytes as the end of an executable, walks
// the trailer chunks, inflates and checks the table, looks addresses up in it
// and composes a crash report of them. Assertions end an input, not the fuzzer.
// Seeds: tests/stacktrace_corpus (valid trailers, made by make_seeds.py).
#include "kc_platform.h"
#include "kc_stacktrace.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace
{
struct AssertionReached
{
};

void ThrowOnFatal(const char*, const char*)
{
	throw AssertionReached();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
	KC_SetMessageBoxFunction(ThrowOnFatal);
	uint32_t locSize = 0;
	unsigned char* locTable = NULL;
	try
	{
		locTable = KC_ReadLineTable(aData, static_cast<uint32_t>(aSize), &locSize);
	}
	catch (const AssertionReached&)
	{
	}
	// Addresses at, inside and past the table's entries, and some of the input's.
	uintptr_t locAddresses[KC_MAX_STACK_FRAMES] = {0, 1, 0x401000, 0x7FFFFFFF, 0xFFFFFFFF};
	int locCount = 5;
	if (locTable)
	{
		uint32_t locEntries = locTable[0] | (locTable[1] << 8) | (locTable[2] << 16) | (static_cast<uint32_t>(locTable[3]) << 24);
		for (uint32_t locPick : {0u, locEntries / 2, locEntries - 1})
		{
			if (locEntries == 0 || locCount + 2 > KC_MAX_STACK_FRAMES)
				break;
			const unsigned char* locEntry = locTable + 4 + locPick * KC_LINE_ENTRY_SIZE;
			uintptr_t locAddress = locEntry[0] | (locEntry[1] << 8) | (locEntry[2] << 16) | (static_cast<uintptr_t>(locEntry[3]) << 24);
			locAddresses[locCount++] = locAddress;
			locAddresses[locCount++] = locAddress + 3;
		}
	}
	delete[] locTable;
	for (size_t i = 0; i + 4 <= aSize && i < 64 && locCount < KC_MAX_STACK_FRAMES; i += 16)
		locAddresses[locCount++] = aData[i] | (aData[i + 1] << 8) | (aData[i + 2] << 16) | (static_cast<uintptr_t>(aData[i + 3]) << 24);

	// The same bytes through the file layer, then lookups in what loaded.
	static const std::string ourPath = "/tmp/kc_stacktrace_fuzz_" + std::to_string(getpid()) + ".exe";
	std::FILE* locFile = std::fopen(ourPath.c_str(), "wb");
	if (!locFile)
		return 0;
	std::fwrite(aData, 1, aSize, locFile);
	std::fclose(locFile);
	try
	{
		KC_LoadLineNumbers(ourPath.c_str());
		static char ourReport[KC_CRASH_REPORT_SIZE];
		KC_ExceptionSummary locException = {0xC0000005, locAddresses[locCount - 1], 2, {1, 0}};
		if (aSize > 0)
			locException.myCode = aData[aSize - 1] & 1 ? 0xC00000FD : 0xC0000005;
		int locLength = KC_ComposeCrashReport(ourReport, locException, locAddresses, locCount);
		if (locLength < 0 || locLength >= KC_CRASH_REPORT_SIZE || ourReport[locLength] != 0)
			__builtin_trap();
	}
	catch (const AssertionReached&)
	{
	}
	KC_ReleaseLineNumbers();
	std::remove(ourPath.c_str());
	return 0;
}
