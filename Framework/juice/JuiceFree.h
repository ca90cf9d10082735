#ifndef JUICEFREE_H
#define JUICEFREE_H

#include "JuiceType.h"

// A scalar held as text: NUMBER, DECIMAL, TEXT and FILE. An empty assignment
// stores "<empty>"; a FILE value keeps forward slashes only.
class JuiceFree : public JuiceType
{
public:
	JuiceFree();
	explicit JuiceFree(const char* aMetaName);

	using JuiceType::Assign;

	const KC_String& GetValue() const override;
	bool Construct(JuiceTypeManager& aTypeManager, ParseTool& aParseTool) override;
	bool Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName) override;
	JuiceType* Clone() const override;
	bool Assign(const KC_String& aValue) override;
	bool Assign(const JuiceType* anInstance) override;
	bool SetDefault(const KC_String& aDefaultValue) override;
	void ClearValue() override;
	bool IsEqual(const JuiceType* anInstance) const override;

	// The type FILE: no declaration can make another of its kind.
	bool IsFile() const;

	// The written form of a scalar value, which reads back unchanged.
	static KC_String GetWrittenForm(const KC_String& aValue);

protected:
	// Copies the fields of this object into aCopy.
	void CopyTo(JuiceFree& aCopy) const;

	KC_String myValue;
};

// A translatable text; its value may come from the localizer of the file.
class JuiceLocText final : public JuiceFree
{
public:
	JuiceLocText();
	explicit JuiceLocText(const char* aMetaName);

	using JuiceFree::Assign;

	JuiceType* Clone() const override;
	Kind GetKind() const override { return KIND_LOCTEXT; }
	bool Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
		JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer) override;
};

#endif
