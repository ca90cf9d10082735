// Property editing commands: each starts a text entry into its target, or
// changes the font counter or the colour target at once.
#include "zw_props.h"

#include <cstdio>

#include "zw_console.h"
#include "zw_controls.h"

ZW_Props zwProps;

namespace {

enum { kFontCount = 4 };

// The maximum length of an entry: the caption holds 30 characters and the caret.
int MaxLength() {
  int n = ZW_ArgInt(1);
  return n < 0 ? 0 : n > ZW_CAPTION_SIZE - 2 ? ZW_CAPTION_SIZE - 2 : n;
}

void EnterText(char* aTarget, int aSize) {
  if (zwProps.target) {
    ZW_TextEntryStartText(aTarget, aSize, MaxLength());
  }
}

void EnterInt(int* aTarget) {
  ZW_TextEntryStartInt(aTarget, MaxLength(), ZW_ArgInt(2), ZW_ArgInt(3));
}

void EnterFloat(float* aTarget) {
  if (zwProps.target) {
    ZW_TextEntryStartFloat(aTarget, MaxLength(), ZW_ArgInt(2), ZW_ArgInt(3));
  }
}

// The target's font becomes the counter, whose number goes into the caption
// of "editConPropsFont" (or of the active control when that look-up fails).
void ShowFont() {
  if (zwProps.target) {
    zwProps.target->font = zwProps.fontCounter;
  }
  ZW_ControlLookUpName("editConPropsFont");
  if (zwControls.active) {
    snprintf(zwControls.active->caption, sizeof(zwControls.active->caption), "%d",
             zwProps.fontCounter);
  }
}

}  // namespace

void ZW_PropsReset() {
  zwProps = ZW_Props();
  zwProps.fontCount = kFontCount;
  zwProps.mapSnap = 10;
  zwProps.propSnap = 10;
}

void ZW_PropsInit() {
  zwProps.target = zwControls.owner;
  ZW_Control* locImage = ZW_ControlFindName("winMapImage");
  zwProps.colourTarget = locImage ? &locImage->captionColour : nullptr;
  zwProps.red = zwProps.green = zwProps.blue = zwProps.alpha = 0;
  zwProps.fontCount = kFontCount;
  zwProps.fontCounter = 0;
}

void ZW_CmdColPickSetRed() {
  EnterInt(&zwProps.red);
}

void ZW_CmdColPickSetGreen() {
  EnterInt(&zwProps.green);
}

void ZW_CmdColPickSetBlue() {
  EnterInt(&zwProps.blue);
}

void ZW_CmdColPickSetAlpha() {
  EnterInt(&zwProps.alpha);
}

void ZW_CmdColPickApplyColors() {
  if (zwProps.colourTarget) {
    *zwProps.colourTarget = (uint32_t)zwProps.alpha << 24 | ((uint32_t)zwProps.red << 16 & 0xFFFFFF) |
                            ((uint32_t)zwProps.green << 8 & 0xFFFF) | ((uint32_t)zwProps.blue & 0xFF);
  }
}

void ZW_CmdConPropsCaption() {
  if (zwProps.target) {
    EnterText(zwProps.target->caption, sizeof(zwProps.target->caption));
  }
}

void ZW_CmdConPropsCommand() {
  if (zwProps.target) {
    EnterText(zwProps.target->command, sizeof(zwProps.target->command));
  }
}

void ZW_CmdConPropsName() {
  if (zwProps.target) {
    EnterText(zwProps.target->name, sizeof(zwProps.target->name));
  }
}

void ZW_CmdConPropsPage() {
  if (zwProps.target) {
    EnterText(zwProps.target->page, sizeof(zwProps.target->page));
  }
}

void ZW_CmdConPropsCapNextFont() {
  zwProps.fontCounter++;
  if (zwProps.fontCounter >= zwProps.fontCount) {
    zwProps.fontCounter = 0;
  }
  ShowFont();
}

void ZW_CmdConPropsCapPrevFont() {
  zwProps.fontCounter--;
  if (zwProps.fontCounter < 0) {
    zwProps.fontCounter = zwProps.fontCount - 1;
  }
  ShowFont();
}

void ZW_CmdConPropsCapOffsX() {
  if (zwProps.target) {
    EnterFloat(&zwProps.target->captionOffset[0]);
  }
}

void ZW_CmdConPropsCapOffsY() {
  if (zwProps.target) {
    EnterFloat(&zwProps.target->captionOffset[1]);
  }
}

void ZW_CmdConPropsZoneLeft() {
  if (zwProps.target) {
    EnterFloat(&zwProps.target->zone[0]);
  }
}

void ZW_CmdConPropsZoneTop() {
  if (zwProps.target) {
    EnterFloat(&zwProps.target->zone[1]);
  }
}

void ZW_CmdConPropsZoneRight() {
  if (zwProps.target) {
    EnterFloat(&zwProps.target->zone[2]);
  }
}

void ZW_CmdConPropsZoneBottom() {
  if (zwProps.target) {
    EnterFloat(&zwProps.target->zone[3]);
  }
}

void ZW_CmdConPropsPokeSnap() {
  EnterInt(&zwProps.propSnap);
}

void ZW_CmdTexPickPokeSnap() {
  EnterInt(&zwProps.mapSnap);
}
