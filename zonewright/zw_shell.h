// Program-wide shell state: screen, frame timing, statistics, key routing.
#pragma once

#include "zw_platform.h"

struct ZW_Shell {
  int screenWidth;
  int screenHeight;
  int cellSize;          // side of one statistics text cell in screen units
  int fontDivisor;       // last accepted "render.fontSize" argument
  double frameStart;
  double previousFrameStart;
  float frameFactor;
  int minFrameTime;
  int fpsMode;
  int memMode;
  int frameCounter;
  int lastFps;
  int minFps;
  int maxFps;
  double lastSampleTime;
  ZW_MemoryStatus startMemory;
  float scaleX, scaleY;
  float previousScaleX, previousScaleY;
  int mouseX, mouseY;
  int resourceLoaded;
};

extern ZW_Shell zwShell;

// The start-up command lines, in order.
extern const char* const zwStartupLines[4];
enum { ZW_STARTUP_LINE_COUNT = 4 };

void ZW_ShellReset();

// Frame start: frame factor from the timer value (16 ms steps; above 2.0 it is 1.0).
void ZW_FrameBegin(double aNow);
// Frame end: FPS statistics.
void ZW_FrameCount(double aNow);
// Window-to-screen scale from the window's outer size; rescales the controls
// when it changed. Returns whether it changed.
bool ZW_UpdateWindowScale(int aWindowWidth, int aWindowHeight);
// Window-to-screen scale without the change check (start-up).
void ZW_SetWindowScale(int aWindowWidth, int aWindowHeight);
// Mouse position in screen units from client coordinates.
void ZW_SetMouseFromClient(int aClientX, int aClientY);

// The statistics rows (FPS and memory lines) in the cell font.
void ZW_DrawStatistics();

// The "exit" operation.
void ZW_Exit();
// Key routing of WM_KEYDOWN: Escape, key 220 and the console.
void ZW_KeyDown(int aKey);

// Commands.
void ZW_CmdCoreFPS();
void ZW_CmdCoreMem();
void ZW_CmdCoreResetFPS();
void ZW_CmdCoreSync();
void ZW_CmdRenderFontSize();
void ZW_CmdRenderScreenRes();
void ZW_CmdExit();
void ZW_CmdExec();
