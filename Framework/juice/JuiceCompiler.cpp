#include "JuiceCompiler.h"

#include "JuiceInstanceIgnorer.h"
#include "JuiceLocalizer.h"
#include "JuiceNameSpace.h"
#include "JuiceRef.h"
#include "JuiceType.h"
#include "JuiceTypeManager.h"
#include "ParseTool.h"
#include "kc_output.h"

#include <memory>
#include <new>

namespace
{
bool CompileLines(JuiceNameSpace& aNameSpace, ParseTool& aParseTool, JuiceTypeManager& aTypeManager,
	JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer)
{
	KC_String locLine;
	while (!aParseTool.IsEOF())
	{
		aParseTool.ReadLine(locLine);
		KC_String locFirst = ParseTool::FirstWord(locLine);
		KC_String locRest = ParseTool::RestOfLine(locLine);
		if (locFirst == "INCLUDE")
		{
			if (!aTypeManager.Compile(locRest))
			{
				aParseTool.Error("Failed to compile '%s'", locRest.GetText());
				return false;
			}
			aNameSpace.AddInclude(locRest);
			continue;
		}

		JuiceType* locPrototype = aTypeManager.FindType(locFirst);
		if (!locPrototype)
		{
			if (locRest.IsEmpty())
				continue;
			if (anIgnorer && anIgnorer->OkToIgnoreInstanceOfType(locFirst, locRest))
			{
				KC_Log("JuiceCompiler::Compile(): User indicated that instance '%s' of unknown type '%s' should be ignored",
					locRest.GetText(), locFirst.GetText());
				if (!anIgnorer->SkipInstance(aParseTool))
				{
					aParseTool.Error("Failed to perform user specified ignore of instance '%s' of type '%s'",
						locRest.GetText(), locFirst.GetText());
					return false;
				}
				continue;
			}
			aParseTool.Error("Unknown type '%s'", locFirst.GetText());
			return false;
		}

		KC_String locName = ParseTool::FirstWord(locRest);
		KC_String locInline = ParseTool::RestOfLine(locRest);
		JuiceType* locInstance = locPrototype->Clone();
		if (!locInstance)
			aParseTool.Error("Allocation failure of instance '%s' of type '%s'", locName.GetText(),
				locFirst.GetText());
		else
		{
			locInstance->SetName(locName);
			if (!locInstance->Assign(aParseTool, locInline, aTypeManager, anIgnorer, aLocalizer))
			{
				delete locInstance;
				locInstance = NULL;
			}
		}
		if (!locInstance)
		{
			aParseTool.Error("Failed to init new instance of type '%s'", locFirst.GetText());
			return false;
		}
		if (aNameSpace.FindInstance(locInstance->GetName(), false))
		{
			aParseTool.Error("Instance name '%s' already defined", locInstance->GetName().GetText());
			delete locInstance;
			return false;
		}
		if (!aNameSpace.Add(locInstance))
		{
			delete locInstance;
			return false;
		}
		KC_Log("JuiceCompiler::Compile(): Instantiated %s %s", locInstance->GetTypeName().GetText(),
			locInstance->GetName().GetText());
	}

	bool locNamedAnInstance = false;
	JuiceRef::TakeUnresolved(locNamedAnInstance);
	if (!aNameSpace.ResolveReferences(aTypeManager))
	{
		// The reference that failed, on its own line, before the summary.
		if (JuiceRef* locReference = JuiceRef::TakeUnresolved(locNamedAnInstance))
		{
			int locLine = locReference->GetSourceLine() >= 0 ? locReference->GetSourceLine() : aParseTool.GetLineNumber();
			if (locNamedAnInstance)
				aParseTool.ErrorAtLine(locLine, "Reference '%s' of member '%s' names an instance that is no '%s'",
					locReference->GetValue().GetText(), locReference->GetName().GetText(),
					locReference->GetTargetTypeName().GetText());
			else
				aParseTool.ErrorAtLine(locLine, "Reference '%s' of member '%s' names no instance",
					locReference->GetValue().GetText(), locReference->GetName().GetText());
		}
		aParseTool.Error("Failed to resolve references");
		return false;
	}
	return true;
}
}

bool JuiceCompiler::Compile(JuiceNameSpace& aNameSpace, const KC_String& aFileName, JuiceTypeManager* aTypeManager,
	JuiceInstanceIgnorer* anIgnorer)
{
	return Compile(aNameSpace, aFileName, aTypeManager, anIgnorer, NULL);
}

bool JuiceCompiler::Compile(JuiceNameSpace& aNameSpace, const KC_String& aFileName, JuiceTypeManager* aTypeManager,
	JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer::Use* aUse)
{
	JuiceLocalizer locLocalizer;
	bool locResult = Compile(aNameSpace, aFileName, aTypeManager, anIgnorer, locLocalizer);
	if (aUse)
		locLocalizer.TakeUse(*aUse);
	return locResult;
}

bool JuiceCompiler::Compile(JuiceNameSpace& aNameSpace, const KC_String& aFileName, JuiceTypeManager* aTypeManager,
	JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer)
{
	if (!aLocalizer.Read(aFileName))
	{
		KC_Log("Failed to read localizer from '%s'", aFileName.GetText());
		return false;
	}
	ParseTool locParseTool;
	if (!locParseTool.Open(aFileName))
		return false;
	KC_Log("--------------------------------------");
	KC_Log("JuiceCompiler::Compile(): Compiling %s", aFileName.GetText());
	KC_Log("--------------------------------------");

	std::unique_ptr<JuiceTypeManager> locLocalManager;
	if (!aTypeManager)
	{
		locLocalManager.reset(new (std::nothrow) JuiceTypeManager);
		if (!locLocalManager)
			return false;
		aTypeManager = locLocalManager.get();
	}
	aTypeManager->Reset();

	bool locResult = CompileLines(aNameSpace, locParseTool, *aTypeManager, anIgnorer, aLocalizer);
	if (locResult)
		KC_Log("JuiceCompiler::Compile(): '%s' OK\n", aFileName.GetText());
	locParseTool.Close();
	return locResult;
}
