#ifndef AUTORUNDIAGNOSIS_H
#define AUTORUNDIAGNOSIS_H

#include "KC_String.h"
#include "kc_output.h"

// The report of "autorun.exe /diagnose": why the start-up failed, or which
// requirement keeps each disabled button disabled. Off unless switched on;
// while off nothing is collected. The box shows the diagnosis alone; the full
// report, with the framework's messages, goes to the debug output and to
// "autorun-diagnose.txt" in the user's temporary folder.
class AutorunDiagnosis : public KC_MessageSubscriber
{
public:
	static void Enable(bool anEnable);
	static bool IsOn() { return ourIsOn; }

	// Appends one line (at most 1023 characters) while on.
	static void Add(const char* aFormat, ...)
#if defined(__GNUC__)
		__attribute__((format(printf, 1, 2)))
#endif
		;
	// The diagnosis lines; the full report also holds the framework's lines.
	static const KC_String& GetText() { return ourText; }
	static const KC_String& GetFullText() { return ourFullText; }
	static void Clear();

	// Collects the error and log lines of the framework into the full report
	// while in scope (only when on).
	class ChannelCapture : public KC_MessageSubscriber
	{
	public:
		ChannelCapture();
		~ChannelCapture() override;
		bool Receive(int aKey, KC_String aValue) override;

	private:
		bool myActive;
		bool myLogWasOn;
	};

	// Sends the full report to the debug output and to the report file, and
	// shows the diagnosis in a message box of at most a screen's worth.
	static void Show();

	// The path of the report file in the user's temporary folder.
	static KC_String ReportPath();
	// Writes "autorun /diagnose" and the full report to aPath (CR LF lines); false when it cannot.
	static bool WriteReport(const char* aPath);
	// The box's text: the heading, the diagnosis in at most aMaxRows rows of
	// aRowLength characters (longer lines are wrapped; lines that do not fit
	// are left out whole and counted), and aClosingLine.
	static KC_String BoxText(const KC_String& aDiagnosis, int aMaxRows, int aRowLength, const char* aClosingLine);

private:
	static void AddLine(KC_String& aText, const char* aLine);

	static bool ourIsOn;
	static KC_String ourText;
	static KC_String ourFullText;
};

#endif
