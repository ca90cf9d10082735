#include "KDGdi_Bitmap.h"

#include "KDGdi_Factory.h"
#include "kc_output.h"
#include "kc_platform.h"
#include "kd_colors.h"
#include "kf_file.h"

#include <cstring>
#include <new>

namespace
{
// The extension of a file name: its last three characters.
bool HasExtension(const KC_String& aFileName, const char* anExtension)
{
	return aFileName.GetLength() >= 3 && aFileName.Right(3).CompareNoCase(anExtension) == 0;
}

// The back buffer as destination and a memory context compatible with it with
// a bitmap selected as the source of one copy; the source is deselected and
// deleted when it goes.
class CopyContexts
{
public:
	CopyContexts(HDC aDestination, HBITMAP aBitmap)
		: myDestination(aDestination)
		, mySource(NULL)
		, myPrevious(NULL)
	{
		if (!aDestination || !aBitmap)
			return;
		mySource = CreateCompatibleDC(aDestination);
		if (mySource)
			myPrevious = SelectObject(mySource, aBitmap);
	}
	~CopyContexts()
	{
		if (!mySource)
			return;
		SelectObject(mySource, myPrevious);
		DeleteDC(mySource);
	}
	bool IsReady() const { return mySource != NULL; }

	HDC myDestination;
	HDC mySource;

private:
	HGDIOBJ myPrevious;
};

// Checks a BMP file on disk, where the system's loader will read it, before
// the loader sees it.
bool CheckBmpFile(const KC_String& aFileName)
{
	KC_FileHandle locFile = KC_PlatformOpenFile(aFileName, KC_FILE_READ_SHARED);
	if (locFile == KC_INVALID_FILE_HANDLE)
	{
		KC_DebugOutput("GDIBitmap::Load(): file '%s' does not exist", static_cast<const char*>(aFileName));
		return false;
	}
	uint64_t locFileSize = 0;
	unsigned char locHeader[KD_BMP_MAX_HEADER_SIZE];
	uint32_t locRead = 0;
	bool locReadable = KC_PlatformGetFileSize(locFile, &locFileSize) &&
	                   KC_PlatformReadFile(locFile, locHeader, sizeof(locHeader), &locRead);
	KC_PlatformCloseFile(locFile);

	KD_BmpHeader locBmp;
	if (!locReadable || locFileSize > 0xFFFFFFFFu ||
	    !KD_ReadBmpHeader(locHeader, locRead, static_cast<uint32_t>(locFileSize), &locBmp))
	{
		KC_DebugOutput("GDIBitmap::Load(): file '%s' is not a readable BMP", static_cast<const char*>(aFileName));
		return false;
	}
	return true;
}
}

GDIBitmap::GDIBitmap(KDGdi_Factory* aFactory)
	: DisplayBitmap(aFactory)
	, myBitmap(NULL)
{
}

GDIBitmap::~GDIBitmap()
{
	DeleteHandle();
}

KDGdi_Factory* GDIBitmap::GetGdiFactory() const
{
	return static_cast<KDGdi_Factory*>(myFactory);
}

void GDIBitmap::DeleteHandle()
{
	if (myBitmap)
		DeleteObject(myBitmap);
	myBitmap = NULL;
}

bool GDIBitmap::Load(const KC_String& aFileName)
{
	if (HasExtension(aFileName, "bmp"))
		return LoadBMP(aFileName);
	if (HasExtension(aFileName, "tga"))
		return LoadTGA(aFileName);
	KC_DebugOutput("GDIBitmap::Load(): Illegal file type. GDI only supports TGA and BMP.");
	return false;
}

bool GDIBitmap::LoadBMP(const KC_String& aFileName)
{
	DeleteHandle();
	if (!CheckBmpFile(aFileName))
		return false;
	myBitmap = static_cast<HBITMAP>(LoadImageA(NULL, aFileName, IMAGE_BITMAP, 0, 0,
	                                           LR_CREATEDIBSECTION | LR_DEFAULTSIZE | LR_LOADFROMFILE));
	return myBitmap != NULL;
}

bool GDIBitmap::GetTGAData(const KC_String& aFileName, KD_TgaHeader* aHeader, unsigned char** aPixels)
{
	const char* locName = aFileName;
	KF_File locFile;
	if (!locFile.Open(locName, OPEN_READ))
	{
		KC_DebugOutput("GDIBitmap::GetTGAData(): file '%s' does not exist", locName);
		return false;
	}

	unsigned char locHeader[KD_TGA_HEADER_SIZE];
	const uint32_t locRead = locFile.Read(locHeader, sizeof(locHeader));
	uint32_t locOffset = 0;
	uint32_t locSize = 0;
	switch (KD_ReadTgaHeader(locHeader, locRead, locFile.GetSize(), aHeader, &locOffset, &locSize))
	{
	case KD_TGA_OK:
		break;
	case KD_TGA_ILLEGAL_TYPE:
		KC_DebugOutput("GDIBitmap::GetTGAData(): Illegal file type. Loader only supports uncompressed 24 or 32 bpp TGA.");
		locFile.Close();
		return false;
	case KD_TGA_NO_PIXELS:
		KC_DebugOutput("GDIBitmap::GetTGAData(): file '%s' has no pixels", locName);
		locFile.Close();
		return false;
	default:
		KC_DebugOutput("GDIBitmap::GetTGAData(): file '%s' is truncated", locName);
		locFile.Close();
		return false;
	}

	unsigned char* locPixels = new (std::nothrow) unsigned char[locSize];
	if (!locPixels)
	{
		locFile.Close();
		return false;
	}
	if (!locFile.Seek(static_cast<int>(locOffset), 0) || locFile.Read(locPixels, locSize) != locSize)
	{
		KC_DebugOutput("GDIBitmap::GetTGAData(): file '%s' is truncated", locName);
		delete[] locPixels;
		locFile.Close();
		return false;
	}
	locFile.Close();
	*aPixels = locPixels;
	return true;
}

bool GDIBitmap::LoadTGA(const KC_String& aFileName)
{
	DeleteHandle();
	KD_TgaHeader locHeader;
	unsigned char* locPixels = NULL;
	if (!GetTGAData(aFileName, &locHeader, &locPixels))
		return false;

	BITMAPINFO locInfo;
	std::memset(&locInfo, 0, sizeof(locInfo));
	locInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
	locInfo.bmiHeader.biWidth = locHeader.myWidth;
	locInfo.bmiHeader.biHeight = locHeader.myHeight;
	locInfo.bmiHeader.biPlanes = 1;
	locInfo.bmiHeader.biBitCount = locHeader.myPixelDepth;
	locInfo.bmiHeader.biCompression = BI_RGB;

	void* locBits = NULL;
	myBitmap = CreateDIBSection(NULL, &locInfo, DIB_RGB_COLORS, &locBits, NULL, 0);
	if (!myBitmap || !locBits)
	{
		DeleteHandle();
		delete[] locPixels;
		return false;
	}
	// The section's rows are bottom-up on a 4-byte stride, which is how a
	// bottom-up TGA stores them; a top-down TGA is turned over.
	KD_CopyTgaRows(locHeader, locPixels, static_cast<unsigned char*>(locBits), KD_TgaStride(locHeader));
	GdiFlush();
	delete[] locPixels;
	return true;
}

int GDIBitmap::GetWidth()
{
	BITMAP locBitmap;
	if (!myBitmap || GetObjectA(myBitmap, sizeof(locBitmap), &locBitmap) == 0)
		return 0;
	return locBitmap.bmWidth;
}

int GDIBitmap::GetHeight()
{
	BITMAP locBitmap;
	if (!myBitmap || GetObjectA(myBitmap, sizeof(locBitmap), &locBitmap) == 0)
		return 0;
	return locBitmap.bmHeight;
}

bool GDIBitmap::Blit(int aDestX, int aDestY, int aWidth, int aHeight, int aSourceX, int aSourceY)
{
	CopyContexts locContexts(GetGdiFactory()->GetMemoryDC(), myBitmap);
	if (!locContexts.IsReady())
		return false;
	HDC locDestDC = locContexts.myDestination;
	HDC locSourceDC = locContexts.mySource;

	const int locBitmapWidth = GetWidth();
	const int locBitmapHeight = GetHeight();
	if (aWidth == 0)
		aWidth = locBitmapWidth;
	if (aHeight == 0)
		aHeight = locBitmapHeight;

	BOOL locDone;
	if (ourBitmapColors.myChromaKeyOn)
	{
		// A keyed copy maps the whole bitmap onto the destination rectangle.
		const COLORREF locKey = RGB(ourBitmapColors.myKeyRed, ourBitmapColors.myKeyGreen, ourBitmapColors.myKeyBlue);
		locDone = TransparentBlt(locDestDC, aDestX, aDestY, aWidth, aHeight, locSourceDC, aSourceX, aSourceY,
		                         locBitmapWidth, locBitmapHeight, locKey);
	}
	else
	{
		locDone = BitBlt(locDestDC, aDestX, aDestY, aWidth, aHeight, locSourceDC, aSourceX, aSourceY, SRCCOPY);
	}

	return locDone != FALSE;
}

bool GDIBitmap::BlitStretch(int aDestX, int aDestY, int aDestWidth, int aDestHeight,
                            int aSourceX, int aSourceY, int aSourceWidth, int aSourceHeight)
{
	CopyContexts locContexts(GetGdiFactory()->GetMemoryDC(), myBitmap);
	if (!locContexts.IsReady())
		return false;
	HDC locDestDC = locContexts.myDestination;
	HDC locSourceDC = locContexts.mySource;

	if (aSourceWidth == 0)
		aSourceWidth = GetWidth();
	if (aSourceHeight == 0)
		aSourceHeight = GetHeight();
	const BOOL locDone = StretchBlt(locDestDC, aDestX, aDestY, aDestWidth, aDestHeight, locSourceDC,
	                                aSourceX, aSourceY, aSourceWidth, aSourceHeight, SRCCOPY);

	return locDone != FALSE;
}

bool GDIBitmap::BlitRotate(int, int, int, int, int, int, float)
{
	KC_DebugOutput("GDIBitmap::BlitRotate(): Bitmap rotation is not implemented in GDI.");
	return false;
}

bool GDIBitmap::BlitStretchRotate(int, int, int, int, int, int, float)
{
	KC_DebugOutput("GDIBitmap::BlitStretchRotate(): Bitmap rotation is not implemented in GDI.");
	return false;
}

void GDIBitmap::SetChromaKey(unsigned char aRed, unsigned char aGreen, unsigned char aBlue)
{
	ourBitmapColors.myKeyRed = aRed;
	ourBitmapColors.myKeyGreen = aGreen;
	ourBitmapColors.myKeyBlue = aBlue;
}

void GDIBitmap::SetChromaKey(float aRed, float aGreen, float aBlue)
{
	const float locScale = ourBitmapColors.myScale;
	SetChromaKey(KD_ScaleColor(aRed, locScale), KD_ScaleColor(aGreen, locScale), KD_ScaleColor(aBlue, locScale));
}

void GDIBitmap::EnableChromaKey(bool anEnable)
{
	ourBitmapColors.myChromaKeyOn = anEnable;
}
