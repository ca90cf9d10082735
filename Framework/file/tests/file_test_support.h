#ifndef KF_FILE_TEST_SUPPORT_H
#define KF_FILE_TEST_SUPPORT_H

// Scratch folders and plain disk access for the file layer's tests.

#include "kf_file.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchFolder
{
public:
	ScratchFolder()
	{
		static int ourCounter = 0;
		std::error_code locError;
		std::filesystem::path locBase = std::filesystem::temp_directory_path(locError);
		for (;;)
		{
			myPath = locBase / ("kf_test_" + std::to_string(std::time(nullptr)) + "_" + std::to_string(ourCounter++));
			if (std::filesystem::create_directory(myPath, locError))
				break;
		}
	}
	~ScratchFolder()
	{
		std::error_code locError;
		std::filesystem::remove_all(myPath, locError);
	}
	// The path of a name inside the folder, with slashes.
	std::string Path(const std::string& aName) const { return myPath.generic_string() + "/" + aName; }

private:
	std::filesystem::path myPath;
};

inline void WriteDiskFile(const std::string& aName, const std::string& aContent)
{
	std::filesystem::path locPath(aName);
	std::error_code locError;
	std::filesystem::create_directories(locPath.parent_path(), locError);
	std::ofstream locStream(aName, std::ios::binary | std::ios::trunc);
	locStream.write(aContent.data(), static_cast<std::streamsize>(aContent.size()));
}

inline std::string ReadDiskFile(const std::string& aName)
{
	std::ifstream locStream(aName, std::ios::binary);
	std::ostringstream locContent;
	locContent << locStream.rdbuf();
	return locContent.str();
}

// The file layer's stamp of a moment of the system clock (UTC).
inline unsigned int StampOf(std::time_t aMoment)
{
	std::tm locParts = *std::gmtime(&aMoment);
	KC_PlatformTime locTime = {locParts.tm_year + 1900, locParts.tm_mon + 1, locParts.tm_mday,
	                           locParts.tm_hour,        locParts.tm_min,     locParts.tm_sec};
	return KF_MakeTimeStamp(locTime);
}

#endif
