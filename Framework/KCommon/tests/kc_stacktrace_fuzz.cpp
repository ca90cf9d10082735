// libFuzzer target: takes arbitrary bytes as the end of an executable, walks
// the trailer chunks, inflates and checks the table, and looks addresses up in
// it. Assertions end an input, not the fuzzer.
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
	delete[] locTable;

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
		uintptr_t locAddresses[] = {0, 1, 0x401000, 0x7FFFFFFF, 0xFFFFFFFF};
		for (uintptr_t locAddress : locAddresses)
		{
			char locLine[300];
			KC_AppendFrameLine(locLine, sizeof(locLine), 0, locAddress);
		}
		if (aSize >= 8)
		{
			char locLine[300];
			uintptr_t locFromInput = aData[0] | (aData[1] << 8) | (aData[2] << 16) | (static_cast<uintptr_t>(aData[3]) << 24);
			KC_AppendFrameLine(locLine, sizeof(locLine), 0, locFromInput);
		}
	}
	catch (const AssertionReached&)
	{
	}
	KC_ReleaseLineNumbers();
	std::remove(ourPath.c_str());
	return 0;
}
