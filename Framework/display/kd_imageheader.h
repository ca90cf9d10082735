#ifndef KD_IMAGEHEADER_H
#define KD_IMAGEHEADER_H

#include <stdint.h>

// Header checks of the picture files the display layer loads. Portable: they
// look only at bytes, and accept a header only when everything it points at
// lies inside the file.

// A Targa header, 18 bytes, little-endian.
struct KD_TgaHeader
{
	unsigned char myIdLength;
	unsigned char myColorMapType;
	unsigned char myImageType;
	unsigned short myColorMapFirst;
	unsigned short myColorMapLength;
	unsigned char myColorMapEntrySize;
	unsigned short myXOrigin;
	unsigned short myYOrigin;
	unsigned short myWidth;
	unsigned short myHeight;
	unsigned char myPixelDepth;
	unsigned char myDescriptor;
};

const unsigned int KD_TGA_HEADER_SIZE = 18;
// Descriptor bit: the first stored row is the top one.
const unsigned char KD_TGA_TOP_DOWN = 0x20;

enum KD_TgaResult
{
	KD_TGA_OK = 0,
	KD_TGA_SHORT_HEADER,   // fewer than 18 bytes
	KD_TGA_ILLEGAL_TYPE,   // not uncompressed true-colour of 24 or 32 bits
	KD_TGA_NO_PIXELS,      // width or height 0
	KD_TGA_TRUNCATED       // the pixels reach past the end of the file
};

// Reads the header of a TGA file of aFileSize bytes, of which aData holds the
// first aSize (at least the smaller of the two and 18), and checks that its
// pixels lie inside the file. On KD_TGA_OK *aPixelOffset and *aPixelSize give them.
KD_TgaResult KD_ReadTgaHeader(const unsigned char* aData, uint32_t aSize, uint32_t aFileSize,
                              KD_TgaHeader* aHeader, uint32_t* aPixelOffset, uint32_t* aPixelSize);

// Bytes of one stored row, and of one row on a 4-byte stride.
uint32_t KD_TgaRowSize(const KD_TgaHeader& aHeader);
uint32_t KD_TgaStride(const KD_TgaHeader& aHeader);

// Copies the pixel rows of a checked header into aDestination, one row per
// aStride bytes, bottom row first; top-down files are turned over.
void KD_CopyTgaRows(const KD_TgaHeader& aHeader, const unsigned char* aPixels,
                    unsigned char* aDestination, uint32_t aStride);

// The start of a Windows BMP file as far as the loader checks it.
struct KD_BmpHeader
{
	uint32_t myFileSize;       // as stored
	uint32_t myPixelOffset;
	uint32_t myInfoSize;       // 12 for the old core header
	int32_t myWidth;
	int32_t myHeight;          // negative for top-down rows
	uint16_t myPlanes;
	uint16_t myBitCount;
	uint32_t myCompression;
	uint32_t myImageSize;
	uint32_t myColorsUsed;
};

// Bytes a BMP check needs at most: the file header and the largest info header.
const uint32_t KD_BMP_MAX_HEADER_SIZE = 14 + 124;

// Reads the headers of a BMP file of aFileSize bytes, of which aData holds the
// first aSize (at least the smaller of the two and KD_BMP_MAX_HEADER_SIZE), and
// checks that the colour table and the pixels lie inside the file. False for
// anything the system's loader could read past.
bool KD_ReadBmpHeader(const unsigned char* aData, uint32_t aSize, uint32_t aFileSize,
                      KD_BmpHeader* aHeader);

#endif
