#ifndef REGISTRY_H
#define REGISTRY_H

#include "KC_String.h"

#include <windows.h>

// A root key and a current key path over the Windows registry. Every operation
// opens its key, does one thing and closes it again.
class Registry
{
public:
	Registry();

	// Accepts only the four predefined roots HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,
	// HKEY_LOCAL_MACHINE and HKEY_USERS; the root stays unchanged otherwise.
	bool SetRootKey(HKEY aRootKey);
	HKEY GetRootKey() const { return myRootKey; }
	// The root named exactly as the predefined handle; anything else is HKEY_CURRENT_USER.
	static HKEY RootKeyFromName(const char* aName);

	// True when aPath can be opened for reading under aRootKey (the object's root when NULL).
	bool KeyExists(const char* aPath, HKEY aRootKey = NULL);
	// Opens aPath for reading (or with aCreateFlag creates it with full access)
	// and makes it the current path; an empty path empties the current path.
	bool SetPath(const char* aPath, bool aCreateFlag);
	const KC_String& GetPath() const { return myCurrentPath; }
	bool CreateKey(const char* aPath);
	// A missing key counts as deleted.
	bool DeleteKey(const char* aPath);

	void SetFlushFlag(bool aFlushFlag) { myFlushFlag = aFlushFlag; }
	bool GetFlushFlag() const { return myFlushFlag; }
	// Empty path, HKEY_LOCAL_MACHINE, flushing on.
	void Reset();

	// Values under the current path.
	int GetInt(const char* aValueName, int aDefault);
	KC_String GetString(const char* aValueName, const char* aDefault);
	int GetValueType(const char* aValueName);
	int GetSubKeyCount();
	int GetValueCount();
	bool ValueExists(const char* aValueName);
	int GetValueSize(const char* aValueName);
	bool DeleteValue(const char* aValueName);
	bool GetBool(const char* aValueName, bool aDefault);
	double GetDouble(const char* aValueName, double aDefault);
	bool SetBool(const char* aValueName, bool aValue);
	bool SetInt(const char* aValueName, int aValue);
	bool SetDouble(const char* aValueName, double aValue);
	bool SetString(const char* aValueName, const char* aValue);

private:
	// Opens the current path with anAccess; NULL on failure.
	HKEY OpenCurrent(REGSAM anAccess);
	// Type and size of a value (either may be null); false when it cannot be queried.
	bool QueryValue(REGSAM anAccess, const char* aValueName, DWORD* aType, DWORD* aSize);
	// The number of sub-keys or of values of the current path; -1 on failure.
	int CountOf(bool aSubKeys);
	// Reads at most aSize bytes of a value; false when it is longer.
	bool ReadValue(const char* aValueName, void* aData, DWORD aSize);
	bool WriteValue(const char* aValueName, DWORD aType, const void* aData, DWORD aSize);
	void CloseKey(HKEY aKey, bool aFlush);

	HKEY myRootKey;
	bool myFlushFlag;
	KC_String myCurrentPath;
};

// "UNKNOWN", or the computer name the registry holds.
void ReadComputerName(KC_String& anOutput);

#endif
