#include "zw_input.h"

#include <cstring>

#include "zw_console.h"

ZW_Input zwInput;

const char* const zwActionNames[ZW_ACTION_COUNT] = {"Left", "Right", "Forward", "Back", "Jump", "Use"};

void ZW_InputReset() {
  memset(&zwInput, 0, sizeof(zwInput));
  zwInput.mouseSens = 500.0f;
}

bool ZW_LeftButtonDown() {
  return zwInput.left != 0;
}

bool ZW_RightButtonDown() {
  return zwInput.right != 0;
}

void ZW_CmdInputBind() {
  const char* locAction = ZW_Arg(1);
  for (int i = 0; i < ZW_ACTION_COUNT; i++) {
    if (ZW_EqualNoCase(locAction, zwActionNames[i])) {
      zwInput.bindings[i] = ZW_ArgInt(2);
      return;
    }
  }
}

void ZW_CmdInputMouseSens() {
  ZW_RangeFloat(&zwInput.mouseSens, ZW_ArgFloat(1), 0.0f, 2000.0f);
}
