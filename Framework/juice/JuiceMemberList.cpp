#include "JuiceMemberList.h"

#include "JuiceType.h"
#include "kc_pool.h"

#include <climits>
#include <cstring>
#include <utility>

bool JuiceMemberList::Reserve(int aCount)
{
	if (aCount <= myCapacity)
		return true;
	if (aCount > INT_MAX / static_cast<int>(sizeof(JuiceType*)))
		return false;
	JuiceType** locItems = static_cast<JuiceType**>(KC_PoolAllocate(sizeof(JuiceType*) * static_cast<size_t>(aCount)));
	if (!locItems)
		return false;
	if (myCount > 0)
		std::memcpy(locItems, myItems, sizeof(JuiceType*) * static_cast<size_t>(myCount));
	if (myItems)
		KC_PoolFree(myItems, sizeof(JuiceType*) * static_cast<size_t>(myCapacity));
	myItems = locItems;
	myCapacity = aCount;
	return true;
}

bool JuiceMemberList::Add(JuiceType* aMember)
{
	if (myCount == myCapacity)
	{
		// Doubling keeps a long list's filling linear.
		int locCapacity = myCapacity < 4 ? 4 : (myCapacity > INT_MAX / 2 ? INT_MAX : 2 * myCapacity);
		if (myCount == INT_MAX || !Reserve(locCapacity))
			return false;
	}
	myItems[myCount++] = aMember;
	return true;
}

void JuiceMemberList::RemoveAt(int anIndex)
{
	if (anIndex < 0 || anIndex >= myCount)
		return;
	std::memmove(myItems + anIndex, myItems + anIndex + 1, sizeof(JuiceType*) * static_cast<size_t>(myCount - anIndex - 1));
	--myCount;
}

int JuiceMemberList::IndexOf(const JuiceType* aMember) const
{
	for (int locIndex = 0; locIndex < myCount; ++locIndex)
	{
		if (myItems[locIndex] == aMember)
			return locIndex;
	}
	return -1;
}

void JuiceMemberList::RemoveAll()
{
	if (myItems)
		KC_PoolFree(myItems, sizeof(JuiceType*) * static_cast<size_t>(myCapacity));
	myItems = nullptr;
	myCount = 0;
	myCapacity = 0;
}

void JuiceMemberList::DeleteAll()
{
	for (int locIndex = 0; locIndex < myCount; ++locIndex)
	{
		delete myItems[locIndex];
		myItems[locIndex] = nullptr;
	}
	RemoveAll();
}

void JuiceMemberList::Swap(JuiceMemberList& aList)
{
	std::swap(myItems, aList.myItems);
	std::swap(myCount, aList.myCount);
	std::swap(myCapacity, aList.myCapacity);
}
