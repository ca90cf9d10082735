#ifndef JUICESCRIPTCLASS_H
#define JUICESCRIPTCLASS_H

#include "JuiceClass.h"

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
	bool AddMember(JuiceType* aMember) override;
	bool ResolveReferences(JuiceTypeManager& aTypeManager) override;
	void GetRange(KC_List<KC_String>& aList) const override;
	bool IsScriptClass() const override;

	// Replaces the members by clones of those of anInstance, of the same type.
	bool CopyMembers(const JuiceType* anInstance);

	// The program-wide counter behind generated member names.
	static int ourMemberCounter;

private:
	KC_List<KC_String> myLegalTypes;
};

#endif
