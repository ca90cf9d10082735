#include "AutorunMembers.h"

#include "AutorunDiagnosis.h"
#include "Ice.h"

Ice* Autorun_FindMember(Ice* anInstance, const char* aPath)
{
	Ice* locMember = anInstance ? anInstance->GetMember(aPath) : NULL;
	if (!locMember)
		AutorunDiagnosis::Add("missing member '%s'", aPath);
	return locMember;
}

int Autorun_ReadInt(Ice* anInstance, const char* aPath, int aDefault)
{
	Ice* locMember = Autorun_FindMember(anInstance, aPath);
	return locMember ? locMember->GetInt() : aDefault;
}

KC_String Autorun_ReadString(Ice* anInstance, const char* aPath, const char* aDefault)
{
	Ice* locMember = Autorun_FindMember(anInstance, aPath);
	const char* locValue = locMember ? locMember->GetValue() : NULL;
	return KC_String(locValue ? locValue : aDefault);
}

const char16_t* Autorun_ReadLocString(Ice* anInstance, const char* aPath)
{
	Ice* locMember = Autorun_FindMember(anInstance, aPath);
	// A definition without localized texts has no language file to ask.
	if (!locMember || !locMember->HasLanguageDecoder())
		return NULL;
	return locMember->GetLocString();
}
