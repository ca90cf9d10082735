#ifndef KDGDI_BITMAP_H
#define KDGDI_BITMAP_H

#include "DisplayBitmap.h"
#include "KC_String.h"
#include "kd_imageheader.h"

#include <windows.h>

class KDGdi_Factory;

// A BMP or uncompressed TGA picture held as a GDI bitmap and copied into the
// factory's back buffer plainly, chroma-keyed or stretched.
class GDIBitmap : public DisplayBitmap
{
public:
	explicit GDIBitmap(KDGdi_Factory* aFactory);
	~GDIBitmap() override;

	// Loads by the last three characters of the name: "bmp" or "tga", any case.
	// A second load replaces the picture.
	bool Load(const KC_String& aFileName);

	// Reads a TGA through the file layer (archives included): the header and the
	// pixel rows as stored. The caller frees *aPixels with delete[].
	static bool GetTGAData(const KC_String& aFileName, KD_TgaHeader* aHeader, unsigned char** aPixels);

	int GetWidth() override;
	int GetHeight() override;

	bool Blit(int aDestX, int aDestY, int aWidth, int aHeight, int aSourceX, int aSourceY) override;
	bool BlitStretch(int aDestX, int aDestY, int aDestWidth, int aDestHeight,
	                 int aSourceX, int aSourceY, int aSourceWidth, int aSourceHeight) override;
	// Not available with GDI: report and return false.
	bool BlitRotate(int aDestX, int aDestY, int aWidth, int aHeight,
	                int aSourceX, int aSourceY, float anAngle) override;
	bool BlitStretchRotate(int aDestX, int aDestY, int aDestWidth, int aDestHeight,
	                       int aSourceX, int aSourceY, float anAngle) override;

	// The chroma key shared by all bitmaps. The float forms take 0..1, times 255.
	static void SetChromaKey(unsigned char aRed, unsigned char aGreen, unsigned char aBlue);
	static void SetChromaKey(float aRed, float aGreen, float aBlue);
	// Whole numbers are bytes.
	static void SetChromaKey(int aRed, int aGreen, int aBlue)
	{
		SetChromaKey(static_cast<unsigned char>(aRed), static_cast<unsigned char>(aGreen),
		             static_cast<unsigned char>(aBlue));
	}
	static void EnableChromaKey(bool anEnable);

	HBITMAP GetHandle() const { return myBitmap; }

private:
	GDIBitmap(const GDIBitmap&);
	GDIBitmap& operator=(const GDIBitmap&);

	bool LoadBMP(const KC_String& aFileName);
	bool LoadTGA(const KC_String& aFileName);
	void DeleteHandle();
	KDGdi_Factory* GetGdiFactory() const;

	HBITMAP myBitmap;
};

#endif
