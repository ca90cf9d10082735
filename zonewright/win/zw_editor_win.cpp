// The map editor's platform seam on Windows: message box, open-file dialog,
// cursor and beep.
#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "zw_editor_platform.h"

bool ZW_AskYesNo(const char* aText, const char* aCaption) {
  return MessageBoxA(nullptr, aText, aCaption, MB_YESNO) == IDYES;
}

bool ZW_OpenMapDialog(char* aPath, int aSize) {
  OPENFILENAMEA locDialog;
  memset(&locDialog, 0, sizeof(locDialog));
  aPath[0] = '\0';
  locDialog.lStructSize = sizeof(locDialog);
  locDialog.hwndOwner = nullptr;
  locDialog.lpstrFilter = "IFII Instance file (*Instances.juice)\0*instances.juice\0";
  locDialog.nFilterIndex = 1;
  locDialog.lpstrFile = aPath;
  locDialog.nMaxFile = (DWORD)aSize;
  locDialog.lpstrInitialDir = "";
  locDialog.lpstrTitle = "Import Ironfield II map";
  locDialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  return GetOpenFileNameA(&locDialog) != 0;
}

void ZW_SetCursorShape(int aShape) {
  LPCSTR locShape = IDC_ARROW;
  if (aShape == ZW_CURSOR_CROSS) {
    locShape = IDC_CROSS;
  } else if (aShape == ZW_CURSOR_WAIT) {
    locShape = IDC_WAIT;
  }
  SetCursor(LoadCursorA(nullptr, locShape));
}

void ZW_Beep() {
  MessageBeep(MB_ICONASTERISK);
}
