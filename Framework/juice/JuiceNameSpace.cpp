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
	{
		// The first letter settles most leaves without a comparison.
		const KC_String& locTypeName = anInstance->GetTypeName();
		return locTypeName.GetText()[0] == 'L' && locTypeName == "LOCTEXT";
	}
	for (JuiceType* locType : anInstance->GetMembers())
	{
		if (NeedsLocalization(locType))
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
	for (JuiceType* locType : *this)
	{
		if (locType->GetName() == locHead)
		{
			if (locDot < 0)
				return locType;
			return locType->FindMember(aPath.Right(aPath.GetLength() - locDot - 1));
		}
	}
	if (aReportMissing)
		KC_Error("Failed to find instance for name '%s'", aPath.GetText());
	return NULL;
}

void JuiceNameSpace::AddInclude(const KC_String& aFileName)
{
	for (const KC_String& locText : myIncludes)
	{
		if (locText.CompareNoCase(aFileName) == 0)
			return;
	}
	myIncludes.Add(aFileName);
}

bool JuiceNameSpace::ResolveReferences(JuiceTypeManager& aTypeManager)
{
	for (JuiceType* locType : *this)
	{
		if (!locType->ResolveReferences(aTypeManager))
			return false;
	}
	return true;
}

bool JuiceNameSpace::RequiresLocalization() const
{
	for (JuiceType* locType : *this)
	{
		if (NeedsLocalization(locType))
			return true;
	}
	return false;
}

JuiceNameSpace* JuiceNameSpace::FindNameSpaceOf(const JuiceType* anInstance)
{
	for (JuiceNameSpace* locNameSpace : GetNameSpaces())
	{
		for (JuiceType* locType : *locNameSpace)
		{
			if (locType->Contains(anInstance))
				return locNameSpace;
		}
	}
	return NULL;
}
