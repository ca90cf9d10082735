#include "JuiceInstanceIgnorer.h"

#include "kc_assert.h"

#include <new>

// The member table of the ignorer: for each type the member names ignored so far.
KC_List<KC_String>* JuiceInstanceIgnorer::GetIgnoredMembers(const KC_String& aTypeName)
{
	KC_List<KC_String>* type = NULL;
	if (myIgnoredMembers.Find(aTypeName, &type))
	{
		KC_ASSERT(type);
		return type;
	}
	type = new (std::nothrow) KC_List<KC_String>;
	KC_ASSERT(type);
	if (!type)
		return NULL;
	if (!myIgnoredMembers.Add(aTypeName, type))
	{
		delete type;
		KC_ASSERT(0);
		return NULL;
	}
	return type;
}
