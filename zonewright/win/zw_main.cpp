// Program entry, window, start-up, main loop and shut-down; the Windows side
// of the platform seam.
#include <windows.h>
#include <mmsystem.h>
#include <dxerr8.h>

#include <cstdio>
#include <cstdlib>

#include "zw_console.h"
#include "zw_controls.h"
#include "zw_editor.h"
#include "zw_input.h"
#include "zw_keys.h"
#include "zw_platform.h"
#include "zw_props.h"
#include "zw_render.h"
#include "zw_screen.h"
#include "zw_shell.h"
#include "zw_win.h"

// The portable key names are the codes that WM_KEYDOWN delivers.
static_assert(ZW_KEY_BACK == VK_BACK && ZW_KEY_TAB == VK_TAB && ZW_KEY_RETURN == VK_RETURN &&
                  ZW_KEY_ESCAPE == VK_ESCAPE && ZW_KEY_SPACE == VK_SPACE && ZW_KEY_PAGE_UP == VK_PRIOR &&
                  ZW_KEY_PAGE_DOWN == VK_NEXT && ZW_KEY_END == VK_END && ZW_KEY_HOME == VK_HOME &&
                  ZW_KEY_LEFT == VK_LEFT && ZW_KEY_UP == VK_UP && ZW_KEY_RIGHT == VK_RIGHT &&
                  ZW_KEY_DOWN == VK_DOWN && ZW_KEY_INSERT == VK_INSERT && ZW_KEY_DELETE == VK_DELETE &&
                  ZW_KEY_0 == '0' && ZW_KEY_9 == '9' && ZW_KEY_NUMPAD_0 == VK_NUMPAD0 &&
                  ZW_KEY_NUMPAD_9 == VK_NUMPAD9 && ZW_KEY_EQUALS == VK_OEM_PLUS && ZW_KEY_CONSOLE == VK_OEM_5,
              "virtual-key codes");

namespace {

HINSTANCE gInstance;
HWND gWindow;
bool gTrackingMouse;  // WM_MOUSELEAVE is asked for

const char kClassName[] = "zonewright";
// WM_SYSTIMER: the timers of the system's own (the caret, the pointer's
// leave check of TrackMouseEvent), which the headers do not name.
const UINT kSystemTimer = 0x0118;

LRESULT CALLBACK WindowProc(HWND aWindow, UINT aMessage, WPARAM wParam, LPARAM lParam) {
  switch (aMessage) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT:
      ZWW_PresentShown();
      ValidateRect(aWindow, nullptr);
      return 0;
    case WM_MOUSEMOVE:
      // The pointer leaving the window wakes a screen at rest too.
      if (!gTrackingMouse) {
        TRACKMOUSEEVENT locTrack;
        memset(&locTrack, 0, sizeof(locTrack));
        locTrack.cbSize = sizeof(locTrack);
        locTrack.dwFlags = TME_LEAVE;
        locTrack.hwndTrack = aWindow;
        gTrackingMouse = TrackMouseEvent(&locTrack) != FALSE;
      }
      return 0;
    case WM_MOUSELEAVE:
      gTrackingMouse = false;
      return 0;
    case WM_KEYDOWN:
      zwShell.controlKey = GetKeyState(VK_CONTROL) < 0;
      ZW_KeyDown((int)wParam);
      return 0;
    default:
      return DefWindowProcA(aWindow, aMessage, wParam, lParam);
  }
}

void PrintErrorName(HRESULT aCode) {
  ZW_Print(DXGetErrorString8A(aCode));
}

bool StartUp() {
  zwShell.frameStart = timeGetTime();
  ZW_GetMemoryStatus(&zwShell.startMemory);
  for (int i = 0; i < ZW_STARTUP_LINE_COUNT; i++) {
    ZW_Execute(zwStartupLines[i]);
  }

  ZW_Print("Creating the window");
  WNDCLASSA locClass;
  memset(&locClass, 0, sizeof(locClass));
  locClass.style = CS_CLASSDC;
  locClass.lpfnWndProc = WindowProc;
  locClass.hInstance = gInstance;
  locClass.lpszClassName = kClassName;
  RegisterClassA(&locClass);
  gWindow = CreateWindowExA(0, kClassName, "zonewright v1.0", WS_CAPTION | WS_SYSMENU, 300, 150,
                            zwShell.screenWidth, zwShell.screenHeight, GetDesktopWindow(), nullptr,
                            gInstance, nullptr);
  if (!gWindow) {
    ZW_Print("ERROR: Could not create the window!");
    return false;
  }

  HRESULT hr = ZWW_CreateDevice(gWindow);
  if (FAILED(hr)) {
    PrintErrorName(hr);
    return false;
  }
  ZW_Print("Direct3D init OK");
  for (float& locValue : zwControls.defaultWorld) {
    locValue = 0.0f;
  }
  UpdateWindow(gWindow);
  ShowWindow(gWindow, SW_SHOWDEFAULT);

  RECT locRect;
  GetWindowRect(gWindow, &locRect);
  ZW_SetWindowScale(locRect.right - locRect.left, locRect.bottom - locRect.top);

  if (!ZWW_InputInit(gInstance, gWindow)) {
    PrintErrorName(0);
    return false;
  }
  ZW_Print("DirectInput init OK");

  ZW_TextureLoad("zonewright.zrf");
  if (!zwShell.resourceLoaded) {
    ZW_MessageBox("ERROR: Could not find resource file \"zonewright.zrf\"! Shutting down ...",
                  "zonewright Error");
    PostQuitMessage(0);
  }
  ZWW_SetupFonts();
  ZW_CreateCellFont();
  ZW_ControlsCreateOwner();
  ZW_BuildScreen();

  zwShell.mouseX = zwShell.screenWidth / 2;
  zwShell.mouseY = zwShell.screenHeight / 2;
  zwControls.switching = 0;
  ZW_EditorInit();
  return true;
}

// Every command-line argument runs as one command line, in order.
void RunArguments() {
  for (int i = 1; i < __argc; i++) {
    ZW_Execute(__argv[i]);
    if (ZW_Result()[0]) {
      char locText[ZW_RESULT_SIZE + 1];
      snprintf(locText, sizeof(locText), "%s\n", ZW_Result());
      ZW_DebugOutput(locText);
    }
  }
}

// Sleeps through the minimum frame time of the frame; its last millisecond
// is spent reading the timer, so that the next frame starts on the tick that
// the frame cap gives it.
void WaitFrameTime() {
  for (;;) {
    int locLeft = ZW_FrameTimeLeft(timeGetTime());
    if (locLeft <= 0) {
      return;
    }
    Sleep(locLeft > 1 ? (DWORD)(locLeft - 1) : 0);
  }
}

// A screen at rest: nothing to draw until a message or input arrives or a
// time-based change is due. True when a message came, false for the change.
bool WaitAtRest() {
  int locTimeout = ZW_RestTimeout(timeGetTime());
  return MsgWaitForMultipleObjectsEx(0, nullptr, locTimeout < 0 ? INFINITE : (DWORD)locTimeout, QS_ALLINPUT,
                                     MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0;
}

void MainLoop() {
  MSG locMessage;
  bool locAtRest = false;
  timeBeginPeriod(1);
  for (;;) {
    // The system's own timers (the check whether the pointer left the
    // window) are no input: they leave a screen at rest as it is.
    bool locInput = false;
    while (PeekMessageA(&locMessage, nullptr, 0, 0, PM_REMOVE)) {
      if (locMessage.message == WM_QUIT) {
        timeEndPeriod(1);
        return;
      }
      TranslateMessage(&locMessage);
      DispatchMessageA(&locMessage);
      locInput = locInput || locMessage.message != kSystemTimer;
    }
    if (locAtRest && !locInput && WaitAtRest()) {
      continue;  // the messages first
    }
    ZW_FrameBegin(timeGetTime());
    ZWW_InputPoll();
    ZWW_UpdateMousePosition();
    ZW_EditorFrame();
    // The frame after input runs at the frame cap in any case: the input
    // devices may show a press a moment after its message.
    locAtRest = ZWW_RenderFrame() && !locInput;
    ZWW_ShowDeviceCursor();
    ZW_FrameCount(timeGetTime());
    if (!locAtRest) {
      WaitFrameTime();
    }
  }
}

void ShutDown() {
  ZWW_ReleaseDirect3D();
  UnregisterClassA(kClassName, gInstance);
}

}  // namespace

void ZWW_UpdateMousePosition() {
  if (!gWindow) {
    return;
  }
  RECT locRect;
  GetWindowRect(gWindow, &locRect);
  ZW_UpdateWindowScaleFromRect(locRect.left, locRect.top, locRect.right, locRect.bottom,
                               IsIconic(gWindow) != 0);
  POINT locCursor;
  GetCursorPos(&locCursor);
  ScreenToClient(gWindow, &locCursor);
  ZW_SetMouseFromClient(locCursor.x, locCursor.y);
}

// --- Platform seam -------------------------------------------------------------

double ZW_TimeMs() {
  return timeGetTime();
}

void ZW_GetMemoryStatus(ZW_MemoryStatus* aStatus) {
  MEMORYSTATUS locStatus;
  locStatus.dwLength = sizeof(locStatus);
  GlobalMemoryStatus(&locStatus);
  aStatus->availPhys = locStatus.dwAvailPhys;
  aStatus->totalPhys = locStatus.dwTotalPhys;
}

void ZW_MessageBox(const char* aText, const char* aCaption) {
  MessageBoxA(nullptr, aText, aCaption, MB_OK);
}

void ZW_DebugOutput(const char* aText) {
  OutputDebugStringA(aText);
}

void ZW_PlatformExit() {
  ZWW_ReleaseDirect3D();
  PostQuitMessage(0);
}

int WINAPI WinMain(HINSTANCE anInstance, HINSTANCE, LPSTR, int) {
  gInstance = anInstance;
  ZW_ConsoleReset();
  ZW_ShellReset();
  ZW_RenderReset();
  ZW_InputReset();
  ZW_ControlsReset();
  ZW_PropsReset();
  ZW_EditorReset();
  if (StartUp()) {
    RunArguments();
    MainLoop();
  }
  ShutDown();
  return 0;
}
