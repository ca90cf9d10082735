#include "Registry.h"

#include "kc_assert.h"

#include <cstring>

namespace
{
const char* const ourDefaultComputerName = "UNKNOWN";
const DWORD ourStringBufferSize = 255;
const DWORD ourComputerNameBufferSize = 511;

bool IsPredefinedRoot(HKEY aKey)
{
	return aKey == HKEY_CLASSES_ROOT || aKey == HKEY_CURRENT_USER || aKey == HKEY_LOCAL_MACHINE ||
	       aKey == HKEY_USERS;
}
}

Registry::Registry() : myRootKey(HKEY_LOCAL_MACHINE), myFlushFlag(true)
{
}

bool Registry::SetRootKey(HKEY aRootKey)
{
	if (!IsPredefinedRoot(aRootKey))
		return false;
	myRootKey = aRootKey;
	return true;
}

HKEY Registry::RootKeyFromName(const char* aName)
{
	if (!aName)
		return HKEY_CURRENT_USER;
	if (std::strcmp(aName, "HKEY_LOCAL_MACHINE") == 0)
		return HKEY_LOCAL_MACHINE;
	if (std::strcmp(aName, "HKEY_CLASSES_ROOT") == 0)
		return HKEY_CLASSES_ROOT;
	if (std::strcmp(aName, "HKEY_USERS") == 0)
		return HKEY_USERS;
	return HKEY_CURRENT_USER;
}

bool Registry::KeyExists(const char* aPath, HKEY aRootKey)
{
	// Read access: a key that the user may only read exists all the same.
	HKEY locKey = NULL;
	if (RegOpenKeyExA(aRootKey ? aRootKey : myRootKey, aPath ? aPath : "", 0, KEY_READ, &locKey) != ERROR_SUCCESS)
		return false;
	RegCloseKey(locKey);
	return true;
}

bool Registry::SetPath(const char* aPath, bool aCreateFlag)
{
	if (!aPath || !*aPath)
	{
		myCurrentPath.Clear();
		return true;
	}
	HKEY locKey = NULL;
	LONG locResult;
	if (aCreateFlag)
		locResult = RegCreateKeyExA(myRootKey, aPath, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &locKey,
		                            NULL);
	else
		// The path is only remembered here: reading it is enough to accept it.
		locResult = RegOpenKeyExA(myRootKey, aPath, 0, KEY_READ, &locKey);
	if (locResult != ERROR_SUCCESS)
		return false;
	myCurrentPath = aPath;
	CloseKey(locKey, myFlushFlag);
	return true;
}

bool Registry::CreateKey(const char* aPath)
{
	HKEY locKey = NULL;
	if (RegCreateKeyExA(myRootKey, aPath ? aPath : "", 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
	                    &locKey, NULL) != ERROR_SUCCESS)
		return false;
	CloseKey(locKey, myFlushFlag);
	myCurrentPath = aPath;
	return true;
}

bool Registry::DeleteKey(const char* aPath)
{
	if (!KeyExists(aPath))
		return true;
	return RegDeleteKeyA(myRootKey, aPath) == ERROR_SUCCESS;
}

void Registry::Reset()
{
	myCurrentPath.Clear();
	myRootKey = HKEY_LOCAL_MACHINE;
	myFlushFlag = true;
}

int Registry::GetInt(const char* aValueName, int aDefault)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	int locValue = 0;
	return ReadValue(aValueName, &locValue, sizeof(locValue)) ? locValue : aDefault;
}

KC_String Registry::GetString(const char* aValueName, const char* aDefault)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	int locType = GetValueType(aValueName);
	if (locType != REG_SZ && locType != REG_EXPAND_SZ)
		return KC_String(aDefault);
	char locBuffer[ourStringBufferSize + 1];
	std::memset(locBuffer, 0, sizeof(locBuffer));
	// The extra byte keeps a value stored without its terminator terminated.
	if (!ReadValue(aValueName, locBuffer, ourStringBufferSize))
		return KC_String(aDefault);
	return KC_String(locBuffer);
}

int Registry::GetValueType(const char* aValueName)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	DWORD locType = 0;
	return QueryValue(KEY_READ, aValueName, &locType, NULL) ? static_cast<int>(locType) : 0;
}

int Registry::GetSubKeyCount()
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	return CountOf(true);
}

int Registry::GetValueCount()
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	return CountOf(false);
}

bool Registry::ValueExists(const char* aValueName)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	return QueryValue(KEY_ALL_ACCESS, aValueName, NULL, NULL);
}

int Registry::GetValueSize(const char* aValueName)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	DWORD locSize = 0;
	return QueryValue(KEY_QUERY_VALUE, aValueName, NULL, &locSize) ? static_cast<int>(locSize) : -1;
}

bool Registry::DeleteValue(const char* aValueName)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	HKEY locKey = OpenCurrent(KEY_SET_VALUE);
	if (!locKey)
		return false;
	LONG locResult = RegDeleteValueA(locKey, aValueName);
	CloseKey(locKey, myFlushFlag);
	return locResult == ERROR_SUCCESS;
}

bool Registry::GetBool(const char* aValueName, bool aDefault)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	unsigned char locValue = 0;
	return ReadValue(aValueName, &locValue, sizeof(locValue)) ? locValue != 0 : aDefault;
}

double Registry::GetDouble(const char* aValueName, double aDefault)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	double locValue = 0.0;
	return ReadValue(aValueName, &locValue, sizeof(locValue)) ? locValue : aDefault;
}

bool Registry::SetBool(const char* aValueName, bool aValue)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	unsigned char locValue = aValue ? 1 : 0;
	return WriteValue(aValueName, REG_BINARY, &locValue, sizeof(locValue));
}

bool Registry::SetInt(const char* aValueName, int aValue)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	return WriteValue(aValueName, REG_BINARY, &aValue, sizeof(aValue));
}

bool Registry::SetDouble(const char* aValueName, double aValue)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	return WriteValue(aValueName, REG_BINARY, &aValue, sizeof(aValue));
}

bool Registry::SetString(const char* aValueName, const char* aValue)
{
	KC_ASSERT(myCurrentPath.GetLength() > 0);
	if (!aValue)
		aValue = "";
	size_t locLength = std::strlen(aValue);
	if (locLength >= ourStringBufferSize)
		return false;
	return WriteValue(aValueName, REG_SZ, aValue, static_cast<DWORD>(locLength + 1));
}

HKEY Registry::OpenCurrent(REGSAM anAccess)
{
	HKEY locKey = NULL;
	if (RegOpenKeyExA(myRootKey, myCurrentPath, 0, anAccess, &locKey) != ERROR_SUCCESS)
		return NULL;
	return locKey;
}

bool Registry::QueryValue(REGSAM anAccess, const char* aValueName, DWORD* aType, DWORD* aSize)
{
	HKEY locKey = OpenCurrent(anAccess);
	if (!locKey)
		return false;
	LONG locResult = RegQueryValueExA(locKey, aValueName, NULL, aType, NULL, aSize);
	CloseKey(locKey, false);
	return locResult == ERROR_SUCCESS;
}

int Registry::CountOf(bool aSubKeys)
{
	HKEY locKey = OpenCurrent(KEY_ALL_ACCESS);
	if (!locKey)
		return -1;
	DWORD locCount = 0;
	LONG locResult = RegQueryInfoKeyA(locKey, NULL, NULL, NULL, aSubKeys ? &locCount : NULL, NULL, NULL,
	                                  aSubKeys ? NULL : &locCount, NULL, NULL, NULL, NULL);
	CloseKey(locKey, false);
	return locResult == ERROR_SUCCESS ? static_cast<int>(locCount) : -1;
}

bool Registry::ReadValue(const char* aValueName, void* aData, DWORD aSize)
{
	HKEY locKey = OpenCurrent(KEY_READ);
	if (!locKey)
		return false;
	DWORD locSize = aSize;
	LONG locResult = RegQueryValueExA(locKey, aValueName, NULL, NULL, static_cast<BYTE*>(aData), &locSize);
	CloseKey(locKey, false);
	return locResult == ERROR_SUCCESS;
}

bool Registry::WriteValue(const char* aValueName, DWORD aType, const void* aData, DWORD aSize)
{
	HKEY locKey = OpenCurrent(KEY_WRITE);
	if (!locKey)
		return false;
	LONG locResult = RegSetValueExA(locKey, aValueName, 0, aType, static_cast<const BYTE*>(aData), aSize);
	CloseKey(locKey, myFlushFlag);
	return locResult == ERROR_SUCCESS;
}

void Registry::CloseKey(HKEY aKey, bool aFlush)
{
	if (aFlush)
		RegFlushKey(aKey);
	RegCloseKey(aKey);
}

void ReadComputerName(KC_String& anOutput)
{
	anOutput = ourDefaultComputerName;
	HKEY locKey = NULL;
	if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName", 0,
	                  KEY_READ, &locKey) != ERROR_SUCCESS)
		return;
	char locBuffer[ourComputerNameBufferSize + 1];
	std::memset(locBuffer, 0, sizeof(locBuffer));
	DWORD locSize = ourComputerNameBufferSize;
	if (RegQueryValueExA(locKey, "ComputerName", NULL, NULL, reinterpret_cast<BYTE*>(locBuffer), &locSize) ==
	    ERROR_SUCCESS)
		anOutput = locBuffer;
	RegCloseKey(locKey);
}
