#include "JuiceLocalizer.h"

#include "ParseTool.h"
#include "kf_file.h"

#include <new>

JuiceLocalizer::JuiceLocalizer()
{
}

JuiceLocalizer::~JuiceLocalizer()
{
	DeleteAll();
}

bool JuiceLocalizer::GetCompanionName(const KC_String& aFileName, KC_String& aCompanionName)
{
	int locDot = aFileName.ReverseFind('.');
	if (locDot <= 0)
		return false;
	aCompanionName.Format("%s.lang", aFileName.Left(locDot).GetText());
	return true;
}

bool JuiceLocalizer::Read(const KC_String& aFileName)
{
	KC_String locCompanion;
	if (!GetCompanionName(aFileName, locCompanion))
		return false;
	myUse.myFileName = locCompanion;
	if (!FileExists(locCompanion))
		return true;
	myUse.myHasFile = true;
	ParseTool locParseTool;
	if (!locParseTool.Open(locCompanion))
		return false;
	KC_String locLine;
	while (!locParseTool.IsEOF())
	{
		locParseTool.ReadLine(locLine);
		// Only the end of the file gives an empty line.
		if (locLine.IsEmpty())
			continue;
		int locTab = locLine.Find('\t');
		KeyValue* locEntry;
		if (locTab < 0)
			locEntry = new (std::nothrow) KeyValue(KC_String(), locLine);
		else
			locEntry = new (std::nothrow) KeyValue(locLine.Left(locTab), locLine.Right(locLine.GetLength() - locTab - 1));
		if (!locEntry)
			return false;
		if (!Add(locEntry))
		{
			delete locEntry;
			return false;
		}
		myIndex.push_back(locEntry);
		++myUse.myEntryCount;
	}
	return true;
}

bool JuiceLocalizer::Look(const KC_String& aText, KC_String& aValue, int aLineNumber)
{
	if (GetText(aText, aValue))
	{
		++myUse.myFoundCount;
		return true;
	}
	const char* locText = aText;
	bool locNumeric = *locText != 0;
	for (; *locText && locNumeric; ++locText)
		locNumeric = *locText >= '0' && *locText <= '9';
	if (locNumeric)
	{
		// Only a warning hangs on the record: without memory it is left out.
		try
		{
			myUse.myMisses.push_back(Use::Miss{aLineNumber, aText});
		}
		catch (const std::bad_alloc&)
		{
		}
	}
	return false;
}

bool JuiceLocalizer::GetText(const KC_String& aText, KC_String& aValue) const
{
	if (Count() == 0)
		return false;
	const char* locText = aText;
	if (*locText < '0' || *locText > '9')
		return false;
	// The decimal number at the start; what follows it is not used.
	long long locIndex = 0;
	for (; *locText >= '0' && *locText <= '9'; ++locText)
	{
		locIndex = locIndex * 10 + (*locText - '0');
		if (locIndex >= Count())
			return false;
	}
	if (myIndex.size() == static_cast<size_t>(Count()) && myIndex.front() == myFirstLink->myItem &&
		myIndex.back() == myLastLink->myItem)
	{
		aValue = myIndex[static_cast<size_t>(locIndex)]->myValue;
		return true;
	}
	const KC_ListLink<KeyValue*>* locLink = myFirstLink;
	for (; locIndex > 0 && locLink; --locIndex)
		locLink = locLink->myNextLink;
	if (!locLink)
		return false;
	aValue = locLink->myItem->myValue;
	return true;
}
