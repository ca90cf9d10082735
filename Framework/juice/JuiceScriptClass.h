#ifndef JUICESCRIPTCLASS_H
#define JUICESCRIPTCLASS_H

#include "JuiceClass.h"

#include <string>
#include <unordered_map>

// A class with an open list of members whose types are taken from a declared
// list of legal types; several members may share a name.
class JuiceScriptClass : public JuiceClass
{
public:
	JuiceScriptClass();
	explicit JuiceScriptClass(const char* aMetaName);

	using JuiceClass::Assign;

	JuiceType* GetMemberToAssign(JuiceTypeManager& aTypeManager, const KC_String& aTypeName) override;
	bool IsLegalType(const KC_String& aTypeName) const override;
	bool Construct(JuiceTypeManager& aTypeManager, ParseTool& aParseTool) override;
	JuiceType* Clone() const override;
	bool Assign(const JuiceType* anInstance) override;
	bool Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
		JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer) override;
	bool AddMember(JuiceType* aMember) override;
	bool ResolveReferences(JuiceTypeManager& aTypeManager) override;
	void GetRange(KC_List<KC_String>& aList) const override;
	bool IsScriptClass() const override;

	// Replaces the members by clones of those of anInstance, of the same type.
	bool CopyMembers(const JuiceType* anInstance);

	// The program-wide counter behind generated member names.
	static int ourMemberCounter;

private:
	bool IsMemberName(const KC_String& aName);
	void CountName(const KC_String& aName, int aStep);

	KC_List<KC_String> myLegalTypes;

	// While a block is read, members come only from GetMemberToAssign and
	// only the newest one can be renamed (by its own line): the names of the
	// direct members that could be made names are counted here, from the
	// first new member on, each member's when the next one is made.
	bool myReading;
	bool myNamesCounted;
	std::unordered_map<std::string, int> myMemberNames;
	JuiceType* myNewestMember;
};

#endif
