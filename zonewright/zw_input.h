// Input record: DirectInput states of the last poll, bindings, sensitivity.
#pragma once

enum { ZW_ACTION_COUNT = 6 };

struct ZW_Input {
  int mouseDX, mouseDY;
  unsigned char left, middle, right;
  int joyX, joyY;
  unsigned char joyButton0, joyButton1;
  unsigned char keys[256];
  int mouseAcquired, keyboardAcquired, joystickAcquired;
  int bindings[ZW_ACTION_COUNT];  // "Left", "Right", "Forward", "Back", "Jump", "Use"
  float mouseSens;
};

extern ZW_Input zwInput;
extern const char* const zwActionNames[ZW_ACTION_COUNT];

void ZW_InputReset();
bool ZW_LeftButtonDown();
bool ZW_RightButtonDown();

void ZW_CmdInputBind();
void ZW_CmdInputMouseSens();
