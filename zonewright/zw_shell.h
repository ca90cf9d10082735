// Program-wide shell state: screen, frame timing, statistics, key routing.
#pragma once

#include "zw_platform.h"

// Statistics rows: "core.FPS" and "core.Mem" take these modes.
enum {
  ZW_FPS_OFF = 0,
  ZW_FPS_CURRENT = 1,    // "FPS: n"
  ZW_FPS_MIN_MAX = 2,    // "FPS: n (Min: n, Max: n)", the start-up mode
  ZW_MEM_OFF = 0,
  ZW_MEM_USAGE = 1,      // the usage line
  ZW_MEM_FULL = 2        // usage, available and total
};

// Editor modes ("editor.setMode"): what the per-frame routine does.
enum {
  ZW_EDITOR_NONE = 0,
  ZW_EDITOR_CROP = 1,      // crop editing, the mode after start-up
  ZW_EDITOR_PLACE_LZ = 2,  // each click places a Landing Zone marker
  ZW_EDITOR_PLACE_VL = 3   // each click places a Victory Location marker
};

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
  int controlKey;        // Ctrl is held while the key of ZW_KeyDown went down
  double dueTime;        // a time-based change of the screen is due then; negative: none
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

// The waits of the main loop. A frame waits out the minimum frame time; a
// screen at rest waits for input or for the change due next.
// Milliseconds of the minimum frame time left at aNow (0 once it has passed).
int ZW_FrameTimeLeft(double aNow);
// A change of the screen due at aTime without input (a blink, a tool tip);
// the earliest of a frame counts. Cleared at each frame start.
void ZW_WakeAt(double aTime);
// The wait of a screen at rest at aNow: milliseconds until the due change
// (0 when it is late), or -1 when none is due.
int ZW_RestTimeout(double aNow);
// After a frame: the frame equals the one shown (aSameAsShown), no control
// moves, no click or page switch is pending and no mouse button is down.
bool ZW_ScreenAtRest(bool aSameAsShown);
// Window-to-screen scale from the window's outer size; rescales the controls
// when it changed. Returns whether it changed.
bool ZW_UpdateWindowScale(int aWindowWidth, int aWindowHeight);
// The same from the window rectangle: a minimised window (iconic, or at the
// origin -32000, -32000 where Windows parks it) keeps the last scale.
bool ZW_UpdateWindowScaleFromRect(int aLeft, int aTop, int aRight, int aBottom, bool anIconic);
// Window-to-screen scale without the change check (start-up).
void ZW_SetWindowScale(int aWindowWidth, int aWindowHeight);
// Mouse position in screen units from client coordinates.
void ZW_SetMouseFromClient(int aClientX, int aClientY);

// The statistics rows (FPS and memory lines) in the cell font.
void ZW_DrawStatistics();

// The "exit" operation.
void ZW_Exit();
// Key routing of WM_KEYDOWN: Escape, key 220, the console, text entry and,
// while neither of these two is open, the map editor.
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
