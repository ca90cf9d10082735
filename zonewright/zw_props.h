// Property editing: the "conProps.", "colPick." and "texPick." targets and
// values, edited through the controls' text entry.
#pragma once

#include <cstdint>

struct ZW_Control;

struct ZW_Props {
  ZW_Control* target;       // control whose properties "conProps." edits
  uint32_t* colourTarget;   // ARGB field written by "colPick.ApplyColors"
  int red, green, blue, alpha;
  int fontCount;
  int fontCounter;
  int mapSnap;              // used by the crop editing of the map editor
  int propSnap;
};

extern ZW_Props zwProps;

// Start-up values: no targets, picker 0, font count 4, snaps 10.
void ZW_PropsReset();
// Editor initialisation: the properties target is the hidden owner, the colour
// target the caption colour of "winMapImage" (when it exists).
void ZW_PropsInit();

void ZW_CmdColPickSetRed();
void ZW_CmdColPickSetGreen();
void ZW_CmdColPickSetBlue();
void ZW_CmdColPickSetAlpha();
void ZW_CmdColPickApplyColors();
void ZW_CmdConPropsCaption();
void ZW_CmdConPropsCapNextFont();
void ZW_CmdConPropsCapOffsX();
void ZW_CmdConPropsCapOffsY();
void ZW_CmdConPropsCapPrevFont();
void ZW_CmdConPropsCommand();
void ZW_CmdConPropsName();
void ZW_CmdConPropsPage();
void ZW_CmdConPropsPokeSnap();
void ZW_CmdConPropsZoneLeft();
void ZW_CmdConPropsZoneTop();
void ZW_CmdConPropsZoneRight();
void ZW_CmdConPropsZoneBottom();
void ZW_CmdTexPickPokeSnap();
