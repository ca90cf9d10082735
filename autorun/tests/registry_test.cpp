// Registry under Wine's real registry, in a key of the test's own.
#include "Registry.h"
#include "autorun_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class RegistryTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		myRegistry.SetRootKey(HKEY_CURRENT_USER);
		ASSERT_TRUE(myRegistry.SetPath(myKey.GetPath().c_str(), false));
	}

	void SetRaw(const char* aName, DWORD aType, const void* aData, DWORD aSize)
	{
		HKEY locKey = NULL;
		ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, myKey.GetPath().c_str(), 0, KEY_WRITE, &locKey));
		RegSetValueExA(locKey, aName, 0, aType, static_cast<const BYTE*>(aData), aSize);
		RegCloseKey(locKey);
	}

	TestKey myKey;
	Registry myRegistry;
};
}

TEST(RegistryNames, RootKeysByExactNameElseCurrentUser)
{
	EXPECT_EQ(HKEY_CURRENT_USER, Registry::RootKeyFromName("HKEY_CURRENT_USER"));
	EXPECT_EQ(HKEY_LOCAL_MACHINE, Registry::RootKeyFromName("HKEY_LOCAL_MACHINE"));
	EXPECT_EQ(HKEY_CLASSES_ROOT, Registry::RootKeyFromName("HKEY_CLASSES_ROOT"));
	EXPECT_EQ(HKEY_USERS, Registry::RootKeyFromName("HKEY_USERS"));
	// Lower case, abbreviations and other roots all mean the current user.
	EXPECT_EQ(HKEY_CURRENT_USER, Registry::RootKeyFromName("hkey_local_machine"));
	EXPECT_EQ(HKEY_CURRENT_USER, Registry::RootKeyFromName("HKLM"));
	EXPECT_EQ(HKEY_CURRENT_USER, Registry::RootKeyFromName("HKEY_CURRENT_CONFIG"));
	EXPECT_EQ(HKEY_CURRENT_USER, Registry::RootKeyFromName(""));

	Registry locRegistry;
	EXPECT_EQ(HKEY_LOCAL_MACHINE, locRegistry.GetRootKey());
	EXPECT_FALSE(locRegistry.SetRootKey(HKEY_CURRENT_CONFIG));
	EXPECT_EQ(HKEY_LOCAL_MACHINE, locRegistry.GetRootKey());
	EXPECT_TRUE(locRegistry.SetRootKey(HKEY_USERS));
	locRegistry.SetFlushFlag(false);
	locRegistry.Reset();
	EXPECT_EQ(HKEY_LOCAL_MACHINE, locRegistry.GetRootKey());
	EXPECT_TRUE(locRegistry.GetFlushFlag());
	EXPECT_TRUE(locRegistry.GetPath().IsEmpty());
}

TEST_F(RegistryTest, PathsKeysAndTheirRemoval)
{
	std::string locChild = myKey.GetPath() + "\\Child";
	// Opening a missing path fails and keeps the current one.
	EXPECT_FALSE(myRegistry.SetPath(locChild.c_str(), false));
	EXPECT_STREQ(myKey.GetPath().c_str(), myRegistry.GetPath());
	EXPECT_FALSE(myRegistry.KeyExists(locChild.c_str()));

	EXPECT_TRUE(myRegistry.SetPath(locChild.c_str(), true));
	EXPECT_STREQ(locChild.c_str(), myRegistry.GetPath());
	EXPECT_TRUE(myRegistry.KeyExists(locChild.c_str()));
	// Another root does not see it; KeyExists leaves the path alone.
	EXPECT_FALSE(myRegistry.KeyExists(locChild.c_str(), HKEY_LOCAL_MACHINE));
	EXPECT_STREQ(locChild.c_str(), myRegistry.GetPath());

	EXPECT_TRUE(myRegistry.SetPath("", false));
	EXPECT_TRUE(myRegistry.GetPath().IsEmpty());

	std::string locOther = myKey.GetPath() + "\\Other";
	EXPECT_TRUE(myRegistry.CreateKey(locOther.c_str()));
	EXPECT_STREQ(locOther.c_str(), myRegistry.GetPath());
	EXPECT_TRUE(myRegistry.DeleteKey(locOther.c_str()));
	EXPECT_FALSE(myRegistry.KeyExists(locOther.c_str()));
	// A missing key counts as deleted.
	EXPECT_TRUE(myRegistry.DeleteKey(locOther.c_str()));

	EXPECT_TRUE(myRegistry.SetPath(myKey.GetPath().c_str(), false));
	EXPECT_EQ(1, myRegistry.GetSubKeyCount());
}

TEST_F(RegistryTest, TypedValuesAreBinaryAndReadBackWithTheirRules)
{
	EXPECT_TRUE(myRegistry.SetInt("count", -7));
	EXPECT_EQ(REG_BINARY, myRegistry.GetValueType("count"));
	EXPECT_EQ(4, myRegistry.GetValueSize("count"));
	EXPECT_EQ(-7, myRegistry.GetInt("count", 0));

	EXPECT_TRUE(myRegistry.SetBool("flag", true));
	EXPECT_EQ(1, myRegistry.GetValueSize("flag"));
	EXPECT_TRUE(myRegistry.GetBool("flag", false));

	EXPECT_TRUE(myRegistry.SetDouble("scale", 2.5));
	EXPECT_EQ(8, myRegistry.GetValueSize("scale"));
	EXPECT_DOUBLE_EQ(2.5, myRegistry.GetDouble("scale", 0.0));
	// Longer than 4 bytes: the integer read gives the default.
	EXPECT_EQ(99, myRegistry.GetInt("scale", 99));
	EXPECT_EQ(99, myRegistry.GetInt("missing", 99));

	EXPECT_TRUE(myRegistry.SetString("name", "Dune Sea"));
	EXPECT_EQ(REG_SZ, myRegistry.GetValueType("name"));
	EXPECT_STREQ("Dune Sea", myRegistry.GetString("name", "default"));
	EXPECT_EQ(0, myRegistry.GetValueType("missing"));
	EXPECT_STREQ("default", myRegistry.GetString("missing", "default"));

	// Strings of 254 characters fit the buffer of 255 bytes; longer ones do not.
	std::string locLongest(254, 'x');
	EXPECT_TRUE(myRegistry.SetString("longest", locLongest.c_str()));
	EXPECT_STREQ(locLongest.c_str(), myRegistry.GetString("longest", ""));
	EXPECT_FALSE(myRegistry.SetString("tooLong", std::string(255, 'x').c_str()));
	EXPECT_FALSE(myRegistry.ValueExists("tooLong"));
	std::string locStored(300, 'y');
	SetRaw("stored", REG_SZ, locStored.c_str(), static_cast<DWORD>(locStored.size() + 1));
	EXPECT_STREQ("default", myRegistry.GetString("stored", "default"));

	// A DWORD is no string; an expandable string is.
	DWORD locNumber = 5;
	SetRaw("dword", REG_DWORD, &locNumber, sizeof(locNumber));
	EXPECT_STREQ("default", myRegistry.GetString("dword", "default"));
	EXPECT_EQ(5, myRegistry.GetInt("dword", 0));
	SetRaw("expand", REG_EXPAND_SZ, "%PATH%", 7);
	EXPECT_STREQ("%PATH%", myRegistry.GetString("expand", ""));

	EXPECT_EQ(8, myRegistry.GetValueCount());
	EXPECT_TRUE(myRegistry.DeleteValue("count"));
	EXPECT_FALSE(myRegistry.ValueExists("count"));
	EXPECT_FALSE(myRegistry.DeleteValue("count"));
}

TEST_F(RegistryTest, ReadOnlyKeyExistsAndOpensForReading)
{
	// A key that the user may only read (as most of HKEY_LOCAL_MACHINE for a
	// user without administrator rights) exists all the same.
	std::string locReadOnly = myKey.GetPath() + "\\ReadOnly";
	ASSERT_TRUE(myRegistry.CreateKey(locReadOnly.c_str()));
	ASSERT_TRUE(myRegistry.SetString("value", "kept"));
	ASSERT_TRUE(MakeKeyReadOnly(HKEY_CURRENT_USER, locReadOnly));
	HKEY locKey = NULL;
	ASSERT_EQ(ERROR_ACCESS_DENIED,
	          RegOpenKeyExA(HKEY_CURRENT_USER, locReadOnly.c_str(), 0, KEY_ALL_ACCESS, &locKey));

	EXPECT_TRUE(myRegistry.KeyExists(locReadOnly.c_str()));
	EXPECT_TRUE(myRegistry.SetPath("", false));
	EXPECT_TRUE(myRegistry.SetPath(locReadOnly.c_str(), false));
	EXPECT_STREQ("kept", myRegistry.GetString("value", ""));
	// Writing is refused, and so is creating it as a key of full access.
	EXPECT_FALSE(myRegistry.SetString("value", "changed"));
	EXPECT_FALSE(myRegistry.CreateKey(locReadOnly.c_str()));
}

TEST(RegistryAssertions, ValueOperationsWithoutPathAreFatal)
{
	Registry locRegistry;
	EXPECT_EXIT(locRegistry.GetInt("value", 0), ::testing::ExitedWithCode(kFatalExitCode),
	            "myCurrentPath.GetLength\\(\\) > 0");
	EXPECT_EXIT(locRegistry.SetString("value", "x"), ::testing::ExitedWithCode(kFatalExitCode),
	            "myCurrentPath.GetLength\\(\\) > 0");
	EXPECT_EXIT(locRegistry.GetSubKeyCount(), ::testing::ExitedWithCode(kFatalExitCode),
	            "myCurrentPath.GetLength\\(\\) > 0");
}
