#include "JuiceToIce.h"

#include "Ice.h"
#include "IceFormat.h"
#include "JuiceCompiler.h"
#include "JuiceFree.h"
#include "JuiceInstanceIgnorer.h"
#include "JuiceLocalizer.h"
#include "JuiceNameSpace.h"
#include "JuiceRef.h"
#include "JuiceType.h"
#include "JuiceWriter.h"
#include "kc_assert.h"
#include "kc_bytes.h"
#include "kc_growingarray.h"
#include "kc_output.h"
#include "kc_pool.h"
#include "kc_platform.h"
#include "kf_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace
{
const char ourVersion[] = ICE_VERSION;

// The first name of aName + ".orig", aName + ".orig2", ... that no file on
// disk has; empty when all up to ".orig999" are taken. A kept text is never
// replaced.
KC_String FreeKeptName(const KC_String& aName)
{
	if (aName.GetLength() > 65000)
		return KC_String();
	uint64_t locSize = 0;
	KC_PlatformTime locTime;
	for (int locNumber = 1; locNumber < 1000; ++locNumber)
	{
		KC_String locName = aName + ".orig";
		if (locNumber > 1)
		{
			char locDigits[8];
			std::snprintf(locDigits, sizeof(locDigits), "%d", locNumber);
			locName = locName + locDigits;
		}
		if (!KC_PlatformFindFile(locName, &locSize, &locTime))
			return locName;
	}
	return KC_String();
}

// Before a re-save replaces the text, the text is kept on disk under the first
// free name of FreeKeptName, which goes to anOriginal first (also when the copy
// then fails or runs out of memory: no other file has that name). False when
// the copy cannot be made: the text is then not re-saved either.
bool KeepOriginal(const KC_String& aJuiceName, KC_String& anOriginal)
{
	anOriginal = FreeKeptName(aJuiceName);
	const KC_String& locOriginal = anOriginal;
	if (locOriginal.IsEmpty())
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): no free name to keep the original of '%s'",
			aJuiceName.GetText());
		return false;
	}
	// Copied in pieces (a file on disk is read through the system): the text
	// is not held in memory whole.
	KF_File locSource;
	if (!locSource.Open(aJuiceName, OPEN_READ | OPEN_STREAMING))
		return false;
	KC_String locTemporary = locOriginal + "tmp";
	// The piece is had before the copy is made, so that running out of memory
	// leaves no file.
	std::vector<char> locPiece(1 << 16);
	FILE* locCopy = std::fopen(locTemporary, "wb");
	bool locDone = locCopy != NULL;
	if (locCopy)
	{
		std::setvbuf(locCopy, NULL, _IONBF, 0);
		unsigned int locLeft = locSource.GetSize();
		while (locDone && locLeft > 0)
		{
			unsigned int locCount = locLeft < locPiece.size() ? locLeft : static_cast<unsigned int>(locPiece.size());
			locDone = locSource.Read(locPiece.data(), locCount) == locCount &&
				std::fwrite(locPiece.data(), 1, locCount, locCopy) == locCount;
			locLeft -= locCount;
		}
		if (std::fclose(locCopy) != 0)
			locDone = false;
		if (locDone)
			locDone = KC_PlatformReplaceFile(locTemporary, locOriginal);
		if (!locDone)
			std::remove(locTemporary);
	}
	locSource.Close();
	if (!locDone)
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to keep the original of '%s' as '%s'",
			aJuiceName.GetText(), locOriginal.GetText());
		return false;
	}
	KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): kept the original of '%s' as '%s'", aJuiceName.GetText(),
		locOriginal.GetText());
	return true;
}

// Moves the companion file aLanguageName aside under the first free name of
// FreeKeptName, so that the texts written inline are not looked up in it
// again. False when it is not a file on disk or cannot be moved.
bool MoveLanguageAside(const KC_String& aLanguageName, KC_String& aKeptName)
{
	uint64_t locSize = 0;
	KC_PlatformTime locTime;
	// The name is had before the file moves: out of memory nothing has moved.
	aKeptName = FreeKeptName(aLanguageName);
	if (aKeptName.IsEmpty() || !KC_PlatformFindFile(aLanguageName, &locSize, &locTime) ||
		std::rename(aLanguageName, aKeptName) != 0)
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to move '%s' aside", aLanguageName.GetText());
		aKeptName.Clear();
		return false;
	}
	return true;
}

struct HashRecord
{
	KC_String myText;
	unsigned int myHash;

	KC_POOLED_OBJECT
};

// A set of texts (views of texts kept elsewhere), open-addressed: no node and
// no allocation for each text.
class TextSet
{
public:
	TextSet() { Clear(); }

	bool Contains(std::string_view aText) const
	{
		size_t locMask = mySlots.size() - 1;
		for (size_t locSlot = SlotOf(aText, locMask); mySlots[locSlot].data(); locSlot = (locSlot + 1) & locMask)
		{
			if (mySlots[locSlot] == aText)
				return true;
		}
		return false;
	}

	void Insert(std::string_view aText)
	{
		if (Contains(aText))
			return;
		if (2 * (myFilled + 1) > mySlots.size())
		{
			std::vector<std::string_view> locOld(2 * mySlots.size());
			locOld.swap(mySlots);
			myFilled = 0;
			for (std::string_view locText : locOld)
			{
				if (locText.data())
					Place(locText);
			}
		}
		Place(aText);
	}

	void Clear()
	{
		mySlots.assign(ourFirstSlots, std::string_view());
		myFilled = 0;
	}

private:
	static constexpr size_t ourFirstSlots = 64;

	// FNV-1a of the text's bytes.
	static size_t SlotOf(std::string_view aText, size_t aMask)
	{
		unsigned int locHash = 2166136261u;
		for (char locByte : aText)
			locHash = (locHash ^ static_cast<unsigned char>(locByte)) * 16777619u;
		return locHash & aMask;
	}

	void Place(std::string_view aText)
	{
		size_t locMask = mySlots.size() - 1;
		size_t locSlot = SlotOf(aText, locMask);
		while (mySlots[locSlot].data())
			locSlot = (locSlot + 1) & locMask;
		mySlots[locSlot] = aText;
		++myFilled;
	}

	// A free slot views no text.
	std::vector<std::string_view> mySlots;
	size_t myFilled;
};

// The names written, in order, and the names whose checksums collide.
class HashTables
{
public:
	HashTables()
		: myUses(ourFirstUses)
		, myUsesFilled(0)
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
		HashUse& locUse = FindUse(aHash);
		if (locUse.myCount > 0)
		{
			// The first holder of a checksum is compared directly; the further
			// holders of a shared one are in myNames.
			const KC_String& locFirst = myHashes[locUse.myFirst]->myText;
			if (std::strcmp(locFirst, aText) == 0 ||
				(locUse.myCount > 1 && myNames.Contains(std::string_view(aText.GetText()))))
				return;
			if (locUse.myCount == 1)
			{
				Add(myDuplicates, locFirst, aHash);
				myNames.Insert(std::string_view(locFirst.GetText()));
			}
			Add(myDuplicates, aText, aHash);
		}
		Add(myHashes, aText, aHash);
		if (locUse.myCount > 0)
		{
			myNames.Insert(std::string_view(myHashes[myHashes.Count() - 1]->myText.GetText()));
			++locUse.myCount;
			return;
		}
		locUse = HashUse{aHash, myHashes.Count() - 1, 1};
		if (++myUsesFilled * 2 > myUses.size())
			GrowUses();
	}

	// "<ice name up to its last dot>hash": every name, then the collisions,
	// written beside it first and put in its place when complete. The tables
	// are emptied (Reset) by the caller.
	bool Write(const KC_String& anIceName)
	{
		int locDot = anIceName.ReverseFind('.');
		KC_String locName = anIceName.Left(locDot + 1) + "hash";
		KC_String locTemporary = locName + "tmp";
		// The lines are written in pieces of some 64 KiB (reserved before the
		// file is made, so that running out of memory leaves no file open).
		std::string locText;
		locText.reserve(ourPieceBytes + 2 * ICE_MAX_STRING);
		FILE* locFile = std::fopen(locTemporary, "w");
		if (!locFile)
			return false;
		bool locWritten = true;
		try
		{
			for (int locIndex = 0; locIndex < myHashes.Count(); ++locIndex)
				locWritten = AppendLine(locText, *myHashes[locIndex], locFile) && locWritten;
			locText += "\n\n";
			if (myDuplicates.Count() > 0)
			{
				locText += "Duplicate Hash Entries:\n";
				for (int locIndex = 0; locIndex < myDuplicates.Count(); ++locIndex)
					locWritten = AppendLine(locText, *myDuplicates[locIndex], locFile) && locWritten;
				char locCount[64];
				std::snprintf(
					locCount, sizeof(locCount), "\n%d duplicate hash entries were found!\n", myDuplicates.Count());
				locText += locCount;
			}
			else
			{
				locText += "No duplicate hash entries.\n";
			}
		}
		catch (const std::bad_alloc&)
		{
			std::fclose(locFile);
			std::remove(locTemporary);
			throw;
		}
		locWritten = std::fwrite(locText.data(), 1, locText.size(), locFile) == locText.size() && locWritten;
		locWritten = std::fclose(locFile) == 0 && locWritten && KC_PlatformReplaceFile(locTemporary, locName);
		if (!locWritten)
			std::remove(locTemporary);
		return locWritten;
	}

	// Empties both tables; allocates nothing.
	void Reset() { Clear(); }

private:
	static constexpr size_t ourPieceBytes = 1 << 16;

	// "%13d %s\n" of the checksum as a signed number and the text; a full piece
	// goes to aFile first.
	// False when a piece could not be written.
	static bool AppendLine(std::string& aText, const HashRecord& aRecord, FILE* aFile)
	{
		bool locWritten = true;
		if (aText.size() >= ourPieceBytes)
		{
			locWritten = std::fwrite(aText.data(), 1, aText.size(), aFile) == aText.size();
			aText.clear();
		}
		char locDigits[16];
		int locValue = static_cast<int>(aRecord.myHash);
		unsigned int locMagnitude = locValue < 0 ? 0u - aRecord.myHash : aRecord.myHash;
		int locStart = sizeof(locDigits);
		do
		{
			locDigits[--locStart] = static_cast<char>('0' + locMagnitude % 10);
			locMagnitude /= 10;
		} while (locMagnitude > 0);
		if (locValue < 0)
			locDigits[--locStart] = '-';
		int locWidth = static_cast<int>(sizeof(locDigits)) - locStart;
		if (locWidth < 13)
			aText.append(static_cast<size_t>(13 - locWidth), ' ');
		aText.append(locDigits + locStart, static_cast<size_t>(locWidth));
		aText += ' ';
		aText += aRecord.myText.GetText();
		aText += '\n';
		return locWritten;
	}

	// Without memory for the record it throws: a report without the name would
	// be incomplete.
	static void Add(KC_GrowingArray<HashRecord*>& anArray, const KC_String& aText, unsigned int aHash)
	{
		HashRecord* locRecord = new HashRecord;
		try
		{
			locRecord->myText = aText;
		}
		catch (const std::bad_alloc&)
		{
			delete locRecord;
			throw;
		}
		locRecord->myHash = aHash;
		// The array grows by doubling, not by its step, so that filling it stays
		// linear (an array whose first block could not be had starts anew).
		if (anArray.Count() == anArray.Capacity())
			anArray.Resize(anArray.Capacity() > 0 ? 2 * anArray.Capacity() : 128);
		if (anArray.Count() < anArray.Capacity() && anArray.Add(locRecord))
			return;
		delete locRecord;
		throw std::bad_alloc();
	}

	void Clear()
	{
		myNames.Clear();
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
		myUses.assign(ourFirstUses, HashUse());
		myUsesFilled = 0;
	}

	// Per checksum its first holder in myHashes and how many names have it
	// (0: a free slot), in an open-addressed table at most half full.
	struct HashUse
	{
		unsigned int myHash;
		int myFirst;
		int myCount;
	};
	static constexpr size_t ourFirstUses = 1024;

	// The slot of aHash, or the free slot where it belongs.
	HashUse& FindUse(unsigned int aHash)
	{
		size_t locMask = myUses.size() - 1;
		size_t locSlot = (aHash * 2654435761u) & locMask;
		while (myUses[locSlot].myCount > 0 && myUses[locSlot].myHash != aHash)
			locSlot = (locSlot + 1) & locMask;
		return myUses[locSlot];
	}

	void GrowUses()
	{
		std::vector<HashUse> locOld(2 * myUses.size());
		locOld.swap(myUses);
		for (const HashUse& locUse : locOld)
		{
			if (locUse.myCount > 0)
				FindUse(locUse.myHash) = locUse;
		}
	}

	KC_GrowingArray<HashRecord*> myHashes;
	KC_GrowingArray<HashRecord*> myDuplicates;

	// Indexes of myHashes: the names whose checksum another name has too, and
	// the checksums.
	// Views of the texts of the records in myHashes.
	TextSet myNames;
	std::vector<HashUse> myUses;
	size_t myUsesFilled;
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

// Gathers the records of one instance and writes them in large pieces.
class RecordWriter
{
public:
	explicit RecordWriter(FILE* aHandle)
		: myHandle(aHandle)
		, myUsed(0)
		, myFailed(false)
	{
	}

	void PutBytes(const void* aBytes, size_t aCount)
	{
		if (myUsed + aCount > sizeof(myBuffer))
			Flush();
		if (aCount > sizeof(myBuffer))
		{
			myFailed = myFailed || std::fwrite(aBytes, aCount, 1, myHandle) != 1;
			return;
		}
		std::memcpy(myBuffer + myUsed, aBytes, aCount);
		myUsed += aCount;
	}

	void PutInt(int aValue)
	{
		unsigned char locBytes[4];
		KC_PutLittle32(locBytes, static_cast<uint32_t>(aValue));
		PutBytes(locBytes, 4);
	}

	void PutString(const char* aString)
	{
		KC_ASSERT(strlen(aString) < ICE_MAX_STRING);
		int locLength = static_cast<int>(std::strlen(aString));
		PutInt(locLength);
		PutBytes(aString, static_cast<size_t>(locLength));
	}

	// Writes the checksum of aText and records the pair in the hash table.
	void PutHash(const KC_String& aText)
	{
		unsigned int locHash = Ice::Hash(aText);
		Tables().Record(aText, locHash);
		PutInt(static_cast<int>(locHash));
	}

	// PutHash of a shared text (a type name or a declared member's name): the
	// shared copies written before keep their checksums, and a text recorded
	// once needs no second record.
	void PutSharedHash(const KC_String* aShared)
	{
		SharedHash& locSlot = mySharedHashes[(reinterpret_cast<uintptr_t>(aShared) / sizeof(KC_String)) % ourSharedHashes];
		if (locSlot.myText != aShared)
		{
			locSlot.myHash = Ice::Hash(*aShared);
			Tables().Record(*aShared, locSlot.myHash);
			locSlot.myText = aShared;
		}
		PutInt(static_cast<int>(locSlot.myHash));
	}

	// False when any write failed.
	bool Flush()
	{
		if (myUsed > 0 && std::fwrite(myBuffer, myUsed, 1, myHandle) != 1)
			myFailed = true;
		myUsed = 0;
		return !myFailed;
	}

private:
	struct SharedHash
	{
		const KC_String* myText = NULL;
		unsigned int myHash = 0;
	};
	static constexpr size_t ourSharedHashes = 64;

	FILE* myHandle;
	SharedHash mySharedHashes[ourSharedHashes];
	unsigned char myBuffer[1 << 16];
	size_t myUsed;
	bool myFailed;
};

KC_String ChildPath(const KC_String& aParentPath, const KC_String& aName)
{
	if (aParentPath.IsEmpty())
		return aName;
	return aParentPath + "." + aName;
}

// The dotted path of a member, kept as the chain of its composites' names and
// spelled out only for the language file's keys.
struct MemberPath
{
	const KC_String& myName;
	const MemberPath* myParent;
};

KC_String SpellPath(const KC_String& aRootPath, const MemberPath* aPath)
{
	if (!aPath)
		return aRootPath;
	return ChildPath(SpellPath(aRootPath, aPath->myParent), aPath->myName);
}

// Writes the member record of anInstance and, recursively, of its members.
bool ConvertMember(RecordWriter& aWriter, JuiceType* anInstance, IceLangEncoder::KeyValueList& aLocalizer,
	const KC_String& aRootPath, const MemberPath* aParentPath);
} // namespace

bool JuiceToIce::ConvertJuiceToIce(
	FILE* aHandle, JuiceType* anInstance, IceLangEncoder::KeyValueList& aLocalizer, const KC_String& aParentPath)
{
	RecordWriter* locWriter = new (std::nothrow) RecordWriter(aHandle);
	if (!locWriter)
		return false;
	bool locResult;
	try
	{
		locResult = ConvertMember(*locWriter, anInstance, aLocalizer, aParentPath, NULL);
	}
	catch (const std::bad_alloc&)
	{
		delete locWriter;
		throw;
	}
	// Records made before a failure are written too.
	locResult = locWriter->Flush() && locResult;
	delete locWriter;
	return locResult;
}

namespace
{
bool ConvertMember(RecordWriter& aWriter, JuiceType* anInstance, IceLangEncoder::KeyValueList& aLocalizer,
	const KC_String& aRootPath, const MemberPath* aParentPath)
{
	aWriter.PutSharedHash(anInstance->GetSharedTypeName());
	if (const KC_String* locSharedName = anInstance->GetSharedName())
		aWriter.PutSharedHash(locSharedName);
	else
		aWriter.PutHash(anInstance->GetName());
	int locCount = anInstance->GetMemberCount();
	// References and localized texts have no members and no subclasses: their
	// exact type tells them apart.
	bool locIsReference = locCount == 0 && anInstance->GetKind() == JuiceType::KIND_REFERENCE;
	int locKind = locIsReference ? ICE_KIND_REFERENCE : (locCount == 0 ? ICE_KIND_VALUE : locCount);
	aWriter.PutInt(locKind);

	if (locKind < 0)
	{
		const KC_String* locValue = &anInstance->GetValue();
		KC_String locIndex;
		if (anInstance->GetKind() == JuiceType::KIND_LOCTEXT)
		{
			std::unique_ptr<IceLangEncoder::KeyValue> locRecord(new IceLangEncoder::KeyValue);
			locRecord->myKey = ChildPath(SpellPath(aRootPath, aParentPath), anInstance->GetName());
			locRecord->myValue = anInstance->GetValue();
			char locDigits[16];
			int locStart = sizeof(locDigits) - 1;
			locDigits[locStart] = 0;
			for (int locCount = aLocalizer.Count(); locStart == sizeof(locDigits) - 1 || locCount > 0; locCount /= 10)
				locDigits[--locStart] = static_cast<char>('0' + locCount % 10);
			locIndex = locDigits + locStart;
			// A text missing from the language file would shift every later index.
			if (!aLocalizer.Add(locRecord.get()))
				throw std::bad_alloc();
			locRecord.release();
			locValue = &locIndex;
		}
		if (locIsReference && locValue->IsEmpty())
		{
			KC_Log("JuiceToIce::ConvertJuiceToIce(FILE* aHandle, JuiceType* anInstance, JuiceLocalizer& aLocalizer): "
				   "encountered reference with empty string value");
			return false;
		}
		if (locValue->GetLength() >= ICE_MAX_STRING)
		{
			KC_Log("JuiceToIce::ConvertJuiceToIce(FILE* aHandle, JuiceType* anInstance, JuiceLocalizer& aLocalizer): "
				   "string value exceeds maximum allowed length (%d chars)",
				ICE_MAX_STRING);
			return false;
		}
		if (*locValue == "<empty>")
		{
			aWriter.PutString("");
		}
		else if (anInstance->GetTypeName() == "FILE" && locValue->Find('\\') >= 0)
		{
			KC_String locPath(*locValue);
			locPath.Replace('\\', '/');
			aWriter.PutString(locPath);
		}
		else
		{
			aWriter.PutString(*locValue);
		}
		return true;
	}

	MemberPath locPath = {anInstance->GetName(), aParentPath};
	for (JuiceType* locMember : anInstance->GetMembers())
	{
		if (!ConvertMember(aWriter, locMember, aLocalizer, aRootPath, &locPath))
			return false;
	}
	return true;
}
} // namespace

JuiceToIce::ReSave JuiceToIce::ourReSave;
void (*JuiceToIce::ourStageObserver)(const char* aStage) = NULL;

namespace
{
void ObserveStage(const char* aStage)
{
	if (JuiceToIce::ourStageObserver)
		JuiceToIce::ourStageObserver(aStage);
}
} // namespace

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
			KC_Log("JuiceToIce::IsFileNewer(): Existing '%s' is newer than existing '%s'", aJuiceName.GetText(),
				anIceName.GetText());
			return 0;
		}
		KC_Log("JuiceToIce::IsFileNewer(): Missing '%s'", anIceName.GetText());
		return 0;
	}
	if (FileExists(anIceName))
		return 1;
	KC_Log("JuiceToIce::IsFileNewer(): none of the two files exist ('%s' or '%s')", aJuiceName.GetText(),
		anIceName.GetText());
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

	bool locConverted = Priv_ConvertJuiceFile(locJuiceName, anIceName);
	// The Juice tree is gone: its memory goes back before the Ice tree is loaded.
	KC_PoolTrim();
	ObserveStage("freed");
	if (!locConverted)
	{
		KC_Log("JuiceToIce::Priv_AssertFileName(): Failed to convert '%s' to '%s'", locJuiceName.GetText(),
			anIceName.GetText());
		return false;
	}
	KC_Log("JuiceToIce::Priv_AssertFileName(): Converted '%s' to '%s'", locJuiceName.GetText(), anIceName.GetText());
	return true;
}

bool JuiceToIce::Priv_ConvertJuiceFile(const KC_String& aJuiceName, const KC_String& anIceName)
{
	// Out of memory the compilation fails like any other (the throwing new of the
	// pooled objects is the only thing that throws).
	try
	{
		ourReSave = ReSave();
		JuiceNameSpace locNameSpace;
		EverythingIgnorer locIgnorer;
		JuiceLocalizer::Use locUse;
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): compiling '%s'...", aJuiceName.GetText());
		if (!JuiceCompiler::Compile(locNameSpace, aJuiceName, NULL, &locIgnorer, &locUse))
			return false;
		ObserveStage("compiled");
		// Only texts read from the companion file make a re-save worth its
		// cost: the author's layout and comments.
		if (locUse.myFoundCount > 0)
		{
			ReSaveText(locNameSpace, aJuiceName, locUse.myFileName);
			ObserveStage("re-saved");
		}
		bool locWritten = WriteIceFiles(locNameSpace, anIceName, locNameSpace.RequiresLocalization());
		ObserveStage("written");
		return locWritten;
	}
	catch (const std::bad_alloc&)
	{
		return false;
	}
}

void JuiceToIce::ReSaveText(JuiceNameSpace& aNameSpace, const KC_String& aJuiceName, const KC_String& aLanguageName)
{
	KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): '%s' requires localization, re-saving to remove .lang "
		   "dependencies...",
		aJuiceName.GetText());
	ourReSave.myTried = true;
	ourReSave.myJuiceName = aJuiceName;
	ourReSave.myLanguageName = aLanguageName;
	KC_String locKeptLanguage;
	KC_String locOriginal;
	bool locDone = false;
	if (MoveLanguageAside(aLanguageName, locKeptLanguage))
	{
		// Without the re-saved text (also out of memory) the indexes still need
		// their file, and the copy of a text that stays is no kept version.
		try
		{
			locDone = KeepOriginal(aJuiceName, locOriginal) && WriteNameSpace(aNameSpace, aJuiceName);
		}
		catch (const std::bad_alloc&)
		{
			locDone = false;
		}
		if (!locDone && !locOriginal.IsEmpty())
			std::remove(locOriginal);
		if (!locDone && std::rename(locKeptLanguage, aLanguageName) != 0)
			KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to move '%s' back to '%s'",
				locKeptLanguage.GetText(), aLanguageName.GetText());
	}
	if (!locDone)
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to persist '%s'", aJuiceName.GetText());
		return;
	}
	KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): moved '%s' to '%s': the texts stand inline now", aLanguageName.GetText(),
		locKeptLanguage.GetText());
	ourReSave.myDone = true;
	ourReSave.myOriginalName = locOriginal;
	ourReSave.myKeptLanguageName = locKeptLanguage;
}

KC_String JuiceToIce::GetFreeKeptName(const KC_String& aName)
{
	return FreeKeptName(aName);
}

bool JuiceToIce::Priv_ConvertJuiceToIce(JuiceNameSpace& aNameSpace, const KC_String& anIceName)
{
	return WriteIceFiles(aNameSpace, anIceName, aNameSpace.RequiresLocalization());
}

bool JuiceToIce::WriteIceFiles(JuiceNameSpace& aNameSpace, const KC_String& anIceName, bool aLocalized)
{
	FILE* locFile = NULL;
	IceLangEncoder::KeyValueList locKeyValues;
	bool locWritten = false;
	try
	{
		locWritten = WriteIceFiles(aNameSpace, anIceName, aLocalized, locFile, locKeyValues);
	}
	catch (const std::bad_alloc&)
	{
		// Out of memory: the conversion fails like any other.
		locWritten = false;
	}
	if (locFile)
		std::fclose(locFile);
	locKeyValues.DeleteAll();
	if (!locWritten)
	{
		// The files in the making go; those in place stay as they were. The
		// names are made without the heap.
		int locStem = anIceName.ReverseFind('.') + 1;
		char locName[1024];
		std::snprintf(locName, sizeof(locName), "%stmp", anIceName.GetText());
		std::remove(locName);
		std::snprintf(locName, sizeof(locName), "%.*shashtmp", locStem, anIceName.GetText());
		std::remove(locName);
		std::snprintf(locName, sizeof(locName), "%.*sloctmp", locStem, anIceName.GetText());
		std::remove(locName);
	}
	// A failed conversion leaves no names for the next report.
	Tables().Reset();
	return locWritten;
}

bool JuiceToIce::WriteIceFiles(JuiceNameSpace& aNameSpace, const KC_String& anIceName, bool aLocalized,
	FILE*& aFile, IceLangEncoder::KeyValueList& aKeyValues)
{
	KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): converting namespace to '%s'...", anIceName.GetText());
	KC_List<JuiceType*> locInstances;
	for (JuiceType* locType : aNameSpace)
	{
		if (!locInstances.Add(locType))
			throw std::bad_alloc();
	}
	if (locInstances.Count() == 0)
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): no instances at root level");
		return false;
	}
	int locLanguageFlag = aLocalized ? 1 : 0;

	// The records go to a file beside the Ice file, which replaces it when
	// the conversion is complete.
	KC_String locTemporary = anIceName + "tmp";
	aFile = std::fopen(locTemporary, "wb");
	if (!aFile)
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to open outfile '%s'", anIceName.GetText());
		return false;
	}
	// The records come in pieces of 64 KiB (RecordWriter): each is written as
	// it comes, without a copy into a second buffer.
	std::setvbuf(aFile, NULL, _IONBF, 0);
	bool locWritten = std::fwrite(ourVersion, sizeof(ourVersion), 1, aFile) == 1 &&
					  WriteInt(aFile, locLanguageFlag) && WriteInt(aFile, locInstances.Count());
	for (JuiceType* locType : locInstances)
	{
		if (!locWritten)
			break;
		locWritten = ConvertJuiceToIce(aFile, locType, aKeyValues, KC_String());
	}
	if (!locWritten)
		return false;
	// The report is no part of the conversion's result.
	if (!Tables().Write(anIceName))
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to write the hash file of '%s'", anIceName.GetText());
	// A file that cannot be completed on disk is a failed conversion.
	int locClosed = std::fclose(aFile);
	aFile = NULL;
	if (locClosed != 0)
		return false;
	if (locLanguageFlag && !IceLangEncoder::Save(aKeyValues, anIceName))
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to save .lang file for '%s'...", anIceName.GetText());
		return false;
	}
	if (!KC_PlatformReplaceFile(locTemporary, anIceName))
	{
		KC_Log("JuiceToIce::Priv_ConvertJuiceToIce(): failed to replace '%s' with '%s'", anIceName.GetText(),
			locTemporary.GetText());
		return false;
	}
	return true;
}
