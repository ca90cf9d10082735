// Functions shared by the Windows-only sources of the wizard. They carry the
// prefix ZWW_ (the D3DX layer ZWX_); the portable code's functions are ZW_.
#pragma once

#include <windows.h>

// Input (zw_input_win.cpp): DirectInput set-up and the per-frame poll.
bool ZWW_InputInit(HINSTANCE anInstance, HWND aWindow);
void ZWW_InputPoll();

// Renderer (zw_render_win.cpp).
HRESULT ZWW_CreateDevice(HWND aWindow);
void ZWW_SetupFonts();
// One frame; true when the screen is at rest after it (not presented again).
bool ZWW_RenderFrame();
// The frame shown presented again from the back buffer (WM_PAINT, while a
// modal box keeps the main loop from running).
void ZWW_PresentShown();
void ZWW_ShowDeviceCursor();
void ZWW_ReleaseDirect3D();

// Shell (zw_main.cpp): the mouse position, also updated inside rendering.
void ZWW_UpdateMousePosition();
