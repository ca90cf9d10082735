// A helper of the end-to-end tests.
//   gui_helper.exe            records its working directory in "<its folder>\probe.txt"
//                             (a target for the menu's buttons)
//   gui_helper.exe minimise   minimises the menu window; exit code 0 once it is
//   gui_helper.exe restore    restores it; 0 once it is no longer minimised
// A GUI program: started by the menu it opens no console.
#include <windows.h>

#include <cstdio>
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR aCommandLine, int)
{
	if (std::strstr(aCommandLine, "minimise"))
		return Show(SW_MINIMIZE);
	if (std::strstr(aCommandLine, "restore"))
		return Show(SW_RESTORE);
	return Record();
}
