#include "ice_test_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
std::string ourDataFolder;

// Moves the test program into a folder of its own so that written files land there.
const bool ourInTemporaryFolder = []() {
	namespace fs = std::filesystem;
	ourDataFolder = (fs::current_path() / "data").string();
	fs::path locFolder = fs::temp_directory_path() / ("ice_test_" + std::to_string(std::rand()) + "_" +
	                                                  std::to_string(reinterpret_cast<std::uintptr_t>(&ourDataFolder)));
	fs::create_directories(locFolder);
	fs::current_path(locFolder);
	return true;
}();
}

std::string TestDataPath(const std::string& aName)
{
	return ourDataFolder + "/" + aName;
}

bool WriteTestFile(const std::string& aName, const std::string& aBytes)
{
	FILE* locFile = std::fopen(aName.c_str(), "wb");
	if (!locFile)
		return false;
	bool locWritten = std::fwrite(aBytes.data(), 1, aBytes.size(), locFile) == aBytes.size();
	return std::fclose(locFile) == 0 && locWritten;
}

std::string ReadTestFile(const std::string& aName)
{
	std::string locBytes;
	FILE* locFile = std::fopen(aName.c_str(), "rb");
	if (!locFile)
		return locBytes;
	char locBuffer[4096];
	size_t locRead;
	while ((locRead = std::fread(locBuffer, 1, sizeof(locBuffer), locFile)) > 0)
		locBytes.append(locBuffer, locRead);
	std::fclose(locFile);
	return locBytes;
}
