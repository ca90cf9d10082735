#include "kc_locstring.h"

#include "kc_assert.h"

#include <cstring>

namespace
{
int WideLength(const char16_t* aString)
{
	int locLength = 0;
	while (aString[locLength])
		++locLength;
	return locLength;
}
}

KC_LocString::KC_LocString()
	: myData(NULL), myLength(0)
{
}

KC_LocString::KC_LocString(const char16_t* aString)
	: myData(NULL), myLength(0)
{
	KC_ASSERT(aString);
	if (aString)
		Assign(aString);
}

KC_LocString::KC_LocString(const KC_LocString& aString)
	: myData(NULL), myLength(0)
{
	if (aString.myData)
		Assign(aString.myData);
}

KC_LocString::~KC_LocString()
{
	delete[] myData;
}

KC_LocString& KC_LocString::operator=(const char16_t* aString)
{
	if (aString != myData)
		Assign(aString);
	return *this;
}

KC_LocString& KC_LocString::operator=(const KC_LocString& aString)
{
	if (this != &aString)
		Assign(aString.myData);
	return *this;
}

const char16_t* KC_LocString::GetData() const
{
	KC_ASSERT(myData);
	return myData;
}

void KC_LocString::Assign(const char16_t* aString)
{
	// aString may lie inside the old buffer: copy before freeing.
	char16_t* locData = NULL;
	int locLength = 0;
	if (aString)
	{
		locLength = WideLength(aString);
		locData = new char16_t[locLength + 1];
		std::memcpy(locData, aString, (locLength + 1) * sizeof(char16_t));
	}
	delete[] myData;
	myData = locData;
	myLength = locLength;
}
