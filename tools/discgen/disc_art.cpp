#include "disc_art.h"

#include <cmath>
#include <cstdint>

namespace
{
const float ourButtonRadius = 10.0f;

DiscColor Key()
{
	return Disc_Rgb(DISC_KEY_RED, DISC_KEY_GREEN, DISC_KEY_BLUE);
}

// A small deterministic generator for the stars.
uint32_t NextRandom(uint32_t& aState)
{
	aState = aState * 1664525u + 1013904223u;
	return aState >> 8;
}

float Random01(uint32_t& aState)
{
	return (NextRandom(aState) & 0xFFFF) / 65535.0f;
}

struct ButtonPalette
{
	DiscColor myTop;
	DiscColor myBottom;
	DiscColor myBorder;
	float myBorderOpacity;
	DiscColor myHighlight;
	float myHighlightOpacity;
};

// Disabled: a body barely lighter than the background and a faint frame,
// darker than any enabled look; the primary style keeps a trace of its blue.
ButtonPalette DisabledPalette(DiscButtonStyle aStyle)
{
	if (aStyle == DISC_PRIMARY)
		return {Disc_Rgb(17, 25, 44), Disc_Rgb(15, 22, 39), Disc_Rgb(40, 52, 76), 1.0f, Disc_Rgb(0, 0, 0), 0.0f};
	return {Disc_Rgb(16, 23, 38), Disc_Rgb(15, 21, 35), Disc_Rgb(40, 50, 68), 1.0f, Disc_Rgb(0, 0, 0), 0.0f};
}

ButtonPalette PaletteOf(DiscButtonStyle aStyle, DiscButtonLook aLook)
{
	if (aStyle == DISC_PRIMARY)
	{
		switch (aLook)
		{
		case DISC_HOVER:
			return {Disc_Rgb(96, 165, 250), Disc_Rgb(59, 130, 246), Disc_Rgb(147, 197, 253), 0.9f, Disc_Rgb(255, 255, 255), 0.35f};
		case DISC_PRESSED:
			return {Disc_Rgb(29, 78, 216), Disc_Rgb(30, 64, 175), Disc_Rgb(30, 58, 138), 0.9f, Disc_Rgb(0, 0, 0), 0.0f};
		case DISC_DISABLED:
			return DisabledPalette(aStyle);
		default:
			return {Disc_Rgb(59, 130, 246), Disc_Rgb(37, 99, 235), Disc_Rgb(96, 165, 250), 0.7f, Disc_Rgb(255, 255, 255), 0.25f};
		}
	}
	switch (aLook)
	{
	case DISC_HOVER:
		return {Disc_Rgb(58, 76, 106), Disc_Rgb(48, 64, 92), Disc_Rgb(148, 168, 196), 1.0f, Disc_Rgb(255, 255, 255), 0.14f};
	case DISC_PRESSED:
		return {Disc_Rgb(30, 42, 62), Disc_Rgb(34, 47, 69), Disc_Rgb(100, 116, 139), 1.0f, Disc_Rgb(0, 0, 0), 0.0f};
	case DISC_DISABLED:
		return DisabledPalette(aStyle);
	default:
		return {Disc_Rgb(42, 56, 80), Disc_Rgb(36, 48, 70), Disc_Rgb(100, 116, 139), 1.0f, Disc_Rgb(255, 255, 255), 0.1f};
	}
}

void DrawGlow(DiscCanvas& aCanvas, float aCenterX, float aCenterY, float aRadius, const DiscColor& aColor,
              float aStrength)
{
	for (int locY = 0; locY < aCanvas.GetHeight(); ++locY)
		for (int locX = 0; locX < aCanvas.GetWidth(); ++locX)
		{
			float locDistance = std::hypot(locX + 0.5f - aCenterX, locY + 0.5f - aCenterY) / aRadius;
			if (locDistance < 1.0f)
				aCanvas.Blend(locX, locY, aColor, aStrength * (1.0f - locDistance) * (1.0f - locDistance));
		}
}

void DrawPlanet(DiscCanvas& aCanvas)
{
	const float locCX = 508.0f, locCY = 150.0f, locR = 68.0f;
	const float locRingA = 118.0f, locRingB = 24.0f, locRingWidth = 0.16f;
	const float locTilt = -0.28f;
	const float locCos = std::cos(locTilt), locSin = std::sin(locTilt);
	auto locRingCoordinates = [&](float aX, float aY, float& aU, float& aV) {
		float locDX = aX - locCX, locDY = aY - locCY;
		aU = locDX * locCos + locDY * locSin;
		aV = -locDX * locSin + locDY * locCos;
	};
	auto locOnRing = [&](float aX, float aY) {
		float locU, locV;
		locRingCoordinates(aX, aY, locU, locV);
		float locE = std::sqrt((locU * locU) / (locRingA * locRingA) + (locV * locV) / (locRingB * locRingB));
		return locE >= 1.0f - locRingWidth && locE <= 1.0f;
	};
	auto locInPlanet = [&](float aX, float aY) { return std::hypot(aX - locCX, aY - locCY) <= locR; };
	int locLeft = static_cast<int>(locCX - locRingA - 4), locRight = static_cast<int>(locCX + locRingA + 4);
	int locTop = static_cast<int>(locCY - locRingA), locBottom = static_cast<int>(locCY + locRingA);
	DiscColor locRingColor = Disc_Rgb(125, 211, 252);

	// The half of the ring behind the planet, the planet, then the front half.
	aCanvas.FillWhere(locLeft, locTop, locRight, locBottom,
	                  [&](float aX, float aY) {
		                  float locU, locV;
		                  locRingCoordinates(aX, aY, locU, locV);
		                  return locV < 0.0f && locOnRing(aX, aY);
	                  },
	                  [&](int, int) { return locRingColor; }, 0.55f);
	DiscColor locLight = Disc_Rgb(103, 232, 249);
	DiscColor locMiddle = Disc_Rgb(37, 99, 235);
	DiscColor locDark = Disc_Rgb(23, 37, 84);
	aCanvas.FillWhere(static_cast<int>(locCX - locR - 1), static_cast<int>(locCY - locR - 1),
	                  static_cast<int>(locCX + locR + 1), static_cast<int>(locCY + locR + 1), locInPlanet,
	                  [&](int aX, int aY) {
		                  // Light from the top left.
		                  float locT = ((aX - (locCX - locR)) + (aY - (locCY - locR))) / (4.0f * locR);
		                  locT = locT < 0.0f ? 0.0f : (locT > 1.0f ? 1.0f : locT);
		                  return locT < 0.5f ? Disc_Mix(locLight, locMiddle, locT * 2.0f)
		                                     : Disc_Mix(locMiddle, locDark, (locT - 0.5f) * 2.0f);
	                  });
	// Soft bands across the planet.
	for (int locBand = 0; locBand < 3; ++locBand)
	{
		float locBandY = locCY - 28.0f + locBand * 24.0f;
		aCanvas.FillWhere(static_cast<int>(locCX - locR), static_cast<int>(locBandY - 4), static_cast<int>(locCX + locR),
		                  static_cast<int>(locBandY + 4),
		                  [&](float aX, float aY) { return locInPlanet(aX, aY) && std::fabs(aY - locBandY - (aX - locCX) * 0.12f) < 3.0f; },
		                  [&](int, int) { return Disc_Rgb(255, 255, 255); }, 0.07f);
	}
	aCanvas.FillWhere(locLeft, locTop, locRight, locBottom,
	                  [&](float aX, float aY) {
		                  float locU, locV;
		                  locRingCoordinates(aX, aY, locU, locV);
		                  return locV >= 0.0f && locOnRing(aX, aY);
	                  },
	                  [&](int, int) { return locRingColor; }, 0.85f);
}

void DrawRidges(DiscCanvas& aCanvas)
{
	std::vector<float> locBack = {316, 400, 372, 318, 410, 334, 462, 286, 506, 322, 548, 300, 600, 330, 640, 312,
	                              640, 400};
	aCanvas.FillPolygon(locBack, Disc_Rgb(22, 37, 66), 1.0f);
	std::vector<float> locFront = {340, 400, 388, 346, 436, 366, 492, 336, 552, 362, 604, 344, 640, 356, 640, 400};
	aCanvas.FillPolygon(locFront, Disc_Rgb(12, 22, 42), 1.0f);
}

void DrawStars(DiscCanvas& aCanvas)
{
	uint32_t locState = 20260;
	for (int locStar = 0; locStar < 70; ++locStar)
	{
		float locX = 336.0f + Random01(locState) * 296.0f;
		float locY = 14.0f + Random01(locState) * 270.0f;
		float locRadius = 0.5f + Random01(locState) * 0.8f;
		float locOpacity = 0.25f + Random01(locState) * 0.6f;
		aCanvas.FillCircle(locX, locY, locRadius, Disc_Rgb(226, 232, 240), locOpacity);
	}
}
}

DiscColor Disc_BackgroundBase(int anX, int /*aY*/)
{
	float locT = static_cast<float>(anX) / (DISC_WIDTH - 1);
	return Disc_Mix(Disc_Rgb(9, 14, 28), Disc_Rgb(14, 24, 46), locT);
}

DiscCanvas Disc_DrawBackground(const DiscFont* aTitleFont, const DiscFont* aTextFont)
{
	DiscCanvas locCanvas(DISC_WIDTH, DISC_HEIGHT);
	locCanvas.Shade([](int anX, int aY) { return Disc_BackgroundBase(anX, aY); });

	DrawGlow(locCanvas, 520.0f, 150.0f, 200.0f, Disc_Rgb(37, 99, 235), 0.45f);
	DrawStars(locCanvas);
	DrawPlanet(locCanvas);
	DrawRidges(locCanvas);

	// A hairline between the text column and the picture.
	for (int locY = 40; locY < DISC_HEIGHT - 40; ++locY)
	{
		float locFade = 1.0f - std::fabs((locY - DISC_HEIGHT / 2.0f) / (DISC_HEIGHT / 2.0f - 40.0f));
		locCanvas.Blend(312, locY, Disc_Rgb(148, 163, 184), 0.18f * locFade);
	}

	if (aTitleFont)
		aTitleFont->Draw(locCanvas, DISC_BUTTON_X - 2, 94.0f, 38.0f, "IRONFIELD II", Disc_Rgb(248, 250, 252), 2.0f);
	if (aTextFont)
	{
		aTextFont->Draw(locCanvas, DISC_BUTTON_X, 126.0f, 17.0f, "Sample disc", Disc_Rgb(148, 163, 184), 0.5f);
		aTextFont->Draw(locCanvas, DISC_BUTTON_X, 393.0f, 13.0f, "Kestrelsoft", Disc_Rgb(148, 163, 184), 0.5f);
	}
	locCanvas.FillRoundRect(DISC_BUTTON_X, 140.0f, DISC_BUTTON_X + 36.0f, 144.0f, 2.0f, Disc_Rgb(34, 211, 238));
	return locCanvas;
}

DiscCanvas Disc_DrawButton(DiscButtonStyle aStyle, DiscButtonLook aLook)
{
	const float locW = DISC_BUTTON_WIDTH, locH = DISC_BUTTON_HEIGHT;
	ButtonPalette locPalette = PaletteOf(aStyle, aLook);
	// What lies under the button in the window, so that soft edges mix with it.
	DiscCanvas locCanvas(DISC_BUTTON_WIDTH, DISC_BUTTON_HEIGHT);
	locCanvas.Shade([](int anX, int aY) { return Disc_BackgroundBase(DISC_BUTTON_X + anX, aY); });

	// Border, then the body inset by one pixel with its vertical gradient.
	locCanvas.FillRoundRect(0.0f, 0.0f, locW, locH, ourButtonRadius, locPalette.myBorder, locPalette.myBorderOpacity);
	locCanvas.FillRoundRectShaded(1.0f, 1.0f, locW - 1.0f, locH - 1.0f, ourButtonRadius - 1.0f,
	                              [&](int, int aY) { return Disc_Mix(locPalette.myTop, locPalette.myBottom, aY / locH); });
	if (locPalette.myHighlightOpacity > 0.0f)
	{
		// A light top edge.
		for (int locX = 0; locX < DISC_BUTTON_WIDTH; ++locX)
		{
			float locInside = DiscCanvas::RoundRectCoverage(locX, 1, 1.0f, 1.0f, locW - 1.0f, locH - 1.0f,
			                                                ourButtonRadius - 1.0f);
			locCanvas.Blend(locX, 1, locPalette.myHighlight, locPalette.myHighlightOpacity * locInside);
		}
	}

	// Pixels wholly outside the shape take the key colour: the background shows there.
	for (int locY = 0; locY < DISC_BUTTON_HEIGHT; ++locY)
		for (int locX = 0; locX < DISC_BUTTON_WIDTH; ++locX)
			if (DiscCanvas::RoundRectCoverage(locX, locY, 0.0f, 0.0f, locW, locH, ourButtonRadius) == 0.0f)
				locCanvas.Set(locX, locY, Key());
	return locCanvas;
}

DiscCanvas Disc_DrawIcon(int aSize)
{
	DiscCanvas locCanvas(aSize, aSize);
	float locScale = aSize / 32.0f;
	DiscColor locTop = Disc_Rgb(34, 211, 238);
	DiscColor locBottom = Disc_Rgb(37, 99, 235);
	locCanvas.FillRoundRectShaded(0.5f * locScale, 0.5f * locScale, aSize - 0.5f * locScale, aSize - 0.5f * locScale,
	                              7.0f * locScale,
	                              [&](int anX, int aY) { return Disc_Mix(locTop, locBottom, (anX + aY) / (2.0f * aSize)); });
	float locCenter = aSize / 2.0f;
	locCanvas.FillCircle(locCenter, locCenter, 10.5f * locScale, Disc_Rgb(248, 250, 252));
	locCanvas.StrokeCircle(locCenter, locCenter, 7.0f * locScale, 1.0f * locScale, Disc_Rgb(148, 163, 184), 0.7f);
	locCanvas.FillCircle(locCenter, locCenter, 3.5f * locScale, Disc_Mix(locTop, locBottom, 0.5f));
	locCanvas.FillCircle(locCenter, locCenter, 1.6f * locScale, Disc_Rgb(15, 23, 42));
	return locCanvas;
}
