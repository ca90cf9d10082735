#include "KC_String.h"

#include "kc_assert.h"
#include "kc_platform.h"
#include "kc_pool.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
// Read like every buffer: its length is a 16-bit word.
alignas(unsigned short) unsigned char ourEmptyBuffer[3] = {0, 0, 0};
char* const ourEmptyData = reinterpret_cast<char*>(ourEmptyBuffer + 2);
}

KC_String::KC_String()
	: myData(ourEmptyData)
{
}

KC_String::KC_String(const char* aString)
	: myData(ourEmptyData)
{
	if (aString)
		Assign(aString, static_cast<int>(std::strlen(aString)));
}

KC_String::KC_String(const KC_String& aString)
	: myData(ourEmptyData)
{
	Assign(aString.myData, aString.GetLength());
}

KC_String::KC_String(const char* aData, int aLength)
	: myData(ourEmptyData)
{
	Allocate(aLength);
	std::memcpy(myData, aData, aLength);
}

KC_String::KC_String(KC_String&& aString) noexcept
	: myData(ourEmptyData)
{
	TakeOver(aString);
}

KC_String::~KC_String()
{
	Release();
}

void KC_String::Allocate(int aSize)
{
	KC_ASSERT(aSize >= 0 && aSize < 65535);
	unsigned char* locBlock = static_cast<unsigned char*>(KC_PoolAllocateOrThrow(static_cast<size_t>(aSize) + 3));
	*reinterpret_cast<unsigned short*>(locBlock) = static_cast<unsigned short>(aSize);
	myData = reinterpret_cast<char*>(locBlock + 2);
	myData[aSize] = 0;
}

void KC_String::Release()
{
	if (myData != ourEmptyData)
		KC_PoolFree(myData - 2, static_cast<size_t>(GetLength()) + 3);
	myData = ourEmptyData;
}

void KC_String::Assign(const char* aData, int aLength)
{
	if (Fits(aLength))
	{
		std::memmove(myData, aData, aLength);
		*reinterpret_cast<unsigned short*>(myData - 2) = static_cast<unsigned short>(aLength);
		myData[aLength] = 0;
		return;
	}
	// aData may lie in the old buffer: the new one is filled before the old one goes.
	KC_String locCopy;
	locCopy.Allocate(aLength);
	std::memcpy(locCopy.myData, aData, aLength);
	TakeOver(locCopy);
}

bool KC_String::Fits(int aLength) const
{
	return myData != ourEmptyData && aLength == GetLength();
}

void KC_String::TakeOver(KC_String& aString)
{
	Release();
	myData = aString.myData;
	aString.myData = ourEmptyData;
}

KC_String& KC_String::operator=(const KC_String& aString)
{
	if (this != &aString)
		Assign(aString.myData, aString.GetLength());
	return *this;
}

KC_String& KC_String::operator=(KC_String&& aString) noexcept
{
	if (this != &aString)
		TakeOver(aString);
	return *this;
}

KC_String& KC_String::operator=(const char* aString)
{
	if (aString == myData)
		return *this;
	if (!aString)
	{
		Release();
		return *this;
	}
	int locLength = static_cast<int>(std::strlen(aString));
	// aString may point into this string's buffer: Assign moves a reused buffer
	// within itself and fills a new one before the old one goes.
	Assign(aString, locLength);
	return *this;
}

void KC_String::Clear()
{
	Release();
}

bool KC_String::IsSharedEmpty() const
{
	return myData == ourEmptyData;
}

KC_String KC_String::operator+(const char* aString) const
{
	int locLength = GetLength();
	int locExtra = aString ? static_cast<int>(std::strlen(aString)) : 0;
	KC_String locResult;
	locResult.Allocate(locLength + locExtra);
	std::memcpy(locResult.myData, myData, locLength);
	std::memcpy(locResult.myData + locLength, aString ? aString : "", locExtra);
	return locResult;
}

KC_String KC_String::Left(int aCount) const
{
	int locCount = aCount < GetLength() ? aCount : GetLength();
	KC_String locResult;
	locResult.Allocate(locCount);
	std::memcpy(locResult.myData, myData, locCount);
	return locResult;
}

KC_String KC_String::Right(int aCount) const
{
	int locCount = aCount < GetLength() ? aCount : GetLength();
	KC_String locResult;
	locResult.Allocate(locCount);
	std::memcpy(locResult.myData, myData + GetLength() - locCount, locCount);
	return locResult;
}

int KC_String::Find(char aCharacter) const
{
	const void* locFound = std::memchr(myData, aCharacter, static_cast<size_t>(GetLength()));
	return locFound ? static_cast<int>(static_cast<const char*>(locFound) - myData) : -1;
}

int KC_String::ReverseFind(char aCharacter) const
{
	for (int locIndex = GetLength(); locIndex >= 0; --locIndex)
	{
		if (myData[locIndex] == aCharacter)
			return locIndex;
	}
	return -1;
}

int KC_String::Find(const char* aString) const
{
	if (!aString)
		return -1;
	const char* locFound = KC_PlatformFind(myData, aString);
	return locFound ? static_cast<int>(locFound - myData) : -1;
}

int KC_String::Replace(char aFrom, char aTo)
{
	if (aFrom == aTo)
		return 0;
	int locCount = 0;
	for (int locIndex = 0; locIndex < GetLength(); ++locIndex)
	{
		if (myData[locIndex] == aFrom)
		{
			myData[locIndex] = aTo;
			++locCount;
		}
	}
	return locCount;
}

void KC_String::MakeLower()
{
	if (!IsEmpty())
		KC_PlatformMakeLower(myData);
}

// Equal texts have equal bytes: a first byte that differs settles the comparison.
bool KC_String::operator==(const KC_String& aString) const
{
	return myData[0] == aString.myData[0] && KC_PlatformCompare(myData, aString.myData) == 0;
}

bool KC_String::operator==(const char* aString) const
{
	const char* locOther = aString ? aString : "";
	return myData[0] == locOther[0] && KC_PlatformCompare(myData, locOther) == 0;
}

bool KC_String::operator<(const KC_String& aString) const
{
	return KC_PlatformCompare(myData, aString.myData) < 0;
}

bool KC_String::operator>(const KC_String& aString) const
{
	return KC_PlatformCompare(myData, aString.myData) > 0;
}

int KC_String::CompareNoCase(const char* aString) const
{
	return KC_PlatformCompareNoCase(myData, aString ? aString : "");
}

void KC_String::Format(const char* aFormat, ...)
{
	// A short output is made in one pass; for a longer one the first pass
	// measures, so that every output fits.
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	std::va_list locMeasure;
	va_copy(locMeasure, locArguments);
	char locShort[256];
	int locLength = std::vsnprintf(locShort, sizeof(locShort), aFormat, locMeasure);
	va_end(locMeasure);
	if (locLength >= 0 && locLength < static_cast<int>(sizeof(locShort)))
	{
		va_end(locArguments);
		*this = locShort;
		return;
	}

	KC_String locText;
	locText.Allocate(locLength);
	std::vsnprintf(locText.myData, locLength + 1, aFormat, locArguments);
	va_end(locArguments);
	// The text ends at its first NUL, as for any C string.
	*this = locText.myData;
}
