// Command interpreter: line parsing, the command table, results, range helpers,
// script files, the console scroll-back, history and line editor.
#pragma once

#include <cstdint>

enum {
  ZW_QUERY = -99999999,      // the argument "?" reads as this value
  ZW_WORD_SIZE = 32,         // a word keeps at most 31 characters
  ZW_MAX_ARGS = 8,
  ZW_LINE_SIZE = 128,        // console lines, scroll-back and history lines
  ZW_RESULT_SIZE = 129,      // the command result: up to 128 characters
  ZW_SCROLLBACK_LINES = 10,
  ZW_HISTORY_LINES = 10,
  ZW_NO_MARK = -10,
  ZW_MAX_EXEC_DEPTH = 16     // nesting of "exec" within scripts
};

// Echo modes of the console: printing stores lines only while the mode is not
// ZW_ECHO_OFF; start-up sets ZW_ECHO_ON.
enum { ZW_ECHO_OFF = 0, ZW_ECHO_ON = 2 };

// The query value after conversion to single precision.
const float ZW_QUERY_FLOAT = -100000000.0f;

typedef void (*ZW_CommandFunc)();

struct ZW_Command {
  char name[ZW_WORD_SIZE];
  ZW_CommandFunc func;
};

struct ZW_Interpreter {
  char word[ZW_WORD_SIZE];
  char args[ZW_MAX_ARGS + 1][ZW_WORD_SIZE];  // args[1] .. args[8]; args[0] unused
  int commandIndex;
  char result[ZW_RESULT_SIZE];
  int execDepth;
};

struct ZW_Console {
  char scrollBack[ZW_SCROLLBACK_LINES][ZW_LINE_SIZE];  // [0] is the newest
  int echo;
  char line[ZW_LINE_SIZE];
  int cursor;
  int markStart, markEnd;
  int historyPos;
  int completionMode;
  char history[ZW_HISTORY_LINES][ZW_LINE_SIZE];        // [0] is the newest
  int open;
};

extern ZW_Interpreter zwInterp;
extern ZW_Console zwConsole;

// The command table, in its set order.
extern const ZW_Command zwCommands[];
int ZW_CommandCount();

// Resets interpreter and console to their start-up state.
void ZW_ConsoleReset();

// Parses and runs one line; true when the result is empty afterwards.
bool ZW_Execute(const char* aLine);

// Splits a line into zwInterp.word and zwInterp.args (exposed for tests).
void ZW_ParseLine(const char* aLine);

// Case-insensitive table look-up; -1 when the name is not in the table.
int ZW_FindCommand(const char* aName);

void ZW_Print(const char* aLine);
void ZW_Printf(const char* aFormat, ...) __attribute__((format(printf, 1, 2)));
void ZW_SetResultError(const char* aText);
void ZW_SetResultf(const char* aFormat, ...) __attribute__((format(printf, 1, 2)));
const char* ZW_Result();
const char* ZW_CurrentCommandName();

// Argument access: index 1 to 8; missing arguments read as "" and 0.
const char* ZW_Arg(int anIndex);
int ZW_ArgInt(int anIndex);
float ZW_ArgFloat(int anIndex);

// Range helpers: store the value(s) when inside the bounds, else leave the
// query answer or the range message in the result.
bool ZW_RangeInt(int* aTarget, int aValue, int aLo, int aHi);
bool ZW_RangeFloat(float* aTarget, float aValue, float aLo, float aHi);
bool ZW_RangeInt2(int* aTarget1, int* aTarget2, int aValue1, int aValue2,
                  int aLo1, int aHi1, int aLo2, int aHi2);
bool ZW_RangeFloat3(float aTarget[3], const float aValue[3], const float aLo[3], const float aHi[3]);
bool ZW_RangeFloat4(float aTarget[4], const float aValue[4], const float aLo[4], const float aHi[4]);

// Runs a script file; false when it cannot be opened.
bool ZW_RunScript(const char* aPath);

// The console line editor, one virtual-key code at a time.
void ZW_ConsoleKey(int aKey);

// Text comparison without regard to case (ASCII letters).
bool ZW_EqualNoCase(const char* a, const char* b);
// Length of the longest common prefix, without regard to case.
int ZW_CommonPrefix(const char* a, const char* b);
// Completion of a text against the table: index of the first name with the
// longest common prefix when the whole text is a prefix of it, else -1.
int ZW_Complete(const char* aText);
