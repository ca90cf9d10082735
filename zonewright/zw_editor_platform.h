// The map editor's part of the platform seam: the Yes/No box, the open-file
// dialog, the cursor shape and the beep.
#pragma once

enum { ZW_CURSOR_ARROW = 1, ZW_CURSOR_CROSS = 2, ZW_CURSOR_WAIT = 3 };

// A message box without owner with Yes and No; true for Yes.
bool ZW_AskYesNo(const char* aText, const char* aCaption);
// The open-file dialog for an instances file; false when cancelled. aPath
// receives the chosen path (aSize bytes).
bool ZW_OpenMapDialog(char* aPath, int aSize);
// The system cursor of that shape.
void ZW_SetCursorShape(int aShape);
// MessageBeep with MB_ICONASTERISK.
void ZW_Beep();
