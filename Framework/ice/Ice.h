#ifndef ICE_H
#define ICE_H

#include "IceFormat.h"
#include "kc_pool.h"

#include <cstddef>

class IceLangDecoder;

// One member of a loaded Ice tree; the root is an Ice too. Names exist only as
// their Adler-32 checksums. A composite owns the array of its children; the root
// owns one block holding the language decoder and every value text of the file.
class Ice
{
public:
	// A tree holds many members, in small arrays: they come from the framework's pool.
	KC_POOLED_OBJECT
	KC_POOLED_ARRAYS

	// Loads anIceFileName, first bringing it up to date with its Juice text when
	// aConvert is set. NULL on failure.
	static Ice* Load(const char* aFileName, bool aConvert);

	Ice();
	~Ice();

	bool Init(const char* aFileName);

	Ice* GetMember(const char* aName);
	Ice* GetMember(const unsigned int anIndex);
	const char* GetMemberValue(const char* aName);
	const char* GetValue();
	int GetInt();
	const char16_t* GetLocString();
	unsigned int GetCount(bool aFollowReferences);
	unsigned int GetTypeHash();
	bool IsReference() const { return myKind == KIND_REFERENCE; }

	// The stored tree as it is, without following references (for inspection tools).
	unsigned int GetNameHash() const { return myNameHash; }
	unsigned int GetOwnTypeHash() const { return myTypeHash; }
	// A resolved reference's target, which may be a reference itself; NULL for "NULL" and for other kinds.
	Ice* GetReferenceTarget() const { return myKind == KIND_REFERENCE ? myReference : NULL; }
	bool HasLanguageDecoder() const { return LangDecoder() != NULL; }

	static unsigned int Hash(const char* aText);

private:
	enum
	{
		KIND_VALUE = ICE_KIND_VALUE,
		KIND_REFERENCE = ICE_KIND_REFERENCE
	};
	enum ReferenceState
	{
		UNRESOLVED,
		RESOLVING,
		RESOLVED
	};

	Ice(const Ice&);
	Ice& operator=(const Ice&);

	class Reader;
	struct RootData;
	// The steps of Init: the version and language flag, the language file,
	// the top-level members, and the references among them.
	bool ReadHeader(Reader& aReader, const char* aFileName, int& aLanguageFlag);
	bool LoadLanguage(const char* aFileName, IceLangDecoder*& aDecoder);
	bool ReadTopLevel(Reader& aReader);
	bool ResolveTopLevel();
	bool ReadMember(Reader& aReader, int aDepth);
	bool ResolveReferences(int aDepth);
	bool ResolveReference();
	// The member that this one stands for: itself, or the end of its reference chain (NULL for none).
	Ice* Follow();
	Ice* FindChild(const char* aName, int aLength);
	// The decoder of the tree that holds this member, or NULL.
	IceLangDecoder* LangDecoder() const;
	bool IsComposite() const { return myKind >= 1; }

	// A tree has a member for every record of its file: the fields are packed
	// (32 bytes in 64-bit builds, 24 in 32-bit ones).
	unsigned int myTypeHash;
	unsigned int myNameHash;
	int myKind;
	// A ReferenceState.
	unsigned char myReferenceState;
	bool myIsRoot;
	// The text of a value, and of a reference its path (kept once resolved);
	// the root, which has no text, holds its block here.
	union
	{
		char* myValue;
		RootData* myRootData;
	};
	// The children of a composite; the target of a reference, which is never one.
	union
	{
		Ice* myMembers;
		Ice* myReference;
	};
};

#endif
