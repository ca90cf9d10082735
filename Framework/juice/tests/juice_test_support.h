#ifndef JUICE_TEST_SUPPORT_H
#define JUICE_TEST_SUPPORT_H

#include "kc_output.h"

#include <string>
#include <vector>

class JuiceNameSpace;
class JuiceType;

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

// Whole content of a file, or "<missing>".
std::string ReadWholeFile(const char* aFileName);
bool WriteWholeFile(const char* aFileName, const std::string& aContent);

// Instances of both namespaces pairwise equal, and as many.
bool NameSpacesEqual(JuiceNameSpace& aFirst, JuiceNameSpace& aSecond);

#endif
