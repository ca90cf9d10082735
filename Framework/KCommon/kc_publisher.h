#ifndef KC_PUBLISHER_H
#define KC_PUBLISHER_H

#include "kc_assert.h"
#include "kc_keytree.h"
#include "kc_list.h"
#include "kc_listiterator.h"

template <class Key, class Value>
class KC_Subscriber
{
public:
	virtual ~KC_Subscriber() {}
	// True when the value was handled.
	virtual bool Receive(Key aKey, Value aValue) = 0;
};

// Dispatches values to the subscribers of their key, in subscription order.
// The tree owns the subscriber lists, not the subscribers.
template <class Key, class Value>
class KC_Publisher
{
public:
	typedef KC_Subscriber<Key, Value> Subscriber;
	typedef KC_List<Subscriber*> SubscriberList;

	KC_Publisher() {}
	virtual ~KC_Publisher() { mySubscribers.DeleteAll(); }

	bool Subscribe(const Key& aKey, Subscriber* aSubscriber)
	{
		SubscriberList* locList = NULL;
		if (!mySubscribers.Find(aKey, &locList))
		{
			locList = new (std::nothrow) SubscriberList;
			if (!locList || !mySubscribers.Add(aKey, locList))
			{
				delete locList;
				return false;
			}
		}
		return locList->Add(aSubscriber);
	}

	void Unsubscribe(const Key& aKey, Subscriber* aSubscriber)
	{
		SubscriberList* locList = NULL;
		if (!mySubscribers.Find(aKey, &locList))
			return;
		KC_ListIterator<Subscriber*> locIterator(locList);
		locIterator.First();
		while (!locIterator.IsDone())
		{
			if (locIterator.Get() == aSubscriber)
				locIterator.Remove();
			else
				locIterator.Next();
		}
	}

	// Calls Receive with a copy of aValue on each subscriber of aKey. False when
	// the key has no subscriber list.
	bool CallbackSubscribers(const Key& aKey, const Value& aValue)
	{
		SubscriberList* locList = NULL;
		if (!mySubscribers.Find(aKey, &locList))
			return false;
		KC_ListIterator<Subscriber*> locIterator(locList);
		for (locIterator.First(); !locIterator.IsDone(); locIterator.Next())
		{
			if (!locIterator.Get()->Receive(aKey, Value(aValue)))
				KC_ASSERT(0 && "KC_Publisher::CallbackSubscribers(): subscriber indicated that a Receive() failed");
		}
		return true;
	}

private:
	KC_KeyTree<Key, SubscriberList*> mySubscribers;
};

#endif
