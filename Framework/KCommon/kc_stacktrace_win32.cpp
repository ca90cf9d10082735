#include "kc_stacktrace.h"

#include "kc_platform.h"

#include <cstdio>
#include <cstring>

namespace
{
// The report lives outside the heap, which may be what broke.
char ourCrashReport[KC_CRASH_REPORT_SIZE];
volatile LONG ourCrashFilterRunning = 0;

// A thread that composes and shows the report for the thread that faulted,
// which may have no stack left (a stack overflow). It is started with the
// handler and waits for a crash.
HANDLE ourReporter = NULL;
DWORD ourReporterId = 0;
HANDLE ourReportWanted = NULL;
HANDLE ourReportDone = NULL;
EXCEPTION_POINTERS* volatile ourReportedException = NULL;

// How long the thread that faulted waits for the reporter's box to appear
// before it reports itself.
const DWORD ourReporterTimeLimit = 10000;

// Stack kept for the crash filter on the thread that installs the handler,
// where the system offers it (not before Windows Vista).
const ULONG ourGuaranteedStack = 64 * 1024;
const SIZE_T ourReporterStack = 256 * 1024;

bool ReadOwnMemory(void* /*aContext*/, uintptr_t anAddress, void* aBuffer, unsigned int aCount)
{
	const void* locSource = reinterpret_cast<const void*>(anAddress);
	if (IsBadReadPtr(locSource, aCount))
		return false;
	std::memcpy(aBuffer, locSource, aCount);
	return true;
}
}

#if defined(_WIN64)
// x64 code keeps no frame-pointer chain: each step unwinds by the function's
// unwind data, and a function without any (a leaf) has its return address at
// the stack pointer.
int KC_WalkContext(const CONTEXT& aContext, uintptr_t* anAddresses)
{
	CONTEXT locContext = aContext;
	int locCount = 0;
	while (locCount < KC_MAX_STACK_FRAMES && locContext.Rip)
	{
		anAddresses[locCount++] = static_cast<uintptr_t>(locContext.Rip);
		const DWORD64 locStack = locContext.Rsp;
		DWORD64 locReturn = 0;
		if (!ReadOwnMemory(NULL, static_cast<uintptr_t>(locStack), &locReturn, sizeof(locReturn)))
			break;
		DWORD64 locImageBase = 0;
		PRUNTIME_FUNCTION locFunction = RtlLookupFunctionEntry(locContext.Rip, &locImageBase, NULL);
		if (locFunction)
		{
			void* locHandlerData = NULL;
			DWORD64 locEstablisher = 0;
			RtlVirtualUnwind(UNW_FLAG_NHANDLER, locImageBase, locContext.Rip, locFunction, &locContext,
			                 &locHandlerData, &locEstablisher, NULL);
		}
		else
		{
			locContext.Rip = locReturn;
			locContext.Rsp = locStack + sizeof(DWORD64);
		}
		// The stack grows down: a caller's frame lies above its callee's.
		if (locContext.Rsp <= locStack)
			break;
	}
	return locCount;
}
#else
// The frame chain of a thread context, in 32-bit words.
int KC_WalkContext(const CONTEXT& aContext, uintptr_t* anAddresses)
{
	return KC_WalkStack(static_cast<uintptr_t>(aContext.Eip), static_cast<uintptr_t>(aContext.Ebp),
	                    sizeof(void*), ReadOwnMemory, NULL, anAddresses);
}
#endif

namespace
{
// Puts the text on the clipboard as CF_TEXT; false when it could not.
bool CopyToClipboard(const char* aText, int aLength)
{
	if (!OpenClipboard(NULL))
		return false;
	EmptyClipboard();
	HGLOBAL locBlock = GlobalAlloc(GMEM_MOVEABLE, aLength + 1);
	if (!locBlock)
	{
		CloseClipboard();
		return false;
	}
	char* locCopy = static_cast<char*>(GlobalLock(locBlock));
	if (!locCopy)
	{
		GlobalFree(locBlock);
		CloseClipboard();
		return false;
	}
	std::memcpy(locCopy, aText, aLength + 1);
	GlobalUnlock(locBlock);
	bool locSet = SetClipboardData(CF_TEXT, locBlock) != NULL;
	if (!locSet)
		GlobalFree(locBlock);
	CloseClipboard();
	return locSet;
}

// Composes the report of anException, copies it and shows it.
void Report(EXCEPTION_POINTERS* anException)
{
	uintptr_t locAddresses[KC_MAX_STACK_FRAMES];
	int locCount = KC_WalkContext(*anException->ContextRecord, locAddresses);

	ChangeDisplaySettingsA(NULL, 0);

	const EXCEPTION_RECORD* locRecord = anException->ExceptionRecord;
	KC_ExceptionSummary locSummary;
	locSummary.myCode = locRecord->ExceptionCode;
	locSummary.myAddress = reinterpret_cast<uintptr_t>(locRecord->ExceptionAddress);
	locSummary.myParameterCount = locRecord->NumberParameters;
	locSummary.myParameters[0] = locRecord->NumberParameters > 0 ? locRecord->ExceptionInformation[0] : 0;
	locSummary.myParameters[1] = locRecord->NumberParameters > 1 ? locRecord->ExceptionInformation[1] : 0;
	int locLength = KC_ComposeCrashReport(ourCrashReport, locSummary, locAddresses, locCount);

	const char* locNote = CopyToClipboard(ourCrashReport, locLength) ? "\r\n(text copied to clipboard)"
	                                                                   : "\r\n(text NOT copied to clipboard)";
	std::strncat(ourCrashReport, locNote, sizeof(ourCrashReport) - 1 - std::strlen(ourCrashReport));

	KC_PlatformMessageBox(ourCrashReport, "BOOOOOOM!");
}

DWORD WINAPI ReporterThread(LPVOID)
{
	if (WaitForSingleObject(ourReportWanted, INFINITE) == WAIT_OBJECT_0 && ourReportedException)
		Report(ourReportedException);
	SetEvent(ourReportDone);
	return 0;
}

// A stack that is committed whole (the main thread's under Wine) has no guard
// page to grow by, so an overflow shows only at its last page, with too little
// room left to dispatch the exception on x64. A guard page above the
// guaranteed room makes the system grow the stack page by page down to that
// room and raise the overflow there, as on a stack committed on demand. A
// stack that has its guard page (Windows) is left alone.
void GuardCommittedStack()
{
	SYSTEM_INFO locSystem;
	GetSystemInfo(&locSystem);
	const uintptr_t locPage = locSystem.dwPageSize;
	MEMORY_BASIC_INFORMATION locStack;
	if (!VirtualQuery(&locStack, &locStack, sizeof(locStack)) || !locStack.AllocationBase)
		return;
	// The lowest page stays the system's; the guaranteed room lies above it.
	const uintptr_t locBottom = reinterpret_cast<uintptr_t>(locStack.AllocationBase) + locPage;
	const uintptr_t locGuard = locBottom + ourGuaranteedStack + locPage;
	if (locGuard + 2 * locPage > reinterpret_cast<uintptr_t>(&locStack))
		return;
	// Committed at the guard's place and at the bottom of the room: the stack
	// does not grow there.
	MEMORY_BASIC_INFORMATION locRoom;
	MEMORY_BASIC_INFORMATION locRoomBottom;
	if (!VirtualQuery(reinterpret_cast<LPCVOID>(locGuard), &locRoom, sizeof(locRoom)) ||
	    !VirtualQuery(reinterpret_cast<LPCVOID>(locBottom + locPage), &locRoomBottom, sizeof(locRoomBottom)))
		return;
	const bool locWritable = locRoom.State == MEM_COMMIT && (locRoom.Protect & PAGE_GUARD) == 0 &&
	                         (locRoom.Protect & (PAGE_READWRITE | PAGE_EXECUTE_READWRITE)) != 0;
	if (!locWritable || locRoomBottom.State != MEM_COMMIT)
		return;
	DWORD locOld = 0;
	VirtualProtect(reinterpret_cast<LPVOID>(locGuard), locPage, PAGE_READWRITE | PAGE_GUARD, &locOld);
}

BOOL CALLBACK FindVisibleWindow(HWND aWindow, LPARAM aFound)
{
	if (!IsWindowVisible(aWindow))
		return TRUE;
	*reinterpret_cast<bool*>(aFound) = true;
	return FALSE;
}

void StartReporter()
{
	typedef BOOL(WINAPI * StackGuarantee)(PULONG);
	StackGuarantee locGuarantee = reinterpret_cast<StackGuarantee>(
		reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetThreadStackGuarantee")));
	if (locGuarantee)
	{
		ULONG locSize = ourGuaranteedStack;
		if (locGuarantee(&locSize))
			GuardCommittedStack();
	}
	if (ourReporter)
		return;
	ourReportWanted = CreateEventA(NULL, TRUE, FALSE, NULL);
	ourReportDone = CreateEventA(NULL, TRUE, FALSE, NULL);
	if (ourReportWanted && ourReportDone)
		ourReporter =
			CreateThread(NULL, ourReporterStack, ReporterThread, NULL, STACK_SIZE_PARAM_IS_A_RESERVATION, &ourReporterId);
}
}

bool KC_FindModule(uintptr_t anAddress, uintptr_t* aBase, char* aName, unsigned int aNameSize)
{
	MEMORY_BASIC_INFORMATION locRegion;
	if (!VirtualQueryEx(GetCurrentProcess(), reinterpret_cast<LPCVOID>(anAddress), &locRegion, sizeof(locRegion)))
		return false;
	// A free region has no allocation base, and a null module would name the executable.
	if (!locRegion.AllocationBase)
		return false;
	*aBase = reinterpret_cast<uintptr_t>(locRegion.AllocationBase);
	// Windows XP leaves a name that fills the buffer without its terminating zero.
	DWORD locLength = GetModuleFileNameA(static_cast<HMODULE>(locRegion.AllocationBase), aName, aNameSize);
	aName[locLength < aNameSize ? locLength : aNameSize - 1] = 0;
	return true;
}

void KC_InstallCrashHandler()
{
	// A path that the code page cannot spell is opened by its short form.
	wchar_t locWide[MAX_PATH + 1];
	DWORD locLength = GetModuleFileNameW(NULL, locWide, MAX_PATH);
	locWide[locLength < MAX_PATH ? locLength : MAX_PATH] = 0;
	char locPath[MAX_PATH + 1] = "";
	BOOL locLost = FALSE;
	WideCharToMultiByte(CP_ACP, 0, locWide, -1, locPath, MAX_PATH, NULL, &locLost);
	if (locLost)
	{
		wchar_t locShort[MAX_PATH + 1];
		DWORD locShortLength = GetShortPathNameW(locWide, locShort, MAX_PATH);
		if (locShortLength > 0 && locShortLength < MAX_PATH)
			WideCharToMultiByte(CP_ACP, 0, locShort, -1, locPath, MAX_PATH, NULL, NULL);
	}
	locPath[MAX_PATH] = 0;
	// Without the table a crash report names no source lines: no reason to stop the start.
	if (!KC_LoadLineNumbers(locPath))
		OutputDebugStringA("KC_InstallCrashHandler(): the line table of the program cannot be read\n");
	StartReporter();
	SetUnhandledExceptionFilter(KC_CrashFilter);
}

LONG WINAPI KC_CrashFilter(EXCEPTION_POINTERS* anException)
{
	if (InterlockedExchange(&ourCrashFilterRunning, 1) != 0)
		return EXCEPTION_EXECUTE_HANDLER;
	// The faulting thread hands the report over and waits: it may be out of
	// stack. A reporter that shows no box in time reports nothing, and the
	// faulting thread reports itself.
	if (ourReporter && GetCurrentThreadId() != ourReporterId)
	{
		ourReportedException = anException;
		SetEvent(ourReportWanted);
		if (KC_AwaitReporter(ourReportDone, ourReporter, ourReporterId, ourReporterTimeLimit))
			return EXCEPTION_EXECUTE_HANDLER;
	}
	Report(anException);
	return EXCEPTION_EXECUTE_HANDLER;
}

bool KC_AwaitReporter(HANDLE aDone, HANDLE aReporter, DWORD aReporterId, DWORD aTimeLimit)
{
	HANDLE locEnds[2] = {aDone, aReporter};
	const DWORD locSlice = 50;
	for (DWORD locWaited = 0;; locWaited += locSlice)
	{
		if (WaitForMultipleObjects(2, locEnds, FALSE, locSlice) != WAIT_TIMEOUT)
			return true;
		bool locShown = false;
		EnumThreadWindows(aReporterId, FindVisibleWindow, reinterpret_cast<LPARAM>(&locShown));
		if (locShown)
			return WaitForMultipleObjects(2, locEnds, FALSE, INFINITE) != WAIT_FAILED;
		if (locWaited >= aTimeLimit)
			return false;
	}
}

DWORD WINAPI KC_DeadlockWatcher(LPVOID aThread)
{
	HANDLE locThread = static_cast<HANDLE>(aThread);
	for (;;)
	{
		uintptr_t locAddresses[KC_MAX_STACK_FRAMES];
		int locCount = 0;
		if (GetAsyncKeyState(VK_SCROLL) & 1)
		{
			SuspendThread(locThread);
			CONTEXT locContext;
			std::memset(&locContext, 0, sizeof(locContext));
			locContext.ContextFlags = CONTEXT_ALL;
			if (GetThreadContext(locThread, &locContext))
				locCount = KC_WalkContext(locContext, locAddresses);
			ResumeThread(locThread);
		}
		if (locCount > 0)
		{
			FILE* locFile = std::fopen("deadlock_thread.txt", "a+b");
			if (locFile)
			{
				char locLine[300];
				for (int i = 0; i < locCount; ++i)
				{
					int locLength = KC_AppendFrameLine(locLine, sizeof(locLine), 0, locAddresses[i]);
					std::fwrite(locLine, 1, locLength, locFile);
				}
				std::fwrite("\r\n", 1, 2, locFile);
				std::fclose(locFile);
			}
		}
		Sleep(1);
	}
}
