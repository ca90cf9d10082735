#ifndef KDGDI_PRIMITIVES_H
#define KDGDI_PRIMITIVES_H

#include "DisplayPrimitives.h"

class KDGdi_Factory;

// Lines, curves and circle outlines drawn with GDI pens into the back buffer.
class GDIPrimitives : public DisplayPrimitives
{
public:
	explicit GDIPrimitives(KDGdi_Factory* aFactory);

	bool Line(int anX1, int anY1, int anX2, int anY2, const unsigned char* aColor) override;
	bool ThickLine(int anX1, int anY1, int anX2, int anY2, const unsigned char* aColor) override;
	bool HLine(int anX1, int anX2, int aY, const unsigned char* aColor) override;
	bool VLine(int anX, int aY1, int aY2, const unsigned char* aColor) override;
	bool Bezier(const int* aStart, const int* anEnd, const int* aControl1, const int* aControl2,
	            const unsigned char* aColor) override;
	bool ThickBezier(const int* aStart, const int* anEnd, const int* aControl1,
	                 const int* aControl2, const unsigned char* aColor) override;
	bool Circle(const int* aCentre, int aRadius, const unsigned char* aColor) override;
	bool ThickCircle(const int* aCentre, int aRadius, const unsigned char* aColor) override;

private:
	bool DrawLine(int anX1, int anY1, int anX2, int anY2, int aWidth, const unsigned char* aColor);
	bool DrawBezier(const int* aStart, const int* anEnd, const int* aControl1,
	                const int* aControl2, int aWidth, const unsigned char* aColor);
	bool DrawCircle(const int* aCentre, int aRadius, int aWidth, const unsigned char* aColor);

	KDGdi_Factory* myFactory;
};

#endif
