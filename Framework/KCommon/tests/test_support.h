#ifndef KC_TEST_FRAMEWORK_H
#define KC_TEST_FRAMEWORK_H

// Linked into every framework test (kc_test_framework): the fatal message box
// writes "<caption>|<text>" to standard error instead of showing a box that
// blocks; MessageCapture collects what the channels say.

#include "kc_output.h"
#include "kc_test_support.h"

#include <string>
#include <vector>

// The exit code that a test observes after FatalError: -666 on Windows; its
// low byte on the host, where exit codes are 8 bits.
#ifdef _WIN32
const int kFatalExitCode = -666;
#else
const int kFatalExitCode = -666 & 0xFF;
#endif

// Collects the lines of the error and log channels (with their prefixes) and
// the debug output while it lives; switches the log channel on meanwhile.
class MessageCapture : public KC_MessageSubscriber, public KC_DebugListener
{
public:
	MessageCapture();
	~MessageCapture() override;

	bool Receive(int aKey, KC_String aValue) override;
	void Receive(const char* aText) override;

	// The error lines, the log lines, the debug texts that are not channel lines.
	std::vector<std::string> myErrors;
	std::vector<std::string> myLogs;
	std::vector<std::string> myDebugTexts;

	bool HasError(const std::string& aLine) const;
	bool HasLog(const std::string& aLine) const;
	int CountLog(const std::string& aLine) const;
	std::string AllErrors() const;

private:
	bool myOldLogSwitch;
};

#endif
