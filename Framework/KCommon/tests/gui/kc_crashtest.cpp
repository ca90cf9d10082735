// Crashes on purpose, a few calls deep, so that the crash handler reports it.
// The GUI test finds the faulting line by its marker comment.
#include "kc_stacktrace.h"

#include <windows.h>

namespace
{
int* volatile ourNowhere = NULL;

__attribute__((noinline)) void WriteNowhere(int aValue)
{
	*ourNowhere = aValue;  // <- faults
}

__attribute__((noinline)) void Descend(int aDepth)
{
	if (aDepth > 0)
		Descend(aDepth - 1);
	else
		WriteNowhere(42);
	ourNowhere = ourNowhere;
}
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
	Descend(3);
	return 0;
}
