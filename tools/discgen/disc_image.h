#ifndef DISC_IMAGE_H
#define DISC_IMAGE_H

// Pictures of the sample disc: an RGB canvas with anti-aliased shapes, text
// from a TrueType font, and writers for uncompressed TGA files and icons.

#include <cstdint>
#include <string>
#include <vector>

struct DiscColor
{
	float myR;
	float myG;
	float myB;
};

DiscColor Disc_Rgb(int aRed, int aGreen, int aBlue);
DiscColor Disc_Mix(const DiscColor& aFrom, const DiscColor& aTo, float aWeight);

// Rows top-down; every pixel also keeps a coverage (alpha) for icons.
class DiscCanvas
{
public:
	DiscCanvas(int aWidth, int aHeight);

	int GetWidth() const { return myWidth; }
	int GetHeight() const { return myHeight; }
	DiscColor Get(int anX, int aY) const;
	float GetAlpha(int anX, int aY) const;
	// Blends aColor over the pixel with weight aCoverage (0..1); outside the canvas nothing happens.
	void Blend(int anX, int aY, const DiscColor& aColor, float aCoverage);
	void Set(int anX, int aY, const DiscColor& aColor, float anAlpha = 1.0f);

	// Every pixel of the canvas: aColor(x, y).
	template <class Shader>
	void Shade(Shader aShader)
	{
		for (int locY = 0; locY < myHeight; ++locY)
			for (int locX = 0; locX < myWidth; ++locX)
				Set(locX, locY, aShader(locX, locY));
	}

	// Shapes with 4 x 4 samples per pixel at their edges; aColor(x, y) gives the fill.
	template <class Shader>
	void FillRoundRectShaded(float aLeft, float aTop, float aRight, float aBottom, float aRadius, Shader aShader,
	                         float anOpacity = 1.0f)
	{
		for (int locY = static_cast<int>(aTop) - 1; locY <= static_cast<int>(aBottom) + 1; ++locY)
			for (int locX = static_cast<int>(aLeft) - 1; locX <= static_cast<int>(aRight) + 1; ++locX)
			{
				float locCoverage = RoundRectCoverage(locX, locY, aLeft, aTop, aRight, aBottom, aRadius);
				if (locCoverage > 0.0f)
					Blend(locX, locY, aShader(locX, locY), locCoverage * anOpacity);
			}
	}
	// Blends aColor(x, y) over the pixels of the box whose samples satisfy anInside(x, y).
	template <class Inside, class Shader>
	void FillWhere(int aLeft, int aTop, int aRight, int aBottom, Inside anInside, Shader aShader, float anOpacity = 1.0f)
	{
		for (int locY = aTop; locY <= aBottom; ++locY)
			for (int locX = aLeft; locX <= aRight; ++locX)
			{
				int locHits = 0;
				for (int j = 0; j < 4; ++j)
					for (int i = 0; i < 4; ++i)
						if (anInside(locX + (i + 0.5f) / 4, locY + (j + 0.5f) / 4))
							++locHits;
				if (locHits)
					Blend(locX, locY, aShader(locX, locY), locHits / 16.0f * anOpacity);
			}
	}
	void FillRoundRect(float aLeft, float aTop, float aRight, float aBottom, float aRadius, const DiscColor& aColor,
	                   float anOpacity = 1.0f);
	void FillCircle(float aCenterX, float aCenterY, float aRadius, const DiscColor& aColor, float anOpacity = 1.0f);
	void StrokeCircle(float aCenterX, float aCenterY, float aRadius, float aWidth, const DiscColor& aColor,
	                  float anOpacity = 1.0f);
	// A polygon filled by the even-odd rule.
	void FillPolygon(const std::vector<float>& aPoints, const DiscColor& aColor, float anOpacity = 1.0f);

	// Fraction of the pixel inside the rounded rectangle.
	static float RoundRectCoverage(int anX, int aY, float aLeft, float aTop, float aRight, float aBottom,
	                               float aRadius);

private:
	int myWidth;
	int myHeight;
	std::vector<float> myPixels;  // r, g, b, alpha
};

// Text in one TrueType font.
class DiscFont
{
public:
	// False when the font file cannot be read.
	bool Load(const std::string& aFileName);
	// Draws aText with its baseline at aY; returns the advance in pixels.
	float Draw(DiscCanvas& aCanvas, float anX, float aY, float aPixelHeight, const std::string& aText,
	           const DiscColor& aColor, float aLetterSpacing = 0.0f) const;
	float Measure(float aPixelHeight, const std::string& aText, float aLetterSpacing = 0.0f) const;

private:
	std::vector<unsigned char> myData;
	std::vector<unsigned char> myInfo;  // stbtt_fontinfo
};

// Uncompressed 24-bit TGA, rows bottom-up, pixels blue, green, red.
std::vector<uint8_t> Disc_EncodeTga(const DiscCanvas& aCanvas);
// An icon file with one 32-bit image (BGRA rows bottom-up, then the AND mask).
std::vector<uint8_t> Disc_EncodeIcon(const DiscCanvas& aCanvas);
bool Disc_WriteFile(const std::string& aFileName, const std::vector<uint8_t>& aBytes);

#endif
