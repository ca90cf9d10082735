#include "kc_output.h"

#include "kc_growingarray.h"

#include <cstdarg>
#include <cstdio>
#include <new>

bool ourErrorChannelOn = true;
bool ourLogChannelOn = false;
const char* ourErrorPrefix = "ERROR:";
const char* ourLogPrefix = "LOG:";

namespace
{
struct DebugListenerList
{
	DebugListenerList() { myListeners.Init(4, 4); }
	KC_GrowingArray<KC_DebugListener*> myListeners;
};

KC_GrowingArray<KC_DebugListener*>& DebugListeners()
{
	static DebugListenerList ourList;
	return ourList.myListeners;
}

bool Publish(bool aSwitch, const char* aPrefix, int aKey, const char* aFormat, std::va_list anArguments)
{
	if (!aSwitch)
		return false;
	char locMessage[1024];
	std::vsnprintf(locMessage, sizeof(locMessage), aFormat, anArguments);

	// Out of memory the line still reaches the debug output, from the stack.
	bool locShown = false;
	try
	{
		KC_String locLine;
		locLine.Format("%s %s", aPrefix, locMessage);
		KC_DebugOutput("%s", locLine.GetText());
		locShown = true;
		return KC_GetMessagePublisher().CallbackSubscribers(aKey, locLine);
	}
	catch (const std::bad_alloc&)
	{
		if (!locShown)
			KC_DebugOutput("%s %s", aPrefix, locMessage);
		return false;
	}
}
}

bool KC_AddDebugListener(KC_DebugListener* aListener)
{
	return DebugListeners().Add(aListener);
}

void KC_RemoveDebugListener(KC_DebugListener* aListener)
{
	KC_GrowingArray<KC_DebugListener*>& locListeners = DebugListeners();
	for (int locIndex = locListeners.Count() - 1; locIndex >= 0; --locIndex)
	{
		if (locListeners[locIndex] == aListener)
			locListeners.RemoveAt(locIndex);
	}
}

int KC_DebugOutput(const char* aFormat, ...)
{
	KC_GrowingArray<KC_DebugListener*>& locListeners = DebugListeners();
	if (locListeners.Count() == 0)
		return 0;
	char locText[1024];
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	std::vsnprintf(locText, sizeof(locText), aFormat, locArguments);
	va_end(locArguments);
	// The count is read anew before each call: a listener may remove itself.
	for (int locIndex = 0; locIndex < locListeners.Count(); ++locIndex)
		locListeners[locIndex]->Receive(locText);
	return locListeners.Count();
}

bool KC_Error(const char* aFormat, ...)
{
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	bool locResult = Publish(ourErrorChannelOn, ourErrorPrefix, KC_ERROR_CHANNEL, aFormat, locArguments);
	va_end(locArguments);
	return locResult;
}

bool KC_Log(const char* aFormat, ...)
{
	std::va_list locArguments;
	va_start(locArguments, aFormat);
	bool locResult = Publish(ourLogChannelOn, ourLogPrefix, KC_LOG_CHANNEL, aFormat, locArguments);
	va_end(locArguments);
	return locResult;
}

KC_MessagePublisher& KC_GetMessagePublisher()
{
	static KC_MessagePublisher ourPublisher;
	return ourPublisher;
}
