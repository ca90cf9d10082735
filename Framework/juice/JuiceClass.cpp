#include "JuiceClass.h"

#include "JuiceTypeManager.h"
#include "JuiceWriter.h"
#include "ParseTool.h"
#include "kc_assert.h"
#include "kc_listiterator.h"
#include "kc_output.h"

#include <new>

JuiceClass::JuiceClass()
	: myUniqueMemberNames(true)
{
}

JuiceClass::JuiceClass(const char* aMetaName)
	: JuiceType(aMetaName)
	, myUniqueMemberNames(true)
{
}

JuiceClass::~JuiceClass()
{
	myMembers.DeleteAll();
}

JuiceType* JuiceClass::GetMemberAt(int anIndex) const
{
	if (anIndex < 0)
		return NULL;
	for (const KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (anIndex-- == 0)
			return locLink->myItem;
	}
	return NULL;
}

JuiceType* JuiceClass::FindMember(const KC_String& aPath)
{
	int locDot = aPath.Find('.');
	if (locDot < 0)
	{
		for (KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
		{
			if (locLink->myItem->GetName() == aPath)
				return locLink->myItem;
		}
		return NULL;
	}
	JuiceType* locHead = FindMember(aPath.Left(locDot));
	if (!locHead)
		return NULL;
	return locHead->FindMember(aPath.Right(aPath.GetLength() - locDot - 1));
}

KC_List<JuiceType*>& JuiceClass::GetMembers()
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
	KC_List<JuiceType*> locSorted;
	for (const KC_ListLink<KC_String>* locName = aNameList.myFirstLink; locName; locName = locName->myNextLink)
	{
		KC_ListIterator<JuiceType*> locIterator(&myMembers);
		for (locIterator.First(); !locIterator.IsDone(); locIterator.Next())
		{
			if (locIterator.Get()->GetName() == locName->myItem)
			{
				locSorted.Add(locIterator.Get());
				locIterator.Remove();
				break;
			}
		}
	}
	// Members that no name took leave the class.
	myMembers.DeleteAll();
	for (KC_ListLink<JuiceType*>* locLink = locSorted.myFirstLink; locLink; locLink = locLink->myNextLink)
		myMembers.Add(locLink->myItem);
	return true;
}

void JuiceClass::DeleteMembers()
{
	myMembers.DeleteAll();
}

bool JuiceClass::DeleteMember(JuiceType* aMember)
{
	KC_ListIterator<JuiceType*> locIterator(&myMembers);
	for (locIterator.First(); !locIterator.IsDone(); locIterator.Next())
	{
		JuiceType* locMember = locIterator.Get();
		if (locMember == aMember)
		{
			locIterator.Remove();
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
	KC_ListIterator<JuiceType*> locIterator(&myMembers);
	for (locIterator.First(); !locIterator.IsDone(); locIterator.Next())
	{
		JuiceType* locMember = locIterator.Get();
		if (locMember->GetName() == aName)
		{
			locIterator.Remove();
			delete locMember;
			return true;
		}
	}
	return false;
}

bool JuiceClass::DetachMember(JuiceType* aMember)
{
	KC_ListIterator<JuiceType*> locIterator(&myMembers);
	for (locIterator.First(); !locIterator.IsDone(); locIterator.Next())
	{
		if (locIterator.Get() == aMember)
		{
			locIterator.Remove();
			return true;
		}
	}
	return false;
}

bool JuiceClass::HasMember(const JuiceType* aMember) const
{
	for (const KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (locLink->myItem == aMember)
			return true;
	}
	return false;
}

bool JuiceClass::Construct(JuiceTypeManager& aTypeManager, ParseTool& aParseTool)
{
	KC_String locLine;
	if (!aParseTool.IsEOF())
		aParseTool.ReadLine(locLine);
	if (locLine != "{")
	{
		aParseTool.Error("Missing block start in declaration of class type '%s'", static_cast<const char*>(myTypeName));
		return false;
	}
	int locObjects = CountObjects();
	for (;;)
	{
		if (aParseTool.IsEOF() || locLine == "}")
			break;
		aParseTool.ReadLine(locLine);
		// Only the end of the file gives an empty line.
		if (locLine.IsEmpty() || locLine == "}")
			continue;
		KC_String locMemberType = ParseTool::FirstWord(locLine);
		KC_String locRest = ParseTool::RestOfLine(locLine);
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
					static_cast<const char*>(locMemberType), static_cast<const char*>(locMemberName),
					static_cast<const char*>(myTypeName));
				return false;
			}
		}
		else
		{
			locPrototype = aTypeManager.FindType(locMemberType);
			if (!locPrototype)
			{
				aParseTool.Error("Undefined type '%s' for member '%s' in declaration of class type '%s'",
					static_cast<const char*>(locMemberType), static_cast<const char*>(locMemberName),
					static_cast<const char*>(myTypeName));
				return false;
			}
		}

		// A type may hold only so much: classes of classes could otherwise
		// make every clone grow without bound.
		int locMemberObjects = locPrototype->CountObjects();
		bool locTooBig = locPrototype->GetDepth() + 1 > ourMaxTypeDepth || locObjects + locMemberObjects > ourMaxTypeObjects;
		JuiceType* locMember = locTooBig ? NULL : locPrototype->Clone();
		if (!locTooBig && !locMember)
		{
			aParseTool.Error("Failed to clone type prototype '%s'", static_cast<const char*>(locMemberType));
			return false;
		}
		if (locMember)
		{
			locMember->SetName(locMemberName);
			if (!locDefault.IsEmpty())
				locMember->Assign(locDefault);
		}
		if (!locMember || !AddMember(locMember))
		{
			delete locMember;
			if (locIsReference)
				aParseTool.Error("Failed to add reference member '%s' in declaration of class type '%s'",
					static_cast<const char*>(locMemberName), static_cast<const char*>(myTypeName));
			else
				aParseTool.Error("Failed to add member '%s' in declaration of class type '%s'",
					static_cast<const char*>(locMemberName), static_cast<const char*>(myTypeName));
			return false;
		}
		locObjects += locMemberObjects;
	}
	KC_Log("JuiceClass::Construct(): Constructed type '%s'", static_cast<const char*>(myTypeName));
	return true;
}

bool JuiceClass::Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName)
{
	bool locResult;
	if (aWithTypeName)
		locResult = JuiceWriteText(aFile, "%s%s %s" JUICE_EOL "%s{" JUICE_EOL, static_cast<const char*>(anIndent),
			static_cast<const char*>(myTypeName), static_cast<const char*>(myName), static_cast<const char*>(anIndent));
	else
		locResult = JuiceWriteText(aFile, "%s%s" JUICE_EOL "%s{" JUICE_EOL, static_cast<const char*>(anIndent),
			static_cast<const char*>(myName), static_cast<const char*>(anIndent));
	if (!locResult)
		return false;
	KC_String locIndent = anIndent + "\t";
	for (KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (!locLink->myItem->Write(aFile, locIndent, IsScriptClass()))
			return false;
	}
	return JuiceWriteText(aFile, "%s}" JUICE_EOL JUICE_EOL, static_cast<const char*>(anIndent));
}

JuiceType* JuiceClass::Clone() const
{
	JuiceClass* locCopy = new (std::nothrow) JuiceClass;
	if (!locCopy)
		return NULL;
	locCopy->myTypeName = myTypeName;
	locCopy->myName = myName;
	for (const KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		JuiceType* locMember = locLink->myItem->Clone();
		if (locMember && !locCopy->AddMember(locMember))
			delete locMember;
	}
	return locCopy;
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
	int locIndex = 0;
	for (KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink, ++locIndex)
	{
		if (!locLink->myItem->Assign(anInstance->GetMemberAt(locIndex)))
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
	for (KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
		locLink->myItem->ClearValue();
}

bool JuiceClass::AddMember(JuiceType* aMember)
{
	if (!aMember)
		return false;
	if (myUniqueMemberNames && FindMember(aMember->GetName()))
	{
		KC_Error("JuiceClass::AddMember(): Already had a member named '%s'", static_cast<const char*>(aMember->GetName()));
		return false;
	}
	return myMembers.Add(aMember);
}

bool JuiceClass::ResolveReferences(JuiceTypeManager& aTypeManager)
{
	for (KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (!locLink->myItem->ResolveReferences(aTypeManager))
			return false;
	}
	return true;
}

bool JuiceClass::Contains(const JuiceType* anInstance) const
{
	if (this == anInstance)
		return true;
	for (const KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (locLink->myItem->Contains(anInstance))
			return true;
	}
	return false;
}

JuiceType* JuiceClass::FindByName(const KC_String& aName)
{
	if (myName == aName)
		return this;
	for (KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		JuiceType* locFound = locLink->myItem->FindByName(aName);
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
	for (const KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (locLink->myItem->GetPath(locPrefix, aTarget, aPath))
			return true;
	}
	return false;
}

bool JuiceClass::IsEqual(const JuiceType* anInstance) const
{
	if (!anInstance || anInstance->GetTypeName() != myTypeName)
		return false;
	const KC_ListLink<JuiceType*>* locOther = const_cast<JuiceType*>(anInstance)->GetMembers().myFirstLink;
	for (const KC_ListLink<JuiceType*>* locLink = myMembers.myFirstLink; locLink && locOther;
		 locLink = locLink->myNextLink, locOther = locOther->myNextLink)
	{
		if (!locLink->myItem->IsEqual(locOther->myItem))
			return false;
	}
	return true;
}

bool JuiceClass::IsScriptClass() const
{
	return false;
}
