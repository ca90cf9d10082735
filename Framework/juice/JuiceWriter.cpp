#include "JuiceWriter.h"

#include "JuiceNameSpace.h"
#include "JuiceType.h"
#include "kc_output.h"
#include "kc_platform.h"

#include <cstdarg>
#include <cstring>

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

// Gathers the pieces of a line and writes them at once, as vfprintf would.
class LineBuffer
{
public:
	explicit LineBuffer(FILE* aFile) : myFile(aFile), myUsed(0), myTotal(0), myFailed(false) {}

	void Put(const char* aText, size_t aCount)
	{
		myTotal += aCount;
		if (myUsed + aCount > sizeof(myBytes))
		{
			Flush();
			if (aCount > sizeof(myBytes))
			{
				myFailed = myFailed || std::fwrite(aText, 1, aCount, myFile) != aCount;
				return;
			}
		}
		std::memcpy(myBytes + myUsed, aText, aCount);
		myUsed += aCount;
	}

	// vfprintf's result: the count of characters written, or -1 after a failed write.
	bool Finish()
	{
		Flush();
		return !myFailed && myTotal > 0;
	}

private:
	void Flush()
	{
		if (myUsed > 0)
			myFailed = myFailed || std::fwrite(myBytes, 1, myUsed, myFile) != myUsed;
		myUsed = 0;
	}

	FILE* myFile;
	char myBytes[1024];
	size_t myUsed;
	size_t myTotal;
	bool myFailed;
};
}

bool JuiceWriteText(FILE* aFile, const char* aFormat, ...)
{
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	// Every line of a namespace is plain text and texts: put together here, it
	// costs a fraction of a general vfprintf.
	if (!TextsOnly(aFormat))
	{
		int locCount = std::vfprintf(aFile, aFormat, locArguments);
		va_end(locArguments);
		return locCount > 0;
	}
	LineBuffer locLine(aFile);
	for (const char* locAt = aFormat; *locAt;)
	{
		const char* locPlain = locAt;
		while (*locAt && *locAt != '%')
			++locAt;
		locLine.Put(locPlain, static_cast<size_t>(locAt - locPlain));
		if (*locAt == '%')
		{
			const char* locText = va_arg(locArguments, const char*);
			if (!locText)
				locText = "(null)";
			locLine.Put(locText, std::strlen(locText));
			locAt += 2;
		}
	}
	va_end(locArguments);
	return locLine.Finish();
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
