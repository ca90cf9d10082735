// Virtual-key codes that the wizard reads (the values of the Windows VK_
// names), so that portable code and tests name keys without <windows.h>.
#pragma once

enum ZW_Key {
  ZW_KEY_BACK = 8,
  ZW_KEY_TAB = 9,
  ZW_KEY_RETURN = 13,
  ZW_KEY_ESCAPE = 27,
  ZW_KEY_SPACE = 32,
  ZW_KEY_PAGE_UP = 33,
  ZW_KEY_PAGE_DOWN = 34,
  ZW_KEY_END = 35,
  ZW_KEY_HOME = 36,
  ZW_KEY_LEFT = 37,
  ZW_KEY_UP = 38,
  ZW_KEY_RIGHT = 39,
  ZW_KEY_DOWN = 40,
  ZW_KEY_INSERT = 45,
  ZW_KEY_DELETE = 46,
  ZW_KEY_0 = 48,             // the digits '0' to '9' follow in order
  ZW_KEY_9 = 57,
  ZW_KEY_NUMPAD_0 = 96,      // numeric-pad digits 0 to 9 follow in order
  ZW_KEY_NUMPAD_9 = 105,
  ZW_KEY_EQUALS = 187,       // the "=" / "+" key
  ZW_KEY_CONSOLE = 220       // "\": opens and closes the console
};
