#include "kd_imageheader.h"
#include "picture_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const unsigned char* Bytes(const std::string& aText)
{
	return reinterpret_cast<const unsigned char*>(aText.data());
}

KD_TgaResult ReadTga(const std::string& aFile, KD_TgaHeader* aHeader, uint32_t* anOffset, uint32_t* aSize)
{
	const uint32_t locSize = static_cast<uint32_t>(aFile.size());
	return KD_ReadTgaHeader(Bytes(aFile), locSize, locSize, aHeader, anOffset, aSize);
}

bool ReadBmp(const std::string& aFile)
{
	KD_BmpHeader locHeader;
	const uint32_t locSize = static_cast<uint32_t>(aFile.size());
	return KD_ReadBmpHeader(Bytes(aFile), locSize, locSize, &locHeader);
}
}

TEST(TgaHeader, AcceptsOnlyUncompressedTrueColourOf24Or32Bits)
{
	KD_TgaHeader locHeader;
	uint32_t locOffset = 0;
	uint32_t locSize = 0;
	const std::string locPixels(4 * 4, '\x7F');
	EXPECT_EQ(KD_TGA_OK, ReadTga(TgaHeader(2, 2, 2, 24) + locPixels, &locHeader, &locOffset, &locSize));
	EXPECT_EQ(KD_TGA_OK, ReadTga(TgaHeader(2, 2, 2, 32) + locPixels, &locHeader, &locOffset, &locSize));
	EXPECT_EQ(16u, locSize);
	EXPECT_EQ(KD_TGA_ILLEGAL_TYPE, ReadTga(TgaHeader(10, 2, 2, 24) + locPixels, &locHeader, &locOffset, &locSize));
	EXPECT_EQ(KD_TGA_ILLEGAL_TYPE, ReadTga(TgaHeader(1, 2, 2, 24) + locPixels, &locHeader, &locOffset, &locSize));
	EXPECT_EQ(KD_TGA_ILLEGAL_TYPE, ReadTga(TgaHeader(2, 2, 2, 16) + locPixels, &locHeader, &locOffset, &locSize));
	EXPECT_EQ(KD_TGA_ILLEGAL_TYPE, ReadTga(TgaHeader(2, 2, 2, 8) + locPixels, &locHeader, &locOffset, &locSize));
	EXPECT_EQ(KD_TGA_NO_PIXELS, ReadTga(TgaHeader(2, 0, 2, 24), &locHeader, &locOffset, &locSize));
}

TEST(TgaHeader, PixelsMustLieInsideTheFile)
{
	KD_TgaHeader locHeader;
	uint32_t locOffset = 0;
	uint32_t locSize = 0;
	// 5 by 3 at 24 bits: 45 bytes of pixels.
	const std::string locFile = TgaHeader(2, 5, 3, 24) + std::string(45, 'x');
	EXPECT_EQ(KD_TGA_OK, ReadTga(locFile, &locHeader, &locOffset, &locSize));
	EXPECT_EQ(18u, locOffset);
	EXPECT_EQ(45u, locSize);
	EXPECT_EQ(KD_TGA_TRUNCATED, ReadTga(locFile.substr(0, locFile.size() - 1), &locHeader, &locOffset, &locSize));
	EXPECT_EQ(KD_TGA_SHORT_HEADER, ReadTga(locFile.substr(0, 17), &locHeader, &locOffset, &locSize));
	EXPECT_EQ(KD_TGA_SHORT_HEADER, ReadTga("", &locHeader, &locOffset, &locSize));

	// The largest header there is: its size must not wrap in 32 bits.
	EXPECT_EQ(KD_TGA_TRUNCATED, ReadTga(TgaHeader(2, 65535, 65535, 32) + std::string(64, 'x'), &locHeader,
	                                    &locOffset, &locSize));
	// 32768 by 32768 by 4 bytes is exactly 2^32: wraps to 0 in 32 bits.
	EXPECT_EQ(KD_TGA_TRUNCATED, ReadTga(TgaHeader(2, 32768, 32768, 32), &locHeader, &locOffset, &locSize));

	// A header that says the file is larger than the bytes in hand.
	const std::string locHeaderOnly = TgaHeader(2, 5, 3, 24);
	EXPECT_EQ(KD_TGA_OK, KD_ReadTgaHeader(Bytes(locHeaderOnly), 18, 18 + 45, &locHeader, &locOffset, &locSize));
}

TEST(TgaHeader, ImageIdAndColourMapComeBeforeThePixels)
{
	KD_TgaHeader locHeader;
	uint32_t locOffset = 0;
	uint32_t locSize = 0;
	EXPECT_EQ(KD_TGA_OK, ReadTga(TgaHeader(2, 1, 1, 24, 0, 7) + "imageid" + Bgr(1, 2, 3), &locHeader,
	                             &locOffset, &locSize));
	EXPECT_EQ(25u, locOffset);
	EXPECT_EQ(KD_TGA_TRUNCATED, ReadTga(TgaHeader(2, 1, 1, 24, 0, 7) + "abc", &locHeader, &locOffset, &locSize));

	// Two colour-map entries of 15 bits take 2 bytes each.
	std::string locMapped = TgaHeader(2, 1, 1, 32);
	locMapped[1] = 1;
	locMapped[5] = 2;
	locMapped[7] = 15;
	EXPECT_EQ(KD_TGA_OK, ReadTga(locMapped + "mmmm" + "pixl", &locHeader, &locOffset, &locSize));
	EXPECT_EQ(22u, locOffset);
}

TEST(TgaRows, RowsGoOnAFourByteStrideBottomRowFirst)
{
	// 5 pixels of 24 bits: 15-byte rows on a 16-byte stride.
	KD_TgaHeader locHeader;
	uint32_t locOffset = 0;
	uint32_t locSize = 0;
	std::string locPixels;
	for (int locIndex = 0; locIndex < 30; ++locIndex)
		locPixels += static_cast<char>(locIndex + 1);
	ASSERT_EQ(KD_TGA_OK, ReadTga(TgaHeader(2, 5, 2, 24) + locPixels, &locHeader, &locOffset, &locSize));
	EXPECT_EQ(15u, KD_TgaRowSize(locHeader));
	ASSERT_EQ(16u, KD_TgaStride(locHeader));

	std::vector<unsigned char> locSection(32, 0xEE);
	KD_CopyTgaRows(locHeader, Bytes(locPixels), locSection.data(), 16);
	const std::vector<unsigned char> locBottomUp = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0,
	                                                16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 0};
	EXPECT_EQ(locBottomUp, locSection);

	// The origin bit: the first stored row is the top one, so it goes last.
	locHeader.myDescriptor = KD_TGA_TOP_DOWN;
	KD_CopyTgaRows(locHeader, Bytes(locPixels), locSection.data(), 16);
	const std::vector<unsigned char> locTopDown = {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 0,
	                                               1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0};
	EXPECT_EQ(locTopDown, locSection);
}

TEST(BmpHeader, AcceptsPicturesWhosePixelsAreInTheFile)
{
	// 3 by 2 at 24 bits: 9-byte rows on a 12-byte stride.
	const std::string locPixels(24, '\x40');
	EXPECT_TRUE(ReadBmp(BmpHeaders(3, 2, 24, 24) + locPixels));
	EXPECT_TRUE(ReadBmp(BmpHeaders(3, -2, 24, 24) + locPixels));
	EXPECT_FALSE(ReadBmp(BmpHeaders(3, 2, 24, 24) + locPixels.substr(1)));
	EXPECT_FALSE(ReadBmp(BmpHeaders(3, 2, 24, 24)));
	// Only the first bytes in hand: the file size decides.
	const std::string locHeaders = BmpHeaders(3, 2, 24, 24);
	KD_BmpHeader locHeader;
	EXPECT_TRUE(KD_ReadBmpHeader(Bytes(locHeaders), 54, 78, &locHeader));
	EXPECT_EQ(3, locHeader.myWidth);
	EXPECT_EQ(54u, locHeader.myPixelOffset);
	EXPECT_FALSE(KD_ReadBmpHeader(Bytes(locHeaders), 54, 77, &locHeader));
}

TEST(BmpHeader, RefusesHeadersThatPointOutsideTheFile)
{
	const std::string locPixels(24, '\x40');
	std::string locFile = BmpHeaders(3, 2, 24, 24) + locPixels;

	std::string locBadMagic = locFile;
	locBadMagic[0] = 'X';
	EXPECT_FALSE(ReadBmp(locBadMagic));

	std::string locFarPixels = locFile;
	locFarPixels[10] = '\x7F';  // pixel offset 127
	EXPECT_FALSE(ReadBmp(locFarPixels));

	std::string locHugeInfo = locFile;
	locHugeInfo[14] = '\x00';
	locHugeInfo[15] = '\x10';  // info header of 4096 bytes
	EXPECT_FALSE(ReadBmp(locHugeInfo));

	// Wide enough that the row size wraps in 32 bits.
	EXPECT_FALSE(ReadBmp(BmpHeaders(0x40000000, 1, 32, 24) + locPixels));
	EXPECT_FALSE(ReadBmp(BmpHeaders(0, 2, 24, 24) + locPixels));
	EXPECT_FALSE(ReadBmp(BmpHeaders(3, static_cast<int>(0x80000000u), 24, 24) + locPixels));
	EXPECT_FALSE(ReadBmp(BmpHeaders(3, 2, 7, 24) + locPixels));

	// An 8-bit picture needs its 256-entry colour table inside the file.
	EXPECT_FALSE(ReadBmp(BmpHeaders(4, 2, 8, 8) + std::string(8, '\0')));
	// Run-length data must be inside the file and the picture stored bottom-up.
	std::string locRle = BmpHeaders(4, 2, 8, 8, 1);
	locRle[10] = static_cast<char>((54 + 1024) & 0xFF);
	locRle[11] = static_cast<char>((54 + 1024) >> 8);
	const std::string locTable(1024, '\0');
	EXPECT_TRUE(ReadBmp(locRle + locTable + std::string(8, '\0')));
	EXPECT_FALSE(ReadBmp(locRle + locTable + std::string(7, '\0')));
	std::string locTopDownRle = locRle;
	locTopDownRle[25] = '\xFF';  // height -2 (bytes 22 to 25)
	locTopDownRle[22] = '\xFE';
	locTopDownRle[23] = '\xFF';
	locTopDownRle[24] = '\xFF';
	EXPECT_FALSE(ReadBmp(locTopDownRle + locTable + std::string(8, '\0')));
}
