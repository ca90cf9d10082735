// Controls: the record, the list (newest first) with its look-ups, pages,
// parents, the per-frame update and draw with the press and click logic, the
// spring, rescaling and the in-place text entry.
#pragma once

#include <cstdint>

#include "zw_platform.h"

enum {
  ZW_OWNER_ID = -99999999,     // the hidden owner of text entry
  ZW_MAP_IMAGE_ID = 46362,     // skipped by the list walk of the frame
  ZW_PAGE_SIZE = 128,
  ZW_COMMAND_SIZE = 128,
  ZW_CONTROL_NAME_SIZE = 32,
  ZW_CAPTION_SIZE = 32,
  ZW_TEAM_SIZE = 12,
  ZW_LABEL_SIZE = 16
};

// Kinds of text entry.
enum { ZW_ENTRY_TEXT = 0, ZW_ENTRY_INT = 1, ZW_ENTRY_FLOAT = 2 };

// Zone kinds of a control.
enum { ZW_ZONE_NONE = 0, ZW_ZONE_LANDING = 1, ZW_ZONE_VICTORY = 2 };

struct ZW_Control;
typedef void (*ZW_DrawRoutine)(ZW_Control* aControl);
typedef void (*ZW_MoveRoutine)(ZW_Control* aControl);
// The hover routine may change the source rectangle of this frame.
typedef void (*ZW_HoverRoutine)(ZW_Control* aControl, float aSource[4]);

struct ZW_Control {
  ZW_DrawRoutine draw;
  ZW_MoveRoutine move;
  ZW_HoverRoutine hover;
  int id;
  char page[ZW_PAGE_SIZE];
  char command[ZW_COMMAND_SIZE];
  char name[ZW_CONTROL_NAME_SIZE];
  char caption[ZW_CAPTION_SIZE];
  int font;
  uint32_t captionColour;       // ARGB
  float captionOffset[2];       // drawn, screen units
  float captionOffsetDesign[2];
  ZW_Texture* texture;          // slot of a texture entry
  ZW_Control* mother;           // itself when top-level
  float image[4];               // left, top, right, bottom in texels
  float imageOver[4];
  float imageDown[4];
  int cursor;                   // cursor number 1 to 7
  float size[2];                // drawn
  float sizeDesign[2];
  float pos[2];
  float goal[2];
  float enter[2];
  float target[2];              // for a child: its offset from the mother
  float leave[2];
  float angle, goalAngle, enterAngle, targetAngle, leaveAngle;  // radians
  float zone[4];                // hit rectangle as offsets from the position
  float velocity[3];            // x, y, angle
  float elasticity[3];
  float drag[2];                // movement, rotation
  int draggable;
  int neverEdit;
  int zoneKind;
  float worldPos[3];
  float basePos[3];
  float cameraPos[3];
  float cameraRot[3];
  char team[ZW_TEAM_SIZE];
  char label[ZW_LABEL_SIZE];    // a marker's number (and team) as the export gives them
  ZW_Control* next;             // list link, towards older controls
};

struct ZW_Controls {
  ZW_Control* head;             // newest first
  ZW_Control* cursor;           // where the last look-up stopped
  ZW_Control* active;
  ZW_Control* owner;            // the hidden owner, id -99999999
  int clickId;                  // press begun while a button was down
  int secondId;                 // second press slot (crop editing)
  int cursorNumber;             // cursor number of the control under the mouse
  // The page-switch step.
  int switching;
  float countdown;
  char switchPage[ZW_PAGE_SIZE];
  // Text entry.
  ZW_Control* edited;
  int entryKind;
  int entryMaxLength;
  int entryMin, entryMax;
  int entryNoCaret;             // a text entry started on a full caption
  char* entryText;              // text target and its size
  int entryTextSize;
  int* entryInt;
  float* entryFloat;
  // Zone data that new controls copy (set at start-up).
  float defaultWorld[3];
};

extern ZW_Controls zwControls;

// Frees every control and returns to the start-up state (no owner yet).
void ZW_ControlsReset();

// The routines.
void ZW_DrawVisible(ZW_Control* aControl);
void ZW_DrawHidden(ZW_Control* aControl);
void ZW_MoveSpring(ZW_Control* aControl);
void ZW_MoveFollowMother(ZW_Control* aControl);
void ZW_MoveDrag(ZW_Control* aControl);
void ZW_MoveRest(ZW_Control* aControl);
void ZW_HoverInteractive(ZW_Control* aControl, float aSource[4]);
void ZW_HoverNone(ZW_Control* aControl, float aSource[4]);

// Clamping and world position of a dragged control; called by the drag
// routine after it has followed the mouse. Null: no clamping.
extern void (*zwControlDragHook)(ZW_Control* aControl);
// Called when a drag begins (before the control follows the mouse) and when
// it ends (the left button is up). Null: nothing.
extern void (*zwControlDragStartHook)(ZW_Control* aControl);
extern void (*zwControlDragEndHook)(ZW_Control* aControl);
// Called for every control about to be freed. Null: nothing.
extern void (*zwControlFreeHook)(ZW_Control* aControl);

// Creates a control at (fx x screen width, fy x screen height), puts it at
// the head of the list and makes it active.
ZW_Control* ZW_ControlCreate(float aFx, float aFy, float anAngle);
// Creates the hidden owner of text entry (start-up).
ZW_Control* ZW_ControlsCreateOwner();
// Deletes the active control (and the controls that hang from it).
void ZW_ControlDeleteActive();

// Takes a control out of the list without freeing it (every reference of the
// control state to it is cleared); false when it is not in the list.
bool ZW_ControlUnlink(ZW_Control* aControl);
// Puts an unlinked control back at a place of the list (0 is the head; past
// the end it becomes the last).
void ZW_ControlInsertAt(ZW_Control* aControl, int anIndex);
// The place of a control in the list, or -1.
int ZW_ControlIndex(const ZW_Control* aControl);
// Frees a control and the controls that hang from it; the active control
// stays unless it is among them.
void ZW_ControlDelete(ZW_Control* aControl);

// Pure searches: no activation, no messages.
ZW_Control* ZW_ControlFindName(const char* aName);
ZW_Control* ZW_ControlFindId(int anId);
// Look-ups: the match becomes active; else the failure message or the
// query print. True when found.
bool ZW_ControlLookUpName(const char* aName);
bool ZW_ControlLookUpId(int anId);

void ZW_ControlMarkNeverEdit(const char* aName);
void ZW_ControlSetMother(const char* aName);
void ZW_ControlAddChild(const char* aName);
bool ZW_ControlTopLevel(const ZW_Control* aControl);
bool ZW_ControlInside(const ZW_Control* aControl, int aMouseX, int aMouseY);
// A screen coordinate truncated to an integer; beyond +-1e9 (or not a number)
// it is held at a bound instead of overflowing the conversion.
int ZW_ScreenInt(float aValue);

void ZW_ControlsOpenPage(const char* aPage);
void ZW_ControlsClosePage(const char* aPage);
void ZW_ControlsCloseAll();
void ZW_ControlsSwitchPages(const char* aClose, const char* anOpen, float aDelay);

// Shell and renderer entry points.
void ZW_ControlsUseTexture(ZW_Texture* aSlot);
void ZW_ControlsUpdateAndDraw();
void ZW_ControlsRescale(float aScaleX, float aScaleY);
// No visible control is on a spring or dragged, and no page switch or click
// is pending: the next frame moves nothing by itself.
bool ZW_ControlsAtRest();
void ZW_ControlsTextEntryKey(int aKey);

// Text entry into a field of the edited control.
void ZW_TextEntryStartText(char* aTarget, int aTargetSize, int aMaxLength);
void ZW_TextEntryStartInt(int* aTarget, int aMaxLength, int aMin, int aMax);
void ZW_TextEntryStartFloat(float* aTarget, int aMaxLength, int aMin, int aMax);

// Commands of the "control." group and "editor.neverEdit".
void ZW_CmdControlList();
void ZW_CmdControlActive();
void ZW_CmdControlActiveId();
void ZW_CmdControlAddChild();
void ZW_CmdControlCaptionPos();
void ZW_CmdControlCaption();
void ZW_CmdControlClosePage();
void ZW_CmdControlCloseAll();
void ZW_CmdControlCommand();
void ZW_CmdControlDelete();
void ZW_CmdControlDrag();
void ZW_CmdControlElasticity();
void ZW_CmdControlFollowMouse();
void ZW_CmdControlFont();
void ZW_CmdControlFontColor();
void ZW_CmdControlId();
void ZW_CmdControlImage();
void ZW_CmdControlImageDown();
void ZW_CmdControlImageOver();
void ZW_CmdControlMother();
void ZW_CmdControlMouseCursor();
void ZW_CmdControlName();
void ZW_CmdControlNew();
void ZW_CmdControlOpenPage();
void ZW_CmdControlPosEnter();
void ZW_CmdControlPosLeave();
void ZW_CmdControlPosTarget();
void ZW_CmdControlPage();
void ZW_CmdControlScale();
void ZW_CmdControlSwitchPages();
void ZW_CmdControlUvCoords();
void ZW_CmdControlZone();
void ZW_CmdEditorNeverEdit();
