#include "KDGdi_Font.h"

#include "KDGdi_Factory.h"
#include "kd_colors.h"

namespace
{
// Radians to tenths of a degree, as the escapement wants them.
const float ourRadiansToDegrees = 57.29578f;

// Selects a font, transparent background and the font family's colour into a
// context, and puts the previous ones back when it goes.
class TextFrame
{
public:
	TextFrame(HDC aDC, HFONT aFont)
		: myDC(aDC)
	{
		myPreviousFont = SelectObject(myDC, aFont);
		myPreviousMode = SetBkMode(myDC, TRANSPARENT);
		myPreviousColor = SetTextColor(myDC, RGB(ourFontColors.myRed, ourFontColors.myGreen, ourFontColors.myBlue));
	}
	~TextFrame()
	{
		SetTextColor(myDC, myPreviousColor);
		SetBkMode(myDC, myPreviousMode);
		SelectObject(myDC, myPreviousFont);
	}

private:
	HDC myDC;
	HGDIOBJ myPreviousFont;
	int myPreviousMode;
	COLORREF myPreviousColor;
};
}

GDIFont::GDIFont(KDGdi_Factory* aFactory)
	: myFactory(aFactory)
	, myFont(NULL)
{
}

GDIFont::~GDIFont()
{
	if (myFont)
		DeleteObject(myFont);
}

bool GDIFont::Create(const char* aFaceName, int aSize)
{
	if (myFont)
		DeleteObject(myFont);
	myFont = CreateFontA(aSize, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
	                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
	                     aFaceName);
	return myFont != NULL;
}

int GDIFont::GetStringWidth(const KC_String& aText)
{
	HDC locDC = myFactory->GetMemoryDC();
	if (!locDC || !myFont)
		return 0;
	TextFrame locFrame(locDC, myFont);
	SIZE locSize;
	if (!GetTextExtentPoint32A(locDC, aText, aText.GetLength(), &locSize))
		return 0;
	return locSize.cx;
}

int GDIFont::GetHeight()
{
	LOGFONTA locLogFont;
	if (!myFont || GetObjectA(myFont, sizeof(locLogFont), &locLogFont) != sizeof(locLogFont))
		return 0;
	return locLogFont.lfHeight;
}

bool GDIFont::Print(int anX, int anY, const KC_String& aText)
{
	HDC locDC = myFactory->GetMemoryDC();
	if (!locDC || !myFont)
		return false;
	TextFrame locFrame(locDC, myFont);
	return TextOutA(locDC, anX, anY, aText, aText.GetLength()) != FALSE;
}

bool GDIFont::PrintInRect(const KC_String& aText, const int* aRect, int anAlignment)
{
	HDC locDC = myFactory->GetMemoryDC();
	if (!locDC || !myFont)
		return false;
	// Captions are drawn as written: "&" is a character, not a mnemonic prefix.
	UINT locFormat = DT_LEFT | DT_NOPREFIX;
	if (anAlignment == 1)
		locFormat = DT_CENTER | DT_NOPREFIX;
	else if (anAlignment == 2)
		locFormat = DT_RIGHT | DT_NOPREFIX;
	RECT locRect = {aRect[0], aRect[1], aRect[2], aRect[3]};
	TextFrame locFrame(locDC, myFont);
	return DrawTextA(locDC, aText, aText.GetLength(), &locRect, locFormat) != 0;
}

bool GDIFont::PrintScaled(float aScale, int anX, int anY, const KC_String& aText)
{
	return PrintScaledRotated(aScale, 0.0f, anX, anY, aText);
}

bool GDIFont::PrintRotated(float anAngle, int anX, int anY, const KC_String& aText)
{
	return PrintScaledRotated(1.0f, anAngle, anX, anY, aText);
}

bool GDIFont::PrintScaledRotated(float aScale, float anAngle, int anX, int anY, const KC_String& aText)
{
	HDC locDC = myFactory->GetMemoryDC();
	LOGFONTA locLogFont;
	if (!locDC || !myFont || GetObjectA(myFont, sizeof(locLogFont), &locLogFont) != sizeof(locLogFont))
		return false;
	locLogFont.lfHeight = static_cast<LONG>(locLogFont.lfHeight * aScale);
	locLogFont.lfEscapement = static_cast<LONG>(anAngle * ourRadiansToDegrees * 10.0f);
	HFONT locFont = CreateFontIndirectA(&locLogFont);
	if (!locFont)
		return false;
	bool locDrawn;
	{
		TextFrame locFrame(locDC, locFont);
		locDrawn = TextOutA(locDC, anX, anY, aText, aText.GetLength()) != FALSE;
	}
	DeleteObject(locFont);
	return locDrawn;
}

void GDIFont::SetColor(unsigned char aRed, unsigned char aGreen, unsigned char aBlue)
{
	ourFontColors.myRed = aRed;
	ourFontColors.myGreen = aGreen;
	ourFontColors.myBlue = aBlue;
}

void GDIFont::SetColor(unsigned char anAlpha, unsigned char aRed, unsigned char aGreen, unsigned char aBlue)
{
	ourFontColors.myAlpha = anAlpha;
	SetColor(aRed, aGreen, aBlue);
}

void GDIFont::SetColor(float aRed, float aGreen, float aBlue)
{
	const float locScale = ourFontColors.myScale;
	SetColor(KD_ScaleColor(aRed, locScale), KD_ScaleColor(aGreen, locScale), KD_ScaleColor(aBlue, locScale));
}

void GDIFont::SetColor(float anAlpha, float aRed, float aGreen, float aBlue)
{
	ourFontColors.myAlpha = KD_ScaleColor(anAlpha, ourFontColors.myScale);
	SetColor(aRed, aGreen, aBlue);
}
