#include "AutorunDiagnosis.h"

#include "AutorunShell.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

bool AutorunDiagnosis::ourIsOn = false;
KC_String AutorunDiagnosis::ourText;
KC_String AutorunDiagnosis::ourFullText;

namespace
{
const int ourMaxLine = 1024;
const int ourMaxText = 65000;
const char* const ourHeading = "autorun /diagnose";
const char* const ourReportName = "autorun-diagnose.txt";
// The rows of a message box: its text's line height and the room its frame,
// icon and button take from the screen's height; its width in characters.
const int ourBoxRowHeight = 16;
const int ourBoxFrameHeight = 200;
const int ourBoxCharacterWidth = 7;
}

void AutorunDiagnosis::Enable(bool anEnable)
{
	ourIsOn = anEnable;
	if (!anEnable)
		Clear();
}

void AutorunDiagnosis::Clear()
{
	ourText.Clear();
	ourFullText.Clear();
}

void AutorunDiagnosis::AddLine(KC_String& aText, const char* aLine)
{
	// A report longer than a string holds keeps its beginning.
	if (aText.GetLength() + static_cast<int>(std::strlen(aLine)) + 1 > ourMaxText)
		return;
	aText = aText + aLine + "\n";
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
	AddLine(ourText, locLine);
	AddLine(ourFullText, locLine);
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
	if (!ourIsOn)
		return true;
	char locLine[ourMaxLine];
	std::snprintf(locLine, sizeof(locLine), "  %s", static_cast<const char*>(aValue));
	AddLine(ourFullText, locLine);
	return true;
}

KC_String AutorunDiagnosis::ReportPath()
{
	char locFolder[MAX_PATH + 1] = "";
	DWORD locLength = GetTempPathA(sizeof(locFolder), locFolder);
	if (locLength == 0 || locLength >= sizeof(locFolder))
		locFolder[0] = 0;
	return KC_String(locFolder) + ourReportName;
}

bool AutorunDiagnosis::WriteReport(const char* aPath)
{
	std::FILE* locFile = std::fopen(aPath, "wb");
	if (!locFile)
		return false;
	KC_String locReport = KC_String(ourHeading) + "\n" + ourFullText;
	bool locOk = true;
	for (const char* locAt = locReport; *locAt; ++locAt)
	{
		if (*locAt == '\n' && std::fputc('\r', locFile) == EOF)
			locOk = false;
		if (std::fputc(*locAt, locFile) == EOF)
			locOk = false;
	}
	return std::fclose(locFile) == 0 && locOk;
}

KC_String AutorunDiagnosis::BoxText(const KC_String& aDiagnosis, int aMaxRows, int aRowLength,
                                    const char* aClosingLine)
{
	if (aRowLength < 8)
		aRowLength = 8;
	KC_String locText = KC_String(ourHeading) + "\n";
	int locRows = 0;
	int locLeftOut = 0;
	const char* locStart = aDiagnosis;
	while (*locStart)
	{
		const char* locEnd = std::strchr(locStart, '\n');
		int locLength = locEnd ? static_cast<int>(locEnd - locStart) : static_cast<int>(std::strlen(locStart));
		if (locLeftOut > 0 || locRows + 1 > aMaxRows)
			++locLeftOut;
		else
		{
			// A line longer than a row is cut to one row.
			char locLine[ourMaxLine];
			int locKept = locLength;
			if (locKept > aRowLength)
				locKept = aRowLength - 3;
			if (locKept > ourMaxLine - 4)
				locKept = ourMaxLine - 4;
			std::memcpy(locLine, locStart, static_cast<size_t>(locKept));
			locLine[locKept] = 0;
			if (locKept < locLength)
				std::strcat(locLine, "...");
			locText = locText + locLine + "\n";
			++locRows;
		}
		locStart += locLength + (locEnd ? 1 : 0);
	}
	if (locLeftOut > 0)
	{
		char locMore[64];
		std::snprintf(locMore, sizeof(locMore), "(%d more lines in the report file)\n", locLeftOut);
		locText = locText + locMore;
	}
	return locText + "\n" + aClosingLine;
}

void AutorunDiagnosis::Show()
{
	if (!ourIsOn)
		return;
	KC_String locReport = KC_String(ourHeading) + "\n" + ourFullText;
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

	KC_String locPath = ReportPath();
	KC_String locClosing = WriteReport(locPath) ? KC_String("The full report: ") + locPath
	                                            : KC_String("The full report could not be written to ") + locPath;
	int locRows = (GetSystemMetrics(SM_CYSCREEN) - ourBoxFrameHeight) / ourBoxRowHeight;
	// A box is at most about five eighths of the screen wide.
	int locRowLength = GetSystemMetrics(SM_CXSCREEN) * 5 / 8 / ourBoxCharacterWidth;
	if (locRows < 4)
		locRows = 4;
	AutorunShell::ShowText(KC_LocString(), BoxText(ourText, locRows, locRowLength, locClosing));
}
