// The application manifests of the built programs, read back from their
// resources as Windows reads them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR, LONG_PTR aCount)
{
	++*reinterpret_cast<int*>(aCount);
	return TRUE;
}

class ManifestTest : public ::testing::TestWithParam<const char*>
{
protected:
	void SetUp() override
	{
		myModule = LoadLibraryExA(GetParam(), NULL, LOAD_LIBRARY_AS_DATAFILE);
		ASSERT_TRUE(myModule != NULL) << GetParam();
	}
	void TearDown() override
	{
		if (myModule)
			FreeLibrary(myModule);
	}

	// The text of resource 1 of type 24 (the manifest a process is created with).
	std::string Manifest()
	{
		HRSRC locResource = FindResourceA(myModule, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
		if (!locResource)
			return std::string();
		HGLOBAL locData = LoadResource(myModule, locResource);
		const char* locText = static_cast<const char*>(LockResource(locData));
		return locText ? std::string(locText, SizeofResource(myModule, locResource)) : std::string();
	}

	HMODULE myModule = NULL;
};
}

TEST_P(ManifestTest, AsInvokerOnEverySystemFromVistaAndDpiUnaware)
{
	int locCount = 0;
	EnumResourceNamesA(myModule, MAKEINTRESOURCEA(24), CountName, reinterpret_cast<LONG_PTR>(&locCount));
	EXPECT_EQ(1, locCount);
	const std::string locManifest = Manifest();
	ASSERT_FALSE(locManifest.empty());
	EXPECT_EQ(0u, locManifest.find("<?xml"));
	EXPECT_NE(std::string::npos, locManifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"));
	const char* const locSystems[] = {
		"{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
		"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
		"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
		"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
		"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
	};
	for (const char* locSystem : locSystems)
		EXPECT_NE(std::string::npos, locManifest.find(std::string("<supportedOS Id=\"") + locSystem + "\"/>"))
			<< locSystem;
	// DPI-unaware: no awareness but "false", and no per-monitor setting.
	EXPECT_NE(std::string::npos, locManifest.find(">false</dpiAware>"));
	EXPECT_EQ(std::string::npos, locManifest.find(">true"));
	EXPECT_EQ(std::string::npos, locManifest.find("dpiAwareness"));
	EXPECT_EQ(std::string::npos, locManifest.find("requireAdministrator"));
	EXPECT_NE(std::string::npos, locManifest.rfind("</assembly>"));
}

INSTANTIATE_TEST_SUITE_P(Programs, ManifestTest, ::testing::Values(AUTORUN_EXE, ZONEWRIGHT_EXE));
