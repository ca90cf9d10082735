#include "KDGdi_Bitmap.h"
#include "KDGdi_Factory.h"
#include "KDGdi_Font.h"
#include "KDGdi_Primitives.h"
#include "kc_output.h"
#include "kd_colors.h"
#include "picture_bytes.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{
const unsigned char ourBlack[3] = {0, 0, 0};
const unsigned char ourRed[3] = {255, 0, 0};
const unsigned char ourGreen[3] = {0, 255, 0};
const unsigned char ourBlue[3] = {0, 0, 255};

// Collects the debug output while in scope.
class DebugCapture : public KC_DebugListener
{
public:
	DebugCapture() { KC_AddDebugListener(this); }
	~DebugCapture() override { KC_RemoveDebugListener(this); }
	void Receive(const char* aText) override { myLines.push_back(aText); }
	bool Has(const std::string& aLine) const
	{
		return std::find(myLines.begin(), myLines.end(), aLine) != myLines.end();
	}
	std::vector<std::string> myLines;
};

// The ink of a region: the bounding box of the pixels that are not black.
struct Ink
{
	int myLeft = 1 << 30;
	int myTop = 1 << 30;
	int myRight = -1;
	int myBottom = -1;
	bool IsEmpty() const { return myRight < 0; }
	int Width() const { return myRight - myLeft + 1; }
	int Height() const { return myBottom - myTop + 1; }
};

// A hidden popup window of the given client size with a factory on it, and
// a scratch folder for picture files. Colour settings go back to their start.
class GdiDisplayTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ourFontColors = {255, 255, 255, 255, 255.0f};
		ourBitmapColors = {255, 255, 255, 255, 255, 255, 255, false, 255.0f};
		myWindow = MakeWindow(320, 240);
		ASSERT_NE(nullptr, myWindow);
		myFactory = new KDGdi_Factory(myWindow);
		ASSERT_NE(nullptr, myFactory->GetMemoryDC());
		myPrimitives = myFactory->MakePrimitives();
		ASSERT_NE(nullptr, myPrimitives);
		ASSERT_TRUE(myFactory->Clear(ourBlack));

		static int ourCounter = 0;
		std::error_code locError;
		myFolder = std::filesystem::temp_directory_path(locError) /
		           ("kd_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(ourCounter++));
		std::filesystem::create_directories(myFolder, locError);
	}
	void TearDown() override
	{
		delete myPrimitives;
		delete myFactory;
		if (myWindow)
			DestroyWindow(myWindow);
		std::error_code locError;
		std::filesystem::remove_all(myFolder, locError);
	}

	static HWND MakeWindow(int aWidth, int aHeight)
	{
		static bool ourRegistered = false;
		if (!ourRegistered)
		{
			WNDCLASSA locClass = {};
			locClass.lpfnWndProc = DefWindowProcA;
			locClass.hInstance = GetModuleHandleA(NULL);
			locClass.lpszClassName = "KDGdiTestWindow";
			ourRegistered = RegisterClassA(&locClass) != 0;
		}
		return CreateWindowExA(0, "KDGdiTestWindow", "display test", WS_POPUP, 0, 0, aWidth, aHeight, NULL,
		                       NULL, GetModuleHandleA(NULL), NULL);
	}

	std::string Write(const std::string& aName, const std::string& aBytes)
	{
		const std::string locPath = (myFolder / aName).string();
		std::ofstream locStream(locPath, std::ios::binary | std::ios::trunc);
		locStream.write(aBytes.data(), static_cast<std::streamsize>(aBytes.size()));
		return locPath;
	}

	COLORREF Pixel(int anX, int aY) const { return GetPixel(myFactory->GetMemoryDC(), anX, aY); }

	Ink InkIn(int aLeft, int aTop, int aRight, int aBottom) const
	{
		Ink locInk;
		for (int locY = aTop; locY < aBottom; ++locY)
		{
			for (int locX = aLeft; locX < aRight; ++locX)
			{
				if (Pixel(locX, locY) == RGB(0, 0, 0))
					continue;
				locInk.myLeft = std::min(locInk.myLeft, locX);
				locInk.myRight = std::max(locInk.myRight, locX);
				locInk.myTop = std::min(locInk.myTop, locY);
				locInk.myBottom = std::max(locInk.myBottom, locY);
			}
		}
		return locInk;
	}

	// True when some pixel near the point (within aReach) has the colour.
	bool Near(int anX, int aY, COLORREF aColor, int aReach = 1) const
	{
		for (int locY = aY - aReach; locY <= aY + aReach; ++locY)
		{
			for (int locX = anX - aReach; locX <= anX + aReach; ++locX)
			{
				if (Pixel(locX, locY) == aColor)
					return true;
			}
		}
		return false;
	}

	// A 100 by 50 bottom-up TGA: blue left half, green right half, and a
	// magenta key block in the middle of each half.
	std::string HalvesTga()
	{
		std::string locBytes = TgaHeader(2, 100, 50, 24);
		for (int locY = 0; locY < 50; ++locY)
		{
			for (int locX = 0; locX < 100; ++locX)
			{
				const bool locKey = locY >= 20 && locY < 30 && ((locX >= 20 && locX < 30) || (locX >= 70 && locX < 80));
				if (locKey)
					locBytes += Bgr(255, 0, 255);
				else if (locX < 50)
					locBytes += Bgr(0, 0, 255);
				else
					locBytes += Bgr(0, 255, 0);
			}
		}
		return Write("halves.tga", locBytes);
	}

	HWND myWindow = nullptr;
	KDGdi_Factory* myFactory = nullptr;
	DisplayPrimitives* myPrimitives = nullptr;
	std::filesystem::path myFolder;
};
}

// -- The factory

TEST_F(GdiDisplayTest, BackBufferHasTheWorkAreaSizeAndClearFillsTheClientArea)
{
	RECT locWorkArea;
	ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &locWorkArea, 0));
	EXPECT_EQ(locWorkArea.right, myFactory->GetBackBufferWidth());
	EXPECT_EQ(locWorkArea.bottom, myFactory->GetBackBufferHeight());
	EXPECT_EQ(320, myFactory->GetWidth());
	EXPECT_EQ(240, myFactory->GetHeight());

	EXPECT_TRUE(myFactory->Clear(ourRed));
	EXPECT_EQ(RGB(255, 0, 0), Pixel(0, 0));
	EXPECT_EQ(RGB(255, 0, 0), Pixel(319, 239));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(320, 100));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(100, 240));
	EXPECT_TRUE(myFactory->Present(0, 0, 0, 0));
}

TEST_F(GdiDisplayTest, WindowLargerThanTheWorkAreaDrawsIntoTheBufferThatFits)
{
	HWND locLarge = MakeWindow(4000, 3000);
	ASSERT_NE(nullptr, locLarge);
	{
		KDGdi_Factory locFactory(locLarge);
		ASSERT_NE(nullptr, locFactory.GetMemoryDC());
		EXPECT_LT(locFactory.GetBackBufferWidth(), 4000);
		EXPECT_TRUE(locFactory.Clear(ourGreen));
		const int locLastX = locFactory.GetBackBufferWidth() - 1;
		const int locLastY = locFactory.GetBackBufferHeight() - 1;
		EXPECT_EQ(RGB(0, 255, 0), GetPixel(locFactory.GetMemoryDC(), locLastX, locLastY));
		EXPECT_EQ(CLR_INVALID, GetPixel(locFactory.GetMemoryDC(), locLastX + 1, 0));
		EXPECT_TRUE(locFactory.Present(0, 0, 0, 0));
	}
	DestroyWindow(locLarge);
	// A factory without a window is a broken invariant, reported with its site.
	KC_SetDeathTestStyle();
	EXPECT_EXIT({ KDGdi_Factory locFactory(NULL); }, ::testing::ExitedWithCode(kFatalExitCode),
	            "Assertion \\(aWindowHandle\\) failed in \\.\\\\KDGdi_Factory, line 14");
}

// -- Fonts

TEST_F(GdiDisplayTest, FontSizeMinusOneIsTwelveAndZeroLeavesTheHeightToGdi)
{
	DisplayFont* locDefault = myFactory->MakeFont("Arial", -1);
	ASSERT_NE(nullptr, locDefault);
	EXPECT_EQ(12, locDefault->GetHeight());
	DisplayFont* locZero = myFactory->MakeFont("Arial", 0);
	ASSERT_NE(nullptr, locZero);
	EXPECT_EQ(0, locZero->GetHeight());
	EXPECT_GT(locZero->GetStringWidth("Hello"), 0);
	EXPECT_TRUE(locZero->Print(10, 10, "Hello"));
	EXPECT_FALSE(InkIn(0, 0, 200, 60).IsEmpty());
	DisplayFont* locLarge = myFactory->MakeFont("Arial", 40);
	ASSERT_NE(nullptr, locLarge);
	EXPECT_GT(locLarge->GetStringWidth("Hello"), locDefault->GetStringWidth("Hello"));
	EXPECT_EQ(0, locLarge->GetStringWidth(""));
	delete locLarge;
	delete locZero;
	delete locDefault;
}

TEST_F(GdiDisplayTest, PrintInRectAlignsLeftCentreRightAndLeftForAnyOtherValue)
{
	DisplayFont* locFont = myFactory->MakeFont("Arial", 20);
	ASSERT_NE(nullptr, locFont);
	const int locTextWidth = locFont->GetStringWidth("MMM");
	ASSERT_GT(locTextWidth, 10);

	const int locRect[4] = {20, 30, 300, 80};
	int locLefts[6];
	for (int locAlignment : {0, 1, 2, 5})
	{
		myFactory->Clear(ourBlack);
		EXPECT_TRUE(locFont->PrintInRect("MMM", locRect, locAlignment));
		const Ink locInk = InkIn(0, 0, 320, 120);
		ASSERT_FALSE(locInk.IsEmpty()) << "alignment " << locAlignment;
		locLefts[locAlignment] = locInk.myLeft;
		// The text starts at the rectangle's top.
		EXPECT_GE(locInk.myTop, 30);
		EXPECT_LT(locInk.myTop, 40);
	}
	EXPECT_NEAR(20, locLefts[0], 3);
	EXPECT_NEAR(20 + (280 - locTextWidth) / 2, locLefts[1], 3);
	EXPECT_NEAR(300 - locTextWidth, locLefts[2], 3);
	EXPECT_EQ(locLefts[0], locLefts[5]);

	// No word wrapping: a long text stays on one line, an explicit break starts another.
	myFactory->Clear(ourBlack);
	const int locNarrow[4] = {10, 10, 60, 200};
	EXPECT_TRUE(locFont->PrintInRect("MMM MMM MMM", locNarrow, 0));
	EXPECT_LT(InkIn(0, 0, 320, 240).Height(), 25);
	myFactory->Clear(ourBlack);
	EXPECT_TRUE(locFont->PrintInRect("MMM\nMMM", locNarrow, 0));
	EXPECT_GT(InkIn(0, 0, 320, 240).Height(), 30);
	delete locFont;
}

TEST_F(GdiDisplayTest, PrintInRectDrawsAnAmpersandAsWritten)
{
	DisplayFont* locFont = myFactory->MakeFont("Arial", 20);
	ASSERT_NE(nullptr, locFont);
	// The same pixels as the plain text output, which knows no prefixes.
	for (const char* locText : {"Tips & Tricks", "A&&B", "&X"})
	{
		SCOPED_TRACE(locText);
		myFactory->Clear(ourBlack);
		ASSERT_TRUE(locFont->Print(20, 30, locText));
		const Ink locPlain = InkIn(0, 0, 320, 120);
		myFactory->Clear(ourBlack);
		const int locRect[4] = {20, 30, 300, 80};
		ASSERT_TRUE(locFont->PrintInRect(locText, locRect, 0));
		const Ink locInRect = InkIn(0, 0, 320, 120);
		ASSERT_FALSE(locPlain.IsEmpty());
		EXPECT_EQ(locPlain.myLeft, locInRect.myLeft);
		EXPECT_EQ(locPlain.myRight, locInRect.myRight);
		EXPECT_EQ(locPlain.myBottom, locInRect.myBottom);
	}
	delete locFont;
}

TEST_F(GdiDisplayTest, SetColorTurnsTheTextOfEveryFontRed)
{
	DisplayFont* locEarlier = myFactory->MakeFont("Arial", 24);
	ASSERT_NE(nullptr, locEarlier);
	GDIFont::SetColor(255, 0, 0);
	DisplayFont* locLater = myFactory->MakeFont("Courier New", 24);
	ASSERT_NE(nullptr, locLater);

	EXPECT_TRUE(locEarlier->Print(10, 10, "Red"));
	EXPECT_TRUE(locLater->PrintScaled(1.0f, 10, 60, "Red"));
	int locRedPixels[2] = {0, 0};
	for (int locY = 0; locY < 110; ++locY)
	{
		for (int locX = 0; locX < 150; ++locX)
		{
			const COLORREF locPixel = Pixel(locX, locY);
			if (locPixel == RGB(0, 0, 0))
				continue;
			// Smoothed edges may blend with black, but never leave red.
			EXPECT_EQ(0, GetGValue(locPixel) + GetBValue(locPixel)) << locX << "," << locY;
			if (locPixel == RGB(255, 0, 0))
				++locRedPixels[locY < 50 ? 0 : 1];
		}
	}
	EXPECT_GT(locRedPixels[0], 0);
	EXPECT_GT(locRedPixels[1], 0);

	// The float forms clamp to 0..1 and scale by 255.
	GDIFont::SetColor(2.0f, 0.5f, -1.0f);
	EXPECT_EQ(255, ourFontColors.myRed);
	EXPECT_EQ(127, ourFontColors.myGreen);
	EXPECT_EQ(0, ourFontColors.myBlue);
	GDIFont::SetColor(0.0f, 1.0f, 1.0f, 1.0f);
	EXPECT_EQ(0, ourFontColors.myAlpha);
	delete locLater;
	delete locEarlier;
}

TEST_F(GdiDisplayTest, TextDrawingRestoresTheContextAndScalesOrTurnsTheText)
{
	DisplayFont* locFont = myFactory->MakeFont("Arial", 20);
	ASSERT_NE(nullptr, locFont);
	HDC locDC = myFactory->GetMemoryDC();
	SetTextColor(locDC, RGB(1, 2, 3));
	SetBkMode(locDC, OPAQUE);
	HGDIOBJ locFontBefore = GetCurrentObject(locDC, OBJ_FONT);
	const int locRect[4] = {0, 0, 100, 100};
	EXPECT_TRUE(locFont->Print(10, 10, "Text"));
	EXPECT_TRUE(locFont->PrintInRect("Text", locRect, 1));
	EXPECT_TRUE(locFont->PrintRotated(0.5f, 10, 10, "Text"));
	EXPECT_GT(locFont->GetStringWidth("Text"), 0);
	EXPECT_EQ(RGB(1, 2, 3), GetTextColor(locDC));
	EXPECT_EQ(OPAQUE, GetBkMode(locDC));
	EXPECT_EQ(locFontBefore, GetCurrentObject(locDC, OBJ_FONT));

	myFactory->Clear(ourBlack);
	EXPECT_TRUE(locFont->Print(10, 10, "IIII"));
	const Ink locPlain = InkIn(0, 0, 320, 240);
	myFactory->Clear(ourBlack);
	EXPECT_TRUE(locFont->PrintScaled(3.0f, 10, 10, "IIII"));
	const Ink locScaled = InkIn(0, 0, 320, 240);
	EXPECT_GT(locScaled.Height(), 2 * locPlain.Height());

	// A quarter turn runs the text upwards from its start point.
	myFactory->Clear(ourBlack);
	EXPECT_TRUE(locFont->PrintRotated(1.5707964f, 50, 200, "MMMMMM"));
	const Ink locTurned = InkIn(0, 0, 320, 240);
	ASSERT_FALSE(locTurned.IsEmpty());
	EXPECT_GT(locTurned.Height(), 2 * locTurned.Width());
	EXPECT_LE(locTurned.myBottom, 201);
	EXPECT_TRUE(locFont->PrintScaledRotated(2.0f, 0.0f, 10, 10, "x"));
	delete locFont;
}

// -- Primitives

TEST_F(GdiDisplayTest, LinesLeaveTheirEndPointAndThickOnesAreThreeWide)
{
	EXPECT_TRUE(myPrimitives->Line(10, 10, 20, 10, ourRed));
	EXPECT_EQ(RGB(255, 0, 0), Pixel(10, 10));
	EXPECT_EQ(RGB(255, 0, 0), Pixel(19, 10));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(20, 10));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(15, 11));

	EXPECT_TRUE(myPrimitives->ThickLine(10, 50, 60, 50, ourGreen));
	EXPECT_EQ(RGB(0, 255, 0), Pixel(30, 49));
	EXPECT_EQ(RGB(0, 255, 0), Pixel(30, 51));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(30, 53));

	// HLine takes x1, x2, y; VLine takes x, y1, y2.
	EXPECT_TRUE(myPrimitives->HLine(100, 140, 70, ourBlue));
	EXPECT_EQ(RGB(0, 0, 255), Pixel(120, 70));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(70, 120));
	EXPECT_TRUE(myPrimitives->VLine(200, 100, 140, ourBlue));
	EXPECT_EQ(RGB(0, 0, 255), Pixel(200, 120));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(120, 200));
}

TEST_F(GdiDisplayTest, BezierTakesStartEndThenTheControlPoints)
{
	const int locStart[2] = {10, 150};
	const int locEnd[2] = {210, 150};
	const int locControl1[2] = {10, 70};
	const int locControl2[2] = {210, 70};
	EXPECT_TRUE(myPrimitives->Bezier(locStart, locEnd, locControl1, locControl2, ourRed));
	// Half-way the curve is at an eighth of each end and three eighths of each control point.
	EXPECT_TRUE(Near(110, 90, RGB(255, 0, 0)));
	EXPECT_TRUE(Near(209, 150, RGB(255, 0, 0)));
	// The control points themselves are not on the curve.
	EXPECT_FALSE(Near(210, 70, RGB(255, 0, 0), 3));
	EXPECT_FALSE(Near(10, 70, RGB(255, 0, 0), 3));

	const int locThickStart[2] = {10, 200};
	const int locThickEnd[2] = {210, 200};
	EXPECT_TRUE(myPrimitives->ThickBezier(locThickStart, locThickEnd, locThickStart, locThickEnd, ourGreen));
	EXPECT_EQ(RGB(0, 255, 0), Pixel(110, 199));
	EXPECT_EQ(RGB(0, 255, 0), Pixel(110, 201));
}

TEST_F(GdiDisplayTest, CirclesAreOutlinesAndRestoreThePenAndBrush)
{
	HDC locDC = myFactory->GetMemoryDC();
	HGDIOBJ locPen = GetCurrentObject(locDC, OBJ_PEN);
	HGDIOBJ locBrush = GetCurrentObject(locDC, OBJ_BRUSH);

	const int locCentre[2] = {100, 100};
	EXPECT_TRUE(myPrimitives->Circle(locCentre, 40, ourRed));
	EXPECT_EQ(RGB(255, 0, 0), Pixel(60, 100));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(100, 100));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(62, 100));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(55, 100));

	const int locOther[2] = {250, 100};
	EXPECT_TRUE(myPrimitives->ThickCircle(locOther, 40, ourGreen));
	EXPECT_EQ(RGB(0, 255, 0), Pixel(211, 100));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(250, 100));
	EXPECT_TRUE(myPrimitives->Line(0, 0, 5, 5, ourRed));

	EXPECT_EQ(locPen, GetCurrentObject(locDC, OBJ_PEN));
	EXPECT_EQ(locBrush, GetCurrentObject(locDC, OBJ_BRUSH));
}

// -- Bitmaps

TEST_F(GdiDisplayTest, BitmapsLoadByExtensionInAnyCase)
{
	// 2 by 2 BMP, rows bottom-up on a 4-byte stride: red, green / blue, white.
	const std::string locBmp = BmpHeaders(2, 2, 24, 16) + Bgr(0, 0, 255) + Bgr(255, 255, 255) + std::string("\0\0", 2) +
	                           Bgr(255, 0, 0) + Bgr(0, 255, 0) + std::string("\0\0", 2);
	DisplayBitmap* locBitmap = myFactory->LoadBitmapFile(Write("two.BMP", locBmp).c_str());
	ASSERT_NE(nullptr, locBitmap);
	EXPECT_EQ(2, locBitmap->GetWidth());
	EXPECT_EQ(2, locBitmap->GetHeight());
	EXPECT_TRUE(locBitmap->Blit(5, 5, 0, 0, 0, 0));
	EXPECT_EQ(RGB(255, 0, 0), Pixel(5, 5));
	EXPECT_EQ(RGB(0, 255, 0), Pixel(6, 5));
	EXPECT_EQ(RGB(0, 0, 255), Pixel(5, 6));
	EXPECT_EQ(RGB(255, 255, 255), Pixel(6, 6));
	delete locBitmap;

	const std::string locTga = TgaHeader(2, 1, 1, 24) + Bgr(10, 20, 30);
	locBitmap = myFactory->LoadBitmapFile(Write("one.Tga", locTga).c_str());
	ASSERT_NE(nullptr, locBitmap);
	EXPECT_TRUE(locBitmap->Blit(9, 9, 0, 0, 0, 0));
	EXPECT_EQ(RGB(10, 20, 30), Pixel(9, 9));
	delete locBitmap;

	DebugCapture locDebug;
	EXPECT_EQ(nullptr, myFactory->LoadBitmapFile(Write("picture.jpg", locTga).c_str()));
	EXPECT_EQ(nullptr, myFactory->LoadBitmapFile("tga"));
	EXPECT_EQ(nullptr, myFactory->LoadBitmapFile("ga"));
	EXPECT_EQ(3u, locDebug.myLines.size());
	EXPECT_TRUE(locDebug.Has("GDIBitmap::Load(): Illegal file type. GDI only supports TGA and BMP."));
}

TEST_F(GdiDisplayTest, TgaReaderRefusesWhatItCannotShowWithItsMessage)
{
	const std::string locIllegal =
		"GDIBitmap::GetTGAData(): Illegal file type. Loader only supports uncompressed 24 or 32 bpp TGA.";
	const std::string locPixels(3 * 4, '\x11');
	{
		DebugCapture locDebug;
		GDIBitmap locBitmap(myFactory);
		EXPECT_FALSE(locBitmap.Load(Write("rle.tga", TgaHeader(10, 2, 2, 24) + locPixels).c_str()));
		EXPECT_TRUE(locDebug.Has(locIllegal));
		EXPECT_EQ(0, locBitmap.GetWidth());
	}
	{
		DebugCapture locDebug;
		GDIBitmap locBitmap(myFactory);
		EXPECT_FALSE(locBitmap.Load(Write("16bit.tga", TgaHeader(2, 2, 2, 16) + locPixels).c_str()));
		EXPECT_TRUE(locDebug.Has(locIllegal));
	}
	{
		DebugCapture locDebug;
		GDIBitmap locBitmap(myFactory);
		const std::string locName = (myFolder / "missing.tga").string();
		EXPECT_FALSE(locBitmap.Load(locName.c_str()));
		EXPECT_TRUE(locDebug.Has("GDIBitmap::GetTGAData(): file '" + locName + "' does not exist"));
	}
	{
		// A header that claims more pixels than the file holds, and one cut short.
		DebugCapture locDebug;
		GDIBitmap locBitmap(myFactory);
		const std::string locLying = Write("lying.tga", TgaHeader(2, 4000, 4000, 32) + locPixels);
		EXPECT_FALSE(locBitmap.Load(locLying.c_str()));
		EXPECT_TRUE(locDebug.Has("GDIBitmap::GetTGAData(): file '" + locLying + "' is truncated"));
		EXPECT_FALSE(locBitmap.Load(Write("short.tga", TgaHeader(2, 2, 2, 24).substr(0, 10)).c_str()));
		EXPECT_EQ(2u, locDebug.myLines.size());
	}
}

TEST_F(GdiDisplayTest, FivePixelWideTgaLandsOnItsSixteenByteStride)
{
	// Bottom row first: bottom row shades of red, top row shades of blue.
	std::string locBytes = TgaHeader(2, 5, 2, 24);
	for (int locX = 0; locX < 5; ++locX)
		locBytes += Bgr(50 * locX + 10, 0, 0);
	for (int locX = 0; locX < 5; ++locX)
		locBytes += Bgr(0, 0, 50 * locX + 10);
	GDIBitmap locBitmap(myFactory);
	ASSERT_TRUE(locBitmap.Load(Write("five.tga", locBytes).c_str()));
	EXPECT_EQ(5, locBitmap.GetWidth());
	EXPECT_EQ(2, locBitmap.GetHeight());
	EXPECT_TRUE(locBitmap.Blit(0, 0, 0, 0, 0, 0));
	for (int locX = 0; locX < 5; ++locX)
	{
		EXPECT_EQ(RGB(0, 0, 50 * locX + 10), Pixel(locX, 0)) << locX;
		EXPECT_EQ(RGB(50 * locX + 10, 0, 0), Pixel(locX, 1)) << locX;
	}
	EXPECT_EQ(RGB(0, 0, 0), Pixel(5, 0));
}

TEST_F(GdiDisplayTest, TopDownAndThirtyTwoBitTgasShowTheRightWayUp)
{
	// Stored top row first, with the origin bit; 32 bits with an image ID.
	std::string locBytes = TgaHeader(2, 3, 2, 32, KD_TGA_TOP_DOWN | 8, 4) + "name";
	for (int locX = 0; locX < 3; ++locX)
		locBytes += Bgr(0, 200, 0) + '\xFF';
	for (int locX = 0; locX < 3; ++locX)
		locBytes += Bgr(200, 0, 0) + '\xFF';
	GDIBitmap locBitmap(myFactory);
	ASSERT_TRUE(locBitmap.Load(Write("topdown.TGA", locBytes).c_str()));
	EXPECT_TRUE(locBitmap.Blit(0, 0, 0, 0, 0, 0));
	EXPECT_EQ(RGB(0, 200, 0), Pixel(0, 0));
	EXPECT_EQ(RGB(0, 200, 0), Pixel(2, 0));
	EXPECT_EQ(RGB(200, 0, 0), Pixel(0, 1));
	EXPECT_EQ(RGB(200, 0, 0), Pixel(2, 1));

	// A second load replaces the picture.
	ASSERT_TRUE(locBitmap.Load(Write("wide.tga", TgaHeader(2, 7, 1, 24) + std::string(21, '\x33')).c_str()));
	EXPECT_EQ(7, locBitmap.GetWidth());
	EXPECT_EQ(1, locBitmap.GetHeight());
}

TEST_F(GdiDisplayTest, ChromaKeyedCopySqueezesTheWholeBitmapAndPlainCopyCutsIt)
{
	GDIBitmap locBitmap(myFactory);
	ASSERT_TRUE(locBitmap.Load(HalvesTga().c_str()));
	const COLORREF locBlue = RGB(0, 0, 255);
	const COLORREF locGreen = RGB(0, 255, 0);
	const COLORREF locMagenta = RGB(255, 0, 255);

	GDIBitmap::SetChromaKey(255, 0, 255);
	GDIBitmap::EnableChromaKey(true);
	EXPECT_TRUE(locBitmap.Blit(0, 0, 50, 50, 0, 0));
	EXPECT_EQ(locBlue, Pixel(5, 10));
	EXPECT_EQ(locGreen, Pixel(45, 10));
	// The key blocks (bitmap x 20..29 and 70..79, y 20..29) leave the back buffer alone.
	EXPECT_EQ(RGB(0, 0, 0), Pixel(12, 25));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(37, 25));
	EXPECT_EQ(locBlue, Pixel(5, 25));

	myFactory->Clear(ourBlack);
	GDIBitmap::EnableChromaKey(false);
	EXPECT_TRUE(locBitmap.Blit(0, 0, 50, 50, 0, 0));
	EXPECT_EQ(locBlue, Pixel(5, 10));
	EXPECT_EQ(locBlue, Pixel(45, 10));
	EXPECT_EQ(locMagenta, Pixel(25, 25));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(50, 10));

	// The source position of a plain copy picks the part shown.
	myFactory->Clear(ourBlack);
	EXPECT_TRUE(locBitmap.Blit(0, 0, 10, 10, 90, 0));
	EXPECT_EQ(locGreen, Pixel(5, 5));
}

TEST_F(GdiDisplayTest, StretchedCopyIgnoresTheKeyAndRotationIsRefused)
{
	GDIBitmap locBitmap(myFactory);
	ASSERT_TRUE(locBitmap.Load(HalvesTga().c_str()));
	GDIBitmap::SetChromaKey(1.0f, 0.0f, 1.0f);
	EXPECT_EQ(255, ourBitmapColors.myKeyRed);
	EXPECT_EQ(0, ourBitmapColors.myKeyGreen);
	GDIBitmap::EnableChromaKey(true);

	// Source extent 0 means the whole bitmap: 100 by 50 doubled to 200 by 100.
	EXPECT_TRUE(locBitmap.BlitStretch(10, 10, 200, 100, 0, 0, 0, 0));
	EXPECT_EQ(RGB(0, 0, 255), Pixel(20, 20));
	EXPECT_EQ(RGB(0, 255, 0), Pixel(200, 100));
	EXPECT_EQ(RGB(255, 0, 255), Pixel(10 + 50, 10 + 50));
	EXPECT_EQ(RGB(0, 0, 0), Pixel(211, 20));

	// The right half alone, squeezed into 25 by 25.
	myFactory->Clear(ourBlack);
	EXPECT_TRUE(locBitmap.BlitStretch(0, 0, 25, 25, 50, 0, 50, 50));
	EXPECT_EQ(RGB(0, 255, 0), Pixel(2, 2));

	DebugCapture locDebug;
	EXPECT_FALSE(locBitmap.BlitRotate(0, 0, 10, 10, 0, 0, 1.0f));
	EXPECT_FALSE(locBitmap.BlitStretchRotate(0, 0, 10, 10, 0, 0, 1.0f));
	ASSERT_EQ(2u, locDebug.myLines.size());
	EXPECT_EQ("GDIBitmap::BlitRotate(): Bitmap rotation is not implemented in GDI.", locDebug.myLines[0]);
	EXPECT_EQ("GDIBitmap::BlitStretchRotate(): Bitmap rotation is not implemented in GDI.", locDebug.myLines[1]);
}

TEST_F(GdiDisplayTest, BmpWithAHeaderThatPointsPastTheFileIsRefused)
{
	DebugCapture locDebug;
	// 40 by 40 claimed, 16 bytes of pixels present.
	const std::string locLying = Write("lying.bmp", BmpHeaders(40, 40, 24, 4800).substr(0, 54) + std::string(16, '\x22'));
	EXPECT_EQ(nullptr, myFactory->LoadBitmapFile(locLying.c_str()));
	EXPECT_TRUE(locDebug.Has("GDIBitmap::Load(): file '" + locLying + "' is not a readable BMP"));
	const std::string locMissing = (myFolder / "missing.bmp").string();
	EXPECT_EQ(nullptr, myFactory->LoadBitmapFile(locMissing.c_str()));
	EXPECT_TRUE(locDebug.Has("GDIBitmap::Load(): file '" + locMissing + "' does not exist"));
	// A blank bitmap copies nothing.
	GDIBitmap locEmpty(myFactory);
	EXPECT_FALSE(locEmpty.Blit(0, 0, 0, 0, 0, 0));
	EXPECT_FALSE(locEmpty.BlitStretch(0, 0, 10, 10, 0, 0, 0, 0));
}
