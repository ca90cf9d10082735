#ifndef KD_COLORS_H
#define KD_COLORS_H

// The program-wide colour settings of the display layer. The GDI layer reads
// only the font colour and the chroma key; alpha and tint are kept for other
// renderers.

struct KD_FontColors
{
	unsigned char myAlpha;
	unsigned char myRed;
	unsigned char myGreen;
	unsigned char myBlue;
	float myScale;  // for setters that take 0..1
};

struct KD_BitmapColors
{
	unsigned char myAlpha;
	unsigned char myTintRed;
	unsigned char myTintGreen;
	unsigned char myTintBlue;
	unsigned char myKeyRed;
	unsigned char myKeyGreen;
	unsigned char myKeyBlue;
	bool myChromaKeyOn;
	float myScale;
};

extern KD_FontColors ourFontColors;
extern KD_BitmapColors ourBitmapColors;

// A value in 0..1, clamped, times aScale, truncated.
unsigned char KD_ScaleColor(float aValue, float aScale);

#endif
