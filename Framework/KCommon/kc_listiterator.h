#ifndef KC_LISTITERATOR_H
#define KC_LISTITERATOR_H

#include "kc_assert.h"
#include "kc_list.h"

template <class T>
class KC_Iterator
{
public:
	virtual bool First() = 0;
	virtual bool IsDone() = 0;
	virtual T Get() = 0;
	virtual bool Next() = 0;
	virtual void Set(const T&) {}
	virtual ~KC_Iterator() {}
};

template <class T>
class KC_ListIterator : public KC_Iterator<T>
{
public:
	explicit KC_ListIterator(KC_List<T>* aList)
		: myCurrentLink(NULL), myList(aList)
	{
		KC_ASSERT(myList);
	}

	bool First() override
	{
		KC_ASSERT(myList);
		myCurrentLink = myList ? myList->myFirstLink : NULL;
		return myCurrentLink != NULL;
	}

	bool IsDone() override
	{
		KC_ASSERT(myList);
		return myCurrentLink == NULL;
	}

	T Get() override
	{
		KC_ASSERT(myList && myCurrentLink);
		return myCurrentLink->myItem;
	}

	bool Next() override
	{
		KC_ASSERT(myList);
		if (!myCurrentLink)
			return false;
		myCurrentLink = myCurrentLink->myNextLink;
		return true;
	}

	void Set(const T& anItem) override
	{
		KC_ASSERT(myList && myCurrentLink);
		myCurrentLink->myItem = anItem;
	}

	// Unlinks and frees the current link; the following link becomes current.
	void Remove()
	{
		KC_ASSERT(myList && myCurrentLink);
		KC_ListLink<T>* locLink = myCurrentLink;
		KC_ListLink<T>* locNext = locLink->myNextLink;
		KC_ListLink<T>* locPrevious = locLink->myPreviousLink;
		if (locPrevious)
			locPrevious->myNextLink = locNext;
		else
			myList->myFirstLink = locNext;
		if (locNext)
			locNext->myPreviousLink = locPrevious;
		else
			myList->myLastLink = locPrevious;
		delete locLink;
		--myList->myCount;
		myCurrentLink = locNext;
	}

private:
	KC_ListLink<T>* myCurrentLink;
	KC_List<T>* myList;
};

#endif
