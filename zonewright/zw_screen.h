// The wizard's screen: the built-in script of "control." lines, the
// never-edit list, and the help box.
#pragma once

enum { ZW_SCREEN_SCRIPT_LINES = 434, ZW_NEVER_EDIT_NAMES = 114 };

extern const char* const zwScreenScript[ZW_SCREEN_SCRIPT_LINES];
extern const char* const zwNeverEditNames[ZW_NEVER_EDIT_NAMES];

// Start-up step 11: the script, the never-edit list, "control.closeAll" and
// "control.openPage pagMap", each line run through the interpreter.
void ZW_BuildScreen();

// "editor.showHelp".
void ZW_CmdEditorShowHelp();
