#include "ParseTool.h"

#include "kc_output.h"

#include <cstdarg>
#include <cstdio>

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

int ParseTool::FindWordEnd(const KC_String& aLine)
{
	int locLength = aLine.GetLength();
	if (locLength > 0 && aLine[0] == '"' && aLine[locLength - 1] == '"')
		return -1;
	int locBlank = aLine.Find(' ');
	if (locBlank >= 0)
		return locBlank;
	return aLine.Find('\t');
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
	bool locRenamed = false;
	return InlineValue(anInlineText, aName, locRenamed);
}

KC_String ParseTool::InlineValue(const KC_String& anInlineText, KC_String& aName, bool& aRenamed)
{
	KC_String locValue = RestOfLine(anInlineText);
	aRenamed = !locValue.IsEmpty();
	if (!aRenamed)
		locValue = anInlineText;
	else
		aName = FirstWord(anInlineText);
	StripQuotes(locValue);
	return locValue;
}
