#ifndef KC_PLATFORM_H
#define KC_PLATFORM_H

// The framework's seam to the operating system. Text functions work on the
// active ANSI code page and treat a double-byte character as one unit.

// Case-sensitive comparison; bytes compare as unsigned. Negative, 0 or positive.
int KC_PlatformCompare(const char* aFirst, const char* aSecond);

// Case-insensitive comparison. Negative, 0 or positive.
int KC_PlatformCompareNoCase(const char* aFirst, const char* aSecond);

// Lower-cases a NUL-terminated text in place.
void KC_PlatformMakeLower(char* aText);

// First occurrence of aNeedle in aHaystack, or NULL.
const char* KC_PlatformFind(const char* aHaystack, const char* aNeedle);

// Prepares the desktop for a fatal message: restores the display mode,
// hides the active window and releases any cursor clipping.
void KC_PlatformPrepareFatal();

// Shows a fatal message. The function is replaceable so that tests can see the
// text without a box that blocks; KC_SetMessageBoxFunction returns the previous one.
typedef void (*KC_MessageBoxFunction)(const char* aText, const char* aCaption);
void KC_PlatformMessageBox(const char* aText, const char* aCaption);
KC_MessageBoxFunction KC_SetMessageBoxFunction(KC_MessageBoxFunction aFunction);

// Breakpoint trap at the calling site.
void KC_PlatformDebugBreak();

// Moves the file aSource to aTarget, replacing an existing aTarget in one step.
bool KC_PlatformReplaceFile(const char* aSource, const char* aTarget);

#endif
