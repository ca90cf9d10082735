#include "JuiceNameSpace.h"

#include "JuiceClass.h"
#include "JuiceRef.h"
#include "JuiceType.h"
#include "kc_listiterator.h"
#include "kc_output.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

namespace
{
// Depth first over an instance and its members; trees are only as deep as
// their declarations and blocks allow.
JuiceNameSpaceWalk* ourWalk = NULL;

// FNV-1a of a name's bytes, at most aLength of them, up to a NUL.
unsigned int NameChecksum(const char* aName, int aLength)
{
	unsigned int locHash = 2166136261u;
	const unsigned char* locByte = reinterpret_cast<const unsigned char*>(aName);
	for (int locIndex = 0; locIndex < aLength && locByte[locIndex]; ++locIndex)
		locHash = (locHash ^ locByte[locIndex]) * 16777619u;
	return locHash;
}

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
	JuiceNameSpaceWalk locWalk(*this);
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
	if (JuiceNameSpace* locWalked = JuiceNameSpaceWalk::FindNameSpaceOf(anInstance))
		return locWalked;
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

JuiceNameSpaceWalk::JuiceNameSpaceWalk(JuiceNameSpace& aNameSpace)
	: myNameSpace(aNameSpace)
	, myOuter(ourWalk)
	, myIsFirst(JuiceNameSpace::GetNameSpaces().Count() > 0 &&
				JuiceNameSpace::GetNameSpaces().GetFirst() == &aNameSpace)
	, myReferencesCollected(false)
{
	ourWalk = this;
}

JuiceNameSpaceWalk::~JuiceNameSpaceWalk()
{
	ourWalk = myOuter;
}

void JuiceNameSpaceWalk::CollectReferences(JuiceType* anInstance)
{
	if (anInstance->GetMemberCount() == 0)
	{
		if (typeid(*anInstance) == typeid(JuiceRef))
			myReferences.push_back(anInstance);
		return;
	}
	for (JuiceType* locType : anInstance->GetMembers())
		CollectReferences(locType);
}

JuiceNameSpace* JuiceNameSpaceWalk::FindNameSpaceOf(const JuiceType* anInstance)
{
	JuiceNameSpaceWalk* locWalk = ourWalk;
	if (!locWalk || !locWalk->myIsFirst || !anInstance || typeid(*anInstance) != typeid(JuiceRef))
		return NULL;
	if (!locWalk->myReferencesCollected)
	{
		for (JuiceType* locType : locWalk->myNameSpace)
			locWalk->CollectReferences(locType);
		std::sort(locWalk->myReferences.begin(), locWalk->myReferences.end());
		locWalk->myReferencesCollected = true;
	}
	return std::binary_search(locWalk->myReferences.begin(), locWalk->myReferences.end(), anInstance)
			   ? &locWalk->myNameSpace
			   : NULL;
}

JuiceType* JuiceNameSpaceWalk::FindDirectMember(const JuiceClass& aClass, const char* aName, int aLength, bool& aUsed)
{
	aUsed = false;
	JuiceNameSpaceWalk* locWalk = ourWalk;
	if (!locWalk || aClass.GetMemberCount() < ourIndexedCount)
		return NULL;
	MemberIndex& locIndex = locWalk->myIndexes[&aClass];
	if (locIndex.empty())
	{
		locIndex.reserve(static_cast<size_t>(aClass.GetMemberCount()));
		for (JuiceType* locType : const_cast<JuiceClass&>(aClass).GetMembers())
			locIndex.emplace_back(NameChecksum(locType->GetName(), locType->GetName().GetLength()), locType);
		std::stable_sort(locIndex.begin(), locIndex.end(),
			[](const MemberIndex::value_type& aLeft, const MemberIndex::value_type& aRight) {
				return aLeft.first < aRight.first;
			});
	}
	aUsed = true;
	unsigned int locChecksum = NameChecksum(aName, aLength);
	MemberIndex::const_iterator locFound = std::lower_bound(locIndex.begin(), locIndex.end(), locChecksum,
		[](const MemberIndex::value_type& anEntry, unsigned int aChecksum) { return anEntry.first < aChecksum; });
	for (; locFound != locIndex.end() && locFound->first == locChecksum; ++locFound)
	{
		const char* locName = locFound->second->GetName();
		if (std::strncmp(locName, aName, static_cast<size_t>(aLength)) == 0 && locName[aLength] == 0)
			return locFound->second;
	}
	return NULL;
}
