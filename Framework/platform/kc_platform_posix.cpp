#include "kc_platform.h"

#include <csignal>
#include <cstdio>
#include <cstring>

// One byte is one character on the host.

namespace
{
void DefaultMessageBox(const char* aText, const char* aCaption)
{
	std::fprintf(stderr, "%s: %s\n", aCaption, aText);
	std::fflush(stderr);
}

KC_MessageBoxFunction ourMessageBox = DefaultMessageBox;

unsigned char LowerByte(unsigned char aByte)
{
	return (aByte >= 'A' && aByte <= 'Z') ? static_cast<unsigned char>(aByte - 'A' + 'a') : aByte;
}
}

int KC_PlatformCompare(const char* aFirst, const char* aSecond)
{
	return std::strcmp(aFirst, aSecond);
}

int KC_PlatformCompareNoCase(const char* aFirst, const char* aSecond)
{
	const unsigned char* locFirst = reinterpret_cast<const unsigned char*>(aFirst);
	const unsigned char* locSecond = reinterpret_cast<const unsigned char*>(aSecond);
	for (;; ++locFirst, ++locSecond)
	{
		int locDifference = LowerByte(*locFirst) - LowerByte(*locSecond);
		if (locDifference != 0 || *locFirst == 0)
			return locDifference;
	}
}

void KC_PlatformMakeLower(char* aText)
{
	for (unsigned char* locByte = reinterpret_cast<unsigned char*>(aText); *locByte; ++locByte)
		*locByte = LowerByte(*locByte);
}

const char* KC_PlatformFind(const char* aHaystack, const char* aNeedle)
{
	return std::strstr(aHaystack, aNeedle);
}

void KC_PlatformPrepareFatal()
{
}

void KC_PlatformMessageBox(const char* aText, const char* aCaption)
{
	ourMessageBox(aText, aCaption);
}

KC_MessageBoxFunction KC_SetMessageBoxFunction(KC_MessageBoxFunction aFunction)
{
	KC_MessageBoxFunction locPrevious = ourMessageBox;
	ourMessageBox = aFunction ? aFunction : DefaultMessageBox;
	return locPrevious;
}

void KC_PlatformDebugBreak()
{
	std::raise(SIGTRAP);
}

bool KC_PlatformReplaceFile(const char* aSource, const char* aTarget)
{
	return std::rename(aSource, aTarget) == 0;
}
