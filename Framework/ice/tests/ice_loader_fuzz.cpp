// libFuzzer target: loads arbitrary bytes as an Ice file with a language file
// beside it, then walks the tree. Assertions end an input, not the fuzzer.
#include "Ice.h"
#include "kc_platform.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace
{
struct AssertionReached
{
};

void ThrowOnFatal(const char*, const char*)
{
	throw AssertionReached();
}

void WriteFile(const char* aName, const uint8_t* aData, size_t aSize)
{
	FILE* locFile = std::fopen(aName, "wb");
	if (!locFile)
		return;
	std::fwrite(aData, 1, aSize, locFile);
	std::fclose(locFile);
}

void Walk(Ice* aMember, int aDepth)
{
	if (!aMember || aDepth > 8)
		return;
	aMember->GetValue();
	aMember->GetInt();
	aMember->GetTypeHash();
	if (aMember->HasLanguageDecoder())
		aMember->GetLocString();
	unsigned int locCount = aMember->GetCount(true);
	for (unsigned int locIndex = 0; locIndex < locCount && locIndex < 16; ++locIndex)
		Walk(aMember->GetMember(locIndex), aDepth + 1);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
	KC_SetMessageBoxFunction(ThrowOnFatal);
	// The first bytes up to a NUL (at most 256) are the language file, the rest the Ice file.
	size_t locSplit = 0;
	while (locSplit < aSize && locSplit < 256 && aData[locSplit] != 0)
		++locSplit;
	WriteFile("fuzz.loc", aData, locSplit);
	size_t locIceStart = locSplit < aSize ? locSplit + 1 : aSize;
	WriteFile("fuzz.ice", aData + locIceStart, aSize - locIceStart);
	try
	{
		Ice* locRoot = Ice::Load("fuzz.ice", false);
		if (locRoot)
		{
			Walk(locRoot, 0);
			locRoot->GetMember("a.b.c");
			delete locRoot;
		}
	}
	catch (const AssertionReached&)
	{
	}
	return 0;
}
