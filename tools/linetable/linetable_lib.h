#ifndef LINETABLE_LIB_H
#define LINETABLE_LIB_H

// The work of linetable: the crash handler's line-number table, made from the
// decoded line information that binutils prints for an executable
// (objdump --dwarf=decodedline --wide), and appended to the executable.

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

// One row of the decoded line information.
struct LT_Row
{
	uint32_t myAddress;
	uint32_t myLine;
	std::string myFile;
};

// Reads the rows of objdump's decoded line output. A row takes the full path of
// the file header above it ("CU: path:" or "path:") when the header names the
// row's file; a row that objdump prints under another file's header takes the
// path of the header of its own name in the same unit, or the only such path of
// the whole output, else its own file column. Paths under aSourceRoot and paths
// starting "./" are written relative. End-of-sequence rows (line "-") carry no
// line and are left out. False, with anError, for an address that does not fit
// in 32 bits.
bool LT_ParseDecodedLines(std::istream& anInput, std::vector<LT_Row>* aRows, std::string* anError,
                          const std::string& aSourceRoot = std::string());

// An address range [myStart, myEnd) of code in the loaded image.
struct LT_CodeRange
{
	uint64_t myStart;
	uint64_t myEnd;
};

// The code sections (code or executable) of a PE image, at the image's own
// base. False, with anError, when the bytes are no PE image.
bool LT_ReadCodeRanges(const unsigned char* anImage, size_t aSize, std::vector<LT_CodeRange>* aRanges,
                       std::string* anError);

// Keeps the rows whose address lies in a code range (rows of code that the
// linker discarded keep their offset from 0); returns how many it dropped.
size_t LT_KeepCodeRows(std::vector<LT_Row>* aRows, const std::vector<LT_CodeRange>& aRanges);

// What LT_BuildTable did besides building.
struct LT_BuildReport
{
	unsigned int myEntries;
	unsigned int myClampedLines;  // lines above 32767, stored as 32767
	unsigned int myPoolSize;
	unsigned int myDropped;  // rows outside the code sections
};

// The table: entry count, entries sorted by address (one per address, the last
// row given for it), each the address and the packed word (line in the low 15
// bits, name-pool offset in the high 17), then the pool of zero-terminated
// names. False, with anError, when the pool would pass 17 bits of offset.
bool LT_BuildTable(std::vector<LT_Row> aRows, std::vector<unsigned char>* aTable, LT_BuildReport* aReport,
                   std::string* anError);

// A trailer chunk: uncompressed size, the table as a zlib stream, the body
// length and the tag "RYS" with aVersion in its high byte.
bool LT_MakeChunk(const std::vector<unsigned char>& aTable, unsigned char aVersion,
                  std::vector<unsigned char>* aChunk, std::string* anError);

// True when the bytes end with a tagged chunk footer.
bool LT_EndsWithChunk(const unsigned char* aTail, size_t aSize);

// True when the file ends with a tagged chunk footer.
bool LT_FileEndsWithChunk(const std::string& aPath);

// Runs anObjdump on anExecutable, keeps the rows of its code sections, builds
// the table and appends it as a version-0 chunk. Refuses a file that already
// ends with a chunk.
bool LT_AppendToExecutable(const std::string& anObjdump, const std::string& anExecutable,
                           LT_BuildReport* aReport, std::string* anError,
                           const std::string& aSourceRoot = std::string());

// What LT_CheckExecutable found in an executable's table.
struct LT_CheckReport
{
	unsigned int myEntries;
	unsigned int myOutsideCode;   // entries whose address lies in no code section
	unsigned int myBareNames;     // names without a folder
};

// Reads the table appended to anExecutable back and checks it against the
// executable's code sections. False, with anError, without a table.
bool LT_CheckExecutable(const std::string& anExecutable, LT_CheckReport* aReport, std::string* anError);

#endif
