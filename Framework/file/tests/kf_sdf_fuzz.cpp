// libFuzzer target: mount an arbitrary archive, look up and open every entry
// (in memory and streaming), read it whole and line by line.

#include "kf_file.h"
#include "kf_sdf.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace
{
const std::string& ArchivePath()
{
	static const std::string ourPath = "/tmp/kf_sdf_fuzz_" + std::to_string(getpid()) + ".sdf";
	return ourPath;
}

void RemoveArchive()
{
	std::remove(ArchivePath().c_str());
}

void ReadWhole(const char* aName, unsigned int aMode)
{
	KF_File locFile;
	if (!locFile.Open(aName, aMode))
		return;
	unsigned char locChunk[512];
	while (locFile.Read(locChunk, sizeof(locChunk)) > 0)
	{
	}
	locFile.Seek(0, 0);
	char locLine[64];
	for (int i = 0; i < 64 && locFile.GetPosition() < locFile.GetSize(); ++i)
		locFile.ReadLine(locLine, sizeof(locLine));
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
	static const std::string& ourPath = ArchivePath();
	static const int ourCleanUp = std::atexit(RemoveArchive);
	(void)ourCleanUp;
	std::FILE* locStream = std::fopen(ourPath.c_str(), "wb");
	if (!locStream)
		return 0;
	std::fwrite(aData, 1, aSize, locStream);
	std::fclose(locStream);

	KF_SDF* locArchive = KF_SDF::Mount(ourPath.c_str(), true);
	if (locArchive)
	{
		unsigned int locCount = locArchive->GetEntryCount();
		for (unsigned int i = 0; i < locCount && i < 64; ++i)
		{
			KF_SDFEntry locEntry;
			locArchive->GetEntry(i, &locEntry);
			std::string locName = locEntry.myFolderPath;
			if (!locName.empty())
				locName += "/";
			locName += locEntry.myFileName;
			unsigned int locTime, locSize;
			GetFileInfo(locName.c_str(), &locTime, &locSize, NULL);
			ReadWhole(locName.c_str(), OPEN_READ);
			ReadWhole(locName.c_str(), OPEN_READ | OPEN_STREAMING);
		}
		FileExists("gfx\\button.tga");
		KF_SDF::Unmount(NULL);
	}
	return 0;
}
