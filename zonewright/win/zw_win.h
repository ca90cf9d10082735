// Functions shared by the Windows-only sources of the wizard.
#pragma once

#include <windows.h>

// Renderer (zw_render_win.cpp).
HRESULT ZW_CreateDevice(HWND aWindow);
void ZW_SetupFonts();
void ZW_RenderFrame();
void ZW_ShowDeviceCursor();
void ZW_ReleaseDirect3D();

// Shell (zw_main.cpp): the mouse position, also updated inside rendering.
void ZW_UpdateMousePosition();
