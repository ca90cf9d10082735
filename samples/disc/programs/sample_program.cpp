// The sample disc's installer (SAMPLE_SETUP) and game (SAMPLE_GAME). Each
// appends a line naming its working directory to "<its folder>\ran.txt";
// the installer then creates HKEY_LOCAL_MACHINE\SOFTWARE\Kestrelsoft\SampleGame
// with the game's path as its value "Launcher".
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace
{
const char* const ourGameKey = "SOFTWARE\\Kestrelsoft\\SampleGame";

#if defined(SAMPLE_SETUP)
const char* const ourName = "setup";
const char* const ourCaption = "Sample Setup";
#else
const char* const ourName = "game";
const char* const ourCaption = "Sample Game";
#endif

// The folder of this program, without its trailing backslash.
void GetProgramFolder(char* aFolder, DWORD aSize)
{
	DWORD locLength = GetModuleFileNameA(NULL, aFolder, aSize);
	if (locLength == 0 || locLength >= aSize)
		locLength = 0;
	aFolder[locLength] = 0;
	char* locSlash = std::strrchr(aFolder, '\\');
	if (locSlash)
		*locSlash = 0;
}

bool Record(const char* aFolder)
{
	char locDirectory[MAX_PATH];
	if (!GetCurrentDirectoryA(MAX_PATH, locDirectory))
		locDirectory[0] = 0;
	char locRecordName[MAX_PATH + 16];
	std::snprintf(locRecordName, sizeof(locRecordName), "%s\\ran.txt", aFolder);
	FILE* locFile = std::fopen(locRecordName, "ab");
	if (!locFile)
		return false;
	std::fprintf(locFile, "%s ran in %s\r\n", ourName, locDirectory);
	return std::fclose(locFile) == 0;
}

#if defined(SAMPLE_SETUP)
bool Install(const char* aFolder)
{
	// The disc's root is the folder above setup\.
	char locGame[MAX_PATH + 32];
	std::snprintf(locGame, sizeof(locGame), "%s", aFolder);
	char* locSlash = std::strrchr(locGame, '\\');
	if (locSlash)
		*locSlash = 0;
	std::strncat(locGame, "\\game\\game.exe", sizeof(locGame) - std::strlen(locGame) - 1);

	HKEY locKey = NULL;
	if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, ourGameKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL, &locKey,
	                    NULL) != ERROR_SUCCESS)
		return false;
	LONG locResult = RegSetValueExA(locKey, "Launcher", 0, REG_SZ, reinterpret_cast<const BYTE*>(locGame),
	                                static_cast<DWORD>(std::strlen(locGame) + 1));
	RegCloseKey(locKey);
	return locResult == ERROR_SUCCESS;
}
#endif
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
	char locFolder[MAX_PATH];
	GetProgramFolder(locFolder, MAX_PATH);
	if (!Record(locFolder))
		return 1;
#if defined(SAMPLE_SETUP)
	if (!Install(locFolder))
	{
		MessageBoxA(NULL, "The sample game could not be installed: no write access to the registry.", ourCaption,
		            MB_OK | MB_ICONERROR);
		return 1;
	}
	MessageBoxA(NULL, "The sample game is installed. Start the disc menu again to play it.", ourCaption,
	            MB_OK | MB_ICONINFORMATION);
#else
	MessageBoxA(NULL, "The sample game runs here. Press OK to end it.", ourCaption, MB_OK | MB_ICONINFORMATION);
#endif
	return 0;
}
