#include "KDGdi_Factory.h"

#include "KDGdi_Bitmap.h"
#include "KDGdi_Font.h"
#include "KDGdi_Primitives.h"
#include "kc_assert.h"

namespace
{
// The size a font of size -1 gets.
const int ourDefaultFontSize = 12;
}

KDGdi_Factory::KDGdi_Factory(HWND aWindowHandle)
	: myWindowHandle(aWindowHandle)
	, myMemoryDC(NULL)
	, myBackBuffer(NULL)
	, myBackBufferWidth(0)
	, myBackBufferHeight(0)
	, myPreviousBitmap(NULL)
{
	// The site that reports a missing window is part of the assertion's text.
	static unsigned char ourIgnoreFlag = 0;
	if (!ourIgnoreFlag && !aWindowHandle)
	{
		if (KC_AssertFailed(".\\KDGdi_Factory", 14, "aWindowHandle", &ourIgnoreFlag))
			KC_DebugBreak();
		return;
	}

	RECT locWorkArea = {0, 0, 0, 0};
	if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &locWorkArea, 0))
	{
		myBackBufferWidth = locWorkArea.right;
		myBackBufferHeight = locWorkArea.bottom;
	}

	HDC locWindowDC = GetDC(myWindowHandle);
	if (!locWindowDC)
		return;
	myMemoryDC = CreateCompatibleDC(locWindowDC);
	if (myMemoryDC)
	{
		myBackBuffer = CreateCompatibleBitmap(locWindowDC, myBackBufferWidth, myBackBufferHeight);
		if (myBackBuffer)
			myPreviousBitmap = SelectObject(myMemoryDC, myBackBuffer);
	}
	// Only the memory context is kept.
	ReleaseDC(myWindowHandle, locWindowDC);
}

KDGdi_Factory::~KDGdi_Factory()
{
	if (myMemoryDC && myPreviousBitmap)
		SelectObject(myMemoryDC, myPreviousBitmap);
	if (myBackBuffer)
		DeleteObject(myBackBuffer);
	if (myMemoryDC)
		DeleteDC(myMemoryDC);
}

DisplayBitmap* KDGdi_Factory::LoadBitmapFile(const char* aFileName)
{
	GDIBitmap* locBitmap = new GDIBitmap(this);
	if (!locBitmap->Load(KC_String(aFileName)))
	{
		delete locBitmap;
		return NULL;
	}
	return locBitmap;
}

DisplayFont* KDGdi_Factory::MakeFont(const char* aFaceName, int aSize)
{
	if (aSize == -1)
		aSize = ourDefaultFontSize;
	GDIFont* locFont = new GDIFont(this);
	if (!locFont->Create(aFaceName, aSize))
	{
		delete locFont;
		return NULL;
	}
	return locFont;
}

DisplayPrimitives* KDGdi_Factory::MakePrimitives()
{
	return new GDIPrimitives(this);
}

bool KDGdi_Factory::Clear(const unsigned char* aColor)
{
	RECT locClient;
	if (!myMemoryDC || !GetClientRect(myWindowHandle, &locClient))
		return false;
	locClient.left = 0;
	locClient.top = 0;
	HBRUSH locBrush = CreateSolidBrush(KD_ToColorRef(aColor));
	if (!locBrush)
		return false;
	FillRect(myMemoryDC, &locClient, locBrush);
	DeleteObject(locBrush);
	return true;
}

bool KDGdi_Factory::Present(int /*aLeft*/, int /*aTop*/, int /*aRight*/, int /*aBottom*/)
{
	RECT locClient;
	if (!myMemoryDC || !GetClientRect(myWindowHandle, &locClient))
		return false;
	HDC locWindowDC = GetDC(myWindowHandle);
	if (!locWindowDC)
		return false;
	BitBlt(locWindowDC, 0, 0, locClient.right - locClient.left, locClient.bottom - locClient.top,
	       myMemoryDC, 0, 0, SRCCOPY);
	ReleaseDC(myWindowHandle, locWindowDC);
	return true;
}

int KDGdi_Factory::GetWidth()
{
	RECT locRect;
	if (!GetWindowRect(myWindowHandle, &locRect))
		return 0;
	return locRect.right - locRect.left;
}

int KDGdi_Factory::GetHeight()
{
	RECT locRect;
	if (!GetWindowRect(myWindowHandle, &locRect))
		return 0;
	return locRect.bottom - locRect.top;
}

void KDGdi_Factory::BeginFrame()
{
}

void KDGdi_Factory::EndFrame()
{
}
