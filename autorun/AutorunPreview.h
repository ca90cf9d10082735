#ifndef AUTORUNPREVIEW_H
#define AUTORUNPREVIEW_H

#include "KC_String.h"

#include <windows.h>

#include <string>

// "autorun.exe /preview": the menu in a window with a title bar that is built
// again from its files each time one of them is saved. Launches are shown in
// a status strip below the menu instead of being started; a menu that does
// not build leaves the last good one up with the message in a red strip.
namespace AutorunPreview
{
// The strip's height in pixels below the menu.
extern const int ourStripHeight;
// The window style of the preview.
extern const DWORD ourWindowStyle;

// Starts watching the current folder and shows launches instead of starting
// them; false when the folder cannot be watched.
bool Begin(HWND aWindow);
void End();
// The change notification to wait for (INVALID_HANDLE_VALUE before Begin).
HANDLE GetChangeHandle();
// The folder changed: waits for the save to settle, then converts and builds
// the menu again when one of its inputs differs from the last build.
void OnChange();

// Sizes the window for the menu and the strip, its top left corner at aLeft, aTop.
void FitWindow(int aLeft, int aTop);
// The strip, drawn on the window below the menu.
void PaintStrip();
// The text of the strip and whether it is an error (red).
const KC_String& GetStatus();
bool IsError();
// The pointer moved: over a disabled button the strip says why it is disabled.
void OnMouseMove(int anX, int aY);
// A click ended with anAction (AutorunButton's codes): the menu stays up.
void OnAction(int anAction);

// The text of the strip for a launch: the button's kind, the verb, the target
// and the working directory.
KC_String DescribeLaunch(const char* aKind, const char* aVerb, const char* aFile, const char* aDirectory);
// Of the converter's messages, the one to show: the first that names its
// file and line, as "FILE:LINE: TEXT", else the first; empty when there are none.
KC_String PickMessage(const KC_String* aMessages, int aCount);
// Names, sizes and times of the files of aFolder and its subfolders that the
// menu reads (all but the files that the conversion writes), one per line;
// two calls give the same text when nothing was saved between them.
std::string Fingerprint(const char* aFolder);
// The lines of Fingerprint whose file may be a text of the menu (the
// definition, its .lang file, a type file of any name): all but pictures
// (.tga, .bmp) and folders.
std::string TextLines(const std::string& aFingerprint);
}

#endif
