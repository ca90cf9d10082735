#ifndef ICE_TEST_SUPPORT_H
#define ICE_TEST_SUPPORT_H

#include <string>

// Line end of files written in text mode.
#ifdef _WIN32
#define LINE_END "\r\n"
#else
#define LINE_END "\n"
#endif

// Builds Ice and language file bytes from the file format, independently of
// the code under test (its own Adler-32 included).
class IceBytes
{
public:
	static unsigned int Adler32(const std::string& aText)
	{
		unsigned int locA = 1, locB = 0;
		for (unsigned char locByte : aText)
		{
			locA = (locA + locByte) % 65521;
			locB = (locB + locA) % 65521;
		}
		return (locB << 16) | locA;
	}

	IceBytes& Header(int aLanguageFlag, int aCount)
	{
		myBytes.append("ice0010", 8);
		return Int(aLanguageFlag).Int(aCount);
	}
	IceBytes& Int(unsigned int aValue)
	{
		for (int locShift = 0; locShift < 32; locShift += 8)
			myBytes.push_back(static_cast<char>((aValue >> locShift) & 0xFF));
		return *this;
	}
	IceBytes& Value(const std::string& aType, const std::string& aName, const std::string& aText, int aKind = -1)
	{
		Int(Adler32(aType)).Int(Adler32(aName)).Int(aKind).Int(static_cast<unsigned int>(aText.size()));
		myBytes += aText;
		return *this;
	}
	IceBytes& Reference(const std::string& aType, const std::string& aName, const std::string& aPath)
	{
		return Value(aType, aName, aPath, -2);
	}
	IceBytes& Composite(const std::string& aType, const std::string& aName, int aCount)
	{
		return Int(Adler32(aType)).Int(Adler32(aName)).Int(aCount);
	}
	IceBytes& Raw(const std::string& aBytes)
	{
		myBytes += aBytes;
		return *this;
	}

	std::string myBytes;
};

#endif
