#ifndef AUTORUNMENU_H
#define AUTORUNMENU_H

#include "KC_String.h"
#include "Registry.h"
#include "kc_growingarray.h"
#include "kc_locstring.h"

#include <windows.h>

class AutorunButton;
class DisplayBitmap;
class DisplayFactory;
class Ice;

// The disc menu: the definition document, the display factory, the background
// and the buttons, drawn into one window.
class AutorunMenu
{
public:
	// Loads the menu from aFileName for aWindow and makes it the current menu
	// (also when the result is null).
	static AutorunMenu* Create(const char* aFileName, HWND aWindow);
	static AutorunMenu* GetCurrent() { return ourCurrent; }
	// Destroys the current menu.
	static void DestroyCurrent();
	~AutorunMenu();

	void Paint();
	// Action codes of AutorunButton: 0 nothing, 1 quit, 2 quit and show the limited-access text.
	int OnMouseMove(int anX, int aY);
	int OnMouseDown(int anX, int aY);
	int OnMouseUp(int anX, int aY);

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

	DisplayFactory* myFactory;
	KC_GrowingArray<AutorunButton*> myButtons;
	DisplayBitmap* myBackground;
	Ice* myDefinition;
	HWND myWindow;
	int myWidth;
	int myHeight;
	unsigned char myChromaKey[3];
	Registry myRegistry;

	static AutorunMenu* ourCurrent;
	static KC_LocString ourInsertDiscText;
	static KC_LocString ourLimitedAccessText;
};

#endif
