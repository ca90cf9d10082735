// Shell state, frame timing, statistics and key routing.
#include "zw_shell.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "zw_console.h"
#include "zw_controls.h"
#include "zw_editor.h"
#include "zw_input.h"
#include "zw_keys.h"
#include "zw_render.h"

ZW_Shell zwShell;

const char* const zwStartupLines[ZW_STARTUP_LINE_COUNT] = {
    "render.screenRes 512 650",
    "render.fontSize 60",
    "render.clearColor 0.52 0.54 0.59",
    "render.cameraPosition -5.8 0.1 -5",
};

void ZW_ShellReset() {
  memset(&zwShell, 0, sizeof(zwShell));
  zwShell.screenWidth = 640;
  zwShell.screenHeight = 480;
  zwShell.cellSize = 16;
  zwShell.fontDivisor = 40;
  zwShell.frameFactor = 1.0f;
  zwShell.minFrameTime = 10;
  zwShell.fpsMode = ZW_FPS_MIN_MAX;
  zwShell.memMode = ZW_MEM_OFF;
  zwShell.minFps = 9999;
  zwShell.dueTime = -1.0;
}

void ZW_FrameBegin(double aNow) {
  zwShell.previousFrameStart = zwShell.frameStart;
  zwShell.frameStart = aNow;
  zwShell.frameFactor = (float)((zwShell.frameStart - zwShell.previousFrameStart) * 0.0625);
  if (zwShell.frameFactor > 2.0f) {
    zwShell.frameFactor = 1.0f;
  }
  zwShell.dueTime = -1.0;
}

void ZW_FrameCount(double aNow) {
  zwShell.frameCounter++;
  if (aNow - zwShell.lastSampleTime >= 1000.0) {
    zwShell.lastFps = zwShell.frameCounter;
    zwShell.frameCounter = 0;
    zwShell.lastSampleTime = aNow;
  }
  if (zwShell.fpsMode == ZW_FPS_MIN_MAX) {
    if (zwShell.lastFps < zwShell.minFps) {
      if (zwShell.lastFps != 0) {
        zwShell.minFps = zwShell.lastFps;
      }
    } else if (zwShell.lastFps > zwShell.maxFps) {
      zwShell.maxFps = zwShell.lastFps;
    }
  }
}

int ZW_FrameTimeLeft(double aNow) {
  double locLeft = zwShell.minFrameTime - (aNow - zwShell.frameStart);
  return locLeft > 0.0 ? (int)ceil(locLeft) : 0;
}

void ZW_WakeAt(double aTime) {
  if (zwShell.dueTime < 0.0 || aTime < zwShell.dueTime) {
    zwShell.dueTime = aTime;
  }
}

int ZW_RestTimeout(double aNow) {
  if (zwShell.dueTime < 0.0) {
    return -1;
  }
  double locLeft = zwShell.dueTime - aNow;
  return locLeft > 0.0 ? (int)ceil(locLeft) : 0;
}

bool ZW_ScreenAtRest(bool aSameAsShown) {
  return aSameAsShown && ZW_ControlsAtRest() && !ZW_LeftButtonDown() && !ZW_RightButtonDown() &&
         zwInput.middle == 0;
}

void ZW_SetWindowScale(int aWindowWidth, int aWindowHeight) {
  if (aWindowWidth > 0 && aWindowHeight > 0) {
    zwShell.scaleX = (float)zwShell.screenWidth / (float)aWindowWidth;
    zwShell.scaleY = (float)zwShell.screenHeight / (float)aWindowHeight;
  }
}

bool ZW_UpdateWindowScale(int aWindowWidth, int aWindowHeight) {
  if (aWindowWidth <= 0 || aWindowHeight <= 0) {
    return false;  // a minimised or degenerate window keeps the last scale
  }
  ZW_SetWindowScale(aWindowWidth, aWindowHeight);
  bool locChanged = zwShell.scaleX != zwShell.previousScaleX ||
                    zwShell.scaleY != zwShell.previousScaleY;
  if (locChanged) {
    ZW_ControlsRescale(zwShell.scaleX, zwShell.scaleY);
  }
  zwShell.previousScaleX = zwShell.scaleX;
  zwShell.previousScaleY = zwShell.scaleY;
  return locChanged;
}

bool ZW_UpdateWindowScaleFromRect(int aLeft, int aTop, int aRight, int aBottom, bool anIconic) {
  if (anIconic || (aLeft == -32000 && aTop == -32000)) {
    return false;
  }
  return ZW_UpdateWindowScale(aRight - aLeft, aBottom - aTop);
}

void ZW_SetMouseFromClient(int aClientX, int aClientY) {
  zwShell.mouseX = (int)((float)aClientX * zwShell.scaleX);
  zwShell.mouseY = (int)((float)aClientY * zwShell.scaleY);
}

void ZW_DrawStatistics() {
  if (zwShell.cellSize <= 0) {
    return;
  }
  int r = zwShell.screenHeight / zwShell.cellSize;
  char locText[ZW_LINE_SIZE];
  if (zwShell.memMode != ZW_MEM_OFF) {
    ZW_MemoryStatus locNow;
    ZW_GetMemoryStatus(&locNow);
    int locUsage = (int)(((long long)zwShell.startMemory.availPhys - (long long)locNow.availPhys) / 1000);
    snprintf(locText, sizeof(locText), "Memory Usage: %d Kb", locUsage);
    if (zwShell.memMode == ZW_MEM_USAGE) {
      ZW_DrawCellText(locText, 1, r - 3);
    } else {
      ZW_DrawCellText(locText, 1, r - 5);
      snprintf(locText, sizeof(locText), "Available   : %d Kb", (int)(locNow.availPhys / 1000));
      ZW_DrawCellText(locText, 1, r - 4);
      snprintf(locText, sizeof(locText), "Total       : %d Kb", (int)(locNow.totalPhys / 1000));
      ZW_DrawCellText(locText, 1, r - 3);
    }
  }
  if (zwShell.fpsMode == ZW_FPS_CURRENT) {
    snprintf(locText, sizeof(locText), "FPS: %d", zwShell.lastFps);
    ZW_DrawCellText(locText, 1, r - 1);
  } else if (zwShell.fpsMode == ZW_FPS_MIN_MAX) {
    snprintf(locText, sizeof(locText), "FPS: %d (Min: %d, Max: %d)", zwShell.lastFps,
             zwShell.minFps, zwShell.maxFps);
    ZW_DrawCellText(locText, 1, r - 1);
  }
}

void ZW_Exit() {
  ZW_Print("Exit");
  ZW_PlatformExit();
}

void ZW_KeyDown(int aKey) {
  if (aKey == ZW_KEY_ESCAPE) {
    ZW_Exit();
    if (zwConsole.open) {
      ZW_ConsoleKey(aKey);
    }
  } else if (aKey == ZW_KEY_CONSOLE) {
    if (zwConsole.open) {
      zwConsole.open = 0;
    } else {
      zwConsole.open = 1;
      ZW_ConsoleKey(aKey);
    }
  } else if (zwConsole.open) {
    ZW_ConsoleKey(aKey);
  } else if (!zwControls.edited || zwControls.edited == zwControls.owner) {
    ZW_EditorKey(aKey, zwShell.controlKey != 0);
  }
  ZW_ControlsTextEntryKey(aKey);
}

// --- Commands -------------------------------------------------------------

void ZW_CmdCoreFPS() {
  ZW_RangeInt(&zwShell.fpsMode, ZW_ArgInt(1), ZW_FPS_OFF, ZW_FPS_MIN_MAX);
}

void ZW_CmdCoreMem() {
  ZW_RangeInt(&zwShell.memMode, ZW_ArgInt(1), ZW_MEM_OFF, ZW_MEM_FULL);
}

void ZW_CmdCoreResetFPS() {
  if (ZW_ArgInt(1) == ZW_QUERY) {
    ZW_SetResultError("Can't PEEK into a function");
    return;
  }
  zwShell.minFps = 9999;
  zwShell.lastFps = 0;
  zwShell.maxFps = 0;
}

void ZW_CmdCoreSync() {
  ZW_RangeInt(&zwShell.minFrameTime, ZW_ArgInt(1), 1, 100);
}

// The divisor must leave a cell of at least one unit: 1 to the screen width.
void ZW_CmdRenderFontSize() {
  if (ZW_RangeInt(&zwShell.fontDivisor, ZW_ArgInt(1), 1, zwShell.screenWidth)) {
    zwShell.cellSize = zwShell.screenWidth / zwShell.fontDivisor;
  }
}

void ZW_CmdRenderScreenRes() {
  ZW_RangeInt2(&zwShell.screenWidth, &zwShell.screenHeight, ZW_ArgInt(1), ZW_ArgInt(2),
               640, 1280, 480, 1024);
}

void ZW_CmdExit() {
  ZW_Exit();
}

void ZW_CmdExec() {
  char locPath[ZW_WORD_SIZE];
  snprintf(locPath, sizeof(locPath), "%s", ZW_Arg(1));
  ZW_RunScript(locPath);
}
