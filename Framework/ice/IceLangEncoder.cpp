#include "IceLangEncoder.h"

#include "IceFormat.h"
#include "kc_assert.h"
#include "kc_output.h"
#include "kf_file.h"

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

	KF_File locFile;
	if (!locFile.Open(locLocName, OPEN_WRITE))
		return false;
	bool locWritten = locFile.Write(ICE_LOC_MARK, sizeof(ICE_LOC_MARK));
	// "key<TAB>value<CR><LF>" lines, written in pieces of some 64 KiB.
	const size_t locPieceBytes = 1 << 16;
	std::string locText;
	locText.reserve(locPieceBytes + 2 * ICE_MAX_STRING);
	for (KeyValue* locPair : aList)
	{
		if (!locWritten)
			break;
		locText += locPair->myKey.GetText();
		locText += '\t';
		// The reader refuses a line that ends at its tab: an empty text is spelled "<empty>".
		const KC_String& locValue = locPair->myValue;
		AppendValue(locText, locValue.IsEmpty() ? KC_String(ourEmptyValue) : locValue);
		locText += "\r\n";
		if (locText.size() >= locPieceBytes)
		{
			locWritten = locFile.Write(locText.data(), static_cast<unsigned int>(locText.size()));
			locText.clear();
		}
	}
	if (locWritten && !locText.empty())
		locWritten = locFile.Write(locText.data(), static_cast<unsigned int>(locText.size()));
	return locFile.Close() && locWritten;
}
