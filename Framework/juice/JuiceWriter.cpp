#include "JuiceWriter.h"

#include "JuiceNameSpace.h"
#include "JuiceType.h"
#include "kc_output.h"
#include "kc_platform.h"

#include <cstdarg>
#include <cstring>
#include <memory>
#include <new>

namespace
{
// Whether aFormat holds no conversion but "%s".
bool TextsOnly(const char* aFormat)
{
	for (const char* locAt = aFormat; *locAt; ++locAt)
	{
		if (*locAt != '%')
			continue;
		if (locAt[1] != 's')
			return false;
		++locAt;
	}
	return true;
}

// Writes aCount characters of aLine; false when the write failed.
bool WriteLine(FILE* aFile, const char* aLine, size_t aCount)
{
	return aCount == 0 || std::fwrite(aLine, 1, aCount, aFile) == aCount;
}
}

bool JuiceWriteText(FILE* aFile, const char* aFormat, ...)
{
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	// Every line of a namespace is plain text and texts: put together here and
	// written at once, it costs a fraction of a general vfprintf.
	if (!TextsOnly(aFormat))
	{
		int locCount = std::vfprintf(aFile, aFormat, locArguments);
		va_end(locArguments);
		return locCount > 0;
	}
	char locLine[1024];
	size_t locUsed = 0;
	size_t locTotal = 0;
	bool locWritten = true;
	auto locPut = [&](char aCharacter) {
		if (locUsed == sizeof(locLine))
		{
			locWritten = WriteLine(aFile, locLine, locUsed) && locWritten;
			locTotal += locUsed;
			locUsed = 0;
		}
		locLine[locUsed++] = aCharacter;
	};
	for (const char* locAt = aFormat; *locAt; ++locAt)
	{
		if (*locAt != '%')
		{
			locPut(*locAt);
			continue;
		}
		++locAt;
		const char* locText = va_arg(locArguments, const char*);
		for (locText = locText ? locText : "(null)"; *locText; ++locText)
			locPut(*locText);
	}
	va_end(locArguments);
	locWritten = WriteLine(aFile, locLine, locUsed) && locWritten;
	// vfprintf's result: the count of characters written, or -1 after a failed write.
	return locWritten && locTotal + locUsed > 0;
}

namespace
{
// Writes everything into the open file; false after logging the failure.
bool WriteAll(JuiceNameSpace& aNameSpace, FILE* aFile, const KC_String& aFileName)
{
	JuiceNameSpaceWalk locWalk(aNameSpace);
	for (const KC_String& locText : aNameSpace.myIncludes)
	{
		if (!JuiceWriteText(aFile, "INCLUDE %s" JUICE_EOL, locText.GetText()))
		{
			KC_Log("Failed to write inclusion of file '%s' during namespace write to '%s'",
				locText.GetText(), aFileName.GetText());
			return false;
		}
	}
	if (!JuiceWriteText(aFile, JUICE_EOL))
	{
		KC_Log("Failed to write namespace to '%s'", aFileName.GetText());
		return false;
	}
	KC_String locIndent;
	for (JuiceType* locType : aNameSpace)
	{
		if (!locType->Write(aFile, locIndent, true))
		{
			KC_Log("Failed to write member '%s' of type '%s' during namespace to '%s'",
				locType->GetName().GetText(), locType->GetTypeName().GetText(),
				aFileName.GetText());
			return false;
		}
	}
	return true;
}
}

bool WriteNameSpace(JuiceNameSpace& aNameSpace, const KC_String& aFileName)
{
	const size_t ourBufferBytes = 1 << 16;
	// The text goes to a file beside the target, which replaces the target
	// only when it is complete.
	if (aFileName.GetLength() > 65000)
	{
		KC_Log("Failed to open output file '%s'", aFileName.GetText());
		return false;
	}
	KC_String locTemporary = aFileName + ".juicetmp";
	FILE* locFile = std::fopen(locTemporary, "wb");
	if (!locFile)
	{
		KC_Log("Failed to open output file '%s'", aFileName.GetText());
		return false;
	}
	// Lines are written one at a time: a large buffer of our own (the C library
	// takes no size without a buffer) makes few writes of them. It outlives
	// the file.
	std::unique_ptr<char[]> locBuffer(new (std::nothrow) char[ourBufferBytes]);
	if (locBuffer)
		std::setvbuf(locFile, locBuffer.get(), _IOFBF, ourBufferBytes);
	bool locResult = WriteAll(aNameSpace, locFile, aFileName);
	if (std::fclose(locFile) != 0 && locResult)
	{
		KC_Log("Failed to write namespace to '%s'", aFileName.GetText());
		locResult = false;
	}
	if (locResult && !KC_PlatformReplaceFile(locTemporary, aFileName))
	{
		KC_Log("Failed to write namespace to '%s'", aFileName.GetText());
		locResult = false;
	}
	if (!locResult)
	{
		std::remove(locTemporary);
		return false;
	}
	KC_Log("Successfully wrote namespace to '%s'", aFileName.GetText());
	return true;
}
