#include "ParseTool.h"

#include "kc_output.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace
{
// The bytes of a word that are zero, as their top bits.
uint64_t ZeroBytes(uint64_t aWord)
{
	const uint64_t locLow7 = 0x7f7f7f7f7f7f7f7fULL;
	return ~(((aWord & locLow7) + locLow7) | aWord | locLow7);
}

// A byte-order mark of UTF-16, or a zero byte among the first two (no Juice
// text holds one).
bool IsUtf16(const unsigned char* aData, unsigned int aSize)
{
	if (!aData || aSize < 2)
		return false;
	if ((aData[0] == 0xFF && aData[1] == 0xFE) || (aData[0] == 0xFE && aData[1] == 0xFF))
		return true;
	return (aData[0] == 0) != (aData[1] == 0);
}

// The line ends of a text, fed to it in pieces: whether a line feed without a
// carriage return before it occurs (with its offset), and the 1-based line,
// counted by carriage returns, of the first carriage return that no line feed
// follows.
class LineEndCheck
{
public:
	LineEndCheck()
		: myOffset(0), myAfterReturn(false), myReturns(0), myLoneReturnLine(0), myHasLoneFeed(false),
		  myLoneFeedOffset(0)
	{
	}

	// False once a lone line feed is found: nothing after it matters.
	bool Feed(const unsigned char* aData, unsigned int aSize)
	{
		if (aSize == 0)
			return true;
		unsigned int locFeed = FindLoneFeed(aData, aSize);
		if (locFeed < aSize)
		{
			myHasLoneFeed = true;
			myLoneFeedOffset = myOffset + locFeed;
			return false;
		}
		if (myLoneReturnLine == 0)
			FindLoneReturn(aData, aSize);
		myAfterReturn = aData[aSize - 1] == '\r';
		myOffset += aSize;
		return true;
	}

	bool HasLoneFeed() const { return myHasLoneFeed; }
	unsigned int GetLoneFeedOffset() const { return myLoneFeedOffset; }
	unsigned int GetLoneReturnLine() const { return myLoneReturnLine; }

private:
	// The index of the first line feed of the piece without a carriage return
	// before it, or aSize. Eight bytes are tested at a time (the first byte of a
	// word in the low bits).
	unsigned int FindLoneFeed(const unsigned char* aData, unsigned int aSize) const
	{
		const uint64_t locFeeds = 0x0a0a0a0a0a0a0a0aULL;
		const uint64_t locReturns = 0x0d0d0d0d0d0d0d0dULL;
		uint64_t locReturnBefore = myAfterReturn ? 0x80 : 0;
		unsigned int locIndex = 0;
		for (; aSize - locIndex >= 8; locIndex += 8)
		{
			const unsigned char* locBytes = aData + locIndex;
			const uint64_t locWord = static_cast<uint64_t>(locBytes[0]) | static_cast<uint64_t>(locBytes[1]) << 8 |
				static_cast<uint64_t>(locBytes[2]) << 16 | static_cast<uint64_t>(locBytes[3]) << 24 |
				static_cast<uint64_t>(locBytes[4]) << 32 | static_cast<uint64_t>(locBytes[5]) << 40 |
				static_cast<uint64_t>(locBytes[6]) << 48 | static_cast<uint64_t>(locBytes[7]) << 56;
			uint64_t locReturnsHere = ZeroBytes(locWord ^ locReturns);
			if ((ZeroBytes(locWord ^ locFeeds) & ~((locReturnsHere << 8) | locReturnBefore)) != 0)
				break;
			locReturnBefore = locReturnsHere >> 56;
		}
		for (; locIndex < aSize; ++locIndex)
		{
			bool locReturnFirst = locIndex == 0 ? myAfterReturn : aData[locIndex - 1] == '\r';
			if (aData[locIndex] == '\n' && !locReturnFirst)
				return locIndex;
		}
		return aSize;
	}

	void FindLoneReturn(const unsigned char* aData, unsigned int aSize)
	{
		// A carriage return that ended the last piece is followed by this one's first byte.
		if (myAfterReturn && aData[0] != '\n')
		{
			myLoneReturnLine = myReturns;
			return;
		}
		const unsigned char* locAt = aData;
		const unsigned char* locEnd = aData + aSize;
		while ((locAt = static_cast<const unsigned char*>(std::memchr(locAt, '\r', static_cast<size_t>(locEnd - locAt)))))
		{
			++myReturns;
			if (locAt + 1 < locEnd && locAt[1] != '\n')
			{
				myLoneReturnLine = myReturns;
				return;
			}
			++locAt;
		}
	}

	unsigned int myOffset;
	bool myAfterReturn;
	unsigned int myReturns;
	unsigned int myLoneReturnLine;
	bool myHasLoneFeed;
	unsigned int myLoneFeedOffset;
};
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
	// A file on disk is read through the file's window, never held whole.
	if (!myFile.Open(aFileName, OPEN_READ | OPEN_STREAMING))
	{
		KC_Error("ParseTool::Open(): Failed to open '%s'", aFileName.GetText());
		return false;
	}
	if (!CheckLineEnds(aFileName))
	{
		myFile.Close();
		return false;
	}
	myIsOpen = true;
	myFileName = aFileName;
	myLineNumber = -1;
	myBlockDepth = 0;
	return true;
}

bool ParseTool::CheckLineEnds(const KC_String& aFileName)
{
	const unsigned int locSize = myFile.GetSize();
	unsigned int locCount = 0;
	const unsigned char* locData = myFile.Peek(KF_File::KF_WINDOW_SIZE, locCount);
	if (IsUtf16(locData, locCount))
	{
		KC_Error("ParseTool::Open(): '%s' is UTF-16 text (what Notepad saves as \"Unicode\"): Juice text, type and "
			".lang files must be saved as ANSI or UTF-8", aFileName.GetText());
		return false;
	}
	LineEndCheck locCheck;
	for (; locData; locData = myFile.Peek(KF_File::KF_WINDOW_SIZE, locCount))
	{
		if (locCount > KF_File::KF_WINDOW_SIZE)
			locCount = KF_File::KF_WINDOW_SIZE;
		if (!locCheck.Feed(locData, locCount))
			break;
		myFile.Seek(static_cast<int>(locCount), 1);
	}
	// A file that cannot be read to its end (it is cut short there) cannot be opened.
	if (!locCheck.HasLoneFeed() && myFile.GetSize() != locSize)
	{
		KC_Error("ParseTool::Open(): Failed to open '%s'", aFileName.GetText());
		return false;
	}
	if (locCheck.HasLoneFeed())
	{
		KC_Error("ParseTool::Open(): '%s' line %u ends in a line feed without a carriage return: Juice text, type and "
			".lang files need CR LF line ends", aFileName.GetText(), CountLineFeeds(locCheck.GetLoneFeedOffset()) + 1);
		return false;
	}
	if (locCheck.GetLoneReturnLine() != 0)
	{
		KC_Error("ParseTool::Open(): '%s' line %u ends in a carriage return without a line feed (line ends of CR "
			"alone): Juice text, type and .lang files need CR LF line ends", aFileName.GetText(),
			locCheck.GetLoneReturnLine());
		return false;
	}
	return myFile.Seek(0, 0);
}

unsigned int ParseTool::CountLineFeeds(unsigned int anEnd)
{
	unsigned int locFeeds = 0;
	if (!myFile.Seek(0, 0))
		return 0;
	unsigned int locCount = 0;
	for (const unsigned char* locData; myFile.GetPosition() < anEnd &&
	     (locData = myFile.Peek(KF_File::KF_WINDOW_SIZE, locCount)) != NULL;)
	{
		if (locCount > anEnd - myFile.GetPosition())
			locCount = anEnd - myFile.GetPosition();
		locFeeds += static_cast<unsigned int>(std::count(locData, locData + locCount, '\n'));
		myFile.Seek(static_cast<int>(locCount), 1);
	}
	return locFeeds;
}

void ParseTool::Close()
{
	if (myIsOpen)
		myFile.Close();
	myIsOpen = false;
	myFileName.Clear();
	myLineNumber = -1;
	myBlockDepth = 0;
}

bool ParseTool::IsEOF()
{
	return !myIsOpen || myFile.GetPosition() >= myFile.GetSize();
}

void ParseTool::ReadLine(KC_String& aLine)
{
	int locLength = 0;
	aLine = ReadLineText(locLength);
}

const char* ParseTool::ReadLineText(int& aLength)
{
	myFile.ReadLine(myLineBuffer, sizeof(myLineBuffer));
	myLineBuffer[sizeof(myLineBuffer) - 1] = 0;
	// Blank and comment lines before the end of the file are no lines.
	if (myLineBuffer[0] != 0)
		++myLineNumber;
	aLength = static_cast<int>(std::strlen(myLineBuffer));
	return myLineBuffer;
}

void ParseTool::PeekLine(KC_String& aLine)
{
	unsigned int locPosition = myFile.GetPosition();
	myFile.ReadLine(myLineBuffer, sizeof(myLineBuffer));
	myLineBuffer[sizeof(myLineBuffer) - 1] = 0;
	myFile.Seek(static_cast<int>(locPosition), 0);
	aLine = myLineBuffer;
}

namespace
{
// One error line: "(file, line n) message".
void ReportError(const KC_String& aFileName, int aLineNumber, const char* aFormat, std::va_list anArguments)
{
	char locMessage[1024];
	std::vsnprintf(locMessage, sizeof(locMessage), aFormat, anArguments);
	KC_Error("(%s, line %d) %s", aFileName.GetText(), aLineNumber, locMessage);
}
} // namespace

void ParseTool::Error(const char* aFormat, ...)
{
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	ReportError(myFileName, myLineNumber, aFormat, locArguments);
	va_end(locArguments);
}

void ParseTool::ErrorAtLine(int aLineNumber, const char* aFormat, ...)
{
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	ReportError(myFileName, aLineNumber, aFormat, locArguments);
	va_end(locArguments);
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
	return FindWordEnd(aLine, aLine.GetLength());
}

int ParseTool::FindWordEnd(const char* aLine, int aLength)
{
	if (aLength > 0 && aLine[0] == '"' && aLine[aLength - 1] == '"')
		return -1;
	const void* locBlank = std::memchr(aLine, ' ', static_cast<size_t>(aLength));
	if (!locBlank)
		locBlank = std::memchr(aLine, '\t', static_cast<size_t>(aLength));
	return locBlank ? static_cast<int>(static_cast<const char*>(locBlank) - aLine) : -1;
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

unsigned int ParseTool::PhysicalLine(const char* aFileName, int aParseLine)
{
	KF_File locFile;
	if (aParseLine < 0 || !locFile.Open(aFileName, OPEN_READ))
		return 0;
	char locBuffer[4096];
	unsigned int locResult = 0;
	for (int locIndex = 0; locFile.GetPosition() < locFile.GetSize(); ++locIndex)
	{
		locFile.ReadLine(locBuffer, sizeof(locBuffer));
		if (locBuffer[0] == 0)
			break;
		if (locIndex < aParseLine)
			continue;
		const unsigned char* locData = locFile.GetData();
		unsigned int locEnd = locFile.GetPosition();
		locResult = 1;
		for (unsigned int locByte = 0; locData && locByte < locEnd; ++locByte)
		{
			if (locData[locByte] == '\n' && locByte + 1 < locEnd)
				++locResult;
		}
		break;
	}
	locFile.Close();
	return locResult;
}
