#ifndef KD_PICTURE_BYTES_H
#define KD_PICTURE_BYTES_H

// Picture files for the display tests, put together byte by byte.

#include <cstdint>
#include <string>

inline void PutU16(std::string& aBytes, unsigned int aValue)
{
	aBytes += static_cast<char>(aValue & 0xFF);
	aBytes += static_cast<char>((aValue >> 8) & 0xFF);
}

inline void PutU32(std::string& aBytes, uint32_t aValue)
{
	PutU16(aBytes, aValue & 0xFFFF);
	PutU16(aBytes, aValue >> 16);
}

// The 18-byte Targa header.
inline std::string TgaHeader(int anImageType, unsigned int aWidth, unsigned int aHeight, int aDepth,
                             int aDescriptor = 0, int anIdLength = 0)
{
	std::string locBytes;
	locBytes += static_cast<char>(anIdLength);
	locBytes += '\0';                               // no colour map
	locBytes += static_cast<char>(anImageType);
	locBytes += std::string(5, '\0');               // colour-map fields
	PutU16(locBytes, 0);                            // x origin
	PutU16(locBytes, 0);                            // y origin
	PutU16(locBytes, aWidth);
	PutU16(locBytes, aHeight);
	locBytes += static_cast<char>(aDepth);
	locBytes += static_cast<char>(aDescriptor);
	return locBytes;
}

// One pixel as a TGA or BMP stores it: blue, green, red.
inline std::string Bgr(int aRed, int aGreen, int aBlue)
{
	std::string locBytes;
	locBytes += static_cast<char>(aBlue);
	locBytes += static_cast<char>(aGreen);
	locBytes += static_cast<char>(aRed);
	return locBytes;
}

// The 14-byte file header and the 40-byte info header of a BMP without a
// colour table; the pixels follow at byte 54.
inline std::string BmpHeaders(int aWidth, int aHeight, int aBitCount, uint32_t aPixelBytes,
                              uint32_t aCompression = 0)
{
	std::string locBytes = "BM";
	PutU32(locBytes, 54 + aPixelBytes);
	PutU32(locBytes, 0);                            // reserved
	PutU32(locBytes, 54);                           // pixel offset
	PutU32(locBytes, 40);
	PutU32(locBytes, static_cast<uint32_t>(aWidth));
	PutU32(locBytes, static_cast<uint32_t>(aHeight));
	PutU16(locBytes, 1);                            // planes
	PutU16(locBytes, aBitCount);
	PutU32(locBytes, aCompression);
	PutU32(locBytes, aPixelBytes);
	PutU32(locBytes, 2835);                         // 72 dots per inch, both ways
	PutU32(locBytes, 2835);
	PutU32(locBytes, 0);                            // colours used
	PutU32(locBytes, 0);                            // colours important
	return locBytes;
}

#endif
