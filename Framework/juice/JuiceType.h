#ifndef JUICETYPE_H
#define JUICETYPE_H

#include "KC_String.h"
#include "kc_pool.h"
#include "kc_list.h"

#include "JuiceMemberList.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

class JuiceTypeManager;
class JuiceInstanceIgnorer;
class JuiceLocalizer;
class ParseTool;

// A type name: one shared copy of each text for every object of that type, so
// that a clone copies a pointer. The shared copies live as long as the program.
class JuiceTypeName
{
public:
	JuiceTypeName();
	explicit JuiceTypeName(const char* aText);
	JuiceTypeName& operator=(const KC_String& aText);

	operator const KC_String&() const { return *myText; }
	const KC_String& GetString() const { return *myText; }
	const char* GetText() const { return myText->GetText(); }
	int GetLength() const { return myText->GetLength(); }
	bool IsEmpty() const { return myText->IsEmpty(); }
	KC_String Left(int aCount) const { return myText->Left(aCount); }
	bool operator==(const JuiceTypeName& aName) const { return myText == aName.myText; }
	bool operator!=(const JuiceTypeName& aName) const { return myText != aName.myText; }

private:
	const KC_String* myText;
};

// A name: either the object's own text or, for the members that a declaration
// names, the shared copy of that text (a clone then copies a pointer). One
// pointer: the own text's, or the shared copy's address with its lowest bit set
// (a text's pointer is always even).
class JuiceName
{
public:
	JuiceName();
	~JuiceName();
	JuiceName& operator=(const JuiceName& aName);
	JuiceName& operator=(const KC_String& aText);
	// Takes the shared copy of aText.
	void Share(const KC_String& aText);

	operator const KC_String&() const { return Text(); }
	const char* GetText() const { return Text().GetText(); }
	int GetLength() const { return Text().GetLength(); }
	bool IsEmpty() const { return Text().IsEmpty(); }
	bool operator==(const KC_String& aText) const { return Text() == aText; }
	bool operator!=(const KC_String& aText) const { return !(Text() == aText); }
	// The shared copy, or NULL for a text of the object's own.
	const KC_String* GetShared() const
	{
		uintptr_t locBits = Bits();
		return (locBits & 1) ? reinterpret_cast<const KC_String*>(locBits & ~static_cast<uintptr_t>(1)) : NULL;
	}

private:
	JuiceName(const JuiceName&);

	uintptr_t Bits() const
	{
		uintptr_t locBits;
		std::memcpy(&locBits, &myName, sizeof(locBits));
		return locBits;
	}
	const KC_String& Text() const
	{
		const KC_String* locShared = GetShared();
		return locShared ? *locShared : myName.myOwn;
	}

	union Storage
	{
		Storage() {}
		~Storage() {}
		KC_String myOwn;
		uintptr_t myShared;
	} myName;
};

// The root of the Juice type model. One hierarchy serves for declared types
// (prototypes named "PROTOTYPE", kept by a JuiceTypeManager) and for instances
// and members, which are clones of those prototypes. Values are kept as text.
class JuiceType
{
public:
	// A tree holds many small members: they come from the framework's pool.
	KC_POOLED_OBJECT

	// The constructor of copies and reference prototypes; registers nothing.
	JuiceType();
	// The meta-prototype constructor: registers the object under aMetaName.
	explicit JuiceType(const char* aMetaName);

	const KC_String& GetTypeName() const { return myTypeName; }
	// The shared copy of the type name: equal names, equal pointers.
	const KC_String* GetSharedTypeName() const { return &myTypeName.GetString(); }
	const KC_String& GetName() const { return myName; }
	void SetTypeName(const KC_String& aTypeName) { myTypeName = aTypeName; }
	void SetName(const KC_String& aName) { myName = aName; }
	// Names the object with the shared copy of aName (members of declarations).
	void SetSharedName(const KC_String& aName) { myName.Share(aName); }
	// The shared copy of the name, or NULL when the object has a name of its own.
	const KC_String* GetSharedName() const { return myName.GetShared(); }

	// The exact classes that walks over a tree tell apart (no class derives from them).
	enum Kind
	{
		KIND_OTHER,
		KIND_REFERENCE,
		KIND_LOCTEXT
	};
	// Which of them this object is, without a comparison of type names; base: KIND_OTHER.
	virtual Kind GetKind() const { return KIND_OTHER; }

	// The value text of a scalar; base: a shared empty string.
	virtual const KC_String& GetValue() const;
	// The member at a 0-based position, or NULL; base: NULL.
	virtual JuiceType* GetMemberAt(int anIndex) const;
	// The member that an instance line names (a script class creates one of that type); base: FindMember.
	virtual JuiceType* GetMemberToAssign(JuiceTypeManager& aTypeManager, const KC_String& aName);
	// The member at a dotted path, or NULL; base: NULL.
	virtual JuiceType* FindMember(const KC_String& aPath);
	// The owned members in order; base: a shared empty list.
	virtual JuiceMemberList& GetMembers();
	// How many members; base: 0.
	virtual int GetMemberCount() const;
	// Reorders the members to follow aNameList; base: false.
	virtual bool SortMembers(const KC_List<KC_String>& aNameList);
	// Deletes every member; base: nothing.
	virtual void DeleteMembers();
	// Unlinks and deletes aMember wherever it lies inside; false when not found; base: false.
	virtual bool DeleteMember(JuiceType* aMember);
	// Unlinks and deletes the first member named aName; base: false.
	virtual bool DeleteMemberNamed(const KC_String& aName);
	// Unlinks aMember without deleting it; base: false.
	virtual bool DetachMember(JuiceType* aMember);
	// True when aMember is a direct member; base: false.
	virtual bool HasMember(const JuiceType* aMember) const;
	// True when a member of type aTypeName may be added; base: false.
	virtual bool IsLegalType(const KC_String& aTypeName) const;
	// Reads the declaration body of a new type from aParseTool; pure.
	virtual bool Construct(JuiceTypeManager& aTypeManager, ParseTool& aParseTool) = 0;
	// Writes the object as Juice text at anIndent, with or without its type name; pure.
	virtual bool Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName) = 0;
	// Frees the names (derived classes: their members too).
	virtual ~JuiceType();
	// A deep copy, or NULL when memory runs out; pure.
	virtual JuiceType* Clone() const = 0;
	// Assigns a value text; false when it is not legal; base: false.
	virtual bool Assign(const KC_String& aValue);
	// Copies the value (and members) of an instance of the same type; pure.
	virtual bool Assign(const JuiceType* anInstance) = 0;
	// Parse form: anInlineText is what followed the name on its line; an empty
	// text means that a block follows.
	virtual bool Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
		JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer);
	// Takes a member's default from its declaration line; pure.
	virtual bool SetDefault(const KC_String& aDefaultValue) = 0;
	// Resets the value (and the members' values) to the unassigned state; pure.
	virtual void ClearValue() = 0;
	// Appends an owned member; false when it may not be added; base: true, does nothing.
	virtual bool AddMember(JuiceType* aMember);
	// Binds reference paths to their instances; false on an unresolved one; base: true.
	virtual bool ResolveReferences(JuiceTypeManager& aTypeManager);
	// Replaces aList by the legal values of an enumeration; base: nothing.
	virtual void GetRange(KC_List<KC_String>& aList) const;
	// True when anInstance is this object or lies inside it; base: this object only.
	virtual bool Contains(const JuiceType* anInstance) const;
	// This object or the first one inside it named aName, or NULL; base: this object by name.
	virtual JuiceType* FindByName(const KC_String& aName);
	// Sets aPath to the dotted path of aTarget below aPrefix; false when it is not here.
	virtual bool GetPath(const KC_String& aPrefix, const JuiceType* aTarget, KC_String& aPath) const;
	// True when anInstance has the same type and equal values throughout; pure.
	virtual bool IsEqual(const JuiceType* anInstance) const = 0;

	// Deepest nesting of classes inside a declared type, and the most objects
	// one prototype may hold: bounds on what a type file can make a clone build.
	static const int ourMaxTypeDepth = 32;
	static const int ourMaxTypeObjects = 4096;
	// Objects in this tree (itself included) and the depth of its deepest member (1 for a leaf).
	int CountObjects() const;
	int GetDepth() const;

protected:
	// ParseTool::InlineValue of anInlineText; a second word renames the object.
	KC_String TakeInlineValue(const KC_String& anInlineText);

	JuiceTypeName myTypeName;
	JuiceName myName;

private:
	JuiceType(const JuiceType&);
	JuiceType& operator=(const JuiceType&);
};

// True when the text of aName (of aNameLength characters) up to its first NUL
// is the aLength characters at aText, which hold no NUL. A name of another length is told apart without a
// comparison of characters.
inline bool JuiceNameIs(const char* aName, int aNameLength, const char* aText, int aLength)
{
	return aNameLength >= aLength && aName[aLength] == 0 && std::memcmp(aName, aText, static_cast<size_t>(aLength)) == 0;
}

inline bool JuiceNameIs(const KC_String& aName, const char* aText, int aLength)
{
	return JuiceNameIs(aName.GetText(), aName.GetLength(), aText, aLength);
}

// Helpers over lists of texts and the limits of KC_String.
bool JuiceListHasText(const KC_List<KC_String>& aList, const KC_String& aText);
// "%s.%s" of aPrefix and aName, or aName alone for an empty prefix; false when
// the result would not fit in a KC_String.
bool JuiceJoinPath(const KC_String& aPrefix, const KC_String& aName, KC_String& aPath);

#endif
