#ifndef DISPLAYFACTORY_H
#define DISPLAYFACTORY_H

class DisplayBitmap;
class DisplayFont;
class DisplayPrimitives;

// Owns the back buffer and makes the drawing objects that draw into it. The
// factory must outlive every bitmap, font and primitives object it makes.
// A colour argument points at three bytes: red, green, blue.
// A frame is BeginFrame, Clear, any drawing, Present, EndFrame.
class DisplayFactory
{
public:
	virtual ~DisplayFactory() {}

	// Null when the file cannot be loaded.
	virtual DisplayBitmap* LoadBitmapFile(const char* aFileName) = 0;
	// aSize -1 means 12; null when no font can be made.
	virtual DisplayFont* MakeFont(const char* aFaceName, int aSize) = 0;
	virtual DisplayPrimitives* MakePrimitives() = 0;

	virtual bool Clear(const unsigned char* aColor) = 0;
	// Copies the back buffer to the window; the four values are for other renderers.
	virtual bool Present(int aLeft, int aTop, int aRight, int aBottom) = 0;

	virtual int GetWidth() = 0;
	virtual int GetHeight() = 0;

	virtual void BeginFrame() = 0;
	virtual void EndFrame() = 0;
};

#endif
