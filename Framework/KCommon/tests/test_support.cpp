#include "test_support.h"

#include "kc_platform.h"

#include <cstdio>

namespace
{
void WriteBoxToStandardError(const char* aText, const char* aCaption)
{
	std::fprintf(stderr, "%s|%s", aCaption, aText);
	std::fflush(stderr);
}

const bool ourHookInstalled = (KC_SetMessageBoxFunction(WriteBoxToStandardError), true);
}

MessageCapture::MessageCapture()
	: myOldLogSwitch(ourLogChannelOn)
{
	ourLogChannelOn = true;
	KC_GetMessagePublisher().Subscribe(KC_ERROR_CHANNEL, this);
	KC_GetMessagePublisher().Subscribe(KC_LOG_CHANNEL, this);
	KC_AddDebugListener(this);
}

MessageCapture::~MessageCapture()
{
	KC_RemoveDebugListener(this);
	KC_GetMessagePublisher().Unsubscribe(KC_ERROR_CHANNEL, this);
	KC_GetMessagePublisher().Unsubscribe(KC_LOG_CHANNEL, this);
	ourLogChannelOn = myOldLogSwitch;
}

bool MessageCapture::Receive(int aKey, KC_String aValue)
{
	(aKey == KC_ERROR_CHANNEL ? myErrors : myLogs).push_back(aValue.GetText());
	return true;
}

void MessageCapture::Receive(const char* aText)
{
	std::string locText(aText);
	if (locText.compare(0, 6, "ERROR:") != 0 && locText.compare(0, 4, "LOG:") != 0)
		myDebugTexts.push_back(locText);
}

bool MessageCapture::HasError(const std::string& aLine) const
{
	for (const std::string& locLine : myErrors)
	{
		if (locLine == aLine)
			return true;
	}
	return false;
}

bool MessageCapture::HasLog(const std::string& aLine) const
{
	return CountLog(aLine) != 0;
}

int MessageCapture::CountLog(const std::string& aLine) const
{
	int locCount = 0;
	for (const std::string& locLine : myLogs)
	{
		if (locLine == aLine)
			++locCount;
	}
	return locCount;
}

std::string MessageCapture::AllErrors() const
{
	std::string locText;
	for (const std::string& locLine : myErrors)
		locText += locLine + "\n";
	return locText;
}
