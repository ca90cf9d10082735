#ifndef AUTORUNMEMBERS_H
#define AUTORUNMEMBERS_H

#include "KC_String.h"

class Ice;

// Member lookups in the menu definition that never read through a missing
// member: a missing one gives the default and is named in the diagnosis.

Ice* Autorun_FindMember(Ice* anInstance, const char* aPath);
int Autorun_ReadInt(Ice* anInstance, const char* aPath, int aDefault);
KC_String Autorun_ReadString(Ice* anInstance, const char* aPath, const char* aDefault);
// Null when the member is missing or the definition has no language file.
const char16_t* Autorun_ReadLocString(Ice* anInstance, const char* aPath);

#endif
