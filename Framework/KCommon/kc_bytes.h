#ifndef KC_BYTES_H
#define KC_BYTES_H

#include <cstdint>

// Little-endian 32-bit fields of the file formats, read and written byte by
// byte so that neither the host's byte order nor its alignment matters.
inline uint32_t KC_GetLittle32(const unsigned char* aBytes)
{
	return static_cast<uint32_t>(aBytes[0]) | (static_cast<uint32_t>(aBytes[1]) << 8) |
	       (static_cast<uint32_t>(aBytes[2]) << 16) | (static_cast<uint32_t>(aBytes[3]) << 24);
}

inline void KC_PutLittle32(unsigned char* aBytes, uint32_t aValue)
{
	aBytes[0] = static_cast<unsigned char>(aValue & 0xFF);
	aBytes[1] = static_cast<unsigned char>((aValue >> 8) & 0xFF);
	aBytes[2] = static_cast<unsigned char>((aValue >> 16) & 0xFF);
	aBytes[3] = static_cast<unsigned char>((aValue >> 24) & 0xFF);
}

#endif
