#include "kd_colors.h"

KD_FontColors ourFontColors = {255, 255, 255, 255, 255.0f};
KD_BitmapColors ourBitmapColors = {255, 255, 255, 255, 255, 255, 255, false, 255.0f};

unsigned char KD_ScaleColor(float aValue, float aScale)
{
	if (!(aValue > 0.0f))
		aValue = 0.0f;
	else if (aValue > 1.0f)
		aValue = 1.0f;
	return static_cast<unsigned char>(aValue * aScale);
}
