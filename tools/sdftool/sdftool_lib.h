#ifndef SDFTOOL_LIB_H
#define SDFTOOL_LIB_H

// The work of sdftool: making, listing and reading SDF archives.

#include <cstdio>
#include <string>

// "stored", "zlib" or "lzma" to 0, 1 or 2; -1 for any other text.
int SDF_MethodFromName(const char* aName);
// The name of a method; "unknown" for 3.
const char* SDF_MethodName(int aMethod);

// Text of a file-layer error code.
const char* SDF_ErrorText(int aCode);

// The calendar text of a file-layer time stamp, "YYYY-MM-DD hh:mm:ss".
std::string SDF_StampText(unsigned int aStamp);

// Writes every file under aFolder into anArchive. On failure anError says why.
bool SDF_Pack(const char* anArchive, const char* aFolder, int anEntryMethod, int aDirectoryMethod,
              std::string* anError);

// Prints one line per entry: method, stored and unpacked size, stamp, path.
bool SDF_List(const char* anArchive, std::FILE* anOutput, std::string* anError);

// Writes an entry's bytes, read through the file layer, to anOutput.
bool SDF_Cat(const char* anArchive, const char* aName, std::FILE* anOutput, std::string* anError);

#endif
