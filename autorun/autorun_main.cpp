// The disc menu program: one copy at a time, one borderless window showing the
// menu of "autorun.ice", and a watch on the archive of the disc.
#include "AutorunButton.h"
#include "AutorunDiagnosis.h"
#include "AutorunMenu.h"
#include "AutorunPreview.h"
#include "AutorunShell.h"
#include "kf_file.h"
#include "kf_sdf.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

LRESULT CALLBACK AutorunWndProc(HWND aWindow, UINT aMessage, WPARAM aWParam, LPARAM anLParam);

namespace
{
const char* const ourMutexName = "DezuzedIvavuzi";
const char* const ourClassName = "DEZUZEDIVAVUZI";
const char* const ourDefinitionName = "autorun.ice";
const int ourLargeIcon = 101;
const int ourSmallIcon = 102;

bool ourLimitedAccess = false;
HANDLE ourMutex = NULL;
bool ourTrackingMouse = false;
// "/timing": one line through OutputDebugStringA when the first frame is painted.
bool ourTiming = false;
// "/preview": a window with a title bar that follows the saves of the menu's files.
bool ourPreview = false;
LARGE_INTEGER ourMainStart;
double ourMenuMs = 0;

// Asks for WM_MOUSELEAVE, which takes a tool tip away when the pointer leaves the window.
void TrackMouseLeave(HWND aWindow)
{
	if (ourTrackingMouse)
		return;
	TRACKMOUSEEVENT locTrack;
	std::memset(&locTrack, 0, sizeof(locTrack));
	locTrack.cbSize = sizeof(locTrack);
	locTrack.dwFlags = TME_LEAVE;
	locTrack.hwndTrack = aWindow;
	ourTrackingMouse = TrackMouseEvent(&locTrack) != FALSE;
}

void MountDisc()
{
	KF_SDF::Mount(AutorunShell::ourArchiveName, false, false);
}

// aSwitch ("/diagnose", "/timing") anywhere on the command line, in any case.
bool HasSwitch(const char* aCommandLine, const char* aSwitch)
{
	std::size_t locLength = std::strlen(aSwitch);
	for (const char* locAt = aCommandLine; locAt && *locAt; ++locAt)
	{
		if (_strnicmp(locAt, aSwitch, locLength) == 0)
			return true;
	}
	return false;
}

double MsSince(const LARGE_INTEGER& aStart)
{
	LARGE_INTEGER locNow, locFrequency;
	QueryPerformanceCounter(&locNow);
	QueryPerformanceFrequency(&locFrequency);
	return 1000.0 * static_cast<double>(locNow.QuadPart - aStart.QuadPart) / static_cast<double>(locFrequency.QuadPart);
}

// Milliseconds from the creation of the process, and from WinMain, to the first frame.
void ReportFirstFrame()
{
	FILETIME locCreated, locExit, locKernel, locUser, locNow;
	GetProcessTimes(GetCurrentProcess(), &locCreated, &locExit, &locKernel, &locUser);
	GetSystemTimeAsFileTime(&locNow);
	ULARGE_INTEGER locFrom, locTo;
	locFrom.LowPart = locCreated.dwLowDateTime;
	locFrom.HighPart = locCreated.dwHighDateTime;
	locTo.LowPart = locNow.dwLowDateTime;
	locTo.HighPart = locNow.dwHighDateTime;
	char locLine[200];
	std::snprintf(locLine, sizeof(locLine),
		"autorun /timing: first frame %.1f ms after process start, %.1f ms after WinMain (menu and Ice "
		"file %.1f ms)\n",
		static_cast<double>(locTo.QuadPart - locFrom.QuadPart) / 10000.0, MsSince(ourMainStart), ourMenuMs);
	OutputDebugStringA(locLine);
	ourTiming = false;
}

// The start-up ends early: the diagnosis says why (when asked for).
int EndStartup(int anExitCode)
{
	AutorunDiagnosis::Show();
	return anExitCode;
}

void PostAction(int anAction)
{
	if (ourPreview)
	{
		AutorunPreview::OnAction(anAction);
		return;
	}
	if (anAction == AutorunButton::ACTION_QUIT_LIMITED_ACCESS)
		ourLimitedAccess = true;
	if (anAction != AutorunButton::ACTION_NONE)
		PostQuitMessage(0);
}

// The disc was taken out: ask for it until the archive is back.
void AskForDisc(HWND aWindow)
{
	ShowWindow(aWindow, SW_HIDE);
	AutorunShell::ShowText(AutorunMenu::GetInsertDiscText(), AutorunShell::ourDefaultInsertDiscText);
	ShowWindow(aWindow, SW_SHOWNORMAL);
	KF_SDF::Unmount(AutorunShell::ourArchiveName);
	MountDisc();
}

// The archive is looked for; when it is gone, the disc is asked for.
void CheckDisc(HWND aWindow)
{
	unsigned int locTime = 0;
	unsigned int locSize = 0;
	if (!GetFileInfo(AutorunShell::ourArchiveName, &locTime, &locSize, NULL))
		AskForDisc(aWindow);
}
}

LRESULT CALLBACK AutorunWndProc(HWND aWindow, UINT aMessage, WPARAM aWParam, LPARAM anLParam)
{
	AutorunMenu* locMenu = AutorunMenu::GetCurrent();
	switch (aMessage)
	{
	case WM_DESTROY:
		PostQuitMessage(0);
		return 0;
	case WM_PAINT:
		// The window shown or uncovered: the whole frame. Changes of the menu
		// are painted by the message loop.
		if (locMenu)
			locMenu->Paint();
		if (ourPreview)
			AutorunPreview::PaintStrip();
		if (locMenu && ourTiming)
			ReportFirstFrame();
		ValidateRect(aWindow, NULL);
		return 0;
	case WM_KEYDOWN:
		if (aWParam == VK_ESCAPE)
			PostQuitMessage(0);
		else if (locMenu)
			PostAction(locMenu->OnKeyDown(static_cast<int>(aWParam), GetKeyState(VK_SHIFT) < 0,
			                              (anLParam & (1 << 30)) != 0));
		return 0;
	case WM_KEYUP:
		if (locMenu)
			PostAction(locMenu->OnKeyUp(static_cast<int>(aWParam)));
		return 0;
	case WM_MOUSELEAVE:
		ourTrackingMouse = false;
		if (locMenu)
			locMenu->OnMouseLeave();
		return 0;
	case WM_MOUSEMOVE:
	case WM_LBUTTONDOWN:
	case WM_LBUTTONUP:
	{
		if (!locMenu)
			return 0;
		int locX = static_cast<short>(LOWORD(anLParam));
		int locY = static_cast<short>(HIWORD(anLParam));
		int locAction;
		if (aMessage == WM_MOUSEMOVE)
		{
			TrackMouseLeave(aWindow);
			locAction = locMenu->OnMouseMove(locX, locY);
			if (ourPreview)
				AutorunPreview::OnMouseMove(locX, locY);
		}
		else if (aMessage == WM_LBUTTONDOWN)
			locAction = locMenu->OnMouseDown(locX, locY);
		else
			locAction = locMenu->OnMouseUp(locX, locY);
		PostAction(locAction);
		return 0;
	}
	default:
		return DefWindowProcA(aWindow, aMessage, aWParam, anLParam);
	}
}

int WINAPI WinMain(HINSTANCE anInstance, HINSTANCE /*aPreviousInstance*/, LPSTR aCommandLine, int aShowCommand)
{
	QueryPerformanceCounter(&ourMainStart);
	ourTiming = HasSwitch(aCommandLine, "/timing");
	ourPreview = HasSwitch(aCommandLine, "/preview");
	AutorunDiagnosis::Enable(HasSwitch(aCommandLine, "/diagnose"));

	ourMutex = CreateMutexA(NULL, FALSE, ourMutexName);
	if (ourMutex && GetLastError() == ERROR_ALREADY_EXISTS)
	{
		CloseHandle(ourMutex);
		AutorunDiagnosis::Add("another copy of the menu is running");
		return EndStartup(0);
	}

	// Started from a shortcut or a prompt elsewhere: the disc is the program's folder.
	wchar_t locProgramPath[MAX_PATH + 1] = L"";
	DWORD locLength = GetModuleFileNameW(NULL, locProgramPath, MAX_PATH);
	locProgramPath[locLength < MAX_PATH ? locLength : MAX_PATH] = 0;
	AutorunShell::FindDiscFolder(locProgramPath);
	MountDisc();

	WNDCLASSEXA locClass;
	std::memset(&locClass, 0, sizeof(locClass));
	locClass.cbSize = sizeof(locClass);
	locClass.style = CS_HREDRAW | CS_VREDRAW;
	locClass.lpfnWndProc = AutorunWndProc;
	locClass.hInstance = anInstance;
	locClass.hIcon = LoadIconA(anInstance, MAKEINTRESOURCEA(ourLargeIcon));
	locClass.hIconSm = LoadIconA(anInstance, MAKEINTRESOURCEA(ourSmallIcon));
	locClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
	locClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
	locClass.lpszClassName = ourClassName;
	RegisterClassExA(&locClass);

	char locTitle[MAX_PATH + 40] = "Autorun";
	if (ourPreview)
	{
		char locFolder[MAX_PATH + 1] = "";
		GetCurrentDirectoryA(sizeof(locFolder), locFolder);
		std::snprintf(locTitle, sizeof(locTitle), "autorun preview - %s", locFolder);
	}
	HWND locWindow = CreateWindowExA(0, ourClassName, locTitle, ourPreview ? AutorunPreview::ourWindowStyle : WS_POPUP, GetSystemMetrics(SM_CXSCREEN) / 2 - 300,
	                                 GetSystemMetrics(SM_CYSCREEN) / 2 - 200, 400, 300, NULL, NULL, anInstance, NULL);
	if (!locWindow)
	{
		AutorunDiagnosis::Add("the window cannot be created");
		CloseHandle(ourMutex);
		return EndStartup(0);
	}
	LARGE_INTEGER locMenuStart;
	QueryPerformanceCounter(&locMenuStart);
	AutorunMenu* locMenu = AutorunMenu::Create(ourDefinitionName, locWindow);
	ourMenuMs = MsSince(locMenuStart);
	if (!locMenu)
	{
		CloseHandle(ourMutex);
		return EndStartup(0);
	}

	if (ourPreview)
	{
		RECT locPlace;
		GetWindowRect(locWindow, &locPlace);
		if (!AutorunPreview::Begin(locWindow))
			OutputDebugStringA("autorun preview: the folder cannot be watched\n");
		AutorunPreview::FitWindow(locPlace.left, locPlace.top);
	}
	ShowWindow(locWindow, aShowCommand);
	UpdateWindow(locWindow);
	SetFocus(locWindow);
	locMenu->Paint();

	if (AutorunDiagnosis::IsOn())
	{
		AutorunDiagnosis::Add("the menu is up with %d buttons", locMenu->GetButtonCount());
		AutorunDiagnosis::Show();
	}

	// With the queue empty: the disc check when it is due, a paint when the
	// menu shows something new, then a wait for the next message, the next
	// check or the tool tip. A minimised window checks and paints nothing.
	MSG locMessage;
	std::memset(&locMessage, 0, sizeof(locMessage));
	DWORD locNextCheck = GetTickCount();
	for (;;)
	{
		locMenu = AutorunMenu::GetCurrent();
		if (PeekMessageA(&locMessage, NULL, 0, 0, PM_REMOVE))
		{
			if (locMessage.message == WM_QUIT)
				break;
			TranslateMessage(&locMessage);
			DispatchMessageA(&locMessage);
			continue;
		}
		bool locIconic = IsIconic(locWindow) != FALSE;
		if (!locIconic)
		{
			if (static_cast<int>(GetTickCount() - locNextCheck) >= 0)
			{
				CheckDisc(locWindow);
				locNextCheck = GetTickCount() + AutorunShell::ourDiscCheckPause;
			}
			locMenu->PaintIfChanged();
		}
		DWORD locWait = AutorunShell::LoopWait(locIconic, GetTickCount(), locNextCheck, locMenu->GetToolTipWait());
		HANDLE locChange = AutorunPreview::GetChangeHandle();
		if (!ourPreview || locChange == INVALID_HANDLE_VALUE)
			AutorunShell::WaitForMessage(locWait);
		else if (MsgWaitForMultipleObjectsEx(1, &locChange, locWait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0)
			AutorunPreview::OnChange();
	}
	if (ourPreview)
		AutorunPreview::End();

	ShowWindow(locWindow, SW_HIDE);
	if (ourLimitedAccess)
		AutorunShell::ShowText(AutorunMenu::GetLimitedAccessText(), AutorunShell::ourDefaultLimitedAccessText);

	AutorunMenu::DestroyCurrent();
	CloseHandle(ourMutex);
	return static_cast<int>(locMessage.wParam);
}
