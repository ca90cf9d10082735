// Controls: list, look-ups, pages, parents, frame update and draw, press and
// click logic, spring, rescaling and text entry.
#include "zw_controls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "zw_console.h"
#include "zw_input.h"
#include "zw_props.h"
#include "zw_render.h"
#include "zw_shell.h"

ZW_Controls zwControls;
void (*zwControlDragHook)(ZW_Control* aControl);
void (*zwControlDragStartHook)(ZW_Control* aControl);
void (*zwControlDragEndHook)(ZW_Control* aControl);
void (*zwControlFreeHook)(ZW_Control* aControl);

namespace {

void CopyText(char* aTarget, int aSize, const char* aSource) {
  snprintf(aTarget, aSize, "%s", aSource);
}

void CopyRect(float aTarget[4], const float aSource[4]) {
  memcpy(aTarget, aSource, sizeof(float) * 4);
}

bool ButtonDown() {
  return ZW_LeftButtonDown() || ZW_RightButtonDown();
}

// A command of at most three characters (three spaces: none) counts as none.
bool HasCommand(const ZW_Control* aControl) {
  return strlen(aControl->command) > 3;
}

// Clears every reference of the control state to a control about to be freed.
void Forget(ZW_Control* c) {
  if (zwControls.cursor == c) {
    zwControls.cursor = nullptr;
  }
  if (zwControls.active == c) {
    zwControls.active = nullptr;
  }
  if (zwControls.edited == c) {
    zwControls.edited = zwControls.owner;
    zwControls.entryText = nullptr;
    zwControls.entryInt = nullptr;
    zwControls.entryFloat = nullptr;
  }
  if (zwControls.clickId == c->id) {
    zwControls.clickId = 0;
  }
  if (zwProps.target == c) {
    zwProps.target = zwControls.owner;
  }
  if (zwProps.colourTarget == &c->captionColour) {
    zwProps.colourTarget = nullptr;
  }
  if (zwControls.secondId == c->id) {
    zwControls.secondId = 0;
  }
}

// True when the control hangs from aRoot through its chain of mothers; the
// answers are remembered so that a whole list is judged in linear time.
bool HangsFrom(ZW_Control* c, ZW_Control* aRoot, std::unordered_map<ZW_Control*, bool>* aKnown) {
  std::vector<ZW_Control*> locChain;
  bool locResult = false;
  for (ZW_Control* p = c;; p = p->mother) {
    if (p == aRoot) {
      locResult = true;
      break;
    }
    auto locIt = aKnown->find(p);
    if (locIt != aKnown->end()) {
      locResult = locIt->second;
      break;
    }
    if (p->mother == p) {
      break;
    }
    (*aKnown)[p] = false;  // a cycle of mothers ends here as "not hanging"
    locChain.push_back(p);
  }
  for (ZW_Control* p : locChain) {
    (*aKnown)[p] = locResult;
  }
  return locResult;
}

// Frees a control and every control that hangs from it. The hidden owner is
// kept and becomes top-level.
// Returns the first control after aRoot in the list that stays.
ZW_Control* DeleteTree(ZW_Control* aRoot) {
  std::unordered_map<ZW_Control*, bool> locKnown;
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    HangsFrom(c, aRoot, &locKnown);
  }
  locKnown[aRoot] = true;
  if (zwControls.owner && locKnown[zwControls.owner]) {
    zwControls.owner->mother = zwControls.owner;
    locKnown[zwControls.owner] = false;
  }
  ZW_Control* locNext = nullptr;
  bool locAfterRoot = false;
  for (ZW_Control** p = &zwControls.head; *p;) {
    ZW_Control* c = *p;
    locAfterRoot = locAfterRoot || c == aRoot;
    if (locKnown[c]) {
      *p = c->next;
      Forget(c);
      if (zwControlFreeHook) {
        zwControlFreeHook(c);
      }
      delete c;
    } else {
      if (locAfterRoot && !locNext) {
        locNext = c;
      }
      p = &c->next;
    }
  }
  return locNext;
}

void LookUpFailed(const char* aNotFound, bool aPrintName) {
  if (!zwControls.active) {
    ZW_SetResultError("No active object !");
  } else if (ZW_ArgInt(1) == ZW_QUERY) {
    if (aPrintName) {
      ZW_Printf("%d: '%s'", zwControls.active->id, zwControls.active->name);
    } else {
      ZW_Printf("%d", zwControls.active->id);
    }
  } else {
    ZW_SetResultError(aNotFound);
  }
}

void CloseControl(ZW_Control* c) {
  if (ZW_ControlTopLevel(c)) {
    c->move = ZW_MoveSpring;
    c->goal[0] = c->leave[0];
    c->goal[1] = c->leave[1];
  } else {
    c->move = ZW_MoveFollowMother;
    c->goal[0] = c->mother->leave[0] + c->target[0];
    c->goal[1] = c->mother->leave[1] + c->target[1];
  }
  c->goalAngle = c->leaveAngle;
  c->hover = ZW_HoverNone;
}

// The edited control's caption without its last character (the caret); a
// caption that was full when its entry started has no caret to remove.
void RemoveCaret() {
  ZW_Control* e = zwControls.edited;
  if (zwControls.entryNoCaret) {
    zwControls.entryNoCaret = 0;
    return;
  }
  if (!e) {
    return;
  }
  size_t n = strlen(e->caption);
  if (n > 0) {
    e->caption[n - 1] = 0;
  }
}

void StartEntry(int aKind, int aMaxLength) {
  RemoveCaret();
  zwControls.edited = zwControls.active;
  zwControls.entryKind = aKind;
  zwControls.entryMaxLength = aMaxLength;
  zwControls.entryText = nullptr;
  zwControls.entryInt = nullptr;
  zwControls.entryFloat = nullptr;
}

void TypeChar(char aChar) {
  ZW_Control* e = zwControls.edited;
  int n = (int)strlen(e->caption);
  if (n >= zwControls.entryMaxLength + 1 || n + 1 >= ZW_CAPTION_SIZE) {
    return;
  }
  if (n > 0) {
    n--;
  }
  e->caption[n] = aChar;
  e->caption[n + 1] = '|';
  e->caption[n + 2] = 0;
}

void Commit() {
  RemoveCaret();
  ZW_Control* e = zwControls.edited;
  if (zwControls.entryKind == ZW_ENTRY_TEXT) {
    if (zwControls.entryText) {
      // The target may be the caption itself.
      char locText[ZW_CAPTION_SIZE];
      CopyText(locText, sizeof(locText), e->caption);
      CopyText(zwControls.entryText, zwControls.entryTextSize, locText);
    }
  } else if (zwControls.entryKind == ZW_ENTRY_INT) {
    int v = atoi(e->caption);
    v = v < zwControls.entryMin ? zwControls.entryMin : v > zwControls.entryMax ? zwControls.entryMax : v;
    if (zwControls.entryInt) {
      *zwControls.entryInt = v;
    }
    snprintf(e->caption, sizeof(e->caption), "%d", v);
  } else {
    float v = (float)atof(e->caption);
    float lo = (float)zwControls.entryMin, hi = (float)zwControls.entryMax;
    v = v != v ? lo : v < lo ? lo : v > hi ? hi : v;  // "nan" typed gives the minimum
    if (zwControls.entryFloat) {
      *zwControls.entryFloat = v;
    }
    snprintf(e->caption, sizeof(e->caption), "%.6f", v);
    if (zwControls.entryMaxLength >= 0 && zwControls.entryMaxLength < (int)sizeof(e->caption)) {
      e->caption[zwControls.entryMaxLength] = 0;
    }
  }
  zwControls.active = zwControls.owner;
  zwControls.edited = zwControls.owner;
  zwControls.entryText = nullptr;
  zwControls.entryInt = nullptr;
  zwControls.entryFloat = nullptr;
}

}  // namespace

int ZW_ScreenInt(float aValue) {
  if (!(aValue > -1.0e9f)) {
    return aValue != aValue ? 0 : -1000000000;
  }
  return aValue < 1.0e9f ? (int)aValue : 1000000000;
}

void ZW_ControlsReset() {
  while (zwControls.head) {
    ZW_Control* locNext = zwControls.head->next;
    delete zwControls.head;
    zwControls.head = locNext;
  }
  memset(&zwControls, 0, sizeof(zwControls));
  zwControlDragHook = nullptr;
  zwControlDragStartHook = nullptr;
  zwControlDragEndHook = nullptr;
  zwControlFreeHook = nullptr;
}

// --- Routines ---------------------------------------------------------------

void ZW_DrawVisible(ZW_Control* c) {
  float locSource[4];
  CopyRect(locSource, c->image);
  c->move(c);
  c->hover(c, locSource);
  ZW_DrawImage(ZW_ScreenInt(locSource[0]), ZW_ScreenInt(locSource[1]), ZW_ScreenInt(locSource[2]),
               ZW_ScreenInt(locSource[3]), ZW_ScreenInt(c->pos[0]), ZW_ScreenInt(c->pos[1]),
               ZW_ScreenInt(c->pos[0] + c->size[0]), ZW_ScreenInt(c->pos[1] + c->size[1]),
               c->texture ? *c->texture : nullptr, c->angle);
  if (c->caption[0] != '<' && c->caption[0] != 0) {
    ZW_DrawFontText(c->font, c->pos[0] + c->captionOffset[0], c->pos[1] + c->captionOffset[1],
                    c->captionColour, c->caption, 0);
  }
}

void ZW_DrawHidden(ZW_Control*) {}

void ZW_MoveSpring(ZW_Control* c) {
  float f = zwShell.frameFactor;
  c->velocity[0] += (c->goal[0] - c->pos[0]) * c->elasticity[0] * f;
  c->velocity[1] += (c->goal[1] - c->pos[1]) * c->elasticity[1] * f;
  c->velocity[2] += (c->goalAngle - c->angle) * c->elasticity[2] * f;
  c->velocity[0] += (c->drag[0] * c->velocity[0] - c->velocity[0]) * f;
  c->velocity[1] += (c->drag[0] * c->velocity[1] - c->velocity[1]) * f;
  c->velocity[2] += (c->drag[1] * c->velocity[2] - c->velocity[2]) * f;
  c->pos[0] += f * c->velocity[0];
  c->pos[1] += f * c->velocity[1];
  c->angle += f * c->velocity[2];
  if (-0.001f < c->velocity[0] && c->velocity[0] < 0.001f && -0.001f < c->velocity[1] &&
      c->velocity[1] < 0.001f && -0.00001f < c->velocity[2] && c->velocity[2] < 0.00001f) {
    c->velocity[0] = c->velocity[1] = c->velocity[2] = 0.0f;
    c->pos[0] = c->goal[0];
    c->pos[1] = c->goal[1];
    c->angle = c->goalAngle;
    c->move = ZW_MoveRest;
    if (c->hover == ZW_HoverNone) {
      c->draw = ZW_DrawHidden;
    }
  }
}

void ZW_MoveFollowMother(ZW_Control* c) {
  c->pos[0] = c->mother->pos[0] + c->target[0];
  c->pos[1] = c->mother->pos[1] + c->target[1];
  if (c->mother->draw == ZW_DrawHidden) {
    c->draw = ZW_DrawHidden;
  }
}

void ZW_MoveDrag(ZW_Control* c) {
  c->pos[0] = (float)zwShell.mouseX - c->goal[0];
  c->pos[1] = (float)zwShell.mouseY - c->goal[1];
  if (zwControlDragHook) {
    zwControlDragHook(c);
  }
  if (!ZW_LeftButtonDown()) {
    c->move = ZW_MoveRest;
    if (zwControlDragEndHook) {
      zwControlDragEndHook(c);
    }
  }
}

namespace {

void StartDrag(ZW_Control* c) {
  if (c->move != ZW_MoveDrag && zwControlDragStartHook) {
    zwControlDragStartHook(c);
  }
  c->move = ZW_MoveDrag;
}

}  // namespace

void ZW_MoveRest(ZW_Control*) {}

bool ZW_ControlInside(const ZW_Control* c, int aMouseX, int aMouseY) {
  float mx = (float)aMouseX, my = (float)aMouseY;
  return mx > c->pos[0] + c->zone[0] && my > c->pos[1] + c->zone[1] &&
         mx < c->pos[0] + c->zone[2] && my < c->pos[1] + c->zone[3];
}

void ZW_HoverInteractive(ZW_Control* c, float aSource[4]) {
  if (!ZW_ControlInside(c, zwShell.mouseX, zwShell.mouseY)) {
    return;
  }
  zwControls.cursorNumber = c->cursor;
  if (!ButtonDown()) {
    CopyRect(aSource, c->imageOver);
    return;
  }
  if (c->velocity[0] + c->velocity[1] != 0.0f) {
    return;
  }
  if (zwControls.clickId != 0 || (!HasCommand(c) && !c->draggable)) {
    CopyRect(aSource, zwControls.clickId == c->id ? c->imageDown : c->image);
  } else {
    zwControls.clickId = c->id;
    CopyRect(aSource, c->imageDown);
    if (c->draggable) {
      StartDrag(c);
      c->goal[0] = (float)zwShell.mouseX - c->pos[0];
      c->goal[1] = (float)zwShell.mouseY - c->pos[1];
    }
  }
  if (zwControls.secondId == 0 && (HasCommand(c) || c->draggable)) {
    zwControls.secondId = c->id;
    CopyRect(aSource, c->imageDown);
    if (c->draggable) {
      StartDrag(c);
    }
    return;
  }
  CopyRect(aSource, zwControls.secondId == c->id ? c->imageDown : c->image);
}

void ZW_HoverNone(ZW_Control*, float*) {}

// --- List -------------------------------------------------------------------

ZW_Control* ZW_ControlCreate(float aFx, float aFy, float) {
  ZW_Control* c = new ZW_Control();
  float w = (float)zwShell.screenWidth, h = (float)zwShell.screenHeight;
  c->draw = ZW_DrawVisible;
  c->move = ZW_MoveSpring;
  c->hover = ZW_HoverInteractive;
  c->id = rand();
  CopyText(c->page, sizeof(c->page), "<noPage>");
  CopyText(c->name, sizeof(c->name), "<Untitled>");
  c->captionColour = 0xFF000000u;
  c->texture = zwRender.systemTexture;
  c->mother = c;
  const float locImage[4] = {0.0f, 0.0f, 64.0f, 64.0f};
  CopyRect(c->image, locImage);
  CopyRect(c->imageOver, locImage);
  CopyRect(c->imageDown, locImage);
  c->cursor = 1;
  c->size[0] = c->size[1] = 0.1f * w;
  c->sizeDesign[0] = c->sizeDesign[1] = 0.1f * w;
  c->target[0] = aFx * w;
  c->target[1] = aFy * h;
  c->goal[0] = c->target[0];
  c->goal[1] = c->target[1];
  c->leave[0] = w;
  c->leave[1] = h;
  c->zone[2] = c->zone[3] = 0.1f;
  for (int i = 0; i < 3; i++) {
    c->elasticity[i] = 0.05f;
    c->worldPos[i] = c->basePos[i] = c->cameraPos[i] = c->cameraRot[i] = zwControls.defaultWorld[i];
  }
  c->drag[0] = c->drag[1] = 0.95f;
  CopyText(c->team, sizeof(c->team), "NOTEAM");
  c->next = zwControls.head;
  zwControls.head = c;
  zwControls.active = c;
  return c;
}

ZW_Control* ZW_ControlsCreateOwner() {
  ZW_Control* c = ZW_ControlCreate(0.0f, 0.0f, 0.0f);
  c->id = ZW_OWNER_ID;
  c->draw = ZW_DrawHidden;
  c->move = ZW_MoveRest;
  c->hover = ZW_HoverNone;
  c->neverEdit = 1;
  zwControls.owner = c;
  zwControls.edited = c;
  return c;
}

// The hidden owner stays: text entry falls back to it. Children of a deleted
// control are deleted with it; the control after it in the list becomes active.
void ZW_ControlDeleteActive() {
  ZW_Control* c = zwControls.active;
  if (!c || c == zwControls.owner) {
    return;
  }
  ZW_Control* locNext = DeleteTree(c);
  zwControls.cursor = locNext;
  zwControls.active = locNext;
}

bool ZW_ControlUnlink(ZW_Control* aControl) {
  for (ZW_Control** p = &zwControls.head; *p; p = &(*p)->next) {
    if (*p == aControl) {
      *p = aControl->next;
      aControl->next = nullptr;
      Forget(aControl);
      return true;
    }
  }
  return false;
}

void ZW_ControlInsertAt(ZW_Control* aControl, int anIndex) {
  ZW_Control** p = &zwControls.head;
  for (int i = 0; i < anIndex && *p; i++) {
    p = &(*p)->next;
  }
  aControl->next = *p;
  *p = aControl;
}

int ZW_ControlIndex(const ZW_Control* aControl) {
  int i = 0;
  for (const ZW_Control* c = zwControls.head; c; c = c->next, i++) {
    if (c == aControl) {
      return i;
    }
  }
  return -1;
}

void ZW_ControlDelete(ZW_Control* aControl) {
  if (aControl && aControl != zwControls.owner) {
    DeleteTree(aControl);
  }
}

ZW_Control* ZW_ControlFindName(const char* aName) {
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (ZW_EqualNoCase(c->name, aName)) {
      return c;
    }
  }
  return nullptr;
}

ZW_Control* ZW_ControlFindId(int anId) {
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (c->id == anId) {
      return c;
    }
  }
  return nullptr;
}

namespace {

// A look-up's end: the found control becomes active, else the failure.
bool Activate(ZW_Control* aFound, const char* aNotFound, bool aPrintName) {
  zwControls.cursor = aFound;
  if (aFound) {
    zwControls.active = aFound;
    return true;
  }
  LookUpFailed(aNotFound, aPrintName);
  return false;
}

}  // namespace

bool ZW_ControlLookUpName(const char* aName) {
  return Activate(ZW_ControlFindName(aName), "Not a valid control !", true);
}

bool ZW_ControlLookUpId(int anId) {
  return Activate(ZW_ControlFindId(anId), "Not a valid object !", false);
}

void ZW_ControlMarkNeverEdit(const char* aName) {
  ZW_Control* c = ZW_ControlFindName(aName);
  if (c) {
    c->neverEdit = 1;
  }
}

void ZW_ControlSetMother(const char* aName) {
  ZW_Control* locChild = zwControls.active;
  if (locChild && ZW_EqualNoCase(locChild->name, aName)) {
    return;
  }
  if (!ZW_ControlLookUpName(aName) || !locChild) {
    return;
  }
  locChild->mother = zwControls.active;
  locChild->move = ZW_MoveFollowMother;
  zwControls.active = locChild;
}

void ZW_ControlAddChild(const char* aName) {
  ZW_Control* locMother = zwControls.active;
  if (locMother && ZW_EqualNoCase(locMother->name, aName)) {
    return;
  }
  if (!ZW_ControlLookUpName(aName) || !locMother) {
    return;
  }
  ZW_Control* locChild = zwControls.active;
  locChild->mother = locMother;
  locChild->move = ZW_MoveFollowMother;
  zwControls.active = locMother;
}

bool ZW_ControlTopLevel(const ZW_Control* c) {
  return c->mother->id == c->id;
}

// --- Pages ------------------------------------------------------------------

void ZW_ControlsOpenPage(const char* aPage) {
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (!ZW_EqualNoCase(c->page, aPage)) {
      continue;
    }
    c->pos[0] = c->enter[0];
    c->pos[1] = c->enter[1];
    c->angle = c->enterAngle;
    c->goal[0] = c->target[0];
    c->goal[1] = c->target[1];
    c->goalAngle = c->targetAngle;
    c->move = ZW_ControlTopLevel(c) ? ZW_MoveSpring : ZW_MoveFollowMother;
    c->hover = ZW_HoverInteractive;
    c->draw = ZW_DrawVisible;
  }
}

void ZW_ControlsClosePage(const char* aPage) {
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (c->draw == ZW_DrawVisible && ZW_EqualNoCase(c->page, aPage)) {
      CloseControl(c);
    }
  }
}

void ZW_ControlsCloseAll() {
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (c->draw == ZW_DrawVisible) {
      CloseControl(c);
    }
  }
}

void ZW_ControlsSwitchPages(const char* aClose, const char* anOpen, float aDelay) {
  CopyText(zwControls.switchPage, sizeof(zwControls.switchPage), anOpen);
  zwControls.countdown = aDelay;
  zwControls.switching = 1;
  ZW_ControlsClosePage(aClose);
}

// --- Frame --------------------------------------------------------------------

void ZW_ControlsUseTexture(ZW_Texture* aSlot) {
  if (zwControls.active) {
    zwControls.active->texture = aSlot;
  }
}

void ZW_ControlsUpdateAndDraw() {
  ZW_Control* locImage = ZW_ControlFindName("winMapImage");
  if (locImage) {
    zwControls.cursor = locImage;
    zwControls.active = locImage;
    locImage->draw(locImage);
  }
  // A routine may delete controls (a command run from a click does so only
  // after the walk): take the link before drawing.
  for (ZW_Control* c = zwControls.head; c;) {
    ZW_Control* locNext = c->next;
    if (c->id != ZW_MAP_IMAGE_ID) {
      c->draw(c);
    }
    c = locNext;
  }
  if (zwControls.switching) {
    zwControls.countdown -= zwShell.frameFactor;
    if (zwControls.countdown <= 0.0f) {
      zwControls.switching = 0;
      ZW_ControlsOpenPage(zwControls.switchPage);
    }
  }
  if (zwControls.clickId != 0 && !ZW_LeftButtonDown()) {
    ZW_Control* c = ZW_ControlFindId(zwControls.clickId);
    zwControls.clickId = 0;
    if (c) {
      zwControls.cursor = c;
      zwControls.active = c;
      char locCommand[ZW_COMMAND_SIZE];
      CopyText(locCommand, sizeof(locCommand), c->command);
      if (ZW_ControlInside(c, zwShell.mouseX, zwShell.mouseY) && c->neverEdit) {
        ZW_Execute(locCommand);
      }
      ZW_Print(locCommand);
    }
  }
  if (zwControls.secondId != 0 && !ButtonDown()) {
    zwControls.secondId = 0;
  }
}

bool ZW_ControlsAtRest() {
  if (zwControls.switching || zwControls.clickId != 0 || zwControls.secondId != 0) {
    return false;
  }
  for (const ZW_Control* c = zwControls.head; c; c = c->next) {
    if (c->draw == ZW_DrawVisible && (c->move == ZW_MoveSpring || c->move == ZW_MoveDrag)) {
      return false;
    }
  }
  return true;
}

void ZW_ControlsRescale(float aScaleX, float aScaleY) {
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    c->pos[0] = aScaleX * c->target[0];
    c->pos[1] = aScaleY * c->target[1];
    c->size[0] = aScaleX * c->sizeDesign[0];
    c->size[1] = aScaleY * c->sizeDesign[1];
    c->zone[0] = 0.0f;
    c->zone[1] = 0.0f;
    c->captionOffset[0] = aScaleX * c->captionOffsetDesign[0];
    c->captionOffset[1] = aScaleY * c->captionOffsetDesign[1];
  }
}

// --- Text entry -------------------------------------------------------------

void ZW_TextEntryStartText(char* aTarget, int aTargetSize, int aMaxLength) {
  StartEntry(ZW_ENTRY_TEXT, aMaxLength);
  zwControls.entryText = aTarget;
  zwControls.entryTextSize = aTargetSize;
  ZW_Control* e = zwControls.edited;
  if (e) {
    size_t n = strlen(e->caption);
    if (n + 1 < sizeof(e->caption)) {
      e->caption[n] = '|';
      e->caption[n + 1] = 0;
    } else {
      zwControls.entryNoCaret = 1;
    }
  }
}

void ZW_TextEntryStartInt(int* aTarget, int aMaxLength, int aMin, int aMax) {
  StartEntry(ZW_ENTRY_INT, aMaxLength);
  zwControls.entryInt = aTarget;
  zwControls.entryMin = aMin;
  zwControls.entryMax = aMax;
  if (zwControls.edited) {
    CopyText(zwControls.edited->caption, sizeof(zwControls.edited->caption), "|");
  }
}

void ZW_TextEntryStartFloat(float* aTarget, int aMaxLength, int aMin, int aMax) {
  StartEntry(ZW_ENTRY_FLOAT, aMaxLength);
  zwControls.entryFloat = aTarget;
  zwControls.entryMin = aMin;
  zwControls.entryMax = aMax;
  if (zwControls.edited) {
    CopyText(zwControls.edited->caption, sizeof(zwControls.edited->caption), "|");
  }
}

namespace {

// Keys that type a character other than a letter or a digit.
const struct {
  int key;
  char typed;
} kTypedKeys[] = {
    {32, ' '}, {106, '*'}, {191, '*'}, {107, '+'}, {109, '-'}, {189, '-'}, {110, '.'},
    {190, '.'}, {111, '/'}, {186, '~'}, {187, '?'}, {188, ','}, {219, '"'}, {222, '_'},
};

// The character a key types, or 0.
char TypedChar(int aKey) {
  if (aKey >= 'A' && aKey <= 'Z') {
    return (char)(aKey - 'A' + 'a');
  }
  if (aKey >= '0' && aKey <= '9' + 1) {  // 58 types ":"
    return (char)aKey;
  }
  if (aKey >= 96 && aKey <= 105) {
    return (char)(aKey - 96 + '0');
  }
  for (const auto& locKey : kTypedKeys) {
    if (locKey.key == aKey) {
      return locKey.typed;
    }
  }
  return 0;
}

}  // namespace

void ZW_ControlsTextEntryKey(int aKey) {
  ZW_Control* e = zwControls.edited;
  if (zwConsole.open || !e) {
    return;
  }
  char locTyped = TypedChar(aKey);
  if (locTyped) {
    TypeChar(locTyped);
  } else if (aKey == 8) {
    int n = (int)strlen(e->caption);
    if (zwControls.entryNoCaret && n >= 1) {
      e->caption[n - 1] = '|';  // the last character goes, the caret comes
      zwControls.entryNoCaret = 0;
    } else if (n >= 2) {
      e->caption[n - 2] = '|';
      e->caption[n - 1] = 0;
    }
  } else if (aKey == 45 || aKey == 46) {
    CopyText(e->caption, sizeof(e->caption), "|");
    zwControls.entryNoCaret = 0;
  } else if (aKey == 13) {
    Commit();
  }
}
