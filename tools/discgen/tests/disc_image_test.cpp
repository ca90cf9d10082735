// The sample disc's picture files, byte for byte, and the layout the menu relies on.
#include "disc_art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
bool SameColor(const DiscColor& aFirst, const DiscColor& aSecond)
{
	return std::fabs(aFirst.myR - aSecond.myR) < 1e-4f && std::fabs(aFirst.myG - aSecond.myG) < 1e-4f &&
	       std::fabs(aFirst.myB - aSecond.myB) < 1e-4f;
}

bool IsKey(const DiscColor& aColor)
{
	return SameColor(aColor, Disc_Rgb(DISC_KEY_RED, DISC_KEY_GREEN, DISC_KEY_BLUE));
}

// Relative luminance (sRGB), 0 for black to 1 for white.
float Luminance(const DiscColor& aColor)
{
	auto locLinear = [](float aValue) {
		return aValue <= 0.04045f ? aValue / 12.92f : std::pow((aValue + 0.055f) / 1.055f, 2.4f);
	};
	return 0.2126f * locLinear(aColor.myR) + 0.7152f * locLinear(aColor.myG) + 0.0722f * locLinear(aColor.myB);
}

float Contrast(const DiscColor& aFirst, const DiscColor& aSecond)
{
	float locA = Luminance(aFirst) + 0.05f;
	float locB = Luminance(aSecond) + 0.05f;
	return locA > locB ? locA / locB : locB / locA;
}

// The mean luminance of a button picture's pixels that are not keyed out.
float MeanLuminance(const DiscCanvas& aButton)
{
	float locSum = 0.0f;
	int locCount = 0;
	for (int locY = 0; locY < aButton.GetHeight(); ++locY)
		for (int locX = 0; locX < aButton.GetWidth(); ++locX)
			if (!IsKey(aButton.Get(locX, locY)))
			{
				locSum += Luminance(aButton.Get(locX, locY));
				++locCount;
			}
	return locCount ? locSum / locCount : 0.0f;
}
}

TEST(DiscFiles, TgaIsUncompressed24BitBottomUp)
{
	DiscCanvas locCanvas(2, 2);
	locCanvas.Set(0, 0, Disc_Rgb(1, 2, 3));
	locCanvas.Set(1, 0, Disc_Rgb(4, 5, 6));
	locCanvas.Set(0, 1, Disc_Rgb(7, 8, 9));
	locCanvas.Set(1, 1, Disc_Rgb(10, 11, 12));
	std::vector<uint8_t> locExpected = {
		0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // true colour, no colour map, origin 0, 0
		2, 0, 2, 0, 24, 0,                    // 2 by 2, 24 bits, bottom-up
		9, 8, 7, 12, 11, 10,                  // the bottom row first, blue green red
		3, 2, 1, 6, 5, 4};
	EXPECT_EQ(locExpected, Disc_EncodeTga(locCanvas));
}

TEST(DiscFiles, IconHasOneImageWithAlphaAndMask)
{
	DiscCanvas locCanvas(1, 2);
	locCanvas.Set(0, 0, Disc_Rgb(10, 20, 30), 1.0f);
	locCanvas.Set(0, 1, Disc_Rgb(0, 0, 0), 0.0f);
	std::vector<uint8_t> locExpected = {
		0, 0, 1, 0, 1, 0,                  // icon file, one image
		1, 2, 0, 0, 1, 0, 32, 0,           // 1 by 2, no palette, 1 plane, 32 bits
		56, 0, 0, 0, 22, 0, 0, 0,          // 40 + 8 + 8 bytes at offset 22
		40, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 1, 0, 32, 0,
		0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
		0, 0, 0, 0,                        // the bottom row: clear
		30, 20, 10, 255,                   // the top row: opaque
		0x80, 0, 0, 0,                     // mask, bottom row: transparent
		0, 0, 0, 0};
	EXPECT_EQ(locExpected, Disc_EncodeIcon(locCanvas));
}

TEST(DiscArt, ButtonsAreKeyedOutsideTheirShapeAndDifferByLook)
{
	std::vector<DiscColor> locCenters;
	for (int locStyle = DISC_PRIMARY; locStyle <= DISC_SECONDARY; ++locStyle)
		for (int locLook = DISC_NORMAL; locLook <= DISC_DISABLED; ++locLook)
		{
			DiscCanvas locButton = Disc_DrawButton(static_cast<DiscButtonStyle>(locStyle), static_cast<DiscButtonLook>(locLook));
			ASSERT_EQ(DISC_BUTTON_WIDTH, locButton.GetWidth());
			ASSERT_EQ(DISC_BUTTON_HEIGHT, locButton.GetHeight());
			EXPECT_TRUE(IsKey(locButton.Get(0, 0)));
			EXPECT_TRUE(IsKey(locButton.Get(DISC_BUTTON_WIDTH - 1, DISC_BUTTON_HEIGHT - 1)));
			int locKeyed = 0;
			for (int locY = 0; locY < DISC_BUTTON_HEIGHT; ++locY)
				for (int locX = 0; locX < DISC_BUTTON_WIDTH; ++locX)
					locKeyed += IsKey(locButton.Get(locX, locY)) ? 1 : 0;
			// Only the four rounded corners are left out.
			EXPECT_GT(locKeyed, 4);
			EXPECT_LT(locKeyed, 4 * 10 * 10);
			DiscColor locCenter = locButton.Get(DISC_BUTTON_WIDTH / 2, DISC_BUTTON_HEIGHT / 2);
			for (const DiscColor& locOther : locCenters)
				EXPECT_FALSE(SameColor(locOther, locCenter)) << "style " << locStyle << " look " << locLook;
			locCenters.push_back(locCenter);
		}
}

TEST(DiscArt, NothingButTheBaseBehindTheButtonColumn)
{
	// The buttons' soft edges are mixed with the base colour: the column must show only it.
	DiscCanvas locBackground = Disc_DrawBackground(NULL, NULL);
	for (int locY = 160; locY < 380; ++locY)
		for (int locX = DISC_BUTTON_X - 4; locX < DISC_BUTTON_X + DISC_BUTTON_WIDTH + 4; ++locX)
			ASSERT_TRUE(SameColor(Disc_BackgroundBase(locX, locY), locBackground.Get(locX, locY)))
				<< locX << "," << locY;
}

TEST(DiscArt, DisabledIsDimmerThanEveryEnabledLook)
{
	for (int locDisabledStyle = DISC_PRIMARY; locDisabledStyle <= DISC_SECONDARY; ++locDisabledStyle)
	{
		float locDisabled = MeanLuminance(Disc_DrawButton(static_cast<DiscButtonStyle>(locDisabledStyle), DISC_DISABLED));
		for (int locStyle = DISC_PRIMARY; locStyle <= DISC_SECONDARY; ++locStyle)
			for (int locLook = DISC_NORMAL; locLook < DISC_DISABLED; ++locLook)
			{
				float locEnabled = MeanLuminance(
					Disc_DrawButton(static_cast<DiscButtonStyle>(locStyle), static_cast<DiscButtonLook>(locLook)));
				// Clearly: more than half as bright again.
				EXPECT_GT(locEnabled, 1.5f * locDisabled) << "style " << locStyle << " look " << locLook;
			}
	}
}

TEST(DiscArt, FooterIsLegible)
{
	DiscFont locFont;
	const std::string locFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
	if (!locFont.Load(locFile))
		GTEST_SKIP() << locFile << " is not installed";
	DiscCanvas locBackground = Disc_DrawBackground(NULL, &locFont);
	// The footer below the last button: the height of its ink and its strongest contrast.
	int locTop = DISC_HEIGHT;
	int locBottom = -1;
	float locBest = 1.0f;
	for (int locY = 376; locY < DISC_HEIGHT; ++locY)
		for (int locX = DISC_BUTTON_X; locX < DISC_BUTTON_X + DISC_BUTTON_WIDTH; ++locX)
		{
			float locContrast = Contrast(locBackground.Get(locX, locY), Disc_BackgroundBase(locX, locY));
			if (locContrast > locBest)
				locBest = locContrast;
			if (locContrast > 2.0f)
			{
				locTop = std::min(locTop, locY);
				locBottom = std::max(locBottom, locY);
			}
		}
	// Text contrast of at least 4.5 to 1; capitals at least 9 pixels high.
	EXPECT_GE(locBest, 4.5f);
	EXPECT_GE(locBottom - locTop + 1, 9);
	EXPECT_LT(locBottom, DISC_HEIGHT - 1);
}
