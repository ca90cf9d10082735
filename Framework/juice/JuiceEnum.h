#ifndef JUICEENUM_H
#define JUICEENUM_H

#include "JuiceFree.h"

// An enumeration (TYPE): a scalar whose value is one of a declared range.
class JuiceEnum : public JuiceFree
{
public:
	JuiceEnum();
	explicit JuiceEnum(const char* aMetaName);

	using JuiceFree::Assign;

	bool Construct(JuiceTypeManager& aTypeManager, ParseTool& aParseTool) override;
	JuiceType* Clone() const override;
	bool Assign(const KC_String& aValue) override;
	bool SetDefault(const KC_String& aDefaultValue) override;
	void GetRange(KC_List<KC_String>& aList) const override;

private:
	KC_List<KC_String> myRange;
};

#endif
