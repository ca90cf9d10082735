#include "KDGdi_Primitives.h"

#include "KDGdi_Factory.h"

namespace
{
const int ourThinWidth = 1;
const int ourThickWidth = 3;

// A solid pen (and optionally the hollow brush) selected into a context for
// one drawing call; the previous selections come back and the pen is deleted.
class PenFrame
{
public:
	PenFrame(HDC aDC, int aWidth, const unsigned char* aColor, bool aHollowBrush)
		: myDC(aDC)
		, myPreviousPen(NULL)
		, myPreviousBrush(NULL)
	{
		myPen = CreatePen(PS_SOLID, aWidth, KD_ToColorRef(aColor));
		if (!myPen)
			return;
		myPreviousPen = SelectObject(myDC, myPen);
		if (aHollowBrush)
			myPreviousBrush = SelectObject(myDC, GetStockObject(NULL_BRUSH));
	}
	~PenFrame()
	{
		if (!myPen)
			return;
		if (myPreviousBrush)
			SelectObject(myDC, myPreviousBrush);
		SelectObject(myDC, myPreviousPen);
		DeleteObject(myPen);
	}
	bool IsReady() const { return myPen != NULL; }

private:
	HDC myDC;
	HPEN myPen;
	HGDIOBJ myPreviousPen;
	HGDIOBJ myPreviousBrush;
};
}

GDIPrimitives::GDIPrimitives(KDGdi_Factory* aFactory)
	: myFactory(aFactory)
{
}

bool GDIPrimitives::Line(int anX1, int anY1, int anX2, int anY2, const unsigned char* aColor)
{
	return DrawLine(anX1, anY1, anX2, anY2, ourThinWidth, aColor);
}

bool GDIPrimitives::ThickLine(int anX1, int anY1, int anX2, int anY2, const unsigned char* aColor)
{
	return DrawLine(anX1, anY1, anX2, anY2, ourThickWidth, aColor);
}

bool GDIPrimitives::HLine(int anX1, int anX2, int aY, const unsigned char* aColor)
{
	return DrawLine(anX1, aY, anX2, aY, ourThinWidth, aColor);
}

bool GDIPrimitives::VLine(int anX, int aY1, int aY2, const unsigned char* aColor)
{
	return DrawLine(anX, aY1, anX, aY2, ourThinWidth, aColor);
}

bool GDIPrimitives::Bezier(const int* aStart, const int* anEnd, const int* aControl1,
                           const int* aControl2, const unsigned char* aColor)
{
	return DrawBezier(aStart, anEnd, aControl1, aControl2, ourThinWidth, aColor);
}

bool GDIPrimitives::ThickBezier(const int* aStart, const int* anEnd, const int* aControl1,
                                const int* aControl2, const unsigned char* aColor)
{
	return DrawBezier(aStart, anEnd, aControl1, aControl2, ourThickWidth, aColor);
}

bool GDIPrimitives::Circle(const int* aCentre, int aRadius, const unsigned char* aColor)
{
	return DrawCircle(aCentre, aRadius, ourThinWidth, aColor);
}

bool GDIPrimitives::ThickCircle(const int* aCentre, int aRadius, const unsigned char* aColor)
{
	return DrawCircle(aCentre, aRadius, ourThickWidth, aColor);
}

bool GDIPrimitives::DrawLine(int anX1, int anY1, int anX2, int anY2, int aWidth, const unsigned char* aColor)
{
	HDC locDC = myFactory->GetMemoryDC();
	if (!locDC)
		return false;
	PenFrame locPen(locDC, aWidth, aColor, false);
	return locPen.IsReady() && MoveToEx(locDC, anX1, anY1, NULL) && LineTo(locDC, anX2, anY2);
}

bool GDIPrimitives::DrawBezier(const int* aStart, const int* anEnd, const int* aControl1,
                               const int* aControl2, int aWidth, const unsigned char* aColor)
{
	HDC locDC = myFactory->GetMemoryDC();
	if (!locDC)
		return false;
	// GDI takes a segment as start, both control points, end.
	const POINT locPoints[4] = {
		{aStart[0], aStart[1]}, {aControl1[0], aControl1[1]}, {aControl2[0], aControl2[1]}, {anEnd[0], anEnd[1]}};
	PenFrame locPen(locDC, aWidth, aColor, false);
	return locPen.IsReady() && PolyBezier(locDC, locPoints, 4);
}

bool GDIPrimitives::DrawCircle(const int* aCentre, int aRadius, int aWidth, const unsigned char* aColor)
{
	HDC locDC = myFactory->GetMemoryDC();
	if (!locDC)
		return false;
	PenFrame locPen(locDC, aWidth, aColor, true);
	return locPen.IsReady() && Ellipse(locDC, aCentre[0] - aRadius, aCentre[1] - aRadius,
	                                   aCentre[0] + aRadius, aCentre[1] + aRadius);
}
