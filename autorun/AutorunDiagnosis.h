#ifndef AUTORUNDIAGNOSIS_H
#define AUTORUNDIAGNOSIS_H

#include "KC_String.h"
#include "kc_output.h"

// The report of "autorun.exe /diagnose": why the start-up failed, or which
// requirement keeps each disabled button disabled. Off unless switched on;
// while off nothing is collected.
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
	static const KC_String& GetText() { return ourText; }
	static void Clear() { ourText.Clear(); }

	// Collects the error and log lines of the framework while in scope (only when on).
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

	// Sends the report to the debug output and shows it in a message box.
	static void Show();

private:
	static bool ourIsOn;
	static KC_String ourText;
};

#endif
