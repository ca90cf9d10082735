#ifndef JUICECLASS_H
#define JUICECLASS_H

#include "JuiceType.h"

// A class: an ordered list of named members, which it owns.
class JuiceClass : public JuiceType
{
public:
	JuiceClass();
	explicit JuiceClass(const char* aMetaName);
	~JuiceClass() override;

	using JuiceType::Assign;

	JuiceType* GetMemberAt(int anIndex) const override;
	JuiceType* FindMember(const KC_String& aPath) override;
	JuiceMemberList& GetMembers() override;
	int GetMemberCount() const override;
	bool SortMembers(const KC_List<KC_String>& aNameList) override;
	void DeleteMembers() override;
	bool DeleteMember(JuiceType* aMember) override;
	bool DeleteMemberNamed(const KC_String& aName) override;
	bool DetachMember(JuiceType* aMember) override;
	bool HasMember(const JuiceType* aMember) const override;
	bool Construct(JuiceTypeManager& aTypeManager, ParseTool& aParseTool) override;
	bool Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName) override;
	JuiceType* Clone() const override;
	bool Assign(const JuiceType* anInstance) override;
	bool Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
		JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer) override;
	bool SetDefault(const KC_String& aDefaultValue) override;
	void ClearValue() override;
	bool AddMember(JuiceType* aMember) override;
	bool ResolveReferences(JuiceTypeManager& aTypeManager) override;
	bool Contains(const JuiceType* anInstance) const override;
	JuiceType* FindByName(const KC_String& aName) override;
	bool GetPath(const KC_String& aPrefix, const JuiceType* aTarget, KC_String& aPath) const override;
	bool IsEqual(const JuiceType* anInstance) const override;
	virtual bool IsScriptClass() const;

	// FindMember of the aLength characters at aPath on anInstance, the path
	// followed in place.
	static JuiceType* FindPath(JuiceType* anInstance, const char* aPath, int aLength);

protected:
	// Names are unique unless IsScriptClass.
	JuiceMemberList myMembers;

private:
	// One "TYPE name [default]" line of the declaration; anObjects counts the
	// objects the type holds so far.
	// The first direct member whose name is the text of the aLength characters
	// at aName (up to a NUL among them).
	JuiceType* FindDirectMember(const char* aName, int aLength);
	bool AddDeclaredMember(JuiceTypeManager& aTypeManager, ParseTool& aParseTool, const KC_String& aLine,
		int& anObjects);
};

#endif
