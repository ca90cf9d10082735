#include "IceLangEncoder.h"

#include "IceFormat.h"
#include "kc_assert.h"
#include "kc_output.h"
#include "kc_platform.h"

#include <cstdio>
#include <new>
#include <string>

namespace
{
const int ourMaxKeyLength = 255;
const char ourEmptyValue[] = "<empty>";

bool HasByteAbove127(const KC_String& aText)
{
	const unsigned char* locByte = reinterpret_cast<const unsigned char*>(aText.GetText());
	for (int locIndex = 0; locIndex < aText.GetLength(); ++locIndex)
	{
		if (locByte[locIndex] >= 128)
			return true;
	}
	return false;
}

// Appends aValue up to its first NUL, every byte of 0x80 or more as the two
// UTF-8 bytes of that code point.
void AppendValue(std::string& aText, const KC_String& aValue)
{
	for (const unsigned char* orgStr = reinterpret_cast<const unsigned char*>(aValue.GetText()); *orgStr; ++orgStr)
	{
		if (*orgStr < 0x80)
		{
			aText += static_cast<char>(*orgStr);
			continue;
		}
		aText += static_cast<char>(0xC0 | (*orgStr >> 6));
		aText += static_cast<char>(0x80 | (*orgStr & 0x3F));
	}
}
}

bool IceLangEncoder::ValidateKeyValues(const KeyValueList& aList)
{
	for (KeyValue* locPair : aList)
	{
		const KC_String& locKey = locPair->myKey;
		if (locKey.GetLength() > ourMaxKeyLength)
		{
			KC_Log("IceLangEncoder::ValidateKeyValues(): key '%s' was longer than 255 characters",
			       locKey.GetText());
			return false;
		}
		if (HasByteAbove127(locKey))
		{
			KC_Log("IceLangEncoder::ValidateKeyValues(): key '%s' contained invalid characters (> 127 ASCII)",
			       locKey.GetText());
			return false;
		}
	}
	return true;
}

bool IceLangEncoder::Save(const KeyValueList& aList, const char* anIceFileName)
{
	if (!ValidateKeyValues(aList))
		return false;
	KC_String locIceName(anIceFileName);
	int locDot = locIceName.ReverseFind('.');
	if (locDot < 1)
		return false;
	KC_String locLocName;
	locLocName.Format("%s.loc", locIceName.Left(locDot).GetText());
	// The lines go to a file beside the target, which replaces the target only
	// when it is complete.
	KC_String locTemporary = locLocName + "tmp";
	// "key<TAB>value<CR><LF>" lines, written in pieces of some 64 KiB.
	const size_t locPieceBytes = 1 << 16;
	std::string locText;
	locText.reserve(locPieceBytes + 2 * ICE_MAX_STRING);

	// Each piece goes to the file as it is made: the file is never held whole.
	std::FILE* locFile = std::fopen(locTemporary, "wb");
	if (!locFile)
		return false;
	std::setvbuf(locFile, NULL, _IONBF, 0);
	bool locWritten = std::fwrite(ICE_LOC_MARK, sizeof(ICE_LOC_MARK), 1, locFile) == 1;
	try
	{
		for (KeyValue* locPair : aList)
		{
			if (!locWritten)
				break;
			locText += locPair->myKey.GetText();
			locText += '\t';
			// The reader refuses a line that ends at its tab: an empty text is spelled "<empty>".
			const KC_String& locValue = locPair->myValue;
			if (locValue.IsEmpty())
				locText += ourEmptyValue;
			else
				AppendValue(locText, locValue);
			locText += "\r\n";
			if (locText.size() >= locPieceBytes)
			{
				locWritten = std::fwrite(locText.data(), 1, locText.size(), locFile) == locText.size();
				locText.clear();
			}
		}
	}
	catch (const std::bad_alloc&)
	{
		std::fclose(locFile);
		std::remove(locTemporary);
		throw;
	}
	if (locWritten && !locText.empty())
		locWritten = std::fwrite(locText.data(), 1, locText.size(), locFile) == locText.size();
	locWritten = std::fclose(locFile) == 0 && locWritten && KC_PlatformReplaceFile(locTemporary, locLocName);
	if (!locWritten)
		std::remove(locTemporary);
	return locWritten;
}
