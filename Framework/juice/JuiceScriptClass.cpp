#include "JuiceScriptClass.h"

#include "JuiceTypeManager.h"
#include "ParseTool.h"
#include "kc_assert.h"
#include "kc_output.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

int JuiceScriptClass::ourMemberCounter = 0;

namespace
{
// "%s(%d)" of the type name up to its first NUL and a counter of 0 or more,
// made without a format: every member of a script class gets one.
KC_String GeneratedName(const KC_String& aTypeName, int aCounter)
{
	char locDigits[16];
	int locStart = sizeof(locDigits) - 1;
	locDigits[locStart--] = ')';
	do
	{
		locDigits[locStart--] = static_cast<char>('0' + aCounter % 10);
		aCounter /= 10;
	} while (aCounter > 0);
	locDigits[locStart] = '(';
	int locDigitCount = static_cast<int>(sizeof(locDigits)) - locStart;
	int locTypeLength = static_cast<int>(std::strlen(aTypeName.GetText()));
	if (locTypeLength + locDigitCount > 65534)
		throw std::bad_alloc();
	// Made in one piece: short names in a buffer here, long ones on the heap.
	char locShort[256];
	std::string locLong;
	char* locText = locShort;
	if (locTypeLength + locDigitCount > static_cast<int>(sizeof(locShort)))
	{
		locLong.resize(static_cast<size_t>(locTypeLength + locDigitCount));
		locText = &locLong[0];
	}
	std::memcpy(locText, aTypeName.GetText(), static_cast<size_t>(locTypeLength));
	std::memcpy(locText + locTypeLength, locDigits + locStart, static_cast<size_t>(locDigitCount));
	return KC_String(locText, locTypeLength + locDigitCount);
}
}

JuiceScriptClass::JuiceScriptClass()
	: myReading(false)
	, myNamesCounted(false)
	, myNewestMember(NULL)
{
}

JuiceScriptClass::JuiceScriptClass(const char* aMetaName)
	: JuiceClass(aMetaName)
	, myReading(false)
	, myNamesCounted(false)
	, myNewestMember(NULL)
{
}

JuiceType* JuiceScriptClass::GetMemberToAssign(JuiceTypeManager& aTypeManager, const KC_String& aTypeName)
{
	if (!IsLegalType(aTypeName))
		return NULL;
	JuiceType* locPrototype = aTypeManager.FindType(aTypeName);
	if (!locPrototype)
		locPrototype = aTypeManager.FindReferenceType(aTypeName);
	if (!locPrototype)
		return NULL;

	// A name that no direct member has yet.
	KC_String locName;
	bool locTaken = true;
	while (locTaken)
	{
		locName = GeneratedName(aTypeName, ourMemberCounter);
		ourMemberCounter = ourMemberCounter == 0x7fffffff ? 0 : ourMemberCounter + 1;
		locTaken = IsMemberName(locName);
	}

	JuiceType* locMember = locPrototype->Clone();
	if (!locMember)
		return NULL;
	locMember->SetName(locName);
	if (!AddMember(locMember))
	{
		delete locMember;
		return NULL;
	}
	// Its name is counted when the next member is made: its own line may rename it first.
	if (myNamesCounted)
		myNewestMember = locMember;
	return locMember;
}

void JuiceScriptClass::CountName(const KC_String& aName, int aStep)
{
	// A name without a parenthesis is never one that GetMemberToAssign makes.
	if (aName.Find('(') < 0)
		return;
	std::unordered_map<std::string, int>::iterator locEntry =
		myMemberNames.emplace(aName.GetText(), 0).first;
	locEntry->second += aStep;
	if (locEntry->second <= 0)
		myMemberNames.erase(locEntry);
}

bool JuiceScriptClass::IsMemberName(const KC_String& aName)
{
	if (!myReading)
	{
		for (JuiceType* locType : myMembers)
		{
			if (locType->GetName() == aName)
				return true;
		}
		return false;
	}
	if (!myNamesCounted)
	{
		for (JuiceType* locType : myMembers)
			CountName(locType->GetName(), 1);
		myNamesCounted = true;
	}
	else if (myNewestMember)
	{
		CountName(myNewestMember->GetName(), 1);
		myNewestMember = NULL;
	}
	return !myMemberNames.empty() && myMemberNames.count(aName.GetText()) != 0;
}

bool JuiceScriptClass::Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
	JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer)
{
	myReading = true;
	bool locResult = JuiceClass::Assign(aParseTool, anInlineText, aTypeManager, anIgnorer, aLocalizer);
	myReading = false;
	myNamesCounted = false;
	myMemberNames.clear();
	myNewestMember = NULL;
	return locResult;
}

bool JuiceScriptClass::IsLegalType(const KC_String& aTypeName) const
{
	return JuiceListHasText(myLegalTypes, aTypeName);
}

bool JuiceScriptClass::Construct(JuiceTypeManager& /*aTypeManager*/, ParseTool& aParseTool)
{
	bool locRead = aParseTool.ReadDeclarationBlock("scriptclass", myTypeName,
		[this](const KC_String& aLine) { return myLegalTypes.Add(aLine); });
	if (!locRead)
		return false;
	KC_Log("JuiceScriptClass::Construct(): Constructed type '%s'", myTypeName.GetText());
	return true;
}

JuiceType* JuiceScriptClass::Clone() const
{
	std::unique_ptr<JuiceScriptClass> locCopy(new (std::nothrow) JuiceScriptClass);
	if (!locCopy)
		return NULL;
	locCopy->myTypeName = myTypeName;
	locCopy->myName = myName;
	// A copy is whole or none (without memory for a part of it).
	for (const KC_String& locText : myLegalTypes)
	{
		if (!locCopy->myLegalTypes.Add(locText))
			return NULL;
	}
	if (!locCopy->CopyMembers(this))
		return NULL;
	return locCopy.release();
}

bool JuiceScriptClass::Assign(const JuiceType* anInstance)
{
	return CopyMembers(anInstance);
}

bool JuiceScriptClass::CopyMembers(const JuiceType* anInstance)
{
	if (!anInstance || anInstance->GetTypeName() != myTypeName)
	{
		KC_ASSERT(0 && "JuiceScriptClass::CopyMembers(): myTypeName != anInstance->GetTypeName()");
		return false;
	}
	if (anInstance == this)
		return true;
	DeleteMembers();
	if (!myMembers.Reserve(anInstance->GetMemberCount()))
		return false;
	for (JuiceType* locType : const_cast<JuiceType*>(anInstance)->GetMembers())
	{
		JuiceType* newMember = locType->Clone();
		if (!newMember)
			return false;
		if (!myMembers.Add(newMember))
		{
			delete newMember;
			return false;
		}
	}
	return true;
}

bool JuiceScriptClass::AddMember(JuiceType* aMember)
{
	if (!aMember || !IsLegalType(aMember->GetTypeName()))
		return false;
	return JuiceClass::AddMember(aMember);
}

bool JuiceScriptClass::ResolveReferences(JuiceTypeManager& aTypeManager)
{
	for (const KC_String& locText : myLegalTypes)
	{
		if (!aTypeManager.FindType(locText) && !aTypeManager.FindReferenceType(locText))
		{
			KC_Error("Undefined type '%s' in declaration of scriptclass '%s' of type '%s'",
				locText.GetText(), myName.GetText(),
				myTypeName.GetText());
			return false;
		}
	}
	return JuiceClass::ResolveReferences(aTypeManager);
}

void JuiceScriptClass::GetRange(KC_List<KC_String>& aList) const
{
	aList.RemoveAll();
	for (const KC_String& locText : myLegalTypes)
	{
		if (!aList.Add(locText))
			throw std::bad_alloc();
	}
}

bool JuiceScriptClass::IsScriptClass() const
{
	return true;
}
