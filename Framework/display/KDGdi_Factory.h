#ifndef KDGDI_FACTORY_H
#define KDGDI_FACTORY_H

#include "DisplayFactory.h"

#include <windows.h>

// The GDI display factory: a memory device context with a bitmap the size of
// the desktop work area as the back buffer, copied to the window by Present.
class KDGdi_Factory : public DisplayFactory
{
public:
	// Asserts that aWindowHandle is not null.
	explicit KDGdi_Factory(HWND aWindowHandle);
	~KDGdi_Factory() override;

	DisplayBitmap* LoadBitmapFile(const char* aFileName) override;
	DisplayFont* MakeFont(const char* aFaceName, int aSize) override;
	DisplayPrimitives* MakePrimitives() override;

	// Fills the window's client rectangle of the back buffer.
	bool Clear(const unsigned char* aColor) override;
	bool Present(int aLeft, int aTop, int aRight, int aBottom) override;

	// The window rectangle's extent; 0 when it cannot be had.
	int GetWidth() override;
	int GetHeight() override;

	void BeginFrame() override;
	void EndFrame() override;

	HWND GetWindowHandle() const { return myWindowHandle; }
	// The back buffer's context; null when it could not be made.
	HDC GetMemoryDC() const { return myMemoryDC; }
	int GetBackBufferWidth() const { return myBackBufferWidth; }
	int GetBackBufferHeight() const { return myBackBufferHeight; }

private:
	KDGdi_Factory(const KDGdi_Factory&);
	KDGdi_Factory& operator=(const KDGdi_Factory&);

	HWND myWindowHandle;
	HDC myMemoryDC;
	HBITMAP myBackBuffer;
	int myBackBufferWidth;
	int myBackBufferHeight;
	HGDIOBJ myPreviousBitmap;
};

// A colour argument (red, green, blue bytes) as a GDI colour.
inline COLORREF KD_ToColorRef(const unsigned char* aColor)
{
	return RGB(aColor[0], aColor[1], aColor[2]);
}

#endif
