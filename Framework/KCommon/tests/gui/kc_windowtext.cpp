// Test helper: prints the text of every child window of the top-level window
// with the given title, one per line, so that a GUI test can read a message
// box. Exit code 1 when there is no such window.
#include <windows.h>

#include <cstdio>

namespace
{
BOOL CALLBACK PrintText(HWND aWindow, LPARAM)
{
	char locText[8192];
	int locLength = GetWindowTextA(aWindow, locText, sizeof(locText));
	std::fwrite(locText, 1, locLength, stdout);
	std::fputs("\n", stdout);
	return TRUE;
}
}

int main(int argc, char** argv)
{
	if (argc != 2)
	{
		std::fputs("usage: kc_windowtext TITLE\n", stderr);
		return 2;
	}
	HWND locWindow = FindWindowA(NULL, argv[1]);
	if (!locWindow)
		return 1;
	EnumChildWindows(locWindow, PrintText, 0);
	return 0;
}
