#ifndef AUTORUNMENU_H
#define AUTORUNMENU_H

#include "KC_String.h"
#include "Registry.h"
#include "kc_growingarray.h"
#include "kc_locstring.h"

#include <windows.h>

#include <functional>
#include <vector>

class AutorunButton;
class DisplayBitmap;
class DisplayFactory;
class DisplayPrimitives;
class Ice;

// The disc menu: the definition document, the display factory, the background
// and the buttons, drawn into one window.
class AutorunMenu
{
public:
	// Loads the menu from aFileName for aWindow and makes it the current menu
	// (also when the result is null).
	static AutorunMenu* Create(const char* aFileName, HWND aWindow);
	// Builds the menu from a loaded definition with a factory (both then owned
	// by the menu, also on failure) and makes it the current menu.
	static AutorunMenu* CreateFromDefinition(Ice* aDefinition, DisplayFactory* aFactory, HWND aWindow);
	static AutorunMenu* GetCurrent() { return ourCurrent; }
	// Makes aMenu the current menu (the preview keeps the last good one when a
	// rebuild fails).
	static void SetCurrent(AutorunMenu* aMenu) { ourCurrent = aMenu; }
	// Destroys the current menu.
	static void DestroyCurrent();
	~AutorunMenu();

	// Draws one frame.
	void Paint();
	// Paints a frame when it would show something new since the last one (a
	// look, the disabled state, the tool tip); true when it painted.
	bool PaintIfChanged();
	// Action codes of AutorunButton: 0 nothing, 1 quit, 2 quit and show the limited-access text.
	int OnMouseMove(int anX, int aY);
	int OnMouseDown(int anX, int aY);
	int OnMouseUp(int anX, int aY);
	// The pointer left the window: its tool tip goes.
	void OnMouseLeave();
	// Tab, Shift+Tab and the arrows move the focus through the enabled buttons;
	// Enter or Space presses the focused button and its release clicks it.
	// Action codes as for the mouse.
	int OnKeyDown(int aKey, bool aShift, bool aRepeat);
	int OnKeyUp(int aKey);

	// The focused button (-1 for none).
	int GetFocus() const { return myFocus; }
	// The button whose tool tip is shown (-1 for none).
	int GetToolTipButton();
	// Milliseconds until the tool tip of the resting pointer shows; INFINITE
	// when none is waiting to show.
	DWORD GetToolTipWait() const;
	// Where a tool tip of aWidth by aHeight goes for the pointer at aPx, aPy:
	// below the pointer, kept inside the window of aWindowWidth by aWindowHeight.
	static void PlaceToolTip(int aPx, int aPy, int aWidth, int aHeight, int aWindowWidth, int aWindowHeight,
	                         int* aLeft, int* aTop);

	// aText in lines no wider than aMaxWidth by aWidthOf: broken at blanks, a
	// word wider than a line broken inside; at least one line.
	static std::vector<KC_String> WrapText(const KC_String& aText, int aMaxWidth,
	                                       const std::function<int(const KC_String&)>& aWidthOf);

	// The clock of the tool tips in milliseconds, replaceable for tests.
	typedef DWORD(WINAPI* ClockFunction)();
	static ClockFunction SetClockFunction(ClockFunction aFunction);

	int GetButtonCount() const { return myButtons.Count(); }
	AutorunButton* GetButton(int anIndex) { return myButtons[anIndex]; }
	int GetWidth() const { return myWidth; }
	int GetHeight() const { return myHeight; }
	Registry& GetRegistry() { return myRegistry; }

	// Texts of the definition, filled by the menu load; empty when it gives none.
	static const KC_LocString& GetInsertDiscText() { return ourInsertDiscText; }
	static const KC_LocString& GetLimitedAccessText() { return ourLimitedAccessText; }

private:
	explicit AutorunMenu(HWND aWindow);
	AutorunMenu(const AutorunMenu&);
	AutorunMenu& operator=(const AutorunMenu&);

	bool Load(const char* aFileName);
	bool Build();
	// Gives the focus to anIndex (-1 for none): the focused button shows its hover look.
	void SetFocus(int anIndex, bool aFromKeys);
	int NextFocus(int aStep) const;
	int ButtonAt(int anX, int aY) const;
	void DrawToolTip(int anIndex);
	// A button as drawn: its look, or -1 when disabled.
	int DrawnLook(int anIndex) const;

	DisplayFactory* myFactory;
	KC_GrowingArray<AutorunButton*> myButtons;
	DisplayBitmap* myBackground;
	Ice* myDefinition;
	HWND myWindow;
	int myWidth;
	int myHeight;
	unsigned char myChromaKey[3];
	Registry myRegistry;
	DisplayPrimitives* myPrimitives;
	int myFocus;
	bool myFocusFromKeys;
	int myKeyPressed;
	// The tool tip: the button under the pointer, since when the pointer rests
	// there and where; hidden by a press or a key until the pointer leaves it.
	int myTipButton;
	DWORD myTipSince;
	int myTipX;
	int myTipY;
	bool myTipShown;
	bool myTipHidden;
	// The wrapped lines of the tool tip of button myTipLinesButton.
	std::vector<KC_String> myTipLines;
	int myTipLinesButton;
	// What the last frame showed: the buttons as drawn and the tool tip.
	bool myPainted;
	KC_GrowingArray<int> myPaintedLooks;
	int myPaintedTip;
	int myPaintedTipX;
	int myPaintedTipY;

	static AutorunMenu* ourCurrent;
	static KC_LocString ourInsertDiscText;
	static KC_LocString ourLimitedAccessText;
};

#endif
