// The "control." commands and "editor.neverEdit": properties of the active
// control, look-ups, parents and pages.
#include <cstdio>
#include <cstring>

#include "zw_console.h"
#include "zw_controls.h"
#include "zw_shell.h"

namespace {

const float kDegrees = 0.017453f;  // degrees to radians
const float kRadians = 57.29674f;  // radians to degrees

// The active control, or null with "No active object !" as the result.
ZW_Control* Active() {
  if (!zwControls.active) {
    ZW_SetResultError("No active object !");
  }
  return zwControls.active;
}

bool QueryFloat() {
  return ZW_ArgFloat(1) == ZW_QUERY_FLOAT;
}

// A name argument copied before it is used: look-ups may run further lines.
struct NameArg {
  char text[ZW_WORD_SIZE];
  explicit NameArg(int anIndex) { snprintf(text, sizeof(text), "%s", ZW_Arg(anIndex)); }
};

void SetRect(float aTarget[4]) {
  const float locValue[4] = {ZW_ArgFloat(1), ZW_ArgFloat(2), ZW_ArgFloat(3), ZW_ArgFloat(4)};
  const float locLo[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  const float locHi[4] = {1024.0f, 1024.0f, 1024.0f, 1024.0f};
  ZW_RangeFloat4(aTarget, locValue, locLo, locHi);
}

// posEnter, posLeave, posTarget: x, y in screen units and an angle in degrees.
void SetPosition(const char* aLabel, float aPos[2], float* anAngle) {
  if (QueryFloat()) {
    ZW_Printf("%s = %.3f %.3f %.3f", aLabel, aPos[0] / (float)zwShell.screenWidth,
              aPos[1] / (float)zwShell.screenHeight, *anAngle * kRadians);
    return;
  }
  aPos[0] = ZW_ArgFloat(1);
  aPos[1] = ZW_ArgFloat(2);
  *anAngle = ZW_ArgFloat(3) * kDegrees;
}

}  // namespace

void ZW_CmdControlList() {
  ZW_Print("--- Control list ---\n");
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    ZW_Printf(" %d   @   %d, %d", c->id, (int)c->pos[0], (int)c->pos[1]);
  }
}

void ZW_CmdControlActive() {
  NameArg locName(1);
  ZW_ControlLookUpName(locName.text);
}

void ZW_CmdControlActiveId() {
  ZW_ControlLookUpId(ZW_ArgInt(1));
}

void ZW_CmdControlAddChild() {
  NameArg locName(1);
  ZW_ControlAddChild(locName.text);
}

void ZW_CmdControlMother() {
  NameArg locName(1);
  ZW_ControlSetMother(locName.text);
}

void ZW_CmdControlCaptionPos() {
  ZW_Control* c = Active();
  if (c) {
    c->captionOffsetDesign[0] = c->captionOffset[0] = ZW_ArgFloat(1);
    c->captionOffsetDesign[1] = c->captionOffset[1] = ZW_ArgFloat(2);
  }
}

void ZW_CmdControlCaption() {
  ZW_Control* c = Active();
  if (!c) {
    return;
  }
  snprintf(c->caption, sizeof(c->caption), "%s", ZW_Arg(1));
  for (char* p = c->caption; *p; p++) {
    if (*p == '_') {
      *p = ' ';
    }
  }
}

void ZW_CmdControlClosePage() {
  NameArg locPage(1);
  ZW_ControlsClosePage(locPage.text);
}

void ZW_CmdControlCloseAll() {
  ZW_ControlsCloseAll();
}

void ZW_CmdControlOpenPage() {
  NameArg locPage(1);
  ZW_ControlsOpenPage(locPage.text);
}

void ZW_CmdControlSwitchPages() {
  NameArg locClose(1);
  NameArg locOpen(2);
  ZW_ControlsSwitchPages(locClose.text, locOpen.text, (float)ZW_ArgInt(3));
}

// The four arguments joined by single spaces; no argument gives three spaces.
void ZW_CmdControlCommand() {
  ZW_Control* c = Active();
  if (c) {
    snprintf(c->command, sizeof(c->command), "%s %s %s %s", ZW_Arg(1), ZW_Arg(2), ZW_Arg(3),
             ZW_Arg(4));
  }
}

void ZW_CmdControlDelete() {
  ZW_ControlDeleteActive();
}

void ZW_CmdControlDrag() {
  ZW_Control* c = Active();
  if (c) {
    c->drag[0] = (float)ZW_ArgInt(1) / 100.0f;
    c->drag[1] = (float)ZW_ArgInt(2) / 100.0f;
  }
}

void ZW_CmdControlElasticity() {
  ZW_Control* c = Active();
  if (c) {
    for (int i = 0; i < 3; i++) {
      c->elasticity[i] = (float)ZW_ArgInt(i + 1) / 100.0f;
    }
  }
}

void ZW_CmdControlFollowMouse() {
  ZW_Control* c = Active();
  if (c) {
    ZW_RangeInt(&c->draggable, ZW_ArgInt(1), 0, 1);
  }
}

void ZW_CmdControlFont() {
  ZW_Control* c = Active();
  if (!c) {
    return;
  }
  int locFont = ZW_ArgInt(1);
  if (locFont < 0 || locFont > 2) {
    ZW_Print("ERROR: No such font!");
    return;
  }
  c->font = locFont;
}

void ZW_CmdControlFontColor() {
  ZW_Control* c = Active();
  if (c) {
    c->captionColour = (uint32_t)(ZW_ArgInt(1) & 0xFF) << 24 | (uint32_t)(ZW_ArgInt(2) & 0xFF) << 16 |
                       (uint32_t)(ZW_ArgInt(3) & 0xFF) << 8 | (uint32_t)(ZW_ArgInt(4) & 0xFF);
  }
}

void ZW_CmdControlId() {
  ZW_Control* c = Active();
  if (c) {
    ZW_RangeInt(&c->id, ZW_ArgInt(1), -10000, 10000);
  }
}

void ZW_CmdControlImage() {
  ZW_Control* c = Active();
  if (c) {
    SetRect(c->image);
  }
}

void ZW_CmdControlImageDown() {
  ZW_Control* c = Active();
  if (c) {
    SetRect(c->imageDown);
  }
}

void ZW_CmdControlImageOver() {
  ZW_Control* c = Active();
  if (c) {
    SetRect(c->imageOver);
  }
}

void ZW_CmdControlMouseCursor() {
  ZW_Control* c = Active();
  if (c) {
    ZW_RangeInt(&c->cursor, ZW_ArgInt(1), 1, 7);
  }
}

void ZW_CmdControlName() {
  ZW_Control* c = Active();
  if (c) {
    snprintf(c->name, sizeof(c->name), "%s", ZW_Arg(1));
  }
}

void ZW_CmdControlNew() {
  ZW_ControlCreate(ZW_ArgFloat(1), ZW_ArgFloat(2), ZW_ArgFloat(3));
}

void ZW_CmdControlPosEnter() {
  ZW_Control* c = Active();
  if (c) {
    SetPosition("posEnter", c->enter, &c->enterAngle);
  }
}

void ZW_CmdControlPosLeave() {
  ZW_Control* c = Active();
  if (c) {
    SetPosition("posLeave", c->leave, &c->leaveAngle);
  }
}

void ZW_CmdControlPosTarget() {
  ZW_Control* c = Active();
  if (c) {
    SetPosition("posTarget", c->target, &c->targetAngle);
  }
}

void ZW_CmdControlPage() {
  ZW_Control* c = Active();
  if (c) {
    snprintf(c->page, sizeof(c->page), "%s", ZW_Arg(1));
  }
}

void ZW_CmdControlScale() {
  ZW_Control* c = Active();
  if (!c) {
    return;
  }
  if (QueryFloat()) {
    ZW_Printf("scale = %.3f %.3f", c->sizeDesign[0] / (float)zwShell.screenWidth,
              c->sizeDesign[1] / (float)zwShell.screenHeight);
    return;
  }
  c->sizeDesign[0] = c->size[0] = ZW_ArgFloat(1);
  c->sizeDesign[1] = c->size[1] = ZW_ArgFloat(2);
}

void ZW_CmdControlUvCoords() {
  ZW_Control* c = Active();
  if (!c) {
    return;
  }
  const char* const locLabels[3] = {"image", "imageOver", "imageDown"};
  const float* const locRects[3] = {c->image, c->imageOver, c->imageDown};
  for (int i = 0; i < 3; i++) {
    const float* r = locRects[i];
    ZW_Printf("%s = %.0f %.0f %.0f %.0f", locLabels[i], r[0], r[1], r[2], r[3]);
  }
}

void ZW_CmdControlZone() {
  ZW_Control* c = Active();
  if (!c) {
    return;
  }
  if (QueryFloat()) {
    float w = (float)zwShell.screenWidth, h = (float)zwShell.screenHeight;
    ZW_Printf("zone = %.3f %.3f %.3f %.3f", c->zone[0] / w, c->zone[1] / h, c->zone[2] / w,
              c->zone[3] / h);
    return;
  }
  for (int i = 0; i < 4; i++) {
    c->zone[i] = ZW_ArgFloat(i + 1);
  }
}

void ZW_CmdEditorNeverEdit() {
  NameArg locName(1);
  ZW_ControlMarkNeverEdit(locName.text);
}
