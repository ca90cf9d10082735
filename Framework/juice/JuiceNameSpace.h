#ifndef JUICENAMESPACE_H
#define JUICENAMESPACE_H

#include "KC_String.h"
#include "kc_list.h"

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

#endif
