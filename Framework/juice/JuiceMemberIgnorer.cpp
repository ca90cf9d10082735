#include "JuiceInstanceIgnorer.h"

#include "kc_assert.h"

#include <memory>
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
	// Without memory for the table the compilation fails as out of memory, not
	// as if the member were unknown.
	std::unique_ptr<KC_List<KC_String> > locType(new KC_List<KC_String>);
	if (!myIgnoredMembers.Add(aTypeName, locType.get()))
		throw std::bad_alloc();
	return locType.release();
}
