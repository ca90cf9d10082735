#ifndef JUICEMEMBERLIST_H
#define JUICEMEMBERLIST_H

class JuiceType;

// The members of a class, in order, as one array of pointers (a member costs a
// pointer, and its position is found without a walk). The array comes from the
// framework's pool; the members are deleted only by DeleteAll.
class JuiceMemberList
{
public:
	JuiceMemberList()
		: myItems(nullptr)
		, myCount(0)
		, myCapacity(0)
	{
	}
	~JuiceMemberList() { RemoveAll(); }

	int Count() const { return myCount; }
	JuiceType* operator[](int anIndex) const { return myItems[anIndex]; }
	JuiceType* const* begin() const { return myItems; }
	JuiceType* const* end() const { return myItems + myCount; }

	// False, the list unchanged, when there is no memory for a larger array.
	bool Add(JuiceType* aMember);
	// Room for aCount members in all, so that as many Adds need no memory.
	bool Reserve(int aCount);
	// Unlinks the member at anIndex (0 to Count() - 1), the rest moving up.
	void RemoveAt(int anIndex);
	// The position of aMember, or -1.
	int IndexOf(const JuiceType* aMember) const;
	// Unlinks every member and frees the array.
	void RemoveAll();
	// Deletes every member, then RemoveAll.
	void DeleteAll();
	void Swap(JuiceMemberList& aList);

private:
	JuiceMemberList(const JuiceMemberList&);
	JuiceMemberList& operator=(const JuiceMemberList&);

	JuiceType** myItems;
	int myCount;
	int myCapacity;
};

#endif
