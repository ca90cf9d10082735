#include "kc_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

// Written by kc_add_unit_test for each test executable.
extern const char* const kcTestScratchFolder;
extern const char* const kcTestDataFolder;

namespace
{
// Death tests may run the executable again for one test: the marker keeps
// such a child in the folder its parent prepared instead of emptying it.
const char ourReadyMarker[] = "KC_TEST_SCRATCH_READY";

void SetMarker(const char* aValue)
{
#ifdef _WIN32
	_putenv_s(ourReadyMarker, aValue);
#else
	setenv(ourReadyMarker, aValue, 1);
#endif
}

bool PrepareScratchFolder()
{
	namespace fs = std::filesystem;
	std::error_code locError;
	const char* locMarker = std::getenv(ourReadyMarker);
	if (!locMarker || KC_TestScratchFolder() != locMarker)
	{
		fs::remove_all(KC_TestScratchFolder(), locError);
		fs::create_directories(KC_TestScratchFolder(), locError);
		if (fs::is_directory(KC_TestDataFolder(), locError))
			fs::copy(KC_TestDataFolder(), KC_TestScratchFolder() + "/data", fs::copy_options::recursive, locError);
		SetMarker(KC_TestScratchFolder().c_str());
	}
	fs::current_path(KC_TestScratchFolder(), locError);
	if (locError)
	{
		std::fprintf(stderr, "cannot enter the scratch folder '%s'\n", KC_TestScratchFolder().c_str());
		std::exit(1);
	}
	return true;
}

const bool ourScratchReady = PrepareScratchFolder();
}

const std::string& KC_TestScratchFolder()
{
	static const std::string ourFolder = kcTestScratchFolder;
	return ourFolder;
}

const std::string& KC_TestDataFolder()
{
	static const std::string ourFolder = kcTestDataFolder;
	return ourFolder;
}

std::string ReadWholeFile(const std::string& aFileName, const std::string& aMissing)
{
	FILE* locFile = std::fopen(aFileName.c_str(), "rb");
	if (!locFile)
		return aMissing;
	std::string locContent;
	char locBuffer[4096];
	size_t locRead;
	while ((locRead = std::fread(locBuffer, 1, sizeof(locBuffer), locFile)) > 0)
		locContent.append(locBuffer, locRead);
	std::fclose(locFile);
	return locContent;
}

bool WriteWholeFile(const std::string& aFileName, const std::string& aContent)
{
	std::error_code locError;
	std::filesystem::path locParent = std::filesystem::path(aFileName).parent_path();
	if (!locParent.empty())
		std::filesystem::create_directories(locParent, locError);
	FILE* locFile = std::fopen(aFileName.c_str(), "wb");
	if (!locFile)
		return false;
	bool locResult = std::fwrite(aContent.data(), 1, aContent.size(), locFile) == aContent.size();
	return std::fclose(locFile) == 0 && locResult;
}

ScratchFolder::ScratchFolder()
{
	static int ourCounter = 0;
	std::error_code locError;
	for (;;)
	{
		myPath = KC_TestScratchFolder() + "/folder_" + std::to_string(ourCounter++);
		if (std::filesystem::create_directory(myPath, locError))
			break;
		if (locError)
		{
			std::fprintf(stderr, "cannot make a folder in '%s'\n", KC_TestScratchFolder().c_str());
			std::exit(1);
		}
	}
}

ScratchFolder::~ScratchFolder()
{
	std::error_code locError;
	std::filesystem::remove_all(myPath, locError);
}

void KC_SetDeathTestStyle()
{
	const char* locStyle = std::getenv("KC_DEATH_TEST_STYLE");
	::testing::FLAGS_gtest_death_test_style = locStyle && *locStyle ? locStyle : "threadsafe";
}
