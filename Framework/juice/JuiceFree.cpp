#include "JuiceFree.h"

#include "JuiceLocalizer.h"
#include "JuiceWriter.h"
#include "ParseTool.h"
#include "kc_output.h"

#include <new>

JuiceFree::JuiceFree()
	: myIsFile(false)
{
}

JuiceFree::JuiceFree(const char* aMetaName, bool anIsFile)
	: JuiceType(aMetaName)
	, myIsFile(anIsFile)
{
}

const KC_String& JuiceFree::GetValue() const
{
	return myValue;
}

bool JuiceFree::Construct(JuiceTypeManager& /*aTypeManager*/, ParseTool& /*aParseTool*/)
{
	KC_Log("JuiceFree::Construct(): Constructed type '%s'", myTypeName.GetText());
	return true;
}

void JuiceFree::CopyTo(JuiceFree& aCopy) const
{
	aCopy.myTypeName = myTypeName;
	aCopy.myName = myName;
	aCopy.myValue = myValue;
	aCopy.myIsFile = myIsFile;
}

JuiceType* JuiceFree::Clone() const
{
	JuiceFree* locCopy = new (std::nothrow) JuiceFree;
	if (locCopy)
		CopyTo(*locCopy);
	return locCopy;
}

bool JuiceFree::Assign(const KC_String& aValue)
{
	if (aValue.IsEmpty())
	{
		myValue = "<empty>";
		return true;
	}
	myValue = aValue;
	if (myIsFile)
		myValue.Replace('\\', '/');
	return true;
}

bool JuiceFree::Assign(const JuiceType* anInstance)
{
	if (!anInstance || anInstance->GetTypeName() != myTypeName)
		return false;
	// Assign may be handed this object itself: copy the value first.
	KC_String locValue = anInstance->GetValue();
	return Assign(locValue);
}

bool JuiceFree::SetDefault(const KC_String& aDefaultValue)
{
	myValue = aDefaultValue;
	return !aDefaultValue.IsEmpty();
}

void JuiceFree::ClearValue()
{
	myValue = "<empty>";
}

bool JuiceFree::IsEqual(const JuiceType* anInstance) const
{
	return anInstance && anInstance->GetTypeName() == myTypeName && anInstance->GetValue() == myValue;
}

KC_String JuiceFree::GetWrittenForm(const KC_String& aValue)
{
	int locLength = aValue.GetLength();
	// Quotes could not be added to a text of the longest length.
	if (locLength > 65532)
		return aValue;
	bool locStarts = locLength > 0 && aValue[0] == '"';
	bool locEnds = locLength > 0 && aValue[locLength - 1] == '"';
	bool locHasBlank = aValue.Find(' ') >= 0;
	// The quotes are added to the text up to its first NUL, as "%s" would.
	KC_String locResult;
	if (locStarts && locEnds)
		locResult = aValue;
	else if (locStarts)
		locResult = KC_String(aValue.GetText()) + "\"";
	else if (locHasBlank && locEnds)
		locResult = KC_String("\"") + aValue.GetText();
	else if (locHasBlank)
		locResult = KC_String("\"") + aValue.GetText() + "\"";
	else if (locEnds)
		locResult = aValue.Left(locLength - 1);
	else
		locResult = aValue;
	return locResult;
}

bool JuiceFree::Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName)
{
	KC_String locWritten = GetWrittenForm(myValue);
	if (aWithTypeName)
		return JuiceWriteText(aFile, "%s%s %s %s" JUICE_EOL JUICE_EOL, anIndent.GetText(),
			myTypeName.GetText(), myName.GetText(), locWritten.GetText());
	return JuiceWriteText(aFile, "%s%s %s" JUICE_EOL, anIndent.GetText(), myName.GetText(),
		locWritten.GetText());
}

JuiceLocText::JuiceLocText()
{
}

JuiceLocText::JuiceLocText(const char* aMetaName)
	: JuiceFree(aMetaName, false)
{
}

JuiceType* JuiceLocText::Clone() const
{
	JuiceLocText* locCopy = new (std::nothrow) JuiceLocText;
	if (locCopy)
		CopyTo(*locCopy);
	return locCopy;
}

bool JuiceLocText::Assign(ParseTool& /*aParseTool*/, const KC_String& anInlineText, JuiceTypeManager& /*aTypeManager*/,
	JuiceInstanceIgnorer* /*anIgnorer*/, JuiceLocalizer& aLocalizer)
{
	KC_String locValue = ParseTool::InlineValue(anInlineText, myName);
	if (!aLocalizer.GetText(locValue, myValue))
		myValue = locValue;
	return true;
}
