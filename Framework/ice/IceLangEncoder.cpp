#include "IceLangEncoder.h"

#include "IceFormat.h"
#include "kc_assert.h"
#include "kc_output.h"
#include "kf_file.h"

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

// Writes aValue with every byte of 0x80 or more as the two UTF-8 bytes of that code point.
bool WriteValue(KF_File& aFile, const KC_String& aValue)
{
	const unsigned char* orgStr = reinterpret_cast<const unsigned char*>(aValue.GetText());
	// Two output bytes per input byte at most.
	unsigned char* locUtf8 = new unsigned char[aValue.GetLength() * 2 + 1];
	unsigned char* curUtf8Char = locUtf8;
	for (; *orgStr; ++orgStr)
	{
		if (*orgStr < 0x80)
		{
			*curUtf8Char++ = *orgStr;
			continue;
		}
		*curUtf8Char++ = static_cast<unsigned char>(0xC0 | (*orgStr >> 6));
		*curUtf8Char++ = static_cast<unsigned char>(0x80 | (*orgStr & 0x3F));
		KC_ASSERT((((curUtf8Char[-2] & 0x1F) << 6) | (curUtf8Char[-1] & 0x3F)) == *orgStr);
	}
	bool locResult = aFile.Write(locUtf8, static_cast<unsigned int>(curUtf8Char - locUtf8));
	delete[] locUtf8;
	return locResult;
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
	for (KeyValue* locPair : aList)
	{
		if (!locWritten)
			break;
		KC_String locKey;
		locKey.Format("%s\t", locPair->myKey.GetText());
		// The reader refuses a line that ends at its tab: an empty text is spelled "<empty>".
		const KC_String& locValue = locPair->myValue;
		locWritten = locFile.Write(locKey.GetText(), locKey.GetLength()) &&
		             WriteValue(locFile, locValue.IsEmpty() ? KC_String(ourEmptyValue) : locValue) &&
		             locFile.Write("\r\n", 2);
	}
	return locFile.Close() && locWritten;
}
