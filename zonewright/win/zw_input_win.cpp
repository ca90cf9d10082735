// DirectInput 7: system mouse, system keyboard and the first attached joystick.
#define DIRECTINPUT_VERSION 0x0700
#include <windows.h>
#include <dinput.h>

#include <cstring>

#include "zw_input.h"
#include "zw_win.h"

namespace {

IDirectInputA* gInput;
IDirectInputDeviceA* gMouse;
IDirectInputDeviceA* gKeyboard;
IDirectInputDevice2A* gJoystick;
IDirectInputDeviceA* gJoystickFound;

BOOL CALLBACK FoundJoystick(LPCDIDEVICEINSTANCEA anInstance, LPVOID) {
  if (SUCCEEDED(gInput->CreateDevice(anInstance->guidInstance, &gJoystickFound, nullptr))) {
    return DIENUM_STOP;
  }
  gJoystickFound = nullptr;
  return DIENUM_CONTINUE;
}

bool SetAxisProperties(DWORD anOffset) {
  DIPROPRANGE locRange;
  locRange.diph.dwSize = sizeof(DIPROPRANGE);
  locRange.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  locRange.diph.dwObj = anOffset;
  locRange.diph.dwHow = DIPH_BYOFFSET;
  locRange.lMin = -1000;
  locRange.lMax = 1000;
  return SUCCEEDED(gJoystick->SetProperty(DIPROP_RANGE, &locRange.diph));
}

bool SetDeadZone(DWORD anOffset) {
  DIPROPDWORD locDead;
  locDead.diph.dwSize = sizeof(DIPROPDWORD);
  locDead.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  locDead.diph.dwObj = anOffset;
  locDead.diph.dwHow = DIPH_BYOFFSET;
  locDead.dwData = 1000;
  return SUCCEEDED(gJoystick->SetProperty(DIPROP_DEADZONE, &locDead.diph));
}

}  // namespace

bool ZWW_InputInit(HINSTANCE anInstance, HWND aWindow) {
  if (FAILED(DirectInputCreateA(anInstance, 0x0700, &gInput, nullptr))) {
    return false;
  }
  if (SUCCEEDED(gInput->CreateDevice(GUID_SysMouse, &gMouse, nullptr))) {
    gMouse->SetDataFormat(&c_dfDIMouse);
    gMouse->SetCooperativeLevel(aWindow, DISCL_FOREGROUND);
    if (FAILED(gMouse->Acquire())) {
      return false;
    }
    zwInput.mouseAcquired = 1;
  }
  if (SUCCEEDED(gInput->CreateDevice(GUID_SysKeyboard, &gKeyboard, nullptr))) {
    gKeyboard->SetDataFormat(&c_dfDIKeyboard);
    gKeyboard->SetCooperativeLevel(aWindow, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    if (FAILED(gKeyboard->Acquire())) {
      return false;
    }
    zwInput.keyboardAcquired = 1;
  }
  gInput->EnumDevices(DIDEVTYPE_JOYSTICK, FoundJoystick, nullptr, DIEDFL_ATTACHEDONLY);
  if (gJoystickFound) {
    HRESULT hr = gJoystickFound->QueryInterface(IID_IDirectInputDevice2A, (void**)&gJoystick);
    gJoystickFound->Release();
    gJoystickFound = nullptr;
    if (FAILED(hr)) {
      gJoystick = nullptr;
      return false;
    }
    gJoystick->SetDataFormat(&c_dfDIJoystick);
    gJoystick->SetCooperativeLevel(aWindow, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    if (!SetAxisProperties(DIJOFS_X) || !SetAxisProperties(DIJOFS_Y) || !SetDeadZone(DIJOFS_X) ||
        !SetDeadZone(DIJOFS_Y)) {
      return false;
    }
    if (FAILED(gJoystick->Acquire())) {
      return false;
    }
    zwInput.joystickAcquired = 1;
  }
  return true;
}

void ZWW_InputPoll() {
  if (zwInput.mouseAcquired) {
    DIMOUSESTATE locState;
    memset(&locState, 0, sizeof(locState));
    if (gMouse->GetDeviceState(sizeof(locState), &locState) == DIERR_INPUTLOST) {
      gMouse->Acquire();
    }
    zwInput.mouseDX = locState.lX;
    zwInput.mouseDY = locState.lY;
    zwInput.left = locState.rgbButtons[0];
    zwInput.right = locState.rgbButtons[1];
    zwInput.middle = locState.rgbButtons[2];
  }
  if (zwInput.keyboardAcquired) {
    if (gKeyboard->GetDeviceState(sizeof(zwInput.keys), zwInput.keys) == DIERR_INPUTLOST) {
      gKeyboard->Acquire();
    }
  }
  if (zwInput.joystickAcquired) {
    DIJOYSTATE locState;
    memset(&locState, 0, sizeof(locState));
    gJoystick->Poll();
    if (gJoystick->GetDeviceState(sizeof(locState), &locState) == DIERR_INPUTLOST) {
      gJoystick->Acquire();
    }
    zwInput.joyX = locState.lX;
    zwInput.joyY = locState.lY;
    zwInput.joyButton0 = locState.rgbButtons[0];
    zwInput.joyButton1 = locState.rgbButtons[1];
  }
}
