// Crashes on purpose, a few calls deep, so that the crash handler reports it.
// The argument names the fault: "null" (a write to address 0, also without an
// argument), "divide" (integer division by zero), "overflow" (unbounded
// recursion) or "hang" (the main thread blocks for good while a deadlock
// watcher watches it). The GUI test finds each fault's lines by their marker
// comments.
#include "kc_stacktrace.h"

#include <windows.h>

#include <cstring>

namespace
{
int* volatile ourNowhere = NULL;
volatile int ourDivisor = 0;
volatile int ourSink = 0;
volatile int ourBottom = -1;

__attribute__((noinline)) void WriteNowhere(int aValue)
{
	*ourNowhere = aValue;  // <- faults: null
}

__attribute__((noinline)) void Divide(int aValue)
{
	ourSink = aValue / ourDivisor;  // <- faults: divide
}

// Each call keeps a frame that the next one cannot reuse.
__attribute__((noinline)) int Recurse(int aDepth)   // <- faults: overflow
{                                                   // <- faults: overflow
	volatile char locFrame[256];                    // <- faults: overflow
	if (aDepth == ourBottom)                        // <- faults: overflow
		return 0;                                   // <- faults: overflow
	locFrame[0] = static_cast<char>(aDepth);        // <- faults: overflow
	int locBelow = Recurse(aDepth + 1);             // <- faults: overflow
	locFrame[1] = static_cast<char>(locBelow);      // <- faults: overflow
	return locFrame[0] + locFrame[1];               // <- faults: overflow
}                                                   // <- faults: overflow

__attribute__((noinline)) void Block()
{
	HANDLE locNever = CreateEventA(NULL, TRUE, FALSE, NULL);
	for (;;)
		WaitForSingleObject(locNever, INFINITE);  // <- blocks
}

LRESULT CALLBACK KeyWindowProc(HWND aWindow, UINT aMessage, WPARAM aWParam, LPARAM aLParam)
{
	return DefWindowProcA(aWindow, aMessage, aWParam, aLParam);
}

// A window of a thread that keeps taking messages: under Wine a key reaches the
// system's key state only through a window of a running message loop.
DWORD WINAPI KeyWindow(LPVOID)
{
	WNDCLASSA locClass = {};
	locClass.lpfnWndProc = KeyWindowProc;
	locClass.hInstance = GetModuleHandleA(NULL);
	locClass.lpszClassName = "kc_crashtest_keys";
	RegisterClassA(&locClass);
	CreateWindowA("kc_crashtest_keys", "kc_crashtest hang", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, NULL,
	              NULL, locClass.hInstance, NULL);
	MSG locMessage;
	while (GetMessageA(&locMessage, NULL, 0, 0) > 0)
	{
		TranslateMessage(&locMessage);
		DispatchMessageA(&locMessage);
	}
	return 0;
}

__attribute__((noinline)) void Hang()
{
	CreateThread(NULL, 0, KeyWindow, NULL, 0, NULL);
	HANDLE locMain = NULL;
	DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &locMain, 0, FALSE,
	                DUPLICATE_SAME_ACCESS);
	CreateThread(NULL, 0, KC_DeadlockWatcher, locMain, 0, NULL);
	Block();
}

__attribute__((noinline)) void Descend(int aDepth, const char* aFault)
{
	if (aDepth > 0)
		Descend(aDepth - 1, aFault);
	else if (std::strcmp(aFault, "divide") == 0)
		Divide(42);
	else if (std::strcmp(aFault, "overflow") == 0)
		ourSink = Recurse(0);
	else if (std::strcmp(aFault, "hang") == 0)
		Hang();
	else
		WriteNowhere(42);
	ourNowhere = ourNowhere;
}
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR aCommandLine, int)
{
	char locFault[16] = "null";
	if (aCommandLine)
	{
		while (*aCommandLine == ' ')
			++aCommandLine;
		if (*aCommandLine)
		{
			std::strncpy(locFault, aCommandLine, sizeof(locFault) - 1);
			locFault[sizeof(locFault) - 1] = 0;
			locFault[std::strcspn(locFault, " ")] = 0;
		}
	}
	Descend(3, locFault);
	return 0;
}
