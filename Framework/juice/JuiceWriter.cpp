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

// While a namespace is written, the lines for its file are gathered here and
// written 64 KiB at a time, rather than each with a write of its own.
struct LineSink
{
	FILE* myFile;
	size_t myUsed;
	char myText[1 << 16];
};
LineSink* ourSink = NULL;

// Writes out the gathered lines; false when the write failed.
bool FlushSink(LineSink& aSink)
{
	bool locWritten = WriteLine(aSink.myFile, aSink.myText, aSink.myUsed);
	aSink.myUsed = 0;
	return locWritten;
}
}

bool JuiceWriteText(FILE* aFile, const char* aFormat, ...)
{
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	// Every line of a namespace is plain text and texts: put together here and
	// written at once, it costs a fraction of a general vfprintf.
	LineSink* locSink = ourSink && ourSink->myFile == aFile ? ourSink : NULL;
	if (!TextsOnly(aFormat))
	{
		// The gathered lines go first.
		bool locFlushed = !locSink || FlushSink(*locSink);
		int locCount = locFlushed ? std::vfprintf(aFile, aFormat, locArguments) : -1;
		va_end(locArguments);
		return locCount > 0;
	}
	char locOwnLine[1024];
	char* locLine = locSink ? locSink->myText : locOwnLine;
	size_t locSize = locSink ? sizeof(locSink->myText) : sizeof(locOwnLine);
	size_t locUsed = locSink ? locSink->myUsed : 0;
	size_t locStart = locUsed;
	size_t locTotal = 0;
	bool locWritten = true;
	auto locPut = [&](char aCharacter) {
		if (locUsed == locSize)
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
	if (locSink)
	{
		// The count of characters of this line, the ones written out included.
		locSink->myUsed = locUsed;
		return locWritten && locTotal + locUsed - locStart > 0;
	}
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
	// The lines are gathered and written in large pieces (without memory for
	// that, each line is written as it comes).
	std::unique_ptr<LineSink> locSink(new (std::nothrow) LineSink);
	LineSink* locOuterSink = ourSink;
	if (locSink)
	{
		locSink->myFile = locFile;
		locSink->myUsed = 0;
		ourSink = locSink.get();
		// The pieces are large already: no second buffer.
		std::setvbuf(locFile, NULL, _IONBF, 0);
	}
	bool locResult = WriteAll(aNameSpace, locFile, aFileName);
	ourSink = locOuterSink;
	bool locFlushed = !locSink || FlushSink(*locSink);
	if ((std::fclose(locFile) != 0 || !locFlushed) && locResult)
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
