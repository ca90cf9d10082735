#include "linetable_lib.h"

#include "kc_stacktrace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include <zlib.h>

namespace
{
bool EndsWith(const std::string& aText, const std::string& anEnd)
{
	return aText.size() >= anEnd.size() && aText.compare(aText.size() - anEnd.size(), anEnd.size(), anEnd) == 0;
}

std::string BaseName(const std::string& aPath)
{
	size_t locSlash = aPath.find_last_of("/\\");
	return locSlash == std::string::npos ? aPath : aPath.substr(locSlash + 1);
}

bool IsNumber(const std::string& aText)
{
	return !aText.empty() && aText.find_first_not_of("0123456789") == std::string::npos;
}

bool IsHexAddress(const std::string& aText)
{
	return aText.size() > 2 && aText.compare(0, 2, "0x") == 0 &&
	       aText.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
}

// The path that a file header line names, or "" when the line is no header.
std::string HeaderPath(const std::string& aLine)
{
	std::string locText = aLine;
	while (!locText.empty() && (locText.back() == ' ' || locText.back() == '\r'))
		locText.pop_back();
	if (EndsWith(locText, ":[++]"))
		locText.resize(locText.size() - 5);
	else if (EndsWith(locText, ":"))
		locText.resize(locText.size() - 1);
	else
		return std::string();
	if (locText.compare(0, 4, "CU: ") == 0)
		locText = locText.substr(4);
	if (locText.empty() || locText.compare(0, 12, "Contents of ") == 0 ||
	    locText.find("file format") != std::string::npos)
		return std::string();
	return locText;
}

std::vector<std::string> Tokens(const std::string& aLine)
{
	std::istringstream locWords(aLine);
	std::vector<std::string> locTokens;
	std::string locToken;
	while (locWords >> locToken)
		locTokens.push_back(locToken);
	return locTokens;
}

// A row: name words, line (or "-"), address, then view and statement marks.
// Returns the index of the address, 0 when the tokens are no row.
size_t IsRow(const std::vector<std::string>& aTokens)
{
	size_t locAt = 0;
	for (size_t i = 2; i < aTokens.size(); ++i)
		if (IsHexAddress(aTokens[i]) && (IsNumber(aTokens[i - 1]) || aTokens[i - 1] == "-"))
			locAt = i;
	return locAt;
}

// The one path of aPaths with the base name aName; false when there is none or more.
bool OnlyPath(const std::map<std::string, std::set<std::string>>& aPaths, const std::string& aName,
              std::string* aPath)
{
	std::map<std::string, std::set<std::string>>::const_iterator locFound = aPaths.find(aName);
	if (locFound == aPaths.end() || locFound->second.size() != 1)
		return false;
	*aPath = *locFound->second.begin();
	return true;
}

// A file that no header names, found in the folder of its unit's source.
void BesideUnit(const std::string& aUnit, const std::string& aName, const std::string& aSourceRoot,
                std::string* aPath)
{
	size_t locSlash = aUnit.find_last_of('/');
	if (locSlash == std::string::npos || aName.find('/') != std::string::npos)
		return;
	std::string locPath = aUnit.substr(0, locSlash + 1) + aName;
	std::string locOnDisk = locPath[0] == '/' || aSourceRoot.empty() ? locPath : aSourceRoot + "/" + locPath;
	if (std::FILE* locFile = std::fopen(locOnDisk.c_str(), "rb"))
	{
		std::fclose(locFile);
		*aPath = locPath;
	}
}

// A path as the table keeps it: relative to the source root where it lies under it.
std::string SourceName(std::string aPath, const std::string& aSourceRoot)
{
	std::string locRoot = aSourceRoot;
	while (locRoot.size() > 1 && locRoot.back() == '/')
		locRoot.pop_back();
	if (!locRoot.empty() && aPath.size() > locRoot.size() + 1 && aPath.compare(0, locRoot.size(), locRoot) == 0 &&
	    aPath[locRoot.size()] == '/')
		aPath.erase(0, locRoot.size() + 1);
	while (aPath.compare(0, 2, "./") == 0 && aPath.size() > 2)
		aPath.erase(0, 2);
	return aPath;
}

const uint64_t ourSectionHeaderSize = 40;
const uint64_t ourSectionCode = 0x00000020;
const uint64_t ourSectionExecute = 0x20000000;

uint64_t ReadLittle(const unsigned char* aBytes, int aCount)
{
	uint64_t locValue = 0;
	for (int i = aCount - 1; i >= 0; --i)
		locValue = (locValue << 8) | aBytes[i];
	return locValue;
}

bool InCode(const std::vector<LT_CodeRange>& aRanges, uint64_t anAddress)
{
	for (const LT_CodeRange& locRange : aRanges)
		if (anAddress >= locRange.myStart && anAddress < locRange.myEnd)
			return true;
	return false;
}

bool ReadWholeFile(const std::string& aPath, std::vector<unsigned char>* aBytes)
{
	std::FILE* locFile = std::fopen(aPath.c_str(), "rb");
	if (!locFile)
		return false;
	unsigned char locChunk[65536];
	size_t locRead;
	aBytes->clear();
	while ((locRead = std::fread(locChunk, 1, sizeof(locChunk), locFile)) > 0)
		aBytes->insert(aBytes->end(), locChunk, locChunk + locRead);
	bool locOk = !std::ferror(locFile);
	std::fclose(locFile);
	return locOk;
}

void PutWord(std::vector<unsigned char>* aBytes, uint32_t aWord)
{
	for (int i = 0; i < 4; ++i)
		aBytes->push_back(static_cast<unsigned char>(aWord >> (8 * i)));
}
}

bool LT_ParseDecodedLines(std::istream& anInput, std::vector<LT_Row>* aRows, std::string* anError,
                          const std::string& aSourceRoot)
{
	// First pass: the lines, and the header paths of each unit and of the whole
	// output by their base names.
	std::vector<std::string> locLines;
	std::vector<size_t> locUnitOf;
	std::vector<std::map<std::string, std::set<std::string>>> locUnits(1);
	std::vector<std::string> locUnitPaths(1);
	std::map<std::string, std::set<std::string>> locAll;
	std::string locLine;
	while (std::getline(anInput, locLine))
	{
		if (locLine.compare(0, 4, "CU: ") == 0)
		{
			locUnits.emplace_back();
			locUnitPaths.push_back(HeaderPath(locLine));
		}
		std::string locPath = HeaderPath(locLine);
		if (!locPath.empty() && !IsRow(Tokens(locLine)))
		{
			locUnits.back()[BaseName(locPath)].insert(locPath);
			locAll[BaseName(locPath)].insert(locPath);
		}
		locLines.push_back(locLine);
		locUnitOf.push_back(locUnits.size() - 1);
	}

	std::string locHeader;
	for (size_t locIndex = 0; locIndex < locLines.size(); ++locIndex)
	{
		std::vector<std::string> locTokens = Tokens(locLines[locIndex]);
		size_t locAt = IsRow(locTokens);
		if (locAt == 0)
		{
			std::string locPath = HeaderPath(locLines[locIndex]);
			if (!locPath.empty())
				locHeader = locPath;
			continue;
		}
		if (locTokens[locAt - 1] == "-")
			continue;
		unsigned long long locAddress = std::strtoull(locTokens[locAt].c_str() + 2, NULL, 16);
		if (locAddress > 0xFFFFFFFFull || locTokens[locAt].size() > 18)
		{
			*anError = "address " + locTokens[locAt] +
			           " does not fit in 32 bits (link the executable below 4 GiB)";
			return false;
		}
		std::string locName = locTokens[0];
		for (size_t i = 1; i + 1 < locAt; ++i)
			locName += " " + locTokens[i];
		LT_Row locRow;
		locRow.myAddress = static_cast<uint32_t>(locAddress);
		unsigned long long locNumber = std::strtoull(locTokens[locAt - 1].c_str(), NULL, 10);
		locRow.myLine = locNumber > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(locNumber);
		std::string locFile = locName;
		if (!locHeader.empty() && BaseName(locHeader) == locName)
			locFile = locHeader;
		else if (!OnlyPath(locUnits[locUnitOf[locIndex]], locName, &locFile) &&
		         !OnlyPath(locAll, locName, &locFile))
			BesideUnit(locUnitPaths[locUnitOf[locIndex]], locName, aSourceRoot, &locFile);
		locRow.myFile = SourceName(locFile, aSourceRoot);
		aRows->push_back(locRow);
	}
	return true;
}

bool LT_ReadCodeRanges(const unsigned char* anImage, size_t aSize, std::vector<LT_CodeRange>* aRanges,
                       std::string* anError)
{
	aRanges->clear();
	*anError = "not a PE image";
	if (aSize < 0x40 || anImage[0] != 'M' || anImage[1] != 'Z')
		return false;
	uint64_t locHeader = ReadLittle(anImage + 0x3C, 4);
	if (locHeader + 24 > aSize || std::memcmp(anImage + locHeader, "PE\0\0", 4) != 0)
		return false;
	uint64_t locSections = ReadLittle(anImage + locHeader + 6, 2);
	uint64_t locOptionalSize = ReadLittle(anImage + locHeader + 20, 2);
	uint64_t locOptional = locHeader + 24;
	if (locOptionalSize < 32 || locOptional + locOptionalSize > aSize)
		return false;
	uint64_t locMagic = ReadLittle(anImage + locOptional, 2);
	uint64_t locBase;
	if (locMagic == 0x10B)
		locBase = ReadLittle(anImage + locOptional + 28, 4);
	else if (locMagic == 0x20B)
		locBase = ReadLittle(anImage + locOptional + 24, 8);
	else
		return false;
	uint64_t locTable = locOptional + locOptionalSize;
	if (locTable + locSections * ourSectionHeaderSize > aSize)
		return false;
	for (uint64_t i = 0; i < locSections; ++i)
	{
		const unsigned char* locSection = anImage + locTable + i * ourSectionHeaderSize;
		uint64_t locCharacteristics = ReadLittle(locSection + 36, 4);
		if (!(locCharacteristics & (ourSectionCode | ourSectionExecute)))
			continue;
		uint64_t locSize = ReadLittle(locSection + 8, 4);
		if (locSize == 0)
			locSize = ReadLittle(locSection + 16, 4);
		uint64_t locStart = locBase + ReadLittle(locSection + 12, 4);
		LT_CodeRange locRange = {locStart, locStart + locSize};
		aRanges->push_back(locRange);
	}
	anError->clear();
	return true;
}

size_t LT_KeepCodeRows(std::vector<LT_Row>* aRows, const std::vector<LT_CodeRange>& aRanges)
{
	size_t locBefore = aRows->size();
	aRows->erase(std::remove_if(aRows->begin(), aRows->end(),
	                            [&aRanges](const LT_Row& aRow) { return !InCode(aRanges, aRow.myAddress); }),
	             aRows->end());
	return locBefore - aRows->size();
}

bool LT_BuildTable(std::vector<LT_Row> aRows, std::vector<unsigned char>* aTable, LT_BuildReport* aReport,
                   std::string* anError)
{
	// One entry per address: the last row given for it.
	std::stable_sort(aRows.begin(), aRows.end(),
	                 [](const LT_Row& aFirst, const LT_Row& aSecond) { return aFirst.myAddress < aSecond.myAddress; });
	std::vector<LT_Row> locEntries;
	for (const LT_Row& locRow : aRows)
	{
		if (!locEntries.empty() && locEntries.back().myAddress == locRow.myAddress)
			locEntries.back() = locRow;
		else
			locEntries.push_back(locRow);
	}

	std::map<std::string, uint32_t> locOffsets;
	std::vector<unsigned char> locPool;
	LT_BuildReport locReport = {static_cast<unsigned int>(locEntries.size()), 0, 0, 0};
	std::vector<unsigned char> locTable;
	PutWord(&locTable, static_cast<uint32_t>(locEntries.size()));
	for (const LT_Row& locEntry : locEntries)
	{
		std::map<std::string, uint32_t>::iterator locFound = locOffsets.find(locEntry.myFile);
		uint32_t locOffset;
		if (locFound != locOffsets.end())
			locOffset = locFound->second;
		else
		{
			locOffset = static_cast<uint32_t>(locPool.size());
			if (locOffset >= KC_MAX_NAME_POOL)
			{
				*anError = "the file names need more than 131072 bytes, more than a table entry can address";
				return false;
			}
			locOffsets[locEntry.myFile] = locOffset;
			locPool.insert(locPool.end(), locEntry.myFile.begin(), locEntry.myFile.end());
			locPool.push_back(0);
		}
		uint32_t locLine = locEntry.myLine;
		if (locLine > KC_LINE_MASK)
		{
			locLine = KC_LINE_MASK;
			++locReport.myClampedLines;
		}
		PutWord(&locTable, locEntry.myAddress);
		PutWord(&locTable, locLine | (locOffset << KC_LINE_BITS));
	}
	locTable.insert(locTable.end(), locPool.begin(), locPool.end());
	// The reader wants the count below the table size over 8: pad a table
	// whose pool is shorter than one entry.
	while (locTable.size() / KC_LINE_ENTRY_SIZE <= locEntries.size())
		locTable.push_back(0);
	locReport.myPoolSize = static_cast<unsigned int>(locPool.size());
	*aTable = locTable;
	if (aReport)
		*aReport = locReport;
	return true;
}

bool LT_MakeChunk(const std::vector<unsigned char>& aTable, unsigned char aVersion,
                  std::vector<unsigned char>* aChunk, std::string* anError)
{
	uLongf locPackedSize = compressBound(aTable.size());
	std::vector<unsigned char> locPacked(locPackedSize);
	if (compress2(locPacked.data(), &locPackedSize, aTable.data(), aTable.size(), Z_BEST_COMPRESSION) != Z_OK)
	{
		*anError = "zlib could not compress the table";
		return false;
	}
	aChunk->clear();
	PutWord(aChunk, static_cast<uint32_t>(aTable.size()));
	aChunk->insert(aChunk->end(), locPacked.begin(), locPacked.begin() + locPackedSize);
	PutWord(aChunk, static_cast<uint32_t>(4 + locPackedSize));
	PutWord(aChunk, KC_LINE_TABLE_TAG | (static_cast<uint32_t>(aVersion) << 24));
	return true;
}

bool LT_EndsWithChunk(const unsigned char* aTail, size_t aSize)
{
	if (aSize < KC_LINE_TABLE_FOOTER_SIZE)
		return false;
	const unsigned char* locTag = aTail + aSize - 4;
	return locTag[0] == 'R' && locTag[1] == 'Y' && locTag[2] == 'S';
}

bool LT_FileEndsWithChunk(const std::string& aPath)
{
	std::FILE* locFile = std::fopen(aPath.c_str(), "rb");
	if (!locFile)
		return false;
	unsigned char locTail[KC_LINE_TABLE_FOOTER_SIZE];
	bool locHasChunk = std::fseek(locFile, -static_cast<long>(sizeof(locTail)), SEEK_END) == 0 &&
	                   std::fread(locTail, 1, sizeof(locTail), locFile) == sizeof(locTail) &&
	                   LT_EndsWithChunk(locTail, sizeof(locTail));
	std::fclose(locFile);
	return locHasChunk;
}

bool LT_AppendToExecutable(const std::string& anObjdump, const std::string& anExecutable,
                           LT_BuildReport* aReport, std::string* anError, const std::string& aSourceRoot)
{
	if (LT_FileEndsWithChunk(anExecutable))
	{
		*anError = anExecutable + " already ends with a line-number table";
		return false;
	}
	std::vector<unsigned char> locImage;
	std::vector<LT_CodeRange> locRanges;
	if (!ReadWholeFile(anExecutable, &locImage))
	{
		*anError = "cannot read " + anExecutable;
		return false;
	}
	if (!LT_ReadCodeRanges(locImage.data(), locImage.size(), &locRanges, anError))
	{
		*anError = anExecutable + ": " + *anError;
		return false;
	}

	std::string locCommand = "'" + anObjdump + "' --dwarf=decodedline --wide '" + anExecutable + "'";
	std::FILE* locPipe = popen(locCommand.c_str(), "r");
	if (!locPipe)
	{
		*anError = "cannot run " + anObjdump;
		return false;
	}
	std::string locText;
	char locChunk[65536];
	size_t locRead;
	while ((locRead = std::fread(locChunk, 1, sizeof(locChunk), locPipe)) > 0)
		locText.append(locChunk, locRead);
	if (pclose(locPipe) != 0)
	{
		*anError = anObjdump + " failed on " + anExecutable;
		return false;
	}

	std::istringstream locInput(locText);
	std::vector<LT_Row> locRows;
	if (!LT_ParseDecodedLines(locInput, &locRows, anError, aSourceRoot))
		return false;
	size_t locDropped = LT_KeepCodeRows(&locRows, locRanges);
	if (locRows.empty())
	{
		*anError = anExecutable + " holds no line information for its code (compile with -g)";
		return false;
	}
	std::vector<unsigned char> locTable, locBytes;
	if (!LT_BuildTable(locRows, &locTable, aReport, anError) || !LT_MakeChunk(locTable, 0, &locBytes, anError))
		return false;
	if (aReport)
		aReport->myDropped = static_cast<unsigned int>(locDropped);

	std::FILE* locFile = std::fopen(anExecutable.c_str(), "ab");
	if (!locFile || std::fwrite(locBytes.data(), 1, locBytes.size(), locFile) != locBytes.size() ||
	    std::fclose(locFile) != 0)
	{
		*anError = "cannot append to " + anExecutable;
		return false;
	}
	return true;
}

bool LT_CheckExecutable(const std::string& anExecutable, LT_CheckReport* aReport, std::string* anError)
{
	std::vector<unsigned char> locImage;
	std::vector<LT_CodeRange> locRanges;
	if (!ReadWholeFile(anExecutable, &locImage) || locImage.size() > 0xFFFFFFFFu)
	{
		*anError = "cannot read " + anExecutable;
		return false;
	}
	if (!LT_ReadCodeRanges(locImage.data(), locImage.size(), &locRanges, anError))
	{
		*anError = anExecutable + ": " + *anError;
		return false;
	}
	uint32_t locSize = 0;
	unsigned char* locTable = KC_ReadLineTable(locImage.data(), static_cast<uint32_t>(locImage.size()), &locSize);
	if (!locTable)
	{
		*anError = anExecutable + " holds no line-number table";
		return false;
	}
	uint32_t locCount = ReadLittle(locTable, 4);
	uint32_t locPool = 4 + locCount * KC_LINE_ENTRY_SIZE;
	LT_CheckReport locReport = {locCount, 0, 0};
	for (uint32_t i = 0; i < locCount; ++i)
	{
		const unsigned char* locEntry = locTable + 4 + i * KC_LINE_ENTRY_SIZE;
		if (!InCode(locRanges, ReadLittle(locEntry, 4)))
			++locReport.myOutsideCode;
		uint32_t locName = locPool + static_cast<uint32_t>(ReadLittle(locEntry + 4, 4) >> KC_LINE_BITS);
		bool locHasFolder = false;
		for (uint32_t locAt = locName; locAt < locSize && locTable[locAt]; ++locAt)
			locHasFolder = locHasFolder || locTable[locAt] == '/' || locTable[locAt] == '\\';
		if (!locHasFolder)
			++locReport.myBareNames;
	}
	delete[] locTable;
	*aReport = locReport;
	return true;
}
