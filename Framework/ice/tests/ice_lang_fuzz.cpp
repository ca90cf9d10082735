// libFuzzer target: reads arbitrary bytes as a ".loc" language file and
// fetches every text. Assertions end an input, not the fuzzer.
#include "IceLangDecoder.h"
#include "kc_platform.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

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
	FILE* locFile = std::fopen("fuzz_lang.loc", "wb");
	if (!locFile)
		return 0;
	std::fwrite(aData, 1, aSize, locFile);
	std::fclose(locFile);
	try
	{
		IceLangDecoder locDecoder;
		if (locDecoder.Load("fuzz_lang.ice"))
		{
			for (unsigned int locIndex = 0; locIndex <= locDecoder.GetCount(); ++locIndex)
				locDecoder.GetString(locIndex);
		}
	}
	catch (const AssertionReached&)
	{
	}
	return 0;
}
