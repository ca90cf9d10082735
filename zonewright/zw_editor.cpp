// The map editor: modes, crop editing, zone markers with their labels, mirrored
// pairs, removal and undo, import with the resume of a mission, the balance
// report and export.
#include "zw_editor.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "zw_balance.h"
#include "zw_console.h"
#include "zw_controls.h"
#include "zw_editor_platform.h"
#include "zw_export.h"
#include "zw_files.h"
#include "zw_input.h"
#include "zw_keys.h"
#include "zw_map.h"
#include "zw_props.h"
#include "zw_render.h"
#include "zw_shell.h"

ZW_Editor zwEditor;

namespace {

const char kErrorCaption[] = "zonewright Error";
const char kConfirmText[] =
    "NOTE: You are about to modify your *.juice files.\nAll previous scripting and object "
    "placement on this\nmap will be lost! Are you sure?";
const float kReleasedLook[4] = {0, 16, 48, 40};
const float kPressedLook[4] = {48, 16, 96, 40};
const float kImageOffsetY = 41;  // winMapImage's offset below winMapHandle
const float kAboveScreen = 32;   // the map image lies this far above the screen
const int kLabelFont = 1;        // bold, as the map window's own caption
const uint32_t kLabelColour = 0xFFFFFFFFu;
const int kMinPlayfield = 600;  // world units, the narrowest playfield without a warning
const int kTeamedLzs = 16;      // later LZs start in team 1 again
const float kMirrorTextIndent = 4;   // the mirror mode from the playfield's corner
const float kMirrorTextHeight = 16;  // ... and above its top line
const char* const kMirrorNames[] = {"", "Mirror: point", "Mirror: vertical", "Mirror: horizontal"};

// --- Mirrored pairs -----------------------------------------------------------

// Two markers of a kind placed together; each mirrors the other in its mode.
struct Pair {
  ZW_Control* a;
  ZW_Control* b;
  int mode;
};

std::vector<Pair> ourPairs;

Pair* PairOf(const ZW_Control* c) {
  for (Pair& p : ourPairs) {
    if (p.a == c || p.b == c) {
      return &p;
    }
  }
  return nullptr;
}

ZW_Control* OtherOf(const Pair& p, const ZW_Control* c) {
  return p.a == c ? p.b : p.a;
}

// Takes the pair of a marker out of the list of pairs; false when it has none.
bool BreakPair(const ZW_Control* c, Pair* aPair) {
  for (size_t i = 0; i < ourPairs.size(); i++) {
    if (ourPairs[i].a == c || ourPairs[i].b == c) {
      *aPair = ourPairs[i];
      ourPairs.erase(ourPairs.begin() + (long)i);
      return true;
    }
  }
  return false;
}

// --- Undo -------------------------------------------------------------------

enum StepKind { STEP_PLACE, STEP_DRAG, STEP_CROP, STEP_REMOVE };

// Where a marker was: screen position, rescale target and world position.
struct MarkerState {
  ZW_Control* marker;
  float pos[2];
  float target[2];
  float world[3];
};

struct Step {
  StepKind kind;
  ZW_Control* marker;              // placed, dragged or removed
  int index;                       // a removed marker's place in the list
  ZW_Control* twin;                // placed or removed with the marker
  int twinIndex;                   // a removed twin's place in the list
  Pair pair;                       // the pair that a removal broke up (a null: none)
  MarkerState before;              // a dragged marker before its drag
  ZW_Crop crop;                    // the crop rectangle before its change
  std::vector<MarkerState> moved;  // markers that the new crop moved, before it
};

struct UndoState {
  std::deque<Step> steps;         // oldest first
  ZW_Control* placing = nullptr;  // placed by the press that still drags it
  ZW_Control* dragged = nullptr;  // the marker whose drag runs
  MarkerState dragStart = {};
  ZW_Control* twinDragged = nullptr;  // the twin that follows the drag mirrored
  MarkerState twinStart = {};
  bool twinClamped = false;  // the twin's mirrored place lay outside the playfield
  bool cropDragging = false;  // from the right press on the map image to its release
  bool cropMoved = false;     // the pointer moved while the press was held
  int cropPress[2] = {0, 0};  // the pointer at the press
  float cropCorner[2] = {0, 0};  // the first corner, in map pixels
  ZW_Crop cropStart = {};
  bool labelsDirty = true;
};

UndoState ourUndo;

MarkerState StateOf(ZW_Control* c) {
  MarkerState s;
  s.marker = c;
  memcpy(s.pos, c->pos, sizeof(s.pos));
  memcpy(s.target, c->target, sizeof(s.target));
  memcpy(s.world, c->worldPos, sizeof(s.world));
  return s;
}

void Restore(const MarkerState& s) {
  ZW_Control* c = s.marker;
  memcpy(c->pos, s.pos, sizeof(s.pos));
  memcpy(c->target, s.target, sizeof(s.target));
  memcpy(c->worldPos, s.world, sizeof(s.world));
}

bool SamePlace(const MarkerState& a, const MarkerState& b) {
  return memcmp(a.pos, b.pos, sizeof(a.pos)) == 0 && memcmp(a.world, b.world, sizeof(a.world)) == 0;
}

// Frees what a step owns: a removed marker (and twin) out of the list.
void DropStep(Step* aStep) {
  if (aStep->kind == STEP_REMOVE && aStep->marker) {
    delete aStep->marker;
    delete aStep->twin;
    aStep->marker = nullptr;
    aStep->twin = nullptr;
  }
}

void ClearSteps() {
  for (Step& s : ourUndo.steps) {
    DropStep(&s);
  }
  ourUndo.steps.clear();
}

void PushStep(Step aStep) {
  if (ourUndo.steps.size() >= ZW_UNDO_DEPTH) {
    DropStep(&ourUndo.steps.front());
    ourUndo.steps.pop_front();
  }
  ourUndo.steps.push_back(std::move(aStep));
}

bool StepRefers(const Step& aStep, const ZW_Control* c) {
  if (aStep.marker == c || aStep.twin == c || aStep.pair.a == c || aStep.pair.b == c) {
    return true;
  }
  for (const MarkerState& m : aStep.moved) {
    if (m.marker == c) {
      return true;
    }
  }
  return false;
}

// --- Screen helpers ---------------------------------------------------------

// "LZ 2" or "VL 1": a marker's kind and the number the export gives it.
void MarkerName(const ZW_Control* aMarker, char* aName, size_t aSize) {
  int n = 0;
  for (const ZW_Control* c = zwControls.head; c; c = c->next) {
    n += c->zoneKind == aMarker->zoneKind ? 1 : 0;
    if (c == aMarker) {
      break;
    }
  }
  snprintf(aName, aSize, "%s %d", aMarker->zoneKind == ZW_ZONE_LANDING ? "LZ" : "VL", n);
}

// A line for a marker that now stands where it is drawn.
void PrintMarkerPlace(const ZW_Control* c) {
  char locName[16];
  MarkerName(c, locName, sizeof(locName));
  ZW_Printf("%s at %.0f, %.0f", locName, c->worldPos[0], c->worldPos[2]);
}

// Reports a failure of the editor: a printed line, a message box and the
// command result.
void ReportError(const char* aFormat, const char* aValue) {
  char locText[ZW_PATH_SIZE + 64];
  snprintf(locText, sizeof(locText), aFormat, aValue);
  ZW_Print(locText);
  ZW_MessageBox(locText, kErrorCaption);
  ZW_SetResultf("%s", locText);
}

ZW_Control* MapImage() {
  return ZW_ControlFindName("winMapImage");
}

void SetTargetX(const char* aName, float anX) {
  ZW_Control* c = ZW_ControlFindName(aName);
  if (c) {
    c->target[0] = anX;
  }
}

void SetCaption(const char* aName, const char* aCaption) {
  ZW_Control* c = ZW_ControlFindName(aName);
  if (c) {
    snprintf(c->caption, sizeof(c->caption), "%s", aCaption);
  }
}

// Gives the looked-up button its image and image over through command lines.
void SetButtonLook(const char* aName, const float aLook[4]) {
  if (!ZW_ControlLookUpName(aName)) {
    return;
  }
  char locLine[ZW_LINE_SIZE];
  snprintf(locLine, sizeof(locLine), "control.image %g %g %g %g", aLook[0], aLook[1], aLook[2], aLook[3]);
  ZW_Execute(locLine);
  snprintf(locLine, sizeof(locLine), "control.imageOver %g %g %g %g", aLook[0], aLook[1], aLook[2], aLook[3]);
  ZW_Execute(locLine);
}

void ReleaseZoneButtons() {
  SetButtonLook("editMapApplyImage", kReleasedLook);
  SetButtonLook("editMapApplyOver", kReleasedLook);
}

// Rounds toward zero to a multiple of the snap value (at least 1).
float Snap(float aValue) {
  int locSnap = zwProps.mapSnap > 0 ? zwProps.mapSnap : 1;
  return (float)((int)aValue / locSnap * locSnap);
}

float Clamp(float aValue, float aLow, float aHigh) {
  if (aValue < aLow) {
    aValue = aLow;
  }
  return aValue > aHigh ? aHigh : aValue;
}

int ClampInt(int aValue, int aLow, int aHigh) {
  return aValue < aLow ? aLow : aValue > aHigh ? aHigh : aValue;
}

bool IsMarker(const ZW_Control* c) {
  return c->zoneKind == ZW_ZONE_LANDING || c->zoneKind == ZW_ZONE_VICTORY;
}

// Half the side of a marker: 12 for an LZ, 16 for a VL.
float HalfSide(const ZW_Control* c) {
  return c->zoneKind == ZW_ZONE_LANDING ? 12.0f : 16.0f;
}

// The rescale puts a control at scale x target: the target follows the marker.
void FollowTarget(ZW_Control* c) {
  for (int i = 0; i < 2; i++) {
    float locScale = i == 0 ? zwShell.scaleX : zwShell.scaleY;
    c->target[i] = locScale > 0 ? c->pos[i] / locScale : c->pos[i];
  }
}

// World position of a marker from its screen position; the height is read
// from the height map under it, scaled from the 512 map pixels to the height
// map's size.
void MarkerWorld(ZW_Control* c) {
  float k = HalfSide(c);
  float u = c->pos[0] + k;
  float v = c->pos[1] + k + kAboveScreen;
  c->worldPos[0] = (float)ZW_WORLD_SIZE - u * ZW_WORLD_PER_PIXEL;
  c->worldPos[2] = v * ZW_WORLD_PER_PIXEL;
  int w = 0, h = 0;
  if (!zwEditor.heightMap || !ZW_TextureSize(*zwEditor.heightMap, &w, &h) || w <= 0 || h <= 0) {
    return;
  }
  int locColumn = ClampInt((int)((long long)ZW_ScreenInt(u) * w / ZW_MAP_PIXELS), 0, w - 1);
  int locRow = ClampInt((int)((long long)ZW_ScreenInt(v) * h / ZW_MAP_PIXELS), 0, h - 1);
  float locTexel[4];
  if (ZW_SampleHeight(*zwEditor.heightMap, locColumn, locRow, locTexel)) {
    c->worldPos[1] = 127.0f * locTexel[0];
  }
}

// Holds the top-left (x, y) of a marker of side aSide inside the crop rectangle.
void ClampToCrop(const ZW_Crop& r, float aSide, float* x, float* y) {
  *x = Clamp(*x, r.left, r.right - aSide);
  *y = Clamp(*y, r.top - kAboveScreen, r.bottom - aSide - kAboveScreen);
}

// Puts a twin at the mirrored place of a marker in the crop rectangle, held
// inside it, with the world position of a placement there; true when the
// mirrored place lay outside and the twin was held.
bool MirrorTwin(const ZW_Control* c, ZW_Control* aTwin, int aMode) {
  const ZW_Crop& r = zwMap.crop;
  float k = HalfSide(c);
  float x = c->pos[0], y = c->pos[1];
  if (aMode == ZW_MIRROR_POINT || aMode == ZW_MIRROR_VERTICAL) {
    x = r.left + r.right - (x + k) - k;
  }
  if (aMode == ZW_MIRROR_POINT || aMode == ZW_MIRROR_HORIZONTAL) {
    // Centres on the map image lie kAboveScreen below the screen position.
    y = r.top + r.bottom - (y + k + kAboveScreen) - k - kAboveScreen;
  }
  float locX = x, locY = y;
  ClampToCrop(r, 2 * k, &x, &y);
  aTwin->pos[0] = aTwin->goal[0] = x;
  aTwin->pos[1] = aTwin->goal[1] = y;
  aTwin->move = ZW_MoveRest;
  FollowTarget(aTwin);
  MarkerWorld(aTwin);
  const float kRounding = 0.001f;
  return fabsf(x - locX) > kRounding || fabsf(y - locY) > kRounding;
}

// Order the corners, keep them on the map, update the lines and move every
// marker inside the rectangle; a marker that moves gets the world position of
// its new place. aMoved (if given) receives the markers moved, as they were.
void FinishCrop(ZW_Control* anImage, std::vector<MarkerState>* aMoved) {
  ZW_Crop& r = zwMap.crop;
  if (r.left > r.right) {
    float t = r.left;
    r.left = r.right;
    r.right = t;
  }
  if (r.top > r.bottom) {
    float t = r.top;
    r.top = r.bottom;
    r.bottom = t;
  }
  if (r.right > ZW_MAP_PIXELS) {
    r.right = ZW_MAP_PIXELS;
  }
  if (r.bottom > ZW_MAP_PIXELS) {
    r.bottom = ZW_MAP_PIXELS;
  }
  ZW_EditorUpdateCropLines();
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (IsMarker(c)) {
      float x = c->pos[0], y = c->pos[1];
      ClampToCrop(r, 2 * HalfSide(c), &x, &y);
      if (x != c->pos[0] || y != c->pos[1]) {
        if (aMoved) {
          aMoved->push_back(StateOf(c));
        }
        c->pos[0] = x;
        c->pos[1] = y;
        FollowTarget(c);
        MarkerWorld(c);
      }
    }
  }
  anImage->zone[2] = 0;
  anImage->zone[3] = 0;
}

bool SameCrop(const ZW_Crop& a, const ZW_Crop& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom &&
         a.worldLeft == b.worldLeft && a.worldTop == b.worldTop && a.worldRight == b.worldRight &&
         a.worldBottom == b.worldBottom;
}

// The end of a crop drag: one step, with every marker that the new rectangle
// moved, when it changed anything.
void EndCropDrag(ZW_Control* anImage) {
  ourUndo.cropDragging = false;
  const ZW_Crop& r = zwMap.crop;
  Step locStep = {};
  locStep.kind = STEP_CROP;
  locStep.crop = ourUndo.cropStart;
  FinishCrop(anImage, &locStep.moved);
  if (!SameCrop(locStep.crop, r) || !locStep.moved.empty()) {
    ZW_Printf("Playfield %d:%d:%d:%d", r.worldLeft, r.worldTop, r.worldRight, r.worldBottom);
    PushStep(std::move(locStep));
  }
}

void CropEditing() {
  ZW_SetCursorShape(ZW_CURSOR_ARROW);
  ZW_Control* locImage = MapImage();
  if (!locImage) {
    return;
  }
  locImage->zone[0] = locImage->zone[1] = 0;
  locImage->zone[2] = locImage->zone[3] = ZW_MAP_PIXELS;
  bool locOver = ZW_ControlInside(locImage, zwShell.mouseX, zwShell.mouseY);
  const ZW_Control* locWindow = locImage->mother;
  float locPixelX = (float)zwShell.mouseX - locWindow->pos[0];
  float locPixelY = (float)zwShell.mouseY - (locWindow->pos[1] + kImageOffsetY);
  ZW_Crop& r = zwMap.crop;
  if (ZW_RightButtonDown() && zwControls.secondId == 0 && locOver) {
    if (ourUndo.cropDragging) {
      EndCropDrag(locImage);  // released and pressed again between two frames
    }
    ZW_Print("ok");
    // The rectangle changes only when the pointer moves: a click changes nothing.
    ourUndo.cropDragging = true;
    ourUndo.cropMoved = false;
    ourUndo.cropStart = r;
    ourUndo.cropPress[0] = zwShell.mouseX;
    ourUndo.cropPress[1] = zwShell.mouseY;
    ourUndo.cropCorner[0] = Snap(locPixelX);
    ourUndo.cropCorner[1] = Snap(locPixelY);
  } else if (ourUndo.cropDragging && zwControls.secondId != 0) {
    // The drag runs while the press is held, wherever the pointer goes; the
    // opposite corner follows it over the map image.
    ourUndo.cropMoved = ourUndo.cropMoved || zwShell.mouseX != ourUndo.cropPress[0] ||
                        zwShell.mouseY != ourUndo.cropPress[1];
    if (ourUndo.cropMoved && zwControls.clickId == 0 && locOver) {
      r.left = ourUndo.cropCorner[0];
      r.top = ourUndo.cropCorner[1];
      r.right = Snap(locPixelX + (float)zwProps.mapSnap);
      r.bottom = Snap(locPixelY + (float)zwProps.mapSnap);
      ZW_EditorUpdateCropLines();
    }
  } else if (ourUndo.cropDragging) {
    EndCropDrag(locImage);
  } else {
    FinishCrop(locImage, nullptr);
  }
  char locCaption[ZW_CAPTION_SIZE];
  snprintf(locCaption, sizeof(locCaption), "UV:%d:%d:%d:%d", r.worldLeft, r.worldTop, r.worldRight,
           r.worldBottom);
  SetCaption("txtMapCoords", locCaption);
  if (!zwEditor.cropLinesPlaced) {
    ZW_EditorUpdateCropLines();
    zwEditor.cropLinesPlaced = 1;
  }
  ZW_Control* locHandle = ZW_ControlFindName("winMapHandle");
  if (locHandle) {
    locHandle->pos[0] = 0;
    locHandle->pos[1] = -73;
  }
}

void SetZone(ZW_Control* c, float aLeft, float aTop, float aRight, float aBottom) {
  c->zone[0] = aLeft;
  c->zone[1] = aTop;
  c->zone[2] = aRight;
  c->zone[3] = aBottom;
}

void SetImages(ZW_Control* c, float aLeft, float aTop, float aRight, float aBottom) {
  const float locRect[4] = {aLeft, aTop, aRight, aBottom};
  memcpy(c->image, locRect, sizeof(locRect));
  memcpy(c->imageOver, locRect, sizeof(locRect));
  memcpy(c->imageDown, locRect, sizeof(locRect));
}

// A new marker of a kind with its top-left at (x, y), at the head of the list.
ZW_Control* CreateMarker(int aKind, float x, float y) {
  bool locLz = aKind == ZW_ZONE_LANDING;
  ZW_Control* c = ZW_ControlCreate(0, 0, 0);
  snprintf(c->page, sizeof(c->page), "pagMap2");
  c->enter[0] = c->target[0] = c->leave[0] = c->pos[0] = c->goal[0] = x;
  c->enter[1] = c->target[1] = c->leave[1] = c->pos[1] = c->goal[1] = y;
  c->enterAngle = c->targetAngle = c->leaveAngle = c->angle = c->goalAngle = 0;
  ZW_TextureEntry* locTexture = ZW_TextureFindName("zonewright.zrf");
  if (locTexture) {
    c->texture = &locTexture->texture;
  }
  c->move = ZW_MoveSpring;
  c->draggable = 1;
  float s = locLz ? 24.0f : 32.0f;
  c->size[0] = c->size[1] = c->sizeDesign[0] = c->sizeDesign[1] = s;
  if (locLz) {
    SetImages(c, 192, 0, 223, 31);
    SetZone(c, 2, 0, 22, 22);
    c->zoneKind = ZW_ZONE_LANDING;
    for (int i = 0; i < 3; i++) {
      c->worldPos[i] = c->basePos[i] = c->cameraPos[i] = c->cameraRot[i] = zwControls.defaultWorld[i];
    }
    snprintf(c->team, sizeof(c->team), "NOTEAM");
  } else {
    SetImages(c, 224, 0, 256, 32);
    SetZone(c, 5, 5, 24, 24);
    c->zoneKind = ZW_ZONE_VICTORY;
    memcpy(c->worldPos, zwControls.defaultWorld, sizeof(c->worldPos));
  }
  ourUndo.labelsDirty = true;
  return c;
}

void PlaceMarker() {
  ZW_SetCursorShape(ZW_CURSOR_CROSS);
  if (!ZW_LeftButtonDown() || zwShell.mouseX > ZW_MAP_PIXELS) {
    return;
  }
  ZW_Print("new");
  float h = zwEditor.placeKind == ZW_ZONE_LANDING ? 12.0f : 16.0f;
  ZW_Control* c = CreateMarker(zwEditor.placeKind == ZW_ZONE_LANDING ? ZW_ZONE_LANDING : ZW_ZONE_VICTORY,
                               (float)zwShell.mouseX - h, (float)zwShell.mouseY - h);
  Step locStep = {};
  locStep.kind = STEP_PLACE;
  locStep.marker = c;
  if (zwEditor.mirror != ZW_MIRROR_OFF) {
    // The twin follows the marker in the list: it gets the next number.
    ZW_Control* t = CreateMarker(c->zoneKind, c->pos[0], c->pos[1]);
    ZW_ControlUnlink(t);
    ZW_ControlInsertAt(t, ZW_ControlIndex(c) + 1);
    ourPairs.push_back({c, t, zwEditor.mirror});
    MirrorTwin(c, t, zwEditor.mirror);
    locStep.twin = t;
  }
  PushStep(std::move(locStep));
  ourUndo.placing = c;
  zwEditor.mode = 1;
  ReleaseZoneButtons();
  zwControls.active = c;
}

// Clamping to the crop rectangle and the world position of a dragged marker.
void DragMarker(ZW_Control* c) {
  if (!IsMarker(c)) {
    return;
  }
  ClampToCrop(zwMap.crop, 2 * HalfSide(c), &c->pos[0], &c->pos[1]);
  MarkerWorld(c);
  Pair* p = PairOf(c);
  if (p && ourUndo.twinDragged == OtherOf(*p, c)) {
    ourUndo.twinClamped = MirrorTwin(c, ourUndo.twinDragged, p->mode);
  }
}

// A drag begins; with mirroring on, the twin of a pair follows it.
void DragStarts(ZW_Control* c) {
  if (IsMarker(c)) {
    ourUndo.dragged = c;
    ourUndo.dragStart = StateOf(c);
    Pair* p = PairOf(c);
    ourUndo.twinDragged = p && zwEditor.mirror != ZW_MIRROR_OFF ? OtherOf(*p, c) : nullptr;
    ourUndo.twinClamped = false;
    if (ourUndo.twinDragged) {
      ourUndo.twinStart = StateOf(ourUndo.twinDragged);
    }
  }
}

// The console's lines for a twin at the end of a drag or placement.
void PrintTwinPlace(const ZW_Control* aTwin) {
  char locName[16];
  MarkerName(aTwin, locName, sizeof(locName));
  if (ourUndo.twinClamped) {
    ZW_Printf("%s: its mirrored place lies outside the playfield; it is held inside.", locName);
  }
  PrintMarkerPlace(aTwin);
}

// The end of a marker's drag: its target follows it, and a drag that moved it
// is one step (with its placement, when the same press placed it).
void DragEnds(ZW_Control* c) {
  if (!IsMarker(c)) {
    return;
  }
  FollowTarget(c);
  bool locPlacing = ourUndo.placing == c;
  ourUndo.placing = nullptr;
  if (ourUndo.dragged != c) {
    return;
  }
  ourUndo.dragged = nullptr;
  ZW_Control* t = ourUndo.twinDragged;
  ourUndo.twinDragged = nullptr;
  bool locMoved = !SamePlace(ourUndo.dragStart, StateOf(c));
  bool locTwinMoved = t && !SamePlace(ourUndo.twinStart, StateOf(t));
  if (!locPlacing && (locMoved || locTwinMoved)) {
    Step locStep = {};
    locStep.kind = STEP_DRAG;
    locStep.marker = c;
    locStep.before = ourUndo.dragStart;
    if (t) {
      locStep.moved.push_back(ourUndo.twinStart);
    }
    PushStep(std::move(locStep));
  }
  if (locPlacing || locMoved || locTwinMoved) {
    PrintMarkerPlace(c);
    if (t) {
      PrintTwinPlace(t);
    }
  }
}

// A control about to be freed (a script's "control.delete"): the history
// that refers to it goes.
void ControlFreed(ZW_Control* c) {
  if (ourUndo.placing == c) {
    ourUndo.placing = nullptr;
  }
  if (ourUndo.dragged == c) {
    ourUndo.dragged = nullptr;
  }
  Pair locPair;
  if (BreakPair(c, &locPair) && ourUndo.twinDragged == OtherOf(locPair, c)) {
    ourUndo.twinDragged = nullptr;
  }
  if (ourUndo.twinDragged == c) {
    ourUndo.twinDragged = nullptr;
  }
  for (const Step& s : ourUndo.steps) {
    if (StepRefers(s, c)) {
      ClearSteps();
      break;
    }
  }
  ourUndo.labelsDirty = true;
}

// The marker under the pointer: the first in the list, as for a press.
ZW_Control* MarkerUnderPointer() {
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (IsMarker(c) && c->draw == ZW_DrawVisible && ZW_ControlInside(c, zwShell.mouseX, zwShell.mouseY)) {
      return c;
    }
  }
  return nullptr;
}

// Removes a marker; with mirroring on, its twin goes with it. A marker removed
// alone leaves its pair, which the undo brings back.
void RemoveMarker(ZW_Control* c) {
  Step locStep = {};
  locStep.kind = STEP_REMOVE;
  locStep.index = ZW_ControlIndex(c);
  char locName[16];
  MarkerName(c, locName, sizeof(locName));
  if (locStep.index < 0) {
    return;
  }
  Pair* p = PairOf(c);
  ZW_Control* t = p && zwEditor.mirror != ZW_MIRROR_OFF ? OtherOf(*p, c) : nullptr;
  char locTwinName[16] = "";
  if (t) {
    locStep.twinIndex = ZW_ControlIndex(t);
    MarkerName(t, locTwinName, sizeof(locTwinName));
  }
  if (p) {
    BreakPair(c, &locStep.pair);
  }
  ZW_ControlUnlink(c);
  if (t) {
    ZW_ControlUnlink(t);
    ZW_Printf("Removed %s and %s", locName, locTwinName);
  } else {
    ZW_Printf("Removed %s", locName);
  }
  locStep.marker = c;
  locStep.twin = t;
  PushStep(std::move(locStep));
  ourUndo.labelsDirty = true;
}

void Undo() {
  if (ourUndo.steps.empty()) {
    return;
  }
  Step s = std::move(ourUndo.steps.back());
  ourUndo.steps.pop_back();
  static const char* const kUndone[] = {"Undone: placement", "Undone: drag", "Undone: playfield",
                                        "Undone: removal"};
  ZW_Print(kUndone[s.kind]);
  switch (s.kind) {
    case STEP_PLACE:
      ZW_ControlDelete(s.marker);
      if (s.twin) {
        ZW_ControlDelete(s.twin);
      }
      break;
    case STEP_DRAG:
      Restore(s.before);
      for (const MarkerState& m : s.moved) {
        Restore(m);  // the twin that followed it
      }
      break;
    case STEP_CROP:
      zwMap.crop = s.crop;
      ZW_EditorUpdateCropLines();
      for (const MarkerState& m : s.moved) {
        Restore(m);
      }
      break;
    case STEP_REMOVE:
      // The lower place first, so that both come back where they were.
      if (s.twin && s.twinIndex < s.index) {
        ZW_ControlInsertAt(s.twin, s.twinIndex);
      }
      ZW_ControlInsertAt(s.marker, s.index);
      if (s.twin && s.twinIndex > s.index) {
        ZW_ControlInsertAt(s.twin, s.twinIndex);
      }
      if (s.pair.a) {
        ourPairs.push_back(s.pair);
      }
      s.marker = nullptr;  // back in the list: no longer the step's
      s.twin = nullptr;
      break;
  }
  ourUndo.labelsDirty = true;
}

// An import starts a new history: no step reaches back across it.
void ForgetSteps() {
  ClearSteps();
  ourUndo.placing = nullptr;
  ourUndo.dragged = nullptr;
  ourUndo.cropDragging = false;
}

void MoveImportControls() {
  SetTargetX("butLoadHeightmap", 30000);
  SetTargetX("txtAddZone", 10);
  SetTargetX("editMapApplyImage", 10);
  SetTargetX("editMapApplyOver", 60);
  SetTargetX("editMapApplyDown", 10);
}

// Loads a map image as a named texture; null (with the message) on failure.
ZW_TextureEntry* LoadMapTexture(const char* aPath, const char* aName) {
  ZW_TextureEntry* e = ZW_TextureLoad(aPath);
  if (!e) {
    ReportError("ERROR: Could not load the map image '%s'!", aPath);
    return nullptr;
  }
  snprintf(e->name, sizeof(e->name), "%s", aName);
  return e;
}

void ShowMapTexture(int aShown, const char* aName, const char* aCaption) {
  ZW_TextureEntry* e = ZW_TextureFindName(aName);
  ZW_Control* locImage = MapImage();
  if (!e || !locImage) {
    return;
  }
  locImage->texture = &e->texture;
  zwEditor.mapShown = aShown;
  SetCaption("editMapTex", aCaption);
}

int CountMarkers() {
  int n = 0;
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    n += IsMarker(c) ? 1 : 0;
  }
  return n;
}

// Recreates the markers and the playfield of a mission that this export wrote.
void ResumeMission(const ZW_MapPaths& aPaths, const ZW_MapValues& aValues) {
  if (CountMarkers() > 0) {
    ZW_Print("Markers are placed already: the mission's markers are not read.");
    return;
  }
  unsigned char* locInstances = nullptr;
  size_t locInstancesSize = 0;
  unsigned char* locMap = nullptr;
  size_t locMapSize = 0;
  if (!ZW_ReadWholeFile(aPaths.instancesPath, &locInstances, &locInstancesSize) ||
      !ZW_ReadWholeFile(aPaths.mapFilePath, &locMap, &locMapSize)) {
    free(locInstances);
    ZW_Print("No markers read: the mission's files cannot be read.");
    return;
  }
  ZW_Mission locMission;
  const char* locWhy = "";
  ZW_MissionKind locKind =
      ZW_ReadMission(locInstances, locInstancesSize, locMap, locMapSize, aValues, &locMission, &locWhy);
  free(locInstances);
  free(locMap);
  if (locKind == ZW_MISSION_GAME_EDITOR) {
    return;  // the game editor's own file: nothing to resume
  }
  if (locKind != ZW_MISSION_OURS) {
    ZW_Printf("No markers read: %s.", locWhy);
    return;
  }
  ZW_Crop locCrop;
  ZW_CropFromWorld(&locCrop, locMission.worldLeft, locMission.worldTop, locMission.worldRight,
                   locMission.worldBottom);
  // A marker's top-left on the map. The crop editing would move a marker
  // outside the playfield at the next frame, and the export never leaves one
  // there; one on an edge may come back a rounding step beyond it and is held
  // on the edge (its world position stays as read).
  const float kRounding = 0.001f;
  std::vector<std::pair<float, float>> locPlaces;
  for (const ZW_ExportMarker& m : locMission.markers) {
    float k = m.kind == ZW_ZONE_LANDING ? 12.0f : 16.0f;
    float x = ((float)ZW_WORLD_SIZE - m.world[0]) / ZW_WORLD_PER_PIXEL - k;
    float y = m.world[2] / ZW_WORLD_PER_PIXEL - k - kAboveScreen;
    float cx = x, cy = y;
    ClampToCrop(locCrop, 2 * k, &cx, &cy);
    if (fabsf(cx - x) > kRounding || fabsf(cy - y) > kRounding) {
      ZW_Print("No markers read: a marker lies outside the playfield.");
      return;
    }
    locPlaces.push_back({cx, cy});
  }
  zwMap.crop = locCrop;
  ZW_EditorUpdateCropLines();
  // The first marker of the export order is the newest: create from the last.
  int locLzs = 0;
  for (size_t i = locMission.markers.size(); i-- > 0;) {
    const ZW_ExportMarker& m = locMission.markers[i];
    ZW_Control* c = CreateMarker(m.kind, locPlaces[i].first, locPlaces[i].second);
    c->move = ZW_MoveRest;
    FollowTarget(c);
    memcpy(c->worldPos, m.world, sizeof(c->worldPos));
    locLzs += m.kind == ZW_ZONE_LANDING ? 1 : 0;
  }
  zwControls.active = zwControls.owner;
  ZW_Printf("Read %d LZs and %d VLs of the mission.", locLzs, (int)locMission.markers.size() - locLzs);
}

void ImportMap(const char* anInstancesPath) {
  ZW_MapPaths locPaths;
  if (!ZW_MapDerivePaths(anInstancesPath, &locPaths)) {
    ReportError("ERROR: '%s' is not an instances file!", anInstancesPath);
    return;
  }
  unsigned char* locData = nullptr;
  size_t locSize = 0;
  if (!ZW_ReadWholeFile(locPaths.mapFilePath, &locData, &locSize)) {
    ReportError("ERROR: Could not read the map file '%s'!", locPaths.mapFilePath);
    return;
  }
  ZW_MapValues locValues;
  bool locRead = ZW_MapReadValues(locData, locSize, &locValues);
  free(locData);
  if (!locRead) {
    ReportError("ERROR: '%s' is not a map file!", locPaths.mapFilePath);
    return;
  }
  ZW_Control* locImage = MapImage();
  if (locImage && locImage->size[0] == 0) {
    // Both images load, or the wizard stays as it was.
    ZW_TextureEntry* locHeight = LoadMapTexture(locPaths.heightMapPath, "heightMap");
    if (!locHeight) {
      return;
    }
    if (!LoadMapTexture(locPaths.overviewPath, "overviewMap")) {
      ZW_TextureRemove(locHeight);
      return;
    }
    // The design width too, so that a later rescale keeps the map visible.
    locImage->size[0] = locImage->sizeDesign[0] = ZW_MAP_PIXELS;
    zwEditor.heightMap = &locHeight->texture;
    ShowMapTexture(ZW_MAP_HEIGHT, "heightMap", " Heightmap");
    MoveImportControls();
    ShowMapTexture(ZW_MAP_OVERVIEW, "overviewMap", " Overviewmap");
    MoveImportControls();
  }
  zwMap.paths = locPaths;
  zwMap.values = locValues;
  ForgetSteps();
  ResumeMission(locPaths, locValues);
}

// The markers as the export sees them, in control-list order.
void CollectMarkers(std::vector<ZW_Control*>* aControls, std::vector<ZW_ExportMarker>* aMarkers) {
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (IsMarker(c)) {
      ZW_ExportMarker m = {};
      m.kind = c->zoneKind;
      memcpy(m.world, c->worldPos, sizeof(m.world));
      memcpy(m.base, c->basePos, sizeof(m.base));
      memcpy(m.camera, c->cameraPos, sizeof(m.camera));
      memcpy(m.rotation, c->cameraRot, sizeof(m.rotation));
      aControls->push_back(c);
      aMarkers->push_back(m);
    }
  }
}

ZW_Balance MarkersBalance() {
  std::vector<ZW_Control*> locControls;
  std::vector<ZW_ExportMarker> locMarkers;
  CollectMarkers(&locControls, &locMarkers);
  ZW_Balance b;
  ZW_BalanceCompute(locMarkers.data(), (int)locMarkers.size(), &b);
  return b;
}

// The findings of the check before the export, each a "WARNING: " line.
std::vector<std::string> MissionWarnings() {
  int locLzs = 0, locVls = 0;
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    locLzs += c->zoneKind == ZW_ZONE_LANDING ? 1 : 0;
    locVls += c->zoneKind == ZW_ZONE_VICTORY ? 1 : 0;
  }
  std::vector<std::string> locLines;
  char locLine[160];
  if (locLzs == 0) {
    locLines.push_back("WARNING: No LZ is placed: no player has a place to land.");
  }
  if (locVls == 0) {
    locLines.push_back("WARNING: No VL is placed: the mission has no location to win.");
  }
  if (locLzs > kTeamedLzs) {
    snprintf(locLine, sizeof(locLine), "WARNING: %d LZs are placed: LZ 17 and later start in team 1.",
             locLzs);
    locLines.push_back(locLine);
  }
  const ZW_Crop& r = zwMap.crop;
  if (r.worldRight - r.worldLeft < kMinPlayfield) {
    snprintf(locLine, sizeof(locLine), "WARNING: The playfield is %d world units wide, less than %d.",
             r.worldRight - r.worldLeft, kMinPlayfield);
    locLines.push_back(locLine);
  }
  if (r.worldBottom - r.worldTop < kMinPlayfield) {
    snprintf(locLine, sizeof(locLine), "WARNING: The playfield is %d world units high, less than %d.",
             r.worldBottom - r.worldTop, kMinPlayfield);
    locLines.push_back(locLine);
  }
  if (zwEditor.balanceChecked) {
    ZW_BalanceWarnings(MarkersBalance(), &locLines);
  }
  return locLines;
}

}  // namespace

void ZW_EditorReset() {
  memset(&zwEditor, 0, sizeof(zwEditor));
  ZW_MapReset();
  ClearSteps();
  ourUndo = UndoState();
  ourPairs.clear();
  zwControlDragHook = nullptr;
  zwControlDragStartHook = nullptr;
  zwControlDragEndHook = nullptr;
  zwControlFreeHook = nullptr;
}

void ZW_EditorInit() {
  ZW_Print("Initializing game...");
  zwEditor.mode = 1;
  ZW_Control* locImage = MapImage();
  if (locImage) {
    locImage->size[0] = locImage->sizeDesign[0] = 0;
    locImage->id = ZW_MAP_IMAGE_ID;
  }
  ZW_CropInit(&zwMap.crop);
  SetTargetX("txtAddZone", 30000);
  SetTargetX("editMapApplyImage", 30000);
  SetTargetX("editMapApplyOver", 30000);
  SetTargetX("editMapApplyDown", 30000);
  ZW_PropsInit();
  zwControlDragHook = DragMarker;
  zwControlDragStartHook = DragStarts;
  zwControlDragEndHook = DragEnds;
  zwControlFreeHook = ControlFreed;
  if (zwControls.owner) {
    zwControls.active = zwControls.owner;
    snprintf(zwControls.owner->caption, sizeof(zwControls.owner->caption), "%d", zwProps.mapSnap);
  }
}

void ZW_EditorFrame() {
  switch (zwEditor.mode) {
    case 1: CropEditing(); break;
    case 2:
    case 3: PlaceMarker(); break;
    default: break;
  }
}

void ZW_EditorKey(int aKey, bool aControl) {
  // Not while a button is down or a crop drag has not ended: a drag runs.
  if (ZW_LeftButtonDown() || ZW_RightButtonDown() || ourUndo.cropDragging) {
    return;
  }
  if (aKey == ZW_KEY_DELETE && !aControl) {
    ZW_Control* c = MarkerUnderPointer();
    if (c) {
      RemoveMarker(c);
    }
  } else if (aKey == 'Z' && aControl) {
    Undo();
  } else if (aKey == 'M' && !aControl) {
    zwEditor.mirror = (zwEditor.mirror + 1) % 4;
    zwEditor.balanceChecked = 1;
    ZW_Printf("Mirror %d", zwEditor.mirror);
  }
}

ZW_Control* ZW_EditorTwin(const ZW_Control* aMarker) {
  Pair* p = PairOf(aMarker);
  return p ? OtherOf(*p, aMarker) : nullptr;
}

int ZW_EditorUndoSteps() {
  return (int)ourUndo.steps.size();
}

void ZW_EditorRelabel() {
  int locLz = 0, locVl = 0;
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (c->zoneKind == ZW_ZONE_LANDING) {
      locLz++;
      snprintf(c->label, sizeof(c->label), "%d T%d", locLz, ZW_LzTeam(locLz));
    } else if (c->zoneKind == ZW_ZONE_VICTORY) {
      snprintf(c->label, sizeof(c->label), "%d", ++locVl);
    }
  }
  ourUndo.labelsDirty = false;
}

void ZW_EditorDrawLabels() {
  if (ourUndo.labelsDirty) {
    ZW_EditorRelabel();
  }
  static std::vector<ZW_TextItem> ourItems;
  ourItems.clear();
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (IsMarker(c) && c->draw == ZW_DrawVisible) {
      ourItems.push_back({c->pos[0] + c->size[0], c->pos[1], c->label});
    }
  }
  if (!ourItems.empty()) {
    ZW_DrawFontTextList(kLabelFont, kLabelColour, ourItems.data(), (int)ourItems.size());
  }
  // The mirror mode above the playfield's top line (below it when the line
  // is at the top of the screen), in the labels' look.
  ZW_Control* locLine = ZW_ControlFindName("winMapCrs1");
  if (zwEditor.mirror != ZW_MIRROR_OFF && locLine && locLine->draw == ZW_DrawVisible) {
    float y = locLine->pos[1] - kMirrorTextHeight;
    ZW_DrawFontText(kLabelFont, locLine->pos[0] + kMirrorTextIndent, y >= 0 ? y : locLine->pos[1] + 2,
                    kLabelColour, kMirrorNames[zwEditor.mirror], 0);
  }
}

void ZW_EditorUpdateCropLines() {
  ZW_Crop& r = zwMap.crop;
  ZW_CropUpdateWorld(&r);
  ZW_Control* locImage = MapImage();
  float ix = locImage ? locImage->target[0] : 0;
  float iy = locImage ? locImage->target[1] : kImageOffsetY;
  struct Line {
    const char* name;
    float x, y;
    int vertical;
    float length;
  };
  const Line locLines[4] = {{"winMapCrs1", r.left + ix, r.top + iy, 0, r.right - r.left},
                            {"winMapCrs2", r.left + ix, r.bottom + iy, 0, r.right - r.left},
                            {"winMapCrs3", r.left + ix, r.top + iy, 1, r.bottom - r.top},
                            {"winMapCrs4", r.right + ix, r.top + iy, 1, r.bottom - r.top}};
  for (const Line& l : locLines) {
    ZW_Control* c = ZW_ControlFindName(l.name);
    if (!c) {
      continue;
    }
    c->pos[0] = c->enter[0] = c->target[0] = l.x;
    c->pos[1] = c->enter[1] = c->target[1] = l.y;
    c->size[l.vertical] = c->sizeDesign[l.vertical] = l.length;
  }
}

void ZW_CmdEditorSetMode() {
  int n = ZW_ArgInt(1);
  switch (n) {
    case 0: zwEditor.mode = 0; break;
    case 1:
      zwEditor.mode = 1;
      ReleaseZoneButtons();
      break;
    case 2:
      zwEditor.mode = 2;
      zwEditor.placeKind = ZW_ZONE_LANDING;
      SetButtonLook("editMapApplyImage", kPressedLook);
      break;
    case 3:
      zwEditor.mode = 3;
      zwEditor.placeKind = ZW_ZONE_VICTORY;
      SetButtonLook("editMapApplyOver", kPressedLook);
      break;
    default: break;
  }
}

void ZW_CmdEditorBalance() {
  std::vector<std::string> locLines;
  ZW_BalanceReport(MarkersBalance(), &locLines);
  zwEditor.balanceChecked = 1;
  for (const std::string& l : locLines) {
    ZW_Print(l.c_str());
  }
}

void ZW_CmdEditorMirror() {
  if (ZW_RangeInt(&zwEditor.mirror, ZW_ArgInt(1), ZW_MIRROR_OFF, ZW_MIRROR_HORIZONTAL) &&
      zwEditor.mirror != ZW_MIRROR_OFF) {
    zwEditor.balanceChecked = 1;
  }
}

void ZW_CmdEditorOpenMap() {
  char locPath[ZW_PATH_SIZE] = "";
  if (ZW_Arg(1)[0]) {
    snprintf(locPath, sizeof(locPath), "%s", ZW_Arg(1));
  } else if (!ZW_OpenMapDialog(locPath, sizeof(locPath))) {
    return;
  }
  ImportMap(locPath);
}

void ZW_CmdTexPickPrevTex() {
  if (zwEditor.mapShown == ZW_MAP_OVERVIEW) {
    ShowMapTexture(ZW_MAP_HEIGHT, "heightMap", " Heightfield");
  } else if (zwEditor.mapShown == ZW_MAP_HEIGHT) {
    ShowMapTexture(ZW_MAP_OVERVIEW, "overviewMap", " Overviewmap");
  }
}

void ZW_CmdEditorExport() {
  if (!zwMap.paths.instancesPath[0]) {
    ZW_Print("ERROR: No map imported!");
    ZW_SetResultf("%s", "ERROR: No map imported!");
    return;
  }
  std::string locQuestion;
  for (const std::string& l : MissionWarnings()) {
    ZW_Print(l.c_str());
    locQuestion += l + "\n";
  }
  if (!locQuestion.empty()) {
    locQuestion += "\n";
  }
  locQuestion += kConfirmText;
  if (!ZW_AskYesNo(locQuestion.c_str(), "Confirm Overwrite")) {
    return;
  }
  ZW_SetCursorShape(ZW_CURSOR_WAIT);
  std::vector<ZW_Control*> locControls;
  std::vector<ZW_ExportMarker> locMarkers;
  CollectMarkers(&locControls, &locMarkers);
  size_t locBytes = 0;
  ZW_ExportStatus locStatus = ZW_ExportMission(zwMap.paths, &zwMap.values, zwMap.crop, locMarkers.data(),
                                               (int)locMarkers.size(), &locBytes);
  if (locStatus == ZW_EXPORT_OK) {
    for (size_t i = 0; i < locControls.size(); i++) {
      memcpy(locControls[i]->basePos, locMarkers[i].base, sizeof(locMarkers[i].base));
      memcpy(locControls[i]->cameraPos, locMarkers[i].camera, sizeof(locMarkers[i].camera));
      memcpy(locControls[i]->cameraRot, locMarkers[i].rotation, sizeof(locMarkers[i].rotation));
    }
  }
  ZW_SetCursorShape(ZW_CURSOR_ARROW);
  const char* locMap = zwMap.paths.mapFilePath;
  const char* locInstances = zwMap.paths.instancesPath;
  switch (locStatus) {
    case ZW_EXPORT_OK: ZW_Beep(); break;
    case ZW_EXPORT_MAP_FAILED: ReportError("ERROR: Could not write '%s'!", locMap); break;
    case ZW_EXPORT_INSTANCES_FAILED: ReportError("ERROR: Could not write '%s'!", locInstances); break;
    case ZW_EXPORT_MAP_BACKUP_FAILED:
      ReportError("ERROR: Could not keep the previous file as '%s.bak'!", locMap);
      break;
    case ZW_EXPORT_INSTANCES_BACKUP_FAILED:
      ReportError("ERROR: Could not keep the previous file as '%s.bak'!", locInstances);
      break;
    case ZW_EXPORT_MAP_ORIGINAL_FAILED:
      ReportError("ERROR: Could not keep the original file as '%s.orig'!", locMap);
      break;
    case ZW_EXPORT_INSTANCES_ORIGINAL_FAILED:
      ReportError("ERROR: Could not keep the original file as '%s.orig'!", locInstances);
      break;
  }
}
