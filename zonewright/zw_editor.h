// The map editor: its initial state, the modes with their per-frame routines
// (crop editing, marker placement), the marker drag, removal and undo, the
// markers' labels, the map import with the resume of a mission, the texture
// switch and the export command.
#pragma once

#include "zw_platform.h"

struct ZW_Control;

enum { ZW_MAP_NONE = 0, ZW_MAP_OVERVIEW = 1, ZW_MAP_HEIGHT = 2 };

struct ZW_Editor {
  int mode;               // 0 to 3
  int placeKind;          // zone kind to place: 1 LZ, 2 VL
  int cropLinesPlaced;
  int mapShown;           // ZW_MAP_NONE before the first import
  ZW_Texture* heightMap;  // texture slot of the height samples
  int mirror;             // ZW_MIRROR_OFF to ZW_MIRROR_HORIZONTAL
  int balanceChecked;     // the export warns of an unfair balance: set once
                          // mirroring or the balance report has been used
};

// Mirrored placement: a marker placed gets a twin at the mirrored place in
// the playfield, and the pair is dragged and removed together.
enum {
  ZW_MIRROR_OFF = 0,
  ZW_MIRROR_POINT = 1,       // about the playfield's centre
  ZW_MIRROR_VERTICAL = 2,    // across the vertical axis through the centre
  ZW_MIRROR_HORIZONTAL = 3   // across the horizontal axis
};

extern ZW_Editor zwEditor;

// Start-up values (no controls are touched).
void ZW_EditorReset();
// Editor initialisation, the last step of start-up.
void ZW_EditorInit();
// The per-frame routine of the current mode.
void ZW_EditorFrame();

// Keys while neither the console nor a text entry is open: Delete removes the
// marker under the pointer, Ctrl+Z takes back the last step, M cycles the
// mirror modes.
void ZW_EditorKey(int aKey, bool aControl);
// Steps that Ctrl+Z can take back (at most ZW_UNDO_DEPTH are kept).
enum { ZW_UNDO_DEPTH = 128 };
int ZW_EditorUndoSteps();
// Gives every marker the label of its number in the export (and an LZ's team).
void ZW_EditorRelabel();
// The marker paired with a marker by a mirrored placement, or null.
ZW_Control* ZW_EditorTwin(const ZW_Control* aMarker);
// Draws the markers' labels in one batch, after the controls, and the mirror
// mode at the playfield's top line.
void ZW_EditorDrawLabels();

// Places the crop lines from the crop rectangle.
void ZW_EditorUpdateCropLines();

void ZW_CmdEditorBalance();
void ZW_CmdEditorExport();
void ZW_CmdEditorMirror();
void ZW_CmdEditorOpenMap();
void ZW_CmdEditorSetMode();
void ZW_CmdTexPickPrevTex();
