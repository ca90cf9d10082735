#include "JuiceNameSpace.h"

#include "JuiceType.h"
#include "kc_listiterator.h"
#include "kc_output.h"

namespace
{
// Depth first over an instance and its members; trees are only as deep as
// their declarations and blocks allow.
bool NeedsLocalization(JuiceType* anInstance)
{
	if (anInstance->GetMemberCount() == 0)
		return anInstance->GetTypeName() == "LOCTEXT";
	for (KC_ListLink<JuiceType*>* locLink = anInstance->GetMembers().myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (NeedsLocalization(locLink->myItem))
			return true;
	}
	return false;
}
}

KC_List<JuiceNameSpace*>& JuiceNameSpace::GetNameSpaces()
{
	static KC_List<JuiceNameSpace*> ourNameSpaces;
	return ourNameSpaces;
}

JuiceNameSpace::JuiceNameSpace()
{
	GetNameSpaces().Add(this);
}

JuiceNameSpace::~JuiceNameSpace()
{
	KC_ListIterator<JuiceNameSpace*> locIterator(&GetNameSpaces());
	for (locIterator.First(); !locIterator.IsDone(); locIterator.Next())
	{
		if (locIterator.Get() == this)
		{
			locIterator.Remove();
			break;
		}
	}
	DeleteAll();
}

JuiceType* JuiceNameSpace::FindInstance(const KC_String& aPath, bool aReportMissing)
{
	int locDot = aPath.Find('.');
	KC_String locHead = locDot < 0 ? aPath : aPath.Left(locDot);
	for (KC_ListLink<JuiceType*>* locLink = myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (locLink->myItem->GetName() == locHead)
		{
			if (locDot < 0)
				return locLink->myItem;
			return locLink->myItem->FindMember(aPath.Right(aPath.GetLength() - locDot - 1));
		}
	}
	if (aReportMissing)
		KC_Error("Failed to find instance for name '%s'", static_cast<const char*>(aPath));
	return NULL;
}

void JuiceNameSpace::AddInclude(const KC_String& aFileName)
{
	for (KC_ListLink<KC_String>* locLink = myIncludes.myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (locLink->myItem.CompareNoCase(aFileName) == 0)
			return;
	}
	myIncludes.Add(aFileName);
}

bool JuiceNameSpace::ResolveReferences(JuiceTypeManager& aTypeManager)
{
	for (KC_ListLink<JuiceType*>* locLink = myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (!locLink->myItem->ResolveReferences(aTypeManager))
			return false;
	}
	return true;
}

bool JuiceNameSpace::RequiresLocalization() const
{
	for (const KC_ListLink<JuiceType*>* locLink = myFirstLink; locLink; locLink = locLink->myNextLink)
	{
		if (NeedsLocalization(locLink->myItem))
			return true;
	}
	return false;
}

JuiceNameSpace* JuiceNameSpace::FindNameSpaceOf(const JuiceType* anInstance)
{
	for (KC_ListLink<JuiceNameSpace*>* locSpace = GetNameSpaces().myFirstLink; locSpace; locSpace = locSpace->myNextLink)
	{
		for (KC_ListLink<JuiceType*>* locLink = locSpace->myItem->myFirstLink; locLink; locLink = locLink->myNextLink)
		{
			if (locLink->myItem->Contains(anInstance))
				return locSpace->myItem;
		}
	}
	return NULL;
}
