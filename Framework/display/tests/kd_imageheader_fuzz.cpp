// Any bytes as a TGA or BMP file: the header checks and the row copy stay
// inside the data they are given.
#include "kd_imageheader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
	if (aSize > 0xFFFFFFFFu)
		return 0;
	const uint32_t locSize = static_cast<uint32_t>(aSize);

	KD_TgaHeader locTga;
	uint32_t locOffset = 0;
	uint32_t locPixelSize = 0;
	if (KD_ReadTgaHeader(aData, locSize, locSize, &locTga, &locOffset, &locPixelSize) == KD_TGA_OK)
	{
		// A copy of exactly the pixel bytes, so that a read past them is caught.
		std::vector<unsigned char> locPixels(aData + locOffset, aData + locOffset + locPixelSize);
		const uint32_t locStride = KD_TgaStride(locTga);
		std::vector<unsigned char> locSection(static_cast<size_t>(locStride) * locTga.myHeight);
		KD_CopyTgaRows(locTga, locPixels.data(), locSection.data(), locStride);
	}

	KD_BmpHeader locBmp;
	KD_ReadBmpHeader(aData, locSize, locSize, &locBmp);
	// Only the first bytes in hand, as the loader reads them.
	if (locSize > KD_BMP_MAX_HEADER_SIZE)
		KD_ReadBmpHeader(aData, KD_BMP_MAX_HEADER_SIZE, locSize, &locBmp);
	return 0;
}
