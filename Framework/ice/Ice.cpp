#include "Ice.h"

#include "IceLangDecoder.h"
#include "JuiceToIce.h"
#include "KC_String.h"
#include "kc_assert.h"
#include "kc_bytes.h"
#include "kc_output.h"
#include "kc_platform.h"
#include "kf_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

namespace
{
const char ourVersion[] = ICE_VERSION;
char ourEmptyText[1] = {0};

// Bounds that keep corrupt files from exhausting the stack: nesting of member
// records, hops along a reference chain, and references resolved inside one another.
const int ourMaxDepth = 256;
const int ourMaxReferenceHops = 256;
const int ourMaxNestedResolutions = 256;

// The smallest member record: type hash, name hash, kind, and a length or a child.
const unsigned int ourMinRecordSize = 16;

// The root whose references are being resolved, and how deeply resolutions nest.
Ice* ourResolvingRoot = NULL;
int ourNestedResolutions = 0;

// While references are resolved: for each composite of many children that a
// path passes through, the name hashes of its children with their positions,
// sorted, so that the first child of a name is found without a scan.
typedef std::vector<std::pair<unsigned int, int>> ChildIndex;
std::unordered_map<const Ice*, ChildIndex>* ourChildIndexes = NULL;
const int ourIndexedCount = 64;

// Adler-32, reduced every 5552 bytes (the most that keep the sums within 32 bits):
// names are short, and a call into zlib costs more than the sums themselves.
unsigned int HashBytes(const char* aText, size_t aLength)
{
	const unsigned int locBase = 65521;
	const unsigned char* locByte = reinterpret_cast<const unsigned char*>(aText);
	unsigned int locA = 1, locB = 0;
	while (aLength > 0)
	{
		size_t locRun = aLength < 5552 ? aLength : 5552;
		aLength -= locRun;
		for (; locRun > 0; --locRun)
		{
			locA += *locByte++;
			locB += locA;
		}
		locA %= locBase;
		locB %= locBase;
	}
	return (locB << 16) | locA;
}
}

// What only a root has, in one allocation with the block of value texts that
// follows it. The first byte of the block is the tree's empty text, so that
// every value and reference of a tree points into its block.
struct Ice::RootData
{
	IceLangDecoder* myLangDecoder;

	char* Texts() { return reinterpret_cast<char*>(this + 1); }
};

// Reads little-endian fields from a file through the bytes that it has at hand
// (the window of a streaming file) and counts the bytes that remain; value
// texts go one after another into the block given by UseTexts.
class Ice::Reader
{
public:
	explicit Reader(KF_File& aFile)
		: myFile(aFile), myStart(NULL), myAt(NULL), myEnd(NULL),
		  myRemaining(aFile.GetPosition() < aFile.GetSize() ? aFile.GetSize() - aFile.GetPosition() : 0),
		  myTexts(NULL), myTextsUsed(0), myTextsSize(0)
	{
	}

	unsigned int Remaining() const { return myRemaining; }

	bool ReadBytes(void* aDestination, unsigned int aCount)
	{
		if (aCount > Remaining())
			return false;
		if (aCount == 0)
			return true;
		if (!Have(aCount))
			return false;
		std::memcpy(aDestination, myAt, aCount);
		Consume(aCount);
		return true;
	}

	bool ReadInt(int& aValue)
	{
		if (Remaining() < 4 || !Have(4))
			return false;
		aValue = static_cast<int>(KC_GetLittle32(myAt));
		Consume(4);
		return true;
	}

	void UseTexts(char* aBlock, unsigned int aSize)
	{
		myTexts = aBlock;
		myTextsUsed = 0;
		myTextsSize = aSize;
	}

	// aLength bytes of the file as a NUL-terminated text in the block; NULL when they do not fit.
	char* ReadText(unsigned int aLength)
	{
		if (aLength > Remaining() || !myTexts || aLength >= myTextsSize - myTextsUsed)
			return NULL;
		char* locText = myTexts + myTextsUsed;
		if (!ReadBytes(locText, aLength))
			return NULL;
		locText[aLength] = 0;
		myTextsUsed += aLength + 1;
		return locText;
	}

private:
	// At least aCount bytes (at most a window) at hand: the file moves past the
	// bytes taken and shows the next ones.
	bool Have(unsigned int aCount)
	{
		if (static_cast<unsigned int>(myEnd - myAt) >= aCount)
			return true;
		if (myAt != myStart)
			myFile.Seek(static_cast<int>(myAt - myStart), 1);
		unsigned int locCount = 0;
		const unsigned char* locBytes = myFile.Peek(KF_File::KF_WINDOW_SIZE, locCount);
		if (!locBytes)
		{
			myStart = myAt = myEnd = NULL;
			return false;
		}
		myStart = myAt = locBytes;
		myEnd = locBytes + locCount;
		return locCount >= aCount;
	}

	void Consume(unsigned int aCount)
	{
		myAt += aCount;
		myRemaining -= aCount;
	}

	KF_File& myFile;
	const unsigned char* myStart;
	const unsigned char* myAt;
	const unsigned char* myEnd;
	unsigned int myRemaining;
	char* myTexts;
	unsigned int myTextsUsed;
	unsigned int myTextsSize;
};

namespace
{
// The trees that have a language decoder: the size of their block of texts and
// their decoder by the block's address, so that any member finds its tree's
// decoder from its text.
typedef std::map<const char*, std::pair<unsigned int, IceLangDecoder*>, std::less<const char*>> DecodersByTexts;
DecodersByTexts ourDecodersByTexts;
}

unsigned int Ice::Hash(const char* aText)
{
	return HashBytes(aText, std::strlen(aText));
}

Ice* Ice::Load(const char* aFileName, bool aConvert)
{
	Ice* locRoot = NULL;
	// Out of memory the load fails like any other.
	try
	{
		KC_String locName(aFileName);
		if (aConvert)
		{
			locName.MakeLower();
			if (!JuiceToIce::Priv_AssertFileName(locName))
				return NULL;
		}
		locRoot = new (std::nothrow) Ice;
		if (!locRoot)
		{
			KC_Log("Ice::Load(): out of memory loading '%s'", aFileName);
			return NULL;
		}
		if (!locRoot->Init(aFileName ? locName.GetText() : NULL))
		{
			delete locRoot;
			return NULL;
		}
		return locRoot;
	}
	catch (const std::bad_alloc&)
	{
		delete locRoot;
		KC_Log("Ice::Load(): out of memory loading '%s'", aFileName ? aFileName : "");
		return NULL;
	}
}

static_assert(sizeof(void*) != 8 || sizeof(Ice) == 32, "an Ice member takes 32 bytes in 64-bit builds");
static_assert(sizeof(void*) != 4 || sizeof(Ice) <= 32, "an Ice member takes at most 32 bytes in 32-bit builds");

Ice::Ice()
	: myTypeHash(0), myNameHash(0), myKind(KIND_VALUE), myReferenceState(UNRESOLVED), myIsRoot(false),
	  myValue(ourEmptyText), myMembers(NULL)
{
}

Ice::~Ice()
{
	if (IsComposite())
		delete[] myMembers;
	if (myIsRoot)
	{
		ourDecodersByTexts.erase(myRootData->Texts());
		delete myRootData->myLangDecoder;
		std::free(myRootData);
	}
}

bool Ice::Init(const char* aFileName)
{
	if (!aFileName || !*aFileName)
	{
		KC_Log("Ice::Init(): empty filename");
		return false;
	}
	KF_File locFile;
	// A file on disk is read through the file's window, never held whole; a
	// file whose first bytes cannot be had is not read.
	unsigned int locAtHand = 0;
	if (!locFile.Open(aFileName, OPEN_READ | OPEN_STREAMING) ||
	    (locFile.GetSize() > 0 && !locFile.Peek(KF_File::KF_WINDOW_SIZE, locAtHand)))
	{
		if (locFile.IsOpen())
			locFile.Close();
		KC_Log("Ice::Init(): failed to read file '%s'", aFileName);
		return false;
	}
	Reader locReader(locFile);
	int locFlag = 0;
	bool locResult = ReadHeader(locReader, aFileName, locFlag);
	if (locResult)
	{
		myTypeHash = Hash(ourVersion);
		myNameHash = Hash(aFileName);
		myKind = 0;
		IceLangDecoder* locDecoder = NULL;
		if (locFlag != 0 && !LoadLanguage(aFileName, locDecoder))
		{
			delete locDecoder;
			locFile.Close();
			return false;
		}
		// Each value record takes more bytes of the file than its text with its
		// NUL; the block starts with the tree's empty text.
		unsigned int locTextsSize = locReader.Remaining() + 2;
		RootData* locRootData = static_cast<RootData*>(std::malloc(sizeof(RootData) + locTextsSize));
		if (!locRootData)
		{
			delete locDecoder;
			KC_Log("Ice::Init(): failed to allocate value memory");
			locFile.Close();
			return false;
		}
		locRootData->myLangDecoder = locDecoder;
		locRootData->Texts()[0] = 0;
		myIsRoot = true;
		myRootData = locRootData;
		// Out of memory here the load fails like any other (Load catches it).
		if (locDecoder)
			ourDecodersByTexts[locRootData->Texts()] = std::make_pair(locTextsSize, locDecoder);
		locReader.UseTexts(locRootData->Texts() + 1, locTextsSize - 1);
		locResult = ReadTopLevel(locReader) && ResolveTopLevel();
	}
	locFile.Close();
	return locResult;
}

bool Ice::ReadHeader(Reader& aReader, const char* aFileName, int& aLanguageFlag)
{
	char locVersion[9] = {0};
	aReader.ReadBytes(locVersion, aReader.Remaining() < 8 ? aReader.Remaining() : 8);
	if (std::strcmp(locVersion, ourVersion) != 0)
	{
		KC_Log("Ice::Init(): invalid file version '%s' should have been '%s'", locVersion, ourVersion);
		return false;
	}
	if (!aReader.ReadInt(aLanguageFlag))
	{
		KC_Log("Ice::Init(): failed to read file '%s'", aFileName);
		return false;
	}
	return true;
}

bool Ice::LoadLanguage(const char* aFileName, IceLangDecoder*& aDecoder)
{
	aDecoder = new (std::nothrow) IceLangDecoder;
	if (!aDecoder)
	{
		KC_Log("Ice::Init(): failed to allocate language decoder");
		return false;
	}
	if (!aDecoder->Load(aFileName))
	{
		KC_Log("Ice::Init(): failed to load language decoder for '%s'", aFileName);
		return false;
	}
	return true;
}

bool Ice::ReadTopLevel(Reader& aReader)
{
	int locCount = 0;
	if (!aReader.ReadInt(locCount) || locCount < 1)
	{
		KC_Log("Ice::Init(): top level instance had no members");
		return false;
	}
	if (static_cast<unsigned int>(locCount) > aReader.Remaining() / ourMinRecordSize ||
	    !(myMembers = new (std::nothrow) Ice[locCount]))
	{
		KC_Log("Ice::Init(): failed to allocate member array");
		return false;
	}
	myKind = locCount;
	for (int locIndex = 0; locIndex < locCount; ++locIndex)
	{
		myMembers[locIndex].myValue = myRootData->Texts();
		if (!myMembers[locIndex].ReadMember(aReader, 1))
		{
			KC_Log("Ice::Init(): failed to create member %d", locIndex);
			return false;
		}
	}
	return true;
}

bool Ice::ResolveTopLevel()
{
	bool locResult = true;
	std::unordered_map<const Ice*, ChildIndex> locIndexes;
	ourChildIndexes = &locIndexes;
	ourResolvingRoot = this;
	int m = 0;
	try
	{
		for (; locResult && m < myKind; ++m)
		{
			if (!myMembers[m].ResolveReferences(1))
			{
				KC_Log("Ice::Init(): failed to resolve references for member %d", m);
				locResult = false;
			}
		}
	}
	catch (const std::bad_alloc&)
	{
		// The child indexes could not grow.
		ourNestedResolutions = 0;
		KC_Log("Ice::Init(): failed to resolve references for member %d", m);
		locResult = false;
	}
	ourResolvingRoot = NULL;
	ourChildIndexes = NULL;
	return locResult;
}

bool Ice::ReadMember(Reader& aReader, int aDepth)
{
	if (aDepth > ourMaxDepth)
	{
		KC_Log("Ice::Init(): members nested deeper than %d levels", ourMaxDepth);
		return false;
	}
	int locTypeHash = 0, locNameHash = 0;
	if (!aReader.ReadInt(locTypeHash) || !aReader.ReadInt(locNameHash) || !aReader.ReadInt(myKind))
		return false;
	myTypeHash = static_cast<unsigned int>(locTypeHash);
	myNameHash = static_cast<unsigned int>(locNameHash);

	if (myKind == KIND_VALUE || myKind == 0 || myKind == KIND_REFERENCE)
	{
		int locLength = 0;
		if (!aReader.ReadInt(locLength))
			return false;
		if (static_cast<unsigned int>(locLength) >= ICE_MAX_STRING)
		{
			KC_Log("Ice::Init(): invalid string length %d >= %d", locLength, ICE_MAX_STRING);
			return false;
		}
		if (locLength > 0)
		{
			char* locText = aReader.ReadText(static_cast<unsigned int>(locLength));
			if (!locText)
				return false;
			myValue = locText;
		}
		else if (myKind == KIND_REFERENCE)
		{
			KC_Log("Ice::Init(): encountered reference with empty string value");
			return false;
		}
		return true;
	}
	if (myKind < 1)
		return false;

	// Every child needs a record of its own: a larger count cannot be real.
	if (static_cast<unsigned int>(myKind) > aReader.Remaining() / ourMinRecordSize ||
	    !(myMembers = new (std::nothrow) Ice[myKind]))
	{
		KC_Log("Ice::Init(): failed to allocate member array");
		myMembers = NULL;
		myKind = 0;
		return false;
	}
	for (int locIndex = 0; locIndex < myKind; ++locIndex)
	{
		myMembers[locIndex].myValue = myValue;
		if (!myMembers[locIndex].ReadMember(aReader, aDepth + 1))
		{
			KC_Log("Ice::Init(): failed to create member %d", locIndex);
			return false;
		}
	}
	return true;
}

bool Ice::ResolveReferences(int aDepth)
{
	if (myKind == KIND_REFERENCE)
		return ResolveReference();
	if (!IsComposite() || aDepth > ourMaxDepth)
		return true;
	for (int m = 0; m < myKind; ++m)
	{
		if (!myMembers[m].ResolveReferences(aDepth + 1))
			return false;
	}
	return true;
}

bool Ice::ResolveReference()
{
	if (myReferenceState == RESOLVED)
		return true;
	// A reference met again while it is being resolved lies on a cycle.
	if (myReferenceState == RESOLVING || !ourResolvingRoot || ourNestedResolutions >= ourMaxNestedResolutions)
		return false;
	myReferenceState = RESOLVING;
	if (KC_PlatformCompareNoCase(myValue ? myValue : "", "NULL") == 0)
	{
		myReference = NULL;
	}
	else
	{
		++ourNestedResolutions;
		myReference = ourResolvingRoot->GetMember(myValue);
		--ourNestedResolutions;
		// A path that leads nowhere (a damaged file) fails the load.
		if (!myReference)
		{
			myReferenceState = UNRESOLVED;
			return false;
		}
	}
	myReferenceState = RESOLVED;
	return true;
}

Ice* Ice::Follow()
{
	Ice* locMember = this;
	for (int locHops = 0; locMember && locMember->myKind == KIND_REFERENCE; ++locHops)
	{
		// A chain longer than the bound is a cycle: it ends at no target.
		if (locHops >= ourMaxReferenceHops)
			return NULL;
		if (locMember->myReferenceState != RESOLVED && !locMember->ResolveReference())
			return NULL;
		locMember = locMember->myReference;
	}
	return locMember;
}

Ice* Ice::FindChild(const char* aName, int aLength)
{
	unsigned int locHash = HashBytes(aName, aLength);
	if (ourChildIndexes && myKind >= ourIndexedCount)
	{
		ChildIndex& locIndex = (*ourChildIndexes)[this];
		if (locIndex.empty())
		{
			locIndex.reserve(static_cast<size_t>(myKind));
			for (int locCount = 0; locCount < myKind; ++locCount)
				locIndex.emplace_back(myMembers[locCount].myNameHash, locCount);
			std::sort(locIndex.begin(), locIndex.end());
		}
		ChildIndex::const_iterator locFound =
			std::lower_bound(locIndex.begin(), locIndex.end(), std::make_pair(locHash, 0));
		if (locFound != locIndex.end() && locFound->first == locHash)
			return &myMembers[locFound->second];
	}
	else
	{
		for (int locCount = 0; IsComposite() && locCount < myKind; ++locCount)
		{
			if (myMembers[locCount].myNameHash == locHash)
				return &myMembers[locCount];
		}
	}
	KC_String locName(KC_String(aName).Left(aLength));
	KC_Log("Ice::GetMember(): failed to find member named '%s'. This may or may not cause a crash.",
	       locName.GetText());
	return NULL;
}

Ice* Ice::GetMember(const char* aName)
{
	if (!aName)
		return NULL;
	Ice* locMember = this;
	const char* locRest = aName;
	for (;;)
	{
		locMember = locMember->Follow();
		if (!locMember)
			return NULL;
		const char* locDot = std::strchr(locRest, '.');
		if (!locDot)
			return locMember->FindChild(locRest, static_cast<int>(std::strlen(locRest)));
		Ice* locChild = locMember->FindChild(locRest, static_cast<int>(locDot - locRest));
		if (!locChild)
		{
			KC_Log("Ice::GetMember(): failed to find member named '%s'. This may or may not cause a crash.", locRest);
			return NULL;
		}
		locMember = locChild;
		locRest = locDot + 1;
	}
}

Ice* Ice::GetMember(const unsigned int anIndex)
{
	Ice* locMember = Follow();
	if (locMember != this)
		return locMember ? locMember->GetMember(anIndex) : NULL;
	if (IsComposite() && anIndex < static_cast<unsigned int>(myKind))
		return &myMembers[anIndex];
	KC_ASSERT(0 && "Ice::GetMember(const unsigned int anIndex): index out of range");
	return NULL;
}

const char* Ice::GetMemberValue(const char* aName)
{
	Ice* locMember = GetMember(aName);
	if (!locMember)
	{
		KC_Log("Ice::GetMemberValue(): failed to find member named '%s'", aName ? aName : "");
		return NULL;
	}
	return locMember->GetValue();
}

const char* Ice::GetValue()
{
	Ice* locMember = Follow();
	if (!locMember || locMember->IsComposite())
		return NULL;
	// A root that holds no members yet has no text of its own.
	return locMember->myIsRoot ? ourEmptyText : locMember->myValue;
}

int Ice::GetInt()
{
	const char* locText = GetValue();
	if (!locText)
		return 0;
	while (*locText == ' ' || (*locText >= '\t' && *locText <= '\r'))
		++locText;
	bool locNegative = *locText == '-';
	if (*locText == '-' || *locText == '+')
		++locText;
	unsigned int locValue = 0;
	for (; *locText >= '0' && *locText <= '9'; ++locText)
		locValue = locValue * 10 + static_cast<unsigned int>(*locText - '0');
	return static_cast<int>(locNegative ? 0u - locValue : locValue);
}

const char16_t* Ice::GetLocString()
{
	Ice* locMember = Follow();
	if (locMember != this)
		return locMember ? locMember->GetLocString() : NULL;
	IceLangDecoder* locDecoder = LangDecoder();
	if (!locDecoder)
	{
		static unsigned char ourIgnoreFlag = 0;
		if (!ourIgnoreFlag && KC_AssertFailed(__FILE__, __LINE__, "myLangDecoder", &ourIgnoreFlag))
			KC_DebugBreak();
		return NULL;
	}
	return locDecoder->GetString(static_cast<unsigned int>(GetInt()));
}

IceLangDecoder* Ice::LangDecoder() const
{
	if (myIsRoot)
		return myRootData->myLangDecoder;
	// A composite has no text: the first of its descendants that is no composite has one.
	const Ice* locMember = this;
	while (locMember->IsComposite() && locMember->myMembers)
		locMember = &locMember->myMembers[0];
	const char* locText = locMember->myValue;
	DecodersByTexts::const_iterator locFound = ourDecodersByTexts.upper_bound(locText);
	if (locFound == ourDecodersByTexts.begin())
		return NULL;
	--locFound;
	if (std::less<const char*>()(locText, locFound->first + locFound->second.first))
		return locFound->second.second;
	return NULL;
}

unsigned int Ice::GetCount(bool aFollowReferences)
{
	Ice* locMember = aFollowReferences ? Follow() : this;
	if (!locMember || !locMember->IsComposite())
		return 0;
	return static_cast<unsigned int>(locMember->myKind);
}

unsigned int Ice::GetTypeHash()
{
	Ice* locMember = Follow();
	return locMember ? locMember->myTypeHash : Hash("NULL");
}
