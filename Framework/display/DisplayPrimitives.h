#ifndef DISPLAYPRIMITIVES_H
#define DISPLAYPRIMITIVES_H

// Lines, cubic Bezier curves and circles in the factory's back buffer. The
// plain forms draw 1 pixel wide, the thick forms 3. A point is two ints (x, y);
// a colour points at three bytes: red, green, blue.
class DisplayPrimitives
{
public:
	virtual ~DisplayPrimitives() {}

	virtual bool Line(int anX1, int anY1, int anX2, int anY2, const unsigned char* aColor) = 0;
	virtual bool ThickLine(int anX1, int anY1, int anX2, int anY2, const unsigned char* aColor) = 0;
	virtual bool HLine(int anX1, int anX2, int aY, const unsigned char* aColor) = 0;
	virtual bool VLine(int anX, int aY1, int aY2, const unsigned char* aColor) = 0;
	// The curve runs from aStart to anEnd, pulled by aControl1 and aControl2.
	virtual bool Bezier(const int* aStart, const int* anEnd, const int* aControl1,
	                    const int* aControl2, const unsigned char* aColor) = 0;
	virtual bool ThickBezier(const int* aStart, const int* anEnd, const int* aControl1,
	                         const int* aControl2, const unsigned char* aColor) = 0;
	virtual bool Circle(const int* aCentre, int aRadius, const unsigned char* aColor) = 0;
	virtual bool ThickCircle(const int* aCentre, int aRadius, const unsigned char* aColor) = 0;
};

#endif
