#ifndef DISPLAYFONT_H
#define DISPLAYFONT_H

#include "KC_String.h"

// Text drawing into the factory's back buffer, in the program-wide font colour.
// The count of a text, not a terminator, gives its length. A rectangle is four
// ints: left, top, right, bottom.
class DisplayFont
{
public:
	virtual ~DisplayFont() {}

	virtual int GetStringWidth(const KC_String& aText) = 0;
	virtual int GetHeight() = 0;

	virtual bool Print(int anX, int anY, const KC_String& aText) = 0;
	// anAlignment 1 centres, 2 aligns right, anything else aligns left.
	virtual bool PrintInRect(const KC_String& aText, const int* aRect, int anAlignment) = 0;
	virtual bool PrintScaled(float aScale, int anX, int anY, const KC_String& aText) = 0;
	// anAngle in radians.
	virtual bool PrintRotated(float anAngle, int anX, int anY, const KC_String& aText) = 0;
	virtual bool PrintScaledRotated(float aScale, float anAngle, int anX, int anY,
	                                const KC_String& aText) = 0;
};

#endif
