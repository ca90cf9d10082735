#include "JuiceNameSpace.h"

#include "JuiceClass.h"
#include "JuiceRef.h"
#include "JuiceType.h"
#include "kc_listiterator.h"
#include "kc_output.h"

#include <algorithm>
#include <cstring>
#include <new>

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

// The home slot of a checksum in a table of aSlots (a power of two) slots.
size_t SlotOf(unsigned int aChecksum, size_t aSlots)
{
	return static_cast<size_t>((aChecksum ^ (aChecksum >> 15)) * 2654435761u) & (aSlots - 1);
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
	// A namespace that is not listed would resolve no reference.
	if (!GetNameSpaces().Add(this))
		throw std::bad_alloc();
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
	// The head is compared where it stands in the path, up to its first NUL.
	int locHeadLength = locDot < 0 ? aPath.GetLength() : locDot;
	if (const void* locNul = std::memchr(aPath.GetText(), 0, static_cast<size_t>(locHeadLength)))
		locHeadLength = static_cast<int>(static_cast<const char*>(locNul) - aPath.GetText());
	for (JuiceType* locType : *this)
	{
		if (JuiceNameIs(locType->GetName(), aPath.GetText(), locHeadLength))
		{
			if (locDot < 0)
				return locType;
			return JuiceClass::FindPath(locType, aPath.GetText() + locDot + 1, aPath.GetLength() - locDot - 1);
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
	if (!myIncludes.Add(aFileName))
		throw std::bad_alloc();
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
		if (anInstance->GetKind() == JuiceType::KIND_REFERENCE)
			myReferences.push_back(anInstance);
		return;
	}
	for (JuiceType* locType : anInstance->GetMembers())
		CollectReferences(locType);
}

JuiceNameSpace* JuiceNameSpaceWalk::FindNameSpaceOf(const JuiceType* anInstance)
{
	JuiceNameSpaceWalk* locWalk = ourWalk;
	if (!locWalk || !locWalk->myIsFirst || !anInstance || anInstance->GetKind() != JuiceType::KIND_REFERENCE)
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
		size_t locSlots = 2;
		while (locSlots < 2 * static_cast<size_t>(aClass.GetMemberCount()))
			locSlots *= 2;
		locIndex.assign(locSlots, IndexEntry{0u, 0, NULL, NULL});
		for (JuiceType* locType : const_cast<JuiceClass&>(aClass).GetMembers())
		{
			unsigned int locChecksum = NameChecksum(locType->GetName(), locType->GetName().GetLength());
			size_t locSlot = SlotOf(locChecksum, locSlots);
			while (locIndex[locSlot].myMember)
				locSlot = (locSlot + 1) & (locSlots - 1);
			locIndex[locSlot] = IndexEntry{locChecksum, locType->GetName().GetLength(), locType, locType->GetName().GetText()};
		}
	}
	aUsed = true;
	unsigned int locChecksum = NameChecksum(aName, aLength);
	size_t locMask = locIndex.size() - 1;
	for (size_t locSlot = SlotOf(locChecksum, locIndex.size()); locIndex[locSlot].myMember;
		 locSlot = (locSlot + 1) & locMask)
	{
		const IndexEntry& locEntry = locIndex[locSlot];
		if (locEntry.myChecksum == locChecksum && JuiceNameIs(locEntry.myName, locEntry.myNameLength, aName, aLength))
			return locEntry.myMember;
	}
	return NULL;
}
