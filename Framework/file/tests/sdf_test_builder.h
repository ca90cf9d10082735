#ifndef KF_SDF_TEST_BUILDER_H
#define KF_SDF_TEST_BUILDER_H

// Assembles SDF archives for the tests, field by field, with zlib and the LZMA
// SDK encoder for compressed parts. Independent of the archive tool.

#include "LzmaEnc.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

struct TestEntry
{
	std::string myFolder;
	std::string myName;
	std::string myContent;
	int myMethod;
	uint32_t myStamp;
};

inline void PutWord(std::string& aBytes, uint32_t aWord)
{
	for (int i = 0; i < 4; ++i)
		aBytes += static_cast<char>((aWord >> (8 * i)) & 0xFF);
}

inline void SetWord(std::string& aBytes, size_t anOffset, uint32_t aWord)
{
	for (int i = 0; i < 4; ++i)
		aBytes[anOffset + i] = static_cast<char>((aWord >> (8 * i)) & 0xFF);
}

inline void Align4(std::string& aBytes)
{
	while (aBytes.size() % 4)
		aBytes += '\0';
}

inline void* TestLzmaAlloc(void*, size_t aSize) { return std::malloc(aSize); }
inline void TestLzmaFree(void*, void* anAddress) { std::free(anAddress); }

// The stored form of a text: method 1 a zlib stream, method 2 the 5-byte LZMA
// properties and the raw stream without end mark; others unchanged.
inline std::string Pack(int aMethod, const std::string& aContent)
{
	if (aMethod == 1)
	{
		uLongf locLength = compressBound(static_cast<uLong>(aContent.size()));
		std::string locOut(locLength, '\0');
		compress2(reinterpret_cast<Bytef*>(&locOut[0]), &locLength,
		          reinterpret_cast<const Bytef*>(aContent.data()), static_cast<uLong>(aContent.size()), 9);
		locOut.resize(locLength);
		return locOut;
	}
	if (aMethod == 2)
	{
		ISzAlloc locAlloc = {TestLzmaAlloc, TestLzmaFree};
		CLzmaEncProps locProps;
		LzmaEncProps_Init(&locProps);
		locProps.dictSize = 1 << 16;
		SizeT locLength = aContent.size() + aContent.size() / 2 + 1024;
		std::string locOut(locLength + 5, '\0');
		unsigned char locHeader[5];
		SizeT locHeaderSize = 5;
		LzmaEncode(reinterpret_cast<Byte*>(&locOut[5]), &locLength,
		           reinterpret_cast<const Byte*>(aContent.data()), aContent.size(), &locProps, locHeader,
		           &locHeaderSize, 0, NULL, &locAlloc, &locAlloc);
		locOut.replace(0, 5, reinterpret_cast<const char*>(locHeader), 5);
		locOut.resize(5 + locLength);
		return locOut;
	}
	return aContent;
}

inline uint32_t TestChecksum(const std::string& aFolder, const std::string& aName)
{
	std::string locPath = aFolder.empty() ? aName : aFolder + "/" + aName;
	for (char& locByte : locPath)
		if (locByte >= 'a' && locByte <= 'z')
			locByte = static_cast<char>(locByte - 'a' + 'A');
	return static_cast<uint32_t>(adler32(1L, reinterpret_cast<const Bytef*>(locPath.data()),
	                                     static_cast<uInt>(locPath.size())));
}

// The directory block: entry index, one folder with an empty record, folder
// paths, entry records (data offsets from aDataOffsets).
inline std::string TestDirectory(const std::vector<TestEntry>& anEntries, const std::vector<uint32_t>& aDataOffsets,
                                 const std::vector<std::string>& aStored)
{
	std::string locBlock;
	PutWord(locBlock, static_cast<uint32_t>(anEntries.size()));
	for (size_t i = 0; i < anEntries.size(); ++i)
	{
		PutWord(locBlock, TestChecksum(anEntries[i].myFolder, anEntries[i].myName));
		PutWord(locBlock, 0);
	}
	PutWord(locBlock, 1);
	PutWord(locBlock, 0);
	size_t locFolderSlot = locBlock.size();
	PutWord(locBlock, 0);
	SetWord(locBlock, locFolderSlot, static_cast<uint32_t>(locBlock.size()));
	PutWord(locBlock, 0);
	PutWord(locBlock, 0);
	for (size_t i = 0; i < anEntries.size(); ++i)
	{
		const TestEntry& locEntry = anEntries[i];
		uint32_t locFolder = static_cast<uint32_t>(locBlock.size());
		locBlock += locEntry.myFolder + '\0';
		Align4(locBlock);
		SetWord(locBlock, 8 + 8 * i, static_cast<uint32_t>(locBlock.size()));
		PutWord(locBlock, locEntry.myStamp);
		PutWord(locBlock, static_cast<uint32_t>(locEntry.myContent.size()));
		PutWord(locBlock, static_cast<uint32_t>(aStored[i].size()) | (static_cast<uint32_t>(locEntry.myMethod) << 30));
		PutWord(locBlock, aDataOffsets[i]);
		PutWord(locBlock, locFolder);
		locBlock += locEntry.myName + '\0';
		Align4(locBlock);
	}
	return locBlock;
}

inline std::string TestArchive(const std::vector<TestEntry>& anEntries, int aDirectoryMethod = 0)
{
	std::string locArchive;
	PutWord(locArchive, 0x09535952);
	PutWord(locArchive, 0);
	std::vector<uint32_t> locOffsets;
	std::vector<std::string> locStored;
	for (const TestEntry& locEntry : anEntries)
	{
		locStored.push_back(Pack(locEntry.myMethod, locEntry.myContent));
		locOffsets.push_back(static_cast<uint32_t>(locArchive.size()));
		locArchive += locStored.back();
	}
	std::string locBlock = TestDirectory(anEntries, locOffsets, locStored);
	std::string locPacked = Pack(aDirectoryMethod, locBlock);
	SetWord(locArchive, 4, static_cast<uint32_t>(locArchive.size()));
	PutWord(locArchive, static_cast<uint32_t>(locBlock.size()));
	PutWord(locArchive, static_cast<uint32_t>(locPacked.size()) | (static_cast<uint32_t>(aDirectoryMethod) << 30));
	return locArchive + locPacked;
}

// Reads a hand-written archive: two hex digits per byte, u32:N little-endian
// words, "text" bytes, # comments.
inline std::string ReadHexArchive(const std::string& aName)
{
	std::ifstream locStream(aName);
	std::string locBytes, locLine;
	while (std::getline(locStream, locLine))
	{
		size_t locPos = 0;
		while (locPos < locLine.size())
		{
			char locByte = locLine[locPos];
			if (locByte == '#')
				break;
			if (locByte == ' ' || locByte == '\t' || locByte == '\r')
			{
				++locPos;
				continue;
			}
			if (locByte == '"')
			{
				size_t locEnd = locLine.find('"', locPos + 1);
				locBytes += locLine.substr(locPos + 1, locEnd - locPos - 1);
				locPos = locEnd + 1;
				continue;
			}
			size_t locEnd = locLine.find_first_of(" \t\r#", locPos);
			std::string locToken = locLine.substr(locPos, locEnd == std::string::npos ? std::string::npos : locEnd - locPos);
			locPos = locEnd == std::string::npos ? locLine.size() : locEnd;
			if (locToken.compare(0, 4, "u32:") == 0)
				PutWord(locBytes, static_cast<uint32_t>(std::strtoul(locToken.c_str() + 4, NULL, 0)));
			else
				locBytes += static_cast<char>(std::strtoul(locToken.c_str(), NULL, 16));
		}
	}
	return locBytes;
}

#endif
