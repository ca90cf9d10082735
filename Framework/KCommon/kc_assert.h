#ifndef KC_ASSERT_H
#define KC_ASSERT_H

#include "kc_format.h"

#include <cstddef>

// Assertions: a false expression at a site whose ignore flag is clear reports
// "Assertion (%s) failed in %s, line %d" and ends the process with -666.

bool KC_AssertFailed(const char* aFile, int aLine, const char* anExpression, unsigned char* anIgnoreFlag);

// Formats at most 255 characters, shows them in the "FatalError" box and exits with -666.
[[noreturn]] void FatalError(const char* aFormat, ...) KC_PRINTF_FORMAT(1, 2);

void KC_DebugBreak();

#define KC_ASSERT(anExpression)                                                          \
	do                                                                                   \
	{                                                                                    \
		static unsigned char locIgnoreFlag = 0;                                          \
		if (!locIgnoreFlag && !(anExpression))                                           \
		{                                                                                \
			if (KC_AssertFailed(__FILE__, __LINE__, #anExpression, &locIgnoreFlag))      \
				KC_DebugBreak();                                                         \
		}                                                                                \
	} while (0)

#endif
