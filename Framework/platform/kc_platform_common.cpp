#include "kc_platform.h"

namespace
{
KC_MessageBoxFunction ourMessageBox = KC_PlatformShowMessageBox;
}

void KC_PlatformMessageBox(const char* aText, const char* aCaption)
{
	ourMessageBox(aText, aCaption);
}

KC_MessageBoxFunction KC_SetMessageBoxFunction(KC_MessageBoxFunction aFunction)
{
	KC_MessageBoxFunction locPrevious = ourMessageBox;
	ourMessageBox = aFunction ? aFunction : KC_PlatformShowMessageBox;
	return locPrevious;
}
