#ifndef KF_SDF_H
#define KF_SDF_H

#include "kc_platform.h"

#include <stdint.h>

class KF_File;

// SDF archives: one file holding many, each stored plain or compressed with zlib
// or LZMA, with a directory at its end. Mounted archives form a program-wide
// list searched by the file layer: those mounted with priority before the disk,
// the others after it. Archives are only read.
//
// Layout; every word is 32 bits, little-endian:
//
//   header (8 bytes): KF_SDF_SIGNATURE, archive offset of the directory header
//   the stored data of the files, each at the data offset of its entry record
//     (LZMA data starts with the 5-byte properties header)
//   directory header (8 bytes): unpacked size of the directory block, then its
//     stored size with the method in bits 30 and 31
//   directory block (offsets below are from the start of the unpacked block):
//     entry count E, then E pairs: KF_SDFNameChecksum of the full path, offset
//       of the entry record
//     folder count F, then F pairs: checksum of the upper-cased folder path (the
//       top folder "" first), offset of the folder record
//     folder records: A = number of direct subfolders and the offsets of their
//       folder path texts; B = number of files directly in the folder and the
//       offsets of their entry records
//     folder path texts, NUL-terminated, each at a 4-aligned offset
//     entry records, each at a 4-aligned offset: time stamp, unpacked size,
//       stored size with the method, data offset, folder path offset, file name
//       (NUL-terminated)

const uint32_t KF_SDF_SIGNATURE = 0x09535952;  // "RYS\t"

// Compression methods, bits 30 and 31 of a stored-size word.
enum
{
	KF_SDF_STORED = 0,
	KF_SDF_ZLIB = 1,
	KF_SDF_LZMA = 2,
	KF_SDF_UNSUPPORTED = 3
};

const uint32_t KF_SDF_SIZE_MASK = 0x3FFFFFFF;
const int KF_SDF_METHOD_SHIFT = 30;

// One entry record of a mounted archive's directory.
struct KF_SDFEntry
{
	uint32_t myTimeStamp;
	uint32_t myUnpackedSize;
	uint32_t myStoredSize;
	int myMethod;
	uint32_t myDataOffset;
	const char* myFolderPath;  // "" for files at the top
	const char* myFileName;
};

// The Adler-32 checksum by which an archive indexes a path: backslashes become
// slashes and the letters a to z are upper-cased first.
uint32_t KF_SDFNameChecksum(const char* aPath);

class KF_SDF
{
public:
	// Mounts an archive, or counts one more reference to it when a path equal
	// without regard to case is mounted already. Null on failure (last-error code set).
	static KF_SDF* Mount(const char* aPath, bool aPriority, bool aFlag = false);
	// False when no archive of that path is mounted. A null path unmounts every archive.
	static bool Unmount(const char* aPath);

	// The first usable archive of that priority holding aName. Either out pointer may be null.
	static bool FindEntry(const char* aName, bool aPriority, const char** anArchivePath, KF_SDFEntry* anEntry);
	// Fills aFile (opened by the caller's Open) with the entry's content. When no
	// archive holds the name the result is false with last-error code 1.
	static bool OpenEntry(const char* aName, KF_File* aFile, bool aPriority);

	static KF_SDF* GetFirst() { return ourFirst; }
	KF_SDF* GetNext() const { return myNext; }

	const char* GetPath() const { return myPath; }
	unsigned int GetReferenceCount() const { return myReferenceCount; }
	bool HasPriority() const { return myPriority != 0; }
	bool IsUsable() const { return myUsable != 0; }
	unsigned int GetEntryCount() const { return myEntryCount; }
	void GetEntry(unsigned int anIndex, KF_SDFEntry* anEntry) const;

private:
	KF_SDF();
	~KF_SDF();
	KF_SDF(const KF_SDF&);
	KF_SDF& operator=(const KF_SDF&);

	static bool Find(const char* aName, bool aPriority, KF_SDF** anArchive, KF_SDFEntry* anEntry);
	bool OpenArchive(const char* aPath);
	bool CheckDirectory();
	bool ReadEntryData(const KF_SDFEntry& anEntry, KF_File* aFile);
	void Unlink();

	static KF_SDF* ourFirst;

	unsigned int myReferenceCount;
	KF_SDF* myNext;
	KF_SDF* myPrevious;
	unsigned char myPriority;
	unsigned char myFlag;
	unsigned char myUsable;
	char* myPath;
	unsigned char* myBlock;       // the unpacked directory, zero-padded behind its end
	uint32_t myBlockSize;
	uint32_t myEntryCount;
	const unsigned char** myEntryRecords;  // the entry index turned into pointers into the block
	uint32_t* myEntryChecksums;
	KC_FileHandle myHandle;
	uint64_t myArchiveSize;
};

#endif
