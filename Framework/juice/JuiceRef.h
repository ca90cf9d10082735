#ifndef JUICEREF_H
#define JUICEREF_H

#include "JuiceType.h"

// A reference: a dotted instance path or "NULL". Its type name is the name of
// the type it refers to followed by "*".
class JuiceRef final : public JuiceType
{
public:
	JuiceRef();

	using JuiceType::Assign;
	// The parse form; keeps the line of the value for the report of a
	// reference that does not resolve.
	bool Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
		JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer) override;

	const KC_String& GetValue() const override;
	JuiceType* FindMember(const KC_String& aPath) override;
	bool Construct(JuiceTypeManager& aTypeManager, ParseTool& aParseTool) override;
	bool Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName) override;
	JuiceType* Clone() const override;
	Kind GetKind() const override { return KIND_REFERENCE; }
	bool Assign(const KC_String& aValue) override;
	bool Assign(const JuiceType* anInstance) override;
	bool SetDefault(const KC_String& aDefaultValue) override;
	void ClearValue() override;
	bool ResolveReferences(JuiceTypeManager& aTypeManager) override;
	bool IsEqual(const JuiceType* anInstance) const override;

	// How many references one lookup may pass through; a chain longer than
	// this (a cycle) finds nothing.
	static const int ourMaxReferenceChain = 32;

	// The reference whose ResolveReferences failed last, and whether it named
	// an instance (of another type); null once taken.
	static JuiceRef* TakeUnresolved(bool& aNamedAnInstance);
	// The parse line of the value, or -1 when it was not read from a file.
	int GetSourceLine() const { return mySourceLine; }
	// The type that a target must have.
	KC_String GetTargetTypeName() const;

private:
	// The instance that the value names, or null.
	JuiceType* FindTarget(bool aReportMissing);

	KC_String myValue;
	int mySourceLine;

	static JuiceRef* ourUnresolved;
	static bool ourUnresolvedNamedAnInstance;
};

#endif
