#include "kc_assert.h"

#include "kc_output.h"
#include "kc_platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace
{
const char* const ourAssertFormat = "Assertion (%s) failed in %s, line %d";
}

bool KC_AssertFailed(const char* aFile, int aLine, const char* anExpression, unsigned char* /*anIgnoreFlag*/)
{
	KC_DebugOutput(ourAssertFormat, anExpression, aFile, aLine);
	FatalError(ourAssertFormat, anExpression, aFile, aLine);
}

void FatalError(const char* aFormat, ...)
{
	char locText[256];
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	std::vsnprintf(locText, sizeof(locText), aFormat, locArguments);
	va_end(locArguments);

	KC_PlatformPrepareFatal();
	KC_PlatformMessageBox(locText, "FatalError");
	std::exit(-666);
}

void KC_DebugBreak()
{
	KC_PlatformDebugBreak();
}
