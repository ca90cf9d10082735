#ifndef JUICETYPE_H
#define JUICETYPE_H

#include "KC_String.h"
#include "kc_list.h"

#include <cstdio>

class JuiceTypeManager;
class JuiceInstanceIgnorer;
class JuiceLocalizer;
class ParseTool;

// The root of the Juice type model. One hierarchy serves for declared types
// (prototypes named "PROTOTYPE", kept by a JuiceTypeManager) and for instances
// and members, which are clones of those prototypes. Values are kept as text.
class JuiceType
{
public:
	// The constructor of copies and reference prototypes; registers nothing.
	JuiceType();
	// The meta-prototype constructor: registers the object under aMetaName.
	explicit JuiceType(const char* aMetaName);

	const KC_String& GetTypeName() const { return myTypeName; }
	const KC_String& GetName() const { return myName; }
	void SetTypeName(const KC_String& aTypeName) { myTypeName = aTypeName; }
	void SetName(const KC_String& aName) { myName = aName; }

	virtual const KC_String& GetValue() const;
	virtual JuiceType* GetMemberAt(int anIndex) const;
	virtual JuiceType* GetMemberToAssign(JuiceTypeManager& aTypeManager, const KC_String& aName);
	virtual JuiceType* FindMember(const KC_String& aPath);
	virtual KC_List<JuiceType*>& GetMembers();
	virtual int GetMemberCount() const;
	virtual bool SortMembers(const KC_List<KC_String>& aNameList);
	virtual void DeleteMembers();
	virtual bool DeleteMember(JuiceType* aMember);
	virtual bool DeleteMemberNamed(const KC_String& aName);
	virtual bool DetachMember(JuiceType* aMember);
	virtual bool HasMember(const JuiceType* aMember) const;
	virtual bool IsLegalType(const KC_String& aTypeName) const;
	virtual bool Construct(JuiceTypeManager& aTypeManager, ParseTool& aParseTool) = 0;
	virtual bool Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName) = 0;
	virtual ~JuiceType();
	virtual JuiceType* Clone() const = 0;
	virtual bool Assign(const KC_String& aValue);
	virtual bool Assign(const JuiceType* anInstance) = 0;
	// Parse form: anInlineText is what followed the name on its line; an empty
	// text means that a block follows.
	virtual bool Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
		JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer);
	virtual bool SetDefault(const KC_String& aDefaultValue) = 0;
	virtual void ClearValue() = 0;
	virtual bool AddMember(JuiceType* aMember);
	virtual bool ResolveReferences(JuiceTypeManager& aTypeManager);
	virtual void GetRange(KC_List<KC_String>& aList) const;
	virtual bool Contains(const JuiceType* anInstance) const;
	virtual JuiceType* FindByName(const KC_String& aName);
	virtual bool GetPath(const KC_String& aPrefix, const JuiceType* aTarget, KC_String& aPath) const;
	virtual bool IsEqual(const JuiceType* anInstance) const = 0;

	// Deepest nesting of classes inside a declared type, and the most objects
	// one prototype may hold: bounds on what a type file can make a clone build.
	static const int ourMaxTypeDepth = 32;
	static const int ourMaxTypeObjects = 4096;
	// Objects in this tree (itself included) and the depth of its deepest member (1 for a leaf).
	int CountObjects() const;
	int GetDepth() const;

protected:
	KC_String myTypeName;
	KC_String myName;

private:
	JuiceType(const JuiceType&);
	JuiceType& operator=(const JuiceType&);
};

// Helpers over lists of texts and the limits of KC_String.
bool JuiceListHasText(const KC_List<KC_String>& aList, const KC_String& aText);
// "%s.%s" of aPrefix and aName, or aName alone for an empty prefix; false when
// the result would not fit in a KC_String.
bool JuiceJoinPath(const KC_String& aPrefix, const KC_String& aName, KC_String& aPath);

#endif
