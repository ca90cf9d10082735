#include "JuiceMetaTypes.h"

#include "JuiceClass.h"
#include "JuiceEnum.h"
#include "JuiceFree.h"
#include "JuiceScriptClass.h"
#include "kc_assert.h"

// The tree is defined before the prototypes, so it exists when they register.
KC_KeyTree<KC_String, JuiceType*> ourMetaTypes;

void JuiceRegisterMetaType(const KC_String& aMetaName, JuiceType* aPrototype)
{
	bool success = ourMetaTypes.Add(aMetaName, aPrototype);
	KC_ASSERT(success);
}

JuiceType* JuiceFindMetaType(const KC_String& aMetaName)
{
	JuiceType* locPrototype = NULL;
	if (!ourMetaTypes.Find(aMetaName, &locPrototype))
		return NULL;
	return locPrototype;
}

namespace
{
JuiceFree ourNumberMeta("NUMBER");
JuiceFree ourDecimalMeta("DECIMAL");
JuiceFree ourTextMeta("TEXT");
JuiceFree ourFileMeta("FILE");
JuiceEnum ourTypeMeta("TYPE");
JuiceClass ourClassMeta("CLASS");
JuiceScriptClass ourScriptClassMeta("SCRIPTCLASS");
JuiceLocText ourLocTextMeta("LOCTEXT");
}
