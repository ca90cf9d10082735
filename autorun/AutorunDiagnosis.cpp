#include "AutorunDiagnosis.h"

#include "AutorunShell.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

namespace
{
// UTF-8 to UTF-16; empty when it does not convert.
std::wstring Widen(const char* aText)
{
	int locLength = MultiByteToWideChar(CP_UTF8, 0, aText, -1, NULL, 0);
	if (locLength <= 0)
		return std::wstring();
	std::wstring locWide(static_cast<size_t>(locLength), L'\0');
	MultiByteToWideChar(CP_UTF8, 0, aText, -1, &locWide[0], locLength);
	locWide.resize(static_cast<size_t>(locLength - 1));
	return locWide;
}
}

KC_String AutorunDiagnosis::ReportPath()
{
	wchar_t locFolder[MAX_PATH + 1] = L"";
	DWORD locLength = GetTempPathW(MAX_PATH + 1, locFolder);
	if (locLength == 0 || locLength > MAX_PATH)
		locFolder[0] = 0;
	return AutorunShell::ToUtf8(locFolder) + ourReportName;
}

bool AutorunDiagnosis::WriteReport(const char* aPath)
{
	// The path is UTF-8: the user's folder may hold any character.
	std::FILE* locFile = _wfopen(Widen(aPath).c_str(), L"wb");
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

namespace
{
// The rows of one line of aLength characters, each at most aRowLength long:
// broken after the last blank of a row where it has one, else inside a word;
// the rows after the first are indented by two blanks.
std::vector<std::string> WrapLine(const char* aLine, int aLength, int aRowLength)
{
	std::vector<std::string> locRows;
	int locStart = 0;
	while (locStart < aLength || locRows.empty())
	{
		int locIndent = locRows.empty() ? 0 : 2;
		int locRoom = aRowLength - locIndent;
		int locEnd = aLength;
		if (aLength - locStart > locRoom)
		{
			locEnd = locStart + locRoom;
			for (int locAt = locEnd; locAt > locStart + locRoom / 2; --locAt)
			{
				if (aLine[locAt - 1] == ' ')
				{
					locEnd = locAt;
					break;
				}
			}
		}
		locRows.push_back(std::string(static_cast<size_t>(locIndent), ' ') +
		                  std::string(aLine + locStart, static_cast<size_t>(locEnd - locStart)));
		locStart = locEnd;
	}
	return locRows;
}
}

KC_String AutorunDiagnosis::BoxText(const KC_String& aDiagnosis, int aMaxRows, int aRowLength,
                                    const char* aClosingLine)
{
	if (aRowLength < 8)
		aRowLength = 8;
	std::string locText = std::string(ourHeading) + "\n";
	int locRows = 0;
	int locLeftOut = 0;
	const char* locStart = aDiagnosis;
	while (*locStart)
	{
		const char* locEnd = std::strchr(locStart, '\n');
		int locLength = locEnd ? static_cast<int>(locEnd - locStart) : static_cast<int>(std::strlen(locStart));
		// A line longer than a row is wrapped; a line whose rows do not all
		// fit is left out whole, with every line after it.
		std::vector<std::string> locLineRows;
		if (locLeftOut == 0)
			locLineRows = WrapLine(locStart, locLength, aRowLength);
		if (locLeftOut > 0 || locRows + static_cast<int>(locLineRows.size()) > aMaxRows)
			++locLeftOut;
		else
		{
			for (const std::string& locRow : locLineRows)
				locText += locRow + "\n";
			locRows += static_cast<int>(locLineRows.size());
		}
		locStart += locLength + (locEnd ? 1 : 0);
	}
	if (locLeftOut > 0)
	{
		char locMore[64];
		std::snprintf(locMore, sizeof(locMore), "(%d more line%s in the report file)\n", locLeftOut,
		              locLeftOut == 1 ? "" : "s");
		locText += locMore;
	}
	return KC_String((locText + "\n" + aClosingLine).c_str());
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
	// The lines are UTF-8 (paths of the system): the box shows them wide.
	std::wstring locBox = Widen(BoxText(ourText, locRows, locRowLength, locClosing));
	KC_LocString locText(reinterpret_cast<const char16_t*>(locBox.c_str()));
	AutorunShell::ShowText(locText, BoxText(ourText, locRows, locRowLength, locClosing));
}
