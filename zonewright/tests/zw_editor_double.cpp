#include "zw_editor_double.h"

#include <cstdio>

ZW_EditorDouble zwEditorDouble;

bool ZW_AskYesNo(const char* aText, const char* aCaption) {
  zwEditorDouble.questions.push_back(std::string(aCaption) + "|" + aText);
  return zwEditorDouble.answerYes;
}

bool ZW_OpenMapDialog(char* aPath, int aSize) {
  zwEditorDouble.dialogs++;
  snprintf(aPath, aSize, "%s", zwEditorDouble.dialogPath.c_str());
  return !zwEditorDouble.dialogPath.empty();
}

void ZW_SetCursorShape(int aShape) {
  zwEditorDouble.cursors.push_back(aShape);
}

void ZW_Beep() {
  zwEditorDouble.beeps++;
}
