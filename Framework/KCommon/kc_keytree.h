#ifndef KC_KEYTREE_H
#define KC_KEYTREE_H

#include "kc_assert.h"

#include <new>

template <class Key, class Item>
struct KC_KeyTreeNode
{
	Item myItem;
	Key myKey;
	KC_KeyTreeNode* myLeftChild;
	KC_KeyTreeNode* myRightChild;
};

// Unbalanced binary search tree from key to item; insertion order decides its
// shape, so every walk is iterative. Equal keys go right when duplicates are allowed.
template <class Key, class Item>
class KC_KeyTree
{
public:
	typedef KC_KeyTreeNode<Key, Item> Node;

	explicit KC_KeyTree(bool anAllowDuplicates = false)
		: myRoot(NULL), myCount(0), myAllowDuplicates(anAllowDuplicates) {}
	~KC_KeyTree() { RemoveAll(); }

	bool Add(const Key& aKey, const Item& anItem)
	{
		if (!myRoot)
		{
			KC_ASSERT(myCount == 0);
			myRoot = new (std::nothrow) Node{anItem, aKey, NULL, NULL};
			if (!myRoot)
				return false;
			myCount = 1;
			return true;
		}
		Node* parent = myRoot;
		for (;;)
		{
			bool locGoLeft = aKey < parent->myKey;
			if (!locGoLeft && !(aKey > parent->myKey) && !myAllowDuplicates)
				return false;
			Node*& locChild = locGoLeft ? parent->myLeftChild : parent->myRightChild;
			if (locChild)
			{
				parent = locChild;
				continue;
			}
			locChild = new (std::nothrow) Node{anItem, aKey, NULL, NULL};
			if (!locChild)
				return false;
			++myCount;
			return true;
		}
	}

	// Stores the item and the node of the first equal key met on the way down
	// in the out parameters that are not null.
	bool Find(const Key& aKey, Item* anItem = NULL, Node** aNode = NULL) const
	{
		Node* current = myRoot;
		while (current)
		{
			if (aKey < current->myKey)
				current = current->myLeftChild;
			else if (aKey > current->myKey)
				current = current->myRightChild;
			else
			{
				KC_ASSERT(aKey == current->myKey);
				if (anItem)
					*anItem = current->myItem;
				if (aNode)
					*aNode = current;
				return true;
			}
		}
		return false;
	}

	// Frees the nodes and their keys; the items are left alone.
	void RemoveAll() { Free(false); }
	// Frees the nodes and deletes the items (trees that own pointer items).
	void DeleteAll() { Free(true); }

	int Count() const { return myCount; }

private:
	KC_KeyTree(const KC_KeyTree&);
	KC_KeyTree& operator=(const KC_KeyTree&);

	void Free(bool aDeleteItems)
	{
		// Rotates left children up so that no stack is needed.
		while (myRoot)
		{
			Node* locNode = myRoot;
			if (locNode->myLeftChild)
			{
				myRoot = locNode->myLeftChild;
				locNode->myLeftChild = myRoot->myRightChild;
				myRoot->myRightChild = locNode;
				continue;
			}
			myRoot = locNode->myRightChild;
			DeleteItem(locNode->myItem, aDeleteItems);
			delete locNode;
		}
		myCount = 0;
	}

	template <class P>
	static void DeleteItem(P* anItem, bool aDelete)
	{
		if (aDelete)
			delete anItem;
	}
	template <class V>
	static void DeleteItem(V&, bool) {}

	Node* myRoot;
	int myCount;
	bool myAllowDuplicates;
};

#endif
