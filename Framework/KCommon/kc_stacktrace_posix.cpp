#include "kc_stacktrace.h"

#include <cstring>

#include <dlfcn.h>

bool KC_FindModule(uintptr_t anAddress, uintptr_t* aBase, char* aName, unsigned int aNameSize)
{
	Dl_info locInfo;
	if (!dladdr(reinterpret_cast<void*>(anAddress), &locInfo) || !locInfo.dli_fname)
		return false;
	*aBase = reinterpret_cast<uintptr_t>(locInfo.dli_fbase);
	std::strncpy(aName, locInfo.dli_fname, aNameSize - 1);
	aName[aNameSize - 1] = 0;
	return true;
}
