#include "AutorunDiagnosis.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

bool AutorunDiagnosis::ourIsOn = false;
KC_String AutorunDiagnosis::ourText;

namespace
{
const int ourMaxLine = 1024;
const int ourMaxText = 65000;
}

void AutorunDiagnosis::Enable(bool anEnable)
{
	ourIsOn = anEnable;
	if (!anEnable)
		ourText.Clear();
}

void AutorunDiagnosis::Add(const char* aFormat, ...)
{
	if (!ourIsOn)
		return;
	char locLine[ourMaxLine];
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	std::vsnprintf(locLine, sizeof(locLine), aFormat, locArguments);
	va_end(locArguments);
	// A report longer than a string holds keeps its beginning.
	if (ourText.GetLength() + static_cast<int>(std::strlen(locLine)) + 1 > ourMaxText)
		return;
	ourText = ourText + locLine + "\n";
}

AutorunDiagnosis::ChannelCapture::ChannelCapture() : myActive(ourIsOn), myLogWasOn(ourLogChannelOn)
{
	if (!myActive)
		return;
	ourLogChannelOn = true;
	KC_GetMessagePublisher().Subscribe(KC_LOG_CHANNEL, this);
	KC_GetMessagePublisher().Subscribe(KC_ERROR_CHANNEL, this);
}

AutorunDiagnosis::ChannelCapture::~ChannelCapture()
{
	if (!myActive)
		return;
	KC_GetMessagePublisher().Unsubscribe(KC_LOG_CHANNEL, this);
	KC_GetMessagePublisher().Unsubscribe(KC_ERROR_CHANNEL, this);
	ourLogChannelOn = myLogWasOn;
}

bool AutorunDiagnosis::ChannelCapture::Receive(int /*aKey*/, KC_String aValue)
{
	Add("  %s", static_cast<const char*>(aValue));
	return true;
}

void AutorunDiagnosis::Show()
{
	if (!ourIsOn)
		return;
	KC_String locReport = KC_String("autorun /diagnose\n") + ourText;
	// The debug output takes one line at a time, so that every line reads whole.
	const char* locStart = locReport;
	while (*locStart)
	{
		const char* locEnd = std::strchr(locStart, '\n');
		size_t locLength = locEnd ? static_cast<size_t>(locEnd - locStart) : std::strlen(locStart);
		char locLine[ourMaxLine + 1];
		size_t locCopied = locLength < ourMaxLine - 1 ? locLength : ourMaxLine - 1;
		std::memcpy(locLine, locStart, locCopied);
		locLine[locCopied] = '\n';
		locLine[locCopied + 1] = 0;
		OutputDebugStringA(locLine);
		locStart += locLength + (locEnd ? 1 : 0);
	}
	MessageBoxA(GetDesktopWindow(), locReport, "AUTORUN", MB_TASKMODAL | MB_ICONINFORMATION);
}
