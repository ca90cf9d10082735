#include "JuiceClass.h"

#include "JuiceNameSpace.h"
#include "JuiceTypeManager.h"
#include "JuiceWriter.h"
#include "ParseTool.h"
#include "kc_assert.h"
#include "kc_output.h"

#include <cstring>
#include <memory>
#include <new>

JuiceClass::JuiceClass()
{
}

JuiceClass::JuiceClass(const char* aMetaName)
	: JuiceType(aMetaName)
{
}

JuiceClass::~JuiceClass()
{
	myMembers.DeleteAll();
}

JuiceType* JuiceClass::GetMemberAt(int anIndex) const
{
	if (anIndex < 0 || anIndex >= myMembers.Count())
		return NULL;
	return myMembers[anIndex];
}

JuiceType* JuiceClass::FindMember(const KC_String& aPath)
{
	return FindPath(this, aPath.GetText(), aPath.GetLength());
}

JuiceType* JuiceClass::FindPath(JuiceType* anInstance, const char* aPath, int aLength)
{
	for (;;)
	{
		// A reference takes the rest of the path as its text; only classes have members.
		if (anInstance->GetKind() == KIND_REFERENCE)
			return anInstance->FindMember(KC_String(aPath, aLength));
		if (anInstance->GetMemberCount() == 0)
			return NULL;
		JuiceClass* locClass = static_cast<JuiceClass*>(anInstance);
		const char* locDot = static_cast<const char*>(std::memchr(aPath, '.', static_cast<size_t>(aLength)));
		if (!locDot)
			return locClass->FindDirectMember(aPath, aLength);
		// The head is compared where it stands in the path.
		int locHead = static_cast<int>(locDot - aPath);
		anInstance = locClass->FindDirectMember(aPath, locHead);
		if (!anInstance)
			return NULL;
		aPath = locDot + 1;
		aLength -= locHead + 1;
	}
}

JuiceType* JuiceClass::FindDirectMember(const char* aName, int aLength)
{
	if (const void* locNul = std::memchr(aName, 0, static_cast<size_t>(aLength)))
		aLength = static_cast<int>(static_cast<const char*>(locNul) - aName);
	bool locIndexed = false;
	JuiceType* locFound = JuiceNameSpaceWalk::FindDirectMember(*this, aName, aLength, locIndexed);
	if (locIndexed)
		return locFound;
	for (JuiceType* locType : myMembers)
	{
		if (JuiceNameIs(locType->GetName(), aName, aLength))
			return locType;
	}
	return NULL;
}

JuiceMemberList& JuiceClass::GetMembers()
{
	return myMembers;
}

int JuiceClass::GetMemberCount() const
{
	return myMembers.Count();
}

bool JuiceClass::SortMembers(const KC_List<KC_String>& aNameList)
{
	if (aNameList.Count() != myMembers.Count())
		return false;
	JuiceMemberList locSorted;
	if (!locSorted.Reserve(myMembers.Count()))
		throw std::bad_alloc();
	for (const KC_String& locText : aNameList)
	{
		for (int locIndex = 0; locIndex < myMembers.Count(); ++locIndex)
		{
			if (myMembers[locIndex]->GetName() == locText)
			{
				locSorted.Add(myMembers[locIndex]);
				myMembers.RemoveAt(locIndex);
				break;
			}
		}
	}
	// Members that no name took leave the class.
	myMembers.DeleteAll();
	myMembers.Swap(locSorted);
	return true;
}

void JuiceClass::DeleteMembers()
{
	myMembers.DeleteAll();
}

bool JuiceClass::DeleteMember(JuiceType* aMember)
{
	for (int locIndex = 0; locIndex < myMembers.Count(); ++locIndex)
	{
		JuiceType* locMember = myMembers[locIndex];
		if (locMember == aMember)
		{
			myMembers.RemoveAt(locIndex);
			delete locMember;
			return true;
		}
		if (locMember->DeleteMember(aMember))
			return true;
	}
	return false;
}

bool JuiceClass::DeleteMemberNamed(const KC_String& aName)
{
	for (int locIndex = 0; locIndex < myMembers.Count(); ++locIndex)
	{
		JuiceType* locMember = myMembers[locIndex];
		if (locMember->GetName() == aName)
		{
			myMembers.RemoveAt(locIndex);
			delete locMember;
			return true;
		}
	}
	return false;
}

bool JuiceClass::DetachMember(JuiceType* aMember)
{
	int locIndex = myMembers.IndexOf(aMember);
	if (locIndex < 0)
		return false;
	myMembers.RemoveAt(locIndex);
	return true;
}

bool JuiceClass::HasMember(const JuiceType* aMember) const
{
	return myMembers.IndexOf(aMember) >= 0;
}

bool JuiceClass::Construct(JuiceTypeManager& aTypeManager, ParseTool& aParseTool)
{
	int locObjects = CountObjects();
	bool locRead = aParseTool.ReadDeclarationBlock("class", myTypeName, [&](const KC_String& aLine) {
		return AddDeclaredMember(aTypeManager, aParseTool, aLine, locObjects);
	});
	if (!locRead)
		return false;
	KC_Log("JuiceClass::Construct(): Constructed type '%s'", myTypeName.GetText());
	return true;
}

bool JuiceClass::AddDeclaredMember(JuiceTypeManager& aTypeManager, ParseTool& aParseTool, const KC_String& aLine,
	int& anObjects)
{
	KC_String locMemberType = ParseTool::FirstWord(aLine);
	KC_String locRest = ParseTool::RestOfLine(aLine);
	KC_String locMemberName = ParseTool::FirstWord(locRest);
	KC_String locDefault = ParseTool::RestOfLine(locRest);

	bool locIsReference = !locMemberType.IsEmpty() && locMemberType[locMemberType.GetLength() - 1] == '*';
	JuiceType* locPrototype = NULL;
	if (locIsReference)
	{
		locPrototype = aTypeManager.FindReferenceType(locMemberType);
		if (!locPrototype)
		{
			aParseTool.Error("Undefined reference type '%s' for member '%s' in declaration of class type '%s'",
				locMemberType.GetText(), locMemberName.GetText(),
				myTypeName.GetText());
			return false;
		}
	}
	else
	{
		locPrototype = aTypeManager.FindType(locMemberType);
		if (!locPrototype)
		{
			aParseTool.Error("Undefined type '%s' for member '%s' in declaration of class type '%s'",
				locMemberType.GetText(), locMemberName.GetText(),
				myTypeName.GetText());
			return false;
		}
	}

	// A type may hold only so much: classes of classes could otherwise
	// make every clone grow without bound.
	int locMemberObjects = locPrototype->CountObjects();
	bool locTooBig = locPrototype->GetDepth() + 1 > ourMaxTypeDepth || anObjects + locMemberObjects > ourMaxTypeObjects;
	JuiceType* locMember = locTooBig ? NULL : locPrototype->Clone();
	if (!locTooBig && !locMember)
	{
		aParseTool.Error("Failed to clone type prototype '%s'", locMemberType.GetText());
		return false;
	}
	if (locMember)
	{
		locMember->SetSharedName(locMemberName);
		if (!locDefault.IsEmpty())
			locMember->Assign(locDefault);
	}
	if (!locMember || !AddMember(locMember))
	{
		delete locMember;
		if (locIsReference)
			aParseTool.Error("Failed to add reference member '%s' in declaration of class type '%s'",
				locMemberName.GetText(), myTypeName.GetText());
		else
			aParseTool.Error("Failed to add member '%s' in declaration of class type '%s'",
				locMemberName.GetText(), myTypeName.GetText());
		return false;
	}
	anObjects += locMemberObjects;
	return true;
}

bool JuiceClass::Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName)
{
	bool locResult;
	if (aWithTypeName)
		locResult = JuiceWriteTexts(aFile, {anIndent.GetText(), myTypeName.GetText(), " ", myName.GetText(),
			JUICE_EOL, anIndent.GetText(), "{" JUICE_EOL});
	else
		locResult = JuiceWriteTexts(aFile, {anIndent.GetText(), myName.GetText(), JUICE_EOL, anIndent.GetText(),
			"{" JUICE_EOL});
	if (!locResult)
		return false;
	KC_String locIndent = anIndent + "\t";
	for (JuiceType* locType : myMembers)
	{
		if (!locType->Write(aFile, locIndent, IsScriptClass()))
			return false;
	}
	return JuiceWriteTexts(aFile, {anIndent.GetText(), "}" JUICE_EOL JUICE_EOL});
}

JuiceType* JuiceClass::Clone() const
{
	std::unique_ptr<JuiceClass> locCopy(new (std::nothrow) JuiceClass);
	if (!locCopy)
		return NULL;
	locCopy->myTypeName = myTypeName;
	locCopy->myName = myName;
	// The names are unique here already: the copies need no check. A copy is
	// whole or none (without memory for a member).
	if (!locCopy->myMembers.Reserve(myMembers.Count()))
		return NULL;
	for (JuiceType* locType : myMembers)
	{
		JuiceType* locMember = locType->Clone();
		if (!locMember || !locCopy->myMembers.Add(locMember))
		{
			delete locMember;
			return NULL;
		}
	}
	return locCopy.release();
}

bool JuiceClass::Assign(const JuiceType* anInstance)
{
	if (!anInstance || anInstance->GetTypeName() != myTypeName)
	{
		KC_ASSERT(0);
		return false;
	}
	if (anInstance->GetMemberCount() != GetMemberCount())
	{
		KC_ASSERT(0);
		return false;
	}
	const JuiceMemberList& locOther = const_cast<JuiceType*>(anInstance)->GetMembers();
	for (int locIndex = 0; locIndex < myMembers.Count(); ++locIndex)
	{
		if (!myMembers[locIndex]->Assign(locOther[locIndex]))
		{
			KC_ASSERT(0);
			return false;
		}
	}
	return true;
}

bool JuiceClass::Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
	JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer)
{
	if (!anInlineText.IsEmpty())
		myName = anInlineText;
	return JuiceType::Assign(aParseTool, KC_String(), aTypeManager, anIgnorer, aLocalizer);
}

bool JuiceClass::SetDefault(const KC_String& /*aDefaultValue*/)
{
	return true;
}

void JuiceClass::ClearValue()
{
	for (JuiceType* locType : myMembers)
		locType->ClearValue();
}

bool JuiceClass::AddMember(JuiceType* aMember)
{
	if (!aMember)
		return false;
	if (!IsScriptClass() && FindMember(aMember->GetName()))
	{
		KC_Error("JuiceClass::AddMember(): Already had a member named '%s'", aMember->GetName().GetText());
		return false;
	}
	return myMembers.Add(aMember);
}

bool JuiceClass::ResolveReferences(JuiceTypeManager& aTypeManager)
{
	for (JuiceType* locType : myMembers)
	{
		if (!locType->ResolveReferences(aTypeManager))
			return false;
	}
	return true;
}

bool JuiceClass::Contains(const JuiceType* anInstance) const
{
	if (this == anInstance)
		return true;
	for (JuiceType* locType : myMembers)
	{
		if (locType->Contains(anInstance))
			return true;
	}
	return false;
}

JuiceType* JuiceClass::FindByName(const KC_String& aName)
{
	if (myName == aName)
		return this;
	for (JuiceType* locType : myMembers)
	{
		JuiceType* locFound = locType->FindByName(aName);
		if (locFound)
			return locFound;
	}
	return NULL;
}

bool JuiceClass::GetPath(const KC_String& aPrefix, const JuiceType* aTarget, KC_String& aPath) const
{
	if (JuiceType::GetPath(aPrefix, aTarget, aPath))
		return true;
	if (!Contains(aTarget))
		return false;
	KC_String locPrefix;
	if (!JuiceJoinPath(aPrefix, myName, locPrefix))
		return false;
	for (JuiceType* locType : myMembers)
	{
		if (locType->GetPath(locPrefix, aTarget, aPath))
			return true;
	}
	return false;
}

bool JuiceClass::IsEqual(const JuiceType* anInstance) const
{
	if (!anInstance || anInstance->GetTypeName() != myTypeName)
		return false;
	const JuiceMemberList& locOther = const_cast<JuiceType*>(anInstance)->GetMembers();
	for (int locIndex = 0; locIndex < myMembers.Count() && locIndex < locOther.Count(); ++locIndex)
	{
		if (!myMembers[locIndex]->IsEqual(locOther[locIndex]))
			return false;
	}
	return true;
}

bool JuiceClass::IsScriptClass() const
{
	return false;
}
