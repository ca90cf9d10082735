#ifndef LOG_CAPTURE_H
#define LOG_CAPTURE_H

#include "kc_output.h"

#include <string>
#include <vector>

// Switches the log channel on and collects its lines while in scope.
class LogCapture : public KC_MessageSubscriber
{
public:
	LogCapture()
	{
		myWasOn = ourLogChannelOn;
		ourLogChannelOn = true;
		KC_GetMessagePublisher().Subscribe(KC_LOG_CHANNEL, this);
	}
	~LogCapture() override
	{
		KC_GetMessagePublisher().Unsubscribe(KC_LOG_CHANNEL, this);
		ourLogChannelOn = myWasOn;
	}
	bool Receive(int, KC_String aValue) override
	{
		myLines.push_back(aValue.GetText());
		return true;
	}
	bool Has(const std::string& aLine) const
	{
		for (const std::string& locLine : myLines)
		{
			if (locLine == aLine)
				return true;
		}
		return false;
	}

	std::vector<std::string> myLines;
	bool myWasOn;
};

#endif
