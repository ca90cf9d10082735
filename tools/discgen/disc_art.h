#ifndef DISC_ART_H
#define DISC_ART_H

// The sample disc's pictures. The menu definition (samples/disc/menu/autorun.juice)
// places the buttons where this layout says.

#include "disc_image.h"

enum
{
	DISC_WIDTH = 640,
	DISC_HEIGHT = 400,
	DISC_BUTTON_X = 48,
	DISC_BUTTON_WIDTH = 232,
	DISC_BUTTON_HEIGHT = 42
};

// The chroma key of the menu: pixels of this colour are left out.
const int DISC_KEY_RED = 255;
const int DISC_KEY_GREEN = 0;
const int DISC_KEY_BLUE = 255;

enum DiscButtonStyle
{
	DISC_PRIMARY,
	DISC_SECONDARY
};

enum DiscButtonLook
{
	DISC_NORMAL,
	DISC_HOVER,
	DISC_PRESSED,
	DISC_DISABLED
};

// The background behind the button column depends on x alone, so that the
// buttons' soft edges can be mixed with it wherever they stand in the column.
DiscColor Disc_BackgroundBase(int anX, int aY);

// aFont may be null (no text drawn).
DiscCanvas Disc_DrawBackground(const DiscFont* aTitleFont, const DiscFont* aTextFont);
DiscCanvas Disc_DrawButton(DiscButtonStyle aStyle, DiscButtonLook aLook);
DiscCanvas Disc_DrawIcon(int aSize);

#endif
