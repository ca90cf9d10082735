// The requirements that enable a button: files and registry keys that must or
// must not exist, and registry values, recognised by the checksum of their
// class name.
#include "AutorunButton.h"

#include "Ice.h"
#include "Registry.h"
#include "kf_file.h"

namespace
{
const char* const ourRootNames[] = {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT", "HKEY_USERS"};

// The string member of a requirement; empty when it is missing.
KC_String ReadMember(Ice* anElement, const char* aName)
{
	Ice* locMember = anElement->GetMember(aName);
	const char* locValue = locMember ? locMember->GetValue() : NULL;
	return KC_String(locValue ? locValue : "");
}

KC_String KeyPath(Ice* anElement, const char* aName)
{
	KC_String locPath = ReadMember(anElement, aName);
	locPath.Replace('/', '\\');
	return locPath;
}

// The root's own name as the registry lookup uses it, for the report.
const char* RootName(HKEY aRootKey)
{
	if (aRootKey == HKEY_LOCAL_MACHINE)
		return ourRootNames[1];
	if (aRootKey == HKEY_CLASSES_ROOT)
		return ourRootNames[2];
	if (aRootKey == HKEY_USERS)
		return ourRootNames[3];
	return ourRootNames[0];
}

bool FileFound(const KC_String& aFileName)
{
	unsigned int locTime = 0;
	unsigned int locSize = 0;
	return !aFileName.IsEmpty() && GetFileInfo(aFileName, &locTime, &locSize, NULL);
}

bool ValueHolds(Ice* anElement, Registry& aRegistry, KC_String* aFailure)
{
	KC_String locPath = KeyPath(anElement, "myRegPath");
	HKEY locRoot = Registry::RootKeyFromName(ReadMember(anElement, "myRootKey"));
	aRegistry.SetRootKey(locRoot);
	// A key that cannot be opened reads as the default; an empty path opens nothing.
	bool locOpened = !locPath.IsEmpty() && aRegistry.SetPath(locPath, false);
	KC_String locName = ReadMember(anElement, "myRegKey");
	Ice* locWanted = anElement->GetMember("myRegKeyValue");
	if (ReadMember(anElement, "myRegKeyType") == "INTEGER")
	{
		int locExpected = locWanted ? locWanted->GetInt() : 0;
		int locFound = locOpened ? aRegistry.GetInt(locName, -1) : -1;
		if (locFound != locExpected && aFailure)
			aFailure->Format("RegKeyIsValueRequirement: value '%s' of %s\\%s is %d, not %d",
			                 static_cast<const char*>(locName), RootName(locRoot), static_cast<const char*>(locPath),
			                 locFound, locExpected);
		return locFound == locExpected;
	}
	KC_String locExpected = ReadMember(anElement, "myRegKeyValue");
	KC_String locFound = locOpened ? aRegistry.GetString(locName, "") : KC_String();
	if (locFound != locExpected && aFailure)
		aFailure->Format("RegKeyIsValueRequirement: value '%s' of %s\\%s is '%s', not '%s'",
		                 static_cast<const char*>(locName), RootName(locRoot), static_cast<const char*>(locPath),
		                 static_cast<const char*>(locFound), static_cast<const char*>(locExpected));
	return locFound == locExpected;
}

bool ElementHolds(Ice* anElement, Registry& aRegistry, KC_String* aFailure)
{
	if (!anElement)
		return true;
	unsigned int locType = anElement->GetTypeHash();
	if (locType == Ice::Hash("FileExistRequirement"))
	{
		KC_String locFile = ReadMember(anElement, "myFileToExist");
		bool locHolds = FileFound(locFile);
		if (!locHolds && aFailure)
			aFailure->Format("FileExistRequirement: file '%s' does not exist", static_cast<const char*>(locFile));
		return locHolds;
	}
	if (locType == Ice::Hash("FileNotExistRequirement"))
	{
		KC_String locFile = ReadMember(anElement, "myFileToNotExist");
		bool locHolds = !FileFound(locFile);
		if (!locHolds && aFailure)
			aFailure->Format("FileNotExistRequirement: file '%s' exists", static_cast<const char*>(locFile));
		return locHolds;
	}
	if (locType == Ice::Hash("RegKeyExistRequirement"))
	{
		KC_String locPath = KeyPath(anElement, "myRegKeyToExist");
		HKEY locRoot = Registry::RootKeyFromName(ReadMember(anElement, "myRootKey"));
		bool locHolds = aRegistry.KeyExists(locPath, locRoot);
		if (!locHolds && aFailure)
			aFailure->Format("RegKeyExistRequirement: key %s\\%s does not exist", RootName(locRoot),
			                 static_cast<const char*>(locPath));
		return locHolds;
	}
	if (locType == Ice::Hash("RegKeyNotExistRequirement"))
	{
		KC_String locPath = KeyPath(anElement, "myRegKeyToNotExist");
		HKEY locRoot = Registry::RootKeyFromName(ReadMember(anElement, "myRootKey"));
		bool locHolds = !aRegistry.KeyExists(locPath, locRoot);
		if (!locHolds && aFailure)
			aFailure->Format("RegKeyNotExistRequirement: key %s\\%s exists", RootName(locRoot),
			                 static_cast<const char*>(locPath));
		return locHolds;
	}
	if (locType == Ice::Hash("RegKeyIsValueRequirement"))
		return ValueHolds(anElement, aRegistry, aFailure);
	return true;
}
}

bool AutorunButton::RequirementsHold(Ice* aList, Registry& aRegistry, KC_String* aFailure)
{
	if (!aList)
		return true;
	unsigned int locCount = aList->GetCount(true);
	for (unsigned int locIndex = 0; locIndex < locCount; ++locIndex)
	{
		if (!ElementHolds(aList->GetMember(locIndex), aRegistry, aFailure))
			return false;
	}
	return true;
}
