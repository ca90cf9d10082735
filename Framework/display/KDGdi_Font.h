#ifndef KDGDI_FONT_H
#define KDGDI_FONT_H

#include "DisplayFont.h"

#include <windows.h>

class KDGdi_Factory;

// A GDI font drawing into the factory's back buffer in the font family's colour.
class GDIFont : public DisplayFont
{
public:
	explicit GDIFont(KDGdi_Factory* aFactory);
	~GDIFont() override;

	// Makes the GDI font; false (and no handle) when the system refuses it.
	bool Create(const char* aFaceName, int aSize);

	int GetStringWidth(const KC_String& aText) override;
	int GetHeight() override;

	bool Print(int anX, int anY, const KC_String& aText) override;
	bool PrintInRect(const KC_String& aText, const int* aRect, int anAlignment) override;
	bool PrintScaled(float aScale, int anX, int anY, const KC_String& aText) override;
	bool PrintRotated(float anAngle, int anX, int anY, const KC_String& aText) override;
	bool PrintScaledRotated(float aScale, float anAngle, int anX, int anY,
	                        const KC_String& aText) override;

	// The font family's colour, used by every font from the next drawing on.
	// The float forms take 0..1, clamped, times 255; the four-value forms set alpha too.
	static void SetColor(unsigned char aRed, unsigned char aGreen, unsigned char aBlue);
	static void SetColor(unsigned char anAlpha, unsigned char aRed, unsigned char aGreen,
	                     unsigned char aBlue);
	static void SetColor(float aRed, float aGreen, float aBlue);
	static void SetColor(float anAlpha, float aRed, float aGreen, float aBlue);
	// Whole numbers are bytes: SetColor(255, 0, 0) is red.
	static void SetColor(int aRed, int aGreen, int aBlue)
	{
		SetColor(static_cast<unsigned char>(aRed), static_cast<unsigned char>(aGreen),
		         static_cast<unsigned char>(aBlue));
	}

	HFONT GetHandle() const { return myFont; }

private:
	GDIFont(const GDIFont&);
	GDIFont& operator=(const GDIFont&);

	KDGdi_Factory* myFactory;
	HFONT myFont;
};

#endif
