#include "JuiceType.h"

#include "JuiceInstanceIgnorer.h"
#include "JuiceMetaTypes.h"
#include "JuiceTypeManager.h"
#include "ParseTool.h"
#include "kc_assert.h"
#include "kc_output.h"

#include <deque>
#include <new>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace
{
const KC_String& EmptyString()
{
	static const KC_String ourEmpty;
	return ourEmpty;
}

JuiceMemberList& EmptyMemberList()
{
	static JuiceMemberList ourEmpty;
	return ourEmpty;
}
}

bool JuiceListHasText(const KC_List<KC_String>& aList, const KC_String& aText)
{
	for (const KC_String& locText : aList)
	{
		if (locText == aText)
			return true;
	}
	return false;
}

bool JuiceJoinPath(const KC_String& aPrefix, const KC_String& aName, KC_String& aPath)
{
	if (aPrefix.IsEmpty())
	{
		aPath = aName;
		return true;
	}
	if (aPrefix.GetLength() + 1 + aName.GetLength() > 65534)
		return false;
	aPath.Format("%s.%s", aPrefix.GetText(), aName.GetText());
	return true;
}

namespace
{
// The shared texts (type names and the names of declared members), each kept
// once, in a list that never moves them. They are never freed: objects may be
// destroyed after any static object.
struct SharedTypeNames
{
	std::deque<KC_String> myTexts;
	std::unordered_map<std::string_view, const KC_String*> myIndex;
};

SharedTypeNames& TypeNames()
{
	static SharedTypeNames* ourNames = new SharedTypeNames;
	return *ourNames;
}

const KC_String* EmptyTypeName()
{
	static const KC_String ourEmpty;
	return &ourEmpty;
}

const KC_String* ShareTypeName(const KC_String& aText)
{
	if (aText.IsEmpty())
		return EmptyTypeName();
	SharedTypeNames& locNames = TypeNames();
	auto locFound = locNames.myIndex.find(std::string_view(aText.GetText(), static_cast<size_t>(aText.GetLength())));
	if (locFound != locNames.myIndex.end())
		return locFound->second;
	locNames.myTexts.push_back(aText);
	const KC_String& locCopy = locNames.myTexts.back();
	locNames.myIndex.emplace(std::string_view(locCopy.GetText(), static_cast<size_t>(locCopy.GetLength())), &locCopy);
	return &locCopy;
}
}

JuiceTypeName::JuiceTypeName()
	: myText(EmptyTypeName())
{
}

JuiceTypeName::JuiceTypeName(const char* aText)
	: myText(ShareTypeName(KC_String(aText)))
{
}

JuiceTypeName& JuiceTypeName::operator=(const KC_String& aText)
{
	myText = ShareTypeName(aText);
	return *this;
}

static_assert(sizeof(KC_String) == sizeof(uintptr_t), "a name is one pointer");

JuiceName::JuiceName()
{
	new (&myName.myOwn) KC_String();
}

JuiceName::~JuiceName()
{
	if (!GetShared())
		myName.myOwn.~KC_String();
}

JuiceName& JuiceName::operator=(const JuiceName& aName)
{
	if (this == &aName)
		return *this;
	if (const KC_String* locShared = aName.GetShared())
	{
		if (!GetShared())
			myName.myOwn.~KC_String();
		myName.myShared = reinterpret_cast<uintptr_t>(locShared) | 1;
		return *this;
	}
	return *this = aName.Text();
}

JuiceName& JuiceName::operator=(const KC_String& aText)
{
	// aText may be this name's own text or its shared copy.
	if (!GetShared())
	{
		myName.myOwn = aText;
		KC_ASSERT(!GetShared());
		return *this;
	}
	KC_String locCopy(aText);
	new (&myName.myOwn) KC_String(std::move(locCopy));
	KC_ASSERT(!GetShared());
	return *this;
}

void JuiceName::Share(const KC_String& aText)
{
	// aText may be this name's own text: it is shared before that goes.
	const KC_String* locShared = ShareTypeName(aText);
	if (!GetShared())
		myName.myOwn.~KC_String();
	myName.myShared = reinterpret_cast<uintptr_t>(locShared) | 1;
}

JuiceType::JuiceType()
{
}

JuiceType::JuiceType(const char* aMetaName)
	: myTypeName(aMetaName)
{
	JuiceRegisterMetaType(myTypeName, this);
}

JuiceType::~JuiceType()
{
}

const KC_String& JuiceType::GetValue() const
{
	return EmptyString();
}

JuiceType* JuiceType::GetMemberAt(int /*anIndex*/) const
{
	return NULL;
}

JuiceType* JuiceType::GetMemberToAssign(JuiceTypeManager& /*aTypeManager*/, const KC_String& aName)
{
	return FindMember(aName);
}

JuiceType* JuiceType::FindMember(const KC_String& /*aPath*/)
{
	return NULL;
}

JuiceMemberList& JuiceType::GetMembers()
{
	return EmptyMemberList();
}

int JuiceType::GetMemberCount() const
{
	return 0;
}

bool JuiceType::SortMembers(const KC_List<KC_String>& /*aNameList*/)
{
	return false;
}

void JuiceType::DeleteMembers()
{
}

bool JuiceType::DeleteMember(JuiceType* /*aMember*/)
{
	return false;
}

bool JuiceType::DeleteMemberNamed(const KC_String& /*aName*/)
{
	return false;
}

bool JuiceType::DetachMember(JuiceType* /*aMember*/)
{
	return false;
}

bool JuiceType::HasMember(const JuiceType* /*aMember*/) const
{
	return false;
}

bool JuiceType::IsLegalType(const KC_String& /*aTypeName*/) const
{
	return false;
}

bool JuiceType::Assign(const KC_String& /*aValue*/)
{
	return false;
}

bool JuiceType::AddMember(JuiceType* /*aMember*/)
{
	return true;
}

bool JuiceType::ResolveReferences(JuiceTypeManager& /*aTypeManager*/)
{
	return true;
}

void JuiceType::GetRange(KC_List<KC_String>& /*aList*/) const
{
}

bool JuiceType::Contains(const JuiceType* anInstance) const
{
	return this == anInstance;
}

JuiceType* JuiceType::FindByName(const KC_String& aName)
{
	return myName == aName ? this : NULL;
}

bool JuiceType::GetPath(const KC_String& aPrefix, const JuiceType* aTarget, KC_String& aPath) const
{
	if (this != aTarget)
		return false;
	return JuiceJoinPath(aPrefix, myName, aPath);
}

int JuiceType::CountObjects() const
{
	int locCount = 1;
	for (JuiceType* locType : const_cast<JuiceType*>(this)->GetMembers())
		locCount += locType->CountObjects();
	return locCount;
}

int JuiceType::GetDepth() const
{
	int locDeepest = 0;
	for (JuiceType* locType : const_cast<JuiceType*>(this)->GetMembers())
	{
		int locDepth = locType->GetDepth();
		if (locDepth > locDeepest)
			locDeepest = locDepth;
	}
	return locDeepest + 1;
}

KC_String JuiceType::TakeInlineValue(const KC_String& anInlineText)
{
	KC_String locName;
	bool locRenamed = false;
	KC_String locValue = ParseTool::InlineValue(anInlineText, locName, locRenamed);
	if (locRenamed)
		myName = locName;
	return locValue;
}

bool JuiceType::Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
	JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer)
{
	if (!anInlineText.IsEmpty())
	{
		// A scalar value on the line: a second word renames the instance. A
		// single word without quotes at its ends is the value as it stands.
		int locLength = anInlineText.GetLength();
		int locEnd = ParseTool::FindWordEnd(anInlineText);
		if ((locEnd < 0 || locEnd == locLength - 1) && anInlineText[0] != '"' && anInlineText[locLength - 1] != '"')
		{
			if (Assign(anInlineText))
				return true;
			aParseTool.Error("Invalid value '%s' for instance '%s' of type '%s'", anInlineText.GetText(),
				myName.GetText(), myTypeName.GetText());
			return false;
		}
		KC_String locValue = TakeInlineValue(anInlineText);
		if (!Assign(locValue))
		{
			aParseTool.Error("Invalid value '%s' for instance '%s' of type '%s'", anInlineText.GetText(),
				myName.GetText(), myTypeName.GetText());
			return false;
		}
		return true;
	}

	KC_String locLine;
	if (!aParseTool.IsEOF())
		aParseTool.ReadLine(locLine);
	if (locLine != "{")
	{
		aParseTool.Error("Missing block start in instantiation of '%s' of class type '%s'", myName.GetText(),
			myTypeName.GetText());
		return false;
	}
	if (!aParseTool.EnterBlock())
	{
		aParseTool.Error("Blocks nested deeper than %d levels in instantiation of '%s' of class type '%s'",
			ParseTool::ourMaxBlockDepth, myName.GetText(), myTypeName.GetText());
		return false;
	}
	int locOpening = aParseTool.GetLineNumber();
	bool locResult = true;
	for (;;)
	{
		// The file ends inside the block: a cut-off text is not compiled.
		if (aParseTool.IsEOF())
		{
			aParseTool.ErrorAtLine(locOpening,
				"Missing block end in instantiation of '%s' of class type '%s': the file ends inside its block",
				myName.GetText(), myTypeName.GetText());
			locResult = false;
			break;
		}
		// The line is split in the tool's buffer: only its two parts are copied.
		int locLength = 0;
		const char* locText = aParseTool.ReadLineText(locLength);
		// Only the end of the file gives an empty line; the test above reports it.
		if (locLength == 0)
			continue;
		if (locLength == 1 && locText[0] == '}')
			break;
		if (locLength == 1 && locText[0] == '{')
			continue;
		// FirstWord and RestOfLine, the end of the word found once.
		int locEnd = ParseTool::FindWordEnd(locText, locLength);
		KC_String locPath(locText, locEnd < 0 ? locLength : locEnd);
		KC_String locValue = locEnd < 0 ? KC_String() : KC_String(locText + locEnd + 1, locLength - locEnd - 1);
		JuiceType* locMember = GetMemberToAssign(aTypeManager, locPath);
		if (locMember)
		{
			if (!locMember->Assign(aParseTool, locValue, aTypeManager, anIgnorer, aLocalizer))
			{
				locResult = false;
				break;
			}
		}
		else if (anIgnorer && anIgnorer->OkToIgnoreMember(locPath, myTypeName, myName))
		{
			KC_Log("JuiceType::Assign(): User indicated that member '%s' of type '%s' should be ignored",
				locPath.GetText(), myTypeName.GetText());
			if (!anIgnorer->SkipInstance(aParseTool))
			{
				aParseTool.Error("Failed to perform user specified ignore of member '%s' of type '%s'",
					locPath.GetText(), myTypeName.GetText());
				locResult = false;
				break;
			}
		}
		else
		{
			aParseTool.Error("Unknown member '%s' referenced in instantiation of '%s' of class type '%s'",
				locPath.GetText(), myName.GetText(), myTypeName.GetText());
			locResult = false;
			break;
		}
	}
	aParseTool.LeaveBlock();
	return locResult;
}
