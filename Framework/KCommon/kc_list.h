#ifndef KC_LIST_H
#define KC_LIST_H

#include "kc_assert.h"
#include "kc_pool.h"

#include <new>

template <class T>
struct KC_ListLink
{
	T myItem;
	KC_ListLink* myNextLink;
	KC_ListLink* myPreviousLink;

	KC_POOLED_OBJECT
};

// Doubly linked list. It owns its links, not what pointer items point to;
// DeleteAll also deletes the items.
template <class T>
class KC_List
{
public:
	KC_List() : myFirstLink(NULL), myLastLink(NULL), myCount(0) {}
	virtual ~KC_List() { RemoveAll(); }

	// False, the list unchanged, when there is no memory for the link.
	bool Add(const T& anItem)
	{
		KC_ListLink<T>* locOldLast = myLastLink;
		myLastLink = new (std::nothrow) KC_ListLink<T>{anItem, NULL, locOldLast};
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

	// Range iteration over the items, first to last: for (T& locItem : locList).
	// The loop must not remove the link it stands on.
	template <class Item, class Link>
	class Range
	{
	public:
		explicit Range(Link* aLink) : myLink(aLink) {}
		Item& operator*() const { return myLink->myItem; }
		Range& operator++()
		{
			myLink = myLink->myNextLink;
			return *this;
		}
		bool operator!=(const Range& anOther) const { return myLink != anOther.myLink; }

	private:
		Link* myLink;
	};
	typedef Range<T, KC_ListLink<T> > Iterator;
	typedef Range<const T, const KC_ListLink<T> > ConstIterator;

	Iterator begin() { return Iterator(myFirstLink); }
	Iterator end() { return Iterator(NULL); }
	ConstIterator begin() const { return ConstIterator(myFirstLink); }
	ConstIterator end() const { return ConstIterator(NULL); }

	KC_ListLink<T>* myFirstLink;
	KC_ListLink<T>* myLastLink;
	int myCount;

private:
	KC_List(const KC_List&);
	KC_List& operator=(const KC_List&);
};

#endif
