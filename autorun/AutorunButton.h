#ifndef AUTORUNBUTTON_H
#define AUTORUNBUTTON_H

#include "KC_String.h"

#include <windows.h>
#include <shellapi.h>

class DisplayBitmap;
class DisplayFactory;
class DisplayFont;
class Ice;
class Registry;

// One bitmap button of the disc menu: four looks, a caption, the requirements
// that enable it and the target it asks the shell to start.
class AutorunButton
{
public:
	// Values of "myButtonType".
	enum Kind
	{
		KIND_LAUNCH_EXECUTABLE_AND_DIE = 0,
		KIND_LAUNCH_EXECUTABLE = 1,
		KIND_SHELL_EXECUTE_OPEN = 2,
		KIND_SHELL_EXECUTE_PRINT = 3,
		KIND_SHELL_EXECUTE_EXPLORE = 4,
		KIND_QUIT = 5
	};
	enum Look
	{
		LOOK_NORMAL = 0,
		LOOK_PRESSED = 1,
		LOOK_HOVER = 2
	};
	// Results of the mouse reactions and of Launch.
	enum Action
	{
		ACTION_NONE = 0,
		ACTION_QUIT = 1,
		ACTION_QUIT_LIMITED_ACCESS = 2
	};

	// Builds a button from its element of "myGui.myButtons"; null when it does not load.
	static AutorunButton* Create(Ice* anInstance, DisplayFactory* aFactory, Registry* aRegistry, HWND aWindow);
	~AutorunButton();

	bool HitTest(int aPx, int aPy) const;
	int OnHover();
	void OnLeave();
	int OnPress();
	int OnRelease();
	void Draw();
	int Launch();

	// True when every element of the requirement list holds (evaluated once, at load).
	bool EvaluateRequirements();
	// The same over any list; aFailure (may be null) receives a description of
	// the first element that does not hold.
	static bool RequirementsHold(Ice* aList, Registry& aRegistry, KC_String* aFailure);

	static int KindFromName(const char* aName);
	// The name of a kind as myButtonType gives it ("QUIT" for the kind that starts nothing).
	static const char* NameOfKind(int aKind);
	// The kind of the button whose start call runs now, KIND_QUIT outside one.
	static int GetLaunchingKind();
	// "open", "print", "explore", or null for the kind that starts nothing.
	static const char* VerbOfKind(int aKind);
	// The text before the last forward slash, else before the last backslash,
	// when it stands at position 1 or later; else empty: no directory is passed
	// and the current folder (the menu's) is used.
	static KC_String WorkingDirectory(const KC_String& aTarget);
	// Keeps the low byte of each unit, at most 511 characters.
	static KC_String NarrowText(const char16_t* aText);

	// The start call, replaceable so that tests see the request without a start.
	typedef BOOL(WINAPI* ShellExecuteFunction)(SHELLEXECUTEINFOA* anInfo);
	static ShellExecuteFunction SetShellExecuteFunction(ShellExecuteFunction aFunction);

	bool IsEnabled() const { return myEnabled; }
	int GetLook() const { return myLook; }
	int GetKind() const { return myKind; }
	int GetX() const { return myX; }
	int GetY() const { return myY; }
	int GetWidth() const { return myWidth; }
	int GetHeight() const { return myHeight; }
	bool IsInstallLauncher() const { return myInstallFlag; }
	const KC_String& GetCaption() const { return myCaption; }
	const KC_String& GetToolTip() const { return myToolTip; }
	DisplayFont* GetFont() const { return myFont; }
	const KC_String& GetTargetPath() const { return myTargetPath; }
	// Why the requirements do not hold; empty for an enabled button.
	const KC_String& GetDisabledReason() const { return myDisabledReason; }

private:
	AutorunButton(DisplayFactory* aFactory, Registry* aRegistry, HWND aWindow);
	AutorunButton(const AutorunButton&);
	AutorunButton& operator=(const AutorunButton&);

	bool Load(Ice* anInstance);
	bool LoadBitmap(Ice* anInstance, const char* aMember, DisplayBitmap** aBitmap);
	// The target path: the kept one, or the value read from the registry ("error" when it cannot be read).
	KC_String ResolveTarget();

	Registry* myRegistry;
	int myX;
	int myY;
	int myWidth;
	int myHeight;
	bool myEnabled;
	int myKind;
	DisplayFactory* myFactory;
	DisplayBitmap* myNormalBitmap;
	DisplayBitmap* myHoverBitmap;
	DisplayBitmap* myPressedBitmap;
	DisplayBitmap* myDisabledBitmap;
	DisplayFont* myFont;
	int myFontSize;
	int myCaptionRect[4];
	int myLook;
	bool myTargetFromRegistry;
	KC_String myTargetPath;
	KC_String myTargetRegKey;
	KC_String myTargetRegRootKey;
	Ice* myRequirements;
	KC_String myCaption;
	KC_String myToolTip;
	bool myInstallFlag;
	HWND myWindow;
	KC_String myDisabledReason;
};

#endif
