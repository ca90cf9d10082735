// Fuzz target of the instance compiler. The input holds up to three texts
// separated by the byte 0x01: a type file, an instance file that may include
// it as "fuzz_types.fruit", and the instance file's ".lang" companion. The
// first byte chooses whether an EverythingIgnorer is passed. A namespace that
// compiles is written and compiled again. Run it in a scratch folder.
#include "JuiceCompiler.h"
#include "JuiceInstanceIgnorer.h"
#include "JuiceNameSpace.h"
#include "JuiceTypeManager.h"
#include "JuiceWriter.h"
#include "kc_output.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace
{
void WriteFile(const char* aName, const std::string& aContent)
{
	FILE* locFile = std::fopen(aName, "wb");
	if (!locFile)
		return;
	std::fwrite(aContent.data(), 1, aContent.size(), locFile);
	std::fclose(locFile);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
	ourErrorChannelOn = false;
	if (aSize == 0)
		return 0;
	bool locIgnore = (aData[0] & 1) != 0;
	std::string locParts[3];
	int locPart = 0;
	for (size_t locIndex = 1; locIndex < aSize; ++locIndex)
	{
		if (aData[locIndex] == 0x01 && locPart < 2)
			++locPart;
		else
			locParts[locPart] += static_cast<char>(aData[locIndex]);
	}
	WriteFile("fuzz_types.fruit", locParts[0]);
	WriteFile("fuzz_in.juice", locParts[1]);
	if (locPart == 2)
		WriteFile("fuzz_in.lang", locParts[2]);
	else
		std::remove("fuzz_in.lang");

	EverythingIgnorer locIgnorer;
	JuiceTypeManager locManager;
	JuiceNameSpace locNameSpace;
	if (JuiceCompiler::Compile(locNameSpace, "fuzz_in.juice", &locManager, locIgnore ? &locIgnorer : NULL))
	{
		locNameSpace.RequiresLocalization();
		if (WriteNameSpace(locNameSpace, "fuzz_out.juice"))
		{
			JuiceNameSpace locAgain;
			JuiceCompiler::Compile(locAgain, "fuzz_out.juice", &locManager, locIgnore ? &locIgnorer : NULL);
		}
	}
	return 0;
}
