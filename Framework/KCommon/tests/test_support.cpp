#include "test_support.h"

#include "kc_platform.h"

#include <cstdio>

namespace
{
void WriteBoxToStandardError(const char* aText, const char* aCaption)
{
	std::fprintf(stderr, "%s|%s", aCaption, aText);
	std::fflush(stderr);
}

const bool ourHookInstalled = (KC_SetMessageBoxFunction(WriteBoxToStandardError), true);
}
