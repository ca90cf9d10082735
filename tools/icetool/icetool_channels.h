#ifndef ICETOOL_CHANNELS_H
#define ICETOOL_CHANNELS_H

// Internal to icetool: a subscriber to the log and error channels that switches
// both on while it is in scope and restores them after.

#include "kc_output.h"

class IceToolChannelListener : public KC_MessageSubscriber
{
public:
	IceToolChannelListener() : myLogWasOn(ourLogChannelOn), myErrorWasOn(ourErrorChannelOn)
	{
		ourLogChannelOn = true;
		ourErrorChannelOn = true;
		KC_GetMessagePublisher().Subscribe(KC_LOG_CHANNEL, this);
		KC_GetMessagePublisher().Subscribe(KC_ERROR_CHANNEL, this);
	}
	~IceToolChannelListener() override
	{
		KC_GetMessagePublisher().Unsubscribe(KC_LOG_CHANNEL, this);
		KC_GetMessagePublisher().Unsubscribe(KC_ERROR_CHANNEL, this);
		ourLogChannelOn = myLogWasOn;
		ourErrorChannelOn = myErrorWasOn;
	}

private:
	IceToolChannelListener(const IceToolChannelListener&);
	IceToolChannelListener& operator=(const IceToolChannelListener&);

	bool myLogWasOn;
	bool myErrorWasOn;
};

#endif
