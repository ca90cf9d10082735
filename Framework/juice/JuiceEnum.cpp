#include "JuiceEnum.h"

#include "ParseTool.h"
#include "kc_assert.h"
#include "kc_output.h"

#include <new>

JuiceEnum::JuiceEnum()
{
}

JuiceEnum::JuiceEnum(const char* aMetaName)
	: JuiceFree(aMetaName, false)
{
}

bool JuiceEnum::Construct(JuiceTypeManager& /*aTypeManager*/, ParseTool& aParseTool)
{
	KC_String locLine;
	if (!aParseTool.IsEOF())
		aParseTool.ReadLine(locLine);
	if (locLine != "{")
	{
		aParseTool.Error("Missing block start in declaration of enumerated type '%s'", static_cast<const char*>(myTypeName));
		return false;
	}
	for (;;)
	{
		if (aParseTool.IsEOF() || locLine == "}")
			break;
		aParseTool.ReadLine(locLine);
		// Only the end of the file gives an empty line.
		if (locLine.IsEmpty() || locLine == "}")
			continue;
		if (JuiceListHasText(myRange, locLine))
		{
			KC_Log("JuiceEnum::Construct(): Failed to add new value '%s' to range of type '%s', was it doubly defined?",
				static_cast<const char*>(locLine), static_cast<const char*>(myTypeName));
			return false;
		}
		if (!myRange.Add(locLine))
			return false;
	}
	KC_Log("JuiceEnum::Construct(): Constructed type '%s'", static_cast<const char*>(myTypeName));
	return true;
}

JuiceType* JuiceEnum::Clone() const
{
	JuiceEnum* locCopy = new (std::nothrow) JuiceEnum;
	if (!locCopy)
		return NULL;
	CopyTo(*locCopy);
	for (const KC_ListLink<KC_String>* locLink = myRange.myFirstLink; locLink; locLink = locLink->myNextLink)
		locCopy->myRange.Add(locLink->myItem);
	if (locCopy->myValue.IsEmpty() && locCopy->myRange.Count() != 0)
		locCopy->myValue = locCopy->myRange.GetFirst();
	return locCopy;
}

bool JuiceEnum::Assign(const KC_String& aValue)
{
	if (JuiceListHasText(myRange, aValue))
	{
		myValue = aValue;
		return true;
	}
	KC_Error("JuiceEnum::Assign(): Invalid value '%s'", static_cast<const char*>(aValue));
	return false;
}

bool JuiceEnum::SetDefault(const KC_String& aDefaultValue)
{
	KC_ASSERT(aDefaultValue.IsEmpty());
	return true;
}

void JuiceEnum::GetRange(KC_List<KC_String>& aList) const
{
	aList.RemoveAll();
	for (const KC_ListLink<KC_String>* locLink = myRange.myFirstLink; locLink; locLink = locLink->myNextLink)
		aList.Add(locLink->myItem);
}
