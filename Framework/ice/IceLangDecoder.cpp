#include "IceLangDecoder.h"

#include "IceFormat.h"
#include "KC_String.h"
#include "kc_assert.h"
#include "kc_output.h"
#include "kf_file.h"

#include <cstring>
#include <memory>
#include <new>

namespace
{
const int ourLineSize = 4096;
const char ourEmptyValue[] = "<empty>";

// The ".loc" name of an Ice file: the text before its last dot, then ".loc".
bool MakeLocName(const char* anIceFileName, KC_String& aLocName)
{
	KC_String locName(anIceFileName);
	int locDot = locName.ReverseFind('.');
	if (locDot < 1)
		return false;
	aLocName = locName.Left(locDot) + ".loc";
	return true;
}
}

IceLangDecoder::IceLangDecoder()
	: myCount(0), myStrings(NULL)
{
}

IceLangDecoder::~IceLangDecoder()
{
	delete[] myStrings;
}

const char16_t* IceLangDecoder::GetString(unsigned int anIndex) const
{
	if (anIndex >= myCount)
		return NULL;
	return myStrings[anIndex].GetData();
}

bool IceLangDecoder::DecodeValue(const char* aValue, KC_LocString& aResult)
{
	// The result never has more units than the value has bytes.
	size_t locLength = std::strlen(aValue);
	std::unique_ptr<char16_t[]> locUnits(new char16_t[locLength + 1]);
	size_t locCount = 0;
	const unsigned char* curChar = reinterpret_cast<const unsigned char*>(aValue);
	while (*curChar)
	{
		char16_t locUnit;
		if (curChar[0] < 0x80)
		{
			locUnit = curChar[0];
			curChar += 1;
		}
		else if ((curChar[0] & 0xE0) == 0xC0)
		{
			if ((curChar[1] & 0xC0) != 0x80)
				return false;
			locUnit = static_cast<char16_t>(((curChar[0] & 0x1F) << 6) | (curChar[1] & 0x3F));
			curChar += 2;
		}
		else if ((curChar[0] & 0xF0) == 0xE0)
		{
			// Each byte is looked at only when the one before it continues the character.
			if ((curChar[1] & 0xC0) != 0x80 || (curChar[2] & 0xC0) != 0x80)
				return false;
			locUnit = static_cast<char16_t>(((curChar[0] & 0x0F) << 12) | ((curChar[1] & 0x3F) << 6) |
			                                (curChar[2] & 0x3F));
			curChar += 3;
		}
		else if ((curChar[0] & 0xF8) == 0xF0)
		{
			if ((curChar[1] & 0xC0) != 0x80 || (curChar[2] & 0xC0) != 0x80 || (curChar[3] & 0xC0) != 0x80)
				return false;
			// Texts use characters up to U+FFFF only: a longer one becomes the replacement character.
			locUnit = 0xFFFD;
			curChar += 4;
		}
		else
		{
			// A continuation byte without a start, or a start of more than four bytes.
			return false;
		}
		if (locUnit == u'n' && locCount > 0 && locUnits[locCount - 1] == u'\\')
			locUnits[locCount - 1] = 10;
		else
			locUnits[locCount++] = locUnit;
	}
	locUnits[locCount] = 0;
	aResult = locUnits.get();
	return true;
}

bool IceLangDecoder::Load(const char* anIceFileName)
{
	KC_String locLocName;
	if (!anIceFileName || !MakeLocName(anIceFileName, locLocName))
		return false;

	KF_File locFile;
	if (!locFile.Open(locLocName, OPEN_READ))
		return false;
	unsigned char locMark[3] = {0, 0, 0};
	locFile.Read(locMark, 3);
	if (std::memcmp(locMark, ICE_LOC_MARK, sizeof(ICE_LOC_MARK)) != 0)
	{
		locFile.Close();
		return false;
	}

	// All values go into one block of the file's size, each ended by a NUL.
	unsigned int locBlockSize = locFile.GetSize() + 1;
	std::unique_ptr<char[]> locValues(new (std::nothrow) char[locBlockSize]);
	if (!locValues)
	{
		locFile.Close();
		return false;
	}
	unsigned int locUsed = 0;
	unsigned int locCount = 0;
	char locLine[ourLineSize];
	while (locFile.GetPosition() < locFile.GetSize())
	{
		locFile.ReadLine(locLine, ourLineSize);
		// Trailing white space or comments after the last line end the file.
		if (locLine[0] == 0 && locFile.GetPosition() >= locFile.GetSize())
			break;
		const char* locTab = std::strchr(locLine, '\t');
		if (!locTab)
		{
			KC_Log("IceLangDecoder::Load(): error in '%s', found line without a tab delimiter",
			       locLocName.GetText());
			locFile.Close();
			return false;
		}
		const char* locValue = std::strcmp(locTab + 1, ourEmptyValue) == 0 ? "" : locTab + 1;
		size_t locLength = std::strlen(locValue);
		// A line never holds more bytes than the file; the check keeps the block safe regardless.
		if (locUsed + locLength + 1 > locBlockSize)
			break;
		std::memcpy(locValues.get() + locUsed, locValue, locLength + 1);
		locUsed += static_cast<unsigned int>(locLength + 1);
		++locCount;
	}

	locFile.Close();
	delete[] myStrings;
	myStrings = NULL;
	myCount = 0;
	std::unique_ptr<KC_LocString[]> locStrings(new KC_LocString[locCount]);
	const char* locValue = locValues.get();
	for (unsigned int locIndex = 0; locIndex < locCount; ++locIndex)
	{
		if (!DecodeValue(locValue, locStrings[locIndex]))
		{
			KC_Log("IceLangDecoder::Load(): error in '%s', text %u is not valid UTF-8", locLocName.GetText(),
			       locIndex);
			return false;
		}
		locValue += std::strlen(locValue) + 1;
	}
	myStrings = locStrings.release();
	myCount = locCount;
	return true;
}
