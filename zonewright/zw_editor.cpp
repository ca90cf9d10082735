// The map editor: modes, crop editing, zone markers, import and export.
#include "zw_editor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "zw_console.h"
#include "zw_controls.h"
#include "zw_editor_platform.h"
#include "zw_export.h"
#include "zw_input.h"
#include "zw_map.h"
#include "zw_props.h"
#include "zw_render.h"
#include "zw_shell.h"

ZW_Editor zwEditor;

namespace {

const char kErrorCaption[] = "zonewright Error";
const float kReleasedLook[4] = {0, 16, 48, 40};
const float kPressedLook[4] = {48, 16, 96, 40};
const float kImageOffsetY = 41;  // winMapImage's offset below winMapHandle
const float kAboveScreen = 32;   // the map image lies this far above the screen

// Reports a failure of the editor: a printed line and a message box.
void ReportError(const char* aFormat, const char* aValue) {
  char locText[ZW_PATH_SIZE + 64];
  snprintf(locText, sizeof(locText), aFormat, aValue);
  ZW_Print(locText);
  ZW_MessageBox(locText, kErrorCaption);
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

bool IsMarker(const ZW_Control* c) {
  return c->zoneKind == ZW_ZONE_LANDING || c->zoneKind == ZW_ZONE_VICTORY;
}

// Order the corners, keep them on the map, update the lines and move every
// marker inside the rectangle (their world positions stay).
void FinishCrop(ZW_Control* anImage) {
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
      float s = c->zoneKind == ZW_ZONE_LANDING ? 24.0f : 32.0f;
      c->pos[0] = Clamp(c->pos[0], r.left, r.right - s);
      c->pos[1] = Clamp(c->pos[1], r.top - kAboveScreen, r.bottom - s - kAboveScreen);
    }
  }
  anImage->zone[2] = 0;
  anImage->zone[3] = 0;
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
    ZW_Print("ok");
    r.left = Snap(locPixelX);
    r.top = Snap(locPixelY);
    r.right = r.left;
    r.bottom = r.top;
  } else if (zwControls.clickId == 0 && zwControls.secondId != 0 && locOver) {
    r.right = Snap(locPixelX + (float)zwProps.mapSnap);
    r.bottom = Snap(locPixelY + (float)zwProps.mapSnap);
    ZW_EditorUpdateCropLines();
  } else {
    FinishCrop(locImage);
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

void PlaceMarker() {
  ZW_SetCursorShape(ZW_CURSOR_CROSS);
  if (!ZW_LeftButtonDown() || zwShell.mouseX > ZW_MAP_PIXELS) {
    return;
  }
  ZW_Print("new");
  bool locLz = zwEditor.placeKind == ZW_ZONE_LANDING;
  float h = locLz ? 12.0f : 16.0f;
  ZW_Control* c = ZW_ControlCreate(0, 0, 0);
  snprintf(c->page, sizeof(c->page), "pagMap2");
  float x = (float)zwShell.mouseX - h;
  float y = (float)zwShell.mouseY - h;
  c->enter[0] = c->target[0] = c->leave[0] = c->pos[0] = c->goal[0] = x;
  c->enter[1] = c->target[1] = c->leave[1] = c->pos[1] = c->goal[1] = y;
  c->enterAngle = c->targetAngle = c->leaveAngle = c->angle = c->goalAngle = 0;
  ZW_TextureEntry* locTexture = ZW_TextureFindName("zonewright.zrf");
  if (locTexture) {
    c->texture = &locTexture->texture;
  }
  c->move = ZW_MoveSpring;
  c->draggable = 1;
  float s = 2 * h;
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
  zwEditor.mode = 1;
}

// Clamping to the crop rectangle and the world position of a dragged marker.
void DragMarker(ZW_Control* c) {
  if (!IsMarker(c)) {
    return;
  }
  const ZW_Crop& r = zwMap.crop;
  float k = c->zoneKind == ZW_ZONE_LANDING ? 12.0f : 16.0f;
  c->pos[0] = Clamp(c->pos[0], r.left, r.right - 2 * k);
  c->pos[1] = Clamp(c->pos[1], r.top - kAboveScreen, r.bottom - 2 * k - kAboveScreen);
  float u = c->pos[0] + k;
  float v = c->pos[1] + k + kAboveScreen;
  c->worldPos[0] = (float)ZW_WORLD_SIZE - u * ZW_WORLD_PER_PIXEL;
  c->worldPos[2] = v * ZW_WORLD_PER_PIXEL;
  float locTexel[4];
  if (zwEditor.heightMap && ZW_SampleHeight(*zwEditor.heightMap, (int)u, (int)v, locTexel)) {
    c->worldPos[1] = 127.0f * locTexel[0];
  }
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
}

}  // namespace

void ZW_EditorReset() {
  memset(&zwEditor, 0, sizeof(zwEditor));
  ZW_MapReset();
  zwControlDragHook = nullptr;
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
      SetButtonLook("editMapApplyImage", kReleasedLook);
      SetButtonLook("editMapApplyOver", kReleasedLook);
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
    return;
  }
  if (!ZW_AskYesNo("NOTE: You are about to modify your *.juice files.\nAll previous scripting and object "
                   "placement on this\nmap will be lost! Are you sure?",
                   "Confirm Overwrite")) {
    return;
  }
  ZW_SetCursorShape(ZW_CURSOR_WAIT);
  std::vector<ZW_Control*> locControls;
  std::vector<ZW_ExportMarker> locMarkers;
  for (ZW_Control* c = zwControls.head; c; c = c->next) {
    if (IsMarker(c)) {
      ZW_ExportMarker m = {};
      m.kind = c->zoneKind;
      memcpy(m.world, c->worldPos, sizeof(m.world));
      memcpy(m.base, c->basePos, sizeof(m.base));
      memcpy(m.camera, c->cameraPos, sizeof(m.camera));
      memcpy(m.rotation, c->cameraRot, sizeof(m.rotation));
      locControls.push_back(c);
      locMarkers.push_back(m);
    }
  }
  size_t locBytes = 0;
  ZW_ExportStatus locStatus = ZW_ExportMission(zwMap.paths, &zwMap.values, zwMap.crop, locMarkers.data(),
                                               (int)locMarkers.size(), &locBytes);
  if (locStatus != ZW_EXPORT_MAP_FAILED) {
    for (size_t i = 0; i < locControls.size(); i++) {
      memcpy(locControls[i]->basePos, locMarkers[i].base, sizeof(locMarkers[i].base));
      memcpy(locControls[i]->cameraPos, locMarkers[i].camera, sizeof(locMarkers[i].camera));
      memcpy(locControls[i]->cameraRot, locMarkers[i].rotation, sizeof(locMarkers[i].rotation));
    }
  }
  ZW_SetCursorShape(ZW_CURSOR_ARROW);
  if (locStatus == ZW_EXPORT_MAP_FAILED) {
    ReportError("ERROR: Could not write '%s'!", zwMap.paths.mapFilePath);
  } else if (locStatus == ZW_EXPORT_INSTANCES_FAILED) {
    ReportError("ERROR: Could not write '%s'!", zwMap.paths.instancesPath);
  } else {
    ZW_Beep();
  }
}
