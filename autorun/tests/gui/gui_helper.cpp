// A helper of the end-to-end tests.
//   gui_helper.exe            records its working directory in "<its folder>\probe.txt"
//                             (a target for the menu's buttons)
//   gui_helper.exe minimise   minimises the menu window; exit code 0 once it is
//   gui_helper.exe restore    restores it; 0 once it is no longer minimised
//   gui_helper.exe fault HEX  starts a thread in the menu's process at the code
//                             address HEX with the argument 1 (no valid pointer):
//                             the menu faults there, as a fault of its own would
//                             show in its crash report
// A GUI program: started by the menu it opens no console.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
int Record()
{
	char locFolder[MAX_PATH];
	DWORD locLength = GetModuleFileNameA(NULL, locFolder, MAX_PATH);
	if (locLength == 0 || locLength >= MAX_PATH)
		return 1;
	locFolder[locLength] = 0;
	char* locSlash = std::strrchr(locFolder, '\\');
	if (locSlash)
		*locSlash = 0;
	char locDirectory[MAX_PATH];
	if (!GetCurrentDirectoryA(MAX_PATH, locDirectory))
		locDirectory[0] = 0;
	char locRecord[MAX_PATH + 16];
	std::snprintf(locRecord, sizeof(locRecord), "%s\\probe.txt", locFolder);
	FILE* locFile = std::fopen(locRecord, "ab");
	if (!locFile)
		return 1;
	std::fprintf(locFile, "probe ran in %s\r\n", locDirectory);
	return std::fclose(locFile) == 0 ? 0 : 1;
}

int Show(int aCommand)
{
	HWND locMenu = FindWindowA("DEZUZEDIVAVUZI", "Autorun");
	if (!locMenu)
		return 3;
	// The menu's own thread carries the change out.
	ShowWindowAsync(locMenu, aCommand);
	for (int locTry = 0; locTry < 100; ++locTry)
	{
		bool locIconic = IsIconic(locMenu) != FALSE;
		if (locIconic == (aCommand == SW_MINIMIZE))
			return 0;
		Sleep(50);
	}
	return 1;
}
}

int Fault(const char* anAddress)
{
	HWND locMenu = FindWindowA("DEZUZEDIVAVUZI", "Autorun");
	if (!locMenu)
		return 3;
	DWORD locProcessId = 0;
	GetWindowThreadProcessId(locMenu, &locProcessId);
	HANDLE locProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, locProcessId);
	if (!locProcess)
		return 4;
	uintptr_t locAddress = static_cast<uintptr_t>(std::strtoull(anAddress, NULL, 16));
	HANDLE locThread = CreateRemoteThread(locProcess, NULL, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(locAddress),
	                                      reinterpret_cast<LPVOID>(1), 0, NULL);
	int locResult = locThread ? 0 : 5;
	if (locThread)
		CloseHandle(locThread);
	CloseHandle(locProcess);
	return locResult;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR aCommandLine, int)
{
	if (const char* locFault = std::strstr(aCommandLine, "fault "))
		return Fault(locFault + 6);
	if (std::strstr(aCommandLine, "minimise"))
		return Show(SW_MINIMIZE);
	if (std::strstr(aCommandLine, "restore"))
		return Show(SW_RESTORE);
	return Record();
}
