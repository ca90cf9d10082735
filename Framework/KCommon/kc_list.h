#ifndef KC_LIST_H
#define KC_LIST_H

#include "kc_assert.h"

#include <new>

template <class T>
struct KC_ListLink
{
	T myItem;
	KC_ListLink* myNextLink;
	KC_ListLink* myPreviousLink;
};

// Doubly linked list. It owns its links, not what pointer items point to;
// DeleteAll also deletes the items.
template <class T>
class KC_List
{
public:
	KC_List() : myFirstLink(NULL), myLastLink(NULL), myCount(0) {}
	virtual ~KC_List() { RemoveAll(); }

	bool Add(const T& anItem)
	{
		KC_ListLink<T>* locOldLast = myLastLink;
		myLastLink = new (std::nothrow) KC_ListLink<T>{anItem, NULL, locOldLast};
		KC_ASSERT(myLastLink);
		if (!myLastLink)
		{
			myLastLink = locOldLast;
			return false;
		}
		++myCount;
		if (locOldLast)
			locOldLast->myNextLink = myLastLink;
		else
			myFirstLink = myLastLink;
		return true;
	}

	T GetFirst() const
	{
		KC_ASSERT(myFirstLink);
		return myFirstLink->myItem;
	}

	int Count() const { return myCount; }

	void RemoveAll()
	{
		while (myFirstLink)
		{
			KC_ListLink<T>* locNext = myFirstLink->myNextLink;
			delete myFirstLink;
			myFirstLink = locNext;
		}
		myLastLink = NULL;
		myCount = 0;
	}

	void DeleteAll()
	{
		for (KC_ListLink<T>* locLink = myFirstLink; locLink; locLink = locLink->myNextLink)
		{
			delete locLink->myItem;
			locLink->myItem = NULL;
		}
		RemoveAll();
	}

	KC_ListLink<T>* myFirstLink;
	KC_ListLink<T>* myLastLink;
	int myCount;

private:
	KC_List(const KC_List&);
	KC_List& operator=(const KC_List&);
};

#endif
