#include "JuiceRef.h"

#include "JuiceNameSpace.h"
#include "JuiceWriter.h"
#include "ParseTool.h"
#include "kc_output.h"

#include <cstring>
#include <memory>
#include <new>

namespace
{
// References that a lookup in progress passes through.
int ourChainDepth = 0;
}

JuiceRef* JuiceRef::ourUnresolved = NULL;
bool JuiceRef::ourUnresolvedNamedAnInstance = false;

JuiceRef::JuiceRef()
	: mySourceLine(-1)
{
}

bool JuiceRef::Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& aTypeManager,
	JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer)
{
	mySourceLine = aParseTool.GetLineNumber();
	return JuiceType::Assign(aParseTool, anInlineText, aTypeManager, anIgnorer, aLocalizer);
}

JuiceRef* JuiceRef::TakeUnresolved(bool& aNamedAnInstance)
{
	JuiceRef* locReference = ourUnresolved;
	aNamedAnInstance = ourUnresolvedNamedAnInstance;
	ourUnresolved = NULL;
	return locReference;
}

const KC_String& JuiceRef::GetValue() const
{
	return myValue;
}

KC_String JuiceRef::GetTargetTypeName() const
{
	if (myTypeName.IsEmpty())
		return myTypeName;
	return myTypeName.Left(myTypeName.GetLength() - 1);
}

JuiceType* JuiceRef::FindTarget(bool aReportMissing)
{
	if (myValue == "NULL")
		return NULL;
	JuiceNameSpace* locNameSpace = JuiceNameSpace::FindNameSpaceOf(this);
	if (!locNameSpace)
		return NULL;
	if (ourChainDepth >= ourMaxReferenceChain)
		return NULL;
	// The depth goes down again however the lookup ends (out of memory, it throws).
	struct ChainStep
	{
		ChainStep() { ++ourChainDepth; }
		~ChainStep() { --ourChainDepth; }
	} locStep;
	return locNameSpace->FindInstance(myValue, aReportMissing);
}

JuiceType* JuiceRef::FindMember(const KC_String& /*aPath*/)
{
	return FindTarget(true);
}

bool JuiceRef::Construct(JuiceTypeManager& /*aTypeManager*/, ParseTool& /*aParseTool*/)
{
	return true;
}

bool JuiceRef::Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName)
{
	if (myValue != "NULL" && !FindTarget(true))
		myValue = "NULL";
	if (aWithTypeName)
		return JuiceWriteTexts(aFile, {anIndent.GetText(), myTypeName.GetText(), " ", myName.GetText(), " ",
			myValue.GetText(), JUICE_EOL JUICE_EOL});
	return JuiceWriteTexts(aFile, {anIndent.GetText(), myName.GetText(), " ", myValue.GetText(), JUICE_EOL});
}

JuiceType* JuiceRef::Clone() const
{
	std::unique_ptr<JuiceRef> locCopy(new (std::nothrow) JuiceRef);
	if (locCopy)
	{
		locCopy->myTypeName = myTypeName;
		locCopy->myName = myName;
		locCopy->myValue = myValue;
	}
	return locCopy.release();
}

bool JuiceRef::Assign(const KC_String& aValue)
{
	myValue = aValue;
	return true;
}

bool JuiceRef::Assign(const JuiceType* anInstance)
{
	if (!anInstance)
	{
		myValue = "NULL";
		return true;
	}
	const JuiceRef* locReference = dynamic_cast<const JuiceRef*>(anInstance);
	if (locReference && locReference->myTypeName == myTypeName)
	{
		myValue = locReference->myValue;
		return true;
	}
	if (anInstance->GetTypeName() != GetTargetTypeName())
		return false;
	JuiceNameSpace* locNameSpace = JuiceNameSpace::FindNameSpaceOf(anInstance);
	if (locNameSpace)
	{
		KC_String locEmpty;
		for (JuiceType* locType : *locNameSpace)
		{
			KC_String locPath;
			if (locType->GetPath(locEmpty, anInstance, locPath))
			{
				myValue = locPath;
				return true;
			}
		}
	}
	myValue = "NULL";
	return false;
}

bool JuiceRef::SetDefault(const KC_String& aDefaultValue)
{
	myValue = aDefaultValue;
	return true;
}

void JuiceRef::ClearValue()
{
	myValue = "NULL";
}

bool JuiceRef::ResolveReferences(JuiceTypeManager& /*aTypeManager*/)
{
	if (myValue == "NULL")
		return true;
	// FindTarget finds nothing outside a namespace.
	JuiceType* locTarget = FindTarget(true);
	if (!locTarget)
	{
		ourUnresolved = this;
		ourUnresolvedNamedAnInstance = false;
		return false;
	}
	// The target's type is the reference type without its last character,
	// compared in place.
	int locLength = myTypeName.IsEmpty() ? 0 : myTypeName.GetLength() - 1;
	if (const void* locNul = std::memchr(myTypeName.GetText(), 0, static_cast<size_t>(locLength)))
		locLength = static_cast<int>(static_cast<const char*>(locNul) - myTypeName.GetText());
	if (JuiceNameIs(locTarget->GetTypeName(), myTypeName.GetText(), locLength))
		return true;
	ourUnresolved = this;
	ourUnresolvedNamedAnInstance = true;
	return false;
}

bool JuiceRef::IsEqual(const JuiceType* anInstance) const
{
	const JuiceRef* locReference = dynamic_cast<const JuiceRef*>(anInstance);
	return locReference && locReference->myTypeName == myTypeName && locReference->myValue == myValue;
}
