// Command interpreter, script files and the console line editor.
#include "zw_console.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "zw_keys.h"
#include "zw_platform.h"

ZW_Interpreter zwInterp;
ZW_Console zwConsole;

namespace {

int LowerCase(int c) {
  return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

void CopyText(char* aTarget, int aSize, const char* aSource) {
  snprintf(aTarget, aSize, "%s", aSource);
}

}  // namespace

bool ZW_EqualNoCase(const char* a, const char* b) {
  while (*a && LowerCase((unsigned char)*a) == LowerCase((unsigned char)*b)) {
    a++;
    b++;
  }
  return LowerCase((unsigned char)*a) == LowerCase((unsigned char)*b);
}

void ZW_ConsoleReset() {
  memset(&zwInterp, 0, sizeof(zwInterp));
  memset(&zwConsole, 0, sizeof(zwConsole));
  zwConsole.echo = ZW_ECHO_ON;
  zwConsole.markStart = zwConsole.markEnd = ZW_NO_MARK;
  zwConsole.historyPos = -1;
  zwConsole.completionMode = 1;
}

// --- Output ---------------------------------------------------------------

void ZW_Print(const char* aLine) {
  if (zwConsole.echo == ZW_ECHO_OFF) {
    return;
  }
  memmove(zwConsole.scrollBack[1], zwConsole.scrollBack[0],
          sizeof(zwConsole.scrollBack[0]) * (ZW_SCROLLBACK_LINES - 1));
  CopyText(zwConsole.scrollBack[0], ZW_LINE_SIZE, aLine);
  char locDebug[ZW_LINE_SIZE + 1];
  snprintf(locDebug, sizeof(locDebug), "%s\n", zwConsole.scrollBack[0]);
  ZW_DebugOutput(locDebug);
}

void ZW_Printf(const char* aFormat, ...) {
  char locText[ZW_LINE_SIZE];
  va_list locArgs;
  va_start(locArgs, aFormat);
  vsnprintf(locText, sizeof(locText), aFormat, locArgs);
  va_end(locArgs);
  ZW_Print(locText);
}

void ZW_SetResultError(const char* aText) {
  snprintf(zwInterp.result, ZW_RESULT_SIZE, "ERROR: %s !", aText);
}

void ZW_SetResultf(const char* aFormat, ...) {
  va_list locArgs;
  va_start(locArgs, aFormat);
  vsnprintf(zwInterp.result, ZW_RESULT_SIZE, aFormat, locArgs);
  va_end(locArgs);
}

const char* ZW_Result() {
  return zwInterp.result;
}

const char* ZW_CurrentCommandName() {
  return zwCommands[zwInterp.commandIndex].name;
}

// --- Parsing and execution ------------------------------------------------

void ZW_ParseLine(const char* aLine) {
  memset(zwInterp.word, 0, sizeof(zwInterp.word));
  memset(zwInterp.args, 0, sizeof(zwInterp.args));
  int locWord = -1;  // -1 before the command word, 0 the command word, 1..8 arguments
  int locPos = 0;
  bool locInWord = false;
  for (const char* p = aLine; *p; p++) {
    char* locSlot = locWord <= 0 ? zwInterp.word : zwInterp.args[locWord];
    if (*p == ' ') {
      if (locInWord) {
        // The space opens the next argument; its first character overwrites it.
        if (locWord == ZW_MAX_ARGS) {
          return;
        }
        locWord++;
        zwInterp.args[locWord][0] = ' ';
        locPos = 0;
        locInWord = false;
      }
      continue;
    }
    if (locWord < 0) {
      locWord = 0;
    }
    if (locPos < ZW_WORD_SIZE - 1) {
      locSlot[locPos++] = *p;
    }
    locInWord = true;
  }
}

int ZW_FindCommand(const char* aName) {
  int locCount = ZW_CommandCount();
  for (int i = 0; i < locCount; i++) {
    if (ZW_EqualNoCase(zwCommands[i].name, aName)) {
      return i;
    }
  }
  return -1;
}

bool ZW_Execute(const char* aLine) {
  ZW_ParseLine(aLine);
  zwInterp.result[0] = 0;
  int locIndex = ZW_FindCommand(zwInterp.word);
  if (locIndex < 0) {
    ZW_SetResultError("Syntax Error");
    return false;
  }
  if (zwInterp.args[1][0] == '?') {
    snprintf(zwInterp.args[1], ZW_WORD_SIZE, "%d", ZW_QUERY);
  }
  int locOuter = zwInterp.commandIndex;
  zwInterp.commandIndex = locIndex;
  zwInterp.result[0] = 0;
  zwCommands[locIndex].func();
  zwInterp.commandIndex = locOuter;
  return zwInterp.result[0] == 0;
}

const char* ZW_Arg(int anIndex) {
  if (anIndex < 1 || anIndex > ZW_MAX_ARGS) {
    return "";
  }
  return zwInterp.args[anIndex];
}

int ZW_ArgInt(int anIndex) {
  return atoi(ZW_Arg(anIndex));
}

float ZW_ArgFloat(int anIndex) {
  return (float)atof(ZW_Arg(anIndex));
}

// --- Range helpers --------------------------------------------------------

namespace {

bool InsideFloat(float aValue, float aLo, float aHi) {
  return aLo - 1 < aValue && aValue < aHi + 1;
}

}  // namespace

bool ZW_RangeInt(int* aTarget, int aValue, int aLo, int aHi) {
  if (aLo <= aValue && aValue <= aHi) {
    *aTarget = aValue;
    return true;
  }
  if (aValue == ZW_QUERY) {
    ZW_SetResultf("'%s' = %d.", ZW_CurrentCommandName(), *aTarget);
  } else {
    ZW_SetResultf("ERROR: Out of range (%d,%d) !", aLo, aHi);
  }
  return false;
}

bool ZW_RangeFloat(float* aTarget, float aValue, float aLo, float aHi) {
  if (InsideFloat(aValue, aLo, aHi)) {
    *aTarget = aValue;
    return true;
  }
  if (aValue == ZW_QUERY_FLOAT) {
    ZW_SetResultf("'%s' = %.6f.", ZW_CurrentCommandName(), *aTarget);
  } else {
    ZW_SetResultf("ERROR: Out of range (%.6f,%.6f) !", aLo, aHi);
  }
  return false;
}

bool ZW_RangeInt2(int* aTarget1, int* aTarget2, int aValue1, int aValue2,
                  int aLo1, int aHi1, int aLo2, int aHi2) {
  if (aLo1 <= aValue1 && aValue1 <= aHi1 && aLo2 <= aValue2 && aValue2 <= aHi2) {
    *aTarget1 = aValue1;
    *aTarget2 = aValue2;
    return true;
  }
  if (aValue1 == ZW_QUERY) {
    ZW_SetResultf("'%s' = %d, %d.", ZW_CurrentCommandName(), *aTarget1, *aTarget2);
  } else {
    ZW_SetResultf("ERROR: Out of range (%d,%d : %d,%d) !", aLo1, aHi1, aLo2, aHi2);
  }
  return false;
}

bool ZW_RangeFloat3(float aTarget[3], const float aValue[3], const float aLo[3], const float aHi[3]) {
  bool locInside = true;
  for (int i = 0; i < 3; i++) {
    locInside = locInside && InsideFloat(aValue[i], aLo[i], aHi[i]);
  }
  if (locInside) {
    for (int i = 0; i < 3; i++) {
      aTarget[i] = aValue[i];
    }
    return true;
  }
  if (aValue[0] == ZW_QUERY_FLOAT) {
    ZW_SetResultf("'%s' = %.2f, %.3f, %.3f.", ZW_CurrentCommandName(),
                  aTarget[0], aTarget[1], aTarget[2]);
  } else {
    ZW_SetResultf("ERROR: Out of range (%.1f,%.1f : %.1f,%.1f : %.1f,%.1f) !",
                  aLo[0], aHi[0], aLo[1], aHi[1], aLo[2], aHi[2]);
  }
  return false;
}

bool ZW_RangeFloat4(float aTarget[4], const float aValue[4], const float aLo[4], const float aHi[4]) {
  bool locInside = true;
  for (int i = 0; i < 4; i++) {
    locInside = locInside && InsideFloat(aValue[i], aLo[i], aHi[i]);
  }
  if (locInside) {
    for (int i = 0; i < 4; i++) {
      aTarget[i] = aValue[i];
    }
    return true;
  }
  if (aValue[0] == ZW_QUERY_FLOAT) {
    ZW_SetResultf("'%s' = %.0f, %.0f, %.0f, %.0f.", ZW_CurrentCommandName(),
                  aTarget[0], aTarget[1], aTarget[2], aTarget[3]);
  } else {
    ZW_SetResultf("ERROR: Out of range !");
  }
  return false;
}

// --- Script files ---------------------------------------------------------

bool ZW_RunScript(const char* aPath) {
  char locPath[ZW_LINE_SIZE];
  CopyText(locPath, sizeof(locPath), aPath);
  if (zwInterp.execDepth >= ZW_MAX_EXEC_DEPTH) {
    ZW_Printf("ERROR: '%s'... Scripts nested too deep!", locPath);
    return false;
  }
  FILE* locFile = fopen(locPath, "rb");
  if (!locFile) {
    ZW_Printf("ERROR: '%s'... No such file!", locPath);
    return false;
  }
  ZW_Printf("Running '%s'", locPath);
  zwInterp.execDepth++;
  char locLine[ZW_LINE_SIZE + 1];
  int locLength = 0;
  bool locComment = false;
  int c;
  while ((c = fgetc(locFile)) != EOF) {
    if (locComment) {
      if (c == '\n') {
        locComment = false;
      }
      continue;
    }
    if (c == '/') {
      locComment = true;
      continue;
    }
    if (locLength >= ZW_LINE_SIZE) {
      continue;  // an over-long line is never executed, nor is anything after it
    }
    locLine[locLength++] = (char)c;
    if (c == '\n') {
      // Drop the carriage return and the line feed.
      locLength = locLength >= 2 ? locLength - 2 : 0;
      locLine[locLength] = 0;
      if (locLength > 0) {
        ZW_Execute(locLine);
      }
      locLength = 0;
    }
  }
  fclose(locFile);
  zwInterp.execDepth--;
  return true;
}

// --- Console line editor --------------------------------------------------

int ZW_CommonPrefix(const char* a, const char* b) {
  int n = 0;
  while (a[n] && b[n] && LowerCase((unsigned char)a[n]) == LowerCase((unsigned char)b[n])) {
    n++;
  }
  return n;
}

int ZW_Complete(const char* aText) {
  int locBest = -1;
  int locBestLength = -1;
  int locCount = ZW_CommandCount();
  for (int i = 0; i < locCount; i++) {
    int locLength = ZW_CommonPrefix(aText, zwCommands[i].name);
    if (locLength > locBestLength) {
      locBest = i;
      locBestLength = locLength;
    }
  }
  return locBestLength == (int)strlen(aText) ? locBest : -1;
}

namespace {

void ClearMark() {
  zwConsole.markStart = zwConsole.markEnd = ZW_NO_MARK;
}

bool Marked() {
  return zwConsole.markStart != ZW_NO_MARK;
}

int LineLength() {
  return (int)strlen(zwConsole.line);
}

void SetLine(const char* aText) {
  CopyText(zwConsole.line, ZW_LINE_SIZE, aText);
  zwConsole.cursor = LineLength();
  ClearMark();
}

void RemoveRange(int aStart, int anEnd) {
  int locLength = LineLength();
  if (aStart < 0 || anEnd > locLength || aStart >= anEnd) {
    return;
  }
  memmove(zwConsole.line + aStart, zwConsole.line + anEnd, locLength - anEnd + 1);
}

// Extends the line to the table name it completes to and marks the added part.
void CompleteLine() {
  int locIndex = ZW_Complete(zwConsole.line);
  if (locIndex < 0) {
    return;
  }
  int locLength = LineLength();
  const char* locName = zwCommands[locIndex].name;
  int locNameLength = (int)strlen(locName);
  if (locNameLength <= locLength) {
    return;
  }
  memcpy(zwConsole.line + locLength, locName + locLength, locNameLength - locLength + 1);
  zwConsole.markStart = locLength;
  zwConsole.markEnd = locNameLength;
  zwConsole.cursor = locLength;
}

void ShowTablePage(int anIndex) {
  memset(zwConsole.scrollBack, 0, sizeof(zwConsole.scrollBack));
  int locEcho = zwConsole.echo;
  zwConsole.echo = ZW_ECHO_ON;
  int locFirst = anIndex - ZW_SCROLLBACK_LINES;
  for (int i = locFirst < 0 ? 0 : locFirst; i < anIndex; i++) {
    ZW_Print(zwCommands[i].name);
  }
  zwConsole.echo = locEcho;
}

void PageKey(int aDirection) {
  bool locMarkedBefore = Marked();
  char locText[ZW_LINE_SIZE];
  CopyText(locText, sizeof(locText), zwConsole.line);
  char* locSpace = strchr(locText, ' ');
  if (locSpace) {
    *locSpace = 0;
  }
  int locIndex = ZW_Complete(locText);
  int locNew;
  if (aDirection < 0) {
    if (locIndex <= 0) {
      return;
    }
    locNew = locMarkedBefore ? locIndex : locIndex - 1;
  } else {
    if (locIndex < 0 || (locIndex == ZW_CommandCount() - 1 && !locMarkedBefore)) {
      return;
    }
    locNew = locMarkedBefore ? locIndex : locIndex + 1;
  }
  SetLine(zwCommands[locNew].name);
  ShowTablePage(locNew);
}

void TabKey() {
  int locLength = LineLength();
  int c = zwConsole.cursor;
  if ((c > 0 && zwConsole.line[c - 1] == '.') ||
      (c > 0 && c == locLength && zwConsole.line[c - 1] == ' ')) {
    PageKey(1);
  } else if (locLength == 0) {
    SetLine(zwCommands[0].name);
  } else if (Marked()) {
    zwConsole.cursor = zwConsole.markEnd;
    ClearMark();
  } else if (c < locLength) {
    zwConsole.cursor++;
  }
}

void EnterKey() {
  char locLine[ZW_LINE_SIZE];
  CopyText(locLine, sizeof(locLine), zwConsole.line);
  SetLine("");
  zwConsole.historyPos = -1;
  zwConsole.cursor = 0;
  ZW_Print(locLine);
  if (locLine[0] == 0) {
    return;
  }
  if (!ZW_EqualNoCase(zwConsole.history[0], locLine)) {
    memmove(zwConsole.history[1], zwConsole.history[0],
            sizeof(zwConsole.history[0]) * (ZW_HISTORY_LINES - 1));
    CopyText(zwConsole.history[0], ZW_LINE_SIZE, locLine);
  }
  ZW_Execute(locLine);
  if (zwInterp.result[0]) {
    ZW_Print(zwInterp.result);
  }
}

void BackspaceKey() {
  if (Marked()) {
    if (zwConsole.cursor == 0) {
      RemoveRange(zwConsole.markStart, zwConsole.markEnd);
      ClearMark();
    } else {
      zwConsole.cursor--;
      zwConsole.markStart = zwConsole.cursor;
    }
    return;
  }
  if (zwConsole.cursor == 0) {
    return;
  }
  RemoveRange(zwConsole.cursor - 1, zwConsole.cursor);
  zwConsole.cursor--;
  CompleteLine();
}

}  // namespace

void ZW_ConsoleKey(int aKey) {
  int locLength = LineLength();
  switch (aKey) {
    case ZW_KEY_RETURN:
      EnterKey();
      return;
    case ZW_KEY_TAB:
      TabKey();
      return;
    case ZW_KEY_BACK:
      BackspaceKey();
      return;
    case ZW_KEY_DELETE:
      if (Marked()) {
        RemoveRange(zwConsole.markStart, zwConsole.markEnd);
        zwConsole.cursor = zwConsole.markStart;
        ClearMark();
      } else if (zwConsole.cursor < locLength) {
        RemoveRange(zwConsole.cursor, zwConsole.cursor + 1);
      }
      return;
    case ZW_KEY_INSERT:
      SetLine("");
      return;
    case ZW_KEY_HOME:
      zwConsole.cursor = 0;
      ClearMark();
      return;
    case ZW_KEY_END:
      zwConsole.cursor = locLength;
      ClearMark();
      return;
    case ZW_KEY_LEFT:
      ClearMark();
      if (zwConsole.cursor > 0) {
        zwConsole.cursor--;
      }
      return;
    case ZW_KEY_RIGHT:
      if (Marked()) {
        zwConsole.cursor = zwConsole.markEnd;
        ClearMark();
      } else if (zwConsole.cursor < locLength) {
        zwConsole.cursor++;
      }
      return;
    case ZW_KEY_UP:
      if (zwConsole.historyPos + 1 < ZW_HISTORY_LINES &&
          zwConsole.history[zwConsole.historyPos + 1][0]) {
        zwConsole.historyPos++;
        SetLine(zwConsole.history[zwConsole.historyPos]);
      }
      return;
    case ZW_KEY_DOWN:
      if (zwConsole.historyPos > 0) {
        zwConsole.historyPos--;
        SetLine(zwConsole.history[zwConsole.historyPos]);
      } else if (zwConsole.historyPos == 0) {
        zwConsole.historyPos = -1;
        SetLine("");
      }
      return;
    case ZW_KEY_PAGE_UP:
      PageKey(-1);
      return;
    case ZW_KEY_PAGE_DOWN:
      PageKey(1);
      return;
    default:
      break;
  }
  // The digit range reaches one code past '9'.
  bool locCompletionKey = aKey == ZW_KEY_SPACE || aKey == ZW_KEY_EQUALS ||
                          (aKey >= ZW_KEY_0 && aKey <= ZW_KEY_9 + 1) ||
                          (aKey >= ZW_KEY_NUMPAD_0 && aKey <= ZW_KEY_NUMPAD_9);
  if (locCompletionKey && Marked()) {
    TabKey();
  }
}
