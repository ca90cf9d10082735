#include "JuiceFree.h"

#include "JuiceLocalizer.h"
#include "JuiceWriter.h"
#include "ParseTool.h"
#include "kc_output.h"

#include <memory>
#include <new>

JuiceFree::JuiceFree()
{
}

JuiceFree::JuiceFree(const char* aMetaName)
	: JuiceType(aMetaName)
{
}

bool JuiceFree::IsFile() const
{
	static const JuiceTypeName ourFile("FILE");
	return myTypeName == ourFile;
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
}

JuiceType* JuiceFree::Clone() const
{
	std::unique_ptr<JuiceFree> locCopy(new (std::nothrow) JuiceFree);
	if (locCopy)
		CopyTo(*locCopy);
	return locCopy.release();
}

bool JuiceFree::Assign(const KC_String& aValue)
{
	if (aValue.IsEmpty())
	{
		myValue = "<empty>";
		return true;
	}
	myValue = aValue;
	if (IsFile())
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

namespace
{
// How a value is written: the quote put before it and after it, and whether its
// last character is left out.
struct WrittenForm
{
	const char* myBefore;
	const char* myAfter;
	bool myDropsLast;
};

WrittenForm FormOf(const KC_String& aValue)
{
	WrittenForm locForm = {"", "", false};
	int locLength = aValue.GetLength();
	// Quotes could not be added to a text of the longest length.
	if (locLength > 65532)
		return locForm;
	bool locStarts = locLength > 0 && aValue[0] == '"';
	bool locEnds = locLength > 0 && aValue[locLength - 1] == '"';
	bool locHasBlank = aValue.Find(' ') >= 0;
	if (locStarts && locEnds)
		return locForm;
	if (locStarts)
		locForm.myAfter = "\"";
	else if (locHasBlank && locEnds)
		locForm.myBefore = "\"";
	else if (locHasBlank)
		locForm.myBefore = locForm.myAfter = "\"";
	else if (locEnds)
		locForm.myDropsLast = true;
	return locForm;
}
}

KC_String JuiceFree::GetWrittenForm(const KC_String& aValue)
{
	// The quotes are added to the text up to its first NUL, as "%s" would.
	WrittenForm locForm = FormOf(aValue);
	if (locForm.myDropsLast)
		return aValue.Left(aValue.GetLength() - 1);
	if (!*locForm.myBefore && !*locForm.myAfter)
		return aValue;
	return KC_String(locForm.myBefore) + aValue.GetText() + locForm.myAfter;
}

bool JuiceFree::Write(FILE* aFile, const KC_String& anIndent, bool aWithTypeName)
{
	// The written form is put together in the line itself; only a text that
	// loses its last character is copied.
	WrittenForm locForm = FormOf(myValue);
	KC_String locShortened;
	const char* locValue = myValue.GetText();
	if (locForm.myDropsLast)
	{
		locShortened = myValue.Left(myValue.GetLength() - 1);
		locValue = locShortened.GetText();
	}
	if (aWithTypeName)
		return JuiceWriteTexts(aFile, {anIndent.GetText(), myTypeName.GetText(), " ", myName.GetText(), " ",
			locForm.myBefore, locValue, locForm.myAfter, JUICE_EOL JUICE_EOL});
	return JuiceWriteTexts(aFile, {anIndent.GetText(), myName.GetText(), " ", locForm.myBefore, locValue,
		locForm.myAfter, JUICE_EOL});
}

JuiceLocText::JuiceLocText()
{
}

JuiceLocText::JuiceLocText(const char* aMetaName)
	: JuiceFree(aMetaName)
{
}

JuiceType* JuiceLocText::Clone() const
{
	std::unique_ptr<JuiceLocText> locCopy(new (std::nothrow) JuiceLocText);
	if (locCopy)
		CopyTo(*locCopy);
	return locCopy.release();
}

bool JuiceLocText::Assign(ParseTool& aParseTool, const KC_String& anInlineText, JuiceTypeManager& /*aTypeManager*/,
	JuiceInstanceIgnorer* /*anIgnorer*/, JuiceLocalizer& aLocalizer)
{
	KC_String locValue = TakeInlineValue(anInlineText);
	if (!aLocalizer.Look(locValue, myValue, aParseTool.GetLineNumber()))
		myValue = locValue;
	return true;
}
