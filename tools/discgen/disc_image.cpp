#include "disc_image.h"

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

#include <cmath>
#include <cstdio>

namespace
{
const int ourSamples = 4;

uint8_t ToByte(float aValue)
{
	float locValue = aValue < 0.0f ? 0.0f : (aValue > 1.0f ? 1.0f : aValue);
	return static_cast<uint8_t>(locValue * 255.0f + 0.5f);
}

void PutWord(std::vector<uint8_t>& aBytes, uint32_t aValue)
{
	for (int i = 0; i < 4; ++i)
		aBytes.push_back(static_cast<uint8_t>((aValue >> (8 * i)) & 0xFF));
}

void PutShort(std::vector<uint8_t>& aBytes, uint32_t aValue)
{
	aBytes.push_back(static_cast<uint8_t>(aValue & 0xFF));
	aBytes.push_back(static_cast<uint8_t>((aValue >> 8) & 0xFF));
}

float SampleOffset(int anIndex)
{
	return (anIndex + 0.5f) / ourSamples;
}

// Fraction of the pixel's samples for which anInside(x, y) holds.
template <class Test>
float Coverage(int anX, int aY, Test anInside)
{
	int locHits = 0;
	for (int j = 0; j < ourSamples; ++j)
		for (int i = 0; i < ourSamples; ++i)
			if (anInside(anX + SampleOffset(i), aY + SampleOffset(j)))
				++locHits;
	return static_cast<float>(locHits) / (ourSamples * ourSamples);
}
}

DiscColor Disc_Rgb(int aRed, int aGreen, int aBlue)
{
	DiscColor locColor = {aRed / 255.0f, aGreen / 255.0f, aBlue / 255.0f};
	return locColor;
}

DiscColor Disc_Mix(const DiscColor& aFrom, const DiscColor& aTo, float aWeight)
{
	DiscColor locColor = {aFrom.myR + (aTo.myR - aFrom.myR) * aWeight, aFrom.myG + (aTo.myG - aFrom.myG) * aWeight,
	                      aFrom.myB + (aTo.myB - aFrom.myB) * aWeight};
	return locColor;
}

DiscCanvas::DiscCanvas(int aWidth, int aHeight)
	: myWidth(aWidth), myHeight(aHeight), myPixels(static_cast<size_t>(aWidth) * aHeight * 4, 0.0f)
{
}

DiscColor DiscCanvas::Get(int anX, int aY) const
{
	const float* locPixel = &myPixels[(static_cast<size_t>(aY) * myWidth + anX) * 4];
	DiscColor locColor = {locPixel[0], locPixel[1], locPixel[2]};
	return locColor;
}

float DiscCanvas::GetAlpha(int anX, int aY) const
{
	return myPixels[(static_cast<size_t>(aY) * myWidth + anX) * 4 + 3];
}

void DiscCanvas::Set(int anX, int aY, const DiscColor& aColor, float anAlpha)
{
	if (anX < 0 || aY < 0 || anX >= myWidth || aY >= myHeight)
		return;
	float* locPixel = &myPixels[(static_cast<size_t>(aY) * myWidth + anX) * 4];
	locPixel[0] = aColor.myR;
	locPixel[1] = aColor.myG;
	locPixel[2] = aColor.myB;
	locPixel[3] = anAlpha;
}

void DiscCanvas::Blend(int anX, int aY, const DiscColor& aColor, float aCoverage)
{
	if (anX < 0 || aY < 0 || anX >= myWidth || aY >= myHeight || aCoverage <= 0.0f)
		return;
	float* locPixel = &myPixels[(static_cast<size_t>(aY) * myWidth + anX) * 4];
	// aColor over the pixel: on an opaque pixel a plain mix, on a clear one the colour itself.
	float locWeight = aCoverage > 1.0f ? 1.0f : aCoverage;
	float locOldAlpha = locPixel[3];
	float locNewAlpha = locOldAlpha + (1.0f - locOldAlpha) * locWeight;
	float locKeep = locOldAlpha * (1.0f - locWeight) / locNewAlpha;
	float locAdd = locWeight / locNewAlpha;
	locPixel[0] = locPixel[0] * locKeep + aColor.myR * locAdd;
	locPixel[1] = locPixel[1] * locKeep + aColor.myG * locAdd;
	locPixel[2] = locPixel[2] * locKeep + aColor.myB * locAdd;
	locPixel[3] = locNewAlpha;
}

float DiscCanvas::RoundRectCoverage(int anX, int aY, float aLeft, float aTop, float aRight, float aBottom,
                                    float aRadius)
{
	return Coverage(anX, aY, [&](float aSampleX, float aSampleY) {
		if (aSampleX < aLeft || aSampleX > aRight || aSampleY < aTop || aSampleY > aBottom)
			return false;
		float locCornerX = aSampleX < aLeft + aRadius ? aLeft + aRadius : (aSampleX > aRight - aRadius ? aRight - aRadius : aSampleX);
		float locCornerY = aSampleY < aTop + aRadius ? aTop + aRadius : (aSampleY > aBottom - aRadius ? aBottom - aRadius : aSampleY);
		float locDX = aSampleX - locCornerX;
		float locDY = aSampleY - locCornerY;
		return locDX * locDX + locDY * locDY <= aRadius * aRadius;
	});
}

void DiscCanvas::FillRoundRect(float aLeft, float aTop, float aRight, float aBottom, float aRadius,
                               const DiscColor& aColor, float anOpacity)
{
	FillRoundRectShaded(aLeft, aTop, aRight, aBottom, aRadius, [&](int, int) { return aColor; }, anOpacity);
}

void DiscCanvas::FillCircle(float aCenterX, float aCenterY, float aRadius, const DiscColor& aColor, float anOpacity)
{
	for (int locY = static_cast<int>(aCenterY - aRadius) - 1; locY <= static_cast<int>(aCenterY + aRadius) + 1; ++locY)
		for (int locX = static_cast<int>(aCenterX - aRadius) - 1; locX <= static_cast<int>(aCenterX + aRadius) + 1; ++locX)
		{
			float locCoverage = Coverage(locX, locY, [&](float aSampleX, float aSampleY) {
				float locDX = aSampleX - aCenterX;
				float locDY = aSampleY - aCenterY;
				return locDX * locDX + locDY * locDY <= aRadius * aRadius;
			});
			Blend(locX, locY, aColor, locCoverage * anOpacity);
		}
}

void DiscCanvas::StrokeCircle(float aCenterX, float aCenterY, float aRadius, float aWidth, const DiscColor& aColor,
                              float anOpacity)
{
	float locOuter = aRadius + aWidth / 2.0f;
	float locInner = aRadius - aWidth / 2.0f;
	for (int locY = static_cast<int>(aCenterY - locOuter) - 1; locY <= static_cast<int>(aCenterY + locOuter) + 1; ++locY)
		for (int locX = static_cast<int>(aCenterX - locOuter) - 1; locX <= static_cast<int>(aCenterX + locOuter) + 1; ++locX)
		{
			float locCoverage = Coverage(locX, locY, [&](float aSampleX, float aSampleY) {
				float locDistance = std::sqrt((aSampleX - aCenterX) * (aSampleX - aCenterX) +
				                              (aSampleY - aCenterY) * (aSampleY - aCenterY));
				return locDistance >= locInner && locDistance <= locOuter;
			});
			Blend(locX, locY, aColor, locCoverage * anOpacity);
		}
}

void DiscCanvas::FillPolygon(const std::vector<float>& aPoints, const DiscColor& aColor, float anOpacity)
{
	size_t locCount = aPoints.size() / 2;
	if (locCount < 3)
		return;
	float locMinX = aPoints[0], locMaxX = aPoints[0], locMinY = aPoints[1], locMaxY = aPoints[1];
	for (size_t i = 1; i < locCount; ++i)
	{
		locMinX = std::fmin(locMinX, aPoints[2 * i]);
		locMaxX = std::fmax(locMaxX, aPoints[2 * i]);
		locMinY = std::fmin(locMinY, aPoints[2 * i + 1]);
		locMaxY = std::fmax(locMaxY, aPoints[2 * i + 1]);
	}
	auto locInside = [&](float aSampleX, float aSampleY) {
		bool locIn = false;
		for (size_t i = 0, j = locCount - 1; i < locCount; j = i++)
		{
			float locXi = aPoints[2 * i], locYi = aPoints[2 * i + 1];
			float locXj = aPoints[2 * j], locYj = aPoints[2 * j + 1];
			if ((locYi > aSampleY) != (locYj > aSampleY) &&
			    aSampleX < (locXj - locXi) * (aSampleY - locYi) / (locYj - locYi) + locXi)
				locIn = !locIn;
		}
		return locIn;
	};
	for (int locY = static_cast<int>(locMinY) - 1; locY <= static_cast<int>(locMaxY) + 1; ++locY)
		for (int locX = static_cast<int>(locMinX) - 1; locX <= static_cast<int>(locMaxX) + 1; ++locX)
			Blend(locX, locY, aColor, Coverage(locX, locY, locInside) * anOpacity);
}

bool DiscFont::Load(const std::string& aFileName)
{
	FILE* locFile = std::fopen(aFileName.c_str(), "rb");
	if (!locFile)
		return false;
	myData.clear();
	unsigned char locBuffer[65536];
	size_t locRead;
	while ((locRead = std::fread(locBuffer, 1, sizeof(locBuffer), locFile)) > 0)
		myData.insert(myData.end(), locBuffer, locBuffer + locRead);
	std::fclose(locFile);
	myInfo.assign(sizeof(stbtt_fontinfo), 0);
	stbtt_fontinfo* locInfo = reinterpret_cast<stbtt_fontinfo*>(myInfo.data());
	return !myData.empty() && stbtt_InitFont(locInfo, myData.data(), stbtt_GetFontOffsetForIndex(myData.data(), 0));
}

float DiscFont::Measure(float aPixelHeight, const std::string& aText, float aLetterSpacing) const
{
	const stbtt_fontinfo* locInfo = reinterpret_cast<const stbtt_fontinfo*>(myInfo.data());
	float locScale = stbtt_ScaleForPixelHeight(locInfo, aPixelHeight);
	float locWidth = 0.0f;
	for (size_t i = 0; i < aText.size(); ++i)
	{
		int locAdvance = 0, locBearing = 0;
		stbtt_GetCodepointHMetrics(locInfo, static_cast<unsigned char>(aText[i]), &locAdvance, &locBearing);
		locWidth += locAdvance * locScale + aLetterSpacing;
		if (i + 1 < aText.size())
			locWidth += locScale * stbtt_GetCodepointKernAdvance(locInfo, static_cast<unsigned char>(aText[i]),
			                                                    static_cast<unsigned char>(aText[i + 1]));
	}
	return locWidth;
}

float DiscFont::Draw(DiscCanvas& aCanvas, float anX, float aY, float aPixelHeight, const std::string& aText,
                     const DiscColor& aColor, float aLetterSpacing) const
{
	const stbtt_fontinfo* locInfo = reinterpret_cast<const stbtt_fontinfo*>(myInfo.data());
	float locScale = stbtt_ScaleForPixelHeight(locInfo, aPixelHeight);
	float locX = anX;
	for (size_t i = 0; i < aText.size(); ++i)
	{
		int locCode = static_cast<unsigned char>(aText[i]);
		float locShift = locX - std::floor(locX);
		int locWidth = 0, locHeight = 0, locOffsetX = 0, locOffsetY = 0;
		unsigned char* locGlyph = stbtt_GetCodepointBitmapSubpixel(locInfo, locScale, locScale, locShift, 0.0f,
		                                                           locCode, &locWidth, &locHeight, &locOffsetX,
		                                                           &locOffsetY);
		for (int locRow = 0; locGlyph && locRow < locHeight; ++locRow)
			for (int locColumn = 0; locColumn < locWidth; ++locColumn)
				aCanvas.Blend(static_cast<int>(std::floor(locX)) + locOffsetX + locColumn,
				              static_cast<int>(aY) + locOffsetY + locRow, aColor,
				              locGlyph[locRow * locWidth + locColumn] / 255.0f);
		stbtt_FreeBitmap(locGlyph, NULL);
		int locAdvance = 0, locBearing = 0;
		stbtt_GetCodepointHMetrics(locInfo, locCode, &locAdvance, &locBearing);
		locX += locAdvance * locScale + aLetterSpacing;
		if (i + 1 < aText.size())
			locX += locScale * stbtt_GetCodepointKernAdvance(locInfo, locCode, static_cast<unsigned char>(aText[i + 1]));
	}
	return locX - anX;
}

std::vector<uint8_t> Disc_EncodeTga(const DiscCanvas& aCanvas)
{
	std::vector<uint8_t> locBytes;
	locBytes.resize(12, 0);
	locBytes[2] = 2;  // uncompressed true-colour
	PutShort(locBytes, static_cast<uint32_t>(aCanvas.GetWidth()));
	PutShort(locBytes, static_cast<uint32_t>(aCanvas.GetHeight()));
	locBytes.push_back(24);
	locBytes.push_back(0);  // origin at the bottom left
	for (int locY = aCanvas.GetHeight() - 1; locY >= 0; --locY)
		for (int locX = 0; locX < aCanvas.GetWidth(); ++locX)
		{
			DiscColor locColor = aCanvas.Get(locX, locY);
			locBytes.push_back(ToByte(locColor.myB));
			locBytes.push_back(ToByte(locColor.myG));
			locBytes.push_back(ToByte(locColor.myR));
		}
	return locBytes;
}

std::vector<uint8_t> Disc_EncodeIcon(const DiscCanvas& aCanvas)
{
	int locWidth = aCanvas.GetWidth();
	int locHeight = aCanvas.GetHeight();
	// One AND-mask row is a multiple of 32 bits.
	uint32_t locMaskRow = static_cast<uint32_t>((locWidth + 31) / 32 * 4);
	uint32_t locImageSize = 40 + static_cast<uint32_t>(locWidth * locHeight * 4) + locMaskRow * locHeight;

	std::vector<uint8_t> locBytes;
	PutShort(locBytes, 0);
	PutShort(locBytes, 1);  // icon
	PutShort(locBytes, 1);  // one image
	locBytes.push_back(static_cast<uint8_t>(locWidth));
	locBytes.push_back(static_cast<uint8_t>(locHeight));
	locBytes.push_back(0);  // no palette
	locBytes.push_back(0);
	PutShort(locBytes, 1);   // planes
	PutShort(locBytes, 32);  // bits per pixel
	PutWord(locBytes, locImageSize);
	PutWord(locBytes, 22);  // the image follows the directory

	PutWord(locBytes, 40);
	PutWord(locBytes, static_cast<uint32_t>(locWidth));
	PutWord(locBytes, static_cast<uint32_t>(locHeight * 2));  // colour rows and mask rows
	PutShort(locBytes, 1);
	PutShort(locBytes, 32);
	for (int i = 0; i < 6; ++i)
		PutWord(locBytes, 0);
	for (int locY = locHeight - 1; locY >= 0; --locY)
		for (int locX = 0; locX < locWidth; ++locX)
		{
			DiscColor locColor = aCanvas.Get(locX, locY);
			locBytes.push_back(ToByte(locColor.myB));
			locBytes.push_back(ToByte(locColor.myG));
			locBytes.push_back(ToByte(locColor.myR));
			locBytes.push_back(ToByte(aCanvas.GetAlpha(locX, locY)));
		}
	// The mask marks transparent pixels for systems that ignore alpha.
	for (int locY = locHeight - 1; locY >= 0; --locY)
	{
		std::vector<uint8_t> locRow(locMaskRow, 0);
		for (int locX = 0; locX < locWidth; ++locX)
			if (aCanvas.GetAlpha(locX, locY) < 0.5f)
				locRow[locX / 8] |= static_cast<uint8_t>(0x80 >> (locX % 8));
		locBytes.insert(locBytes.end(), locRow.begin(), locRow.end());
	}
	return locBytes;
}

bool Disc_WriteFile(const std::string& aFileName, const std::vector<uint8_t>& aBytes)
{
	FILE* locFile = std::fopen(aFileName.c_str(), "wb");
	if (!locFile)
		return false;
	bool locOk = std::fwrite(aBytes.data(), 1, aBytes.size(), locFile) == aBytes.size();
	return std::fclose(locFile) == 0 && locOk;
}
