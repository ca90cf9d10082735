// Times reads of one large archive entry, stored, zlib and LZMA, through the
// file layer against the plain read and the raw decoder on the same bytes:
//   sdf_read_bench FOLDER [MIB [REPETITIONS]]   (default 64 MiB, 5 repetitions)
// makes FOLDER/stored.sdf, zlib.sdf and lzma.sdf when missing and prints per method
// "sdf read <N> MiB <method>: file layer <ms> ms, raw <ms> ms, ratio <r>"
// (medians; raw reads the stored bytes from the archive and decodes them).

#include "sdftool_lib.h"

#include "kf_file.h"
#include "kf_sdf.h"

#include "LzmaDec.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{
const char ourEntryName[] = "data.bin";
const unsigned int ourLzmaPropertiesSize = 5;

void* BenchAlloc(void*, size_t aSize)
{
	return std::malloc(aSize);
}

void BenchFree(void*, void* anAddress)
{
	std::free(anAddress);
}

ISzAlloc ourAllocator = {BenchAlloc, BenchFree};

// Text-like content that packs about as well as game data: lines of words and
// numbers drawn from a small vocabulary.
std::string Content(size_t aSize)
{
	static const char* const ourWords[] = {"terrain", "marker", "landing", "zone", "vehicle", "texture",
	                                       "height", "shadow", "water", "road", "forest", "bridge"};
	std::string locText;
	locText.reserve(aSize + 64);
	uint32_t locState = 12345;
	char locNumber[16];
	while (locText.size() < aSize)
	{
		locState = locState * 1103515245u + 12345u;
		locText += ourWords[(locState >> 16) % 12];
		locText += ' ';
		std::snprintf(locNumber, sizeof(locNumber), "%u", (locState >> 8) % 100000);
		locText += locNumber;
		locText += (locState & 7) == 0 ? '\n' : ' ';
	}
	locText.resize(aSize);
	return locText;
}

bool MakeArchives(const std::filesystem::path& aFolder, size_t aSize)
{
	std::filesystem::path locSource = aFolder / "content";
	std::filesystem::create_directories(locSource);
	std::filesystem::path locFile = locSource / ourEntryName;
	if (!std::filesystem::exists(locFile) || std::filesystem::file_size(locFile) != aSize)
	{
		std::ofstream locOut(locFile, std::ios::binary);
		std::string locContent = Content(aSize);
		locOut.write(locContent.data(), static_cast<std::streamsize>(locContent.size()));
		if (!locOut)
			return false;
	}
	for (int locMethod = KF_SDF_STORED; locMethod <= KF_SDF_LZMA; ++locMethod)
	{
		std::filesystem::path locArchive = aFolder / (std::string(SDF_MethodName(locMethod)) + ".sdf");
		if (std::filesystem::exists(locArchive) &&
		    std::filesystem::last_write_time(locArchive) >= std::filesystem::last_write_time(locFile))
			continue;
		std::string locError;
		if (!SDF_Pack(locArchive.string().c_str(), locSource.string().c_str(), locMethod, KF_SDF_STORED, &locError))
		{
			std::fprintf(stderr, "sdf_read_bench: %s\n", locError.c_str());
			return false;
		}
	}
	return true;
}

double Milliseconds(std::chrono::steady_clock::time_point aStart)
{
	return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - aStart).count();
}

double Median(std::vector<double> aTimes)
{
	std::sort(aTimes.begin(), aTimes.end());
	size_t locMiddle = aTimes.size() / 2;
	return aTimes.size() % 2 ? aTimes[locMiddle] : (aTimes[locMiddle - 1] + aTimes[locMiddle]) / 2;
}

// The whole entry through the file layer, which holds it in memory; its size,
// 0 on failure.
size_t ReadThroughFileLayer()
{
	KF_File locFile;
	if (!locFile.Open(ourEntryName, OPEN_READ))
		return 0;
	size_t locSize = locFile.GetData() ? locFile.GetSize() : 0;
	locFile.Close();
	return locSize;
}

// A buffer left uninitialised, as the file layer's is.
struct Block
{
	explicit Block(size_t aSize) : myBytes(static_cast<unsigned char*>(std::malloc(aSize ? aSize : 1))) {}
	~Block() { std::free(myBytes); }
	unsigned char* myBytes;
};

// The stored bytes read from the archive and decoded by the library itself.
size_t ReadRaw(const char* anArchive, const KF_SDFEntry& anEntry)
{
	std::FILE* locFile = std::fopen(anArchive, "rb");
	if (!locFile)
		return 0;
	size_t locStoredSize = anEntry.myStoredSize;
	Block locStored(locStoredSize);
	bool locRead = locStored.myBytes && std::fseek(locFile, static_cast<long>(anEntry.myDataOffset), SEEK_SET) == 0 &&
	               std::fread(locStored.myBytes, 1, locStoredSize, locFile) == locStoredSize;
	std::fclose(locFile);
	if (!locRead)
		return 0;
	if (anEntry.myMethod == KF_SDF_STORED)
		return locStoredSize;
	Block locBytes(anEntry.myUnpackedSize);
	if (!locBytes.myBytes)
		return 0;
	if (anEntry.myMethod == KF_SDF_ZLIB)
	{
		uLongf locLength = anEntry.myUnpackedSize;
		if (uncompress(locBytes.myBytes, &locLength, locStored.myBytes, static_cast<uLong>(locStoredSize)) != Z_OK)
			return 0;
		return locLength;
	}
	if (locStoredSize < ourLzmaPropertiesSize)
		return 0;
	SizeT locLength = anEntry.myUnpackedSize;
	SizeT locSourceLength = locStoredSize - ourLzmaPropertiesSize;
	ELzmaStatus locStatus;
	if (LzmaDecode(locBytes.myBytes, &locLength, locStored.myBytes + ourLzmaPropertiesSize, &locSourceLength,
	               locStored.myBytes, ourLzmaPropertiesSize, LZMA_FINISH_ANY, &locStatus, &ourAllocator) != SZ_OK)
		return 0;
	return locLength;
}
}

int main(int argc, char** argv)
{
	if (argc < 2 || argc > 4)
	{
		std::fputs("usage: sdf_read_bench FOLDER [MIB [REPETITIONS]]\n", stderr);
		return 2;
	}
	std::filesystem::path locFolder = argv[1];
	int locMiB = argc > 2 ? std::atoi(argv[2]) : 64;
	int locRepetitions = argc > 3 ? std::atoi(argv[3]) : 5;
	if (locMiB <= 0 || locMiB > 512 || locRepetitions <= 0)
	{
		std::fputs("sdf_read_bench: MIB is 1 to 512, REPETITIONS at least 1\n", stderr);
		return 2;
	}
	size_t locSize = static_cast<size_t>(locMiB) << 20;
	if (!MakeArchives(locFolder, locSize))
		return 1;

	for (int locMethod = KF_SDF_STORED; locMethod <= KF_SDF_LZMA; ++locMethod)
	{
		std::string locArchive = (locFolder / (std::string(SDF_MethodName(locMethod)) + ".sdf")).string();
		KF_SDFEntry locEntry;
		if (!KF_SDF::Mount(locArchive.c_str(), true) || !KF_SDF::FindEntry(ourEntryName, true, NULL, &locEntry))
		{
			std::fprintf(stderr, "sdf_read_bench: cannot mount '%s'\n", locArchive.c_str());
			return 1;
		}
		std::vector<double> locLayerTimes;
		std::vector<double> locRawTimes;
		// Alternated, so that both see the same machine load.
		for (int i = 0; i < locRepetitions; ++i)
		{
			std::chrono::steady_clock::time_point locStart = std::chrono::steady_clock::now();
			size_t locLayerSize = ReadThroughFileLayer();
			locLayerTimes.push_back(Milliseconds(locStart));
			locStart = std::chrono::steady_clock::now();
			size_t locRawSize = ReadRaw(locArchive.c_str(), locEntry);
			locRawTimes.push_back(Milliseconds(locStart));
			if (locLayerSize != locSize || locRawSize != locSize)
			{
				std::fprintf(stderr, "sdf_read_bench: %s: read %zu and %zu bytes, not %zu\n",
				             SDF_MethodName(locMethod), locLayerSize, locRawSize, locSize);
				return 1;
			}
		}
		KF_SDF::Unmount(locArchive.c_str());
		double locLayer = Median(locLayerTimes);
		double locRaw = Median(locRawTimes);
		std::printf("sdf read %d MiB %s: file layer %.1f ms, raw %.1f ms, ratio %.2f\n", locMiB,
		            SDF_MethodName(locMethod), locLayer, locRaw, locRaw > 0 ? locLayer / locRaw : 0.0);
		std::fflush(stdout);
	}
	return 0;
}
