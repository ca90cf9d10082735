#include "juice_test_support.h"

#include "JuiceNameSpace.h"
#include "JuiceType.h"

#include <cstdio>

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

std::string ReadWholeFile(const char* aFileName)
{
	FILE* locFile = std::fopen(aFileName, "rb");
	if (!locFile)
		return "<missing>";
	std::string locContent;
	char locBuffer[4096];
	size_t locRead;
	while ((locRead = std::fread(locBuffer, 1, sizeof(locBuffer), locFile)) > 0)
		locContent.append(locBuffer, locRead);
	std::fclose(locFile);
	return locContent;
}

bool WriteWholeFile(const char* aFileName, const std::string& aContent)
{
	FILE* locFile = std::fopen(aFileName, "wb");
	if (!locFile)
		return false;
	bool locResult = std::fwrite(aContent.data(), 1, aContent.size(), locFile) == aContent.size();
	return std::fclose(locFile) == 0 && locResult;
}

bool NameSpacesEqual(JuiceNameSpace& aFirst, JuiceNameSpace& aSecond)
{
	if (aFirst.Count() != aSecond.Count())
		return false;
	KC_ListLink<JuiceType*>* locOther = aSecond.myFirstLink;
	for (JuiceType* locType : aFirst)
	{
		if (locType->GetName() != locOther->myItem->GetName() || !locType->IsEqual(locOther->myItem))
			return false;
		locOther = locOther->myNextLink;
	}
	return true;
}
