#include "linetable_lib.h"

#include "kc_stacktrace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
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

void PutWord(std::vector<unsigned char>* aBytes, uint32_t aWord)
{
	for (int i = 0; i < 4; ++i)
		aBytes->push_back(static_cast<unsigned char>(aWord >> (8 * i)));
}
}

bool LT_ParseDecodedLines(std::istream& anInput, std::vector<LT_Row>* aRows, std::string* anError)
{
	std::string locLine;
	std::string locHeader;
	while (std::getline(anInput, locLine))
	{
		std::istringstream locWords(locLine);
		std::vector<std::string> locTokens;
		std::string locToken;
		while (locWords >> locToken)
			locTokens.push_back(locToken);

		// A row: name words, line (or "-"), address, then view and statement marks.
		size_t locAt = 0;
		for (size_t i = 2; i < locTokens.size(); ++i)
			if (IsHexAddress(locTokens[i]) && (IsNumber(locTokens[i - 1]) || locTokens[i - 1] == "-"))
				locAt = i;
		if (locAt == 0)
		{
			std::string locPath = HeaderPath(locLine);
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
		locRow.myFile = (!locHeader.empty() && BaseName(locHeader) == locName) ? locHeader : locName;
		aRows->push_back(locRow);
	}
	return true;
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
	LT_BuildReport locReport = {static_cast<unsigned int>(locEntries.size()), 0, 0};
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
                           LT_BuildReport* aReport, std::string* anError)
{
	if (LT_FileEndsWithChunk(anExecutable))
	{
		*anError = anExecutable + " already ends with a line-number table";
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
	if (!LT_ParseDecodedLines(locInput, &locRows, anError))
		return false;
	if (locRows.empty())
	{
		*anError = anExecutable + " holds no line information (compile with -g)";
		return false;
	}
	std::vector<unsigned char> locTable, locBytes;
	if (!LT_BuildTable(locRows, &locTable, aReport, anError) || !LT_MakeChunk(locTable, 0, &locBytes, anError))
		return false;

	std::FILE* locFile = std::fopen(anExecutable.c_str(), "ab");
	if (!locFile || std::fwrite(locBytes.data(), 1, locBytes.size(), locFile) != locBytes.size() ||
	    std::fclose(locFile) != 0)
	{
		*anError = "cannot append to " + anExecutable;
		return false;
	}
	return true;
}
