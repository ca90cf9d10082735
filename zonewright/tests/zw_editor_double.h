// Test doubles of the map editor's platform seam.
#pragma once

#include <string>
#include <vector>

#include "zw_editor_platform.h"

struct ZW_EditorDouble {
  bool answerYes = true;           // the answer to the Yes/No box
  std::string dialogPath;          // the dialog's choice; empty: cancelled
  std::vector<std::string> questions;
  int dialogs = 0;
  std::vector<int> cursors;
  int beeps = 0;
};

extern ZW_EditorDouble zwEditorDouble;
