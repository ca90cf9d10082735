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

namespace
{
// Puts a line together: in the gathered lines of a namespace being written to
// the same file, else in a buffer of its own, written when the line is done.
class LineWriter
{
public:
	explicit LineWriter(FILE* aFile)
		: myFile(aFile)
		, mySink(ourSink && ourSink->myFile == aFile ? ourSink : NULL)
		, myLine(mySink ? mySink->myText : myOwnLine)
		, mySize(mySink ? sizeof(mySink->myText) : sizeof(myOwnLine))
		, myUsed(mySink ? mySink->myUsed : 0)
		, myStart(myUsed)
		, myTotal(0)
		, myWritten(true)
	{
	}

	LineSink* GetSink() const { return mySink; }

	void Put(const char* aText, const char* anEnd)
	{
		for (; aText != anEnd; ++aText)
			Put(*aText);
	}

	// The position is a local while characters are stored (a store of a
	// character could change any member).
	void Put(const char* aText)
	{
		char* locLine = myLine;
		size_t locUsed = myUsed;
		for (; *aText; ++aText)
		{
			if (locUsed == mySize)
			{
				myUsed = locUsed;
				Put(*aText);
				locUsed = myUsed;
				continue;
			}
			locLine[locUsed++] = *aText;
		}
		myUsed = locUsed;
	}

	// vfprintf's result: true for a positive count of characters, all written.
	bool Finish()
	{
		if (mySink)
		{
			// The count of characters of this line, the ones written out included.
			mySink->myUsed = myUsed;
			return myWritten && myTotal + myUsed - myStart > 0;
		}
		myWritten = WriteLine(myFile, myLine, myUsed) && myWritten;
		return myWritten && myTotal + myUsed > 0;
	}

private:
	void Put(char aCharacter)
	{
		if (myUsed == mySize)
		{
			myWritten = WriteLine(myFile, myLine, myUsed) && myWritten;
			myTotal += myUsed;
			myUsed = 0;
		}
		myLine[myUsed++] = aCharacter;
	}

	FILE* myFile;
	LineSink* mySink;
	char* myLine;
	size_t mySize;
	size_t myUsed;
	size_t myStart;
	size_t myTotal;
	bool myWritten;
	char myOwnLine[1024];
};
}

bool JuiceWriteText(FILE* aFile, const char* aFormat, ...)
{
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	// Every line of a namespace is plain text and texts: put together here and
	// written at once, it costs a fraction of a general vfprintf.
	LineWriter locWriter(aFile);
	if (!TextsOnly(aFormat))
	{
		// The gathered lines go first.
		bool locFlushed = !locWriter.GetSink() || FlushSink(*locWriter.GetSink());
		int locCount = locFlushed ? std::vfprintf(aFile, aFormat, locArguments) : -1;
		va_end(locArguments);
		return locCount > 0;
	}
	for (const char* locAt = aFormat; *locAt;)
	{
		if (*locAt != '%')
		{
			const char* locEnd = locAt;
			while (*locEnd && *locEnd != '%')
				++locEnd;
			locWriter.Put(locAt, locEnd);
			locAt = locEnd;
			continue;
		}
		locAt += 2;
		const char* locText = va_arg(locArguments, const char*);
		locWriter.Put(locText ? locText : "(null)");
	}
	va_end(locArguments);
	return locWriter.Finish();
}

bool JuiceWriteTexts(FILE* aFile, std::initializer_list<const char*> aTexts)
{
	LineWriter locWriter(aFile);
	for (const char* locText : aTexts)
		locWriter.Put(locText ? locText : "(null)");
	return locWriter.Finish();
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
	bool locResult = false;
	try
	{
		locResult = WriteAll(aNameSpace, locFile, aFileName);
	}
	catch (const std::bad_alloc&)
	{
		// Out of memory the text stays as it was and the half-written copy goes.
		ourSink = locOuterSink;
		std::fclose(locFile);
		std::remove(locTemporary);
		KC_Log("Failed to write namespace to '%s'", aFileName.GetText());
		return false;
	}
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
