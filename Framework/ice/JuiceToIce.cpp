#include "JuiceToIce.h"

#include "Ice.h"
#include "IceFormat.h"
#include "JuiceCompiler.h"
#include "JuiceFree.h"
#include "JuiceInstanceIgnorer.h"
#include "JuiceNameSpace.h"
#include "JuiceRef.h"
#include "JuiceType.h"
#include "JuiceWriter.h"
#include "kc_assert.h"
#include "kc_bytes.h"
#include "kc_growingarray.h"
#include "kc_output.h"
#include "kf_file.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <zlib.h>

namespace
{
const char ourVersion[] = ICE_VERSION;

struct HashRecord
{
	KC_String myText;
	unsigned int myHash;
};

// The names written, in order, and the names whose checksums collide.
class HashTables
{
public:
	HashTables()
	{
		myHashes.Init(128, 128);
		myDuplicates.Init(128, 128);
	}
	~HashTables() { Clear(); }

	// A name seen before changes nothing. A new name whose checksum an earlier
	// name has joins the collisions, after the first holder of that checksum
	// when it is the second; later holders are listed already.
	void Record(const KC_String& aText, unsigned int aHash)
	{
		std::unordered_map<unsigned int, HashUse>::iterator locUse = myUses.find(aHash);
		if (locUse != myUses.end())
		{
			// The sole holder of a checksum is compared directly.
			if (locUse->second.myCount == 1 ? std::strcmp(myHashes[locUse->second.myFirst]->myText, aText) == 0
			                                : myNames.count(aText.GetText()) != 0)
				return;
			if (locUse->second.myCount == 1)
				Add(myDuplicates, myHashes[locUse->second.myFirst]->myText, aHash);
			Add(myDuplicates, aText, aHash);
		}
		if (!Add(myHashes, aText, aHash))
			return;
		myNames.insert(aText.GetText());
		if (locUse != myUses.end())
			++locUse->second.myCount;
		else
			myUses[aHash] = HashUse{myHashes.Count() - 1, 1};
	}

	// "<ice name up to its last dot>hash": every name, then the collisions.
	bool Write(const KC_String& anIceName)
	{
		int locDot = anIceName.ReverseFind('.');
		KC_String locName = anIceName.Left(locDot + 1) + "hash";
		FILE* locFile = std::fopen(locName, "w");
		if (!locFile)
			return false;
		std::setvbuf(locFile, NULL, _IOFBF, 1 << 18);
		for (int locIndex = 0; locIndex < myHashes.Count(); ++locIndex)
			std::fprintf(locFile, "%13d %s\n", static_cast<int>(myHashes[locIndex]->myHash),
			             myHashes[locIndex]->myText.GetText());
		std::fprintf(locFile, "\n");
		std::fprintf(locFile, "\n");
		if (myDuplicates.Count() > 0)
		{
			std::fprintf(locFile, "Duplicate Hash Entries:\n");
			for (int locIndex = 0; locIndex < myDuplicates.Count(); ++locIndex)
				std::fprintf(locFile, "%13d %s\n", static_cast<int>(myDuplicates[locIndex]->myHash),
				             myDuplicates[locIndex]->myText.GetText());
			std::fprintf(locFile, "\n%d duplicate hash entries were found!\n", myDuplicates.Count());
		}
		else
		{
			std::fprintf(locFile, "No duplicate hash entries.\n");
		}
		std::fclose(locFile);
		Clear();
		return true;
	}

private:
	static bool Add(KC_GrowingArray<HashRecord*>& anArray, const KC_String& aText, unsigned int aHash)
	{
		HashRecord* locRecord = new HashRecord;
		locRecord->myText = aText;
		locRecord->myHash = aHash;
		if (anArray.Add(locRecord))
			return true;
		delete locRecord;
		return false;
	}

	void Clear()
	{
		for (int locIndex = myHashes.Count() - 1; locIndex >= 0; --locIndex)
		{
			delete myHashes[locIndex];
			myHashes.RemoveAt(locIndex);
		}
		for (int locIndex = myDuplicates.Count() - 1; locIndex >= 0; --locIndex)
		{
			delete myDuplicates[locIndex];
			myDuplicates.RemoveAt(locIndex);
		}
		myNames.clear();
		myUses.clear();
	}

	KC_GrowingArray<HashRecord*> myHashes;
	KC_GrowingArray<HashRecord*> myDuplicates;

	// Indexes of myHashes: the names in it, and per checksum its first
	// holder and how many names have it.
	struct HashUse
	{
		int myFirst;
		int myCount;
	};
	std::unordered_set<std::string> myNames;
	std::unordered_map<unsigned int, HashUse> myUses;
};

HashTables& Tables()
{
	static HashTables ourTables;
	return ourTables;
}

bool WriteInt(FILE* aHandle, int aValue)
{
	unsigned char locBytes[4];
	KC_PutLittle32(locBytes, static_cast<uint32_t>(aValue));
	return std::fwrite(locBytes, 4, 1, aHandle) == 1;
}

bool WriteString(FILE* aHandle, const char* aString)
{
	KC_ASSERT(strlen(aString) < ICE_MAX_STRING);
	int locLength = static_cast<int>(std::strlen(aString));
	if (!WriteInt(aHandle, locLength))
		return false;
	return locLength == 0 || std::fwrite(aString, static_cast<size_t>(locLength), 1, aHandle) == 1;
}

// Writes the checksum of aText and records the pair in the hash table.
bool WriteHash(FILE* aHandle, const KC_String& aText)
{
	unsigned int locHash = Ice::Hash(aText);
	Tables().Record(aText, locHash);
	return WriteInt(aHandle, static_cast<int>(locHash));
}

KC_String ChildPath(const KC_String& aParentPath, const KC_String& aName)
{
	if (aParentPath.IsEmpty())
		return aName;
	return aParentPath + "." + aName;
}
}

bool JuiceToIce::ConvertJuiceToIce(FILE* aHandle, JuiceType* anInstance, IceLangEncoder::KeyValueList& aLocalizer,
                                   const KC_String& aParentPath)
{
	if (!WriteHash(aHandle, anInstance->GetTypeName()) || !WriteHash(aHandle, anInstance->GetName()))
		return false;
	JuiceRef* locReference = dynamic_cast<JuiceRef*>(anInstance);
	int locCount = anInstance->GetMemberCount();
	int locKind = locReference ? ICE_KIND_REFERENCE : (locCount == 0 ? ICE_KIND_VALUE : locCount);
	if (!WriteInt(aHandle, locKind))
		return false;

	if (locKind < 0)
	{
		KC_String locValue;
		if (dynamic_cast<JuiceLocText*>(anInstance))
		{
			IceLangEncoder::KeyValue* locRecord = new IceLangEncoder::KeyValue;
			locRecord->myKey = ChildPath(aParentPath, anInstance->GetName());
			locRecord->myValue = anInstance->GetValue();
			locValue.Format("%d", aLocalizer.Count());
			aLocalizer.Add(locRecord);
		}
		else
		{
			locValue = anInstance->GetValue();
		}
		if (locReference && locValue.IsEmpty())
		{
			KC_Log("JuiceToIce::ConvertJuiceToIce(FILE* aHandle, JuiceType* anInstance, JuiceLocalizer& aLocalizer): "
			       "encountered reference with empty string value");
			return false;
		}
		if (locValue.GetLength() >= ICE_MAX_STRING)
		{
			KC_Log("JuiceToIce::ConvertJuiceToIce(FILE* aHandle, JuiceType* anInstance, JuiceLocalizer& aLocalizer): "
			       "string value exceeds maximum allowed length (%d chars)",
			       ICE_MAX_STRING);
			return false;
		}
		if (locValue == "<empty>")
			locValue.Clear();
		if (anInstance->GetTypeName() == "FILE")
			locValue.Replace('\\', '/');
		return WriteString(aHandle, locValue);
	}

	KC_String locPath = ChildPath(aParentPath, anInstance->GetName());
	for (JuiceType* locMember : anInstance->GetMembers())
	{
		if (!ConvertJuiceToIce(aHandle, locMember, aLocalizer, locPath))
			return false;
	}
	return true;
}

int JuiceToIce::IsFileNewer(const KC_String& anIceName, const KC_String& aJuiceName)
{
	unsigned int locJuiceTime = 0;
	if (GetFileTime(aJuiceName, &locJuiceTime))
	{
		unsigned int locIceTime = 0;
		if (GetFileTime(anIceName, &locIceTime))
		{
			if (locIceTime >= locJuiceTime)
				return 1;
			KC_Log("JuiceToIce::IsFileNewer(): Existing '%s' is newer than existing '%s'",
			       aJuiceName.GetText(), anIceName.GetText());
			return 0;
		}
		KC_Log("JuiceToIce::IsFileNewer(): Missing '%s'", anIceName.GetText());
		return 0;
	}
	if (FileExists(anIceName))
		return 1;
	KC_Log("JuiceToIce::IsFileNewer(): none of the two files exist ('%s' or '%s')",
	       aJuiceName.GetText(), anIceName.GetText());
	return -1;
}

bool JuiceToIce::Priv_AssertFileName(KC_String& anIceName)
{
	int locExtension = anIceName.Find(".ice");
	if (locExtension <= 0)
	{
		KC_Log("JuiceToIce::Priv_AssertFileName(): you MUST pass a valid .ice filename (you passed '%s')",
		       anIceName.GetText());
		return false;
	}
	KC_String locJuiceName = anIceName.Left(locExtension) + ".juice";

	switch (IsFileNewer(anIceName, locJuiceName))
	{
	case 1:
	{
		Ice* locIce = Ice::Load(anIceName, false);
		if (locIce)
		{
			delete locIce;
			return true;
		}
		KC_Log("JuiceToIce::Priv_AssertFileName(): Existing '%s' is of incorrect format version (should be %s) or "
		       "fragmented, forcing new conversion...",
		       anIceName.GetText(), ourVersion);
		break;
	}
	case 0:
		break;
	default:
		return false;
	}

	if (!Priv_ConvertJuiceFile(locJuiceName, anIceName))
	{
		KC_Log("JuiceToIce::Priv_AssertFileName(): Failed to convert '%s' to '%s'",
		       locJuiceName.GetText(), anIceName.GetText());
		return false;
	}
	KC_Log("JuiceToIce::Priv_AssertFileName(): Converted '%s' to '%s'", locJuiceName.GetText(),
	       anIceName.GetText());
	return true;
}

bool JuiceToIce::Priv_ConvertJuiceFile(const KC_String& aJuiceName, const KC_String& anIceName)
{
	JuiceNameSpace locNameSpace;
	EverythingIgnorer locIgnorer;
	KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): compiling '%s'...", aJuiceName.GetText());
	if (!JuiceCompiler::Compile(locNameSpace, aJuiceName, NULL, &locIgnorer))
		return false;
	if (locNameSpace.RequiresLocalization())
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): '%s' requires localization, re-saving to remove .lang "
		       "dependencies...",
		       aJuiceName.GetText());
		if (!WriteNameSpace(locNameSpace, aJuiceName))
			KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to persist '%s'", aJuiceName.GetText());
	}
	return Priv_ConvertJuiceToIce(locNameSpace, anIceName);
}

bool JuiceToIce::Priv_ConvertJuiceToIce(JuiceNameSpace& aNameSpace, const KC_String& anIceName)
{
	KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): converting namespace to '%s'...", anIceName.GetText());
	KC_List<JuiceType*> locInstances;
	for (JuiceType* locType : aNameSpace)
		locInstances.Add(locType);
	if (locInstances.Count() == 0)
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): no instances at root level");
		return false;
	}
	int locLanguageFlag = aNameSpace.RequiresLocalization() ? 1 : 0;

	FILE* locFile = std::fopen(anIceName, "wb");
	if (!locFile)
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to open outfile '%s'", anIceName.GetText());
		return false;
	}
	// Records are written a few bytes at a time: a large buffer keeps that cheap.
	std::setvbuf(locFile, NULL, _IOFBF, 1 << 18);
	IceLangEncoder::KeyValueList locKeyValues;
	bool locWritten = std::fwrite(ourVersion, sizeof(ourVersion), 1, locFile) == 1 &&
	                  WriteInt(locFile, locLanguageFlag) && WriteInt(locFile, locInstances.Count());
	for (JuiceType* locType : locInstances)
	{
		if (!locWritten)
			break;
		locWritten = ConvertJuiceToIce(locFile, locType, locKeyValues, KC_String());
	}
	if (!locWritten)
	{
		std::fclose(locFile);
		locKeyValues.DeleteAll();
		return false;
	}
	Tables().Write(anIceName);
	// A file that cannot be completed on disk is a failed conversion.
	if (std::fclose(locFile) != 0)
	{
		locKeyValues.DeleteAll();
		return false;
	}
	if (locLanguageFlag && !IceLangEncoder::Save(locKeyValues, anIceName))
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to save .lang file for '%s'...",
		       anIceName.GetText());
		locKeyValues.DeleteAll();
		return false;
	}
	locKeyValues.DeleteAll();
	return true;
}
