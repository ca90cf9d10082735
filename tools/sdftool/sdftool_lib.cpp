#include "sdftool_lib.h"

#include "kc_bytes.h"
#include "kc_platform.h"
#include "kf_file.h"
#include "kf_sdf.h"

#include "LzmaEnc.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <vector>

// SDF_Pack writes the layout described in kf_sdf.h: the files' data back to
// back in path order right after the header; in the folder index the top
// folder first, then every folder that holds a file or a subfolder, in path order.

namespace
{
const uint32_t ourMaxStoredSize = KF_SDF_SIZE_MASK;
const int ourMaxDepth = 64;

struct PackedFile
{
	std::string myPath;    // relative, with slashes
	std::string myFolder;  // "" at the top
	std::string myName;
	std::string myStored;
	int myMethod;
	uint32_t myUnpackedSize;
	uint32_t myStamp;
	uint32_t myDataOffset;
	uint32_t myRecordOffset;
};

struct Folder
{
	std::vector<std::string> mySubfolders;
	std::vector<size_t> myFiles;
	uint32_t myTextOffset;
	uint32_t myRecordOffset;
};

void SetWord(std::string& aBytes, size_t anOffset, uint32_t aWord)
{
	KC_PutLittle32(reinterpret_cast<unsigned char*>(&aBytes[anOffset]), aWord);
}

void PutWord(std::string& aBytes, uint32_t aWord)
{
	aBytes.append(4, '\0');
	SetWord(aBytes, aBytes.size() - 4, aWord);
}

void Align4(std::string& aBytes)
{
	while (aBytes.size() % 4)
		aBytes += '\0';
}

void* LzmaAlloc(void*, size_t aSize)
{
	return std::malloc(aSize);
}

void LzmaFree(void*, void* anAddress)
{
	std::free(anAddress);
}

// The stored form of aContent with a method.
bool Compress(int aMethod, const std::string& aContent, std::string* aStored)
{
	if (aMethod == KF_SDF_STORED)
	{
		*aStored = aContent;
		return true;
	}
	if (aMethod == KF_SDF_ZLIB)
	{
		uLongf locLength = compressBound(static_cast<uLong>(aContent.size()));
		aStored->assign(locLength, '\0');
		if (compress2(reinterpret_cast<Bytef*>(&(*aStored)[0]), &locLength,
		              reinterpret_cast<const Bytef*>(aContent.data()), static_cast<uLong>(aContent.size()),
		              Z_BEST_COMPRESSION) != Z_OK)
			return false;
		aStored->resize(locLength);
		return true;
	}
	// LZMA: the 5-byte properties, then the raw stream without end mark; the
	// reader decodes exactly the unpacked size.
	ISzAlloc locAlloc = {LzmaAlloc, LzmaFree};
	CLzmaEncProps locProps;
	LzmaEncProps_Init(&locProps);
	locProps.level = 9;
	locProps.dictSize = 1 << 12;
	while (locProps.dictSize < aContent.size() && locProps.dictSize < (1u << 24))
		locProps.dictSize <<= 1;
	for (size_t locCapacity = aContent.size() + aContent.size() / 8 + 1024;; locCapacity *= 2)
	{
		aStored->assign(locCapacity + LZMA_PROPS_SIZE, '\0');
		SizeT locLength = locCapacity;
		SizeT locPropsSize = LZMA_PROPS_SIZE;
		SRes locResult = LzmaEncode(reinterpret_cast<Byte*>(&(*aStored)[LZMA_PROPS_SIZE]), &locLength,
		                            reinterpret_cast<const Byte*>(aContent.data()), aContent.size(), &locProps,
		                            reinterpret_cast<Byte*>(&(*aStored)[0]), &locPropsSize, 0, NULL, &locAlloc,
		                            &locAlloc);
		if (locResult == SZ_OK && locPropsSize == LZMA_PROPS_SIZE)
		{
			aStored->resize(LZMA_PROPS_SIZE + locLength);
			return true;
		}
		if (locResult != SZ_ERROR_OUTPUT_EOF)
			return false;
	}
}

std::string ErrorOf(const char* anArchive, const std::string& aWhat, int aCode)
{
	char locCode[96];
	std::snprintf(locCode, sizeof(locCode), ": file layer error %d (%s)", aCode, SDF_ErrorText(aCode));
	return std::string(anArchive) + ": " + aWhat + locCode;
}

struct WalkContext
{
	std::vector<std::pair<std::string, bool> > myEntries;
};

void CollectEntry(void* aContext, const char* aName, bool anIsDirectory)
{
	static_cast<WalkContext*>(aContext)->myEntries.push_back(std::make_pair(std::string(aName), anIsDirectory));
}

// Every file under aFolder as a path relative to it, with slashes, sorted.
bool CollectFiles(const std::string& aFolder, std::vector<std::string>* aFiles, std::string* anError)
{
	std::vector<std::pair<std::string, int> > locPending(1, std::make_pair(std::string(), 0));
	while (!locPending.empty())
	{
		std::pair<std::string, int> locCurrent = locPending.back();
		locPending.pop_back();
		WalkContext locContext;
		std::string locDisk = locCurrent.first.empty() ? aFolder : aFolder + "/" + locCurrent.first;
		if (!KC_PlatformListDirectory(locDisk.c_str(), CollectEntry, &locContext))
		{
			*anError = locDisk + ": cannot read the folder";
			return false;
		}
		for (size_t i = 0; i < locContext.myEntries.size(); ++i)
		{
			std::string locPath = locCurrent.first.empty() ? locContext.myEntries[i].first
			                                               : locCurrent.first + "/" + locContext.myEntries[i].first;
			if (!locContext.myEntries[i].second)
				aFiles->push_back(locPath);
			else if (locCurrent.second + 1 >= ourMaxDepth)
			{
				*anError = locDisk + ": folders nested too deep";
				return false;
			}
			else
				locPending.push_back(std::make_pair(locPath, locCurrent.second + 1));
		}
	}
	std::sort(aFiles->begin(), aFiles->end());
	return true;
}

std::string Upper(std::string aText)
{
	for (size_t i = 0; i < aText.size(); ++i)
		if (aText[i] >= 'a' && aText[i] <= 'z')
			aText[i] = static_cast<char>(aText[i] - 'a' + 'A');
	return aText;
}

std::string ParentOf(const std::string& aFolder)
{
	size_t locSlash = aFolder.rfind('/');
	return locSlash == std::string::npos ? std::string() : aFolder.substr(0, locSlash);
}

// The directory block for files whose data offsets are known.
std::string BuildDirectory(std::vector<PackedFile>& aFiles)
{
	std::map<std::string, Folder> locFolders;
	locFolders[""];
	for (size_t i = 0; i < aFiles.size(); ++i)
	{
		locFolders[aFiles[i].myFolder].myFiles.push_back(i);
		for (std::string locFolder = aFiles[i].myFolder; !locFolder.empty(); locFolder = ParentOf(locFolder))
		{
			Folder& locParent = locFolders[ParentOf(locFolder)];
			if (std::find(locParent.mySubfolders.begin(), locParent.mySubfolders.end(), locFolder) ==
			    locParent.mySubfolders.end())
				locParent.mySubfolders.push_back(locFolder);
			locFolders[locFolder];
		}
	}

	std::string locBlock;
	PutWord(locBlock, static_cast<uint32_t>(aFiles.size()));
	locBlock.append(8 * aFiles.size(), '\0');
	PutWord(locBlock, static_cast<uint32_t>(locFolders.size()));
	const size_t locFolderIndex = locBlock.size();
	locBlock.append(8 * locFolders.size(), '\0');

	// Folder records need the offsets of texts and entry records: lay out the
	// sizes first, then fill.
	size_t locRecords = locBlock.size();
	for (std::map<std::string, Folder>::iterator it = locFolders.begin(); it != locFolders.end(); ++it)
	{
		it->second.myRecordOffset = static_cast<uint32_t>(locRecords);
		locRecords += 8 + 4 * (it->second.mySubfolders.size() + it->second.myFiles.size());
	}
	locBlock.resize(locRecords, '\0');
	for (std::map<std::string, Folder>::iterator it = locFolders.begin(); it != locFolders.end(); ++it)
	{
		it->second.myTextOffset = static_cast<uint32_t>(locBlock.size());
		locBlock += it->first;
		locBlock += '\0';
		Align4(locBlock);
	}
	for (size_t i = 0; i < aFiles.size(); ++i)
	{
		PackedFile& locFile = aFiles[i];
		locFile.myRecordOffset = static_cast<uint32_t>(locBlock.size());
		PutWord(locBlock, locFile.myStamp);
		PutWord(locBlock, locFile.myUnpackedSize);
		PutWord(locBlock, static_cast<uint32_t>(locFile.myStored.size()) | (static_cast<uint32_t>(locFile.myMethod) << 30));
		PutWord(locBlock, locFile.myDataOffset);
		PutWord(locBlock, locFolders[locFile.myFolder].myTextOffset);
		locBlock += locFile.myName;
		locBlock += '\0';
		Align4(locBlock);
		SetWord(locBlock, 4 + 8 * i, KF_SDFNameChecksum(locFile.myPath.c_str()));
		SetWord(locBlock, 8 + 8 * i, locFile.myRecordOffset);
	}
	size_t locSlot = locFolderIndex;
	for (std::map<std::string, Folder>::iterator it = locFolders.begin(); it != locFolders.end(); ++it, locSlot += 8)
	{
		SetWord(locBlock, locSlot, KF_SDFNameChecksum(Upper(it->first).c_str()));
		SetWord(locBlock, locSlot + 4, it->second.myRecordOffset);
		size_t locAt = it->second.myRecordOffset;
		SetWord(locBlock, locAt, static_cast<uint32_t>(it->second.mySubfolders.size()));
		for (size_t s = 0; s < it->second.mySubfolders.size(); ++s)
			SetWord(locBlock, locAt += 4, locFolders[it->second.mySubfolders[s]].myTextOffset);
		SetWord(locBlock, locAt += 4, static_cast<uint32_t>(it->second.myFiles.size()));
		for (size_t f = 0; f < it->second.myFiles.size(); ++f)
			SetWord(locBlock, locAt += 4, aFiles[it->second.myFiles[f]].myRecordOffset);
	}
	return locBlock;
}
}

int SDF_MethodFromName(const char* aName)
{
	if (std::strcmp(aName, "stored") == 0)
		return KF_SDF_STORED;
	if (std::strcmp(aName, "zlib") == 0)
		return KF_SDF_ZLIB;
	if (std::strcmp(aName, "lzma") == 0)
		return KF_SDF_LZMA;
	return -1;
}

const char* SDF_MethodName(int aMethod)
{
	static const char* const ourNames[] = {"stored", "zlib", "lzma", "unknown"};
	return aMethod >= 0 && aMethod <= 3 ? ourNames[aMethod] : "unknown";
}

const char* SDF_ErrorText(int aCode)
{
	static const char* const ourTexts[] = {"no error",
	                                       "file not found or not openable",
	                                       "read, seek or decompression failure",
	                                       "out of memory while writing",
	                                       "archive signature wrong",
	                                       "archive directory corrupt",
	                                       "unknown compression method",
	                                       "file not open",
	                                       "file of 4 GiB or more"};
	return aCode >= 0 && aCode <= 8 ? ourTexts[aCode] : "unknown error";
}

std::string SDF_StampText(unsigned int aStamp)
{
	unsigned int locSeconds = aStamp % 60;
	unsigned int locMinutes = aStamp / 60 % 60;
	unsigned int locHours = aStamp / 3600 % 24;
	unsigned int locDays = aStamp / 86400;
	char locText[32];
	std::snprintf(locText, sizeof(locText), "%04u-%02u-%02u %02u:%02u:%02u", 2000 + locDays / 372,
	              locDays % 372 / 31 + 1, locDays % 31 + 1, locHours, locMinutes, locSeconds);
	return locText;
}

bool SDF_Pack(const char* anArchive, const char* aFolder, int anEntryMethod, int aDirectoryMethod,
              std::string* anError)
{
	std::string locFolder = aFolder;
	while (locFolder.size() > 1 && (locFolder.back() == '/' || locFolder.back() == '\\'))
		locFolder.pop_back();
	std::vector<std::string> locPaths;
	if (!CollectFiles(locFolder, &locPaths, anError))
		return false;

	std::vector<PackedFile> locFiles;
	std::string locData;
	uint64_t locOffset = 8;
	for (size_t i = 0; i < locPaths.size(); ++i)
	{
		PackedFile locFile;
		locFile.myPath = locPaths[i];
		std::string locDisk = locFolder + "/" + locFile.myPath;
		// The archive itself, when it lies in the folder, is left out.
		if (KC_PlatformCompareNoCase(locDisk.c_str(), anArchive) == 0)
			continue;
		if (locFile.myPath.size() >= KF_MAX_PATH)
		{
			*anError = locDisk + ": path longer than " + std::to_string(KF_MAX_PATH - 1) + " bytes";
			return false;
		}
		size_t locSlash = locFile.myPath.rfind('/');
		locFile.myFolder = locSlash == std::string::npos ? std::string() : locFile.myPath.substr(0, locSlash);
		locFile.myName = locSlash == std::string::npos ? locFile.myPath : locFile.myPath.substr(locSlash + 1);

		KF_File locInput;
		if (!locInput.Open(locDisk.c_str(), OPEN_READ))
		{
			*anError = ErrorOf(locDisk.c_str(), "cannot read", KF_GetLastError());
			return false;
		}
		std::string locContent(reinterpret_cast<const char*>(locInput.GetData() ? locInput.GetData()
		                                                                         : reinterpret_cast<const unsigned char*>("")),
		                       locInput.GetSize());
		locFile.myUnpackedSize = locInput.GetSize();
		locFile.myStamp = locInput.GetTimeStamp();
		locInput.Close();
		locFile.myMethod = anEntryMethod;
		if (!Compress(anEntryMethod, locContent, &locFile.myStored))
		{
			*anError = locDisk + ": cannot compress";
			return false;
		}
		if (locFile.myStored.size() > ourMaxStoredSize || locFile.myUnpackedSize > ourMaxStoredSize)
		{
			*anError = locDisk + ": too large for an archive entry";
			return false;
		}
		locFile.myDataOffset = static_cast<uint32_t>(locOffset);
		locOffset += locFile.myStored.size();
		if (locOffset > 0xFFFFFFFFULL)
		{
			*anError = std::string(anArchive) + ": archive would exceed 4 GiB";
			return false;
		}
		locFiles.push_back(locFile);
	}

	std::string locBlock = BuildDirectory(locFiles);
	std::string locStoredBlock;
	if (!Compress(aDirectoryMethod, locBlock, &locStoredBlock) || locStoredBlock.size() > ourMaxStoredSize ||
	    locOffset + 8 + locStoredBlock.size() > 0xFFFFFFFFULL)
	{
		*anError = std::string(anArchive) + ": cannot store the directory";
		return false;
	}

	std::string locHeader;
	PutWord(locHeader, KF_SDF_SIGNATURE);
	PutWord(locHeader, static_cast<uint32_t>(locOffset));
	std::string locDirectoryHeader;
	PutWord(locDirectoryHeader, static_cast<uint32_t>(locBlock.size()));
	PutWord(locDirectoryHeader,
	        static_cast<uint32_t>(locStoredBlock.size()) | (static_cast<uint32_t>(aDirectoryMethod) << 30));

	KF_File locOutput;
	bool locOk = locOutput.Open(anArchive, OPEN_WRITE) && locOutput.Write(locHeader.data(), 8);
	for (size_t i = 0; locOk && i < locFiles.size(); ++i)
		locOk = locOutput.Write(locFiles[i].myStored.data(), static_cast<unsigned int>(locFiles[i].myStored.size()));
	locOk = locOk && locOutput.Write(locDirectoryHeader.data(), 8) &&
	        locOutput.Write(locStoredBlock.data(), static_cast<unsigned int>(locStoredBlock.size()));
	int locCode = KF_GetLastError();
	if (locOutput.IsOpen() && !locOutput.Close() && locOk)
	{
		locOk = false;
		locCode = KF_GetLastError();
	}
	if (!locOk)
	{
		*anError = ErrorOf(anArchive, "cannot write", locCode);
		return false;
	}
	return true;
}

bool SDF_List(const char* anArchive, std::FILE* anOutput, std::string* anError)
{
	KF_SDF* locArchive = KF_SDF::Mount(anArchive, true);
	if (!locArchive)
	{
		*anError = ErrorOf(anArchive, "cannot mount", KF_GetLastError());
		return false;
	}
	std::fprintf(anOutput, "%-8s %10s %10s  %-19s  %s\n", "method", "stored", "unpacked", "stamp", "path");
	for (unsigned int i = 0; i < locArchive->GetEntryCount(); ++i)
	{
		KF_SDFEntry locEntry;
		locArchive->GetEntry(i, &locEntry);
		std::fprintf(anOutput, "%-8s %10u %10u  %s  %s%s%s\n", SDF_MethodName(locEntry.myMethod),
		             static_cast<unsigned int>(locEntry.myStoredSize), static_cast<unsigned int>(locEntry.myUnpackedSize),
		             SDF_StampText(locEntry.myTimeStamp).c_str(), locEntry.myFolderPath,
		             locEntry.myFolderPath[0] ? "/" : "", locEntry.myFileName);
	}
	KF_SDF::Unmount(anArchive);
	return true;
}

bool SDF_Cat(const char* anArchive, const char* aName, std::FILE* anOutput, std::string* anError)
{
	// Mounted with priority, so the archive's entry wins over a disk file of the same name.
	if (!KF_SDF::Mount(anArchive, true))
	{
		*anError = ErrorOf(anArchive, "cannot mount", KF_GetLastError());
		return false;
	}
	KF_File locFile;
	bool locOk = KF_SDF::FindEntry(aName, true, NULL, NULL);
	if (!locOk)
		*anError = ErrorOf(anArchive, std::string("no entry ") + aName, KF_ERROR_NOT_FOUND);
	else if (!(locOk = locFile.Open(aName, OPEN_READ)))
		*anError = ErrorOf(anArchive, std::string("cannot open ") + aName, KF_GetLastError());
	else if (locFile.GetSize() > 0 &&
	         std::fwrite(locFile.GetData(), 1, locFile.GetSize(), anOutput) != locFile.GetSize())
	{
		*anError = std::string(anArchive) + ": cannot write " + aName + " to the output";
		locOk = false;
	}
	locFile.Close();
	KF_SDF::Unmount(anArchive);
	return locOk;
}
