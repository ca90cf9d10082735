#include "kd_imageheader.h"

#include <cstring>

namespace
{
uint16_t ReadU16(const unsigned char* aData)
{
	return static_cast<uint16_t>(aData[0] | (aData[1] << 8));
}

uint32_t ReadU32(const unsigned char* aData)
{
	return static_cast<uint32_t>(aData[0]) | (static_cast<uint32_t>(aData[1]) << 8) |
	       (static_cast<uint32_t>(aData[2]) << 16) | (static_cast<uint32_t>(aData[3]) << 24);
}

int32_t ReadI32(const unsigned char* aData)
{
	return static_cast<int32_t>(ReadU32(aData));
}

// BMP compression methods.
const uint32_t ourBmpRgb = 0;
const uint32_t ourBmpRle8 = 1;
const uint32_t ourBmpRle4 = 2;
const uint32_t ourBmpBitFields = 3;

// Run-length pictures decode to a bitmap the file does not bound: keep it sane.
const int64_t ourBmpMaxRlePixels = 64 * 1024 * 1024;
}

KD_TgaResult KD_ReadTgaHeader(const unsigned char* aData, uint32_t aSize, uint32_t aFileSize,
                              KD_TgaHeader* aHeader, uint32_t* aPixelOffset, uint32_t* aPixelSize)
{
	if (aSize < KD_TGA_HEADER_SIZE || aFileSize < KD_TGA_HEADER_SIZE)
		return KD_TGA_SHORT_HEADER;

	aHeader->myIdLength = aData[0];
	aHeader->myColorMapType = aData[1];
	aHeader->myImageType = aData[2];
	aHeader->myColorMapFirst = ReadU16(aData + 3);
	aHeader->myColorMapLength = ReadU16(aData + 5);
	aHeader->myColorMapEntrySize = aData[7];
	aHeader->myXOrigin = ReadU16(aData + 8);
	aHeader->myYOrigin = ReadU16(aData + 10);
	aHeader->myWidth = ReadU16(aData + 12);
	aHeader->myHeight = ReadU16(aData + 14);
	aHeader->myPixelDepth = aData[16];
	aHeader->myDescriptor = aData[17];

	if (aHeader->myImageType != 2 || (aHeader->myPixelDepth != 24 && aHeader->myPixelDepth != 32))
		return KD_TGA_ILLEGAL_TYPE;
	if (aHeader->myWidth == 0 || aHeader->myHeight == 0)
		return KD_TGA_NO_PIXELS;

	// The image ID and a colour map (present but unused in true-colour files)
	// lie between the header and the pixels.
	uint64_t locOffset = KD_TGA_HEADER_SIZE + aHeader->myIdLength;
	if (aHeader->myColorMapType == 1)
		locOffset += static_cast<uint64_t>(aHeader->myColorMapLength) * ((aHeader->myColorMapEntrySize + 7) / 8);
	uint64_t locPixelSize = static_cast<uint64_t>(KD_TgaRowSize(*aHeader)) * aHeader->myHeight;
	if (locOffset + locPixelSize > aFileSize)
		return KD_TGA_TRUNCATED;

	*aPixelOffset = static_cast<uint32_t>(locOffset);
	*aPixelSize = static_cast<uint32_t>(locPixelSize);
	return KD_TGA_OK;
}

uint32_t KD_TgaRowSize(const KD_TgaHeader& aHeader)
{
	return static_cast<uint32_t>(aHeader.myWidth) * (aHeader.myPixelDepth / 8);
}

uint32_t KD_TgaStride(const KD_TgaHeader& aHeader)
{
	return (KD_TgaRowSize(aHeader) + 3) & ~3u;
}

void KD_CopyTgaRows(const KD_TgaHeader& aHeader, const unsigned char* aPixels,
                    unsigned char* aDestination, uint32_t aStride)
{
	const uint32_t locRowSize = KD_TgaRowSize(aHeader);
	const bool locTopDown = (aHeader.myDescriptor & KD_TGA_TOP_DOWN) != 0;
	for (uint32_t locRow = 0; locRow < aHeader.myHeight; ++locRow)
	{
		const uint32_t locSourceRow = locTopDown ? aHeader.myHeight - 1 - locRow : locRow;
		unsigned char* locTarget = aDestination + static_cast<size_t>(locRow) * aStride;
		std::memcpy(locTarget, aPixels + static_cast<size_t>(locSourceRow) * locRowSize, locRowSize);
		if (aStride > locRowSize)
			std::memset(locTarget + locRowSize, 0, aStride - locRowSize);
	}
}

bool KD_ReadBmpHeader(const unsigned char* aData, uint32_t aSize, uint32_t aFileSize,
                      KD_BmpHeader* aHeader)
{
	if (aSize > aFileSize)
		aSize = aFileSize;
	if (aSize < 18 || aData[0] != 'B' || aData[1] != 'M')
		return false;

	aHeader->myFileSize = ReadU32(aData + 2);
	aHeader->myPixelOffset = ReadU32(aData + 10);
	aHeader->myInfoSize = ReadU32(aData + 14);
	const uint32_t locInfo = aHeader->myInfoSize;
	if (locInfo != 12 && (locInfo < 40 || locInfo > 124))
		return false;
	if (14 + locInfo > aSize)
		return false;

	const unsigned char* locInfoData = aData + 14;
	uint32_t locEntrySize = 4;
	uint32_t locMaskBytes = 0;
	if (locInfo == 12)
	{
		aHeader->myWidth = ReadU16(locInfoData + 4);
		aHeader->myHeight = ReadU16(locInfoData + 6);
		aHeader->myPlanes = ReadU16(locInfoData + 8);
		aHeader->myBitCount = ReadU16(locInfoData + 10);
		aHeader->myCompression = ourBmpRgb;
		aHeader->myImageSize = 0;
		aHeader->myColorsUsed = 0;
		locEntrySize = 3;
	}
	else
	{
		aHeader->myWidth = ReadI32(locInfoData + 4);
		aHeader->myHeight = ReadI32(locInfoData + 8);
		aHeader->myPlanes = ReadU16(locInfoData + 12);
		aHeader->myBitCount = ReadU16(locInfoData + 14);
		aHeader->myCompression = ReadU32(locInfoData + 16);
		aHeader->myImageSize = ReadU32(locInfoData + 20);
		aHeader->myColorsUsed = ReadU32(locInfoData + 32);
		// The plain info header is followed by the three masks of a bit-field picture.
		if (locInfo == 40 && aHeader->myCompression == ourBmpBitFields)
			locMaskBytes = 12;
	}

	const uint32_t locBits = aHeader->myBitCount;
	if (aHeader->myPlanes != 1 || aHeader->myWidth <= 0 || aHeader->myHeight == 0 ||
	    aHeader->myHeight == INT32_MIN)
		return false;
	if (locBits != 1 && locBits != 4 && locBits != 8 && locBits != 16 && locBits != 24 && locBits != 32)
		return false;

	const uint32_t locCompression = aHeader->myCompression;
	const bool locRunLength = locCompression == ourBmpRle8 || locCompression == ourBmpRle4;
	if (locCompression == ourBmpRle8 && locBits != 8)
		return false;
	if (locCompression == ourBmpRle4 && locBits != 4)
		return false;
	if (locCompression == ourBmpBitFields && locBits != 16 && locBits != 32)
		return false;
	if (locCompression > ourBmpBitFields)
		return false;
	// Run-length pictures are stored bottom-up only.
	if (locRunLength && aHeader->myHeight < 0)
		return false;

	uint64_t locColors = aHeader->myColorsUsed;
	if (locBits <= 8)
	{
		if (locColors == 0)
			locColors = 1u << locBits;
		else if (locColors > (1u << locBits))
			return false;
	}
	else if (locColors > 256)
		return false;
	const uint64_t locTableEnd = 14 + static_cast<uint64_t>(locInfo) + locMaskBytes + locColors * locEntrySize;
	if (locTableEnd > aFileSize || aHeader->myPixelOffset < 14 + locInfo)
		return false;

	const uint64_t locWidth = static_cast<uint64_t>(aHeader->myWidth);
	const uint64_t locHeight = aHeader->myHeight < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(aHeader->myHeight))
	                                                 : static_cast<uint64_t>(aHeader->myHeight);
	if (locRunLength)
	{
		if (locWidth * locHeight > static_cast<uint64_t>(ourBmpMaxRlePixels))
			return false;
		return aHeader->myImageSize != 0 &&
		       static_cast<uint64_t>(aHeader->myPixelOffset) + aHeader->myImageSize <= aFileSize;
	}
	const uint64_t locStride = ((locWidth * locBits + 31) / 32) * 4;
	return static_cast<uint64_t>(aHeader->myPixelOffset) + locStride * locHeight <= aFileSize;
}
