#include "JuiceEnum.h"

#include "ParseTool.h"
#include "kc_assert.h"
#include "kc_output.h"

#include <memory>
#include <new>

JuiceEnum::JuiceEnum()
{
}

JuiceEnum::JuiceEnum(const char* aMetaName)
	: JuiceFree(aMetaName)
{
}

bool JuiceEnum::Construct(JuiceTypeManager& /*aTypeManager*/, ParseTool& aParseTool)
{
	bool locRead = aParseTool.ReadDeclarationBlock("enumerated", myTypeName, [this](const KC_String& aLine) {
		if (JuiceListHasText(myRange, aLine))
		{
			KC_Log("JuiceEnum::Construct(): Failed to add new value '%s' to range of type '%s', was it doubly defined?",
				aLine.GetText(), myTypeName.GetText());
			return false;
		}
		return myRange.Add(aLine);
	});
	if (!locRead)
		return false;
	KC_Log("JuiceEnum::Construct(): Constructed type '%s'", myTypeName.GetText());
	return true;
}

JuiceType* JuiceEnum::Clone() const
{
	// A copy is whole or none (without memory for a part of it).
	std::unique_ptr<JuiceEnum> locCopy(new (std::nothrow) JuiceEnum);
	if (!locCopy)
		return NULL;
	CopyTo(*locCopy);
	for (const KC_String& locText : myRange)
	{
		if (!locCopy->myRange.Add(locText))
			return NULL;
	}
	if (locCopy->myValue.IsEmpty() && locCopy->myRange.Count() != 0)
		locCopy->myValue = locCopy->myRange.GetFirst();
	return locCopy.release();
}

bool JuiceEnum::Assign(const KC_String& aValue)
{
	if (JuiceListHasText(myRange, aValue))
	{
		myValue = aValue;
		return true;
	}
	KC_Error("JuiceEnum::Assign(): Invalid value '%s'", aValue.GetText());
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
	for (const KC_String& locText : myRange)
	{
		if (!aList.Add(locText))
			throw std::bad_alloc();
	}
}
