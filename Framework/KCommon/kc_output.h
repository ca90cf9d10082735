#ifndef KC_OUTPUT_H
#define KC_OUTPUT_H

#include "KC_String.h"
#include "kc_publisher.h"

// The debug output and the error and log channels.

// Receives every debug-output text. Receive is the first virtual operation.
class KC_DebugListener
{
public:
	virtual void Receive(const char* aText) = 0;
	virtual ~KC_DebugListener() {}
};

bool KC_AddDebugListener(KC_DebugListener* aListener);
void KC_RemoveDebugListener(KC_DebugListener* aListener);

// Formats at most 1023 characters and hands them to every listener; returns
// the number of listeners. With none, nothing is formatted and the result is 0.
int KC_DebugOutput(const char* aFormat, ...) KC_PRINTF_FORMAT(1, 2);

// Error channel (on at start, prefix "ERROR:", key 1) and log channel (off at
// start, prefix "LOG:", key 0). False when the channel is off or nobody subscribed.
bool KC_Error(const char* aFormat, ...) KC_PRINTF_FORMAT(1, 2);
bool KC_Log(const char* aFormat, ...) KC_PRINTF_FORMAT(1, 2);

enum
{
	KC_LOG_CHANNEL = 0,
	KC_ERROR_CHANNEL = 1
};

extern bool ourErrorChannelOn;
extern bool ourLogChannelOn;
extern const char* ourErrorPrefix;
extern const char* ourLogPrefix;

typedef KC_Publisher<int, KC_String> KC_MessagePublisher;
typedef KC_Subscriber<int, KC_String> KC_MessageSubscriber;

// The publisher of both channels.
KC_MessagePublisher& KC_GetMessagePublisher();

#endif
