#ifndef KC_GROWINGARRAY_H
#define KC_GROWINGARRAY_H

#include "kc_assert.h"

#include <cstring>
#include <new>
#include <type_traits>

// Array of pointers or handles that grows by a fixed step. It owns its item
// block, not what the items point to.
template <class T>
class KC_GrowingArray
{
public:
	KC_GrowingArray() : myCount(0), myMaxNrOfItems(0), myGrowStep(0), myItemList(NULL), mySafeCopy(false) {}
	~KC_GrowingArray() { delete[] myItemList; }

	bool Init(int aCapacity, int aGrowStep, bool aSafeCopy = false)
	{
		KC_ASSERT(myItemList == NULL);
		myMaxNrOfItems = aCapacity;
		myGrowStep = aGrowStep;
		mySafeCopy = aSafeCopy;
		myItemList = new (std::nothrow) T[aCapacity > 0 ? aCapacity : 0];
		if (!myItemList)
			myMaxNrOfItems = 0;
		return myItemList != NULL;
	}

	bool Add(const T& anItem)
	{
		KC_ASSERT(myMaxNrOfItems > 0);
		if (myCount == myMaxNrOfItems)
			Resize(myMaxNrOfItems + myGrowStep);
		// No room after the attempt to grow (a grow step of 0, or no memory): refuse.
		if (myMaxNrOfItems <= myCount)
			return false;
		myItemList[myCount++] = anItem;
		return true;
	}

	int Resize(int aCapacity)
	{
		if (aCapacity == myMaxNrOfItems)
			return myMaxNrOfItems;
		if (aCapacity < myCount)
			aCapacity = myCount;
		T* locItems = new (std::nothrow) T[aCapacity > 0 ? aCapacity : 0];
		if (!locItems)
			return myMaxNrOfItems;
		if (mySafeCopy || !std::is_trivially_copyable<T>::value)
		{
			for (int locIndex = 0; locIndex < myCount; ++locIndex)
				locItems[locIndex] = myItemList[locIndex];
		}
		else if (myCount > 0)
		{
			std::memcpy(static_cast<void*>(locItems), myItemList, myCount * sizeof(T));
		}
		delete[] myItemList;
		myItemList = locItems;
		myMaxNrOfItems = aCapacity;
		return myMaxNrOfItems;
	}

	// Removes the item at anIndex; later items move down by one.
	void RemoveAt(int anIndex)
	{
		KC_ASSERT(anIndex >= 0 && anIndex < myCount);
		for (int locIndex = anIndex; locIndex + 1 < myCount; ++locIndex)
			myItemList[locIndex] = myItemList[locIndex + 1];
		--myCount;
	}

	int Count() const { return myCount; }
	int Capacity() const { return myMaxNrOfItems; }

	T& operator[](int anIndex)
	{
		KC_ASSERT(anIndex >= 0 && anIndex < myCount);
		return myItemList[anIndex];
	}
	const T& operator[](int anIndex) const
	{
		KC_ASSERT(anIndex >= 0 && anIndex < myCount);
		return myItemList[anIndex];
	}

private:
	KC_GrowingArray(const KC_GrowingArray&);
	KC_GrowingArray& operator=(const KC_GrowingArray&);

	int myCount;
	int myMaxNrOfItems;
	int myGrowStep;
	T* myItemList;
	bool mySafeCopy;
};

#endif
