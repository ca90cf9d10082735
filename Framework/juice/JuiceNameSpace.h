#ifndef JUICENAMESPACE_H
#define JUICENAMESPACE_H

#include "KC_String.h"
#include "kc_list.h"

#include <unordered_map>
#include <utility>
#include <vector>

class JuiceClass;
class JuiceType;
class JuiceTypeManager;

// The top-level instances of compiled Juice text, owned, and the type files
// that the text included. Every namespace is listed in ourNameSpaces while it lives.
class JuiceNameSpace : public KC_List<JuiceType*>
{
public:
	JuiceNameSpace();
	~JuiceNameSpace() override;

	// The instance or member that a dotted path names, or null.
	JuiceType* FindInstance(const KC_String& aPath, bool aReportMissing);
	// Adds a type file name unless it is there already (compared without regard to case).
	void AddInclude(const KC_String& aFileName);
	bool ResolveReferences(JuiceTypeManager& aTypeManager);
	// True when some instance without members has the type LOCTEXT.
	bool RequiresLocalization() const;

	// The first namespace whose instances contain anInstance, or null.
	static JuiceNameSpace* FindNameSpaceOf(const JuiceType* anInstance);

	KC_List<KC_String> myIncludes;

	static KC_List<JuiceNameSpace*>& GetNameSpaces();
};

// While a namespace resolves or writes its references, no name and no member
// list changes: lookups then use indexes made once for the walk instead of
// searching the whole tree for every reference. Walks may nest; the innermost
// one answers.
class JuiceNameSpaceWalk
{
public:
	explicit JuiceNameSpaceWalk(JuiceNameSpace& aNameSpace);
	~JuiceNameSpaceWalk();

	// The namespace of a reference of the walked namespace, when that namespace
	// is the first one listed (so the first one containing it); else null.
	static JuiceNameSpace* FindNameSpaceOf(const JuiceType* anInstance);
	// The first direct member of a long member list whose name is the aLength
	// characters at aName, or null; aUsed tells whether an index answered.
	static JuiceType* FindDirectMember(const JuiceClass& aClass, const char* aName, int aLength, bool& aUsed);

	// Member lists at least this long get an index.
	static const int ourIndexedCount = 64;

private:
	JuiceNameSpaceWalk(const JuiceNameSpaceWalk&);
	JuiceNameSpaceWalk& operator=(const JuiceNameSpaceWalk&);

	void CollectReferences(JuiceType* anInstance);

	JuiceNameSpace& myNameSpace;
	JuiceNameSpaceWalk* myOuter;
	bool myIsFirst;
	bool myReferencesCollected;
	// The references of the namespace, sorted by address.
	std::vector<const JuiceType*> myReferences;
	// Per long member list the checksums of its members' names with the members
	// and their names (compared without a visit to the member), in an
	// open-addressed table at most half full, filled in list order (a probe meets
	// the members of one checksum in list order); a free slot has no member.
	struct IndexEntry
	{
		unsigned int myChecksum;
		int myNameLength;
		JuiceType* myMember;
		const char* myName;
	};
	typedef std::vector<IndexEntry> MemberIndex;
	std::unordered_map<const JuiceClass*, MemberIndex> myIndexes;
};

#endif
