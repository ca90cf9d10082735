#include "icetool_lib.h"

#include "icetool_channels.h"

#include "Ice.h"
#include "JuiceLocalizer.h"
#include "JuiceToIce.h"
#include "kc_output.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace
{
// Switches the log and error channels on and prints every line they carry, one
// per line, while in scope.
class MessagePrinter : public IceToolChannelListener
{
public:
	explicit MessagePrinter(std::FILE* aStream) : myStream(aStream) {}
	bool Receive(int, KC_String aValue) override
	{
		const char* locText = aValue;
		size_t locLength = std::strlen(locText);
		while (locLength > 0 && (locText[locLength - 1] == '\n' || locText[locLength - 1] == '\r'))
			--locLength;
		std::fwrite(locText, 1, locLength, myStream);
		std::fputc('\n', myStream);
		std::fflush(myStream);
		return true;
	}

private:
	std::FILE* myStream;
};

// Text in double quotes; quotes, backslashes and control bytes escaped so that
// a value never breaks its line.
std::string Quoted(const std::string& aText)
{
	std::string locResult = "\"";
	for (unsigned char locByte : aText)
	{
		switch (locByte)
		{
		case '"': locResult += "\\\""; break;
		case '\\': locResult += "\\\\"; break;
		case '\n': locResult += "\\n"; break;
		case '\r': locResult += "\\r"; break;
		case '\t': locResult += "\\t"; break;
		default:
			if (locByte < 0x20 || locByte == 0x7F)
			{
				char locEscape[8];
				std::snprintf(locEscape, sizeof(locEscape), "\\x%02x", locByte);
				locResult += locEscape;
			}
			else
			{
				locResult += static_cast<char>(locByte);
			}
		}
	}
	return locResult + "\"";
}

void AppendUtf8(std::string& aText, unsigned int aCodePoint)
{
	if (aCodePoint < 0x80)
	{
		aText += static_cast<char>(aCodePoint);
	}
	else if (aCodePoint < 0x800)
	{
		aText += static_cast<char>(0xC0 | (aCodePoint >> 6));
		aText += static_cast<char>(0x80 | (aCodePoint & 0x3F));
	}
	else if (aCodePoint < 0x10000)
	{
		aText += static_cast<char>(0xE0 | (aCodePoint >> 12));
		aText += static_cast<char>(0x80 | ((aCodePoint >> 6) & 0x3F));
		aText += static_cast<char>(0x80 | (aCodePoint & 0x3F));
	}
	else
	{
		aText += static_cast<char>(0xF0 | (aCodePoint >> 18));
		aText += static_cast<char>(0x80 | ((aCodePoint >> 12) & 0x3F));
		aText += static_cast<char>(0x80 | ((aCodePoint >> 6) & 0x3F));
		aText += static_cast<char>(0x80 | (aCodePoint & 0x3F));
	}
}

// UTF-16 to UTF-8; a surrogate without its partner becomes U+FFFD.
std::string ToUtf8(const char16_t* aText)
{
	std::string locResult;
	for (; *aText; ++aText)
	{
		unsigned int locUnit = *aText;
		if (locUnit >= 0xD800 && locUnit < 0xDC00 && aText[1] >= 0xDC00 && aText[1] < 0xE000)
		{
			AppendUtf8(locResult, 0x10000 + ((locUnit - 0xD800) << 10) + (aText[1] - 0xDC00));
			++aText;
		}
		else
		{
			AppendUtf8(locResult, locUnit >= 0xD800 && locUnit < 0xE000 ? 0xFFFD : locUnit);
		}
	}
	return locResult;
}

class TreePrinter
{
public:
	TreePrinter(const IceToolNames& aNames, std::FILE* anOutput) : myNames(aNames), myOutput(anOutput) {}

	// Records the parent of every member below aParent, from which a target's
	// dotted path is made when a reference names it.
	void CollectParents(Ice* aParent)
	{
		unsigned int locCount = aParent->GetCount(false);
		for (unsigned int locIndex = 0; locIndex < locCount; ++locIndex)
		{
			Ice* locMember = aParent->GetMember(locIndex);
			if (!locMember)
				continue;
			myParents[locMember] = aParent;
			CollectParents(locMember);
		}
	}

	void PrintMembers(Ice* aParent, int aDepth)
	{
		unsigned int locCount = aParent->GetCount(false);
		for (unsigned int locIndex = 0; locIndex < locCount; ++locIndex)
		{
			Ice* locMember = aParent->GetMember(locIndex);
			if (locMember)
				PrintMember(locMember, aDepth);
		}
	}

private:
	std::string Name(unsigned int aHash) const
	{
		IceToolNames::const_iterator locName = myNames.find(aHash);
		if (locName != myNames.end())
			return locName->second;
		char locText[16];
		std::snprintf(locText, sizeof(locText), "%08x", aHash);
		return locText;
	}

	// The dotted path of a member from the top level; "?" for one outside the tree.
	std::string PathOf(Ice* aMember) const
	{
		std::string locPath;
		for (;;)
		{
			std::map<Ice*, Ice*>::const_iterator locParent = myParents.find(aMember);
			if (locParent == myParents.end())
				return "?";
			locPath = locPath.empty() ? Name(aMember->GetNameHash()) : Name(aMember->GetNameHash()) + "." + locPath;
			if (!myParents.count(locParent->second))
				return locPath;
			aMember = locParent->second;
		}
	}

	void PrintMember(Ice* aMember, int aDepth)
	{
		std::string locLine(static_cast<size_t>(aDepth) * 2, ' ');
		std::string locType = Name(aMember->GetOwnTypeHash());
		locLine += locType + " " + Name(aMember->GetNameHash()) + " ";
		unsigned int locCount = aMember->GetCount(false);
		if (aMember->IsReference())
		{
			Ice* locTarget = aMember->GetReferenceTarget();
			locLine += "reference " + (locTarget ? PathOf(locTarget) : std::string("NULL"));
		}
		else if (locCount > 0)
		{
			locLine += "composite " + std::to_string(locCount);
		}
		else
		{
			const char* locValue = aMember->GetValue();
			locLine += "value " + Quoted(locValue ? locValue : "");
			if (locType == "LOCTEXT" && aMember->HasLanguageDecoder())
			{
				const char16_t* locText = aMember->GetLocString();
				locLine += locText ? " text " + Quoted(ToUtf8(locText)) : " text missing";
			}
		}
		locLine += "\n";
		std::fwrite(locLine.data(), 1, locLine.size(), myOutput);
		if (!aMember->IsReference() && locCount > 0)
			PrintMembers(aMember, aDepth + 1);
	}

	const IceToolNames& myNames;
	std::FILE* myOutput;
	std::map<Ice*, Ice*> myParents;
};
const char ourInclude[] = "INCLUDE ";

// The type file that a line includes, read as the compiler would once the line
// ends are right; empty when the line is no INCLUDE line.
std::string IncludedName(std::string aLine)
{
	size_t locComment = aLine.find("//");
	if (locComment != std::string::npos)
		aLine.erase(locComment);
	size_t locFirst = 0;
	while (locFirst < aLine.size() && static_cast<unsigned char>(aLine[locFirst]) < 0x21)
		++locFirst;
	size_t locLast = aLine.size();
	while (locLast > locFirst && static_cast<unsigned char>(aLine[locLast - 1]) < 0x21)
		--locLast;
	aLine = aLine.substr(locFirst, locLast - locFirst);
	if (aLine.compare(0, sizeof(ourInclude) - 1, ourInclude) != 0)
		return std::string();
	return aLine.substr(sizeof(ourInclude) - 1);
}

// The offset of the first byte of aData that breaks CR LF line ends: a line
// feed without a carriage return before it, or a carriage return inside a line
// (before neither a line feed nor aData's end); aSize for none. aFeeds: the
// line feeds before that offset.
size_t FirstBadLineEnd(const char* aData, size_t aSize, unsigned int& aFeeds)
{
	size_t locBad = aSize;
	aFeeds = 0;
	for (const char* locFeed = aData;
	     (locFeed = static_cast<const char*>(std::memchr(locFeed, '\n', aData + aSize - locFeed))); ++locFeed)
	{
		if (locFeed == aData || locFeed[-1] != '\r')
		{
			locBad = static_cast<size_t>(locFeed - aData);
			break;
		}
		++aFeeds;
	}
	for (const char* locReturn = aData;
	     (locReturn = static_cast<const char*>(std::memchr(locReturn, '\r', aData + locBad - locReturn))); ++locReturn)
	{
		if (locReturn + 1 < aData + aSize && locReturn[1] != '\n')
		{
			locBad = static_cast<size_t>(locReturn - aData);
			aFeeds = 0;
			for (const char* locFeed = aData;
			     (locFeed = static_cast<const char*>(std::memchr(locFeed, '\n', aData + locBad - locFeed))); ++locFeed)
				++aFeeds;
			break;
		}
	}
	return locBad;
}

// A line's text for a message: at most 60 bytes, then "...", quoted.
std::string QuotedStart(const char* aText, size_t aLength)
{
	std::string locText(aText, aLength);
	if (locText.size() > 60)
		locText = locText.substr(0, 60) + "...";
	return Quoted(locText);
}

// The checks of CheckLineEnds over whole lines, one run of them at a time.
struct LineEndCheck
{
	const std::string& myFileName;
	bool myIsJuice;
	std::vector<std::string>& myPending;
	std::FILE* myMessages;
	bool myWarned;
	// Lines before the run.
	unsigned int myLines;

	// aData holds whole lines, the last one ended by a line feed unless the file ends there.
	void Run(const char* aData, size_t aSize)
	{
		unsigned int locFeeds = 0;
		size_t locBad = myWarned ? aSize : FirstBadLineEnd(aData, aSize, locFeeds);
		if (locBad < aSize)
		{
			size_t locStart = locBad;
			while (locStart > 0 && aData[locStart - 1] != '\n')
				--locStart;
			if (aData[locBad] == '\r')
				std::fprintf(myMessages,
				             "icetool: warning: '%s' line %u %s ends in a carriage return without a line feed (line "
				             "ends of CR alone): Juice needs CR LF line ends\n",
				             myFileName.c_str(), myLines + locFeeds + 1,
				             QuotedStart(aData + locStart, locBad - locStart).c_str());
			else
				std::fprintf(myMessages,
				             "icetool: warning: '%s' line %u %s ends in a line feed without a carriage return: Juice "
				             "needs CR LF line ends and reads a lone line feed as a blank\n",
				             myFileName.c_str(), myLines + locFeeds + 1,
				             QuotedStart(aData + locStart, locBad - locStart).c_str());
			std::fflush(myMessages);
			myWarned = true;
		}
		else if (!myWarned)
		{
			myLines += locFeeds;
		}
		if (myIsJuice)
			FindIncludes(aData, aSize);
	}

	// The type files of the lines that begin with the keyword after blanks only.
	void FindIncludes(const char* aData, size_t aSize)
	{
		const std::string_view locText(aData, aSize);
		const size_t locKeyword = sizeof(ourInclude) - 1;
		for (size_t locAt = locText.find(ourInclude); locAt != std::string_view::npos;
		     locAt = locText.find(ourInclude, locAt + locKeyword))
		{
			size_t locStart = locAt;
			while (locStart > 0 && aData[locStart - 1] != '\n' && static_cast<unsigned char>(aData[locStart - 1]) < 0x21)
				--locStart;
			if (locStart > 0 && aData[locStart - 1] != '\n')
				continue;
			const char* locFeed = static_cast<const char*>(std::memchr(aData + locAt, '\n', aSize - locAt));
			size_t locEnd = locFeed ? static_cast<size_t>(locFeed - aData) : aSize;
			if (locEnd > locStart && aData[locEnd - 1] == '\r')
				--locEnd;
			std::string locIncluded = IncludedName(std::string(aData + locStart, locEnd - locStart));
			if (!locIncluded.empty())
				myPending.push_back(locIncluded);
		}
	}
};

// Warns about the first line of aFileName that ends in a line feed alone or
// holds a carriage return and, for Juice and type files, adds the type files
// it includes to aPending (the name is a copy: aPending may move its texts).
// The file is read in pieces of 64 KiB; a line that a piece cuts is moved to
// the front and completed by the next one.
void CheckLineEnds(std::string aFileName, bool anIsJuice, std::vector<std::string>& aPending,
                   std::FILE* aMessages)
{
	std::FILE* locFile = std::fopen(aFileName.c_str(), "rb");
	if (!locFile)
		return;
	LineEndCheck locCheck = {aFileName, anIsJuice, aPending, aMessages, false, 0};
	std::vector<char> locBuffer(1 << 16);
	size_t locHeld = 0;
	bool locFirst = true;
	for (;;)
	{
		if (locHeld == locBuffer.size())
			locBuffer.resize(2 * locBuffer.size());
		size_t locRead = std::fread(locBuffer.data() + locHeld, 1, locBuffer.size() - locHeld, locFile);
		const char* locData = locBuffer.data();
		if (locFirst && locHeld + locRead >= 2 &&
		    ((static_cast<unsigned char>(locData[0]) == 0xFF && static_cast<unsigned char>(locData[1]) == 0xFE) ||
		     (static_cast<unsigned char>(locData[0]) == 0xFE && static_cast<unsigned char>(locData[1]) == 0xFF) ||
		     (locData[0] == 0) != (locData[1] == 0)))
		{
			std::fprintf(aMessages,
			             "icetool: warning: '%s' is UTF-16 text (what Notepad saves as \"Unicode\"): save it as ANSI "
			             "or UTF-8\n",
			             aFileName.c_str());
			std::fflush(aMessages);
			break;
		}
		locFirst = false;
		locHeld += locRead;
		if (locRead == 0)
		{
			// The last line, without a line feed.
			if (locHeld > 0)
				locCheck.Run(locData, locHeld);
			break;
		}
		size_t locWhole = locHeld;
		while (locWhole > 0 && locData[locWhole - 1] != '\n')
			--locWhole;
		if (locWhole == 0)
			continue;
		locCheck.Run(locData, locWhole);
		std::memmove(locBuffer.data(), locData + locWhole, locHeld - locWhole);
		locHeld -= locWhole;
	}
	std::fclose(locFile);
}
}

void ICE_WarnAboutLineEnds(const char* anIceName, std::FILE* aMessages)
{
	// The Juice text that a conversion compiles, named as Ice::Load names it.
	KC_String locIceName(anIceName);
	locIceName.MakeLower();
	int locExtension = locIceName.Find(".ice");
	if (locExtension <= 0)
		return;
	KC_String locJuiceName = locIceName.Left(locExtension) + ".juice";
	KC_String locLanguageName;
	std::vector<std::string> locPending;
	if (JuiceLocalizer::GetCompanionName(locJuiceName, locLanguageName))
		CheckLineEnds(static_cast<const char*>(locLanguageName), false, locPending, aMessages);
	locPending.push_back(static_cast<const char*>(locJuiceName));

	// Each file once, however often it is included.
	std::set<std::string> locChecked;
	for (size_t locNext = 0; locNext < locPending.size(); ++locNext)
	{
		if (locChecked.insert(locPending[locNext]).second)
			CheckLineEnds(locPending[locNext], true, locPending, aMessages);
	}
}

std::string ICE_HashFileName(const std::string& anIceName)
{
	size_t locDot = anIceName.find_last_of('.');
	size_t locSlash = anIceName.find_last_of("/\\");
	if (locDot == std::string::npos || (locSlash != std::string::npos && locDot < locSlash))
		return anIceName + ".hash";
	return anIceName.substr(0, locDot + 1) + "hash";
}

bool ICE_ReadHashNames(const std::string& aFileName, IceToolNames& aNames)
{
	std::ifstream locStream(aFileName.c_str(), std::ios::binary);
	if (!locStream)
		return false;
	std::string locLine;
	while (std::getline(locStream, locLine))
	{
		if (!locLine.empty() && locLine[locLine.size() - 1] == '\r')
			locLine.erase(locLine.size() - 1);
		size_t locStart = locLine.find_first_not_of(' ');
		if (locStart == std::string::npos)
			continue;
		size_t locEnd = locStart + (locLine[locStart] == '-' ? 1 : 0);
		size_t locDigits = locEnd;
		while (locEnd < locLine.size() && locLine[locEnd] >= '0' && locLine[locEnd] <= '9' && locEnd - locDigits < 12)
			++locEnd;
		// A checksum, one space and a text; the count line of the duplicate section is no name.
		if (locEnd == locDigits || locEnd + 1 >= locLine.size() || locLine[locEnd] != ' ' ||
		    locLine.compare(locEnd + 1, std::string::npos, "duplicate hash entries were found!") == 0)
			continue;
		long long locValue = std::strtoll(locLine.substr(locStart, locEnd - locStart).c_str(), NULL, 10);
		if (locValue < -2147483648LL || locValue > 4294967295LL)
			continue;
		aNames.insert(std::make_pair(static_cast<unsigned int>(locValue), locLine.substr(locEnd + 1)));
	}
	return true;
}

bool ICE_Compile(const char* anIceName, std::FILE* aMessages)
{
	ICE_WarnAboutLineEnds(anIceName, aMessages);
	Ice* locRoot = NULL;
	{
		MessagePrinter locPrinter(aMessages);
		// A load that converts nothing leaves no re-save behind.
		JuiceToIce::Priv_ResetLastReSave();
		locRoot = Ice::Load(anIceName, true);
	}
	const JuiceToIce::ReSave& locReSave = JuiceToIce::GetLastReSave();
	if (locReSave.myDone)
	{
		std::fprintf(aMessages,
		             "icetool: re-saved '%s' with its texts inline; the text it replaced is kept in '%s', "
		             "and '%s' is kept as '%s' so that no text is looked up in it again\n",
		             locReSave.myJuiceName.GetText(), locReSave.myOriginalName.GetText(),
		             locReSave.myLanguageName.GetText(), locReSave.myKeptLanguageName.GetText());
		std::fflush(aMessages);
	}
	else if (locReSave.myTried)
	{
		std::fprintf(aMessages,
		             "icetool: '%s' takes texts from '%s' and could not be re-saved with them inline; both files are "
		             "as they were\n",
		             locReSave.myJuiceName.GetText(), locReSave.myLanguageName.GetText());
		std::fflush(aMessages);
	}
	if (!locRoot)
		return false;
	delete locRoot;
	return true;
}

bool ICE_Dump(const char* anIceName, std::FILE* anOutput, std::FILE* aMessages, std::string* anError)
{
	Ice* locRoot = NULL;
	{
		MessagePrinter locPrinter(aMessages);
		locRoot = Ice::Load(anIceName, false);
	}
	if (!locRoot)
	{
		*anError = std::string("cannot load '") + anIceName + "'";
		return false;
	}
	IceToolNames locNames;
	ICE_ReadHashNames(ICE_HashFileName(anIceName), locNames);
	TreePrinter locPrinter(locNames, anOutput);
	locPrinter.CollectParents(locRoot);
	locPrinter.PrintMembers(locRoot, 0);
	delete locRoot;
	return true;
}
