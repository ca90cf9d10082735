#ifndef DISPLAYBITMAP_H
#define DISPLAYBITMAP_H

class DisplayFactory;

// A picture that copies itself into its factory's back buffer. A width or
// height of 0 means the bitmap's own.
class DisplayBitmap
{
public:
	explicit DisplayBitmap(DisplayFactory* aFactory) : myFactory(aFactory) {}
	virtual ~DisplayBitmap() {}

	virtual int GetWidth() = 0;
	virtual int GetHeight() = 0;

	virtual bool Blit(int aDestX, int aDestY, int aWidth, int aHeight, int aSourceX, int aSourceY) = 0;
	virtual bool BlitStretch(int aDestX, int aDestY, int aDestWidth, int aDestHeight,
	                         int aSourceX, int aSourceY, int aSourceWidth, int aSourceHeight) = 0;
	// Positions, extents and an angle in radians.
	virtual bool BlitRotate(int aDestX, int aDestY, int aWidth, int aHeight,
	                        int aSourceX, int aSourceY, float anAngle) = 0;
	virtual bool BlitStretchRotate(int aDestX, int aDestY, int aDestWidth, int aDestHeight,
	                               int aSourceX, int aSourceY, float anAngle) = 0;

	DisplayFactory* GetFactory() const { return myFactory; }

protected:
	DisplayFactory* myFactory;
};

#endif
