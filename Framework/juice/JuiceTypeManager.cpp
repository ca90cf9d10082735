#include "JuiceTypeManager.h"

#include "JuiceMetaTypes.h"
#include "JuiceRef.h"
#include "JuiceType.h"
#include "ParseTool.h"
#include "kc_output.h"

#include <memory>
#include <new>

namespace
{
JuiceType* FindByTypeName(const KC_List<JuiceType*>& aList, const KC_String& aTypeName)
{
	for (JuiceType* locType : aList)
	{
		if (locType->GetTypeName() == aTypeName)
			return locType;
	}
	return NULL;
}
}

JuiceTypeManager::JuiceTypeManager()
	: myIncludeDepth(0)
{
	Reset();
}

JuiceTypeManager::~JuiceTypeManager()
{
	Empty();
}

void JuiceTypeManager::Empty()
{
	myDeclaredTypeNames.RemoveAll();
	myTypes.DeleteAll();
	myReferenceTypes.DeleteAll();
	myCompiledFiles.RemoveAll();
}

void JuiceTypeManager::Reset()
{
	Empty();
	static const char* const locBuiltIns[5][2] = {
		{"NUMBER", "0"}, {"DECIMAL", "0.0"}, {"TEXT", "<empty>"}, {"FILE", "<empty>"}, {"LOCTEXT", "<empty>"}};
	ParseTool locParseTool;
	for (int locIndex = 0; locIndex < 5; ++locIndex)
		DefineType(locParseTool, locBuiltIns[locIndex][0], locBuiltIns[locIndex][0], locBuiltIns[locIndex][1]);
}

JuiceType* JuiceTypeManager::FindType(const KC_String& aTypeName) const
{
	return FindByTypeName(myTypes, aTypeName);
}

JuiceType* JuiceTypeManager::FindReferenceType(const KC_String& aTypeName) const
{
	return FindByTypeName(myReferenceTypes, aTypeName);
}

JuiceType* JuiceTypeManager::DefineType(ParseTool& aParseTool, const KC_String& aMetaName, const KC_String& aTypeName,
	const KC_String& aDefaultValue)
{
	if (JuiceListHasText(myDeclaredTypeNames, aTypeName))
	{
		aParseTool.Error("Typename '%s' already defined", aTypeName.GetText());
		return NULL;
	}
	if (!myDeclaredTypeNames.Add(aTypeName))
		throw std::bad_alloc();

	JuiceType* locMeta = JuiceFindMetaType(aMetaName);
	if (!locMeta)
		return NULL;
	// A type name of the longest length leaves no room for the "*".
	if (aTypeName.GetLength() >= 65534)
		return NULL;

	// Without memory for a part of the type the compilation fails as out of
	// memory (the lists own what they hold, the half-made parts go).
	std::unique_ptr<JuiceRef> locReference(new (std::nothrow) JuiceRef);
	if (!locReference)
		return NULL;
	locReference->SetTypeName(aTypeName + "*");
	locReference->SetName("PROTOTYPE");
	locReference->Assign(KC_String("NULL"));
	if (!myReferenceTypes.Add(locReference.get()))
		throw std::bad_alloc();
	locReference.release();

	std::unique_ptr<JuiceType> locPrototype(locMeta->Clone());
	if (!locPrototype)
		return NULL;
	locPrototype->SetTypeName(aTypeName);
	locPrototype->SetName("PROTOTYPE");
	if (!locPrototype->SetDefault(aDefaultValue))
		return NULL;
	if (!locPrototype->Construct(*this, aParseTool))
		return NULL;
	if (!myTypes.Add(locPrototype.get()))
		throw std::bad_alloc();
	return locPrototype.release();
}

bool JuiceTypeManager::Compile(const KC_String& aFileName)
{
	KC_String locLowerName = aFileName;
	locLowerName.MakeLower();
	if (JuiceListHasText(myCompiledFiles, locLowerName))
	{
		KC_Log("'%s' already compiled, skipping...", aFileName.GetText());
		return true;
	}
	if (!myCompiledFiles.Add(locLowerName))
		throw std::bad_alloc();

	ParseTool locParseTool;
	if (!locParseTool.Open(aFileName))
		return false;
	KC_Log("JuiceTypeManager::Compile(): Compiling %s", aFileName.GetText());

	KC_String locLine;
	while (!locParseTool.IsEOF())
	{
		locParseTool.ReadLine(locLine);
		if (locLine.IsEmpty())
			continue;
		KC_String locFirst = ParseTool::FirstWord(locLine);
		KC_String locRest = ParseTool::RestOfLine(locLine);
		if (locFirst == "INCLUDE")
		{
			bool locIncluded = false;
			if (myIncludeDepth < ourMaxIncludeDepth)
			{
				++myIncludeDepth;
				locIncluded = Compile(locRest);
				--myIncludeDepth;
			}
			else
				locParseTool.Error("Type files included deeper than %d levels", ourMaxIncludeDepth);
			if (!locIncluded)
			{
				locParseTool.Error("Failed to compile '%s'", locRest.GetText());
				return false;
			}
			continue;
		}
		if (!DefineType(locParseTool, locFirst, locRest, KC_String()))
		{
			locParseTool.Error("Syntax error '%s'", locRest.GetText());
			return false;
		}
	}
	return true;
}
