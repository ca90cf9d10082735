#include "JuiceInstanceIgnorer.h"

#include "JuiceType.h"
#include "ParseTool.h"
#include "kc_assert.h"
#include "kc_output.h"

#include <new>

JuiceInstanceIgnorer::JuiceInstanceIgnorer()
	: myIgnoredMembers(false)
{
}

JuiceInstanceIgnorer::~JuiceInstanceIgnorer()
{
	myIgnoredMembers.DeleteAll();
}

bool JuiceInstanceIgnorer::OkToIgnoreInstanceOfType(const KC_String& aTypeName, const KC_String& anInstanceName)
{
	if (JuiceListHasText(myIgnoredTypes, aTypeName))
		return true;
	int locAnswer = Sub_OkToIgnoreInstanceOfType(aTypeName, anInstanceName);
	if (locAnswer == 0)
	{
		myIgnoredTypes.Add(aTypeName);
		return true;
	}
	return locAnswer == 1;
}

bool JuiceInstanceIgnorer::OkToIgnoreMember(const KC_String& aMemberName, const KC_String& aTypeName,
	const KC_String& anInstanceName)
{
	KC_List<KC_String>* locMembers = GetIgnoredMembers(aTypeName);
	if (!locMembers)
		return false;
	if (JuiceListHasText(*locMembers, aMemberName))
		return true;
	if (!Sub_OkToIgnoreMember(aTypeName, anInstanceName, aMemberName))
		return false;
	if (!locMembers->Add(aMemberName))
		throw std::bad_alloc();
	return true;
}

bool JuiceInstanceIgnorer::SkipInstance(ParseTool& aParseTool)
{
	if (aParseTool.IsEOF())
		return false;
	KC_String locLine;
	aParseTool.PeekLine(locLine);
	// Only the end of the file gives an empty line: nothing follows.
	if (locLine.IsEmpty())
		return false;
	if (locLine != "{")
		return true;
	aParseTool.ReadLine(locLine);
	int locOpening = aParseTool.GetLineNumber();
	int blockCount = 1;
	while (blockCount != 0)
	{
		if (aParseTool.IsEOF())
		{
			aParseTool.ErrorAtLine(locOpening, "Missing block end of an ignored instance: the file ends inside its block");
			return false;
		}
		aParseTool.ReadLine(locLine);
		if (locLine == "{")
			++blockCount;
		else if (locLine == "}")
		{
			KC_ASSERT(blockCount);
			--blockCount;
		}
	}
	return true;
}

int EverythingIgnorer::Sub_OkToIgnoreInstanceOfType(const KC_String& aTypeName, const KC_String& /*anInstanceName*/)
{
	KC_DebugOutput("EverythingIgnorer::Sub_OkToIgnoreInstanceOfType(): ignoring all instances of type '%s'",
		aTypeName.GetText());
	return 0;
}

bool EverythingIgnorer::Sub_OkToIgnoreMember(const KC_String& aTypeName, const KC_String& anInstanceName,
	const KC_String& aMemberName)
{
	KC_DebugOutput("EverythingIgnorer::Sub_OkToIgnoreInstanceOfType(): ignoring member '%s' in instance '%s' of type '%s'",
		aMemberName.GetText(), anInstanceName.GetText(),
		aTypeName.GetText());
	return true;
}
