#ifndef KF_FILE_H
#define KF_FILE_H

#include "kc_platform.h"

// The file object. A read-mode file is found in the archives mounted with
// priority, then on disk, then in the archives mounted without priority, and is
// normally held whole in memory. A write-mode file is built in memory and
// written to disk in one piece by Close.

enum
{
	KFILE_NOT_OPEN = 0x00,
	OPEN_READ = 0x01,
	OPEN_WRITE = 0x02,          // content kept in memory, written at Close
	OPEN_APPEND = 0x04,         // implies OPEN_WRITE and OPEN_KEEP_EXISTING; starts at the end
	OPEN_KEEP_EXISTING = 0x08,  // write mode loads an existing file instead of truncating it
	OPEN_STREAMING = 0x10,      // read mode reads through the operating system
	OPEN_COMPRESSED = 0x20      // read mode only, not with OPEN_STREAMING
};

// Last-error codes of the file layer (0 after a successful open).
enum
{
	KF_ERROR_NONE = 0,
	KF_ERROR_NOT_FOUND = 1,          // file not found or not openable
	KF_ERROR_READ = 2,               // read, seek or decompression failure
	KF_ERROR_OUT_OF_MEMORY = 3,      // out of memory while writing
	KF_ERROR_BAD_SIGNATURE = 4,      // archive signature wrong
	KF_ERROR_BAD_DIRECTORY = 5,      // archive directory corrupt
	KF_ERROR_UNKNOWN_METHOD = 6,     // unknown compression method
	KF_ERROR_NOT_OPEN = 7,           // close of a file that is not open
	KF_ERROR_TOO_LARGE = 8           // file of 4 GiB or more
};

// Longest path that the file layer keeps, terminator included.
const unsigned int KF_MAX_PATH = 256;

class KF_File
{
public:
	KF_File();
	~KF_File();

	bool Open(const char* aFileName, unsigned int aMode);
	bool Close();

	// Copies up to aCount bytes at the position and advances; returns the count read.
	unsigned int Read(void* aDestination, unsigned int aCount);
	// A 32-bit little-endian number; false (destination untouched) when 4 bytes are not there.
	bool ReadInt(int* aDestination);
	bool Write(const void* aSource, unsigned int aCount);
	// anOrigin 0 from the start, 1 from the position, 2 back from the end.
	bool Seek(int anOffset, int anOrigin);
	unsigned int GetPosition() const;

	// The next logical line, NUL-terminated, at most aBufferSize - 1 bytes: CR LF
	// ends a line, "//" starts a comment, white space is trimmed, empty and
	// comment-only lines are skipped. At the end of the file the result is empty.
	void ReadLine(char* aBuffer, unsigned int aBufferSize);

	bool IsOpen() const { return myFlags != KFILE_NOT_OPEN; }
	unsigned int GetFlags() const { return myFlags; }
	unsigned int GetSize() const { return myFileSize; }
	unsigned int GetTimeStamp() const { return myTimeStamp; }
	// The content of a file held in memory (null for streaming and empty files).
	const unsigned char* GetData() const { return myData; }
	// The bytes from the position on, without advancing (Seek moves on): the
	// rest of a file held in memory, or the read-ahead window of a streaming
	// file, refilled when fewer than aWanted bytes (at most KF_WINDOW_SIZE) are
	// at hand. anAvailable receives their count, 0 at the end or on a failure.
	const unsigned char* Peek(unsigned int aWanted, unsigned int& anAvailable);

	enum
	{
		KF_WINDOW_SIZE = 65536
	};

private:
	friend class KF_SDF;

	KF_File(const KF_File&);
	KF_File& operator=(const KF_File&);

	bool OpenForReading(const char* aFileName);
	bool OpenForWriting(const char* aFileName);
	unsigned int ReadStreaming(void* aDestination, unsigned int aCount);

	unsigned int myFlags;
	unsigned char* myData;
	unsigned int myFileSize;
	unsigned int myFilePos;
	unsigned int myTimeStamp;
	unsigned int myCapacity;
	KC_FileHandle myFileHand;
	unsigned char myLineContinues;
	// The read-ahead window of a streaming file: myWindowFill bytes of the file
	// from myWindowStart on. The handle stands at their end, the position
	// within them.
	unsigned char* myWindow;
	unsigned int myWindowStart;
	unsigned int myWindowFill;
};

// The last-error code of the file layer.
int KF_GetLastError();
void KF_SetLastError(int aCode);

// Time stamp: seconds since 2000-01-01 in a calendar of 31-day months and
// 372-day years; 0 for a date outside 2000 to 2133 or a field out of range.
// Only ever compared with other stamps.
unsigned int KF_MakeTimeStamp(const KC_PlatformTime& aTime);

// These search like Open: archives with priority, disk, archives without priority.
bool FileExists(const char* aFileName);
bool GetFileTime(const char* aFileName, unsigned int* aTime);
// anArchivePath (may be null) receives the holding archive's path, or "" for a
// disk file, cut to aPathSize bytes.
bool GetFileInfo(const char* aFileName, unsigned int* aTime, unsigned int* aSize,
                 char* anArchivePath, unsigned int aPathSize = KF_MAX_PATH);

// Creates the directory named by the text before every slash or backslash.
void MakeDirectories(const char* aPath);

#endif
