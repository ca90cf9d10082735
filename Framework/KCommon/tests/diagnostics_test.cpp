#include "kc_assert.h"
#include "kc_output.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
class TextListener : public KC_DebugListener
{
public:
	void Receive(const char* aText) override { myTexts.push_back(aText); }
	std::vector<std::string> myTexts;
};

class StderrListener : public KC_DebugListener
{
public:
	void Receive(const char* aText) override { std::fprintf(stderr, "debug|%s|", aText); }
};

class ChannelSubscriber : public KC_MessageSubscriber
{
public:
	explicit ChannelSubscriber(bool aResult = true) : myResult(aResult) {}
	bool Receive(int aKey, KC_String aValue) override
	{
		myKeys.push_back(aKey);
		myLines.push_back(aValue.GetText());
		return myResult;
	}
	bool myResult;
	std::vector<int> myKeys;
	std::vector<std::string> myLines;
};
}

TEST(KC_Diagnostics, DebugOutputWithoutListenersFormatsNothing)
{
	// A format that would read missing arguments is never formatted.
	const char* locUnsafe = "%s %s %s";
	EXPECT_EQ(0, KC_DebugOutput(locUnsafe));

	TextListener locFirst, locSecond;
	ASSERT_TRUE(KC_AddDebugListener(&locFirst));
	ASSERT_TRUE(KC_AddDebugListener(&locSecond));
	EXPECT_EQ(2, KC_DebugOutput("n=%d", 7));
	KC_RemoveDebugListener(&locFirst);
	KC_RemoveDebugListener(&locSecond);
	ASSERT_EQ(1u, locFirst.myTexts.size());
	EXPECT_EQ("n=7", locFirst.myTexts[0]);
	EXPECT_EQ(locFirst.myTexts, locSecond.myTexts);
	EXPECT_EQ(0, KC_DebugOutput("gone"));
}

TEST(KC_Diagnostics, LogChannelIsOffAtStartAndErrorChannelOn)
{
	TextListener locListener;
	KC_AddDebugListener(&locListener);
	const char* locUnsafe = "%s %s %s";
	EXPECT_FALSE(KC_Log(locUnsafe));
	EXPECT_TRUE(locListener.myTexts.empty());

	// On, but nobody subscribed to key 1.
	EXPECT_FALSE(KC_Error("Ice::Init(): empty filename"));
	ASSERT_EQ(1u, locListener.myTexts.size());
	EXPECT_EQ("ERROR: Ice::Init(): empty filename", locListener.myTexts[0]);
	KC_RemoveDebugListener(&locListener);
}

TEST(KC_Diagnostics, ChannelsDeliverTheMessageUnchangedToTheirKey)
{
	ChannelSubscriber locErrors, locLogs;
	KC_GetMessagePublisher().Subscribe(KC_ERROR_CHANNEL, &locErrors);
	KC_GetMessagePublisher().Subscribe(KC_LOG_CHANNEL, &locLogs);
	TextListener locListener;
	KC_AddDebugListener(&locListener);

	EXPECT_TRUE(KC_Error("%s", "100% done %d %s"));
	EXPECT_FALSE(KC_Log("off"));
	ourLogChannelOn = true;
	EXPECT_TRUE(KC_Log("count %d", 3));
	ourLogChannelOn = false;
	ourErrorChannelOn = false;
	EXPECT_FALSE(KC_Error("silent"));
	ourErrorChannelOn = true;

	KC_RemoveDebugListener(&locListener);
	KC_GetMessagePublisher().Unsubscribe(KC_ERROR_CHANNEL, &locErrors);
	KC_GetMessagePublisher().Unsubscribe(KC_LOG_CHANNEL, &locLogs);

	ASSERT_EQ(1u, locErrors.myLines.size());
	EXPECT_EQ(1, locErrors.myKeys[0]);
	EXPECT_EQ("ERROR: 100% done %d %s", locErrors.myLines[0]);
	ASSERT_EQ(1u, locLogs.myLines.size());
	EXPECT_EQ(0, locLogs.myKeys[0]);
	EXPECT_EQ("LOG: count 3", locLogs.myLines[0]);
	ASSERT_EQ(2u, locListener.myTexts.size());
	EXPECT_EQ("ERROR: 100% done %d %s", locListener.myTexts[0]);
}

TEST(KC_Diagnostics, ChannelMessagesAreCutAt1023Characters)
{
	ChannelSubscriber locErrors;
	KC_GetMessagePublisher().Subscribe(KC_ERROR_CHANNEL, &locErrors);
	std::string locLong(3000, 'q');
	EXPECT_TRUE(KC_Error("%s", locLong.c_str()));
	KC_GetMessagePublisher().Unsubscribe(KC_ERROR_CHANNEL, &locErrors);
	ASSERT_EQ(1u, locErrors.myLines.size());
	EXPECT_EQ(std::string("ERROR: ") + std::string(1023, 'q'), locErrors.myLines[0]);
}

using KC_DiagnosticsDeathTest = ::testing::Test;

TEST(KC_DiagnosticsDeathTest, FailedAssertionReportsAndExitsWithMinus666)
{
	KC_SetDeathTestStyle();
	// The debug output hears the text first, then the box shows it.
	EXPECT_EXIT(
		{
			static StderrListener locListener;
			KC_AddDebugListener(&locListener);
			int locValue = 2;
			KC_ASSERT(locValue == 1);
		},
		::testing::ExitedWithCode(kFatalExitCode),
		"debug\\|Assertion \\(locValue == 1\\) failed in .*diagnostics_test.cpp, line .*\\|"
		"FatalError\\|Assertion \\(locValue == 1\\) failed in .*diagnostics_test.cpp, line ");
}

TEST(KC_DiagnosticsDeathTest, AssertionTextsNameSourcesRelativeToTheSourceRoot)
{
	EXPECT_EXIT(KC_ASSERT(sizeof(int) == 0), ::testing::ExitedWithCode(kFatalExitCode),
		"FatalError\\|Assertion \\(sizeof\\(int\\) == 0\\) failed in Framework/KCommon/tests/diagnostics_test\\.cpp, line ");
}

TEST(KC_DiagnosticsDeathTest, FatalErrorCutsItsTextAt255Characters)
{
	KC_SetDeathTestStyle();
	std::string locExpected = "FatalError\\|" + std::string(255, 'z') + "$";
	EXPECT_EXIT(FatalError("%s", std::string(400, 'z').c_str()), ::testing::ExitedWithCode(kFatalExitCode),
	            locExpected.c_str());
}

TEST(KC_DiagnosticsDeathTest, RefusingSubscriberIsAnAssertionInThePublisher)
{
	KC_SetDeathTestStyle();
	EXPECT_EXIT(
		{
			static ChannelSubscriber locRefuser(false);
			KC_GetMessagePublisher().Subscribe(KC_ERROR_CHANNEL, &locRefuser);
			KC_Error("refused");
		},
		::testing::ExitedWithCode(kFatalExitCode),
		"FatalError\\|Assertion \\(0 && \"KC_Publisher::CallbackSubscribers\\(\\): subscriber indicated "
		"that a Receive\\(\\) failed\"\\) failed in .*kc_publisher");
}
