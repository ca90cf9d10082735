#include "ParseTool.h"

#include "kc_output.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace
{
// Position of the character that ends the first word, or -1.
int FindWordEnd(const KC_String& aLine)
{
	int locLength = aLine.GetLength();
	if (locLength > 0 && aLine[0] == '"' && aLine[locLength - 1] == '"')
		return -1;
	int locBlank = aLine.Find(' ');
	if (locBlank >= 0)
		return locBlank;
	return aLine.Find('\t');
}

// The 1-based line of the first line feed without a carriage return before it,
// or 0 when every line ends in CR LF.
unsigned int FindLoneLineFeed(const unsigned char* aData, unsigned int aSize)
{
	if (!aData)
		return 0;
	unsigned int locLine = 1;
	const unsigned char* locStart = aData;
	const unsigned char* locEnd = aData + aSize;
	while (const void* locFound = std::memchr(locStart, '\n', static_cast<size_t>(locEnd - locStart)))
	{
		const unsigned char* locFeed = static_cast<const unsigned char*>(locFound);
		if (locFeed == aData || locFeed[-1] != '\r')
			return locLine;
		++locLine;
		locStart = locFeed + 1;
	}
	return 0;
}
}

ParseTool::ParseTool()
	: myLineNumber(-1)
	, myIsOpen(false)
	, myBlockDepth(0)
{
	myLineBuffer[0] = 0;
}

ParseTool::~ParseTool()
{
	Close();
}

bool ParseTool::Open(const KC_String& aFileName)
{
	if (myIsOpen)
		Close();
	if (!myFile.Open(aFileName, OPEN_READ))
	{
		KC_Error("ParseTool::Open(): Failed to open '%s'", aFileName.GetText());
		return false;
	}
	unsigned int locLoneFeedLine = FindLoneLineFeed(myFile.GetData(), myFile.GetSize());
	if (locLoneFeedLine != 0)
	{
		KC_Error("ParseTool::Open(): '%s' line %u ends in a line feed without a carriage return: Juice text, type and "
			".lang files need CR LF line ends", aFileName.GetText(), locLoneFeedLine);
		myFile.Close();
		return false;
	}
	myIsOpen = true;
	myFileName = aFileName;
	myLineNumber = -1;
	myBlockDepth = 0;
	return true;
}

void ParseTool::Close()
{
	if (myIsOpen)
		myFile.Close();
	myIsOpen = false;
	myFileName = "";
	myLineNumber = -1;
	myBlockDepth = 0;
}

bool ParseTool::IsEOF()
{
	return !myIsOpen || myFile.GetPosition() >= myFile.GetSize();
}

void ParseTool::ReadLine(KC_String& aLine)
{
	myFile.ReadLine(myLineBuffer, sizeof(myLineBuffer));
	myLineBuffer[sizeof(myLineBuffer) - 1] = 0;
	// Blank and comment lines before the end of the file are no lines.
	if (myLineBuffer[0] != 0)
		++myLineNumber;
	aLine = myLineBuffer;
}

void ParseTool::PeekLine(KC_String& aLine)
{
	unsigned int locPosition = myFile.GetPosition();
	myFile.ReadLine(myLineBuffer, sizeof(myLineBuffer));
	myLineBuffer[sizeof(myLineBuffer) - 1] = 0;
	myFile.Seek(static_cast<int>(locPosition), 0);
	aLine = myLineBuffer;
}

void ParseTool::Error(const char* aFormat, ...)
{
	char locMessage[1024];
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	std::vsnprintf(locMessage, sizeof(locMessage), aFormat, locArguments);
	va_end(locArguments);
	KC_Error("(%s, line %d) %s", myFileName.GetText(), myLineNumber, locMessage);
}

void ParseTool::ErrorAtLine(int aLineNumber, const char* aFormat, ...)
{
	char locMessage[1024];
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	std::vsnprintf(locMessage, sizeof(locMessage), aFormat, locArguments);
	va_end(locArguments);
	KC_Error("(%s, line %d) %s", myFileName.GetText(), aLineNumber, locMessage);
}

bool ParseTool::EnterBlock()
{
	if (myBlockDepth >= ourMaxBlockDepth)
		return false;
	++myBlockDepth;
	return true;
}

void ParseTool::LeaveBlock()
{
	if (myBlockDepth > 0)
		--myBlockDepth;
}

KC_String ParseTool::FirstWord(const KC_String& aLine)
{
	int locEnd = FindWordEnd(aLine);
	return locEnd < 0 ? aLine : aLine.Left(locEnd);
}

KC_String ParseTool::RestOfLine(const KC_String& aLine)
{
	int locEnd = FindWordEnd(aLine);
	return locEnd < 0 ? KC_String() : aLine.Right(aLine.GetLength() - locEnd - 1);
}

void ParseTool::StripQuotes(KC_String& aValue)
{
	if (!aValue.IsEmpty() && aValue[0] == '"')
		aValue = aValue.Right(aValue.GetLength() - 1);
	if (!aValue.IsEmpty() && aValue[aValue.GetLength() - 1] == '"')
		aValue = aValue.Left(aValue.GetLength() - 1);
}

KC_String ParseTool::InlineValue(const KC_String& anInlineText, KC_String& aName)
{
	KC_String locValue = RestOfLine(anInlineText);
	if (locValue.IsEmpty())
		locValue = anInlineText;
	else
		aName = FirstWord(anInlineText);
	StripQuotes(locValue);
	return locValue;
}
